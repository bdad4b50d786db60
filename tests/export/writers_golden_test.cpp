// Every format and variant of the scenes against writer_golden/.
// VK_UPDATE_GOLDEN=1 rewrites the files after a deliberate change; read the
// diff before keeping it.
#include "export_support.h"
#include "support/decimal_comma_locale.h"

TEST(WriterGolden, EveryFormatOfEveryScene) {
    ASSERT_TRUE(getenv("VK_SOURCE_DIR") && *getenv("VK_SOURCE_DIR"));
    const bool update = getenv("VK_UPDATE_GOLDEN") && std::string(getenv("VK_UPDATE_GOLDEN")) == "1";
    const TestDir scratch("vk_writers");
    const std::string dir = scratch.path();
    // The files are the same under a locale with a decimal comma.
    DecimalCommaLocale comma;
    ASSERT_TRUE(comma.active());
    for (const GoldenScene& g : golden_scenes) {
        Scene scene;
        g.build(scene);
        for (const char* variant : writer_variants) {
            const std::string name = g.name + std::string(variant), golden = source_path("writer_golden/" + name);
            ASSERT_TRUE(write_variant(variant, scene.set, dir + "/" + name, g.normals, g.colours)) << name;
            const std::string produced = slurp(dir + "/" + name);
            if (update) std::ofstream(golden, std::ios::binary) << produced;
            const std::string expected = slurp(golden);
            ASSERT_FALSE(expected.empty()) << "missing " << name;
            EXPECT_EQ(produced, expected) << name;
        }
    }
}

// Number text, headers that follow the body, output larger than the buffer,
// and output that fails.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>
#include <sys/stat.h>

#include "export/mesh_writer.h"
#include "platform/files.h"
#include "support/full_disk.h"
#include "export_support.h"

// "%.<p>g" for the smallest p >= 6 that reads back exactly.
static std::string reference_text(double value) {
    char text[64];
    for (int p = 6; p <= 17; ++p) {
        std::snprintf(text, sizeof text, "%.*g", p, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    return text;
}

TEST(WriterNumbers, ShortestExactGeneralNotation) {
    // Signed zero, infinity, powers of two and subnormals (lopsided or wide
    // rounding intervals), halfway cases, random bits and short decimals.
    std::vector<double> values = {-0.0, 1.0 / 3.0, 1234567.0, -std::numeric_limits<double>::infinity()};
    for (int e = -1074; e <= 1023; ++e) values.push_back(std::ldexp(1.0, e));
    for (int j = 1; j < 400; j += 2) values.push_back(8.0 + std::ldexp(j, -16));
    std::mt19937_64 random(12345);
    for (int i = 0; i < 30000; ++i) {
        const uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, 8);
        if (std::isfinite(value)) values.push_back(value);
        values.push_back(static_cast<double>(random() % 2000001) / 1000.0 * std::pow(10.0, int(random() % 30) - 15));
    }
    for (double value : values) ASSERT_EQ(mesh_double_text(value), reference_text(value)) << value;
}

TEST(WriterFiles, HeadersFollowWhatIsWritten) {
    const TestDir scratch("vk_writers");
    const std::string dir = scratch.path();
    Scene s;
    triangle(s).triangle_normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    scene_entity(s, &s.meshes.back());
    // A topology that writes no faces declares none.
    ASSERT_TRUE(write_ply_file(s.set, dir + "/q.ply", 4, true, false, false));
    const std::string ply = slurp(dir + "/q.ply");
    EXPECT_NE(ply.find("comment   - topology : 4 (quads)\n"), std::string::npos);
    EXPECT_NE(ply.find("element face 0\n"), std::string::npos);
    EXPECT_EQ(text_lines(ply).back(), "0 1 0 0 0 1");

    // A line break in the file name stays inside its comment line.
    ASSERT_TRUE(write_obj_file(s.set, dir + "/a\nb.obj", 3, false, false));
    EXPECT_EQ(text_lines(slurp(dir + "/a\nb.obj"))[0], "# a?b.obj");

    // A degenerate triangle has the normal 0 0 0.
    Scene d;
    scene_entity(d, &triangle(d, {1, 1, 1, 1, 1, 1, 2, 2, 2}));
    ASSERT_TRUE(write_stl_file(d.set, dir + "/d.stl", false));
    EXPECT_EQ(text_lines(slurp(dir + "/d.stl"))[1], "facet normal 0 0 0");

    // Empty sets write whole headers.
    s.set.records[0].visible = 0;
    scene_parallel_entity(s, {});
    ASSERT_TRUE(write_ply_file(s.set, dir + "/e.ply", 0, true, true, true));
    const std::string empty = slurp(dir + "/e.ply");
    EXPECT_NE(empty.find("comment   - vertex : 0\n"), std::string::npos);
    EXPECT_NE(empty.find("element vertex 0\n"), std::string::npos);
    const std::string tail = "element face 0\nproperty list int int vertex_index\nend_header\n";
    EXPECT_EQ(empty.substr(empty.size() - tail.size()), tail);
    ASSERT_TRUE(write_stl_file(s.set, dir + "/e.stl", true));
    EXPECT_EQ(slurp(dir + "/e.stl"), std::string(84, '\0'));
    ASSERT_TRUE(write_stl_file(s.set, dir + "/e.stl", false));
    EXPECT_EQ(slurp(dir + "/e.stl"), "solid object\nendsolid object\n");
}

// An unopenable path fails, a device is not replaced, and a full disk that
// refuses the bytes fails the file, leaving the earlier file of that name
// as it was and no partial file beside it.
TEST(WriterFiles, FailedOpenWriteOrCloseIsReported) {
    Scene s;
    scene_entity(s, &triangle(s));
    const TestDir scratch("vk_writers");
    const std::string missing = scratch.path() + "/no/such/dir/x";
    struct stat info;
    const bool full = stat("/dev/full", &info) == 0;
    for (const char* variant : writer_variants) {
        for (bool attributes : {false, true}) {
            EXPECT_FALSE(write_variant(variant, s.set, missing + variant, attributes, attributes)) << variant;
            EXPECT_FALSE(full && write_variant(variant, s.set, "/dev/full", attributes, attributes)) << variant;
            const std::string earlier = scratch.path() + "/earlier";
            ASSERT_TRUE(write_text_file(earlier, "kept"));
            {
                const FullDisk disk(16);
                EXPECT_FALSE(write_variant(variant, s.set, earlier, attributes, attributes)) << variant;
            }
            EXPECT_EQ(slurp(earlier), "kept") << variant;
            size_t files = 0;
            for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) files += entry.exists();
            EXPECT_EQ(files, 1u) << variant;
        }
    }
    EXPECT_TRUE(!full || (stat("/dev/full", &info) == 0 && S_ISCHR(info.st_mode)));
}

// Chunks smaller and larger than the buffer arrive whole and in order.
TEST(WriterFiles, OutputLargerThanTheBufferArrivesWhole) {
    const TestDir scratch("vk_writers");
    const std::string path = scratch.path() + "/big.bin";
    MeshOutput out;
    ASSERT_TRUE(mesh_output_open(out, path, 256));
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        const std::string chunk = std::to_string(i) + std::string(i % 97 == 0 ? 5000 : 0, 'x') + ",";
        mesh_output_text(out, chunk);
        expected += chunk;
    }
    ASSERT_TRUE(mesh_output_close(out));
    EXPECT_EQ(slurp(path), expected);
    EXPECT_TRUE(ply_vertex_total_fits(int64_t(1) << 31));
    EXPECT_FALSE(ply_vertex_total_fits((int64_t(1) << 31) + 1));

    // 2049 slots sharing one mesh of 2^20 vertices: indices beyond int32 are
    // refused before the file is touched.
    Scene many;
    InteropMesh* mesh = &scene_mesh(many, std::vector<double>(size_t(3) << 20, 0.0));
    scene_parallel_entity(many, std::vector<InteropMesh*>(1, mesh));
    EntityRecord& e = many.set.records.back();
    e.subelement_records.assign(2049, e.subelement_records[0]);
    e.subelement_count = 2049;
    const std::string refused = scratch.path() + "/refused.ply";
    EXPECT_FALSE(write_ply_file(many.set, refused, 4, false, false, true));
    EXPECT_FALSE(std::ifstream(refused).good());
}

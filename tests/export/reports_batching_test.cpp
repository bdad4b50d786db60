#include <gtest/gtest.h>

#include "export/ppd_batching.h"
#include "reports_support.h"
#include "text/text_utils.h"

namespace {

EntityParseRecord parallel_record(const std::string& directives, const std::string& functions,
                                  const std::string& operations) {
    EntityParseRecord record;
    record.parallel = 1;
    set_sections(record, {directives, "", functions, operations});
    return record;
}

}  // namespace

TEST(ReportSources, SplitResolveAndWrap) {
    testing::internal::CaptureStdout();
    const auto sources = report_subelement_sources(parallel_record(
        "#PARALLEL;\n#GLOBAL_PRE{ int g = 1; };\n#POST{ done(); };", "#VREK(arm){ cube(1); };\n#vrek(arm){ no(); };",
        "return { VREK(2|arm), VREK(leg(1,2)){ sphere(); }, VREK(a<b,c>), VREK(\"x,)\"), };"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    // Commas inside brackets or strings do not split; a reference runs to
    // the first ")" wherever it stands.
    const std::vector<std::vector<std::string>> expected = {
        {"2|arm", "int g = 1;\ncube(1);\ndone();"},  // first definition wins
        {"leg(1,2", "int g = 1;\nsphere();\ndone();"},  // inline block
        {"a<b,c>", ""},  // unresolved: no prefix or suffix
        {"\"x,", ""}};
    EXPECT_EQ(sources, expected);
}

TEST(ReportSources, UnusableScriptsGiveNone) {
    const std::string defs = "#VREK(arm){ cube(1); };";
    EXPECT_TRUE(report_subelement_sources(EntityParseRecord()).empty());
    for (const char* ops : {"", "return { VREK(arm) };\nreturn { VREK(arm) };", "return VREK(arm);", "return { };",
                            "return { arm };", "return { VREK)arm( };"})
        EXPECT_TRUE(report_subelement_sources(parallel_record("", defs, ops)).empty()) << ops;
    EXPECT_TRUE(report_subelement_sources(parallel_record("#PRE_x", defs, "return { VREK(arm) };")).empty());
    EXPECT_TRUE(report_subelement_sources(parallel_record("", "#VREK(arm)", "return { VREK(arm) };")).empty());
    EXPECT_EQ(report_subelement_sources(parallel_record("#PARALLEL", defs, "return { VREK(arm) };")).size(), 1u);
}

TEST(ReportSources, GroupsInAscendingKeyOrder) {
    auto sources = report_subelement_sources(
        parallel_record("", "", "return { VREK(3|a), VREK(1|b), VREK(c), VREK(3|d), VREK(123456789|e) };"));
    const std::vector<int32_t> keys = extract_invocation_group_keys(sources);
    // c and the over-long prefix get fresh keys 4 and 5.
    EXPECT_EQ(report_group_by_batch_key(keys, std::vector<uint8_t>(keys.size(), 1)),
              (std::vector<std::vector<int32_t>>{{1}, {0, 3}, {2}, {4}}));
    EXPECT_TRUE(report_group_by_batch_key(keys, {1, 1}).empty());
    EXPECT_EQ(report_group_by_batch_key({2, -1, 2}, {1, 1, 0}), (std::vector<std::vector<int32_t>>{{0}}));
}

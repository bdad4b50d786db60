// Splitting parallel scripts into sub-elements, and grouping them by key.
#include <gtest/gtest.h>

#include <array>

#include "pipeline/parallel_dispatch.h"
#include "model/parallel_grammar.h"

namespace {

EntityParseRecord record(const std::string& directives, const std::string& operations, int parallel = 1) {
    EntityParseRecord r;
    r.parallel = parallel;
    r.sections[SECTION_DIRECTIVES] = directives;
    r.sections[SECTION_OPERATIONS] = operations;
    return r;
}

struct Built {
    std::vector<SubElementSource> sources;
    std::string last, printed;
};

Built build(const std::string& directives, const std::string& operations, int parallel = 1) {
    Built b;
    std::vector<std::string> messages = {""};
    testing::internal::CaptureStdout();
    b.sources = build_subelement_sources(record(directives, operations, parallel), &messages);
    b.printed = testing::internal::GetCapturedStdout();
    b.last = messages[0];
    return b;
}

const char* const kDefs = "#PARALLEL;\n#VREK(a){ A; };";

}  // namespace

TEST(ParallelGrammar, FatalErrorsStopWithTheirMessage) {
    const std::vector<std::array<const char*, 3>> cases = {
        {kDefs, "", "MISSING-RETURN!"},
        {kDefs, "return {a(a)};\nreturn {a(a)};", "GREATER-THAN-ONE TOP-LEVEL OPERATIVE SCRIPT STATEMENT!"},
        {kDefs, "return a(a);", "MALFORMED RETURN!"},
        {kDefs, "return { \t };", "EMPTY (ZERO-LENGTH) RETURN!"},
        {kDefs, "return { a, b };", "MISSING SUB-ELEMENT INVOCATION IN RETURN!"},
        {kDefs, "return { a(a), b) c( };", "MALFORMED SUB-ELEMENT INVOCATIVE-REFERENCE IN RETURN!"},
        {"#GLOBAL_PRE x;\n#POST x;", "return {a(a)};", "MALFORMED GLOBAL-PREFIX!"},
        {"#POST x;", "return {a(a)};", "MALFORMED GLOBAL-SUFFIX!"},
        {"#VREK(a) x;", "return {a(a)};", "MALFORMED SUB-ELEMENT SOURCE-DEFINITION : [a]"},
        {"#VREK(a){", "return {a(a)};", "MALFORMED SUB-ELEMENT SOURCE-DEFINITION : [a]"},
    };
    for (const auto& c : cases) {
        Built b = build(c[0], c[1]);
        EXPECT_TRUE(b.sources.empty()) << c[1];
        EXPECT_EQ(b.last, std::string("ERROR-IN-PARALLEL-ASSEMBLY : ") + c[2]) << c[1];
        EXPECT_EQ(b.printed, b.last + "\n") << c[1];
    }
}

TEST(ParallelGrammar, ResolvesJoinsAndReportsWithoutStopping) {
    Built b = build("#PARALLEL;\n#CCPP{ P; };\n#PRE{ P2; };\n#VREK(a){ A; };\n#vrek(a){ second; };\n"
                    "#global_suffix{ S; };\n#VCPS{ S2; };\n#CAM(1,2);\n#PARALLEL\n#VREK\n#GLOBAL_PRE{}",
                    "return { a(a), b(3|b){ B; }, c(c), };");
    EXPECT_EQ(b.printed,
              "ERROR: GLOBAL-PREFIX-ALREADY-DEFINED!\nERROR: GLOBAL-SUFFIX-ALREADY-DEFINED!\n"
              "ERROR: UNKNOWN-PARALLEL-TYPE : { #PARALLEL };\nERROR: UNKNOWN-PARALLEL-TYPE : { #VREK };\n"
              "ERROR: GLOBAL-PREFIX-ALREADY-DEFINED!\n"
              "ERROR-IN-PARALLEL-ASSEMBLY : UNABLE TO RESOLVE SUB-ELEMENT SOURCE-DEFINITION : [c]\n");
    const std::vector<SubElementSource> expected = {{"a", "P;\nA;\nS;"}, {"3|b", "P;\nB;\nS;"}, {"c", ""}};
    EXPECT_EQ(b.sources, expected);  // first definition wins; trailing comma adds nothing

    // Exactly "GLOBALPOST" is a prefix line; with more behind it, a suffix.
    EXPECT_EQ(build("#GLOBALPOST\n#VREK(a){A;};", "return {a(a)};").last,
              "ERROR-IN-PARALLEL-ASSEMBLY : MALFORMED GLOBAL-PREFIX!");
    EXPECT_EQ(extract_global_prefix_body(record("#GLOBAL_POST{ s; };\n#G_L_OBAL_PRE{ p; };\n#PRE{ q; };", "")), "p;");
    // Empty blocks ("{}" before the closing pair) give empty bodies.
    EXPECT_EQ(build("#PRE{}\n#VREK(a){}", "return {a(a){ in; }};").sources[0][1], "in;");
    for (const char* line : {"#GLOBAL_PRE{}", "#PRE{", "#PRE"})
        EXPECT_EQ(extract_global_prefix_body(record(line, "")), "") << line;
    // An inline block must follow the reference.
    EXPECT_EQ(build(kDefs, "return {z{ x; }(z)};").sources[0][1], "");
}

TEST(ParallelGrammar, OnlyTopLevelCommasSplit) {
    const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
        {"a(x), b(f(1,2), 3)", {"x", "f(1,2"}},   // reference stops at the first ")"
        {"a(x<1,2>), b(y)", {"x<1,2>", "y"}},
        {"a(x) \",\" b(y)", {"x", "y"}},          // a string comma at depth 0 splits
        {"a(\")\"), b(y)", {"\"", "y"}},          // literal brackets do not nest
        {"a('(', 'x'), b(y)", {"'(', 'x'", "y"}},
        {"a(\"\\\")\"), b(y)", {"\"\\\"", "y"}},
        {"a(x) /* ( */, b(y)", {"x"}},            // comment brackets do
        {"a(x) /* ) */, b(y)", {"x"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> references;
        for (const SubElementSource& s : build("", std::string("return {") + c.first + "};").sources)
            references.push_back(s[0]);
        EXPECT_EQ(references, c.second) << c.first;
    }
}

TEST(ParallelGrammar, GroupPrefixesOfAtMostEightCharacters) {
    Built b = build("#VREK(a){ A; };\n#VREK(123456789|a){ L; };",
                    "return { a(12345678|a), b(123456789|a), c(|a), d( 1 2 | a ), e(1 2 3 4 5|a) };");
    std::vector<std::string> sources;
    for (const SubElementSource& s : b.sources) sources.push_back(s[1]);
    EXPECT_EQ(sources, (std::vector<std::string>{"A;", "L;", "A;", "A;", ""}));
    EXPECT_EQ(b.sources[3][0], "1 2 | a");
}

TEST(ParallelGrammar, NonParallelRecordsYieldNothingSilentlyAndMessagesMayBeNull) {
    Built b = build(kDefs, "return {a(a)};", 0);
    EXPECT_TRUE(b.sources.empty());
    EXPECT_EQ(b.printed + b.last, "");
    EXPECT_EQ(extract_global_prefix_body(record("#PRE{ p; };", "", 0)), "");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(build_subelement_sources(record(kDefs, ""), nullptr).empty());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR-IN-PARALLEL-ASSEMBLY : MISSING-RETURN!\n");
}

TEST(BatchGrouping, GroupsSelectedKeysInKeyOrder) {
    using Groups = std::vector<InvocationGroup>;
    EXPECT_EQ(group_by_batch_key({7, -1, 2, 7}, {true, true, true, true}), (Groups{{2}, {0, 3}}));
    EXPECT_EQ(group_by_batch_key({5, 5}, {false, true}), (Groups{{1}}));
    EXPECT_EQ(group_by_batch_key({3, 1, 3, 0, 1}, std::vector<bool>(5, true)), (Groups{{3}, {1, 4}, {0, 2}}));
    EXPECT_EQ(group_by_batch_key({1, 2}, {}), Groups{});
    EXPECT_EQ(group_by_batch_key({1, 2}, {true}), Groups{});
}

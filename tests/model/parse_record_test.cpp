#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <tuple>

#include "model/parse_record.h"

// A parse output as the kernel writes it: each section's opening tag, a
// line feed, its lines, the closing tag; then the SOURCE block.
static std::string make_output(const std::map<std::string, std::string>& lines, const std::string& source = "") {
    std::string out;
    for (const char* name : report_section_names) {
        auto it = lines.find(name);
        out += std::string("<") + name + ">\n" + (it == lines.end() ? "" : it->second) + "</" + name + ">\n";
    }
    return out + "<SOURCE>" + source + "</SOURCE>\n";
}

static EntityParseRecord interpret(const std::string& output) { return interpret_parse_output("p", "s", output); }

static std::string errors(const EntityParseRecord& r) { return r.sections[SECTION_ERRORS]; }
static int error_lines(const EntityParseRecord& r) { return r.section_line_counts[SECTION_ERRORS]; }

TEST(ParseOutput, SectionsInAnyOrderTextsAndCounts) {
    // The character after an opening tag is always dropped: a kernel that
    // forgot the line feed loses the first character instead. Nothing is
    // dropped after <SOURCE>.
    const std::string path = "dir/a.vrek", script = "script text";
    const std::string output = "junk<NOTES>!n;\n</NOTES><SOURCE>\nsrc\n</SOURCE><WARNINGS>\n</WARNINGS>"
                               "<ERRORS>\nE1;\nE2;\n</ERRORS><OPERATIONS>\no;\n</OPERATIONS><FUNCTIONS>\n</FUNCTIONS>"
                               "<PARAMETERS>\nINT a = 1;\n</PARAMETERS><DIRECTIVES>\nd;\n</DIRECTIVES>";
    EntityParseRecord r = interpret_parse_output(path, script, output);
    EXPECT_TRUE(r.valid == 1 && r.is_null == 0 && r.parallel == 0);
    EXPECT_EQ(std::tie(r.path, r.script, r.kernel_output), std::tie(path, script, output));
    EXPECT_EQ(r.sections, (std::array<std::string, SECTION_COUNT>{"d;\n", "INT a = 1;\n", "", "o;\n", "E1;\nE2;\n",
                                                                  "", "n;\n"}));
    EXPECT_EQ(r.section_line_counts, (std::array<int32_t, SECTION_COUNT>{1, 1, 0, 1, 2, 0, 1}));
    EXPECT_EQ(r.source, "\nsrc\n");
    EXPECT_TRUE(r.parse_result.valid == 1 && r.parse_result.parameter_count == 1);
    EXPECT_EQ(r.parse_result.text, "INT a = 1;\n");
}

TEST(ParseOutput, ParallelScripts) {
    const std::string superfluous = "SUPERFLUOUS STATEMENTS AT ROOT-OPERATIVE-SCOPE IN PARALLEL-ASSEMBLY -> "
                                    "EXPECTED SINGLE PARALLEL-RETURN STATEMENT;\n";
    struct Case {
        const char *directives, *operations, *errors_before;
        int parallel;
        std::string errors_after;
    };
    const Case cases[] = {
        {"#parallel;\n", "return {\ta(1), b(2) };\n", "", 1, ""},
        {"#PARALLEL;\n", "return{};\n", "", 1, ""},
        {"#PARALLEL;\n", "return a(1);\n", "k;\n", 0, "k;\nINVALID-PARALLEL-RETURN-ERROR;\n"},
        {"#PARALLEL;\n", "x = 1;\nreturn a(1);\n", "", 0, superfluous},
        {"#other;\n", "a;\nb;\n", "", 0, ""},  // without the directive the operations are never examined
    };
    for (const Case& c : cases) {
        EntityParseRecord r = interpret(
            make_output({{"DIRECTIVES", c.directives}, {"OPERATIONS", c.operations}, {"ERRORS", c.errors_before}}));
        EXPECT_EQ(r.parallel, c.parallel) << c.operations;
        EXPECT_EQ(errors(r), c.errors_after) << c.operations;
        EXPECT_EQ(error_lines(r), std::count(c.errors_after.begin(), c.errors_after.end(), '\n')) << c.operations;
    }
}

TEST(ParseOutput, BrokenOutputsNeverReadOutsideAndReportErrors) {
    EntityParseRecord empty = interpret("");
    EXPECT_EQ(errors(empty), "KERNEL-PARSE-OUTPUT-EMPTY;\n");
    EXPECT_EQ(error_lines(empty), 1);
    EXPECT_EQ(empty.section_line_counts[SECTION_DIRECTIVES], 0);
    EXPECT_EQ(empty.valid, 1);

    // A missing closing tag; tags back to front; an opening tag directly
    // followed by its closing tag (no room for the line feed); no SOURCE.
    std::string no_close = make_output({{"NOTES", "n;\n"}}), reversed = make_output({}), tight = reversed,
                no_source = reversed;
    no_close.erase(no_close.find("</NOTES>"), 8);
    reversed.replace(reversed.find("<WARNINGS>\n</WARNINGS>"), 22, "</WARNINGS><WARNINGS>\n");
    tight.replace(tight.find("<FUNCTIONS>\n</FUNCTIONS>"), 24, "<FUNCTIONS></FUNCTIONS>");
    no_source.erase(no_source.find("<SOURCE>"));
    const std::pair<std::string, std::string> cases[] = {
        {no_close, "NOTES"}, {reversed, "WARNINGS"}, {tight, "FUNCTIONS"}, {no_source, "SOURCE"}};
    for (const auto& c : cases) {
        EntityParseRecord r = interpret(c.first);
        EXPECT_EQ(errors(r), "MISSING-REPORT-SECTION : " + c.second + ";\n");
        EXPECT_EQ(error_lines(r), 1) << c.second;
        EXPECT_TRUE(r.sections[SECTION_NOTES].empty() && r.sections[SECTION_WARNINGS].empty() && r.source.empty());
    }

    // Every prefix of a good output is handled without reading outside it.
    const std::string full = make_output({{"ERRORS", "e;\n"}, {"DIRECTIVES", "#PARALLEL;\n"}}, "src");
    for (size_t n = 0; n < full.size(); ++n) EXPECT_GE(error_lines(interpret(full.substr(0, n))), 1) << n;
}

TEST(ParseOutput, AppendingErrors) {
    EntityParseRecord none = interpret(make_output({}));
    append_parse_error(none, "NEW");
    EXPECT_EQ(errors(none), "NEW");
    EXPECT_EQ(error_lines(none), 1);

    EntityParseRecord two = interpret(make_output({{"ERRORS", "a;\nb;\n"}}));
    append_parse_error(two, "NEW");
    EXPECT_EQ(errors(two), "a;\nb;\n\nNEW");
    EXPECT_EQ(error_lines(two), 3);

    // A record that was never interpreted still ends up counting the error.
    EntityParseRecord fresh;
    append_parse_error(fresh, "E");
    EXPECT_EQ(error_lines(fresh), 1);
}

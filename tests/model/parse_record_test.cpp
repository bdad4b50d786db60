#include <gtest/gtest.h>

#include <map>
#include <string>

#include "model/parse_record.h"

// A parse output as the kernel writes it: each section's opening tag, a
// line feed, its lines, the closing tag; then the SOURCE block.
static std::string make_output(const std::map<std::string, std::string>& lines, const std::string& source = "") {
    std::string out;
    for (const char* name : report_section_names) {
        auto it = lines.find(name);
        out += std::string("<") + name + ">\n" + (it == lines.end() ? "" : it->second) + "</" + name + ">\n";
    }
    out += "<SOURCE>" + source + "</SOURCE>\n";
    return out;
}

TEST(ParseOutput, SectionsTextsAndCounts) {
    const std::string output =
        make_output({{"ERRORS", "E1;\nE2;\n"}, {"PARAMETERS", "INT a = 1;\n"}, {"OPERATIONS", "op;\n"}},
                    "\nsrc line\n");
    EntityParseRecord r = interpret_parse_output("dir/a.vrek", "script text", output);
    EXPECT_EQ(r.valid, 1);
    EXPECT_EQ(r.is_null, 0);
    EXPECT_EQ(r.path, "dir/a.vrek");
    EXPECT_EQ(r.script, "script text");
    EXPECT_EQ(r.kernel_output, output);
    EXPECT_EQ(r.sections[SECTION_ERRORS], "E1;\nE2;\n");
    EXPECT_EQ(r.section_line_counts[SECTION_ERRORS], 2);
    EXPECT_EQ(r.sections[SECTION_NOTES], "");
    EXPECT_EQ(r.section_line_counts[SECTION_NOTES], 0);
    EXPECT_EQ(r.source, "\nsrc line\n");  // nothing dropped after <SOURCE>
    EXPECT_EQ(r.parallel, 0);
    EXPECT_EQ(r.parse_result.valid, 1);
    EXPECT_EQ(r.parse_result.parameter_count, 1);
    EXPECT_EQ(r.parse_result.text, "INT a = 1;\n");
}

TEST(ParseOutput, SectionOrderInTheFileDoesNotMatter) {
    const std::string output = "junk<NOTES>\nn;\n</NOTES><SOURCE>s</SOURCE><WARNINGS>\n</WARNINGS>"
                               "<ERRORS>\n</ERRORS><OPERATIONS>\no;\n</OPERATIONS><FUNCTIONS>\n</FUNCTIONS>"
                               "<PARAMETERS>\n</PARAMETERS><DIRECTIVES>\nd;\n</DIRECTIVES>";
    EntityParseRecord r = interpret_parse_output("p", "s", output);
    EXPECT_EQ(r.sections[SECTION_NOTES], "n;\n");
    EXPECT_EQ(r.sections[SECTION_DIRECTIVES], "d;\n");
    EXPECT_EQ(r.section_line_counts[SECTION_ERRORS], 0);
    EXPECT_EQ(r.source, "s");
}

TEST(ParseOutput, TheCharacterAfterAnOpeningTagIsAlwaysDropped) {
    // A kernel that forgot the line feed loses the first character instead.
    std::string output = make_output({});
    const std::string tag = "<NOTES>\n";
    output.replace(output.find(tag), tag.size(), "<NOTES>abc\n");
    EntityParseRecord r = interpret_parse_output("p", "s", output);
    EXPECT_EQ(r.sections[SECTION_NOTES], "bc\n");
    EXPECT_EQ(r.section_line_counts[SECTION_ERRORS], 0);
}

TEST(ParseOutput, ParallelScripts) {
    const std::string good_ops = "return {\ta(1), b(2) };\n";
    EntityParseRecord ok =
        interpret_parse_output("p", "s", make_output({{"DIRECTIVES", "#parallel;\n"}, {"OPERATIONS", good_ops}}));
    EXPECT_EQ(ok.parallel, 1);
    EXPECT_EQ(ok.section_line_counts[SECTION_ERRORS], 0);

    EntityParseRecord shortest =
        interpret_parse_output("p", "s", make_output({{"DIRECTIVES", "#PARALLEL;\n"}, {"OPERATIONS", "return{};\n"}}));
    EXPECT_EQ(shortest.parallel, 1);

    EntityParseRecord no_braces = interpret_parse_output(
        "p", "s", make_output({{"DIRECTIVES", "#PARALLEL;\n"}, {"OPERATIONS", "return a(1);\n"}, {"ERRORS", "k;\n"}}));
    EXPECT_EQ(no_braces.parallel, 0);
    EXPECT_EQ(no_braces.sections[SECTION_ERRORS], "k;\nINVALID-PARALLEL-RETURN-ERROR;\n");
    EXPECT_EQ(no_braces.section_line_counts[SECTION_ERRORS], 2);

    EntityParseRecord two_ops = interpret_parse_output(
        "p", "s", make_output({{"DIRECTIVES", "#PARALLEL;\n"}, {"OPERATIONS", "x = 1;\nreturn a(1);\n"}}));
    EXPECT_EQ(two_ops.parallel, 0);
    EXPECT_EQ(two_ops.sections[SECTION_ERRORS],
              "SUPERFLUOUS STATEMENTS AT ROOT-OPERATIVE-SCOPE IN PARALLEL-ASSEMBLY -> EXPECTED SINGLE "
              "PARALLEL-RETURN STATEMENT;\n");
    EXPECT_EQ(two_ops.section_line_counts[SECTION_ERRORS], 1);

    // Without the directive the operations are never examined.
    EntityParseRecord plain =
        interpret_parse_output("p", "s", make_output({{"DIRECTIVES", "#other;\n"}, {"OPERATIONS", "a;\nb;\n"}}));
    EXPECT_EQ(plain.parallel, 0);
    EXPECT_EQ(plain.section_line_counts[SECTION_ERRORS], 0);
}

TEST(ParseOutput, BrokenOutputsNeverReadOutsideAndReportErrors) {
    EntityParseRecord empty = interpret_parse_output("p", "s", "");
    EXPECT_EQ(empty.sections[SECTION_ERRORS], "KERNEL-PARSE-OUTPUT-EMPTY;\n");
    EXPECT_EQ(empty.section_line_counts[SECTION_ERRORS], 1);
    EXPECT_EQ(empty.section_line_counts[SECTION_DIRECTIVES], 0);
    EXPECT_EQ(empty.valid, 1);

    std::string no_close = make_output({{"NOTES", "n;\n"}});
    no_close.erase(no_close.find("</NOTES>"), 8);
    EntityParseRecord a = interpret_parse_output("p", "s", no_close);
    EXPECT_EQ(a.sections[SECTION_NOTES], "");
    EXPECT_EQ(a.sections[SECTION_ERRORS], "MISSING-REPORT-SECTION : NOTES;\n");
    EXPECT_EQ(a.section_line_counts[SECTION_ERRORS], 1);

    // Tags back to front, and an opening tag directly followed by its
    // closing tag (no room for the line feed), both read nothing.
    std::string reversed = make_output({});
    reversed.replace(reversed.find("<WARNINGS>\n</WARNINGS>"), 22, "</WARNINGS><WARNINGS>\n");
    std::string tight = make_output({});
    tight.replace(tight.find("<FUNCTIONS>\n</FUNCTIONS>"), 24, "<FUNCTIONS></FUNCTIONS>");
    EntityParseRecord b = interpret_parse_output("p", "s", reversed);
    EntityParseRecord c = interpret_parse_output("p", "s", tight);
    EXPECT_EQ(b.sections[SECTION_ERRORS], "MISSING-REPORT-SECTION : WARNINGS;\n");
    EXPECT_EQ(c.sections[SECTION_ERRORS], "MISSING-REPORT-SECTION : FUNCTIONS;\n");

    std::string no_source = make_output({});
    no_source.erase(no_source.find("<SOURCE>"));
    EntityParseRecord d = interpret_parse_output("p", "s", no_source);
    EXPECT_EQ(d.sections[SECTION_ERRORS], "MISSING-REPORT-SECTION : SOURCE;\n");
    EXPECT_EQ(d.source, "");

    // Every prefix of a good output is handled without reading outside it.
    const std::string full = make_output({{"ERRORS", "e;\n"}, {"DIRECTIVES", "#PARALLEL;\n"}}, "src");
    for (size_t n = 0; n < full.size(); ++n) {
        EntityParseRecord r = interpret_parse_output("p", "s", full.substr(0, n));
        EXPECT_GE(r.section_line_counts[SECTION_ERRORS], 1) << n;
    }
}

TEST(ParseOutput, AppendingErrors) {
    EntityParseRecord none = interpret_parse_output("p", "s", make_output({}));
    append_parse_error(none, "NEW");
    EXPECT_EQ(none.sections[SECTION_ERRORS], "NEW");
    EXPECT_EQ(none.section_line_counts[SECTION_ERRORS], 1);

    EntityParseRecord two = interpret_parse_output("p", "s", make_output({{"ERRORS", "a;\nb;\n"}}));
    append_parse_error(two, "NEW");
    EXPECT_EQ(two.sections[SECTION_ERRORS], "a;\nb;\n\nNEW");
    EXPECT_EQ(two.section_line_counts[SECTION_ERRORS], 3);

    // A record that was never interpreted still ends up counting the error.
    EntityParseRecord fresh;
    append_parse_error(fresh, "E");
    EXPECT_EQ(fresh.section_line_counts[SECTION_ERRORS], 1);
}

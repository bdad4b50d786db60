#include <gtest/gtest.h>

#include <limits>

#include "app/tables.h"
#include "export/entity_texts.h"
#include "reports_support.h"
#include "text/text_utils.h"

namespace {

int32_t measured(const std::string& line) {
    int32_t width = 0;
    for (unsigned char c : line) width += pane_glyph_widths[c];
    return width;
}

// The rows that carry a heading; each must fall on an empty information
// line, and every other information line is indented.
std::vector<size_t> check_headings(const EntityRecord& e) {
    const std::vector<std::string> headings = text_lines(e.summary_headings);
    std::vector<size_t> rows;
    EXPECT_EQ(headings.size(), e.information_lines.size());
    for (size_t i = 0; i < headings.size() && i < e.information_lines.size(); ++i) {
        const std::string& info = e.information_lines[i];
        if (!headings[i].empty()) rows.push_back(i);
        EXPECT_TRUE(info.empty() ? true : headings[i].empty() && info.compare(0, 2, "\t ") == 0) << i;
    }
    return rows;
}

EntityRecord gear(ReportFixture& fx) {
    EntityRecord e;
    e.mesh = fx.new_mesh(MESH_BASIC_CSG);
    e.parse_record.path = "/home/user/scripts/gear.vrek";
    e.parse_record.script = std::string(1234, 'x');
    e.parse_result.parameter_count = 3;
    set_mesh_figures(e, 12482, 6240, 12476, 998912, 4713);
    e.bounds = {{{-1.5, 0.0, 2.25}, {1.5, 2.0, 4.25}, {0.0, 1.0, 3.25}, {0.125, 0.5, 3.0}, {3.0, 2.0, 2.0}}};
    e.smoothing_groups_defined = 1;
    return e;
}

}  // namespace

TEST(EntityTexts, StatementTextJoinsFourSections) {
    EntityParseRecord record;
    EXPECT_EQ(join_statement_sections(record), "\n\n\n");
    set_sections(record, {"#A;", "INT n = 1;", "def f() {}", "f();\ng();"});
    record.sections[SECTION_ERRORS] = "never staged";
    EXPECT_EQ(join_statement_sections(record), "#A;\nINT n = 1;\ndef f() {}\nf();\ng();");
}

TEST(EntityTexts, SummaryLinesAndWidth) {
    ReportFixture fx;
    EntityRecord e = gear(fx);
    e.parse_record.script = std::string(2150, 'x');
    e.mesh_kb = 975.5;
    set_entity_summary_values(e);
    const std::vector<std::string> expected = {
        "gear.vrek", "12,482 vertex | 6,240 polygons \t 12,476 triangles | 4.71 seconds",
        "2.10 kb (script) | 975.50 kb (mesh) | path: \"/home/user/scripts/\""};
    EXPECT_EQ(e.summary_values, expected);
    EXPECT_EQ(e.summary_width, measured(expected[1]));

    // A bare name, zero counts, an empty script; bytes above 127 are
    // measured as unsigned.
    EntityRecord bare;
    bare.parse_record.path = "\xc3\xa9t\xc3\xa9.vrek";
    set_entity_summary_values(bare);
    EXPECT_EQ(bare.summary_values[1], "0 vertex | 0 polygons \t 0 triangles | 0.00 seconds");
    EXPECT_EQ(bare.summary_values[2], "0.00 kb (script) | 0.00 kb (mesh) | path: \"\xc3\xa9t\xc3\xa9.vrek\"");
    EXPECT_EQ(bare.summary_width, std::max(measured(bare.summary_values[1]), measured(bare.summary_values[2])));
}

TEST(EntityTexts, SingleEntityInformation) {
    ReportFixture fx;
    EntityRecord e = gear(fx);
    format_entity_information(e);
    set_entity_information_headings(e);
    const std::vector<std::string>& l = e.information_lines;
    ASSERT_EQ(l.size(), 27u);
    EXPECT_EQ(join_lines(l, 27), read_fixture("single_information.txt"));
    EXPECT_EQ(e.summary_headings.size(), 81u);
    EXPECT_EQ(check_headings(e), (std::vector<size_t>{0, 7, 13, 26}));

    // A flat mesh shows z and depth as 0 whatever its third components
    // hold; an unknown algorithm has no name.
    e.mesh->dimension = 2;
    e.mesh->algorithm = -1;
    e.bounds[BOUNDS_EXTENT][2] = std::numeric_limits<double>::quiet_NaN();
    format_entity_information(e);
    EXPECT_EQ(l[10], "\t Execution-Mode: ?");
    EXPECT_EQ(l[19], "\t AABB-Extent: [ width:3.0000, height:2.0000, depth:0.0000 ]");
    EXPECT_EQ(l[20], "\t AABB-Minimum: [ x:-1.5000, y:0.0000, z:0.0000 ]");
}

TEST(EntityTexts, ParallelEntityInformation) {
    ReportFixture fx;
    EntityRecord e = gear(fx);
    e.mesh = nullptr;
    e.parallel = 1;
    e.algorithm = MESH_OPTIMAL_CSG;
    set_mesh_figures(e, 1000, 400, 2000, 4096, 400);
    for (int k = 0; k < 2; ++k) {
        EntityRecord* el = fx.new_element();
        el->mesh->element_invocation = k ? "leg(2)" : "arm(1)";
        el->vertex_count = k ? 750 : 250;
        el->assembly_ms = k ? 300 : 120;
        e.subelement_records.push_back(el);
        if (k == 0) e.subelement_records.push_back(nullptr);
    }
    e.subelement_count = 3;
    format_entity_information(e);
    set_entity_information_headings(e);
    const std::vector<std::string>& l = e.information_lines;
    ASSERT_EQ(l.size(), 34u);
    EXPECT_EQ(join_lines(l, 34), read_fixture("parallel_information.txt"));
    EXPECT_EQ(check_headings(e), (std::vector<size_t>{0, 7, 14, 20, 33}));

    // No elements and no box: 31 lines, the empty box's infinities shown.
    const double inf = std::numeric_limits<double>::infinity();
    e.subelement_records.clear();
    e.subelement_count = 0;
    e.bounds[BOUNDS_MIN] = {inf, inf, inf};
    format_entity_information(e);
    set_entity_information_headings(e);
    ASSERT_EQ(l.size(), 31u);
    EXPECT_NE(l[24].find("inf"), std::string::npos);
    EXPECT_NE(e.summary_headings.find("Parallel-Elements\n\n\nOutput-Mesh"), std::string::npos);
    check_headings(e);
}

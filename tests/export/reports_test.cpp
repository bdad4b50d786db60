// Entity texts, profiling reports, their statistics and invocation groups;
// golden texts under reports_fixtures/.
#include <algorithm>
#include <limits>

#include "art/typeface.h"
#include "context/tables.h"
#include "model/entity_texts.h"
#include "model/parallel_grammar.h"
#include "export/ppd_report.h"
#include "export/ppd_statistics.h"
#include "export_support.h"
#include "text/text_utils.h"

namespace {

const std::string rule(64, '-');

InteropMesh* report_mesh(Scene& s, int32_t algorithm) {
    InteropMesh* m = &scene_mesh(s, {});
    m->algorithm = algorithm;
    return m;
}

EntityRecord* report_element(Scene& s) {
    EntityRecord* e = &s.elements.emplace_back();
    e->mesh = report_mesh(s, MESH_OPTIMAL_CSG);
    return e;
}

// Sections with the line counts the parse would give them.
void set_sections(EntityParseRecord& r, const std::vector<std::string>& texts) {
    for (size_t s = 0; s < 4; ++s) {
        const std::string& t = r.sections[s] = texts[s];
        r.section_line_counts[s] = t.empty() ? 0 : 1 + static_cast<int32_t>(std::count(t.begin(), t.end(), '\n'));
    }
}

void set_mesh_figures(EntityRecord& e, int32_t vertices, int32_t polygons, int32_t triangles, uint64_t bytes,
                      int64_t ms) {
    e.vertex_count = vertices;
    e.polygon_count = polygons;
    e.ngon_index_count = 5 * polygons;
    e.triangle_count = triangles;
    e.triangle_index_count = 3 * triangles;
    e.mesh_bytes = bytes;
    e.mesh_kb = static_cast<double>(bytes) / 1024.0;
    e.mesh_mb = static_cast<double>(bytes) / 1048576.0;
    e.assembly_ms = ms;
    e.assembly_seconds = static_cast<double>(ms) / 1000.0;
}

EntityRecord gear(Scene& fx, size_t script_bytes, int64_t ms) {
    EntityRecord e;
    e.mesh = report_mesh(fx, MESH_BASIC_CSG);
    e.parse_record.path = "/home/user/scripts/gear.vrek";
    e.parse_record.script = std::string(script_bytes, 'x');
    set_mesh_figures(e, 12482, 6240, 12476, 998912, ms);
    e.parse_result.parameter_count = 3;
    e.bounds = {{{-1.5, 0.0, 2.25}, {1.5, 2.0, 4.25}, {0.0, 1.0, 3.25}, {0.125, 0.5, 3.0}, {3.0, 2.0, 2.0}}};
    e.smoothing_groups_defined = 1;
    return e;
}

// F = 2, O = 3 and six timing lines: rows take lines 2 to 4. Lines 0 and 5
// are longer than those, so they must not widen the columns.
EntityRecord profiled_gear(Scene& fx) {
    EntityRecord e = gear(fx, 2048, 4321);
    e.mesh->ppd_text = "7777777777777\n5\n89\n2500000000\n1234567\n123456789012345\n";
    set_sections(e.parse_record, {"#PROFILE;", "INT teeth = 12;\nDBL radius = 2.5;",
                                  "def tooth() { cube(1); }\ndef ring() { torus(2); }",
                                  "a = ring();\nb = tooth();\nreturn a + b;"});
    return e;
}

// Three elements, the second without a mesh; two calls share group 0.
EntityRecord robot(Scene& fx) {
    EntityRecord e;
    e.parallel = e.parse_record.parallel = 1;
    e.algorithm = MESH_OPTIMAL_CSG;
    e.parse_record.path = "/work/scripts/robot.vrek";
    set_sections(e.parse_record, {"#PARALLEL;", "", "#VREK(arm){ cube(1); };\n#VREK(leg){ cube(2); };",
                                  "return { VREK(0|arm), VREK(0|leg), VREK(body){ sphere(3); } };"});
    e.parse_record.script = std::string(135, 's');
    for (int k : {0, 2}) {
        EntityRecord* el = report_element(fx);
        el->is_element = 1;
        el->parse_record.path = "/work/ws/tmp/vrek_assemble_in_" + std::to_string(k);
        set_sections(el->parse_record, {"#ELEMENT;", "", "", k ? "c();\nd();\ne();" : "a();\nb();"});
        el->vertex_count = k ? 400 : 600;
        e.subelement_records.push_back(el);
        if (k == 0) e.subelement_records.push_back(nullptr);
    }
    e.subelement_count = 3;
    set_mesh_figures(e, 1000, 500, 1000, 1536000, 1500);
    return e;
}

int32_t measured(const std::string& line) {
    int32_t width = 0;
    for (unsigned char c : line) width += glyph_width_tables[3][c];
    return width;
}

// The rows that carry a heading; each must fall on an empty information
// line, and every other information line is indented.
std::vector<size_t> heading_rows(EntityRecord& e) {
    format_entity_information(e);
    set_entity_information_headings(e);
    const std::vector<std::string> headings = text_lines(e.heading_text);
    std::vector<size_t> rows;
    EXPECT_EQ(headings.size(), e.information_lines.size());
    for (size_t i = 0; i < headings.size() && i < e.information_lines.size(); ++i) {
        const std::string& info = e.information_lines[i];
        if (!headings[i].empty()) rows.push_back(i);
        EXPECT_TRUE(info.empty() || (headings[i].empty() && info.compare(0, 2, "\t ") == 0)) << i;
    }
    return rows;
}

std::vector<std::string> statement_rows(const std::string& report) {
    const std::string heading = "\t Workload : Per-Statement Breakdown\n" + rule + "\n";
    const size_t start = report.find(heading) + heading.size();
    return text_lines(report.substr(start, report.find(rule, start) - start));
}

bool has_line(const std::string& text, const std::string& line) {
    return text.find("\n" + line + "\n") != std::string::npos;
}

EntityParseRecord parallel_record(const std::string& directives, const std::string& functions,
                                  const std::string& operations) {
    EntityParseRecord record;
    record.parallel = 1;
    set_sections(record, {directives, "", functions, operations});
    return record;
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
    Scene fx;
    EntityRecord e = gear(fx, 2150, 4713);
    e.mesh_kb = 975.5;
    set_entity_summary_values(e);
    const std::vector<std::string> expected = {
        "gear.vrek", "12,482 vertex | 6,240 polygons \t 12,476 triangles | 4.71 seconds",
        "2.10 kb (script) | 975.50 kb (mesh) | path: \"/home/user/scripts/\""};
    EXPECT_EQ(e.summary_lines, expected);
    EXPECT_EQ(e.summary_width, measured(expected[1]));

    // A bare name, zero counts, an empty script; bytes above 127 are
    // measured as unsigned.
    EntityRecord bare;
    bare.parse_record.path = "\xc3\xa9t\xc3\xa9.vrek";
    set_entity_summary_values(bare);
    EXPECT_EQ(bare.summary_lines[1], "0 vertex | 0 polygons \t 0 triangles | 0.00 seconds");
    EXPECT_EQ(bare.summary_lines[2], "0.00 kb (script) | 0.00 kb (mesh) | path: \"\xc3\xa9t\xc3\xa9.vrek\"");
    EXPECT_EQ(bare.summary_width, std::max(measured(bare.summary_lines[1]), measured(bare.summary_lines[2])));
}

TEST(EntityTexts, SingleEntityInformation) {
    Scene fx;
    EntityRecord e = gear(fx, 1234, 4713);
    EXPECT_EQ(heading_rows(e), (std::vector<size_t>{0, 7, 13, 26}));
    const std::vector<std::string>& l = e.information_lines;
    ASSERT_EQ(l.size(), 27u);
    EXPECT_EQ(join_lines(l, 27), slurp(source_path("reports_fixtures/single_information.txt")));

    // A flat mesh shows z and depth as 0 whatever its third components
    // hold; an unknown algorithm has no name.
    e.mesh->dimension = 2;
    e.bounds[BOUNDS_EXTENT][2] = std::numeric_limits<double>::quiet_NaN();
    for (int32_t algorithm : {-1, 3}) {
        e.mesh->algorithm = algorithm;
        format_entity_information(e);
        EXPECT_EQ(l[10], "\t Execution-Mode: ?");
    }
    EXPECT_EQ(l[19], "\t AABB-Extent: [ width:3.0000, height:2.0000, depth:0.0000 ]");
    EXPECT_EQ(l[20], "\t AABB-Minimum: [ x:-1.5000, y:0.0000, z:0.0000 ]");
}

TEST(EntityTexts, ParallelEntityInformation) {
    Scene fx;
    EntityRecord e = gear(fx, 1234, 400);
    e.mesh = nullptr;
    e.parallel = 1;
    e.algorithm = MESH_OPTIMAL_CSG;
    set_mesh_figures(e, 1000, 400, 2000, 4096, 400);
    for (int k = 0; k < 2; ++k) {
        EntityRecord* el = report_element(fx);
        el->mesh->element_invocation = k ? "leg(2)" : "arm(1)";
        el->vertex_count = k ? 750 : 250;
        el->assembly_ms = k ? 300 : 120;
        e.subelement_records.push_back(el);
        if (k == 0) e.subelement_records.push_back(nullptr);
    }
    e.subelement_count = 3;
    EXPECT_EQ(heading_rows(e), (std::vector<size_t>{0, 7, 14, 20, 33}));
    const std::vector<std::string>& l = e.information_lines;
    ASSERT_EQ(l.size(), 34u);
    EXPECT_EQ(join_lines(l, 34), slurp(source_path("reports_fixtures/parallel_information.txt")));
    // An element assembled in a batch has no time of its own.
    e.subelement_records[2]->assembly_ms = -1;
    format_entity_information(e);
    EXPECT_EQ(l[18], "\t [leg(2)] : |V| 750 (75.00%) | ? ms (?%)");
    // Nor does an entity timed at 0 ms give its elements a share.
    e.subelement_records[2]->assembly_ms = 300;
    e.assembly_ms = 0;
    format_entity_information(e);
    EXPECT_EQ(l[18], "\t [leg(2)] : |V| 750 (75.00%) | 300 ms (?%)");
    // An entry the list does not hold shows like a missing element.
    e.subelement_records.shrink_to_fit();
    e.subelement_count = 4;
    format_entity_information(e);
    EXPECT_EQ(l[19], "\t [!] : |V|=? | ? ms (NULL)");

    // No elements and no box: 31 lines, the empty box's infinities shown.
    const double inf = std::numeric_limits<double>::infinity();
    e.subelement_records.clear();
    e.subelement_count = 0;
    e.bounds[BOUNDS_MIN] = {inf, inf, inf};
    heading_rows(e);
    ASSERT_EQ(l.size(), 31u);
    EXPECT_NE(l[24].find("inf"), std::string::npos);
    EXPECT_NE(e.heading_text.find("Parallel-Elements\n\n\nOutput-Mesh"), std::string::npos);
}

TEST(PpdReport, GoldenTexts) {
    Scene fx;
    testing::internal::CaptureStdout();
    EXPECT_EQ(compose_ppd_report(profiled_gear(fx)), slurp(source_path("reports_fixtures/single_report.txt")));
    EXPECT_EQ(compose_parallel_ppd_report(robot(fx)), slurp(source_path("reports_fixtures/parallel_report.txt")));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // the statement counts agree
    EXPECT_EQ(compose_ppd_report(EntityRecord()), "M!");
}

TEST(PpdReport, RowRangeNeedsOneTimingLineMore) {
    Scene fx;
    EntityRecord e = profiled_gear(fx);
    e.mesh->ppd_text = "1\n2\n3\n4\n5";  // exactly F + O lines
    EXPECT_TRUE(statement_rows(compose_ppd_report(e)).empty());
    e.mesh->ppd_text += "\n6";
    EXPECT_EQ(statement_rows(compose_ppd_report(e)).size(), 3u);
    // Counts never set (-1) must not index before the timing text.
    e.parse_record.section_line_counts = {-1, -1, -1, -1, -1, -1, -1};
    const std::string report = compose_ppd_report(e);
    EXPECT_TRUE(statement_rows(report).empty());
    EXPECT_TRUE(has_line(report, "  Input-Script | Statements: -4"));
    e.parse_record.section_line_counts[SECTION_OPERATIONS] = 3;
    EXPECT_TRUE(statement_rows(compose_ppd_report(e)).empty());

    // Twelve operations are numbered s00 to s11.
    std::string ops, timings = "0\n0\n";
    for (int k = 0; k < 12; ++k) {
        ops += "\nop" + std::to_string(k) + "();";
        timings += std::to_string(1000 * (k + 1)) + "\n";
    }
    set_sections(e.parse_record, {"", "", "f();\ng();", ops.substr(1)});
    e.mesh->ppd_text = timings + "0";
    const std::vector<std::string> rows = statement_rows(compose_ppd_report(e));
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[0], "  s00 : [ 0.0 ms |  1000 ns | 0.00 s ] \t op0();");
    EXPECT_EQ(rows[11], "  s11 : [ 0.0 ms | 12000 ns | 0.00 s ] \t op11();");
}

TEST(PpdReport, UnreadableTimingsAndMissingStatements) {
    Scene fx;
    EntityRecord e = profiled_gear(fx);
    e.mesh->ppd_text = "0\n0\nslow\n99999999999999999999\n  -3000000x\n0\n1\n2";
    e.parse_record.section_line_counts[SECTION_OPERATIONS] = 5;  // three lines present
    testing::internal::CaptureStdout();
    const std::vector<std::string> rows = statement_rows(compose_ppd_report(e));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR:OPc!=|OP|;\n");
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], "  s0 : [                ? ms |                 slow ns |              ? s ] \t a = ring();");
    EXPECT_EQ(rows[1], "  s1 : [                ? ms | 99999999999999999999 ns |              ? s ] \t b = tooth();");
    EXPECT_EQ(rows[2], "  s2 : [             -3.0 ms |            -3000000x ns |          -0.00 s ] \t return a + b;");
    EXPECT_EQ(rows[4], "  s4 : [              0.0 ms |                    1 ns |           0.00 s ] \t ");
}

TEST(PpdReport, ElementsCarryOrdinalAndBatch) {
    Scene fx;
    EntityRecord e = profiled_gear(fx);
    e.is_element = 1;
    e.mesh->element_index = 2;
    e.mesh->element_count = 5;
    e.mesh->batch_index = 1;
    e.mesh->batch_count = 2;
    e.mesh->algorithm = 7;
    e.mesh->ppd_text.clear();
    const std::string report = compose_ppd_report(e);
    EXPECT_NE(report.find("' ]\n    \t ordinal: 2 (3 of 5)\n    \t batch:   1 (2 of 2)\n  --"), std::string::npos);
    EXPECT_TRUE(has_line(report, "  Output-Mesh | Type: ELEMENT"));
    EXPECT_TRUE(has_line(report, "  Run-Process | Mode: ?"));
    EXPECT_TRUE(statement_rows(report).empty());  // no profiling text
}

TEST(ParallelPpdReport, WidthsFollowElementAndGroupCounts) {
    Scene fx;
    EntityRecord e = robot(fx);
    std::string calls;
    e.subelement_records.clear();
    for (int k = 0; k < 12; ++k) {
        calls += k < 3 ? "VREK(4|arm), " : "VREK(leg), ";
        e.subelement_records.push_back(report_element(fx));
        e.subelement_records.back()->vertex_count = 10;
        e.subelement_records.back()->parse_record.path = "el" + std::to_string(k);
    }
    e.subelement_count = 12;
    e.parse_record.sections[SECTION_OPERATIONS] = "return { " + calls + " };";
    std::string report = compose_parallel_ppd_report(e);
    EXPECT_TRUE(has_line(report, "  | E00 | 0 ms (? %) |    10 v (  1.00 %) | \t [el0]"));
    EXPECT_TRUE(has_line(report, "  | E11 | 0 ms (? %) |    10 v (  1.00 %) | \t [el11]"));
    // Group 4 holds three calls; nine fresh groups 5 to 13 follow.
    EXPECT_TRUE(has_line(report, "  | B00 |  4 \t [ 3]{ arm,arm,arm };"));
    EXPECT_TRUE(has_line(report, "  | B09 | 13 \t [ 1]{ leg };"));
    for (int32_t algorithm : {-1, 3}) {  // no name to look up
        e.algorithm = algorithm;
        EXPECT_TRUE(has_line(compose_parallel_ppd_report(e), "  Run-Process | Mode: ?")) << algorithm;
    }

    // An unusable return statement: no batching rows, and nothing printed.
    e.parse_record.sections[SECTION_OPERATIONS] += "\nreturn { VREK(leg) };";
    e.subelement_count = 13;  // one entry more than the list holds
    e.vertex_count = 0;
    testing::internal::CaptureStdout();
    report = compose_parallel_ppd_report(e);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(report.find("Batching\n" + rule + "\n  ---"), std::string::npos);
    EXPECT_TRUE(has_line(report, "  | E12 | ? ms (? %) |            0 v (     ? %) | \t null"));
    EXPECT_NE(report.find("  | E00 | 0 ms (? %) | 10 v ("), std::string::npos);
}

// min_SRT and max_SRT of a statistics block, without their padding.
static std::pair<std::string, std::string> runtimes(const std::vector<std::string>& timings, int32_t first,
                                                    int32_t count) {
    EntityRecord e;
    set_mesh_figures(e, 100, 0, 0, 400, 500);
    const std::vector<std::string> lines = text_lines(format_ppd_statistics(e, timings, 10, first, count));
    auto value = [&](size_t i) {
        const size_t start = lines[i].find_first_not_of(' ', 13);
        return lines[i].substr(start, lines[i].find(' ', start) - start);
    };
    return {value(2), value(3)};
}

// The block's layout is pinned by the report golden texts.
TEST(PpdStatistics, WhichLinesCount) {
    using Pair = std::pair<std::string, std::string>;
    // Blank, sign and unit leave a line out; nine digits count; empty is 0.
    EXPECT_EQ(runtimes({" 5", "-5", "5ms", "123456789", "400000"}, 0, 5), Pair("0.4", "123.5"));
    EXPECT_EQ(runtimes({"400000", ""}, 0, 2), Pair("0.0", "0.4"));
    // Past 2^31 ns still right; a digit line beyond 64 bits is left out.
    EXPECT_EQ(runtimes({"3000000000", "99999999999999999999999"}, 0, 2), Pair("3000.0", "3000.0"));
    // Only lines that exist are scanned; nothing in range keeps the start
    // values, padded like the others.
    EXPECT_EQ(runtimes({"2000000", "1"}, -1, 2), Pair("2.0", "2.0"));
    EXPECT_EQ(runtimes({"7", "120000", "300000", "9"}, 1, 2), Pair("0.1", "0.3"));
    for (const auto& [first, count] : {std::make_pair(0, 0), std::make_pair(5, 3), std::make_pair(-4, 2)})
        EXPECT_EQ(runtimes({"1", "2"}, first, count), Pair("2147.5", "-2147.5")) << first << " " << count;
    // No divisor is tested: the block still has its six lines.
    const std::vector<std::string> block = text_lines(format_ppd_statistics(EntityRecord(), {}, 0, 0, 1));
    ASSERT_EQ(block.size(), 6u);
    EXPECT_NE(block[0].find("nan"), std::string::npos);
}

TEST(PpdStatistics, LenientTimingReading) {
    int64_t v = 0;
    const std::pair<const char*, int64_t> lenient[] = {
        {"  +42abc", 42}, {"\t-7", -7}, {"-9223372036854775808", std::numeric_limits<int64_t>::min()}};
    for (const auto& [line, value] : lenient) {
        EXPECT_TRUE(read_timing_line(line, TIMING_LENIENT, v)) << line;
        EXPECT_EQ(v, value);
    }
    for (const char* bad : {"", "abc", "- 5", "+", "9223372036854775808"})
        EXPECT_FALSE(read_timing_line(bad, TIMING_LENIENT, v)) << bad;
    EXPECT_FALSE(read_timing_line("+1", TIMING_STRICT, v));
}

TEST(ReportSources, SplitResolveAndWrap) {
    testing::internal::CaptureStdout();
    const auto sources = build_subelement_sources(
        parallel_record("#PARALLEL;\n#GLOBAL_PRE{ int g = 1; };\n#PRE{ later(); };\n#POST\n#POST{ done(); };",
                        "#VREK(arm){ cube(1); };\n#vrek(arm){ no(); };",
                        "return { VREK(2|arm), VREK(leg(1,2)){ sphere(); }, VREK(a<b,c>), VREK(\"x,)\"), };"),
        nullptr, true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    // The first prefix, suffix and definition win; a bare keyword is no
    // block. Commas inside brackets or strings do not split; a reference
    // runs to the first ")" wherever it stands.
    const std::vector<std::vector<std::string>> expected = {
        {"2|arm", "int g = 1;\ncube(1);\ndone();"},  // first definition wins
        {"leg(1,2", "int g = 1;\nsphere();\ndone();"},  // inline block
        {"a<b,c>", ""},  // unresolved: no prefix or suffix
        {"\"x,", ""}};
    EXPECT_EQ(sources, expected);
}

TEST(ReportSources, UnusableScriptsGiveNone) {
    const std::string defs = "#VREK(arm){ cube(1); };";
    EntityParseRecord serial = parallel_record("", defs, "return { VREK(arm) };");
    serial.parallel = 0;
    EXPECT_TRUE(build_subelement_sources(serial, nullptr, true).empty());
    for (const char* ops : {"", "return { VREK(arm) };\nreturn { VREK(arm) };", "return VREK(arm);", "return { };",
                            "return { VREK)arm( };"})
        EXPECT_TRUE(build_subelement_sources(parallel_record("", defs, ops), nullptr, true).empty()) << ops;
    EXPECT_TRUE(build_subelement_sources(parallel_record("#PRE_x", defs, "return { VREK(arm) };"), nullptr, true).empty());
    for (const char* bad : {"#VREK(arm)", "#VREK(arm){"})  // no block, or too short for one
        EXPECT_TRUE(build_subelement_sources(parallel_record("", bad, "return { VREK(arm) };"), nullptr, true).empty()) << bad;
    EXPECT_EQ(build_subelement_sources(parallel_record("#PARALLEL", defs, "return { VREK(arm) };"), nullptr, true).size(), 1u);
}

TEST(ReportSources, GroupsInAscendingKeyOrder) {
    auto sources = build_subelement_sources(
        parallel_record("", "", "return { VREK(3|a), VREK(1|b), VREK(c), VREK(3|d), VREK(123456789|e) };"), nullptr, true);
    const std::vector<int32_t> keys = extract_invocation_group_keys(sources);
    // c and the over-long prefix get fresh keys 4 and 5.
    EXPECT_EQ(group_by_batch_key(keys, std::vector<bool>(keys.size(), true)),
              (std::vector<std::vector<int32_t>>{{1}, {0, 3}, {2}, {4}}));
    EXPECT_TRUE(group_by_batch_key(keys, {true, true}).empty());
    EXPECT_EQ(group_by_batch_key({2, -1, 2}, {true, true, false}), (std::vector<std::vector<int32_t>>{{0}}));
}

#include <gtest/gtest.h>

#include "export/ppd_report.h"
#include "reports_support.h"

namespace {

const std::string rule(64, '-');

// F = 2, O = 3 and six timing lines: rows take lines 2 to 4. Lines 0 and 5
// are longer than those, so they must not widen the columns.
EntityRecord gear(ReportFixture& fx) {
    EntityRecord e;
    e.mesh = fx.new_mesh(MESH_BASIC_CSG);
    e.mesh->ppd_text = "7777777777777\n5\n89\n2500000000\n1234567\n123456789012345\n";
    e.parse_record.path = "/home/user/scripts/gear.vrek";
    e.parse_record.script = std::string(2048, 'x');
    set_sections(e.parse_record, {"#PROFILE;", "INT teeth = 12;\nDBL radius = 2.5;",
                                  "def tooth() { cube(1); }\ndef ring() { torus(2); }",
                                  "a = ring();\nb = tooth();\nreturn a + b;"});
    set_mesh_figures(e, 12482, 6240, 12476, 998912, 4321);
    return e;
}

// Three elements, the second without a mesh; two calls share group 0.
EntityRecord robot(ReportFixture& fx) {
    EntityRecord e;
    e.parallel = 1;
    e.algorithm = MESH_OPTIMAL_CSG;
    e.parse_record.parallel = 1;
    e.parse_record.path = "/work/scripts/robot.vrek";
    set_sections(e.parse_record, {"#PARALLEL;", "", "#VREK(arm){ cube(1); };\n#VREK(leg){ cube(2); };",
                                  "return { VREK(0|arm), VREK(0|leg), VREK(body){ sphere(3); } };"});
    e.parse_record.script = std::string(135, 's');
    for (int k : {0, 2}) {
        EntityRecord* el = fx.new_element();
        el->is_subelement = 1;
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

std::vector<std::string> statement_rows(const std::string& report) {
    const std::string heading = "\t Workload : Per-Statement Breakdown\n" + rule + "\n";
    const size_t start = report.find(heading) + heading.size();
    return text_lines(report.substr(start, report.find(rule, start) - start));
}

bool has_line(const std::string& text, const std::string& line) {
    return text.find("\n" + line + "\n") != std::string::npos;
}

}  // namespace

TEST(PpdReport, GoldenTextsEndWithTheRule) {
    ReportFixture fx;
    const std::string single = compose_ppd_report(gear(fx));
    EXPECT_EQ(single, read_fixture("single_report.txt"));
    const std::string parallel = compose_parallel_ppd_report(robot(fx));
    EXPECT_EQ(parallel, read_fixture("parallel_report.txt"));
    for (const std::string* r : {&single, &parallel}) EXPECT_EQ(r->substr(r->size() - 70), "\nEnd.\n" + rule);
    EXPECT_EQ(compose_ppd_report(EntityRecord()), "M!");
}

TEST(PpdReport, RowRangeNeedsOneTimingLineMore) {
    ReportFixture fx;
    EntityRecord e = gear(fx);
    e.mesh->ppd_text = "1\n2\n3\n4\n5";  // exactly F + O lines
    EXPECT_TRUE(statement_rows(compose_ppd_report(e)).empty());
    e.mesh->ppd_text += "\n6";
    EXPECT_EQ(statement_rows(compose_ppd_report(e)).size(), 3u);
    // Counts never set (-1) must not index before the timing text.
    e.parse_record.section_line_counts = {-1, -1, -1, -1, -1, -1, -1};
    const std::string report = compose_ppd_report(e);
    EXPECT_TRUE(statement_rows(report).empty());
    EXPECT_TRUE(has_line(report, "  Input-Script | Statements: -4"));

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
    ReportFixture fx;
    EntityRecord e = gear(fx);
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
    ReportFixture fx;
    EntityRecord e = gear(fx);
    e.is_subelement = 1;
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
    // No profiling text: no rows; the runtimes keep their start values.
    EXPECT_TRUE(statement_rows(report).empty());
    EXPECT_NE(report.find("  min_SRT  =  2147.5 ms"), std::string::npos);
    EXPECT_NE(report.find("  max_SRT  = -2147.5 ms"), std::string::npos);
}

TEST(ParallelPpdReport, WidthsFollowElementAndGroupCounts) {
    ReportFixture fx;
    EntityRecord e = robot(fx);
    std::string calls;
    e.subelement_records.clear();
    for (int k = 0; k < 12; ++k) {
        calls += k < 3 ? "VREK(4|arm), " : "VREK(leg), ";
        e.subelement_records.push_back(fx.new_element());
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

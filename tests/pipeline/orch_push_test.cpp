// Pushing edited parameters back into a script with the stand-in kernel.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "pipeline/open_scripts.h"
#include "pipeline/orch_support.h"
#include "pipeline/parameter_push.h"

namespace {

struct PushTest : ::testing::Test {
    KernelWorkspace ws;
    OrchContext ctx;

    EntityRecord& open(const std::string& name, const std::string& text) {
        const std::string path = ws.script(name, text);
        ctx.app->pending_paths = {path};
        ctx.app->pending_path_count = 1;
        open_script_paths(*ctx.app);
        EXPECT_GE(ctx.set().count, 1);
        return ctx.set().records.back();
    }
};

TEST_F(PushTest, PushReassemblesWithTheNewValueAndASecondPushDoesNothing) {
    EntityRecord& e = open("cube.vrek", "INT n(3, 1, 10, \"N\");\nDBL w = 0.5;\nreturn box(w).tx(n);\n");
    ASSERT_EQ(e.parse_result.parameter_count, 2);
    InteropMesh* first = e.mesh;
    const double first_x = first->bounds.at(0);
    ctx.app->parameter_list_view->selected_row = 0;
    reset_standin_call_log();

    e.parse_result.parameters[0].current.int_value = 7;
    push_selected_entity_parameters(*ctx.app);
    ASSERT_NE(e.mesh, first);
    EXPECT_NEAR(e.mesh->bounds.at(0) - first_x, 4.0, 1e-9);
    EXPECT_EQ(ws.staged("vrek_assemble_in").find("// parameters\nINT n = 7;\nDBL w = 0.5;\n// logic\n") !=
                  std::string::npos,
              true)
        << ws.staged("vrek_assemble_in");
    EXPECT_EQ(e.parse_result.parameters[0].last_pushed.int_value, 7);
    EXPECT_EQ(ctx.app->retired_vertex_arrays.size(), 1u);
    const std::string label = e.summary_values.at(1) + "\n" + e.summary_values.at(2);
    EXPECT_EQ(calls_starting("set_entity_row_label: "), std::vector<std::string>{"set_entity_row_label: 0|" + label});
    EXPECT_EQ(calls_starting("set_parameter_row_label: "),
              std::vector<std::string>{"set_parameter_row_label: 0|" + label});

    InteropMesh* second = e.mesh;
    reset_standin_call_log();
    push_selected_entity_parameters(*ctx.app);
    EXPECT_EQ(e.mesh, second);
    EXPECT_TRUE(standin_call_log().empty());
    EXPECT_EQ(ctx.app->retired_vertex_arrays.size(), 1u);
}

TEST_F(PushTest, FailedPushKeepsTheMeshShowsTheErrorAndIsRetried) {
    EntityRecord& e = open("cube.vrek", "INT n(3, 1, 10, \"N\");\nreturn box(1).tx(n);\n");
    InteropMesh* first = e.mesh;
    e.parse_result.parameters[0].current.int_value = 5;

    // A staging directory that cannot be written: the kernel never runs.
    const std::string tmp = ws.workspace + "tmp";
    ASSERT_EQ(rename(tmp.c_str(), (ws.workspace + "moved").c_str()), 0);
    ASSERT_TRUE(write_text_file(tmp, "not a directory"));
    push_entity_parameters(*ctx.app, &e, false);
    EXPECT_EQ(e.mesh, first);
    EXPECT_EQ(e.parse_result.parameters[0].last_pushed.int_value, 3);
    ASSERT_EQ(error_boxes().size(), 1u);
    EXPECT_EQ(error_boxes()[0].substr(0, error_boxes()[0].find('\n')), "Error: Assembly Error Occurred");

    ASSERT_EQ(unlink(tmp.c_str()), 0);
    ASSERT_EQ(rename((ws.workspace + "moved").c_str(), tmp.c_str()), 0);
    push_entity_parameters(*ctx.app, &e, false);
    EXPECT_NE(e.mesh, first);
    EXPECT_EQ(e.parse_result.parameters[0].last_pushed.int_value, 5);
}

TEST_F(PushTest, ParallelPushReassemblesOnlyTheChangedSubElement) {
    EntityRecord& e = open("towers.vrek",
                           "#PARALLEL;\n"
                           "#VREK(a){ INT n(2, 1, 5, \"N\"); m = box(1).tx(n); };\n"
                           "#VREK(b){ m = sphere(1); };\n"
                           "#VREK(c){ DBL r(1.0, 0.5, 2.0, \"R\"); m = sphere(r).ty(3); };\n"
                           "return { VREK(a), VREK(b), VREK(c) };\n");
    ASSERT_EQ(e.parallel, 1);
    ASSERT_EQ(e.parse_result.parameter_count, 2);
    ASSERT_EQ(e.parse_result.merged_parameters.size(), 2u);
    InteropMesh* before[3] = {e.subelement_records[0]->mesh, e.subelement_records[1]->mesh,
                              e.subelement_records[2]->mesh};

    // The second merged parameter belongs to sub-element c (index 2), which
    // is the second entry of the elements that declare parameters.
    e.parse_result.merged_parameters[1]->current.double_value = 1.5;
    push_entity_parameters(*ctx.app, &e, false);
    EXPECT_EQ(e.subelement_records[0]->mesh, before[0]);
    EXPECT_EQ(e.subelement_records[1]->mesh, before[1]);
    ASSERT_NE(e.subelement_records[2]->mesh, before[2]);
    const InteropMesh* fresh = e.subelement_records[2]->mesh;
    EXPECT_EQ(fresh->element_index, 2);
    EXPECT_EQ(fresh->element_count, 3);
    EXPECT_EQ(fresh->element_invocation, "c");
    EXPECT_FALSE(fresh->element_source.empty());
    EXPECT_NE(ws.staged("vrek_assemble_in").find("// parameters\nDBL r = 1.5;\n// logic\n"), std::string::npos);
    EXPECT_EQ(ctx.app->retired_vertex_arrays.size(), 1u);
    EXPECT_EQ(e.parse_result.merged_parameters[1]->last_pushed.double_value, 1.5);
}

TEST_F(PushTest, ResetAllWithMarksResetsOnlyTheMarkedOnesThenPushes) {
    EntityRecord& e = open("three.vrek",
                           "INT a(1, 0, 10, \"A\");\nINT b(2, 0, 10, \"B\");\nBLN c(true, \"C\");\n"
                           "return box(1).tx(a + b);\n");
    ASSERT_EQ(e.parse_result.parameter_count, 3);
    ctx.app->parameter_list_view->selected_row = 0;
    for (EntityParameter& p : e.parse_result.parameters) p.current = p.default_value;
    e.parse_result.parameters[0].current.int_value = 9;
    e.parse_result.parameters[1].current.int_value = 9;
    e.parse_result.parameters[2].current.bool_value = 0;
    e.parameter_marks = {0, 1, 1};
    InteropMesh* before = e.mesh;
    reset_standin_call_log();
    reset_all_parameters(*ctx.app);
    EXPECT_EQ(e.parse_result.parameters[0].current.int_value, 9);
    EXPECT_EQ(e.parse_result.parameters[1].current.int_value, 2);
    EXPECT_EQ(e.parse_result.parameters[2].current.bool_value, 1);
    EXPECT_EQ(calls_starting("set_parameter_field: "),
              (std::vector<std::string>{"set_parameter_field: 1|2|0", "set_parameter_field: 2|TRUE|4280328192"}));
    EXPECT_EQ(calls_starting("set_parameter_slider: "), std::vector<std::string>{"set_parameter_slider: 1|0.2"});
    // a still differs from what was last pushed.
    EXPECT_NE(e.mesh, before);

    // In multi-edit mode a reset changes the value but stages nothing.
    e.multi_edit = 1;
    InteropMesh* current = e.mesh;
    ctx.app->reset_parameter_row = 0;
    reset_selected_parameter(*ctx.app);
    EXPECT_EQ(e.parse_result.parameters[0].current.int_value, 1);
    EXPECT_EQ(e.mesh, current);
    EXPECT_EQ(ctx.app->reset_parameter_row, -1);

    // An index beyond the list is refused.
    ctx.app->reset_parameter_row = 3;
    reset_selected_parameter(*ctx.app);
    EXPECT_EQ(ctx.app->reset_parameter_row, -1);
}

}  // namespace

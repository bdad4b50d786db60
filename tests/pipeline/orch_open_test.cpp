// Opening scripts end to end with the stand-in kernel: console lines, trace
// channels, error panes and the entity that lands in the environment.
#include <gtest/gtest.h>

#include <algorithm>

#include "pipeline/open_scripts.h"
#include "pipeline/orchestration.h"
#include "pipeline/orch_support.h"

namespace {

const char* const kParameterScript = "INT n(3, 1, 10, \"N\");\nreturn box(1).tx(n);\n";
const char* const kParallelScript =
    "#PARALLEL;\n"
    "#VREK(a){ m = box(1); };\n"
    "#VREK(b){ m = box(1).tx(2); };\n"
    "#VREK(c){ m = sphere(0.5).tx(4); };\n"
    "return { VREK(a), VREK(b), VREK(c) };\n";

struct OpenTest : ::testing::Test {
    KernelWorkspace ws;
    OrchContext ctx;

    void open(const std::vector<std::string>& paths) {
        ctx.app->pending_paths = paths;
        ctx.app->pending_path_count = static_cast<int32_t>(paths.size());
        open_script_paths(*ctx.app);
    }
};

TEST_F(OpenTest, OpeningAScriptAddsOneEntityWithItsRecordMeshTextsAndTraces) {
    InteropMesh* startup = new InteropMesh();
    ctx.app->startup_entity_mesh = startup;
    const std::string path = ws.script("cube.vrek", kParameterScript);
    open({path});

    ASSERT_EQ(ctx.set().count, 1);
    const EntityRecord& e = ctx.entity(0);
    ASSERT_NE(e.mesh, nullptr);
    EXPECT_TRUE(e.mesh->present);
    EXPECT_EQ(e.mesh->algorithm, MESH_OPTIMAL_CSG);
    EXPECT_GT(e.triangle_count, 0);
    EXPECT_EQ(e.parse_record.path, path);
    EXPECT_EQ(e.parse_record.script, kParameterScript);
    EXPECT_EQ(e.parse_result.parameter_count, 1);
    EXPECT_EQ(e.file_name, ": cube.vrek");
    EXPECT_EQ(e.summary_values.size(), 3u);
    EXPECT_FALSE(e.information_lines.empty());
    EXPECT_EQ(ctx.set().parameter_entities, std::vector<int32_t>{0});
    EXPECT_EQ(ctx.app->parameter_list_view->height, 50);
    EXPECT_EQ(startup->visible, 0);
    // The kernel got the parse's echo of the statements, not the file.
    EXPECT_NE(ws.staged("vrek_assemble_in").find("INT n(3, 1, 10, \"N\");\n"), std::string::npos);

    const std::vector<std::string> console = ctx.console();
    ASSERT_EQ(console.size(), 5u);
    EXPECT_EQ(console[0], "Script-File Opened: cube.vrek");
    EXPECT_EQ(console[1], "Parsing: cube.vrek");
    EXPECT_TRUE(is_duration_line(console[2])) << console[2];
    EXPECT_EQ(console[3], "Assembling: cube.vrek");
    EXPECT_TRUE(is_duration_line(console[4])) << console[4];

    // The KERNEL channel keeps only the latest run: the assembly.
    const std::vector<std::string> kernel = ctx.channel(TRACE_KERNEL);
    ASSERT_FALSE(kernel.empty());
    EXPECT_NE(kernel[0].find("assembled 1 elements"), std::string::npos) << kernel[0];

    const std::vector<std::string> expected = {
        "refresh_mesh_statistics", "update_window_status", "update_attribute_trace", "rebuild_entity_rows",
        "rebuild_parameter_rows", "refresh_entity_inspector", "rebuild_parameter_pane",
        "build_camera_directive_rows", "build_variant_rows", "build_animation_tracks",
        "set_element_visible: OPENPANE=0", "any_popup_open", "set_element_visible: MASKPANE=0",
        "set_element_visible: OVERLAY=0"};
    EXPECT_EQ(standin_call_log(), expected);
    EXPECT_EQ(ctx.app->interface_refresh_count, 1);
}

TEST_F(OpenTest, OpeningALoadedScriptAgainReassemblesItInPlace) {
    const std::string path = ws.script("cube.vrek", kParameterScript);
    open({path, path});
    ASSERT_EQ(ctx.set().count, 1);
    const std::vector<std::string> console = ctx.console();
    ASSERT_EQ(console.size(), 9u);
    EXPECT_EQ(console[5], "Note: Script Already Loaded: " + path);
    EXPECT_EQ(console[6], "Re-Parsing: cube.vrek");
    // Unchanged script, same algorithm: culled.
    EXPECT_EQ(console[8], "  \t (nothing to do - skipping re-assembly)");

    // Without culling the entity is rebuilt in its slot and the old mesh
    // retired; a colour mode other than plain RGBA recolours the new one.
    ctx.app->reassembly_culling = 0;
    ctx.app->colour_mode = 3;
    const int32_t old_serial = ctx.entity(0).serial_id;
    open({path});
    ASSERT_EQ(ctx.set().count, 1);
    EXPECT_NE(ctx.entity(0).serial_id, old_serial);
    EXPECT_EQ(ctx.console().back().substr(0, 4), "  \t ");
    EXPECT_EQ(ctx.app->retired_vertex_arrays.size(), 1u);
    EXPECT_EQ(ctx.app->retired_index_buffers.size(), 1u);
    EXPECT_EQ(calls_starting("recolour_entity: "),
              std::vector<std::string>{"recolour_entity: " + std::to_string(ctx.entity(0).serial_id)});
}

TEST_F(OpenTest, SyntaxErrorsGiveSingularAndPluralTextsAndAddNothing) {
    open({ws.script("one.vrek", "return box(1) + ;\n")});
    open({ws.script("two.vrek", "a = sphere(1, 16, 3);\nb = (box(1).tx(2);\nreturn a + b;\n")});
    EXPECT_EQ(ctx.set().count, 0);

    const std::vector<std::string> console = ctx.console();
    EXPECT_NE(std::find(console.begin(), console.end(), "  \t 1 Syntax-Error (see trace for details)"), console.end());
    EXPECT_NE(std::find(console.begin(), console.end(), "  \t 2 Syntax-Errors (see trace for details)"),
              console.end());
    EXPECT_EQ(std::count_if(console.begin(), console.end(),
                            [](const std::string& l) { return l.rfind("Assembling", 0) == 0; }),
              0);

    const std::vector<std::string> boxes = error_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0],
              "Error: Syntax-Error in Script\nThe input script 'one.vrek' contains 1 syntactic error.\n\nRefer to "
              "the kernel execution trace for further details in order to identify and correct the error.\n\nNote: "
              "syntax errors are the product of parsing a malformed or grammatically invalid set of VREK "
              "statements.\n\nNote: the input script 'one.vrek' can not be assembled until the error has been "
              "resolved.");
    EXPECT_EQ(boxes[1].substr(0, boxes[1].find('\n')), "Error: Syntax-Errors in Script");
    EXPECT_NE(boxes[1].find("contains 2 syntactic errors."), std::string::npos);
    EXPECT_NE(boxes[1].find("correct each error"), std::string::npos);
    EXPECT_NE(boxes[1].find("until each error has been resolved."), std::string::npos);
    // The parse's output reached the trace before the pane.
    EXPECT_NE(ctx.channel(TRACE_KERNEL).at(0).find("2 errors"), std::string::npos);
}

TEST_F(OpenTest, FailingKernelGivesTheCriticalErrorAndLeavesTheStartupMeshShown) {
    InteropMesh* startup = new InteropMesh();
    ctx.app->startup_entity_mesh = startup;
    open({ws.script("boom.vrek", "m = box(1);\nfail();\nreturn m;\n")});
    EXPECT_EQ(ctx.set().count, 0);
    EXPECT_EQ(startup->visible, 1);
    EXPECT_EQ(ctx.console().back(), "  \t Critical Assembly-Error (NULL-RETURN)");
    const std::vector<std::string> boxes = error_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0],
              "Error: Critical Assembly Error Occurred\nThe input script 'boom.vrek' caused a critical runtime "
              "error to occur which forcibly terminated kernel execution prior to completion.\n\nNote: the input "
              "script 'boom.vrek' can not be assembled until the source of the critical runtime error has been "
              "resolved.");
    // No run text of the failed assembly is routed: the kernel channel still
    // shows the parse.
    EXPECT_NE(ctx.channel(TRACE_KERNEL).at(0).find("parsed"), std::string::npos);
    EXPECT_TRUE(calls_starting("refresh_mesh_statistics").empty());
}

TEST_F(OpenTest, ParallelScriptBecomesOneEntityWithThreeSubElements) {
    const std::string path = ws.script("towers.vrek", kParallelScript);
    open({path});
    ASSERT_EQ(ctx.set().count, 1);
    const EntityRecord& e = ctx.entity(0);
    EXPECT_EQ(e.parallel, 1);
    ASSERT_EQ(e.subelement_records.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_NE(e.subelement_records[i], nullptr);
        ASSERT_NE(e.subelement_records[i]->mesh, nullptr);
        EXPECT_EQ(e.subelement_records[i]->mesh->element_index, static_cast<int32_t>(i));
        EXPECT_EQ(e.subelement_records[i]->mesh->element_count, 3);
    }
    EXPECT_EQ(e.subelement_records[1]->parse_record.path, "b");
    EXPECT_EQ(e.parse_record.path, path);
    const std::vector<std::string> console = ctx.console();
    ASSERT_EQ(console.size(), 5u);
    EXPECT_EQ(console[3], "Assembling: towers.vrek");
    // The traces are those of the second parse of the whole script.
    EXPECT_NE(ctx.channel(TRACE_KERNEL).at(0).find("statements"), std::string::npos);
}

TEST_F(OpenTest, MalformedParallelReturnReportsTheGrammarMessage) {
    open({ws.script("bad.vrek", "#PARALLEL;\n#GLOBAL_PRE base;\n#VREK(a){ m = box(1); };\nreturn { VREK(a) };\n")});
    EXPECT_EQ(ctx.set().count, 0);
    const std::vector<std::string> boxes = error_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0],
              "ERROR: ...\nERROR-IN-PARALLEL-ASSEMBLY : MALFORMED GLOBAL-PREFIX!");
    // Nothing was assembled.
    EXPECT_TRUE(ws.staged("vrek_assemble_in").empty());
}

TEST_F(OpenTest, OneFailingSubElementGivesTheSingularAssemblyError) {
    open({ws.script("part.vrek",
                    "#PARALLEL;\n#VREK(a){ m = box(1); };\n#VREK(b){ m = box(1); fail(); };\n"
                    "#VREK(c){ m = sphere(1); };\nreturn { VREK(a), VREK(b), VREK(c) };\n")});
    EXPECT_EQ(ctx.set().count, 0);
    EXPECT_EQ(ctx.console().back(), "  \t 1 Assembly-Error (see trace for details)");
    const std::vector<std::string> boxes = error_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].substr(0, boxes[0].find('\n')), "Error: Assembly Error Occurred");
    EXPECT_NE(boxes[0].find("caused 1 runtime error.\n\n"), std::string::npos);
    EXPECT_NE(boxes[0].find("until the error has been resolved."), std::string::npos);
}

TEST_F(OpenTest, SyntaxErrorInASubElementListsOnlyThatElement) {
    open({ws.script("sub.vrek",
                    "#PARALLEL;\n#VREK(a){ m = box(1); };\n#VREK(b){ m = box(1) + ; };\n"
                    "return { VREK(a), VREK(b) };\n")});
    EXPECT_EQ(ctx.set().count, 0);
    const std::vector<std::string> boxes = error_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("can not be assembled until the error has been resolved.\n\n// E:b\n"),
              std::string::npos)
        << boxes[0];
    EXPECT_EQ(boxes[0].find("// E:a"), std::string::npos);
}

TEST_F(OpenTest, ScriptChangingBetweenItsTwoParsesIsACriticalError) {
    // A kernel wrapper that rewrites the script (three sub-elements become
    // two) right after the sub-elements were parsed.
    const std::string path = ws.script("moving.vrek", kParallelScript);
    const std::string two = ws.script("two.txt", "#PARALLEL;\n#VREK(a){ m = box(1); };\nreturn { VREK(a), VREK(a) };\n");
    const std::string wrapper = ws.root + "/vrek";
    ASSERT_TRUE(write_text_file(wrapper, "#!/bin/sh\nif [ \"$5\" = '*' ]; then cp '" + two + "' '" + path +
                                             "'; fi\nexec '" + kernel_path + "' \"$@\"\n"));
    ASSERT_EQ(chmod(wrapper.c_str(), 0755), 0);
    ASSERT_TRUE(set_kernel_path(wrapper));
    open({path});
    EXPECT_EQ(ctx.set().count, 0);
    EXPECT_EQ(ctx.console().back(), "  \t Critical Assembly-Error (NULL-RETURN)");
    ASSERT_EQ(error_boxes().size(), 1u);
}

TEST_F(OpenTest, PathsAreCheckedBeforeAnythingRuns) {
    const std::string good = ws.script("a.vrek", "return box(1);\n");
    open({"", ws.scripts + "UPPER.VREK", ".vrek", good});
    const std::vector<std::string> console = ctx.console();
    ASSERT_GE(console.size(), 5u);
    EXPECT_EQ(console[0], "Error: Invalid File Path");
    EXPECT_EQ(console[1], "  \t " + ws.scripts + "UPPER.VREK");
    EXPECT_EQ(console[2], "Error: Invalid File Path");
    EXPECT_EQ(console[3], "  \t .vrek");
    EXPECT_EQ(console[4], "Script-File Opened: a.vrek");
    EXPECT_EQ(ctx.set().count, 1);
}

TEST_F(OpenTest, BrowserSelectionOpensInDisplayOrder) {
    ws.script("first.vrek", "return box(1);\n");
    ws.script("second.vrek", "return sphere(1);\n");
    AppContext& app = *ctx.app;
    app.browser_directory = ws.scripts;
    app.browser_entries = {"second.vrek", "first.vrek", "other.vrek"};
    app.browser_selected = {1, 1, 0};
    app.browser_order = {1, 2, 0};
    app.browser_row_count = 3;
    open_selected_scripts(app);
    ASSERT_EQ(ctx.set().count, 2);
    EXPECT_EQ(ctx.entity(0).file_name, ": first.vrek");
    EXPECT_EQ(ctx.entity(1).file_name, ": second.vrek");
    EXPECT_EQ(ctx.console()[0], "Script-File Opened: first.vrek");
}

}  // namespace

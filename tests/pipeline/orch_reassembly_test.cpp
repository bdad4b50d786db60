// Re-parse and re-assembly of loaded entities, and the environment re-parse
// report, with the stand-in kernel.
#include <gtest/gtest.h>
#include <glob.h>
#include <unistd.h>

#include <algorithm>

#include "pipeline/open_scripts.h"
#include "pipeline/orch_support.h"
#include "pipeline/reassembly.h"
#include "pipeline/reparse.h"

namespace {

const char* const kTriple =
    "#PARALLEL;\n"
    "#VREK(a){ m = box(1); };\n"
    "#VREK(b){ m = box(1).tx(2); };\n"
    "#VREK(c){ m = sphere(0.5).tx(4); };\n"
    "return { VREK(a), VREK(b), VREK(c) };\n";

struct ReassemblyTest : ::testing::Test {
    KernelWorkspace ws;
    OrchContext ctx;

    void open(const std::vector<std::string>& paths) {
        ctx.app->pending_paths = paths;
        ctx.app->pending_path_count = static_cast<int32_t>(paths.size());
        open_script_paths(*ctx.app);
    }
    size_t console_count(const std::string& prefix) {
        const std::vector<std::string> lines = ctx.console();
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.compare(0, prefix.size(), prefix) == 0;
        }));
    }
    std::vector<InteropMesh*> sub_meshes(const EntityRecord& e) {
        std::vector<InteropMesh*> meshes;
        for (EntityRecord* sub : e.subelement_records) meshes.push_back(sub ? sub->mesh : nullptr);
        return meshes;
    }
    // Staged element and batch inputs left by threaded assemblies.
    size_t staged_element_files() {
        glob_t g;
        const std::string pattern = ws.workspace + "tmp/vrek_assemble_in_*";
        size_t n = 0;
        if (glob(pattern.c_str(), 0, nullptr, &g) == 0) n = g.gl_pathc;
        for (size_t i = 0; i < n; ++i) unlink(g.gl_pathv[i]);
        globfree(&g);
        return n;
    }
};

TEST_F(ReassemblyTest, ReassembleAllSkipsLockedEntitiesAndKeepsDisplayState) {
    open({ws.script("a.vrek", "return box(1);\n"), ws.script("b.vrek", "return sphere(1);\n"),
          ws.script("c.vrek", "return box(2);\n")});
    ASSERT_EQ(ctx.set().count, 3);
    ctx.app->reassembly_culling = 0;
    ctx.entity(1).locked = 1;
    ctx.entity(0).translation = {1.0, 2.0, 3.0};
    ctx.entity(2).visible = 0;
    const int32_t serials[3] = {ctx.entity(0).serial_id, ctx.entity(1).serial_id, ctx.entity(2).serial_id};
    reset_standin_call_log();
    const int32_t before = ctx.app->environment->trace_log.console_count;

    reassemble_all_entities(*ctx.app);
    const std::vector<std::string> console = ctx.console();
    std::vector<std::string> reparsed;
    for (size_t i = static_cast<size_t>(before); i < console.size(); ++i) {
        if (console[i].rfind("Re-Parsing: ", 0) == 0) reparsed.push_back(console[i]);
    }
    EXPECT_EQ(reparsed, (std::vector<std::string>{"Re-Parsing: a.vrek", "Re-Parsing: c.vrek"}));
    EXPECT_NE(ctx.entity(0).serial_id, serials[0]);
    EXPECT_EQ(ctx.entity(1).serial_id, serials[1]);
    EXPECT_NE(ctx.entity(2).serial_id, serials[2]);
    EXPECT_EQ(ctx.entity(0).translation, (std::array<double, 3>{1.0, 2.0, 3.0}));
    EXPECT_EQ(ctx.entity(2).visible, 0);
    EXPECT_EQ(ctx.entity(2).mesh->visible, 0);
    EXPECT_EQ(calls_starting("rebuild_entity_rows").size(), 1u);
    EXPECT_EQ(calls_starting("merge_entity_display_flags").size(), 2u);
    EXPECT_EQ(ctx.app->retired_vertex_arrays.size(), 2u);
    EXPECT_EQ(ctx.app->needs_redraw, 1);
}

TEST_F(ReassemblyTest, EnvironmentReparseListsScriptsAndSubElementsAndTogglesThePane) {
    const std::string plain = ws.script("plain.vrek", "return box(1);\n");
    open({plain, ws.script("triple.vrek", kTriple)});
    ASSERT_EQ(ctx.set().count, 2);
    AppContext& app = *ctx.app;
    reset_standin_call_log();

    reparse_environment_entities(app);
    const ParseReport& report = app.parse_report;
    EXPECT_EQ(std::string(report.kinds.begin(), report.kinds.end()), "MPEEE");
    EXPECT_EQ(report.row_count, 5);
    EXPECT_EQ(report.title, "Script Parsing Result: Syntax-Valid");
    EXPECT_EQ(report.names[0], "plain.vrek");
    EXPECT_EQ(report.names[3], "b");
    ASSERT_EQ(report.section_lines[0][SECTION_OPERATIONS].size(), 2u);
    EXPECT_EQ(report.section_lines[0][SECTION_OPERATIONS][0], "\t Operations: [1]");
    EXPECT_EQ(report.section_lines[0][SECTION_ERRORS], std::vector<std::string>{"\t Errors: [0]"});
    EXPECT_EQ(app.parse_pane_open, 1);
    EXPECT_EQ(calls_starting("set_element_visible: PARSEPANE"),
              std::vector<std::string>{"set_element_visible: PARSEPANE=1"});
    EXPECT_EQ(console_count("Re-Parsing: "), 2u);

    // A broken script turns the verdict; the second run closes the pane.
    ASSERT_TRUE(write_text_file(plain, "return box(1) + ;\n"));
    reparse_environment_entities(app);
    EXPECT_EQ(app.parse_report.title, "Script Parsing Result: Erroneous-Syntax");
    EXPECT_EQ(app.parse_report.erroneous_count, 1);
    EXPECT_EQ(app.parse_pane_open, 0);
    EXPECT_EQ(console_count("Re-Parsing: "), 4u);
    // The entities themselves are untouched.
    EXPECT_EQ(ctx.entity(0).parse_record.script, "return box(1);\n");
}

TEST_F(ReassemblyTest, NothingToParseWarnsOnAnEmptyEnvironment) {
    reparse_environment_entities(*ctx.app);
    EXPECT_EQ(calls_starting("show_warning_box: "),
              std::vector<std::string>{"show_warning_box: Warning: Nothing to Parse\nOpen a Vrekform script file in "
                                       "order to use the parse function."});
    EXPECT_EQ(ctx.app->parse_pane_open, 0);
}

TEST_F(ReassemblyTest, ChangedSubElementIsTheOnlyOneAssembledAgain) {
    const std::string path = ws.script("triple.vrek", kTriple);
    open({path});
    ASSERT_EQ(ctx.set().count, 1);
    const std::vector<InteropMesh*> before = sub_meshes(ctx.entity(0));
    staged_element_files();
    std::string text = kTriple;
    text.replace(text.find("box(1).tx(2)"), 12, "box(2).tx(2)");
    ASSERT_TRUE(write_text_file(path, text));

    reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->mesh_algorithm);
    const std::vector<InteropMesh*> after = sub_meshes(ctx.entity(0));
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_NE(after[1], before[1]);
    EXPECT_EQ(after[2], before[2]);
    EXPECT_EQ(after[0]->reuse_mark, 0);
    EXPECT_EQ(staged_element_files(), 1u);
    EXPECT_EQ(ctx.app->retired_vertex_arrays.size(), 1u);
    EXPECT_EQ(ctx.entity(0).parse_record.script, text);
}

TEST_F(ReassemblyTest, EqualSubElementsEachKeepTheirOwnMesh) {
    const std::string path = ws.script("twins.vrek",
                                       "#PARALLEL;\n#VREK(a){ m = box(1); };\n#VREK(b){ m = sphere(1); };\n"
                                       "return { VREK(a), VREK(a), VREK(b) };\n");
    open({path});
    ASSERT_EQ(ctx.set().count, 1);
    const std::vector<InteropMesh*> before = sub_meshes(ctx.entity(0));
    ASSERT_NE(before[0], before[1]);
    const int32_t serial = ctx.entity(0).serial_id;
    staged_element_files();
    ctx.app->reassembly_culling = 0;

    reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->mesh_algorithm);
    EXPECT_NE(ctx.entity(0).serial_id, serial);
    const std::vector<InteropMesh*> after = sub_meshes(ctx.entity(0));
    EXPECT_EQ(after, before);
    EXPECT_EQ(staged_element_files(), 0u);
    EXPECT_TRUE(ctx.app->retired_vertex_arrays.empty());
}

TEST_F(ReassemblyTest, ScriptsChangeKindBetweenSerialAndParallel) {
    const std::string path = ws.script("shift.vrek", "return box(1);\n");
    open({path});
    ASSERT_EQ(ctx.set().count, 1);
    ASSERT_TRUE(write_text_file(path, kTriple));
    reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->mesh_algorithm);
    EXPECT_EQ(ctx.entity(0).parallel, 1);
    EXPECT_EQ(ctx.entity(0).mesh, nullptr);
    EXPECT_EQ(ctx.entity(0).subelement_records.size(), 3u);
    EXPECT_EQ(ctx.app->retired_vertex_arrays.size(), 1u);

    ASSERT_TRUE(write_text_file(path, "return sphere(1);\n"));
    reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->mesh_algorithm);
    EXPECT_EQ(ctx.entity(0).parallel, 0);
    ASSERT_NE(ctx.entity(0).mesh, nullptr);
    EXPECT_TRUE(ctx.entity(0).subelement_records.empty());
    EXPECT_EQ(ctx.app->retired_vertex_arrays.size(), 4u);
}

TEST_F(ReassemblyTest, EditedValuesAreCarriedOverWhenTheParametersStillFit) {
    const std::string path = ws.script("params.vrek", "INT n(3, 1, 10, \"N\");\nDBL w(0.5, 0.1, 2.0, \"W\");\n"
                                                      "return box(w).tx(n);\n");
    open({path});
    ASSERT_EQ(ctx.set().count, 1);
    ctx.app->reassembly_culling = 0;
    ctx.entity(0).parse_result.parameters[0].current.int_value = 8;

    reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->mesh_algorithm);
    const std::string staged = ws.staged("vrek_assemble_in");
    const size_t at = staged.find("// parameters\nINT n = 8;\nDBL w = 0.5;\n");
    ASSERT_NE(at, std::string::npos) << staged;
    EXPECT_EQ(staged.find("// logic", at), std::string::npos);
    const EntityParameter& n = ctx.entity(0).parse_result.parameters.at(0);
    EXPECT_EQ(n.current.int_value, 8);
    EXPECT_EQ(n.last_pushed.int_value, 8);

    // New bounds that exclude the edited value: the script's own value wins.
    ASSERT_TRUE(write_text_file(path, "INT n(3, 1, 5, \"N\");\nDBL w(0.5, 0.1, 2.0, \"W\");\nreturn box(w).tx(n);\n"));
    reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->mesh_algorithm);
    EXPECT_EQ(ctx.entity(0).parse_result.parameters.at(0).current.int_value, 3);
    EXPECT_EQ(ws.staged("vrek_assemble_in").find("// parameters"), std::string::npos);
}

TEST_F(ReassemblyTest, FailedSubElementLeavesTheEntityAsItWas) {
    const std::string path = ws.script("triple.vrek", kTriple);
    open({path});
    ASSERT_EQ(ctx.set().count, 1);
    const int32_t serial = ctx.entity(0).serial_id;
    const std::vector<InteropMesh*> before = sub_meshes(ctx.entity(0));
    std::string text = kTriple;
    text.replace(text.find("m = box(1).tx(2);"), 17, "m = box(1).tx(2); fail();");
    ASSERT_TRUE(write_text_file(path, text));

    reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->mesh_algorithm);
    EXPECT_EQ(ctx.entity(0).serial_id, serial);
    EXPECT_EQ(sub_meshes(ctx.entity(0)), before);
    for (InteropMesh* mesh : before) EXPECT_EQ(mesh->reuse_mark, 0);
    EXPECT_EQ(ctx.console().back(), "  \t 1 Re-Assembly-Error (see trace for details)");
    ASSERT_EQ(error_boxes().size(), 1u);
    EXPECT_EQ(error_boxes()[0].substr(0, error_boxes()[0].find('\n')), "Error: Re-Assembly Error Occurred");
    EXPECT_TRUE(ctx.app->retired_vertex_arrays.empty());

    // A serial script that now fails: the critical ending, entity kept.
    ASSERT_TRUE(write_text_file(path, "fail();\nreturn box(1);\n"));
    reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->mesh_algorithm);
    EXPECT_EQ(ctx.entity(0).serial_id, serial);
    EXPECT_EQ(ctx.console().back(), "  \t Critical Re-Assembly-Error (NULL RETURN)");
    EXPECT_NE(error_boxes().back().find("Note: the state of the entity 'triple.vrek' has not been modified."),
              std::string::npos);
}

}  // namespace

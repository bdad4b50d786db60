// Re-parse and re-assembly of loaded entities, pushing edited parameters,
// and the environment re-parse report, with the stand-in kernel.
#include <gtest/gtest.h>
#include "support/call_log.h"
#include <glob.h>
#include <unistd.h>
#include <chrono>
#include <sys/stat.h>

#include <cstdio>

#include "pipeline/orch_support.h"
#include "pipeline/parameter_push.h"
#include "pipeline/reassembly.h"
#include "pipeline/reparse.h"

namespace {

const char* const kTriple =
    "#PARALLEL;\n#VREK(a){ m = box(1); };\n#VREK(b){ m = box(1).tx(2); };\n#VREK(c){ m = sphere(0.5).tx(4); };\n"
    "return { VREK(a), VREK(b), VREK(c) };\n";

struct ReassemblyTest : KernelTest {
    // Opens one script as entity 0.
    std::string open_one(const std::string& name, const std::string& text) {
        const std::string path = script(name, text);
        ctx.open({path});
        EXPECT_EQ(ctx.set().count, 1);
        return path;
    }
    void rewrite_and_reassemble(const std::string& path, const std::string& text) {
        ASSERT_TRUE(write_text_file(path, text));
        reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->io_settings.meshing_algorithm);
    }
    std::vector<InteropMesh*> sub_meshes() {
        std::vector<InteropMesh*> meshes;
        for (EntityRecord* sub : ctx.entity(0).subelement_records) meshes.push_back(sub ? sub->mesh : nullptr);
        return meshes;
    }
    // Counts and removes the staged element and batch inputs of threaded runs.
    size_t staged_element_files() {
        glob_t g;
        size_t n = 0;
        if (glob((workspace + "tmp/vrek_assemble_in_*").c_str(), 0, nullptr, &g) == 0) n = g.gl_pathc;
        for (size_t i = 0; i < n; ++i) unlink(g.gl_pathv[i]);
        globfree(&g);
        return n;
    }
};

using PushTest = ReassemblyTest;
using Lines = std::vector<std::string>;

TEST_F(ReassemblyTest, ReassembleAllSkipsLockedEntitiesAndKeepsDisplayState) {
    ctx.open({script("a.vrek", "return box(1);\n"), script("b.vrek", "return sphere(1);\n"),
              script("c.vrek", "return box(2);\n")});
    ASSERT_EQ(ctx.set().count, 3);
    ctx.app->io_settings.reassembly_culling = 0;
    ctx.app->render_flags.colour_mode = 3;  // other than plain RGBA: rebuilt entities are recoloured
    ctx.entity(1).locked = 1;
    ctx.entity(0).translation = {1.0, 2.0, 3.0};
    ctx.entity(2).visible = 0;
    const int32_t serials[3] = {ctx.entity(0).serial_id, ctx.entity(1).serial_id, ctx.entity(2).serial_id};
    reset_call_log();

    reassemble_all_entities(*ctx.app);
    EXPECT_EQ(ctx.console_count("Re-Parsing: a.vrek"), 1u);
    EXPECT_EQ(ctx.console_count("Re-Parsing: "), 2u);
    EXPECT_NE(ctx.entity(0).serial_id, serials[0]);
    EXPECT_EQ(ctx.entity(1).serial_id, serials[1]);
    EXPECT_NE(ctx.entity(2).serial_id, serials[2]);
    EXPECT_EQ(ctx.entity(0).translation, (std::array<double, 3>{1.0, 2.0, 3.0}));
    EXPECT_EQ(ctx.entity(2).visible, 0);
    EXPECT_EQ(ctx.entity(2).mesh->visible, 0);
    EXPECT_EQ(calls_starting("rebuild_entity_rows").size(), 1u);
    EXPECT_EQ(ctx.app->gl_retirement.retired_vertex_arrays.size(), 2u);
    EXPECT_EQ(calls_starting("recolour_entity: "), (Lines{"recolour_entity: " + std::to_string(ctx.entity(0).serial_id),
                                                         "recolour_entity: " + std::to_string(ctx.entity(2).serial_id)}));
    EXPECT_EQ(ctx.app->frame.needs_redraw, 1);
}

// A script that became a link to a FIFO, or was deleted, reads as nothing:
// the re-assembly shows its syntax-error box, and the box and the ERROR
// trace name the path and the reason, in the words of a refused open. The
// entity stays as it was and nothing waits on the FIFO.
TEST_F(ReassemblyTest, AScriptThatCannotBeReadIsReportedWithItsReason) {
    const std::string path = open_one("cube.vrek", "return box(1);\n");
    const InteropMesh* mesh = ctx.entity(0).mesh;
    ASSERT_EQ(mkfifo((root + "/fifo").c_str(), 0600), 0);
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_EQ(symlink((root + "/fifo").c_str(), path.c_str()), 0);
    for (const std::string reason : {"not a regular file", "No such file or directory"}) {
        reset_call_log();
        ctx.app->entities.current_environment->trace_log = TraceLog();
        const auto start = std::chrono::steady_clock::now();
        reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->io_settings.meshing_algorithm);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        const std::string named = "\t Path: " + path + "\n\t Reason: " + reason;
        ASSERT_EQ(error_boxes().size(), 1u) << reason;
        EXPECT_EQ(first_line(error_boxes()[0]), "Error: Re-Assembly Syntax-Error in Script");
        EXPECT_NE(error_boxes()[0].find("contains 1 syntactic error."), std::string::npos);
        EXPECT_EQ(error_boxes()[0].substr(error_boxes()[0].size() - named.size() - 2), "\n\n" + named);
        EXPECT_EQ(ctx.channel(TRACE_ERROR),
                  (Lines{"SCRIPT-READ-IS-NULL;", "\t Path: " + path, "\t Reason: " + reason}));
        EXPECT_EQ(ctx.console_count("  \t 1 Syntax-Error (see trace for details)"), 1u);
        EXPECT_EQ(ctx.entity(0).mesh, mesh);
        unlink(path.c_str());  // the second turn: deleted
    }
}

TEST_F(ReassemblyTest, EnvironmentReparseListsScriptsAndSubElementsAndTogglesThePane) {
    reparse_environment_entities(*ctx.app);  // nothing loaded: a warning
    EXPECT_EQ(calls_starting("show_warning_box: "),
              std::vector<std::string>{"show_warning_box: Warning: Nothing to Parse\nOpen a Vrekform script file in "
                                       "order to use the parse function."});
    EXPECT_EQ(ctx.app->pane_open_flags[PANE_PARSE], 0);

    const std::string plain = script("plain.vrek", "return box(1);\n");
    ctx.open({plain, script("triple.vrek", kTriple)});
    ASSERT_EQ(ctx.set().count, 2);
    AppContext& app = *ctx.app;
    reset_call_log();
    reparse_environment_entities(app);
    const ParseReport& report = app.parse_report;
    EXPECT_EQ(std::string(report.kinds.begin(), report.kinds.end()), "MPEEE");
    EXPECT_EQ(report.title, "Script Parsing Result: Syntax-Valid");
    EXPECT_EQ(report.names[0], "plain.vrek");
    EXPECT_EQ(report.names[3], "b");
    ASSERT_EQ(report.section_lines[0][SECTION_OPERATIONS].size(), 2u);
    EXPECT_EQ(report.section_lines[0][SECTION_OPERATIONS][0], "\t Operations: [1]");
    EXPECT_EQ(report.section_lines[0][SECTION_ERRORS], std::vector<std::string>{"\t Errors: [0]"});
    EXPECT_EQ(app.pane_open_flags[PANE_PARSE], 1);
    EXPECT_TRUE(app.PARSEPANE.visible && app.OVERLAY.visible && app.MASKPANE.visible);
    EXPECT_EQ(ctx.console_count("Re-Parsing: "), 2u);

    // A broken script turns the verdict; the second run closes the pane.
    ASSERT_TRUE(write_text_file(plain, "return box(1) + ;\n"));
    reparse_environment_entities(app);
    EXPECT_EQ(app.parse_report.title, "Script Parsing Result: Erroneous-Syntax");
    EXPECT_EQ(app.parse_report.erroneous_count, 1);
    EXPECT_EQ(app.pane_open_flags[PANE_PARSE], 0);
    EXPECT_EQ(ctx.console_count("Re-Parsing: "), 4u);
    EXPECT_EQ(ctx.entity(0).parse_record.script, "return box(1);\n");  // entities untouched
}

TEST_F(ReassemblyTest, EqualSubElementsEachKeepTheirOwnMesh) {
    const std::string text = "#PARALLEL;\n#VREK(a){ m = box(1); };\n#VREK(b){ m = sphere(1); };\n"
                             "return { VREK(a), VREK(a), VREK(b) };\n";
    const std::string path = open_one("twins.vrek", text);
    const std::vector<InteropMesh*> before = sub_meshes();
    ASSERT_NE(before[0], before[1]);
    const int32_t serial = ctx.entity(0).serial_id;
    staged_element_files();
    ctx.app->io_settings.reassembly_culling = 0;
    rewrite_and_reassemble(path, text);
    EXPECT_NE(ctx.entity(0).serial_id, serial);
    EXPECT_EQ(sub_meshes(), before);
    EXPECT_EQ(staged_element_files(), 0u);
    EXPECT_TRUE(ctx.app->gl_retirement.retired_vertex_arrays.empty());
}

TEST_F(ReassemblyTest, ScriptsChangeKindBetweenSerialAndParallel) {
    const std::string path = open_one("shift.vrek", "return box(1);\n");
    rewrite_and_reassemble(path, kTriple);
    EXPECT_EQ(ctx.entity(0).parallel, 1);
    EXPECT_EQ(ctx.entity(0).mesh, nullptr);
    EXPECT_EQ(ctx.entity(0).subelement_records.size(), 3u);
    EXPECT_EQ(ctx.app->gl_retirement.retired_vertex_arrays.size(), 1u);

    rewrite_and_reassemble(path, "return sphere(1);\n");
    EXPECT_EQ(ctx.entity(0).parallel, 0);
    ASSERT_NE(ctx.entity(0).mesh, nullptr);
    EXPECT_TRUE(ctx.entity(0).subelement_records.empty());
    EXPECT_EQ(ctx.app->gl_retirement.retired_vertex_arrays.size(), 4u);
}

// A re-parse whose kernel dies, then a sub-element parse whose kernel dies:
// the box and the console say how it ended, and the entity stays.
TEST_F(ReassemblyTest, AKernelThatDiesOnReparseIsNamedInTheBoxAndTheConsole) {
    const std::string real = kernel_path, wrapper = root + "/vrek";
    open_one("cube.vrek", "return box(1);\n");
    const std::string towers = script("towers.vrek", kTriple);
    ctx.open({towers});
    ASSERT_EQ(ctx.set().count, 2);
    ctx.app->io_settings.reassembly_culling = 0;
    const InteropMesh* const meshes[2] = {ctx.entity(0).mesh, ctx.entity(1).mesh};
    auto expect_failure = [&](size_t i, const std::string& name) {
        reset_call_log();
        ctx.app->entities.current_environment->trace_log = TraceLog();
        reparse_and_reassemble_entity(*ctx.app, ctx.entity(i), ctx.app->io_settings.meshing_algorithm);
        ASSERT_EQ(error_boxes().size(), 1u) << name;
        EXPECT_EQ(error_boxes()[0], "Error: Kernel Run Failed\nThe kernel run for the input script '" + name +
                                        "' did not complete:\nkernel ended by signal 11.\n\nNote: the input script '" +
                                        name + "' has not been re-assembled; the entity is unchanged.");
        EXPECT_EQ(ctx.console_count("  \t kernel ended by signal 11"), 1u) << name;
        EXPECT_EQ(ctx.channel(TRACE_KERNEL), Lines{"kernel ended by signal 11\n"}) << name;
        EXPECT_EQ(ctx.entity(i).mesh, meshes[i]) << name;
    };
    ASSERT_TRUE(write_text_file(wrapper, "#!/bin/sh\nkill -SEGV $$\n"));
    ASSERT_EQ(chmod(wrapper.c_str(), 0755), 0);
    ASSERT_TRUE(set_kernel_path(wrapper));
    expect_failure(0, "cube.vrek");
    ASSERT_TRUE(write_text_file(wrapper, "#!/bin/sh\n[ \"$5\" = '*' ] && kill -SEGV $$\nexec '" + real + "' \"$@\"\n"));
    ASSERT_EQ(chmod(wrapper.c_str(), 0755), 0);  // a written file is a fresh one
    expect_failure(1, "towers.vrek");
}

TEST_F(ReassemblyTest, SyntaxErrorsKeepTheEntityAndSpeakOfReassembly) {
    const std::string path = open_one("bad.vrek", "return box(1);\n");
    InteropMesh* const mesh = ctx.entity(0).mesh;
    rewrite_and_reassemble(path, "syntax_error(\"x\");\nsyntax_error(\"y\");\nreturn box(1);\n");
    EXPECT_EQ(ctx.entity(0).mesh, mesh);
    const std::vector<std::string> boxes = error_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(first_line(boxes[0]), "Error: Re-Assembly Syntax-Errors in Script");
    EXPECT_NE(boxes[0].find("The script 'bad.vrek' contains 2 syntactic errors."), std::string::npos);
    EXPECT_NE(boxes[0].find("the script 'bad.vrek' can not be re-assembled until each error has been resolved."),
              std::string::npos);
    // The pane sends the user to the trace: the kernel's two lines are there.
    EXPECT_EQ(ctx.channel(TRACE_ERROR).size(), 2u);
}

TEST_F(ReassemblyTest, EditedValuesAreCarriedOverWhenTheParametersStillFit) {
    const std::string text = "INT n(3, 1, 10, \"N\");\nDBL w(0.5, 0.1, 2.0, \"W\");\nreturn box(w).tx(n);\n";
    const std::string path = open_one("params.vrek", text);
    ctx.app->io_settings.reassembly_culling = 0;
    ctx.entity(0).parse_result.parameters[0].current.int_value = 8;
    rewrite_and_reassemble(path, text);
    const std::string input = staged("vrek_assemble_in");
    const size_t at = input.find("// parameters\nINT n = 8;\nDBL w = 0.5;\n");
    ASSERT_NE(at, std::string::npos) << input;
    EXPECT_EQ(input.find("// logic", at), std::string::npos);
    EXPECT_EQ(ctx.entity(0).parse_result.parameters.at(0).current.int_value, 8);
    EXPECT_EQ(ctx.entity(0).parse_result.parameters.at(0).last_pushed.int_value, 8);

    // New bounds that exclude the edited value: the script's own value wins.
    rewrite_and_reassemble(path, "INT n(3, 1, 5, \"N\");\nDBL w(0.5, 0.1, 2.0, \"W\");\nreturn box(w).tx(n);\n");
    EXPECT_EQ(ctx.entity(0).parse_result.parameters.at(0).current.int_value, 3);
    EXPECT_EQ(staged("vrek_assemble_in").find("// parameters"), std::string::npos);
}

// What the merge saw of the old sub-element records: they must still exist
// then (freed too early, a sanitizer build reports the read).
static std::vector<int> merge_saw_visible;
static void record_old_subelements(AppContext&, const EntityRecord& old_entity, EntityRecord&) {
    for (const EntityRecord* sub : old_entity.subelement_records) merge_saw_visible.push_back(sub ? sub->visible : -1);
}

TEST_F(ReassemblyTest, OnlyAChangedSubElementIsAssembledAgainAndAFailedOneChangesNothing) {
    const std::string path = open_one("triple.vrek", kTriple);
    const std::vector<InteropMesh*> before = sub_meshes();
    staged_element_files();
    std::string text = kTriple;
    text.replace(text.find("box(1).tx(2)"), 12, "box(2).tx(2)");
    ctx.entity(0).subelement_records[2]->visible = 0;
    merge_saw_visible.clear();
    ctx.app->hooks.merge_entity_display_flags = record_old_subelements;
    rewrite_and_reassemble(path, text);
    EXPECT_EQ(merge_saw_visible, (std::vector<int>{1, 1, 0}));
    const std::vector<InteropMesh*> after = sub_meshes();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_NE(after[1], before[1]);
    EXPECT_EQ(after[2], before[2]);
    EXPECT_EQ(staged_element_files(), 1u);
    EXPECT_EQ(ctx.app->gl_retirement.retired_vertex_arrays.size(), 1u);
    EXPECT_EQ(ctx.entity(0).parse_record.script, text);

    // The changed element now fails: the entity stays as it was.
    const int32_t serial = ctx.entity(0).serial_id;
    text.replace(text.find("m = box(2).tx(2);"), 17, "m = box(2).tx(2); fail();");
    rewrite_and_reassemble(path, text);
    EXPECT_EQ(ctx.entity(0).serial_id, serial);
    EXPECT_EQ(sub_meshes(), after);
    for (InteropMesh* mesh : after) EXPECT_EQ(mesh->reuse_mark, 0);
    EXPECT_EQ(ctx.console().back(), "  \t 1 Re-Assembly-Error (see trace for details)");
    ASSERT_EQ(error_boxes().size(), 1u);
    EXPECT_EQ(first_line(error_boxes()[0]), "Error: Re-Assembly Error Occurred");
    EXPECT_EQ(ctx.app->gl_retirement.retired_vertex_arrays.size(), 1u);

    // A serial script that now fails: the kernel's message, entity kept.
    rewrite_and_reassemble(path, "fail();\nreturn box(1);\n");
    EXPECT_EQ(ctx.entity(0).serial_id, serial);
    EXPECT_EQ(ctx.console().back(), "  \t 1 Re-Assembly-Error (see trace for details)");
    EXPECT_NE(error_boxes().back().find("\n\nvrek: element 0: fail() called, nothing written"), std::string::npos);
}

// With profiling on, culling keeps no mesh without a report: an unchanged
// script gets one, as the missing report's box advises. Reported ones stay.
TEST_F(ReassemblyTest, ProfilingAssemblesAgainWhatHasNoReport) {
    const std::string triple = open_one("triple.vrek", kTriple);
    ctx.open({script("cube.vrek", "return box(1);\n")});
    ctx.app->io_settings.assembly_profiling = 1;
    for (size_t i : {0, 1, 1}) reparse_and_reassemble_entity(*ctx.app, ctx.entity(i), ctx.app->io_settings.meshing_algorithm);
    EXPECT_EQ(ctx.console_count("Re-Assembling: "), 2u);  // the second cube run is culled
    EXPECT_NE(ctx.entity(1).mesh->ppd_text, "");
    for (EntityRecord* sub : ctx.entity(0).subelement_records) EXPECT_NE(sub->mesh->ppd_text, "");
    const std::vector<InteropMesh*> before = sub_meshes();
    std::string text = kTriple;
    rewrite_and_reassemble(triple, text.replace(text.find("box(1).tx(2)"), 12, "box(2).tx(2)"));
    EXPECT_EQ(sub_meshes().at(2), before[2]);
}

// Untouched parameters are staged with the values the kernel read from the
// script: texts holding the characters a definition is cut at, doubles of
// many digits, flags written as numbers, values at their bounds. The kernel
// prints them so.
TEST_F(PushTest, PushReassemblesWithTheNewValueAndASecondPushDoesNothing) {
    open_one("cube.vrek", "INT n(3, 1, 10, \"N, count\");\nDBL w = 0.5;\nSTR s = \"a=b\";\nSTR t(\"x,y(1)\", \"T\");\n"
                          "CHR m(',', \"M\");\nDBL big = 1234567;\nDBL d(0.123456789, 0, 1, \"Fine\");\n"
                          "DBL top(0.9999999, 0, 0.9999999, \"Edge\");\nDBL tiny = 1e-300;\n"
                          "LNG l(9000000000, 1, 9000000000, \"L\");\nINT low(-5, -5, 0, \"Low\");\nBLN b = 1;\n"
                          "BLN off(0, \"Off\");\nBLN neg = -1;\n"
                          "print(s); print(t); print(m); print(big); print(d); print(top); print(tiny); print(l);\n"
                          "print(low); print(b); print(off); print(neg);\nreturn box(w).tx(n);\n");
    EntityRecord& e = ctx.entity(0);
    ASSERT_EQ(e.parse_result.parameter_count, 14);
    const Lines declared{"a=b", "x,y(1)", ",", "1234567", "0.123456789", "0.9999999", "1e-300", "9e+09",
                         "-5", "1", "0", "1"};
    const Lines read = ctx.channel(TRACE_KERNEL);
    ASSERT_GE(read.size(), declared.size());
    ASSERT_EQ(Lines(read.begin(), read.begin() + 12), declared);
    InteropMesh* first = e.mesh;
    const double first_x = first->bounds.at(0);
    ctx.app->entities.current_environment_parts.parameter_view->selected_row = 0;
    reset_call_log();

    e.parse_result.parameters[0].current.int_value = 7;
    push_selected_entity_parameters(*ctx.app);
    ASSERT_NE(e.mesh, first);
    EXPECT_NEAR(e.mesh->bounds.at(0) - first_x, 4.0, 1e-9);
    EXPECT_NE(staged("vrek_assemble_in")
                  .find("// parameters\nINT n = 7;\nDBL w = 0.5;\nSTR s = \"a=b\";\nSTR t = \"x,y(1)\";\nCHR m = ',';\n"
                        "DBL big = 1234567;\nDBL d = 0.123456789;\nDBL top = 0.9999999;\nDBL tiny = 1e-300;\n"
                        "LNG l = 9000000000;\nINT low = -5;\nBLN b = true;\nBLN off = false;\nBLN neg = true;\n"
                        "// logic\n"),
              std::string::npos);
    const Lines kernel = ctx.channel(TRACE_KERNEL);
    ASSERT_GE(kernel.size(), declared.size());
    EXPECT_EQ(Lines(kernel.begin(), kernel.begin() + 12), declared);
    EXPECT_EQ(e.parse_result.parameters[0].last_pushed.int_value, 7);
    EXPECT_EQ(ctx.app->gl_retirement.retired_vertex_arrays.size(), 1u);
    const std::string label = e.summary_lines.at(1) + "\n" + e.summary_lines.at(2);
    EXPECT_EQ(calls_starting("set_entity_row_label: "), Lines{"set_entity_row_label: 0|" + label});
    EXPECT_EQ(calls_starting("set_parameter_row_label: "), Lines{"set_parameter_row_label: 0|" + label});

    InteropMesh* second = e.mesh;
    reset_call_log();
    push_selected_entity_parameters(*ctx.app);
    EXPECT_EQ(e.mesh, second);
    EXPECT_TRUE(call_log().empty());
    EXPECT_EQ(ctx.app->gl_retirement.retired_vertex_arrays.size(), 1u);
}

TEST_F(PushTest, FailedPushKeepsTheMeshShowsTheErrorAndIsRetried) {
    open_one("cube.vrek", "INT n(3, 1, 10, \"N\");\nreturn box(1).tx(n);\n");
    EntityRecord& e = ctx.entity(0);
    InteropMesh* first = e.mesh;
    e.parse_result.parameters[0].current.int_value = 5;

    // A staging directory that cannot be written: the kernel never runs.
    const std::string tmp = workspace + "tmp", moved = workspace + "moved";
    ASSERT_EQ(rename(tmp.c_str(), moved.c_str()), 0);
    ASSERT_TRUE(write_text_file(tmp, "not a directory"));
    push_entity_parameters(*ctx.app, &e, false);
    EXPECT_EQ(e.mesh, first);
    EXPECT_EQ(e.parse_result.parameters[0].last_pushed.int_value, 3);
    ASSERT_EQ(error_boxes().size(), 1u);
    EXPECT_EQ(first_line(error_boxes()[0]), "Error: Kernel Run Failed");
    EXPECT_NE(error_boxes()[0].find("did not complete:\nUNABLE-TO-STAGE-KERNEL-INPUT : " + tmp + "/vrek_assemble_in."),
              std::string::npos);

    ASSERT_EQ(unlink(tmp.c_str()), 0);
    ASSERT_EQ(rename(moved.c_str(), tmp.c_str()), 0);
    push_entity_parameters(*ctx.app, &e, false);
    EXPECT_NE(e.mesh, first);
    EXPECT_EQ(e.parse_result.parameters[0].last_pushed.int_value, 5);
}

TEST_F(PushTest, ParallelPushReassemblesOnlyTheChangedSubElement) {
    open_one("towers.vrek",
                           "#PARALLEL;\n#VREK(a){ INT n(2, 1, 5, \"N\"); m = box(1).tx(n); };\n"
                           "#VREK(b){ m = sphere(1); };\n#VREK(c){ DBL r(1.0, 0.5, 2.0, \"R\"); m = sphere(r).ty(3); };\n"
                           "return { VREK(a), VREK(b), VREK(c) };\n");
    EntityRecord& e = ctx.entity(0);
    ASSERT_EQ(e.parallel, 1);
    ASSERT_EQ(e.parse_result.parameter_count, 2);
    ASSERT_EQ(e.parse_result.merged_parameters.size(), 2u);
    // The records in another order than the parse results: the owner of a
    // result is found by identity, not by position.
    std::reverse(e.subelement_records.begin(), e.subelement_records.end());
    std::vector<InteropMesh*> before;
    for (EntityRecord* sub : e.subelement_records) before.push_back(sub->mesh);
    before[0]->batch_count = 7;

    // The second merged parameter belongs to sub-element c (element 2), the
    // second of the elements that declare parameters.
    e.parse_result.merged_parameters[1]->current.double_value = 1.5;
    push_entity_parameters(*ctx.app, &e, false);
    EXPECT_EQ(e.subelement_records[1]->mesh, before[1]);
    EXPECT_EQ(e.subelement_records[2]->mesh, before[2]);
    ASSERT_NE(e.subelement_records[0]->mesh, before[0]);
    const InteropMesh* fresh = e.subelement_records[0]->mesh;
    EXPECT_EQ(fresh->element_index, 2);
    EXPECT_EQ(fresh->element_count, 3);
    EXPECT_EQ(fresh->batch_count, 7);
    EXPECT_EQ(fresh->element_invocation, "c");
    EXPECT_FALSE(fresh->element_source.empty());
    EXPECT_NE(staged("vrek_assemble_in").find("// parameters\nDBL r = 1.5;\n// logic\n"), std::string::npos);
    EXPECT_EQ(ctx.app->gl_retirement.retired_vertex_arrays.size(), 1u);
    EXPECT_EQ(e.parse_result.merged_parameters[1]->last_pushed.double_value, 1.5);
}

TEST_F(PushTest, ResetAllWithMarksResetsOnlyTheMarkedOnesThenPushes) {
    open_one("three.vrek", "INT a(1, 0, 10, \"A\");\nINT b(2, 0, 10, \"B\");\nBLN c(true, \"C\");\n"
                                     "return box(1).tx(a + b);\n");
    EntityRecord& e = ctx.entity(0);
    ASSERT_EQ(e.parse_result.parameter_count, 3);
    std::vector<EntityParameter>& p = e.parse_result.parameters;
    ctx.app->entities.current_environment_parts.parameter_view->selected_row = 0;
    p[0].current.int_value = p[1].current.int_value = 9;
    p[2].current.bool_value = 0;
    e.parameter_marks = {0, 1, 1};
    InteropMesh* before = e.mesh;
    reset_call_log();
    reset_all_parameters(*ctx.app);
    EXPECT_EQ(p[0].current.int_value, 9);
    EXPECT_EQ(p[1].current.int_value, 2);
    EXPECT_EQ(p[2].current.bool_value, 1);
    EXPECT_EQ(calls_starting("set_parameter_field: "),
              (Lines{"set_parameter_field: 1|2|0", "set_parameter_field: 2|TRUE|4280328192"}));
    EXPECT_EQ(calls_starting("set_parameter_slider: "), Lines{"set_parameter_slider: 1|0.2"});
    EXPECT_NE(e.mesh, before);  // a still differs from what was last pushed

    // In multi-edit mode a reset changes the value but stages nothing; an
    // index beyond the list is refused.
    e.parameter_multi_edit_mode = 1;
    InteropMesh* current = e.mesh;
    for (int32_t row : {0, 3}) {
        ctx.app->export_settings.pending_parameter_index = row;
        reset_selected_parameter(*ctx.app);
        EXPECT_EQ(ctx.app->export_settings.pending_parameter_index, -1);
    }
    EXPECT_EQ(p[0].current.int_value, 1);
    EXPECT_EQ(e.mesh, current);
}

}  // namespace

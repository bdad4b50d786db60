// Opening scripts end to end with the stand-in kernel: console lines, trace
// channels, error panes and the entity that lands in the environment.
#include <gtest/gtest.h>
#include <algorithm>

#include "support/call_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "model/parallel_grammar.h"
#include "pipeline/open_scripts.h"
#include "pipeline/parallel_dispatch.h"
#include "pipeline/orch_support.h"
#include "pipeline/orchestration.h"

namespace {

using Lines = std::vector<std::string>;
const char* const kParameterScript = "INT n(3, 1, 10, \"N\");\nreturn box(1).tx(n);\n";
const char* const kParallelScript =
    "#PARALLEL;\n#VREK(a){ m = box(1); };\n#VREK(b){ m = box(1).tx(2); };\n#VREK(c){ m = sphere(0.5).tx(4); };\n"
    "return { VREK(a), VREK(b), VREK(c) };\n";

using OpenTest = KernelTest;

TEST_F(OpenTest, OpeningAScriptAddsOneEntityWithItsRecordMeshTextsAndTraces) {
    InteropMesh* startup = new InteropMesh();
    ctx.app->startup.startup_entity_mesh = startup;
    const std::string path = script("cube.vrek", kParameterScript);
    ctx.open({path});

    ASSERT_EQ(ctx.set().count, 1);
    const EntityRecord& e = ctx.entity(0);
    ASSERT_NE(e.mesh, nullptr);
    EXPECT_EQ(e.mesh->algorithm, MESH_OPTIMAL_CSG);
    EXPECT_GT(e.triangle_count, 0);
    EXPECT_EQ(e.parse_record.path, path);
    EXPECT_EQ(e.parse_record.script, kParameterScript);
    EXPECT_EQ(e.parse_result.parameter_count, 1);
    EXPECT_EQ(e.file_name, ": cube.vrek");
    EXPECT_EQ(ctx.set().parameter_entities, std::vector<int32_t>{0});
    EXPECT_EQ(ctx.app->entities.current_environment_parts.parameter_view->height, 50);
    EXPECT_EQ(startup->visible, 0);
    // The kernel got the parse's echo of the statements, not the file.
    EXPECT_NE(staged("vrek_assemble_in").find("INT n(3, 1, 10, \"N\");\n"), std::string::npos);
    EXPECT_EQ(ctx.console(), (Lines{"Script-File Opened: cube.vrek", "Parsing: cube.vrek", "<ms>",
                                    "Assembling: cube.vrek", "<ms>"}));
    // The KERNEL channel keeps only the latest run: the assembly.
    EXPECT_NE(ctx.channel(TRACE_KERNEL).at(0).find("assembled 1 elements"), std::string::npos);
    EXPECT_EQ(call_log(),
              (Lines{"refresh_mesh_statistics", "update_window_status", "rebuild_entity_rows",
                     "rebuild_parameter_rows", "refresh_entity_inspector", "rebuild_parameter_pane",
                     "build_camera_directive_rows", "build_variant_rows", "count_animation_directives"}));
    EXPECT_FALSE(ctx.app->pane_open_flags[PANE_OPEN] || ctx.app->OPENPANE.visible || ctx.app->MASKPANE.visible);
    EXPECT_EQ(root_refresh_count(), 1);
    EXPECT_EQ(ctx.app->status.attribute_trace_text.substr(0, 19), "env0 | 1 entity | 7");
}

TEST_F(OpenTest, OpeningALoadedScriptAgainReparsesItAndCullsAnUnchangedOne) {
    const std::string path = script("cube.vrek", kParameterScript);
    ctx.open({path, path});
    ASSERT_EQ(ctx.set().count, 1);
    const Lines console = ctx.console();
    EXPECT_EQ(Lines(console.begin() + 5, console.end()),
              (Lines{"Note: Script Already Loaded: " + path, "Re-Parsing: cube.vrek", "<ms>",
                     "  \t (nothing to do - skipping re-assembly)"}));
    EXPECT_TRUE(ctx.app->gl_retirement.retired_vertex_arrays.empty());
}

TEST_F(OpenTest, SyntaxErrorsGiveSingularAndPluralTextsAndAddNothing) {
    ctx.open({script("one.vrek", "return box(1) + ;\n")});
    ctx.open({script("two.vrek", "a = sphere(1, 16, 3);\nb = (box(1).tx(2);\nreturn a + b;\n")});
    EXPECT_EQ(ctx.set().count, 0);
    EXPECT_EQ(ctx.console_count("  \t 1 Syntax-Error (see trace for details)"), 1u);
    EXPECT_EQ(ctx.console_count("  \t 2 Syntax-Errors (see trace for details)"), 1u);
    EXPECT_EQ(ctx.console_count("Assembling"), 0u);

    const Lines boxes = error_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0],
              "Error: Syntax-Error in Script\nThe input script 'one.vrek' contains 1 syntactic error.\n\nRefer to "
              "the kernel execution trace for further details in order to identify and correct the error.\n\nNote: "
              "syntax errors are the product of parsing a malformed or grammatically invalid set of VREK "
              "statements.\n\nNote: the input script 'one.vrek' can not be assembled until the error has been "
              "resolved.");
    EXPECT_EQ(first_line(boxes[1]), "Error: Syntax-Errors in Script");
    for (const char* text : {"contains 2 syntactic errors.", "correct each error", "until each error has been resolved."})
        EXPECT_NE(boxes[1].find(text), std::string::npos) << text;
    // The parse's output reached the trace before the pane, and the
    // kernel's error lines the ERROR trace the pane names, one per line.
    EXPECT_NE(ctx.channel(TRACE_KERNEL).at(0).find("2 errors"), std::string::npos);
    const Lines errors = ctx.channel(TRACE_ERROR);
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[1].rfind("UNBALANCED-BRACKETS", 0), 0u) << errors[1];
    // Lines as the user wrote them: the staged "// logic" line is not one.
    EXPECT_NE(errors[1].find("AT LINE 2;"), std::string::npos) << errors[1];
    EXPECT_EQ(errors[2].rfind("WRONG-ARGUMENT-COUNT", 0), 0u) << errors[2];
    EXPECT_NE(errors[2].find("AT LINE 1;"), std::string::npos) << errors[2];
}

TEST_F(OpenTest, FailingKernelGivesTheAssemblyErrorWithItsMessageAndLeavesTheStartupMeshShown) {
    InteropMesh* startup = new InteropMesh();
    ctx.app->startup.startup_entity_mesh = startup;
    ctx.open({script("boom.vrek", "m = box(1);\nfail();\nreturn m;\n")});
    EXPECT_EQ(ctx.set().count, 0);
    EXPECT_EQ(startup->visible, 1);
    EXPECT_EQ(ctx.console_count("  \t 1 Assembly-Error (see trace for details)"), 1u);
    ASSERT_EQ(error_boxes().size(), 1u);
    EXPECT_EQ(first_line(error_boxes()[0]), "Error: Assembly Error Occurred");
    const std::string text = error_boxes()[0];
    EXPECT_EQ(text.substr(text.rfind("\n\n") + 2), "vrek: element 0: fail() called, nothing written");
    EXPECT_TRUE(calls_starting("refresh_mesh_statistics").empty());

    // A kernel that exits 1 with an empty entry and its message is no
    // silent entity of nothing.
    ctx.open({script("deep.vrek", "func f(x) = f(x);\nreturn f(1);\n")});
    EXPECT_EQ(ctx.set().count, 0);
    ASSERT_EQ(error_boxes().size(), 2u);
    EXPECT_EQ(first_line(error_boxes()[1]), "Error: Assembly Error Occurred");
    EXPECT_NE(error_boxes()[1].find("\n\nvrek: element 0: CALL-DEPTH-EXCEEDED : 'f'"), std::string::npos);
}

// When the kernel cannot run or ends abnormally the box names that and the
// reason, never a syntax error.
TEST_F(OpenTest, KernelAndWorkspaceFailuresShowTheirReason) {
    const std::string path = script("cube.vrek", "return box(1);\n");
    const std::string real = kernel_path;
    const std::string wrapper = root + "/vrek";
    auto opens_with = [&](const std::string& reason) {
        reset_call_log();
        ctx.open({path});
        EXPECT_EQ(ctx.set().count, 0);
        ASSERT_EQ(error_boxes().size(), 1u) << reason;
        EXPECT_EQ(error_boxes()[0], "Error: Kernel Run Failed\nThe kernel run for the input script 'cube.vrek' did "
                                    "not complete:\n" + reason + ".\n\nNote: the input script 'cube.vrek' has not "
                                    "been assembled.");
        EXPECT_EQ(ctx.console_count("  \t 1 Syntax-Error"), 0u);
        EXPECT_EQ(ctx.console_count("  \t " + reason), 1u);
    };
    ASSERT_TRUE(write_text_file(wrapper, "#!/bin/sh\nkill -SEGV $$\n"));
    ASSERT_EQ(chmod(wrapper.c_str(), 0755), 0);
    kernel_path = wrapper;
    opens_with("kernel ended by signal 11");
    ASSERT_TRUE(write_text_file(wrapper, "#!/bin/sh\nexit 3\n"));
    ASSERT_EQ(chmod(wrapper.c_str(), 0755), 0);  // a written file is a fresh one
    opens_with("kernel exited with status 3");
    ASSERT_EQ(chmod(wrapper.c_str(), 0644), 0);
    opens_with("kernel could not be started: '" + wrapper + "' is not executable");
    kernel_path = root;
    opens_with("kernel could not be started: '" + root + "' is a directory");
    // The parse passes, the assembly's kernel is killed.
    ASSERT_TRUE(write_text_file(wrapper, "#!/bin/sh\n[ \"$2\" = -parse ] && exec '" + real + "' \"$@\"\nkill -KILL $$\n"));
    ASSERT_EQ(chmod(wrapper.c_str(), 0755), 0);
    kernel_path = wrapper;
    opens_with("kernel ended by signal 9");
    // In a parallel script every element's kernel is killed: the reason
    // follows the critical error.
    reset_call_log();
    ctx.open({script("par.vrek", kParallelScript)});
    EXPECT_EQ(ctx.set().count, 0);
    ASSERT_EQ(error_boxes().size(), 1u);
    EXPECT_EQ(first_line(error_boxes()[0]), "Error: Critical Assembly Error Occurred");
    EXPECT_NE(error_boxes()[0].find("resolved.\n\n"), std::string::npos);
    EXPECT_NE(error_boxes()[0].find("kernel ended by signal 9\n"), std::string::npos);

    kernel_path = real;
    std::filesystem::remove_all(workspace + "tmp");
    opens_with("UNABLE-TO-STAGE-KERNEL-INPUT : " + workspace + "tmp/vrek_parse_in");
    std::filesystem::create_directories(workspace + "tmp");
    // A script deleted before its open is refused before any kernel run.
    ASSERT_EQ(unlink(path.c_str()), 0);
    reset_call_log();
    ctx.open({path});
    EXPECT_EQ(ctx.set().count, 0);
    ASSERT_EQ(error_boxes().size(), 1u);
    EXPECT_EQ(first_line(error_boxes()[0]), "Error: Unable to Open Script");
    EXPECT_NE(error_boxes()[0].find("Reason: No such file or directory"), std::string::npos);
    EXPECT_EQ(ctx.console_count("  \t 1 Syntax-Error"), 0u);
}

// A kernel that leaves a process behind holding its output open does not
// keep the inspector waiting.
TEST_F(OpenTest, AKernelsLeftoverChildDoesNotHoldTheRunBack) {
    const std::string wrapper = root + "/vrek";
    ASSERT_TRUE(write_text_file(wrapper, "#!/bin/sh\n(sleep 30) &\nexec '" + kernel_path + "' \"$@\"\n"));
    ASSERT_EQ(chmod(wrapper.c_str(), 0755), 0);
    ASSERT_TRUE(set_kernel_path(wrapper));
    const auto start = std::chrono::steady_clock::now();
    ctx.open({script("cube.vrek", "return box(1);\n")});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(ctx.set().count, 1);
    EXPECT_TRUE(error_boxes().empty());
}

TEST_F(OpenTest, ParallelScriptBecomesOneEntityWithThreeSubElements) {
    const std::string path = script("towers.vrek", kParallelScript);
    ctx.open({path});
    ASSERT_EQ(ctx.set().count, 1);
    const EntityRecord& e = ctx.entity(0);
    EXPECT_EQ(e.parallel, 1);
    ASSERT_EQ(e.subelement_records.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(e.subelement_records[i] && e.subelement_records[i]->mesh);
        EXPECT_EQ(e.subelement_records[i]->mesh->element_index, static_cast<int32_t>(i));
    }
    EXPECT_EQ(e.subelement_records[1]->parse_record.path, "b");
    EXPECT_EQ(e.parse_record.path, path);
    EXPECT_EQ(ctx.console().size(), 5u);
    EXPECT_EQ(ctx.console()[3], "Assembling: towers.vrek");
    // The traces are those of the sub-elements' assembly runs.
    const Lines kernel = ctx.channel(TRACE_KERNEL);
    EXPECT_NE(std::find(kernel.begin(), kernel.end(), "// E:c"), kernel.end());
    EXPECT_NE(kernel.back().find("vrek: assembled 1 elements"), std::string::npos);
}

TEST_F(OpenTest, FailingParallelScriptsAddNothingAndRaiseOneBox) {
    struct Case {
        const char* name;
        std::string script;
        Lines texts;  // the first begins the box, the others occur in it
        const char* absent;
    };
    const std::string def_a = "#PARALLEL;\n#VREK(a){ m = box(1); };\n";
    const Case cases[] = {
        {"bad.vrek", "#PARALLEL;\n#GLOBAL_PRE base;\n#VREK(a){ m = box(1); };\nreturn { VREK(a) };\n",
         {"ERROR: ...\nERROR-IN-PARALLEL-ASSEMBLY : MALFORMED GLOBAL-PREFIX!"}, "\n\n"},
        {"text.vrek",
         def_a + "#VREK(b){ m = box(1); fail(); };\n#VREK(c){ m = sphere(1); };\nreturn { VREK(a), VREK(b), VREK(c) };\n",
         {"Error: Assembly Error Occurred\n", "caused 1 runtime error.\n\n", "until the error has been resolved."},
         "each error"},
        {"sub.vrek", def_a + "#VREK(b){ m = box(1) + ; };\nreturn { VREK(a), VREK(b) };\n",
         {"Error: Syntax-Error", "can not be assembled until the error has been resolved.\n\n// E:b\n"}, "// E:a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset_call_log();
        ctx.open({script(c.name, c.script)});
        EXPECT_EQ(ctx.set().count, 0);
        const Lines boxes = error_boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].rfind(c.texts[0], 0), 0u) << boxes[0];
        for (const std::string& text : c.texts) EXPECT_NE(boxes[0].find(text), std::string::npos) << text;
        EXPECT_EQ(boxes[0].find(c.absent), std::string::npos);
        if (&c == cases) {  // the grammar failure assembles nothing at all
            EXPECT_EQ(staged("vrek_assemble_in") + staged("vrek_assemble_in_sub_0"), "");
        }
    }
    EXPECT_EQ(ctx.console().back(), "  \t 1 Syntax-Error (see trace for details)");
    EXPECT_EQ(ctx.console_count("  \t 1 Assembly-Error (see trace for details)"), 1u);
    // The sub-element's listing is in the ERROR trace too.
    const Lines errors = ctx.channel(TRACE_ERROR);
    EXPECT_NE(std::find(errors.begin(), errors.end(), "// E:b"), errors.end());
}

TEST_F(OpenTest, ScriptChangingBetweenItsTwoParsesIsACriticalError) {
    // A kernel wrapper that rewrites the script (three sub-elements become
    // two) right after the sub-elements were parsed.
    const std::string path = script("moving.vrek", kParallelScript);
    const std::string two = script("two.txt", "#PARALLEL;\n#VREK(a){ m = box(1); };\nreturn { VREK(a), VREK(a) };\n");
    const std::string wrapper = root + "/vrek";
    ASSERT_TRUE(write_text_file(wrapper, "#!/bin/sh\nif [ \"$5\" = '*' ]; then cp '" + two + "' '" + path +
                                             "'; fi\nexec '" + kernel_path + "' \"$@\"\n"));
    ASSERT_EQ(chmod(wrapper.c_str(), 0755), 0);
    ASSERT_TRUE(set_kernel_path(wrapper));
    ctx.open({path});
    EXPECT_EQ(ctx.set().count, 0);
    EXPECT_EQ(ctx.console().back(), "  \t Critical Assembly-Error (NULL-RETURN)");
    EXPECT_EQ(error_boxes().size(), 1u);
}

TEST_F(OpenTest, PathsAreCheckedBeforeAnythingRunsAndTheBrowserOpensInDisplayOrder) {
    const std::string good = script("a.vrek", "return box(1);\n");
    ctx.open({"", scripts + "UPPER.VREK", ".vrek", good});
    Lines console = ctx.console();
    console.resize(5);
    EXPECT_EQ(console,
              (Lines{"Error: Invalid File Path", "  \t " + scripts + "UPPER.VREK", "Error: Invalid File Path",
                     "  \t .vrek", "Script-File Opened: a.vrek"}));
    EXPECT_EQ(ctx.set().count, 1);

    script("first.vrek", "return box(1);\n");
    script("second.vrek", "return sphere(1);\n");
    AppContext& app = *ctx.app;
    app.file_browser_state.browser_directory = scripts;
    app.file_browser_state.browser_entries.names = {"second.vrek", "first.vrek", "other.vrek"};
    app.file_browser_state.browser_selection = {{1, 1, 0}, 2};
    app.file_browser_state.browser_row_order = {1, 2, 0};
    open_selected_scripts(app);
    ASSERT_EQ(ctx.set().count, 3);
    EXPECT_EQ(ctx.entity(1).file_name, ": first.vrek");
    EXPECT_EQ(ctx.entity(2).file_name, ": second.vrek");
}

// A script that is a link to a FIFO or a device, or a folder, is refused
// with its reason before it is read: nothing waits for a writer, nothing
// reads without end, and the kernel does not run for it.
TEST_F(OpenTest, ScriptsThatAreNoRegularFilesAreRefusedWithTheirReason) {
    ASSERT_EQ(mkfifo((root + "/fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink((root + "/fifo").c_str(), (scripts + "pipe.vrek").c_str()), 0);
    ASSERT_EQ(symlink("/dev/zero", (scripts + "zero.vrek").c_str()), 0);
    ASSERT_EQ(mkdir((scripts + "folder.vrek").c_str(), 0755), 0);
    const std::string good = script("good.vrek", "return box(1);\n");
    // Should the open block on the FIFO, a late writer releases it, so that
    // the test fails on its timing instead of hanging.
    std::atomic<bool> done{false};
    const auto start = std::chrono::steady_clock::now();
    std::thread rescue([&] {
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) continue;
            const int fd = ::open((root + "/fifo").c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
        }
    });
    ctx.open({scripts + "pipe.vrek", scripts + "zero.vrek", scripts + "folder.vrek", good});
    done = true;
    rescue.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    ASSERT_EQ(ctx.set().count, 1);
    EXPECT_EQ(ctx.entity(0).parse_record.path, good);
    EXPECT_EQ(ctx.console_count("Parsing: "), 1u);
    Lines console = ctx.console();
    console.resize(6);
    EXPECT_EQ(console, (Lines{"Error: Unable to Open Script: pipe.vrek", "  \t not a regular file",
                              "Error: Unable to Open Script: zero.vrek", "  \t not a regular file",
                              "Error: Unable to Open Script: folder.vrek", "  \t not a regular file"}));
    const Lines boxes = error_boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], "Error: Unable to Open Script\nThe input script 'pipe.vrek' can not be opened.\n\n\t Path: " +
                            scripts + "pipe.vrek\n\t Reason: not a regular file");
    EXPECT_NE(boxes[1].find("'zero.vrek' can not be opened."), std::string::npos);
}

// The built-in start-up scripts are in the language the kernel reads.
TEST_F(OpenTest, StartupScriptsAssembleWithTheRealKernel) {
    assemble_startup_meshes(*ctx.app);
    assemble_startup_entity(*ctx.app);
    std::vector<InteropMesh*> meshes = ctx.app->startup.startup_meshes;
    meshes.push_back(ctx.app->startup.startup_entity_mesh);
    ASSERT_EQ(meshes.size(), 4u);
    for (const InteropMesh* m : meshes) EXPECT_TRUE(m && interop_mesh_vertex_count(*m) > 0);
    EXPECT_EQ(ctx.app->entities.startup_entity.assembled, 1);
    free_interop_meshes(ctx.app->startup.startup_meshes);
}

// A parallel sample assembled in one run, per element and per batch, with
// and without profiling: the same geometry every way.
TEST_F(OpenTest, ParallelSampleAssemblesAlikeEveryWay) {
    const char* source = getenv("VK_SOURCE_DIR");
    ASSERT_TRUE(source);
    EntityParseRecord r = parse_script_file(std::string(source) + "/examples/parallel_towers.vrek");
    ASSERT_EQ(r.parallel, 1) << r.sections[SECTION_ERRORS];
    std::vector<SubElementSource> sources = build_subelement_sources(r, nullptr);
    ASSERT_EQ(sources.size(), 4u);
    std::string kernel_end;
    for (const EntityParseRecord& p : parse_parallel_elements(sources, kernel_end))
        EXPECT_EQ(p.section_line_counts[SECTION_ERRORS], 0) << p.path << p.sections[SECTION_ERRORS];
    EXPECT_EQ(kernel_end, "");
    const std::vector<bool> all(4, true);
    const std::vector<InvocationGroup> groups = group_by_batch_key(extract_invocation_group_keys(sources), all);
    ASSERT_EQ(groups.size(), 3u);
    parallel_core_limit = 3;
    for (bool profiling : {false, true}) {
        SCOPED_TRACE(profiling);
        ASSERT_TRUE(run_ccpp_assembly(extract_global_prefix_body(r), MESH_OPTIMAL_CSG, profiling));
        std::vector<std::vector<InteropMesh*>> ways = {
            assemble_parallel_entity(sources, {}, {}, true, profiling, 2, false),
            assemble_parallel_entity(sources, {}, {}, true, profiling, 2, true),
            assemble_parallel_entity(sources, all, groups, true, profiling, 2, true)};
        for (const auto& meshes : ways)
            for (size_t i = 0; i < 4; ++i) ASSERT_TRUE(meshes[i] && interop_mesh_vertex_count(*meshes[i]) > 0) << i;
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(ways[0][i]->positions, ways[1][i]->positions) << i;
            EXPECT_EQ(ways[0][i]->positions, ways[2][i]->positions) << i;
        }
        EXPECT_EQ(ways[2][1]->batch_index, ways[2][2]->batch_index);
        EXPECT_EQ(ways[1][3]->ppd_text.empty(), !profiling);
        for (auto& meshes : ways) free_interop_meshes(meshes);
    }
}

}  // namespace

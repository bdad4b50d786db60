// Kernel runs against the recording fake kernel, on the main thread and in
// parallel (per element or batch on worker threads, or all elements in one
// run): exact staged bytes and argument vectors, what is read back, and
// failed staging or runs.
#include <chrono>
#include <memory>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "context/app_context.h"
#include "pipeline/parallel_dispatch.h"
#include "pipeline_test_support.h"

namespace {

std::string report(const std::string& operations) {
    std::string out;
    for (const char* name : report_section_names)
        out += std::string("<") + name + ">\n" + (name == std::string("OPERATIONS") ? operations : "") + "</" + name + ">\n";
    return out + "<SOURCE></SOURCE>\n";
}

using KernelRuns = FakeKernelTest;
using ParallelAssembly = FakeKernelTest;
using Tags = std::vector<double>;
const std::vector<SubElementSource> kFour = {{"a", "A"}, {"b", ""}, {"c", "C"}, {"d", "D"}};
const std::vector<InteropMesh*> kNone4(4, nullptr);

}  // namespace

TEST_F(KernelRuns, ParseStagesTheScriptAndNeverReadsAStaleReport) {
    const std::string file = k.root + "/s.vrek", script = "a = box(1);\nreturn a;\n";
    ASSERT_TRUE(write_text_file(file, script));
    k.fixture("parse", report("return a;\n"));
    script_trace_text = "old";
    EntityParseRecord r = parse_script_file(file);
    EXPECT_EQ(k.input("vrek_parse_in"), "// logic\n" + script);
    EXPECT_EQ(k.args("vrek_parse_in"), k.run("-parse", "vrek_parse_in", "vrek_parse_out"));
    EXPECT_EQ(r.path, file);
    EXPECT_EQ(r.script, script);
    EXPECT_EQ(r.sections[SECTION_OPERATIONS], "return a;\n");
    EXPECT_EQ(kernel_trace_text, "kernel ran -parse on vrek_parse_in\n");
    EXPECT_EQ(script_trace_text, "");

    // The kernel now writes nothing: the previous report must not count.
    ASSERT_EQ(unlink((k.fixtures + "parse").c_str()), 0);
    EXPECT_GT(parse_script_file(file).section_line_counts[SECTION_ERRORS], 0);

    // An empty or missing script never reaches the kernel, and no earlier
    // run's output is left to pass for its own.
    ASSERT_TRUE(write_text_file(file, ""));
    kernel_trace_text = "earlier";
    for (const std::string& f : {file, k.root + "/missing.vrek"}) {
        r = parse_script_file(f);
        EXPECT_EQ(r.sections[SECTION_ERRORS], "SCRIPT-READ-IS-NULL;\n");
        EXPECT_EQ(r.section_line_counts[SECTION_ERRORS], 1);
        EXPECT_EQ(r.is_null, 1);
    }
    EXPECT_EQ(kernel_trace_text, "");
}

TEST_F(KernelRuns, SubElementParseStagesBlocksAndSplitsAtBreaks) {
    // Two reports for three sub-elements: the third reads as an empty output.
    k.fixture("parse_star", report("x;\n") + "<BREAK>\n" + report("y;\n"));
    std::string end;
    std::vector<EntityParseRecord> r = parse_parallel_elements({{"a", "x;"}, {"2|b", "p;\ny;"}, {"c", ""}}, end);
    EXPECT_EQ(k.input("vrek_parse_in"), "3;\n{\n// E:a\nx;\n};\n{\n// E:2|b\np;\ny;\n};\n{\n// E:c\n\n};\n");
    EXPECT_EQ(k.args("vrek_parse_in"), k.run("-parse", "vrek_parse_in", "vrek_parse_out", {"*"}));
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[1].path, "2|b");
    EXPECT_EQ(r[1].script, "p;\ny;");
    EXPECT_EQ(r[1].sections[SECTION_OPERATIONS], "y;\n");
    EXPECT_GT(r[2].section_line_counts[SECTION_ERRORS], 0);
    EXPECT_EQ(end, "");
    EXPECT_TRUE(parse_parallel_elements({}, end).empty());
    EXPECT_EQ(k.input("vrek_parse_in"), "0;\n");
}

TEST_F(KernelRuns, AssembleStagesOneBlockStampsTheMeshAndFailsToNull) {
    k.meshes("mesh_1", {7, 8});
    std::string end;
    InteropMesh* mesh = assemble_script("return box(1);\n", MESH_BASIC_CSG, true, end);
    EXPECT_EQ(k.input("vrek_assemble_in"), "1;\n\n" + block("basic_csg_mesh", "return box(1);\n"));
    EXPECT_EQ(k.args("vrek_assemble_in"), k.run("-assemble-ppd", "vrek_assemble_in", "vrek_assemble_out"));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh_tag(mesh), 7.0);
    EXPECT_EQ(mesh->algorithm, MESH_BASIC_CSG);
    EXPECT_EQ(mesh->mesh_kind, MESH_BASIC_CSG);
    EXPECT_GE(mesh->assembly_ms, 0);
    EXPECT_EQ(mesh->kernel_ms, mesh->assembly_ms);  // the run; the read follows it
    EXPECT_GE(mesh->read_ms, 0);
    free_interop_mesh(mesh);

    // A kernel that writes nothing, then one that cannot start: null, never
    // the previous run's mesh. An unknown mode stages a known keyword.
    ASSERT_EQ(unlink((k.fixtures + "mesh_1").c_str()), 0);
    EXPECT_EQ(assemble_script("s", 7, false, end), nullptr);
    EXPECT_EQ(k.input("vrek_assemble_in"), "1;\n\n" + block("optimal_csg_mesh", "s"));
    set_kernel_path(k.root + "/none/vrek");
    EXPECT_EQ(assemble_script("s", 2, false, end), nullptr);
    EXPECT_EQ(end, "kernel could not be started: '" + k.root + "/none/vrek' does not exist");
    EXPECT_EQ(kernel_trace_text, end + "\n");
}

// A run that cannot start, is cancelled or reads no script names the
// reason; nothing of it passes for a script with errors.
TEST_F(KernelRuns, RunsThatCannotStartOrAreCancelledSayWhy) {
    std::string file = k.root + "/s.vrek";
    ASSERT_TRUE(write_text_file(file, "return box(1);\n"));
    k.fixture("parse", report(""));
    ASSERT_EQ(chmod(kernel_path.c_str(), 0644), 0);
    EXPECT_EQ(parse_script_file(file).kernel_end, "kernel could not be started: '" + kernel_path + "' is not executable");

    replace_kernel("sleep 30");
    file = k.root + "/s.vrek";
    ASSERT_TRUE(write_text_file(file, "return box(1);\n"));
    static int pumps;
    pumps = 0;
    kernel_wait_pump = [] { return ++pumps >= 5; };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(parse_script_file(file).kernel_end, "kernel run cancelled");
    EXPECT_EQ(pumps, 5);
    pumps = 0;
    std::string end;
    EXPECT_EQ(assemble_script("s", 2, false, end), nullptr);
    EXPECT_EQ(end, "kernel run cancelled");
    EXPECT_NE(kernel_trace_text.find("kernel run cancelled\n"), std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(pumps, 5);
    kernel_wait_pump = nullptr;

    // A script that is gone or no regular file reads as nothing, as an
    // empty one does, but keeps its reason; no kernel ran for it.
    EXPECT_EQ(parse_script_file(k.root + "/gone.vrek").section_line_counts[SECTION_ERRORS], 1);
    EXPECT_EQ(script_read_reason, "No such file or directory");
    ASSERT_EQ(mkfifo((k.root + "/pipe.vrek").c_str(), 0600), 0);
    const EntityParseRecord pipe = parse_script_file(k.root + "/pipe.vrek");
    EXPECT_EQ(pipe.sections[SECTION_ERRORS], "SCRIPT-READ-IS-NULL;\n");
    EXPECT_EQ(script_read_reason, "not a regular file");
    EXPECT_EQ(pipe.kernel_end, "");
    ASSERT_TRUE(write_text_file(file, ""));
    EXPECT_EQ(parse_script_file(file).kernel_end, "");
    EXPECT_EQ(script_read_reason, "");
}

// An assembly whose kernel exits non-zero and says why is an error with
// that message, whatever entry it wrote; a huge output is kept in part.
TEST_F(KernelRuns, AKernelThatReportsErrorsGivesNoMeshAndItsMessage) {
    replace_kernel("cp \"$D/fixtures/mesh_1\" \"$4\"; echo 'vrek: element 0: MESH-TOO-LARGE : BUDGET' >&2; exit 1");
    k.meshes("mesh_1", {7});
    std::string end = "stale";
    EXPECT_EQ(assemble_script("return box(1);\n", MESH_PURE_UNION, false, end), nullptr);
    EXPECT_EQ(end, "");
    EXPECT_EQ(kernel_error_report, "vrek: element 0: MESH-TOO-LARGE : BUDGET");

    replace_kernel("head -c 20000000 /dev/zero | tr '\\0' x");
    k.fixture("parse", report(""));
    ASSERT_TRUE(write_text_file(k.root + "/s.vrek", "return box(1);\n"));
    parse_script_file(k.root + "/s.vrek");
    EXPECT_LE(kernel_trace_text.size(), kernel_output_keep_bytes + 100);
    EXPECT_NE(kernel_trace_text.find(" bytes of output left out ...]"), std::string::npos);
    const std::string last = "kernel ran -parse on vrek_parse_in\n";  // the output's end is kept
    ASSERT_GT(kernel_trace_text.size(), last.size());
    EXPECT_EQ(kernel_trace_text.substr(kernel_trace_text.size() - last.size()), last);
}

// A kernel that dies leaves no report: the trace says how it ended. One
// that fails but writes its report needs no such line.
TEST_F(KernelRuns, AKernelThatDiesSaysHowItEnded) {
    const std::pair<const char*, const char*> endings[] = {
        {"kill -SEGV $$", "kernel ended by signal 11"},
        {"exit 3", "kernel exited with status 3"},
        {"cp \"$D/fixtures/parse\" \"$4\"; exit 1", ""},
    };
    for (const auto& [snippet, ending] : endings) {
        SCOPED_TRACE(snippet);
        replace_kernel(snippet);
        k.fixture("parse", report(""));
        const std::string file = k.root + "/s.vrek";
        ASSERT_TRUE(write_text_file(file, "return box(1);\n"));
        EXPECT_EQ(parse_script_file(file).kernel_end, ending);
        EXPECT_EQ(kernel_trace_text, *ending ? std::string(ending) + "\n" : "");
        std::string end;
        EXPECT_EQ(assemble_script("return box(1);\n", MESH_PURE_UNION, false, end), nullptr);
        EXPECT_EQ(end, ending);
    }
}

TEST_F(KernelRuns, StagingFailureRunsNoKernel) {
    ASSERT_TRUE(write_text_file(k.root + "/s.vrek", "return 1;"));
    k.meshes("mesh_1", {1});
    const std::string bare = k.root + "/bare";  // a workspace without tmp/
    mkdir(bare.c_str(), 0755);
    ASSERT_TRUE(set_workspace_path(bare));
    std::string end;
    EXPECT_EQ(assemble_script("s", 2, false, end), nullptr);
    EXPECT_NE(error_trace_text.find("UNABLE-TO-STAGE-KERNEL-INPUT"), std::string::npos);
    EntityParseRecord r = parse_script_file(k.root + "/s.vrek");
    EXPECT_EQ(r.sections[SECTION_ERRORS], "UNABLE-TO-STAGE-KERNEL-INPUT;\n");
    EXPECT_EQ(r.section_line_counts[SECTION_ERRORS], 1);
    EXPECT_EQ(parse_parallel_elements({{"a", "x"}}, end)[0].section_line_counts[SECTION_ERRORS], 1);
    EXPECT_FALSE(run_ccpp_assembly("p", 2, false));
    std::unique_ptr<AppContext> app = make_app_context();
    assemble_startup_meshes(*app);
    assemble_startup_entity(*app);
    EXPECT_EQ(app->startup.startup_meshes, std::vector<InteropMesh*>(3, nullptr));
    EXPECT_EQ(app->entities.startup_entity.mesh, nullptr);
    EXPECT_EQ(app->entities.startup_entity.assembled, 0);
    const std::vector<InteropMesh*> none(1, nullptr);
    EXPECT_EQ(assemble_elements_threaded({{"a", "A"}}, {}, false, false, 2), none);
    EXPECT_EQ(assemble_batches_threaded({{"a", "A"}}, {{0}}, false, false, 2), none);
    EXPECT_EQ(assemble_elements_in_one_run({{"a", "A"}}, {}, false, false, 2), none);
    EXPECT_EQ(parallel_job_table.running_count.load(), 0);
    for (const char* name : {"vrek_assemble_in", "vrek_parse_in", "vrek_assemble_ccpp_in", "vrek_assemble_in_sub_0",
                             "vrek_assemble_in_batch_0"})
        EXPECT_FALSE(k.ran(name)) << name;
}

TEST_F(KernelRuns, StartupRunsKeepThreeMeshesAndTheEntity) {
    std::unique_ptr<AppContext> app = make_app_context();
    k.meshes("mesh_3", {10, 11, 12, 13});  // a surplus mesh is released
    assemble_startup_meshes(*app);
    const std::vector<std::string>& s = app->startup.startup_scripts;
    EXPECT_EQ(k.input("vrek_assemble_in"), "3;\n\n" + block("pure_union_mesh", s[0]) + "\n" +
                                               block("optimal_csg_mesh", s[1]) + "\n" + block("optimal_csg_mesh", s[2]));
    EXPECT_EQ(k.args("vrek_assemble_in"), k.run("-assemble", "vrek_assemble_in", "vrek_assemble_out"));
    ASSERT_EQ(app->startup.startup_meshes.size(), 3u);
    EXPECT_EQ(mesh_tag(app->startup.startup_meshes[2]), 12.0);
    EXPECT_EQ(app->startup.startup_meshes[0]->algorithm, MESH_PURE_UNION);
    EXPECT_EQ(app->startup.startup_meshes[1]->mesh_kind, MESH_OPTIMAL_CSG);
    free_interop_meshes(app->startup.startup_meshes);
    k.meshes("mesh_3", {20});
    assemble_startup_meshes(*app);
    EXPECT_EQ(tags(app->startup.startup_meshes), (Tags{20, -1, -1}));

    k.meshes("mesh_1", {5});
    assemble_startup_entity(*app);
    EXPECT_EQ(k.input("vrek_assemble_in"), "1;\n\n" + block("optimal_csg_mesh", app->startup.startup_entity_script));
    ASSERT_NE(app->startup.startup_entity_mesh, nullptr);
    EXPECT_EQ(app->entities.startup_entity.mesh, app->startup.startup_entity_mesh);
    EXPECT_EQ(app->entities.startup_entity.vertex_count, 3);
}

TEST_F(KernelRuns, CcppParsesThenComputesTheUntrimmedPrefix) {
    EXPECT_FALSE(run_ccpp_assembly(" \n\t\r\n", 2, false));
    EXPECT_FALSE(path_exists(k.path("vrek_assemble_ccpp_in")));
    kernel_trace_text = "kept";
    const std::string prefix = "\n  INT n = 3;\n", i = "vrek_assemble_ccpp_in", o = "vrek_assemble_ccpp_out";
    EXPECT_TRUE(run_ccpp_assembly(prefix, MESH_OPTIMAL_CSG, false));
    EXPECT_TRUE(run_ccpp_assembly(prefix, MESH_PURE_UNION, true));
    EXPECT_EQ(k.input(i), prefix);
    EXPECT_EQ(k.args(i), k.run("-parse", i, o, {"-ccpp"}) + k.run("-compute", i, o, {"2"}) +
                             k.run("-parse", i, o, {"-ccpp"}) + k.run("-compute-ppd", i, o, {"0"}));
    EXPECT_EQ(kernel_trace_text, "kept");
}

TEST_F(ParallelAssembly, PerElementRunsOnlySelectedResolvedElementsAndNeverAStaleOutput) {
    for (int i = 0; i < 4; ++i) k.meshes("vrek_assemble_in_sub_" + std::to_string(i), {double(i)});
    testing::internal::CaptureStdout();
    std::vector<InteropMesh*> r = assemble_elements_threaded(kFour, {true, true, false, true}, true, true, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR : UNABLE-TO-RESOLVE-PARALLEL-ELEMENT [ b ]\n");
    EXPECT_EQ(k.input("vrek_assemble_in_sub_3"), "1;\n" + block("basic_csg_mesh", "D"));
    EXPECT_EQ(k.args("vrek_assemble_in_sub_3"), k.run("-assemble-ppd", "vrek_assemble_in_sub_3", "vrek_assemble_out_sub_3",
                                                      {"-ccpp", k.path("vrek_assemble_ccpp_out")}));
    EXPECT_FALSE(path_exists(k.path("vrek_assemble_in_sub_1")));
    EXPECT_FALSE(path_exists(k.path("vrek_assemble_in_sub_2")));  // unselected: not run
    EXPECT_EQ(tags(r), (Tags{0, -1, -1, 3}));
    EXPECT_EQ(r[3]->element_invocation, "d");
    EXPECT_EQ(r[3]->element_source, "D");
    EXPECT_EQ(r[3]->mesh_kind, MESH_BASIC_CSG);
    EXPECT_GE(r[3]->kernel_ms, 0);
    EXPECT_EQ(r[3]->assembly_ms, r[3]->kernel_ms + r[3]->read_ms);
    free_interop_meshes(r);
    EXPECT_EQ(parallel_job_table.element_sources, nullptr);

    // The kernel now writes nothing: the last run's meshes must not return.
    ASSERT_EQ(unlink((k.fixtures + "vrek_assemble_in_sub_0").c_str()), 0);
    write_text_file(k.log + "vrek_assemble_in_sub_0.args", "");
    EXPECT_EQ(assemble_elements_threaded({{"a", "A"}}, {}, false, false, 0)[0], nullptr);
    EXPECT_EQ(k.args("vrek_assemble_in_sub_0"), k.run("-assemble", "vrek_assemble_in_sub_0", "vrek_assemble_out_sub_0"));
    // A selection of the wrong length runs nothing.
    k.meshes("vrek_assemble_in_sub_0", {0});
    EXPECT_EQ(assemble_elements_threaded(kFour, {true}, false, false, 2), kNone4);
    EXPECT_TRUE(assemble_elements_threaded({}, {}, false, false, 2).empty());
}

TEST_F(ParallelAssembly, PerBatchStagesGroupsAndHandsMeshesOutByPosition) {
    k.meshes("vrek_assemble_in_batch_0", {10, 11, 13});
    k.meshes("vrek_assemble_in_batch_1", {20});
    std::vector<InteropMesh*> r = assemble_batches_threaded(kFour, {{0, 1, 3}, {2}}, false, false, 2);
    // No blank line after the count; an unresolved element is an empty block.
    EXPECT_EQ(k.input("vrek_assemble_in_batch_0"),
              "3;\n" + block("optimal_csg_mesh", "A") + "{ };\n" + block("optimal_csg_mesh", "D"));
    EXPECT_EQ(k.args("vrek_assemble_in_batch_1"), k.run("-assemble", "vrek_assemble_in_batch_1", "vrek_assemble_out_batch_1"));
    EXPECT_EQ(tags(r), (Tags{10, -1, 20, 13}));  // mesh 11 is released
    EXPECT_EQ(r[3]->element_invocation, "d");
    EXPECT_EQ(r[3]->kernel_ms, -1);
    free_interop_meshes(r);

    // A batch whose mesh count differs from its group gives nothing; a bad
    // index (one past the last element) is staged as an empty block.
    k.meshes("vrek_assemble_in_batch_0", {10, 11, 12});
    EXPECT_EQ(assemble_batches_threaded(kFour, {{0, 3}, {2, 4}}, false, false, 2), kNone4);
    EXPECT_EQ(k.input("vrek_assemble_in_batch_1"), "2;\n" + block("optimal_csg_mesh", "C") + "{ };\n");
}

TEST_F(ParallelAssembly, OneRunStagesSkippedElementsAsEmptyBlocks) {
    k.meshes("mesh_4", {0, 1, 2, 3});
    std::vector<InteropMesh*> r = assemble_elements_in_one_run(kFour, {true, true, false, true}, true, false, 1);
    EXPECT_EQ(k.input("vrek_assemble_in"),
              "4;\n" + block("basic_csg_mesh", "A") + "{ };\n{ };\n" + block("basic_csg_mesh", "D"));
    EXPECT_EQ(k.args("vrek_assemble_in"),
              k.run("-assemble", "vrek_assemble_in", "vrek_assemble_out", {"-ccpp", k.path("vrek_assemble_ccpp_out")}));
    EXPECT_EQ(tags(r), (Tags{0, -1, -1, 3}));
    EXPECT_EQ(r[3]->element_source, "D");
    EXPECT_EQ(r[3]->read_ms, -1);
    free_interop_meshes(r);
    // One mesh more or less, or no output at all after a good run: nothing.
    for (const Tags& t : {Tags{0, 1, 2}, Tags{0, 1, 2, 3, 4}}) {
        k.meshes("mesh_4", t);
        EXPECT_EQ(assemble_elements_in_one_run(kFour, {}, false, false, 1), kNone4);
    }
    k.meshes("mesh_4", {0, 1, 2, 3});
    r = assemble_elements_in_one_run(kFour, {}, false, false, 1);
    free_interop_meshes(r);
    ASSERT_EQ(unlink((k.fixtures + "mesh_4").c_str()), 0);
    EXPECT_EQ(assemble_elements_in_one_run(kFour, {}, false, false, 1), kNone4);
}

TEST_F(ParallelAssembly, DispatcherChoosesTheRunAndNumbersElementsAndBatches) {
    for (int i = 0; i < 4; ++i) k.meshes("vrek_assemble_in_sub_" + std::to_string(i), {double(i)});
    k.meshes("vrek_assemble_in_batch_0", {30, 33});
    k.meshes("vrek_assemble_in_batch_1", {32});
    k.meshes("mesh_4", {40, 41, 42, 43});
    std::vector<InteropMesh*> one = assemble_parallel_entity(kFour, {}, {{0}}, false, false, 2, false);
    std::vector<InteropMesh*> each = assemble_parallel_entity(kFour, {}, {}, false, false, 2, true);
    std::vector<InteropMesh*> batched = assemble_parallel_entity(kFour, {}, {{0, 3}, {2}}, false, false, 2, true);
    EXPECT_EQ(tags(one), (Tags{40, -1, 42, 43}));
    EXPECT_EQ(tags(each), (Tags{0, -1, 2, 3}));
    EXPECT_EQ(tags(batched), (Tags{30, -1, 32, 33}));
    for (const auto* list : {&one, &each, &batched}) {
        EXPECT_EQ((*list)[3]->element_index, 3);
        EXPECT_EQ((*list)[3]->batch_index, list == &batched ? 0 : -1);
    }
    EXPECT_EQ(batched[2]->batch_index, 1);
    for (auto* list : {&one, &each, &batched}) free_interop_meshes(*list);

    // As many groups as elements: no batch numbers.
    k.meshes("vrek_assemble_in_batch_0", {50});
    k.meshes("vrek_assemble_in_batch_1", {51});
    batched = assemble_parallel_entity({{"a", "A"}, {"c", "C"}}, {}, {{1}, {0}}, false, false, 2, true);
    EXPECT_EQ(tags(batched), (Tags{51, 50}));
    EXPECT_EQ(batched[0]->batch_index, -1);
    free_interop_meshes(batched);
}

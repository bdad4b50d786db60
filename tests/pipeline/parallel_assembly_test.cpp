// Parallel assemblies against the recording fake kernel: per element and per
// batch on worker threads, and all elements in one run.
#include <gtest/gtest.h>
#include <unistd.h>

#include "pipeline/parallel_dispatch.h"
#include "pipeline_test_support.h"

namespace {

class ParallelAssembly : public ::testing::Test {
protected:
    void TearDown() override {
        reset_parallel_jobs_for_tests();
        reset_paths_for_tests();
    }
    FakeKernel k = make_fake_kernel();
};

const std::vector<SubElementSource> kFour = {{"a", "A"}, {"b", ""}, {"c", "C"}, {"d", "D"}};
const std::vector<InteropMesh*> kNone4(4, nullptr);

std::vector<double> tags(const std::vector<InteropMesh*>& meshes) {
    std::vector<double> t;
    for (InteropMesh* m : meshes) t.push_back(mesh_tag(m));
    return t;
}

}  // namespace

TEST_F(ParallelAssembly, PerElementRunsOnlySelectedResolvedElementsAndNeverAStaleOutput) {
    for (int i = 0; i < 4; ++i) k.meshes("vrek_assemble_in_sub_" + std::to_string(i), {double(i)});
    testing::internal::CaptureStdout();
    std::vector<InteropMesh*> r = assemble_elements_threaded(kFour, {true, true, false, true}, true, true, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR : UNABLE-TO-RESOLVE-PARALLEL-ELEMENT [ b ]\n");
    EXPECT_EQ(k.input("vrek_assemble_in_sub_3"), "1;\n" + block("basic_csg_mesh", "D"));
    EXPECT_EQ(k.args("vrek_assemble_in_sub_3"),
              run_args({"-interop", "-assemble-ppd", k.path("vrek_assemble_in_sub_3"), k.path("vrek_assemble_out_sub_3"),
                        "-ccpp", k.path("vrek_assemble_ccpp_out")}));
    EXPECT_FALSE(path_exists(k.path("vrek_assemble_in_sub_1")));
    EXPECT_FALSE(path_exists(k.path("vrek_assemble_in_sub_2")));  // unselected: not run
    EXPECT_EQ(tags(r), (std::vector<double>{0, -1, -1, 3}));
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
    EXPECT_EQ(k.args("vrek_assemble_in_sub_0"),
              run_args({"-interop", "-assemble", k.path("vrek_assemble_in_sub_0"), k.path("vrek_assemble_out_sub_0")}));
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
    EXPECT_EQ(k.args("vrek_assemble_in_batch_1"),
              run_args({"-interop", "-assemble", k.path("vrek_assemble_in_batch_1"), k.path("vrek_assemble_out_batch_1")}));
    EXPECT_EQ(tags(r), (std::vector<double>{10, -1, 20, 13}));  // mesh 11 is released
    EXPECT_EQ(r[3]->element_invocation, "d");
    EXPECT_EQ(r[3]->kernel_ms, -1);
    free_interop_meshes(r);

    // A batch whose mesh count differs from its group gives nothing; a bad
    // index is staged as an empty block.
    k.meshes("vrek_assemble_in_batch_0", {10, 11, 12});
    EXPECT_EQ(assemble_batches_threaded(kFour, {{0, 3}, {2, 9}}, false, false, 2), kNone4);
    EXPECT_EQ(k.input("vrek_assemble_in_batch_1"), "2;\n" + block("optimal_csg_mesh", "C") + "{ };\n");
}

TEST_F(ParallelAssembly, OneRunStagesSkippedElementsAsEmptyBlocks) {
    k.meshes("mesh_4", {0, 1, 2, 3});
    std::vector<InteropMesh*> r = assemble_elements_in_one_run(kFour, {true, true, false, true}, true, false, 1);
    EXPECT_EQ(k.input("vrek_assemble_in"), "4;\n" + block("basic_csg_mesh", "A") + "{ };\n{ };\n" +
                                                block("basic_csg_mesh", "D"));
    EXPECT_EQ(k.args("vrek_assemble_in"), run_args({"-interop", "-assemble", k.path("vrek_assemble_in"),
                                                    k.path("vrek_assemble_out"), "-ccpp",
                                                    k.path("vrek_assemble_ccpp_out")}));
    EXPECT_EQ(tags(r), (std::vector<double>{0, -1, -1, 3}));
    EXPECT_EQ(r[3]->element_source, "D");
    EXPECT_EQ(r[3]->read_ms, -1);
    free_interop_meshes(r);
    // One mesh more or less, or no output at all after a good run: nothing.
    for (const std::vector<double>& t : {std::vector<double>{0, 1, 2}, std::vector<double>{0, 1, 2, 3, 4}}) {
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
    EXPECT_EQ(tags(one), (std::vector<double>{40, -1, 42, 43}));
    EXPECT_EQ(tags(each), (std::vector<double>{0, -1, 2, 3}));
    EXPECT_EQ(tags(batched), (std::vector<double>{30, -1, 32, 33}));
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
    EXPECT_EQ(tags(batched), (std::vector<double>{51, 50}));
    EXPECT_EQ(batched[0]->batch_index, -1);
    free_interop_meshes(batched);
}

TEST_F(ParallelAssembly, UnwritableWorkspaceRunsNothing) {
    k.meshes("mesh_1", {1});
    const std::string bare = k.root + "/bare";
    mkdir(bare.c_str(), 0755);
    ASSERT_TRUE(set_workspace_path(bare));
    const std::vector<InteropMesh*> none(1, nullptr);
    EXPECT_EQ(assemble_elements_threaded({{"a", "A"}}, {}, false, false, 2), none);
    EXPECT_EQ(assemble_batches_threaded({{"a", "A"}}, {{0}}, false, false, 2), none);
    EXPECT_EQ(assemble_elements_in_one_run({{"a", "A"}}, {}, false, false, 2), none);
    for (const char* name : {"vrek_assemble_in", "vrek_assemble_in_sub_0", "vrek_assemble_in_batch_0"})
        EXPECT_FALSE(path_exists(k.log + name + ".args")) << name;
    EXPECT_EQ(parallel_job_table.running_count.load(), 0);
}

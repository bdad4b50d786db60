// End to end with the stand-in kernel: start-up runs, and a parallel script
// assembled every way, profiling on and off.
#include <memory>
#include <gtest/gtest.h>

#include "app/app_context.h"
#include "pipeline/parallel_dispatch.h"
#include "model/parallel_grammar.h"
#include "pipeline_test_support.h"
#include "text/text_utils.h"

namespace {

class StandInKernel : public ::testing::Test {
protected:
    void SetUp() override {
        const char* binary = getenv("VK_BINARY_DIR");
        const char* source = getenv("VK_SOURCE_DIR");
        ASSERT_TRUE(binary && source);
        examples = std::string(source) + "/examples/";
        root = make_pipeline_test_dir();
        mkdir((root + "/tmp").c_str(), 0755);
        reset_paths_for_tests();
        ASSERT_TRUE(set_kernel_path(std::string(binary) + "/kernel/vrek"));
        ASSERT_TRUE(set_workspace_path(root));
    }
    void TearDown() override {
        reset_parallel_jobs_for_tests();
        reset_paths_for_tests();
        remove_test_tree(root);
    }
    std::string examples, root;
};

void expect_present(const std::vector<InteropMesh*>& meshes) {
    for (size_t i = 0; i < meshes.size(); ++i) {
        ASSERT_NE(meshes[i], nullptr) << i;
        EXPECT_GT(interop_mesh_vertex_count(*meshes[i]), 0) << i;
    }
}

}  // namespace

// The built-in start-up scripts are in the language the kernel reads.
TEST_F(StandInKernel, StartupRuns) {
    std::unique_ptr<AppContext> app = make_app_context();
    assemble_startup_meshes(*app);
    assemble_startup_entity(*app);
    EXPECT_EQ(app->startup.startup_meshes.size(), 3u);
    expect_present(app->startup.startup_meshes);
    expect_present({app->startup.startup_mesh});
    EXPECT_EQ(app->entities.startup_entity.assembled, 1);
    free_interop_meshes(app->startup.startup_meshes);
}

TEST_F(StandInKernel, ParallelScriptEveryWayWithCcpp) {
    EntityParseRecord r = parse_script_file(examples + "parallel_towers.vrek");
    ASSERT_EQ(r.parallel, 1) << r.sections[SECTION_ERRORS];
    std::vector<std::string> messages = {""};
    std::vector<SubElementSource> sources = build_subelement_sources(r, &messages);
    ASSERT_EQ(sources.size(), 4u);
    EXPECT_EQ(messages[0], "");
    for (const EntityParseRecord& p : parse_parallel_elements(sources))
        EXPECT_EQ(p.section_line_counts[SECTION_ERRORS], 0) << p.path << p.sections[SECTION_ERRORS];

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
        for (const auto& meshes : ways) expect_present(meshes);
        if (!HasFatalFailure()) {
            // The same geometry whichever way it was assembled.
            for (size_t i = 0; i < 4; ++i) {
                EXPECT_EQ(ways[0][i]->positions, ways[1][i]->positions) << i;
                EXPECT_EQ(ways[0][i]->positions, ways[2][i]->positions) << i;
            }
            EXPECT_EQ(ways[2][1]->batch_index, ways[2][2]->batch_index);
            EXPECT_EQ(ways[1][3]->ppd_text.empty(), !profiling);
        }
        for (auto& meshes : ways) free_interop_meshes(meshes);
    }
}

// End to end with the stand-in kernel: every kind of run, profiling on and off.
#include <gtest/gtest.h>

#include "app/app_context.h"
#include "pipeline/parallel_dispatch.h"
#include "pipeline/parallel_grammar.h"
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
        const std::string root = make_pipeline_test_dir();
        mkdir((root + "/tmp").c_str(), 0755);
        reset_paths_for_tests();
        ASSERT_TRUE(set_kernel_path(std::string(binary) + "/kernel/vrek"));
        ASSERT_TRUE(set_workspace_path(root));
    }
    void TearDown() override { reset_paths_for_tests(); }
    std::string examples;
};

void expect_present(const std::vector<InteropMesh*>& meshes) {
    for (size_t i = 0; i < meshes.size(); ++i) {
        ASSERT_NE(meshes[i], nullptr) << i;
        EXPECT_GT(interop_mesh_vertex_count(*meshes[i]), 0) << i;
    }
}

}  // namespace

TEST_F(StandInKernel, SingleAndStartupRuns) {
    EntityParseRecord r = parse_script_file(examples + "startup_entity.vrek");
    EXPECT_EQ(r.section_line_counts[SECTION_ERRORS], 0) << r.sections[SECTION_ERRORS];
    EXPECT_GT(parse_script_file(examples + "syntax_error.vrek").section_line_counts[SECTION_ERRORS], 0);
    for (bool profiling : {false, true}) {
        InteropMesh* mesh = assemble_script(r.script, MESH_OPTIMAL_CSG, profiling);
        expect_present({mesh});
        EXPECT_EQ(mesh && mesh->ppd_text.empty(), mesh && !profiling);
        free_interop_mesh(mesh);
    }
    AppContext* app = new AppContext();
    assemble_startup_meshes(*app);
    assemble_startup_entity(*app);
    EXPECT_EQ(app->startup_meshes.size(), 3u);
    expect_present(app->startup_meshes);
    expect_present({app->startup_entity_mesh});
    EXPECT_EQ(app->inspector_entity.assembled, 1);
    free_interop_meshes(app->startup_meshes);
    free_interop_mesh(app->startup_entity_mesh);
    delete app;
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
        std::vector<InteropMesh*> one = assemble_parallel_entity(sources, {}, {}, true, profiling, 2, false);
        std::vector<InteropMesh*> each = assemble_parallel_entity(sources, {}, {}, true, profiling, 2, true);
        std::vector<InteropMesh*> batched = assemble_parallel_entity(sources, all, groups, true, profiling, 2, true);
        expect_present(one);
        expect_present(each);
        expect_present(batched);
        if (!HasFatalFailure()) {
            // The same geometry whichever way it was assembled.
            for (size_t i = 0; i < 4; ++i) {
                EXPECT_EQ(one[i]->positions, each[i]->positions) << i;
                EXPECT_EQ(one[i]->positions, batched[i]->positions) << i;
            }
            EXPECT_EQ(batched[1]->batch_index, batched[2]->batch_index);
            EXPECT_EQ(each[3]->ppd_text.empty(), !profiling);
        }
        for (auto* list : {&one, &each, &batched}) free_interop_meshes(*list);
    }
}

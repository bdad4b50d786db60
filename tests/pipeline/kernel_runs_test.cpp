// Main-thread kernel runs against the recording fake kernel: exact staged
// bytes and argument vectors, what is read back, and failed staging or runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/app_context.h"
#include "pipeline_test_support.h"

namespace {

std::string report(const std::string& operations) {
    std::string out;
    for (const char* name : report_section_names)
        out += std::string("<") + name + ">\n" + (name == std::string("OPERATIONS") ? operations : "") + "</" + name + ">\n";
    return out + "<SOURCE></SOURCE>\n";
}

class KernelRuns : public ::testing::Test {
protected:
    void TearDown() override { reset_paths_for_tests(); }
    FakeKernel k = make_fake_kernel();
    std::string in(const char* name) { return k.path(name); }
};

}  // namespace

TEST_F(KernelRuns, ParseStagesTheScriptAndNeverReadsAStaleReport) {
    const std::string file = k.root + "/s.vrek", script = "a = box(1);\nreturn a;\n";
    ASSERT_TRUE(write_text_file(file, script));
    k.fixture("parse", report("return a;\n"));
    script_trace_text = "old";
    EntityParseRecord r = parse_script_file(file);
    EXPECT_EQ(k.input("vrek_parse_in"), "// logic\n" + script);
    EXPECT_EQ(k.args("vrek_parse_in"), run_args({"-interop", "-parse", in("vrek_parse_in"), in("vrek_parse_out")}));
    EXPECT_EQ(r.path, file);
    EXPECT_EQ(r.script, script);
    EXPECT_EQ(r.sections[SECTION_OPERATIONS], "return a;\n");
    EXPECT_EQ(kernel_trace_text, "kernel ran -parse on vrek_parse_in\n");
    EXPECT_EQ(script_trace_text, "");

    // The kernel now writes nothing: the previous report must not count.
    ASSERT_EQ(unlink((k.fixtures + "parse").c_str()), 0);
    EXPECT_GT(parse_script_file(file).section_line_counts[SECTION_ERRORS], 0);

    // An empty or missing script never reaches the kernel.
    ASSERT_TRUE(write_text_file(file, ""));
    kernel_trace_text = "kept";
    for (const std::string& f : {file, k.root + "/missing.vrek"}) {
        r = parse_script_file(f);
        EXPECT_EQ(r.sections[SECTION_ERRORS], "SCRIPT-READ-IS-NULL;\n");
        EXPECT_EQ(r.section_line_counts[SECTION_ERRORS], 1);
        EXPECT_EQ(r.is_null, 1);
    }
    EXPECT_EQ(kernel_trace_text, "kept");
}

TEST_F(KernelRuns, SubElementParseStagesBlocksAndSplitsAtBreaks) {
    // Two pieces for three sub-elements: the third reads as an empty output.
    k.fixture("parse_star", report("x;\n") + "<BREAK>\n" + report("y;\n"));
    std::vector<EntityParseRecord> r = parse_parallel_elements({{"a", "x;"}, {"2|b", "p;\ny;"}, {"c", ""}});
    EXPECT_EQ(k.input("vrek_parse_in"), "3;\n{\n// E:a\nx;\n};\n{\n// E:2|b\np;\ny;\n};\n{\n// E:c\n\n};\n");
    EXPECT_EQ(k.args("vrek_parse_in"),
              run_args({"-interop", "-parse", in("vrek_parse_in"), in("vrek_parse_out"), "*"}));
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[1].path, "2|b");
    EXPECT_EQ(r[1].script, "p;\ny;");
    EXPECT_EQ(r[1].sections[SECTION_OPERATIONS], "y;\n");
    EXPECT_GT(r[2].section_line_counts[SECTION_ERRORS], 0);
    EXPECT_TRUE(parse_parallel_elements({}).empty());
    EXPECT_EQ(k.input("vrek_parse_in"), "0;\n");
}

TEST_F(KernelRuns, AssembleStagesOneBlockStampsTheMeshAndFailsToNull) {
    k.meshes("mesh_1", {7, 8});
    InteropMesh* mesh = assemble_script("return box(1);\n", MESH_BASIC_CSG, true);
    EXPECT_EQ(k.input("vrek_assemble_in"), "1;\n\n" + block("basic_csg_mesh", "return box(1);\n"));
    EXPECT_EQ(k.args("vrek_assemble_in"),
              run_args({"-interop", "-assemble-ppd", in("vrek_assemble_in"), in("vrek_assemble_out")}));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh_tag(mesh), 7.0);
    EXPECT_EQ(mesh->algorithm, MESH_BASIC_CSG);
    EXPECT_EQ(mesh->mesh_kind, MESH_BASIC_CSG);
    EXPECT_GE(mesh->assembly_ms, 0);
    free_interop_mesh(mesh);

    // A kernel that writes nothing, then one that cannot start: null, never
    // the previous run's mesh. An unknown mode stages a known keyword.
    ASSERT_EQ(unlink((k.fixtures + "mesh_1").c_str()), 0);
    EXPECT_EQ(assemble_script("s", 7, false), nullptr);
    EXPECT_EQ(k.input("vrek_assemble_in"), "1;\n\n" + block("optimal_csg_mesh", "s"));
    set_kernel_path(k.root + "/none/vrek");
    EXPECT_EQ(assemble_script("s", 2, false), nullptr);
    EXPECT_EQ(kernel_trace_text, "");
}

TEST_F(KernelRuns, StagingFailureRunsNoKernel) {
    ASSERT_TRUE(write_text_file(k.root + "/s.vrek", "return 1;"));
    k.meshes("mesh_1", {1});
    const std::string bare = k.root + "/bare";  // a workspace without tmp/
    mkdir(bare.c_str(), 0755);
    ASSERT_TRUE(set_workspace_path(bare));
    EXPECT_EQ(assemble_script("s", 2, false), nullptr);
    EXPECT_NE(error_trace_text.find("UNABLE-TO-STAGE-KERNEL-INPUT"), std::string::npos);
    EntityParseRecord r = parse_script_file(k.root + "/s.vrek");
    EXPECT_EQ(r.sections[SECTION_ERRORS], "UNABLE-TO-STAGE-KERNEL-INPUT;\n");
    EXPECT_EQ(r.section_line_counts[SECTION_ERRORS], 1);
    EXPECT_EQ(parse_parallel_elements({{"a", "x"}})[0].section_line_counts[SECTION_ERRORS], 1);
    EXPECT_FALSE(run_ccpp_assembly("p", 2, false));
    AppContext* app = new AppContext();
    assemble_startup_meshes(*app);
    assemble_startup_entity(*app);
    EXPECT_EQ(app->startup_meshes, std::vector<InteropMesh*>(3, nullptr));
    EXPECT_EQ(app->inspector_entity.mesh, nullptr);
    EXPECT_EQ(app->inspector_entity.assembled, 0);
    delete app;
    for (const char* name : {"vrek_assemble_in", "vrek_parse_in", "vrek_assemble_ccpp_in"})
        EXPECT_FALSE(path_exists(k.log + name + ".args")) << name;
}

TEST_F(KernelRuns, StartupRunsKeepThreeMeshesAndTheEntity) {
    AppContext* app = new AppContext();
    k.meshes("mesh_3", {10, 11, 12, 13});  // a surplus mesh is released
    assemble_startup_meshes(*app);
    const std::vector<std::string>& s = app->startup_scripts;
    EXPECT_EQ(k.input("vrek_assemble_in"), "3;\n\n" + block("pure_union_mesh", s[0]) + "\n" +
                                               block("optimal_csg_mesh", s[1]) + "\n" + block("optimal_csg_mesh", s[2]));
    EXPECT_EQ(k.args("vrek_assemble_in"),
              run_args({"-interop", "-assemble", in("vrek_assemble_in"), in("vrek_assemble_out")}));
    ASSERT_EQ(app->startup_meshes.size(), 3u);
    EXPECT_EQ(mesh_tag(app->startup_meshes[2]), 12.0);
    EXPECT_EQ(app->startup_meshes[0]->algorithm, MESH_PURE_UNION);
    EXPECT_EQ(app->startup_meshes[1]->mesh_kind, MESH_OPTIMAL_CSG);
    free_interop_meshes(app->startup_meshes);
    k.meshes("mesh_3", {20});
    assemble_startup_meshes(*app);
    EXPECT_EQ(mesh_tag(app->startup_meshes[0]), 20.0);
    EXPECT_EQ(app->startup_meshes[2], nullptr);
    free_interop_meshes(app->startup_meshes);

    k.meshes("mesh_1", {5});
    assemble_startup_entity(*app);
    EXPECT_EQ(k.input("vrek_assemble_in"), "1;\n\n" + block("optimal_csg_mesh", app->startup_entity_script));
    ASSERT_NE(app->startup_entity_mesh, nullptr);
    EXPECT_EQ(app->inspector_entity.mesh, app->startup_entity_mesh);
    EXPECT_EQ(app->inspector_entity.vertex_count, 3);
    free_interop_mesh(app->startup_entity_mesh);
    delete app;
}

TEST_F(KernelRuns, CcppParsesThenComputesTheUntrimmedPrefix) {
    EXPECT_FALSE(run_ccpp_assembly(" \n\t\r\n", 2, false));
    EXPECT_FALSE(path_exists(in("vrek_assemble_ccpp_in")));
    kernel_trace_text = "kept";
    const std::string prefix = "\n  INT n = 3;\n", i = in("vrek_assemble_ccpp_in"), o = in("vrek_assemble_ccpp_out");
    EXPECT_TRUE(run_ccpp_assembly(prefix, MESH_OPTIMAL_CSG, false));
    EXPECT_TRUE(run_ccpp_assembly(prefix, MESH_PURE_UNION, true));
    EXPECT_EQ(k.input("vrek_assemble_ccpp_in"), prefix);
    EXPECT_EQ(k.args("vrek_assemble_ccpp_in"),
              run_args({"-interop", "-parse", i, o, "-ccpp"}) + run_args({"-interop", "-compute", i, o, "2"}) +
                  run_args({"-interop", "-parse", i, o, "-ccpp"}) + run_args({"-interop", "-compute-ppd", i, o, "0"}));
    EXPECT_EQ(kernel_trace_text, "kept");
}

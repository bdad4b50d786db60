#include "pipeline/workspace.h"

#include "context/app_context.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "shell/app_callbacks.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

int64_t fixed_clock() { return 1'000'000 + 2'500; }

int root_refreshes = 0;

class PrepareWorkspace : public testing::Test {
protected:
    void SetUp() override {
        root = scratch.path();
        ASSERT_FALSE(root.empty());
        std::ofstream(root + "/vrek") << "#!/bin/sh\n";
        fs::permissions(root + "/vrek", fs::perms::owner_exec, fs::perm_options::add);
        reset_paths_for_tests();
        set_clock_for_tests(fixed_clock);
        app = make_app_context();
        start_clock_ms = 1'000'000;  // the intro's clock starts with the frame loop
        root_refreshes = 0;
        app->refresh_handler = [] { ++root_refreshes; };
    }
    void TearDown() override {
        set_clock_for_tests(nullptr);
        start_clock_ms = 0;
        reset_paths_for_tests();
        fs::remove_all(root);
    }
    TestDir scratch{"vk_ws"};
    std::string root;
    std::unique_ptr<AppContext> app;
};

}  // namespace

TEST_F(PrepareWorkspace, NeedsBothPathsValid) {
    set_workspace_path(root);
    prepare_workspace(*app);
    EXPECT_LT(app->startup.workspace_prepared_at, 0.0);
    EXPECT_FALSE(fs::exists(root + "/tmp"));
    EXPECT_EQ(root_refreshes, 0);
}

TEST_F(PrepareWorkspace, MakesStagingDirectoryAndRecordsTime) {
    ASSERT_TRUE(set_kernel_path(root + "/vrek"));
    ASSERT_TRUE(set_workspace_path(root));  // no trailing "/"
    app->file_browser_state.browser_highlight_refs[0] = &root;
    prepare_app_workspace(*app);
    EXPECT_TRUE(fs::is_directory(root + "/tmp"));
    EXPECT_EQ(app->file_browser_state.browser_directory, root);
    EXPECT_EQ(app->file_browser_state.browser_highlight_refs[0], nullptr);
    EXPECT_DOUBLE_EQ(app->startup.workspace_prepared_at, 2.5);
    EXPECT_EQ(root_refreshes, 1);

    // A second preparation recreates a removed staging directory.
    fs::remove_all(root + "/tmp");
    prepare_workspace(*app);
    EXPECT_TRUE(fs::is_directory(root + "/tmp"));
    EXPECT_EQ(root_refreshes, 2);
}

TEST_F(PrepareWorkspace, UnwritableWorkspaceStillCountsAsPrepared) {
    ASSERT_TRUE(set_kernel_path(root + "/vrek"));
    // "tmp" exists as a file, so the staging directory cannot be made.
    std::ofstream(root + "/tmp") << "in the way";
    ASSERT_TRUE(set_workspace_path(root + "/"));
    testing::internal::CaptureStdout();
    prepare_workspace(*app);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("ERROR: unable to write to specified entity workspace.\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(app->startup.workspace_prepared_at, 2.5);
}

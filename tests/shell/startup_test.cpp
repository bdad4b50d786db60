// The start-up intro: logo ramp, plain and interactive modes, the one
// start-up assembly with its console lines, the closing phases.
#include <gtest/gtest.h>

#include <filesystem>

#include "context/trace_channels.h"
#include "platform/paths.h"
#include "shell/startup_sequence.h"
#include "pipeline/workspace.h"
#include "support/shell_fixture.h"
#include "support/test_dir.h"

namespace fs = std::filesystem;

namespace {

struct Intro : ShellFixture {
    TestDir scratch{"vk_intro"};
    std::string workspace = scratch.path();

    Intro() {
        const char* binary = getenv("VK_BINARY_DIR");
        set_kernel_path(std::string(binary ? binary : ".") + "/kernel/vrek");
        set_workspace_path(workspace + "/");
    }

    double seconds() const { return static_cast<double>(clock_ms - start_clock_ms) / 1000.0; }
    // Ticks until the intro finished or `limit` seconds passed.
    void run_until(double limit) {
        while (!app->startup.startup_done && seconds() < limit) tick();
    }
    std::vector<std::string> console() const {
        const TraceLog& log = app->entities.current_environment->trace_log;
        return std::vector<std::string>(log.console_lines.begin(), log.console_lines.begin() + log.console_count);
    }
};

TEST(LogoRamp, RisesAndFallsOnItsEdges) {
    EXPECT_EQ(logo_ramp(0.0), 0.0);
    EXPECT_EQ(logo_ramp(0.25), 0.0);
    EXPECT_DOUBLE_EQ(logo_ramp(0.625), 0.5);
    EXPECT_EQ(logo_ramp(1.0), 1.0);
    EXPECT_DOUBLE_EQ(logo_ramp(1.375), 0.5);
    EXPECT_EQ(logo_ramp(1.75), 0.0);
    EXPECT_EQ(logo_ramp(1.9), 0.0);
}

TEST_F(Intro, PlainIntroAssemblesOnceAndFinishes) {
    app->frame.startup_mode = 0;
    clock_ms += 1000;
    app_tick(*app);
    EXPECT_EQ(app->busy_indicator.opacity, 1.0);  // t = 1.0 exactly
    run_until(30.0);
    ASSERT_EQ(app->startup.startup_done, 1);
    EXPECT_TRUE(fs::is_directory(workspace + "/tmp"));
    EXPECT_TRUE(fs::exists(workspace + "/tmp/vrek_assemble_in"));
    EXPECT_EQ(app->startup.startup_meshes.size(), 3u);
    EXPECT_NE(app->startup.startup_entity_mesh, nullptr);
    EXPECT_FALSE(app->busy_mask.visible);
    EXPECT_FALSE(app->configuration_mask.visible);

    // Workspace prepared right after the logo; the assembly half a second
    // later; the cover gone 2.5 s after it (the fake clock does not move
    // while the kernel runs).
    const StartupState& s = app->startup;
    EXPECT_NEAR(s.workspace_prepared_at, 2.01, 1e-9);
    EXPECT_GT(s.startup_assembly_started_at - s.workspace_prepared_at, 0.5);
    EXPECT_LT(s.startup_assembly_started_at - s.workspace_prepared_at, 0.52);
    EXPECT_GT(seconds() - s.startup_assembly_ended_at, 2.5);
    EXPECT_LT(seconds() - s.startup_assembly_ended_at, 2.52);

    const std::vector<std::string> lines = console();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Kernel-Path : " + kernel_path);
    EXPECT_EQ(lines[1], "Entity-Workspace : " + workspace_path);
    EXPECT_EQ(lines[2], "Environment-Assembly : 0 ms");
    // What the kernel said on both start-up runs, in run order.
    const TraceLog& log = app->entities.current_environment->trace_log;
    ASSERT_EQ(log.channel_count[TRACE_KERNEL], 2);
    EXPECT_EQ(log.channel_lines[TRACE_KERNEL][0].rfind("vrek: assembled 3 elements", 0), 0u);
    EXPECT_EQ(log.channel_lines[TRACE_KERNEL][1].rfind("vrek: assembled 1 elements", 0), 0u);
    EXPECT_EQ(log.channel_count[TRACE_ERROR], 0);

    tick(100);  // the tick's ordinary work from now on: no second assembly
    EXPECT_EQ(console().size(), 3u);
}

TEST_F(Intro, ClosingPhases) {
    app->frame.startup_mode = 0;
    app->startup.workspace_prepared_at = 0.5;
    app->startup.startup_assembly_started_at = 1.0;
    app->startup.startup_assembly_ended_at = 3.0;
    struct Step {
        double t;
        double notice, logo, cover;
        bool notice_shown, logo_shown, overlay_shown;
    };
    const Step steps[] = {
        {3.25, 0.5, 1.0, 1.0, true, true, true},    // notice fading out
        {3.75, 0.5, 1.0, 1.0, true, true, true},    // hold: nothing changes
        {4.375, 0.5, 0.5, 1.0, false, true, true},  // logo back
        {4.75, 0.5, 1.0, 1.0, false, true, true},   // u = 1.75 still belongs to the logo
        {4.9, 0.5, 1.0, 0.8, false, true, false},   // cover fading
        {5.125, 0.5, 1.0, 0.5, false, true, false},
    };
    for (const Step& s : steps) {
        clock_ms = start_clock_ms + static_cast<int64_t>(s.t * 1000.0);
        app_tick(*app);
        EXPECT_NEAR(app->startup_notice.opacity, s.notice, 1e-9) << s.t;
        EXPECT_NEAR(app->busy_indicator.opacity, s.logo, 1e-9) << s.t;
        EXPECT_NEAR(app->busy_mask.opacity, s.cover, 1e-9) << s.t;
        EXPECT_EQ(app->startup_notice.visible, s.notice_shown) << s.t;
        EXPECT_EQ(app->busy_indicator.visible, s.logo_shown) << s.t;
        EXPECT_EQ(app->configuration_mask.visible, s.overlay_shown) << s.t;
    }
    EXPECT_EQ(app->startup.startup_done, 0);
    clock_ms = start_clock_ms + 5510;
    app_tick(*app);
    EXPECT_EQ(app->startup.startup_done, 1);
    EXPECT_FALSE(app->busy_mask.visible);
}

TEST_F(Intro, InteractiveIntroWaitsForTheConfiguration) {
    app->frame.startup_mode = 1;
    run_until(60.0);
    EXPECT_EQ(app->startup.startup_done, 0);
    EXPECT_LT(app->startup.startup_assembly_started_at, 0.0);  // never assembled
    EXPECT_FALSE(app->busy_mask.visible);           // the configuration is usable
    EXPECT_FALSE(app->busy_indicator.visible);
    EXPECT_TRUE(console().empty());

    prepare_app_workspace(*app);  // the user confirmed
    tick();
    EXPECT_TRUE(app->busy_mask.visible);
    run_until(90.0);
    EXPECT_EQ(app->startup.startup_done, 1);
    EXPECT_FALSE(app->configuration_pane.visible);
    EXPECT_EQ(console().size(), 3u);
}

// Plain start-up chosen with valid paths whose workspace is gone by the
// time the intro prepares it: the configuration takes over.
TEST_F(Intro, UnpreparablePlainStartUpFallsBackToTheConfiguration) {
    app->frame.startup_mode = 0;
    set_workspace_path(workspace + "/missing/");
    run_until(10.0);
    EXPECT_EQ(app->frame.startup_mode, 1);
    EXPECT_TRUE(app->configuration_pane.visible);
    EXPECT_TRUE(app->configuration_mask.visible);
    EXPECT_EQ(app->startup.startup_done, 0);
    EXPECT_FALSE(app->busy_mask.visible);
}

TEST_F(Intro, OtherModesDoNothing) {
    app->frame.startup_mode = 7;
    run_until(10.0);
    EXPECT_EQ(app->startup.startup_done, 0);
    EXPECT_LT(app->startup.workspace_prepared_at, 0.0);
}

}  // namespace

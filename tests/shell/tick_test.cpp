// The application tick: deferred requests, transitions, camera motion from
// held keys and the wheel, and the file browser's key repeat.
#include <gtest/gtest.h>
#include "support/call_log.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "support/shell_fixture.h"

namespace {

struct Tick : ShellFixture {
    Tick() { finish_startup(); }
    Camera& camera() { return app->camera.live_camera; }
    void hold(char letter) { record_key_down(*app, letter); }
    double distance_moved(const Vec3& from) {
        const Vec3& e = camera().eye;
        return std::sqrt((e[0] - from[0]) * (e[0] - from[0]) + (e[1] - from[1]) * (e[1] - from[1]) +
                         (e[2] - from[2]) * (e[2] - from[2]));
    }
};

std::string folder_chooser(const std::string&) {
    record_call("choose_folder_dialog");
    return "/chosen/";
}
std::string script_chooser(const std::string&) {
    record_call("open_script_dialog");
    return "";
}
int confirmed = 0;
void confirmed_action() {
    ++confirmed;
    record_call("confirmed_action");
}

TEST_F(Tick, RequestsRunInOrderWhenTheCountdownEnds) {
    tick();
    EXPECT_EQ(app->deferred_requests.deferred_countdown, -1);  // 0 at start: idle after one tick

    auto& r = app->deferred_requests;
    r.deferred_countdown = 5;
    r.export_folder_requested = r.native_open_requested = 1;
    app->dialogs.confirm_accepted = 1;
    app->dialogs.confirm_action = confirmed_action;
    app->services.choose_folder_dialog = folder_chooser;
    app->services.open_script_dialog = script_chooser;
    tick(4);
    EXPECT_TRUE(calls().empty()) << calls().front();
    tick();
    EXPECT_EQ(calls(), (std::vector<std::string>{"open_script_dialog", "choose_folder_dialog",
                                                 "confirmed_action"}));
    EXPECT_EQ(app->export_settings.export_directory, "/chosen/");
    EXPECT_EQ(r.native_open_requested + r.export_folder_requested + app->dialogs.confirm_accepted, 0);
    EXPECT_EQ(r.deferred_countdown, -1);
}

TEST_F(Tick, TransitionRunsItsCallbackOnceAndHoldsTheRest) {
    confirmed = 0;
    app->status.transition_active = 1;
    app->status.transition_callback = confirmed_action;
    app->busy_mask.visible = true;
    app->deferred_requests.deferred_countdown = 1;
    app->deferred_requests.native_open_requested = 1;
    int ticks = 0;
    while (app->status.transition_active && ticks < 100) tick(), ++ticks;
    EXPECT_EQ(confirmed, 1);
    EXPECT_GE(ticks, 47);
    EXPECT_LE(ticks, 49);
    EXPECT_FALSE(app->busy_mask.visible);
    EXPECT_EQ(app->status.transition_callback, nullptr);
    EXPECT_EQ(app->deferred_requests.native_open_requested, 1);  // waited for the transition
    tick();
    EXPECT_EQ(app->deferred_requests.native_open_requested, 0);
}

TEST_F(Tick, WheelStepsApplyOnePerTick) {
    tick();  // the first camera step only takes the time
    app->camera.zoom_steps = 10;
    for (int i = 9; i >= 0; --i) {
        const Vec3 before = camera().eye;
        tick();
        EXPECT_EQ(app->camera.zoom_steps, i);
        EXPECT_GT(distance_moved(before), 0.0);
    }
    app->camera.camera_controller = 0;
    app->camera.zoom_steps = -2;
    tick();
    EXPECT_DOUBLE_EQ(app->camera.orbit_distance, 4.0 * 0.95);
}

TEST_F(Tick, LockAndPopupsStopMotionButKeepWheelSteps) {
    tick();
    hold('w');
    app->camera.zoom_steps = 3;
    const Vec3 start = camera().eye;
    app->ui_flags.camera_locked = 1;
    tick(5);
    app->ui_flags.camera_locked = 0;
    app->pane_open_flags[PANE_HELP] = 1;
    tick(5);
    EXPECT_EQ(camera().eye, start);
    EXPECT_EQ(app->camera.zoom_steps, 3);
    app->pane_open_flags[PANE_HELP] = 0;
    tick();
    EXPECT_GT(distance_moved(start), 0.0);
    EXPECT_EQ(app->camera.zoom_steps, 2);
}

TEST_F(Tick, PendingPushOfAVanishedEntityIsDropped) {
    app->deferred_requests.pending_parameter_push = 4;  // the set is empty
    tick();
    EXPECT_EQ(app->deferred_requests.pending_parameter_push, -1);
}

TEST_F(Tick, BrowserArrowRepeatsAfterHalfASecond) {
    app->pane_open_flags[PANE_FILE] = 1;
    FileBrowserState& b = app->file_browser_state;
    b.browser_row_order.resize(100);
    std::iota(b.browser_row_order.begin(), b.browser_row_order.end(), 0);
    b.browser_selection.bits.assign(100, 0);
    auto selected = [&b] { return std::find(b.browser_selection.bits.begin(), b.browser_selection.bits.end(), 1); };
    record_key_down(*app, KEY_DOWN);
    browser_key_press_ms = clock_ms;
    std::vector<int64_t> at;
    for (int i = 0; i < 100; ++i) {
        const auto before = selected();
        tick();
        if (selected() != before) at.push_back(clock_ms - browser_key_press_ms);
    }
    ASSERT_GE(at.size(), 7u);
    EXPECT_GT(at.front(), 500);
    for (size_t i = 1; i < at.size(); ++i) EXPECT_GT(at[i] - at[i - 1], 50);
}

}  // namespace

// Key latching, modifier counters and drags of the event callbacks; the key
// dispatcher's tables.
#include <gtest/gtest.h>

#include "panes/browser/directory_listing.h"
#include "panes/environments/environments.h"
#include "shell/key_dispatch.h"
#include "support/shell_fixture.h"
#include "ui/text_field.h"

namespace {

std::vector<int32_t> dispatched;
bool count_key(int32_t key, int32_t) { return dispatched.push_back(key), true; }

struct KeyCallbacks : ShellFixture {
    KeyCallbacks() {
        dispatched.clear();
        app->key_press_handler = app->key_release_handler = count_key;
    }
    void down(int32_t key, int32_t mods = 0) { app_on_key_down(nullptr, key, mods); }
    void up(int32_t key, int32_t mods = 0) { app_on_key_up(nullptr, key, mods); }
};

TEST_F(KeyCallbacks, LatchesFilterRepeatsAndUnpressedReleases) {
    down('a'), down('A'), down('a');  // the other case of a held letter, then a repeat
    down('x'), down('x');
    down(KEY_HOME), down(KEY_HOME);   // navigation keys repeat
    down(KEY_LEFT), down(KEY_LEFT);
    EXPECT_EQ(dispatched, (std::vector<int32_t>{'a', 'x', KEY_HOME, KEY_HOME, KEY_LEFT}));
    dispatched.clear();
    up('A'), up('a');  // one release for both cases
    up('q'), up(KEY_DOWN), up(KEY_END);  // never pressed: only codes above 255 go through
    EXPECT_EQ(dispatched, (std::vector<int32_t>{'A', KEY_END}));
}

TEST_F(KeyCallbacks, FocusLossAndEventMasksResetModifiers) {
    down(KEY_SHIFT);
    down(KEY_CONTROL, MOD_SHIFT);
    EXPECT_EQ(shift_held + ctrl_held, 2);
    up(KEY_CONTROL, MOD_SHIFT | MOD_CONTROL), up(KEY_CONTROL, MOD_SHIFT);
    EXPECT_EQ(ctrl_held, 0);  // never below 0
    // Shift released while the window had no focus: the next key's mask
    // says so, and a later drag does not pan.
    down('k');
    EXPECT_EQ(shift_held, 0);

    record_key_down(*app, 'w');
    down('w'), down(KEY_ALT);
    app_on_focus_out(nullptr);
    EXPECT_EQ(alt_held, 0);
    EXPECT_EQ(app->camera.key_states['w'], 0);
    down('w');  // dispatched again
    EXPECT_EQ(dispatched, (std::vector<int32_t>{'k', 'w', 'w'}));

    app_instance = nullptr;  // a drag before the interface only records the pointer
    EXPECT_EQ(app_on_mouse_drag(nullptr, 12, 34), 0);
    EXPECT_EQ(pointer_x * 100 + pointer_y, 1234);
}

struct Dispatcher : ShellFixture {
    Dispatcher() { finish_startup(); }
    int32_t press(int32_t key, int32_t mods = 0) { return dispatch_app_key_down(*app, key, mods); }
};

TEST_F(Dispatcher, IntroKeysOnly) {
    set_listing_runner([](const std::string&, const std::vector<std::string>&) { return std::string(); });
    app->startup.startup_done = 0;
    EXPECT_EQ(press('k', MOD_CONTROL), 1);
    EXPECT_EQ(app->file_browser_state.browser_purpose, BROWSER_KERNEL_EXECUTABLE);
    EXPECT_EQ(app->pane_open_flags[PANE_FILE], 1);
    EXPECT_EQ(press('K', MOD_CONTROL), 0);  // only with the browser closed
    EXPECT_EQ(press(KEY_DOWN), 1);
    EXPECT_EQ(app->camera.arrow_states[3], 1);
    EXPECT_EQ(press(KEY_ESCAPE), 1);  // closes the browser
    EXPECT_EQ(press(KEY_ESCAPE), 1);  // nothing open: still handled
    app->pane_open_flags[PANE_CONFIRM] = 1;
    EXPECT_EQ(press(KEY_ENTER, MOD_SHIFT), 1);  // confirms
    EXPECT_EQ(app->dialogs.confirm_accepted, 1);
    EXPECT_EQ(press('o', MOD_CONTROL), 0);
    EXPECT_TRUE(calls().empty());
    EXPECT_FALSE(app->FILEPANE.visible);
    set_listing_runner(nullptr);
}

TEST_F(Dispatcher, BlockedKeysAndFocusedFields) {
    app->ui_flags.keys_blocked = 1;
    EXPECT_EQ(press(KEY_ESCAPE), 0);
    app->ui_flags.keys_blocked = 0;
    TextField field;
    field.take_focus();
    EXPECT_EQ(press('s', MOD_CONTROL), 0);  // the field's, not the export dialog's
    field.release_focus();
    EXPECT_EQ(press('s', MOD_CONTROL), 1);
    EXPECT_EQ(app->message_titles[2].text, "Warning: Nothing to Export");
}

TEST_F(Dispatcher, PlainAndShiftRows) {
    EXPECT_EQ(press(' '), 1);
    EXPECT_EQ(app->ui_flags.ui_hidden, 1);
    EXPECT_EQ(press(' '), 1);
    EXPECT_EQ(app->ui_flags.ui_hidden, 0);
    const int32_t side_pane = app->ui_flags.side_pane_index;
    for (int32_t key : {int32_t('4'), int32_t('2'), KEY_F1 + 10}) EXPECT_EQ(press(key), 1) << key;
    EXPECT_EQ(press(KEY_F1 + 9), 0);  // F10 needs Shift
    EXPECT_EQ(app->camera.camera_controller, CAMERA_OBJECT_ORBIT);  // '4' leaves free-roam
    EXPECT_EQ(app->frame.full_screen, 1);
    EXPECT_EQ(app->ui_flags.side_pane_index, side_pane == 1 ? -1 : 1);
    EXPECT_EQ(app->camera.key_states['4'], 1);

    EXPECT_EQ(press('R', MOD_SHIFT), 1);
    EXPECT_TRUE(app->pane_open_flags[PANE_RUN] && app->RUNPANE.visible && masks_shown());
    EXPECT_EQ(press(KEY_F1 + 9, MOD_SHIFT), 0);  // only without a popup
    const int32_t before_popup = app->ui_flags.side_pane_index;
    EXPECT_EQ(press('2'), 1);  // no side pane under a popup, but algorithm 1
    EXPECT_EQ(app->ui_flags.side_pane_index, before_popup);
    EXPECT_EQ(app->io_settings.meshing_algorithm, 1);
    EXPECT_EQ(press('c', MOD_CONTROL), 1);
    EXPECT_EQ(app->io_settings.meshing_algorithm, 2);
    EXPECT_EQ(press(KEY_ESCAPE), 1);
    EXPECT_FALSE(app->pane_open_flags[PANE_RUN] || app->RUNPANE.visible || app->MASKPANE.visible);

    app->pane_open_flags[PANE_CONFIRM] = 1;
    app->dialogs.confirm_extra_shown = 1;
    EXPECT_EQ(press('a'), 1);
    EXPECT_EQ(app->dialogs.confirm_algorithm[0], 0);
    EXPECT_EQ(app->io_settings.meshing_algorithm, 2);  // the confirmation's own choice
}

TEST_F(Dispatcher, ControlRows) {
    EXPECT_EQ(press('l', MOD_CONTROL), 1);
    EXPECT_TRUE(app->ui_flags.camera_locked && app->LOCKICON.visible);
    EXPECT_EQ(press('0', MOD_CONTROL), 0);  // locked
    EXPECT_EQ(press('L', MOD_CONTROL), 1);
    const Vec3 home = app->camera.live_camera.eye;
    app->camera.live_camera.eye = {9, 9, 9};
    EXPECT_EQ(press(')', MOD_CONTROL | MOD_SHIFT), 1);
    EXPECT_EQ(app->camera.live_camera.eye, home);
    app->camera.camera_controller = 0;
    EXPECT_EQ(press('=', MOD_CONTROL), 1);
    EXPECT_DOUBLE_EQ(app->camera.orbit_distance, 4.2);
    EXPECT_EQ(press('R', MOD_CONTROL), 1);
    EXPECT_EQ(app->message_titles[2].text, "Warning: Nothing to Assemble");
    close_warning_box(*app);
    EXPECT_EQ(press('R', MOD_CONTROL | MOD_SHIFT), 1);
    EXPECT_EQ(app->pane_open_flags[PANE_RUN], 1);
    EXPECT_EQ(press('o', MOD_CONTROL), 0);  // a popup is open
}

TEST_F(Dispatcher, EnvironmentPagesSwitchAfterTheCountdown) {
    add_startup_environment(*app);
    Environment* first = app->entities.current_environment;
    EXPECT_EQ(press(KEY_PAGE_UP, MOD_CONTROL), 0);  // first environment
    add_environment(*app);
    EXPECT_EQ(press(KEY_PAGE_DOWN, MOD_CONTROL), 0);  // last environment
    EXPECT_EQ(press(KEY_PAGE_UP, MOD_CONTROL), 1);
    EXPECT_EQ(app->bars.environment_switching, 1);
    tick(5);
    EXPECT_EQ(app->entities.environment_index, 1);
    tick();
    EXPECT_EQ(app->entities.environment_index, 0);
    EXPECT_EQ(app->entities.current_environment, first);
}

TEST_F(Dispatcher, TabWalksTheViewportCells) {
    app->camera.camera_drag.camera_drag_active = true;
    EXPECT_EQ(press(KEY_TAB), 1);  // one cell: only the drag ends
    EXPECT_FALSE(app->camera.camera_drag.camera_drag_active);

    static int32_t activated = -2;
    Viewport& view = app->multi_view_viewport;
    view.cell_count = 3;
    view.current_cell = 2;
    view.on_cell_activate = [] { activated = app_instance->multi_view_viewport.hovered_cell; };
    press(KEY_TAB);
    EXPECT_EQ(activated, 0);  // after the last comes the first
    press(KEY_TAB, MOD_SHIFT);
    EXPECT_EQ(activated, 1);
    EXPECT_EQ(view.hovered_cell, -1);
    app->bars.multi_view = 0;
    EXPECT_EQ(press(KEY_TAB), 0);
}

}  // namespace

#include "shell/key_dispatch.h"

#include <algorithm>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/popups/algorithm_selection.h"
#include "panes/browser/browser_actions.h"
#include "panes/browser/browser_navigation.h"
#include "panes/browser/directory_listing.h"
#include "panes/layout/display_options.h"
#include "panes/environments/export_actions.h"
#include "panes/layout/layout_mode_flags.h"
#include "panes/layout/pointer_routing.h"
#include "panes/popups/capture_output.h"
#include "panes/menus/menu_bars.h"
#include "panes/popups/popups.h"
#include "panes/browser/browser_selection.h"
#include "panes/environments/environments.h"
#include "panes/menus/settings_menu_actions.h"
#include "pipeline/reparse.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "model/camera.h"
#include "render/camera_control.h"
#include "render/status_line.h"
#include "shell/app_tick.h"
#include "ui/element.h"
#include "ui/root_input.h"
#include "ui/ui_state.h"

namespace {

// What a row asks of the modifiers.
enum ModifierRule : uint8_t {
    ANY_MODIFIERS,
    NO_ALT_OR_CONTROL,
    ALT_OR_CONTROL,
    WITH_CONTROL,
    SHIFT_WITHOUT_CONTROL,
};

// What a row asks of the application's state.
enum Condition : uint32_t {
    BROWSER = 1u << 0,            // the file browser is open
    NO_BROWSER = 1u << 1,
    FREE = 1u << 2,               // no popup open
    UNLOCKED = 1u << 3,           // camera not locked
    DIRECTIVE_BAR = 1u << 4,      // the camera-directive bar is active
    SHOWN = 1u << 5,              // interface not quick-hidden
    HIDDEN = 1u << 6,
    MINIMAL_OR_SHOWN = 1u << 7,
    MINIMAL_ENABLED = 1u << 8,
    WITH_SHIFT = 1u << 9,
    WITHOUT_SHIFT = 1u << 10,
    NOT_FIRST_ENVIRONMENT = 1u << 11,
    NOT_LAST_ENVIRONMENT = 1u << 12,
};

struct KeyState {
    AppContext& app;
    int32_t key;
    int32_t modifiers;
    bool popup;
    bool hidden;
};

// An action reports whether it acted; most always do.
using KeyAction = bool (*)(KeyState& s);

// Letters match both cases; key2 is a second code for the same row (0 none).
struct KeyRow {
    int32_t key;
    int32_t key2;
    ModifierRule modifiers;
    uint32_t conditions;
    KeyAction action;
};

bool browser_open(const AppContext& app) { return app.pane_open_flags[PANE_FILE] != 0; }

bool key_matches(const KeyRow& row, int32_t key) {
    if (key == row.key || (row.key2 != 0 && key == row.key2)) return true;
    return row.key >= 'A' && row.key <= 'Z' && key == row.key + 32;
}

bool modifiers_match(ModifierRule rule, int32_t m) {
    switch (rule) {
        case ANY_MODIFIERS: return true;
        case NO_ALT_OR_CONTROL: return !(m & (MOD_ALT | MOD_CONTROL));
        case ALT_OR_CONTROL: return (m & (MOD_ALT | MOD_CONTROL)) != 0;
        case WITH_CONTROL: return (m & MOD_CONTROL) != 0;
        case SHIFT_WITHOUT_CONTROL: return (m & MOD_SHIFT) && !(m & MOD_CONTROL);
    }
    return false;
}

bool conditions_hold(uint32_t c, const KeyState& s) {
    const AppContext& app = s.app;
    if ((c & BROWSER) && !browser_open(app)) return false;
    if ((c & NO_BROWSER) && browser_open(app)) return false;
    if ((c & FREE) && s.popup) return false;
    if ((c & UNLOCKED) && app.ui_flags.camera_locked) return false;
    if ((c & DIRECTIVE_BAR) && !app.bars.multi_view) return false;
    if ((c & SHOWN) && s.hidden) return false;
    if ((c & HIDDEN) && !s.hidden) return false;
    if ((c & MINIMAL_OR_SHOWN) && !(app.ui_flags.layout_mode_flags[0] || !s.hidden)) return false;
    if ((c & MINIMAL_ENABLED) && !app.ui_flags.layout_mode_flags[1]) return false;
    if ((c & WITH_SHIFT) && !(s.modifiers & MOD_SHIFT)) return false;
    if ((c & WITHOUT_SHIFT) && (s.modifiers & MOD_SHIFT)) return false;
    if ((c & NOT_FIRST_ENVIRONMENT) && app.entities.environment_index <= 0) return false;
    if ((c & NOT_LAST_ENVIRONMENT) && app.entities.environment_index >= app.entities.environment_count - 1) return false;
    return true;
}

// Runs the first row that matches and whose conditions hold.
bool run_table(const KeyRow* rows, size_t count, KeyState& s) {
    for (size_t i = 0; i < count; ++i) {
        const KeyRow& row = rows[i];
        if (!key_matches(row, s.key) || !modifiers_match(row.modifiers, s.modifiers)) continue;
        if (!conditions_hold(row.conditions, s)) continue;
        return row.action(s);
    }
    return false;
}

template <size_t N>
bool run_table(const KeyRow (&rows)[N], KeyState& s) {
    return run_table(rows, N, s);
}

// --- actions ---

bool browser_previous(KeyState& s) {
    file_browser_select_previous(s.app);
    refresh_root(s.app);
    browser_key_press_ms = now_ms();
    return true;
}
bool browser_next(KeyState& s) {
    file_browser_select_next(s.app);
    refresh_root(s.app);
    browser_key_press_ms = now_ms();
    return true;
}
// The intro has no key tables of its own: the held arrow is recorded here.
bool startup_browser_previous(KeyState& s) {
    browser_previous(s);
    record_key_down(s.app, KEY_UP);
    return true;
}
bool startup_browser_next(KeyState& s) {
    browser_next(s);
    record_key_down(s.app, KEY_DOWN);
    return true;
}
bool browser_up(KeyState& s) {
    browser_go_up(s.app);
    refresh_root(s.app);
    return true;
}
bool browser_up_timed(KeyState& s) {
    browser_up(s);
    browser_key_press_ms = now_ms();
    return true;
}
bool browser_enter(KeyState& s) {
    browser_enter_selected_dir(s.app);
    refresh_root(s.app);
    return true;
}
bool browser_enter_timed(KeyState& s) {
    browser_enter(s);
    browser_key_press_ms = now_ms();
    return true;
}
bool browser_page_up(KeyState& s) { return file_browser_page_up(s.app), true; }
bool browser_page_down(KeyState& s) { return file_browser_page_down(s.app), true; }
bool browser_first(KeyState& s) { return file_browser_select_first(s.app), true; }
bool browser_last(KeyState& s) { return file_browser_select_last(s.app), true; }
bool browser_relist(KeyState& s) {
    list_directory(s.app, s.app.file_browser_state.browser_directory);
    refresh_root(s.app);
    return true;
}
bool browser_home(KeyState& s) {
    browser_go_home(s.app);
    refresh_root(s.app);
    return true;
}
bool browser_select_all(KeyState& s) { return browser_select_all_and_redraw(s.app), true; }
bool kernel_browser(KeyState& s) { return open_kernel_browser(s.app), true; }
bool workspace_browser(KeyState& s) { return open_workspace_browser(s.app), true; }
bool theme_next(KeyState& s) { return cycle_ui_theme(s.app, 1), true; }
bool theme_previous(KeyState& s) { return cycle_ui_theme(s.app, -1), true; }
bool confirm(KeyState& s) { return confirm_active_pane(s.app), true; }
bool escape(KeyState& s) { return escape_from_popups(s.app), true; }
bool full_screen(KeyState& s) { return select_settings_menu(s.app, 3), true; }

// Tab and Shift+Tab walk the viewport's cells.
bool step_cell(KeyState& s, bool forward) {
    AppContext& app = s.app;
    Viewport& view = app.multi_view_viewport;
    const int32_t count = view.cell_count;
    if (count > 1) {
        const int32_t former = view.hovered_cell;
        if (forward) view.hovered_cell = view.current_cell + 1 < count ? view.current_cell + 1 : 0;
        else view.hovered_cell = (view.current_cell > 0 ? view.current_cell : count) - 1;
        if (view.on_cell_activate) view.on_cell_activate();
        view.hovered_cell = former;
    }
    app.camera.camera_drag.camera_drag_active = false;
    return true;
}
bool next_cell(KeyState& s) { return step_cell(s, true); }
bool previous_cell(KeyState& s) { return step_cell(s, false); }

bool toggle_hidden(KeyState& s) { return set_ui_hidden(s.app, !s.app.ui_flags.ui_hidden), true; }
bool side_pane_0(KeyState& s) { return select_side_pane(s.app, 0), true; }
bool side_pane_1(KeyState& s) { return select_side_pane(s.app, 1), true; }
bool side_pane_2(KeyState& s) { return select_side_pane(s.app, 2), true; }
bool controller_item(KeyState& s) {
    return on_settings_menu_item(s.app, 4, s.app.camera.camera_controller != 1 ? 1 : 0), true;
}
bool v_flip_item(KeyState& s) { return on_settings_menu_item(s.app, 0, 2), true; }
bool frame_key(KeyState& s) {
    if (s.hidden) return toggle_pane_collapse_in_view_mode(s.app);
    on_settings_menu_item(s.app, 0, 3);
    return true;
}
bool options_menu(KeyState& s) {
    return set_options_menu_shown(s.app, !s.app.ui_flags.settings_menu_shown), true;
}

bool toggle_algorithm_pane(KeyState& s) {
    toggle_run_pane(s.app);
    return true;
}

bool toggle_lock(KeyState& s) {
    AppContext& app = s.app;
    app.ui_flags.camera_locked ^= 1;
    app.LOCKICON.visible = app.ui_flags.camera_locked != 0;
    refresh_root(app);
    return true;
}
bool export_dialog(KeyState& s) { return open_export_dialog(s.app), true; }
bool open_script(KeyState& s) { return open_script_action(s.app), true; }
bool new_environment(KeyState& s) { return request_new_environment(s.app), true; }
bool reparse(KeyState& s) { return reparse_environment_entities(s.app), true; }
bool assemble(KeyState& s) { return assemble_environment_action(s.app), true; }

bool zoom_key(KeyState& s, bool closer) {
    AppContext& app = s.app;
    auto& c = app.camera;
    if (c.camera_controller == 0) {
        if (closer && c.orbit_distance < c.max_orbit_distance)
            c.orbit_distance = std::min(c.orbit_distance + c.zoom_factor * c.orbit_distance, c.max_orbit_distance);
        if (!closer && c.orbit_distance > c.min_orbit_distance)
            c.orbit_distance = std::max(c.orbit_distance - c.zoom_factor * c.orbit_distance, c.min_orbit_distance);
    } else if (closer) {
        move_camera_forward(c.live_camera, 1.0);
    } else {
        move_camera_backward(c.live_camera, 1.0);
    }
    update_attribute_trace(app);
    return true;
}
bool zoom_closer(KeyState& s) { return zoom_key(s, true); }
bool zoom_farther(KeyState& s) { return zoom_key(s, false); }
bool home_view(KeyState& s) { return reset_view(s.app), true; }
bool save_directive(KeyState& s) { return save_cell_camera_state(s.app), true; }
bool snapshot(KeyState& s) { return open_snapshot_dialog(s.app), true; }
bool screenshot(KeyState& s) { return open_screenshot_dialog(s.app), true; }
// The same switch as the "Minimal-Mode" item: flags, bars, layout and the
// item's check.
bool minimal_mode(KeyState& s) {
    set_minimal_mode(s.app, !s.app.ui_flags.layout_mode_flags[0]);
    return true;
}

bool switch_environment(KeyState& s, int32_t step) {
    request_environment_switch(s.app, s.app.entities.environment_index + step);
    return true;
}
bool previous_environment(KeyState& s) { return switch_environment(s, -1); }
bool next_environment(KeyState& s) { return switch_environment(s, 1); }

// --- tables ---

const KeyRow startup_rows[] = {
    {'F', 0, WITH_CONTROL, 0, full_screen},
    {KEY_UP, 0, NO_ALT_OR_CONTROL, BROWSER, startup_browser_previous},
    {KEY_UP, 0, ALT_OR_CONTROL, BROWSER, browser_up},
    {KEY_DOWN, 0, NO_ALT_OR_CONTROL, BROWSER, startup_browser_next},
    {KEY_DOWN, 0, ALT_OR_CONTROL, BROWSER, browser_enter},
    {KEY_LEFT, 0, NO_ALT_OR_CONTROL, BROWSER, browser_page_up},
    {KEY_LEFT, 0, ALT_OR_CONTROL, BROWSER, browser_first},
    {KEY_RIGHT, 0, NO_ALT_OR_CONTROL, BROWSER, browser_page_down},
    {KEY_RIGHT, 0, ALT_OR_CONTROL, BROWSER, browser_last},
    {KEY_HOME, 0, ANY_MODIFIERS, BROWSER, browser_first},
    {KEY_END, 0, ANY_MODIFIERS, BROWSER, browser_last},
    {KEY_PAGE_UP, 0, ANY_MODIFIERS, BROWSER, browser_page_up},
    {KEY_PAGE_DOWN, 0, ANY_MODIFIERS, BROWSER, browser_page_down},
    {'R', 0, WITH_CONTROL, BROWSER, browser_relist},
    {'H', 0, WITH_CONTROL, BROWSER, browser_home},
    {'A', 0, WITH_CONTROL, BROWSER, browser_select_all},
    {'K', 0, WITH_CONTROL, NO_BROWSER, kernel_browser},
    {'E', 0, WITH_CONTROL, NO_BROWSER, workspace_browser},
    {'T', 0, WITH_CONTROL, 0, theme_next},
    {'T', 0, SHIFT_WITHOUT_CONTROL, 0, theme_previous},
    {KEY_ENTER, 0, ANY_MODIFIERS, 0, confirm},
    {KEY_ESCAPE, 0, ANY_MODIFIERS, 0, escape},
};

const KeyRow plain_rows[] = {
    {KEY_ESCAPE, 0, ANY_MODIFIERS, 0, escape},
    {KEY_ENTER, 0, ANY_MODIFIERS, 0, confirm},
    {KEY_TAB, 0, ANY_MODIFIERS, FREE | DIRECTIVE_BAR, next_cell},
    {' ', 0, ANY_MODIFIERS, FREE, toggle_hidden},
    {'1', 0, ANY_MODIFIERS, FREE | SHOWN, side_pane_0},
    {'2', 0, ANY_MODIFIERS, FREE | SHOWN, side_pane_1},
    {'3', 0, ANY_MODIFIERS, FREE | SHOWN, side_pane_2},
    {'4', 0, ANY_MODIFIERS, FREE, controller_item},
    {'I', 0, ANY_MODIFIERS, FREE | MINIMAL_OR_SHOWN, v_flip_item},
    {'K', 0, ANY_MODIFIERS, FREE, frame_key},
    {'M', 0, ANY_MODIFIERS, FREE | SHOWN, options_menu},
    {KEY_UP, 0, ANY_MODIFIERS, BROWSER, browser_previous},
    {KEY_DOWN, 0, ANY_MODIFIERS, BROWSER, browser_next},
    {KEY_LEFT, KEY_PAGE_UP, ANY_MODIFIERS, BROWSER, browser_page_up},
    {KEY_RIGHT, KEY_PAGE_DOWN, ANY_MODIFIERS, BROWSER, browser_page_down},
    {KEY_HOME, 0, ANY_MODIFIERS, BROWSER, browser_first},
    {KEY_END, 0, ANY_MODIFIERS, BROWSER, browser_last},
    {KEY_F1 + 10, 0, ANY_MODIFIERS, 0, full_screen},
};

const KeyRow alt_rows[] = {
    {KEY_UP, 0, ANY_MODIFIERS, BROWSER, browser_up_timed},
    {KEY_DOWN, 0, ANY_MODIFIERS, BROWSER, browser_enter_timed},
    {KEY_LEFT, 0, ANY_MODIFIERS, BROWSER, browser_first},
    {KEY_RIGHT, 0, ANY_MODIFIERS, BROWSER, browser_last},
};

const KeyRow shift_rows[] = {
    {'T', 0, ANY_MODIFIERS, 0, theme_previous},
    {KEY_TAB, 0, ANY_MODIFIERS, FREE | DIRECTIVE_BAR, previous_cell},
    {'R', KEY_F1 + 9, ANY_MODIFIERS, FREE, toggle_algorithm_pane},
};

const KeyRow control_rows[] = {
    {'F', 0, ANY_MODIFIERS, 0, full_screen},
    {'L', 0, ANY_MODIFIERS, FREE, toggle_lock},
    {'S', 0, ANY_MODIFIERS, FREE, export_dialog},
    {'O', 0, ANY_MODIFIERS, FREE, open_script},
    {'N', 0, ANY_MODIFIERS, FREE, new_environment},
    {'P', 0, ANY_MODIFIERS, FREE, reparse},
    {'U', 0, ANY_MODIFIERS, FREE, assemble},
    {'R', 0, ANY_MODIFIERS, BROWSER, browser_relist},
    {'R', 0, ANY_MODIFIERS, NO_BROWSER | FREE | WITHOUT_SHIFT, assemble},
    {'R', 0, ANY_MODIFIERS, NO_BROWSER | FREE | WITH_SHIFT, toggle_algorithm_pane},
    {'T', 0, ANY_MODIFIERS, WITHOUT_SHIFT, theme_next},
    {'=', 0, ANY_MODIFIERS, FREE | UNLOCKED, zoom_closer},
    {'-', 0, ANY_MODIFIERS, FREE | UNLOCKED, zoom_farther},
    {'0', ')', ANY_MODIFIERS, FREE | UNLOCKED, home_view},
    {'9', '(', ANY_MODIFIERS, FREE | UNLOCKED | DIRECTIVE_BAR, save_directive},
    {'8', '*', ANY_MODIFIERS, FREE, snapshot},
    {'7', '&', ANY_MODIFIERS, FREE, screenshot},
    {'M', 0, ANY_MODIFIERS, HIDDEN | FREE | MINIMAL_ENABLED, minimal_mode},
    {'A', 0, ANY_MODIFIERS, BROWSER, browser_select_all},
    {'H', 0, ANY_MODIFIERS, BROWSER, browser_home},
    {KEY_UP, 0, ANY_MODIFIERS, BROWSER, browser_up_timed},
    {KEY_DOWN, 0, ANY_MODIFIERS, BROWSER, browser_enter_timed},
    {KEY_LEFT, 0, ANY_MODIFIERS, BROWSER, browser_first},
    {KEY_RIGHT, 0, ANY_MODIFIERS, BROWSER, browser_last},
    {KEY_PAGE_UP, 0, ANY_MODIFIERS, FREE | NOT_FIRST_ENVIRONMENT, previous_environment},
    {KEY_PAGE_DOWN, 0, ANY_MODIFIERS, FREE | NOT_LAST_ENVIRONMENT, next_environment},
};

// 1/A/a, 2/B/b, 3/C/c pick an algorithm in the re-assembly confirmation or
// the run pane; -1 for any other key.
int32_t algorithm_digit(int32_t key) {
    switch (key) {
        case '1': case 'A': case 'a': return 0;
        case '2': case 'B': case 'b': return 1;
        case '3': case 'C': case 'c': return 2;
        default: return -1;
    }
}

}  // namespace

int32_t dispatch_app_key_down(AppContext& app, int32_t key, int32_t modifiers) {
    if (app.ui_flags.keys_blocked) return 0;
    KeyState s{app, key, modifiers, false, false};
    if (!app.startup.startup_done) return run_table(startup_rows, s) ? 1 : 0;
    if (focus_element != nullptr) return focus_element->on_key_press(key, modifiers) ? 1 : 0;

    record_key_down(app, key);
    s.popup = any_popup_open(app);
    s.hidden = app.ui_flags.ui_hidden != 0;
    if (drag_element != nullptr) drag_element->on_mouse_up(0, 0, 0);

    bool handled = false;
    if (modifiers & MOD_CONTROL) handled = run_table(control_rows, s);
    else if (modifiers & MOD_SHIFT) handled = run_table(shift_rows, s);
    else if (modifiers & MOD_ALT) handled = run_table(alt_rows, s);
    else handled = run_table(plain_rows, s);

    const int32_t k = algorithm_digit(key);
    if (k >= 0) {
        if (app.pane_open_flags[PANE_CONFIRM] && app.dialogs.confirm_extra_shown) {
            select_confirm_mesh_algorithm(app, k);
            handled = true;
        } else if (app.pane_open_flags[PANE_RUN] && top_message_box(app) < 0) {  // not under a box
            select_mesh_algorithm(app, k);
            handled = true;
        }
    }
    if (!handled) return 0;
    app.frame.needs_redraw = 1;
    refresh_root(app);
    return 1;
}

bool on_root_key_press(int32_t key, int32_t modifiers) {
    AppContext* app = app_instance;
    return app != nullptr && dispatch_app_key_down(*app, key, modifiers) != 0;
}

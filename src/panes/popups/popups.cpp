#include "panes/popups/popups.h"

#include <algorithm>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/popups/export_dialog.h"
#include "panes/layout/layout_mode_flags.h"
#include "panes/popups/message_boxes.h"
#include "ui/element.h"

namespace {

// The confirmation's re-assembly algorithm bar.
Element& confirm_extra_element(AppContext& app) { return app.confirm_algorithm_bar; }

void set_masks(AppContext& app, bool shown) {
    app.OVERLAY.visible = shown;
    app.MASKPANE.visible = shown;
}

// Each capture's preview shows exactly while its pane is open, at the size
// of the capture it shows.
void sync_capture_previews(AppContext& app) {
    CaptureSettings& c = app.capture;
    c.snapshot_preview = app.pane_open_flags[PANE_CAPTURE] ? 1 : 0;
    c.snapshot_preview_size = {c.snapshot_width, c.snapshot_height};
    c.screenshot_preview = app.pane_open_flags[PANE_SCREENSHOT] ? 1 : 0;
    c.screenshot_preview_size = {c.screenshot_width, c.screenshot_height};
}

// Clears the flag and hides the pane; the masks stay while another popup is
// open, so closing one never uncovers the interface under another.
void plain_close(AppContext& app, int32_t index) {
    app.pane_open_flags[index] = 0;
    popup_pane(app, index).visible = false;
    set_masks(app, any_other_popup_open(app, index));
    sync_capture_previews(app);
    refresh_root(app);
}

// Clears the flag and hides the pane; the masks stay while another popup
// is open.
void close_keeping_others(AppContext& app, int32_t index) {
    app.pane_open_flags[index] = 0;
    set_masks(app, any_other_popup_open(app, index));
    popup_pane(app, index).visible = false;
}

}  // namespace

Element& popup_pane(AppContext& app, int32_t index) {
    switch (index) {
        case PANE_RUN: return app.RUNPANE;
        case PANE_PARSE: return app.PARSEPANE;
        case PANE_CAPTURE: return app.CAPTUREPANE;
        case PANE_SCREENSHOT: return app.SCREENSHOTPANE;
        case PANE_PROFILE: return app.PROFILEPANE;
        case PANE_DIRECTIVE: return app.DIRECTIVEPANE;
        case PANE_EXPORT: return app.EXPORTPANE;
        case PANE_WARNING: return app.WARNINGPANE;
        case PANE_ERROR: return app.ERRORPANE;
        case PANE_INFO: return app.INFOPANE;
        case PANE_ABOUT: return app.ABOUTPANE;
        case PANE_HELP: return app.HELPPANE;
        case PANE_CONFIRM: return app.CONFIRMPANE;
        case PANE_OPEN: return app.OPENPANE;
        case PANE_LOAD: return app.LOADPANE;
        default: return app.FILEPANE;
    }
}

bool any_other_popup_open(const AppContext& app, int32_t except) {
    for (int32_t i = 0; i < POPUP_PANE_COUNT; ++i) {
        if (i != except && app.pane_open_flags[i]) return true;
    }
    return false;
}

void toggle_popup(AppContext& app, int32_t index) {
    app.pane_open_flags[index] ^= 1;
    const bool open = app.pane_open_flags[index] != 0;
    popup_pane(app, index).visible = open;
    set_masks(app, open || any_other_popup_open(app, index));
    sync_capture_previews(app);
    refresh_root(app);
}

void toggle_run_pane(AppContext& app) { toggle_popup(app, PANE_RUN); }
void toggle_parse_pane(AppContext& app) { toggle_popup(app, PANE_PARSE); }
void toggle_capture_pane(AppContext& app) { toggle_popup(app, PANE_CAPTURE); }
void toggle_screenshot_pane(AppContext& app) {
    toggle_popup(app, PANE_SCREENSHOT);
    app.BORDER.border_top.width = 1;
}
void toggle_profile_pane(AppContext& app) { toggle_popup(app, PANE_PROFILE); }
void toggle_directive_pane(AppContext& app) { toggle_popup(app, PANE_DIRECTIVE); }
void toggle_about_pane(AppContext& app) { toggle_popup(app, PANE_ABOUT); }
void toggle_help_pane(AppContext& app) { toggle_popup(app, PANE_HELP); }

void close_run_pane(AppContext& app) { plain_close(app, PANE_RUN); }
void close_parse_pane(AppContext& app) { plain_close(app, PANE_PARSE); }
void close_capture_pane(AppContext& app) { plain_close(app, PANE_CAPTURE); }
void close_screenshot_pane(AppContext& app) { plain_close(app, PANE_SCREENSHOT); }
void close_profile_pane(AppContext& app) { plain_close(app, PANE_PROFILE); }
void close_directive_pane(AppContext& app) { plain_close(app, PANE_DIRECTIVE); }
void close_export_pane(AppContext& app) { plain_close(app, PANE_EXPORT); }

void raise_message_box(AppContext& app, int32_t index) {
    std::vector<int32_t>& stack = app.dialogs.message_box_stack;
    stack.erase(std::remove(stack.begin(), stack.end(), index), stack.end());
    stack.push_back(index);
    // Seen whole: the boxes beneath wait hidden until it closes.
    for (int32_t box : stack) popup_pane(app, box).visible = box == index;
    // The mask under the boxes keeps every click from the panes beneath.
    app.message_mask.visible = true;
}

int32_t top_message_box(const AppContext& app) {
    const std::vector<int32_t>& stack = app.dialogs.message_box_stack;
    for (auto box = stack.rbegin(); box != stack.rend(); ++box)
        if (app.pane_open_flags[*box]) return *box;
    return -1;
}

static void close_message_box(AppContext& app, int32_t index) {
    std::vector<int32_t>& stack = app.dialogs.message_box_stack;
    stack.erase(std::remove(stack.begin(), stack.end(), index), stack.end());
    close_keeping_others(app, index);
    const int32_t next = top_message_box(app);
    if (next >= 0) popup_pane(app, next).visible = true;
    app.message_mask.visible = next >= 0;
    refresh_root(app);
}

void close_warning_box(AppContext& app) { close_message_box(app, PANE_WARNING); }
void close_error_box(AppContext& app) { close_message_box(app, PANE_ERROR); }
void close_info_box(AppContext& app) { close_message_box(app, PANE_INFO); }

void close_open_pane(AppContext& app) {
    close_keeping_others(app, PANE_OPEN);
    refresh_root(app);
}

void escape_from_popups(AppContext& app) {
    auto& open = app.pane_open_flags;
    const bool startup_running = app.startup.startup_done == 0;
    const int32_t box = top_message_box(app);
    if (open[PANE_CONFIRM]) {
        close_confirm_dialog(app);
    } else if (box >= 0) {
        if (box == PANE_WARNING && !open[PANE_FILE] && startup_running) app.configuration_mask.visible = true;
        close_message_box(app, box);
    } else {
        // Run, parse, capture, screenshot, profile, directive; export unless
        // the browser chooses its folder; about; help.
        static const int32_t plain_order[] = {PANE_RUN,       PANE_PARSE,  PANE_CAPTURE, PANE_SCREENSHOT,
                                              PANE_PROFILE,   PANE_DIRECTIVE, PANE_EXPORT, PANE_ABOUT,
                                              PANE_HELP};
        for (int32_t index : plain_order) {
            if (!open[index] || (index == PANE_EXPORT && open[PANE_FILE])) continue;
            plain_close(app, index);
            return;
        }
        if (open[PANE_FILE]) {
            if (startup_running) app.configuration_mask.visible = true;
            if (open[PANE_EXPORT]) app.EXPORTPANE.visible = true;
            show_file_browser(app, false);
        }
    }
}

void show_file_browser(AppContext& app, bool shown) {
    app.pane_open_flags[PANE_FILE] = shown ? 1 : 0;
    app.FILEPANE.visible = shown;
    set_masks(app, shown || any_other_popup_open(app, PANE_FILE));
    refresh_root(app);
}

void close_confirm_dialog(AppContext& app) {
    app.pane_open_flags[PANE_CONFIRM] = 0;
    set_masks(app, any_other_popup_open(app, PANE_CONFIRM));
    app.CONFIRMPANE.visible = false;
    app.dialogs.confirm_extra_shown = 0;
    confirm_extra_element(app).visible = false;
    if (app.dialogs.confirm_cancel_callback) app.dialogs.confirm_cancel_callback();
    refresh_root(app);
}

void accept_confirm_dialog(AppContext& app) {
    app.deferred_requests.deferred_countdown = 5;
    app.dialogs.confirm_accepted = 1;
    app.pane_open_flags[PANE_CONFIRM] = 0;
    app.dialogs.confirm_extra_shown = 0;
    app.pane_open_flags[PANE_LOAD] = 1;
    app.CONFIRMPANE.visible = false;
    confirm_extra_element(app).visible = false;
    app.LOADPANE.visible = true;
    refresh_root(app);
}

void accept_confirm_if_open(AppContext& app) {
    if (app.pane_open_flags[PANE_CONFIRM]) accept_confirm_dialog(app);
}

void show_confirm_extra(AppContext& app) {
    app.dialogs.confirm_extra_shown = 1;
    confirm_extra_element(app).visible = true;
    refresh_root(app);
}

void finish_confirmed_action(AppContext& app) {
    if (app.dialogs.confirm_action) app.dialogs.confirm_action();
    app.pane_open_flags[PANE_LOAD] = 0;
    set_masks(app, any_other_popup_open(app, PANE_LOAD));
    app.LOADPANE.visible = false;
    refresh_root(app);
}

void choose_export_folder(AppContext& app) {
    const std::string start = app.export_settings.export_directory;
    if (app.services.choose_folder_dialog) {
        // The chooser answers "" when cancelled: the location stays.
        const std::string chosen = app.services.choose_folder_dialog(start);
        if (!chosen.empty()) set_export_location(app, chosen);
    }
    app.pane_open_flags[PANE_OPEN] = 0;
    app.OPENPANE.visible = false;
    set_masks(app, any_other_popup_open(app, PANE_OPEN));
    app.OPENPANE.background_colour = nullptr;
    app.OPENPANE.border_top.width = 0;
    app.OPENPANE.border_top.colour = nullptr;
    refresh_root(app);
}

void on_click_confirm_ok() { on_instance<accept_confirm_if_open>(); }
void on_click_confirm_cancel() { on_instance<close_confirm_dialog>(); }
void on_click_close_popup() { on_instance<escape_from_popups>(); }
void on_click_toggle_run_pane() { on_instance<toggle_run_pane>(); }
void on_click_toggle_about_pane() { on_instance<toggle_about_pane>(); }
void on_click_toggle_help_pane() { on_instance<toggle_help_pane>(); }

void mask_ignore_click() {}
bool mask_swallow_pointer(int32_t, int32_t, int32_t) { return true; }
bool mask_swallow_scroll(int32_t, int32_t, int32_t) { return true; }

void make_event_mask(Element& element) {
    element.click_handler = mask_ignore_click;
    element.mouse_down_handler = mask_swallow_pointer;
    element.mouse_up_handler = mask_swallow_pointer;
    element.motion_handler = mask_swallow_pointer;
    element.drag_handler = mask_swallow_pointer;
    element.scroll_handler = mask_swallow_scroll;
}

void install_popup_operations(AppHooks& hooks) {
    hooks.show_error_box = show_error_box;
    hooks.show_warning_box = show_warning_box;
    hooks.show_info_box = show_info_box;
    hooks.any_popup_open = any_popup_open;
    hooks.toggle_parse_pane = toggle_parse_pane;
    hooks.close_open_pane = close_open_pane;
}

#include "panes/browser/browser_actions.h"

#include <algorithm>

#include "context/current_environment.h"
#include "panes/browser/browser_navigation.h"
#include "panes/popups/capture_output.h"
#include "panes/environments/export_actions.h"
#include "panes/popups/export_dialog.h"
#include "panes/popups/message_boxes.h"
#include "panes/browser/path_configuration.h"
#include "panes/popups/popups.h"
#include "platform/paths.h"
#include "pipeline/workspace.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

const char* const kernel_file_names[4] = {"vrek", "vrekp", "vrek.exe", "vrekp.exe"};

bool is_kernel_file_name(const std::string& name) {
    for (const char* k : kernel_file_names)
        if (name == k) return true;
    return false;
}

bool directory_text_ok(const std::string& directory) { return !directory.empty() && directory.back() == '/'; }

// The first display row whose entry is selected, or -1.
int32_t first_selected_row(const FileBrowserState& b) {
    for (size_t r = 0; r < b.browser_row_order.size(); ++r) {
        const int32_t e = b.browser_row_order[r];
        if (e >= 0 && static_cast<size_t>(e) < b.browser_selection.bits.size() &&
            b.browser_selection.bits[static_cast<size_t>(e)])
            return static_cast<int32_t>(r);
    }
    return -1;
}

// The first entry, in entry order, whose selection bit is set, or -1.
int32_t first_selected_entry(const FileBrowserState& b) {
    const size_t n = std::min(b.browser_selection.bits.size(), b.browser_entries.count());
    for (size_t e = 0; e < n; ++e)
        if (b.browser_selection.bits[e]) return static_cast<int32_t>(e);
    return -1;
}

void open_selected_requested(AppContext& app) {
    app.pane_open_flags[PANE_FILE] = 0;
    app.FILEPANE.visible = false;
    app.pane_open_flags[PANE_OPEN] = 1;
    app.OPENPANE.visible = true;
    app.deferred_requests.deferred_countdown = 5;
    app.deferred_requests.open_selected_requested = 1;
    refresh_root(app);
}

bool inline_chosen(const AppContext& app) {
    return app.io_settings.inline_io && !(app.io_settings.native_io && shift_held > 0);
}
bool native_chosen(const AppContext& app) {
    return app.io_settings.native_io && (!app.io_settings.inline_io || shift_held > 0);
}

template <void (*Action)(AppContext&)>
void on_published() {
    if (AppContext* app = app_instance) Action(*app);
}

}  // namespace

void browser_confirm(AppContext& app) {
    const FileBrowserState& b = app.file_browser_state;
    const BrowserListing& l = b.browser_entries;
    if (b.browser_selection.selected_count == 1 && l.count() > 0) {
        const int32_t row = first_selected_row(b);
        if (row >= 0) {
            const size_t e = static_cast<size_t>(b.browser_row_order[static_cast<size_t>(row)]);
            if (l.kinds[e] == ENTRY_DIRECTORY) {
                // One selected directory is entered, never confirmed.
                if (readable_directory(b, e)) {
                    browser_click_row(app, row);
                    refresh_root(app);
                }
                return;
            }
        }
    }
    const std::string directory = b.browser_directory;
    switch (b.browser_purpose) {
        case BROWSER_KERNEL_EXECUTABLE: {
            const int32_t e = b.browser_selection.selected_count == 1 ? first_selected_entry(b) : -1;
            // The entry's own name, not a file name cut from the joined
            // path: a name holding a backslash is not a kernel.
            if (e >= 0 && is_kernel_file_name(l.names[static_cast<size_t>(e)])) {
                apply_kernel_path_setting(app, directory + l.names[static_cast<size_t>(e)]);
                escape_from_popups(app);
            } else {
                show_warning_box(app, "Warning: Invalid Kernel Executable",
                                 "Select exactly one executable file named 'vrek'.\n\nNote: version of the 'vrek' "
                                 "executable should be V:0.2.4+.");
            }
            break;
        }
        case BROWSER_ENTITY_WORKSPACE:
            if (b.browser_selection.selected_count == 0 && directory_text_ok(directory)) {
                apply_entity_workspace_setting(app, directory);
                escape_from_popups(app);
            } else {
                show_warning_box(app, "Warning: Invalid Entity Workspace",
                                 "Navigate to a valid entity workspace directory.\n\nNote: there should be no files "
                                 "selected.");
            }
            break;
        case BROWSER_OPEN_SCRIPT:
            if (b.browser_selection.selected_count != 0) {
                open_selected_requested(app);
            } else {
                show_warning_box(app, "Warning: Nothing to Open", "Select one or more vrekform script files to open.");
            }
            break;
        case BROWSER_EXPORT_LOCATION:
            if (b.browser_selection.selected_count == 0 && directory_text_ok(directory)) {
                set_export_location(app, directory);
                escape_from_popups(app);
            } else if (b.browser_selection.selected_count != 0) {
                show_warning_box(app, "Warning: Invalid Export Location",
                                 "Navigate to a valid export location directory.\n\nNote: there should be no files "
                                 "selected.");
            } else {
                show_warning_box(app, "Warning: Invalid Export Location",
                                 "Navigate to a valid entity export location.\n\nNote: there should be no files "
                                 "selected.");
            }
            break;
        default:
            break;
    }
}

void confirm_active_pane(AppContext& app) {
    const auto& open = app.pane_open_flags;
    if (open[PANE_CONFIRM]) {
        accept_confirm_dialog(app);
    } else if (top_message_box(app) >= 0) {
        // A message box covers the pane: Enter dismisses it, as its close
        // button does, and acts on nothing beneath it.
        escape_from_popups(app);
    } else if (open[PANE_RUN] || open[PANE_PARSE]) {
        escape_from_popups(app);
        assemble_environment_action(app);
    } else if (open[PANE_CAPTURE]) {
        save_environment_snapshot(app);
    } else if (open[PANE_SCREENSHOT]) {
        save_application_screenshot(app);
    } else if (open[PANE_PROFILE] || open[PANE_DIRECTIVE]) {
        // Nothing to confirm.
    } else if (open[PANE_EXPORT] && !open[PANE_FILE]) {
        export_environment_action(app);
    } else if (open[PANE_FILE]) {
        if (app.startup.startup_done == 0) app.configuration_mask.visible = true;
        if (open[PANE_EXPORT]) app.EXPORTPANE.visible = true;
        browser_confirm(app);
    } else if (app.startup.startup_done == 0) {
        prepare_workspace(app);
    }
}

void open_script_action(AppContext& app) {
    if (inline_chosen(app)) {
        open_script_browser(app);
    } else if (native_chosen(app)) {
        app.deferred_requests.deferred_countdown = 5;
        app.deferred_requests.native_open_requested = 1;
    } else {
        show_warning_box(app, "Warning: Inline & Native Input are Disabled",
                         "Note: both internal and external input methods are disabled.\n\nNote: enable Inline-IO "
                         "and/or Native-IO to dismiss the warning.\n\nNote: alternatively (if Native-DND is active) "
                         "use drag-and-drop input.");
    }
    if (app.deferred_requests.native_open_requested) {
        app.pane_open_flags[PANE_OPEN] = 1;
        app.OPENPANE.visible = true;
        app.OVERLAY.visible = true;
        app.MASKPANE.visible = true;
        refresh_root(app);
    }
}

void open_export_location_action(AppContext& app) {
    if (inline_chosen(app)) {
        open_export_browser(app);
    } else if (native_chosen(app)) {
        std::string start = app.export_settings.export_directory;
        if (start.empty()) start = workspace_path;
        if (start.empty()) start = current_directory_slash();
        app.export_settings.export_directory = start;
        app.pane_open_flags[PANE_OPEN] = 1;
        app.OVERLAY.visible = true;
        app.MASKPANE.visible = true;
        app.OPENPANE.visible = true;
        app.OPENPANE.background_colour = active_theme.colours[5];
        app.OPENPANE.border_top.width = app.ui_metrics.thin_border;
        app.OPENPANE.border_top.palette = &active_theme.palettes[3];
        app.deferred_requests.deferred_countdown = 5;
        app.deferred_requests.export_folder_requested = 1;
        refresh_root(app);
    } else {
        show_warning_box(app, "Warning: Inline & Native Input are Disabled",
                         "Note: both internal and external output methods are disabled.\n\nNote: enable Inline-IO "
                         "and/or Native-IO to dismiss the warning.");
    }
}

void on_browser_confirm_button() { on_published<browser_confirm>(); }
void browser_confirm_thunk() { on_published<browser_confirm>(); }
void on_open_script_button() { on_published<open_script_action>(); }
void on_toolbar_open_script() { on_published<open_script_action>(); }
void on_export_location_button() { on_published<open_export_location_action>(); }

#include "panes/browser/browser_navigation.h"

#include "context/current_environment.h"
#include "art/typeface.h"
#include "panes/browser/path_configuration.h"
#include "panes/popups/popups.h"
#include "panes/browser/directory_listing.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "text/split.h"
#include "text/text_utils.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

void set_captions(AppContext& app, const std::string& title, const std::string& hint, const std::string& button) {
    app.browser_title_label.set_text(title);
    // The hint starts under "Path : ", the title's second line.
    const int32_t first_line = app.browser_title_label.line_widths.empty() ? app.browser_title_label.text_width
                                                                          : app.browser_title_label.line_widths[0];
    app.browser_hint_label.typeface = &typefaces[5];
    app.browser_hint_label.text_opacity = 0.5;
    app.browser_hint_label.margin_left = first_line;
    app.browser_hint_label.set_text(hint);
    app.browser_confirm_label.set_text(button);
}

void open_browser(AppContext& app, int32_t purpose, const std::string& directory, const char* title,
                  const char* hint, const char* button) {
    app.file_browser_state.browser_purpose = purpose;
    list_directory(app, directory);
    set_captions(app, title, hint, button);
}

std::string kernel_home() {
    return kernel_path.empty() ? current_directory_slash() : extract_directory(kernel_path);
}
std::string workspace_home() { return workspace_path.empty() ? current_directory_slash() : workspace_path; }

std::string prefix_path(const FileBrowserState& b, size_t last) {
    std::string path;
    for (size_t k = 0; k <= last && k < b.browser_path_parts.size(); ++k) path += b.browser_path_parts[k];
    return path;
}

template <void (*Action)(AppContext&)>
void on_published() {
    if (AppContext* app = app_instance) Action(*app);
}

}  // namespace

std::string current_directory_slash() { return concat2(trim_whitespace(get_current_directory()), "/"); }

bool readable_directory(const FileBrowserState& browser, size_t entry) {
    const BrowserListing& l = browser.browser_entries;
    return entry < l.count() && l.kinds[entry] == ENTRY_DIRECTORY && l.permissions[entry].size() > 1 &&
           l.permissions[entry][1] == 'r';
}

void open_kernel_browser(AppContext& app) {
    open_browser(app, BROWSER_KERNEL_EXECUTABLE, kernel_home(), "Setting Kernel Executable \nPath : ",
                 "\t (select an executable file named 'vrek')\n", "Select");
    app.configuration_mask.visible = false;
    app.FILEPANE.background_colour = active_theme.colours[1];
    show_file_browser(app, true);
}

void open_workspace_browser(AppContext& app) {
    open_browser(app, BROWSER_ENTITY_WORKSPACE, workspace_home(), "Setting Entity Workspace \nPath : ",
                 "\t (select a working directory for interop staging and mesh marshaling)\n", "Select");
    app.configuration_mask.visible = false;
    app.FILEPANE.background_colour = active_theme.colours[1];
    show_file_browser(app, true);
}

void open_script_browser(AppContext& app) {
    open_browser(app, BROWSER_OPEN_SCRIPT, app.file_browser_state.browser_directory, "Opening Script File \nPath : ",
                 "\t (select a file to open)\n", "Open");
    show_file_browser(app, true);
}

void open_export_browser(AppContext& app) {
    std::string start = app.export_settings.export_directory;
    if (start.empty()) start = workspace_path;
    if (start.empty()) start = current_directory_slash();
    open_browser(app, BROWSER_EXPORT_LOCATION, start, "Setting Export Location \nPath : ",
                 "\t (select an output directory for environment mesh export)\n", "Select");
    app.EXPORTPANE.visible = false;
    show_file_browser(app, true);
}

void browser_go_home(AppContext& app) {
    switch (app.file_browser_state.browser_purpose) {
        case BROWSER_KERNEL_EXECUTABLE: list_directory(app, kernel_home()); break;
        case BROWSER_ENTITY_WORKSPACE: list_directory(app, workspace_home()); break;
        case BROWSER_OPEN_SCRIPT:
        case BROWSER_EXPORT_LOCATION: list_directory(app, workspace_path); break;
        default: break;
    }
}

void browser_go_up(AppContext& app) {
    const FileBrowserState& b = app.file_browser_state;
    if (b.browser_path_parts.size() < 2) return;
    list_directory(app, prefix_path(b, b.browser_path_parts.size() - 2));
}

void browser_enter_selected_dir(AppContext& app) {
    const FileBrowserState& b = app.file_browser_state;
    if (b.browser_entries.count() < 1 || b.browser_selection.selected_count != 1) return;
    const std::vector<uint8_t>& bits = b.browser_selection.bits;
    for (size_t e = 0; e < bits.size() && e < b.browser_entries.count(); ++e) {
        if (bits[e] && b.browser_entries.kinds[e] == ENTRY_DIRECTORY) {
            list_directory(app, concat2(b.browser_directory, b.browser_entries.names[e]));
            return;
        }
    }
}

void browser_open_path_prefix(AppContext& app, int32_t i) {
    const FileBrowserState& b = app.file_browser_state;
    if (i < 0 || static_cast<size_t>(i) >= b.browser_path_parts.size()) return;
    list_directory(app, prefix_path(b, static_cast<size_t>(i)));
}

void browser_refresh(AppContext& app) { list_directory(app, app.file_browser_state.browser_directory); }

void browser_click_row(AppContext& app, int32_t r) {
    FileBrowserState& b = app.file_browser_state;
    if (r < 0 || static_cast<size_t>(r) >= b.browser_row_order.size()) return;
    const int32_t entry = b.browser_row_order[static_cast<size_t>(r)];
    if (entry < 0 || static_cast<size_t>(entry) >= b.browser_entries.count() ||
        static_cast<size_t>(entry) >= b.browser_selection.bits.size())
        return;
    const size_t e = static_cast<size_t>(entry);
    if (readable_directory(b, e)) {
        list_directory(app, concat2(b.browser_directory, b.browser_entries.names[e]));
        return;
    }
    uint8_t& bit = b.browser_selection.bits[e];
    bit = bit ? 0 : 1;
    b.browser_selection.selected_count += bit ? 1 : -1;
    if (static_cast<size_t>(r) < app.browser_rows.size()) app.browser_rows[static_cast<size_t>(r)].selected = bit != 0;
}

void browser_select_all_files(AppContext& app) {
    const FileBrowserState& b = app.file_browser_state;
    for (size_t r = 0; r < b.browser_row_order.size(); ++r) {
        const int32_t entry = b.browser_row_order[r];
        if (entry < 0 || static_cast<size_t>(entry) >= b.browser_entries.count() ||
            static_cast<size_t>(entry) >= b.browser_selection.bits.size())
            continue;
        const size_t e = static_cast<size_t>(entry);
        if (b.browser_entries.kinds[e] != ENTRY_DIRECTORY && !b.browser_selection.bits[e])
            browser_click_row(app, static_cast<int32_t>(r));
    }
}

void browser_select_all(AppContext& app) {
    if (app.file_browser_state.browser_purpose == BROWSER_OPEN_SCRIPT) browser_select_all_files(app);
}

void browser_select_all_and_redraw(AppContext& app) {
    browser_select_all(app);
    refresh_root(app);
}

void browser_go_home_and_redraw(AppContext& app) {
    browser_go_home(app);
    refresh_root(app);
}
void browser_go_up_and_redraw(AppContext& app) {
    browser_go_up(app);
    refresh_root(app);
}
void browser_enter_selected_dir_and_redraw(AppContext& app) {
    browser_enter_selected_dir(app);
    refresh_root(app);
}
void browser_refresh_and_redraw(AppContext& app) {
    browser_refresh(app);
    refresh_root(app);
}

void on_kernel_browser_button() { on_published<open_kernel_browser>(); }
void on_workspace_browser_button() { on_published<open_workspace_browser>(); }
void on_browser_home_button() { on_published<browser_go_home_and_redraw>(); }
void on_browser_refresh_button() { on_published<browser_refresh_and_redraw>(); }
void on_browser_select_all_button() { on_published<browser_select_all_and_redraw>(); }

void on_browser_path_click() {
    AppContext* app = app_instance;
    if (app == nullptr || hover_element == nullptr) return;
    const int32_t i = hover_element->user_index;
    if (i < 0 || static_cast<size_t>(i) >= app->file_browser_state.browser_path_parts.size()) return;
    browser_open_path_prefix(*app, i);
    refresh_root(*app);
}

void on_browser_row_click() {
    AppContext* app = app_instance;
    if (app == nullptr || hover_element == nullptr) return;
    const int32_t r = hover_element->user_index;
    if (r < 0 || static_cast<size_t>(r) >= app->file_browser_state.browser_entries.count()) return;
    browser_click_row(*app, r);
    refresh_root(*app);
}

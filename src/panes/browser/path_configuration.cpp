#include "panes/browser/path_configuration.h"

#include <vector>

#include "app/app_context.h"
#include "panes/popups/popups.h"
#include "platform/paths.h"
#include "text/split.h"

namespace {

void show_overall_state(AppContext& app) {
    const bool usable = kernel_path_state == PATH_VALID && workspace_path_state == PATH_VALID;
    app.file_panes.continue_button.set_text(usable ? "OK" : "!");
}

// Path text and state text into the pane's value and state labels.
void show_path(std::string& path_text, std::string& status_text, const std::string& path, const std::string& status,
               const Element& box, Label& value_label, Label& state_label) {
    path_text = path.empty() ? std::string("???") : path;
    status_text = status;
    show_configured_path(box, value_label, path_text);
    state_label.set_text(status_text);
}

}  // namespace

void show_configured_path(const Element& box, Label& value, const std::string& text) {
    const int32_t room =
        box.width - box.padding_left - box.padding_right - value.padding_left - value.padding_right;
    value.extra_text = text;
    value.set_text(fit_path_text(value.typeface, "", text, room));
}

void apply_kernel_path_setting(AppContext& app, const std::string& path) {
    set_kernel_path(path);
    PathCopies& copies = app.path_copies;
    FilePaneWidgets& w = app.file_panes;
    show_path(copies.kernel_path_text, copies.kernel_status_text, path, kernel_path_status, w.kernel_box,
              w.kernel_box_labels[2], w.kernel_state_label);
    show_overall_state(app);
}

void apply_entity_workspace_setting(AppContext& app, const std::string& directory) {
    set_workspace_path(directory);
    PathCopies& copies = app.path_copies;
    FilePaneWidgets& w = app.file_panes;
    show_path(copies.workspace_path_text, copies.workspace_status_text, directory, workspace_path_status,
              w.workspace_box, w.workspace_box_labels[2], w.workspace_state_label);
    show_overall_state(app);
}

void run_native_open_script_dialog(AppContext& app) {
    if (app.services.open_script_dialog == nullptr) return;
    const std::string answer = app.services.open_script_dialog(app.file_browser_state.browser_directory);
    // A cancelled chooser answers ""; a blank line names no script.
    std::vector<std::string> paths = split_nonempty(answer, '\n');
    if (paths.empty()) {
        if (app.pane_open_flags[PANE_OPEN]) close_open_pane(app);
        return;
    }
    app.pane_open_flags[PANE_OPEN] = 1;
    app.OVERLAY.visible = true;
    app.MASKPANE.visible = true;
    app.OPENPANE.visible = true;
    DeferredRequests& requests = app.deferred_requests;
    requests.pending_path_count = static_cast<int32_t>(paths.size());
    requests.pending_paths = std::move(paths);
    requests.request_countdown = 5;
    requests.request_open_paths = 1;
    refresh_root(app);
}

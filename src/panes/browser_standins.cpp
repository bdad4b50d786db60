#include "panes/browser_standins.h"

#include "app/app_context.h"

void show_file_browser(AppContext& app, bool shown) {
    record_standin_call(shown ? "show_file_browser: 1" : "show_file_browser: 0");
    app.pane_open_flags[PANE_FILE] = shown ? 1 : 0;
    app.FILEPANE.visible = shown;
    app.file_browser_body.visible = shown;
    if (shown) {
        app.OVERLAY.visible = true;
        app.MASKPANE.visible = true;
    }
}

void escape_from_popups(AppContext& app) {
    record_standin_call("escape_from_popups");
    if (!app.pane_open_flags[PANE_FILE]) return;
    if (app.startup.startup_finished == 0) app.configuration_mask.visible = true;
    if (app.pane_open_flags[PANE_EXPORT]) app.EXPORTPANE.visible = true;
    show_file_browser(app, false);
}

void show_warning_box(AppContext&, const std::string& title, const std::string& text) {
    record_standin_call("show_warning_box: " + title + "\n" + text);
}

void accept_confirm_dialog(AppContext&) { record_standin_call("accept_confirm_dialog"); }

void apply_kernel_path_setting(AppContext&, const std::string& path) {
    record_standin_call("apply_kernel_path_setting: " + path);
}
void apply_entity_workspace_setting(AppContext&, const std::string& directory) {
    record_standin_call("apply_entity_workspace_setting: " + directory);
}
void set_export_location(AppContext& app, const std::string& directory) {
    record_standin_call("set_export_location: " + directory);
    app.export_settings.export_directory = directory;
}
void assemble_environment_action(AppContext&) { record_standin_call("assemble_environment_action"); }
void export_environment_action(AppContext&) { record_standin_call("export_environment_action"); }
void save_environment_snapshot(AppContext&) { record_standin_call("save_environment_snapshot"); }
void save_application_screenshot(AppContext&) { record_standin_call("save_application_screenshot"); }

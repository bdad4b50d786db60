#include "panes/browser_standins.h"

#include "app/app_context.h"

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
void export_environment_action(AppContext&) { record_standin_call("export_environment_action"); }

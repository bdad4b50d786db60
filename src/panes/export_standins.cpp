#include "panes/export_standins.h"

#include "app/app_context.h"

void on_click_export_tool() { record_standin_call("on_click_export_tool"); }

void on_click_open_export_dialog() { record_standin_call("on_click_open_export_dialog"); }

void on_click_assemble() { record_standin_call("on_click_assemble"); }

void set_export_location(AppContext& app, const std::string& directory) {
    record_standin_call("set_export_location: " + directory);
    app.export_settings.export_directory = directory;
}

void export_environment_action(AppContext&) { record_standin_call("export_environment_action"); }

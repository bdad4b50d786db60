#pragma once
#include <string>

struct AppContext;

// Recording stand-ins for the operations the file browser hands its results
// to, whose own code lives with the popups, the configuration and export
// panes and the capture panes. Each appends its name (and arguments after
// ": ") to standin_call_log(); the popup ones also keep the few flags the
// browser reads back.

// Popups: the open flag of the file browser and the visibility of FILEPANE,
// OVERLAY and MASKPANE follow `shown`.
void show_file_browser(AppContext& app, bool shown);
// Closes the file browser when it is open (the configuration pane shows
// again during start-up, EXPORTPANE when its flag is set); records only
// otherwise.
void escape_from_popups(AppContext& app);
void show_warning_box(AppContext& app, const std::string& title, const std::string& text);
void accept_confirm_dialog(AppContext& app);

// Configuration and export panes.
void apply_kernel_path_setting(AppContext& app, const std::string& path);
void apply_entity_workspace_setting(AppContext& app, const std::string& directory);
void set_export_location(AppContext& app, const std::string& directory);
void assemble_environment_action(AppContext& app);
void export_environment_action(AppContext& app);

// Capture panes.
void save_environment_snapshot(AppContext& app);
void save_application_screenshot(AppContext& app);

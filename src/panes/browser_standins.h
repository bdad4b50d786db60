#pragma once
#include <string>

#include "panes/message_boxes.h"
#include "panes/popups.h"
#include "panes/shell_standins.h"

struct AppContext;

// Recording stand-ins for the operations the file browser hands its results
// to, whose own code lives with the configuration and export panes. Each
// appends its name (and arguments after ": ") to
// standin_call_log().

// Configuration and export panes.
void apply_kernel_path_setting(AppContext& app, const std::string& path);
void apply_entity_workspace_setting(AppContext& app, const std::string& directory);
void set_export_location(AppContext& app, const std::string& directory);
void export_environment_action(AppContext& app);

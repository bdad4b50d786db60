#pragma once
#include <cstdint>
#include <string>

struct AppContext;

// Recording stand-ins for the export and assembly buttons that the interface binds until
// the real ones arrive. Each appends its own name to standin_call_log();
// pointer and wheel stand-ins report the event handled, key stand-ins
// report it unhandled.

void on_click_export_tool();
void on_click_open_export_dialog();
void on_click_assemble();

// The export pane's location setter and export action, which the file
// browser and the Enter key hand on to.
void set_export_location(AppContext& app, const std::string& directory);
void export_environment_action(AppContext& app);

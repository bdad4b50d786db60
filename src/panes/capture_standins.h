#pragma once
#include <cstdint>

// Recording stand-ins for the capture and file-selection buttons that the interface binds until
// the real ones arrive. Each appends its own name to standin_call_log();
// pointer and wheel stand-ins report the event handled, key stand-ins
// report it unhandled.

void on_click_capture();
void on_click_snapshot();
void on_click_clear_file_selection();

// The two capture panes' save actions, which the Enter key hands on to.
struct AppContext;
void save_environment_snapshot(AppContext& app);
void save_application_screenshot(AppContext& app);

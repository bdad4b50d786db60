#pragma once
#include <cstdint>

// Recording stand-ins for the script-opening and file-browser buttons that the interface binds until
// the real ones arrive. Each appends its own name to standin_call_log();
// pointer and wheel stand-ins report the event handled, key stand-ins
// report it unhandled.

void on_toolbar_open_script();
void on_open_script_button();
void on_browser_home_button();
void on_browser_refresh_button();
void on_browser_select_all_button();

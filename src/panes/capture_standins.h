#pragma once
#include <cstdint>

// Recording stand-in for the file-selection clear button that the interface
// binds until the real one arrives. Each appends its own name to standin_call_log();
// pointer and wheel stand-ins report the event handled, key stand-ins
// report it unhandled.

void on_click_clear_file_selection();

#pragma once
#include <cstdint>

// Recording stand-in for the file-selection clear button that the interface
// binds until the real one arrives. It appends its own name to
// standin_call_log().

void on_click_clear_file_selection();

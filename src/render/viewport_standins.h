#pragma once
#include <cstdint>

// Recording stand-ins for the viewport cell actions that the interface
// binds until the real ones arrive. Each appends its own name to
// standin_call_log().

void on_viewport_split_x();
void on_viewport_split_y();
void on_viewport_close_cell();

#pragma once
#include <cstdint>

// Recording stand-ins for the pick trace and the viewport cell actions that the interface binds until
// the real ones arrive. Each appends its own name to standin_call_log();
// pointer and wheel stand-ins report the event handled, key stand-ins
// report it unhandled.

void refresh_llmi_trace();
void on_viewport_split_x();
void on_viewport_split_y();
void on_viewport_close_cell();

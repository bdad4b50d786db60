#pragma once
#include <cstdint>

// Recording stand-ins for the pane layouts the interface binds until the
// real ones arrive. Each appends its own name to standin_call_log().

void on_layout_content_pane(int32_t width, int32_t height);
void on_layout_hint_bar(int32_t width, int32_t height);
void on_layout_confirm_pane(int32_t width, int32_t height);

#pragma once
#include <cstdint>

struct AppContext;

// Recording stand-in until the layout of the display options lands: logs
// "app_apply_display_options: <width>x<height>".
void app_apply_display_options(AppContext& app, int32_t width, int32_t height);

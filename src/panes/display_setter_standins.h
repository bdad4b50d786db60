#pragma once
#include <cstdint>
#include <string>

// Recording stand-ins for the display setters and the eye-height setter
// the menus and fields call. Each appends its name and argument to
// standin_call_log() and stores the value it is given.

struct AppContext;

void set_v_flip_mode(AppContext& app, bool on);
void set_frame_mode(AppContext& app, bool on);
// Stores the height and its text.
void set_eye_height(AppContext& app, const std::string& text, double value);
// Mouse-down of the settings column area: takes left presses only.
bool accept_left_button_only(int32_t x, int32_t y, int32_t button);

#pragma once
#include <string>

struct AppContext;

// Recording stand-in for the eye-height setter the WIDGETS field calls:
// appends "set_eye_height: <text>" to standin_call_log() and stores the
// height and its text.
void set_eye_height(AppContext& app, const std::string& text, double value);

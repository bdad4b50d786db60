#pragma once
#include <string>

struct AppContext;

// Stores the first-person eye height (value and its text) and lifts the
// saved first-person camera's eye and look-at by the change, the live
// camera's too while the first-person controller is active.
void set_eye_height(AppContext& app, const std::string& text, double value);

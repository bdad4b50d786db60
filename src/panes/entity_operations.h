#pragma once
#include <string>

struct AppContext;

// Small appearance and camera operations the settings and the colour bar
// call.

// The ten colour-ramp swatches: grey steps i / 10 (0 .. 229), or the hue
// ramp while the multi-channel colour space is on.
void build_colour_ramp(AppContext& app);
// Stores the first-person eye height (value and its text) and lifts the
// saved first-person camera's eye and look-at by the change, the live
// camera's too while the first-person controller is active.
void set_eye_height(AppContext& app, const std::string& text, double value);

#pragma once

struct AppContext;

// The ten colour-ramp swatches: grey steps i / 10 (0 .. 229), or the hue
// ramp while the multi-channel colour space is on.
void build_colour_ramp(AppContext& app);

#pragma once
#include <cstdint>

struct AppContext;

// Stores the index and copies scheme `index` (0 Dark .. 4 Midnight) into the
// active theme every widget points at (any other index copies nothing);
// then the frame-rate readout, the canvas background and a redraw.
void apply_ui_theme(AppContext& app, int32_t index);

#pragma once

struct AppContext;

// Recording stand-in for the control-bar visibility update (which bars
// around the 3D view are shown): records "update_layout_mode_flags" in
// standin_call_log() and changes nothing.
void update_layout_mode_flags(AppContext& app);

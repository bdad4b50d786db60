#pragma once

struct AppContext;

// Which control bars around the 3D view show (camera directives, variants,
// parallel flags, mesh inspector, animator), with their toggles and the
// strips of the quick-hidden interface. Writes visibility only; callers lay
// out and redraw.
void update_layout_mode_flags(AppContext& app);
// True while any popup pane or pending popup state is open.
bool any_popup_open(AppContext& app);

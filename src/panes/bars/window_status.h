#pragma once

struct AppContext;

// The statistics over the 3D view: totals over the current environment's
// entities, shown as eight lines. Nothing happens without an environment.
void refresh_mesh_statistics(AppContext& app);
void build_mesh_statistics_text(AppContext& app);

// The tip row's line naming the open scripts and where they come from.
void update_window_status(AppContext& app);

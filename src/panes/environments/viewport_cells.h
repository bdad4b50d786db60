#pragma once

struct AppContext;

// The viewport's split and close callbacks. The cell under the pointer
// (`hovered_cell`) is split or closed; `cell_cameras` keeps one camera
// state per cell, and `current_cell` (the cell the live camera belongs to)
// follows the cells it refers to.
void split_viewport_cell(AppContext& app, char axis);
void close_viewport_cell(AppContext& app);


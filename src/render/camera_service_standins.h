#pragma once
#include <cstdint>

// Recording stand-ins for the camera services the menus call. Each appends
// its name (and argument) to standin_call_log(); the controller and full
// screen setters also store their value so the menus see it.

struct AppContext;

void set_camera_controller(AppContext& app, int32_t controller);
void save_cell_camera_state(AppContext& app);
void reset_view(AppContext& app);
void view_top(AppContext& app);
void view_base(AppContext& app);
void view_left(AppContext& app);
void view_right(AppContext& app);
void view_front(AppContext& app);
void view_back(AppContext& app);
void update_fps_readout(AppContext& app);
void set_full_screen(AppContext& app, bool on);

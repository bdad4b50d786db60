#pragma once
#include <cstdint>

struct AppContext;
struct Camera;

// Stand-ins for the camera operations the shell calls before the camera
// controllers land. The motion primitives move the camera as specified (the
// tick's held keys need them); the drag and reset operations record their
// call in standin_call_log(); the cell save and the frame-rate readout, run
// on every camera step, do nothing.

// Eye and look-at forward (backward) by speed x forward x factor; the height
// stays under the vertical lock.
void move_camera_forward(Camera& camera, double factor);
void move_camera_backward(Camera& camera, double factor);
// look-at = eye + v; forward = unit v; right and upright rebuilt.
void set_camera_look_vector(Camera& camera, double vx, double vy, double vz);

// Starts a drag: records, marks it active and keeps the eye for a pan.
int32_t begin_camera_drag(AppContext& app, int32_t x, int32_t y);
// Records; leaves the pending update as it is.
int32_t drag_camera(AppContext& app, int32_t x, int32_t y, int32_t source);
void reset_view(AppContext& app);
void save_cell_camera_state(AppContext& app);
void update_fps_readout(AppContext& app);

// The root's resize callback: the root takes the canvas size, the window
// fields follow, and the tree is laid out again.
bool on_root_resize(int32_t width, int32_t height);

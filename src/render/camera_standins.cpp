#include "render/camera_standins.h"

#include <cmath>

#include "app/app_context.h"
#include "app/current_environment.h"
#include "render/camera.h"
#include "text/text_utils.h"
#include "ui/ui_state.h"

namespace {

void move_along_forward(Camera& camera, double amount) {
    for (int axis = 0; axis < 3; ++axis) {
        if (axis == 1 && camera.vertical_lock) continue;
        camera.eye[axis] += camera.speed * camera.forward[axis] * amount;
        camera.look_at[axis] = camera.eye[axis] + camera.forward[axis];
    }
}

}  // namespace

void move_camera_forward(Camera& camera, double factor) { move_along_forward(camera, factor); }
void move_camera_backward(Camera& camera, double factor) { move_along_forward(camera, -factor); }

void set_camera_look_vector(Camera& camera, double vx, double vy, double vz) {
    const Vec3 v = {vx, vy, vz};
    for (int axis = 0; axis < 3; ++axis) camera.look_at[axis] = camera.eye[axis] + v[axis];
    const double length = std::sqrt(vx * vx + vy * vy + vz * vz);
    camera.forward = length == 0.0 ? v : Vec3{vx / length, vy / length, vz / length};
    camera.right = cross_normalised(v, camera.up);
    camera.upright = cross_normalised(camera.forward, {-camera.right[0], -camera.right[1], -camera.right[2]});
}

int32_t begin_camera_drag(AppContext& app, int32_t x, int32_t y) {
    record_standin_call("begin_camera_drag: " + int_to_text(x) + "," + int_to_text(y));
    CameraDrag& drag = app.camera.camera_drag;
    drag.active = true;
    drag.start_x = x;
    drag.start_y = y;
    drag.pan_modifier = shift_held != 0 || ctrl_held != 0;
    drag.start_eye = app.camera.live_camera.eye;
    drag.start_forward = app.camera.live_camera.forward;
    return 1;
}

int32_t drag_camera(AppContext&, int32_t x, int32_t y, int32_t source) {
    record_standin_call("drag_camera: " + int_to_text(x) + "," + int_to_text(y) + "," + int_to_text(source));
    return 1;
}

void reset_view(AppContext&) { record_standin_call("reset_view"); }
void save_cell_camera_state(AppContext&) {}
void update_fps_readout(AppContext&) {}

bool on_root_resize(int32_t width, int32_t height) {
    AppContext* app = app_instance;
    if (app == nullptr) return false;
    app->width = width;
    app->height = height;
    app->frame.window_width = width;
    app->frame.window_height = height;
    if (app->layout_handler) app->layout_handler(width, height);
    app->relayout_children();
    return true;
}

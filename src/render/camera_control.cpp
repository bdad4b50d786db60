#include "render/camera_control.h"

#include <algorithm>
#include <cmath>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "model/entity.h"
#include "render/redraw.h"
#include "render/status_line.h"
#include "ui/ui_state.h"
#include "ui/viewport.h"

namespace {

// Time of the previous camera step; 0 until the first.
int64_t last_motion_ms = 0;

constexpr double kMaxStepDt = 5.0;
constexpr double kKeyTurnRate = 4.0;

bool valid_controller(int32_t c) { return c >= 0 && c <= 2; }

// The state of the viewport's current cell, or null when it has none.
double* current_cell_state(AppContext& app) {
    Viewport& vp = app.multi_view_viewport;
    const int32_t k = vp.current_cell;
    if (k < 0 || k >= vp.cell_count) return nullptr;
    const size_t start = static_cast<size_t>(k) * CAMERA_STATE_SIZE;
    if (vp.cell_cameras.size() < start + CAMERA_STATE_SIZE) return nullptr;
    return vp.cell_cameras.data() + start;
}

void save_cell_when_synced(AppContext& app) {
    if (app.bars.multi_view) save_cell_camera_state(app);
}

// Moves the eye along a basis vector, keeping look_at = eye + forward in the
// moved components and the height while the vertical lock is on.
void slide_eye(Camera& c, const Vec3& along, double amount) {
    for (size_t i = 0; i < 3; ++i) {
        if (i == 1 && c.ground_anchored) continue;
        c.eye[i] += along[i] * amount;
        c.look_at[i] = c.eye[i] + c.forward[i];
    }
}

bool held(const AppContext& app, char upper) {
    return app.camera.key_states[static_cast<unsigned char>(upper)] != 0 ||
           app.camera.key_states[static_cast<unsigned char>(upper + 32)] != 0;
}

void zoom_orbit(AppContext& app, bool grow) {
    if (grow) zoom_orbit_out(app);
    else zoom_orbit_in(app);
}

void finish_camera_change(AppContext& app) {
    update_attribute_trace(app);
    update_fps_readout(app);
    request_redraw(app);
    refresh_root(app);
}

}  // namespace

int32_t zoom_orbit_out(AppContext& app) {
    CameraState& cam = app.camera;
    if (cam.orbit_distance >= cam.max_orbit_distance) return 0;
    cam.orbit_distance = std::min(cam.orbit_distance + cam.zoom_factor * cam.orbit_distance, cam.max_orbit_distance);
    return 1;
}

int32_t zoom_orbit_in(AppContext& app) {
    CameraState& cam = app.camera;
    if (cam.min_orbit_distance >= cam.orbit_distance) return 0;
    cam.orbit_distance = std::max(cam.orbit_distance - cam.zoom_factor * cam.orbit_distance, cam.min_orbit_distance);
    return 1;
}

void set_orbit_angles(AppContext& app, double x, double y, double z) {
    app.camera.orbit_angle_x = x;
    app.camera.orbit_angle_y = y;
    app.camera.orbit_angle_z = z;
}

int32_t begin_camera_drag(AppContext& app, int32_t x, int32_t y) {
    CameraDrag& d = app.camera.camera_drag;
    d.camera_drag_active = true;
    d.start_x = x;
    d.start_y = y;
    d.pan_active = shift_held != 0 || ctrl_held != 0;
    d.start_orbit_angles = {app.camera.orbit_angle_x, app.camera.orbit_angle_y, app.camera.orbit_angle_z};
    d.start_forward = app.camera.live_camera.forward;
    d.start_eye = app.camera.live_camera.eye;
    return 1;
}

int32_t drag_camera(AppContext& app, int32_t x, int32_t y, int32_t source) {
    const double m = static_cast<double>(std::max(app.frame.window_width, app.frame.window_height));
    compute_camera_drag(app.camera.camera_drag, app.camera.camera_controller, x, y, source, m,
                        app.camera.live_camera.upright,
                        app.camera.pending_camera_update);
    return 1;
}

bool apply_pending_camera_update(AppContext& app, bool key_driven) {
    PendingCameraUpdate& p = app.camera.pending_camera_update;
    if (!p.pending) return false;
    Camera& c = app.camera.live_camera;
    const int32_t controller = app.camera.camera_controller;
    if (controller == CAMERA_OBJECT_ORBIT) {
        app.camera.orbit_angle_x = p.values[0];
        app.camera.orbit_angle_y = p.values[1];
    } else if (controller == CAMERA_FREE_ROAM && app.camera.camera_drag.pan_active && !key_driven) {
        const Vec3& s = app.camera.camera_drag.start_eye;
        for (size_t i = 0; i < 3; ++i) {
            c.eye[i] = s[i] + c.camera_step * (p.values[0] * c.right[i] + p.values[1] * c.upright[i]);
            c.look_at[i] = c.eye[i] + c.forward[i];
        }
    } else if (valid_controller(controller)) {
        set_camera_look_vector(c, p.values[0], p.values[1], p.values[2]);
    }
    p.pending = false;
    return true;
}

int32_t viewport_mouse_down(AppContext& app, int32_t x, int32_t y, int32_t button) {
    if (app.ui_flags.camera_locked || button != 2) return 0;
    return begin_camera_drag(app, x, y);
}

int32_t viewport_mouse_motion(AppContext& app, int32_t x, int32_t y, int32_t button) {
    if (!app.camera.camera_drag.camera_drag_active) return 0;
    return drag_camera(app, x, y, button);
}

bool on_viewport_button_press(int32_t x, int32_t y, int32_t button) {
    AppContext* app = app_instance;
    return app != nullptr && viewport_mouse_down(*app, x, y, button) != 0;
}

bool on_viewport_drag(int32_t x, int32_t y, int32_t source) {
    AppContext* app = app_instance;
    return app != nullptr && viewport_mouse_motion(*app, x, y, source) != 0;
}

void reset_view(AppContext& app) {
    if (app.camera.camera_controller == CAMERA_OBJECT_ORBIT) {
        app.camera.orbit_angle_x = 30.0;
        app.camera.orbit_angle_y = 30.0;
        app.camera.orbit_angle_z = 0.0;
        app.camera.orbit_distance = 4.0;
    }
    reset_camera_to_home(app.camera.live_camera);
    update_attribute_trace(app);
    app.camera.camera_drag.camera_drag_active = false;
    save_cell_when_synced(app);
}

void update_directive_widget_visibility(AppContext& app) {
    const bool hidden = app.ui_flags.ui_hidden && !app.bars.hidden_ui_controls;
    const bool handle =
        !hidden && app.camera.camera_controller == CAMERA_FREE_ROAM && app.bars.camera_directive_count > 0;
    app.camera_directive_toggle.visible = handle;
    app.camera_directive_bar.visible = handle && app.bars.show_camera_directives;
}

void set_camera_controller(AppContext& app, int32_t controller) {
    if (controller == app.camera.camera_controller) return;
    const int32_t left = app.camera.camera_controller;
    if (valid_controller(left))
        store_camera_part(app.camera.live_camera, app.camera.controller_cameras[static_cast<size_t>(left)]);
    app.camera.camera_controller = controller;
    if (valid_controller(controller)) {
        const CameraSlot& slot = app.camera.controller_cameras[static_cast<size_t>(controller)];
        load_camera_part(slot, app.camera.live_camera);
        app.camera.live_camera.home_eye = slot.home_eye;
        app.camera.live_camera.home_look_at = slot.home_look_at;
    }
    update_directive_widget_visibility(app);
    app.camera.live_camera.ground_anchored = controller == CAMERA_FIRST_PERSON;
    update_camera_basis(app.camera.live_camera);
    update_attribute_trace(app);
    call_hook(app.hooks.app_apply_display_options, app, app.frame.window_width, app.frame.window_height);
}

void look_at_target(AppContext& app, bool scaled, double x, double y, double z) {
    const double s = scaled ? app.io_settings.world_scale : 1.0;
    aim_camera_at(app.camera.live_camera, {x * s, y * s, z * s});
    save_cell_when_synced(app);
}

Vec3 environment_bounds_centre(const AppContext& app) {
    Vec3 centre;
    const EnvironmentStatistics& bounds = app.status.environment_statistics;
    for (size_t i = 0; i < 3; ++i) centre[i] = bounds.minimum[i] + bounds.extent[i] / 2.0;
    return centre;
}

void look_at_entity(AppContext& app, const EntityRecord& entity) {
    Vec3 p;
    for (size_t i = 0; i < 3; ++i) p[i] = (entity.bounds[BOUNDS_MIN][i] + entity.bounds[BOUNDS_MAX][i]) / 2.0;
    entity_transform_point(entity, p[0], p[1], p[2]);
    if (app.render_flags.orbit_about_centre) {
        const Vec3 centre = environment_bounds_centre(app);
        for (size_t i = 0; i < 3; ++i) p[i] -= centre[i];
    }
    look_at_target(app, true, p[0], p[1], p[2]);
}

void save_cell_camera_state(AppContext& app) {
    double* s = current_cell_state(app);
    if (s == nullptr) return;
    const auto put = [&](size_t at, const Vec3& eye, const Vec3& look_at) {
        std::copy(eye.begin(), eye.end(), s + at);
        std::copy(look_at.begin(), look_at.end(), s + at + 3);
    };
    put(6, app.camera.controller_cameras[1].eye, app.camera.controller_cameras[1].look_at);
    put(12, app.camera.controller_cameras[2].eye, app.camera.controller_cameras[2].look_at);
    const int32_t c = app.camera.camera_controller;
    if (c == CAMERA_FREE_ROAM || c == CAMERA_FIRST_PERSON)
        put(static_cast<size_t>(6 * c), app.camera.live_camera.eye, app.camera.live_camera.look_at);
    s[18] = app.camera.orbit_distance;
    s[19] = app.camera.orbit_angle_x;
    s[20] = app.camera.orbit_angle_y;
    s[21] = app.camera.orbit_angle_z;
}

void activate_cell_camera_state(AppContext& app) {
    Viewport& vp = app.multi_view_viewport;
    save_cell_when_synced(app);
    vp.current_cell = vp.hovered_cell;
    if (const double* s = current_cell_state(app)) {
        const int32_t c = app.camera.camera_controller;
        Camera& cam = app.camera.live_camera;
        if (valid_controller(c)) {
            std::copy(s + 6 * c, s + 6 * c + 3, cam.eye.begin());
            std::copy(s + 6 * c + 3, s + 6 * c + 6, cam.look_at.begin());
        }
        app.camera.orbit_distance = s[18];
        app.camera.orbit_angle_x = s[19];
        app.camera.orbit_angle_y = s[20];
        app.camera.orbit_angle_z = s[21];
        for (size_t k = 0; k < 3; ++k) {
            CameraSlot& slot = app.camera.controller_cameras[k];
            std::copy(s + 6 * k, s + 6 * k + 3, slot.eye.begin());
            std::copy(s + 6 * k + 3, s + 6 * k + 6, slot.look_at.begin());
        }
    }
    update_attribute_trace(app);
    update_camera_basis(app.camera.live_camera);
    request_redraw(app);
    refresh_root(app);
}

void activate_cell_camera_state() {
    if (AppContext* app = app_instance) activate_cell_camera_state(*app);
}

void reset_camera_tick_clock() { last_motion_ms = 0; }

namespace {

// The camera step proper; true when it moved the camera.
bool move_camera_for_tick(AppContext& app, int64_t now_ms) {
    if (app.ui_flags.camera_locked) return false;
    if (app.hooks.any_popup_open && app.hooks.any_popup_open(app)) return false;
    if (last_motion_ms == 0) {
        last_motion_ms = now_ms;
        return false;
    }
    const double dt = std::clamp(static_cast<double>(now_ms - last_motion_ms) * 0.5 / 10.0, 0.0, kMaxStepDt);
    last_motion_ms = now_ms;

    Camera& c = app.camera.live_camera;
    const Vec3 eye_before = c.eye;
    const int32_t controller = app.camera.camera_controller;
    const bool flying = controller == CAMERA_FREE_ROAM || controller == CAMERA_FIRST_PERSON;
    const bool dragging = app.camera.camera_drag.camera_drag_active;
    const double step = c.camera_step * dt;
    bool moved = false;
    double h = 0.0, v = 0.0;

    if (flying) {
        const auto key = [&](char k, auto action) {
            if (held(app, k)) action(), moved = true;
        };
        key('A', [&] { slide_eye(c, c.right, -step); });
        key('W', [&] { move_camera_forward(c, dt); });
        key('D', [&] { slide_eye(c, c.right, step); });
        key('S', [&] { move_camera_backward(c, dt); });
        key('Q', [&] { slide_eye(c, c.upright, step); });
        key('E', [&] { slide_eye(c, c.upright, -step); });
    } else if (controller == CAMERA_OBJECT_ORBIT) {
        if (held(app, 'W')) zoom_orbit(app, true), moved = true;
        if (held(app, 'S')) zoom_orbit(app, false), moved = true;
        if (!dragging) {
            if (held(app, 'D')) h += kKeyTurnRate * dt;
            if (held(app, 'A')) h -= kKeyTurnRate * dt;
            if (held(app, 'Q')) v += kKeyTurnRate * dt;
            if (held(app, 'E')) v -= kKeyTurnRate * dt;
        }
    }

    if (app.camera.zoom_steps != 0 && valid_controller(controller)) {
        const bool forward = app.camera.zoom_steps > 0;
        if (controller == CAMERA_OBJECT_ORBIT)
            zoom_orbit(app, forward);
        else if (forward)
            move_camera_forward(c, dt);
        else
            move_camera_backward(c, dt);
        app.camera.zoom_steps += forward ? -1 : 1;
        moved = true;
    }

    if (controller == CAMERA_FREE_ROAM && app.camera.camera_drag.pan_active) {
        for (size_t i = 0; i < 3; ++i) app.camera.camera_drag.start_eye[i] += c.eye[i] - eye_before[i];
    }

    bool key_drag = false;
    if (!dragging) {
        if (app.camera.arrow_states[0]) h -= kKeyTurnRate * dt;
        if (app.camera.arrow_states[2]) h += kKeyTurnRate * dt;
        if (app.camera.arrow_states[1]) v -= kKeyTurnRate * dt;
        if (app.camera.arrow_states[3]) v += kKeyTurnRate * dt;
        if (h != 0.0 || v != 0.0) {
            const double m = static_cast<double>(std::max(app.frame.window_width, app.frame.window_height));
            begin_camera_drag(app, 0, 0);
            drag_camera(app, truncate_to_int(m * h / 720.0), truncate_to_int(v / 720.0 * m), KEY_DRAG_SOURCE);
            key_drag = true;
        }
    }

    const bool applied = apply_pending_camera_update(app, key_drag);
    if (key_drag) app.camera.camera_drag.camera_drag_active = false;
    save_cell_when_synced(app);
    if (applied || moved) finish_camera_change(app);
    return applied || moved;
}

}  // namespace

void camera_tick_step(AppContext& app, int64_t now_ms) {
    if (move_camera_for_tick(app, now_ms)) {
        app.frame.camera_moving = 1;
    } else if (app.frame.camera_moving) {
        // Still for a tick: one multisampled frame of where it stopped.
        app.frame.camera_moving = 0;
        request_redraw(app);
    }
}

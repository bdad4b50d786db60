#include "shell/app_tick.h"

#include <algorithm>
#include <cstdlib>

#include "app/app_context.h"
#include "app/current_environment.h"
#include "model/entity.h"
#include "panes/popups.h"
#include "panes/shell_standins.h"
#include "pipeline/open_scripts.h"
#include "pipeline/parameter_push.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "render/camera_standins.h"
#include "shell/app_callbacks.h"
#include "shell/startup_sequence.h"
#include "ui/root_input.h"
#include "ui/ui_state.h"

int64_t browser_key_press_ms = 0;
int64_t browser_repeat_ms = 0;
int64_t last_motion_ms = 0;

namespace {

constexpr double nominal_dt = 0.5;  // a 10 ms tick
constexpr double max_dt = 5.0;      // a stalled loop must not fling the camera

bool held(const AppContext& app, char letter) { return app.camera.key_states[static_cast<unsigned char>(letter)] != 0; }
bool arrow_held(const AppContext& app, int32_t key) { return app.camera.arrow_states[key - KEY_LEFT] != 0; }

void step_browser_repeat(AppContext& app, int64_t now) {
    if (!app.pane_open_flags[PANE_FILE]) return;
    const bool up = arrow_held(app, KEY_UP);
    const bool down = arrow_held(app, KEY_DOWN);
    if (!up && !down) return;
    if (now - browser_repeat_ms > 50 && now - browser_key_press_ms > 500) {
        browser_repeat_ms = now;
        if (up) {
            file_browser_select_previous(app);
            refresh_root(app);
        }
        if (down) {
            file_browser_select_next(app);
            refresh_root(app);
        }
    }
}

void run_deferred_requests(AppContext& app) {
    auto& requests = app.deferred_requests;
    if (requests.request_countdown > 0) --requests.request_countdown;
    if (requests.request_countdown != 0) return;
    if (requests.request_open_selected) {
        requests.request_open_selected = 0;
        open_selected_scripts(app);
    }
    if (requests.request_open_paths) {
        requests.request_open_paths = 0;
        open_script_paths(app);
    }
    if (requests.request_native_open) {
        requests.request_native_open = 0;
        run_native_open_script_dialog(app);
    }
    if (requests.request_native_export) {
        requests.request_native_export = 0;
        choose_export_folder(app);
    }
    if (app.dialogs.confirm_accepted) {
        app.dialogs.confirm_accepted = 0;
        finish_confirmed_action(app);
    }
    if (requests.request_countdown == 0) requests.request_countdown = -1;
}

void step_environment_switch(AppContext& app) {
    if (app.bars.pending_environment_index < 0) return;
    if (app.bars.environment_switch_countdown >= 1) {
        --app.bars.environment_switch_countdown;
    } else {
        switch_to_pending_environment(app);
    }
}

void step_parameter_pushes(AppContext& app) {
    if (EntityRecord* entity = selected_parameter_entity(app)) {
        if (entity->push_pending) {
            entity->push_pending = 0;
            push_selected_entity_parameters(app);
        }
    }
    const int32_t index = app.deferred_requests.pending_parameter_push;
    if (index >= 0) {
        app.deferred_requests.pending_parameter_push = -1;
        // An index, not a pointer: the entity vector may have grown since.
        EntitySet* set = app.entities.current_entities;
        if (set != nullptr && index < set->count && static_cast<size_t>(index) < set->records.size()) {
            push_entity_parameters(app, &set->records[static_cast<size_t>(index)], false);
        }
    }
}

bool zoom_in(AppContext& app) {
    auto& c = app.camera;
    if (c.orbit_distance >= c.max_orbit_distance) return false;
    c.orbit_distance = std::min(c.orbit_distance + c.zoom_rate * c.orbit_distance, c.max_orbit_distance);
    return true;
}

bool zoom_out(AppContext& app) {
    auto& c = app.camera;
    if (c.orbit_distance <= c.min_orbit_distance) return false;
    c.orbit_distance = std::max(c.orbit_distance - c.zoom_rate * c.orbit_distance, c.min_orbit_distance);
    return true;
}

// eye += direction x scale; look-at follows; height kept under the
// vertical lock.
void shift_eye(Camera& camera, const Vec3& direction, double scale) {
    for (int axis = 0; axis < 3; ++axis) {
        if (axis == 1 && camera.vertical_lock) continue;
        camera.eye[axis] += direction[axis] * scale;
        camera.look_at[axis] = camera.eye[axis] + camera.forward[axis];
    }
}

bool apply_pending_drag(AppContext& app) {
    auto& c = app.camera;
    if (!c.pending_camera_update.pending) return false;
    const std::array<double, 3>& p = c.pending_camera_update.values;
    Camera& camera = c.live_camera;
    if (c.camera_controller == 1 && c.camera_drag.pan_modifier) {
        for (int axis = 0; axis < 3; ++axis) {
            camera.eye[axis] =
                c.camera_drag.start_eye[axis] + (camera.right[axis] * p[0] + camera.upright[axis] * p[1]) * camera.speed;
            camera.look_at[axis] = camera.eye[axis] + camera.forward[axis];
        }
    } else if (c.camera_controller == 0) {
        c.orbit_angle_x = p[0];
        c.orbit_angle_y = p[1];
    } else {
        set_camera_look_vector(camera, p[0], p[1], p[2]);
    }
    c.pending_camera_update.pending = false;
    return true;
}

}  // namespace

int32_t app_on_tick(PlatformListener*) {
    if (AppContext* app = app_instance) app_tick(*app);
    return 0;
}

void app_tick(AppContext& app) {
    const int64_t now = now_ms();
    step_browser_repeat(app, now);
    if (!app.startup.startup_finished) {
        step_startup_sequence(app);
        return;
    }
    if (app.status.fade_active) {
        step_ui_transition(app);
        return;
    }
    run_deferred_requests(app);
    step_environment_switch(app);
    step_parameter_pushes(app);
    if (app.status.hint_bar_shown) update_tooltip_panel(app);
    if (app.ui_flags.camera_locked || any_popup_open(app)) return;
    step_camera_motion(app);
}

void step_camera_motion(AppContext& app) {
    auto& c = app.camera;
    Camera& camera = c.live_camera;
    const int64_t now = now_ms();
    double dt = last_motion_ms == 0 ? nominal_dt : static_cast<double>(now - last_motion_ms) * 0.5 / 10.0;
    dt = std::clamp(dt, 0.0, max_dt);
    last_motion_ms = now;
    const Vec3 eye_before = camera.eye;
    bool moved = false;
    double h = 0.0, v = 0.0;

    if (c.camera_controller == 0) {
        if (held(app, 'W')) moved |= zoom_in(app);
        if (held(app, 'S')) moved |= zoom_out(app);
        if (!c.camera_drag.active) {
            if (held(app, 'A')) h -= 4.0 * dt;
            if (held(app, 'D')) h += 4.0 * dt;
            if (held(app, 'Q')) v += 4.0 * dt;
            if (held(app, 'E')) v -= 4.0 * dt;
        }
    } else {
        const double step = camera.speed * dt;
        if (held(app, 'A')) shift_eye(camera, camera.right, -step), moved = true;
        if (held(app, 'W')) move_camera_forward(camera, dt), moved = true;
        if (held(app, 'D')) shift_eye(camera, camera.right, step), moved = true;
        if (held(app, 'S')) move_camera_backward(camera, dt), moved = true;
        if (held(app, 'Q')) shift_eye(camera, camera.upright, step), moved = true;
        if (held(app, 'E')) shift_eye(camera, camera.upright, -step), moved = true;
    }

    if (c.zoom_steps > 0) {
        if (c.camera_controller == 0) moved |= zoom_in(app);
        else move_camera_forward(camera, dt), moved = true;
        --c.zoom_steps;
    } else if (c.zoom_steps < 0) {
        if (c.camera_controller == 0) moved |= zoom_out(app);
        else move_camera_backward(camera, dt), moved = true;
        ++c.zoom_steps;
    }

    if (c.camera_controller == 1 && c.camera_drag.pan_modifier) {
        for (int axis = 0; axis < 3; ++axis) c.camera_drag.start_eye[axis] += camera.eye[axis] - eye_before[axis];
    }

    if (c.camera_drag.active) moved |= apply_pending_drag(app);

    if (!c.camera_drag.active) {
        if (arrow_held(app, KEY_LEFT)) h -= 4.0 * dt;
        if (arrow_held(app, KEY_RIGHT)) h += 4.0 * dt;
        if (arrow_held(app, KEY_UP)) v -= 4.0 * dt;
        if (arrow_held(app, KEY_DOWN)) v += 4.0 * dt;
        if ((h != 0.0 || v != 0.0) && !app.ui_flags.camera_locked) {
            begin_camera_drag(app, 0, 0);
            if (c.camera_drag.active) {
                const double size = std::max(app.frame.window_width, app.frame.window_height);
                drag_camera(app, truncate_to_int(size * h / 720.0), truncate_to_int(size * v / 720.0), 3);
                moved |= apply_pending_drag(app);
            }
            c.camera_drag.active = false;
        }
    }

    if (app.bars.multi_view_enabled) save_cell_camera_state(app);
    if (moved) {
        call_hook(app.hooks.update_attribute_trace, app);
        update_fps_readout(app);
        app.frame.needs_redraw = 1;
        refresh_root(app);
    }
}

void reset_app_tick_for_tests() {
    browser_key_press_ms = 0;
    browser_repeat_ms = 0;
    last_motion_ms = 0;
}

#include "render/camera_directives.h"

#include <algorithm>
#include <cmath>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "model/entity.h"
#include "model/environment.h"
#include "model/rotation.h"
#include "render/camera_control.h"
#include "render/redraw.h"
#include "render/status_line.h"
#include "ui/element.h"
#include "ui/ui_state.h"

namespace {

void apply_preset(AppContext& app, const Vec3& angles, const Vec3& direction) {
    const int32_t c = app.camera.camera_controller;
    if (c == CAMERA_OBJECT_ORBIT) {
        app.camera.orbit_angle_x = angles[0];
        app.camera.orbit_angle_y = angles[1];
        app.camera.orbit_angle_z = angles[2];
    } else if (c == CAMERA_FREE_ROAM || c == CAMERA_FIRST_PERSON) {
        Camera& cam = app.camera.live_camera;
        set_camera_look_vector(cam, direction[0], direction[1], direction[2]);
        for (size_t i = 0; i < 3; ++i) cam.look_at[i] = cam.eye[i] + cam.forward[i];
    }
    update_attribute_trace(app);
    if (app.bars.multi_view) save_cell_camera_state(app);
}

// The entity of the current set with this serial id, or null.
const EntityRecord* entity_by_serial(const AppContext& app, int32_t serial) {
    if (serial < 0 || app.entities.current_entities == nullptr) return nullptr;
    const EntitySet& set = *app.entities.current_entities;
    const size_t n = std::min(set.records.size(), static_cast<size_t>(std::max(set.count, 0)));
    for (size_t i = 0; i < n; ++i)
        if (set.records[i].serial_id == serial) return &set.records[i];
    return nullptr;
}

Vec3 rotated_up(const EntityRecord& e) {
    Vec3 up = {0.0, 1.0, 0.0};
    if (e.rotation_order < 0 || e.rotation_order > 5) return up;
    const char* order = rotation_order_labels[e.rotation_order];
    for (int i = 0; i < 3; ++i) {
        const double angle = e.euler_angles[static_cast<size_t>(order[i] - 'X')];
        if (angle == 0.0) continue;
        if (order[i] == 'X') rotate_about_x_degrees(up[1], up[2], angle);
        if (order[i] == 'Y') rotate_about_y_degrees(up[0], up[2], angle);
        if (order[i] == 'Z') rotate_about_z_degrees(up[0], up[1], angle);
    }
    const double len = std::sqrt(up[0] * up[0] + up[1] * up[1] + up[2] * up[2]);
    if (len > 0.0)
        for (double& v : up) v /= len;
    return up;
}

void finish(AppContext& app) {
    update_attribute_trace(app);
    request_redraw(app);
    refresh_root(app);
}

template <typename Fn>
void on_published(Fn fn) {
    if (AppContext* app = app_instance) fn(*app);
}

}  // namespace

void view_top(AppContext& app) { apply_preset(app, {90, 0, 0}, {0, -0.99875, -0.00125}); }
void view_base(AppContext& app) { apply_preset(app, {-90, 0, 0}, {0, 0.99875, 0.00125}); }
void view_left(AppContext& app) { apply_preset(app, {0, 90, 0}, {-1, 0, 0}); }
void view_right(AppContext& app) { apply_preset(app, {0, -90, 0}, {1, 0, 0}); }
void view_front(AppContext& app) { apply_preset(app, {0, 0, 0}, {0, 0, -1}); }
void view_back(AppContext& app) { apply_preset(app, {0, 180, 0}, {0, 0, 1}); }

void apply_camera_directive_pose(AppContext& app, int32_t k) {
    if (k < 0 || k >= app.bars.camera_directive_count) return;
    const size_t at = static_cast<size_t>(k) * 6;
    const std::vector<double>& values = app.bars.directive_table.directive_values;
    const std::vector<int32_t>& ids = app.bars.directive_table.directive_ids;
    if (values.size() < at + 6) return;
    Vec3 e = {values[at], values[at + 1], values[at + 2]};
    Vec3 l = {values[at + 3], values[at + 4], values[at + 5]};
    Vec3 up = {0.0, 1.0, 0.0};
    const int32_t serial = static_cast<size_t>(k) < ids.size() ? ids[static_cast<size_t>(k)] : -1;
    if (const EntityRecord* entity = entity_by_serial(app, serial)) {
        entity_transform_point(*entity, e[0], e[1], e[2]);
        entity_transform_point(*entity, l[0], l[1], l[2]);
        up = rotated_up(*entity);
    }
    if (app.render_flags.orbit_about_centre) {
        const Vec3 centre = environment_bounds_centre(app);
        for (size_t i = 0; i < 3; ++i) e[i] -= centre[i], l[i] -= centre[i];
    }
    Camera& cam = app.camera.live_camera;
    cam.up = up;
    for (size_t i = 0; i < 3; ++i) cam.eye[i] = e[i] * app.io_settings.world_scale;
    look_at_target(app, true, l[0], l[1], l[2]);
    app.bars.selected_directive = k;
}

void apply_clicked_camera_directive(AppContext& app) {
    if (app.ui_flags.camera_locked || hover_element == nullptr) return;
    const int32_t k = hover_element->user_index;
    if (k < 0) return;
    apply_camera_directive_pose(app, k);
    finish(app);
}

void apply_previous_camera_directive(AppContext& app) {
    const int32_t n = app.bars.camera_directive_count;
    if (n <= 0) return;
    const int32_t k = app.bars.selected_directive;
    apply_camera_directive_pose(app, k >= n ? n - 1 : k > 0 ? k - 1 : 0);
    finish(app);
}

void apply_next_camera_directive(AppContext& app) {
    const int32_t n = app.bars.camera_directive_count;
    if (n <= 0) return;
    const int32_t k = app.bars.selected_directive;
    apply_camera_directive_pose(app, k >= n - 1 ? n - 1 : k < 0 ? 0 : k + 1);
    finish(app);
}

void apply_clicked_camera_directive() { on_published([](AppContext& a) { apply_clicked_camera_directive(a); }); }
void apply_previous_camera_directive() { on_published([](AppContext& a) { apply_previous_camera_directive(a); }); }
void apply_next_camera_directive() { on_published([](AppContext& a) { apply_next_camera_directive(a); }); }

#include "model/camera.h"

#include <algorithm>
#include <cmath>

#include "model/entity.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kPitchLimit = 89.95;
// How far a straight-up or straight-down direction is leaned before it is
// turned, the same lean as the vertical preset views.
constexpr double kVerticalLean = 0.00125;

double radians(double degrees) { return degrees / 180.0 * kPi; }

double length_of(const Vec3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

Vec3 normalised(const Vec3& v) {
    const double len = length_of(v);
    if (len == 0.0) return v;
    return {v[0] / len, v[1] / len, v[2] / len};
}

Vec3 negated(const Vec3& v) { return {-v[0], -v[1], -v[2]}; }

void rebuild_side_vectors(Camera& camera, const Vec3& direction) {
    camera.right = cross_normalised(direction, camera.up);
    camera.upright = cross_normalised(camera.forward, negated(camera.right));
}

void step_along_forward(Camera& camera, double amount) {
    Camera& c = camera;
    c.eye[0] += amount * c.forward[0];
    c.eye[2] += amount * c.forward[2];
    c.look_at[0] = c.eye[0] + c.forward[0];
    c.look_at[2] = c.eye[2] + c.forward[2];
    if (!c.ground_anchored) {
        c.eye[1] += amount * c.forward[1];
        c.look_at[1] = c.eye[1] + c.forward[1];
    }
}

// A direction with no horizontal part is leaned a little towards -upright
// (or, without an upright, towards -z looking down and +z looking up), so
// that a yaw has something to turn.
Vec3 lean_if_vertical(const Vec3& f, const Vec3& upright) {
    if (f[0] * f[0] + f[2] * f[2] != 0.0 || f[1] == 0.0) return f;
    const bool has_upright = upright[0] * upright[0] + upright[2] * upright[2] > 0.0;
    Vec3 leaned;
    if (has_upright) {
        const Vec3 u = normalised(upright);
        leaned = {-kVerticalLean * u[0], f[1] * (1.0 - kVerticalLean), -kVerticalLean * u[2]};
    } else {
        const double s = f[1] > 0.0 ? 1.0 : -1.0;
        leaned = {0.0, s * (1.0 - kVerticalLean), s * kVerticalLean};
    }
    return normalised(leaned);
}

using Mat4 = std::array<double, 16>;

constexpr Mat4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
            r[col * 4 + row] = sum;
        }
    return r;
}

// Right-handed rotation about one axis; exactly 0 needs no trigonometry.
Mat4 axis_rotation(char axis, double degrees) {
    if (degrees == 0.0) return kIdentity;
    const double c = std::cos(radians(degrees)), s = std::sin(radians(degrees));
    switch (axis) {
    case 'X':
        return {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
    case 'Y':
        return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
    default:
        return {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    }
}

Mat4 compose_transform(const Vec3& translation, const Vec3& scale, const Vec3& angles, int32_t rotation_order,
                       int32_t transform_order) {
    const char* rotations = rotation_order_labels[std::clamp(rotation_order, 0, 5)];
    const char* steps = transform_order_labels[std::clamp(transform_order, 0, 5)];
    // The first letter applies first, so it ends up rightmost.
    Mat4 r = kIdentity;
    for (int i = 0; i < 3; ++i) {
        const int axis = rotations[i] - 'X';
        r = multiply(axis_rotation(rotations[i], angles[static_cast<size_t>(axis)]), r);
    }
    Mat4 s = kIdentity;
    s[0] = scale[0], s[5] = scale[1], s[10] = scale[2];
    Mat4 t = kIdentity;
    t[12] = translation[0], t[13] = translation[1], t[14] = translation[2];
    Mat4 m = kIdentity;
    for (int i = 0; i < 3; ++i) m = multiply(steps[i] == 'R' ? r : steps[i] == 'S' ? s : t, m);
    return m;
}

void store_matrix(EntityRecord& entity, const Mat4& m) {
    entity.transform_matrix = m;
    for (size_t i = 0; i < 16; ++i) entity.transform_matrix_f[i] = static_cast<float>(m[i]);
    if (entity.parallel != 1) return;
    for (EntityRecord* sub : entity.subelement_records) {
        if (sub == nullptr) continue;
        sub->transform_matrix = entity.transform_matrix;
        sub->transform_matrix_f = entity.transform_matrix_f;
    }
}

}  // namespace

Vec3 cross_normalised(const Vec3& a, const Vec3& b) {
    return normalised({a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]});
}

void update_camera_basis(Camera& camera) {
    Camera& c = camera;
    c.forward = normalised({c.look_at[0] - c.eye[0], c.look_at[1] - c.eye[1], c.look_at[2] - c.eye[2]});
    rebuild_side_vectors(c, c.forward);
    for (size_t i = 0; i < 3; ++i) c.look_at[i] = c.eye[i] + c.forward[i];
}

void set_camera_look_vector(Camera& camera, double vx, double vy, double vz) {
    const Vec3 v = {vx, vy, vz};
    for (size_t i = 0; i < 3; ++i) camera.look_at[i] = camera.eye[i] + v[i];
    camera.forward = normalised(v);
    rebuild_side_vectors(camera, v);
}

void aim_camera_at(Camera& camera, const Vec3& point) {
    const Vec3 d = {point[0] - camera.eye[0], point[1] - camera.eye[1], point[2] - camera.eye[2]};
    if (length_of(d) > 0.0) camera.forward = normalised(d);
    for (size_t i = 0; i < 3; ++i) camera.look_at[i] = camera.eye[i] + camera.forward[i];
    rebuild_side_vectors(camera, camera.forward);
}

void move_camera_forward(Camera& camera, double dt) { step_along_forward(camera, camera.camera_step * dt); }

void move_camera_backward(Camera& camera, double dt) { step_along_forward(camera, -camera.camera_step * dt); }

void reset_camera_to_home(Camera& camera) {
    Camera& c = camera;
    c.up = c.home_up;
    c.eye = c.home_eye;
    const Vec3 d = {c.home_look_at[0] - c.home_eye[0], c.home_look_at[1] - c.home_eye[1],
                    c.home_look_at[2] - c.home_eye[2]};
    c.forward = normalised(d);
    for (size_t i = 0; i < 3; ++i) c.look_at[i] = c.eye[i] + c.forward[i];
    rebuild_side_vectors(c, c.forward);
}

bool compute_camera_drag(const CameraDrag& drag, int32_t controller, int32_t x, int32_t y, int32_t source,
                         double longer_side, const Vec3& upright, PendingCameraUpdate& out) {
    if (controller < 0 || controller > 2) return false;
    const double m = longer_side > 0.0 ? longer_side : 1.0;
    const double h = 360.0 * (static_cast<double>(x) - drag.start_x) / m;
    const double v = 360.0 * (static_cast<double>(y) - drag.start_y) / m;
    if (controller == 0) {
        out.values = {drag.start_orbit_angles[0] + v, drag.start_orbit_angles[1] + h, 0.0};
        out.pending = true;
        return true;
    }
    if (controller == 1 && drag.pan_active && source != KEY_DRAG_SOURCE) {
        out.values = {-h / 10.0, v / 10.0, 0.0};
        out.pending = true;
        return true;
    }
    // Yaw about the vertical, then a pitch clamped short of the poles.
    const Vec3 f = lean_if_vertical(drag.start_forward, upright);
    const double ch = std::cos(radians(h)), sh = std::sin(radians(h));
    const double x1 = f[0] * ch - f[2] * sh;
    const double z1 = f[0] * sh + f[2] * ch;
    const double r = std::sqrt(f[0] * f[0] + f[2] * f[2]);
    Vec3 result = {0.0, 0.0, 0.0};
    if (r > 0.0) {
        const double p = std::atan2(f[1], r) * 180.0 / kPi;
        const double d = std::clamp(-v, -kPitchLimit - p, kPitchLimit - p);
        const double cd = std::cos(radians(d)), sd = std::sin(radians(d));
        const double y2 = f[1] * cd + r * sd;
        const double r2 = r * cd - f[1] * sd;
        result = normalised({x1 * r2 / r, y2, z1 * r2 / r});
    }
    out.values = result;
    out.pending = true;
    return true;
}

void build_entity_transform_matrix(EntityRecord& entity) {
    if (entity.is_element) return;
    store_matrix(entity, kIdentity);
    if (entity_transform_is_identity(entity)) return;
    const double u = entity.uniform_scale;
    const Vec3 scale = {u * entity.axis_scale[0], u * entity.axis_scale[1], u * entity.axis_scale[2]};
    store_matrix(entity, compose_transform(entity.translation, scale, entity.euler_angles, entity.rotation_order,
                                           entity.transform_order));
}

std::array<double, 16> orbit_view_matrix(double zoom, double a, double b, double c) {
    return compose_transform({0.0, 0.0, 0.0}, {zoom, zoom, zoom}, {a, b, c}, ROTATION_ZYX, TRANSFORM_RST);
}

void store_camera_part(const Camera& camera, CameraSlot& slot) {
    slot.eye = camera.eye;
    slot.look_at = camera.look_at;
    slot.up = camera.up;
    slot.field_of_view = camera.fov;
    slot.near_plane = camera.near;
    slot.far_plane = camera.far;
}

void load_camera_part(const CameraSlot& slot, Camera& camera) {
    camera.eye = slot.eye;
    camera.look_at = slot.look_at;
    camera.up = slot.up;
    camera.fov = slot.field_of_view;
    camera.near = slot.near_plane;
    camera.far = slot.far_plane;
}

#pragma once
#include <array>
#include <cstdint>

#include "model/view_state.h"

// The camera of the 3D view and the vector maths that keeps its basis
// consistent. Plain records and free functions, no GL: the renderer reads the
// camera, the controllers (render/camera_control.h) write it.

struct EntityRecord;

using Vec3 = std::array<double, 3>;

struct Camera {
    Vec3 eye = {-1.0, 1.0, 3.0};
    // Lies at eye + forward after every basis update.
    Vec3 look_at = {0.0, 0.0, 0.0};
    Vec3 up = {0.0, 1.0, 0.0};
    double fov = 60.0;  // vertical, degrees
    double near = 0.01;
    double far = 1000.0;
    // Derived from the six above by update_camera_basis.
    Vec3 forward = {0.0, 0.0, 0.0};
    Vec3 right = {0.0, 0.0, 0.0};    // forward x up
    Vec3 upright = {0.0, 0.0, 0.0};  // forward x -right: the camera's own up
    // Held-key step length.
    double camera_step = 0.125;
    double eye_height = 1.75;
    // Set exactly while the first-person controller drives the camera: held
    // keys then never change the y of eye and look-at.
    bool ground_anchored = false;
    Vec3 home_eye = {-1.0, 1.0, 3.0};
    Vec3 home_look_at = {0.0, 0.0, 0.0};
    Vec3 home_up = {0.0, 1.0, 0.0};
};

// A pointer or key-driven drag in progress.
struct CameraDrag {
    bool camera_drag_active = false;
    int32_t start_x = 0;
    int32_t start_y = 0;
    Vec3 start_orbit_angles = {0.0, 0.0, 0.0};
    Vec3 start_forward = {0.0, 0.0, 0.0};
    // Shift or control was held when the drag began (free-roam pans).
    bool pan_active = false;
    Vec3 start_eye = {0.0, 0.0, 0.0};
};

// What the latest drag event asks of the camera; the tick applies it.
struct PendingCameraUpdate {
    Vec3 values = {0.0, 0.0, 0.0};
    bool pending = false;
};

// The stored camera of one viewport cell: object-orbit, free-roam and
// first-person eye and look-at (6 each), then orbit distance and angles.
constexpr int32_t CAMERA_STATE_SIZE = CAMERA_STATE_DOUBLES;
constexpr std::array<double, CAMERA_STATE_SIZE> initial_camera_state = {
    0, 0, 10, 0, 0, 0, -1, 1, 3, 0, 0, 0, -1, 1.75, 3, 0, 0.75, 0, 4, 30, 30, 0};

// The source that marks a key-driven drag (which never pans).
constexpr int32_t KEY_DRAG_SOURCE = 3;

// a x b divided by its length; a zero product comes back as it is.
Vec3 cross_normalised(const Vec3& a, const Vec3& b);

// forward = unit(look_at - eye), right and upright from it, then
// look_at = eye + forward. A zero direction keeps its (zero) value.
void update_camera_basis(Camera& camera);
// look_at = eye + v, forward = unit(v); right and upright rebuilt.
void set_camera_look_vector(Camera& camera, double vx, double vy, double vz);
// Aims at a point; when the point is the eye the old forward is kept.
void aim_camera_at(Camera& camera, const Vec3& point);
// One held-key step of speed * dt along forward (backward: against it).
// x and z always, y only without the vertical lock; look_at follows.
void move_camera_forward(Camera& camera, double dt);
void move_camera_backward(Camera& camera, double dt);
// The camera part of a controller's slot (eye, look-at, up, field of view,
// near, far): stored from the camera, or loaded into it.
void store_camera_part(const Camera& camera, CameraSlot& slot);
void load_camera_part(const CameraSlot& slot, Camera& camera);
// Puts the camera back at its home: eye, up and the direction to home_look_at.
void reset_camera_to_home(Camera& camera);

// The pending update of a drag at (x, y) for a controller, with `longer_side`
// the larger window dimension in pixels (a drag across it is one turn).
// `upright` is the camera's own up, used to lean a start direction that points
// straight up or down. False (nothing pending) for an unknown controller.
bool compute_camera_drag(const CameraDrag& drag, int32_t controller, int32_t x, int32_t y, int32_t source,
                         double longer_side, const Vec3& upright, PendingCameraUpdate& out);

// Rebuilds the entity's matrices (column-major, double and float) from its
// transform fields; sub-element records of a parallel entity receive copies.
// Records with a fixed transform are left alone.
void build_entity_transform_matrix(EntityRecord& entity);
// The matrix of the object-orbit view: scale `zoom`, angles (a about x, b
// about y, c about z) in "ZYX" order and "RST" transformation order.
std::array<double, 16> orbit_view_matrix(double zoom, double a, double b, double c);

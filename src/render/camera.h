#pragma once
#include <array>
#include <cstdint>

// The camera that draws the 3D view and the state of a pointer drag. Pure
// arithmetic, no GL: the application context holds both by value.

using Vec3 = std::array<double, 3>;

struct Camera {
    Vec3 eye = {-1.0, 1.0, 3.0};
    Vec3 look_at = {0.0, 0.0, 0.0};
    Vec3 up = {0.0, 1.0, 0.0};
    double fov = 60.0;
    double near = 0.01;
    double far = 1000.0;
    // Derived from eye, look_at and up by update_camera_basis.
    Vec3 forward = {0.0, 0.0, 0.0};
    Vec3 right = {0.0, 0.0, 0.0};
    Vec3 upright = {0.0, 0.0, 0.0};
    double speed = 0.125;
    double eye_height = 1.75;
    // Set exactly while the first-person controller is active.
    bool vertical_lock = false;
    Vec3 home_eye = {-1.0, 1.0, 3.0};
    Vec3 home_look_at = {0.0, 0.0, 0.0};
    Vec3 home_up = {0.0, 1.0, 0.0};
};

// A camera drag in progress: where it started and what the camera was then.
struct CameraDrag {
    bool active = false;
    int32_t start_x = 0;
    int32_t start_y = 0;
    Vec3 start_orbit_angles = {0.0, 0.0, 0.0};
    Vec3 start_forward = {0.0, 0.0, 0.0};
    // Shift or control was held at the press.
    bool pan_modifier = false;
    Vec3 start_eye = {0.0, 0.0, 0.0};
};

// a x b divided by its length; a zero-length product comes back as it is.
Vec3 cross_normalised(const Vec3& a, const Vec3& b);

// Derives forward (unit look_at - eye, left as is when zero), right and
// upright from eye, look_at and up, then puts look_at at eye + forward.
void update_camera_basis(Camera& camera);

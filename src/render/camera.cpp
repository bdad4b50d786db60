#include "render/camera.h"

#include <cmath>

namespace {
Vec3 normalised(const Vec3& v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0) return v;
    return {v[0] / length, v[1] / length, v[2] / length};
}
}  // namespace

Vec3 cross_normalised(const Vec3& a, const Vec3& b) {
    return normalised({a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]});
}

void update_camera_basis(Camera& camera) {
    camera.forward = normalised({camera.look_at[0] - camera.eye[0], camera.look_at[1] - camera.eye[1],
                                 camera.look_at[2] - camera.eye[2]});
    camera.right = cross_normalised(camera.forward, camera.up);
    camera.upright = cross_normalised(camera.forward, {-camera.right[0], -camera.right[1], -camera.right[2]});
    for (int i = 0; i < 3; ++i) camera.look_at[i] = camera.eye[i] + camera.forward[i];
}

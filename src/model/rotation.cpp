#include "model/rotation.h"

#include <cmath>

static double degrees_to_radians(double angle) { return angle / 180.0 * 3.141592653589793; }

void rotate_about_z_degrees(double& x, double& y, double angle) {
    const double t = degrees_to_radians(angle);
    const double c = std::cos(t), s = std::sin(t);
    const double nx = x * c - y * s;
    const double ny = x * s + y * c;
    x = nx;
    y = ny;
}

void rotate_about_y_degrees(double& x, double& z, double angle) {
    const double t = degrees_to_radians(angle);
    const double c = std::cos(t), s = std::sin(t);
    const double nx = x * c + z * s;
    const double nz = -x * s + z * c;
    x = nx;
    z = nz;
}

void rotate_about_x_degrees(double& y, double& z, double angle) {
    const double t = degrees_to_radians(angle);
    const double c = std::cos(t), s = std::sin(t);
    const double ny = y * c - z * s;
    const double nz = y * s + z * c;
    y = ny;
    z = nz;
}

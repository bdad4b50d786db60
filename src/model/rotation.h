#pragma once

// In-place rotations of a coordinate pair by an angle in degrees
// (right-handed, theta = angle / 180 * pi).

// (x, y) about z.
void rotate_about_z_degrees(double& x, double& y, double angle);
// (x, z) about y.
void rotate_about_y_degrees(double& x, double& z, double angle);
// (y, z) about x.
void rotate_about_x_degrees(double& y, double& z, double angle);

#pragma once
#include <algorithm>
#include <cmath>

// Signed-distance primitives and combinators for the icon scenes. All sizes
// are half-extents (or radii); every function is a closed form with no
// allocation, since the tracer calls scenes millions of times at start-up.

// A scene: writes the colour of the nearest part into rgba when rgba is not
// null, and returns the same signed distance either way.
using IconSdf = double (*)(double* rgba, double x, double y, double z);

inline double sdf_length2(double x, double y) { return std::sqrt(x * x + y * y); }
inline double sdf_length3(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }
inline double sdf_sign(double v) { return v > 0.0 ? 1.0 : (v < 0.0 ? -1.0 : 0.0); }
inline double sdf_clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Exact signed distance from p to the triangle a, b, c (negative inside), for
// either winding.
inline double sdf_triangle_2d(double px, double py, double ax, double ay, double bx, double by,
                              double cx, double cy) {
    const double e0x = bx - ax, e0y = by - ay;
    const double e1x = cx - bx, e1y = cy - by;
    const double e2x = ax - cx, e2y = ay - cy;
    const double v0x = px - ax, v0y = py - ay;
    const double v1x = px - bx, v1y = py - by;
    const double v2x = px - cx, v2y = py - cy;
    const double h0 = sdf_clamp((v0x * e0x + v0y * e0y) / (e0x * e0x + e0y * e0y), 0.0, 1.0);
    const double h1 = sdf_clamp((v1x * e1x + v1y * e1y) / (e1x * e1x + e1y * e1y), 0.0, 1.0);
    const double h2 = sdf_clamp((v2x * e2x + v2y * e2y) / (e2x * e2x + e2y * e2y), 0.0, 1.0);
    const double q0x = v0x - e0x * h0, q0y = v0y - e0y * h0;
    const double q1x = v1x - e1x * h1, q1y = v1y - e1y * h1;
    const double q2x = v2x - e2x * h2, q2y = v2y - e2y * h2;
    const double s = sdf_sign(e0x * e2y - e0y * e2x);
    const double dist = std::min({q0x * q0x + q0y * q0y, q1x * q1x + q1y * q1y, q2x * q2x + q2y * q2y});
    const double area = std::min({s * (v0x * e0y - v0y * e0x), s * (v1x * e1y - v1y * e1x),
                                  s * (v2x * e2y - v2y * e2x)});
    return -std::sqrt(dist) * sdf_sign(area);
}

// Sweeps a 2D distance d along the axis coordinate w with full thickness h.
inline double sdf_extrude(double d, double w, double h) {
    const double u = std::fabs(w) - h * 0.5;
    const double a = std::max(d, 0.0), b = std::max(u, 0.0);
    return std::min(std::max(d, u), 0.0) + std::sqrt(a * a + b * b);
}

inline double sdf_sphere(double x, double y, double z, double r) { return sdf_length3(x, y, z) - r; }

inline double sdf_box(double x, double y, double z, double bx, double by, double bz) {
    const double dx = std::fabs(x) - bx, dy = std::fabs(y) - by, dz = std::fabs(z) - bz;
    const double ox = std::max(dx, 0.0), oy = std::max(dy, 0.0), oz = std::max(dz, 0.0);
    return std::sqrt(ox * ox + oy * oy + oz * oz) + std::min(std::max({dx, dy, dz}), 0.0);
}

inline double sdf_cube(double x, double y, double z, double b) { return sdf_box(x, y, z, b, b, b); }

// Outer size stays b; edges are rounded by e.
inline double sdf_round_box(double x, double y, double z, double bx, double by, double bz, double e) {
    return sdf_box(x, y, z, bx - e, by - e, bz - e) - e;
}

// Cylinder-like primitives take the two coordinates across their axis (u, v)
// and the coordinate along it (a).
inline double sdf_cylinder(double u, double v, double a, double r, double h) {
    const double d1 = sdf_length2(u, v) - r, d2 = std::fabs(a) - h;
    const double o1 = std::max(d1, 0.0), o2 = std::max(d2, 0.0);
    return std::min(std::max(d1, d2), 0.0) + std::sqrt(o1 * o1 + o2 * o2);
}

inline double sdf_round_cylinder(double u, double v, double a, double r, double h, double e) {
    return sdf_cylinder(u, v, a, r - e, h - e) - e;
}

// Cylinder whose cross-section distance rho is given directly (used to sweep
// a disc around a segment, making a stadium-shaped slab).
inline double sdf_cylinder_rho(double rho, double a, double r, double h) {
    const double d1 = rho - r, d2 = std::fabs(a) - h;
    const double o1 = std::max(d1, 0.0), o2 = std::max(d2, 0.0);
    return std::min(std::max(d1, d2), 0.0) + std::sqrt(o1 * o1 + o2 * o2);
}

inline double sdf_capsule(double u, double v, double a, double h, double r) {
    const double aa = a - sdf_clamp(a, -h, h);
    return sdf_length3(u, v, aa) - r;
}

inline double sdf_torus(double u, double v, double a, double ring, double tube) {
    const double k = sdf_length2(u, v) - ring;
    return std::sqrt(k * k + a * a) - tube;
}

inline double sdf_octahedron(double x, double y, double z, double s) {
    const double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    const double m = ax + ay + az - s;
    double u, v, w;
    if (3.0 * ax < m) {
        u = ax; v = ay; w = az;
    } else if (3.0 * ay < m) {
        u = ay; v = az; w = ax;
    } else if (3.0 * az < m) {
        u = az; v = ax; w = ay;
    } else {
        return m * 0.57735027;
    }
    const double k = sdf_clamp((w - v + s) * 0.5, 0.0, s);
    return sdf_length3(u, v - s + k, w - k);
}

// Apex at a = 0, base disc of radius r at a = -height.
inline double sdf_cone(double u, double v, double a, double r, double height) {
    const double rho = sdf_length2(u, v);
    const double qx = r, qy = -height;
    const double t = sdf_clamp((rho * qx + a * qy) / (qx * qx + qy * qy), 0.0, 1.0);
    const double ax = rho - qx * t, ay = a - qy * t;
    const double bx = rho - r * sdf_clamp(rho / r, 0.0, 1.0), by = a + height;
    const double d = std::min(ax * ax + ay * ay, bx * bx + by * by);
    return std::sqrt(d) * sdf_sign(std::max(rho * height + a * r, -(a + height)));
}

// Exact signed distance to a closed 2D polygon of n vertices (u, v pairs).
inline double sdf_polygon_2d(const double* pts, int n, double pu, double pv) {
    double d = (pu - pts[0]) * (pu - pts[0]) + (pv - pts[1]) * (pv - pts[1]);
    double s = 1.0;
    for (int i = 0, j = n - 1; i < n; j = i, ++i) {
        const double viu = pts[2 * i], viv = pts[2 * i + 1];
        const double vju = pts[2 * j], vjv = pts[2 * j + 1];
        const double eu = vju - viu, ev = vjv - viv;
        const double wu = pu - viu, wv = pv - viv;
        const double h = sdf_clamp((wu * eu + wv * ev) / (eu * eu + ev * ev), 0.0, 1.0);
        const double bu = wu - eu * h, bv = wv - ev * h;
        d = std::min(d, bu * bu + bv * bv);
        const bool c1 = pv >= viv, c2 = pv < vjv, c3 = eu * wv > ev * wu;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

inline double sdf_union(double a, double b) { return std::min(a, b); }
inline double sdf_intersect(double a, double b) { return std::max(a, b); }
inline double sdf_subtract(double a, double b) { return std::max(a, -b); }

// Rotation of an object by angle a about a coordinate axis: its primitives
// are evaluated at the returned point. c = cos a, s = sin a.
inline void sdf_turn_about_y(double x, double z, double c, double s, double& xo, double& zo) {
    xo = x * c - z * s;
    zo = z * c + x * s;
}

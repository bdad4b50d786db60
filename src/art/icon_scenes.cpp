#include "art/icon_scenes.h"

// Flat colours (alpha always 1).
static const double kWhite[4] = {1.0, 1.0, 1.0, 1.0};
static const double kBlack[4] = {0.0, 0.0, 0.0, 1.0};
static const double kBlue[4] = {0.0, 0.5, 1.0, 1.0};
static const double kTint[4] = {0.4, 0.5, 0.6, 1.0};
static const double kGrey25[4] = {0.25, 0.25, 0.25, 1.0};
static const double kGrey375[4] = {0.375, 0.375, 0.375, 1.0};
static const double kGrey40[4] = {0.4, 0.4, 0.4, 1.0};
static const double kGrey50[4] = {0.5, 0.5, 0.5, 1.0};
static const double kGrey75[4] = {0.75, 0.75, 0.75, 1.0};
static const double kGrey80[4] = {0.8, 0.8, 0.8, 1.0};
static const double kGrey85[4] = {0.85, 0.85, 0.85, 1.0};
static const double kGrey90[4] = {0.9, 0.9, 0.9, 1.0};

static constexpr double kCos20 = 0.9396926207859084, kSin20 = 0.3420201433256687;
static constexpr double kCos45 = 0.7071067811865476, kSin45 = 0.7071067811865476;
static constexpr double kCos120 = -0.5, kSin120 = 0.8660254037844387;
static constexpr double kCos135 = -0.7071067811865476, kSin135 = 0.7071067811865476;
static constexpr double kCos10 = 0.984807753012208, kSin10 = 0.17364817766693033;

// Nearest-part bookkeeping of a scene of several coloured parts: a later part
// takes over only when strictly nearer, so ties keep the earlier colour.
struct NearestPart {
    double d;
    const double* colour;
    NearestPart(double d0, const double* c0) : d(d0), colour(c0) {}
    void add(double di, const double* ci) {
        if (di < d) {
            d = di;
            colour = ci;
        }
    }
    double finish(double* rgba) const {
        if (rgba) {
            rgba[0] = colour[0];
            rgba[1] = colour[1];
            rgba[2] = colour[2];
            rgba[3] = colour[3];
        }
        return d;
    }
};

static double paint(double* rgba, const double* colour, double d) {
    return NearestPart(d, colour).finish(rgba);
}

// ---- sphere family ----

double icon_sdf_sphere(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey75, sdf_sphere(x, y, z, 0.5));
}
double icon_sdf_sphere_grey(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey50, sdf_sphere(x, y, z, 0.5));
}
double icon_sdf_sphere_tinted(double* rgba, double x, double y, double z) {
    return paint(rgba, kTint, sdf_sphere(x, y, z, 0.5));
}
double icon_sdf_sphere_dark(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey40, sdf_sphere(x, y, z, 0.5));
}
double icon_sdf_visible(double* rgba, double x, double y, double z) {
    return paint(rgba, kBlue, sdf_sphere(x, y, z, 0.5));
}
double icon_sdf_hidden(double* rgba, double x, double y, double z) { return icon_sdf_sphere(rgba, x, y, z); }
double icon_sdf_material(double* rgba, double x, double y, double z) { return icon_sdf_sphere(rgba, x, y, z); }
double icon_sdf_button(double* rgba, double x, double y, double z) { return icon_sdf_sphere_dark(rgba, x, y, z); }

double icon_sdf_empty(double*, double, double, double) { return -1.0; }

// ---- shared shapes ----

// Eight-armed star in the x-y plane: a plus and the same plus turned 45°.
static double star(double x, double y, double z, double arm, double thick) {
    const double a = std::min(sdf_box(x, y, z, thick, arm, thick), sdf_box(x, y, z, arm, thick, thick));
    const double rx = x * kCos45 + y * kSin45, ry = y * kCos45 - x * kSin45;
    const double b = std::min(sdf_box(rx, ry, z, thick, arm, thick), sdf_box(rx, ry, z, arm, thick, thick));
    return std::min(a, b);
}

// The upward arrow of the selection icons.
static double select_arrow(double x, double y, double z) {
    const double head = sdf_extrude(sdf_triangle_2d(x, y, -0.425, -0.25, 0.0, 0.5, 0.425, -0.25), z, 0.3);
    const double stem = sdf_box(x, y + 0.4, z, 0.1, 0.15, 0.15);
    return std::min(head, stem);
}

// A flat ring around a segment along y: the stadium of radius r_out minus the
// stadium of radius r_in, thin along z.
static double stadium_ring(double x, double y, double z, double cx, double y0, double y1, double cz,
                           double r_out, double h_out, double r_in, double h_in) {
    const double dy = y - sdf_clamp(y, y0, y1);
    const double rho = sdf_length2(x - cx, dy);
    const double a = z - cz;
    return sdf_subtract(sdf_cylinder_rho(rho, a, r_out, h_out), sdf_cylinder_rho(rho, a, r_in, h_in));
}

static double mesh_shape(double x, double y, double z) {
    const double qx = std::fabs(std::fabs(x) - 0.25);
    const double qy = std::fabs(std::fabs(y) - 0.25);
    const double qz = std::fabs(std::fabs(z) - 0.25);
    double d = sdf_cube(qx, qy, qz, 0.275);
    d = sdf_subtract(d, sdf_box(qx, qy, qz, 0.5, 0.225, 0.225));
    d = sdf_subtract(d, sdf_box(qx, qy, qz, 0.225, 0.5, 0.225));
    d = sdf_subtract(d, sdf_box(qx, qy, qz, 0.225, 0.225, 0.5));
    return d;
}

static double projection_shape(double x, double y, double z) {
    const double s = 0.851063829787234;
    x *= s;
    y *= s;
    z *= s;
    const double t = sdf_clamp((0.85 - x) / 1.7 * 0.75 + 0.25, 0.0, 1.0);
    double d = sdf_box(x, y, z, 0.85, 0.85 * t, 0.85 * t);
    d = sdf_subtract(d, sdf_box(x, y, z, 0.8505, 0.65 * t, 0.65 * t));
    d = sdf_subtract(d, sdf_box(x, y, z, 0.65, 0.8505, 0.65 * t));
    d = sdf_subtract(d, sdf_box(x, y, z, 0.65, 0.65 * t, 0.8505));
    return d;
}

// Backing disc of the message icons, facing +x.
static double message_disc(double x, double y, double z) {
    return sdf_round_cylinder(y, z, x + 0.1, 0.5625, 0.05, 0.025);
}

// ---- scenes in id order ----

double icon_sdf_open(double* rgba, double x, double y, double z) {
    const double tray = sdf_round_box(x, y + 0.2, z, 0.3, 0.125, 0.5, 0.05);
    double rx, rz;
    sdf_turn_about_y(x, z, kCos20, kSin20, rx, rz);
    const double bar_a = sdf_box(rx, y - 0.3, rz, 0.25, 0.05, 0.05);
    const double bar_b = sdf_box(rx, y - 0.3, rz, 0.05, 0.25, 0.05);
    NearestPart n(tray, kGrey25);
    n.add(bar_a, kBlue);
    n.add(bar_b, kBlue);
    return n.finish(rgba);
}

double icon_sdf_delete(double* rgba, double x, double y, double z) {
    const double d = std::min(sdf_box(x, y, z, 0.5, 0.05, 0.125), sdf_box(x, y, z, 0.125, 0.05, 0.5));
    return paint(rgba, kGrey25, d);
}

double icon_sdf_asterisk(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey85, star(x, y, z, 0.15, 0.025));
}

double icon_sdf_settings(double* rgba, double x, double y, double z) {
    const double ball = sdf_sphere(x, y, z, 0.125);
    const double ring_y = sdf_subtract(sdf_cylinder(x, z, y, 0.525, 0.05), sdf_cylinder(x, z, y, 0.475, 0.0625));
    const double ring_x = sdf_subtract(sdf_cylinder(y, z, x, 0.525, 0.05), sdf_cylinder(y, z, x, 0.475, 0.0625));
    const double ring_z = sdf_subtract(sdf_cylinder(x, y, z, 0.525, 0.05), sdf_cylinder(x, y, z, 0.475, 0.0625));
    const double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    const double cubes = std::min({sdf_round_box(ax - 0.475, y, z, 0.1, 0.1, 0.1, 0.05),
                                   sdf_round_box(x, ay - 0.475, z, 0.1, 0.1, 0.1, 0.05),
                                   sdf_round_box(x, y, az - 0.475, 0.1, 0.1, 0.1, 0.05)});
    NearestPart n(ball, kWhite);
    n.add(std::min({ring_y, ring_x, ring_z}), kGrey25);
    n.add(cubes, kBlue);
    return n.finish(rgba);
}

double icon_sdf_export(double* rgba, double x, double y, double z) {
    const double plate = sdf_box(x, y, z, 0.125, 0.5, 0.5);
    const double tri = sdf_extrude(sdf_triangle_2d(z, y, -0.25, -0.25, 0.0, 0.3, 0.25, -0.25), x, 0.35);
    NearestPart n(plate, kGrey25);
    n.add(tri, kWhite);
    return n.finish(rgba);
}

double icon_sdf_theme(double* rgba, double x, double y, double z) {
    return paint(rgba, x + y < 0.0 ? kWhite : kGrey25, sdf_box(x, y, z, 0.5, 0.5, 0.125));
}

double icon_sdf_select(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey50, select_arrow(x, y, z));
}

double icon_sdf_selectall(double* rgba, double x, double y, double z) {
    NearestPart n(select_arrow(x, y, z), kGrey50);
    n.add(star(x - 0.25, y - 0.25, z - 0.175, 0.25, 0.025), kBlue);
    return n.finish(rgba);
}

double icon_sdf_selectnone(double* rgba, double x, double y, double z) {
    NearestPart n(select_arrow(x, y, z), kGrey50);
    n.add(stadium_ring(x, y, z, 0.25, 0.1875, 0.3125, 0.175, 0.15, 0.025, 0.1, 0.0625), kBlue);
    return n.finish(rgba);
}

double icon_sdf_mesh(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey25, mesh_shape(x, y, z));
}

double icon_sdf_vertex(double* rgba, double x, double y, double z) {
    const double d = sdf_sphere(std::fabs(x) - 0.5, std::fabs(y) - 0.5, std::fabs(z) - 0.5, 0.125);
    return paint(rgba, kGrey25, d);
}

double icon_sdf_edges(double* rgba, double x, double y, double z) {
    double d = sdf_cube(x, y, z, 0.525);
    d = sdf_subtract(d, sdf_box(x, y, z, 1.0, 0.475, 0.475));
    d = sdf_subtract(d, sdf_box(x, y, z, 0.475, 1.0, 0.475));
    d = sdf_subtract(d, sdf_box(x, y, z, 0.475, 0.475, 1.0));
    return paint(rgba, kGrey25, d);
}

double icon_sdf_faces(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey25, sdf_cube(x, y, z, 0.5));
}

// Double-headed arrow along the coordinate a (u, v across it).
static double double_arrow(double u, double v, double a) {
    const double rod = sdf_cylinder(u, v, a, 0.05, 0.3);
    const double head = sdf_cone(u, v, std::fabs(a) - 0.6, 0.15, 0.3);
    return std::min(rod, head);
}

double icon_sdf_focus(double* rgba, double x, double y, double z) {
    NearestPart n(double_arrow(x, z, y), kGrey80);
    n.add(double_arrow(y, z, x), kBlue);
    n.add(double_arrow(x, y, z), kGrey25);
    return n.finish(rgba);
}

double icon_sdf_flat(double* rgba, double x, double y, double z) {
    const double a = 0.1913417161825449, b = 0.46193976625564337;
    double rx, rz;
    sdf_turn_about_y(x, z, kCos45, kSin45, rx, rz);
    const double d = std::min({sdf_box(x, y, z, a, 0.5, b), sdf_box(x, y, z, b, 0.5, a),
                               sdf_box(rx, y, rz, a, 0.5, b), sdf_box(rx, y, rz, b, 0.5, a)});
    return paint(rgba, kGrey75, d);
}

double icon_sdf_smooth(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey75, sdf_cylinder(x, z, y, 0.5, 0.5));
}

double icon_sdf_shader(double* rgba, double x, double y, double z) {
    const double d = sdf_extrude(sdf_polygon_2d(icon_shader_polygon, 24, 4.0 * x, 4.0 * y), z, 0.05);
    return paint(rgba, kGrey85, d);
}

double icon_sdf_capture(double* rgba, double x, double y, double z) {
    NearestPart n(sdf_box(x, y, z, 0.125, 0.5, 0.5), kGrey25);
    n.add(sdf_sphere(x, y, z, 0.333), kBlue);
    return n.finish(rgba);
}

double icon_sdf_zobuicon(double* rgba, double x, double y, double z) { return icon_sdf_capture(rgba, x, y, z); }
double icon_sdf_zobuioicon_part(double* rgba, double x, double y, double z) {
    return icon_sdf_capture(rgba, x, y, z);
}

double icon_sdf_zobuioicon(double* rgba, double x, double y, double z) {
    const double letter_i = sdf_box(x, y + 0.25, z - 0.025, 0.0375, 0.3125, 0.0375);
    const double letter_o = stadium_ring(x, y, z, 0.375, -0.34375, -0.15625, 0.025, 0.225, 0.0375, 0.15, 0.0625);
    return paint(rgba, kGrey75, std::min(letter_i, letter_o));
}

double icon_sdf_refresh(double* rgba, double x, double y, double z) {
    double rx, rz;
    sdf_turn_about_y(x, z, kCos120, kSin120, rx, rz);
    double ring = sdf_subtract(sdf_cylinder(rx, rz, y, 0.4, 0.05), sdf_cylinder(rx, rz, y, 0.2, 0.1));
    ring = sdf_subtract(ring, sdf_cube(rx - 0.5, y, rz - 0.5, 0.5));
    const double head = sdf_extrude(sdf_triangle_2d(rx, rz, 0.5, 0.0, 0.1, 0.0, 0.3, 0.3), y, 0.1);
    return paint(rgba, kBlue, std::min(ring, head));
}

static const double kDisc[4] = {0.75, 0.775, 0.8, 1.0};

double icon_sdf_save(double* rgba, double x, double y, double z) {
    const double d = sdf_subtract(sdf_round_cylinder(x, y, z, 0.4, 0.025, 0.0125), sdf_cylinder(x, y, z, 0.1, 0.05));
    return paint(rgba, kDisc, d);
}

double icon_sdf_info(double* rgba, double x, double y, double z) {
    const double stem = sdf_round_box(x, y + 0.25, z, 0.125, 0.375, 0.125, 0.0125);
    const double dot = sdf_sphere(x, y - 0.35, z, 0.15);
    return paint(rgba, kWhite, std::min(stem, dot));
}

const double icon_type_polygon[24] = {-0.25, -0.5, -0.1, -0.4, -0.1, 0.35, -0.4, 0.35, -0.5, 0.2, -0.5, 0.5,
                                      0.5,   0.5,  0.5,  0.2,  0.4,  0.35, 0.1,  0.35, 0.1,  -0.4, 0.25, -0.5};

const double icon_shader_polygon[48] = {
    -0.6, -0.5, -0.4, -0.6, 0.4,  -0.6, 0.6,  -0.4, 0.6,  -0.1, 0.4,  0.1,  -0.3, 0.1,  -0.4, 0.1,
    -0.4, 0.4,  -0.3, 0.4,  0.4,  0.4,  0.4,  0.3,  0.6,  0.5,  0.4,  0.6,  -0.4, 0.6,  -0.6, 0.4,
    -0.6, 0.1,  -0.4, -0.1, 0.3,  -0.1, 0.4,  -0.1, 0.4,  -0.4, 0.3,  -0.4, -0.4, -0.4, -0.4, -0.3};

double icon_sdf_type(double* rgba, double x, double y, double z) {
    const double d = sdf_extrude(sdf_polygon_2d(icon_type_polygon, 12, z, y), x, 0.1);
    return paint(rgba, kGrey25, d);
}

double icon_sdf_triangles(double* rgba, double x, double y, double z) {
    const double balls = std::min({sdf_sphere(x + 0.5, y + 0.5, z, 0.125), sdf_sphere(x - 0.5, y + 0.5, z, 0.125),
                                   sdf_sphere(x, y - 0.5, z, 0.125)});
    const double t = sdf_triangle_2d(x, y, -0.5, -0.5, 0.0, 0.5, 0.5, -0.475);
    const double outline = std::max(sdf_extrude(t - 0.05, z, 0.1), -sdf_extrude(t + 0.05, z, 0.5));
    NearestPart n(balls, kBlue);
    n.add(outline, kWhite);
    return n.finish(rgba);
}

double icon_sdf_window(double* rgba, double x, double y, double z) {
    const double frame = sdf_subtract(sdf_box(x, y, z, 0.1, 0.55, 0.55), sdf_box(x, y, z, 0.125, 0.45, 0.45));
    const double bar = sdf_box(x, y - 0.2, z, 0.1, 0.0125, 0.45);
    return paint(rgba, kGrey50, std::min(frame, bar));
}

double icon_sdf_worldscale(double* rgba, double x, double y, double z) {
    const double bar = sdf_box(x, y, z, 0.4, 0.05, 0.05);
    const double plates = sdf_box(std::fabs(x) - 0.45, y, z, 0.05, 0.05, 0.2);
    return paint(rgba, kGrey25, std::min(bar, plates));
}

static const double kBulb[4] = {1.0, 0.9, 0.75, 1.0};

double icon_sdf_light(double* rgba, double x, double y, double z) {
    NearestPart n(sdf_sphere(x, y, z, 0.5), kBulb);
    n.add(sdf_sphere(x, y + 0.375, z, 0.375), kGrey25);
    n.add(sdf_round_cylinder(x, z, y + 0.5, 0.25, 0.5, 0.075), kWhite);
    return n.finish(rgba);
}

double icon_sdf_fov(double* rgba, double x, double y, double z) {
    double rx, rz;
    sdf_turn_about_y(x, z, kCos135, kSin135, rx, rz);
    const double arm_x = sdf_box(rx + 0.5, y, rz, 0.5, 0.05, 0.05);
    const double arm_z = sdf_box(rx, y, rz + 0.5, 0.05, 0.05, 0.5);
    const double hub = sdf_round_cylinder(x, z, y, 0.125, 0.125, 0.05);
    const double rod = sdf_cylinder(x, z, y, 0.025, 0.5);
    const double balls = sdf_sphere(x, std::fabs(y) - 0.5, z, 0.0625);
    return paint(rgba, kGrey50, std::min({arm_x, arm_z, hub, rod, balls}));
}

static const double kLockBody[4] = {0.3, 0.4, 0.5, 1.0};
static const double kSteel[4] = {0.75, 0.75, 0.8, 1.0};

double icon_sdf_locked(double* rgba, double x, double y, double z) {
    const double body = sdf_round_box(x, y, z, 0.2, 0.375, 0.5, 0.075);
    const double plate = sdf_round_box(x, y, z, 0.2125, 0.25, 0.5125, 0.05);
    const double posts = sdf_cylinder(x, std::fabs(z) - 0.25, y - 0.25, 0.1, 0.25);
    const double shackle = sdf_subtract(sdf_torus(y - 0.5, z, x, 0.25, 0.1), sdf_cube(x, y, z, 0.5));
    NearestPart n(body, kLockBody);
    n.add(plate, kGrey50);
    n.add(std::min(posts, shackle), kSteel);
    return n.finish(rgba);
}

double icon_sdf_camera(double* rgba, double x, double y, double z) {
    const double az = std::fabs(z) - 0.25;
    const double plates = sdf_capsule(4.0 * x, az, y, 0.25, 0.25) * 0.25;
    const double lenses = sdf_capsule(x, az, y, 0.125, 0.1175);
    const double ball = sdf_sphere(x, y + 0.5, z, 0.1875);
    NearestPart n(plates, kWhite);
    n.add(lenses, kGrey50);
    n.add(ball, kGrey75);
    return n.finish(rgba);
}

double icon_sdf_sliders(double* rgba, double x, double y, double z) {
    const double ay = std::fabs(y);
    const double rails = std::min(sdf_box(x, ay - 0.125, z, 0.025, 0.025, 0.5), sdf_box(x, ay - 0.375, z, 0.025, 0.025, 0.5));
    const double knobs = std::min(sdf_sphere(x, ay - 0.125, z, 0.1), sdf_sphere(x, ay - 0.375, z, 0.1));
    NearestPart n(rails, kGrey50);
    n.add(knobs, kBlue);
    return n.finish(rgba);
}

double icon_sdf_background(double* rgba, double x, double y, double z) {
    NearestPart n(sdf_box(x, y + 0.4, z, 0.5, 0.1, 0.125), kBlack);
    n.add(sdf_box(x, y + 0.2, z, 0.5, 0.1, 0.125), kGrey25);
    n.add(sdf_box(x, y, z, 0.5, 0.1, 0.125), kGrey50);
    n.add(sdf_box(x, y - 0.2, z, 0.5, 0.1, 0.125), kGrey75);
    n.add(sdf_box(x, y - 0.4, z, 0.5, 0.1, 0.125), kWhite);
    return n.finish(rgba);
}

double icon_sdf_fullscreen(double* rgba, double x, double y, double z) {
    const double panel = sdf_box(x, y, z, 0.05, 0.25, 0.3);
    const double ends_z = sdf_box(x, y, std::fabs(z) - 0.6, 0.05, 0.1, 0.025);
    const double ends_y = sdf_box(x, std::fabs(y) - 0.6, z, 0.05, 0.025, 0.1);
    const double cross = std::min(sdf_box(x, y, z, 0.025, 0.025, 0.6), sdf_box(x, y, z, 0.025, 0.6, 0.025));
    return paint(rgba, kGrey50, std::min({panel, ends_z, ends_y, cross}));
}

static const double kAmber[4] = {1.0, 0.75, 0.0, 1.0};
static const double kRed[4] = {0.75, 0.25, 0.25, 1.0};

double icon_sdf_warning(double* rgba, double x, double y, double z) {
    const double bar = sdf_round_cylinder(x, z, y - 0.225, 0.1, 0.325, 0.05);
    const double dot = sdf_sphere(x, y + 0.35, z, 0.175);
    NearestPart n(std::min(bar, dot), kAmber);
    n.add(message_disc(x, y, z), kGrey50);
    return n.finish(rgba);
}

double icon_sdf_error(double* rgba, double x, double y, double z) {
    const double ry = y * kCos45 + z * kSin45, rz = z * kCos45 - y * kSin45;
    const double along_y = sdf_round_cylinder(x, rz, ry, 0.1, 0.525, 0.05);
    const double along_z = sdf_round_cylinder(x, ry, rz, 0.1, 0.525, 0.05);
    NearestPart n(std::min(along_y, along_z), kRed);
    n.add(message_disc(x, y, z), kGrey50);
    return n.finish(rgba);
}

double icon_sdf_parse(double* rgba, double x, double y, double z) {
    const double plate = sdf_box(x, y, z, 0.125, 0.5, 0.5);
    const double spine = sdf_box(x, y, z - 0.225, 0.175, 0.3, 0.05);
    // The middle arm sits with the other two on the open side of the spine
    // (placed on the far side it reads as a mirrored letter).
    const double middle = sdf_box(x, y, z - 0.175, 0.175, 0.05, 0.1);
    const double arms = sdf_box(x, std::fabs(y) - 0.25, z - 0.175, 0.175, 0.05, 0.1);
    NearestPart n(plate, kGrey25);
    n.add(std::min({spine, middle, arms}), kWhite);
    return n.finish(rgba);
}

double icon_sdf_assemble(double* rgba, double x, double y, double z) {
    const double plate = sdf_box(x, y, z, 0.125, 0.5, 0.5);
    const double tri = sdf_extrude(sdf_triangle_2d(y, -z, -0.3, -0.25, 0.0, 0.3, 0.3, -0.25), x, 0.35);
    NearestPart n(plate, kGrey25);
    n.add(tri, kBlue);
    return n.finish(rgba);
}

double icon_sdf_topology(double* rgba, double x, double y, double z) { return icon_sdf_mesh(rgba, x, y, z); }

static const double kSteelBlue[4] = {0.25, 0.5, 0.75, 1.0};

double icon_sdf_colour(double* rgba, double x, double y, double z) {
    // (0, 0.5) and that point turned 120° and 240° about z.
    NearestPart n(sdf_sphere(x, y - 0.5, z, 0.5), kGrey75);
    n.add(sdf_sphere(x + 0.5 * kSin120, y + 0.25, z, 0.5), kGrey25);
    n.add(sdf_sphere(x - 0.5 * kSin120, y + 0.25, z, 0.5), kSteelBlue);
    return n.finish(rgba);
}

double icon_sdf_shading(double* rgba, double x, double y, double z) {
    NearestPart n(sdf_cylinder(x, z, y, 0.5, 0.1), kGrey75);
    n.add(sdf_cylinder(x, z, y - 0.2, 0.5, 0.1), kGrey50);
    n.add(sdf_cylinder(x, z, y - 0.4, 0.5, 0.1), kTint);
    n.add(sdf_cylinder(x, z, y + 0.2, 0.5, 0.1), kBlue);
    n.add(sdf_cylinder(x, z, y + 0.4, 0.5, 0.1), kGrey25);
    return n.finish(rgba);
}

double icon_sdf_orbit(double* rgba, double x, double y, double z) {
    const double ry = y * kCos10 + z * kSin10, rz = z * kCos10 - y * kSin10;
    NearestPart n(sdf_sphere(x, y, z, 0.75), kGrey25);
    n.add(sdf_torus(x, rz, ry, 0.95, 0.05), kGrey75);
    return n.finish(rgba);
}

double icon_sdf_projection(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey25, projection_shape(x, y, z));
}

double icon_sdf_state(double* rgba, double x, double y, double z) {
    double frame = sdf_cube(x, y, z, 0.85);
    frame = sdf_subtract(frame, sdf_box(x, y, z, 1.0, 0.65, 0.65));
    frame = sdf_subtract(frame, sdf_box(x, y, z, 0.65, 1.0, 0.65));
    frame = sdf_subtract(frame, sdf_box(x, y, z, 0.65, 0.65, 1.0));
    const double rods = std::min({sdf_capsule(y, z, x, 0.75, 0.25), sdf_capsule(x, z, y, 0.75, 0.25),
                                  sdf_capsule(x, y, z, 0.75, 0.25)});
    NearestPart n(frame, kGrey25);
    n.add(rods, kGrey75);
    return n.finish(rgba);
}

double icon_sdf_widgets(double* rgba, double x, double y, double z) {
    x /= 1.25;
    y /= 1.25;
    z /= 1.25;
    // Axis coordinates: +y, -x, -z.
    const double ay = y, ax = -x, az = -z;
    NearestPart n(sdf_cone(x, z, ay - 0.4, 0.05, 0.1), kGrey75);
    n.add(sdf_cone(y, z, ax - 0.4, 0.05, 0.1), kBlue);
    n.add(sdf_cone(x, y, az - 0.4, 0.05, 0.1), kGrey25);
    n.add(sdf_cylinder(x, z, ay - 0.15, 0.025, 0.15), kGrey75);
    n.add(sdf_cylinder(y, z, ax - 0.15, 0.025, 0.15), kBlue);
    n.add(sdf_cylinder(x, y, az - 0.15, 0.025, 0.15), kGrey25);
    n.add(sdf_torus(x, z, y, 0.41, 0.02), kGrey75);
    n.add(sdf_torus(y, z, x, 0.41, 0.02), kBlue);
    n.add(sdf_torus(x, y, z, 0.41, 0.02), kGrey25);
    return n.finish(rgba);
}

double icon_sdf_view(double* rgba, double x, double y, double z) {
    NearestPart n(sdf_cube(x, y, z, 0.5), kGrey50);
    n.add(sdf_box(x, std::fabs(y) - 1.0, z, 0.5, 0.05, 0.5), kGrey75);
    n.add(sdf_box(x, y, std::fabs(z) - 1.0, 0.5, 0.5, 0.05), kGrey25);
    n.add(sdf_box(std::fabs(x) - 1.0, y, z, 0.05, 0.5, 0.5), kBlue);
    return n.finish(rgba);
}

double icon_sdf_question(double* rgba, double x, double y, double z) {
    const double hook = sdf_subtract(sdf_torus(y - 0.25, z, x, 0.2, 0.1), sdf_cube(x, y + 0.25, z - 0.5, 0.5));
    const double neck = sdf_round_cylinder(x, z - 0.2, y - 0.25, 0.1, 0.05, 0.05);
    const double ball = sdf_sphere(x, y - 0.05, z, 0.1);
    const double stem = sdf_round_cylinder(x, z, y + 0.00625, 0.1, 0.09375, 0.05);
    const double dot = sdf_sphere(x, y + 0.35, z, 0.175);
    NearestPart n(std::min({hook, neck, ball, stem, dot}), kWhite);
    n.add(message_disc(x, y, z), kGrey50);
    return n.finish(rgba);
}

double icon_sdf_meshlight(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey50, mesh_shape(x, y, z));
}

double icon_sdf_projectionlight(double* rgba, double x, double y, double z) {
    return paint(rgba, kGrey50, projection_shape(x, y, z));
}

double icon_sdf_logo(double* rgba, double x, double y, double z) {
    const double d = sdf_subtract(sdf_intersect(sdf_cube(x, y, z, 0.5), sdf_octahedron(x, y, z, 1.0)),
                                  sdf_octahedron(x, y, z, 0.75));
    return paint(rgba, kGrey90, d);
}

double icon_sdf_vrek64(double* rgba, double x, double y, double z) { return icon_sdf_logo(rgba, x, y, z); }
double icon_sdf_vrek128(double* rgba, double x, double y, double z) { return icon_sdf_logo(rgba, x, y, z); }

double icon_sdf_parallel(double* rgba, double x, double y, double z) {
    const double d = std::min({sdf_box(x, y + 0.4, z, 0.5, 0.1, 0.1), sdf_box(x, y, z, 0.5, 0.1, 0.1),
                               sdf_box(x, y - 0.4, z, 0.5, 0.1, 0.1)});
    return paint(rgba, kGrey375, d);
}

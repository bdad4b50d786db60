#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "art/icon_scenes.h"
#include "art/icon_table.h"
#include "art/sdf.h"

TEST(SdfPrimitives, MatchClosedForms) {
    // Sphere and box: outside, inside, edge and corner regions.
    EXPECT_DOUBLE_EQ(sdf_sphere(3, 4, 0, 1), 4.0);
    EXPECT_DOUBLE_EQ(sdf_sphere(0, 0, 0, 0.5), -0.5);
    EXPECT_DOUBLE_EQ(sdf_box(2, 0, 0, 1, 1, 1), 1.0);
    EXPECT_DOUBLE_EQ(sdf_box(0.5, 0, 0, 1, 2, 3), -0.5);
    EXPECT_DOUBLE_EQ(sdf_box(2, 2, 0, 1, 1, 1), std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(sdf_box(2, 2, 2, 1, 1, 1), std::sqrt(3.0));
    // Rounded box keeps its outer size on the faces, rounds the corners.
    EXPECT_NEAR(sdf_round_box(1.5, 0, 0, 1, 1, 1, 0.25), 0.5, 1e-12);
    EXPECT_NEAR(sdf_round_box(2, 2, 0, 1, 1, 1, 0.25), std::sqrt(2.0) * 1.25 - 0.25, 1e-12);
    // Cylinder: side, cap, rim.
    EXPECT_DOUBLE_EQ(sdf_cylinder(2, 0, 0, 1, 1), 1.0);
    EXPECT_DOUBLE_EQ(sdf_cylinder(0, 0, 3, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(sdf_cylinder(4, 0, 5, 1, 1), 5.0);
    EXPECT_DOUBLE_EQ(sdf_cylinder(0, 0, 0, 1, 2), -1.0);
    EXPECT_NEAR(sdf_round_cylinder(0, 0, 2, 1, 1, 0.2), 1.0, 1e-12);
    // Capsule: beside the segment and beyond its end.
    EXPECT_DOUBLE_EQ(sdf_capsule(1, 0, 0.3, 0.5, 0.25), 0.75);
    EXPECT_DOUBLE_EQ(sdf_capsule(0, 0, 2, 0.5, 0.25), 1.25);
    // Torus: on the ring's axis circle and at the centre.
    EXPECT_DOUBLE_EQ(sdf_torus(1, 0, 0, 1, 0.25), -0.25);
    EXPECT_DOUBLE_EQ(sdf_torus(0, 0, 0, 1, 0.25), 0.75);
    // Octahedron: centre, vertex, beyond a vertex, face centre direction.
    EXPECT_NEAR(sdf_octahedron(0, 0, 0, 1), -0.57735027, 1e-9);
    EXPECT_NEAR(sdf_octahedron(1, 0, 0, 1), 0.0, 1e-12);
    EXPECT_NEAR(sdf_octahedron(2, 0, 0, 1), 1.0, 1e-12);
    EXPECT_NEAR(sdf_octahedron(1, 1, 1, 1), 2.0 / std::sqrt(3.0), 1e-7);
    // Cone (apex at 0, base of radius 1 at -1): apex, base centre, inside, beside.
    EXPECT_NEAR(sdf_cone(0, 0, 1, 1, 1), 1.0, 1e-12);
    EXPECT_NEAR(sdf_cone(0, 0, -2, 1, 1), 1.0, 1e-12);
    EXPECT_LT(sdf_cone(0, 0, -0.5, 1, 1), 0.0);
    EXPECT_NEAR(sdf_cone(2, 0, -1, 1, 1), 1.0, 1e-12);
    // Extrusion: inside both is max(d, |w| - h/2); outside both is the corner distance.
    EXPECT_DOUBLE_EQ(sdf_extrude(-0.3, 0.1, 0.4), -0.1);
    EXPECT_DOUBLE_EQ(sdf_extrude(-0.05, 0.1, 0.4), -0.05);
    EXPECT_DOUBLE_EQ(sdf_extrude(3, 4.2, 0.4), 5.0);
}

TEST(SdfPrimitives, TriangleSignForBothWindings) {
    const double ccw[6] = {0, 0, 1, 0, 0, 1};
    const double cw[6] = {0, 0, 0, 1, 1, 0};
    const double pts[][2] = {{0.2, 0.2}, {2, 0}, {-1, -1}, {0.5, 0.5}, {0.6, 0.6}, {0.5, -0.25}};
    for (const auto& p : pts) {
        const double a = sdf_triangle_2d(p[0], p[1], ccw[0], ccw[1], ccw[2], ccw[3], ccw[4], ccw[5]);
        const double b = sdf_triangle_2d(p[0], p[1], cw[0], cw[1], cw[2], cw[3], cw[4], cw[5]);
        EXPECT_NEAR(a, b, 1e-12) << p[0] << "," << p[1];
    }
    EXPECT_NEAR(sdf_triangle_2d(0.2, 0.2, 0, 0, 1, 0, 0, 1), -0.2, 1e-12);
    EXPECT_NEAR(sdf_triangle_2d(2, 0, 0, 0, 0, 1, 1, 0), 1.0, 1e-12);
    EXPECT_NEAR(sdf_triangle_2d(-1, -1, 0, 0, 0, 1, 1, 0), std::sqrt(2.0), 1e-12);
}

TEST(SdfPrimitives, PolygonMatchesTriangleAndSquare) {
    const double tri[6] = {0, 0, 1, 0, 0, 1};
    const double square[8] = {-1, -1, 1, -1, 1, 1, -1, 1};
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-2, 2);
    for (int i = 0; i < 200; ++i) {
        const double x = u(rng), y = u(rng);
        EXPECT_NEAR(sdf_polygon_2d(tri, 3, x, y), sdf_triangle_2d(x, y, 0, 0, 1, 0, 0, 1), 1e-12);
        // A square is the 2D box.
        EXPECT_NEAR(sdf_polygon_2d(square, 4, x, y), sdf_box(x, y, 0, 1, 1, 10) , 1e-12);
    }
}

static const IconSdf all_scenes[] = {
    icon_sdf_sphere, icon_sdf_sphere_grey, icon_sdf_sphere_tinted, icon_sdf_sphere_dark, icon_sdf_visible,
    icon_sdf_hidden, icon_sdf_material, icon_sdf_button, icon_sdf_empty, icon_sdf_open, icon_sdf_delete,
    icon_sdf_asterisk, icon_sdf_settings, icon_sdf_export, icon_sdf_theme, icon_sdf_select, icon_sdf_selectall,
    icon_sdf_selectnone, icon_sdf_mesh, icon_sdf_vertex, icon_sdf_edges, icon_sdf_faces, icon_sdf_focus,
    icon_sdf_flat, icon_sdf_smooth, icon_sdf_shader, icon_sdf_capture, icon_sdf_zobuicon,
    icon_sdf_zobuioicon_part, icon_sdf_zobuioicon, icon_sdf_refresh, icon_sdf_save, icon_sdf_info, icon_sdf_type,
    icon_sdf_triangles, icon_sdf_window, icon_sdf_worldscale, icon_sdf_light, icon_sdf_fov, icon_sdf_locked,
    icon_sdf_camera, icon_sdf_sliders, icon_sdf_background, icon_sdf_fullscreen, icon_sdf_warning, icon_sdf_error,
    icon_sdf_parse, icon_sdf_assemble, icon_sdf_topology, icon_sdf_colour, icon_sdf_shading, icon_sdf_orbit,
    icon_sdf_projection, icon_sdf_state, icon_sdf_widgets, icon_sdf_view, icon_sdf_question, icon_sdf_meshlight,
    icon_sdf_projectionlight, icon_sdf_logo, icon_sdf_vrek64, icon_sdf_vrek128, icon_sdf_parallel};

TEST(IconScenes, SameDistanceWithAndWithoutColour) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1.5, 1.5);
    int index = 0;
    for (IconSdf scene : all_scenes) {
        for (int i = 0; i < 400; ++i) {
            const double x = u(rng), y = u(rng), z = u(rng);
            double rgba[4] = {-1, -1, -1, -1};
            const double with = scene(rgba, x, y, z);
            const double without = scene(nullptr, x, y, z);
            ASSERT_EQ(with, without) << "scene " << index;
            ASSERT_TRUE(std::isfinite(with)) << "scene " << index;
            if (scene != icon_sdf_empty) {
                ASSERT_EQ(rgba[3], 1.0) << "scene " << index;
                for (int c = 0; c < 3; ++c) ASSERT_TRUE(rgba[c] >= 0.0 && rgba[c] <= 1.0) << "scene " << index;
            }
        }
        ++index;
    }
    // Every scene of the table is one of those checked here.
    for (const IconRecord& r : icon_table) {
        bool found = false;
        for (IconSdf s : all_scenes) found = found || s == r.scene;
        for (IconSdf layer : r.layer_scenes) {
            bool layer_found = false;
            for (IconSdf s : all_scenes) layer_found = layer_found || s == layer;
            EXPECT_TRUE(layer_found) << r.name;
        }
        EXPECT_TRUE(found) << r.name;
    }
}

TEST(IconScenes, ColourChoiceRules) {
    double rgba[4];
    // Plainly nearer parts decide the colour.
    icon_sdf_open(rgba, 0, -0.2, 0);
    EXPECT_EQ(rgba[0], 0.25);
    icon_sdf_open(rgba, 0, 0.3, 0);
    EXPECT_EQ(rgba[2], 1.0);
    // THEME colours by position; x + y exactly 0 is the grey half.
    icon_sdf_theme(rgba, 0.25, -0.25, 0);
    EXPECT_EQ(rgba[0], 0.25);
    icon_sdf_theme(rgba, -0.3, 0.1, 0);
    EXPECT_EQ(rgba[0], 1.0);
    // Shading bars: exactly between the y = 0 and y = 0.2 discs keeps the earlier (grey 0.75).
    icon_sdf_shading(rgba, 0, 0.1, 0);
    EXPECT_EQ(rgba[0], 0.75);
}

TEST(IconScenes, ShaderLetterIsScaledPolygon) {
    // On the plane z = 0 outside the S the extrusion adds nothing, so the
    // layer returns four times the point's distance to the S.
    const double pts[][2] = {{0.3, 0.3}, {-0.35, 0.0}, {0.0, 0.4}};
    for (const auto& p : pts) {
        const double d = sdf_polygon_2d(icon_shader_polygon, 24, 4 * p[0], 4 * p[1]);
        ASSERT_GT(d, 0.0);
        EXPECT_NEAR(icon_sdf_shader(nullptr, p[0], p[1], 0.0), d, 1e-12);
    }
    // A point inside the S (its lower bar) is inside the letter.
    EXPECT_LT(icon_sdf_shader(nullptr, 0.0, -0.125, 0.0), 0.0);
}

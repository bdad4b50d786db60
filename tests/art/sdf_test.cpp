#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "art/icon_scenes.h"
#include "art/icon_table.h"
#include "art/sdf.h"

TEST(SdfPrimitives, MatchClosedForms) {
    const double r2 = std::sqrt(2.0), r3 = std::sqrt(3.0);
    // {distance, expected, tolerance (0: equal to the last few bits)}
    const double cases[][3] = {
        // sphere and box: outside, inside, edge and corner regions
        {sdf_sphere(3, 4, 0, 1), 4, 0}, {sdf_sphere(0, 0, 0, 0.5), -0.5, 0}, {sdf_box(2, 0, 0, 1, 1, 1), 1, 0},
        {sdf_box(0.5, 0, 0, 1, 2, 3), -0.5, 0}, {sdf_box(2, 2, 0, 1, 1, 1), r2, 0}, {sdf_box(2, 2, 2, 1, 1, 1), r3, 0},
        // the rounded box keeps its outer size on the faces and rounds the corners
        {sdf_round_box(1.5, 0, 0, 1, 1, 1, 0.25), 0.5, 1e-12},
        {sdf_round_box(2, 2, 0, 1, 1, 1, 0.25), r2 * 1.25 - 0.25, 1e-12},
        // cylinder: side, cap, rim, inside; capsule beside the segment and beyond its end
        {sdf_cylinder(2, 0, 0, 1, 1), 1, 0}, {sdf_cylinder(0, 0, 3, 1, 1), 2, 0}, {sdf_cylinder(4, 0, 5, 1, 1), 5, 0},
        {sdf_cylinder(0, 0, 0, 1, 2), -1, 0}, {sdf_round_cylinder(0, 0, 2, 1, 1, 0.2), 1, 1e-12},
        {sdf_capsule(1, 0, 0.3, 0.5, 0.25), 0.75, 0}, {sdf_capsule(0, 0, 2, 0.5, 0.25), 1.25, 0},
        // torus on its axis circle and at the centre; octahedron centre, vertex, beyond it, face direction
        {sdf_torus(1, 0, 0, 1, 0.25), -0.25, 0}, {sdf_torus(0, 0, 0, 1, 0.25), 0.75, 0},
        {sdf_octahedron(0, 0, 0, 1), -0.57735027, 1e-9}, {sdf_octahedron(1, 0, 0, 1), 0, 1e-12},
        {sdf_octahedron(2, 0, 0, 1), 1, 1e-12}, {sdf_octahedron(1, 1, 1, 1), 2 / r3, 1e-7},
        // cone with apex at 0 and base of radius 1 at -1: apex, base centre, beside
        {sdf_cone(0, 0, 1, 1, 1), 1, 1e-12}, {sdf_cone(0, 0, -2, 1, 1), 1, 1e-12}, {sdf_cone(2, 0, -1, 1, 1), 1, 1e-12},
        // extrusion: inside both is max(d, |w| - h/2), outside both the corner distance
        {sdf_extrude(-0.3, 0.1, 0.4), -0.1, 0}, {sdf_extrude(-0.05, 0.1, 0.4), -0.05, 0}, {sdf_extrude(3, 4.2, 0.4), 5, 0},
        // triangle: inside, beside an edge, off a corner
        {sdf_triangle_2d(0.2, 0.2, 0, 0, 1, 0, 0, 1), -0.2, 1e-12}, {sdf_triangle_2d(2, 0, 0, 0, 0, 1, 1, 0), 1, 1e-12},
        {sdf_triangle_2d(-1, -1, 0, 0, 0, 1, 1, 0), r2, 1e-12}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        if (cases[i][2] == 0) EXPECT_DOUBLE_EQ(cases[i][0], cases[i][1]) << "case " << i;
        else EXPECT_NEAR(cases[i][0], cases[i][1], cases[i][2]) << "case " << i;
    }
    EXPECT_LT(sdf_cone(0, 0, -0.5, 1, 1), 0.0);
}

TEST(SdfPrimitives, PolygonsAndWindings) {
    const double square[8] = {-1, -1, 1, -1, 1, 1, -1, 1}, tri_pts[6] = {0, 0, 1, 0, 0, 1};
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-2, 2);
    for (int i = 0; i < 200; ++i) {
        const double x = u(rng), y = u(rng), tri = sdf_triangle_2d(x, y, 0, 0, 1, 0, 0, 1);
        EXPECT_NEAR(sdf_triangle_2d(x, y, 0, 0, 0, 1, 1, 0), tri, 1e-12) << x << "," << y;  // either winding
        EXPECT_NEAR(sdf_polygon_2d(tri_pts, 3, x, y), tri, 1e-12);
        EXPECT_NEAR(sdf_polygon_2d(square, 4, x, y), sdf_box(x, y, 0, 1, 1, 10), 1e-12);  // the 2D box
    }
}

TEST(IconScenes, SameDistanceWithAndWithoutColour) {
    // Every scene in use: the fallback's, the table's and their layers'.
    std::vector<std::pair<IconSdf, std::string>> scenes = {{sphere_icon.scene, sphere_icon.name}};
    for (const IconRecord& r : icon_table) {
        scenes.emplace_back(r.scene, r.name);
        for (IconSdf layer : r.layer_scenes) scenes.emplace_back(layer, r.name + " layer");
    }
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1.5, 1.5);
    for (const auto& [scene, name] : scenes) {
        for (int i = 0; i < 400; ++i) {
            const double x = u(rng), y = u(rng), z = u(rng);
            double rgba[4] = {-1, -1, -1, -1};
            const double with = scene(rgba, x, y, z);
            ASSERT_EQ(with, scene(nullptr, x, y, z)) << name;
            ASSERT_TRUE(std::isfinite(with)) << name;
            if (scene == icon_sdf_empty) continue;
            ASSERT_EQ(rgba[3], 1.0) << name;
            for (int c = 0; c < 3; ++c) ASSERT_TRUE(rgba[c] >= 0.0 && rgba[c] <= 1.0) << name;
        }
    }
}

TEST(IconScenes, ColourChoiceAndLetterRules) {
    // {scene, x, y, channel, value}: plainly nearer parts of OPEN decide the colour;
    // THEME colours by position (x + y exactly 0 is the grey half); a tie
    // between the y = 0 and y = 0.2 shading discs keeps the earlier (grey 0.75).
    const struct { IconSdf scene; double x, y; int channel; double want; } colours[] = {
        {icon_sdf_open, 0, -0.2, 0, 0.25}, {icon_sdf_open, 0, 0.3, 2, 1.0}, {icon_sdf_theme, 0.25, -0.25, 0, 0.25},
        {icon_sdf_theme, -0.3, 0.1, 0, 1.0}, {icon_sdf_shading, 0, 0.1, 0, 0.75}};
    for (const auto& c : colours) {
        double rgba[4];
        c.scene(rgba, c.x, c.y, 0);
        EXPECT_EQ(rgba[c.channel], c.want) << c.x << "," << c.y;
    }
    // On z = 0 outside the S the extrusion adds nothing: the SHADER layer is
    // four times the distance to the S polygon; inside its lower bar it is negative.
    for (const auto& p : {std::pair{0.3, 0.3}, std::pair{-0.35, 0.0}, std::pair{0.0, 0.4}}) {
        const double d = sdf_polygon_2d(icon_shader_polygon, 24, 4 * p.first, 4 * p.second);
        ASSERT_GT(d, 0.0);
        EXPECT_NEAR(icon_sdf_shader(nullptr, p.first, p.second, 0.0), d, 1e-12);
    }
    EXPECT_LT(icon_sdf_shader(nullptr, 0.0, -0.125, 0.0), 0.0);
}

#include <gtest/gtest.h>

#include <algorithm>

#include "render/colour_by.h"
#include "scene_test_support.h"

namespace {

// A strip of n vertices along y (0, 1, ..., n-1) and x alternating 0/1.
InteropMesh make_column(int n) {
    std::vector<double> p;
    for (int i = 0; i < n; ++i) p.insert(p.end(), {double(i % 2), double(i), 0.0});
    return make_scene_mesh(p);
}

ColourSettings function_settings(int32_t function, bool multichannel) {
    ColourSettings s;
    s.colour_mode = COLOUR_FUNCTION;
    s.colour_function = function;
    s.multichannel_colour = multichannel;
    return s;
}

std::vector<int> reds(const InteropMesh& m) {
    std::vector<int> out;
    for (size_t i = 0; i < m.display_colours.size() / 4; ++i) out.push_back(red(m, i));
    return out;
}

}  // namespace

TEST(HueRamp, SectorsClampAndBeyondTheCircle) {
    auto near = [](Rgb c, double r, double g, double b) {
        EXPECT_DOUBLE_EQ(c.r, r);
        EXPECT_DOUBLE_EQ(c.g, g);
        EXPECT_DOUBLE_EQ(c.b, b);
    };
    near(hue_to_rgb(0.0), 1, 0, 0);
    near(hue_to_rgb(0.25), 0.5, 1, 0);
    near(hue_to_rgb(0.5), 0, 1, 1);
    near(hue_to_rgb(0.75), 0.5, 0, 1);
    near(hue_to_rgb(1.0), 1, 0, 0);
    near(hue_to_rgb(-0.5), 1, 0, 0);
    near(hue_to_rgb(1.01), 0, 0, 0);
}

TEST(ColourBy, ElevationUsesTheBoundsAndLeavesFlatMeshesAlone) {
    InteropMesh m = make_column(5);
    apply_colour_settings(function_settings(COLOUR_BY_ELEVATION, false), m);
    EXPECT_EQ(reds(m), (std::vector<int>{0, 63, 127, 191, 255}));
    EXPECT_EQ(m.gl_upload_needed, 1);

    apply_colour_settings(function_settings(COLOUR_BY_ELEVATION, true), m);
    // Top vertex: hue(0.75) is violet (0.5, 0, 1).
    EXPECT_EQ(m.display_colours[16], 127);
    EXPECT_EQ(m.display_colours[17], 0);
    EXPECT_EQ(m.display_colours[18], 255);

    // Bounds narrower than the positions clamp instead of wrapping.
    m.bounds[13] = 2.0;
    apply_colour_settings(function_settings(COLOUR_BY_ELEVATION, false), m);
    EXPECT_EQ(reds(m), (std::vector<int>{0, 127, 255, 255, 255}));

    // Zero y extent: colours stay, negation still runs.
    InteropMesh flat = make_scene_mesh({0, 0, 0, 1, 0, 0});
    std::fill(flat.display_colours.begin(), flat.display_colours.end(), 10);
    ColourSettings s = function_settings(COLOUR_BY_ELEVATION, false);
    s.colour_negate = true;
    apply_colour_settings(s, flat);
    EXPECT_EQ(reds(flat), (std::vector<int>{245, 245}));
    EXPECT_EQ(flat.display_colours[3], 255);
}

TEST(ColourBy, IdentifiersRankAscendingAndAverageOverPolygons) {
    // Five triangles with group ids out of order; vertex 2 is shared by
    // polygons 0 and 1.
    InteropMesh m = make_scene_mesh(std::vector<double>(3 * 11, 0.0));
    m.polygon_size = 3;
    m.polygons = {0, 1, 2, 2, 3, 4, 5, 6, 7, 8, 9, 7, 1, 0, 3};
    m.group_ids = {50, 10, 30, 20, 40};
    apply_colour_settings(function_settings(COLOUR_BY_GROUPID, false), m);
    // Ranks 4, 0, 2, 1, 3 of 5 -> grey 204, 0, 102, 51, 153.
    EXPECT_EQ(red(m, 4), 0);
    EXPECT_EQ(red(m, 5), 102);
    EXPECT_EQ(red(m, 8), 51);
    // Vertex 2: mean of 0.8 and 0.0; vertex 0: of 0.8 and 0.6; vertex 10
    // lies in no polygon.
    EXPECT_EQ(red(m, 2), 102);
    EXPECT_EQ(red(m, 0), 178);
    EXPECT_EQ(red(m, 10), 0);

    // Palette variant: rank r takes palette entry r.
    apply_colour_settings(function_settings(COLOUR_BY_GROUPID, true), m);
    EXPECT_EQ(m.display_colours[4 * 5 + 0], 127);  // rank 2: (0.5, 0.75, 0.25)
    EXPECT_EQ(m.display_colours[4 * 5 + 1], 191);
    EXPECT_EQ(m.display_colours[4 * 5 + 2], 63);

    // Sparse ids take the sorting path and rank the same way.
    m.face_ids = {4000000000u, 7, 4000000000u, 7, 3};
    apply_colour_settings(function_settings(COLOUR_BY_FACEID, false), m);
    EXPECT_EQ(red(m, 4), 85);   // 7 has rank 1 of 3
    EXPECT_EQ(red(m, 8), 85);
    EXPECT_EQ(red(m, 5), 170);  // 4e9 has rank 2

    // All ids equal, or none: grey 63.
    m.operand_ids = {3, 3, 3, 3, 3};
    apply_colour_settings(function_settings(COLOUR_BY_OPERAND, true), m);
    EXPECT_EQ(red(m, 0), 63);
}

TEST(ColourBy, VariableSizePolygonsAndOutOfRangeEntriesAreSkipped) {
    InteropMesh m = make_scene_mesh(std::vector<double>(3 * 6, 0.0));
    m.polygon_size = 0;
    // Two polygons (a quad, a triangle claiming 9 corners); corner 77 names
    // no vertex; the third id has no polygon.
    m.polygons = {2, 4, 9, 0, 1, 2, 77, 3, 4, 5};
    m.group_ids = {1, 2, 3};
    apply_colour_settings(function_settings(COLOUR_BY_GROUPID, false), m);
    EXPECT_EQ(red(m, 0), 0);
    EXPECT_EQ(red(m, 3), 85);

    // Valence counts the corner section only; a fixed-size list counts all.
    apply_colour_settings(function_settings(COLOUR_BY_VALENCE_NGON, false), m);
    EXPECT_EQ(red(m, 0), 63);
    m.polygon_size = 2;
    m.polygons = {0, 1, 0, 2, 0, 3};
    apply_colour_settings(function_settings(COLOUR_BY_VALENCE_NGON, false), m);
    EXPECT_EQ(red(m, 0), 255);
    EXPECT_EQ(red(m, 1), 127);
    EXPECT_EQ(red(m, 4), 63);
}

TEST(ColourBy, QualityCurvatureAndValenceOnSmallMeshes) {
    const double h = 0.8660254037844386;
    // Equilateral triangle 0-2 (quality 1), right isoceles 3-5 (0.707),
    // and a triangle with an out-of-range corner.
    InteropMesh m = make_scene_mesh({0, 0, 0, 1, 0, 0, 0.5, h, 0, 5, 0, 0, 6, 0, 0, 5, 1, 0});
    m.triangles = {0, 1, 2, 3, 4, 5, 0, 1, 99};
    apply_colour_settings(function_settings(COLOUR_BY_QUALITY, false), m);
    EXPECT_EQ(reds(m), (std::vector<int>{255, 255, 255, 0, 0, 0}));

    // Normals (0, 0, 1) on the first triangle, tilted on the second: the
    // flat one is the most planar.
    m.triangle_normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 1, 0, 0};
    apply_colour_settings(function_settings(COLOUR_BY_PLANARITY, false), m);
    EXPECT_EQ(reds(m), (std::vector<int>{255, 255, 255, 0, 0, 0}));
    apply_colour_settings(function_settings(COLOUR_BY_CURVATURE, false), m);
    EXPECT_EQ(reds(m), (std::vector<int>{0, 0, 0, 255, 255, 255}));

    // Triangle valence: 0 and 1 are corners twice (the bad corner is
    // skipped, its triangle's others count).
    m.polygons = {0};
    m.polygon_size = 3;
    apply_colour_settings(function_settings(COLOUR_BY_VALENCE_TESS, false), m);
    EXPECT_EQ(reds(m), (std::vector<int>{255, 255, 63, 63, 63, 63}));

    // Verticality and normal: a vertical normal is 0, a horizontal one 1.
    apply_colour_settings(function_settings(COLOUR_BY_VERTICALITY, false), m);
    EXPECT_EQ(red(m, 0), 255);
    m.triangle_normals[1] = 1.0;
    m.triangle_normals[2] = 0.0;
    apply_colour_settings(function_settings(COLOUR_BY_VERTICALITY, false), m);
    EXPECT_EQ(red(m, 0), 0);
    apply_colour_settings(function_settings(COLOUR_BY_NORMAL, true), m);
    EXPECT_EQ(m.display_colours[0], 127);
    EXPECT_EQ(m.display_colours[1], 255);
    EXPECT_EQ(m.display_colours[2], 127);
}

TEST(ColourBy, WholeMeshIdentifiersAndDeclarationOrder) {
    InteropMesh m = make_column(4);
    m.batch_index = -1;
    m.batch_count = 4;
    apply_colour_settings(function_settings(COLOUR_BY_BATCHID, true), m);
    EXPECT_EQ(reds(m), (std::vector<int>{63, 63, 63, 63}));
    m.batch_index = 1;
    m.batch_count = 0;
    apply_colour_settings(function_settings(COLOUR_BY_BATCHID, false), m);
    EXPECT_EQ(red(m, 0), 63);
    m.element_index = 17;
    m.element_count = 20;
    apply_colour_settings(function_settings(COLOUR_BY_ELEMENTID, true), m);
    EXPECT_EQ(m.display_colours[1], 191);  // palette 1: (1, 0.75, 0)
    apply_colour_settings(function_settings(COLOUR_BY_ELEMENTID, false), m);
    EXPECT_EQ(red(m, 0), 216);

    apply_colour_settings(function_settings(COLOUR_BY_DECLARATION_ORDER, false), m);
    EXPECT_EQ(reds(m), (std::vector<int>{0, 63, 127, 191}));
}

TEST(ColourModes, NegationAlphaAndTransparencyAreRepeatable) {
    InteropMesh m = make_scene_mesh({0, 0, 0, 1, 1, 1});
    m.colours = {0.5, 0.25, 1.0, 1.0, 0.0, 0.0, 0.0, 0.5};
    ColourSettings s;
    s.transparent_mode = true;
    for (int round = 0; round < 3; ++round) apply_colour_settings(s, m);
    EXPECT_EQ(m.display_colours[0], 127);
    EXPECT_EQ(m.display_colours[3], 191);
    EXPECT_EQ(m.display_colours[7], 127);

    s.transparent_mode = false;
    s.colour_negate = true;
    apply_colour_settings(s, m);
    EXPECT_EQ(m.display_colours[0], 128);
    EXPECT_EQ(m.display_colours[1], 192);
    EXPECT_EQ(m.display_colours[2], 0);
    EXPECT_EQ(m.display_colours[3], 255);
    EXPECT_EQ(m.display_colours[7], 127);

    s.colour_negate = false;
    s.colour_mode = COLOUR_DARK;
    apply_colour_settings(s, m);
    EXPECT_EQ(reds(m), (std::vector<int>{63, 63}));
    s.colour_mode = COLOUR_LIGHT;
    apply_colour_settings(s, m);
    EXPECT_EQ(reds(m), (std::vector<int>{255, 255}));
    // A code outside 3..17 changes nothing.
    apply_colour_settings(function_settings(99, true), m);
    EXPECT_EQ(reds(m), (std::vector<int>{255, 255}));
}

TEST(ColourModes, PaletteLessMeshesAndSmoothingColours) {
    InteropMesh m = make_column(3);
    m.colours.clear();
    m.display_colours.clear();
    apply_colour_settings(ColourSettings{}, m);
    ASSERT_EQ(m.display_colours.size(), 12u);
    EXPECT_EQ(m.display_colours[0], 191);
    EXPECT_EQ(m.display_colours[3], 255);

    apply_colour_settings(function_settings(COLOUR_BY_ELEVATION, false), m);
    m.smoothing_groups_defined = 1;
    m.smoothing_count = 2;
    m.tessellation_map = {2, 0, 0, 2, 1, 9, 0};
    m.tessellation_colours.assign(4 * 3, 7);
    apply_colour_settings(function_settings(COLOUR_BY_ELEVATION, false), m);
    // Entries 2, 1, 9 (no such vertex: skipped), 0 (no slot: dropped).
    EXPECT_EQ(m.tessellation_colours[0], 255);
    EXPECT_EQ(m.tessellation_colours[4], 127);
    EXPECT_EQ(m.tessellation_colours[8], 7);

    m.tessellation_map[0] = 3;  // count mismatch: no copy
    m.tessellation_colours.assign(12, 7);
    apply_colour_settings(function_settings(COLOUR_BY_ELEVATION, false), m);
    EXPECT_EQ(m.tessellation_colours[0], 7);
}

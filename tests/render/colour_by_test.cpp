#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "render/colour_by.h"
#include "colour_reference.h"
#include "scene_test_support.h"

namespace {

// n vertices up the y axis, x alternating 0 and 1.
InteropMesh make_column(int n) {
    std::vector<double> p;
    for (int i = 0; i < n; ++i) p.insert(p.end(), {double(i % 2), double(i), 0.0});
    return make_scene_mesh(p);
}

ColourSettings by(int32_t function, bool multichannel = false) {
    return colour_function_settings(function, multichannel);
}

std::vector<int> reds(const InteropMesh& m) {
    std::vector<int> out;
    for (size_t i = 0; i < m.display_colours.size() / 4; ++i) out.push_back(red(m, i));
    return out;
}

}  // namespace

TEST(ColourBy, HueSectorsAndRampsOverTheBounds) {
    const double h[] = {0.0, 0.25, 0.5, 0.75, 1.0, -0.5, 1.01};
    const Rgb want[] = {{1, 0, 0}, {0.5, 1, 0}, {0, 1, 1}, {0.5, 0, 1}, {1, 0, 0}, {1, 0, 0}, {0, 0, 0}};
    for (int i = 0; i < 7; ++i) {
        const Rgb c = hue_to_rgb(h[i]);
        EXPECT_TRUE(c.r == want[i].r && c.g == want[i].g && c.b == want[i].b) << h[i];
    }

    InteropMesh m = make_column(5);
    apply_colour_settings(by(COLOUR_BY_ELEVATION), m);
    EXPECT_EQ(reds(m), (std::vector<int>{0, 63, 127, 191, 255}));
    EXPECT_EQ(m.colours_dirty, 1);
    apply_colour_settings(by(COLOUR_BY_ELEVATION, true), m);
    EXPECT_EQ((std::vector<int>{m.display_colours[16], m.display_colours[17], m.display_colours[18]}),
              (std::vector<int>{127, 0, 255}));  // top: violet
    m.bounds[13] = 2.0;  // bounds narrower than the positions clamp
    apply_colour_settings(by(COLOUR_BY_ELEVATION), m);
    EXPECT_EQ(reds(m), (std::vector<int>{0, 127, 255, 255, 255}));
    apply_colour_settings(by(COLOUR_BY_DECLARATION_ORDER), m);
    EXPECT_EQ(reds(m), (std::vector<int>{0, 51, 102, 153, 204}));

    // Zero y extent: colours stay, negation still runs.
    InteropMesh flat = make_scene_mesh({0, 0, 0, 1, 0, 0});
    std::fill(flat.display_colours.begin(), flat.display_colours.end(), 10);
    ColourSettings s = by(COLOUR_BY_ELEVATION);
    s.negate_colours = true;
    apply_colour_settings(s, flat);
    EXPECT_EQ(reds(flat), (std::vector<int>{245, 245}));
    EXPECT_EQ(flat.display_colours[3], 255);
}

TEST(ColourBy, IdentifiersRankAscendingAndAverageOverPolygons) {
    // Five triangles with group ids out of order; vertex 2 lies in polygons
    // 0 and 1, vertex 0 in 0 and 4, vertex 10 in none.
    InteropMesh m = make_scene_mesh(std::vector<double>(3 * 11, 0.0));
    m.polygon_size = 3;
    m.polygons = {0, 1, 2, 2, 3, 4, 5, 6, 7, 8, 9, 7, 1, 0, 3};
    m.group_ids = {50, 10, 30, 20, 40};  // ranks 4, 0, 2, 1, 3 of 5
    apply_colour_settings(by(COLOUR_BY_GROUPID), m);
    EXPECT_EQ((std::vector<int>{red(m, 4), red(m, 5), red(m, 8), red(m, 2), red(m, 0), red(m, 10)}),
              (std::vector<int>{0, 102, 51, 102, 178, 0}));
    apply_colour_settings(by(COLOUR_BY_GROUPID, true), m);
    EXPECT_EQ((std::vector<int>{m.display_colours[20], m.display_colours[21], m.display_colours[22]}),
              (std::vector<int>{127, 191, 63}));  // rank 2: palette 2

    // Sparse ids rank the same way.
    m.face_ids = {4000000000u, 7, 4000000000u, 7, 3};
    apply_colour_settings(by(COLOUR_BY_FACEID), m);
    EXPECT_EQ((std::vector<int>{red(m, 4), red(m, 5)}), (std::vector<int>{85, 170}));
    m.operand_ids = {3, 3, 3, 3, 3};
    apply_colour_settings(by(COLOUR_BY_OPERAND, true), m);
    EXPECT_EQ(red(m, 0), 63);

    // Variable-size list: a corner naming no vertex and an id without a
    // polygon are skipped.
    InteropMesh v = make_scene_mesh(std::vector<double>(3 * 6, 0.0));
    v.polygons = {2, 4, 9, 0, 1, 2, 77, 3, 4, 5};
    v.group_ids = {1, 2, 3};
    apply_colour_settings(by(COLOUR_BY_GROUPID), v);
    EXPECT_EQ((std::vector<int>{red(v, 0), red(v, 3)}), (std::vector<int>{0, 85}));
    // Valence counts the corner section only; a fixed-size list every entry.
    apply_colour_settings(by(COLOUR_BY_VALENCE_NGON), v);
    EXPECT_EQ(red(v, 0), 63);
    v.polygon_size = 2;
    v.polygons = {0, 1, 0, 2, 0, 3};
    apply_colour_settings(by(COLOUR_BY_VALENCE_NGON), v);
    EXPECT_EQ(reds(v), (std::vector<int>{255, 127, 127, 127, 63, 63}));
}

TEST(ColourBy, GeometryFunctionsOnTwoTriangles) {
    const double h = 0.8660254037844386;
    // Equilateral triangle 0-2 facing +z, right isosceles 3-5, and a
    // triangle with a corner that names no vertex.
    InteropMesh m = make_scene_mesh({0, 0, 0, 1, 0, 0, 0.5, h, 0, 5, 0, 0, 6, 0, 0, 5, 1, 0});
    m.triangles = {0, 1, 2, 3, 4, 5, 0, 1, 99};
    m.triangle_normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 1, 0, 0};
    apply_colour_settings(by(COLOUR_BY_QUALITY), m);
    EXPECT_EQ(reds(m), (std::vector<int>{255, 255, 255, 0, 0, 0}));
    apply_colour_settings(by(COLOUR_BY_PLANARITY), m);
    EXPECT_EQ(reds(m), (std::vector<int>{255, 255, 255, 0, 0, 0}));
    apply_colour_settings(by(COLOUR_BY_CURVATURE), m);
    EXPECT_EQ(reds(m), (std::vector<int>{0, 0, 0, 255, 255, 255}));
    m.polygons = {0};
    m.polygon_size = 3;
    apply_colour_settings(by(COLOUR_BY_VALENCE_TESS), m);
    EXPECT_EQ(reds(m), (std::vector<int>{255, 255, 63, 63, 63, 63}));

    apply_colour_settings(by(COLOUR_BY_VERTICALITY), m);
    EXPECT_EQ(red(m, 0), 255);
    m.triangle_normals[1] = 1.0, m.triangle_normals[2] = 0.0;
    apply_colour_settings(by(COLOUR_BY_VERTICALITY), m);
    EXPECT_EQ(red(m, 0), 0);
    apply_colour_settings(by(COLOUR_BY_NORMAL, true), m);
    EXPECT_EQ((std::vector<int>{m.display_colours[0], m.display_colours[1], m.display_colours[2]}),
              (std::vector<int>{127, 255, 127}));
}

TEST(ColourBy, PlanarityAndCurvatureMatchTheTriangleByTriangleMeansToTheByte) {
    // A rough 41 x 41 height field (3,202 triangles, several blocks; a
    // vertex count that is not a multiple of four) with tilted normals, a
    // degenerate triangle, a corner naming no vertex and vertices beyond the
    // normals.
    const uint32_t side = 41;
    InteropMesh m = tilted_height_field(side);
    m.triangle_normals.resize(3 * (side * side - 3));
    m.triangles.insert(m.triangles.begin(), {5, 5, 6, 7, 8, 100000});
    expect_reference_bytes(m);

    // Scattered vertices, every one with a (not quite unit) normal, under
    // irregular triangles: a fan of 300 around vertex 0, an edge shared by
    // five, corners repeated, collinear and tiny faces either side of the
    // normalising threshold, corners naming no vertex among them, and a
    // count that is not a multiple of four.
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const uint32_t n = 997;
    std::vector<double> positions;
    for (uint32_t v = 0; v < n; ++v) {
        for (int c = 0; c < 3; ++c) positions.push_back((next() % 20001) * 1e-4 - 1.0);
    }
    positions[6] = positions[3] + 2.6e-8, positions[7] = positions[4], positions[8] = positions[5];
    m = make_scene_mesh(positions);
    for (uint32_t v = 0; v < n; ++v) {
        for (int c = 0; c < 3; ++c) m.triangle_normals.push_back((next() % 2001) * 1e-3 - 1.0);
    }
    for (uint32_t k = 0; k < 300; ++k) m.triangles.insert(m.triangles.end(), {0, 1 + k, 2 + k});
    for (uint32_t k = 0; k < 5; ++k) m.triangles.insert(m.triangles.end(), {10, 11, 20 + k});
    m.triangles.insert(m.triangles.end(), {3, 3, 3, 4, 5, 4, 1, 2, 3, 7, n, 8, 1, 2, 4, 9, 9, 0xffffffffu});
    for (uint32_t k = 0; k < 1202; ++k) {
        m.triangles.insert(m.triangles.end(), {next() % n, next() % n, next() % n});
    }
    expect_reference_bytes(m);

    // Positions short of one vertex: no triangle names a vertex, nothing is
    // read beyond the two doubles, and the colours go grey.
    m = make_scene_mesh({0.5, 0.5});
    m.triangles.assign(15, 0);
    m.triangle_normals = {0, 0, 1};
    m.display_colours = {7, 7, 7, 255};
    apply_colour_settings(by(COLOUR_BY_CURVATURE), m);
    EXPECT_EQ(red(m, 0), 63);
}

TEST(ColourModes, WholeMeshIdsNegationTransparencyAndSmoothingColours) {
    InteropMesh m = make_column(2);
    m.batch_index = -1;
    m.batch_count = 4;
    apply_colour_settings(by(COLOUR_BY_BATCHID, true), m);
    EXPECT_EQ(reds(m), (std::vector<int>{63, 63}));
    m.batch_index = 1, m.batch_count = 0;
    apply_colour_settings(by(COLOUR_BY_BATCHID), m);
    EXPECT_EQ(red(m, 0), 63);
    m.element_index = 17, m.element_count = 20;
    apply_colour_settings(by(COLOUR_BY_ELEMENTID, true), m);
    EXPECT_EQ(m.display_colours[1], 191);  // palette 1
    apply_colour_settings(by(COLOUR_BY_ELEMENTID), m);
    EXPECT_EQ(red(m, 0), 216);

    // The transparent alpha follows the source alpha however often it is
    // applied; negation never touches alpha.
    m.colours = {0.5, 0.25, 1.0, 1.0, 0.0, 0.0, 0.0, 0.5};
    ColourSettings s;
    s.transparent_mode = true;
    for (int round = 0; round < 3; ++round) apply_colour_settings(s, m);
    EXPECT_EQ((std::vector<int>{m.display_colours[0], m.display_colours[3], m.display_colours[7]}),
              (std::vector<int>{127, 191, 127}));
    s.transparent_mode = false;
    s.negate_colours = true;
    apply_colour_settings(s, m);
    EXPECT_EQ((std::vector<int>{m.display_colours[0], m.display_colours[1], m.display_colours[2],
                                m.display_colours[3], m.display_colours[7]}),
              (std::vector<int>{128, 192, 0, 255, 127}));
    s.negate_colours = false;
    s.colour_mode = COLOUR_DARK;
    apply_colour_settings(s, m);
    EXPECT_EQ(reds(m), (std::vector<int>{63, 63}));
    apply_colour_settings(by(99, true), m);  // no such function
    EXPECT_EQ(reds(m), (std::vector<int>{63, 63}));

    // A mesh without colours gets opaque grey ones; the smoothing-group
    // colours copy the mapped display colours while the map is consistent.
    InteropMesh c = make_column(3);
    c.colours.clear();
    c.display_colours.clear();
    apply_colour_settings(ColourSettings{}, c);
    EXPECT_EQ((std::vector<int>{int(c.display_colours.size()), c.display_colours[0], c.display_colours[3]}),
              (std::vector<int>{12, 191, 255}));
    c.smoothing_groups_defined = 1;
    c.smoothing_count = 2;
    c.tessellation_map = {2, 0, 0, 2, 1, 9, 0};  // 9: no vertex; last: no slot
    c.tessellation_colours.assign(12, 7);
    apply_colour_settings(by(COLOUR_BY_ELEVATION), c);
    EXPECT_EQ((std::vector<int>{c.tessellation_colours[0], c.tessellation_colours[4], c.tessellation_colours[8]}),
              (std::vector<int>{255, 127, 7}));
    c.tessellation_map[0] = 3;
    c.tessellation_colours.assign(12, 7);
    apply_colour_settings(by(COLOUR_BY_ELEVATION), c);
    EXPECT_EQ(c.tessellation_colours[0], 7);
}

TEST(ColourModes, AlphaOfEveryVertexFollowsItsSourceAlpha) {
    // Eleven vertices (whole groups of four and a remainder); the last two
    // have no source colour. Alphas out of range and NaN clamp.
    InteropMesh m = make_column(11);
    const double alphas[9] = {0.0, 1.0, 0.5, 0.2, -3.0, 7.0, std::nan(""), 0.999, 0.004};
    m.colours.clear();
    for (double a : alphas) m.colours.insert(m.colours.end(), {0.5, 0.5, 0.5, a});
    const int opaque[2] = {255, 191};
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent);
        ColourSettings s;
        s.transparent_mode = transparent;
        s.negate_colours = transparent;
        apply_colour_settings(s, m);
        std::vector<int> got, want;
        for (size_t i = 0; i < 11; ++i) {
            got.push_back(m.display_colours[4 * i + 3]);
            if (i >= 9) {
                want.push_back(opaque[transparent]);
                continue;
            }
            const int a = unit_to_byte(alphas[i]);
            want.push_back(transparent ? int(a * 0.5 + 64.0) : a);
        }
        EXPECT_EQ(got, want);
        EXPECT_EQ(int(m.display_colours[0]), transparent ? 128 : 127);  // negation leaves alpha alone
    }
}

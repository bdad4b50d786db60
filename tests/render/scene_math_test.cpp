#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "render/mesh_upload.h"
#include "scene_test_support.h"

namespace {

struct Vertex {
    float position[3];
    float normal[3];
    uint8_t colour[4];
    uint8_t id[4];
};

Vertex vertex_at(const InteropMesh& m, size_t k) {
    Vertex v;
    std::memcpy(&v, m.upload_buffer.data() + 32 * k, 32);
    return v;
}

template <typename T>
T index_at(const InteropMesh& m, const MeshUploadLayout& l, size_t byte_offset) {
    T v;
    std::memcpy(&v, m.upload_buffer.data() + l.vertex_bytes + byte_offset, sizeof v);
    return v;
}

InteropMesh mesh_of_vertices(size_t n) {
    InteropMesh m;
    m.dimension = 3;
    m.positions.assign(3 * n, 0.0);
    return m;
}

// Column-major matrix applied to a point.
void transform(const float* m, const double p[3], double out[3]) {
    for (int r = 0; r < 3; ++r) out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
}

}  // namespace

TEST(MeshUpload, EdgeIndexWidthFollowsTheVertexCount) {
    // Only 32-bit lists at 65,536 vertices: narrowed to 16 bits.
    InteropMesh small = mesh_of_vertices(65536);
    small.triangles = {0, 1, 65535};
    small.triangle_edges = {0, 65535};
    small.polygon_edges = {1, 2, 3, 4};
    small.group_edges16 = {5, 6};
    MeshUploadLayout l = build_upload_buffer(small);
    EXPECT_TRUE(l.short_edges);
    EXPECT_EQ(l.vertex_bytes, (65536u + 3u) * 32u + 768u);
    EXPECT_EQ(l.triangle_edge_offset, 12u);
    EXPECT_EQ(l.polygon_edge_offset, 20u);
    EXPECT_EQ(l.group_edge_offset, 36u);
    EXPECT_EQ(l.index_bytes, 44u);
    EXPECT_EQ(small.upload_buffer.size(), l.vertex_bytes + l.index_bytes);
    EXPECT_EQ(index_at<uint16_t>(small, l, 14), 65535);
    EXPECT_EQ(index_at<uint16_t>(small, l, 26), 4);
    EXPECT_EQ(index_at<uint16_t>(small, l, 38), 6);

    // 65,537 vertices: 32 bits, the 16-bit list widened.
    InteropMesh large = mesh_of_vertices(65537);
    large.triangle_edges = {0, 65536};
    large.group_edges16 = {5, 6};
    l = build_upload_buffer(large);
    EXPECT_FALSE(l.short_edges);
    EXPECT_EQ(index_at<uint32_t>(large, l, l.triangle_edge_offset + 4), 65536u);
    EXPECT_EQ(index_at<uint32_t>(large, l, l.group_edge_offset + 4), 6u);
}

TEST(MeshUpload, VertexRunsAndShortInputs) {
    InteropMesh m;
    m.dimension = 2;
    m.positions = {1, 2, 3, 4, 5, 6};
    m.triangle_normals = {0, 1, 1, 0, 1, 1};
    m.display_colours = {10, 20, 30, 40};  // one colour for three vertices
    m.triangles = {0, 1, 2, 2, 7, 0};      // corner 7 names no vertex
    const MeshUploadLayout l = build_upload_buffer(m);
    ASSERT_EQ(l.vertex_bytes, (3u + 6u + 24u) * 32u);

    Vertex v0 = vertex_at(m, 0);
    EXPECT_EQ(v0.position[0], 1.0f);
    EXPECT_EQ(v0.position[1], 2.0f);
    EXPECT_EQ(v0.position[2], 0.0f);
    EXPECT_EQ(v0.normal[1], 1.0f);
    EXPECT_EQ(v0.colour[3], 40);
    Vertex v2 = vertex_at(m, 2);
    EXPECT_EQ(v2.colour[0], 191);
    EXPECT_EQ(v2.colour[3], 255);

    // Unrolled: run position 3 is triangle 1's first corner (vertex 2).
    Vertex u3 = vertex_at(m, 3 + 3);
    EXPECT_EQ(u3.position[0], 5.0f);
    EXPECT_EQ(u3.id[2], 1);
    EXPECT_EQ(u3.id[3], 255);
    Vertex bad = vertex_at(m, 3 + 4);
    EXPECT_EQ(bad.position[0], 0.0f);
    EXPECT_EQ(bad.colour[3], 0);
    EXPECT_EQ(index_at<uint32_t>(m, l, 16), 3u + 4u);

    // No bounds: a zero box, red, green, blue by eights.
    Vertex b0 = vertex_at(m, 9);
    Vertex b23 = vertex_at(m, 9 + 23);
    EXPECT_EQ(b0.position[0], 0.0f);
    EXPECT_EQ(b0.colour[0], 255);
    EXPECT_EQ(b23.colour[2], 255);
    EXPECT_EQ(b23.normal[1], 1.0f);
}

TEST(MeshUpload, TriangleIdsBoxCornersAndSmoothingVectors) {
    InteropMesh m = make_scene_mesh({0, 0, 0, 1, 2, 3});
    m.triangles.assign(3 * 70001, 1);
    m.smoothing_count = 1;
    m.shading_vectors.assign(3 * 70001, 0.0f);
    m.shading_vectors[3 * 70000 + 2] = -1.0f;
    build_upload_buffer(m);
    // Triangle 70,000 = 0x011170.
    Vertex u = vertex_at(m, 2 + 3 * 70000 + 1);
    EXPECT_EQ(u.id[0], 0x01);
    EXPECT_EQ(u.id[1], 0x11);
    EXPECT_EQ(u.id[2], 0x70);
    EXPECT_EQ(u.normal[2], -1.0f);
    EXPECT_EQ(u.position[1], 2.0f);

    // Box pair (6, 7): corner 7 is the maximum corner.
    const size_t box = 2 + 3 * 70001;
    Vertex c7 = vertex_at(m, box + 7);
    EXPECT_EQ(c7.position[0], 1.0f);
    EXPECT_EQ(c7.position[1], 2.0f);
    EXPECT_EQ(c7.position[2], 3.0f);
    Vertex c6 = vertex_at(m, box + 6);
    EXPECT_EQ(c6.position[0], 0.0f);
    EXPECT_EQ(c6.position[2], 3.0f);
}

TEST(SceneMatrices, PerspectiveOrthographicLookAtAndProducts) {
    float p[16];
    build_perspective_matrix(p, 90.0, 1.0, 3.0, 2.0);
    const float want[16] = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(p[i], want[i], 1e-6) << i;

    float o[16];
    build_orthographic_matrix(o, 2.0);
    EXPECT_FLOAT_EQ(o[0], 0.5f);
    EXPECT_FLOAT_EQ(o[10], -0.002f);
    EXPECT_FLOAT_EQ(o[14], -1.0f);
    EXPECT_FLOAT_EQ(o[15], 1.0f);

    // Eye on +x looking at the origin: the origin lies one unit ahead
    // (-z), +z of the world to the left (-x).
    float v[16];
    const double eye[3] = {1, 0, 0}, at[3] = {0, 0, 0}, up[3] = {0, 1, 0};
    build_look_at_matrix(v, eye, at, up);
    double out[3];
    const double origin[3] = {0, 0, 0}, plus_z[3] = {0, 0, 1}, top[3] = {0, 5, 0};
    transform(v, origin, out);
    EXPECT_NEAR(out[2], -1.0, 1e-6);
    transform(v, plus_z, out);
    EXPECT_NEAR(out[0], -1.0, 1e-6);
    transform(v, top, out);
    EXPECT_NEAR(out[1], 5.0, 1e-6);

    // Up parallel to the view: no NaN.
    const double straight_up[3] = {1, 0, 0};
    build_look_at_matrix(v, eye, at, straight_up);
    for (float x : v) EXPECT_FALSE(std::isnan(x));

    float t[16], r[16];
    build_translation_matrix(t, 1, 2, 3);
    multiply_matrices(r, p, t);
    // Projection of (1, 2, 3): x = 0.5, w = -3.
    EXPECT_NEAR(r[12], 0.5, 1e-6);
    EXPECT_NEAR(r[15], -3.0, 1e-6);
    multiply_matrices(t, t, t);
    EXPECT_FLOAT_EQ(t[13], 4.0f);
}

TEST(ThumbnailStrip, CellsAndSkippedCells) {
    int32_t x = -1, y = -1;
    ASSERT_TRUE(strip_cell_origin(environment_thumbnail_cell(0), x, y));
    EXPECT_EQ(x, 1920);
    EXPECT_EQ(y, 1920);
    ASSERT_TRUE(strip_cell_origin(17, x, y));
    EXPECT_EQ(x, 128);
    EXPECT_EQ(y, 128);
    EXPECT_FALSE(strip_cell_origin(256, x, y));
    EXPECT_FALSE(strip_cell_origin(environment_thumbnail_cell(256), x, y));
}

TEST(PickHighlight, RunsByModeAndMapMessages) {
    InteropMesh m = mesh_of_vertices(3);
    m.triangles.assign(3 * 8, 0);
    m.triangle_polygons = {0, 0, 1, 1, 1, 2, 2, 3};
    m.operand_ids = {7, 7, 7, 8};
    m.group_ids = {1, 1, 1, 1};
    m.user_types = {0, 4, 4, 4};

    auto run = [&](char mode, size_t t) {
        const TriangleRun r = pick_highlight_run(m, mode, t);
        return std::make_pair(r.first, r.count);
    };
    EXPECT_EQ(run('P', 3), std::make_pair(size_t{2}, size_t{3}));
    EXPECT_EQ(run('o', 3), std::make_pair(size_t{0}, size_t{7}));
    EXPECT_EQ(run('G', 7), std::make_pair(size_t{7}, size_t{1}));  // same group, other operand
    EXPECT_EQ(run('U', 4), std::make_pair(size_t{2}, size_t{6}));
    EXPECT_EQ(run('U', 0).second, 0u);
    EXPECT_EQ(run('T', 5), std::make_pair(size_t{5}, size_t{1}));
    EXPECT_EQ(run('E', 5), std::make_pair(size_t{0}, size_t{8}));
    EXPECT_EQ(run('T', 8).second, 0u);
    m.operand_ids.clear();
    EXPECT_EQ(run('G', 7), std::make_pair(size_t{0}, size_t{8}));
    EXPECT_EQ(run('O', 3), std::make_pair(size_t{3}, size_t{1}));

    testing::internal::CaptureStdout();
    m.triangle_polygons.pop_back();
    EXPECT_EQ(run('P', 3), std::make_pair(size_t{3}, size_t{1}));
    m.triangle_polygons.clear();
    EXPECT_EQ(run('P', 3), std::make_pair(size_t{3}, size_t{1}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "TESS-MAP-INCONSISTENCY:[8 vs. 7];\nMISSING-TESS-MAP!\n");
}

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

// A mesh's buffer data as the renderer writes it, into memory filled with
// `poison` first.
struct Built {
    MeshUploadLayout layout;
    std::vector<uint8_t> bytes;  // vertex data, then index data
};

Built build(const InteropMesh& m, bool triangle_run = true, uint8_t poison = 0) {
    Built b;
    b.layout = mesh_upload_layout(m, triangle_run);
    b.bytes.assign(b.layout.vertex_bytes + b.layout.index_bytes, poison);
    write_mesh_vertices(m, b.layout, b.bytes.data());
    write_mesh_indices(m, b.layout, b.bytes.data() + b.layout.vertex_bytes);
    return b;
}

Vertex vertex_at(const Built& b, size_t k) {
    Vertex v;
    std::memcpy(&v, b.bytes.data() + 32 * k, 32);
    return v;
}

template <typename T>
T index_at(const Built& b, size_t byte_offset) {
    T v;
    std::memcpy(&v, b.bytes.data() + b.layout.vertex_bytes + byte_offset, sizeof v);
    return v;
}

InteropMesh mesh_of_vertices(size_t n) {
    InteropMesh m;
    m.dimension = 3;
    m.positions.assign(3 * n, 0.0);
    return m;
}

}  // namespace

TEST(MeshUpload, EdgeIndexWidthFollowsTheVertexCount) {
    // 65,536 vertices with 32-bit lists: narrowed to 16 bits, packed from
    // the start of each list's slots.
    InteropMesh small = mesh_of_vertices(65536);
    small.triangles = {0, 1, 65535};
    small.triangle_edges = {0, 65535};
    small.polygon_edges = {1, 2, 3, 4};
    small.group_edges_16 = {5, 6};
    Built b = build(small);
    const MeshUploadLayout& l = b.layout;
    EXPECT_TRUE(l.short_edges);
    EXPECT_EQ(l.vertex_bytes, (65536u + 3u) * 32u + 768u);
    EXPECT_EQ((std::vector<size_t>{l.triangle_edge_offset, l.polygon_edge_offset, l.group_edge_offset, l.index_bytes}),
              (std::vector<size_t>{12, 20, 36, 44}));
    EXPECT_EQ(index_at<uint16_t>(b, 14), 65535);
    EXPECT_EQ(index_at<uint16_t>(b, 26), 4);
    EXPECT_EQ(index_at<uint16_t>(b, 38), 6);

    // 65,537: 32 bits, the 16-bit list widened.
    InteropMesh large = mesh_of_vertices(65537);
    large.triangle_edges = {0, 65536};
    large.group_edges_16 = {5, 6};
    b = build(large);
    EXPECT_FALSE(b.layout.short_edges);
    EXPECT_EQ(index_at<uint32_t>(b, b.layout.triangle_edge_offset + 4), 65536u);
    EXPECT_EQ(index_at<uint32_t>(b, b.layout.group_edge_offset + 4), 6u);
}

TEST(MeshUpload, VertexRunsShortInputsAndTriangleIds) {
    InteropMesh m;
    m.dimension = 2;
    m.positions = {1, 2, 3, 4, 5, 6};
    m.triangle_normals = {0, 1, 1, 0, 1, 1};
    m.display_colours = {10, 20, 30, 40};  // one colour for three vertices
    m.triangles = {0, 1, 2, 2, 7, 0};      // corner 7 names no vertex
    const Built b = build(m);
    ASSERT_EQ(b.layout.vertex_bytes, (3u + 6u + 24u) * 32u);
    const Vertex v0 = vertex_at(b, 0), v2 = vertex_at(b, 2);
    EXPECT_EQ((std::vector<float>{v0.position[0], v0.position[1], v0.position[2], v0.normal[1]}),
              (std::vector<float>{1, 2, 0, 1}));
    EXPECT_EQ((std::vector<int>{v0.colour[3], v2.colour[0], v2.colour[3]}), (std::vector<int>{40, 191, 255}));
    // Unrolled run: position 3 is triangle 1's first corner, vertex 2.
    const Vertex u3 = vertex_at(b, 6), bad = vertex_at(b, 7);
    EXPECT_EQ((std::vector<int>{int(u3.position[0]), u3.id[2], u3.id[3]}), (std::vector<int>{5, 1, 255}));
    EXPECT_EQ((std::vector<int>{int(bad.position[0]), bad.colour[3]}), (std::vector<int>{0, 0}));
    EXPECT_EQ(index_at<uint32_t>(b, 16), 7u);  // points at the zeroed vertex
    // No bounds: a zero box, red, green and blue by eights.
    EXPECT_EQ(b.layout.box_first, 9u);
    EXPECT_EQ((std::vector<int>{int(vertex_at(b, 9).position[0]), vertex_at(b, 9).colour[0],
                                vertex_at(b, 9 + 23).colour[2], int(vertex_at(b, 9 + 23).normal[1])}),
              (std::vector<int>{0, 255, 255, 1}));

    // Triangle 70,000 is 0x011170; smoothing vectors replace the normal;
    // box corner 7 is the maximum.
    InteropMesh big = make_scene_mesh({0, 0, 0, 1, 2, 3});
    big.triangles.assign(3 * 70001, 1);
    big.smoothing_count = 1;
    big.shading_vectors.assign(3 * 70001, 0.0f);
    big.shading_vectors[3 * 70000 + 2] = -1.0f;
    const Built bb = build(big);
    const Vertex u = vertex_at(bb, 2 + 3 * 70000 + 1);
    EXPECT_EQ((std::vector<int>{u.id[0], u.id[1], u.id[2], int(u.normal[2]), int(u.position[1])}),
              (std::vector<int>{0x01, 0x11, 0x70, -1, 2}));
    const Vertex c7 = vertex_at(bb, 2 + 3 * 70001 + 7);
    EXPECT_EQ((std::vector<float>{c7.position[0], c7.position[1], c7.position[2]}), (std::vector<float>{1, 2, 3}));
}

TEST(MeshUpload, WithoutTheTriangleRunTheBoxFollowsTheSharedVertices) {
    InteropMesh m = make_scene_mesh({0, 0, 0, 1, 2, 3, 4, 5, 6});
    m.triangles = {0, 1, 2, 2, 9, 0};  // corner 9 names no vertex
    m.group_edges_16 = {0, 1, 1, 2, 2, 0};
    const Built b = build(m, false);
    const MeshUploadLayout& l = b.layout;
    EXPECT_FALSE(l.triangle_run);
    // Three shared vertices, the box, one zeroed vertex; the index data is
    // the same as with the run.
    EXPECT_EQ(l.box_first, 3u);
    EXPECT_EQ(l.vertex_bytes, (3u + 24u + 1u) * 32u);
    EXPECT_EQ(l.index_bytes, build(m, true).layout.index_bytes);
    const Vertex c7 = vertex_at(b, 3 + 23);  // last vertex of the box: corner 7
    EXPECT_EQ((std::vector<float>{c7.position[0], c7.position[1], c7.position[2], c7.normal[1]}),
              (std::vector<float>{4, 5, 6, 1}));
    const Vertex zero = vertex_at(b, 27);
    EXPECT_EQ((std::vector<float>{zero.position[0], zero.position[1], zero.position[2], float(zero.colour[3])}),
              (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(index_at<uint32_t>(b, 16), 27u);  // the bad corner draws the zeroed vertex
    EXPECT_EQ(index_at<uint32_t>(b, 12), 2u);
    EXPECT_EQ(index_at<uint16_t>(b, l.group_edge_offset + 10), 0);

    // Every byte of both layouts is written: memory filled with different
    // bytes beforehand ends up the same.
    for (bool run : {false, true}) {
        EXPECT_EQ(build(m, run, 0x00).bytes, build(m, run, 0xA5).bytes) << "triangle run " << run;
    }
}

TEST(SceneMatrices, ProjectionsLookAtAndProducts) {
    float p[16];
    build_perspective_matrix(p, 90.0, 1.0, 3.0, 2.0);
    const float want[16] = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(p[i], want[i], 1e-6) << i;
    float o[16];
    build_orthographic_matrix(o, 2.0);
    EXPECT_EQ((std::vector<float>{o[0], o[10], o[14], o[15]}), (std::vector<float>{0.5f, -0.002f, -1.0f, 1.0f}));

    // Eye on +x looking at the origin: the origin one unit ahead (-z), world
    // +z to the left (-x), world y up.
    float v[16];
    const double eye[3] = {1, 0, 0}, at[3] = {0, 0, 0}, up[3] = {0, 1, 0};
    build_look_at_matrix(v, eye, at, up);
    EXPECT_NEAR(v[14], -1.0, 1e-6);
    EXPECT_NEAR(v[8], -1.0, 1e-6);
    EXPECT_NEAR(v[5], 1.0, 1e-6);
    const double along[3] = {1, 0, 0};  // up parallel to the view
    build_look_at_matrix(v, eye, at, along);
    for (float x : v) EXPECT_FALSE(std::isnan(x));

    // Projection of (1, 2, 3): x 0.5, w -3.
    float t[16], r[16];
    build_translation_matrix(t, 1, 2, 3);
    multiply_matrices(r, p, t);
    EXPECT_NEAR(r[12], 0.5, 1e-6);
    EXPECT_NEAR(r[15], -3.0, 1e-6);
}

TEST(ThumbnailStrip, CellsAndSkippedCells) {
    int32_t x = -1, y = -1;
    ASSERT_TRUE(strip_cell_origin(environment_thumbnail_cell(0), x, y));
    EXPECT_EQ((std::vector<int>{x, y}), (std::vector<int>{1920, 1920}));
    ASSERT_TRUE(strip_cell_origin(17, x, y));
    EXPECT_EQ((std::vector<int>{x, y}), (std::vector<int>{128, 128}));
    EXPECT_FALSE(strip_cell_origin(256, x, y));
    EXPECT_FALSE(strip_cell_origin(environment_thumbnail_cell(256), x, y));
}

TEST(PickHighlight, RunsByModeAndMapMessages) {
    InteropMesh m = mesh_of_vertices(3);
    m.triangles.assign(3 * 8, 0);
    m.triangle_polygons = {0, 0, 1, 1, 1, 2, 2, 3};
    m.operand_ids = {7, 7, 7, 8};
    m.group_ids = {1, 1, 1, 1};
    m.user_type_ids = {0, 4, 4, 4};
    auto run = [&](char mode, size_t t) {
        const TriangleRun r = pick_highlight_run(m, mode, t);
        return std::vector<size_t>{r.first, r.count};
    };
    using R = std::vector<size_t>;
    EXPECT_EQ(run('P', 3), (R{2, 3}));
    EXPECT_EQ(run('o', 3), (R{0, 7}));
    EXPECT_EQ(run('G', 7), (R{7, 1}));  // same group, other operand
    EXPECT_EQ(run('?', 4), (R{2, 6}));  // the key strip's user-defined key
    EXPECT_EQ(run('U', 0)[1], 0u);
    EXPECT_EQ(run('T', 5), (R{5, 1}));
    EXPECT_EQ(run('E', 5), (R{0, 8}));
    EXPECT_EQ(run('T', 8)[1], 0u);
    m.operand_ids.clear();
    EXPECT_EQ(run('G', 7), (R{0, 8}));
    EXPECT_EQ(run('O', 3), (R{3, 1}));

    testing::internal::CaptureStdout();
    m.triangle_polygons.pop_back();
    EXPECT_EQ(run('P', 3), (R{3, 1}));
    m.triangle_polygons.clear();
    EXPECT_EQ(run('P', 3), (R{3, 1}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "TESS-MAP-INCONSISTENCY:[8 vs. 7];\nMISSING-TESS-MAP!\n");
}

// Primitives, transforms, edge classification and interop conversion of the
// stand-in kernel.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "kernel/interop_test_reader.h"
#include "mesh/kernel_mesh.h"

static KernelMesh prim(const std::string& name, std::vector<double> args) {
    KernelMesh m;
    std::string error;
    EXPECT_TRUE(make_primitive(name, args, 50'000'000, m, &error)) << name << " " << error;
    return m;
}

// Every polygon's winding agrees with its vertex normals, and every index is
// in range: a wrongly wound face or a bad index shows here.
static void expect_outward(const KernelMesh& m, const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(m.normals.size(), m.positions.size());
    ASSERT_EQ(m.sign_flags.size(), m.vertex_count());
    ASSERT_EQ(m.vertex_colours.size(), m.vertex_count());
    ASSERT_EQ(m.face_ids.size(), m.polygon_count());
    size_t pos = 0;
    for (size_t p = 0; p < m.polygon_count(); ++p) {
        const uint32_t k = m.polygon_sizes[p];
        double area[3] = {0, 0, 0}, normal[3] = {0, 0, 0};
        for (uint32_t i = 0; i < k; ++i) {
            const uint32_t a = m.corners[pos + i], b = m.corners[pos + (i + 1) % k];
            ASSERT_LT(a, m.vertex_count());
            const double* A = &m.positions[a * 3];
            const double* B = &m.positions[b * 3];
            area[0] += A[1] * B[2] - A[2] * B[1];
            area[1] += A[2] * B[0] - A[0] * B[2];
            area[2] += A[0] * B[1] - A[1] * B[0];
            for (int c = 0; c < 3; ++c) normal[c] += m.normals[a * 3 + c];
        }
        const double dot = area[0] * normal[0] + area[1] * normal[1] + area[2] * normal[2];
        const double len = std::sqrt(area[0] * area[0] + area[1] * area[1] + area[2] * area[2]);
        if (len > 1e-12) {
            EXPECT_GT(dot, 0.0) << "polygon " << p;
        }
        pos += k;
    }
    EXPECT_EQ(pos, m.corners.size());
}

// Each undirected edge is used by exactly two polygon sides.
static bool watertight(const KernelMesh& m) {
    std::map<std::pair<uint32_t, uint32_t>, int> uses;
    size_t pos = 0;
    for (uint32_t k : m.polygon_sizes) {
        for (uint32_t i = 0; i < k; ++i) {
            uint32_t a = m.corners[pos + i], b = m.corners[pos + (i + 1) % k];
            if (a > b) std::swap(a, b);
            if (a != b) ++uses[{a, b}];
        }
        pos += k;
    }
    for (const auto& [edge, n] : uses)
        if (n != 2) return false;
    return true;
}

TEST(KernelMesh, PrimitivesAreOutwardWoundAndClosedWhereSmooth) {
    expect_outward(prim("box", {1, 2, 3}), "box");
    expect_outward(prim("mcube", {}), "mcube");
    expect_outward(prim("bcube", {1, 0.1}), "bcube");
    expect_outward(prim("rcube", {5, 5, 0.5, 0.25, 8}), "rcube");
    expect_outward(prim("sphere", {1, 16}), "sphere");
    expect_outward(prim("sphere", {1, 3}), "tiny sphere");
    expect_outward(prim("cylinder", {1, 2, 12}), "cylinder");
    expect_outward(prim("cone", {1, 2, 12}), "cone");
    expect_outward(prim("torus", {1, 0.25, 24, 8}), "torus");
    expect_outward(prim("grid", {4}), "grid");
    EXPECT_TRUE(watertight(prim("rcube", {2, 3, 4, 0.5, 3})));
    EXPECT_TRUE(watertight(prim("bcube", {1, 0.2})));
    EXPECT_TRUE(watertight(prim("sphere", {1, 12})));
    EXPECT_TRUE(watertight(prim("torus", {1, 0.25, 12, 6})));
    // A rounding radius larger than the box is clamped, not inverted.
    expect_outward(prim("rcube", {1, 1, 1, 5, 4}), "clamped rcube");
    KernelMesh mc = prim("mcube", {2});
    for (double v : mc.positions) EXPECT_TRUE(v == 0.0 || v == 2.0);
}

TEST(KernelMesh, EdgesSplitIntoPolygonAndGroupEdges) {
    std::vector<uint32_t> poly, group;
    KernelMesh g = prim("grid", {2});  // 3 x 3 vertices
    classify_edges(g, poly, group);
    EXPECT_EQ(group.size() / 2, 8u);  // the border
    EXPECT_EQ(poly.size() / 2, 4u);   // the inner cross
    KernelMesh c = prim("cylinder", {1, 1, 6});
    classify_edges(c, poly, group);
    // Side quads are one group: their vertical seams are polygon edges; the
    // rims border the caps (separate vertices), so they count as group edges.
    EXPECT_EQ(poly.size() / 2, 6u);
    EXPECT_EQ(group.size() / 2, 6u * 2 + 6u * 2);
    // Two touching grids in one mesh but different groups: the shared border
    // is a group edge once.
    KernelMesh two = prim("grid", {1});
    two.group_ids = {0};
    two.polygon_sizes.push_back(4);
    two.corners.insert(two.corners.end(), {1, 0, 2, 3});
    two.group_ids.push_back(1);
    classify_edges(two, poly, group);
    EXPECT_EQ(poly.size(), 0u);
    EXPECT_EQ(group.size() / 2, 4u);
}

TEST(KernelMesh, MirrorsFlipSignFlagsAndKeepNormalsOutward) {
    KernelMesh s = prim("sphere", {1, 8});
    apply_mesh_method(s, "sx", {-1});
    for (uint8_t f : s.sign_flags) EXPECT_EQ(f, 0x80);
    for (size_t v = 0; v < s.vertex_count(); ++v) {
        const double* p = &s.positions[v * 3];
        const double* n = &s.normals[v * 3];
        EXPECT_GT(p[0] * n[0] + p[1] * n[1] + p[2] * n[2], 0.99);
    }
    apply_mesh_method(s, "s", {-1, 1, 1});
    for (uint8_t f : s.sign_flags) EXPECT_EQ(f, 0);
    // A flattening scale leaves finite normals.
    apply_mesh_method(s, "sy", {0});
    for (double n : s.normals) EXPECT_TRUE(std::isfinite(n));

    KernelMesh b = prim("box", {});
    const double y_before = b.positions[1];
    apply_mesh_method(b, "rx90", {});
    EXPECT_EQ(b.positions[2], y_before);  // quarter turns are exact: y goes to z
    EXPECT_FALSE(apply_mesh_method(b, "spin", {}));
    EXPECT_FALSE(apply_mesh_method(b, "rq90", {}));
    apply_mesh_method(b, "rgb", {2, -1, 0.5});
    EXPECT_EQ(b.colours[0], (std::array<double, 4>{1, 0, 0.5, 1}));
}

TEST(KernelMesh, InteropEntryMatchesThePolygons) {
    KernelMesh m = prim("sphere", {1, 8});
    KernelMesh box = prim("box", {1});
    apply_mesh_method(box, "rgb", {1, 0, 0});
    mesh_union(m, box);
    InteropWriterMesh w;
    build_interop_mesh(m, w);
    EXPECT_EQ(w.polygon_size, 0);  // triangles and quads mixed
    EXPECT_EQ(w.polygons[0], m.polygon_count());
    EXPECT_EQ(w.palette.size(), 8u);
    EXPECT_EQ(w.type_names.size(), primitive_type_names().size());
    EXPECT_EQ(w.spare.size(), 0u);
    size_t triangles = 0;
    for (uint32_t k : m.polygon_sizes) triangles += k - 2;
    EXPECT_EQ(w.triangles.size(), triangles * 3);
    EXPECT_EQ(w.triangle_edges.size() / 2, triangles - m.polygon_count());
    EXPECT_EQ(w.smoothing_count, 1 + 6);
    const auto entries = read_file_bytes(interop_serialise({w}));
    ASSERT_EQ(entries.size(), 1u);
    expect_entry_consistent(entries[0], "sphere and box");
    EXPECT_EQ(entries[0].h[IW_WIDE_ROWS], 0);
    // Triangle shading vectors follow the winding.
    for (size_t t = 0; t < w.triangles.size() / 3; ++t) {
        const uint32_t a = w.triangles[t * 3];
        const double dot = w.shading[t * 3] * m.normals[a * 3] + w.shading[t * 3 + 1] * m.normals[a * 3 + 1] +
                           w.shading[t * 3 + 2] * m.normals[a * 3 + 2];
        EXPECT_GT(dot, 0.0);
    }

    KernelMesh big = prim("grid", {300});  // 90,601 vertices
    build_interop_mesh(big, w);
    EXPECT_EQ(w.polygon_size, 4);
    EXPECT_TRUE(interop_uses_wide_indices(w));
    const auto wide = read_file_bytes(interop_serialise({w}));
    ASSERT_EQ(wide.size(), 1u);
    expect_entry_consistent(wide[0], "grid 300");
    EXPECT_GT(wide[0].h[IW_WIDE_ROWS], 0);
    EXPECT_EQ(decode(wide[0].tables[3]).size(), 4u * 300u * 2u);

    InteropWriterMesh empty;
    build_interop_mesh(KernelMesh{}, empty);
    EXPECT_EQ(interop_entry_size(empty), 144u);
}

TEST(KernelMesh, BadArgumentsAreClampedOrRefused) {
    KernelMesh m;
    std::string error;
    EXPECT_FALSE(make_primitive("grid", {3000}, 1'000'000, m, &error));
    EXPECT_NE(error.find("MESH-TOO-LARGE"), std::string::npos);
    EXPECT_FALSE(make_primitive("blob", {}, 1000, m, &error));
    const double nan = std::nan("");
    for (const char* name : {"box", "sphere", "cylinder", "cone", "torus", "grid", "rcube", "bcube"}) {
        std::vector<double> args(5, nan);
        ASSERT_TRUE(make_primitive(name, args, 50'000'000, m, &error)) << name;
        EXPECT_GT(m.vertex_count(), 0u) << name;
        ASSERT_TRUE(make_primitive(name, std::vector<double>(5, -1e300), 50'000'000, m, &error)) << name;
    }
}

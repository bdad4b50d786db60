// Primitives, transforms, edge classification and interop conversion of the
// stand-in kernel.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

#include "kernel/kernel_test_support.h"
#include "mesh/kernel_mesh.h"

static KernelMesh prim(const std::string& name, std::vector<double> args) {
    KernelMesh m;
    std::string error;
    EXPECT_TRUE(make_primitive(name, args, 50'000'000, m, &error)) << name << " " << error;
    return m;
}

// Serialised, the mesh is consistent, and each triangle's winding agrees with
// its first corner's normal. A closed mesh uses every edge in exactly two sides.
static void expect_outward(const KernelMesh& m, bool closed) {
    InteropWriterMesh w;
    build_interop_mesh(m, w);
    const auto entries = read_file_bytes(interop_serialise({w}));
    ASSERT_EQ(entries.size(), 1u);
    ASSERT_NO_FATAL_FAILURE(expect_entry_consistent(entries[0], "entry"));
    ASSERT_EQ(m.normals.size(), m.positions.size());
    for (size_t t = 0; t < w.triangles.size() / 3; ++t) {
        const double* n = &m.normals[w.triangles[t * 3] * 3];
        EXPECT_GT(w.shading[t * 3] * n[0] + w.shading[t * 3 + 1] * n[1] + w.shading[t * 3 + 2] * n[2], 0.0) << t;
    }
    std::map<std::pair<uint32_t, uint32_t>, int> uses;
    for (size_t p = 0, pos = 0; p < m.polygon_count(); pos += m.polygon_sizes[p++]) {
        for (uint32_t i = 0, k = m.polygon_sizes[p]; i < k; ++i) {
            const uint32_t a = m.corners[pos + i], b = m.corners[pos + (i + 1) % k];
            if (a != b) ++uses[{std::min(a, b), std::max(a, b)}];
        }
    }
    size_t open_edges = 0;
    for (const auto& [edge, n] : uses) open_edges += n != 2;
    EXPECT_EQ(closed ? open_edges : 0u, 0u);
}

TEST(KernelMesh, PrimitivesAreOutwardWoundAndClosedWhereSmooth) {
    const std::tuple<const char*, std::vector<double>, bool> cases[] = {  // name, arguments, closed
        {"box", {1, 2, 3}, false},          {"mcube", {}, false},
        {"bcube", {1, 0.1}, true},          {"bcube", {1, 0.2}, true},
        {"rcube", {5, 5, 0.5, 0.25, 8}, true}, {"rcube", {2, 3, 4, 0.5, 3}, true},
        {"rcube", {1, 1, 1, 5, 4}, true},   // a rounding radius larger than the box is clamped, not inverted
        {"sphere", {1, 16}, true},          {"sphere", {1, 3}, true},
        {"cylinder", {1, 2, 12}, false},    {"cone", {1, 2, 12}, false},
        {"torus", {1, 0.25, 24, 8}, true},  {"grid", {4}, false},
    };
    for (const auto& [name, args, closed] : cases) {
        SCOPED_TRACE(name + ::testing::PrintToString(args));
        expect_outward(prim(name, args), closed);
    }
    for (double v : prim("mcube", {2}).positions) EXPECT_TRUE(v == 0.0 || v == 2.0);
}

TEST(KernelMesh, EdgesSplitIntoPolygonAndGroupEdges) {
    std::vector<uint32_t> poly, group;
    classify_edges(prim("grid", {2}), poly, group);  // 3 x 3 vertices
    EXPECT_EQ(group.size() / 2, 8u);                  // the border
    EXPECT_EQ(poly.size() / 2, 4u);                   // the inner cross
    // Side quads are one group: their vertical seams are polygon edges; the
    // rims border the caps (separate vertices), so they count as group edges.
    classify_edges(prim("cylinder", {1, 1, 6}), poly, group);
    EXPECT_EQ(poly.size() / 2, 6u);
    EXPECT_EQ(group.size() / 2, 6u * 2 + 6u * 2);
    // Two touching quads in different groups: the shared side is one group edge.
    KernelMesh two = prim("grid", {1});
    two.polygon_sizes.push_back(4);
    two.corners.insert(two.corners.end(), {1, 0, 2, 3});
    two.group_ids = {0, 1};
    classify_edges(two, poly, group);
    EXPECT_EQ(poly.size(), 0u);
    EXPECT_EQ(group.size() / 2, 4u);
}

// Mirrored by an odd number of negative axes a solid stays right side out:
// every face winds outward (Newell normal against the way from the solid's
// centre) and its corners' normals, the triangle normals a reader derives
// with the sign flags, and the triangles' shading agree with that winding.
// An even number of mirrors gives the solid back as it was; a quarter turn
// turns the normals with the faces.
TEST(KernelMesh, MirroredSolidsStayRightSideOut) {
    using Call = std::pair<const char*, std::vector<double>>;  // a name and its arguments
    const std::vector<Call> cases[] = {{{"sx", {-1}}},       {{"s", {-1, 1, 1}}},          {{"s", {-1, -1, -1}}},
                                       {{"s", {-1, -1, 1}}}, {{"sx", {-1}}, {"sx", {-1}}}, {{"rx90", {}}, {"sz", {-2}}}};
    for (const auto& [name, args] : {Call{"box", {1, 2, 3}}, Call{"sphere", {1, 12}}}) {
        const KernelMesh plain = prim(name, args);
        for (const std::vector<Call>& steps : cases) {
            SCOPED_TRACE(std::string(name) + " " + steps[0].first + ::testing::PrintToString(steps[0].second) +
                         " x" + std::to_string(steps.size()));
            KernelMesh m = plain;
            for (const auto& [method, values] : steps) ASSERT_TRUE(apply_mesh_method(m, method, values));
            if (steps.size() == 2 && steps[1].first == std::string("sx")) {
                EXPECT_EQ(std::tie(m.positions, m.corners, m.normals, m.sign_flags),
                          std::tie(plain.positions, plain.corners, plain.normals, plain.sign_flags));
            }
            InteropWriterMesh w;
            build_interop_mesh(m, w);
            const auto P = [&](uint32_t v) { return &m.positions[v * 3]; };
            const auto dot = [](const double* a, const auto* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
            double centre[3] = {0, 0, 0};
            for (size_t v = 0; v < m.vertex_count(); ++v)
                for (int a = 0; a < 3; ++a) centre[a] += P(v)[a] / double(m.vertex_count());
            size_t inward = 0, against = 0;
            for (size_t p = 0, pos = 0; p < m.polygon_count(); pos += m.polygon_sizes[p++]) {
                const uint32_t k = m.polygon_sizes[p], *c = &m.corners[pos];
                double newell[3] = {0, 0, 0}, outward = 0;
                for (uint32_t i = 0; i < k; ++i) {
                    const double *a = P(c[i]), *b = P(c[(i + 1) % k]);
                    for (int d = 0; d < 3; ++d)
                        newell[d] += a[(d + 1) % 3] * b[(d + 2) % 3] - a[(d + 2) % 3] * b[(d + 1) % 3];
                }
                for (uint32_t i = 0; i < k; ++i) {
                    for (int d = 0; d < 3; ++d) outward += newell[d] * (P(c[i])[d] - centre[d]);
                    // The corner's normal, and the triangle normal a reader derives with its sign flag.
                    const double along = dot(newell, &m.normals[c[i] * 3]);
                    against += (along <= 0) + ((m.sign_flags[c[i]] & 0x80 ? -along : along) <= 0);
                }
                inward += outward <= 0;
                for (size_t t = 0; t < w.triangle_polygons.size(); ++t)
                    against += w.triangle_polygons[t] == int32_t(p) && dot(newell, &w.shading[t * 3]) <= 0;
            }
            EXPECT_EQ(inward, 0u);
            EXPECT_EQ(against, 0u);
        }
    }

    KernelMesh s = prim("sphere", {1, 8});
    apply_mesh_method(s, "sy", {0});  // a flattening scale leaves finite normals
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
    size_t triangles = 0;
    for (uint32_t k : m.polygon_sizes) triangles += k - 2;
    EXPECT_EQ(w.triangles.size(), triangles * 3);
    EXPECT_EQ(w.triangle_edges.size() / 2, triangles - m.polygon_count());
    EXPECT_EQ(w.smoothing_count, 1 + 6);
    EXPECT_FALSE(interop_uses_wide_indices(w));

    build_interop_mesh(prim("grid", {300}), w);  // 90,601 vertices: wide, group edges in a coded table
    EXPECT_EQ(w.polygon_size, 4);
    EXPECT_EQ(decode(read_file_bytes(interop_serialise({w})).at(0).tables[3]).size(), 4u * 300u * 2u);

    build_interop_mesh(KernelMesh{}, w);
    EXPECT_EQ(interop_entry_size(w), 144u);
}

// The entry takes the mesh's arrays over: what is derived from them (edges,
// triangles) is derived before they move, and the arrays arrive unchanged.
TEST(KernelMesh, HandedOverMeshArrivesWhole) {
    KernelMesh mixed = prim("sphere", {1, 8});
    KernelMesh box = prim("box", {1});
    apply_mesh_method(box, "rgb", {1, 0, 0});
    apply_mesh_method(box, "sx", {-1});
    mesh_union(mixed, box);
    KernelMesh two = prim("grid", {1});  // two touching quads in different groups
    two.polygon_sizes.push_back(4);
    two.corners.insert(two.corners.end(), {1, 0, 2, 3});
    two.group_ids = {0, 1};
    for (const KernelMesh& m : {mixed, two, prim("grid", {300})}) {
        InteropWriterMesh w;
        KernelMesh given = m;
        build_interop_mesh(std::move(given), w);
        EXPECT_EQ(given.vertex_count(), 0u);
        EXPECT_EQ(w.positions, m.positions);
        EXPECT_EQ(w.normals, m.normals);
        EXPECT_EQ(w.sign_flags, m.sign_flags);
        EXPECT_EQ(w.colour_indices, m.vertex_colours);
        EXPECT_EQ(w.group_ids, m.group_ids);
        EXPECT_EQ(w.operand_ids, m.operand_ids);
        std::vector<uint32_t> polygon_edges, group_edges;
        classify_edges(m, polygon_edges, group_edges);
        EXPECT_EQ(w.polygon_edges, polygon_edges);
        EXPECT_EQ(w.group_edges, group_edges);
        ASSERT_EQ(w.triangles.size(), w.shading.size());
        if (m.vertex_count() < 1000) continue;
        for (size_t t = 0; t < w.shading.size(); t += 3) ASSERT_FLOAT_EQ(w.shading[t + 1], 1.0f) << t;  // the grid faces +y
    }
}

TEST(KernelMesh, BadArgumentsAreClampedOrRefused) {
    KernelMesh m;
    std::string error;
    EXPECT_FALSE(make_primitive("grid", {3000}, 1'000'000, m, &error));
    EXPECT_NE(error.find("MESH-TOO-LARGE"), std::string::npos);
    EXPECT_FALSE(make_primitive("blob", {}, 1000, m, &error));
    for (const char* name : {"box", "sphere", "cylinder", "cone", "torus", "grid", "rcube", "bcube"}) {
        ASSERT_TRUE(make_primitive(name, std::vector<double>(5, std::nan("")), 50'000'000, m, &error)) << name;
        EXPECT_GT(m.vertex_count(), 0u) << name;
        ASSERT_TRUE(make_primitive(name, std::vector<double>(5, -1e300), 50'000'000, m, &error)) << name;
    }
}

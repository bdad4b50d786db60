// Random scenes (broken lists, short attributes, flat meshes, parallel and
// hidden entities, transforms, lying record counters) read back by small
// readers: header counts equal the records, indices are in range, and
// every number is exactly the expected double.
#include <algorithm>
#include <array>
#include <random>

#include "export/mesh_obj.h"
#include "export/mesh_off.h"
#include "export/mesh_ply.h"
#include "export/mesh_stl.h"
#include "writers_support.h"

struct Expected {
    std::vector<std::array<double, 10>> vertices;  // x y z, nx ny nz, r g b a
    std::vector<std::vector<int64_t>> faces;
};

// The file's content, derived from the scene without the writers' helpers.
static Expected expected_of(const EntitySet& set, int topology) {
    Expected x;
    int64_t base = 0;
    auto add_mesh = [&](const InteropMesh& m, const EntityRecord& owner) {
        const size_t dim = m.dimension == 2 ? 2 : 3, count = m.positions.size() / dim;
        const std::vector<double>& normals = topology == 0 ? m.polygon_normals : m.triangle_normals;
        for (size_t v = 0; v < count; ++v) {
            std::array<double, 10> a = {m.positions[v * dim], m.positions[v * dim + 1],
                                        dim == 3 ? m.positions[v * dim + 2] : 0.0, 0, 0, 0, 1, 1, 1, 1};
            for (size_t k = 0; 3 * v + 3 <= normals.size() && k < 3; ++k) a[3 + k] = normals[3 * v + k];
            for (size_t k = 0; 4 * v + 4 <= m.colours.size() && k < 4; ++k) a[6 + k] = m.colours[4 * v + k];
            if (!entity_transform_is_identity(owner)) {
                entity_transform_point(owner, a[0], a[1], a[2]);
                entity_transform_normal(owner, a[3], a[4], a[5]);
            }
            x.vertices.push_back(a);
        }
        auto face = [&](const uint32_t* c, size_t n) {
            std::vector<int64_t> f(c, c + n);
            for (int64_t& i : f) {
                if (i >= static_cast<int64_t>(count)) return;
                i += base;
            }
            x.faces.push_back(f);
        };
        const std::vector<uint32_t>& p = m.polygons;
        if (topology == 3) {
            for (size_t i = 0; i + 3 <= m.triangles.size(); i += 3) face(m.triangles.data() + i, 3);
        } else if (m.polygon_size > 0) {
            for (size_t i = 0; i + m.polygon_size <= p.size(); i += m.polygon_size) face(p.data() + i, m.polygon_size);
        } else if (!p.empty() && static_cast<int32_t>(p[0]) > 0 && p[0] < p.size()) {
            uint64_t at = 1 + p[0], end = at;
            for (size_t k = 1; k <= p[0]; ++k) end += p[k];
            for (size_t k = 1; end <= p.size() && k <= p[0]; at += p[k++]) face(p.data() + at, p[k]);
        }
        base += static_cast<int64_t>(count);
    };
    for (const EntityRecord& e : set.records) {
        if (e.visible && !e.parallel && e.mesh) add_mesh(*e.mesh, e);
        for (const EntityRecord* sub : e.subelement_records) {
            if (e.visible && e.parallel && sub && sub->mesh) add_mesh(*sub->mesh, e);
        }
    }
    return x;
}

static double random_value(std::mt19937_64& r) {
    switch (r() % 4) {
    case 0: return static_cast<double>(static_cast<int64_t>(r() % 20001) - 10000) / 100.0;
    case 1: return std::uniform_real_distribution<double>(-1e3, 1e3)(r);
    case 2: return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(r), static_cast<int>(r() % 200) - 100);
    default: return static_cast<double>(r() % 7);
    }
}

static InteropMesh* random_mesh(WriterScene& s, std::mt19937_64& r) {
    if (r() % 8 == 0) return nullptr;
    const uint32_t dim = r() % 5 == 0 ? 2 : 3, v = static_cast<uint32_t>(r() % 12);
    InteropMesh& m = scene_mesh(s, {});
    m.dimension = static_cast<int32_t>(dim);
    for (uint32_t i = 0; i < v * dim; ++i) m.positions.push_back(random_value(r));
    auto index = [&]() { return static_cast<uint32_t>(r() % (v + (r() % 8 == 0 ? 3 : 1))); };
    std::vector<std::vector<uint32_t>> polygons(r() % 5);
    for (auto& p : polygons) p.resize(r() % 7);
    for (auto& p : polygons) std::generate(p.begin(), p.end(), index);
    m.polygons = polygon_list(polygons);
    // Lists that lie about their length, or hold a negative or huge count.
    if (r() % 6 == 0) m.polygons.resize(r() % m.polygons.size());
    if (r() % 12 == 0 && !m.polygons.empty()) m.polygons[r() % m.polygons.size()] |= 0x80000000u;
    if (r() % 4 == 0) m.polygon_size = 3 + static_cast<int32_t>(r() % 2);
    m.triangles.resize(r() % 20);
    std::generate(m.triangles.begin(), m.triangles.end(), index);
    m.polygon_normals.resize(r() % 3 ? 3 * v : r() % (3 * v + 1));
    m.triangle_normals.resize(r() % 3 ? 3 * v : r() % (3 * v + 1));
    m.colours.resize(r() % 3 ? 4 * v : r() % (4 * v + 1));
    for (auto* a : {&m.polygon_normals, &m.triangle_normals}) {
        for (double& value : *a) value = random_value(r);
    }
    for (double& c : m.colours) c = std::uniform_real_distribution<double>(-0.2, 1.2)(r);
    return &m;
}

static void random_scene(WriterScene& s, std::mt19937_64& r) {
    for (int i = static_cast<int>(r() % 4); i >= 0; --i) {
        std::vector<InteropMesh*> slots(r() % 4);
        for (auto& slot : slots) slot = random_mesh(s, r);
        EntityRecord& e = r() % 3 == 0 ? scene_parallel_entity(s, slots) : scene_entity(s, random_mesh(s, r));
        if (r() % 2) {
            e.translation = {random_value(r), random_value(r), 0.0};
            e.uniform_scale = 1.0 + static_cast<double>(r() % 3);
            e.axis_scale = {1.0, 0.5, 2.0};
            e.euler_angles = {0.0, static_cast<double>(r() % 360), 30.0};
            e.rotation_order = static_cast<int32_t>(r() % 6);
            e.transform_order = static_cast<int32_t>(r() % 6);
        }
        e.visible = r() % 5 != 0;
        e.vertex_count = e.triangle_count = e.polygon_count = static_cast<int32_t>(r() % 100);
    }
}

// ---------------------------------------------------------------------------

static std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> w;
    std::istringstream in(line);
    for (std::string s; in >> s;) w.push_back(s);
    return w;
}

static int colour_byte(double c) {
    const double scaled = 255.0 * c;
    return scaled >= 255.0 ? 255 : (scaled > 0.0 ? static_cast<int>(scaled) : 0);
}

static bool same(double a, double b) { return a == b || (a != a && b != b); }

// The text of a double reads back to exactly the expected one.
static void expect_number(const std::string& text, double want) {
    char* end = nullptr;
    const double got = std::strtod(text.c_str(), &end);
    EXPECT_EQ(*end, '\0') << text;
    EXPECT_TRUE(same(got, want)) << text << " != " << want;
}

// The vertex and face lines of OFF and text PLY after `at`.
static void check_text_body(const std::vector<std::string>& lines, size_t at, const Expected& x, bool n, bool c) {
    ASSERT_EQ(lines.size(), at + x.vertices.size() + x.faces.size());
    for (const auto& v : x.vertices) {
        const std::vector<std::string> w = words(lines[at++]);
        ASSERT_EQ(w.size(), 3u + (n ? 3 : 0) + (c ? 4 : 0));
        for (size_t k = 0; k < (n ? 6u : 3u); ++k) expect_number(w[k], v[k]);
        for (size_t k = 0; c && k < 4; ++k) EXPECT_EQ(w[w.size() - 4 + k], std::to_string(colour_byte(v[6 + k])));
    }
    for (const auto& f : x.faces) {
        std::string line = std::to_string(f.size());
        for (int64_t i : f) line += " " + std::to_string(i);
        EXPECT_EQ(lines[at++], line);
    }
}

TEST(WriterProperties, RandomScenesReadBackAsWritten) {
    std::mt19937_64 r(20261206);
    const std::string dir = writers_test_dir();
    for (int round = 0; round < 80 && !HasFatalFailure(); ++round) {
        WriterScene s;
        random_scene(s, r);
        const bool n = r() % 2, c = r() % 2;
        SCOPED_TRACE("round " + std::to_string(round));
        for (int topology : {0, 3}) {
            const Expected x = expected_of(s.set, topology);
            const std::string counts = std::to_string(x.vertices.size()) + " " + std::to_string(x.faces.size());

            ASSERT_TRUE(write_off_file(s.set, dir + "/r.off", topology, n, c));
            std::vector<std::string> lines = text_lines(slurp(dir + "/r.off"));
            ASSERT_GT(lines.size(), 10u);
            EXPECT_EQ(lines[0], n ? (c ? "CNOFF" : "NOFF") : (c ? "COFF" : "OFF"));
            EXPECT_EQ(lines[10], counts + " 0");
            check_text_body(lines, 11, x, n, c);

            for (bool binary : {false, true}) {
                ASSERT_TRUE(write_ply_file(s.set, dir + "/r.ply", topology, n, c, binary));
                const std::string ply = slurp(dir + "/r.ply");
                const size_t body = ply.find("end_header\n") + 11;
                const std::string header = ply.substr(0, body);
                const std::string vertex_line = "\nelement vertex " + std::to_string(x.vertices.size()) + "\n";
                EXPECT_NE(header.find(vertex_line), std::string::npos);
                EXPECT_NE(header.find("\nelement face " + std::to_string(x.faces.size()) + "\n"), std::string::npos);
                if (!binary) {
                    check_text_body(text_lines(ply), text_lines(header).size(), x, n, c);
                    continue;
                }
                size_t at = body;
                for (const auto& v : x.vertices) {
                    for (size_t k = 0; k < (n ? 6u : 3u); ++k, at += 8) {
                        EXPECT_TRUE(same(load_le<double>(ply, at), v[k]));
                    }
                    for (size_t k = 0; c && k < 4; ++k) {
                        EXPECT_EQ(static_cast<uint8_t>(ply.at(at++)), colour_byte(v[6 + k]));
                    }
                }
                for (const auto& f : x.faces) {
                    EXPECT_EQ(load_le<int32_t>(ply, at), static_cast<int32_t>(f.size()));
                    for (size_t k = 0; k < f.size(); ++k) EXPECT_EQ(load_le<int32_t>(ply, at + 4 + 4 * k), f[k]);
                    at += 4 + 4 * f.size();
                }
                EXPECT_EQ(at, ply.size());
            }

            // OBJ: v, vn, then f lines numbered from 1.
            ASSERT_TRUE(write_obj_file(s.set, dir + "/r.obj", topology, n, c));
            lines = text_lines(slurp(dir + "/r.obj"));
            ASSERT_EQ(lines.size(), 9 + x.vertices.size() * (n ? 2 : 1) + x.faces.size());
            EXPECT_EQ(lines[3], "#   - vertex : " + std::to_string(x.vertices.size()));
            EXPECT_EQ(lines[4], "#   - faces : " + std::to_string(x.faces.size()));
            size_t at = 9;
            for (const auto& v : x.vertices) {
                const std::vector<std::string> w = words(lines[at++]);
                ASSERT_EQ(w.size(), c ? 7u : 4u);
                for (size_t k = 1; k < w.size(); ++k) expect_number(w[k], v[k < 4 ? k - 1 : k + 2]);
            }
            for (size_t i = 0; n && i < x.vertices.size(); ++i) {
                const std::vector<std::string> w = words(lines[at++]);
                ASSERT_EQ(w.size(), 4u);
                for (size_t k = 1; k < 4; ++k) expect_number(w[k], x.vertices[i][k + 2]);
            }
            for (const auto& f : x.faces) {
                std::string line = topology == 0 ? "f " : "f";
                for (int64_t i : f) line += " " + std::to_string(i + 1) + (n ? "//" + std::to_string(i + 1) : "");
                EXPECT_EQ(lines[at++], line);
            }
        }
        // Binary STL: every triangle, corners as float.
        const Expected x = expected_of(s.set, 3);
        ASSERT_TRUE(write_stl_file(s.set, dir + "/r.stl", true));
        const std::string stl = slurp(dir + "/r.stl");
        ASSERT_EQ(stl.size(), 84 + 50 * x.faces.size());
        EXPECT_EQ(load_le<uint32_t>(stl, 80), x.faces.size());
        for (size_t t = 0; t < x.faces.size(); ++t) {
            for (size_t k = 0; k < 9; ++k) {
                const double want = x.vertices[static_cast<size_t>(x.faces[t][k / 3])][k % 3];
                EXPECT_EQ(load_le<float>(stl, 96 + 50 * t + 4 * k), static_cast<float>(want));
            }
        }
    }
}

// Random scenes (broken lists, short attributes, flat meshes, parallel and
// hidden entities, transforms, lying record counters) must give, in every
// format, the very bytes of their well-formed equivalent: one untransformed
// mesh of exactly the expected vertices, attributes and faces.
#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

#include "export_support.h"

static double random_value(std::mt19937_64& r) {
    switch (r() % 4) {
    case 0: return static_cast<double>(static_cast<int64_t>(r() % 20001) - 10000) / 100.0;
    case 1: return std::uniform_real_distribution<double>(-1e3, 1e3)(r);
    case 2: return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(r), static_cast<int>(r() % 200) - 100);
    default: return static_cast<double>(r() % 7);
    }
}

static InteropMesh* random_mesh(Scene& s, std::mt19937_64& r) {
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

static void random_scene(Scene& s, std::mt19937_64& r) {
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
        if (r() % 4 == 0) e.subelement_count = static_cast<int32_t>(r() % 5) - 1;
    }
    if (r() % 4 == 0) s.set.count = static_cast<int32_t>(r() % (s.set.records.size() + 2)) - 1;
}

static void well_formed_scene(Scene& s, const Expected& x, int topology) {
    InteropMesh& m = scene_mesh(s, {});
    for (const auto& v : x.vertices) {
        m.positions.insert(m.positions.end(), v.begin(), v.begin() + 3);
        m.polygon_normals.insert(m.polygon_normals.end(), v.begin() + 3, v.begin() + 6);
        m.colours.insert(m.colours.end(), v.begin() + 6, v.end());
    }
    m.triangle_normals = m.polygon_normals;
    std::vector<std::vector<uint32_t>> faces;
    for (const auto& f : x.faces) {
        faces.emplace_back(f.begin(), f.end());
        if (topology == 3) m.triangles.insert(m.triangles.end(), f.begin(), f.end());
    }
    if (topology == 0) m.polygons = polygon_list(faces);
    scene_entity(s, &m);
}

// An OFF file read back on its own terms: header counts equal the records,
// every index is in range, every coordinate parses back to the exact double.
static void expect_off_holds(const std::string& text, const Expected& x, bool normals, bool colours) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    std::string line;
    std::getline(in, line);
    ASSERT_EQ(line, std::string(colours ? "C" : "") + (normals ? "N" : "") + "OFF");
    while (in.peek() == '#') std::getline(in, line);
    size_t vertices = 0, faces = 0, edges = 1;
    in >> vertices >> faces >> edges;
    ASSERT_EQ(vertices, x.vertices.size());
    ASSERT_EQ(faces, x.faces.size());
    ASSERT_EQ(edges, 0u);
    for (const auto& v : x.vertices) {
        for (size_t k = 0; k < (normals ? 6u : 3u); ++k) {
            std::string token;
            in >> token;
            const double value = std::strtod(token.c_str(), nullptr);
            ASSERT_TRUE(value == v[k] || (std::isnan(value) && std::isnan(v[k]))) << token << " vs " << v[k];
        }
        for (size_t k = 6; colours && k < 10; ++k) {
            int byte = -1;
            in >> byte;
            ASSERT_EQ(byte, static_cast<int>(std::clamp(v[k], 0.0, 1.0) * 255.0));
        }
    }
    for (const auto& f : x.faces) {
        size_t n = 0;
        in >> n;
        ASSERT_EQ(n, f.size());
        for (int64_t expected : f) {
            int64_t index = -1;
            in >> index;
            ASSERT_TRUE(index >= 0 && index < static_cast<int64_t>(vertices));
            ASSERT_EQ(index, expected);
        }
    }
    in >> line;
    EXPECT_TRUE(in.eof()) << "trailing text: " << line;
}

TEST(WriterProperties, RandomScenesWriteLikeTheirWellFormedEquivalent) {
    std::mt19937_64 r(20261206);
    const TestDir random_scratch("vk_writers"), well_formed_scratch("vk_writers");
    const std::string random_dir = random_scratch.path(), well_formed_dir = well_formed_scratch.path();
    for (int round = 0; round < 100 && !HasFailure(); ++round) {
        Scene s, well_formed[2];
        random_scene(s, r);
        const bool n = r() % 2, c = r() % 2;
        const Expected polygons = expected_of(s.set, 0);
        well_formed_scene(well_formed[0], polygons, 0);
        well_formed_scene(well_formed[1], expected_of(s.set, 3), 3);
        for (const char* variant : writer_variants) {
            const std::string name = "/r" + std::string(variant);
            const bool triangles = name.find("NGON") == std::string::npos;
            ASSERT_TRUE(write_variant(variant, s.set, random_dir + name, n, c));
            ASSERT_TRUE(write_variant(variant, well_formed[triangles].set, well_formed_dir + name, n, c));
            EXPECT_EQ(slurp(random_dir + name), slurp(well_formed_dir + name)) << "round " << round << name;
        }
        expect_off_holds(slurp(random_dir + "/r_NGON.off"), polygons, n, c);
        expect_off_holds(slurp(random_dir + "/r_TESS.off"), expected_of(s.set, 3), n, c);
    }
}

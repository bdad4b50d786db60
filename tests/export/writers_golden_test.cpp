// Every format and variant of six small scenes against writer_golden/.
// VK_UPDATE_GOLDEN=1 rewrites the files after a deliberate change; read the
// diff before keeping it.
#include <functional>

#include "export/mesh_obj.h"
#include "export/mesh_off.h"
#include "export/mesh_ply.h"
#include "export/mesh_stl.h"
#include "writers_support.h"

static const std::vector<double> unit_triangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};
static const std::vector<double> unit_quad = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};

static InteropMesh& triangle(WriterScene& s, std::vector<double> positions = unit_triangle) {
    return scene_mesh(s, std::move(positions), {{0, 1, 2}}, {0, 1, 2});
}
static InteropMesh& quad(WriterScene& s, std::vector<double> positions = unit_quad) {
    return scene_mesh(s, std::move(positions), {{0, 1, 2, 3}}, {0, 1, 2, 0, 2, 3});
}

struct GoldenScene {
    const char* name;
    bool normals, colours;
    std::function<void(WriterScene&)> build;
};

static const GoldenScene golden_scenes[] = {
    {"triangle", false, false, [](WriterScene& s) { scene_entity(s, &triangle(s)); }},
    // Coordinates that need more than six digits, exponents and signs.
    {"quad_pentagon", false, false,
     [](WriterScene& s) {
         std::vector<double> p = unit_quad;
         p.insert(p.end(), {2, 0, 0.5, 3, 0, 0.5, 3.5, 1, 0.5, 2.5, 1.5e6, 1e-7, 1234.5678, 0.1, -2.25});
         scene_entity(s, &scene_mesh(s, p, {{0, 1, 2, 3}, {4, 5, 6, 7, 8}},
                                     {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7, 4, 7, 8}));
     }},
    {"two_entities", false, false,
     [](WriterScene& s) {
         scene_entity(s, &triangle(s));
         scene_entity(s, &quad(s, {5, 0, 0, 6, 0, 0, 6, 1, 0, 5, 1, 0}));
     }},
    // Scaled by 2, turned 90 degrees about z, moved by (1, 0, 0); normals of
    // length 2 come out unit length.
    {"transformed", true, false,
     [](WriterScene& s) {
         InteropMesh& m = quad(s);
         m.polygon_normals = {0, 0, 2, 0, 0, 2, 0, 0, 2, 0, 0, 2};
         m.triangle_normals = {1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0};
         EntityRecord& e = scene_entity(s, &m);
         e.uniform_scale = 2.0;
         e.euler_angles = {0.0, 0.0, 90.0};
         e.translation = {1.0, 0.0, 0.0};
     }},
    // Short attribute arrays and out-of-range colours on a triangle, then a
    // flat mesh of fixed-size quads.
    {"attributes", true, true,
     [](WriterScene& s) {
         InteropMesh& a = triangle(s);
         a.polygon_normals = {0, 0, 2, 0, 0, 1};
         a.triangle_normals = {0, 0, -1};
         a.colours = {1.0, 0.5, 0.999, 0.0, 1.5, -0.25, 0.25, 1.0};
         InteropMesh& b = scene_mesh(s, {0, 0, 2, 0, 2, 2, 0, 2}, {}, {0, 1, 2, 0, 2, 3});
         b.dimension = 2;
         b.polygon_size = 4;
         b.polygons = {0, 1, 2, 3};
         b.polygon_normals = b.triangle_normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
         b.colours = {0.1, 0.2, 0.3, 0.4, 0.2, 0.4, 0.6, 0.8, 0.3, 0.6, 0.9, 1.0, 0, 0, 0, 0};
         scene_entity(s, &a);
         scene_entity(s, &b);
     }},
    // A parallel entity moved up by 1 with an empty middle slot, an
    // invisible entity, then a plain one.
    {"parallel", false, true,
     [](WriterScene& s) {
         InteropMesh& a = triangle(s);
         a.colours = {1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1};
         InteropMesh& b = quad(s, {2, 0, 0, 3, 0, 0, 3, 1, 0, 2, 1, 0});
         b.colours = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
         InteropMesh& c = scene_mesh(s, {-1, -1, -1, -2, -1, -1, -1, -2, -1}, {{2, 1, 0}}, {2, 1, 0});
         c.colours = {0, 0, 1, 0.5, 0, 0, 1, 0.5, 0, 0, 1, 0.5};
         scene_parallel_entity(s, {&a, nullptr, &b}).translation = {0.0, 0.0, 1.0};
         scene_entity(s, &triangle(s, {9, 9, 9, 8, 8, 8, 7, 7, 7})).visible = 0;
         scene_entity(s, &c);
     }},
};

using Writer = std::function<bool(const EntitySet&, const std::string&, bool, bool)>;

static const std::pair<const char*, Writer> golden_outputs[] = {
    {"_NGON.obj", [](auto& s, auto& p, bool n, bool c) { return write_obj_file(s, p, 0, n, c); }},
    {"_TESS.obj", [](auto& s, auto& p, bool n, bool c) { return write_obj_file(s, p, 3, n, c); }},
    {"_NGON.off", [](auto& s, auto& p, bool n, bool c) { return write_off_file(s, p, 0, n, c); }},
    {"_TESS.off", [](auto& s, auto& p, bool n, bool c) { return write_off_file(s, p, 3, n, c); }},
    {"_NGON.ply", [](auto& s, auto& p, bool n, bool c) { return write_ply_file(s, p, 0, n, c, false); }},
    {"_TESS.ply", [](auto& s, auto& p, bool n, bool c) { return write_ply_file(s, p, 3, n, c, false); }},
    {"_NGON_bin.ply", [](auto& s, auto& p, bool n, bool c) { return write_ply_file(s, p, 0, n, c, true); }},
    {"_TESS_bin.ply", [](auto& s, auto& p, bool n, bool c) { return write_ply_file(s, p, 3, n, c, true); }},
    {".stl", [](auto& s, auto& p, bool, bool) { return write_stl_file(s, p, false); }},
    {"_bin.stl", [](auto& s, auto& p, bool, bool) { return write_stl_file(s, p, true); }},
};

TEST(WriterGolden, EveryFormatOfEveryScene) {
    const char* source = getenv("VK_SOURCE_DIR");
    ASSERT_TRUE(source && *source);
    const std::string golden = std::string(source) + "/tests/export/writer_golden/";
    const bool update = getenv("VK_UPDATE_GOLDEN") && std::string(getenv("VK_UPDATE_GOLDEN")) == "1";
    const std::string dir = writers_test_dir();
    for (const GoldenScene& g : golden_scenes) {
        WriterScene scene;
        g.build(scene);
        for (const auto& [suffix, write] : golden_outputs) {
            const std::string name = g.name + std::string(suffix);
            ASSERT_TRUE(write(scene.set, dir + "/" + name, g.normals, g.colours)) << name;
            const std::string produced = slurp(dir + "/" + name);
            if (update) std::ofstream(golden + name, std::ios::binary) << produced;
            const std::string expected = slurp(golden + name);
            ASSERT_FALSE(expected.empty()) << "missing " << name;
            EXPECT_EQ(produced, expected) << name;
        }
    }
}

#pragma once
#include <gtest/gtest.h>

#include "support/test_dir.h"
#include <stdlib.h>

#include <array>
#include <cstdint>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "export/mesh_obj.h"
#include "export/mesh_off.h"
#include "export/mesh_ply.h"
#include "export/mesh_stl.h"
#include "model/entity.h"
#include "model/environment.h"

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string source_path(const std::string& relative) {
    const char* root = std::getenv("VK_SOURCE_DIR");
    return std::string(root ? root : ".") + "/tests/export/" + relative;
}

inline std::vector<std::string> text_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The scene owns the meshes and sub-element records that its set and
// records point at.
struct Scene {
    std::deque<InteropMesh> meshes;
    std::deque<EntityRecord> elements;
    EntitySet set;
};

inline std::vector<uint32_t> polygon_list(const std::vector<std::vector<uint32_t>>& polygons) {
    std::vector<uint32_t> list{static_cast<uint32_t>(polygons.size())};
    for (const auto& p : polygons) list.push_back(static_cast<uint32_t>(p.size()));
    for (const auto& p : polygons) list.insert(list.end(), p.begin(), p.end());
    return list;
}

inline InteropMesh& scene_mesh(Scene& s, std::vector<double> positions,
                               const std::vector<std::vector<uint32_t>>& polygons = {},
                               std::vector<uint32_t> triangles = {}) {
    InteropMesh& m = s.meshes.emplace_back();
    m.dimension = 3;
    m.positions = std::move(positions);
    if (!polygons.empty()) m.polygons = polygon_list(polygons);
    m.triangles = std::move(triangles);
    return m;
}

// A visible entity holding the mesh (null: none).
inline EntityRecord& scene_entity(Scene& s, InteropMesh* mesh) {
    EntityRecord& e = s.set.records.emplace_back(entity_construct(false));
    if (mesh) entity_attach_mesh(e, mesh);
    s.set.count = static_cast<int32_t>(s.set.records.size());
    return e;
}

// A visible parallel entity; a null mesh leaves its slot empty.
inline EntityRecord& scene_parallel_entity(Scene& s, const std::vector<InteropMesh*>& meshes) {
    std::vector<EntityRecord*> slots;
    for (InteropMesh* mesh : meshes) {
        EntityRecord* sub = mesh ? &s.elements.emplace_back(entity_construct(false)) : nullptr;
        if (sub) entity_attach_mesh(*sub, mesh);
        slots.push_back(sub);
    }
    EntityRecord& e = s.set.records.emplace_back(entity_construct(true));
    e.subelement_records = slots;
    e.subelement_count = static_cast<int32_t>(slots.size());
    s.set.count = static_cast<int32_t>(s.set.records.size());
    return e;
}

// What a file must hold, derived from the scene without the writers'
// helpers: the visible meshes' vertices (x y z, nx ny nz, r g b a; short
// arrays give 0 normals and white) and faces in the shared numbering.
struct Expected {
    std::vector<std::array<double, 10>> vertices;
    std::vector<std::vector<int64_t>> faces;
};

inline Expected expected_of(const EntitySet& set, int topology) {
    Expected x;
    int64_t base = 0;
    auto add_mesh = [&](const InteropMesh& m, const EntityRecord& owner) {
        const size_t dim = m.dimension == 2 ? 2 : 3, count = m.positions.size() / dim;
        const NormalList normals = topology == 0 ? normal_list(m.polygon_normals) : triangle_normals_of(m);
        for (size_t v = 0; v < count; ++v) {
            std::array<double, 10> a = {m.positions[v * dim], m.positions[v * dim + 1],
                                        dim == 3 ? m.positions[v * dim + 2] : 0.0, 0, 0, 0, 1, 1, 1, 1};
            for (size_t k = 0; 3 * v + 3 <= normals.size() && k < 3; ++k) a[3 + k] = normals[3 * v + k];
            const ColourList colours = colours_of(m);
            for (size_t k = 0; 4 * v + 4 <= colours.size() && k < 4; ++k) a[6 + k] = colours[4 * v + k];
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
    // Only the records and sub-element slots that the counts admit.
    for (int32_t i = 0; i < set.count && i < static_cast<int32_t>(set.records.size()); ++i) {
        const EntityRecord& e = set.records[static_cast<size_t>(i)];
        if (e.visible && !e.parallel && e.mesh) add_mesh(*e.mesh, e);
        for (int32_t k = 0; e.visible && e.parallel && k < e.subelement_count; ++k) {
            const size_t slot = static_cast<size_t>(k);
            const EntityRecord* sub = slot < e.subelement_records.size() ? e.subelement_records[slot] : nullptr;
            if (sub && sub->mesh) add_mesh(*sub->mesh, e);
        }
    }
    return x;
}

// ---------------------------------------------------------------------------
// Six small scenes, written in every format against writer_golden/ and read
// back by an independent importer.

inline const std::vector<double> unit_triangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};
inline const std::vector<double> unit_quad = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};

inline InteropMesh& triangle(Scene& s, std::vector<double> positions = unit_triangle) {
    return scene_mesh(s, std::move(positions), {{0, 1, 2}}, {0, 1, 2});
}
inline InteropMesh& quad(Scene& s, std::vector<double> positions = unit_quad) {
    return scene_mesh(s, std::move(positions), {{0, 1, 2, 3}}, {0, 1, 2, 0, 2, 3});
}

struct GoldenScene {
    const char* name;
    bool normals, colours;
    void (*build)(Scene&);
};

inline const GoldenScene golden_scenes[] = {
    {"triangle", false, false, [](Scene& s) { scene_entity(s, &triangle(s)); }},
    // Coordinates that need more than six digits, exponents and signs.
    {"quad_pentagon", false, false,
     [](Scene& s) {
         std::vector<double> p = unit_quad;
         p.insert(p.end(), {2, 0, 0.5, 3, 0, 0.5, 3.5, 1, 0.5, 2.5, 1.5e6, 1e-7, 1234.5678, 0.1, -2.25});
         scene_entity(s, &scene_mesh(s, p, {{0, 1, 2, 3}, {4, 5, 6, 7, 8}},
                                     {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7, 4, 7, 8}));
     }},
    {"two_entities", false, false,
     [](Scene& s) {
         scene_entity(s, &triangle(s));
         scene_entity(s, &quad(s, {5, 0, 0, 6, 0, 0, 6, 1, 0, 5, 1, 0}));
     }},
    // Scaled by 2, turned 90 degrees about z, moved by (1, 0, 0); normals of
    // length 2 come out unit length.
    {"transformed", true, false,
     [](Scene& s) {
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
     [](Scene& s) {
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
     [](Scene& s) {
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

// Every writer and variant, named by its golden file suffix.
inline const char* const writer_variants[] = {"_NGON.obj",     "_TESS.obj",     "_NGON.off", "_TESS.off", "_NGON.ply",
                                              "_TESS.ply",     "_NGON_bin.ply", "_TESS_bin.ply", ".stl", "_bin.stl"};

inline bool write_variant(const std::string& variant, const EntitySet& set, const std::string& path, bool normals,
                          bool colours) {
    const int topology = variant.find("TESS") == std::string::npos ? 0 : 3;
    const bool binary = variant.find("bin") != std::string::npos;
    const std::string format = variant.substr(variant.size() - 3);
    if (format == "obj") return write_obj_file(set, path, topology, normals, colours);
    if (format == "off") return write_off_file(set, path, topology, normals, colours);
    if (format == "ply") return write_ply_file(set, path, topology, normals, colours, binary);
    return write_stl_file(set, path, binary);
}

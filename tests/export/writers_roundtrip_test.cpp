// OBJ, PLY and STL files read back by an independent importer: every face
// corner's position, the face counts and the colours must come back.
#include <assimp/Importer.hpp>
#include <assimp/mesh.h>
#include <assimp/scene.h>

#include <array>
#include <cmath>

#include "export/mesh_obj.h"
#include "export/mesh_ply.h"
#include "export/mesh_stl.h"
#include "writers_support.h"

struct Corner {
    std::array<double, 3> position;
    std::array<double, 4> colour;
};

// A coloured grid of quads with a pentagon, and a moved quad: faces as
// lists of corners, polygons for topology 0, triangles for 3.
static std::vector<std::vector<Corner>> build_scene(WriterScene& s, int topology) {
    const uint32_t n = 6;
    InteropMesh& grid = scene_mesh(s, {});
    std::vector<std::vector<uint32_t>> polygons;
    for (uint32_t j = 0; j <= n; ++j) {
        for (uint32_t i = 0; i <= n; ++i) {
            grid.positions.insert(grid.positions.end(), {i * 0.25, j * 0.125 - 0.3, 0.01 * i * j});
            grid.colours.insert(grid.colours.end(), {i / double(n), j / double(n), 0.5, 1.0});
            const uint32_t a = j * (n + 1) + i;
            if (i < n && j < n) polygons.push_back({a, a + 1, a + n + 2, a + n + 1});
        }
    }
    const uint32_t f = (n + 1) * (n + 1);
    grid.positions.insert(grid.positions.end(), {0, 2, 0, 1, 2, 0, 1.3, 2.8, 0, 0.5, 3.3, 0, -0.3, 2.8, 0});
    grid.colours.resize(grid.positions.size() / 3 * 4, 0.75);
    polygons.push_back({f, f + 1, f + 2, f + 3, f + 4});
    InteropMesh& moved = scene_mesh(s, {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 1}, {{0, 1, 2, 3}});
    moved.colours = {0, 0, 0, 1, 0.2, 0.4, 0.6, 0.8, 1, 1, 1, 1, 0.5, 0.5, 0.5, 0.5};
    std::vector<std::vector<Corner>> faces;
    for (InteropMesh* m : {&grid, &moved}) {
        // Fan triangles of every polygon.
        if (m == &grid) m->polygons = polygon_list(polygons);
        const std::vector<uint32_t>& p = m->polygons;
        for (size_t k = 1, at = 1 + p[0]; k <= p[0]; at += p[k++]) {
            for (uint32_t t = 1; t + 1 < p[k]; ++t) {
                m->triangles.insert(m->triangles.end(), {p[at], p[at + t], p[at + t + 1]});
            }
        }
        const double dz = m == &moved ? 0.5 : 0.0;
        auto corner = [&](uint32_t v) {
            const double* c = &m->colours[4 * v];
            return Corner{{m->positions[3 * v] + 2 * dz, m->positions[3 * v + 1], m->positions[3 * v + 2] + dz},
                          {c[0], c[1], c[2], c[3]}};
        };
        if (topology == 3) {
            for (size_t i = 0; i < m->triangles.size(); i += 3)
                faces.push_back({corner(m->triangles[i]), corner(m->triangles[i + 1]), corner(m->triangles[i + 2])});
        } else {
            for (size_t k = 1, at = 1 + p[0]; k <= p[0]; at += p[k++]) {
                faces.emplace_back();
                for (size_t c = 0; c < p[k]; ++c) faces.back().push_back(corner(p[at + c]));
            }
        }
        scene_entity(s, m).translation = {2 * dz, 0.0, dz};
    }
    return faces;
}

enum ColourCheck { COLOURS_NONE, COLOURS_RGB, COLOURS_BYTES };

static void compare(const aiScene* scene, const std::vector<std::vector<Corner>>& faces, ColourCheck colours) {
    ASSERT_NE(scene, nullptr);
    size_t face = 0;
    for (unsigned mi = 0; mi < scene->mNumMeshes; ++mi) {
        const aiMesh* mesh = scene->mMeshes[mi];
        ASSERT_TRUE(colours == COLOURS_NONE || mesh->HasVertexColors(0));
        for (unsigned fi = 0; fi < mesh->mNumFaces; ++fi, ++face) {
            ASSERT_LT(face, faces.size());
            const aiFace& f = mesh->mFaces[fi];
            ASSERT_EQ(f.mNumIndices, faces[face].size()) << "face " << face;
            for (unsigned k = 0; k < f.mNumIndices; ++k) {
                const Corner& want = faces[face][k];
                const aiVector3D& p = mesh->mVertices[f.mIndices[k]];
                EXPECT_EQ(p.x, static_cast<ai_real>(want.position[0]));
                EXPECT_EQ(p.y, static_cast<ai_real>(want.position[1]));
                EXPECT_EQ(p.z, static_cast<ai_real>(want.position[2]));
                if (colours == COLOURS_NONE) continue;
                const aiColor4D& c = mesh->mColors[0][f.mIndices[k]];
                const float got[4] = {c.r, c.g, c.b, c.a};
                for (int ch = 0; ch < (colours == COLOURS_RGB ? 3 : 4); ++ch) {
                    // OBJ keeps the channels unscaled; PLY stores bytes.
                    if (colours == COLOURS_RGB) {
                        EXPECT_EQ(got[ch], static_cast<float>(want.colour[ch]));
                    } else {
                        EXPECT_EQ(std::lround(got[ch] * 255.0), static_cast<long>(255.0 * want.colour[ch]));
                    }
                }
            }
        }
    }
    EXPECT_EQ(face, faces.size());
}

TEST(WriterRoundTrip, ObjPlyAndStlLoadInAnIndependentImporter) {
    const std::string dir = writers_test_dir();
    for (int topology : {0, 3}) {
        SCOPED_TRACE("topology " + std::to_string(topology));
        WriterScene s;
        const std::vector<std::vector<Corner>> faces = build_scene(s, topology);
        for (int mode = 0; mode < 4; ++mode) {
            Assimp::Importer importer;
            ASSERT_TRUE(write_obj_file(s.set, dir + "/rt.obj", topology, mode & 1, mode & 2));
            compare(importer.ReadFile(dir + "/rt.obj", 0), faces, mode & 2 ? COLOURS_RGB : COLOURS_NONE);
        }
        for (bool binary : {false, true}) {
            Assimp::Importer importer;
            ASSERT_TRUE(write_ply_file(s.set, dir + "/rt.ply", topology, true, true, binary));
            compare(importer.ReadFile(dir + "/rt.ply", 0), faces, COLOURS_BYTES);
        }
        if (topology != 3) continue;
        for (bool binary : {false, true}) {
            Assimp::Importer importer;
            ASSERT_TRUE(write_stl_file(s.set, dir + "/rt.stl", binary));
            compare(importer.ReadFile(dir + "/rt.stl", 0), faces, COLOURS_NONE);
        }
    }
}

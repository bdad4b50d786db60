// The scenes' OBJ, PLY and STL files read back by an independent importer:
// face counts, every corner's position and the colours must come back.
#include <assimp/Importer.hpp>
#include <assimp/mesh.h>
#include <assimp/scene.h>

#include <cmath>

#include "export_support.h"

// 255 x the channel, clamped, truncated.
static int colour_byte(double c) {
    const double scaled = 255.0 * c;
    return scaled >= 255.0 ? 255 : (scaled > 0.0 ? static_cast<int>(scaled) : 0);
}

enum ColourCheck { COLOURS_NONE, COLOURS_RGB, COLOURS_BYTES };

static void compare(const std::string& path, const Expected& x, ColourCheck colours) {
    SCOPED_TRACE(path);
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    size_t face = 0;
    for (unsigned mi = 0; mi < scene->mNumMeshes; ++mi) {
        const aiMesh* mesh = scene->mMeshes[mi];
        ASSERT_TRUE(colours == COLOURS_NONE || mesh->HasVertexColors(0));
        for (unsigned fi = 0; fi < mesh->mNumFaces; ++fi, ++face) {
            ASSERT_LT(face, x.faces.size());
            const aiFace& f = mesh->mFaces[fi];
            ASSERT_EQ(f.mNumIndices, x.faces[face].size()) << "face " << face;
            for (unsigned k = 0; k < f.mNumIndices; ++k) {
                const std::array<double, 10>& want = x.vertices[static_cast<size_t>(x.faces[face][k])];
                const aiVector3D& p = mesh->mVertices[f.mIndices[k]];
                for (int a = 0; a < 3; ++a) EXPECT_EQ(p[a], static_cast<ai_real>(want[a]));
                if (colours == COLOURS_NONE) continue;
                const aiColor4D& c = mesh->mColors[0][f.mIndices[k]];
                const float got[4] = {c.r, c.g, c.b, c.a};
                // OBJ keeps three channels unscaled; PLY stores four bytes.
                for (int ch = 0; ch < (colours == COLOURS_RGB ? 3 : 4); ++ch) {
                    if (colours == COLOURS_RGB) {
                        EXPECT_EQ(got[ch], static_cast<float>(want[6 + ch]));
                    } else {
                        EXPECT_EQ(std::lround(got[ch] * 255.0), colour_byte(want[6 + ch]));
                    }
                }
            }
        }
    }
    EXPECT_EQ(face, x.faces.size());
}

TEST(WriterRoundTrip, ObjPlyAndStlLoadInAnIndependentImporter) {
    const TestDir scratch("vk_writers");
    const std::string dir = scratch.path();
    for (const GoldenScene& g : golden_scenes) {
        Scene s;
        g.build(s);
        for (int topology : {0, 3}) {
            const Expected x = expected_of(s.set, topology);
            for (int mode = 0; mode < 4; ++mode) {
                ASSERT_TRUE(write_obj_file(s.set, dir + "/rt.obj", topology, mode & 1, mode & 2));
                compare(dir + "/rt.obj", x, mode & 2 ? COLOURS_RGB : COLOURS_NONE);
            }
            for (bool binary : {false, true}) {
                ASSERT_TRUE(write_ply_file(s.set, dir + "/rt.ply", topology, true, true, binary));
                compare(dir + "/rt.ply", x, COLOURS_BYTES);
                if (topology != 3) continue;
                ASSERT_TRUE(write_stl_file(s.set, dir + "/rt.stl", binary));
                compare(dir + "/rt.stl", x, COLOURS_NONE);
            }
        }
    }
}

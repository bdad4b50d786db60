// The scenes' OBJ, PLY and STL files read back by an independent importer:
// face counts, every corner's position and the colours must come back.
#include <assimp/Importer.hpp>
#include <assimp/mesh.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>

#include "export_support.h"
#include "mesh/kernel_mesh.h"
#include "model/interop_mesh.h"

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

// Faces of the file wound inward (Newell normal against the way from the
// solid's centre), and corner normals against their face's winding.
static std::array<size_t, 3> faces_inward_and_normals_against(const std::string& path) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    std::array<size_t, 3> counts = {0, 0, 0};
    const aiMesh* mesh = scene && scene->mNumMeshes == 1 ? scene->mMeshes[0] : nullptr;
    aiVector3D centre;
    for (unsigned v = 0; mesh && v < mesh->mNumVertices; ++v) centre += mesh->mVertices[v];
    if (mesh) centre /= ai_real(mesh->mNumVertices);
    for (unsigned fi = 0; mesh && fi < mesh->mNumFaces; ++fi, ++counts[0]) {
        const aiFace& f = mesh->mFaces[fi];
        aiVector3D newell, middle;
        for (unsigned k = 0; k < f.mNumIndices; ++k) {
            const aiVector3D& a = mesh->mVertices[f.mIndices[k]];
            newell += a ^ mesh->mVertices[f.mIndices[(k + 1) % f.mNumIndices]];
            middle += a;
        }
        counts[1] += newell * (middle / ai_real(f.mNumIndices) - centre) <= 0;
        for (unsigned k = 0; mesh->HasNormals() && k < f.mNumIndices; ++k)
            counts[2] += newell * mesh->mNormals[f.mIndices[k]] <= 0;
    }
    return counts;
}

// The scene's one box written in every format with normals.
static void expect_box_outward_in_every_variant(const Scene& s, const std::string& dir) {
    for (const std::string variant : writer_variants) {
        ASSERT_TRUE(write_variant(variant, s.set, dir + "/box" + variant, true, false));
        const size_t faces = variant.find("NGON") == std::string::npos ? 12 : 6;
        EXPECT_EQ(faces_inward_and_normals_against(dir + "/box" + variant), (std::array<size_t, 3>{faces, 0, 0}))
            << variant;
    }
}

// A box mirrored by one axis or by a uniform -1 writes every face wound
// outward like the unmirrored box, its normals (STL's facet normals too)
// agreeing; two negative axes are a half turn. Corners 0..7 by bits x y z.
TEST(WriterRoundTrip, MirroredBoxesWindOutwardInEveryFormat) {
    const TestDir scratch("vk_writers");
    const std::vector<std::vector<uint32_t>> quads = {{0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4},
                                                      {2, 6, 7, 3}, {0, 2, 3, 1}, {4, 5, 7, 6}};
    const std::array<double, 4> cases[] = {{1, 1, 1, 1}, {-1, 1, 1, 1}, {1, 1, 1, -1}, {-1, -1, 1, 1}, {1, 1, -2, 1}};
    for (const auto& c : cases) {
        Scene s;
        InteropMesh& box = scene_mesh(s, {}, quads);
        for (uint32_t v = 0; v < 8; ++v) {
            box.positions.insert(box.positions.end(), {double(v & 1), 2.0 * (v >> 1 & 1), 3.0 * (v >> 2)});
            box.polygon_normals.insert(box.polygon_normals.end(), {(v & 1) - 0.5, (v >> 1 & 1) - 0.5, (v >> 2) - 0.5});
        }
        for (const auto& q : quads) box.triangles.insert(box.triangles.end(), {q[0], q[1], q[2], q[0], q[2], q[3]});
        box.triangle_normals = box.polygon_normals;
        // The last case mirrors a parallel entity's element.
        EntityRecord& e = c[2] == -2 ? scene_parallel_entity(s, {&box}) : scene_entity(s, &box);
        e.axis_scale = {c[0], c[1], c[2]}, e.uniform_scale = c[3];
        e.translation = {1, 2, 3}, e.euler_angles = {0, 30, 0};
        SCOPED_TRACE(::testing::PrintToString(c));
        expect_box_outward_in_every_variant(s, scratch.path());
    }
}

// A box the script itself mirrors, as the kernel writes it and the program
// reads it back: every format winds each face outward, normals along.
TEST(WriterRoundTrip, ScriptMirroredBoxWindsOutwardInEveryFormat) {
    const TestDir scratch("vk_writers");
    for (const std::vector<double>& scale : {std::vector<double>{-1, 1, 1}, {-1, -1, -1}}) {
        KernelMesh box;
        ASSERT_TRUE(make_primitive("box", {1, 2, 3}, 1000, box, nullptr));
        ASSERT_TRUE(apply_mesh_method(box, "s", scale));
        InteropWriterMesh written;
        build_interop_mesh(std::move(box), written);
        const std::string bytes = interop_serialise({written});
        std::vector<InteropMesh*> read =
            read_interop_meshes_from_memory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "box");
        ASSERT_EQ(read.size(), 1u);
        Scene s;
        scene_entity(s, &s.meshes.emplace_back(std::move(*read[0])));
        free_interop_mesh(read[0]);
        SCOPED_TRACE(::testing::PrintToString(scale));
        expect_box_outward_in_every_variant(s, scratch.path());
    }
}

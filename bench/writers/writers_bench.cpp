// Mesh writers on a grid of about one million triangles with normals and
// colours, beside an independent exporter writing the same mesh to the same
// format and beside one large fwrite of as many bytes as each binary file.
// Run a Release or RelWithDebInfo build:
//   build/<dir>/bench/writers/writers_bench --benchmark_min_time=1
#include <assimp/Exporter.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "export/mesh_obj.h"
#include "export/mesh_ply.h"
#include "export/mesh_stl.h"
#include "model/environment.h"

namespace {

constexpr uint32_t grid_cells = 708;  // 2 x 708 x 708 = 1,002,528 triangles

struct BenchScene {
    InteropMesh mesh;
    EntitySet set;
    std::string dir;
};

BenchScene& scene() {
    static BenchScene* s = [] {
        BenchScene* b = new BenchScene();
        InteropMesh& m = b->mesh;
        m.dimension = 3;
        const uint32_t n = grid_cells + 1;
        for (uint32_t j = 0; j < n; ++j) {
            for (uint32_t i = 0; i < n; ++i) {
                // Coordinates with full-precision digits, as a kernel gives them.
                const double x = i * 0.0137 + 0.001 * j, y = j * 0.0211, z = 0.5 * (i % 7) / 3.0;
                m.positions.insert(m.positions.end(), {x, y, z});
                m.polygon_normals.insert(m.polygon_normals.end(), {0.0, 0.6, 0.8});
                m.colours.insert(m.colours.end(), {i / double(n), j / double(n), 0.5, 1.0});
            }
        }
        m.triangle_normals = m.polygon_normals;
        for (uint32_t j = 0; j < grid_cells; ++j) {
            for (uint32_t i = 0; i < grid_cells; ++i) {
                const uint32_t a = j * n + i, b2 = a + 1, c = a + n + 1, d = a + n;
                m.triangles.insert(m.triangles.end(), {a, b2, c, a, c, d});
            }
        }
        EntityRecord e = entity_construct(false);
        entity_attach_mesh(e, &m);
        b->set.records.push_back(e);
        b->set.count = 1;
        char dir[] = "/tmp/vk_writers_bench_XXXXXX";
        b->dir = mkdtemp(dir) ? dir : "/tmp";
        return b;
    }();
    return *s;
}

// The same mesh as an independent exporter's scene (triangles).
const aiScene* assimp_scene() {
    static aiScene* s = [] {
        const InteropMesh& m = scene().mesh;
        aiScene* a = new aiScene();
        a->mRootNode = new aiNode();
        a->mRootNode->mNumMeshes = 1;
        a->mRootNode->mMeshes = new unsigned[1]{0};
        a->mNumMaterials = 1;
        a->mMaterials = new aiMaterial*[1]{new aiMaterial()};
        a->mNumMeshes = 1;
        a->mMeshes = new aiMesh*[1];
        aiMesh* mesh = new aiMesh();
        a->mMeshes[0] = mesh;
        mesh->mMaterialIndex = 0;
        mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
        const unsigned vertices = static_cast<unsigned>(m.positions.size() / 3);
        mesh->mNumVertices = vertices;
        mesh->mVertices = new aiVector3D[vertices];
        mesh->mNormals = new aiVector3D[vertices];
        mesh->mColors[0] = new aiColor4D[vertices];
        for (unsigned v = 0; v < vertices; ++v) {
            mesh->mVertices[v] = aiVector3D(m.positions[3 * v], m.positions[3 * v + 1], m.positions[3 * v + 2]);
            mesh->mNormals[v] =
                aiVector3D(m.polygon_normals[3 * v], m.polygon_normals[3 * v + 1], m.polygon_normals[3 * v + 2]);
            const double* c = &m.colours[4 * v];
            mesh->mColors[0][v] = aiColor4D(c[0], c[1], c[2], c[3]);
        }
        const unsigned faces = static_cast<unsigned>(m.triangles.size() / 3);
        mesh->mNumFaces = faces;
        mesh->mFaces = new aiFace[faces];
        for (unsigned f = 0; f < faces; ++f) {
            mesh->mFaces[f].mNumIndices = 3;
            const uint32_t* t = &m.triangles[3 * f];
            mesh->mFaces[f].mIndices = new unsigned[3]{t[0], t[1], t[2]};
        }
        return a;
    }();
    return s;
}

int64_t file_size(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
}

void finish(benchmark::State& state, const std::string& path) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * file_size(path));
    state.counters["MB"] = static_cast<double>(file_size(path)) / 1e6;
}

void BM_ObjText(benchmark::State& state) {
    const std::string path = scene().dir + "/ours.obj";
    for (auto _ : state) {
        if (!write_obj_file(scene().set, path, 3, true, true)) state.SkipWithError("write failed");
    }
    finish(state, path);
}

void BM_ObjTextIndependentExporter(benchmark::State& state) {
    const std::string path = scene().dir + "/theirs.obj";
    const aiScene* s = assimp_scene();
    for (auto _ : state) {
        Assimp::Exporter exporter;
        if (exporter.Export(s, "obj", path) != AI_SUCCESS) state.SkipWithError("export failed");
    }
    finish(state, path);
}

void BM_PlyText(benchmark::State& state) {
    const std::string path = scene().dir + "/ours.ply";
    for (auto _ : state) {
        if (!write_ply_file(scene().set, path, 3, true, true, false)) state.SkipWithError("write failed");
    }
    finish(state, path);
}

void BM_PlyTextIndependentExporter(benchmark::State& state) {
    const std::string path = scene().dir + "/theirs.ply";
    const aiScene* s = assimp_scene();
    for (auto _ : state) {
        Assimp::Exporter exporter;
        if (exporter.Export(s, "ply", path) != AI_SUCCESS) state.SkipWithError("export failed");
    }
    finish(state, path);
}

void BM_PlyBinary(benchmark::State& state) {
    const std::string path = scene().dir + "/ours_bin.ply";
    for (auto _ : state) {
        if (!write_ply_file(scene().set, path, 3, true, true, true)) state.SkipWithError("write failed");
    }
    finish(state, path);
}

void BM_StlBinary(benchmark::State& state) {
    const std::string path = scene().dir + "/ours_bin.stl";
    for (auto _ : state) {
        if (!write_stl_file(scene().set, path, true)) state.SkipWithError("write failed");
    }
    finish(state, path);
}

// One fwrite of as many bytes as the named binary file holds.
void fwrite_like(benchmark::State& state, bool stl) {
    const std::string model = scene().dir + (stl ? "/ours_bin.stl" : "/ours_bin.ply");
    if (!(stl ? write_stl_file(scene().set, model, true) : write_ply_file(scene().set, model, 3, true, true, true))) {
        state.SkipWithError("write failed");
        return;
    }
    const std::vector<char> bytes(static_cast<size_t>(file_size(model)), 'x');
    const std::string path = scene().dir + "/fwrite.bin";
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
            state.SkipWithError("fwrite failed");
    }
    finish(state, path);
}

void BM_FwriteLikePlyBinary(benchmark::State& state) { fwrite_like(state, false); }
void BM_FwriteLikeStlBinary(benchmark::State& state) { fwrite_like(state, true); }

}  // namespace

BENCHMARK(BM_ObjText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ObjTextIndependentExporter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlyText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlyTextIndependentExporter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlyBinary)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FwriteLikePlyBinary)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StlBinary)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FwriteLikeStlBinary)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const std::string dir = scene().dir;
    for (const char* name : {"ours.obj", "theirs.obj", "theirs.mtl", "ours.ply", "theirs.ply", "ours_bin.ply",
                             "ours_bin.stl", "fwrite.bin"})
        std::remove((dir + "/" + name).c_str());
    if (dir != "/tmp") rmdir(dir.c_str());
    return 0;
}

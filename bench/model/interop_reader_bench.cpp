// Reading interop files against one plain read of the same file, both in
// the same run so the file sits in the page cache for either.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "interop/interop_writer.h"
#include "model/interop_mesh.h"

// A grid of n x n vertices: quads as polygons, two triangles per quad, grid
// lines as polygon edges, every triangle edge as a triangle edge, and every
// 16th grid row as smoothing-group edges.
static InteropWriterMesh grid_mesh(uint32_t n, InteropIndexWidth width) {
    InteropWriterMesh m;
    m.index_width = width;
    const uint32_t quads = (n - 1) * (n - 1);
    m.positions.reserve(size_t(n) * n * 3);
    m.normals.reserve(size_t(n) * n * 3);
    for (uint32_t y = 0; y < n; ++y) {
        for (uint32_t x = 0; x < n; ++x) {
            m.positions.insert(m.positions.end(), {double(x), double(y), 0.01 * double((x * y) % 7)});
            m.normals.insert(m.normals.end(), {0.0, 0.0, 1.0});
            m.colour_indices.push_back((x / 8 + y / 8) % 6);
            m.sign_flags.push_back(uint8_t((x + y) & 1 ? 0x80 : 0x00));
        }
    }
    m.palette = {1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 1, 0, 1, 0, 1, 1, 1, 1, 0, 1, 1};
    m.polygons.reserve(1 + size_t(quads) * 5);
    m.polygons.push_back(quads);
    m.polygons.insert(m.polygons.end(), quads, 4u);
    auto at = [n](uint32_t x, uint32_t y) { return y * n + x; };
    uint32_t q = 0;
    for (uint32_t y = 0; y + 1 < n; ++y) {
        for (uint32_t x = 0; x + 1 < n; ++x, ++q) {
            const uint32_t a = at(x, y), b = at(x + 1, y), c = at(x + 1, y + 1), d = at(x, y + 1);
            m.polygons.insert(m.polygons.end(), {a, b, c, d});
            m.triangles.insert(m.triangles.end(), {a, b, c, a, c, d});
            m.triangle_polygons.insert(m.triangle_polygons.end(), {int32_t(q), int32_t(q)});
            m.face_ids.push_back(int32_t(q));
            m.group_ids.push_back(int32_t(y / 16));
            m.user_types.push_back(0);
            m.operand_ids.push_back(int32_t(x / 64));
            m.shading.insert(m.shading.end(), {0.f, 0.f, 1.f, 0.f, 0.f, 1.f});
            m.triangle_edges.insert(m.triangle_edges.end(), {a, c});
        }
    }
    for (uint32_t y = 0; y < n; ++y) {
        for (uint32_t x = 0; x < n; ++x) {
            if (x + 1 < n) {
                m.polygon_edges.insert(m.polygon_edges.end(), {at(x, y), at(x + 1, y)});
                m.triangle_edges.insert(m.triangle_edges.end(), {at(x + 1, y), at(x, y)});
                if (y % 16 == 0) m.group_edges.insert(m.group_edges.end(), {at(x, y), at(x + 1, y)});
            }
            if (y + 1 < n) {
                m.polygon_edges.insert(m.polygon_edges.end(), {at(x, y), at(x, y + 1)});
                m.triangle_edges.insert(m.triangle_edges.end(), {at(x, y), at(x, y + 1)});
            }
        }
    }
    m.smoothing_count = 1;
    interop_fill_bounds(m);
    return m;
}

static const std::string& bench_dir() {
    static std::string dir;
    if (dir.empty()) {
        std::string pattern = "/tmp/vk_model_bench_XXXXXX";
        dir = mkdtemp(&pattern[0]) ? pattern : "/tmp";
    }
    return dir;
}

static std::string& file16_path() {
    static std::string path;
    return path;
}
static std::string& file32_path() {
    static std::string path;
    return path;
}

// 225 x 225 vertices: 100,352 triangles in 16-bit indices (7.1 MB).
static const std::string& file16() {
    if (file16_path().empty()) {
        file16_path() = bench_dir() + "/grid16.bin";
        write_interop_file(file16_path(), {grid_mesh(225, INTEROP_INDEX_16)});
    }
    return file16_path();
}

// 1001 x 1001 vertices: 2,000,000 triangles in 32-bit indices with coded
// edge tables (175 MB).
static const std::string& file32() {
    if (file32_path().empty()) {
        file32_path() = bench_dir() + "/grid32.bin";
        write_interop_file(file32_path(), {grid_mesh(1001, INTEROP_INDEX_32)});
    }
    return file32_path();
}

static void plain_read(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        const int fd = open(path.c_str(), O_RDONLY);
        struct stat info;
        fstat(fd, &info);
        std::unique_ptr<char[]> bytes(new char[size_t(info.st_size)]);
        size_t done = 0;
        while (done < size_t(info.st_size)) {
            const ssize_t got = read(fd, bytes.get() + done, size_t(info.st_size) - done);
            if (got <= 0) break;
            done += size_t(got);
        }
        close(fd);
        benchmark::DoNotOptimize(bytes.get());
        state.SetBytesProcessed(state.bytes_processed() + int64_t(done));
    }
}

static void interop_read(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        std::vector<InteropMesh*> meshes = read_interop_meshes(path);
        if (meshes.size() != 1) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(meshes.data());
        free_interop_meshes(meshes);
    }
}

static void BM_PlainRead16(benchmark::State& state) { plain_read(state, file16()); }
static void BM_ReadInterop16(benchmark::State& state) { interop_read(state, file16()); }
static void BM_PlainRead32(benchmark::State& state) { plain_read(state, file32()); }
static void BM_ReadInterop32(benchmark::State& state) { interop_read(state, file32()); }

BENCHMARK(BM_PlainRead16)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ReadInterop16)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PlainRead32)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadInterop32)->Unit(benchmark::kMillisecond)->UseRealTime();

// By default both sides allocate from a warm heap (glibc would otherwise
// hand the reader's many buffers back to the kernel after every iteration
// and fault them in again, while the single buffer of the plain read stays
// mapped), so the figures compare the reading work itself. With
// VK_BENCH_SYSTEM_MALLOC set, the allocator keeps its own settings.
int main(int argc, char** argv) {
    if (!getenv("VK_BENCH_SYSTEM_MALLOC")) {
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The files are large; leave nothing behind.
    if (!file16_path().empty()) std::remove(file16_path().c_str());
    if (!file32_path().empty()) std::remove(file32_path().c_str());
    if (!bench_dir().empty() && bench_dir() != "/tmp") rmdir(bench_dir().c_str());
    return 0;
}

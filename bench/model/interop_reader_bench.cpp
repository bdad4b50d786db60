// Reading interop files against one plain read of the same file, both in
// the same run so the file sits in the page cache for either.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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
            m.user_type_ids.push_back(0);
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

// The whole file into a fresh buffer; returns the bytes read.
static size_t read_plainly(const std::string& path) {
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
    return done;
}

static bool read_as_interop(const std::string& path) {
    std::vector<InteropMesh*> meshes = read_interop_meshes(path);
    const bool ok = meshes.size() == 1;
    benchmark::DoNotOptimize(meshes.data());
    free_interop_meshes(meshes);
    return ok;
}

static void plain_read(benchmark::State& state, const std::string& path) {
    for (auto _ : state) state.SetBytesProcessed(state.bytes_processed() + int64_t(read_plainly(path)));
}

static void interop_read(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        if (!read_as_interop(path)) state.SkipWithError("read failed");
    }
}

static double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t h = v.size() / 2;
    return v.size() % 2 ? v[h] : 0.5 * (v[h - 1] + v[h]);
}

// Processor time (user and system) of the whole process, so the reader's
// helper threads count too; nothing else runs in it while a read is timed.
static double process_cpu_ms() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

// Each iteration reads the file plainly and as an interop file, each going
// first in turn, so both see the same state of the machine and neither
// always follows the other; the iteration time is the interop read. `ratio`
// is the median interop read over the median plain read in elapsed time,
// what a user waits for (the reader may spread a large entry over several
// threads). `cpu_ratio` is the same in processor time of all threads, the
// work done; on a machine shared with other work it swings less, but it
// does not show what the threads save.
static void interleaved(benchmark::State& state, const std::string& path) {
    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::time_point a, Clock::time_point b) {
        return std::chrono::duration<double, std::milli>(b - a).count();
    };
    std::vector<double> plain, interop, plain_cpu, interop_cpu;
    bool plain_first = true;
    for (auto _ : state) {
        bool ok = true;
        for (int side = 0; side < 2; ++side) {
            const bool plainly = (side == 0) == plain_first;
            const double c0 = process_cpu_ms();
            const Clock::time_point t0 = Clock::now();
            if (plainly)
                read_plainly(path);
            else
                ok = read_as_interop(path);
            const Clock::time_point t1 = Clock::now();
            const double c1 = process_cpu_ms();
            (plainly ? plain : interop).push_back(ms(t0, t1));
            (plainly ? plain_cpu : interop_cpu).push_back(c1 - c0);
            if (!plainly) state.SetIterationTime(ms(t0, t1) * 1e-3);
        }
        if (!ok) state.SkipWithError("read failed");
        plain_first = !plain_first;
    }
    const double p = median(plain), r = median(interop), pc = median(plain_cpu), rc = median(interop_cpu);
    state.counters["plain_ms"] = p;
    state.counters["interop_ms"] = r;
    state.counters["plain_cpu_ms"] = pc;
    state.counters["interop_cpu_ms"] = rc;
    state.counters["ratio"] = p > 0 ? r / p : 0;
    state.counters["cpu_ratio"] = pc > 0 ? rc / pc : 0;
}

static void BM_PlainRead16(benchmark::State& state) { plain_read(state, file16()); }
static void BM_ReadInterop16(benchmark::State& state) { interop_read(state, file16()); }
static void BM_PlainRead32(benchmark::State& state) { plain_read(state, file32()); }
static void BM_ReadInterop32(benchmark::State& state) { interop_read(state, file32()); }
static void BM_InterleavedRead16(benchmark::State& state) { interleaved(state, file16()); }
static void BM_InterleavedRead32(benchmark::State& state) { interleaved(state, file32()); }

BENCHMARK(BM_PlainRead16)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ReadInterop16)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PlainRead32)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadInterop32)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InterleavedRead16)->Unit(benchmark::kMicrosecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_InterleavedRead32)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(4.0);

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

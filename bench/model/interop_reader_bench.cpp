// Reading interop files against one plain read of the same file, both in
// the same run so the file sits in the page cache for either: repeated in
// one process, and (the figure that counts) once per fresh child process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "interop/interop_writer.h"
#include "model/interop_mesh.h"
#include "platform/process.h"

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

// One read in a fresh process, as a user's first open meets it: the file in
// the page cache (the kernel has just written it), the child's heap as fresh
// as the program's, the processor caches filled with other data. Returns the
// elapsed milliseconds and the processor milliseconds of all the child's
// threads, or -1 when the read failed.
struct ReadTimes {
    double elapsed_ms = -1, cpu_ms = -1;
};

static double process_cpu_ms() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

// More than the last-level cache of the machines we measure on, written
// through once and handed back to the system (the heap stays untouched).
static void evict_caches() {
    const size_t bytes = size_t(64) << 20;
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return;
    std::memset(p, 1, bytes);
    munmap(p, bytes);
}

// Runs in the fresh program: times one read and writes the times to fd 3.
static int read_once(const std::string& how, const std::string& path) {
    evict_caches();
    const double c0 = process_cpu_ms();
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = how == "plain" ? read_plainly(path) > 0 : read_as_interop(path);
    const auto t1 = std::chrono::steady_clock::now();
    ReadTimes r{std::chrono::duration<double, std::milli>(t1 - t0).count(), process_cpu_ms() - c0};
    if (!ok) r = ReadTimes{};
    return write(3, &r, sizeof r) == sizeof r ? 0 : 1;
}

// This program run again with "--read-once", so that nothing of this
// process (the heap the files were written from) carries over.
static ReadTimes read_in_child(const std::string& path, bool plainly) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (dup2(fds[1], 3) < 0) _exit(1);
        char self[] = "/proc/self/exe";
        std::string how = plainly ? "plain" : "interop", flag = "--read-once", file = path;
        char* argv[] = {self, &flag[0], &how[0], &file[0], nullptr};
        execv(self, argv);
        _exit(1);
    }
    close(fds[1]);
    ReadTimes r;
    if (pid < 0 || read(fds[0], &r, sizeof r) != sizeof r) r = ReadTimes{};
    close(fds[0]);
    if (pid > 0) waitpid(pid, nullptr, 0);
    return r;
}

// Each iteration reads the file plainly and as an interop file, each in a
// fresh child and each going first in turn, so both meet the same state of
// the machine and neither always follows the other; the iteration time is
// the interop read. `ratio` is the median interop read over the median plain
// read in elapsed time, what a user waits for (the reader may spread a large
// entry over several threads). `cpu_ratio` is the same in processor time of
// all threads, the work done; on a shared machine it swings less, but it
// does not show what the threads save.
static void fresh_process_reads(benchmark::State& state, const std::string& path) {
    std::vector<double> plain, interop, plain_cpu, interop_cpu;
    bool plain_first = true;
    for (auto _ : state) {
        for (int side = 0; side < 2; ++side) {
            const bool plainly = (side == 0) == plain_first;
            const ReadTimes r = read_in_child(path, plainly);
            if (r.elapsed_ms < 0) {
                state.SkipWithError("read failed");
                return;
            }
            (plainly ? plain : interop).push_back(r.elapsed_ms);
            (plainly ? plain_cpu : interop_cpu).push_back(r.cpu_ms);
            if (!plainly) state.SetIterationTime(r.elapsed_ms * 1e-3);
        }
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

static void BM_PlainRead16InOneProcess(benchmark::State& state) { plain_read(state, file16()); }
static void BM_InteropRead16InOneProcess(benchmark::State& state) { interop_read(state, file16()); }
static void BM_PlainRead32InOneProcess(benchmark::State& state) { plain_read(state, file32()); }
static void BM_InteropRead32InOneProcess(benchmark::State& state) { interop_read(state, file32()); }
static void BM_InteropVsPlainRead16FreshProcess(benchmark::State& state) { fresh_process_reads(state, file16()); }
static void BM_InteropVsPlainRead32FreshProcess(benchmark::State& state) { fresh_process_reads(state, file32()); }

// The fresh-process comparisons run first, before this process has read anything.
BENCHMARK(BM_InteropVsPlainRead16FreshProcess)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(41);
BENCHMARK(BM_InteropVsPlainRead32FreshProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);
BENCHMARK(BM_PlainRead16InOneProcess)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_InteropRead16InOneProcess)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PlainRead32InOneProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InteropRead32InOneProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

// The heap runs with the program's policy, in the fresh children too: a
// read there meets the heap as a user's first open does.
int main(int argc, char** argv) {
    use_program_heap_policy();
    if (argc == 4 && std::string(argv[1]) == "--read-once") return read_once(argv[2], argv[3]);
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

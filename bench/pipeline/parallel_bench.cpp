// Threaded per-element assembly of 8 sub-elements whose kernel runs each
// take about 100 ms: wall time at max-cores 1 and 4, their ratio, and what
// the dispatch loop adds per job beyond the kernel's own time.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <vector>

#include "interop/interop_writer.h"
#include "pipeline/parallel_jobs.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace {

constexpr int kElements = 8;

// A kernel that sleeps 100 ms and writes a one-triangle mesh.
bool prepare_workspace_once() {
    static bool ready = false;
    if (ready) return true;
    char dir[] = "/tmp/vk_pipeline_bench_XXXXXX";
    if (!mkdtemp(dir)) return false;
    const std::string root = dir;
    mkdir((root + "/ws").c_str(), 0755);
    mkdir((root + "/ws/tmp").c_str(), 0755);
    InteropWriterMesh m;
    m.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    m.polygons = {1, 3, 0, 1, 2};
    m.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    m.triangles = {0, 1, 2};
    interop_fill_bounds(m);
    if (!write_interop_file(root + "/mesh", {m})) return false;
    const std::string kernel = root + "/vrek";
    if (!write_text_file(kernel, "#!/bin/sh\nsleep 0.1\ncp '" + root + "/mesh' \"$4\"\n")) return false;
    chmod(kernel.c_str(), 0755);
    ready = set_kernel_path(kernel) && set_workspace_path(root + "/ws/");
    return ready;
}

std::vector<SubElementSource> sources() {
    std::vector<SubElementSource> s;
    for (int i = 0; i < kElements; ++i) s.push_back({"e" + std::to_string(i), "return box(1);"});
    return s;
}

// Wall milliseconds of one threaded assembly, and the mean kernel time.
double run_once(int cores, double* kernel_ms_mean) {
    parallel_core_limit = cores;
    const std::vector<SubElementSource> s = sources();
    const auto t0 = std::chrono::steady_clock::now();
    std::vector<InteropMesh*> meshes = assemble_elements_threaded(s, {}, false, false, 2);
    const auto t1 = std::chrono::steady_clock::now();
    double kernel = 0.0;
    int present = 0;
    for (InteropMesh* m : meshes) {
        if (!m) continue;
        kernel += static_cast<double>(m->kernel_ms);
        ++present;
    }
    free_interop_meshes(meshes);
    if (kernel_ms_mean) *kernel_ms_mean = present ? kernel / present : 0.0;
    return present == kElements ? std::chrono::duration<double, std::milli>(t1 - t0).count() : -1.0;
}

void BM_ThreadedPerElement(benchmark::State& state) {
    if (!prepare_workspace_once()) {
        state.SkipWithError("cannot prepare the workspace");
        return;
    }
    const int cores = static_cast<int>(state.range(0));
    double kernel = 0.0;
    for (auto _ : state) {
        const double ms = run_once(cores, &kernel);
        if (ms < 0) {
            state.SkipWithError("a sub-element produced no mesh");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["kernel_ms"] = kernel;
}
BENCHMARK(BM_ThreadedPerElement)->Arg(1)->Arg(4)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Both limits in one iteration: ratio of wall times, and the serial run's
// time per job beyond the kernel's own time.
void BM_CoreLimitRatio(benchmark::State& state) {
    if (!prepare_workspace_once()) {
        state.SkipWithError("cannot prepare the workspace");
        return;
    }
    double ratio = 0.0, overhead = 0.0;
    for (auto _ : state) {
        double kernel = 0.0;
        const double one = run_once(1, &kernel);
        const double four = run_once(4, nullptr);
        if (one <= 0 || four <= 0) {
            state.SkipWithError("a sub-element produced no mesh");
            return;
        }
        ratio = four / one;
        overhead = one / kElements - kernel;
    }
    state.counters["ratio_4_to_1"] = ratio;
    state.counters["dispatch_ms_per_job"] = overhead;
}
BENCHMARK(BM_CoreLimitRatio)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

// Child-process costs: starting a program from a small parent against a
// parent holding 1 GiB of touched memory (the inspector holds large render
// targets when it runs the kernel), and capture throughput.
#include "platform/process.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

void BM_RunTrue(benchmark::State& state) {
    std::unique_ptr<char[]> ballast;
    if (state.range(0) > 0) {
        size_t size = size_t(1) << 30;
        ballast.reset(new char[size]);
        std::memset(ballast.get(), 1, size);  // touched, so every page is mapped
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(run_process_capture("/bin/true", {}));
    }
    state.SetLabel(state.range(0) > 0 ? "parent holds 1 GiB" : "small parent");
}
BENCHMARK(BM_RunTrue)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_Capture64MiB(benchmark::State& state) {
    const int64_t bytes = int64_t(64) << 20;
    for (auto _ : state) {
        std::string out = run_process_capture("dd", {"if=/dev/zero", "bs=1M", "count=" + std::to_string(bytes >> 20), "status=none"});
        if (static_cast<int64_t>(out.size()) != bytes) state.SkipWithError("short capture");
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_Capture64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

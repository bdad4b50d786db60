#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "context/app_context.h"
#include "app/interface_builder.h"
#include "model/environment.h"
#include "platform/paths.h"

namespace {

// The context built, stage 0 run (env0, console lines, the timing line on
// standard output) and the whole object torn down again, over and over in
// one process: the heap is warm after the first, where start-up meets it
// fresh (start-up as a whole is timed by bench/shell/shell_bench).
void BM_BuildStageZeroDestroyWarm(benchmark::State& state) {
    std::fflush(stdout);
    const int saved = dup(1);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, 1);
    for (auto _ : state) {
        std::unique_ptr<AppContext> app = make_app_context();
        build_startup_state(*app);
        benchmark::DoNotOptimize(app->entities.current_environment);
        app.reset();
        reset_environment_counter();
    }
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(null_fd);
    state.counters["sizeof_AppContext"] = static_cast<double>(sizeof(AppContext));
}
BENCHMARK(BM_BuildStageZeroDestroyWarm)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

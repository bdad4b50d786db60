// Start of the process to the end of the first frame (art, context,
// interface, window, first draw), with all cores and with two, and the
// resident memory at that point; the cost of one idle tick. The start-up runs in a forked child per iteration so each
// one starts from nothing; it needs a display.

#include <benchmark/benchmark.h>

#include "../fresh_process.h"
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app_context.h"
#include "app/current_environment.h"
#include "app/interface_builder.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/app_callbacks.h"
#include "shell/app_main.h"
#include "shell/app_tick.h"

namespace {

int result_pipe = -1;
int64_t child_start_ms = 0;

// Resident set of this process in KiB (VmRSS), 0 when unreadable.
int64_t resident_kib() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    int64_t kib = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) kib = std::atoll(line + 6);
    }
    std::fclose(f);
    return kib;
}

int32_t first_draw(PlatformListener* listener) {
    on_gl_draw_callback(listener);
    const int64_t result[2] = {now_ms() - child_start_ms, resident_kib()};
    if (write(result_pipe, result, sizeof result) != sizeof result) _exit(2);
    _exit(0);
}

// The steps of the application main up to the first frame.
[[noreturn]] void start_and_draw_once(int32_t workers) {
    child_start_ms = now_ms();
    std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    generate_interface_art(workers);
    std::unique_ptr<AppContext> app = make_app_context();
    build_user_interface(*app);
    bind_root_callbacks(*app);
    app_instance = app.get();
    fill_app_services(app->services);
    PlatformListener listener;
    char* no_arguments[] = {nullptr};
    fill_platform_listener(listener, *app, 0, no_arguments);
    listener.on_draw = first_draw;
    set_platform_listener(&listener, 0);
    if (create_window(listener) != 0) _exit(1);
    run_frame_loop();
    _exit(3);
}

void BM_StartToFirstDraw(benchmark::State& state) {
    double resident_mib = 0;
    for (auto _ : state) {
        int64_t result[2] = {-1, 0};
        const bool read_ok = run_in_fresh_process(
            [&](int out) {
                result_pipe = out;
                start_and_draw_once(static_cast<int32_t>(state.range(0)));
            },
            result);
        if (!read_ok) return state.SkipWithError("no first frame (is there a display?)");
        state.SetIterationTime(static_cast<double>(result[0]) / 1000.0);
        resident_mib = std::max(resident_mib, static_cast<double>(result[1]) / 1024.0);
    }
    // The largest resident set right after the first frame.
    state.counters["resident_MiB"] = resident_mib;
}
BENCHMARK(BM_StartToFirstDraw)->Arg(0)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A tick after the intro with nothing held, pending or open.
void BM_IdleTick(benchmark::State& state) {
    std::unique_ptr<AppContext> app = make_app_context();
    make_new_environment_current(*app);
    app->startup.startup_finished = 1;
    app_instance = app.get();
    for (auto _ : state) app_tick(*app);
    app_instance = nullptr;
}
BENCHMARK(BM_IdleTick);

}  // namespace

BENCHMARK_MAIN();

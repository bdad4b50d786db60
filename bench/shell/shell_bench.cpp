// From the application main's first step to the return of the buffer swap
// that shows the first frame (art, context, interface, window, first draw),
// with all cores and with two, and the resident memory at that point; the
// cost of one idle tick. The start-up runs in a forked child per iteration
// so each one starts from nothing but the loaded libraries (what comes
// before main, the loading and linking of the program, is not in it); it
// needs a display.

#include <benchmark/benchmark.h>

#include <glib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/fresh_process.h"
#include "support/process_status.h"
#include "support/program_heap_main.h"
#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/app_callbacks.h"
#include "app/app_main.h"
#include "shell/app_tick.h"

namespace {

int result_pipe = -1;
int64_t child_start_ms = 0;

// Runs in the first pass of the loop after the first frame's swap returned.
gboolean after_first_swap(gpointer) {
    const int64_t result[2] = {now_ms() - child_start_ms, status_kib("VmRSS:")};
    if (write(result_pipe, result, sizeof result) != sizeof result) _exit(2);
    _exit(0);
}

int32_t first_draw(PlatformListener* listener) {
    static bool drawn = false;
    const int32_t r = on_gl_draw_callback(listener);
    if (!drawn) g_idle_add_full(G_PRIORITY_HIGH, after_first_swap, nullptr, nullptr);
    drawn = true;
    return r;
}

// The steps of the application main up to the first frame.
[[noreturn]] void start_and_draw_once(int32_t workers) {
    child_start_ms = now_ms();
    std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    PlatformListener listener;
    char* no_arguments[] = {nullptr};
    std::unique_ptr<AppContext> app = build_application(listener, 0, no_arguments, workers);
    listener.on_draw = first_draw;
    set_platform_listener(&listener, 0);
    if (create_window(listener) != 0) _exit(1);
    run_frame_loop();
    _exit(3);
}

void BM_MainToFirstFrameSwapped(benchmark::State& state) {
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
BENCHMARK(BM_MainToFirstFrameSwapped)->Arg(0)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A tick after the intro with nothing held, pending or open.
void BM_IdleTick(benchmark::State& state) {
    std::unique_ptr<AppContext> app = make_app_context();
    make_new_environment_current(*app);
    app->startup.startup_done = 1;
    app_instance = app.get();
    for (auto _ : state) app_tick(*app);
    app_instance = nullptr;
}
BENCHMARK(BM_IdleTick);

}  // namespace

int main(int argc, char** argv) { return run_benchmarks_with_program_heap(argc, argv); }

// The real application on the given kernel and workspace: once the intro
// has finished and a second has passed, the CPU it uses over 5 s with
// nothing to do, its peak resident size and the start-up assembly time.
// Needs a display. Exits 1 when idle use exceeds 3% of one core.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/process_status.h"
#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "context/trace_channels.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/window.h"
#include "shell/app_callbacks.h"
#include "app/app_main.h"
#include "shell/app_tick.h"
#include "text/text_utils.h"

namespace {

constexpr int64_t SETTLE_MS = 1000;
constexpr int64_t MEASURE_MS = 5000;
constexpr double BUDGET_PERCENT = 3.0;

int64_t finished_ms = -1;
int64_t measure_start_ms = -1;
double measure_start_cpu = 0.0;
double result_percent = -1.0;



int32_t measuring_tick(PlatformListener* listener) {
    app_on_tick(listener);
    const int64_t now = now_ms();
    if (!app_instance->startup.startup_done) return 0;
    if (finished_ms < 0) finished_ms = now;
    if (measure_start_ms < 0 && now - finished_ms >= SETTLE_MS) {
        measure_start_ms = now;
        measure_start_cpu = process_cpu_seconds();
    } else if (measure_start_ms >= 0 && now - measure_start_ms >= MEASURE_MS) {
        result_percent = 100.0 * (process_cpu_seconds() - measure_start_cpu) / ((now - measure_start_ms) / 1000.0);
        platform_state.alive = false;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The heap as the program's own main sets it: the peak resident size
    // depends on it.
    use_program_heap_policy();
    app_start_ms = now_ms();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    read_command_line(arguments);
    PlatformListener listener;
    std::unique_ptr<AppContext> app = build_application(listener, argc, argv, 0);
    listener.on_tick = measuring_tick;
    set_platform_listener(&listener, 0);
    if (create_window(listener) != 0) return 2;
    run_frame_loop();

    const TraceLog& log = app->entities.current_environment->trace_log;
    for (int32_t i = 0; i < log.console_count; ++i)
        std::printf("console: %s\n", log.console_lines[static_cast<size_t>(i)].c_str());
    std::printf("idle after the intro: %s%% of one core over %s s (budget %s%%); peak resident %s\n",
                double_to_text_fixed(result_percent, 2).c_str(), double_to_text_fixed(MEASURE_MS / 1000.0, 1).c_str(),
                double_to_text_fixed(BUDGET_PERCENT, 1).c_str(), (long_to_text(status_kib("VmHWM:")) + " kB").c_str());
    set_platform_listener(nullptr, 0);
    app_instance = nullptr;
    return result_percent >= 0.0 && result_percent <= BUDGET_PERCENT ? 0 : 1;
}

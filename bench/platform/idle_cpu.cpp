// CPU used by the frame loop while the window is open and nothing asks for
// a redraw, measured from /proc/self/stat over 5 s after a short settling
// time. Needs a display. Exits 1 when the idle loop uses more than 3% of
// one core.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/process_status.h"
#include "platform/clock.h"
#include "platform/platform_state.h"
#include "platform/window.h"
#include "text/text_utils.h"

namespace {

constexpr int64_t SETTLE_MS = 1000;
constexpr int64_t MEASURE_MS = 5000;
constexpr double BUDGET_PERCENT = 3.0;

int64_t opened_ms = 0;
int64_t measure_start_ms = -1;
double measure_start_cpu = 0.0;
double result_percent = -1.0;

// User plus system CPU seconds of this process.


int32_t on_tick(PlatformListener*) {
    int64_t now = now_ms();
    if (measure_start_ms < 0 && now - opened_ms >= SETTLE_MS) {
        measure_start_ms = now;
        measure_start_cpu = process_cpu_seconds();
    } else if (measure_start_ms >= 0 && now - measure_start_ms >= MEASURE_MS) {
        double wall = (now - measure_start_ms) / 1000.0;
        result_percent = 100.0 * (process_cpu_seconds() - measure_start_cpu) / wall;
        platform_state.alive = false;  // ends the loop
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    PlatformListener listener;
    listener.argc = argc;
    listener.argv = argv;
    listener.title = "VREK:EI idle";
    listener.on_tick = on_tick;
    set_platform_listener(&listener, 0);
    if (create_window(listener) != 0) return 2;
    opened_ms = now_ms();
    run_frame_loop();
    std::printf("idle frame loop: %s%% of one core over %s s (budget %s%%)\n",
                double_to_text_fixed(result_percent, 2).c_str(), double_to_text_fixed(MEASURE_MS / 1000.0, 1).c_str(),
                double_to_text_fixed(BUDGET_PERCENT, 1).c_str());
    return result_percent >= 0.0 && result_percent <= BUDGET_PERCENT ? 0 : 1;
}

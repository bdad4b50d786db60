// One camera step of the tick with keys held (which rebuilds the status line
// and the frame-rate readout), and the status line on its own.
#include <benchmark/benchmark.h>

#include <memory>

#include "context/app_context.h"
#include "render/camera_control.h"
#include "render/status_line.h"
#include "ui/element.h"

namespace {

struct Context {
    std::unique_ptr<AppContext> app = make_app_context();
    Element& status = app->status_label;
    Context() {
        app->io_settings.show_frame_rate = 1;
        for (int i = 0; i < 10; ++i) push_frame_time(FRAME_TIME_RING, 16000000);
    }
};

void BM_CameraTickStepWithHeldKeys(benchmark::State& state) {
    Context c;
    c.app->camera.camera_controller = static_cast<int32_t>(state.range(0));
    for (char key : {'W', 'w', 'D', 'd'}) c.app->camera.key_states[static_cast<unsigned char>(key)] = 1;
    c.app->camera.arrow_states[2] = 1;
    reset_camera_tick_clock();
    int64_t t = 1000;
    camera_tick_step(*c.app, t);
    for (auto _ : state) {
        camera_tick_step(*c.app, t += 10);
        benchmark::DoNotOptimize(c.app->camera.live_camera.eye);
    }
}
BENCHMARK(BM_CameraTickStepWithHeldKeys)->Arg(0)->Arg(1)->Arg(2);

void BM_StatusLineRebuild(benchmark::State& state) {
    Context c;
    for (auto _ : state) {
        update_attribute_trace(*c.app);
        benchmark::DoNotOptimize(c.status.text_width);
    }
}
BENCHMARK(BM_StatusLineRebuild);

}  // namespace

BENCHMARK_MAIN();

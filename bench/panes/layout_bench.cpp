#include <benchmark/benchmark.h>

#include "context/current_environment.h"
#include "panes/layout/display_options.h"
#include "harness/interface_tree.h"
#include "panes/layout/scroll_handlers.h"

namespace {

struct Interface {
    std::unique_ptr<AppContext> app = make_app_context();
    explicit Interface(bool mirrored) {
        hang_interface_tree(*app);
        app_instance = app.get();
        app->frame.window_width = 1280;
        app->frame.window_height = 800;
        app->ui_flags.v_flip_mode = mirrored;
        app->ui_flags.side_pane_open = 1;
        app->ui_flags.settings_menu_shown = 1;
        app->ui_flags.open_settings_menu = 0;
        app->render_flags.colour_mode = 3;
        app->ui_flags.slider_bar_shown = 1;
    }
    ~Interface() { app_instance = nullptr; }
};

// The root layout and every pane's layout callback under it.
void BM_FullRelayout(benchmark::State& state) {
    Interface ui(state.range(0) != 0);
    for (auto _ : state) {
        ui.app->layout(1280, 800);
        benchmark::DoNotOptimize(ui.app->CONTENTPANE.width);
    }
}
BENCHMARK(BM_FullRelayout)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ApplyDisplayOptions(benchmark::State& state) {
    Interface ui(false);
    for (auto _ : state) {
        app_apply_display_options(*ui.app, 1280, 800);
        benchmark::DoNotOptimize(ui.app->frame.view_rect_width);
    }
}
BENCHMARK(BM_ApplyDisplayOptions)->Unit(benchmark::kNanosecond);

// One notch that moves the tool strip (refresh and relayout request).
void BM_WheelStep(benchmark::State& state) {
    Interface ui(false);
    ui.app->layout(720, 480);
    int32_t direction = 1;
    for (auto _ : state) {
        if (ui.app->strip_scroll.tool >= 1.0) direction = -1;
        if (ui.app->strip_scroll.tool <= 0.0) direction = 1;
        benchmark::DoNotOptimize(scroll_tool_strip(*ui.app, direction));
    }
}
BENCHMARK(BM_WheelStep)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();

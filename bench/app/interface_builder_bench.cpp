#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "model/environment.h"
#include "support/silenced_stdout.h"
#include "ui/element.h"

namespace {

size_t count_elements(const Element& e) {
    size_t n = 1;
    if (e.is_container)
        for (const Element* child : static_cast<const Container&>(e).children) n += count_elements(*child);
    return n;
}

// The whole interface built once on a fresh context (the context's own
// construction and teardown are outside the timing).
void BM_BuildUserInterface(benchmark::State& state) {
    SilencedStdout quiet;
    size_t elements = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<AppContext> app = make_app_context();
        state.ResumeTiming();
        build_user_interface(*app);
        state.PauseTiming();
        elements = count_elements(*app);
        app.reset();
        reset_environment_counter();
        state.ResumeTiming();
    }
    state.counters["elements"] = static_cast<double>(elements);
}
BENCHMARK(BM_BuildUserInterface)->Unit(benchmark::kMillisecond);

// The root layout and every layout callback under it, on the built tree at
// 1280 x 800: as started (0), and with the side pane, the settings menu and
// the colour and slider bars open (1).
void BM_RelayoutBuiltInterface(benchmark::State& state) {
    std::unique_ptr<AppContext> app;
    {
        SilencedStdout quiet;
        app = make_app_context();
        build_user_interface(*app);
    }
    app_instance = app.get();
    app->frame.window_width = app->width = 1280;
    app->frame.window_height = app->height = 800;
    if (state.range(0) != 0) {
        app->ui_flags.side_pane_open = 1;
        app->ui_flags.side_pane_index = 0;
        app->ui_flags.settings_menu_shown = 1;
        app->ui_flags.open_settings_menu = 0;
        app->render_flags.colour_mode = 3;
        app->ui_flags.slider_bar_shown = 1;
    }
    for (auto _ : state) {
        app->layout(1280, 800);
        benchmark::DoNotOptimize(app->CONTENTPANE.width);
    }
    state.counters["elements"] = static_cast<double>(count_elements(*app));
    app_instance = nullptr;
    app.reset();
    reset_environment_counter();
}
BENCHMARK(BM_RelayoutBuiltInterface)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

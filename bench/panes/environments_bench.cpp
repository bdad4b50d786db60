// Environment switch (save, bind, tabs, load with the rebuild chain), add
// with the switch back to the first and the close, and the close of one of
// 17 cells, which replays the splits of the 16 left.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <memory>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "panes/environments/environments.h"
#include "panes/environments/viewport_cells.h"

namespace {

// The whole interface, so that a switch runs the real pane rebuilds; the
// builder's start-up lines go to /dev/null.
std::unique_ptr<AppContext> context_with_entities(int environments) {
    std::unique_ptr<AppContext> app = make_app_context();
    app_instance = app.get();
    std::fflush(stdout);
    const int saved = dup(1);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, 1);
    build_user_interface(*app);
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(null_fd);
    for (int e = 1; e < environments; ++e) add_environment(*app);
    for (Environment* environment : app->entities.environment_list.environment_pointers) {
        for (int i = 0; i < 20; ++i) environment->entities.records.push_back(entity_construct());
        environment->entities.count = 20;
    }
    return app;
}

void switch_to(AppContext& app, int32_t index) {
    app.bars.pending_environment = index;
    app.bars.environment_switch_countdown = 0;
    switch_to_pending_environment(app);
}

void BM_SwitchEnvironment(benchmark::State& state) {
    std::unique_ptr<AppContext> app = context_with_entities(2);
    int32_t target = 0;
    for (auto _ : state) {
        switch_to(*app, target);
        target ^= 1;
    }
    app_instance = nullptr;
}
BENCHMARK(BM_SwitchEnvironment)->Unit(benchmark::kMicrosecond);

void BM_AddSwitchBackAndCloseEnvironment(benchmark::State& state) {
    std::unique_ptr<AppContext> app = context_with_entities(1);
    for (auto _ : state) {
        add_environment(*app);
        switch_to(*app, 0);
        close_environment(*app, 1);
    }
    app_instance = nullptr;
}
BENCHMARK(BM_AddSwitchBackAndCloseEnvironment)->Unit(benchmark::kMicrosecond);

void BM_CloseOneOf17Cells(benchmark::State& state) {
    std::unique_ptr<AppContext> app = context_with_entities(1);
    // The viewport prints a "SPLIT-ID:" line per split: keep them out of the table.
    std::fflush(stdout);
    const int saved = dup(1);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, 1);
    Viewport& vp = app->multi_view_viewport;
    for (auto _ : state) {
        state.PauseTiming();
        while (vp.cell_count < 17) {
            vp.hovered_cell = vp.cell_count - 1;
            split_viewport_cell(*app, vp.cell_count % 2 ? 'X' : 'Y');
        }
        state.ResumeTiming();
        vp.hovered_cell = 16;
        close_viewport_cell(*app);
    }
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(null_fd);
    app_instance = nullptr;
}
BENCHMARK(BM_CloseOneOf17Cells)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <memory>

#include "app/app_context.h"
#include "app/current_environment.h"
#include "app/interface_builder.h"
#include "art/art_gl.h"
#include "art/font_atlas.h"
#include "art/icon_raster.h"
#include "intro_ended.h"
#include "model/environment.h"
#include "panes/popups/popups.h"
#include "platform/platform_state.h"
#include "render/frame_renderer.h"
#include "render/gl_state.h"
#include "silenced_stdout.h"
#include "support/glx_context.h"

namespace {

constexpr int W = 1280, H = 800;

// One GL context and the art for every run.
GlxContext* context() {
    static GlxContext* gl = [] {
        auto* c = new GlxContext;
        if (!c->open(W, H)) return static_cast<GlxContext*>(nullptr);
        init_gl_state();
        build_icon_atlas(), build_logo_image(), build_font_atlas();
        app_on_gl_init();
        return c;
    }();
    return gl;
}

// A frame of the built interface without a 3D redraw (the first frame
// draws the scene once): layout, draw list, staging, uploads, the draws of
// every layer and the blits, finished on the GPU. With an X display.
void BM_BuiltInterfaceFrame(benchmark::State& state) {
    if (!context()) return state.SkipWithError("no X display");

    std::unique_ptr<AppContext> app;
    {
        SilencedStdout quiet;
        app = make_app_context();
        build_user_interface(*app);
    }

    app_instance = app.get();
    platform_state.canvas_width = W, platform_state.canvas_height = H;
    app->frame.window_width = app->width = W;
    app->frame.window_height = app->height = H;
    // The interface a user works with once the intro has ended (0), the
    // same with the run pane open (1), or as built, under the intro's
    // cover and the configuration (2).
    if (state.range(0) != 2) end_intro(*app);
    if (state.range(0) == 1) toggle_run_pane(*app);
    render_frame(app.get(), app.get());
    glFinish();
    for (auto _ : state) {
        render_frame(app.get(), app.get());
        glFinish();
    }
    state.counters["layers_drawn"] = frame_renderer.layers_drawn;
    app_instance = nullptr;
    app.reset();
    reset_environment_counter();
}
BENCHMARK(BM_BuiltInterfaceFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
// The same with the rasteriser's threads counted.
BENCHMARK(BM_BuiltInterfaceFrame)->Arg(0)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

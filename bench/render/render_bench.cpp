#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "art/art_gl.h"
#include "art/font_atlas.h"
#include "art/icon_raster.h"
#include "platform/platform_state.h"
#include "render/frame_renderer.h"
#include "platform/gl_state.h"
#include "render/render_targets.h"
#include "harness/glx_context.h"
#include "ui/draw_list.h"
#include "ui/overlay_batches.h"
#include "ui/theme.h"

namespace {

constexpr int W = 1280, H = 800;

// 2,027 elements in the mix of the full interface: 16 panes with
// palette backgrounds and borders, each with a heading and 11 rows of a
// caption, 8 buttons (some with icons and hover backgrounds) and a value
// field; a console of 60 lines; a tool bar of icons; a menu on layer 1 and
// a tool-tip on layer 2.
struct InterfaceTree {
    RootContainer root;
    std::vector<std::unique_ptr<Element>> owned;

    template <typename T>
    T& add(Container& parent, int x, int y, int w, int h) {
        auto e = std::make_unique<T>();
        e->x = x, e->y = y, e->width = w, e->height = h;
        T& ref = *e;
        parent.children.push_back(&ref);
        owned.push_back(std::move(e));
        return ref;
    }

    InterfaceTree() {
        root.width = W, root.height = H;
        root.background_colour = active_theme.colours[3];
        for (int p = 0; p < 16; ++p) {
            Container& pane = add<Container>(root, (p % 4) * 250, 40 + (p / 4) * 180, 248, 178);
            pane.background_palette = &active_theme.palettes[6];
            pane.border_left = pane.border_right = {1, 0, nullptr, &active_theme.palettes[2]};
            pane.border_top = pane.border_bottom = {1, 0, active_theme.colours[1], nullptr};
            Element& heading = add<Label>(pane, 0, 0, 248, 16);
            heading.text = "Pane heading " + std::to_string(p);
            heading.measure_text(heading.text);
            for (int r = 0; r < 11; ++r) {
                Container& row = add<Container>(pane, 0, 16 + r * 16, 248, 16);
                row.background_rgba = r % 2 ? 0x10ffffffu : 0;
                Element& caption = add<Label>(row, 0, 0, 60, 16);
                caption.text = "Caption";
                caption.measure_text(caption.text);
                for (int b = 0; b < 8; ++b) {
                    Element& button = add<Label>(row, 60 + b * 20, 0, 19, 16);
                    button.hover_rgba = 0x40ffffffu, button.hovered = b == 3;
                    if (b % 3 == 0) button.icon = b % 50; else button.text = "B" + std::to_string(b);
                }
                Element& field = add<Label>(row, 220, 0, 28, 16);
                field.text = "12.5";
                field.border_bottom = {1, 0xff808080u, nullptr, nullptr};
            }
        }
        Container& console = add<Container>(root, 1000, 40, 280, 720);
        console.background_rgba = 0xe0101010u;
        Element& text = add<Label>(console, 4, 0, 600, 900);
        std::vector<std::string> lines;
        for (int i = 0; i < 60; ++i) lines.push_back("console line " + std::to_string(i) + ": assembled 1,234 triangles");
        text.set_text_lines(lines);
        for (int i = 0; i < 40; ++i) add<Label>(root, i * 32, 0, 30, 30).icon = i;
        Container& menu = add<Container>(root, 300, 60, 200, 300);
        menu.layer = 1, menu.background_rgba = 0xf0202020u;
        for (int i = 0; i < 12; ++i) add<Label>(menu, 0, i * 24, 200, 24).text = "menu : item " + std::to_string(i);
        Element& tip = add<Label>(root, 600, 600, 300, 40);
        tip.layer = 2, tip.background_rgba = 0xff303030u, tip.text = "A tool-tip title";
        Element& logo = add<Label>(root, 1100, 760, 32, 32);
        logo.image = 0;
        Element& shape = add<Label>(root, 10, 770, 20, 20);
        static const double triangles[12] = {0, 0, 0, 20, 20, 0, 20, 0, 0, 20, 20, 20};
        shape.shape_kind = 0, shape.shape_count = 2, shape.shape_triangles = triangles;
    }
    size_t count() const { return owned.size() + 1; }
};

void BM_CollectDrawListAndBuildFiveLayers(benchmark::State& state) {
    InterfaceTree tree;
    LayerBatches b;  // kept across layers and frames, as the renderer does
    size_t vertices = 0;
    for (auto _ : state) {
        const DrawList list = collect_draw_list(tree.root, true);
        vertices = 0;
        for (int32_t key = -1; key <= 3; ++key) {
            build_layer_batches(H, collect_elements_with_key(list, key), b);
            for (const OverlayBatch* q : {&b.background, &b.border, &b.shape, &b.icon, &b.sprite, &b.image, &b.text}) {
                vertices += q->vertex_count();
            }
            benchmark::DoNotOptimize(b.text.positions.data());
        }
    }
    state.counters["elements"] = static_cast<double>(tree.count());
    state.counters["listed"] = static_cast<double>(tree.root.draw_list.size());
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_CollectDrawListAndBuildFiveLayers)->Unit(benchmark::kMicrosecond);

// Peak resident set in MiB (VmHWM).
double peak_rss_mib() {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    double kib = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atof(line + 6);
    }
    std::fclose(f);
    return kib / 1024.0;
}

GlxContext* context() {
    static GlxContext* gl = [] {
        auto* c = new GlxContext;
        if (!c->open(W, H)) return static_cast<GlxContext*>(nullptr);
        init_gl_state();
        return c;
    }();
    return gl;
}

// Runs first: the process holds only the context and the eight targets,
// sized for a 1280 x 800 window.
void BM_RenderTargetsPeakRss(benchmark::State& state) {
    if (!context()) return state.SkipWithError("no X display");
    const double before = peak_rss_mib();
    for (auto _ : state) {
        if (!render_targets_created) create_render_targets(W, H);
        glFinish();
    }
    state.counters["peak_rss_MiB"] = peak_rss_mib();
    state.counters["before_MiB"] = before;
}
BENCHMARK(BM_RenderTargetsPeakRss)->Iterations(1)->Unit(benchmark::kMillisecond);

// A frame without a 3D redraw: layout, draw list, staging, uploads, the
// draws of five layers and the two blits, finished on the GPU.
void BM_InterfaceOnlyFrame(benchmark::State& state) {
    if (!context()) return state.SkipWithError("no X display");
    build_icon_atlas(), build_logo_image(), build_font_atlas();
    app_on_gl_init();
    auto app = make_app_context();
    InterfaceTree tree;
    platform_state.canvas_width = W, platform_state.canvas_height = H;
    render_frame(app.get(), &tree.root);
    glFinish();
    for (auto _ : state) {
        render_frame(app.get(), &tree.root);
        glFinish();
    }
    state.counters["layers_drawn"] = frame_renderer.layers_drawn;
    state.counters["peak_rss_MiB"] = peak_rss_mib();
}
BENCHMARK(BM_InterfaceOnlyFrame)->Unit(benchmark::kMillisecond);
// The same with the rasteriser's threads counted: the work a frame costs
// whatever else the machine is doing.
BENCHMARK(BM_InterfaceOnlyFrame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

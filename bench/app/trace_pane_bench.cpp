// The KERNEL trace pane showing a kernel's kept output (8 MiB, the first and
// last 4 MiB of a longer run): how long the pane takes to show it (the
// time), to scroll it (counters), and how much memory it takes. Each run is a fresh process with
// its own GL context, as a user's session is. With an X display.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "support/fresh_process.h"
#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "context/trace_channels.h"
#include "art/art_gl.h"
#include "art/font_atlas.h"
#include "art/icon_raster.h"
#include "support/intro_ended.h"
#include "support/program_heap_main.h"
#include "model/trace_log.h"
#include "panes/layout/display_options.h"
#include "platform/platform_state.h"
#include "render/frame_renderer.h"
#include "platform/gl_state.h"
#include "harness/glx_context.h"
#include "ui/slider.h"

namespace {

constexpr int W = 1280, H = 800;
constexpr size_t kKeptBytes = size_t(8) << 20;

// A field of /proc/self/status in KiB, 0 when unreadable.
int64_t status_kib(const char* field) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    int64_t kib = 0;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0) kib = std::atoll(line + n);
    std::fclose(f);
    return kib;
}
int64_t resident_kib() { return status_kib("VmRSS:"); }
int64_t peak_kib() { return status_kib("VmHWM:"); }
// Lets VmHWM start again from the resident set now.
void reset_peak() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

double ms_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Kernel output as it reads in a long run: lines of about 100 bytes.
std::string kept_trace() {
    std::string text;
    text.reserve(kKeptBytes + 128);
    for (int i = 0; text.size() < kKeptBytes; ++i)
        text += "vrek: element " + std::to_string(i) + ": union of 3 operands, " + std::to_string(i % 9000) +
                " vertices, " + std::to_string(i % 17000) + " triangles, bounds checked, normals welded\n";
    text.resize(kKeptBytes);
    return text;
}

void frame(AppContext& app) {
    render_frame(&app, &app);
    glFinish();
}

struct Figures {
    double show_ms, wheel_ms, thumb_ms, resident_mib, peak_mib, check_mib, kept_lines;
};

// The child's whole run; the figures go to `out`.
[[noreturn]] void measure(int out) {
    std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    Figures f{};
    // The counter read once against a known allocation: 64 MiB touched.
    {
        const int64_t before = resident_kib();
        char* block = static_cast<char*>(std::malloc(size_t(64) << 20));
        if (!block) _exit(4);
        std::memset(block, 1, size_t(64) << 20);
        benchmark::DoNotOptimize(block);
        f.check_mib = static_cast<double>(resident_kib() - before) / 1024.0;
        std::free(block);
    }
    GlxContext gl;
    if (!gl.open(W, H)) _exit(3);
    init_gl_state();
    build_icon_atlas(), build_logo_image(), build_font_atlas();
    app_on_gl_init();
    std::unique_ptr<AppContext> app = make_app_context();
    build_user_interface(*app);
    app_instance = app.get();
    platform_state.canvas_width = W, platform_state.canvas_height = H;
    app->frame.window_width = app->width = W;
    app->frame.window_height = app->height = H;
    end_intro(*app);
    select_side_pane(*app, 0);
    select_console_channel(*app, TRACE_KERNEL);
    frame(*app);
    frame(*app);
    // The kept output exists before the pane shows it: it is what the run
    // captured.
    const std::string text = kept_trace();
    const int64_t base = resident_kib();
    reset_peak();

    auto start = std::chrono::steady_clock::now();
    append_kernel_trace(*app, text);
    frame(*app);
    f.show_ms = ms_since(start);
    f.kept_lines = app->entities.current_environment->trace_log.channel_count[TRACE_KERNEL];

    // Twenty wheel steps down the pane, each shown.
    ScrollPane& pane = app->trace_panes[TRACE_KERNEL];
    const int32_t x = pane.view.width / 2, y = pane.view.height / 2;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) {
        pane.on_scroll(x, y, 1);
        frame(*app);
    }
    f.wheel_ms = ms_since(start) / 20;
    // The thumb to the last line and back to the first.
    start = std::chrono::steady_clock::now();
    pane.scroll_y_from_pointer(pane.vbar.height);
    frame(*app);
    pane.scroll_y_from_pointer(0);
    frame(*app);
    f.thumb_ms = ms_since(start) / 2;
    f.resident_mib = static_cast<double>(resident_kib() - base) / 1024.0;
    f.peak_mib = static_cast<double>(peak_kib() - base) / 1024.0;
    if (write(out, &f, sizeof f) != sizeof f) _exit(2);
    _exit(0);
}

// The time: the append and the frame that shows it. Counters: the
// mean time of a wheel step and of a thumb jump (each with its frame), the
// resident and peak growth over the resident set before the append (the
// kept text itself is already counted there), the 64 MiB check.
void BM_ShowKeptTrace(benchmark::State& state) {
    Figures sum{};
    int runs = 0;
    for (auto _ : state) {
        Figures f{};
        if (!run_in_fresh_process(measure, f)) return state.SkipWithError("the measuring process failed (no X display?)");
        state.SetIterationTime(f.show_ms / 1000.0);
        sum.wheel_ms += f.wheel_ms, sum.thumb_ms += f.thumb_ms;
        sum.resident_mib += f.resident_mib, sum.peak_mib += f.peak_mib, sum.check_mib += f.check_mib;
        sum.kept_lines = f.kept_lines;
        ++runs;
    }
    if (runs == 0) return;
    state.counters["wheel_step_ms"] = sum.wheel_ms / runs;
    state.counters["thumb_jump_ms"] = sum.thumb_ms / runs;
    state.counters["resident_growth_MiB"] = sum.resident_mib / runs;
    state.counters["peak_growth_MiB"] = sum.peak_mib / runs;
    state.counters["check_64MiB_reads_MiB"] = sum.check_mib / runs;
    state.counters["kept_lines"] = sum.kept_lines;
}
BENCHMARK(BM_ShowKeptTrace)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return run_benchmarks_with_program_heap(argc, argv); }

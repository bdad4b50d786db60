// The 3D scene on llvmpipe at 720 x 480 (run under Xvfb, Release build):
// opening a 1,000,000-triangle script in a running inspector until the
// frame shows it, in its phases, and orbiting that mesh.
#include <benchmark/benchmark.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "grid_mesh.h"

#include "support/process_status.h"
#include "support/program_heap_main.h"
#include "support/silenced_stdout.h"
#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "art/art_gl.h"
#include "art/font_atlas.h"
#include "art/icon_raster.h"
#include "model/environment.h"
#include "model/interop_mesh.h"
#include "panes/inspector/transform_fields.h"
#include "pipeline/open_scripts.h"
#include "pipeline/orchestration.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/platform_state.h"
#include "render/camera_control.h"
#include "render/frame_renderer.h"
#include "platform/gl_state.h"
#include "render/scene_actions.h"
#include "render/scene_renderer.h"
#include "shell/app_tick.h"
#include "harness/glx_context.h"

namespace {

// 707 x 707 quads: 999,698 triangles.
const char* const kScript = "return grid(707).rgb(0.3, 0.6, 0.9);\n";

using Clock = std::chrono::steady_clock;
double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

struct Bench {
    GlxContext gl;
    std::unique_ptr<AppContext> app;
    std::string script_path;
    bool ok = false;
};

// The temporary folder of the script and workspace, once made.
std::string& bench_root() {
    static std::string root;
    return root;
}

Bench& bench() {
    static Bench b;
    static bool tried = false;
    if (tried) return b;
    tried = true;
    char exe[PATH_MAX] = {0};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (n <= 0 || !b.gl.open()) return b;
    std::string dir(exe, static_cast<size_t>(n));
    dir = dir.substr(0, dir.rfind('/'));
    const std::string build = dir.substr(0, dir.rfind('/', dir.rfind('/') - 1));
    char root[] = "/tmp/vk_scene_bench_XXXXXX";
    if (!mkdtemp(root)) return b;
    bench_root() = root;
    const std::string ws = std::string(root) + "/ws/";
    mkdir(ws.c_str(), 0755);
    mkdir((ws + "tmp").c_str(), 0755);
    b.script_path = std::string(root) + "/grid.vrek";
    if (!write_text_file(b.script_path, kScript)) return b;
    if (!set_kernel_path(build + "/kernel/vrek") || !set_workspace_path(ws)) return b;

    init_gl_state();
    platform_state.canvas_width = 720;
    platform_state.canvas_height = 480;
    b.app = make_app_context();
    AppContext& a = *b.app;
    a.hooks.recolour_entity = recolour_entity;
    make_new_environment_current(a);
    static const double canvas[4] = {0.2, 0.2, 0.25, 1.0};
    a.frame.canvas_colour = canvas;
    a.frame.view_rect_width = 720;
    a.frame.view_rect_height = 480;
    a.bars.multi_view = 0;
    a.camera.camera_controller = 0;
    a.render_flags.colour_mode = 3;  // recolour on open, as with a colour-by function
    render_frame(b.app.get(), b.app.get());
    b.ok = true;
    return b;
}

void finish() { glFinish(); }

// Resident set (VmRSS) and its peak (VmHWM) in MiB.
double status_mib(const char* field) { return static_cast<double>(status_kib(field)) / 1024.0; }

void clear_entities(AppContext& app) {
    EntitySet& set = *app.entities.current_entities;
    for (EntityRecord& e : set.records) {
        if (e.mesh) {
            app.gl_retirement.retired_vertex_arrays.push_back(e.mesh->vertex_array_id);
            app.gl_retirement.retired_vertex_buffers.push_back(e.mesh->vertex_buffer_id);
            app.gl_retirement.retired_index_buffers.push_back(e.mesh->index_buffer_id);
        }
        free_interop_mesh(e.mesh);
    }
    destroy_entity_set(set);
}

// Runs first, while the process holds only the context, the interface and
// the start-up frame: the memory that opening the 1,000,000-triangle script
// adds, with the mesh shown.
void BM_ResidentWithOneMillionTrianglesOpen(benchmark::State& state) {
    Bench& b = bench();
    if (!b.ok) {
        state.SkipWithError("needs an X display and the stand-in kernel");
        return;
    }
    AppContext& app = *b.app;
    const double before = status_mib("VmRSS:");
    double open = 0, peak = 0;
    for (auto _ : state) {
        parse_and_assemble_script(app, b.script_path);
        app.frame.needs_redraw = 1;
        render_frame(&app, &app);
        finish();
        open = status_mib("VmRSS:");
        peak = status_mib("VmHWM:");
        clear_entities(app);
        render_frame(&app, &app);
        finish();
    }
    state.counters["before_MiB"] = before;
    state.counters["open_MiB"] = open;
    state.counters["added_MiB"] = open - before;
    state.counters["peak_MiB"] = peak;
}
BENCHMARK(BM_ResidentWithOneMillionTrianglesOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

// The application as the intro leaves it: the interface built at 720 x 480
// with the program's hooks, every setting at its default.
std::unique_ptr<AppContext> make_interface_app() {
    std::unique_ptr<AppContext> owned;
    {
        SilencedStdout quiet;
        build_icon_atlas(), build_logo_image(), build_font_atlas();
        app_on_gl_init();
        owned = make_app_context();
        build_user_interface(*owned);
    }
    AppContext& app = *owned;
    app_instance = &app;
    app.configuration_mask.visible = app.busy_mask.visible = app.startup_notice.visible = false;
    app.busy_indicator.visible = true;
    app.busy_indicator.opacity = 1.0;
    app.startup.startup_done = 1;
    platform_state.canvas_width = app.frame.window_width = app.width = 720;
    platform_state.canvas_height = app.frame.window_height = app.height = 480;
    return owned;
}

void drop_app(std::unique_ptr<AppContext>& owned) {
    clear_entities(*owned);
    app_instance = nullptr;
    owned.reset();
    reset_environment_counter();
}

// A later open of the script in a running program that has opened it
// before (so the driver's draw memory is faulted in), from the end of the
// deferral ticks: the kernel run, the read, the panes rebuilt, then the
// first frame that shows the mesh until its GL work is finished (the upload,
// which that frame does first, timed on its own); no buffer swap. The still
// frame the next tick asks for is timed apart. A user's first open, deferral
// and swap included, is timed by bench/shell/open_bench.
void BM_LaterOpenGridUntilFrameFinished(benchmark::State& state) {
    Bench& b = bench();
    if (!b.ok) {
        state.SkipWithError("needs an X display and the stand-in kernel");
        return;
    }
    std::unique_ptr<AppContext> owned = make_interface_app();
    AppContext& app = *owned;
    app.frame.needs_redraw = 1;
    render_frame(&app, &app);
    finish();
    double whole = 0, kernel = 0, read = 0, colour = 0, upload = 0, frame = 0, still = 0;
    auto open_once = [&](bool timed) {
        app.deferred_requests.pending_paths = {b.script_path};
        app.deferred_requests.pending_path_count = 1;
        const auto t0 = Clock::now();
        {
            SilencedStdout quiet;
            open_script_paths(app);
        }
        EntitySet& set = *app.entities.current_entities;
        if (set.count != 1 || !set.records[0].mesh) {
            state.SkipWithError("the script produced no mesh");
            return false;
        }
        InteropMesh& mesh = *set.records[0].mesh;
        auto t1 = Clock::now();
        // What the frame's draw would ask for.
        prepare_mesh_buffers(mesh, picking_enabled(app) || !app.render_flags.smooth_shading);
        finish();
        const double uploaded = ms_since(t1);
        t1 = Clock::now();
        render_frame(&app, &app);
        finish();
        const double drawn = ms_since(t1);
        whole += ms_since(t0);
        kernel += static_cast<double>(mesh.kernel_ms);
        read += static_cast<double>(mesh.read_ms);
        upload += uploaded;
        frame += drawn;
        if (timed) state.PauseTiming();
        t1 = Clock::now();
        app_tick(app);
        render_frame(&app, &app);
        finish();
        still += ms_since(t1);
        // The recolour a colour-by setting adds to an open, on its own.
        t1 = Clock::now();
        apply_colour_mode(app, mesh);
        colour += ms_since(t1);
        clear_entities(app);
        rebuild_entity_panes(app);
        app.frame.needs_redraw = 1;
        render_frame(&app, &app);
        finish();
        if (timed) state.ResumeTiming();
        return true;
    };
    // One open before the timed ones: in the program the intro's assembly has
    // drawn a mesh, draft and still, before the user's first open, so the
    // driver has already compiled the mesh shaders.
    if (!open_once(false)) return;
    whole = kernel = read = colour = upload = frame = still = 0;
    for (auto _ : state) {
        if (!open_once(true)) break;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["whole_ms"] = whole / n;
    // Everything but the kernel run.
    state.counters["ours_ms"] = (whole - kernel) / n;
    state.counters["kernel_ms"] = kernel / n;
    state.counters["read_ms"] = read / n;
    state.counters["colour_ms"] = colour / n;
    state.counters["upload_ms"] = upload / n;
    state.counters["first_frame_ms"] = frame / n;
    state.counters["still_frame_ms"] = still / n;
    state.counters["view_width"] = app.frame.view_rect_width;
    state.counters["view_height"] = app.frame.view_rect_height;
    drop_app(owned);
}
BENCHMARK(BM_LaterOpenGridUntilFrameFinished)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The real GL upload of 1,000,000 triangles, again and again into the same
// buffers: GL's storage written until the GL work is finished. Only the
// first iteration meets fresh driver memory; the others reuse what the
// heap kept, as a later open does. A first open's upload is in
// bench/shell/open_bench. Argument: 0 for the default view,
// 1 with the triangle run that flat shading and triangle picking draw.
void BM_LaterUploadOneMillionTriangles(benchmark::State& state) {
    Bench& b = bench();
    if (!b.ok) {
        state.SkipWithError("needs an X display and the stand-in kernel");
        return;
    }
    const InteropMesh grid = make_grid(708);
    const bool triangle_run = state.range(0) != 0;
    for (auto _ : state) {
        // A mesh never uploaded, as a read leaves it (an upload releases
        // the edge lists and keeps the index buffer from then on).
        state.PauseTiming();
        InteropMesh m = grid;
        state.ResumeTiming();
        prepare_mesh_buffers(m, triangle_run);
        finish();
        state.PauseTiming();
        glBindVertexArray(0);
        glDeleteVertexArrays(1, &m.vertex_array_id);
        glDeleteBuffers(1, &m.vertex_buffer_id);
        glDeleteBuffers(1, &m.index_buffer_id);
        state.ResumeTiming();
    }
    state.counters["triangles"] = static_cast<double>(grid.triangles.size() / 3);
}
BENCHMARK(BM_LaterUploadOneMillionTriangles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Orbiting as a user does after opening the script: the built interface at
// 720 x 480, the camera and canvas rectangle a freshly opened script gets,
// and a right-drag applied by the tick's camera step before each frame (so
// the frames are the moving, single-sampled ones). The last frame after the
// loop is the still one. Argument: anti-aliasing on or off.
void BM_OrbitOneMillionTriangles(benchmark::State& state) {
    Bench& b = bench();
    if (!b.ok) {
        state.SkipWithError("needs an X display and the stand-in kernel");
        return;
    }
    std::unique_ptr<AppContext> owned = make_interface_app();
    AppContext& app = *owned;
    app.io_settings.anti_aliasing = static_cast<uint8_t>(state.range(0));
    {
        SilencedStdout quiet;
        parse_and_assemble_script(app, b.script_path);
    }
    if (!app.entities.current_entities || app.entities.current_entities->count != 1) {
        state.SkipWithError("the script produced no mesh");
        return;
    }
    app.frame.needs_redraw = 1;
    render_frame(&app, &app);
    finish();
    reset_camera_tick_clock();
    int64_t now = 1000;
    camera_tick_step(app, now);
    begin_camera_drag(app, 360, 240);
    int x = 360, dx = 2;
    for (auto _ : state) {
        // The pointer path of the comparison script: 2 pixels a step,
        // between 40 left and 40 right of the start, the mesh in view.
        x += dx;
        if (x - 360 >= 40) dx = -2;
        if (x - 360 <= -40) dx = 2;
        drag_camera(app, x, 240, 0);
        camera_tick_step(app, now += 10);
        render_frame(&app, &app);
        finish();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["view_width"] = app.frame.view_rect_width;
    state.counters["view_height"] = app.frame.view_rect_height;
    state.counters["moving"] = app.frame.camera_moving;
    app.camera.camera_drag.camera_drag_active = false;
    camera_tick_step(app, now += 10);
    const auto t0 = Clock::now();
    render_frame(&app, &app);
    finish();
    state.counters["still_frame_ms"] = ms_since(t0);
    drop_app(owned);
}
BENCHMARK(BM_OrbitOneMillionTriangles)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

int recolours = 0;

// Enter in a transform field (or an order button) on the 1,000,000-triangle
// entity until the next frame is drawn: the matrix changes, the mesh is
// neither uploaded nor recoloured again.
void BM_TransformCommitOneMillionTriangles(benchmark::State& state) {
    Bench& b = bench();
    if (!b.ok) {
        state.SkipWithError("needs an X display and the stand-in kernel");
        return;
    }
    AppContext& app = *b.app;
    app.io_settings.anti_aliasing = 1;
    parse_and_assemble_script(app, b.script_path);
    app.frame.needs_redraw = 1;
    render_frame(&app, &app);
    finish();
    app.entities.current_environment_parts.entity_view->selected_row = 0;
    app.hooks.recolour_entity = [](AppContext& a, EntityRecord& e) { ++recolours, recolour_entity(a, e); };
    recolours = 0;
    int64_t uploads = 0;
    int k = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            app.translation_fields[0].set_text(std::to_string(k++ % 5) + ".5");
            commit_transform_field(app, 0, 0);
        } else {
            set_entity_rotation_order(app, k++ % 6);
        }
        uploads += app.entities.current_entities->records[0].mesh->colours_dirty;
        render_frame(&app, &app);
        finish();
    }
    state.counters["uploads"] = static_cast<double>(uploads);
    state.counters["recolours"] = recolours;
    app.hooks.recolour_entity = recolour_entity;
    clear_entities(app);
}
BENCHMARK(BM_TransformCommitOneMillionTriangles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

// The workspace holds the script's kernel output (tens of MB): the folder
// goes when the run ends, whatever the benchmarks did.
int main(int argc, char** argv) {
    const int result = run_benchmarks_with_program_heap(argc, argv);
    if (!bench_root().empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(bench_root(), ignored);
    }
    return result;
}

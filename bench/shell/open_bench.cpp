// Opening a grid script as a user meets it: each iteration starts the whole
// program in a forked child (art, context, interface, window, the intro and
// its start-up assembly), and once the intro is over answers the open
// dialog with the script. Timed from that answer, through the five deferral
// ticks, the kernel run, the read and the upload, to the return of the
// buffer swap after the first frame that draws the mesh. The same script is
// then opened under a second name in the same process (a later open,
// reported on its own; the frame then draws both meshes). The child also
// reports its resident memory before the open, with the mesh shown and its
// peak after the still frame. Argument: the
// grid's quads per side (707: 999,698 triangles; 354: 250,632; 1414:
// 3,998,792). Needs an X display (Xvfb) and the stand-in kernel built.
#include <benchmark/benchmark.h>
#include <glib.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/process_status.h"
#include "support/program_heap_main.h"
#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "model/interop_mesh.h"
#include "panes/browser/path_configuration.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/window.h"
#include "shell/app_callbacks.h"
#include "app/app_main.h"
#include "shell/app_tick.h"

namespace {

using Clock = std::chrono::steady_clock;

// What a child sends back: milliseconds of the first and the later open, the
// first open's assembly run and read (as the mesh records them; the rest is
// the deferral, the upload and the frame), and KiB of VmRSS before the
// open, VmRSS with the mesh shown, VmHWM once the still frame is drawn, and
// the triangles shown.
struct OpenResult {
    double first_ms = -1, later_ms = -1, kernel_ms = -1, read_ms = -1;
    int64_t before_kib = 0, shown_kib = 0, peak_kib = 0, triangles = 0;
};

// The child's state: one process, one run of the steps below.
struct Child {
    int pipe = -1;
    std::string script;  // and beside it a copy, for the later open
    AppContext* app = nullptr;
    ListenerNotify tick = nullptr, draw = nullptr;
    // 0 intro, 1 first open asked, 2 first shown, 3 later open asked, 4 done.
    int phase = 0;
    int ticks_in_phase = 0;
    int32_t previous_serial = -1;
    Clock::time_point asked;
    OpenResult result;
} child;

// The first open answers the first script, the later one a copy of it (the
// same script again would be seen as unchanged and kept).
std::string answer_script(const std::string&) { return child.phase == 1 ? child.script : child.script + ".2.vrek"; }

const InteropMesh* shown_mesh() {
    const EntitySet* set = child.app->entities.current_entities;
    if (!set || set->count < 1 || set->records.size() < static_cast<size_t>(set->count)) return nullptr;
    const InteropMesh* mesh = set->records[static_cast<size_t>(set->count) - 1].mesh;
    // Uploaded means a frame has drawn it.
    return mesh && mesh->serial_id != child.previous_serial && !mesh->colours_dirty ? mesh : nullptr;
}

void ask_open() {
    const InteropMesh* shown = shown_mesh();
    child.previous_serial = shown ? shown->serial_id : -1;
    child.ticks_in_phase = 0;
    ++child.phase;
    child.asked = Clock::now();
    run_native_open_script_dialog(*child.app);
}

[[noreturn]] void send_and_exit() {
    const bool sent = write(child.pipe, &child.result, sizeof child.result) == sizeof child.result;
    _exit(sent ? 0 : 2);
}

// Runs in the first pass of the loop after the frame's swap returned.
gboolean after_swap(gpointer) {
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - child.asked).count();
    child.ticks_in_phase = 0;
    if (child.phase == 1) {
        child.result.first_ms = ms;
        child.result.shown_kib = status_kib("VmRSS:");
        child.phase = 2;
    } else {
        child.result.later_ms = ms;
        send_and_exit();
    }
    return G_SOURCE_REMOVE;
}

int32_t on_draw(PlatformListener* listener) {
    const int32_t r = child.draw(listener);
    if ((child.phase == 1 || child.phase == 3) && child.ticks_in_phase >= 0) {
        if (const InteropMesh* mesh = shown_mesh()) {
            child.result.triangles = static_cast<int64_t>(mesh->triangles.size() / 3);
            if (child.phase == 1) {
                child.result.kernel_ms = static_cast<double>(mesh->kernel_ms);
                child.result.read_ms = static_cast<double>(mesh->read_ms);
            }
            child.ticks_in_phase = -1;  // one swap to wait for
            g_idle_add_full(G_PRIORITY_HIGH, after_swap, nullptr, nullptr);
        }
    }
    return r;
}

int32_t on_tick(PlatformListener* listener) {
    const int32_t r = child.tick(listener);
    if (child.ticks_in_phase >= 0) ++child.ticks_in_phase;
    // A second after the intro ends (as a user would click), and a second
    // after the first open (its still frame drawn).
    if (child.phase == 0 && child.app->startup.startup_done && child.ticks_in_phase > 50) {
        child.result.before_kib = status_kib("VmRSS:");
        ask_open();
    } else if (child.phase == 2 && child.ticks_in_phase > 50) {
        child.result.peak_kib = status_kib("VmHWM:");
        ask_open();
    }
    if (child.phase == 0 && !child.app->startup.startup_done) child.ticks_in_phase = 0;
    return r;
}

[[noreturn]] void run_child(const std::string& kernel, const std::string& workspace) {
    // The heap policy of the program's main, so the memory is the program's.
    use_program_heap_policy();
    std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    read_command_line({kernel, workspace});
    PlatformListener listener;
    char* no_arguments[] = {nullptr};
    std::unique_ptr<AppContext> app = build_application(listener, 0, no_arguments, 0);
    app->services.open_script_dialog = answer_script;
    child.app = app.get();
    child.tick = listener.on_tick;
    child.draw = listener.on_draw;
    listener.on_tick = on_tick;
    listener.on_draw = on_draw;
    set_platform_listener(&listener, 0);
    if (create_window(listener) != 0) _exit(1);
    run_frame_loop();
    _exit(3);
}

// The build directory, two levels above this program.
std::string build_directory() {
    char exe[PATH_MAX] = {0};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (n <= 0) return "";
    std::filesystem::path p(std::string(exe, static_cast<size_t>(n)));
    return p.parent_path().parent_path().parent_path().string();
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

void BM_FirstOpenInFreshProcessUntilSwap(benchmark::State& state) {
    char root[] = "/tmp/vk_open_bench_XXXXXX";
    if (!mkdtemp(root)) return state.SkipWithError("no temporary folder");
    const std::string workspace = std::string(root) + "/ws/";
    child.script = std::string(root) + "/grid.vrek";
    const std::string text = "return grid(" + std::to_string(state.range(0)) + ").rgb(0.3, 0.6, 0.9);\n";
    const std::string kernel = build_directory() + "/kernel/vrek";
    std::error_code ignored;
    std::filesystem::create_directories(workspace, ignored);
    if (!write_text_file(child.script, text) || !write_text_file(child.script + ".2.vrek", text))
        return state.SkipWithError("scripts not written");
    std::vector<double> first, later, kernel_run, reading, added, shown, peak;
    OpenResult last;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) return state.SkipWithError("no pipe");
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            child.pipe = fds[1];
            run_child(kernel, workspace);
        }
        close(fds[1]);
        OpenResult r;
        const bool read_ok = read(fds[0], &r, sizeof r) == sizeof r;
        close(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!read_ok) {
            state.SkipWithError("the child showed no mesh (display? kernel?)");
            break;
        }
        state.SetIterationTime(r.first_ms / 1000.0);
        first.push_back(r.first_ms);
        later.push_back(r.later_ms);
        kernel_run.push_back(r.kernel_ms);
        reading.push_back(r.read_ms);
        added.push_back(static_cast<double>(r.shown_kib - r.before_kib) / 1024.0);
        shown.push_back(static_cast<double>(r.shown_kib) / 1024.0);
        peak.push_back(static_cast<double>(r.peak_kib) / 1024.0);
        last = r;
    }
    std::filesystem::remove_all(root, ignored);
    // Medians over the iterations (the time column is their mean).
    state.counters["first_open_ms"] = median(first);
    state.counters["later_open_ms"] = median(later);
    state.counters["first_kernel_ms"] = median(kernel_run);
    state.counters["first_read_ms"] = median(reading);
    state.counters["added_MiB"] = median(added);
    state.counters["shown_MiB"] = median(shown);
    state.counters["peak_MiB"] = median(peak);
    state.counters["triangles"] = static_cast<double>(last.triangles);
}
BENCHMARK(BM_FirstOpenInFreshProcessUntilSwap)->Arg(707)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
// The memory of a smaller and a larger mesh.
BENCHMARK(BM_FirstOpenInFreshProcessUntilSwap)
    ->Arg(354)
    ->Arg(1414)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return run_benchmarks_with_program_heap(argc, argv); }

#pragma once
// The application as app_main builds it, in this process with a real window
// and loop, driven tick by tick and with xdotool; and a temporary copy of the
// sample workspace. Needs a display (support/private_display.h).
#include <gtest/gtest.h>

#include <gtk/gtk.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/platform_state.h"
#include "platform/window.h"
#include "shell/app_callbacks.h"
#include "app/app_main.h"
#include "pipeline/workspace.h"
#include "support/app_fixture.h"
#include "ui/ui_state.h"

inline std::string binary_dir() {
    const char* dir = getenv("VK_BINARY_DIR");
    return dir ? dir : ".";
}

// A copy of the sample workspace in a fresh directory, removed afterwards.
struct SampleWorkspace {
    std::string root;
    SampleWorkspace() {
        std::string name = binary_dir() + "/test-output";
        std::filesystem::create_directories(name);
        name += "/vk_live_XXXXXX";
        root = mkdtemp(&name[0]);
        const char* source = getenv("VK_SOURCE_DIR");
        std::filesystem::copy(std::string(source ? source : ".") + "/examples", root + "/examples",
                              std::filesystem::copy_options::recursive);
        std::filesystem::remove_all(root + "/examples/tmp");
    }
    ~SampleWorkspace() { std::filesystem::remove_all(root); }
    std::string workspace() const { return root + "/examples/"; }
};

inline std::string kernel() { return binary_dir() + "/kernel/vrek"; }

// The application as app_main builds it, driven tick by tick.
// The context leaves its entities' meshes to their owner: this frees them
// before the application goes.
struct MeshRelease {
    AppContext& app;
    ~MeshRelease() { free_context_meshes(app); }
};

// Frames the canvas has drawn, counted around the program's own draw.
inline int64_t frames_drawn = 0;
inline ListenerNotify program_draw = nullptr;
inline int32_t counting_draw(PlatformListener* listener) {
    ++frames_drawn;
    return program_draw ? program_draw(listener) : 0;
}

struct LiveApplication {
    std::unique_ptr<AppContext> app;
    PlatformListener listener;
    int64_t last_tick = 0;
    int canvas_x = 0, canvas_y = 0;
    // Called on every turn of the loop, e.g. to time state changes.
    std::function<void()> each_turn;

    // `arguments` as on the program's command line (kernel, workspace,
    // option), read before the interface is built, as the program does.
    explicit LiveApplication(const std::vector<std::string>& arguments = {}) {
        reset_paths_for_tests();
        if (!arguments.empty()) read_command_line(arguments);
        generate_interface_art(0);
        app = make_app_context();
        build_user_interface(*app);
        bind_root_callbacks(*app);
        app_instance = app.get();
        fill_app_services(app->services);
        char* no_arguments[] = {nullptr};
        fill_platform_listener(listener, *app, 0, no_arguments);
        program_draw = listener.on_draw;
        listener.on_draw = counting_draw;
        set_platform_listener(&listener, 0);
    }
    ~LiveApplication() {
        if (platform_state.window) gtk_widget_destroy(platform_state.window);
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
        set_platform_listener(nullptr, 0);
        app_instance = nullptr;
        free_context_meshes(*app);
        app.reset();
        reset_paths_for_tests();
    }
    bool open() {
        if (create_window(listener) != 0) return false;
        app_on_start(&listener);
        return pump_until([this] { return platform_state.canvas_width > 0 && app->width > 0; }, 5000);
    }
    // Confirms the paths the intro waits for and runs it to its end.
    bool finish_intro(const SampleWorkspace& sample) {
        if (!set_kernel_path(kernel()) || !set_workspace_path(sample.workspace())) return false;
        prepare_app_workspace(*app);
        return pump_until([this] { return app->startup.startup_done != 0; }, 30'000) && await_frames();
    }
    // Where the canvas is on the screen now.
    void find_canvas() { gdk_window_get_origin(gtk_widget_get_window(platform_state.canvas), &canvas_x, &canvas_y); }
    // The frame loop's work: events, ticks every 10 ms, redraws.
    bool pump_until(const std::function<bool()>& done, int timeout_ms) {
        for (gint64 end = g_get_monotonic_time() + timeout_ms * 1000; g_get_monotonic_time() < end; g_usleep(2000)) {
            while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
            if (now_ms() - last_tick > 10) {
                last_tick = now_ms();
                listener.on_tick(&listener);
                if (platform_state.canvas) gtk_widget_queue_draw(platform_state.canvas);
            }
            if (each_turn) each_turn();
            if (done()) return true;
        }
        return false;
    }
    void pump_for(int ms) { pump_until([] { return false; }, ms); }
    // Until the screen shows the state as it is now: the pointer goes where
    // the last frame drew things. A loaded machine can take far longer over
    // one frame than any fixed pause allows.
    bool await_frames(int64_t count = 2) {
        const int64_t want = frames_drawn + count;
        return pump_until([want] { return frames_drawn >= want; }, 10'000);
    }
    // xdotool actions relative to the canvas, with the loop running meanwhile.
    bool xdotool(const std::string& actions) {
        gchar** argv = nullptr;
        GPid pid = 0;
        int status = -1;
        const std::string command = "xdotool " + actions;
        bool spawned = g_shell_parse_argv(command.c_str(), nullptr, &argv, nullptr) &&
                       g_spawn_async(nullptr, argv, nullptr,
                                     GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr,
                                     &pid, nullptr);
        g_strfreev(argv);
        if (spawned && !pump_until([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 15000))
            kill(pid, SIGKILL), waitpid(pid, &status, 0);
        pump_for(100);
        return spawned && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    std::string at(int x, int y) const { return std::to_string(canvas_x + x) + " " + std::to_string(canvas_y + y); }
    // The pointer to a point of the canvas, found anew.
    bool move_to(int32_t x, int32_t y) {
        find_canvas();
        return xdotool("mousemove --sync " + at(x, y));
    }
    // A left click at a point of the canvas, the pointer brought from the
    // top-left corner first: a move to where it already is never reports done.
    bool click_at(int32_t x, int32_t y) {
        find_canvas();
        return xdotool("mousemove --sync " + at(x == 1 ? 2 : 1, 1) + " mousemove --sync " + at(x, y) +
                       " sleep 0.1 click 1");
    }
    // A left click at the centre of an element as last drawn.
    bool click(const Element& e) {
        return xdotool("mousemove --sync " + at(e.abs_x + e.abs_width / 2, e.abs_y + e.abs_height / 2) +
                       " click 1");
    }
    // Kernel and workspace set and prepared; the intro runs to its end.
    bool start_configured(const std::string& workspace) {
        if (!open() || !set_kernel_path(kernel()) || !set_workspace_path(workspace)) return false;
        gdk_window_get_origin(gtk_widget_get_window(platform_state.canvas), &canvas_x, &canvas_y);
        prepare_app_workspace(*app);
        return pump_until([this] { return app->startup.startup_done != 0; }, 30'000) && await_frames();
    }
    // Opens scripts as the tick does after a request, waiting for them.
    bool open_scripts(const std::vector<std::string>& paths) {
        DeferredRequests& r = app->deferred_requests;
        r.pending_paths = paths;
        r.pending_path_count = static_cast<int32_t>(paths.size());
        r.open_paths_requested = 1;
        r.deferred_countdown = 5;
        const int32_t want = app->entities.current_entities->count + static_cast<int32_t>(paths.size());
        return pump_until([&] { return app->entities.current_entities->count == want; }, 30'000) && await_frames();
    }
    size_t console_count(const std::string& prefix) const {
        const TraceLog& log = app->entities.current_environment->trace_log;
        size_t n = 0;
        for (int32_t i = 0; i < log.console_count; ++i)
            n += log.console_lines[static_cast<size_t>(i)].compare(0, prefix.size(), prefix) == 0;
        return n;
    }
};

// A test with the live application over a fresh copy of the samples.
struct LiveWindow : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    void settle() { live.pump_for(300); }
    // A left click at an element's centre as last drawn, the pointer brought
    // from beside it: a move to where the pointer already is never ends.
    bool click(const Element& e) {
        live.find_canvas();
        const int32_t x = e.abs_x + e.abs_width / 2, y = e.abs_y + e.abs_height / 2;
        return live.xdotool("mousemove --sync " + live.at(x + 3, y + 3) + " mousemove --sync " + live.at(x, y) +
                            " click 1");
    }
};

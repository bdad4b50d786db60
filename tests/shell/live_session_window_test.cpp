// A whole session of the program, from app_main to its return, in a child
// process: two scripts opened (one parallel), an export, the window closed.
// The child's exit status is the program's, so that in the sanitizer build
// a leak at quit (LeakSanitizer runs when the child exits) fails the test.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "platform/files.h"
#include "platform/platform_state.h"
#include "app/app_main.h"
#include "support/live_application.h"
#include "support/private_display.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

// Runs inside the program's own frame loop, on its thread, every 50 ms:
// each step acts as a user would (xdotool clicks on the elements as last
// drawn) and waits for the window to show the effect before the next.
struct SessionDriver {
    std::string workspace;
    int step = 0;
    bool clicking = false;
    int32_t wanted_entities = 0;
    int64_t deadline = 0;
    std::string failure;

    void fail(const std::string& why) {
        if (failure.empty()) failure = "step " + std::to_string(step) + ": " + why;
    }
};

void on_click_done(GPid pid, gint, gpointer data) {
    g_spawn_close_pid(pid);
    static_cast<SessionDriver*>(data)->clicking = false;
}

// A left click at the centre of the element as last drawn.
void click(SessionDriver& d, const Element& e) {
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(platform_state.canvas), &x, &y);
    x += e.abs_x + e.abs_width / 2, y += e.abs_y + e.abs_height / 2;
    const std::string command = "xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) +
                                " sleep 0.1 click 1";
    gchar** argv = nullptr;
    GPid pid = 0;
    if (!g_shell_parse_argv(command.c_str(), nullptr, &argv, nullptr) ||
        !g_spawn_async(nullptr, argv, nullptr, GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr,
                       nullptr, &pid, nullptr)) {
        d.fail("xdotool did not start");
    } else {
        d.clicking = true;
        g_child_watch_add(pid, on_click_done, &d);
    }
    g_strfreev(argv);
}

// WM_DELETE_WINDOW, as a window manager's close button sends it.
void request_close() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = GDK_WINDOW_XID(gtk_widget_get_window(platform_state.window));
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
}

gboolean drive(gpointer data) {
    SessionDriver& d = *static_cast<SessionDriver*>(data);
    AppContext* app = app_instance;
    if (!app || d.clicking || !platform_state.canvas || d.step > 7) return TRUE;
    if (g_get_monotonic_time() > d.deadline) {
        d.fail("timed out");
        request_close();
        d.step = 8;
        return TRUE;
    }
    EntitySet* set = app->entities.current_entities;
    switch (d.step) {
        case 0:  // the intro is over: two scripts requested as a drop does
            if (!app->startup.startup_done || !set) break;
            d.wanted_entities = set->count + 2;
            app->deferred_requests.pending_paths = {d.workspace + "mirrored_gate.vrek",
                                                   d.workspace + "parallel_towers.vrek"};
            app->deferred_requests.pending_path_count = 2;
            app->deferred_requests.open_paths_requested = 1;
            app->deferred_requests.deferred_countdown = 5;
            d.step = 1;
            break;
        case 1:  // both assembled, the parallel one with its sub-elements
            if (set->count < d.wanted_entities || app->LOADPANE.visible) break;
            if (set->records.back().parallel != 1 || set->records.back().subelement_records.empty())
                d.fail("the parallel script has no sub-elements");
            click(d, app->EXPORT);
            d.step = 2;
            break;
        case 2:
            if (!app->EXPORTPANE.visible) break;
            click(d, app->export_format_buttons[0]);  // OBJ
            d.step = 3;
            break;
        case 3:
            if (!app->export_format_checks[0].selected) break;
            click(d, app->export_format_buttons[3]);  // STL
            d.step = 4;
            break;
        case 4:
            if (!app->export_format_checks[3].selected) break;
            click(d, app->export_button);
            d.step = 5;
            break;
        case 5:
            if (!app->CONFIRMPANE.visible) break;
            click(d, app->confirm_ok_button);
            d.step = 6;
            break;
        case 6:
            if (!app->INFOPANE.visible && !app->ERRORPANE.visible) break;
            if (app->message_titles[0].text != "Environment Mesh File Export Complete" || app->ERRORPANE.visible)
                d.fail("the export failed");
            d.step = 7;
            break;
        case 7:  // closed with both scripts still open
            request_close();
            d.step = 8;
            break;
    }
    return TRUE;
}

// The child: the program's whole life with the driver in its loop.
int run_session(const std::string& workspace, const std::string& out_file) {
    if (!freopen(out_file.c_str(), "w", stdout)) return 90;
    SessionDriver driver;
    driver.workspace = workspace;
    driver.deadline = g_get_monotonic_time() + 150 * G_USEC_PER_SEC;
    g_timeout_add(50, drive, &driver);
    std::string program = binary_dir() + "/src/app/vrekform", k = kernel(), w = workspace;
    char* argv[] = {&program[0], &k[0], &w[0], nullptr};
    const int status = !app_main(3, argv);
    if (!driver.failure.empty()) {
        std::printf("SESSION-FAILURE: %s\n", driver.failure.c_str());
        return 91;
    }
    std::fflush(stdout);
    return status;
}

TEST(LiveSession, OpenTwoExportAndCloseEndsWithStatusZero) {
    SampleWorkspace sample;
    const std::string out_file = sample.root + "/session.txt";
    std::fflush(stdout);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    // exit, not _exit: the leak check runs among the exit handlers.
    if (child == 0) std::exit(run_session(sample.workspace(), out_file));
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    const std::string out = read_file(out_file);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << (WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                              : "signal " + std::to_string(WTERMSIG(status)))
        << "\n"
        << out;
    EXPECT_NE(out.find("Quitting...\n"), std::string::npos);
    for (const char* file : {"environment_NGON.obj", "environment_TESS.obj", "environment.stl"})
        EXPECT_FALSE(read_file(sample.workspace() + file).empty()) << file;
}

}  // namespace

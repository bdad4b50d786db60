// A whole session of the program, from app_main to its return, in a child
// process: two scripts opened (one parallel), an export, the window closed.
// The child's exit status is the program's, so that in the sanitizer build
// a leak at quit (LeakSanitizer runs when the child exits) fails the test.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "platform/files.h"
#include "platform/platform_state.h"
#include "app/app_main.h"
#include "support/close_request.h"
#include "support/live_application.h"
#include "support/private_display.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

// What a session does: the scripts it opens (names in the workspace), the
// export formats it picks, and a step taken just before the export is
// confirmed.
struct SessionPlan {
    std::vector<std::string> scripts = {"mirrored_gate.vrek", "parallel_towers.vrek"};
    std::vector<int> formats = {0, 3};  // OBJ, STL
    std::function<void()> before_export;
    // After the program's return, before the child exits.
    std::function<void()> after_session;
};

// Runs inside the program's own frame loop, on its thread, every 50 ms:
// each step acts as a user would (xdotool clicks on the elements as last
// drawn) and waits for the window to show the effect before the next.
struct SessionDriver {
    std::string workspace;
    SessionPlan plan;
    int step = 0;
    size_t format = 0;
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
    send_close_request(display, GDK_WINDOW_XID(gtk_widget_get_window(platform_state.window)));
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
        case 0:  // the intro is over: the scripts requested as a drop does
            if (!app->startup.startup_done || !set) break;
            d.wanted_entities = set->count + static_cast<int32_t>(d.plan.scripts.size());
            app->deferred_requests.pending_paths.clear();
            for (const std::string& name : d.plan.scripts) app->deferred_requests.pending_paths.push_back(d.workspace + name);
            app->deferred_requests.pending_path_count = static_cast<int32_t>(d.plan.scripts.size());
            app->deferred_requests.open_paths_requested = 1;
            app->deferred_requests.deferred_countdown = 5;
            d.step = 1;
            break;
        case 1:  // all assembled, a parallel one with its sub-elements
            if (set->count < d.wanted_entities || app->LOADPANE.visible) break;
            if (set->records.back().parallel == 1 && set->records.back().subelement_records.empty())
                d.fail("the parallel script has no sub-elements");
            click(d, app->EXPORT);
            d.step = 2;
            break;
        case 2:
            if (!app->EXPORTPANE.visible) break;
            d.step = 3;
            break;
        case 3:  // each format in turn, once the last one shows as chosen
            if (d.format > 0 && !app->export_format_checks[d.plan.formats[d.format - 1]].selected) break;
            if (d.format < d.plan.formats.size()) {
                click(d, app->export_format_buttons[d.plan.formats[d.format++]]);
                break;
            }
            click(d, app->export_button);
            d.step = 5;
            break;
        case 5:
            if (!app->CONFIRMPANE.visible) break;
            if (d.plan.before_export) d.plan.before_export();
            click(d, app->confirm_ok_button);
            d.step = 6;
            break;
        case 6:  // the box the export ended with, for the test to read
            if (!app->INFOPANE.visible && !app->ERRORPANE.visible) break;
            for (int box : {0, 1})
                std::printf("EXPORT-BOX: %s\n%s\n", app->message_titles[box].text.c_str(),
                            app->message_texts[box].text.c_str());
            d.step = 7;
            break;
        case 7:  // closed with the scripts still open
            request_close();
            d.step = 8;
            break;
    }
    return TRUE;
}

// The child: the program's whole life with the driver in its loop.
int run_session(const std::string& workspace, const std::string& out_file, const SessionPlan& plan = {}) {
    if (!freopen(out_file.c_str(), "w", stdout)) return 90;
    SessionDriver driver;
    driver.workspace = workspace;
    driver.plan = plan;
    driver.deadline = g_get_monotonic_time() + 150 * G_USEC_PER_SEC;
    g_timeout_add(50, drive, &driver);
    std::string program = binary_dir() + "/src/app/vrekform", k = kernel(), w = workspace;
    char* argv[] = {&program[0], &k[0], &w[0], nullptr};
    const int status = !app_main(3, argv);
    if (plan.after_session) plan.after_session();
    if (!driver.failure.empty()) {
        std::printf("SESSION-FAILURE: %s\n", driver.failure.c_str());
        return 91;
    }
    std::fflush(stdout);
    return status;
}

// Runs the session in a child process; its exit status and its output.
struct SessionEnd {
    int status = -1;
    std::string out;
    bool exited_zero() const { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }
    std::string describe() const {
        return (WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                  : "signal " + std::to_string(WTERMSIG(status))) +
               "\n" + out;
    }
};

SessionEnd run_child_session(const SampleWorkspace& sample, const SessionPlan& plan = {}) {
    const std::string out_file = sample.root + "/session.txt";
    std::fflush(stdout);
    SessionEnd end;
    const pid_t child = fork();
    if (child < 0) return end;
    if (child == 0) {
        // As a shell starts it: a file-size limit's signal would end it.
        std::signal(SIGXFSZ, SIG_DFL);
        // exit, not _exit: the leak check runs among the exit handlers.
        std::exit(run_session(sample.workspace(), out_file, plan));
    }
    if (waitpid(child, &end.status, 0) != child) end.status = -1;
    end.out = read_file(out_file);
    return end;
}

// The temporary export files in the folder.
std::vector<std::string> hidden_files(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".vrekform-tmp-", 0) == 0) names.push_back(name);
    }
    return names;
}

TEST(LiveSession, OpenTwoExportAndCloseEndsWithStatusZero) {
    SampleWorkspace sample;
    const SessionEnd end = run_child_session(sample);
    EXPECT_TRUE(end.exited_zero()) << end.describe();
    EXPECT_NE(end.out.find("Quitting...\n"), std::string::npos);
    for (const char* file : {"environment_NGON.obj", "environment_TESS.obj", "environment.stl"})
        EXPECT_FALSE(read_file(sample.workspace() + file).empty()) << file;
}

// Under a file-size limit the export fails as on a full disk and the
// session goes on to its close. The signal that the limit raises is at its
// default (fatal) disposition here: only the program itself can ignore it.
TEST(LiveSession, AFileSizeLimitFailsTheExportAndTheSessionGoesOn) {
    SampleWorkspace sample;
    const std::string stl = sample.workspace() + "environment.stl";
    ASSERT_TRUE(write_text_file(stl, "the earlier export"));
    SessionPlan plan;
    plan.scripts = {"large_grid.vrek"};
    plan.formats = {3};
    plan.before_export = [] {
        const rlimit limit{rlim_t(1) << 20, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
    };
    const SessionEnd end = run_child_session(sample, plan);
    EXPECT_TRUE(end.exited_zero()) << end.describe();
    EXPECT_NE(end.out.find("EXPORT-BOX: Error: Environment Mesh File Export Failure\nThis file could not be "
                           "written:\n\n\t environment.stl : File too large\n"),
              std::string::npos)
        << end.out;
    EXPECT_NE(end.out.find("Quitting...\n"), std::string::npos);
    EXPECT_EQ(read_file(stl), "the earlier export");
    EXPECT_EQ(hidden_files(sample.workspace()), std::vector<std::string>{});
}

// SIGTERM, SIGINT or SIGHUP while an export writes: the program ends as on
// a close request, with status 0 and no leak, and leaves no temporary
// file; the earlier export stays whole.
TEST(LiveSession, AnEndingSignalDuringAnExportEndsTheSessionCleanly) {
    SampleWorkspace sample;
    const std::string folder = sample.workspace(), stl = folder + "environment.stl";
    ASSERT_TRUE(write_text_file(stl, "the earlier export"));
    static std::thread watcher;
    SessionPlan plan;
    plan.after_session = [] {
        if (watcher.joinable()) watcher.join();
    };
    plan.scripts = {"large_grid.vrek"};
    plan.formats = {3};
    // Signals the process once the temporary file has grown past 4 MiB.
    plan.before_export = [folder] {
        watcher = std::thread([folder] {
            for (int i = 0; i < 60'000; ++i) {
                for (const std::string& name : hidden_files(folder)) {
                    struct stat info;
                    if (stat((folder + name).c_str(), &info) == 0 && info.st_size > (4 << 20)) {
                        std::printf("SIGNALLED-MID-EXPORT\n");
                        kill(getpid(), SIGTERM);
                        return;
                    }
                }
                usleep(500);
            }
        });
    };
    const SessionEnd end = run_child_session(sample, plan);
    EXPECT_TRUE(end.exited_zero()) << end.describe();
    EXPECT_NE(end.out.find("SIGNALLED-MID-EXPORT\n"), std::string::npos) << end.out;
    EXPECT_NE(end.out.find("Quitting...\n"), std::string::npos);
    EXPECT_EQ(read_file(stl), "the earlier export");
    EXPECT_EQ(hidden_files(folder), std::vector<std::string>{});
}

}  // namespace

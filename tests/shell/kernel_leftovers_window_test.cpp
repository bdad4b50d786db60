// A kernel that starts a process in a session of its own, out of reach of
// the group kill, and then sleeps: Escape, or the window's close button,
// ends the run and that process too, and the program ends with status 0
// leaving nothing of the run behind. The program's whole life runs in a
// child process (its status is the program's); a driver in its loop acts
// as the user, with real X events.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/app_main.h"
#include "context/app_context.h"
#include "platform/files.h"
#include "platform/platform_state.h"
#include "support/close_request.h"
#include "support/live_application.h"
#include "support/private_display.h"
#include "support/tree_walk.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

// Runs the stand-in kernel; assembling the script that sleeps, it first
// starts a process in a new session (the shell's background child is no
// group leader, so "setsid" makes one without a fork) and notes its pid.
const char* const kFakeKernel =
    "#!/bin/sh\n"
    "if [ \"$2\" = -assemble ] && grep -q 'sleep(30000)' \"$3\"; then\n"
    "  setsid sleep 987 >/dev/null 2>&1 &\n"
    "  echo $! > \"$VK_LEFTOVER_FILE\"\n"
    "fi\n"
    "exec \"$VK_REAL_KERNEL\" \"$@\"\n";

// Whether the "sleep" process `pid` is still in the process table, running
// or not yet reaped; it may still be on its way there through "setsid".
bool sleeper_remains(pid_t pid) {
    if (pid <= 0) return false;
    for (int i = 0; i < 100; ++i, g_usleep(10000)) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        std::getline(stat, line);
        if (line.find(" (sh) ") == std::string::npos && line.find(" (setsid) ") == std::string::npos)
            return line.find(" (sleep) ") != std::string::npos;
    }
    return false;
}

pid_t leftover_pid(const std::string& file) {
    pid_t pid = 0;
    std::ifstream(file) >> pid;
    return pid;
}

std::string visible_texts(const Element& root) {
    if (!root.visible) return std::string();
    std::string texts = root.text.empty() ? std::string() : root.text + "\n";
    if (const auto* container = dynamic_cast<const Container*>(&root))
        for (const Element* child : container->children)
            if (child) texts += visible_texts(*child);
    return texts;
}

struct LeftoverDriver {
    std::string slow_script, leftover_file;
    bool close_during_run = false;
    int step = 0;
    bool keying = false;
    gint64 deadline = 0;
    std::string failure;
};

void request_close() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    send_close_request(display, GDK_WINDOW_XID(gtk_widget_get_window(platform_state.window)));
    XCloseDisplay(display);
}

void on_keys_done(GPid pid, gint, gpointer data) {
    g_spawn_close_pid(pid);
    static_cast<LeftoverDriver*>(data)->keying = false;
}

// Escape over the canvas, as X key events; xdotool is started the way a
// library starts a child, which the program must leave to its waiter.
void press_escape(LeftoverDriver& d) {
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(platform_state.canvas), &x, &y);
    const std::string px = std::to_string(x + 200), py = std::to_string(y + 200);
    const char* argv[] = {"xdotool", "mousemove", "--sync", px.c_str(), py.c_str(), "sleep", "0.2",
                          "key",     "Escape",    nullptr};
    GPid pid = 0;
    if (!g_spawn_async(nullptr, const_cast<char**>(argv), nullptr,
                       GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr, &pid, nullptr)) {
        d.failure = "xdotool did not start";
        return;
    }
    d.keying = true;
    g_child_watch_add(pid, on_keys_done, &d);
}

// Every 50 ms in the program's loop, also while the run waits (its wait
// pumps the loop).
gboolean drive(gpointer data) {
    LeftoverDriver& d = *static_cast<LeftoverDriver*>(data);
    AppContext* app = app_instance;
    if (!app || d.keying || !platform_state.canvas || d.step > 3) return TRUE;
    if (g_get_monotonic_time() > d.deadline) {
        d.failure = "timed out at step " + std::to_string(d.step);
        request_close();
        d.step = 4;
        return TRUE;
    }
    Element* box = named(*app, "ERRORPANE");
    switch (d.step) {
        case 0:  // after the intro, the script that sleeps is opened
            if (!app->startup.startup_done || !app->entities.current_entities) break;
            app->deferred_requests.pending_paths = {d.slow_script};
            app->deferred_requests.pending_path_count = 1;
            app->deferred_requests.open_paths_requested = 1;
            app->deferred_requests.deferred_countdown = 5;
            d.step = 1;
            break;
        case 1:  // its kernel has started the process and sleeps
            if (!sleeper_remains(leftover_pid(d.leftover_file))) break;
            if (d.close_during_run) {
                request_close();
                d.step = 4;
            } else {
                press_escape(d);
                d.step = 2;
            }
            break;
        case 2:  // the run has ended
            if (!box || !box->visible) break;
            std::printf("CANCEL-BOX: %s\nLEFTOVER-AFTER-CANCEL: %s\n", visible_texts(*box).c_str(),
                        sleeper_remains(leftover_pid(d.leftover_file)) ? "running" : "gone");
            press_escape(d);
            d.step = 3;
            break;
        case 3:
            if (box && box->visible) break;
            request_close();
            d.step = 4;
            break;
    }
    return TRUE;
}

struct ProgramEnd {
    int status = -1;
    std::string out;
    pid_t leftover = 0;
};

// The program's life in a child process, with the fake kernel; the test
// process ends a leftover the program failed to end.
ProgramEnd run_program_with_leftover(bool close_during_run, bool& leftover_remained) {
    SampleWorkspace sample;
    const std::string folder = sample.root + "/fake kernel";
    std::filesystem::create_directories(folder);
    const std::string fake = folder + "/vrek", out_file = sample.root + "/out.txt",
                      leftover_file = sample.root + "/leftover pid";
    write_text_file(fake, kFakeKernel);
    chmod(fake.c_str(), 0755);
    write_text_file(sample.workspace() + "slow.vrek", "sleep(30000);\nreturn box(1);\n");
    setenv("VK_REAL_KERNEL", kernel().c_str(), 1);
    setenv("VK_LEFTOVER_FILE", leftover_file.c_str(), 1);
    std::fflush(stdout);
    ProgramEnd end;
    const pid_t child = fork();
    if (child == 0) {
        if (!freopen(out_file.c_str(), "w", stdout)) _exit(90);
        LeftoverDriver driver;
        driver.slow_script = sample.workspace() + "slow.vrek";
        driver.leftover_file = leftover_file;
        driver.close_during_run = close_during_run;
        driver.deadline = g_get_monotonic_time() + 120 * G_USEC_PER_SEC;
        g_timeout_add(50, drive, &driver);
        std::string program = binary_dir() + "/src/app/vrekform", k = fake, w = sample.workspace();
        char* argv[] = {&program[0], &k[0], &w[0], nullptr};
        const int status = !app_main(3, argv);
        if (!driver.failure.empty()) std::printf("DRIVER-FAILURE: %s\n", driver.failure.c_str());
        std::fflush(stdout);
        std::exit(driver.failure.empty() ? status : 91);
    }
    if (child < 0 || waitpid(child, &end.status, 0) != child) end.status = -1;
    unsetenv("VK_REAL_KERNEL");
    unsetenv("VK_LEFTOVER_FILE");
    end.out = read_file(out_file);
    end.leftover = leftover_pid(leftover_file);
    leftover_remained = sleeper_remains(end.leftover);
    if (leftover_remained) kill(end.leftover, SIGKILL);
    return end;
}

}  // namespace

TEST(KernelLeftovers, EscapeEndsWhatTheKernelStartedInASessionOfItsOwn) {
    bool remained = true;
    const ProgramEnd end = run_program_with_leftover(false, remained);
    EXPECT_TRUE(WIFEXITED(end.status) && WEXITSTATUS(end.status) == 0) << end.status << "\n" << end.out;
    EXPECT_GT(end.leftover, 0) << end.out;
    EXPECT_NE(end.out.find("CANCEL-BOX: Kernel Run Cancelled\nThe kernel run for the input script 'slow.vrek' did "
                           "not complete:\nkernel run cancelled.\n"),
              std::string::npos)
        << end.out;
    EXPECT_NE(end.out.find("LEFTOVER-AFTER-CANCEL: gone\n"), std::string::npos) << end.out;
    EXPECT_FALSE(remained);
}

TEST(KernelLeftovers, TheCloseButtonDuringARunEndsWhatTheKernelStarted) {
    bool remained = true;
    const ProgramEnd end = run_program_with_leftover(true, remained);
    EXPECT_TRUE(WIFEXITED(end.status) && WEXITSTATUS(end.status) == 0) << end.status << "\n" << end.out;
    EXPECT_GT(end.leftover, 0) << end.out;
    EXPECT_NE(end.out.find("Quitting...\n"), std::string::npos) << end.out;
    EXPECT_FALSE(remained);
}

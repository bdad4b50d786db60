#pragma once
// GTK's event loop turned by hand in window tests that drive a window
// without the application's tick.
#include <glib.h>
#include <gtk/gtk.h>
#include <sys/wait.h>

#include <csignal>
#include <string>

// Handles events until done() holds; false when timeout_ms pass first.
template <class Done>
bool pump_until(Done done, int timeout_ms = 5000) {
    for (gint64 end = g_get_monotonic_time() + timeout_ms * 1000; g_get_monotonic_time() < end; g_usleep(5000)) {
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
        if (done()) return true;
    }
    return false;
}

// Runs a command while GTK keeps handling events; true when it exited 0.
inline bool run_while_pumping(const std::string& command) {
    gchar** argv = nullptr;
    GPid pid = 0;
    int status = -1;
    const bool spawned = g_shell_parse_argv(command.c_str(), nullptr, &argv, nullptr) &&
                         g_spawn_async(nullptr, argv, nullptr, GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD),
                                       nullptr, nullptr, &pid, nullptr);
    g_strfreev(argv);
    if (spawned && !pump_until([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 15000))
        kill(pid, SIGKILL), waitpid(pid, &status, 0);
    return spawned && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

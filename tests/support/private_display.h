#pragma once
// A private Xvfb for the window tests of one executable, so that other window
// tests moving a shared pointer cannot interfere.
#include <gtest/gtest.h>

#include <gdk/gdk.h>
#include <glib.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <utility>

class PrivateDisplay : public ::testing::Environment {
    GPid xvfb_pid = -1;
    std::string screen;

    // Xvfb announces its display number on the pipe once it listens.
    bool start_xvfb() {
        const char* argv[] = {"Xvfb", "-displayfd", "1", "-screen", "0", screen.c_str(), "-r", "-nolisten", "tcp",
                              nullptr};
        int out = -1;
        if (!g_spawn_async_with_pipes(nullptr, const_cast<char**>(argv), nullptr,
                                      GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr,
                                      &xvfb_pid, nullptr, &out, nullptr, nullptr))
            return false;
        std::string number;
        pollfd readable{out, POLLIN, 0};
        char c = 0;
        while (poll(&readable, 1, 20'000) > 0 && read(out, &c, 1) == 1 && c != '\n') number += c;
        close(out);
        if (number.empty()) {
            kill(xvfb_pid, SIGTERM), waitpid(xvfb_pid, nullptr, 0), xvfb_pid = -1;
            return false;
        }
        setenv("DISPLAY", (":" + number).c_str(), 1);
        return true;
    }

  public:
    // The screen as Xvfb's -screen option gives it, deep enough for GL.
    explicit PrivateDisplay(std::string size = "1280x800x24") : screen(std::move(size)) {}

  private:
    // A shared display would let parallel tests move each other's pointer:
    // without a private one the tests fail rather than act on another's
    // window.
    void SetUp() override {
        setenv("LC_ALL", "C.UTF-8", 1);  // GTK adopts it; numbers must stay "C"
        for (int attempt = 0; attempt < 3; ++attempt)
            if (start_xvfb()) return;
        GTEST_FAIL() << "no private Xvfb could be started for the window tests";
    }
    void TearDown() override {
        if (xvfb_pid <= 0) return;
        if (GdkDisplay* display = gdk_display_get_default()) gdk_display_close(display);
        kill(xvfb_pid, SIGTERM), waitpid(xvfb_pid, nullptr, 0);
    }
};

#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

// While it lives, what the program prints (the builder's start-up lines)
// goes to /dev/null instead of into the benchmark report.
struct SilencedStdout {
    int saved = -1;
    int null_fd = -1;
    SilencedStdout() {
        std::fflush(stdout);
        saved = dup(1);
        null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, 1);
    }
    ~SilencedStdout() {
        std::fflush(stdout);
        dup2(saved, 1);
        close(saved);
        close(null_fd);
    }
    SilencedStdout(const SilencedStdout&) = delete;
    SilencedStdout& operator=(const SilencedStdout&) = delete;
};

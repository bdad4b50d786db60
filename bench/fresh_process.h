#pragma once
// A measurement made in a process of its own, forked for it, so that it
// starts from nothing a user's session would not have: `measure` runs in
// the child with the write end of a pipe, writes one T there and exits.
#include <sys/wait.h>
#include <unistd.h>

template <typename T, typename Measure>
bool run_in_fresh_process(Measure measure, T& result) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        measure(fds[1]);
        _exit(5);
    }
    close(fds[1]);
    const bool read_ok = read(fds[0], &result, sizeof result) == static_cast<ssize_t>(sizeof result);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return read_ok;
}

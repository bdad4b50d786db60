#pragma once
// Programs run from tests with an argument list, never through a shell:
// a path with blanks (or quotes) in it stays one argument.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

// Runs argv[0] (found on PATH) and waits; its exit status, -1 when it could
// not be started or ended by a signal. Its output goes to the files named,
// or stays the test's own when a name is empty.
inline int run_program(const std::vector<std::string>& argv, const std::string& out = "",
                       const std::string& err = "") {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!out.empty()) posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!err.empty()) posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const bool started = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (!started || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// The screen's rectangle at (x, y) saved as a PNG file; true on success.
inline bool grab_screen(int x, int y, int width, int height, const std::string& png) {
    return run_program({"import", "-window", "root", "-crop",
                        std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" +
                            std::to_string(y),
                        "png:" + png}) == 0;
}

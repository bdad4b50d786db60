// The comparison's frame counter counts one frame per buffer swap, whether
// the program draws into its top-level window or into a child window inside
// it (where watching the window tree's damage saw each swap twice).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "support/test_dir.h"

extern char** environ;

namespace {

// Runs argv and returns what it printed, empty when it did not exit 0.
std::string output_of(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    int status = -1;
    if (spawned) waitpid(pid, &status, 0);
    return spawned && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : std::string();
}

// The frames x_watch counts while swap_target swaps `swaps` times in `mode`.
long counted_frames(const std::string& mode, int swaps) {
    TestDir dir("frame_counter");
    const std::string counter = dir.path() + "/swaps";
    const int fd = open(counter.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    close(fd);
    // The loader splits LD_PRELOAD at blanks, and a checkout's path may hold
    // some: the counter is preloaded from a copy in a folder without any.
    char folder[] = "/tmp/vk_swap_count_XXXXXX";
    if (!mkdtemp(folder)) return -1;
    const std::string library = std::string(folder) + "/swap_count.so";
    std::error_code error;
    std::filesystem::copy_file(VK_SWAP_COUNT, library, error);
    const std::string text =
        error ? std::string()
              : output_of({VK_X_WATCH, "frames", counter, "--", "/usr/bin/env", "LD_PRELOAD=" + library,
                           "VK_SWAP_COUNTER=" + counter, VK_SWAP_TARGET, mode, std::to_string(swaps)});
    std::filesystem::remove_all(folder, error);
    long frames = -1;
    return std::sscanf(text.c_str(), "frames %ld", &frames) == 1 ? frames : -1;
}

TEST(FrameCounter, OneFramePerSwapInATopLevelOrAChildWindow) {
    for (const char* mode : {"top", "child"}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(counted_frames(mode, 32), 32);
        EXPECT_EQ(counted_frames(mode, 5), 5);
    }
}

}  // namespace

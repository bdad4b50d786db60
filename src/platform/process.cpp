#include "platform/process.h"

#include "platform/files.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

void close_quietly(int fd) {
    if (fd >= 0) {
        close(fd);
    }
}

int64_t monotonic_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

ProcessEnd end_from_status(int status) {
    ProcessEnd end;
    end.started = true;
    if (WIFSIGNALED(status)) {
        end.signalled = true;
        end.code = WTERMSIG(status);
    } else if (WIFEXITED(status)) {
        end.code = WEXITSTATUS(status);
    }
    return end;
}

ProcessEnd wait_for_child(pid_t pid) {
    int status = 0;
    pid_t got;
    while ((got = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (got != pid) {
        ProcessEnd end;
        end.started = true;
        end.code = -1;
        return end;
    }
    return end_from_status(status);
}

// The argument vector is built before the child exists; posix_spawn uses a
// vfork-like start, so a large parent pays no page-table copy and the child
// runs none of our code.
std::vector<char*> argument_vector(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

// Everything up to `head_limit` bytes is kept in order; past it only the
// last `tail_limit` bytes are, and the bytes dropped between are counted.
struct BoundedText {
    size_t head_limit = SIZE_MAX;
    size_t tail_limit = 0;
    std::string head;
    std::string tail;  // holds up to twice tail_limit, trimmed in one move
    uint64_t dropped = 0;

    void append(const char* data, size_t n) {
        const size_t room = head.size() < head_limit ? head_limit - head.size() : 0;
        const size_t to_head = n < room ? n : room;
        head.append(data, to_head);
        data += to_head;
        n -= to_head;
        if (n == 0) return;
        if (tail_limit == 0) {
            dropped += n;
            return;
        }
        tail.append(data, n);
        if (tail.size() > 2 * tail_limit) {
            const size_t cut = tail.size() - tail_limit;
            dropped += cut;
            tail.erase(0, cut);
        }
    }

    std::string finish() {
        if (tail.size() > tail_limit) {
            const size_t cut = tail.size() - tail_limit;
            dropped += cut;
            tail.erase(0, cut);
        }
        if (dropped == 0) {
            head += tail;
            return std::move(head);
        }
        std::string text;
        text.reserve(head.size() + tail.size() + 64);
        text += head;
        if (!text.empty() && text.back() != '\n') text += '\n';
        text += "[... ";
        text += std::to_string(dropped);  // digits only, whatever the locale
        text += " bytes of output left out ...]\n";
        text += tail;
        return text;
    }
};

// Ends the child and everything it started that stayed in its group.
void kill_group(pid_t group) {
    if (group > 0) kill(-group, SIGKILL);
}

constexpr int kWatchIntervalMs = 20;
// How long the output may stay open once the child itself has ended: a
// process it left behind that holds the pipe must not keep the caller.
constexpr int64_t kLeftoverGraceMs = 200;

}  // namespace

std::string run_process_capture(const std::string& program, const std::vector<std::string>& arguments) {
    ProcessEnd end;
    return run_process_capture(program, arguments, end);
}

std::string run_process_capture(const std::string& program, const std::vector<std::string>& arguments,
                                ProcessEnd& end) {
    return run_process_capture(program, arguments, end, ProcessOptions{});
}

std::string run_process_capture(const std::string& program, const std::vector<std::string>& arguments,
                                ProcessEnd& end, const ProcessOptions& options) {
    end = ProcessEnd{};
    int fds[2];
    // Close-on-exec, so children started by other threads at the same time
    // never inherit this pipe and hold its end of file back.
    if (pipe2(fds, O_CLOEXEC) != 0) {
        end.start_error = errno;
        return std::string();
    }
    // A larger pipe means fewer wake-ups for big outputs; best effort.
    fcntl(fds[0], F_SETPIPE_SZ, 1 << 20);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    // A group of its own: a cancel reaches whatever the child starts.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);

    std::vector<char*> argv = argument_vector(program, arguments);
    pid_t pid = -1;
    int spawned = posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close_quietly(fds[1]);
    if (spawned != 0) {
        close_quietly(fds[0]);
        end.start_error = spawned;
        return std::string();
    }

    BoundedText text;
    if (options.keep_bytes > 0) {
        text.head_limit = options.keep_bytes / 2;
        text.tail_limit = options.keep_bytes - text.head_limit;
    }
    std::string buffer(size_t(1) << 18, '\0');
    bool exited = false;  // the child is reaped; `end` holds how it ended
    int64_t exited_at = 0;
    int64_t last_watch = monotonic_ms();
    for (;;) {
        pollfd entry{fds[0], POLLIN, 0};
        const int ready = poll(&entry, 1, kWatchIntervalMs);
        bool eof = false;
        if (ready > 0) {
            const ssize_t n = read(fds[0], buffer.data(), buffer.size());
            if (n > 0) {
                text.append(buffer.data(), static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                eof = true;
            }
        } else if (ready < 0 && errno != EINTR) {
            eof = true;
        }
        if (eof) break;
        const int64_t now = monotonic_ms();
        if (now - last_watch < kWatchIntervalMs) continue;
        last_watch = now;
        if (!exited) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                end = end_from_status(status);
                exited = true;
                exited_at = now;
            }
        } else if (now - exited_at > kLeftoverGraceMs) {
            kill_group(pid);
            break;
        }
        if (!exited && options.cancel_requested && options.cancel_requested(options.cancel_data)) {
            kill_group(pid);
            end = wait_for_child(pid);
            end.cancelled = true;
            exited = true;
            break;
        }
    }
    close_quietly(fds[0]);
    if (!exited) end = wait_for_child(pid);
    std::string output = text.finish();
    end.left_out = text.dropped;
    return output;
}

std::string get_current_directory() {
    return run_process_capture("pwd", {});
}

bool ensure_directory(const std::string& path) {
    if (path_exists(path)) {
        return true;
    }
    const std::string program = "mkdir";
    const std::vector<std::string> arguments = {"-p", "--", path};
    std::vector<char*> argv = argument_vector(program, arguments);
    pid_t pid = -1;
    if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0) {
        // Only this child: never reap a kernel run of another thread.
        wait_for_child(pid);
    }
    return path_exists(path);
}

#include "platform/process.h"

#include "platform/files.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <memory>
#include <thread>
#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <poll.h>
#include <sched.h>
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

struct FreeChunk {
    void operator()(char* p) const { std::free(p); }
};
using Chunk = std::unique_ptr<char, FreeChunk>;

void advise_huge_pages(void* start, size_t size) {
    const uintptr_t huge = uintptr_t(2) << 20;
    uintptr_t first = (reinterpret_cast<uintptr_t>(start) + huge - 1) & ~(huge - 1);
    uintptr_t last = (reinterpret_cast<uintptr_t>(start) + size) & ~(huge - 1);
    if (last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

const size_t first_chunk_size = size_t(64) << 10;
const size_t huge_chunk_size = size_t(2) << 20;

Chunk allocate_chunk(size_t size, bool huge) {
    if (!huge) {
        return Chunk(static_cast<char*>(std::malloc(size)));
    }
    Chunk chunk(static_cast<char*>(std::aligned_alloc(size, size)));
    if (chunk) {
        advise_huge_pages(chunk.get(), size);
    }
    return chunk;
}

// The output as it arrives: everything up to `head_limit` bytes in order,
// past it only the last `tail_limit` bytes, the bytes dropped between them
// counted. The head is read into uninitialised chunks and joined once at
// the end: growing one string would copy and zero-fill a large output
// several times over. The first chunk is small (most outputs are); later
// ones are 2 MiB on huge pages where the system offers them, which turns
// thousands of page faults of a large capture into a few.
struct BoundedCapture {
    size_t head_limit = SIZE_MAX;
    size_t tail_limit = 0;
    std::vector<std::pair<Chunk, size_t>> chunks;  // storage, bytes used
    size_t capacity = 0;
    size_t head_size = 0;
    std::string scratch;
    std::string tail;  // holds up to twice tail_limit, trimmed in one move
    uint64_t dropped = 0;

    // One read from `fd`: > 0 bytes read, 0 at end of file, < 0 on error
    // (errno set) or when no memory is left.
    ssize_t read_from(int fd) {
        if (head_size < head_limit) {
            if (chunks.empty() || chunks.back().second == capacity) {
                capacity = chunks.empty() ? first_chunk_size : huge_chunk_size;
                Chunk chunk = allocate_chunk(capacity, !chunks.empty());
                if (!chunk) {
                    errno = ENOMEM;
                    return -1;
                }
                chunks.emplace_back(std::move(chunk), 0);
            }
            auto& [storage, used] = chunks.back();
            const size_t room = std::min(capacity - used, head_limit - head_size);
            const ssize_t n = read(fd, storage.get() + used, room);
            if (n > 0) {
                used += static_cast<size_t>(n);
                head_size += static_cast<size_t>(n);
            }
            return n;
        }
        if (scratch.empty()) scratch.resize(size_t(1) << 18);
        const ssize_t n = read(fd, scratch.data(), scratch.size());
        if (n > 0) keep_tail(scratch.data(), static_cast<size_t>(n));
        return n;
    }

    void keep_tail(const char* data, size_t n) {
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
        const std::string note =
            dropped == 0 ? std::string()
                         : "[... " + std::to_string(dropped) + " bytes of output left out ...]\n";  // digits only
        std::string text;
        const size_t total = head_size + note.size() + 1 + tail.size();
        if (total > huge_chunk_size) {
            text.reserve(total);
            advise_huge_pages(text.data(), total);
        }
        for (const auto& [storage, used] : chunks) {
            text.append(storage.get(), used);
        }
        if (!note.empty()) {
            if (!text.empty() && text.back() != '\n') text += '\n';
            text += note;
        }
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

    BoundedCapture text;
    if (options.keep_bytes > 0) {
        text.head_limit = options.keep_bytes / 2;
        text.tail_limit = options.keep_bytes - text.head_limit;
    }
    bool exited = false;  // the child is reaped; `end` holds how it ended
    int64_t exited_at = 0;
    int64_t last_watch = monotonic_ms();
    for (;;) {
        pollfd entry{fds[0], POLLIN, 0};
        const int ready = poll(&entry, 1, kWatchIntervalMs);
        bool eof = false;
        if (ready > 0) {
            const ssize_t n = text.read_from(fds[0]);
            if (n == 0 || (n < 0 && errno != EINTR)) {
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

int32_t usable_cores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    const int n = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set)
                                                             : static_cast<int>(std::thread::hardware_concurrency());
    return n > 0 ? n : 1;
}

void use_program_heap_policy() {
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

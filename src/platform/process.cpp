#include "platform/process.h"

#include "platform/files.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <memory>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

void close_quietly(int fd) {
    if (fd >= 0) {
        close(fd);
    }
}

ProcessEnd wait_for_child(pid_t pid) {
    int status = 0;
    ProcessEnd end;
    pid_t got;
    while ((got = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (got != pid) {
        end.code = -1;
    } else if (WIFSIGNALED(status)) {
        end.signalled = true;
        end.code = WTERMSIG(status);
    } else if (WIFEXITED(status)) {
        end.code = WEXITSTATUS(status);
    }
    end.started = true;
    return end;
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

}  // namespace

std::string run_process_capture(const std::string& program, const std::vector<std::string>& arguments) {
    ProcessEnd end;
    return run_process_capture(program, arguments, end);
}

std::string run_process_capture(const std::string& program, const std::vector<std::string>& arguments,
                                ProcessEnd& end) {
    end = ProcessEnd{};
    std::string output;
    int fds[2];
    // Close-on-exec, so children started by other threads at the same time
    // never inherit this pipe and hold its end of file back.
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return output;
    }
    // A larger pipe means fewer wake-ups for big outputs; best effort.
    fcntl(fds[0], F_SETPIPE_SZ, 1 << 20);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);

    std::vector<char*> argv = argument_vector(program, arguments);
    pid_t pid = -1;
    int spawned = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close_quietly(fds[1]);
    if (spawned != 0) {
        close_quietly(fds[0]);
        return output;
    }

    // Read into uninitialised chunks and join once at the end: growing one
    // string would copy and zero-fill the output several times over. The
    // first chunk is small (most outputs are); later ones are 2 MiB on huge
    // pages where the system offers them, which turns thousands of page
    // faults of a large capture into a few.
    std::vector<std::pair<Chunk, size_t>> chunks;  // storage, bytes used
    size_t capacity = 0;
    size_t total = 0;
    for (;;) {
        if (chunks.empty() || chunks.back().second == capacity) {
            capacity = chunks.empty() ? first_chunk_size : huge_chunk_size;
            Chunk chunk = allocate_chunk(capacity, !chunks.empty());
            if (!chunk) {
                break;
            }
            chunks.emplace_back(std::move(chunk), 0);
        }
        auto& [storage, used] = chunks.back();
        ssize_t n = read(fds[0], storage.get() + used, capacity - used);
        if (n > 0) {
            used += static_cast<size_t>(n);
            total += static_cast<size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    if (total > huge_chunk_size) {
        output.reserve(total);
        advise_huge_pages(output.data(), total);
    }
    for (const auto& [storage, used] : chunks) {
        output.append(storage.get(), used);
    }
    close_quietly(fds[0]);
    end = wait_for_child(pid);
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

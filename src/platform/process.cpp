#include "platform/process.h"

#include "platform/files.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <memory>
#include <mutex>
#include <thread>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/random.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <sys/syscall.h>
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

// The children started here that their waiters have not reaped yet: a
// sweep for leftovers never touches them, their statuses belong to the
// threads that wait for them. The lock is held across each start, so no
// sweep can see a child before it is entered here, and across each sweep.
std::mutex children_lock;
std::vector<pid_t> waited_children;

// The process for which the subreaper flag was set: a forked copy of the
// program does not inherit it, and must set it for itself.
std::atomic<pid_t> adopting_for{0};

bool adopting() { return adopting_for.load() == getpid(); }

// From now on an orphan of anything this process started becomes its
// child instead of going to init, however it left its group or session.
void adopt_orphans() {
    if (adopting()) return;
#ifdef PR_SET_CHILD_SUBREAPER
    if (prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) == 0) adopting_for.store(getpid());
#endif
}

int spawn_waited_child(pid_t& pid, const char* program, const posix_spawn_file_actions_t* actions,
                       const posix_spawnattr_t* attributes, char* const* argv, char* const* environment) {
    adopt_orphans();
    std::lock_guard<std::mutex> lock(children_lock);
    const int spawned = posix_spawnp(&pid, program, actions, attributes, argv, environment);
    if (spawned == 0) waited_children.push_back(pid);
    return spawned;
}

// After the waiter reaped `pid` (or found it gone).
void forget_child(pid_t pid) {
    std::lock_guard<std::mutex> lock(children_lock);
    const auto found = std::find(waited_children.begin(), waited_children.end(), pid);
    if (found != waited_children.end()) waited_children.erase(found);
}

bool is_waited_child(pid_t pid) {
    return std::find(waited_children.begin(), waited_children.end(), pid) != waited_children.end();
}

ProcessEnd wait_for_child(pid_t pid) {
    int status = 0;
    pid_t got;
    while ((got = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    forget_child(pid);
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

// What a run's child carries in its environment, and so does whatever it
// starts: the variable's name, this process's pid and the run's number.
const char kRunVariable[] = "VREKFORM_RUN=";
std::atomic<uint64_t> last_run_number{0};

std::string decimal(uint64_t value) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    return error == std::errc() ? std::string(digits, end) : std::string();
}

// A number drawn once per process. The pid alone is known before the
// program starts: a launcher that exported the variable with it and then
// became the program would have its own helpers taken for leftovers.
const std::string& run_token() {
    static const std::string token = [] {
        uint64_t value = 0;
        if (getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) {
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            value = uint64_t(now.tv_sec) * 1000000007u ^ uint64_t(now.tv_nsec) ^ uint64_t(getpid()) << 40;
        }
        char digits[17];
        const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, 16);
        return error == std::errc() ? std::string(digits, end) : std::string("0");
    }();
    return token;
}

// "VREKFORM_RUN=<pid>.<token>." : every run of this process.
std::string run_entry_prefix() {
    return kRunVariable + decimal(static_cast<uint64_t>(getpid())) + "." + run_token() + ".";
}

// The environment of a run's child: this process's own, any such variable
// it inherited replaced by the run's `entry`. Points into `environ` and
// `entry`, which must outlive it.
std::vector<char*> run_environment(std::string& entry) {
    std::vector<char*> environment;
    for (char** variable = environ; variable && *variable; ++variable) {
        if (std::strncmp(*variable, kRunVariable, sizeof kRunVariable - 1) != 0) environment.push_back(*variable);
    }
    environment.push_back(entry.data());
    environment.push_back(nullptr);
    return environment;
}

// A file of /proc read whole, up to `limit` bytes; "" when it cannot be
// read, and then `opened` says whether it could at least be opened.
std::string read_proc_file(const std::string& path, size_t limit, bool& opened) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    opened = fd >= 0;
    if (fd < 0) return std::string();
    std::string text;
    char buffer[16384];
    while (text.size() < limit) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return text;
}

std::string proc_path(pid_t pid, const char* file) {
    return "/proc/" + decimal(static_cast<uint64_t>(pid)) + "/" + file;
}

struct ChildEntry {
    pid_t pid = 0;
    char state = 0;
    pid_t group = 0;
};

// The children of this process as /proc shows them now. A stat line is
// "pid (name) state ppid pgrp ...": the name may hold blanks and
// parentheses, so the fields are read after its last ')'.
std::vector<ChildEntry> children_of_this_process() {
    std::vector<ChildEntry> children;
    const pid_t self = getpid();
    DIR* proc = opendir("/proc");
    if (!proc) return children;
    while (const dirent* item = readdir(proc)) {
        const char* name = item->d_name;
        const char* name_end = name + std::strlen(name);
        pid_t pid = 0;
        const auto parsed = std::from_chars(name, name_end, pid);
        if (parsed.ec != std::errc() || parsed.ptr != name_end || pid <= 0) continue;
        bool opened = false;
        const std::string stat = read_proc_file(proc_path(pid, "stat"), 4096, opened);
        const size_t close_paren = stat.rfind(')');
        if (close_paren == std::string::npos || close_paren + 4 > stat.size()) continue;
        const char* field = stat.data() + close_paren + 2;
        const char* stat_end = stat.data() + stat.size();
        ChildEntry child;
        child.pid = pid;
        child.state = *field;
        pid_t parent = 0;
        const auto p = std::from_chars(field + 2, stat_end, parent);
        if (p.ec != std::errc() || parent != self || p.ptr + 1 >= stat_end) continue;
        if (std::from_chars(p.ptr + 1, stat_end, child.group).ec != std::errc()) continue;
        children.push_back(child);
    }
    closedir(proc);
    return children;
}

enum class Mark { absent, present, unseen };

// Whether the environment `pid` was started with holds `entry` as one whole
// variable, or with `prefix` one that starts with it. A process in the
// middle of starting a program shows an empty environment for a moment, as
// one started without any does: unseen. One this process may not read (a
// set-user-ID program) counts as without.
Mark environment_mark(pid_t pid, const std::string& entry, bool prefix) {
    bool opened = false;
    const std::string environment = read_proc_file(proc_path(pid, "environ"), size_t(16) << 20, opened);
    if (environment.empty()) return opened ? Mark::unseen : Mark::absent;
    size_t start = 0;
    while (start < environment.size()) {
        size_t end = environment.find('\0', start);
        if (end == std::string::npos) end = environment.size();
        const size_t length = end - start;
        if ((prefix ? length >= entry.size() : length == entry.size()) &&
            environment.compare(start, entry.size(), entry) == 0)
            return Mark::present;
        start = end + 1;
    }
    return Mark::absent;
}

void sleep_briefly() {
    timespec pause{0, 2000000};
    nanosleep(&pause, nullptr);
}

// How long a sweep goes on ending leftovers that do not go (a process
// stuck in the kernel ignores even SIGKILL until it returns), and how long
// it looks again at a child whose environment it could not see.
constexpr int64_t kLeftoverEndMs = 2000;
constexpr int64_t kUnseenMarkMs = 100;

// Ends and reaps what runs left behind: the running children of this
// process whose environment holds `entry` (with `all_runs` any entry
// starting with it) or that are in the run's process group `run_group`
// (0: none; the group stays reserved while such a member is left, so it
// is not a stranger's), and the ended children nobody else reaps. As the
// subreaper this process receives every orphan of what it started, and
// only children are looked at: a child's pid is not given to another
// process before it is reaped, which only its waiter or a sweep (under
// the lock) does, so the pid that is killed or reaped is the one examined.
// A child someone waits for is skipped. An ended child is reaped when the
// sweep ended it or it left this process's group: a child the program
// starts itself is waited for, and one a library starts stays in the group
// and is its waiter's; one that left can only be an orphan handed over.
// Whoever it ended had its own children handed over, so the sweep looks
// again until nothing is left to end or reap.
void end_leftovers(const std::string& entry, bool all_runs, pid_t run_group) {
    if (!adopting()) return;
    const pid_t own_group = getpgrp();
    std::vector<pid_t> ended;
    const int64_t started = monotonic_ms();
    for (;;) {
        bool again = false;
        bool unseen = false;
        {
            std::lock_guard<std::mutex> lock(children_lock);
            for (const ChildEntry& child : children_of_this_process()) {
                if (is_waited_child(child.pid)) continue;
                const bool ended_here = std::find(ended.begin(), ended.end(), child.pid) != ended.end();
                if (child.state == 'Z') {
                    int status = 0;
                    if ((ended_here || child.group != own_group) && waitpid(child.pid, &status, WNOHANG) == child.pid)
                        again = true;
                } else if (ended_here) {
                    again = true;  // not gone yet
                } else {
                    const Mark mark = (run_group > 0 && child.group == run_group)
                                          ? Mark::present
                                          : environment_mark(child.pid, entry, all_runs);
                    if (mark == Mark::present && kill(child.pid, SIGKILL) == 0) {
                        ended.push_back(child.pid);
                        again = true;
                    }
                    unseen = unseen || mark == Mark::unseen;
                }
            }
        }
        const int64_t spent = monotonic_ms() - started;
        if (!(again && spent < kLeftoverEndMs) && !(unseen && spent < kUnseenMarkMs)) return;
        sleep_briefly();
    }
}

constexpr int kWatchIntervalMs = 20;

// Waits up to `ms` for the child behind the pid descriptor `fd` to end;
// without one (an older system) it sleeps a little, so the caller's next
// look comes soon after the end.
void wait_for_end(int fd, int ms) {
    if (fd < 0) return sleep_briefly();
    pollfd entry{fd, POLLIN, 0};
    poll(&entry, 1, ms);
}

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
    std::string run_entry = run_entry_prefix() + decimal(++last_run_number);
    std::vector<char*> environment = run_environment(run_entry);
    pid_t pid = -1;
    int spawned = spawn_waited_child(pid, program.c_str(), &actions, &attributes, argv.data(), environment.data());
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
    bool output_open = true;
    int64_t exited_at = 0;
    int64_t last_watch = monotonic_ms();
    // Once the output is closed the child may still work for long (a kernel
    // that closed or redirected it): its end is waited for here, never in a
    // blocking wait, so a cancel or a request to quit is still seen. A pid
    // descriptor wakes the wait the moment it ends.
    int ended_fd = -1;
    for (;;) {
        if (output_open) {
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
            if (eof) {
                output_open = false;
                if (exited) break;
                ended_fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
            }
        } else {
            wait_for_end(ended_fd, kWatchIntervalMs);
        }
        const int64_t now = monotonic_ms();
        if (now - last_watch < kWatchIntervalMs && output_open) continue;
        last_watch = now;
        if (!exited) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                forget_child(pid);
                end = end_from_status(status);
                exited = true;
                exited_at = now;
                if (!output_open) break;
            }
        } else if (now - exited_at > kLeftoverGraceMs) {
            // The leader is reaped: its pid may name a stranger's group by
            // now unless members are left. An adopting process ends those
            // below, as its children.
            if (!adopting()) kill_group(pid);
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
    close_quietly(ended_fd);
    close_quietly(fds[0]);
    end_leftovers(run_entry, false, pid);
    std::string output = text.finish();
    end.left_out = text.dropped;
    return output;
}

void end_run_leftovers() { end_leftovers(run_entry_prefix(), true, 0); }

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
    if (spawn_waited_child(pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0) {
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

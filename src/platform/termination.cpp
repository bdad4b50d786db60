#include "platform/termination.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// Slot states: free, being filled, holding a path, being read by the handler.
enum : int { SLOT_FREE = 0, SLOT_FILLING = 1, SLOT_HELD = 2, SLOT_UNLINKING = 3 };

// Exports write at most six files at once, captures and reports one; the
// rest is room for workers.
constexpr int guard_slots = 32;

struct GuardSlot {
    std::atomic<int> state{SLOT_FREE};
    char path[PATH_MAX];
};

GuardSlot guarded[guard_slots];
volatile sig_atomic_t caught_signal = 0;

static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free atomics");

constexpr int ending_signals[] = {SIGTERM, SIGINT, SIGHUP};

void remove_guarded_files() {
    for (GuardSlot& slot : guarded) {
        int held = SLOT_HELD;
        if (!slot.state.compare_exchange_strong(held, SLOT_UNLINKING)) continue;
        unlink(slot.path);
        slot.state.store(SLOT_HELD);
    }
}

void on_ending_signal(int signal_number) {
    const int saved_errno = errno;
    remove_guarded_files();
    if (caught_signal != 0) {
        // Asked twice: the polite ending did not come; end now.
        std::signal(signal_number, SIG_DFL);
        raise(signal_number);
    }
    caught_signal = signal_number;
    errno = saved_errno;
}

}  // namespace

void ignore_file_size_signal() { std::signal(SIGXFSZ, SIG_IGN); }

void install_termination_handling() {
    ignore_file_size_signal();
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = on_ending_signal;
    sigemptyset(&action.sa_mask);
    for (int s : ending_signals) sigaddset(&action.sa_mask, s);
    // Interrupted calls go on: every loop that must stop polls the flag.
    action.sa_flags = SA_RESTART;
    for (int s : ending_signals) sigaction(s, &action, nullptr);
}

int termination_signal() { return caught_signal; }

int guard_temporary_file(const char* path) {
    const size_t length = std::strlen(path);
    if (length >= PATH_MAX) return -1;
    for (int i = 0; i < guard_slots; ++i) {
        int free_state = SLOT_FREE;
        if (!guarded[i].state.compare_exchange_strong(free_state, SLOT_FILLING)) continue;
        std::memcpy(guarded[i].path, path, length + 1);
        guarded[i].state.store(SLOT_HELD);
        return i;
    }
    return -1;
}

void release_temporary_file(int slot) {
    if (slot < 0 || slot >= guard_slots) return;
    // A handler that is unlinking the path right now (on another thread)
    // finishes first; on this thread it has finished before we run on.
    for (;;) {
        int held = SLOT_HELD;
        if (guarded[slot].state.compare_exchange_weak(held, SLOT_FREE) || held == SLOT_FREE) return;
    }
}

void reset_termination_for_tests() {
    for (int s : ending_signals) std::signal(s, SIG_DFL);
    std::signal(SIGXFSZ, SIG_DFL);
    caught_signal = 0;
}

#include "platform/clock.h"

#include <atomic>
#include <chrono>

namespace {
std::atomic<ClockFunction> substitute_clock{nullptr};
}

int64_t now_ms() {
    if (ClockFunction clock = substitute_clock.load(std::memory_order_acquire)) {
        return clock();
    }
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void set_clock_for_tests(ClockFunction clock) {
    substitute_clock.store(clock, std::memory_order_release);
}

#include "art/art_workers.h"

#include <sched.h>

#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

// The CPUs this process may run on: a process pinned to two of eight gains
// nothing from eight workers.
int art_default_workers() {
    cpu_set_t set;
    CPU_ZERO(&set);
    int n = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set)
                                                       : static_cast<int>(std::thread::hardware_concurrency());
    if (n <= 0) return 1;
    return n > 16 ? 16 : n;
}

void art_parallel_for(int count, int workers, const std::function<void(int)>& job) {
    if (count <= 0) return;
    if (workers <= 0) workers = art_default_workers();
    if (workers > count) workers = count;
    if (workers <= 1) {
        for (int i = 0; i < count; ++i) job(i);
        return;
    }
    std::atomic<int> next{0};
    auto run = [&]() {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1)) job(i);
    };
    std::vector<std::thread> threads;
    threads.reserve(workers - 1);
    // A thread that cannot be started only costs speed: the calling thread
    // works through whatever jobs are left.
    try {
        for (int t = 1; t < workers; ++t) threads.emplace_back(run);
    } catch (const std::system_error&) {
    }
    run();
    for (std::thread& t : threads) t.join();
}

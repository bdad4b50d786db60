#include "art/art_workers.h"

#include "platform/process.h"

#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

// A process pinned to two of eight CPUs gains nothing from eight workers.
int art_default_workers() {
    const int n = usable_cores();
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

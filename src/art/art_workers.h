#pragma once
#include <functional>

// Runs job(0) .. job(count - 1) on up to `workers` threads (0 = one per
// hardware thread). Jobs must write disjoint data; each job's result then
// does not depend on the number of threads.
void art_parallel_for(int count, int workers, const std::function<void(int)>& job);

// The worker count used when 0 is asked for.
int art_default_workers();

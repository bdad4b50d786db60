#pragma once
// The main of a benchmark program that measures the inspector as a user
// meets it: the heap runs with the program's own policy (set first thing,
// as the program's main does), so an open or a start-up meets the heap a
// user's session has, in the forked children too.
#include <benchmark/benchmark.h>

#include "platform/process.h"

inline int run_benchmarks_with_program_heap(int argc, char** argv) {
    use_program_heap_policy();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Runs a parsed script and produces its mesh, with per-statement timings for
// the profiling text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mesh/kernel_mesh.h"
#include "script/program.h"

struct EvalLimits {
    size_t vertex_budget = 4u << 20;       // per value: grid(2047) fits, bigger is refused
    size_t live_vertex_budget = 12u << 20; // all values alive at once (about 1 GB)
    uint64_t step_budget = 20'000'000;     // expression nodes evaluated
    int max_call_depth = 64;
    int max_nesting = 1000;                // expression levels open at once, calls included
    bool side_effects = true;              // sleep() sleeps, print() prints
    int max_sleep_ms = 60'000;
};

struct EvalOutcome {
    bool ok = false;
    std::string error;                     // one line, when !ok
    KernelMesh mesh;
    bool fail_requested = false;           // fail(): write nothing, exit non-zero
    bool truncate_requested = false;       // truncate(): cut the written file short
    std::string printed;                   // print() text, for standard error
    std::vector<uint64_t> function_ns;     // one per FUNCTIONS statement
    std::vector<uint64_t> operation_ns;    // one per OPERATIONS statement
    uint64_t total_ns = 0;
};

using NanoClock = uint64_t (*)();
uint64_t steady_now_ns();

EvalOutcome evaluate_program(const ScriptProgram& program, const EvalLimits& limits,
                             NanoClock clock = steady_now_ns);

// Profiling text: one decimal nanosecond count per line, functions first,
// then operations, then the total.
std::string format_profile_text(const EvalOutcome& outcome);

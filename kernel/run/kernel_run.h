// The command line of the stand-in kernel, runnable in-process for tests.
//
//   vrek -interop -parse IN OUT               parse report of one script (its staged "// logic"
//                                             line skipped when VREKFORM_RUN is set, as in the
//                                             inspector's runs)
//   vrek -interop -parse IN OUT "*"           one report per sub-element block, joined by "<BREAK>\n"
//   vrek -interop -parse IN OUT -ccpp         parse of a global prefix (first step of a prefix run)
//   vrek -interop -assemble IN OUT [-ccpp CC] interop file, one entry per element block
//   vrek -interop -assemble-ppd ...           the same with per-statement timings
//   vrek -interop -compute IN OUT ALG         writes the prefix state file OUT (ALG 0, 1 or 2)
//   vrek -interop -compute-ppd IN OUT ALG
#pragma once

#include <string>
#include <vector>

#include "eval/evaluate.h"

enum KernelExit {
    KERNEL_OK = 0,
    KERNEL_ERRORS = 1,       // output written, but it reports errors or holds empty entries
    KERNEL_USAGE = 2,        // bad command line; nothing written
    KERNEL_FAILED = 3,       // fail() in a script; nothing written
    KERNEL_NO_PREFIX = 4,    // "-ccpp CC" without a valid prefix state; nothing written
    KERNEL_IO = 5,           // input or output file problem
    KERNEL_RESOURCES = 6     // out of memory; nothing written
};

struct KernelRun {
    std::string out;  // standard output text
    std::string err;  // standard error text
    int exit_code = KERNEL_OK;
};

KernelRun run_kernel(const std::vector<std::string>& args, const EvalLimits& limits = EvalLimits{},
                     NanoClock clock = steady_now_ns);

// The first line of a prefix state file.
extern const char* const kPrefixStateMagic;

// The bundled stand-in kernel: a small script language of our own, enough to
// drive every pipeline step of the inspector. It is not the real kernel.
#include <cstdio>
#include <string>
#include <vector>

#include "run/kernel_run.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    KernelRun run = run_kernel(args);
    std::fwrite(run.out.data(), 1, run.out.size(), stdout);
    std::fwrite(run.err.data(), 1, run.err.size(), stderr);
    return run.exit_code;
}

// grid(1000): one million quads, two million triangles, a 32-bit interop file.
// Targets: whole assembly and write under 1.5 s, the write itself 300 MB/s+.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "eval/evaluate.h"
#include "interop/interop_writer.h"
#include "mesh/kernel_mesh.h"

extern char** environ;

static std::string temp_dir() {
    static std::string dir;
    if (dir.empty()) {
        char tmpl[] = "/tmp/vk_kernel_bench_XXXXXX";
        dir = mkdtemp(tmpl) ? tmpl : "/tmp";
    }
    return dir;
}

static void write_text(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

// The kernel program's whole assemble run, as the inspector starts it: a
// process of its own with the kernel's own heap and allocation policy,
// timed from the spawn to its exit (read the staged block, parse, build the
// mesh, derive triangles and edges, encode and write the file). The kernel
// is found at <build>/kernel/vrek.
static std::string kernel_program() {
    char exe[PATH_MAX] = {0};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (n <= 0) return "";
    std::string dir(exe, static_cast<size_t>(n));
    for (int up = 0; up < 3 && !dir.empty(); ++up) dir = dir.substr(0, dir.rfind('/'));  // <build>
    return dir + "/kernel/vrek";
}

// The exit status of one run, its output to /dev/null; -1 when it could
// not start.
static int run_kernel_process(const std::string& kernel, const std::string& in, const std::string& out) {
    std::vector<std::string> args = {kernel, "-interop", "-assemble", in, out};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const bool started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (!started || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

static void BM_KernelProcessAssemblesGrid1000(benchmark::State& state) {
    const std::string kernel = kernel_program();
    const std::string in = temp_dir() + "/grid_in", out = temp_dir() + "/grid_out";
    write_text(in, "1;\n\n{\n// directives\n#execute_mode:pure_union_mesh;\n// logic\nreturn grid(1000);\n};\n");
    for (auto _ : state) {
        if (run_kernel_process(kernel, in, out) != 0) {
            state.SkipWithError("the kernel run failed (is <build>/kernel/vrek built?)");
            break;
        }
    }
    std::remove(in.c_str());
    std::remove(out.c_str());
}
BENCHMARK(BM_KernelProcessAssemblesGrid1000)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

static void BM_WriteGrid1000(benchmark::State& state) {
    EvalOutcome o = evaluate_program(parse_script("return grid(1000);"), EvalLimits{});
    InteropWriterMesh mesh;
    build_interop_mesh(o.mesh, mesh);
    const std::string out = temp_dir() + "/grid_write";
    const size_t file_bytes = 4 + interop_entry_size(mesh);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string error;
        if (!write_interop_file(out, {mesh}, &error)) state.SkipWithError(error.c_str());
        bytes += file_bytes;
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    std::remove(out.c_str());
}
BENCHMARK(BM_WriteGrid1000)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

BENCHMARK_MAIN();

#pragma once
// A workspace in a fresh directory and a recording fake kernel: a shell
// script named "vrek" that appends its arguments (one per line, then ".")
// to log/<input name>.args, copies its input to log/<input name>.input and
// copies a fixture to its output: fixtures/<input name>, else
// fixtures/mesh_<count line> for assemblies, fixtures/parse or parse_star.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "interop/interop_writer.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/parallel_jobs.h"
#include "platform/files.h"
#include "platform/paths.h"

// Removes a directory a test made, with everything in it.
inline void remove_test_tree(const std::string& dir) {
    std::error_code ignored;
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
}

inline std::string make_pipeline_test_dir() {
    const char* binary = getenv("VK_BINARY_DIR");
    std::string dir = binary ? std::string(binary) + "/test-output" : std::string("/tmp");
    mkdir(dir.c_str(), 0755);
    dir += "/vk_pipeline_XXXXXX";
    return mkdtemp(&dir[0]) ? dir : std::string();
}

// The first x coordinate of a mesh written by FakeKernel::meshes, -1 for none.
inline double mesh_tag(const InteropMesh* mesh) {
    return mesh && !mesh->positions.empty() ? mesh->positions[0] : -1.0;
}
inline std::vector<double> tags(const std::vector<InteropMesh*>& meshes) {
    std::vector<double> t;
    for (InteropMesh* m : meshes) t.push_back(mesh_tag(m));
    return t;
}

// One run's argument log lines.
inline std::string run_args(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& a : args) text += a + "\n";
    return text + ".\n";
}

inline std::string block(const std::string& mode, const std::string& script) {
    return "{\n// directives\n#execute_mode:" + mode + ";\n// logic\n" + script + "\n};\n";
}

struct FakeKernel {
    std::string root, log, fixtures;
    std::string args(const std::string& name) const { return read_file(log + name + ".args"); }
    std::string input(const std::string& name) const { return read_file(log + name + ".input"); }
    std::string path(const std::string& name) const { return root + "/ws/tmp/" + name; }
    bool ran(const std::string& name) const { return path_exists(log + name + ".args"); }
    // The logged arguments of one run: "-interop", the flag, the staged
    // input and output, then `more`.
    std::string run(const char* flag, const std::string& in, const std::string& out,
                    std::vector<std::string> more = {}) const {
        std::vector<std::string> a = {"-interop", flag, path(in), path(out)};
        a.insert(a.end(), more.begin(), more.end());
        return run_args(a);
    }
    void fixture(const std::string& name, const std::string& bytes) const {
        EXPECT_TRUE(write_text_file(fixtures + name, bytes));
    }
    // One triangle per tag whose first x coordinate is the tag.
    void meshes(const std::string& name, const std::vector<double>& tags) const {
        std::vector<InteropWriterMesh> list;
        for (double t : tags) {
            InteropWriterMesh m;
            m.positions = {t, 0, 0, t + 1, 0, 0, t, 1, 0};
            m.polygons = {1, 3, 0, 1, 2};
            m.triangles = {0, 1, 2};
            interop_fill_bounds(m);
            list.push_back(m);
        }
        fixture(name, interop_serialise(list));
    }
};

// `sleep`: a shell expression run before the fixture is copied; with
// `log_times` each run appends "start end" (ns) to log/times.
inline FakeKernel make_fake_kernel(const std::string& sleep = "", bool log_times = false) {
    FakeKernel k;
    k.root = make_pipeline_test_dir();
    k.log = k.root + "/log/";
    k.fixtures = k.root + "/fixtures/";
    for (const char* d : {"/ws", "/ws/tmp", "/log", "/fixtures"}) mkdir((k.root + d).c_str(), 0755);
    const std::string kernel = k.root + "/vrek";
    write_text_file(kernel,
                    "#!/bin/sh\nD='" + k.root + "'; t0=$(date +%s%N); name=$(basename \"$3\")\n"
                    "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$D/log/$name.args\"; done\n"
                    "echo . >> \"$D/log/$name.args\"; cp \"$3\" \"$D/log/$name.input\"\n" + sleep + "\n"
                    "f=\"$D/fixtures/$name\"\n"
                    "[ -f \"$f\" ] || case \"$2\" in\n"
                    "  -parse) f=\"$D/fixtures/parse\"; [ \"$5\" = '*' ] && f=\"$D/fixtures/parse_star\" ;;\n"
                    "  -compute*) f= ;;\n"
                    "  *) f=\"$D/fixtures/mesh_$(head -n 1 \"$3\" | tr -d ';')\" ;;\n"
                    "esac\n"
                    "[ -n \"$f\" ] && [ -f \"$f\" ] && cp \"$f\" \"$4\"\n" +
                        (log_times ? "echo \"$t0 $(date +%s%N)\" >> \"$D/log/times\"\n" : "") +
                        "echo \"kernel ran $2 on $name\"\n");
    chmod(kernel.c_str(), 0755);
    reset_paths_for_tests();
    EXPECT_TRUE(set_kernel_path(kernel));
    EXPECT_TRUE(set_workspace_path(k.root + "/ws/"));
    reset_run_trace_texts();
    reset_parallel_jobs_for_tests();
    return k;
}

// Resets what a fake kernel test changed globally.
struct FakeKernelTest : ::testing::Test {
    ~FakeKernelTest() override {
        reset_parallel_jobs_for_tests();
        reset_paths_for_tests();
        remove_test_tree(k.root);
    }
    FakeKernel k = make_fake_kernel();
    // Another fake kernel in place of `k`, whose folder goes first.
    void replace_kernel(const std::string& sleep, bool log_times = false) {
        remove_test_tree(k.root);
        k = make_fake_kernel(sleep, log_times);
    }
};

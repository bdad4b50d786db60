// Runs the built `vrek` executable the way the inspector does: staged files
// in a workspace, fixed command lines, results read back from files.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "kernel/interop_test_reader.h"

struct ProcessResult {
    int exit_code = -1;
    std::string out, err;
};

static std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

static void spill(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

static std::string kernel_path() {
    const char* dir = std::getenv("VK_BINARY_DIR");
    return std::string(dir ? dir : ".") + "/kernel/vrek";
}

static std::string source_dir() {
    const char* dir = std::getenv("VK_SOURCE_DIR");
    return dir ? dir : ".";
}

class KernelProcess : public ::testing::Test {
protected:
    std::string dir;
    void SetUp() override {
        char tmpl[] = "/tmp/vk_kernel_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ASSERT_EQ(access(kernel_path().c_str(), X_OK), 0) << kernel_path();
    }
    void TearDown() override {
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d)) {
                const std::string name = e->d_name;
                if (name != "." && name != "..") unlink((dir + "/" + name).c_str());
            }
            closedir(d);
        }
        rmdir(dir.c_str());
    }
    std::string path(const std::string& name) const { return dir + "/" + name; }

    ProcessResult run(const std::vector<std::string>& args) {
        ProcessResult r;
        const std::string out = path("stdout"), err = path("stderr");
        const pid_t pid = fork();
        if (pid == 0) {
            const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(o, 1);
            dup2(e, 2);
            std::vector<char*> argv;
            const std::string exe = kernel_path();
            argv.push_back(const_cast<char*>(exe.c_str()));
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(exe.c_str(), argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.out = slurp(out);
        r.err = slurp(err);
        return r;
    }

    // Parse form "// logic\n" + script.
    std::string parse(const std::string& script, ProcessResult* result = nullptr) {
        spill(path("parse_in"), "// logic\n" + script);
        spill(path("parse_out"), "");
        ProcessResult r = run({"-interop", "-parse", path("parse_in"), path("parse_out")});
        if (result) *result = r;
        EXPECT_LT(r.exit_code, 2) << r.err;
        return slurp(path("parse_out"));
    }

    std::vector<ReadEntry> assemble(const std::string& staged, bool profile = false, ProcessResult* result = nullptr,
                                    const std::vector<std::string>& extra = {}) {
        spill(path("asm_in"), staged);
        spill(path("asm_out"), "");
        std::vector<std::string> args = {"-interop", profile ? "-assemble-ppd" : "-assemble", path("asm_in"),
                                         path("asm_out")};
        args.insert(args.end(), extra.begin(), extra.end());
        ProcessResult r = run(args);
        if (result) *result = r;
        const std::string bytes = slurp(path("asm_out"));
        return bytes.empty() ? std::vector<ReadEntry>{} : read_file_bytes(bytes);
    }
};

static std::string section(const std::string& report, const std::string& name) {
    const std::string open = "<" + name + ">\n", close = "</" + name + ">";
    const size_t a = report.find(open), b = report.find(close);
    if (a == std::string::npos || b == std::string::npos || b < a + open.size()) return "<missing>";
    return report.substr(a + open.size(), b - a - open.size());
}

static size_t line_count(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

static std::string block(const std::string& script, const char* mode = "pure_union_mesh") {
    return std::string("\n{\n// directives\n#execute_mode:") + mode + ";\n// logic\n" + script + "\n};\n";
}

// What the pipeline stages for an assembly: the echo of a parse.
static std::string echo_of(const std::string& report) {
    return section(report, "DIRECTIVES") + "\n" + section(report, "PARAMETERS") + "\n" + section(report, "FUNCTIONS") +
           "\n" + section(report, "OPERATIONS") + "\n";
}

static bool well_formed_report(const std::string& report) {
    size_t at = 0;
    for (const char* name : {"DIRECTIVES", "PARAMETERS", "FUNCTIONS", "OPERATIONS", "ERRORS", "WARNINGS", "NOTES"}) {
        const size_t open = report.find(std::string("<") + name + ">\n", at);
        const size_t close = report.find(std::string("</") + name + ">\n", open);
        if (open == std::string::npos || close == std::string::npos) return false;
        at = close;
    }
    return report.find("<SOURCE>", at) != std::string::npos && report.find("</SOURCE>", at) != std::string::npos;
}

TEST_F(KernelProcess, StartupScriptsAssembleTogetherAndAlone) {
    const char* names[] = {"startup_blocks.vrek", "startup_axes.vrek", "startup_rings.vrek", "startup_entity.vrek"};
    const char* modes[] = {"pure_union_mesh", "optimal_csg_mesh", "optimal_csg_mesh", "optimal_csg_mesh"};
    std::string staged = "3;\n";
    for (int i = 0; i < 4; ++i) {
        const std::string script = slurp(source_dir() + "/examples/" + names[i]);
        ASSERT_FALSE(script.empty()) << names[i];
        const std::string report = parse(script);
        EXPECT_EQ(section(report, "ERRORS"), "") << names[i];
        if (i < 3) staged += block(script, modes[i]);
    }
    ProcessResult r;
    auto entries = assemble(staged, false, &r);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    ASSERT_EQ(entries.size(), 3u);
    for (const auto& e : entries) {
        expect_entry_consistent(e, "start-up");
        EXPECT_GT(e.positions.size(), 0u);
        ASSERT_EQ(e.spare.size(), 1u);
    }
    EXPECT_EQ(entries[0].spare[0], 0);  // execute mode recorded
    EXPECT_EQ(entries[1].spare[0], 2);
    EXPECT_EQ(entries[1].palette.size(), 4u * 5u);  // grey, yellow and three axis colours
    EXPECT_NE(entries[1].names.find("cylinder"), std::string::npos);
    EXPECT_NE(r.out.find("assembled 3 elements"), std::string::npos);
}

TEST_F(KernelProcess, SampleWorkspaceParsesAndAssemblesLikeThePipeline) {
    DIR* d = opendir((source_dir() + "/examples").c_str());
    ASSERT_NE(d, nullptr);
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
        const std::string n = e->d_name;
        if (n.size() > 5 && n.compare(n.size() - 5, 5, ".vrek") == 0) names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    EXPECT_GE(names.size(), 8u);
    EXPECT_LE(names.size(), 12u);
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const std::string report = parse(slurp(source_dir() + "/examples/" + name));
        ASSERT_TRUE(well_formed_report(report));
        const size_t errors = line_count(section(report, "ERRORS"));
        if (name == "syntax_error.vrek") {
            EXPECT_EQ(errors, 2u);
            continue;
        }
        ASSERT_EQ(errors, 0u) << section(report, "ERRORS");
        ProcessResult r;
        auto entries = assemble("1;\n" + block(echo_of(report), "basic_csg_mesh"), true, &r);
        ASSERT_EQ(entries.size(), 1u) << r.err;
        expect_entry_consistent(entries[0], name);
        EXPECT_GT(entries[0].positions.size(), 0u);
        // Profiling: F + O lines and the total, digits only.
        const size_t f = line_count(section(report, "FUNCTIONS")), o = line_count(section(report, "OPERATIONS"));
        EXPECT_EQ(line_count(entries[0].ppd), f + o + 1);
        EXPECT_EQ(entries[0].ppd.find_first_not_of("0123456789\n"), std::string::npos);
        if (name == "large_grid.vrek") {
            EXPECT_GT(entries[0].h[IW_WIDE_ROWS], 0);
        }
        if (name == "mirrored_gate.vrek") {
            EXPECT_NE(std::count(entries[0].sign_flags.begin(), entries[0].sign_flags.end(), 0x80), 0);
            EXPECT_EQ(line_count(section(report, "NOTES")), 1u);
        }
        if (name == "cameras_and_variants.vrek") {
            EXPECT_EQ(line_count(section(report, "DIRECTIVES")), 7u);
        }
    }
}

TEST_F(KernelProcess, ParallelScriptRunsAsSubElementsAndBatches) {
    const std::string report = parse(slurp(source_dir() + "/examples/parallel_towers.vrek"));
    const std::string ops = section(report, "OPERATIONS");
    EXPECT_EQ(line_count(ops), 1u);
    EXPECT_EQ(ops.rfind("return {", 0), 0u);
    // Sub-element parse form: count line, "{\n// E:" blocks, "*" argument.
    const std::string staged = "3;\n{\n// E:tower\nbase = box(1);\nm = cylinder(0.4, 3, 24);\nm = base + m;\n};\n"
                               "{\n// E:2|broken\nm = sphere(1, 2, 3);\n};\n{\n// E:unresolved\n\n};\n";
    spill(path("parse_in"), staged);
    ProcessResult r = run({"-interop", "-parse", path("parse_in"), path("parse_out"), "*"});
    const std::string out = slurp(path("parse_out"));
    std::vector<std::string> texts_of_elements;
    for (size_t at = 0;;) {
        const size_t next = out.find("<BREAK>\n", at);
        texts_of_elements.push_back(out.substr(at, next == std::string::npos ? std::string::npos : next - at));
        if (next == std::string::npos) break;
        at = next + 8;
    }
    ASSERT_EQ(texts_of_elements.size(), 3u);
    for (const auto& p : texts_of_elements) EXPECT_TRUE(well_formed_report(p));
    EXPECT_EQ(line_count(section(texts_of_elements[0], "OPERATIONS")), 3u);
    EXPECT_EQ(line_count(section(texts_of_elements[0], "ERRORS")), 0u);
    EXPECT_EQ(line_count(section(texts_of_elements[1], "ERRORS")), 1u);
    EXPECT_EQ(section(texts_of_elements[2], "OPERATIONS"), "");
    EXPECT_EQ(r.exit_code, 1);

    // Batch form: no blank line after the count, a skipped element as "{ };".
    ProcessResult a;
    auto entries = assemble("3;\n{\n// directives\n#execute_mode:optimal_csg_mesh;\n// logic\nm = box(1);\n};\n"
                            "{ };\n{\n// directives\n#execute_mode:optimal_csg_mesh;\n// logic\nreturn cone(1, 1, 5);\n};\n",
                            false, &a);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].positions.size(), 0u);
    EXPECT_EQ(entries[2].h[IW_POLYGON_SIZE], 0);  // triangles and a pentagon
    // The whole parallel script assembled in one block unites its sub-elements.
    auto whole = assemble("1;\n" + block(echo_of(report)));
    ASSERT_EQ(whole.size(), 1u);
    expect_entry_consistent(whole[0], "parallel whole");
    EXPECT_GT(*std::max_element(whole[0].operand_ids.begin(), whole[0].operand_ids.end()), 3);
}

TEST_F(KernelProcess, PrefixRunWritesStateThatLaterRunsRequire) {
    spill(path("ccpp_in"), "base = box(1.2, 0.2, 1.2);");
    spill(path("ccpp_out"), "");
    ProcessResult step1 = run({"-interop", "-parse", path("ccpp_in"), path("ccpp_out"), "-ccpp"});
    EXPECT_EQ(step1.exit_code, 0);
    EXPECT_TRUE(well_formed_report(slurp(path("ccpp_out"))));
    ProcessResult bad_alg = run({"-interop", "-compute", path("ccpp_in"), path("ccpp_out"), "7"});
    EXPECT_EQ(bad_alg.exit_code, 2);
    ProcessResult step2 = run({"-interop", "-compute-ppd", path("ccpp_in"), path("ccpp_out"), "2"});
    EXPECT_EQ(step2.exit_code, 0) << step2.err;
    EXPECT_EQ(slurp(path("ccpp_out")).rfind("VREK-CCPP-STATE\nalgorithm: 2\n", 0), 0u);

    ProcessResult with;
    auto entries = assemble("1;\n" + block("return box;"), false, &with, {"-ccpp", path("ccpp_out")});
    EXPECT_EQ(with.exit_code, 0) << with.err;
    EXPECT_EQ(entries.size(), 1u);
    ProcessResult without;
    entries = assemble("1;\n" + block("return box;"), false, &without, {"-ccpp", path("missing")});
    EXPECT_EQ(without.exit_code, 4);
    EXPECT_EQ(slurp(path("asm_out")), "");  // nothing written: the caller sees no mesh
    EXPECT_NE(without.err.find("CCPP-STATE-MISSING"), std::string::npos);
}

TEST_F(KernelProcess, TestKnobsReachThePipeline) {
    ProcessResult r;
    auto entries = assemble("1;\n" + block("print(\"from the script\"); sleep(20); return box;"), false, &r);
    EXPECT_EQ(entries.size(), 1u);
    EXPECT_NE(r.err.find("from the script\n"), std::string::npos);

    entries = assemble("2;\n" + block("return box;") + block("fail();"), false, &r);
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_EQ(slurp(path("asm_out")), "");

    spill(path("asm_in"), "1;\n" + block("truncate(); return sphere(1, 32);"));
    spill(path("full_in"), "1;\n" + block("return sphere(1, 32);"));
    run({"-interop", "-assemble", path("asm_in"), path("asm_out")});
    run({"-interop", "-assemble", path("full_in"), path("full_out")});
    const std::string cut = slurp(path("asm_out")), full = slurp(path("full_out"));
    EXPECT_GE(cut.size(), 150u);
    EXPECT_LT(cut.size(), full.size());
    EXPECT_EQ(cut, full.substr(0, cut.size()));

    const std::string report = parse("syntax_error(\"first\"); syntax_error(\"second\"); return box;");
    EXPECT_EQ(line_count(section(report, "ERRORS")), 2u);
}

TEST_F(KernelProcess, DamagedInputGivesWellFormedOutputAndNoCrash) {
    const std::string garbage[] = {
        "",
        "{\nreturn box;\n};\n",                       // no count line
        "2;\n{\nreturn box(1;\n};\n{\nreturn box;\n};\n",  // unbalanced first block
        std::string("\0\xff\xfe{{{\"'/*", 10),
        "5;\n{ };\n",
        "1;\n{\nreturn grid(100000);\n};\n",
        "1;\n{\nreturn </ERRORS>;\n};\n",
    };
    for (const auto& g : garbage) {
        SCOPED_TRACE(g.substr(0, 20));
        spill(path("parse_in"), g);
        ProcessResult p = run({"-interop", "-parse", path("parse_in"), path("parse_out")});
        EXPECT_LT(p.exit_code, 2);
        EXPECT_TRUE(well_formed_report(slurp(path("parse_out"))));
        ProcessResult star = run({"-interop", "-parse", path("parse_in"), path("parse_out"), "*"});
        EXPECT_LT(star.exit_code, 2);
        ProcessResult a;
        auto entries = assemble(g, false, &a);
        EXPECT_LT(a.exit_code, 2) << a.err;
        EXPECT_GE(slurp(path("asm_out")).size(), 144u);
        for (const auto& e : entries) expect_entry_consistent(e, "damaged");
    }
    ProcessResult r;
    auto two = assemble("2;\n{\nreturn box(1;\n};\n{\nreturn box;\n};\n", false, &r);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].positions.size(), 0u);
    EXPECT_GT(two[1].positions.size(), 0u);
    EXPECT_NE(r.err.find("element 0"), std::string::npos);

    ProcessResult usage = run({"-interop", "-frobnicate", path("a"), path("b")});
    EXPECT_EQ(usage.exit_code, 2);
    EXPECT_NE(usage.err.find("stand-in"), std::string::npos);
    ProcessResult missing = run({"-interop", "-parse", path("nope"), path("parse_out")});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_EQ(line_count(section(slurp(path("parse_out")), "ERRORS")), 1u);
}

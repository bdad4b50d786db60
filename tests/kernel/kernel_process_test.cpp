// Runs the built `vrek` executable the way the inspector does: staged files
// in a workspace, fixed command lines, results read back from files.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "kernel/kernel_test_support.h"
#include "support/run_program.h"
#include "support/test_dir.h"

struct ProcessResult {
    int exit_code = -1;
    std::string out, err;
};

static void spill(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

static std::string env_dir(const char* name) {
    const char* dir = std::getenv(name);
    return dir ? dir : ".";
}
static const std::string kKernel = env_dir("VK_BINARY_DIR") + "/kernel/vrek";
static const std::string kExamples = env_dir("VK_SOURCE_DIR") + "/examples/";

static size_t line_count(const std::string& s) { return static_cast<size_t>(std::count(s.begin(), s.end(), '\n')); }

// One element block of an assembly input.
static std::string block(const std::string& script, const char* mode = "pure_union_mesh") {
    return std::string("\n{\n// directives\n#execute_mode:") + mode + ";\n// logic\n" + script + "\n};\n";
}

// All seven sections in order, then the SOURCE block.
static bool well_formed_report(const std::string& report) {
    size_t at = 0;
    for (const char* tag : {"<DIRECTIVES>\n", "</DIRECTIVES>\n", "<PARAMETERS>\n", "</PARAMETERS>\n", "<FUNCTIONS>\n",
                            "</FUNCTIONS>\n", "<OPERATIONS>\n", "</OPERATIONS>\n", "<ERRORS>\n", "</ERRORS>\n",
                            "<WARNINGS>\n", "</WARNINGS>\n", "<NOTES>\n", "</NOTES>\n", "<SOURCE>", "</SOURCE>"})
        if ((at = report.find(tag, at)) == std::string::npos) return false;
    return true;
}

class KernelProcess : public ::testing::Test {
protected:
    // Under the build folder, so a checkout in a folder with blanks hands
    // the kernel paths with blanks, as the inspector's workspace would.
    TestDir scratch{"vk_kernel"};
    std::string dir = scratch.path();
    void SetUp() override {
        ASSERT_FALSE(dir.empty());
        ASSERT_EQ(access(kKernel.c_str(), X_OK), 0) << kKernel;
    }
    std::string path(const std::string& name) const { return dir + "/" + name; }

    ProcessResult run(const std::vector<std::string>& args) {  // after "-interop"
        std::vector<std::string> argv = {kKernel, "-interop"};
        argv.insert(argv.end(), args.begin(), args.end());
        const int status = run_program(argv, path("stdout"), path("stderr"));
        return {status, slurp(path("stdout")), slurp(path("stderr"))};
    }

    std::vector<ReadEntry> assemble(const std::string& staged, ProcessResult* result = nullptr, bool profile = false,
                                    const std::vector<std::string>& extra = {}) {
        spill(path("asm_in"), staged);
        spill(path("asm_out"), "");
        std::vector<std::string> args = {profile ? "-assemble-ppd" : "-assemble", path("asm_in"), path("asm_out")};
        args.insert(args.end(), extra.begin(), extra.end());
        ProcessResult r = run(args);
        if (result) *result = r;
        const std::string bytes = slurp(path("asm_out"));
        return bytes.empty() ? std::vector<ReadEntry>{} : read_file_bytes(bytes);
    }
};

TEST_F(KernelProcess, SampleWorkspaceParsesAndAssemblesLikeThePipeline) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(kExamples))
        if (e.path().extension() == ".vrek") names.push_back(e.path().filename().string());
    EXPECT_FALSE(names.empty());
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        spill(path("parse_in"), "// logic\n" + slurp(kExamples + name));  // the single-script parse form
        EXPECT_LT(run({"-parse", path("parse_in"), path("parse_out")}).exit_code, 2);
        const std::string report = slurp(path("parse_out"));
        ASSERT_TRUE(well_formed_report(report));
        const size_t errors = line_count(section(report, "ERRORS"));
        if (name == "syntax_error.vrek") {
            EXPECT_EQ(errors, 2u);
            continue;
        }
        ASSERT_EQ(errors, 0u) << section(report, "ERRORS");
        ProcessResult r;
        auto entries = assemble("1;\n" + block(echo_of(report), "basic_csg_mesh"), &r, true);
        ASSERT_EQ(entries.size(), 1u) << r.err;
        const ReadEntry& e = entries[0];
        expect_entry_consistent(e, name);
        EXPECT_GT(e.positions.size(), 0u);
        EXPECT_EQ(e.spare, std::vector<int32_t>{1});  // the execute mode
        // Profiling: F + O lines and the total, digits only.
        EXPECT_EQ(line_count(e.ppd), line_count(section(report, "FUNCTIONS") + section(report, "OPERATIONS")) + 1);
        EXPECT_EQ(e.ppd.find_first_not_of("0123456789\n"), std::string::npos);
        EXPECT_EQ(e.h[IW_WIDE_ROWS] > 0, name == "large_grid.vrek");
        if (name == "mirrored_gate.vrek") {
            // The mirrored post is rewound instead: no triangle normal is turned.
            EXPECT_EQ(std::count(e.sign_flags.begin(), e.sign_flags.end(), 0x80), 0);
            EXPECT_EQ(line_count(section(report, "NOTES")), 1u);
        }
        if (name == "parallel_towers.vrek") {  // one parallel return, uniting the sub-elements
            EXPECT_EQ(section(report, "OPERATIONS").rfind("return {", 0), 0u);
            EXPECT_GT(*std::max_element(e.operand_ids.begin(), e.operand_ids.end()), 3);
        }
    }
}

TEST_F(KernelProcess, ParallelScriptRunsAsSubElementsAndBatches) {
    // Sub-element parse form: count line, "{\n// E:" blocks, "*" argument.
    spill(path("parse_in"), "3;\n{\n// E:tower\nbase = box(1);\nm = cylinder(0.4, 3, 24);\nm = base + m;\n};\n"
                            "{\n// E:2|broken\nm = sphere(1, 2, 3);\n};\n{\n// E:unresolved\n\n};\n");
    EXPECT_EQ(run({"-parse", path("parse_in"), path("parse_out"), "*"}).exit_code, 1);
    const std::string out = slurp(path("parse_out"));
    std::vector<std::string> reports;
    for (size_t at = 0, next = 0; next != std::string::npos; at = next + 8) {
        next = out.find("<BREAK>\n", at);
        reports.push_back(out.substr(at, next == std::string::npos ? std::string::npos : next - at));
    }
    ASSERT_EQ(reports.size(), 3u);
    for (const auto& p : reports) EXPECT_TRUE(well_formed_report(p));
    EXPECT_EQ(line_count(section(reports[0], "OPERATIONS")), 3u);
    EXPECT_EQ(line_count(section(reports[0], "ERRORS")), 0u);
    EXPECT_EQ(line_count(section(reports[1], "ERRORS")), 1u);
    EXPECT_EQ(section(reports[2], "OPERATIONS"), "");

    // Batch form: no blank line after the count, a skipped element as "{ };".
    ProcessResult r;
    auto entries = assemble("3;" + block("m = box(1);", "optimal_csg_mesh") + "{ };" +
                            block("return cone(1, 1, 5);", "optimal_csg_mesh"), &r);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("assembled 3 elements"), std::string::npos);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].spare, std::vector<int32_t>{2});
    EXPECT_EQ(entries[1].positions.size(), 0u);
    EXPECT_EQ(entries[2].h[IW_POLYGON_SIZE], 0);  // triangles and a pentagon
}

// Error lines count the script's own lines in every form the inspector
// stages: the header it writes in front of the script is not one of them.
TEST_F(KernelProcess, ErrorLinesCountFromTheScriptsOwnFirstLine) {
    const std::string script = "a = box(1);\n\nb = blob(2);\nreturn a;";  // the error on line 3
    const std::string at_3 = "UNKNOWN-PRIMITIVE : 'blob' AT LINE 3;";
    auto parse = [&](const std::string& staged, const std::vector<std::string>& extra = {}) {
        spill(path("parse_in"), staged);
        std::vector<std::string> args = {"-parse", path("parse_in"), path("parse_out")};
        args.insert(args.end(), extra.begin(), extra.end());
        run(args);
        return slurp(path("parse_out"));
    };
    // The parse form in the inspector's runs (VREKFORM_RUN set); by hand "// logic" is
    // the script's own line. And a script given as it is (as for the prefix run).
    setenv("VREKFORM_RUN", "1.0", 1);
    EXPECT_EQ(section(parse("// logic\n" + script), "ERRORS"), at_3 + "\n");
    unsetenv("VREKFORM_RUN");
    EXPECT_EQ(section(parse("// logic\n" + script), "ERRORS"), "UNKNOWN-PRIMITIVE : 'blob' AT LINE 4;\n");
    EXPECT_EQ(section(parse(script), "ERRORS"), at_3 + "\n");
    EXPECT_EQ(section(parse("\n\nb = blob(2);", {"-ccpp"}), "ERRORS"), at_3 + "\n");
    // The sub-element parse form: each source from its own first line.
    const std::string star = parse("2;\n{\n// E:a\nx = box(1);\n};\n{\n// E:2|b\n" + script + "\n};\n", {"*"});
    EXPECT_EQ(section(star.substr(star.find("<BREAK>\n")), "ERRORS"), at_3 + "\n");

    const std::string head = "{\n// directives\n#execute_mode:optimal_csg_mesh;\n// logic\n";
    const std::string tail = "\n};\n";
    struct Form {
        const char* what;
        std::string staged;
        size_t element;
        std::string message;
    };
    const std::vector<Form> forms = {
        {"single", "1;" + block(script), 0, at_3},
        {"start-up", "3;" + block("return box(1);") + block("return box(2);") + block(script), 2, at_3},
        {"per element", "1;\n" + head + script + tail, 0, at_3},
        {"batch and one run", "2;\n{ };\n" + head + script + tail, 1, at_3},
        {"pushed", "1;" + block("// parameters\nINT n = 3;\nSTR s = \"x\";\n// logic\n" + script), 0, at_3},
        {"pushed, carried over", "1;" + block("// parameters\nDBL r = 0.5;\n" + script), 0, at_3},
        {"pushed twice", "1;" + block("// parameters\nINT n = 3;\nINT n = 4;\n// logic\nreturn box(n);"), 0,
         "DUPLICATE-PARAMETER : 'n' IN THE STAGED HEADER;"},
        {"a broken header", "1;" + block("// parameters\nINT n = (3;\n// logic\nreturn box(1);"), 0,
         "UNBALANCED-BRACKETS : '(' NOT CLOSED IN STATEMENT IN THE STAGED HEADER;"},
    };
    for (const Form& f : forms) {
        SCOPED_TRACE(f.what);
        ProcessResult r;
        assemble(f.staged, &r);
        EXPECT_NE(r.err.find("vrek: element " + std::to_string(f.element) + ": " + f.message + "\n"), std::string::npos)
            << r.err;
    }
}

TEST_F(KernelProcess, PrefixRunWritesStateThatLaterRunsRequire) {
    spill(path("ccpp_in"), "base = box(1.2, 0.2, 1.2);");
    spill(path("ccpp_out"), "");
    EXPECT_EQ(run({"-parse", path("ccpp_in"), path("ccpp_out"), "-ccpp"}).exit_code, 0);
    EXPECT_TRUE(well_formed_report(slurp(path("ccpp_out"))));
    EXPECT_EQ(run({"-compute", path("ccpp_in"), path("ccpp_out"), "7"}).exit_code, 2);
    ProcessResult step2 = run({"-compute-ppd", path("ccpp_in"), path("ccpp_out"), "2"});
    EXPECT_EQ(step2.exit_code, 0) << step2.err;
    EXPECT_EQ(slurp(path("ccpp_out")).rfind("VREK-CCPP-STATE\nalgorithm: 2\n", 0), 0u);

    ProcessResult r;
    const auto with_state = assemble("1;\n" + block("return box;"), &r, false, {"-ccpp", path("ccpp_out")});
    ASSERT_EQ(with_state.size(), 1u);
    EXPECT_EQ(with_state[0].spare, std::vector<int32_t>{0});  // pure union
    EXPECT_EQ(r.exit_code, 0) << r.err;
    assemble("1;\n" + block("return box;"), &r, false, {"-ccpp", path("missing")});
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_EQ(slurp(path("asm_out")), "");  // nothing written: the caller sees no mesh
    EXPECT_NE(r.err.find("CCPP-STATE-MISSING"), std::string::npos);
}

TEST_F(KernelProcess, TestKnobsReachThePipeline) {
    ProcessResult r;
    EXPECT_EQ(assemble("1;\n" + block("print(\"from the script\"); sleep(9); print(1.5); return box;"), &r).size(), 1u);
    EXPECT_NE(r.err.find("from the script\n1.5\n"), std::string::npos);

    assemble("2;\n" + block("return box;") + block("fail();"), &r);
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_EQ(slurp(path("asm_out")), "");

    assemble("1;\n" + block("return sphere(1, 32);"));
    const std::string full = slurp(path("asm_out"));
    spill(path("asm_in"), "1;\n" + block("truncate(); return sphere(1, 32);"));
    run({"-assemble", path("asm_in"), path("asm_out")});
    const std::string cut = slurp(path("asm_out"));
    EXPECT_GE(cut.size(), 150u);
    EXPECT_LT(cut.size(), full.size());
    EXPECT_EQ(cut, full.substr(0, cut.size()));
}

TEST_F(KernelProcess, DamagedInputGivesWellFormedOutputAndNoCrash) {
    const std::string unbalanced_first = "2;\n{\nreturn box(1;\n};\n{\nreturn box;\n};\n";
    const std::pair<std::string, size_t> garbage[] = {  // staged text, results
        {"", 0},
        {"{\nreturn box;\n};\n", 1},  // no count line
        {unbalanced_first, 2},
        {std::string("\0\xff\xfe{{{\"'/*", 10), 1},
        {"5;\n{ };\n", 5},              // missing blocks become empty results
        {"999999999999;\n{ };\n", 1},   // but a wild count is not believed
        {"1;\n{\nreturn box;", 1},      // unterminated
        {"1;\n{\nreturn grid(100000);\n};\n", 1},
        {"1;\n{\nreturn </ERRORS>;\n};\n", 1},
    };
    for (const auto& [text, results] : garbage) {
        SCOPED_TRACE(text.substr(0, 20));
        spill(path("parse_in"), text);
        EXPECT_LT(run({"-parse", path("parse_in"), path("parse_out")}).exit_code, 2);
        EXPECT_TRUE(well_formed_report(slurp(path("parse_out"))));
        EXPECT_LT(run({"-parse", path("parse_in"), path("parse_out"), "*"}).exit_code, 2);
        const std::string reports = slurp(path("parse_out"));
        size_t breaks = 0;
        for (size_t at = reports.find("<BREAK>"); at != std::string::npos; at = reports.find("<BREAK>", at + 1))
            ++breaks;
        EXPECT_EQ(breaks + 1, std::max<size_t>(results, 1));
        ProcessResult a;
        const auto entries = assemble(text, &a);
        EXPECT_EQ(a.exit_code, 1) << a.err;
        EXPECT_GE(slurp(path("asm_out")).size(), 144u);
        EXPECT_EQ(entries.size(), results);
        for (const auto& e : entries) expect_entry_consistent(e, "damaged");
    }
    ProcessResult r;
    auto two = assemble(unbalanced_first, &r);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].positions.size(), 0u);
    EXPECT_GT(two[1].positions.size(), 0u);
    EXPECT_NE(r.err.find("element 0"), std::string::npos);

    ProcessResult usage = run({"-frobnicate", path("a"), path("b")});
    EXPECT_EQ(usage.exit_code, 2);
    EXPECT_NE(usage.err.find("stand-in"), std::string::npos);
    EXPECT_EQ(run({"-parse", path("nope"), path("parse_out")}).exit_code, 1);
    EXPECT_EQ(line_count(section(slurp(path("parse_out")), "ERRORS")), 1u);
}

TEST_F(KernelProcess, UnusableFilesAreReportedNotFatal) {
    spill(path("tiny"), "return box(1);");
    std::filesystem::create_directory(path("folder"));
    for (const char* input : {"folder", "/dev/zero"}) {  // unreadable; endless
        SCOPED_TRACE(input);
        const std::string in = input[0] == '/' ? input : path(input);
        EXPECT_EQ(run({"-parse", in, path("parse_out")}).exit_code, 1);
        EXPECT_EQ(line_count(section(slurp(path("parse_out")), "ERRORS")), 1u);
        EXPECT_EQ(run({"-compute", in, path("state"), "1"}).exit_code, 5);
    }
    EXPECT_NE(slurp(path("parse_out")).find("INPUT-TOO-LARGE"), std::string::npos);
    EXPECT_EQ(run({"-assemble", path("tiny"), path("asm_out"), "-ccpp", path("folder")}).exit_code, 4);
    EXPECT_EQ(run({"-parse", path("tiny"), path("folder")}).exit_code, 5);
    // A small output sits in the stream's buffer until the file is closed.
    EXPECT_EQ(run({"-parse", path("tiny"), "/dev/full"}).exit_code, 5);
    const ProcessResult compute = run({"-compute", path("tiny"), "/dev/full", "1"});
    EXPECT_EQ(compute.exit_code, 5);
    EXPECT_EQ(compute.out.find("written"), std::string::npos) << compute.out;
}

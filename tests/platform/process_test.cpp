#include "platform/process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/test_dir.h"

extern char** environ;

namespace {

int open_descriptor_count() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.') ++count;
    }
    closedir(dir);
    return count;
}

std::string sh(const std::string& script) {
    return run_process_capture("/bin/sh", {"-c", script});
}

}  // namespace

TEST(RunProcessCapture, StdoutAndStderrInWrittenOrder) {
    EXPECT_EQ(sh("echo out1; echo err1 >&2; echo out2; echo err2 >&2"), "out1\nerr1\nout2\nerr2\n");
    EXPECT_EQ(run_process_capture("printf", {"%s|%s", "a b", "*"}), "a b|*");
}

TEST(RunProcessCapture, LongLinesAndNulBytesSurvive) {
    EXPECT_EQ(sh("printf 'a\\000b\\000'"), std::string("a\0b\0", 4));
    EXPECT_EQ(sh("head -c 5000000 /dev/zero"), std::string(5000000, '\0'));
}

TEST(RunProcessCapture, MissingProgramGivesEmptyTextAndEndsTellHow) {
    int before = open_descriptor_count();
    ProcessEnd end;
    end.started = true;
    EXPECT_EQ(run_process_capture("/nonexistent/vrek", {"-interop"}, end), "");
    EXPECT_FALSE(end.started);
    EXPECT_EQ(run_process_capture("no-such-program-anywhere", {}), "");
    EXPECT_EQ(open_descriptor_count(), before);

    EXPECT_EQ(run_process_capture("/bin/sh", {"-c", "echo partial; exit 3"}, end), "partial\n");
    EXPECT_TRUE(end.started);
    EXPECT_FALSE(end.signalled);
    EXPECT_EQ(end.code, 3);
    EXPECT_EQ(run_process_capture("/bin/sh", {"-c", "kill -SEGV $$"}, end), "");
    EXPECT_TRUE(end.signalled);
    EXPECT_EQ(end.code, 11);
}

// A child started while another capture runs must not hold that capture's
// pipe: it would see the descriptors, and could keep the reader waiting.
TEST(RunProcessCapture, OtherChildrenDoNotInheritThePipe) {
    const std::string list = "ls /proc/$$/fd";
    const std::string alone = sh(list);
    std::atomic<bool> running{false};
    std::thread slow([&] {
        running = true;
        sh("sleep 1");
    });
    while (!running) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string meanwhile = sh(list);
    slow.join();
    EXPECT_EQ(meanwhile, alone);
}

TEST(RunProcessCapture, ConcurrentCallersEachGetTheirOwnOutput) {
    int before = open_descriptor_count();
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int k = 0; k < 10; ++k) {
                std::string expected = "thread " + std::to_string(t) + " run " + std::to_string(k) + "\n";
                std::string got = sh("sleep 0.0$((RANDOM % 3)); echo 'thread " + std::to_string(t) + " run " +
                                     std::to_string(k) + "'");
                if (got != expected) ++wrong;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(open_descriptor_count(), before);
}

TEST(CurrentDirectory, EndsWithLineFeed) {
    std::string pwd = get_current_directory();
    ASSERT_FALSE(pwd.empty());
    EXPECT_EQ(pwd.back(), '\n');
    EXPECT_EQ(pwd.substr(0, pwd.size() - 1), std::filesystem::current_path().string());
}

TEST(EnsureDirectory, CreatesNestedLevelsAndReportsFailure) {
    const TestDir made("vk_mkdir");
    const std::string root = made.path();
    ASSERT_FALSE(root.empty());
    EXPECT_TRUE(ensure_directory(root));
    EXPECT_TRUE(ensure_directory(root + "/a/b c/d/"));  // a blank stays inside one name
    EXPECT_TRUE(std::filesystem::is_directory(root + "/a/b c/d"));
    EXPECT_FALSE(std::filesystem::exists(root + "/a/b"));
    std::filesystem::create_directories(root + "/ro");
    std::filesystem::permissions(root + "/ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (geteuid() != 0) {  // root ignores permissions
        EXPECT_FALSE(ensure_directory(root + "/ro/x/"));
    }
    EXPECT_FALSE(ensure_directory("/dev/null/x/"));
    std::filesystem::permissions(root + "/ro", std::filesystem::perms::owner_all);
}

// A "mkdir" first on PATH that logs its arguments before doing the work.
struct LoggingMkdir : ::testing::Test {
    std::string root, log, old_path, old_cwd;
    void SetUp() override {
        char name[] = "/tmp/vk_mkdir_XXXXXX";
        root = mkdtemp(name);
        log = root + "/log";
        const std::string tool = root + "/bin/mkdir";
        std::filesystem::create_directories(root + "/bin");
        FILE* f = std::fopen(tool.c_str(), "w");
        std::fprintf(f, "#!/bin/sh\necho \"$*\" >> '%s'\nexec /bin/mkdir \"$@\"\n", log.c_str());
        std::fclose(f);
        std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
        old_path = std::getenv("PATH");
        setenv("PATH", (root + "/bin:" + old_path).c_str(), 1);
        old_cwd = std::filesystem::current_path();
        std::filesystem::current_path(root);
    }
    void TearDown() override {
        std::filesystem::current_path(old_cwd);
        setenv("PATH", old_path.c_str(), 1);
        std::filesystem::remove_all(root);
    }
    std::string logged() {
        std::ifstream in(log);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(LoggingMkdir, RunsOnlyWhenMissingTakesDashNamesAndReapsOnlyItsChild) {
    EXPECT_TRUE(ensure_directory(root + "/bin/"));
    EXPECT_EQ(logged(), "");  // it exists: no child at all

    // A finished child of someone else, not yet reaped: ours must not take it.
    const pid_t other = fork();
    if (other == 0) _exit(7);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(ensure_directory("-w/tmp/"));
    EXPECT_TRUE(std::filesystem::is_directory(root + "/-w/tmp"));
    EXPECT_EQ(logged(), "-p -- -w/tmp/\n");
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

namespace {

int64_t elapsed_ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
}

bool process_alive(pid_t pid) { return kill(pid, 0) == 0; }

}  // namespace

// A cancel ends the child and what it started: nothing of the group is left
// to hold the pipe or keep running.
TEST(RunProcessCapture, CancelEndsTheWholeGroup) {
    char name[] = "/tmp/vk_group_XXXXXX";
    const std::string dir = mkdtemp(name);
    int calls = 0;
    ProcessOptions options;
    options.cancel_data = &calls;
    options.cancel_requested = [](void* data) { return ++*static_cast<int*>(data) >= 10; };
    ProcessEnd end;
    const auto start = std::chrono::steady_clock::now();
    const std::string out = run_process_capture(
        "/bin/sh", {"-c", "sleep 30 & echo $! > '" + dir + "/child'; echo started; sleep 30"}, end, options);
    EXPECT_LT(elapsed_ms(start), 5000);
    EXPECT_EQ(out, "started\n");
    EXPECT_TRUE(end.started);
    EXPECT_TRUE(end.cancelled);
    EXPECT_TRUE(end.signalled);
    EXPECT_GE(calls, 10);
    std::ifstream child(dir + "/child");
    pid_t grandchild = 0;
    ASSERT_TRUE(child >> grandchild);
    for (int i = 0; i < 100 && process_alive(grandchild); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(process_alive(grandchild));
    std::filesystem::remove_all(dir);

    // A child that closed its output and works on is cancelled as soon.
    calls = 0;
    const auto closed = std::chrono::steady_clock::now();
    run_process_capture("/bin/sh", {"-c", "echo started; exec >/dev/null 2>&1; sleep 30"}, end, options);
    EXPECT_LT(elapsed_ms(closed), 2000);
    EXPECT_TRUE(end.cancelled);
    EXPECT_GE(calls, 10);
}

// The child ends but leaves a process behind that holds the pipe: the
// caller gets the output and the status without waiting for it.
TEST(RunProcessCapture, AProcessLeftBehindDoesNotHoldTheCallerBack) {
    ProcessEnd end;
    const auto start = std::chrono::steady_clock::now();
    const std::string out = run_process_capture("/bin/sh", {"-c", "sleep 30 & echo done; exit 4"}, end);
    EXPECT_LT(elapsed_ms(start), 5000);
    EXPECT_EQ(out, "done\n");
    EXPECT_FALSE(end.cancelled);
    EXPECT_EQ(end.code, 4);
}

TEST(RunProcessCapture, KeepsTheFirstAndLastBytesOfALargeOutput) {
    ProcessOptions options;
    options.keep_bytes = 1 << 20;
    ProcessEnd end;
    // 10 MiB of numbered lines, 16 bytes each.
    const std::string out = run_process_capture(
        "/bin/sh", {"-c", "seq -f '%015.0f' 1 655360"}, end, options);
    const uint64_t total = uint64_t(655360) * 16;
    EXPECT_EQ(end.left_out, total - (1 << 20));
    EXPECT_LT(out.size(), size_t(1 << 20) + 100);
    EXPECT_EQ(out.compare(0, 32, "000000000000001\n000000000000002\n"), 0);
    const std::string last = "000000000655360\n";
    EXPECT_EQ(out.compare(out.size() - last.size(), last.size(), last), 0);
    const std::string note = "[... " + std::to_string(total - (1 << 20)) + " bytes of output left out ...]\n";
    EXPECT_NE(out.find("\n" + note), std::string::npos);

    // Under the bound nothing is left out.
    EXPECT_EQ(run_process_capture("/bin/sh", {"-c", "echo small"}, end, options), "small\n");
    EXPECT_EQ(end.left_out, 0u);
}

TEST(RunProcessCapture, SaysWhyAProgramCouldNotStart) {
    char name[] = "/tmp/vk_start_XXXXXX";
    const std::string dir = mkdtemp(name);
    std::ofstream(dir + "/plain") << "#!/bin/sh\necho hi\n";
    ProcessEnd end;
    for (const std::string& program : {dir, dir + "/plain", dir + "/missing"}) {
        EXPECT_EQ(run_process_capture(program, {}, end), "") << program;
        EXPECT_FALSE(end.started) << program;
        EXPECT_NE(end.start_error, 0) << program;
    }
    std::filesystem::remove_all(dir);
}

namespace {

std::string read_whole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Whether the "sleep" process `pid` is still in the process table: running,
// or ended and not yet reaped. It may still be on its way there, through
// the shell's fork and "setsid".
bool sleeper_remains(pid_t pid) {
    if (pid <= 0) return false;
    const std::string stat = "/proc/" + std::to_string(pid) + "/stat";
    for (int i = 0; i < 100; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
        const std::string line = read_whole(stat);
        if (line.find(" (sh) ") == std::string::npos && line.find(" (setsid) ") == std::string::npos &&
            line.find(" (env) ") == std::string::npos)
            return line.find(" (sleep) ") != std::string::npos;
    }
    return false;
}

// The pid a script wrote to `file`; a sleeper still there is ended, so a
// failed test leaves nothing running.
pid_t leftover_in(const std::string& file, bool& remained) {
    pid_t pid = 0;
    std::ifstream(file) >> pid;
    remained = sleeper_remains(pid);
    if (remained) kill(pid, SIGKILL);
    return pid;
}

// Starts `sh -c script` as a library would, not through a run; its pid.
pid_t spawn_plain(const std::string& script, char* const* environment = environ) {
    const char* argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
    pid_t pid = -1;
    posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environment);
    return pid;
}

}  // namespace

// A child that starts a process in a session of its own (out of reach of a
// group kill) and then exits, holding the pipe or not, or is cancelled: the
// run still ends it, and the run's status is the child's own. So it does
// with one left in the group without the run's environment.
TEST(RunLeftovers, ARunEndsWhatItsChildStartedInASessionOfItsOwn) {
    const TestDir dir("vk_leftover");
    const std::string file = dir.path() + "/pid";
    const std::string write_pid = " & echo $! > \"$1\"; ";
    ProcessEnd end;
    for (const std::string leave : {"setsid sleep 987", "setsid sleep 987 >/dev/null 2>&1",
                                     "env -i sleep 987 >/dev/null 2>&1"}) {
        const std::string out =
            run_process_capture("/bin/sh", {"-c", leave + write_pid + "echo done; exit 5", "sh", file}, end);
        EXPECT_EQ(out, "done\n");
        EXPECT_EQ(end.code, 5);
        bool remained = true;
        EXPECT_GT(leftover_in(file, remained), 0);
        EXPECT_FALSE(remained) << "left running: " << leave;
    }
    int calls = 0;
    ProcessOptions options;
    options.cancel_data = &calls;
    options.cancel_requested = [](void* data) { return ++*static_cast<int*>(data) >= 10; };
    run_process_capture("/bin/sh", {"-c", "setsid sleep 987 >/dev/null" + write_pid + "sleep 30", "sh", file}, end,
                        options);
    EXPECT_TRUE(end.cancelled);
    bool remained = true;
    EXPECT_GT(leftover_in(file, remained), 0);
    EXPECT_FALSE(remained) << "left running after the cancel";
}

// What the process started otherwise is left alone, running or finished:
// a child of its own (as a library starts one) keeps its status for its
// waiter, and an orphan handed over from such a child keeps running, also
// through the end of the program. Only a run's leftovers go then.
TEST(RunLeftovers, OnlyWhatARunStartedIsEnded) {
    const TestDir dir("vk_leftover");
    const std::string orphan_file = dir.path() + "/orphan", run_file = dir.path() + "/run";
    run_process_capture("true", {});  // the process now adopts orphans
    const pid_t finished = spawn_plain("exit 7");
    const pid_t running = spawn_plain("exec sleep 30");
    waitpid(spawn_plain("setsid sleep 988 >/dev/null 2>&1 & echo $! > '" + orphan_file + "'"), nullptr, 0);
    // Left by a run whose own end did not come (the program ends first).
    const std::string mark = sh("printf %s \"$VREKFORM_RUN\"");
    const std::string tag = "VREKFORM_RUN=" + mark.substr(0, mark.rfind('.') + 1) + "0";
    std::vector<char*> environment = {const_cast<char*>(tag.c_str()), nullptr};
    waitpid(spawn_plain("setsid sleep 987 >/dev/null 2>&1 & echo $! > '" + run_file + "'", environment.data()),
            nullptr, 0);
    // A launcher's helper, marked with the pid the program was to have.
    const std::string launcher_tag = "VREKFORM_RUN=" + std::to_string(getpid()) + ".1";
    std::vector<char*> launched = {const_cast<char*>(launcher_tag.c_str()), nullptr};
    const pid_t helper = spawn_plain("exec sleep 30", launched.data());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    EXPECT_EQ(sh("echo ran"), "ran\n");
    end_run_leftovers();
    int status = 0;
    ASSERT_EQ(waitpid(finished, &status, 0), finished);
    EXPECT_EQ(WEXITSTATUS(status), 7);
    for (const pid_t survivor : {running, helper}) {
        EXPECT_TRUE(process_alive(survivor)) << survivor;
        kill(survivor, SIGKILL);
        ASSERT_EQ(waitpid(survivor, &status, 0), survivor);
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
    }
    bool remained = false;
    pid_t orphan = leftover_in(orphan_file, remained);
    EXPECT_TRUE(remained);
    if (orphan > 0) waitpid(orphan, nullptr, 0);
    EXPECT_GT(leftover_in(run_file, remained), 0);
    EXPECT_FALSE(remained) << "a run's leftover outlived the program's end";
}

// Runs on several threads, each leaving a process behind, while a child of
// the test's own ends: every run gets its own child's status, nothing of
// theirs remains, and the test's child's status stays for the test.
TEST(RunLeftovers, ConcurrentRunsKeepTheirStatusesAndEndTheirLeftovers) {
    const TestDir dir("vk_leftover");
    const pid_t own = spawn_plain("sleep 0.5; exit 9");
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([t, &wrong, &dir] {
            for (int k = 0; k < 5; ++k) {
                const std::string file = dir.path() + "/" + std::to_string(t) + "_" + std::to_string(k);
                ProcessEnd end;
                run_process_capture("/bin/sh",
                                    {"-c", "setsid sleep 987 >/dev/null 2>&1 & echo $! > \"$1\"; exit $2", "sh", file,
                                     std::to_string(10 + t * 5 + k)},
                                    end);
                bool remained = false;
                if (end.code != 10 + t * 5 + k || leftover_in(file, remained) <= 0 || remained) ++wrong;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
    int status = 0;
    ASSERT_EQ(waitpid(own, &status, 0), own);
    EXPECT_EQ(WEXITSTATUS(status), 9);
}

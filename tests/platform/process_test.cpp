#include "platform/process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <dirent.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

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
    EXPECT_EQ(sh("true"), "");
    EXPECT_EQ(run_process_capture("printf", {"%s|%s", "a b", "*"}), "a b|*");
}

TEST(RunProcessCapture, LongLinesAndNulBytesSurvive) {
    std::string line = sh("head -c 3000 /dev/zero | tr '\\0' 'x'");
    EXPECT_EQ(line, std::string(3000, 'x'));
    EXPECT_EQ(sh("printf 'a\\000b\\000'"), std::string("a\0b\0", 4));
    std::string big = sh("head -c 5000000 /dev/zero");
    EXPECT_EQ(big.size(), 5000000u);
}

TEST(RunProcessCapture, MissingProgramGivesEmptyText) {
    int before = open_descriptor_count();
    EXPECT_EQ(run_process_capture("/nonexistent/vrek", {"-interop"}), "");
    EXPECT_EQ(run_process_capture("no-such-program-anywhere", {}), "");
    EXPECT_EQ(open_descriptor_count(), before);
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
    char name[] = "/tmp/vk_mkdir_XXXXXX";
    std::string root = mkdtemp(name);
    EXPECT_TRUE(ensure_directory(root));
    EXPECT_TRUE(ensure_directory(root + "/a/b/c/"));
    EXPECT_TRUE(std::filesystem::is_directory(root + "/a/b/c"));
    std::filesystem::create_directories(root + "/ro");
    std::filesystem::permissions(root + "/ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (geteuid() != 0) {  // root ignores permissions
        EXPECT_FALSE(ensure_directory(root + "/ro/x/"));
    }
    EXPECT_FALSE(ensure_directory("/dev/null/x/"));
    std::filesystem::permissions(root + "/ro", std::filesystem::perms::owner_all);
    std::filesystem::remove_all(root);
}

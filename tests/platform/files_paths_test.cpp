#include "platform/files.h"
#include "platform/paths.h"
#include "platform/termination.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/full_disk.h"
#include "support/test_dir.h"

namespace fs = std::filesystem;

namespace {

// Under the build folder, so a checkout in a deep folder with blanks
// gives these paths blanks too.
struct TempDir {
    TestDir made{"vk_files"};
    std::string path = made.path();
    ~TempDir() {  // a test may have taken the owner's rights away
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

void touch(const std::string& path, const std::string& content = "x") {
    std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

TEST(Files, WholeFileRoundTrip) {
    TempDir dir;
    std::string bytes("a\0b\nc\xff", 6);
    ASSERT_TRUE(write_text_file(dir / "f", bytes));
    EXPECT_EQ(read_file(dir / "f"), bytes);
    ASSERT_TRUE(write_text_file(dir / "f", ""));
    EXPECT_EQ(fs::file_size(dir / "f"), 0u);
    EXPECT_EQ(read_file(dir / "f"), "");
    std::string big(3 << 20, 'q');
    ASSERT_TRUE(write_text_file(dir / "big", big));
    EXPECT_EQ(read_file(dir / "big"), big);
}

TEST(Files, FailuresAreReportedNotHidden) {
    TempDir dir;
    testing::internal::CaptureStdout();
    EXPECT_EQ(read_file(dir / "missing"), "");
    EXPECT_EQ(read_file(dir.path), "");  // a directory is not a file
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Error Parsing File : " + (dir / "missing") + " : Failed To Read File Data.\n"),
              std::string::npos);
    EXPECT_NE(printed.find("Error Parsing File : " + dir.path + " : Failed To Read File Data.\n"), std::string::npos);

    EXPECT_FALSE(write_text_file(dir / "no/such/dir/f", "x"));
    EXPECT_FALSE(write_text_file("/dev/full", "does not fit"));
}

std::vector<std::string> names_in(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A FIFO, a device and a file over the limit are refused with a reason,
// at once: nothing waits for a writer and nothing fills the memory.
TEST(Files, OnlyRegularFilesWithinTheLimitAreRead) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink((dir / "fifo").c_str(), (dir / "fifo.vrek").c_str()), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir / "zero.vrek").c_str()), 0);
    // Should a read block in open(), a writer coming later releases it, so
    // that the test fails on its timing instead of hanging.
    std::atomic<bool> done{false};
    const auto start = std::chrono::steady_clock::now();
    std::thread rescue([&] {
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) continue;
            const int fd = open((dir / "fifo").c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) close(fd);
        }
    });
    testing::internal::CaptureStdout();
    EXPECT_EQ(read_file(dir / "fifo.vrek"), "");
    EXPECT_TRUE(path_exists(dir / "fifo.vrek"));
    EXPECT_EQ(read_file(dir / "zero.vrek"), "");
    const std::string printed = testing::internal::GetCapturedStdout();
    done = true;
    rescue.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_NE(printed.find("Error Parsing File : " + (dir / "fifo.vrek") + " : Failed To Read File Data.\n"),
              std::string::npos);
    EXPECT_NE(printed.find("Error Parsing File : " + (dir / "zero.vrek") + " : Failed To Read File Data.\n"),
              std::string::npos);
    for (const std::string& refused : {dir / "fifo.vrek", dir / "zero.vrek", dir.path}) {
        const FileText read = read_regular_file(refused, 1 << 20);
        EXPECT_EQ(read.error, "not a regular file") << refused;
        EXPECT_EQ(read.text, "") << refused;
        EXPECT_EQ(regular_file_problem(refused, 1 << 20), "not a regular file") << refused;
    }
    EXPECT_EQ(regular_file_problem(dir / "missing", 1 << 20), "No such file or directory");

    // The limit is inclusive; a file without a size (/proc) is cut at it.
    touch(dir / "ten", "0123456789");
    EXPECT_EQ(read_regular_file(dir / "ten", 10).text, "0123456789");
    EXPECT_EQ(regular_file_problem(dir / "ten", 10), "");
    const FileText over = read_regular_file(dir / "ten", 9);
    EXPECT_EQ(over.error, "larger than 9 bytes");
    EXPECT_EQ(over.text, "");
    EXPECT_EQ(regular_file_problem(dir / "ten", 9), "larger than 9 bytes");
    EXPECT_NE(read_file("/proc/self/status").find("Name:"), std::string::npos);
    EXPECT_EQ(read_regular_file("/proc/self/status", 16).error, "larger than 16 bytes");
}

// A replaced file is the whole new text or, on failure, the old file as it
// was; no temporary file stays behind either way.
TEST(Files, ReplacedOnlyWhenWrittenWhole) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(replace_file(dir / "report", "old report", error)) << error;
    EXPECT_EQ(read_file(dir / "report"), "old report");
    {
        const FullDisk full(4);
        EXPECT_FALSE(replace_file(dir / "report", "a longer new report", error));
    }
    EXPECT_EQ(error, "File too large");
    EXPECT_EQ(read_file(dir / "report"), "old report");
    EXPECT_EQ(names_in(dir.path), std::vector<std::string>{"report"});
    ASSERT_TRUE(replace_file(dir / "report", "new", error));
    EXPECT_EQ(read_file(dir / "report"), "new");
    EXPECT_EQ(names_in(dir.path), std::vector<std::string>{"report"});

    EXPECT_FALSE(replace_file(dir / "gone/report", "x", error));
    EXPECT_EQ(error, "No such file or directory");
    // A device is never replaced, nor a temporary file made beside it.
    EXPECT_FALSE(replace_file("/dev/full", "x", error));
    EXPECT_EQ(error, "not a regular file");
    struct stat info;
    EXPECT_TRUE(stat("/dev/full", &info) == 0 && S_ISCHR(info.st_mode));
}

// A signal that ends the program while a file is being replaced removes
// the temporary file at once, and the write in progress (one long call)
// stops; the earlier file stays whole. A second signal ends the process.
TEST(Files, AnEndingSignalRemovesTheTemporaryFileAndStopsTheWrite) {
    TempDir dir;
    const std::string target = dir / "environment.stl";
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        touch(target, "old file");
        std::fflush(stdout);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            install_termination_handling();
            // Untouched anonymous pages: a long write that costs no memory.
            const size_t size = size_t(1) << 30;
            void* zeros = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            ReplacementFile file;
            std::string error;
            if (zeros == MAP_FAILED || !replacement_open(file, target, error)) _exit(3);
            int code = 0;
            const bool whole = write_all_bytes(file.fd, static_cast<const char*>(zeros), size, code);
            struct stat info;
            const bool stopped = fstat(file.fd, &info) == 0 && static_cast<size_t>(info.st_size) < size;
            const bool committed = replacement_commit(file, code, error);
            _exit(!whole && stopped && !committed && code == ECANCELED && termination_signal() == sig ? 0 : 1);
        }
        // Signalled once the temporary file has grown: mid-write.
        bool writing = false;
        for (int i = 0; i < 10'000 && !writing; ++i) {
            for (const std::string& name : names_in(dir.path)) {
                struct stat info;
                if (name[0] == '.' && stat((dir / name).c_str(), &info) == 0 && info.st_size >= (8 << 20))
                    writing = true;
            }
            if (!writing) usleep(500);
        }
        EXPECT_TRUE(writing);
        kill(child, sig);
        int status = -1;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "signal " << sig << ": " << (WIFEXITED(status) ? "exit " : "killed by ")
            << (WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
        EXPECT_EQ(names_in(dir.path), std::vector<std::string>{"environment.stl"}) << "signal " << sig;
        EXPECT_EQ(read_file(target), "old file");
    }

    // Asked twice, the process ends by the signal, the file removed all the same.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        install_termination_handling();
        ReplacementFile file;
        std::string error;
        if (!replacement_open(file, target, error)) _exit(3);
        raise(SIGINT);
        raise(SIGINT);
        _exit(4);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    EXPECT_EQ(names_in(dir.path), std::vector<std::string>{"environment.stl"});
}

// Temporary files of processes that no longer run go when a file is next
// replaced in their folder; nothing else does: not those of a running
// process, not names of another form (a user's ".notes.20240612-1"), not folders.
TEST(Files, ReplacingRemovesOnlyTheTemporaryFilesOfEndedProcesses) {
    TempDir dir;
    const pid_t ended = fork();
    ASSERT_GE(ended, 0);
    if (ended == 0) _exit(0);
    ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
    const auto ours = [](long pid) {  // the two numbers are ten digits
        const std::string digits = std::to_string(pid);
        return ".vrekform-tmp-" + std::string(10 - digits.size(), '0') + digits;
    };
    const std::string gone = ours(ended), bare = std::to_string(ended), folder = gone + "-0000000002";
    const std::vector<std::string> stale = {gone + "-0000000008", gone + "-4294967295"};
    const std::vector<std::string> kept = {ours(getppid()) + "-0000000000", ".profile", gone + "-000000001x",
                                           gone + "-00000000010", ".vrekform-tmp-" + bare + "-0000000001",
                                           ".environment.stl." + bare + "-1", ".notes.20240612-1", folder};
    for (const std::string& name : stale) touch(dir / name);
    for (const std::string& name : kept)
        if (name == folder) fs::create_directory(dir / name);
        else touch(dir / name);
    std::string error;
    ASSERT_TRUE(replace_file(dir / "environment.stl", "new", error)) << error;
    std::vector<std::string> expected = kept;
    expected.push_back("environment.stl");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names_in(dir.path), expected);

    long pid = 0;
    EXPECT_TRUE(temporary_name_pid(stale[1], pid));
    EXPECT_EQ(pid, static_cast<long>(ended));
    for (const char* name : {".vrekform-tmp-0000000000-0000000001", ".vrekform-tmp-9999999999-0000000001"})
        EXPECT_FALSE(temporary_name_pid(name, pid)) << name;
}

class KernelAndWorkspacePaths : public testing::Test {
protected:
    void SetUp() override { reset_paths_for_tests(); }
    void TearDown() override { reset_paths_for_tests(); }
    TempDir dir;
};

TEST_F(KernelAndWorkspacePaths, KernelNameAndExistence) {
    EXPECT_FALSE(set_kernel_path(""));
    EXPECT_EQ(kernel_path_state, PATH_UNDEFINED);
    EXPECT_EQ(kernel_path_status, "UNDEFINED");

    touch(dir / "vrek");
    fs::permissions(dir / "vrek", fs::perms::owner_exec, fs::perm_options::add);
    EXPECT_TRUE(set_kernel_path(dir / "vrek"));
    fs::create_directories(dir / "bin");
    touch(dir / "bin/vrek.exe");
    fs::permissions(dir / "bin/vrek.exe", fs::perms::owner_exec, fs::perm_options::add);
    EXPECT_TRUE(set_kernel_path(dir / "bin/vrek.exe"));

    EXPECT_FALSE(set_kernel_path(dir / "other/vrek"));
    EXPECT_EQ(kernel_path_state, PATH_INVALID);
    EXPECT_EQ(kernel_path_status, "INVALID");
    touch(dir / "VREK");
    touch(dir / "vrek2");
    EXPECT_FALSE(set_kernel_path(dir / "VREK"));
    EXPECT_FALSE(set_kernel_path(dir / "vrek2"));
    EXPECT_FALSE(set_kernel_path("vre"));

    // Only an executable regular file can be run: a directory, a file
    // without execute permission or a device is no kernel, and says why.
    fs::create_directories(dir / "d/vrek");
    EXPECT_FALSE(set_kernel_path(dir / "d/vrek"));
    EXPECT_EQ(kernel_path, dir / "d/vrek");
    EXPECT_EQ(kernel_path_status, "INVALID");
    EXPECT_EQ(kernel_path_problem(dir / "d/vrek"), "'" + (dir / "d/vrek") + "' is a directory");
    fs::create_directories(dir / "plain");
    touch(dir / "plain/vrek");
    EXPECT_FALSE(set_kernel_path(dir / "plain/vrek"));
    EXPECT_EQ(kernel_path_problem(dir / "plain/vrek"), "'" + (dir / "plain/vrek") + "' is not executable");
    EXPECT_EQ(kernel_path_problem("/dev/null"), "'/dev/null' is not a regular file");
    EXPECT_EQ(kernel_path_problem(dir / "none"), "'" + (dir / "none") + "' does not exist");
    // A link to the executable is followed.
    fs::create_directories(dir / "link");
    fs::create_symlink(dir / "vrek", dir / "link/vrek");
    EXPECT_TRUE(set_kernel_path(dir / "link/vrek"));
}

TEST_F(KernelAndWorkspacePaths, WorkspaceKeepsItsFormAndJoinsOnce) {
    EXPECT_TRUE(set_workspace_path(dir.path));
    EXPECT_EQ(workspace_path, dir.path);
    EXPECT_EQ(staging_directory(), dir.path + "/tmp/");
    EXPECT_TRUE(set_workspace_path(dir.path + "/"));
    EXPECT_EQ(staging_directory(), dir.path + "/tmp/");
    EXPECT_EQ(workspace_file(dir.path + "/", "tmp/vrek_parse_in"), dir.path + "/tmp/vrek_parse_in");
    EXPECT_EQ(workspace_file("", "tmp/x"), "tmp/x");

    touch(dir / "file");
    EXPECT_FALSE(set_workspace_path(dir / "file"));
    EXPECT_EQ(workspace_path_status, "INVALID");
    EXPECT_FALSE(set_workspace_path(dir / "missing"));
    EXPECT_FALSE(set_workspace_path(""));
    EXPECT_EQ(workspace_path_state, PATH_UNDEFINED);
}

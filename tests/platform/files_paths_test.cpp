#include "platform/files.h"
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TempDir {
    std::string path;
    TempDir() {
        char name[] = "/tmp/vk_files_XXXXXX";
        path = mkdtemp(name);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, ignored);
        fs::remove_all(path, ignored);
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

// Banner and command line of the application main.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/paths.h"
#include "app/app_main.h"
#include "support/app_fixture.h"

namespace fs = std::filesystem;

namespace {

struct CommandLine : AppFixture {
    std::string root;
    std::string kernel;

    CommandLine() {
        char name[] = "/tmp/vk_cmdline_XXXXXX";
        root = mkdtemp(name);
        kernel = root + "/vrek";
        std::ofstream(kernel) << "#!/bin/sh\n";
        fs::permissions(kernel, fs::perms::owner_exec, fs::perm_options::add);
        fs::create_directory(root + "/ws");
    }
    ~CommandLine() override { fs::remove_all(root); }

    std::string run(const std::vector<std::string>& arguments) {
        capture_stdout();
        read_command_line(arguments);
        return captured_stdout();
    }
};

TEST_F(CommandLine, BannerLinesCloseInColumnFifty) {
    capture_stdout();
    print_banner();
    const std::string out = captured_stdout();
    EXPECT_EQ(out.substr(0, 51), std::string(50, '-') + "\n");
    std::istringstream lines(out);
    std::string line;
    int framed = 0;
    while (std::getline(lines, line)) {
        EXPECT_EQ(line.size(), 50u) << line;
        if (line[0] != '%') continue;
        ++framed;
        EXPECT_EQ(line.back(), '%') << line;
    }
    EXPECT_GE(framed, 4);
    EXPECT_NE(out.find("%  VREK-EI "), std::string::npos);
    EXPECT_NE(out.find("%    > Build-Version: 0.2.5 "), std::string::npos);
}

TEST_F(CommandLine, NoArgumentsOrKernelOnly) {
    EXPECT_EQ(run({}), "");
    EXPECT_EQ(kernel_path_state, PATH_UNDEFINED);
    EXPECT_EQ(run({kernel}), "EXEC:[\"" + kernel + "\"];\n");
    EXPECT_EQ(kernel_path_state, PATH_VALID);
    EXPECT_EQ(workspace_path_state, PATH_UNDEFINED);

    // A bare "vrek" means the one in the current directory, checked there.
    EXPECT_EQ(run({"vrek"}), "ERROR: the specified kernel executable does not exist.\nEXEC:[\"./vrek\"];\n");
    EXPECT_EQ(kernel_path, "./vrek");

    // A kernel that exists but can not be run is no kernel, and says why.
    fs::create_directories(root + "/d/vrek");
    EXPECT_EQ(run({root + "/d/vrek"}), "ERROR: the specified kernel executable can not be run: '" + root +
                                           "/d/vrek' is a directory.\nEXEC:[\"" + root + "/d/vrek\"];\n");
    EXPECT_EQ(kernel_path_state, PATH_INVALID);
    fs::permissions(kernel, fs::perms::owner_exec, fs::perm_options::remove);
    EXPECT_EQ(run({kernel, root + "/ws"}).rfind("ERROR: the specified kernel executable can not be run: '" + kernel +
                                               "' is not executable.\n", 0), 0u);
    EXPECT_EQ(kernel_path_state, PATH_INVALID);
}

TEST_F(CommandLine, KernelAndWorkspace) {
    const std::string ws = root + "/ws";
    EXPECT_EQ(run({kernel, ws}), "EXEC:[\"" + kernel + "\"];\nTEMP:[\"" + ws + "\"];\n");
    EXPECT_EQ(workspace_path, ws + "/");
    EXPECT_EQ(workspace_path_state, PATH_VALID);
    EXPECT_TRUE(fs::is_directory(ws + "/tmp"));

    // With the trailing "/" the staging directory is argument + "tmp/".
    fs::remove_all(ws + "/tmp");
    run({kernel, ws + "/"});
    EXPECT_EQ(workspace_path, ws + "/");
    EXPECT_TRUE(fs::is_directory(ws + "/tmp"));
}

TEST_F(CommandLine, MissingPathsAreReportedAndStartUpGoesOn) {
    const std::string out = run({"", root + "/absent", "-IC"});
    EXPECT_EQ(out,
              "ERROR: the specified kernel executable does not exist.\n"
              "ERROR: the specified entity workspace does not exist.\n"
              "EXEC:[\"\"];\nTEMP:[\"" + root + "/absent\"];\n");
    EXPECT_FALSE(fs::exists(root + "/absent"));
    EXPECT_EQ(interactive_config_flag, 1);  // the option counts even so
}

TEST_F(CommandLine, InteractiveOptionInAnyCase) {
    for (const char* option : {"-ic", "--Ic", "-interactive-CONFIG", "--INTERACTIVE-CONFIG"}) {
        interactive_config_flag = 0;
        run({kernel, root + "/ws", option});
        EXPECT_EQ(interactive_config_flag, 1) << option;
    }
    interactive_config_flag = 0;
    EXPECT_EQ(run({kernel, root + "/ws", "-x"}).find("ERROR"), std::string::npos);
    EXPECT_EQ(interactive_config_flag, 0);
}

TEST_F(CommandLine, MoreThanThreeArgumentsAreIgnored) {
    EXPECT_EQ(run({kernel, root + "/ws", "-ic", "extra"}),
              "ERROR: expected 0, 1 or 2 command-line arguments.\nNOTE: ignoring command-line arguments.\n");
    EXPECT_EQ(kernel_path_state, PATH_UNDEFINED);
    EXPECT_EQ(interactive_config_flag, 0);
}

// A workspace name with blanks, quotes and a leading "-" reaches the file
// system as it is: it is never taken for an option of "mkdir".
TEST_F(CommandLine, OddWorkspaceNamesAreTakenLiterally) {
    const std::string odd = "-odd \"ws\" 'dir'";
    fs::create_directory(root + "/" + odd);
    const fs::path before = fs::current_path();
    fs::current_path(root);
    const std::string out = run({kernel, odd});
    fs::current_path(before);
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    EXPECT_TRUE(fs::is_directory(root + "/" + odd + "/tmp"));
    EXPECT_EQ(workspace_path, odd + "/");
}

}  // namespace

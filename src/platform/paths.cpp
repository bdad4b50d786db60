#include "platform/paths.h"

#include "platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

const char* const path_state_names[3] = {"UNDEFINED", "INVALID", "VALID"};

PathState kernel_path_state = PATH_UNDEFINED;
PathState workspace_path_state = PATH_UNDEFINED;
// The status texts start from the states above (UNDEFINED at load).
std::string kernel_path;
std::string workspace_path;
std::string kernel_path_status = path_state_names[kernel_path_state];
std::string workspace_path_status = path_state_names[workspace_path_state];
int64_t app_start_ms = 0;
uint8_t interactive_config_flag = 0;

namespace {

bool ends_with(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string kernel_path_problem(const std::string& path) {
    const std::string quoted = "'" + path + "'";
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) return quoted + " does not exist";
    if (S_ISDIR(info.st_mode)) return quoted + " is a directory";
    if (!S_ISREG(info.st_mode)) return quoted + " is not a regular file";
    if (access(path.c_str(), X_OK) != 0) return quoted + " is not executable";
    return std::string();
}

bool set_kernel_path(const std::string& path) {
    kernel_path = path;
    if (path.empty()) {
        kernel_path_state = PATH_UNDEFINED;
    } else if ((ends_with(path, "vrek") || ends_with(path, "vrek.exe")) && kernel_path_problem(path).empty()) {
        kernel_path_state = PATH_VALID;
    } else {
        kernel_path_state = PATH_INVALID;
    }
    kernel_path_status = path_state_names[kernel_path_state];
    return kernel_path_state == PATH_VALID;
}

bool set_workspace_path(const std::string& path) {
    workspace_path = path;
    if (path.empty()) {
        workspace_path_state = PATH_UNDEFINED;
    } else {
        // With a "/" appended only a directory opens.
        std::string directory = path.back() == '/' ? path : path + "/";
        workspace_path_state = path_exists(directory) ? PATH_VALID : PATH_INVALID;
    }
    workspace_path_status = path_state_names[workspace_path_state];
    return workspace_path_state == PATH_VALID;
}

std::string workspace_file(const std::string& workspace, const std::string& relative) {
    if (workspace.empty() || workspace.back() == '/') {
        return workspace + relative;
    }
    return workspace + "/" + relative;
}

std::string staging_directory() {
    return workspace_file(workspace_path, "tmp/");
}

void reset_paths_for_tests() {
    kernel_path.clear();
    kernel_path_state = PATH_UNDEFINED;
    kernel_path_status = "UNDEFINED";
    workspace_path.clear();
    workspace_path_state = PATH_UNDEFINED;
    workspace_path_status = "UNDEFINED";
    app_start_ms = 0;
    interactive_config_flag = 0;
}

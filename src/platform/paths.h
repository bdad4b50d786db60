#pragma once
#include <cstdint>
#include <string>

// Validation state of the kernel and workspace paths.
using PathState = int32_t;
enum : PathState { PATH_UNDEFINED = 0, PATH_INVALID = 1, PATH_VALID = 2 };
extern const char* const path_state_names[3];

// Program-wide path values: written on the main thread only, read also by
// the parallel assembly workers while no setter can run.
extern std::string kernel_path;
extern PathState kernel_path_state;
extern std::string kernel_path_status;
extern std::string workspace_path;
extern PathState workspace_path_state;
extern std::string workspace_path_status;

// When the process started (milliseconds since the epoch, recorded before
// the art is generated), and whether the command line asked for the
// interactive configuration ("-IC").
extern int64_t app_start_ms;
extern uint8_t interactive_config_flag;

// Why no kernel can be started from `path` ("'<path>' is a directory", "...
// does not exist", "... is not a regular file", "... is not executable"),
// or "" when it is an executable regular file (links followed).
std::string kernel_path_problem(const std::string& path);

// VALID only for a kernel name ("vrek", "vrek.exe" at the end) naming an
// executable regular file.
bool set_kernel_path(const std::string& path);
bool set_workspace_path(const std::string& path);

// The workspace joined with a relative path ("tmp/vrek_parse_in") with
// exactly one "/" between them, whatever form the workspace string has.
// Every staged file path is built here.
std::string workspace_file(const std::string& workspace, const std::string& relative);
// workspace_file(workspace_path, "tmp/") : the staging directory.
std::string staging_directory();

// Restores the initial (UNDEFINED, empty, 0) values. For tests.
void reset_paths_for_tests();

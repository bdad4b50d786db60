#pragma once
#include <string>
#include <vector>

// Runs `program` (a path, or a bare name looked up on PATH; no shell) with
// `arguments`, captures standard output and standard error together in the
// order written, waits for that child only and returns the text. Returns ""
// when the child cannot be started. Safe to call from several threads.
std::string run_process_capture(const std::string& program, const std::vector<std::string>& arguments);

// How a child ended.
struct ProcessEnd {
    bool started = false;
    bool signalled = false;  // killed by signal `code`; otherwise it exited with status `code`
    int code = 0;
};

// The same, and how the child ended in `end`.
std::string run_process_capture(const std::string& program, const std::vector<std::string>& arguments,
                                ProcessEnd& end);

// The output of "pwd", line feed included.
std::string get_current_directory();

// Creates the directory (with parents, "mkdir -p") unless it can already be
// opened; returns whether it can be opened afterwards. A path that starts
// with "-" is still a path.
bool ensure_directory(const std::string& path);

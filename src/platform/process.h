#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Runs `program` (a path, or a bare name looked up on PATH; no shell) with
// `arguments`, captures standard output and standard error together in the
// order written, waits for that child only and returns the text. Returns ""
// when the child cannot be started. Safe to call from several threads. The
// child runs in a process group of its own, with
// "VREKFORM_RUN=<this process's pid>.<token>.<run number>" added to its environment
// (the token is drawn once per process, so no launcher can forge it).
// The first run makes this process the subreaper of what it starts (Linux):
// a process the child leaves behind, also one in a session of its own,
// stays this process's descendant. When the run ends, normally or
// cancelled, every such descendant that still carries the run's variable is
// ended and reaped, and so is every process handed to this one that has
// already ended outside its process group.
std::string run_process_capture(const std::string& program, const std::vector<std::string>& arguments);

// How a child ended.
struct ProcessEnd {
    bool started = false;
    int start_error = 0;     // errno value when it could not be started
    bool signalled = false;  // killed by signal `code`; otherwise it exited with status `code`
    int code = 0;
    bool cancelled = false;  // ended on the caller's request (then also signalled)
    uint64_t left_out = 0;   // output bytes not kept (see ProcessOptions::keep_bytes)
};

// What a caller may ask of a run besides the capture.
struct ProcessOptions {
    // Called on the calling thread about every 20 ms while the child runs;
    // when it answers true the child's whole process group is killed and
    // the run ends as cancelled.
    bool (*cancel_requested)(void* data) = nullptr;
    void* cancel_data = nullptr;
    // At most this many output bytes are kept: the first and the last half,
    // joined by a line saying how many bytes were left out. 0 keeps all.
    size_t keep_bytes = 0;
};

// The same, and how the child ended in `end`.
std::string run_process_capture(const std::string& program, const std::vector<std::string>& arguments,
                                ProcessEnd& end);
std::string run_process_capture(const std::string& program, const std::vector<std::string>& arguments,
                                ProcessEnd& end, const ProcessOptions& options);

// Ends and reaps what any run of this process left behind, as the end of
// each run does for its own; the program calls it as it ends. A process
// that cleared the variable from its environment, or whose environment
// cannot be read (a set-user-ID program), is not recognised as a run's and
// is left alone; so is everything the process started otherwise.
void end_run_leftovers();

// The output of "pwd", line feed included.
std::string get_current_directory();

// Creates the directory (with parents, "mkdir -p") unless it can already be
// opened; returns whether it can be opened afterwards. A path that starts
// with "-" is still a path.
bool ensure_directory(const std::string& path);

// The CPUs this process may run on: its affinity mask, which taskset or a
// container narrows below the machine's count. At least 1.
int32_t usable_cores();

// The heap policy the program runs with, set once at the start of main
// before anything is allocated. The software GL driver allocates and frees
// its vertex and binning buffers on every draw, and the heap's default
// policy hands each freed stretch back to the system (sizes adapt upwards
// only after such a return) and faults it in again on the next draw. Freed
// memory stays in the heap for reuse instead; allocations up to 32 MiB come
// from the heap, larger ones (whole mesh arrays) are mapped on their own.
void use_program_heap_policy();

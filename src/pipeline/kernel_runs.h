#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/interop_mesh.h"
#include "model/parallel_grammar.h"
#include "model/parse_record.h"

struct AppContext;

// Kernel runs on the main thread: stage a text in the workspace's "tmp/",
// empty the output file, run `kernel_path` and read the output back.

// Stores the mode as the mesh's algorithm, and as its kind when it is one
// of the three known modes.
void stamp_mesh_mode(InteropMesh* mesh, int32_t mode);

// The execute_mode_keywords entry (app/keyword_tables.h) of a mode; modes
// outside 0..2 fall back to Optimal-CSG so a staged script never carries an
// unknown mode.
std::string execute_mode_keyword(int32_t mode);

// What the last parse or assemble run left for the trace channels: the
// kernel's captured output and the texts for the SCRIPT, FILE-IO and ERROR
// channels. Main thread only.
extern std::string kernel_trace_text;
extern std::string script_trace_text;
extern std::string file_io_trace_text;
extern std::string error_trace_text;
// The kernel's own message when an assembly run exited non-zero with an
// error report (its last lines of output); empty otherwise.
extern std::string kernel_error_report;
// Why the last parse_script_file read its script as nothing, in the words
// an open that refuses the script uses ("not a regular file", "No such file
// or directory", "script larger than N bytes"); empty when it was read or
// is an empty file.
extern std::string script_read_reason;
// That reason for a script path, found without reading the script (a FIFO
// is never waited on); "" when it can be read whole.
std::string unreadable_script_reason(const std::string& path);
// "\t Path: <path>\n\t Reason: <reason>": how messages name a script that
// cannot be read; "" for an empty reason.
std::string unreadable_script_lines(const std::string& path, const std::string& reason);
void reset_run_trace_texts();
// An assembly made of several kernel runs (the parallel ones, a parallel
// push, the start-up) leaves their outputs, put together, as one run
// leaves its own: `kernel_trace_text` is `captured`, the other three are
// emptied. `kernel_error_report` is left as it is.
void set_assembly_trace_texts(const std::string& captured);
// The outputs of runs that each assembled the named sub-elements, in run
// order: every output under a "// E:<invocation>" line per sub-element,
// ending with a line feed.
std::string headed_run_output(const std::vector<std::string>& invocations, const std::string& output);

// Called on the main thread about every 20 ms while it waits for a kernel:
// repaints the window and answers whether the user asked to cancel the run.
// Null (no window) waits without pumping.
extern bool (*kernel_wait_pump)();
// Set when the user asked to cancel; every kernel running then is ended,
// those of the assembly workers too. Cleared when a run starts on the main
// thread.
extern std::atomic<bool> kernel_cancel_requested;
// How much of one run's output is kept: the first and last 4 MiB.
constexpr size_t kernel_output_keep_bytes = size_t(8) << 20;

struct ProcessEnd;
// Runs the kernel with `args`, its output bounded. On the main thread the
// window is pumped meanwhile and a cancel ends the run; a worker only
// watches the cancel flag.
std::string run_kernel_process(const std::string& kernel, const std::vector<std::string>& args, ProcessEnd& end,
                               bool main_thread);
// The last `count` lines of a kernel's output, line feeds at the end left
// off: the message of a kernel that failed.
std::string last_output_lines(const std::string& text, size_t count);
// Asks the window to pump once and says whether a cancel was requested
// (main thread; used by waits that are not a single kernel run).
bool pump_kernel_wait();

// Staged text forms.
// "// logic\n" + script.
std::string compose_parse_input(const std::string& script);
// "{\n// directives\n#execute_mode:<keyword>;\n// logic\n" + script + "\n};\n"
std::string compose_element_block(const std::string& script, int32_t mode);
// Count line, then per script a blank line and its block (single and
// start-up assemblies).
std::string compose_assemble_input(const std::vector<std::string>& scripts, const std::vector<int32_t>& modes);
// Count line, then per sub-element "{\n// E:" + reference + "\n" + source + "\n};\n".
std::string compose_subelement_parse_input(const std::vector<SubElementSource>& sources);

// Writes the input text and empties the output file, both as fresh files
// that replace whatever stood at their names: a link planted in "tmp/" is
// replaced, never written through, and the kernel finds a fresh, empty
// output file of the program's own to write. When either write
// fails it prints the reason, leaves it in `message` and returns false: the
// kernel must then not run, or it would read a stale input or leave a stale
// result to be taken for its own.
bool stage_kernel_files(const std::string& input_path, const std::string& input_text,
                        const std::string& output_path, std::string& message);

// The runs below give back why a run gave no result when the kernel could
// not run or ended abnormally ("kernel ended by signal 11", "kernel exited
// with status 3", "kernel run cancelled", "kernel could not be started:
// ...", "UNABLE-TO-STAGE-KERNEL-INPUT : <path>"); empty when it ran and
// ended normally. A kernel's own ending is also the last line of
// `kernel_trace_text`.

// That reason for a run the user cancelled.
extern const char* const kernel_run_cancelled;

// The reason is the record's `kernel_end`.
EntityParseRecord parse_script_file(const std::string& path);
std::vector<EntityParseRecord> parse_parallel_elements(const std::vector<SubElementSource>& sources,
                                                       std::string& kernel_end);

// The first mesh of a one-element assembly, stamped with mode and time, or
// null. The caller owns the mesh.
InteropMesh* assemble_script(const std::string& script, int32_t mode, bool profiling, std::string& kernel_end);

std::string assemble_startup_meshes(AppContext& app);
std::string assemble_startup_entity(AppContext& app);

// The CCPP pre-pass; false (and nothing written) for a blank prefix.
bool run_ccpp_assembly(const std::string& prefix, int32_t algorithm, bool profiling);

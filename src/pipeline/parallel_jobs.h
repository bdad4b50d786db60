#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/interop_mesh.h"
#include "pipeline/kernel_runs.h"

// Threaded parallel assembly: one kernel process per sub-element, or per
// invocation group (batch), on worker threads, at most the core limit at a
// time.
//
// Threading contract. The main thread fills the table while no worker
// exists, starts the workers, polls, joins every worker and clears the
// table. Workers read only what was set before the first thread started
// (never the application context, the trace texts or the global paths),
// claim a free slot by compare-and-swap, write only their own slot's times
// and publish "done" with a release store; the main thread reads "done"
// with an acquire load. Hooks run on the main thread only.

// Job states, the same in both halves.
enum JobState : int32_t { JOB_FREE = 0, JOB_CLAIMED = 1, JOB_DONE = 2, JOB_COLLECTED = 3 };

using JobRoutine = void (*)();

struct ParallelJobTable {
    // Element half.
    int32_t element_count = 0;
    std::unique_ptr<std::atomic<int32_t>[]> element_states;
    const std::vector<SubElementSource>* element_sources = nullptr;
    std::vector<std::string> element_input_paths;
    std::vector<std::string> element_output_paths;
    std::vector<int64_t> element_start_times;
    std::vector<int64_t> element_end_times;
    // The kernel's message when a job's kernel exited non-zero and said
    // why; its output is then not read (an empty entry is no mesh).
    std::vector<std::string> element_errors;
    // What each job's kernel printed (and why it never ran or was killed),
    // for the KERNEL trace.
    std::vector<std::string> element_outputs;

    // Batch half (count 0 in per-element runs).
    int32_t batch_count = 0;
    std::unique_ptr<std::atomic<int32_t>[]> batch_states;
    std::vector<std::string> batch_input_paths;
    std::vector<std::string> batch_output_paths;
    std::vector<std::string> batch_errors;
    std::vector<std::string> batch_outputs;

    uint8_t profiling = 0;
    std::string ccpp_output_path;
    // The kernel as it stood when the run began; workers read this copy.
    std::string kernel;
    JobRoutine worker_routine = nullptr;

    // Per slot of the half being dispatched; null = none.
    std::vector<JobRoutine> start_hooks;
    std::vector<JobRoutine> thread_bodies;
    std::vector<JobRoutine> finish_hooks;

    // Jobs started and not yet collected; changed by the hooks.
    std::atomic<int32_t> running_count{0};
};

extern ParallelJobTable parallel_job_table;

// "max-cores": kernel processes allowed at once. Values outside 1..8 are
// clamped when a dispatch reads them, so 0 or less can never stall it.
extern std::atomic<int32_t> parallel_core_limit;
int32_t effective_core_limit();

// Claim-and-run routines and their entries.
void run_element_job();
void run_batch_job();
void run_element_job_entry();
void run_batch_job_entry();

// Thread bodies and hooks.
void element_worker_run();
void batch_worker_run();
void element_worker_on_start();
void element_worker_on_finish();
void batch_worker_on_start();
void batch_worker_on_finish();

// Starts, limits, collects and joins the jobs of `count` slots whose states
// are `states`, with the table's hooks. Every started job is collected
// before it returns, so the running count is back to 0. While it waits the
// window is pumped; after a cancel no further job starts, and the running
// ones end with their kernels.
void run_dispatch_loop(std::atomic<int32_t>* states, int32_t count);

// An empty selection selects all; one of another length than `count` none.
bool element_selected(const std::vector<bool>& selection, size_t count, size_t index);

// Names a mesh after its sub-element and mode; its times stay unknown (-1).
void stamp_element_mesh(InteropMesh* mesh, const SubElementSource& source, int32_t mode);

// One mesh pointer per element (null where none was read); the caller owns
// the meshes. A job whose kernel failed with a message gets none, and the
// messages ("// E:<invocation>" and the lines) end in `kernel_error_report`.
// After a cancel every pointer is null. Every job's output, in element or
// batch order under the names of its sub-elements, becomes the run trace
// texts (`set_assembly_trace_texts`); inputs that could not be staged are
// named in `error_trace_text`.
std::vector<InteropMesh*> assemble_elements_threaded(const std::vector<SubElementSource>& sources,
                                                     const std::vector<bool>& selection, bool ccpp, bool profiling,
                                                     int32_t mode);
std::vector<InteropMesh*> assemble_batches_threaded(const std::vector<SubElementSource>& sources,
                                                    const std::vector<InvocationGroup>& groups, bool ccpp,
                                                    bool profiling, int32_t mode);

// Empties the table; only while no worker exists.
void clear_parallel_job_table();
// The table emptied and the core limit back at 4; for tests.
void reset_parallel_jobs_for_tests();

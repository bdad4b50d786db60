#include "pipeline/parallel_jobs.h"

#include <time.h>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <thread>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "text/text_utils.h"

ParallelJobTable parallel_job_table;
std::atomic<int32_t> parallel_core_limit{4};

namespace {

constexpr int32_t kMaxCores = 8;

// 5 ms, continued for the remainder when a signal interrupts it.
void sleep_five_ms() {
    timespec request{0, 5000000};
    timespec remaining{0, 0};
    while (nanosleep(&request, &remaining) == -1 && errno == EINTR) request = remaining;
}

void print_line(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::unique_ptr<std::atomic<int32_t>[]> make_states(size_t count) {
    std::unique_ptr<std::atomic<int32_t>[]> states(new std::atomic<int32_t>[count]);
    for (size_t i = 0; i < count; ++i) states[i].store(JOB_FREE, std::memory_order_relaxed);
    return states;
}

// Scans from slot 0 for a free slot and claims it; -1 when none is free.
int32_t claim_free_slot(std::atomic<int32_t>* states, int32_t count) {
    for (int32_t k = 0; k < count; ++k) {
        int32_t expected = JOB_FREE;
        if (states[k].compare_exchange_strong(expected, JOB_CLAIMED, std::memory_order_acq_rel,
                                              std::memory_order_relaxed)) {
            return k;
        }
    }
    return -1;
}

std::vector<std::string> kernel_arguments(const std::string& in, const std::string& out) {
    const ParallelJobTable& t = parallel_job_table;
    std::vector<std::string> args = {"-interop", t.profiling ? "-assemble-ppd" : "-assemble", in, out};
    if (!t.ccpp_output_path.empty()) {
        args.push_back("-ccpp");
        args.push_back(t.ccpp_output_path);
    }
    return args;
}

// Why a job's kernel gave no result: it could not start, was killed by a
// signal, or exited non-zero and said why; else "" (also after a cancel,
// which is reported once for the whole run).
std::string failure_message(const ProcessEnd& end, const std::string& output) {
    if (end.cancelled) return std::string();
    if (!end.started) {
        const std::string problem = kernel_path_problem(parallel_job_table.kernel);
        return concat2("kernel could not be started", problem.empty() ? std::string() : concat2(": ", problem));
    }
    if (end.signalled) return concat2("kernel ended by signal ", int_to_text(end.code));
    if (end.code == 0 || trim_whitespace(output).empty()) return std::string();
    return last_output_lines(output, 6);
}

// A job's output for the trace: what its kernel printed, and why it did not
// run or was killed, which the kernel could not say itself.
std::string job_trace_text(const ProcessEnd& end, const std::string& output, const std::string& failure) {
    std::string text = output;
    if (!text.empty() && text.back() != '\n') text += '\n';
    if (!end.cancelled && (!end.started || end.signalled)) text += concat2(failure, "\n");
    return text;
}

// How the main thread waits for the workers: pumping the window, so that a
// cancel is seen, in 5 ms steps.
void wait_step() {
    pump_kernel_wait();
    sleep_five_ms();
}

// Collects every finished job: its finish hook, then "collected".
void sweep(std::atomic<int32_t>* states, int32_t count) {
    ParallelJobTable& t = parallel_job_table;
    for (int32_t k = 0; k < count; ++k) {
        if (states[k].load(std::memory_order_acquire) != JOB_DONE) continue;
        if (t.finish_hooks[static_cast<size_t>(k)]) t.finish_hooks[static_cast<size_t>(k)]();
        states[k].store(JOB_COLLECTED, std::memory_order_relaxed);
    }
}

// Fields shared by both kinds of run, set before any thread starts.
void begin_run(bool ccpp, bool profiling, JobRoutine routine) {
    ParallelJobTable& t = parallel_job_table;
    t.profiling = profiling ? 1 : 0;
    t.ccpp_output_path = ccpp ? workspace_file(workspace_path, "tmp/vrek_assemble_ccpp_out") : std::string();
    t.kernel = kernel_path;
    t.worker_routine = routine;
    t.running_count.store(0);
}

void fill_element_half(const std::vector<SubElementSource>& sources) {
    ParallelJobTable& t = parallel_job_table;
    const size_t n = sources.size();
    t.element_count = static_cast<int32_t>(n);
    t.element_states = make_states(n);
    t.element_sources = &sources;
    t.element_input_paths.assign(n, std::string());
    t.element_output_paths.assign(n, std::string());
    t.element_start_times.assign(n, 0);
    t.element_end_times.assign(n, 0);
    t.element_errors.assign(n, std::string());
    t.element_outputs.assign(n, std::string());
}

void set_slot_hooks(size_t count) {
    ParallelJobTable& t = parallel_job_table;
    t.start_hooks.assign(count, nullptr);
    t.thread_bodies.assign(count, nullptr);
    t.finish_hooks.assign(count, nullptr);
}

// Writes the job's input and empties its output, so a kernel run that fails
// can never pass a previous run's mesh off as its own. A job whose files
// cannot be written is not run.
bool stage_job(const std::string& in, const std::string& text, const std::string& out, std::string& messages) {
    std::string message;
    const bool staged = stage_kernel_files(in, text, out, message);
    messages += message;
    return staged;
}

// The jobs that ran (a cancel leaves some never started), each under the
// names of the sub-elements it assembled, in job order, as the run trace
// texts; `staging` (the inputs that could not be written) for the ERROR
// trace.
void set_job_traces(const std::vector<std::string>& outputs, const std::vector<bool>& runs,
                    const std::atomic<int32_t>* states, const std::vector<SubElementSource>& sources,
                    const std::vector<InvocationGroup>* groups, const std::string& staging) {
    std::string text;
    for (size_t j = 0; j < outputs.size() && j < runs.size(); ++j) {
        if (!runs[j] || states[j].load(std::memory_order_acquire) != JOB_COLLECTED) continue;
        std::vector<std::string> names;
        std::vector<int32_t> members;
        if (groups && j < groups->size()) members = (*groups)[j];
        else if (!groups) members.push_back(static_cast<int32_t>(j));
        for (int32_t e : members) {
            if (e >= 0 && static_cast<size_t>(e) < sources.size())
                names.push_back(subelement_reference(sources[static_cast<size_t>(e)]));
        }
        text += headed_run_output(names, outputs[j]);
    }
    set_assembly_trace_texts(text);
    error_trace_text = staging;
}

// The failed jobs' messages, each under the invocations it ran, into
// `kernel_error_report` (main thread, after the workers are joined).
void collect_errors(const std::vector<std::string>& errors, const std::vector<SubElementSource>& sources,
                    const std::vector<InvocationGroup>* groups) {
    kernel_error_report.clear();
    for (size_t j = 0; j < errors.size(); ++j) {
        if (errors[j].empty()) continue;
        std::vector<int32_t> members;
        if (groups && j < groups->size()) members = (*groups)[j];
        else if (!groups) members.push_back(static_cast<int32_t>(j));
        for (int32_t e : members) {
            if (e >= 0 && static_cast<size_t>(e) < sources.size())
                kernel_error_report += concat3("// E:", subelement_reference(sources[static_cast<size_t>(e)]), "\n");
        }
        kernel_error_report += concat2(errors[j], "\n");
    }
}

}  // namespace

int32_t effective_core_limit() {
    const int32_t limit = parallel_core_limit.load();
    return limit < 1 ? 1 : (limit > kMaxCores ? kMaxCores : limit);
}

void run_element_job() {
    ParallelJobTable& t = parallel_job_table;
    if (t.element_count < 1) {
        print_line("*** INDEX-GRAB-ISSUE !!!");
        return;
    }
    const int32_t k = claim_free_slot(t.element_states.get(), t.element_count);
    if (k < 0) {
        print_line("*** INDEX-GRAB-ISSUE !!!");
        return;
    }
    const size_t slot = static_cast<size_t>(k);
    if (!t.element_sources || slot >= t.element_sources->size() || subelement_text((*t.element_sources)[slot]).empty()) {
        t.element_states[slot].store(JOB_DONE, std::memory_order_release);
        return;
    }
    const int64_t start = now_ms();
    ProcessEnd ending;
    const std::string output = run_kernel_process(
        t.kernel, kernel_arguments(t.element_input_paths[slot], t.element_output_paths[slot]), ending, false);
    const int64_t end = now_ms();
    t.element_errors[slot] = failure_message(ending, output);
    t.element_outputs[slot] = job_trace_text(ending, output, t.element_errors[slot]);
    t.element_start_times[slot] = start;
    t.element_end_times[slot] = end;
    t.element_states[slot].store(JOB_DONE, std::memory_order_release);
}

void run_batch_job() {
    ParallelJobTable& t = parallel_job_table;
    if (t.batch_count < 1) {
        print_line("*** INDEX-GRAB-ISSUE !!!");
        return;
    }
    const int32_t k = claim_free_slot(t.batch_states.get(), t.batch_count);
    if (k < 0) {
        print_line("*** INDEX-GRAB-ISSUE !!!");
        return;
    }
    const size_t slot = static_cast<size_t>(k);
    ProcessEnd ending;
    const std::string output =
        run_kernel_process(t.kernel, kernel_arguments(t.batch_input_paths[slot], t.batch_output_paths[slot]), ending, false);
    t.batch_errors[slot] = failure_message(ending, output);
    t.batch_outputs[slot] = job_trace_text(ending, output, t.batch_errors[slot]);
    t.batch_states[slot].store(JOB_DONE, std::memory_order_release);
}

void run_element_job_entry() { run_element_job(); }
void run_batch_job_entry() { run_batch_job(); }

void element_worker_run() {
    if (JobRoutine routine = parallel_job_table.worker_routine) routine();
}
void batch_worker_run() { element_worker_run(); }

void element_worker_on_start() { parallel_job_table.running_count.fetch_add(1); }
void element_worker_on_finish() { parallel_job_table.running_count.fetch_sub(1); }
void batch_worker_on_start() { parallel_job_table.running_count.fetch_add(1); }
void batch_worker_on_finish() { parallel_job_table.running_count.fetch_sub(1); }

void run_dispatch_loop(std::atomic<int32_t>* states, int32_t count) {
    ParallelJobTable& t = parallel_job_table;
    const int32_t limit = effective_core_limit();
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    t.start_hooks.resize(n, nullptr);
    t.thread_bodies.resize(n, nullptr);
    t.finish_hooks.resize(n, nullptr);
    t.running_count.store(0);
    kernel_cancel_requested.store(false);
    std::vector<std::thread> threads(n);
    // Thread bodies that have returned: joining waits for nothing then.
    std::atomic<size_t> returned{0};
    size_t started = 0;

    for (size_t k = 0; k < n; ++k) {
        // A slot that starts nothing (an element not to be run) neither
        // waits for a free core nor spaces the starts.
        if (!t.start_hooks[k] && !t.thread_bodies[k]) continue;
        while (t.running_count.load() >= limit && !kernel_cancel_requested.load()) {
            sweep(states, count);
            if (t.running_count.load() < limit) break;
            wait_step();
        }
        if (kernel_cancel_requested.load()) break;
        if (t.start_hooks[k]) t.start_hooks[k]();
        if (t.thread_bodies[k]) {
            JobRoutine body = t.thread_bodies[k];
            try {
                threads[k] = std::thread([body, &returned] {
                    body();
                    returned.fetch_add(1);
                });
                ++started;
            } catch (const std::system_error&) {
                // Out of threads: the job still runs, on this thread.
                body();
            }
        }
        wait_step();
    }
    while (returned.load() < started) wait_step();
    for (std::thread& thread : threads) {
        if (thread.joinable()) thread.join();
    }
    // A last sweep collects the jobs that finished after the final start,
    // so no finish hook is skipped and the running count returns to 0.
    sweep(states, count);
}

void stamp_element_mesh(InteropMesh* mesh, const SubElementSource& source, int32_t mode) {
    mesh->element_invocation = subelement_reference(source);
    mesh->element_source = subelement_text(source);
    mesh->kernel_ms = -1;
    mesh->read_ms = -1;
    mesh->assembly_ms = -1;
    stamp_mesh_mode(mesh, mode);
}

bool element_selected(const std::vector<bool>& selection, size_t count, size_t index) {
    if (selection.empty()) return true;
    return selection.size() == count && index < count && selection[index];
}

std::vector<InteropMesh*> assemble_elements_threaded(const std::vector<SubElementSource>& sources,
                                                     const std::vector<bool>& selection, bool ccpp, bool profiling,
                                                     int32_t mode) {
    ParallelJobTable& t = parallel_job_table;
    const size_t n = sources.size();
    std::vector<InteropMesh*> result(n, nullptr);

    fill_element_half(sources);
    begin_run(ccpp, profiling, run_element_job_entry);

    std::vector<bool> runs(n, false);
    for (size_t i = 0; i < n; ++i) {
        if (subelement_text(sources[i]).empty()) {
            print_line(concat3("ERROR : UNABLE-TO-RESOLVE-PARALLEL-ELEMENT [ ", subelement_reference(sources[i]), " ]"));
            continue;
        }
        const std::string index = int_to_text(static_cast<int32_t>(i));
        t.element_input_paths[i] = workspace_file(workspace_path, concat2("tmp/vrek_assemble_in_sub_", index));
        t.element_output_paths[i] = workspace_file(workspace_path, concat2("tmp/vrek_assemble_out_sub_", index));
    }

    std::string staging;
    // Only selected elements with a source are staged and run; every other
    // slot starts out collected, so no worker can claim it in place of a job
    // that has to run.
    set_slot_hooks(n);
    for (size_t i = 0; i < n; ++i) {
        if (element_selected(selection, n, i) && !subelement_text(sources[i]).empty()) {
            const std::string text = concat2("1;\n", compose_element_block(subelement_text(sources[i]), mode));
            runs[i] = stage_job(t.element_input_paths[i], text, t.element_output_paths[i], staging);
        }
        if (runs[i]) {
            t.start_hooks[i] = element_worker_on_start;
            t.thread_bodies[i] = element_worker_run;
            t.finish_hooks[i] = element_worker_on_finish;
        } else {
            t.element_states[i].store(JOB_COLLECTED, std::memory_order_relaxed);
        }
    }

    if (n >= 1) run_dispatch_loop(t.element_states.get(), static_cast<int32_t>(n));
    const bool cancelled = kernel_cancel_requested.load();

    set_job_traces(t.element_outputs, runs, t.element_states.get(), sources, nullptr, staging);
    collect_errors(t.element_errors, sources, nullptr);
    for (size_t i = 0; i < n; ++i) {
        if (!runs[i] || cancelled || !t.element_errors[i].empty()) continue;
        const int64_t t0 = now_ms();
        InteropMesh* mesh = read_first_interop_mesh(t.element_output_paths[i]);
        const int64_t t1 = now_ms();
        if (!mesh) continue;
        const int64_t start = t.element_start_times[i];
        const int64_t end = t.element_end_times[i];
        const int64_t ready = end + (t1 - t0);
        stamp_element_mesh(mesh, sources[i], mode);
        mesh->kernel_ms = end - start;
        mesh->read_ms = ready - end;
        mesh->assembly_ms = ready - start;
        result[i] = mesh;
    }

    clear_parallel_job_table();
    return result;
}

std::vector<InteropMesh*> assemble_batches_threaded(const std::vector<SubElementSource>& sources,
                                                    const std::vector<InvocationGroup>& groups, bool ccpp,
                                                    bool profiling, int32_t mode) {
    ParallelJobTable& t = parallel_job_table;
    const size_t n = sources.size();
    const size_t b = groups.size();
    std::vector<InteropMesh*> result(n, nullptr);

    fill_element_half(sources);
    t.batch_count = static_cast<int32_t>(b);
    t.batch_states = make_states(b);
    t.batch_input_paths.assign(b, std::string());
    t.batch_output_paths.assign(b, std::string());
    t.batch_errors.assign(b, std::string());
    t.batch_outputs.assign(b, std::string());
    begin_run(ccpp, profiling, run_batch_job_entry);

    // An index outside the sources stands for an unresolved element: staged
    // as an empty block and never read.
    auto usable = [&](int32_t e) {
        return e >= 0 && static_cast<size_t>(e) < n && !subelement_text(sources[static_cast<size_t>(e)]).empty();
    };

    std::vector<bool> runs(b, false);
    std::string staging;
    set_slot_hooks(b);
    for (size_t j = 0; j < b; ++j) {
        const std::string index = int_to_text(static_cast<int32_t>(j));
        t.batch_input_paths[j] = workspace_file(workspace_path, concat2("tmp/vrek_assemble_in_batch_", index));
        t.batch_output_paths[j] = workspace_file(workspace_path, concat2("tmp/vrek_assemble_out_batch_", index));
        const InvocationGroup& group = groups[j];
        std::string text = concat2(int_to_text(static_cast<int32_t>(group.size())), ";\n");
        for (int32_t e : group) {
            text += usable(e) ? compose_element_block(subelement_text(sources[static_cast<size_t>(e)]), mode)
                              : std::string("{ };\n");
        }
        const bool written = stage_job(t.batch_input_paths[j], text, t.batch_output_paths[j], staging);
        runs[j] = written && !group.empty();
        if (runs[j]) {
            t.start_hooks[j] = batch_worker_on_start;
            t.thread_bodies[j] = batch_worker_run;
            t.finish_hooks[j] = batch_worker_on_finish;
        } else {
            t.batch_states[j].store(JOB_COLLECTED, std::memory_order_relaxed);
        }
    }

    if (b >= 1) run_dispatch_loop(t.batch_states.get(), static_cast<int32_t>(b));
    const bool cancelled = kernel_cancel_requested.load();

    set_job_traces(t.batch_outputs, runs, t.batch_states.get(), sources, &groups, staging);
    collect_errors(t.batch_errors, sources, &groups);
    for (size_t j = 0; j < b; ++j) {
        if (!runs[j] || cancelled || !t.batch_errors[j].empty()) continue;
        const InvocationGroup& group = groups[j];
        std::vector<InteropMesh*> meshes = read_interop_meshes(t.batch_output_paths[j]);
        if (meshes.size() == group.size()) {
            for (size_t p = 0; p < group.size(); ++p) {
                const int32_t e = group[p];
                if (!meshes[p] || !usable(e) || result[static_cast<size_t>(e)]) continue;
                stamp_element_mesh(meshes[p], sources[static_cast<size_t>(e)], mode);
                result[static_cast<size_t>(e)] = meshes[p];
                meshes[p] = nullptr;
            }
        }
        // Whatever was read and not handed on (a skipped place, a count
        // that does not match the group) would otherwise belong to nobody.
        free_interop_meshes(meshes);
    }

    clear_parallel_job_table();
    return result;
}

void clear_parallel_job_table() {
    ParallelJobTable& t = parallel_job_table;
    t.element_count = 0;
    t.element_states.reset();
    t.element_sources = nullptr;
    t.element_input_paths.clear();
    t.element_output_paths.clear();
    t.element_start_times.clear();
    t.element_end_times.clear();
    t.element_errors.clear();
    t.element_outputs.clear();
    t.batch_count = 0;
    t.batch_states.reset();
    t.batch_input_paths.clear();
    t.batch_output_paths.clear();
    t.batch_errors.clear();
    t.batch_outputs.clear();
    t.profiling = 0;
    t.ccpp_output_path.clear();
    t.kernel.clear();
    t.worker_routine = nullptr;
    t.start_hooks.clear();
    t.thread_bodies.clear();
    t.finish_hooks.clear();
}

void reset_parallel_jobs_for_tests() {
    clear_parallel_job_table();
    parallel_job_table.running_count.store(0);
    parallel_core_limit.store(4);
}

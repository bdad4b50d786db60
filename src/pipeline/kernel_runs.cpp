#include "pipeline/kernel_runs.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "context/app_context.h"
#include "context/keyword_tables.h"
#include "model/entity.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "text/split.h"
#include "text/text_utils.h"

// The texts of one kernel run.
std::string kernel_trace_text;
std::string script_trace_text;
std::string file_io_trace_text;
std::string error_trace_text;
std::string kernel_error_report;
std::string script_read_reason;

namespace {

const char* const kParseIn = "tmp/vrek_parse_in";
const char* const kParseOut = "tmp/vrek_parse_out";
const char* const kAssembleIn = "tmp/vrek_assemble_in";
const char* const kAssembleOut = "tmp/vrek_assemble_out";
const char* const kCcppIn = "tmp/vrek_assemble_ccpp_in";
const char* const kCcppOut = "tmp/vrek_assemble_ccpp_out";

void set_run_trace_texts(const std::string& captured) {
    kernel_trace_text = captured;
    script_trace_text.clear();
    file_io_trace_text.clear();
    error_trace_text.clear();
    kernel_error_report.clear();
}

bool watch_main_thread_run(void*) { return pump_kernel_wait(); }
bool watch_worker_run(void*) { return kernel_cancel_requested.load(); }

// Why a run ended without a usable result, or "". A kernel that exited
// non-zero is only abnormal when it left no output file: with syntax
// errors the kernel exits non-zero and still writes its report.
std::string run_ending_text(const ProcessEnd& end, const std::string& output_path) {
    if (end.cancelled) return kernel_run_cancelled;
    if (!end.started) {
        const std::string problem = kernel_path_problem(kernel_path);
        return concat2("kernel could not be started: ", problem.empty() ? std::string(std::strerror(end.start_error)) : problem);
    }
    if (end.signalled) return concat2("kernel ended by signal ", int_to_text(end.code));
    if (end.code != 0 && read_file(output_path).empty())
        return concat2("kernel exited with status ", int_to_text(end.code));
    return std::string();
}

// Runs the kernel with `args` and sets the trace texts. A kernel that could
// not start, was cancelled, was killed by a signal or failed without writing
// `output_path` leaves no report to read: why is then the only
// explanation, so it is traced and left in `kernel_end`.
std::string run_kernel_traced(const std::vector<std::string>& args, const std::string& output_path, ProcessEnd& end,
                              std::string& kernel_end) {
    const std::string captured = run_kernel_process(kernel_path, args, end, true);
    set_run_trace_texts(captured);
    kernel_end = run_ending_text(end, output_path);
    if (!kernel_end.empty()) {
        if (!kernel_trace_text.empty() && kernel_trace_text.back() != '\n') kernel_trace_text += '\n';
        kernel_trace_text += concat2(kernel_end, "\n");
    }
    return captured;
}

std::string run_kernel_traced(const std::vector<std::string>& args, const std::string& output_path,
                              std::string& kernel_end) {
    ProcessEnd end;
    return run_kernel_traced(args, output_path, end, kernel_end);
}

// A run that never started leaves the reason where the ERROR channel gets
// it, and gives it back without the "ERROR: " and the line feed.
std::string set_staging_failure_trace(const std::string& message) {
    set_run_trace_texts("");
    error_trace_text = message;
    std::string reason = message;
    if (reason.compare(0, 7, "ERROR: ") == 0) reason.erase(0, 7);
    while (!reason.empty() && reason.back() == '\n') reason.pop_back();
    return reason;
}

bool is_known_mode(int32_t mode) { return mode >= MESH_PURE_UNION && mode <= MESH_OPTIMAL_CSG; }

// A record that names the script and carries the one error that stopped
// the run before the kernel was started.
EntityParseRecord staging_failure_record(const std::string& path, const std::string& script) {
    EntityParseRecord record;
    record.path = path;
    record.script = script;
    record.sections[SECTION_ERRORS] = "UNABLE-TO-STAGE-KERNEL-INPUT;\n";
    record.section_line_counts[SECTION_ERRORS] = 1;
    return record;
}

}  // namespace

const char* const kernel_run_cancelled = "kernel run cancelled";

void stamp_mesh_mode(InteropMesh* mesh, int32_t mode) {
    mesh->algorithm = mode;
    if (is_known_mode(mode)) mesh->mesh_kind = mode;
}

std::string execute_mode_keyword(int32_t mode) {
    return execute_mode_keywords[is_known_mode(mode) ? mode : MESH_OPTIMAL_CSG];
}

void reset_run_trace_texts() {
    set_run_trace_texts("");
    script_read_reason.clear();
}

void set_assembly_trace_texts(const std::string& captured) {
    kernel_trace_text = captured;
    script_trace_text.clear();
    file_io_trace_text.clear();
    error_trace_text.clear();
}

std::string headed_run_output(const std::vector<std::string>& invocations, const std::string& output) {
    std::string text;
    for (const std::string& invocation : invocations) text += concat3("// E:", invocation, "\n");
    text += output;
    if (!output.empty() && output.back() != '\n') text += '\n';
    return text;
}

std::string unreadable_script_reason(const std::string& path) {
    const std::string problem = regular_file_problem(path, max_read_file_bytes);
    return problem.rfind("larger than ", 0) == 0 ? concat2("script ", problem) : problem;
}

std::string unreadable_script_lines(const std::string& path, const std::string& reason) {
    return reason.empty() ? std::string() : concat4("\t Path: ", path, "\n\t Reason: ", reason);
}

bool (*kernel_wait_pump)() = nullptr;
std::atomic<bool> kernel_cancel_requested{false};

bool pump_kernel_wait() {
    if (kernel_wait_pump && kernel_wait_pump()) kernel_cancel_requested.store(true);
    return kernel_cancel_requested.load();
}

std::string last_output_lines(const std::string& text, size_t count) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
    size_t start = end;
    size_t lines = 0;
    while (start > 0) {
        if (text[start - 1] == '\n' && ++lines == count) break;
        --start;
    }
    return text.substr(start, end - start);
}

std::string run_kernel_process(const std::string& kernel, const std::vector<std::string>& args, ProcessEnd& end,
                               bool main_thread) {
    ProcessOptions options;
    options.keep_bytes = kernel_output_keep_bytes;
    if (main_thread) {
        kernel_cancel_requested.store(false);
        options.cancel_requested = watch_main_thread_run;
    } else {
        options.cancel_requested = watch_worker_run;
    }
    return run_process_capture(kernel, args, end, options);
}

std::string compose_parse_input(const std::string& script) { return concat2("// logic\n", script); }

std::string compose_element_block(const std::string& script, int32_t mode) {
    return concat5("{\n// directives\n#execute_mode:", execute_mode_keyword(mode), ";\n// logic\n", script, "\n};\n");
}

std::string compose_assemble_input(const std::vector<std::string>& scripts, const std::vector<int32_t>& modes) {
    std::string text = concat2(int_to_text(static_cast<int32_t>(scripts.size())), ";\n");
    for (size_t i = 0; i < scripts.size(); ++i) {
        const int32_t mode = i < modes.size() ? modes[i] : MESH_OPTIMAL_CSG;
        text += "\n";
        text += compose_element_block(scripts[i], mode);
    }
    return text;
}

std::string compose_subelement_parse_input(const std::vector<SubElementSource>& sources) {
    std::string text = concat2(int_to_text(static_cast<int32_t>(sources.size())), ";\n");
    for (const SubElementSource& source : sources) {
        text += concat5("{\n// E:", subelement_reference(source), "\n", subelement_text(source), "\n};\n");
    }
    return text;
}

bool stage_kernel_files(const std::string& input_path, const std::string& input_text,
                        const std::string& output_path, std::string& message) {
    message.clear();
    if (!write_text_file(input_path, input_text)) {
        message = concat3("ERROR: UNABLE-TO-STAGE-KERNEL-INPUT : ", input_path, "\n");
    } else if (!write_text_file(output_path, "")) {
        message = concat3("ERROR: UNABLE-TO-EMPTY-KERNEL-OUTPUT : ", output_path, "\n");
    }
    if (message.empty()) return true;
    std::fputs(message.c_str(), stdout);
    std::fflush(stdout);
    return false;
}

EntityParseRecord parse_script_file(const std::string& path) {
    script_read_reason.clear();
    const std::string script = read_file(path);
    if (script.empty()) {
        std::fputs("SCRIPT-READ-EMPTY!\n", stdout);
        std::fflush(stdout);
        // Reported as a syntax error either way; one that cannot be read
        // (deleted, not a regular file) keeps its reason for the report.
        // No kernel ran: the traces must not show an earlier run's output
        // as this script's.
        set_run_trace_texts("");
        script_read_reason = unreadable_script_reason(path);
        EntityParseRecord record;
        record.sections[SECTION_ERRORS] = "SCRIPT-READ-IS-NULL;\n";
        record.section_line_counts[SECTION_ERRORS] = 1;
        return record;
    }
    const std::string in = workspace_file(workspace_path, kParseIn);
    const std::string out = workspace_file(workspace_path, kParseOut);
    std::string message;
    if (!stage_kernel_files(in, compose_parse_input(script), out, message)) {
        EntityParseRecord record = staging_failure_record(path, script);
        record.kernel_end = set_staging_failure_trace(message);
        return record;
    }
    std::string kernel_end;
    run_kernel_traced({"-interop", "-parse", in, out}, out, kernel_end);
    EntityParseRecord record = interpret_parse_output(path, script, read_file(out));
    record.kernel_end = kernel_end;
    return record;
}

std::vector<EntityParseRecord> parse_parallel_elements(const std::vector<SubElementSource>& sources,
                                                       std::string& kernel_end) {
    std::vector<EntityParseRecord> records;
    records.reserve(sources.size());
    const std::string in = workspace_file(workspace_path, kParseIn);
    const std::string out = workspace_file(workspace_path, kParseOut);
    std::string message;
    if (!stage_kernel_files(in, compose_subelement_parse_input(sources), out, message)) {
        kernel_end = set_staging_failure_trace(message);
        for (const SubElementSource& source : sources) {
            records.push_back(staging_failure_record(subelement_reference(source), subelement_text(source)));
        }
        return records;
    }
    run_kernel_traced({"-interop", "-parse", in, out, "*"}, out, kernel_end);
    const std::string output = read_file(out);

    std::vector<std::string> pieces;
    split_by_string(output, "<BREAK>\n", pieces);
    for (size_t i = 0; i < sources.size(); ++i) {
        // A kernel that wrote fewer pieces than sub-elements leaves the rest
        // with an empty output, which the reader reports as an error.
        const std::string piece = i < pieces.size() ? pieces[i] : std::string();
        records.push_back(interpret_parse_output(subelement_reference(sources[i]), subelement_text(sources[i]), piece));
    }
    return records;
}

InteropMesh* assemble_script(const std::string& script, int32_t mode, bool profiling, std::string& kernel_end) {
    const int64_t start = now_ms();
    const std::string in = workspace_file(workspace_path, kAssembleIn);
    const std::string out = workspace_file(workspace_path, kAssembleOut);
    std::string message;
    if (!stage_kernel_files(in, compose_assemble_input({script}, {mode}), out, message)) {
        kernel_end = set_staging_failure_trace(message);
        return nullptr;
    }
    ProcessEnd ending;
    const std::string captured =
        run_kernel_traced({"-interop", profiling ? "-assemble-ppd" : "-assemble", in, out}, out, ending, kernel_end);
    const int64_t end = now_ms();
    // A kernel that failed and said why: an assembly error with its
    // message, whatever mesh entries it wrote (an empty one would pass for
    // a mesh of nothing).
    if (ending.started && !ending.signalled && ending.code != 0 && !trim_whitespace(captured).empty()) {
        kernel_error_report = last_output_lines(captured, 6);
        kernel_end.clear();
        return nullptr;
    }
    if (!kernel_end.empty()) return nullptr;
    InteropMesh* mesh = read_first_interop_mesh(out);
    if (mesh && mesh->present) {
        stamp_mesh_mode(mesh, mode);
        mesh->assembly_ms = end - start;
        // The two phases, for the statistics of an open.
        mesh->kernel_ms = end - start;
        mesh->read_ms = now_ms() - end;
    }
    return mesh;
}

std::string assemble_startup_meshes(AppContext& app) {
    static const int32_t modes[3] = {MESH_PURE_UNION, MESH_OPTIMAL_CSG, MESH_OPTIMAL_CSG};
    std::vector<std::string> scripts = app.startup.startup_scripts;
    scripts.resize(3);
    app.startup.startup_meshes.assign(3, nullptr);

    const std::string in = workspace_file(workspace_path, kAssembleIn);
    const std::string out = workspace_file(workspace_path, kAssembleOut);
    std::string message;
    if (!stage_kernel_files(in, compose_assemble_input(scripts, {modes[0], modes[1], modes[2]}), out, message))
        return set_staging_failure_trace(message);
    std::string kernel_end;
    run_kernel_traced({"-interop", "-assemble", in, out}, out, kernel_end);
    // A kernel that failed left nothing to read; its reason is traced.
    if (!kernel_end.empty()) return kernel_end;
    std::vector<InteropMesh*> meshes = read_interop_meshes(out);
    for (size_t i = 0; i < meshes.size(); ++i) {
        if (i < 3) {
            if (meshes[i] && meshes[i]->present) stamp_mesh_mode(meshes[i], modes[i]);
            app.startup.startup_meshes[i] = meshes[i];
        } else {
            // Nobody would ever own the kernel's surplus meshes.
            free_interop_mesh(meshes[i]);
        }
    }
    return kernel_end;
}

std::string assemble_startup_entity(AppContext& app) {
    std::string kernel_end;
    InteropMesh* mesh = assemble_script(app.startup.startup_entity_script, MESH_OPTIMAL_CSG, false, kernel_end);
    EntityRecord entity = entity_construct();
    // A failed run leaves the record unassembled instead of attaching null.
    if (mesh) entity_attach_mesh(entity, mesh);
    app.startup.startup_entity_mesh = mesh;
    entity_assign(app.entities.startup_entity, entity);
    return kernel_end;
}

bool run_ccpp_assembly(const std::string& prefix, int32_t algorithm, bool profiling) {
    if (trim_whitespace(prefix).empty()) return false;
    const std::string in = workspace_file(workspace_path, kCcppIn);
    const std::string out = workspace_file(workspace_path, kCcppOut);
    std::string message;
    // Without its staged prefix the kernel would compute from a stale one;
    // the pre-pass counts as not run.
    if (!stage_kernel_files(in, prefix, out, message)) return false;
    ProcessEnd end;
    run_kernel_process(kernel_path, {"-interop", "-parse", in, out, "-ccpp"}, end, true);
    if (end.cancelled) return false;
    interpret_parse_output("vrek_assemble_ccpp", prefix, read_file(out));
    run_kernel_process(kernel_path, {"-interop", profiling ? "-compute-ppd" : "-compute", in, out, int_to_text(algorithm)}, end,
                       true);
    return true;
}

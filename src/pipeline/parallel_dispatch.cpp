#include "pipeline/parallel_dispatch.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/paths.h"
#include "pipeline/kernel_runs.h"
#include "platform/process.h"
#include "text/text_utils.h"

std::vector<InteropMesh*> assemble_parallel_entity(const std::vector<SubElementSource>& sources,
                                                   const std::vector<bool>& selection,
                                                   const std::vector<InvocationGroup>& groups, bool ccpp,
                                                   bool profiling, int32_t mode, bool multi_core) {
    std::vector<InteropMesh*> result;
    if (!multi_core) {
        result = assemble_elements_in_one_run(sources, selection, ccpp, profiling, mode);
    } else if (groups.empty()) {
        result = assemble_elements_threaded(sources, selection, ccpp, profiling, mode);
    } else {
        const std::vector<InvocationGroup> copy = groups;
        result = assemble_batches_threaded(sources, copy, ccpp, profiling, mode);
        // With one group per element the batch number says nothing new.
        if (copy.size() != result.size()) {
            for (size_t g = 0; g < copy.size(); ++g) {
                for (int32_t e : copy[g]) {
                    if (e < 0 || static_cast<size_t>(e) >= result.size()) continue;
                    InteropMesh* mesh = result[static_cast<size_t>(e)];
                    if (mesh && mesh->present) mesh->batch_index = static_cast<int32_t>(g);
                }
            }
        }
    }
    for (size_t i = 0; i < result.size(); ++i) {
        if (result[i] && result[i]->present) result[i]->element_index = static_cast<int32_t>(i);
    }
    return result;
}

std::vector<InteropMesh*> assemble_elements_in_one_run(const std::vector<SubElementSource>& sources,
                                                       const std::vector<bool>& selection, bool ccpp, bool profiling,
                                                       int32_t mode) {
    const size_t n = sources.size();
    std::vector<InteropMesh*> result(n, nullptr);
    const std::string in = workspace_file(workspace_path, "tmp/vrek_assemble_in");
    const std::string out = workspace_file(workspace_path, "tmp/vrek_assemble_out");

    std::vector<bool> used(n, false);
    std::string text = concat2(int_to_text(static_cast<int32_t>(n)), ";\n");
    for (size_t i = 0; i < n; ++i) {
        used[i] = element_selected(selection, n, i) && !subelement_text(sources[i]).empty();
        text += used[i] ? compose_element_block(subelement_text(sources[i]), mode) : std::string("{ };\n");
    }
    // The output is emptied too: a failed run must not leave the previous
    // run's meshes to be taken for this one's.
    std::string message;
    if (!stage_kernel_files(in, text, out, message)) {
        set_assembly_trace_texts(std::string());
        error_trace_text = message;
        return result;
    }

    std::vector<std::string> args = {"-interop", profiling ? "-assemble-ppd" : "-assemble", in, out};
    if (ccpp) {
        args.push_back("-ccpp");
        args.push_back(workspace_file(workspace_path, "tmp/vrek_assemble_ccpp_out"));
    }
    ProcessEnd end;
    const std::string output = run_kernel_process(kernel_path, args, end, true);
    // One run for all the elements: its output as it came.
    set_assembly_trace_texts(headed_run_output({}, output));
    if (end.cancelled) return result;
    // A kernel that failed and said why wrote empty entries for the
    // elements it could not build: those are no meshes. One that could not
    // start or was killed wrote nothing; the reason is kept.
    const bool failed = end.started && !end.signalled && end.code != 0 && !trim_whitespace(output).empty();
    kernel_error_report = failed ? concat2(last_output_lines(output, 6), "\n") : std::string();
    if (!end.started) {
        const std::string problem = kernel_path_problem(kernel_path);
        kernel_error_report = concat3("kernel could not be started", problem.empty() ? "" : concat2(": ", problem), "\n");
    }
    if (end.signalled) kernel_error_report = concat3("kernel ended by signal ", int_to_text(end.code), "\n");
    // A kernel that never ran or was killed could not say so itself.
    if (!end.started || end.signalled) kernel_trace_text += kernel_error_report;

    std::vector<InteropMesh*> meshes = read_interop_meshes(out);
    if (n >= 1 && meshes.size() == n) {
        for (size_t i = 0; i < n; ++i) {
            if (!used[i] || !meshes[i] || (failed && meshes[i]->positions.empty())) continue;
            stamp_element_mesh(meshes[i], sources[i], mode);
            result[i] = meshes[i];
            meshes[i] = nullptr;
        }
    }
    // Meshes of skipped elements, or of an output that does not match.
    free_interop_meshes(meshes);
    return result;
}

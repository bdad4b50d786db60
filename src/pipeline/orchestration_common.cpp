#include "pipeline/orchestration_common.h"

#include <cstdio>

#include "context/app_context.h"
#include "model/entity_texts.h"
#include "model/interop_mesh.h"
#include "context/console_lines.h"
#include "context/trace_channels.h"
#include "pipeline/kernel_runs.h"
#include "model/parallel_grammar.h"
#include "platform/clock.h"
#include "text/split.h"
#include "text/text_utils.h"

std::string plural_suffix(int64_t n) { return n == 1 ? "" : "s"; }
std::string plural_article(int64_t n) { return n == 1 ? "the" : "each"; }

void log_console(AppContext& app, const std::string& text) { append_console_line(app, text, true); }

void log_duration(AppContext& app, int64_t start_ms) {
    log_console(app, concat3("  \t ", long_to_text(now_ms() - start_ms), " ms"));
}

void route_run_traces(AppContext& app, const std::string& kernel_end) {
    if (!kernel_end.empty()) log_console(app, concat2("  \t ", kernel_end));
    append_kernel_trace(app, kernel_trace_text);
    append_script_trace(app, script_trace_text);
    append_file_io_trace(app, file_io_trace_text);
    append_error_trace(app, error_trace_text);
}

int32_t parse_error_count(const EntityParseRecord& record) {
    const int32_t n = record.section_line_counts[SECTION_ERRORS];
    return n > 0 ? n : 0;
}

int64_t collect_element_errors(const std::vector<EntityParseRecord>& elements, std::string& listing) {
    int64_t total = 0;
    listing.clear();
    for (const EntityParseRecord& element : elements) {
        const int32_t n = parse_error_count(element);
        if (n < 1) continue;
        total += n;
        listing += concat4("// E:", element.path, "\n", element.sections[SECTION_ERRORS]);
    }
    return total;
}

void report_syntax_errors(AppContext& app, const std::string& name, int64_t n, const std::string& error_lines,
                          bool parallel, bool reassembly, const std::string& unreadable) {
    const std::string s = plural_suffix(n);
    const std::string art = plural_article(n);
    const std::string count = long_to_text(n);
    const std::string script = reassembly ? "script '" : "input script '";
    log_console(app, concat5("  \t ", count, " Syntax-Error", s, " (see trace for details)"));
    std::string text = concat12("The ", script, name, "' contains ", count, " syntactic error", s,
                                ".\n\nRefer to the kernel execution trace for further details in order to "
                                "identify and correct ",
                                art,
                                " error.\n\nNote: syntax errors are the product of parsing a malformed or "
                                "grammatically invalid set of VREK statements.\n\nNote: the ",
                                script, name);
    text += concat4("' can not be ", reassembly ? "re-assembled" : "assembled", " until ", art);
    text += " error has been resolved.";
    if (parallel) text += concat2("\n\n", error_lines);
    if (unreadable.empty()) {
        append_error_trace(app, error_lines);
    } else {
        text += concat2("\n\n", unreadable);
        append_error_trace(app, concat3(error_lines, unreadable, "\n"));
    }
    const std::string title = reassembly ? "Error: Re-Assembly Syntax-Error" : "Error: Syntax-Error";
    call_hook(app.hooks.show_error_box, app, concat3(title, s, " in Script"), text);
}

void report_runtime_errors(AppContext& app, const std::string& name, int64_t n, bool reassembly) {
    const std::string s = plural_suffix(n);
    const std::string art = plural_article(n);
    const std::string count = long_to_text(n);
    const std::string word = reassembly ? "Re-Assembly" : "Assembly";
    log_console(app, concat6("  \t ", count, " ", word, "-Error", concat2(s, " (see trace for details)")));
    std::string text = concat8("The input script '", name, "' caused ", count, " runtime error", s,
                               ".\n\nRefer to the kernel execution trace for further details in order to "
                               "identify and correct ",
                               art);
    text += concat5(" error.\n\nNote: ", reassembly ? "re-assembly" : "assembly",
                    " errors typically indicate spatial or logical issues and/or improper use of a language "
                    "feature, function or entity.\n\nNote: the input script '",
                    name, "' can not be ");
    text += concat4(reassembly ? "re-assembled" : "assembled", " until ", art, " error has been resolved.");
    if (!trim_whitespace(kernel_error_report).empty()) text += concat2("\n\n", kernel_error_report);
    call_hook(app.hooks.show_error_box, app, concat4("Error: ", word, " Error", concat2(s, " Occurred")), text);
    // Runtime errors come from kernels that ran through; an abnormal
    // ending is reported as a kernel failure instead.
    route_run_traces(app, std::string());
}

bool report_kernel_failure(AppContext& app, const std::string& name, bool reassembly, const std::string& kernel_end) {
    if (kernel_end.empty()) return false;
    const bool cancelled = kernel_end == kernel_run_cancelled;
    const std::string text =
        concat8("The kernel run for the input script '", name, "' did not complete:\n", kernel_end,
                ".\n\nNote: the input script '", name, "' has not been ",
                reassembly ? "re-assembled; the entity is unchanged." : "assembled.");
    call_hook(app.hooks.show_error_box, app,
              std::string(cancelled ? "Kernel Run Cancelled" : "Error: Kernel Run Failed"), text);
    return true;
}

bool report_cancelled_dispatch(AppContext& app, const std::string& name, bool reassembly) {
    if (!kernel_cancel_requested.load()) return false;
    // The step ends with its outcome, and what the runs printed until then.
    route_run_traces(app, kernel_run_cancelled);
    report_kernel_failure(app, name, reassembly, kernel_run_cancelled);
    return true;
}

void report_source_error(AppContext& app, const std::string& message) {
    const std::string line = concat3("!!! ERROR !!! : ", message, "\n");
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    call_hook(app.hooks.show_error_box, app, std::string("ERROR: ..."), message);
}

bool recolour_needed(const AppContext& app) {
    return app.render_flags.colour_mode != 0 || app.render_flags.negate_colours || app.render_flags.transparent_mode;
}

void compose_entity_texts(AppContext& app, EntityRecord& entity) {
    extract_entity_file_name(entity, app.ui_metrics.pane_glyph_widths);
    set_entity_summary_values(entity);
    format_entity_information(entity);
    set_entity_information_headings(entity);
}

void retire_mesh(AppContext& app, InteropMesh* mesh) {
    if (!mesh) return;
    app.gl_retirement.retired_vertex_arrays.push_back(mesh->vertex_array_id);
    app.gl_retirement.retired_vertex_buffers.push_back(mesh->vertex_buffer_id);
    app.gl_retirement.retired_index_buffers.push_back(mesh->index_buffer_id);
    free_interop_mesh(mesh);
}

void release_meshes(std::vector<InteropMesh*>& meshes) { free_interop_meshes(meshes); }

void release_subelement_records(AppContext& app, std::vector<EntityRecord*>& records) {
    for (EntityRecord*& record : records) {
        if (!record) continue;
        retire_mesh(app, record->mesh);
        record->mesh = nullptr;
        destroy_entity_record(*record);
        delete record;
        record = nullptr;
    }
    records.clear();
}

std::vector<EntityRecord*> build_subelement_records(const std::vector<InteropMesh*>& meshes,
                                                    const std::vector<EntityParseRecord>& elements) {
    std::vector<EntityRecord*> records(meshes.size(), nullptr);
    for (size_t i = 0; i < meshes.size(); ++i) {
        if (!meshes[i] || !meshes[i]->present) continue;
        EntityRecord* record = new EntityRecord(entity_construct());
        entity_attach_mesh(*record, meshes[i]);
        if (i < elements.size()) {
            entity_parse_record_assign(record->parse_record, elements[i]);
            parse_result_assign(record->parse_result, elements[i].parse_result);
        }
        records[i] = record;
    }
    return records;
}

void merge_subelement_parameters(const std::vector<EntityRecord*>& records, ParseResult& result) {
    std::vector<std::string> names;
    std::vector<ParseResult*> results;
    int64_t total = 0;
    for (EntityRecord* record : records) {
        if (!record || record->parse_result.parameter_count < 1) continue;
        names.push_back(extract_file_name(record->parse_record.path));
        results.push_back(&record->parse_result);
        total += record->parse_result.parameter_count;
    }
    construct_merged_parse_result(result, names, results, static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX)));
}

bool parse_parallel_script(AppContext& app, const EntityParseRecord& record, const std::string& name,
                           std::vector<SubElementSource>& sources, std::vector<EntityParseRecord>& elements,
                           bool reassembly) {
    std::vector<std::string> messages(1);
    sources = build_subelement_sources(record, &messages);
    if (!messages[0].empty()) {
        report_source_error(app, messages[0]);
        return false;
    }
    extract_invocation_group_keys(sources);
    std::string kernel_end;
    elements = parse_parallel_elements(sources, kernel_end);
    route_run_traces(app, kernel_end);
    if (report_kernel_failure(app, name, reassembly, kernel_end)) return false;
    std::string listing;
    const int64_t errors = collect_element_errors(elements, listing);
    if (errors > 0) {
        report_syntax_errors(app, name, errors, listing, true);
        return false;
    }
    return true;
}

EntityRecord serial_entity(AppContext& app, InteropMesh* mesh, const EntityParseRecord& record) {
    EntityRecord entity = entity_construct();
    entity_attach_mesh(entity, mesh);
    entity_parse_record_assign(entity.parse_record, record);
    parse_result_assign(entity.parse_result, record.parse_result);
    compose_entity_texts(app, entity);
    return entity;
}

bool report_failed_assembly(AppContext& app, const InteropMesh* mesh, const std::string& name, bool reassembly,
                            const std::string& kernel_end) {
    if (mesh) return false;
    if (!kernel_end.empty()) {
        route_run_traces(app, kernel_end);
        report_kernel_failure(app, name, reassembly, kernel_end);
        return true;
    }
    if (!kernel_error_report.empty()) {
        report_runtime_errors(app, name, 1, reassembly);
        return true;
    }
    return false;
}

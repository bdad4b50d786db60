#include "pipeline/orchestration.h"

#include <algorithm>

#include "context/app_context.h"
#include "model/entity_texts.h"
#include "model/entity.h"
#include "model/environment.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/orchestration_common.h"
#include "pipeline/parallel_dispatch.h"
#include "model/parallel_grammar.h"
#include "pipeline/parallel_jobs.h"
#include "platform/clock.h"
#include "text/split.h"
#include "text/text_utils.h"

void report_critical_assembly_error(AppContext& app, const std::string& name) {
    log_console(app, "  \t Critical Assembly-Error (NULL-RETURN)");
    std::string text = concat5("The input script '", name,
                               "' caused a critical runtime error to occur which forcibly terminated kernel execution "
                               "prior to completion.\n\nNote: the input script '",
                               name, "' can not be assembled until the source of the critical runtime error has been resolved.");
    // The sub-elements' kernels said why they gave nothing.
    if (!kernel_error_report.empty()) text += concat2("\n\n", kernel_error_report);
    call_hook(app.hooks.show_error_box, app, std::string("Error: Critical Assembly Error Occurred"), text);
    // What the kernel printed may say why it gave nothing.
    route_run_traces(app, std::string());
}

static bool set_holds_serial(const EntitySet& set, int32_t serial_id) {
    const size_t n = std::min(set.records.size(), static_cast<size_t>(std::max(set.count, 0)));
    for (size_t i = 0; i < n; ++i) {
        if (set.records[i].serial_id == serial_id) return true;
    }
    return false;
}

// Nobody else holds these meshes: an entity that was not stored must not
// leave them behind.
static void release_entity_meshes(AppContext& app, EntityRecord& entity) {
    if (entity.parallel == 1) {
        release_subelement_records(app, entity.subelement_records);
    } else {
        retire_mesh(app, entity.mesh);
    }
    entity.mesh = nullptr;
}

void add_assembled_entity(AppContext& app, EntityRecord& entity, int64_t assembly_start_ms) {
    EntitySet* set = app.entities.current_entities;
    EntityRecord* stored = nullptr;
    if (set && !set_holds_serial(*set, entity.serial_id)) {
        const size_t index = static_cast<size_t>(std::max(set->count, 0));
        if (index < set->records.size()) {
            set->records.resize(index);
        }
        set->records.push_back(entity);
        stored = &set->records.back();
        ++set->count;
        index_entities_with_parameters(*set);
        ++set->append_count;
        set->dirty = 1;
        if (app.entities.current_environment_parts.entity_view)
            app.entities.current_environment_parts.entity_view->width = std::max(app.entities.current_environment_parts.entity_view->width, entity.summary_width);
    }
    if (entity.parse_result.valid && entity.parse_result.parameter_count >= 1 && app.entities.current_environment_parts.parameter_view) {
        app.entities.current_environment_parts.parameter_view->width = std::max(app.entities.current_environment_parts.parameter_view->width, entity.summary_width);
        app.entities.current_environment_parts.parameter_view->height += 50;
    }
    call_hook(app.hooks.refresh_mesh_statistics, app);
    call_hook(app.hooks.update_window_status, app);
    call_hook(app.hooks.update_attribute_trace, app);
    if (recolour_needed(app)) call_hook(app.hooks.recolour_entity, app, stored ? *stored : entity);
    log_duration(app, assembly_start_ms);
    // Only a run that ended normally gives an entity.
    route_run_traces(app, std::string());
    if (!stored) release_entity_meshes(app, entity);
    destroy_entity_record(entity);
    if (app.startup.startup_entity_mesh) app.startup.startup_entity_mesh->visible = 0;
}

static void assemble_serial(AppContext& app, const EntityParseRecord& record, const std::string& name) {
    const int64_t start = now_ms();
    log_console(app, concat2("Assembling: ", name));
    std::string kernel_end;
    InteropMesh* mesh = assemble_script(join_statement_sections(record), app.io_settings.meshing_algorithm,
                                        app.io_settings.assembly_profiling != 0, kernel_end);
    if (report_failed_assembly(app, mesh, name, false, kernel_end)) return;
    if (!mesh || mesh->building || !mesh->present) {
        free_interop_mesh(mesh);
        report_critical_assembly_error(app, name);
        return;
    }
    EntityRecord entity = serial_entity(app, mesh, record);
    add_assembled_entity(app, entity, start);
}

static void assemble_parallel(AppContext& app, EntityParseRecord& record, const std::string& name) {
    parallel_core_limit.store(app.bars.max_cores);
    const int64_t start = now_ms();

    std::vector<SubElementSource> sources;
    std::vector<EntityParseRecord> elements;
    if (!parse_parallel_script(app, record, name, sources, elements)) {
        return;
    }

    log_console(app, concat2("Assembling: ", name));
    const bool multi_core = app.bars.parallel_multi_core != 0;
    const bool grouped = app.bars.parallel_invocation_groups != 0;
    const bool ccpp = app.bars.parallel_ccpp != 0;
    const bool profiling = app.io_settings.assembly_profiling != 0;
    const int32_t mode = app.io_settings.meshing_algorithm;
    if (ccpp) run_ccpp_assembly(extract_global_prefix_body(record), mode, profiling);
    if (report_cancelled_dispatch(app, name, false)) return;

    // The sources assembled come from a second parse of the file.
    EntityParseRecord second = parse_script_file(record.path);
    std::vector<SubElementSource> second_sources = build_subelement_sources(second, nullptr);
    const std::string kernel_end = second.kernel_end;
    destroy_entity_parse_record(second);
    route_run_traces(app, kernel_end);
    if (report_kernel_failure(app, name, false, kernel_end)) return;
    // A file that changed between the two parses no longer matches the
    // sub-element records of the first: nothing can be paired safely.
    if (second_sources.size() != sources.size() || second_sources.empty()) {
        report_critical_assembly_error(app, name);
        return;
    }
    const std::vector<int32_t> keys = extract_invocation_group_keys(second_sources);
    const std::vector<bool> selection(second_sources.size(), true);
    std::vector<InvocationGroup> groups;
    if (multi_core && grouped) groups = group_by_batch_key(keys, selection);
    std::vector<InteropMesh*> meshes;
    if (multi_core && grouped && groups.empty()) {
        // Nothing to batch: every element stays without a mesh.
        meshes.assign(second_sources.size(), nullptr);
    } else {
        meshes = assemble_parallel_entity(second_sources, selection, groups, ccpp, profiling, mode, multi_core);
    }
    second_sources.clear();
    if (report_cancelled_dispatch(app, name, false)) {
        release_meshes(meshes);
        return;
    }

    int64_t present = 0, missing = 0;
    for (InteropMesh* mesh : meshes) {
        if (mesh && mesh->present) ++present;
        else ++missing;  // a mesh the reader did not complete counts as none
    }
    if (meshes.size() != elements.size() || present == 0) {
        release_meshes(meshes);
        report_critical_assembly_error(app, name);
        return;
    }
    if (missing >= 1) {
        release_meshes(meshes);
        report_runtime_errors(app, name, missing, false);
        return;
    }

    std::vector<EntityRecord*> records = build_subelement_records(meshes, elements);
    EntityRecord entity = entity_construct(true);
    entity_set_subelements(entity, records, mode, now_ms() - start);
    merge_subelement_parameters(records, record.parse_result);
    entity_parse_record_assign(entity.parse_record, record);
    parse_result_assign(entity.parse_result, record.parse_result);
    compose_entity_texts(app, entity);
    add_assembled_entity(app, entity, start);
}

void parse_and_assemble_script(AppContext& app, const std::string& path) {
    const std::string name = extract_file_name(path);
    const int64_t start = now_ms();
    log_console(app, concat2("Parsing: ", name));
    EntityParseRecord record = parse_script_file(path);
    log_duration(app, start);
    route_run_traces(app, record.kernel_end);

    const int32_t errors = parse_error_count(record);
    if (report_kernel_failure(app, name, false, record.kernel_end)) {
        // the kernel did not run through: no syntax error to speak of
    } else if (errors >= 1) {
        report_syntax_errors(app, name, errors, record.sections[SECTION_ERRORS], false, false,
                             unreadable_script_lines(path, script_read_reason));
    } else if (record.parallel) {
        assemble_parallel(app, record, name);
    } else {
        assemble_serial(app, record, name);
    }
    destroy_entity_parse_record(record);
    // The reader's freed working memory stays in the heap on purpose: the
    // upload and the first frame of the new mesh reuse it at once, where
    // pages handed back would be faulted in again.
}

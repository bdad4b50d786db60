#include "pipeline/reassembly.h"

#include <algorithm>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "model/entity_texts.h"
#include "model/entity.h"
#include "model/environment.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/open_scripts.h"
#include "pipeline/orchestration_common.h"
#include "pipeline/parallel_dispatch.h"
#include "model/parallel_grammar.h"
#include "pipeline/parallel_jobs.h"
#include "pipeline/parameter_push.h"
#include "platform/clock.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {

size_t used_parameters(const ParseResult& result) {
    return std::min(result.parameters.size(), static_cast<size_t>(std::max(result.parameter_count, 0)));
}

// Whether the edited values of `old_result` fit the freshly parsed one:
// same count, and every parameter found by name with its type, inside the
// new bounds where both are defined.
bool values_fit(const ParseResult& old_result, const ParseResult& fresh) {
    if (!old_result.valid || old_result.parameter_count < 1) return false;
    if (!fresh.valid || fresh.parameter_count != old_result.parameter_count) return false;
    for (size_t i = 0; i < used_parameters(old_result); ++i) {
        const EntityParameter& p = old_result.parameters[i];
        const EntityParameter* found = find_parameter_by_name(fresh, p.name);
        if (!found || found->type != p.type) return false;
        const bool bounded = found->lower.type != PARAMETER_UNDEFINED && found->upper.type != PARAMETER_UNDEFINED;
        if (bounded && !is_parameter_in_range(*found, p.current)) return false;
    }
    return true;
}

void carry_values(const ParseResult& old_result, ParseResult& fresh) {
    for (size_t i = 0; i < used_parameters(old_result); ++i) {
        const EntityParameter& p = old_result.parameters[i];
        EntityParameter* found = find_parameter_by_name(fresh, p.name);
        if (!found) continue;
        found->current = p.current;
        found->modified = p.modified;
        found->value_text = p.value_text;
        found->last_pushed = found->current;
    }
}

std::vector<const EntityParameter*> parameter_list(const ParseResult& result) {
    std::vector<const EntityParameter*> list;
    for (size_t i = 0; i < used_parameters(result); ++i) list.push_back(&result.parameters[i]);
    return list;
}

void report_critical_reassembly_error(AppContext& app, const std::string& name, bool serial) {
    std::string text = concat5("The input script '", name,
                               "' caused a critical runtime error to occur which forcibly terminated kernel "
                               "execution prior to completion.\n\nNote: the input script '",
                               name,
                               "' can not be re-assembled until the source of the critical runtime error has "
                               "been resolved.");
    if (serial) {
        log_console(app, "  \t Critical Re-Assembly-Error (NULL RETURN)");
        text += concat3("\n\nNote: the state of the entity '", name, "' has not been modified.");
        call_hook(app.hooks.show_error_box, app, std::string("Error: Critical Re-Assembly-Error Occurred"), text);
    } else {
        log_console(app, "  \t Critical Re-Assembly-Error (NULL-RETURN)");
        // The sub-elements' kernels said why they gave nothing.
        if (!kernel_error_report.empty()) text += concat2("\n\n", kernel_error_report);
        call_hook(app.hooks.show_error_box, app, std::string("Error: Critical Re-Assembly Error Occurred"), text);
    }
    // What the kernel printed may say why it gave nothing.
    route_run_traces(app, std::string());
}

// Puts E in the old entity's slot. The old entity is read before the copy
// overwrites it (it is that slot).
bool merge_into_slot(AppContext& app, EntityRecord& old_entity, EntityRecord& fresh) {
    call_hook(app.hooks.merge_entity_display_flags, app, old_entity, fresh);
    uint32_t widest = 0;
    EntitySet* set = app.entities.current_environment_parts.entity_view ? app.entities.current_environment_parts.entity_view->entity_set : app.entities.current_entities;
    if (!merge_reassembled_entity(widest, set, old_entity, fresh)) return false;
    if (app.entities.current_environment_parts.entity_view) app.entities.current_environment_parts.entity_view->width = static_cast<int32_t>(std::min<uint32_t>(widest, INT32_MAX));
    return true;
}

// Frees what a new entity that could not be stored would leave: its own
// meshes, not the ones it took over from the old entity.
void release_unmerged(AppContext& app, EntityRecord& fresh) {
    for (EntityRecord* sub : fresh.subelement_records) {
        if (sub && sub->mesh && sub->mesh->reuse_mark) {
            sub->mesh->reuse_mark = 0;
            sub->mesh = nullptr;
        }
    }
    release_subelement_records(app, fresh.subelement_records);
    free_interop_mesh(fresh.mesh);
    fresh.mesh = nullptr;
    destroy_entity_record(fresh);
}

void after_merge(AppContext& app) {
    if (app.entities.current_environment_parts.parameter_view) measure_entity_set(*app.entities.current_environment_parts.parameter_view);
    call_hook(app.hooks.refresh_mesh_statistics, app);
}

void reassemble_serial(AppContext& app, EntityRecord& entity, EntityParseRecord& fresh_parse, const int32_t& algorithm,
                       const std::string& name, bool from_parallel) {
    bool carry = false;
    if (!from_parallel && entity.parameter_auto_sync && values_fit(entity.parse_result, fresh_parse.parse_result)) {
        carry_values(entity.parse_result, fresh_parse.parse_result);
        carry = true;
    }
    const int64_t start = now_ms();
    log_console(app, concat2("Re-Assembling: ", name));
    const std::string text = carry ? compose_pushed_script(parameter_list(entity.parse_result), fresh_parse, false)
                                   : join_statement_sections(fresh_parse);
    std::string kernel_end;
    InteropMesh* mesh = assemble_script(text, algorithm, app.io_settings.assembly_profiling != 0, kernel_end);
    if (report_failed_assembly(app, mesh, name, true, kernel_end)) return;
    if (!mesh || mesh->building || !mesh->present) {
        free_interop_mesh(mesh);
        report_critical_reassembly_error(app, name, true);
        return;
    }
    EntityRecord fresh = serial_entity(app, mesh, fresh_parse);

    InteropMesh* old_mesh = entity.mesh;
    std::vector<EntityRecord*> old_records = entity.subelement_records;
    if (!merge_into_slot(app, entity, fresh)) {
        release_unmerged(app, fresh);
        return;
    }
    // Only now that the slot no longer refers to them.
    if (from_parallel) release_subelement_records(app, old_records);
    after_merge(app);
    if (recolour_needed(app)) call_hook(app.hooks.recolour_entity, app, entity);
    if (!from_parallel) retire_mesh(app, old_mesh);
    log_duration(app, start);
    // Only a run that ended normally gives a mesh.
    route_run_traces(app, std::string());
    destroy_entity_record(fresh);
}

// Culling keeps a mesh because assembling again would give the same one;
// with profiling on, a mesh without a report would not be the same.
bool lacks_asked_report(const AppContext& app, const InteropMesh* mesh) {
    return app.io_settings.assembly_profiling != 0 && (!mesh || mesh->ppd_text.empty());
}

// The first old sub-element record, not yet taken, with the same path and
// the same script text as the element, whose mesh culling may keep.
int32_t find_old_record(const AppContext& app, const std::vector<EntityRecord*>& old_records,
                        const std::vector<bool>& taken, const EntityParseRecord& element) {
    for (size_t j = 0; j < old_records.size(); ++j) {
        const EntityRecord* old = old_records[j];
        if (!old || taken[j] || !old->mesh || lacks_asked_report(app, old->mesh)) continue;
        if (old->parse_record.path == element.path && old->parse_record.script == element.script)
            return static_cast<int32_t>(j);
    }
    return -1;
}

void reassemble_parallel(AppContext& app, EntityRecord& entity, EntityParseRecord& fresh_parse,
                         const int32_t& algorithm, const std::string& name, bool from_serial) {
    parallel_core_limit.store(app.bars.max_cores);
    const int64_t start = now_ms();

    std::vector<SubElementSource> sources;
    std::vector<EntityParseRecord> elements;
    if (!parse_parallel_script(app, fresh_parse, name, sources, elements, true)) {
        return;
    }

    const size_t n = elements.size();
    const std::vector<EntityRecord*> old_records = from_serial ? std::vector<EntityRecord*>() : entity.subelement_records;
    std::vector<bool> selected(n, true);
    std::vector<bool> carried(n, false);
    // Old record whose mesh an unselected element takes over; each old
    // record hands its mesh to one element at most.
    std::vector<int32_t> reuse_from(n, -1);
    std::vector<bool> taken(old_records.size(), false);
    if (!from_serial) {
        if (app.bars.parallel_culling && entity.algorithm == algorithm) {
            for (size_t i = 0; i < n; ++i) {
                const int32_t j = find_old_record(app, old_records, taken, elements[i]);
                if (j < 0) continue;
                selected[i] = false;
                reuse_from[i] = j;
                taken[static_cast<size_t>(j)] = true;
            }
        }
        int64_t element_parameters = 0;
        for (const EntityParseRecord& e : elements) element_parameters += std::max(e.parse_result.parameter_count, 0);
        if (entity.parameter_auto_sync && entity.parse_result.valid && entity.parse_result.parameter_count >= 1 &&
            element_parameters >= 1 && n >= 1) {
            for (size_t i = 0; i < n; ++i) {
                ParseResult& fresh = elements[i].parse_result;
                if (!fresh.valid || fresh.parameter_count < 1) continue;
                const EntityRecord* match = nullptr;
                for (const EntityRecord* old : old_records) {
                    if (old && old->parse_record.path == elements[i].path &&
                        old->parse_result.parameter_count == fresh.parameter_count) {
                        match = old;
                        break;
                    }
                }
                if (!match || !values_fit(match->parse_result, fresh)) continue;
                carry_values(match->parse_result, fresh);
                carried[i] = true;
            }
        }
    }

    log_console(app, concat2("Re-Assembling: ", name));
    const bool profiling = app.io_settings.assembly_profiling != 0;
    std::vector<InteropMesh*> fresh_meshes(n, nullptr);
    if (std::find(selected.begin(), selected.end(), true) != selected.end()) {
        std::vector<SubElementSource> assembled = build_subelement_sources(fresh_parse, nullptr);
        const std::vector<int32_t> keys = extract_invocation_group_keys(assembled);
        if (assembled.size() == n) {
            for (size_t i = 0; i < n; ++i) {
                if (carried[i] && assembled[i].size() > 1)
                    assembled[i][1] = compose_pushed_script(parameter_list(elements[i].parse_result), elements[i], true);
            }
            const bool multi_core = app.bars.parallel_multi_core != 0;
            const bool ccpp = app.bars.parallel_ccpp != 0;
            if (ccpp) run_ccpp_assembly(extract_global_prefix_body(fresh_parse), algorithm, profiling);
            std::vector<InvocationGroup> groups;
            if (app.bars.parallel_invocation_groups && multi_core) groups = group_by_batch_key(keys, selected);
            if (!kernel_cancel_requested.load())
                fresh_meshes = assemble_parallel_entity(assembled, selected, groups, ccpp, profiling, algorithm, multi_core);
            if (report_cancelled_dispatch(app, name, true)) {
                release_meshes(fresh_meshes);
                return;
            }
        }
    }

    std::vector<InteropMesh*> result(n, nullptr);
    if (fresh_meshes.size() == n) {
        for (size_t i = 0; i < n; ++i) {
            if (selected[i]) result[i] = fresh_meshes[i];
            else if (reuse_from[i] >= 0) result[i] = old_records[static_cast<size_t>(reuse_from[i])]->mesh;
        }
    }
    int64_t present = 0, missing = 0;
    for (InteropMesh* mesh : result) {
        if (mesh && mesh->present) ++present;
        else ++missing;  // a mesh the reader did not complete counts as none
    }
    if (present == 0 || missing >= 1) {
        // Only the meshes read in this run go; reused ones stay with the old entity.
        release_meshes(fresh_meshes);
        if (present == 0) report_critical_reassembly_error(app, name, false);
        else report_runtime_errors(app, name, missing, true);
        return;
    }
    for (size_t i = 0; i < n; ++i) {
        if (!selected[i]) result[i]->reuse_mark = 1;
    }

    std::vector<EntityRecord*> records = build_subelement_records(result, elements);
    EntityRecord fresh = entity_construct(true);
    entity_set_subelements(fresh, records, algorithm, now_ms() - start);
    merge_subelement_parameters(records, fresh_parse.parse_result);
    entity_parse_record_assign(fresh.parse_record, fresh_parse);
    parse_result_assign(fresh.parse_result, fresh_parse.parse_result);
    compose_entity_texts(app, fresh);

    InteropMesh* old_mesh = entity.mesh;
    std::vector<EntityRecord*> released = old_records;
    if (!merge_into_slot(app, entity, fresh)) {
        release_unmerged(app, fresh);
        return;
    }
    // Old records go after the merge has read them; meshes handed on stay.
    for (EntityRecord*& old : released) {
        if (!old) continue;
        if (old->mesh && old->mesh->reuse_mark) {
            old->mesh->reuse_mark = 0;
            old->mesh = nullptr;
        }
    }
    release_subelement_records(app, released);
    after_merge(app);
    call_hook(app.hooks.update_window_status, app);
    call_hook(app.hooks.update_attribute_trace, app);
    if (recolour_needed(app)) call_hook(app.hooks.recolour_entity, app, entity);
    if (from_serial) retire_mesh(app, old_mesh);
    log_duration(app, start);
    // Only runs that ended normally give an entity.
    route_run_traces(app, std::string());
    destroy_entity_record(fresh);
}

// The algorithm chosen in the re-assembly confirmation; the constructed
// default when nothing was chosen.
static int32_t confirmed_algorithm(const AppContext& app) {
    const std::vector<int32_t>& chosen = app.dialogs.confirm_algorithm;
    return chosen.empty() ? app.io_settings.meshing_algorithm : chosen.front();
}

EntityRecord* entity_at(AppContext& app, int64_t index) {
    EntitySet* set = app.entities.current_entities;
    if (!set || index < 0) return nullptr;
    const size_t n = std::min(set->records.size(), static_cast<size_t>(std::max(set->count, 0)));
    return static_cast<size_t>(index) < n ? &set->records[static_cast<size_t>(index)] : nullptr;
}

void finish_action(AppContext& app) {
    rebuild_entity_panes(app);
    app.frame.needs_redraw = 1;
}

}  // namespace

void reparse_and_reassemble_entity(AppContext& app, EntityRecord& entity, const int32_t& algorithm) {
    const std::string name = extract_file_name(entity.parse_record.path);
    const int64_t start = now_ms();
    log_console(app, concat2("Re-Parsing: ", name));
    EntityParseRecord fresh = parse_script_file(entity.parse_record.path);
    log_duration(app, start);
    route_run_traces(app, fresh.kernel_end);
    if (report_kernel_failure(app, name, true, fresh.kernel_end)) {
        destroy_entity_parse_record(fresh);
        return;
    }

    if (app.io_settings.reassembly_culling && fresh.script == entity.parse_record.script) {
        const bool serial_same = entity.parallel == 0 && entity.mesh && entity.mesh->algorithm == algorithm &&
                                 !lacks_asked_report(app, entity.mesh);
        const bool parallel_same =
            entity.parallel == 1 && entity.algorithm == algorithm &&
            std::none_of(entity.subelement_records.begin(), entity.subelement_records.end(),
                         [&](const EntityRecord* sub) { return sub && lacks_asked_report(app, sub->mesh); });
        if (serial_same || parallel_same) {
            log_console(app, "  \t (nothing to do - skipping re-assembly)");
            destroy_entity_parse_record(fresh);
            return;
        }
    }

    const int32_t errors = parse_error_count(fresh);
    if (errors > 0) {
        report_syntax_errors(app, name, errors, fresh.sections[SECTION_ERRORS], false, true,
                             unreadable_script_lines(entity.parse_record.path, script_read_reason));
    } else if (fresh.parallel != 0) {
        if (fresh.parallel == 1 && (entity.parallel == 0 || entity.parallel == 1))
            reassemble_parallel(app, entity, fresh, algorithm, name, entity.parallel == 0);
    } else if (entity.parallel == 1) {
        reassemble_serial(app, entity, fresh, algorithm, name, true);
    } else if (entity.parallel == 0) {
        reassemble_serial(app, entity, fresh, algorithm, name, false);
    }
    destroy_entity_parse_record(fresh);
}

int32_t merge_reassembled_entity(uint32_t& widest, EntitySet* set, const EntityRecord& old_entity,
                                 const EntityRecord& new_entity) {
    if (!set) return 0;
    if (old_entity.serial_id == new_entity.serial_id) return 0;
    if (old_entity.pending || new_entity.pending) return 0;
    const size_t n = std::min(set->records.size(), static_cast<size_t>(std::max(set->count, 0)));
    if (n == 0) return 0;
    const int32_t serial = old_entity.serial_id;
    EntityRecord* slot = nullptr;
    for (size_t i = 0; i < n && !slot; ++i) {
        if (set->records[i].serial_id == serial) slot = &set->records[i];
    }
    if (!slot) return 0;
    entity_assign(*slot, new_entity);
    index_entities_with_parameters(*set);
    set->dirty = 1;
    int32_t wide = 0;
    for (size_t i = 0; i < n; ++i) wide = std::max(wide, set->records[i].summary_width);
    widest = static_cast<uint32_t>(wide);
    return 1;
}

void reassemble_first_entity(AppContext& app) {
    // The dialog is offered for a single entity; an empty set has no first.
    if (EntityRecord* entity = entity_at(app, 0)) reparse_and_reassemble_entity(app, *entity, confirmed_algorithm(app));
    finish_action(app);
}

void reassemble_all_entities(AppContext& app) {
    const int32_t count = app.entities.current_entities ? app.entities.current_entities->count : 0;
    for (int32_t i = 0; i < count; ++i) {
        EntityRecord* entity = entity_at(app, i);
        if (entity && !entity->locked) reparse_and_reassemble_entity(app, *entity, confirmed_algorithm(app));
    }
    finish_action(app);
}

void reassemble_pending_entity(AppContext& app) {
    const int32_t index = app.dialogs.pending_reassembly_index;
    app.dialogs.pending_reassembly_index = -1;
    if (EntityRecord* entity = entity_at(app, index)) reparse_and_reassemble_entity(app, *entity, confirmed_algorithm(app));
    finish_action(app);
}

void reassemble_first_entity() {
    if (AppContext* app = app_instance) reassemble_first_entity(*app);
}
void reassemble_all_entities() {
    if (AppContext* app = app_instance) reassemble_all_entities(*app);
}
void reassemble_pending_entity() {
    if (AppContext* app = app_instance) reassemble_pending_entity(*app);
}

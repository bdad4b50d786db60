#include "pipeline/parameter_push.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "model/entity_texts.h"
#include "model/entity.h"
#include "model/parameters.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/orchestration_common.h"
#include "platform/clock.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {

constexpr uint32_t kTrueColour = 0xFF20A000u;
constexpr uint32_t kFalseColour = 0xFFA02000u;

std::vector<EntityParameter*> own_parameters(ParseResult& result) {
    std::vector<EntityParameter*> list;
    const size_t n = std::min(result.parameters.size(), static_cast<size_t>(std::max(result.parameter_count, 0)));
    for (size_t i = 0; i < n; ++i) list.push_back(&result.parameters[i]);
    return list;
}

std::vector<const EntityParameter*> const_list(const std::vector<EntityParameter*>& list) {
    return std::vector<const EntityParameter*>(list.begin(), list.end());
}

void mark_pushed(const std::vector<EntityParameter*>& parameters) {
    for (EntityParameter* p : parameters) p->last_pushed = p->current;
}

bool any_changed(const std::vector<EntityParameter*>& parameters) {
    for (const EntityParameter* p : parameters) {
        if (parameter_changed(*p)) return true;
    }
    return false;
}

std::string row_label(const EntityRecord& entity) {
    const std::string second = entity.summary_lines.size() > 1 ? entity.summary_lines[1] : std::string();
    const std::string third = entity.summary_lines.size() > 2 ? entity.summary_lines[2] : std::string();
    return concat3(second, "\n", third);
}

void update_rows(AppContext& app, EntityRecord& entity, bool from_pane) {
    const std::string label = row_label(entity);
    EntitySet* set = app.entities.current_entities;
    if (from_pane) {
        const int32_t row = app.entities.current_environment_parts.parameter_view ? app.entities.current_environment_parts.parameter_view->selected_row : -1;
        if (set && row >= 0 && static_cast<size_t>(row) < set->parameter_entities.size()) {
            call_hook(app.hooks.set_entity_row_label, app, set->parameter_entities[static_cast<size_t>(row)], label);
            call_hook(app.hooks.set_parameter_row_label, app, row, label);
        }
    } else {
        int32_t position = -1, row = -1;
        if (set) {
            const size_t n = std::min(set->records.size(), static_cast<size_t>(std::max(set->count, 0)));
            for (size_t i = 0; i < n && position < 0; ++i) {
                if (&set->records[i] == &entity) position = static_cast<int32_t>(i);
            }
            for (size_t r = 0; r < set->parameter_entities.size() && position >= 0 && row < 0; ++r) {
                if (set->parameter_entities[r] == position) row = static_cast<int32_t>(r);
            }
        }
        if (position >= 0 && row >= 0) {
            call_hook(app.hooks.set_entity_row_label, app, position, label);
            call_hook(app.hooks.set_parameter_row_label, app, row, label);
        } else {
            std::fputs("POST-PARAM-SYNC-ERROR!\n", stdout);
            std::fflush(stdout);
        }
    }
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

// Re-assembles one record (whole entity or sub-element) from its own
// parameters and parse; false, with the old mesh kept, when no mesh came.
// `kernel_end` is the run's, as assemble_script gives it.
bool reassemble_with_parameters(AppContext& app, EntityRecord& record, int32_t mode, bool keep_element_fields,
                                std::string& kernel_end) {
    std::vector<EntityParameter*> parameters = own_parameters(record.parse_result);
    InteropMesh* mesh = assemble_script(compose_pushed_script(const_list(parameters), record.parse_record, true), mode,
                                        app.io_settings.assembly_profiling != 0, kernel_end);
    if (!mesh || !mesh->present || mesh->building) {
        free_interop_mesh(mesh);
        return false;
    }
    InteropMesh* old = record.mesh;
    if (keep_element_fields && old) {
        mesh->element_index = old->element_index;
        mesh->batch_index = old->batch_index;
        mesh->element_count = old->element_count;
        mesh->batch_count = old->batch_count;
        mesh->element_invocation = old->element_invocation;
        mesh->element_source = old->element_source;
    }
    entity_attach_mesh(record, mesh);
    if (keep_element_fields) record.is_element = 1;
    mark_pushed(parameters);
    if (recolour_needed(app)) call_hook(app.hooks.recolour_entity, app, record);
    retire_mesh(app, old);
    return true;
}

// `kernel_end` is that of the last run of the push.
void report_push_failure(AppContext& app, const EntityRecord& entity, int64_t failed, const std::string& kernel_end) {
    const std::string name = extract_file_name(entity.parse_record.path);
    if (!kernel_end.empty()) {
        route_run_traces(app, kernel_end);
        report_kernel_failure(app, name, true, kernel_end);
        return;
    }
    report_runtime_errors(app, name, failed, false);
}

void reset_one(AppContext& app, EntityParameter& p, int32_t row) {
    p.current = p.default_value;
    std::string text = typed_value_to_text(p.current);
    uint32_t colour = 0;
    if (p.type == PARAMETER_BLN) {
        text = to_upper(text);
        colour = p.current.bool_value ? kTrueColour : kFalseColour;
    }
    call_hook(app.hooks.set_parameter_field, app, row, text, colour);
    const bool ranged = p.type == PARAMETER_INT || p.type == PARAMETER_DBL || p.type == PARAMETER_LNG;
    if (ranged && p.lower.type == p.type && p.upper.type == p.type)
        call_hook(app.hooks.set_parameter_slider, app, row, parameter_normalised_value(p));
}

// The kernel reads a pushed text raw up to a quote that a ';' follows, and
// no literal across a line break: a value that would end early there is
// left out rather than run as statements. The panes refuse more (any quote
// or backslash); a script's own value, read as one literal, is written back
// as it was declared.
bool stays_one_literal(int32_t type, const ParameterValue& v) {
    if (type == PARAMETER_CHR) return v.char_value != '\n' && v.char_value != '\r';
    if (type != PARAMETER_STR) return true;
    const std::string& s = v.string_value;
    if (s.find_first_of("\n\r") != std::string::npos) return false;
    for (size_t q = s.find('"'); q != std::string::npos; q = s.find('"', q + 1)) {
        const size_t next = s.find_first_not_of(" \t", q + 1);
        if (next != std::string::npos && s[next] == ';') return false;
    }
    return true;
}

}  // namespace

bool parameter_changed(const EntityParameter& p) {
    const ParameterValue& a = p.current;
    const ParameterValue& b = p.last_pushed;
    switch (p.type) {
    case PARAMETER_INT: return a.int_value != b.int_value;
    case PARAMETER_LNG: return a.long_value != b.long_value;
    case PARAMETER_DBL: return !(a.double_value == b.double_value);
    case PARAMETER_BLN: return a.bool_value != b.bool_value;
    case PARAMETER_CHR: return a.char_value != b.char_value;
    case PARAMETER_STR: return a.string_value != b.string_value;
    default: return false;
    }
}

bool stageable_parameter_value(const ParameterValue& v) {
    if (v.type == PARAMETER_STR) return v.string_value.find_first_of("\"\\\n\r") == std::string::npos;
    if (v.type != PARAMETER_CHR) return true;
    const unsigned char c = static_cast<unsigned char>(v.char_value);
    return c != '\'' && c != '"' && c != '\\' && c >= 0x20 && c != 0x7F;
}

std::string format_parameter_statement(const EntityParameter& p) {
    if (p.type < PARAMETER_INT || p.type > PARAMETER_STR) return std::string();
    if (!stays_one_literal(p.type, p.current)) return std::string();
    const std::string head = concat3(parameter_type_keywords[p.type], " ", p.name);
    const ParameterValue& v = p.current;
    switch (p.type) {
    case PARAMETER_INT: return concat4(head, " = ", int_to_text(v.int_value), ";");
    case PARAMETER_DBL: return concat4(head, " = ", double_to_exact_text(v.double_value), ";");
    case PARAMETER_LNG: return concat4(head, " = ", long_to_text(v.long_value), ";");
    case PARAMETER_BLN: return concat4(head, " = ", v.bool_value ? "true" : "false", ";");
    case PARAMETER_CHR: return concat4(head, " = '", std::string(1, v.char_value), "';");
    default: return concat4(head, " = \"", v.string_value, "\";");
    }
}

double parameter_normalised_value(const EntityParameter& p) {
    if (p.lower.type == PARAMETER_UNDEFINED || p.upper.type == PARAMETER_UNDEFINED) return -1.0;
    switch (p.type) {
    case PARAMETER_DBL: {
        // Halved, neither difference overflows, even between bounds of +-1e308.
        const double span = p.upper.double_value / 2 - p.lower.double_value / 2;
        return span == 0.0 ? 0.0 : (p.current.double_value / 2 - p.lower.double_value / 2) / span;
    }
    case PARAMETER_INT: {
        // 32-bit differences would overflow for wide bounds.
        const int64_t span = static_cast<int64_t>(p.upper.int_value) - p.lower.int_value;
        const int64_t offset = static_cast<int64_t>(p.current.int_value) - p.lower.int_value;
        return span == 0 ? 0.0 : static_cast<double>(offset) / static_cast<double>(span);
    }
    case PARAMETER_LNG: {
        // And 64-bit ones for wide long bounds.
        const long double span = static_cast<long double>(p.upper.long_value) - p.lower.long_value;
        const long double offset = static_cast<long double>(p.current.long_value) - p.lower.long_value;
        return span == 0 ? 0.0 : static_cast<double>(offset / span);
    }
    default: return -1.0;
    }
}

std::vector<EntityParameter*> listed_parameters(EntityRecord& entity) {
    if (entity.parallel != 1) return own_parameters(entity.parse_result);
    std::vector<EntityParameter*> list;
    for (EntityParameter* p : entity.parse_result.merged_parameters) {
        if (p) list.push_back(p);
    }
    return list;
}

std::string compose_pushed_script(const std::vector<const EntityParameter*>& parameters,
                                  const EntityParseRecord& parse, bool logic_line) {
    std::string text = "// parameters\n";
    for (const EntityParameter* p : parameters) text += concat2(format_parameter_statement(*p), "\n");
    if (logic_line) text += "// logic\n";
    const auto& sections = parse.sections;
    text += concat6(sections[SECTION_DIRECTIVES], "\n", sections[SECTION_FUNCTIONS], "\n",
                    sections[SECTION_OPERATIONS], "\n");
    return text;
}

// The console step of a push: it assembles the entity again, as a
// re-assembly does, without a parse.
int64_t log_push_step(AppContext& app, const EntityRecord& entity) {
    const int64_t start = now_ms();
    log_console(app, concat2("Re-Assembling: ", extract_file_name(entity.parse_record.path)));
    return start;
}

void push_entity_parameters(AppContext& app, EntityRecord* entity, bool from_pane) {
    if (!entity) return;
    if (entity->parallel != 1) {
        std::vector<EntityParameter*> parameters = own_parameters(entity->parse_result);
        if (parameters.empty() || !any_changed(parameters)) return;
        const int32_t mode = entity->mesh ? entity->mesh->algorithm : app.io_settings.meshing_algorithm;
        const int64_t start = log_push_step(app, *entity);
        std::string kernel_end;
        if (!reassemble_with_parameters(app, *entity, mode, false, kernel_end)) {
            report_push_failure(app, *entity, 1, kernel_end);
            return;
        }
        set_entity_summary_values(*entity);
        format_entity_information(*entity);
        call_hook(app.hooks.refresh_mesh_statistics, app);
        log_duration(app, start);
        route_run_traces(app, std::string());
        update_rows(app, *entity, from_pane);
        return;
    }

    if (entity->parse_result.parameter_count < 1) return;
    if (!any_changed(listed_parameters(*entity))) return;
    const int64_t start = log_push_step(app, *entity);
    int64_t pushed = 0, failed = 0;
    // The first abnormal ending is the one reported; the outputs of every
    // run go to the traces, each under its sub-element's name.
    std::string kernel_end, outputs, errors, reports;
    for (ParseResult* result : entity->parse_result.element_results) {
        if (!result || !any_changed(own_parameters(*result))) continue;
        // The sub-element that owns this result, found by identity.
        EntityRecord* owner = nullptr;
        for (EntityRecord* sub : entity->subelement_records) {
            if (sub && &sub->parse_result == result) owner = sub;
        }
        if (!owner) continue;
        std::string run_end;
        if (reassemble_with_parameters(app, *owner, entity->algorithm, true, run_end)) {
            ++pushed;
        } else {
            ++failed;
            if (!kernel_error_report.empty()) reports += headed_run_output({owner->parse_record.path}, kernel_error_report);
        }
        outputs += headed_run_output({owner->parse_record.path}, kernel_trace_text);
        errors += error_trace_text;
        if (kernel_end.empty()) kernel_end = run_end;
        // The next run would clear the user's cancel: the push ends here.
        if (run_end == kernel_run_cancelled) break;
    }
    set_assembly_trace_texts(outputs);
    error_trace_text = errors;
    // Each failed sub-element's own message, not only the last run's.
    kernel_error_report = reports;
    if (pushed > 0) {
        update_parallel_entity_statistics(*entity, now_ms() - start);
        set_entity_summary_values(*entity);
        format_entity_information(*entity);
        call_hook(app.hooks.refresh_mesh_statistics, app);
    }
    if (failed > 0) {
        report_push_failure(app, *entity, failed, kernel_end);
    } else {
        log_duration(app, start);
        route_run_traces(app, std::string());
    }
    if (pushed > 0) update_rows(app, *entity, from_pane);
}

void push_selected_entity_parameters(AppContext& app) {
    if (EntityRecord* entity = parameter_entity_record(app)) push_entity_parameters(app, entity, true);
}

void push_parameters_action() {
    if (AppContext* app = app_instance) push_selected_entity_parameters(*app);
}

void reset_selected_parameter(AppContext& app) {
    app.pane_open_flags[PANE_CONFIRM] = 0;
    const int32_t index = app.export_settings.pending_parameter_index;
    app.export_settings.pending_parameter_index = -1;
    EntityRecord* entity = parameter_entity_record(app);
    if (!entity || index < 0) return;
    std::vector<EntityParameter*> parameters = listed_parameters(*entity);
    if (static_cast<size_t>(index) >= parameters.size()) return;
    reset_one(app, *parameters[static_cast<size_t>(index)], index);
    if (!entity->parameter_multi_edit_mode) push_selected_entity_parameters(app);
}

void reset_all_parameters(AppContext& app) {
    app.pane_open_flags[PANE_CONFIRM] = 0;
    EntityRecord* entity = parameter_entity_record(app);
    if (!entity) return;
    std::vector<EntityParameter*> parameters = listed_parameters(*entity);
    size_t marked = 0;
    auto is_marked = [&](size_t i) { return parameter_mark(*entity, i) != 0; };
    for (size_t i = 0; i < parameters.size(); ++i) marked += is_marked(i) ? 1 : 0;
    const bool every = marked == 0 || marked == parameters.size();
    for (size_t i = 0; i < parameters.size(); ++i) {
        if (every || is_marked(i)) reset_one(app, *parameters[i], static_cast<int32_t>(i));
    }
    if (!entity->parameter_multi_edit_mode) push_selected_entity_parameters(app);
}

void reset_selected_parameter() {
    if (AppContext* app = app_instance) reset_selected_parameter(*app);
}

void reset_all_parameters() {
    if (AppContext* app = app_instance) reset_all_parameters(*app);
}

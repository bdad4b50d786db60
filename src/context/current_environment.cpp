#include "context/current_environment.h"

#include "context/app_context.h"

#include <algorithm>

AppContext* app_instance = nullptr;

void bind_environment(AppContext& app, Environment* environment) {
    EntityState& state = app.entities;
    state.current_environment = environment;
    state.current_entities = environment ? &environment->entities : nullptr;
    CurrentEnvironmentParts& parts = state.current_environment_parts;
    parts.trace_log = environment ? &environment->trace_log : nullptr;
    parts.entity_view = environment ? &environment->entity_list_view : nullptr;
    parts.parameter_view = environment ? &environment->parameter_list_view : nullptr;
    if (parts.entity_view) parts.entity_view->entity_set = state.current_entities;
    if (parts.parameter_view) parts.parameter_view->entity_set = state.current_entities;
    // The live camera itself follows when the environment's state is loaded.
    if (environment) app.camera.controller_cameras = environment->view.camera.controller_cameras;
}

Environment* make_new_environment_current(AppContext& app) {
    Environment* environment = append_environment(app.entities.environment_list);
    bind_environment(app, environment);
    return environment;
}


namespace {

EntityRecord* record_at(EntitySet& set, int32_t index) {
    const size_t n = std::min(set.records.size(), static_cast<size_t>(std::max(set.count, 0)));
    return index >= 0 && static_cast<size_t>(index) < n ? &set.records[static_cast<size_t>(index)] : nullptr;
}

}  // namespace

EntityRecord* inspector_entity_record(AppContext& app) {
    EntitySet* set = app.entities.current_entities;
    const EntityListView* view = app.entities.current_environment_parts.entity_view;
    if (!set || !view) return nullptr;
    return record_at(*set, view->selected_row);
}

EntityRecord* parameter_entity_record(AppContext& app) {
    EntitySet* set = app.entities.current_entities;
    const EntityListView* view = app.entities.current_environment_parts.parameter_view;
    if (!set || !view) return nullptr;
    const int32_t row = view->selected_row;
    if (row < 0 || static_cast<size_t>(row) >= set->parameter_entities.size()) return nullptr;
    return record_at(*set, set->parameter_entities[static_cast<size_t>(row)]);
}

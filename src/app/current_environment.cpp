#include "app/current_environment.h"

#include "app/app_context.h"

AppContext* app_instance = nullptr;

void bind_current_environment(AppContext& app, Environment* environment) {
    EntityState& state = app.entities;
    state.current_environment = environment;
    state.current_entities = environment ? &environment->entities : nullptr;
    CurrentEnvironmentParts& parts = state.current_environment_parts;
    parts.trace_log = environment ? &environment->trace_log : nullptr;
    parts.entity_view = environment ? &environment->entity_list_view : nullptr;
    parts.parameter_view = environment ? &environment->parameter_list_view : nullptr;
    if (parts.entity_view) parts.entity_view->entity_set = state.current_entities;
    if (parts.parameter_view) parts.parameter_view->entity_set = state.current_entities;
}

Environment* add_current_environment(AppContext& app) {
    Environment* environment = append_environment(app.entities.environment_list);
    bind_current_environment(app, environment);
    return environment;
}


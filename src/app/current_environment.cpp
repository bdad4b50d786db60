#include "app/current_environment.h"

#include "app/app_context.h"

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
    if (environment) app.camera.controller_cameras = environment->view.camera_slots;
}

Environment* make_new_environment_current(AppContext& app) {
    Environment* environment = append_environment(app.entities.environment_list);
    bind_environment(app, environment);
    return environment;
}


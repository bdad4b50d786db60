#include "app/current_environment.h"

#include "app/app_context.h"

static AppContext* published_context = nullptr;

void bind_current_environment(AppContext& app, Environment* environment) {
    app.environment = environment;
    app.entity_set = environment ? &environment->entities : nullptr;
    app.parameter_list_view = environment ? &environment->parameter_list_view : nullptr;
    app.entity_list_view = environment ? &app.entity_list_view_standin : nullptr;
    if (app.parameter_list_view) app.parameter_list_view->entity_set = app.entity_set;
    if (app.entity_list_view) app.entity_list_view->entity_set = app.entity_set;
}

Environment* add_current_environment(AppContext& app) {
    Environment* environment = append_environment(app.environments);
    bind_current_environment(app, environment);
    return environment;
}

AppContext* published_app_context() { return published_context; }
void publish_app_context(AppContext* app) { published_context = app; }

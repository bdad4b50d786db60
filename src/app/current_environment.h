#pragma once

struct AppContext;
struct Environment;
struct EntityRecord;

// Binds the context to an environment: its entity set and list views become
// the current ones. Null unbinds.
void bind_current_environment(AppContext& app, Environment* environment);

// Appends a new environment to the context's list and makes it current.
Environment* add_current_environment(AppContext& app);

// The one application context: null until the interface is built, then
// set by the application main; every platform callback and parameterless
// action tests it first and does nothing while it is null.
extern AppContext* app_instance;

// The entity the entity inspector shows (its list's selected row indexes
// the current set's records), or null: no current set, nothing selected or
// a row past the set's count.
EntityRecord* inspector_entity_record(AppContext& app);
// The entity the parameter pane shows (its list's selected row indexes the
// set's list of entities with parameters), or null.
EntityRecord* parameter_entity_record(AppContext& app);

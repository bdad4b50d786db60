#pragma once
#include <cstdint>

struct AppContext;
struct Environment;
struct EntityRecord;

// Makes an environment current: its entity set, trace log and list views
// become the current ones (both views bound to its set), and its three
// saved controller cameras become the live slots. Null unbinds.
void bind_environment(AppContext& app, Environment* environment);

// Appends a new environment to the context's list and binds it.
Environment* make_new_environment_current(AppContext& app);

// The one application context: null until the interface is built, then
// set by the application main; every platform callback and parameterless
// action tests it first and does nothing while it is null.
extern AppContext* app_instance;

// An operation on the running application in the form of a widget callback,
// which takes no arguments: does nothing while there is none.
template <void (*Operation)(AppContext&)>
void on_instance() {
    if (AppContext* app = app_instance) Operation(*app);
}
// The same for an operation that takes one fixed number (a button's index).
template <void (*Operation)(AppContext&, int32_t), int32_t K>
void on_instance() {
    if (AppContext* app = app_instance) Operation(*app, K);
}

// The entity the entity inspector shows (its list's selected row indexes
// the current set's records), or null: no current set, nothing selected or
// a row past the set's count.
EntityRecord* inspector_entity_record(AppContext& app);
// The entity the parameter pane shows (its list's selected row indexes the
// set's list of entities with parameters), or null.
EntityRecord* parameter_entity_record(AppContext& app);

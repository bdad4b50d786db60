#pragma once

struct AppContext;
struct Environment;

// Binds the context to an environment: its entity set and list views become
// the current ones. Null unbinds.
void bind_current_environment(AppContext& app, Environment* environment);

// Appends a new environment to the context's list and makes it current.
Environment* add_current_environment(AppContext& app);

// The one application context: null until the interface is built, then
// set by the application main; every platform callback and parameterless
// action tests it first and does nothing while it is null.
extern AppContext* app_instance;

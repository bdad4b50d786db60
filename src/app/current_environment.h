#pragma once

struct AppContext;
struct Environment;

// Binds the context to an environment: its entity set and list views become
// the current ones. Null unbinds.
void bind_current_environment(AppContext& app, Environment* environment);

// Appends a new environment to the context's list and makes it current.
Environment* add_current_environment(AppContext& app);

// The context that parameterless actions act on (published once by the
// application main; null before, and then those actions do nothing).
AppContext* published_app_context();
void publish_app_context(AppContext* app);

#pragma once

struct AppContext;
struct Environment;

// Makes an environment current: its entity set, trace log and list views
// become the current ones (both views bound to its set), and its three
// saved controller cameras become the live slots. Null unbinds.
void bind_environment(AppContext& app, Environment* environment);

// Appends a new environment to the context's list and binds it.
Environment* make_new_environment_current(AppContext& app);

// The context that parameterless actions act on (published once by the
// application main; null before, and then those actions do nothing).
AppContext* published_app_context();
void publish_app_context(AppContext* app);

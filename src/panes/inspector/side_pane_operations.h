#pragma once

struct AppHooks;

// Fills the context's hook slots with the side panes' and bars' rebuilds.
void install_side_pane_operations(AppHooks& hooks);

struct AppContext;
// Binds the callbacks of fixed widgets that these panes own the actions of.
void bind_side_pane_callbacks(AppContext& app);

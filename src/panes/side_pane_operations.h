#pragma once

struct AppHooks;

// Fills the context's hook slots with the side panes' and bars' rebuilds.
void install_side_pane_operations(AppHooks& hooks);

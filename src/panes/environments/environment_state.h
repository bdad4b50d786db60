#pragma once

struct AppContext;

// Copies the live view, pane, tool, export, browser, cell, menu-check and
// slider state into the current environment (the live camera first into
// its controller's slot).
void save_environment_state(AppContext& app);

// Copies the current environment's state back into the context and
// re-applies it to the cells, buttons, fields, panes, menus, theme and
// camera. Damaged lists load what is valid and never read past their ends.
void load_environment_ui_state(AppContext& app);

#pragma once

struct AppContext;

// Opening a batch of scripts: each path is checked ("*.vrek"), a script
// that is already loaded is re-parsed and re-assembled in place, any other
// is opened as a new entity. Afterwards every pane that lists entities is
// rebuilt and the open-script pane is closed.

// The rows selected in the inline file browser, in display order.
void open_selected_scripts(AppContext& app);
// The context's pending path list (left by the native dialog or a drop).
void open_script_paths(AppContext& app);

// Rebuilds the entity, parameter, inspector, directive, variant and
// animation panes of the current environment, in this order.
void rebuild_entity_panes(AppContext& app);

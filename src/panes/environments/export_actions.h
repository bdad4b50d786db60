#pragma once
#include <cstdint>
#include <string>

struct AppContext;

// The user's assemble and export requests: each explains in a warning box
// why it cannot run, or asks through the confirmation pane, whose OK does
// the work five ticks later. Nothing is assembled or written before that.

// Re-assembly of the current environment's unlocked entities with the
// algorithm chosen in the confirmation (preselected: meshing_algorithm).
void assemble_environment_action(AppContext& app);
// Checks the export choice and the output location, then asks; Cancel
// brings the export pane back as it was.
void export_environment_action(AppContext& app);
// Opens the export pane with a fresh estimate, or warns when there is
// nothing to export.
void open_export_dialog(AppContext& app);

// Bound thunks on app_instance. The run pane's "Assemble" closes the pane
// first.
void on_click_assemble();
void on_click_export();
void on_click_open_export_dialog();
void on_click_export_tool();
// The export name field's Enter and key callbacks in the field's slot
// shapes.
void on_export_name_enter();
bool on_export_name_typed(int32_t key, int32_t modifiers);

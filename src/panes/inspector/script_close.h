#pragma once
#include <cstdint>

struct AppContext;

// Closing a script: the delete confirmation's accept action removes the
// marked entity of the current environment and releases its meshes (their
// GL names go to the renderer's retirement lists), then rebuilds every
// pane and bar. An invalid marked index removes nothing but still rebuilds.
void close_script(AppContext& app);
// The same on the published context (the confirmation's callback).
void close_script();

// Statistics, the tip row's line and the parameter list's extents after
// entities went away.
void refresh_after_entity_removal(AppContext& app);

// Before entity `entity_index` goes: keeps the parameter list's selection on
// the same entity (cleared when it is that entity's row).
void remove_parameter_entity_index(AppContext& app, int32_t entity_index);

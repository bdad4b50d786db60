#pragma once
#include "app/app_hooks.h"

// Recording stand-ins for the renderer operations that the pipeline calls
// through the context's hooks: each appends its name (and, for recolouring,
// the entity's serial id) to standin_call_log().

void recolour_entity_standin(AppContext& app, EntityRecord& entity);
void update_attribute_trace_standin(AppContext& app);

// Fills the renderer slots of the table with the stand-ins.
void install_render_standins(AppHooks& hooks);

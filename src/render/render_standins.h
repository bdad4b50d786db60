#pragma once
#include "app/app_hooks.h"

// Recording stand-in for the renderer's recolouring that the pipeline calls
// through the context's hooks: it appends its name and the entity's serial
// id to standin_call_log().

void recolour_entity_standin(AppContext& app, EntityRecord& entity);

// Fills the recolouring slot of the table with the stand-in.
void install_render_standins(AppHooks& hooks);

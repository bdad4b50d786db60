#pragma once
#include "app/app_hooks.h"

// Recording stand-ins for the renderer operations that the pipeline calls
// through the context's hooks: each appends its name to standin_call_log().

void update_attribute_trace_standin(AppContext& app);

// Fills the renderer slots that have no real operation yet.
void install_render_standins(AppHooks& hooks);

#pragma once
#include "app/app_context.h"

// What the intro leaves shown when it ends: the masks, the configuration
// and the notices hidden.
inline void end_intro(AppContext& app) {
    app.configuration_pane.visible = false;
    app.busy_notice.visible = false;
    app.busy_indicator.visible = true;
    app.configuration_mask.visible = false;
    app.busy_mask.visible = false;
    app.startup.startup_finished = 1;
    refresh_root(app);
}

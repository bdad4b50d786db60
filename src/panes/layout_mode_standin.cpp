#include "panes/layout_mode_standin.h"

#include "app/app_hooks.h"

void update_layout_mode_flags(AppContext&) { record_standin_call("update_layout_mode_flags"); }

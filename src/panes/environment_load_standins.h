#pragma once
#include <cstdint>

struct AppContext;

// Recording stand-ins for the theme and view-menu selection that
// re-applying an environment's state calls, until their owner's code lands.
// Each appends its name and argument (after ": ") to standin_call_log() and
// sets the one live field it is named after, so that a restored value can
// be seen; nothing else.
void apply_ui_theme(AppContext& app, int32_t index);
void select_view_menu(AppContext& app, int32_t menu);

#pragma once
#include <cstdint>

struct AppContext;

// Recording stand-ins for the display setters, menus, themes, tool-tips and
// colour ramp that re-applying an environment's state calls, until their
// owners' code lands. Each appends its name (and argument after ": ") to
// standin_call_log() and sets the one live field it is named after, so that
// a restored value can be seen; nothing else.
void apply_ui_theme(AppContext& app, int32_t index);
void set_options_menu_shown(AppContext& app, bool shown);
void select_settings_menu(AppContext& app, int32_t menu);
void select_view_menu(AppContext& app, int32_t menu);
void select_side_pane(AppContext& app, int32_t index);
void select_console_channel(AppContext& app, int32_t channel);
void set_v_flip_mode(AppContext& app, bool on);
void set_ui_hidden(AppContext& app, bool hidden);
void update_layout_mode_flags(AppContext& app);
void update_tooltip_panel(AppContext& app);

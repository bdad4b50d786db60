#pragma once

struct AppContext;

// Builder stages of the menus and the two bars above the status row.

// The view-menu buttons in the tool strip, the settings-menu buttons in the
// menu strip, and their open-menu markers.
void build_menu_bar_buttons(AppContext& app);
// The eight view strips with their item clicks and check marks.
void build_view_menu_stage(AppContext& app);
// The colour-function row with the hue ramp, and the four slider quarters.
void build_colour_and_slider_bars(AppContext& app);
// The settings drop-down frame, its ten columns with their clicks and check
// marks, and the value rows of the WINDOW and WIDGETS columns.
void build_settings_menu_stage(AppContext& app);

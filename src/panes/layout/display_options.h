#pragma once
#include <cstdint>

#include "panes/layout/display_rects.h"

struct AppContext;
struct AppHooks;

// The 3D view's region and the setters of the display flags around it.

// What compute_display_rects reads, taken from the context's flags and the
// visible bytes of the bars over the view.
DisplayInputs display_inputs(const AppContext& app);

// The view rectangle, the multi-view viewport's rectangle and its insets for
// a canvas of width x height. Runs every frame: no refresh, no allocation.
void app_apply_display_options(AppContext& app, int32_t width, int32_t height);
// Puts app_apply_display_options (every frame) and select_subview_rect (per
// view cell) into the renderer's hooks.
void install_display_hooks(AppHooks& hooks);
// The same at the window size.
void apply_display_options_at_window_size(AppContext& app);

void set_frame_mode(AppContext& app, bool on);
// -1, or the open index again, closes the side pane; other values outside
// 0..2 are ignored.
void select_side_pane(AppContext& app, int32_t index);
void set_options_menu_shown(AppContext& app, bool on);
void set_ui_hidden(AppContext& app, bool on);
// The minimal layout (its bar and command list) or the full one; the bars
// of the other layout are hidden, the window laid out again.
void set_minimal_layout(AppContext& app, bool on);
void toggle_ui_hidden_or_view_flag(AppContext& app);
// True when it switched the collapse (only while the hidden interface shows
// its strips or directive pane).
bool toggle_pane_collapse_in_view_mode(AppContext& app);
// Moves the bars' borders to the other edge and lays the view out again.
void set_v_flip_mode(AppContext& app, bool on);
void set_v_flip_mode_if_changed(AppContext& app, bool on);
// The view rectangle of cell `cell` of the multi-view viewport (any other
// index: the whole viewport). The renderer calls it per cell; no refresh.
void select_subview_rect(AppContext& app, int32_t cell);
void set_camera_locked(AppContext& app, bool on);
void set_slider_bar_shown(AppContext& app, bool on);
// The caller refreshes.
void set_full_screen_flags(AppContext& app, bool on);
// 0 KERNEL, 1 SCRIPT, 2 FILE-IO, 3 ERROR; others are ignored.
void select_console_channel(AppContext& app, int32_t channel);

// Bound thunks on app_instance.
void on_click_close_side_pane();
void on_click_console_tab();
void on_click_entity_tab();
void on_click_parameter_tab();
void on_menu_console_trace();
void on_menu_entity_inspector();
void on_menu_parameter_control();
void on_click_settings_button();
void on_click_hide_logo();
void on_menu_ui_quick_hide();
void on_click_quick_hide_button();
void on_click_console_kernel();
void on_click_console_script();
void on_click_console_file_io();
void on_click_console_error();

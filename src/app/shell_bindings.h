#pragma once
#include <cstdint>

// The shell's popup, routing and menu-row actions in the shapes the interface
// binds: argument-free clicks and pointer callbacks acting on app_instance.

void toggle_run_pane_from_tab();
void toggle_about_pane_from_pane();
void toggle_about_pane_from_tab();
void toggle_help_pane_from_tab();
void toggle_help_pane_from_static_tab();
// Close buttons of the popups (help aside): each closes the top-most popup.
void on_click_close_run_pane();
void on_click_close_parse_pane();
void on_click_close_capture_pane();
void on_click_close_screenshot_pane();
void on_click_close_profile_pane();
void on_click_close_directive_pane();
void on_click_close_export_pane();
void on_click_close_info_box();
void on_click_close_error_box();
void on_click_close_warning_box();
void on_click_close_open_pane();
void on_click_toggle_camera_lock();
void on_click_toggle_help_hover_tips();
void on_environment_tab_click();
// "+ Environment": a new environment after the interface transition.
void on_click_add_environment();
// The viewport's split and close grips, on the cell under the pointer.
void on_viewport_split_x();
void on_viewport_split_y();
void on_viewport_close_cell();
void request_redraw_and_refresh();
void menu_item_max_processing_cores();
void menu_item_multi_core_processing();
void menu_item_reassembly_culling();
void menu_item_invocation_groups();
void menu_item_constant_cost_parallel_prefix();
void menu_item_preemptive_optimisation();
void menu_item_pick_none();
void menu_item_pick_triangle();
void menu_item_pick_polygon();
void menu_item_pick_gouraud_group();
void menu_item_pick_operand();
void menu_item_pick_entity();
void menu_item_pick_user_defined();
void menu_item_window_width();
void menu_item_window_height();
void menu_item_world_scale();
void menu_item_field_of_view();
void menu_item_light_intensity();
void menu_item_gradient_intensity();
void menu_item_eye_y();
// The configuration pane's continue button.
void prepare_app_workspace();
bool on_environment_tab_hover(int32_t x, int32_t y, int32_t code);
bool end_viewport_drag(int32_t x, int32_t y, int32_t code);
bool on_viewport_motion_clear_hover(int32_t x, int32_t y, int32_t code);

// The floating bars' toggles, on app_instance.
void toggle_parallel_flags_strip();
void toggle_llmi_key_strip();
void toggle_parallel_multi_core();
void toggle_parallel_reassembly_culling();
void toggle_parallel_invocation_groups();
void toggle_parallel_ccpp();
void toggle_parallel_preemptive_optimisation();
void request_camera_directive_sync();
void toggle_camera_directive_auto_sync();
void toggle_root_camera_directive_mode();
void toggle_camera_directive_button_layout();
void toggle_camera_directive_animation();
void toggle_goto_camera_directive();
void toggle_variant_bar_highlight_a();
void toggle_variant_bar_highlight_b();
// Escape and Enter of the two goto fields: a refresh.
void refresh_panes_on_field_escape_a();
void refresh_panes_on_field_enter_a();
void refresh_panes_on_field_escape_b();
void refresh_panes_on_field_enter_b();

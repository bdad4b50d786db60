#include "panes/popup_toggle_standins.h"

#include "app/app_hooks.h"

void on_click_toggle_run_pane() { record_standin_call("on_click_toggle_run_pane"); }

void toggle_run_pane_from_tab() { record_standin_call("toggle_run_pane_from_tab"); }

void on_click_toggle_about_pane() { record_standin_call("on_click_toggle_about_pane"); }

void toggle_about_pane_from_pane() { record_standin_call("toggle_about_pane_from_pane"); }

void toggle_about_pane_from_tab() { record_standin_call("toggle_about_pane_from_tab"); }

void on_click_toggle_help_pane() { record_standin_call("on_click_toggle_help_pane"); }

void toggle_help_pane_from_tab() { record_standin_call("toggle_help_pane_from_tab"); }

void toggle_help_pane_from_static_tab() { record_standin_call("toggle_help_pane_from_static_tab"); }

void on_click_close_run_pane() { record_standin_call("on_click_close_run_pane"); }

void on_click_close_parse_pane() { record_standin_call("on_click_close_parse_pane"); }

void on_click_close_capture_pane() { record_standin_call("on_click_close_capture_pane"); }

void on_click_close_screenshot_pane() { record_standin_call("on_click_close_screenshot_pane"); }

void on_click_close_profile_pane() { record_standin_call("on_click_close_profile_pane"); }

void on_click_close_directive_pane() { record_standin_call("on_click_close_directive_pane"); }

void on_click_close_export_pane() { record_standin_call("on_click_close_export_pane"); }

void on_click_close_info_box() { record_standin_call("on_click_close_info_box"); }

void on_click_close_error_box() { record_standin_call("on_click_close_error_box"); }

void on_click_close_warning_box() { record_standin_call("on_click_close_warning_box"); }

void on_click_close_open_pane() { record_standin_call("on_click_close_open_pane"); }

void on_click_mesh_algorithm_pure_union() { record_standin_call("on_click_mesh_algorithm_pure_union"); }

void on_click_mesh_algorithm_basic_csg() { record_standin_call("on_click_mesh_algorithm_basic_csg"); }

void on_click_mesh_algorithm_optimal_csg() { record_standin_call("on_click_mesh_algorithm_optimal_csg"); }

void on_click_toggle_camera_lock() { record_standin_call("on_click_toggle_camera_lock"); }

void on_environment_tab_click() { record_standin_call("on_environment_tab_click"); }

void on_close_environment() { record_standin_call("on_close_environment"); }

void request_redraw_and_refresh() { record_standin_call("request_redraw_and_refresh"); }

void menu_item_max_processing_cores() { record_standin_call("menu_item_max_processing_cores"); }

void menu_item_multi_core_processing() { record_standin_call("menu_item_multi_core_processing"); }

void menu_item_reassembly_culling() { record_standin_call("menu_item_reassembly_culling"); }

void menu_item_invocation_groups() { record_standin_call("menu_item_invocation_groups"); }

void menu_item_constant_cost_parallel_prefix() { record_standin_call("menu_item_constant_cost_parallel_prefix"); }

void menu_item_preemptive_optimisation() { record_standin_call("menu_item_preemptive_optimisation"); }

void menu_item_pick_none() { record_standin_call("menu_item_pick_none"); }

void menu_item_pick_triangle() { record_standin_call("menu_item_pick_triangle"); }

void menu_item_pick_polygon() { record_standin_call("menu_item_pick_polygon"); }

void menu_item_pick_gouraud_group() { record_standin_call("menu_item_pick_gouraud_group"); }

void menu_item_pick_operand() { record_standin_call("menu_item_pick_operand"); }

void menu_item_pick_entity() { record_standin_call("menu_item_pick_entity"); }

void menu_item_pick_user_defined() { record_standin_call("menu_item_pick_user_defined"); }

void menu_item_window_width() { record_standin_call("menu_item_window_width"); }

void menu_item_window_height() { record_standin_call("menu_item_window_height"); }

void menu_item_world_scale() { record_standin_call("menu_item_world_scale"); }

void menu_item_field_of_view() { record_standin_call("menu_item_field_of_view"); }

void menu_item_light_intensity() { record_standin_call("menu_item_light_intensity"); }

void menu_item_gradient_intensity() { record_standin_call("menu_item_gradient_intensity"); }

void menu_item_eye_y() { record_standin_call("menu_item_eye_y"); }

bool on_environment_tab_hover(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_environment_tab_hover");
    return true;
}

bool viewport_mouse_up(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("viewport_mouse_up");
    return true;
}

bool on_viewport_motion_clear_hover(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_viewport_motion_clear_hover");
    return true;
}

bool on_root_key_press(int32_t key, int32_t modifiers) {
    (void)key;
    (void)modifiers;
    record_standin_call("on_root_key_press");
    return false;
}

bool on_root_key_release(int32_t key, int32_t modifiers) {
    (void)key;
    (void)modifiers;
    record_standin_call("on_root_key_release");
    return false;
}

#include "app/shell_bindings.h"

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/bars/bar_toggles.h"
#include "panes/environments/environments.h"
#include "panes/environments/viewport_cells.h"
#include "panes/layout/pointer_routing.h"
#include "panes/popups/popups.h"
#include "pipeline/workspace.h"

void toggle_run_pane_from_tab() {
    if (app_instance != nullptr) toggle_run_pane(*app_instance);
}

void toggle_about_pane_from_pane() {
    if (app_instance != nullptr) toggle_about_pane(*app_instance);
}

void toggle_about_pane_from_tab() {
    if (app_instance != nullptr) toggle_about_pane(*app_instance);
}

void toggle_help_pane_from_tab() {
    if (app_instance != nullptr) toggle_help_pane(*app_instance);
}

void toggle_help_pane_from_static_tab() {
    if (app_instance != nullptr) toggle_help_pane(*app_instance);
}

// Every popup close button closes the top-most popup, as Escape does: the
// button a user reaches may belong to a pane under another one, and closing
// the file browser or a start-up warning must bring back what lay under it.
void on_click_close_run_pane() { on_click_close_popup(); }
void on_click_close_parse_pane() { on_click_close_popup(); }
void on_click_close_capture_pane() { on_click_close_popup(); }
void on_click_close_screenshot_pane() { on_click_close_popup(); }
void on_click_close_profile_pane() { on_click_close_popup(); }
void on_click_close_directive_pane() { on_click_close_popup(); }
void on_click_close_export_pane() { on_click_close_popup(); }
void on_click_close_info_box() { on_click_close_popup(); }
void on_click_close_error_box() { on_click_close_popup(); }
void on_click_close_warning_box() { on_click_close_popup(); }
void on_click_close_open_pane() { on_click_close_popup(); }

void on_click_toggle_camera_lock() {
    if (app_instance != nullptr) toggle_camera_lock(*app_instance);
}

void on_click_toggle_help_hover_tips() {
    if (app_instance != nullptr) toggle_help_hover_tips(*app_instance);
}

void on_environment_tab_click() {
    if (app_instance != nullptr) on_environment_tab_click(*app_instance);
}

void on_click_add_environment() {
    if (app_instance != nullptr) request_new_environment(*app_instance);
}

void on_viewport_split_x() {
    if (app_instance != nullptr) split_viewport_cell(*app_instance, 'X');
}

void on_viewport_split_y() {
    if (app_instance != nullptr) split_viewport_cell(*app_instance, 'Y');
}

void on_viewport_close_cell() {
    if (app_instance != nullptr) close_viewport_cell(*app_instance);
}

void request_redraw_and_refresh() {
    if (app_instance != nullptr) request_redraw_and_refresh(*app_instance);
}

void prepare_app_workspace() {
    if (app_instance != nullptr) prepare_app_workspace(*app_instance);
}

void menu_item_max_processing_cores() { ignore_menu_item_click(); }

void menu_item_multi_core_processing() { ignore_menu_item_click(); }

void menu_item_reassembly_culling() { ignore_menu_item_click(); }

void menu_item_invocation_groups() { ignore_menu_item_click(); }

void menu_item_constant_cost_parallel_prefix() { ignore_menu_item_click(); }

void menu_item_preemptive_optimisation() { ignore_menu_item_click(); }

void menu_item_pick_none() { ignore_menu_item_click(); }

void menu_item_pick_triangle() { ignore_menu_item_click(); }

void menu_item_pick_polygon() { ignore_menu_item_click(); }

void menu_item_pick_gouraud_group() { ignore_menu_item_click(); }

void menu_item_pick_operand() { ignore_menu_item_click(); }

void menu_item_pick_entity() { ignore_menu_item_click(); }

void menu_item_pick_user_defined() { ignore_menu_item_click(); }

void menu_item_window_width() { ignore_menu_item_click(); }

void menu_item_window_height() { ignore_menu_item_click(); }

void menu_item_world_scale() { ignore_menu_item_click(); }

void menu_item_field_of_view() { ignore_menu_item_click(); }

void menu_item_light_intensity() { ignore_menu_item_click(); }

void menu_item_gradient_intensity() { ignore_menu_item_click(); }

void menu_item_eye_y() { ignore_menu_item_click(); }

bool on_environment_tab_hover(int32_t x, int32_t y, int32_t) {
    return app_instance != nullptr && on_environment_tab_hover(*app_instance, x, y) != 0;
}

bool end_viewport_drag(int32_t, int32_t, int32_t) {
    return app_instance != nullptr && viewport_mouse_up(*app_instance) != 0;
}

bool on_viewport_motion_clear_hover(int32_t, int32_t, int32_t) {
    if (app_instance != nullptr) clear_tab_hover(*app_instance);
    return false;
}

void toggle_parallel_flags_strip() { on_instance<toggle_parallel_flags_strip>(); }
void toggle_llmi_key_strip() { on_instance<toggle_llmi_key_strip>(); }
void toggle_parallel_multi_core() { on_instance<toggle_parallel_multi_core>(); }
void toggle_parallel_reassembly_culling() { on_instance<toggle_parallel_reassembly_culling>(); }
void toggle_parallel_invocation_groups() { on_instance<toggle_parallel_invocation_groups>(); }
void toggle_parallel_ccpp() { on_instance<toggle_parallel_ccpp>(); }
void toggle_parallel_preemptive_optimisation() { on_instance<toggle_parallel_preemptive_optimisation>(); }
void request_camera_directive_sync() { on_instance<request_camera_directive_sync>(); }
void toggle_camera_directive_auto_sync() { on_instance<toggle_camera_directive_auto_sync>(); }
void toggle_root_camera_directive_mode() { on_instance<toggle_root_camera_directive_mode>(); }
void toggle_camera_directive_button_layout() { on_instance<toggle_camera_directive_button_layout>(); }
void toggle_camera_directive_animation() { on_instance<toggle_camera_directive_animation>(); }
void toggle_goto_camera_directive() { on_instance<toggle_goto_camera_directive>(); }
void toggle_variant_bar_highlight_a() { on_instance<toggle_variant_bar_highlight>(); }
void toggle_variant_bar_highlight_b() { on_instance<toggle_variant_bar_highlight>(); }
void refresh_panes_on_field_escape_a() { on_instance<refresh_root>(); }
void refresh_panes_on_field_enter_a() { on_instance<refresh_root>(); }
void refresh_panes_on_field_escape_b() { on_instance<refresh_root>(); }
void refresh_panes_on_field_enter_b() { on_instance<refresh_root>(); }

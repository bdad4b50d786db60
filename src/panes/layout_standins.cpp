#include "panes/layout_standins.h"

#include "app/app_hooks.h"

void on_click_console_kernel() { record_standin_call("on_click_console_kernel"); }

void on_click_console_script() { record_standin_call("on_click_console_script"); }

void on_click_console_file_io() { record_standin_call("on_click_console_file_io"); }

void on_click_console_error() { record_standin_call("on_click_console_error"); }

void on_click_console_tab() { record_standin_call("on_click_console_tab"); }

void on_click_entity_tab() { record_standin_call("on_click_entity_tab"); }

void on_click_parameter_tab() { record_standin_call("on_click_parameter_tab"); }

void on_click_settings_button() { record_standin_call("on_click_settings_button"); }

void on_click_hide_logo() { record_standin_call("on_click_hide_logo"); }

void on_click_close_side_pane() { record_standin_call("on_click_close_side_pane"); }

void on_menu_console_trace() { record_standin_call("on_menu_console_trace"); }

void on_menu_entity_inspector() { record_standin_call("on_menu_entity_inspector"); }

void on_menu_parameter_control() { record_standin_call("on_menu_parameter_control"); }

void on_menu_ui_quick_hide() { record_standin_call("on_menu_ui_quick_hide"); }

void layout_small_window_notice() { record_standin_call("layout_small_window_notice"); }

void on_layout_app_interface(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_app_interface");
}

void on_layout_tool_bar(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_tool_bar");
}

void on_layout_tip_bar(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_tip_bar");
}

void on_layout_control_pane(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_control_pane");
}

void on_layout_content_pane(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_content_pane");
}

void on_layout_menu_bar(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_menu_bar");
}

void on_layout_status_bar(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_status_bar");
}

void on_layout_tab_bar(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_tab_bar");
}

void on_layout_colour_bar(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_colour_bar");
}

void on_layout_slider_bar(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_slider_bar");
}

void on_layout_menu_pane(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_menu_pane");
}

void on_layout_hint_bar(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_hint_bar");
}

void on_layout_tool_scroll(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_tool_scroll");
}

void on_layout_menu_scroll(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_menu_scroll");
}

void on_layout_tip_scroll(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_tip_scroll");
}

void on_layout_status_strip(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_status_strip");
}

void on_layout_tab_scroll(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_tab_scroll");
}

void on_layout_camera_directive_bar(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_camera_directive_bar");
}

void on_layout_parallel_strip(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_parallel_strip");
}

void on_layout_llmi_strip(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_llmi_strip");
}

void on_layout_overlay(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_overlay");
}

void on_layout_open_pane(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_open_pane");
}

void on_layout_load_pane(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_load_pane");
}

void on_layout_confirm_pane(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_confirm_pane");
}

void on_layout_file_pane(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_file_pane");
}

void on_layout_small_window_notice(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_small_window_notice");
}

void on_layout_static_tab_offset(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_static_tab_offset");
}

bool on_scroll_zoom_view(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_zoom_view");
    return true;
}

bool on_scroll_tool_strip(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_tool_strip");
    return true;
}

bool on_scroll_menu_strip(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_menu_strip");
    return true;
}

bool on_scroll_colour_strip(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_colour_strip");
    return true;
}

bool on_scroll_slider_strip(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_slider_strip");
    return true;
}

bool on_scroll_tip_strip(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_tip_strip");
    return true;
}

bool on_scroll_status_strip(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_status_strip");
    return true;
}

bool on_scroll_tab_strip(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_tab_strip");
    return true;
}

bool on_scroll_settings_column(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_settings_column");
    return true;
}

bool on_scroll_file_browser_path(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_file_browser_path");
    return true;
}

bool on_scroll_command_list(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_command_list");
    return true;
}
bool on_scroll_file_list(int32_t x, int32_t y, int32_t code) {
    (void)x;
    (void)y;
    (void)code;
    record_standin_call("on_scroll_file_list");
    return true;
}

#pragma once
#include <cstdint>

// Recording stand-ins for the layout, wheel and side-pane actions that the interface binds until
// the real ones arrive. Each appends its own name to standin_call_log();
// pointer and wheel stand-ins report the event handled, key stand-ins
// report it unhandled.

void on_click_console_kernel();
void on_click_console_script();
void on_click_console_file_io();
void on_click_console_error();
void on_click_console_tab();
void on_click_entity_tab();
void on_click_parameter_tab();
void on_click_settings_button();
void on_click_hide_logo();
void on_click_close_side_pane();
void on_menu_console_trace();
void on_menu_entity_inspector();
void on_menu_parameter_control();
void on_menu_ui_quick_hide();
void layout_small_window_notice();
void on_layout_app_interface(int32_t width, int32_t height);
void on_layout_tool_bar(int32_t width, int32_t height);
void on_layout_tip_bar(int32_t width, int32_t height);
void on_layout_control_pane(int32_t width, int32_t height);
void on_layout_content_pane(int32_t width, int32_t height);
void on_layout_menu_bar(int32_t width, int32_t height);
void on_layout_status_bar(int32_t width, int32_t height);
void on_layout_tab_bar(int32_t width, int32_t height);
void on_layout_colour_bar(int32_t width, int32_t height);
void on_layout_slider_bar(int32_t width, int32_t height);
void on_layout_menu_pane(int32_t width, int32_t height);
void on_layout_hint_bar(int32_t width, int32_t height);
void on_layout_tool_scroll(int32_t width, int32_t height);
void on_layout_menu_scroll(int32_t width, int32_t height);
void on_layout_tip_scroll(int32_t width, int32_t height);
void on_layout_status_strip(int32_t width, int32_t height);
void on_layout_tab_scroll(int32_t width, int32_t height);
void on_layout_camera_directive_bar(int32_t width, int32_t height);
void on_layout_parallel_strip(int32_t width, int32_t height);
void on_layout_llmi_strip(int32_t width, int32_t height);
void on_layout_overlay(int32_t width, int32_t height);
void on_layout_open_pane(int32_t width, int32_t height);
void on_layout_load_pane(int32_t width, int32_t height);
void on_layout_confirm_pane(int32_t width, int32_t height);
void on_layout_file_pane(int32_t width, int32_t height);
void on_layout_small_window_notice(int32_t width, int32_t height);
void on_layout_static_tab_offset(int32_t width, int32_t height);
bool on_scroll_zoom_view(int32_t x, int32_t y, int32_t code);
bool on_scroll_tool_strip(int32_t x, int32_t y, int32_t code);
bool on_scroll_menu_strip(int32_t x, int32_t y, int32_t code);
bool on_scroll_colour_strip(int32_t x, int32_t y, int32_t code);
bool on_scroll_slider_strip(int32_t x, int32_t y, int32_t code);
bool on_scroll_tip_strip(int32_t x, int32_t y, int32_t code);
bool on_scroll_status_strip(int32_t x, int32_t y, int32_t code);
bool on_scroll_tab_strip(int32_t x, int32_t y, int32_t code);
bool on_scroll_settings_column(int32_t x, int32_t y, int32_t code);
bool on_scroll_file_browser_path(int32_t x, int32_t y, int32_t code);
bool on_scroll_command_list(int32_t x, int32_t y, int32_t code);
bool on_scroll_file_list(int32_t x, int32_t y, int32_t code);

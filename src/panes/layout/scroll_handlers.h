#pragma once
#include <cstdint>

struct AppContext;

// Wheel handlers of the strips, bars and lists, the 3D view's zoom wheel and
// the file list's slider. A strip's notch moves its fraction only while its
// content overflows (the same test its layout uses); a changed fraction
// refreshes the panes and asks for a relayout, an unchanged one does
// nothing. All report the notch handled, except the 3D view's while the
// camera is locked.

bool scroll_tip_strip(AppContext& app, int32_t direction);
bool scroll_settings_column(AppContext& app, int32_t direction);
bool scroll_menu_strip(AppContext& app, int32_t direction);
bool scroll_camera_directive_bar(AppContext& app, int32_t direction);
bool scroll_status_strip(AppContext& app, int32_t direction);
bool scroll_file_browser_path(AppContext& app, int32_t direction);
bool scroll_parallel_strip(AppContext& app, int32_t direction);
bool scroll_tool_strip(AppContext& app, int32_t direction);
bool scroll_slider_strip(AppContext& app, int32_t direction);
bool scroll_tab_strip(AppContext& app, int32_t direction);
bool scroll_file_list_fraction(AppContext& app, int32_t direction);
bool scroll_colour_strip(AppContext& app, int32_t direction);
bool scroll_llmi_strip(AppContext& app, int32_t direction);
// The minimal bar's command list moves by whole rows of pixels.
bool scroll_list_pane_by_rows(AppContext& app, int32_t direction);
// The 3D view: one zoom step per notch.
bool scroll_zoom_view(AppContext& app, int32_t direction);
// Places the file list's fraction under the pointer; true when it changed.
bool set_file_list_slider_from_pointer(AppContext& app, int32_t x, int32_t y);

// Bound thunks on app_instance, in the scroll-callback form.
bool scroll_tip_scroll(int32_t x, int32_t y, int32_t direction);
bool on_scroll_settings_column(int32_t x, int32_t y, int32_t direction);
bool scroll_menu_scroll(int32_t x, int32_t y, int32_t direction);
bool on_scroll_camera_directive_bar(int32_t x, int32_t y, int32_t direction);
bool scroll_stat_scroll(int32_t x, int32_t y, int32_t direction);
bool on_scroll_file_browser_path(int32_t x, int32_t y, int32_t direction);
bool scroll_parallel_flags_strip(int32_t x, int32_t y, int32_t direction);
bool scroll_tool_scroll(int32_t x, int32_t y, int32_t direction);
bool scroll_slider_scroll(int32_t x, int32_t y, int32_t direction);
bool scroll_tab_scroll(int32_t x, int32_t y, int32_t direction);
bool on_scroll_file_list(int32_t x, int32_t y, int32_t direction);
bool scroll_colour_scroll(int32_t x, int32_t y, int32_t direction);
bool scroll_llmi_key_strip(int32_t x, int32_t y, int32_t direction);
bool on_scroll_command_list(int32_t x, int32_t y, int32_t direction);
bool scroll_viewport_zoom_steps(int32_t x, int32_t y, int32_t direction);
// The file-list slider's press, drag and release: every press is taken, so
// a press on the thumb still drags it.
bool on_file_list_slider_mouse_down(int32_t x, int32_t y, int32_t button);
bool on_file_list_slider_drag(int32_t x, int32_t y, int32_t button);
bool on_file_list_slider_mouse_up(int32_t x, int32_t y, int32_t button);

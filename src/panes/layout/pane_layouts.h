#pragma once
#include <cstdint>

struct AppContext;

// Layout callbacks of the panes: each places the children of one pane from
// its own width and height after the root layout has sized it, and turns
// the strips' scroll fractions into content offsets.

// The root: every top-level rectangle (layout_window on the context).
void layout_app_interface(AppContext& app, int32_t width, int32_t height);

// Width of the side-pane lists: the pane less its scroll bar.
int32_t side_list_width(const AppContext& app);
// The statistics lines as they fit beside the camera-directive bar and below
// the hint bar: a line too long ends with "...", and when not all lines fit
// the last one shown is "...".
void fit_statistics_text(AppContext& app);
// The script line as it fits a tip strip `view` pixels wide: a single
// script's folder keeps its end, with a leading "...", and the whole line
// stays the status text. Other lines are left to scroll.
void fit_script_line(AppContext& app, int32_t view);

void layout_toolbar_body(AppContext& app, int32_t w, int32_t h);
void layout_statusbar_body(AppContext& app, int32_t w, int32_t h);
void layout_tabbar_body(AppContext& app, int32_t w, int32_t h);
void layout_slider_bar(AppContext& app, int32_t w, int32_t h);
void layout_menunpane_body(AppContext& app, int32_t w, int32_t h);
void layout_toolscroll_body(AppContext& app, int32_t w, int32_t h);
void layout_menuscroll_body(AppContext& app, int32_t w, int32_t h);
void layout_tipscroll_body(AppContext& app, int32_t w, int32_t h);
void layout_tabscroll_body(AppContext& app, int32_t w, int32_t h);
void layout_camera_directive_bar_body(AppContext& app, int32_t w, int32_t h);
void layout_overlay_body(AppContext& app, int32_t w, int32_t h);
// Message box k (info, error, warning) in an overlay w x h: as wide as a
// popup (no wider than the overlay), as tall as its text needs between the
// popup height and the overlay's; a text taller than that breaks to leave
// room for the box's scroll bar, which then shows. The box's text is broken
// anew only when its source or its width changed.
void fit_message_box(AppContext& app, int32_t k, int32_t w, int32_t h);
void layout_filepane_body(AppContext& app, int32_t w, int32_t h);
// The file rows in a list of width w and height h.
void layout_file_browser_list(AppContext& app, int32_t w, int32_t h);

void layout_control_pane(AppContext& app, int32_t w, int32_t h);
void layout_menubar(AppContext& app, int32_t w, int32_t h);
void layout_tipbar(AppContext& app, int32_t w, int32_t h);
void layout_colourbar(AppContext& app, int32_t w, int32_t h);
void layout_status_strip(AppContext& app, int32_t w, int32_t h);
void layout_parallel_strip(AppContext& app, int32_t w, int32_t h);
void layout_llmi_strip(AppContext& app, int32_t w, int32_t h);
void layout_browser_path_strip(AppContext& app, int32_t w, int32_t h);
void layout_open_pane(AppContext& app, int32_t w, int32_t h);
void layout_load_pane(AppContext& app, int32_t w, int32_t h);
void layout_screenshot_preview(AppContext& app, int32_t w, int32_t h);
// Shows the small-window notice for the window's size.
void update_small_window_notice(AppContext& app);
void layout_static_tab_offset(AppContext& app, int32_t w, int32_t h);

// The screenshot preview: 256 high with the screenshot's aspect, centred in
// a pane of width w. False (nothing to place) for an empty screenshot size.
struct PreviewRect {
    int32_t x = 0, width = 0;
};
bool screenshot_preview_rect(int32_t w, int32_t screenshot_width, int32_t screenshot_height, PreviewRect& out);

// The sort-direction marker of the file browser: x by sort key (TYPE, NAME,
// SIZE, DATE; another key hides it at (-2M, -2M)), y by direction.
// `size_extra` is how far the size column was widened to the left.
struct MarkerPoint {
    int32_t x = 0, y = 0;
};
MarkerPoint sort_marker_position(int32_t w, int32_t sort_key, bool ascending, int32_t metric, int32_t row_height,
                                 int32_t spacing, int32_t size_extra = 0);

// Bound thunks on app_instance.
void on_layout_app_interface(int32_t w, int32_t h);
void on_layout_tool_bar(int32_t w, int32_t h);
// After the view's cells are placed: the statistics text re-fitted around their marks.
void on_layout_view_cells(int32_t w, int32_t h);
void on_layout_status_bar(int32_t w, int32_t h);
void on_layout_tab_bar(int32_t w, int32_t h);
void on_layout_slider_bar(int32_t w, int32_t h);
void on_layout_menu_pane(int32_t w, int32_t h);
void on_layout_tool_scroll(int32_t w, int32_t h);
void on_layout_menu_scroll(int32_t w, int32_t h);
void on_layout_tip_scroll(int32_t w, int32_t h);
void on_layout_tab_scroll(int32_t w, int32_t h);
void on_layout_camera_directive_bar(int32_t w, int32_t h);
void on_layout_overlay(int32_t w, int32_t h);
void on_layout_file_pane(int32_t w, int32_t h);
void on_layout_file_list(int32_t w, int32_t h);
void on_layout_control_pane(int32_t w, int32_t h);
void layout_menu_bar(int32_t w, int32_t h);
void layout_tip_bar(int32_t w, int32_t h);
void layout_colour_bar(int32_t w, int32_t h);
void layout_stat_scroll(int32_t w, int32_t h);
void layout_parallel_flags_strip(int32_t w, int32_t h);
void layout_llmi_key_strip(int32_t w, int32_t h);
void layout_path_bar(int32_t w, int32_t h);
void on_layout_open_pane(int32_t w, int32_t h);
void on_layout_load_pane(int32_t w, int32_t h);
void layout_snapshot_preview(int32_t w, int32_t h);
void on_layout_small_window_notice(int32_t w, int32_t h);
// The minimal bar's title click re-checks the notice.
void layout_small_window_notice();
void on_layout_static_tab_offset(int32_t w, int32_t h);
// A layout callback that places nothing (CONTENTPANE, HINTBAR, CONFIRMPANE).
void on_layout_nothing(int32_t w, int32_t h);

// Takes only the left button (the minimal bar's items).
bool accept_left_button_only(int32_t x, int32_t y, int32_t button);

#include "panes/layout/scroll_handlers.h"

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/layout/strip_scroll.h"
#include "ui/ui_state.h"

namespace {

// One notch on a strip's fraction: nothing unless the content overflows or
// the clamped fraction moves; then the panes follow at the next layout.
bool step_strip(AppContext& app, double& fraction, bool overflows, int32_t direction,
                double step = kStripWheelStep) {
    if (!overflows) return true;
    const double next = stepped_fraction(fraction, direction, step);
    if (next == fraction) return true;
    fraction = next;
    refresh_root(app);
    relayout_pending = true;
    return true;
}

template <bool (*Handler)(AppContext&, int32_t)>
bool scroll_thunk(int32_t, int32_t, int32_t direction) {
    AppContext* app = app_instance;
    return app != nullptr && Handler(*app, direction);
}

}  // namespace

bool scroll_tip_strip(AppContext& app, int32_t direction) {
    const int32_t view = app.TIPSCROLL.width;
    const int32_t k = app.ui_flags.open_view_menu;
    if (k < 0 || k >= VIEW_MENU_COUNT) {
        return step_strip(app, app.ui_flags.bar_scroll_factors[BAR_SCROLL_TIP],
                          tip_strip_overflows(view, app.script_placeholder_label.width), direction);
    }
    const int32_t content = app.tip_menu_title.x + app.tip_menu_title.width + app.view_menu_strip_panes[k].width;
    return step_strip(app, app.io_settings.view_menu_scroll_factors[static_cast<size_t>(k)],
                      tip_strip_overflows(view, content), direction);
}

bool scroll_settings_column(AppContext& app, int32_t direction) {
    const int32_t k = app.ui_flags.open_settings_menu;
    if (k < 0 || k >= SETTINGS_MENU_COUNT) return true;
    const auto items = static_cast<int32_t>(app.settings_menu_item_buttons[static_cast<size_t>(k)].size());
    return step_strip(app, app.io_settings.settings_menu_scroll_factors[static_cast<size_t>(k)],
                      settings_column_overflows(items), direction);
}

bool scroll_menu_strip(AppContext& app, int32_t direction) {
    return step_strip(app, app.ui_flags.bar_scroll_factors[BAR_SCROLL_MENU],
                      menu_strip_overflows(app.MENUSCROLL.height, app.ui_metrics.menu_half_width), direction);
}

bool scroll_camera_directive_bar(AppContext& app, int32_t direction) {
    return step_strip(app, app.strip_scroll.directive,
                      directive_list_overflows(app.camera_directive_centre.height, app.camera_directive_list.height),
                      direction);
}

bool scroll_status_strip(AppContext& app, int32_t direction) {
    return step_strip(app, app.ui_flags.bar_scroll_factors[BAR_SCROLL_STATUS],
                      status_strip_overflows(app.STATSCROLL.width, app.io_settings.status_text_width), direction);
}

bool scroll_file_browser_path(AppContext& app, int32_t direction) {
    return step_strip(app, app.file_browser_state.browser_path_scroll,
                      path_strip_overflows(app.browser_path_view.width, app.browser_path_pieces.width), direction);
}

bool scroll_parallel_strip(AppContext& app, int32_t direction) {
    return step_strip(app, app.strip_scroll.parallel,
                      parallel_strip_overflows(app.parallel_strip_view.width, app.parallel_strip.width), direction);
}

bool scroll_tool_strip(AppContext& app, int32_t direction) {
    const int32_t view = app.TOOLSCROLL.width, metric = app.ui_metrics.menu_half_width;
    // One notch moves the strip by one whole tool.
    const int32_t hidden = VIEW_MENU_COUNT - tool_strip_whole_count(view, metric);
    return step_strip(app, app.strip_scroll.tool, tool_strip_overflows(view, metric) && hidden > 0, direction,
                      hidden > 0 ? 1.0 / hidden : kStripWheelStep);
}

bool scroll_slider_strip(AppContext& app, int32_t direction) {
    return step_strip(app, app.ui_flags.bar_scroll_factors[BAR_SCROLL_SLIDER],
                      slider_strip_overflows(app.SLIDERSCROLL.width, app.ui_metrics.ui_default_width),
                      direction);
}

bool scroll_tab_strip(AppContext& app, int32_t direction) {
    return step_strip(app, app.ui_flags.bar_scroll_factors[BAR_SCROLL_TAB],
                      tab_strip_overflows(app.TABSCROLL.width, app.environment_tab_strip.width,
                                          app.ui_metrics.ui_padding),
                      direction);
}

bool scroll_file_list_fraction(AppContext& app, int32_t direction) {
    const int64_t content = static_cast<int64_t>(app.file_browser_state.browser_row_order.size()) * app.ui_metrics.row_height;
    const bool overflows = content >= app.browser_list_frame.height;
    return step_strip(app, app.file_browser_state.browser_list_scroll, overflows, direction, kFileListWheelStep);
}

bool scroll_colour_strip(AppContext& app, int32_t direction) {
    return step_strip(app, app.ui_flags.bar_scroll_factors[BAR_SCROLL_COLOUR],
                      colour_strip_overflows(app.COLOURSCROLL.width, app.colour_function_strip.width,
                                             app.ui_metrics.menu_half_width),
                      direction);
}

bool scroll_llmi_strip(AppContext& app, int32_t direction) {
    return step_strip(app, app.strip_scroll.llmi, llmi_strip_overflows(app.llmi_strip_view.width, app.llmi_strip.width),
                      direction);
}

bool scroll_list_pane_by_rows(AppContext& app, int32_t direction) {
    Element& list = app.command_list;
    const int32_t view = app.minimal_list_scroll.height;
    const int32_t moved = command_list_offset(list.y, direction, view, list.height);
    if (moved == list.y) return true;
    list.y = moved;
    refresh_root(app);
    return true;
}

bool scroll_zoom_view(AppContext& app, int32_t direction) {
    if (app.ui_flags.camera_locked) return false;
    if (direction == 0) return true;
    const int32_t step = direction < 0 ? -1 : 1;
    app.camera.zoom_steps += app.camera.inverted_zoom ? -step : step;
    return true;
}

bool set_file_list_slider_from_pointer(AppContext& app, int32_t, int32_t y) {
    const double f = file_list_slider_fraction(y, app.browser_scroll_track.height, app.ui_metrics.row_height);
    double& stored = app.file_browser_state.browser_list_scroll;
    if (f == stored) return false;
    stored = f;
    refresh_root(app);
    relayout_pending = true;
    return true;
}

bool scroll_tip_scroll(int32_t x, int32_t y, int32_t d) { return scroll_thunk<scroll_tip_strip>(x, y, d); }
bool on_scroll_settings_column(int32_t x, int32_t y, int32_t d) {
    return scroll_thunk<scroll_settings_column>(x, y, d);
}
bool scroll_menu_scroll(int32_t x, int32_t y, int32_t d) { return scroll_thunk<scroll_menu_strip>(x, y, d); }
bool on_scroll_camera_directive_bar(int32_t x, int32_t y, int32_t d) {
    return scroll_thunk<scroll_camera_directive_bar>(x, y, d);
}
bool scroll_stat_scroll(int32_t x, int32_t y, int32_t d) { return scroll_thunk<scroll_status_strip>(x, y, d); }
bool on_scroll_file_browser_path(int32_t x, int32_t y, int32_t d) {
    return scroll_thunk<scroll_file_browser_path>(x, y, d);
}
bool scroll_parallel_flags_strip(int32_t x, int32_t y, int32_t d) {
    return scroll_thunk<scroll_parallel_strip>(x, y, d);
}
bool scroll_tool_scroll(int32_t x, int32_t y, int32_t d) { return scroll_thunk<scroll_tool_strip>(x, y, d); }
bool scroll_slider_scroll(int32_t x, int32_t y, int32_t d) { return scroll_thunk<scroll_slider_strip>(x, y, d); }
bool scroll_tab_scroll(int32_t x, int32_t y, int32_t d) { return scroll_thunk<scroll_tab_strip>(x, y, d); }
bool on_scroll_file_list(int32_t x, int32_t y, int32_t d) { return scroll_thunk<scroll_file_list_fraction>(x, y, d); }
bool scroll_colour_scroll(int32_t x, int32_t y, int32_t d) { return scroll_thunk<scroll_colour_strip>(x, y, d); }
bool scroll_llmi_key_strip(int32_t x, int32_t y, int32_t d) { return scroll_thunk<scroll_llmi_strip>(x, y, d); }
bool on_scroll_command_list(int32_t x, int32_t y, int32_t d) {
    return scroll_thunk<scroll_list_pane_by_rows>(x, y, d);
}
bool scroll_viewport_zoom_steps(int32_t x, int32_t y, int32_t d) { return scroll_thunk<scroll_zoom_view>(x, y, d); }

bool on_file_list_slider_mouse_down(int32_t x, int32_t y, int32_t) {
    AppContext* app = app_instance;
    if (app == nullptr) return false;
    set_file_list_slider_from_pointer(*app, x, y);
    return true;
}
bool on_file_list_slider_drag(int32_t x, int32_t y, int32_t button) { return on_file_list_slider_mouse_down(x, y, button); }
bool on_file_list_slider_mouse_up(int32_t x, int32_t y, int32_t button) {
    return on_file_list_slider_mouse_down(x, y, button);
}

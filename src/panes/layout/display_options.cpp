#include "panes/layout/display_options.h"

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/layout/layout_mode_flags.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

// The common tail of a setter: the change hook and every top-level pane.
void refresh_after_setter(AppContext& app) { refresh_root(app); }

bool shown_with_interface(const AppContext& app) { return app.ui_flags.frame_mode && !app.ui_flags.ui_hidden; }

// The display layout of a setter, which also needs the root laid out again.
void relayout_view(AppContext& app) {
    apply_display_options_at_window_size(app);
    relayout_pending = true;
}

void relayout_view_if_multi_view(AppContext& app) {
    if (app.bars.multi_view) apply_display_options_at_window_size(app);
    relayout_pending = true;
}

// One edge gets the border, the opposite edge none.
void edge_border(Element& e, bool top, int32_t width, const Palette* palette) {
    Border& on = top ? e.border_top : e.border_bottom;
    Border& off = top ? e.border_bottom : e.border_top;
    on.width = width;
    on.palette = palette;
    off.width = 0;
}

void flip_bar_borders(AppContext& app, bool on) {
    const int32_t thick = app.ui_metrics.thick_border, thin = app.ui_metrics.thin_border;
    const Palette* upper = &active_theme.palettes[3];
    const Palette* lower = &active_theme.palettes[9];
    // Bars that sit above the view when not flipped keep their border on the
    // view's side: bottom normally, top when flipped; and the reverse.
    edge_border(app.TOOLBAR, on, thick, on ? upper : lower);
    edge_border(app.TIPBAR, on, thin, on ? upper : lower);
    edge_border(app.COLOURBAR, on, thin, on ? upper : lower);
    edge_border(app.MENUNPANE, on, thick, on ? upper : lower);
    edge_border(app.STATUSBAR, !on, thin, on ? lower : upper);
    edge_border(app.SLIDERBAR, !on, thin, on ? lower : upper);
    edge_border(app.TABBAR, !on, thick, on ? lower : upper);
    if (!app.MENUNPANE.children.empty() && app.MENUNPANE.children[0] != nullptr) {
        Element& first = *app.MENUNPANE.children[0];
        edge_border(first, on, thin, on ? upper : lower);
        first.y = on ? 6 * app.ui_metrics.row_height : 0;
    }
    app.settings_menu_columns.y = on ? 0 : app.ui_metrics.row_height;
    Element& tabs = app.environment_tab_strip;
    Border& shown = on ? tabs.border_top : tabs.border_bottom;
    Border& cleared = on ? tabs.border_bottom : tabs.border_top;
    shown.width = 2;
    shown.colour = active_theme.colours[2];
    cleared.width = 0;
    cleared.colour = nullptr;
    edge_border(app.minimal_tool_row, on, thick, on ? upper : lower);
    edge_border(app.minimal_title_row, !on, thick, on ? lower : upper);
}

void hide_interface_rows(AppContext& app, bool hide) {
    for (Element* e : {static_cast<Element*>(&app.TOOLBAR), static_cast<Element*>(&app.TIPBAR),
                       static_cast<Element*>(&app.STATUSBAR), static_cast<Element*>(&app.TABBAR)}) {
        e->visible = !hide;
    }
    const bool column_open = app.ui_flags.settings_menu_shown && app.ui_flags.open_settings_menu >= 0;
    app.CONTROLPANE.visible = !hide && app.ui_flags.side_pane_index >= 0;
    app.MENUBAR.visible = !hide && app.ui_flags.settings_menu_shown;
    app.MENUNPANE.visible = !hide && column_open;
    app.COLOURBAR.visible = !hide && app.render_flags.colour_mode == 3;
    app.SLIDERBAR.visible = !hide && app.ui_flags.slider_bar_shown;
    if (hide) app.HINTBAR.visible = false;
    app.HIDELOGO.visible = hide;
    const double opacity = hide ? 0.5 : 1.0;
    app.statistics_label.opacity = opacity;
    app.statistics_shadow_label.opacity = opacity;
}

// Each layout has its own bars: those of the layout in use show while the
// interface does, those of the other stay hidden, so that a switch between
// the layouts leaves nothing of the one left behind.
void show_layout_bars(AppContext& app) {
    const bool hidden = app.ui_flags.ui_hidden != 0;
    if (!app.ui_flags.layout_mode_flags[0]) {
        app.minimal_layout_bar.visible = false;
        hide_interface_rows(app, hidden);
        return;
    }
    hide_interface_rows(app, true);
    app.minimal_layout_bar.visible = !hidden;
    app.CONTROLPANE.visible = !hidden && app.ui_flags.side_pane_open;
    app.HIDELOGO.visible = hidden;
    // The minimal layout does not dim the statistics.
    app.statistics_label.opacity = 1.0;
    app.statistics_shadow_label.opacity = 1.0;
}

template <int32_t Index>
void side_pane_thunk() {
    if (AppContext* app = app_instance) select_side_pane(*app, Index);
}

template <int32_t Channel>
void channel_thunk() {
    if (AppContext* app = app_instance) select_console_channel(*app, Channel);
}

}  // namespace

DisplayInputs display_inputs(const AppContext& app) {
    DisplayInputs in;
    in.side_pane_width = app.ui_metrics.side_pane_width;
    in.menu_half_width = app.ui_metrics.menu_half_width;
    in.row_height = app.ui_metrics.row_height;
    in.bar_height = app.ui_metrics.bar_height;
    in.frame_mode = app.ui_flags.frame_mode;
    in.ui_hidden = app.ui_flags.ui_hidden;
    in.minimal_layout = app.ui_flags.layout_mode_flags[0];
    in.side_pane_open = app.ui_flags.side_pane_open;
    in.settings_menu_shown = app.ui_flags.settings_menu_shown;
    in.v_flip_mode = app.ui_flags.v_flip_mode;
    in.panes_collapsed = app.ui_flags.panes_collapsed;
    in.multi_view = app.bars.multi_view;
    in.directive_pane_visible = app.camera_directive_bar.visible;
    in.strip_backdrop_visible = app.strip_backdrop.visible;
    in.colour_bar_visible = app.COLOURBAR.visible;
    in.slider_bar_visible = app.SLIDERBAR.visible;
    return in;
}

void app_apply_display_options(AppContext& app, int32_t width, int32_t height) {
    const DisplayRects r = compute_display_rects(display_inputs(app), width, height);
    app.frame.view_rect_x = r.view.x;
    app.frame.view_rect_y = r.view.y;
    app.frame.view_rect_width = r.view.width;
    app.frame.view_rect_height = r.view.height;
    if (!r.viewport_changed) return;
    Viewport& viewport = app.multi_view_viewport;
    viewport.x = r.viewport.x;
    viewport.y = r.viewport.y;
    viewport.width = r.viewport.width;
    viewport.height = r.viewport.height;
    viewport.view_insets = {r.insets.left, r.insets.top, r.insets.right, r.insets.bottom};
}

void install_display_hooks(AppHooks& hooks) {
    hooks.app_apply_display_options = app_apply_display_options;
    hooks.select_subview_rect = select_subview_rect;
}

void apply_display_options_at_window_size(AppContext& app) {
    app_apply_display_options(app, app.frame.window_width, app.frame.window_height);
}

void set_frame_mode(AppContext& app, bool on) {
    app.ui_flags.frame_mode = on;
    relayout_view_if_multi_view(app);
    app.frame.needs_redraw = 1;
    refresh_after_setter(app);
}

void select_side_pane(AppContext& app, int32_t index) {
    if (index < -1 || index > 2) return;
    int32_t& open = app.ui_flags.side_pane_index;
    open = (index == -1 || index == open) ? -1 : index;
    const bool any = open >= 0;
    app.ui_flags.side_pane_open = any;
    app.CONTROLPANE.visible = any;
    app.CONSOLE.selected = open == 0;
    app.ENTITY.selected = open == 1;
    app.PARAMETER.selected = open == 2;
    app.CONSOLETRACE.visible = open == 0;
    app.ENTITYINSPECTOR.visible = open == 1;
    app.PARAMETERCONTROL.visible = open == 2;
    relayout_view_if_multi_view(app);
    if (shown_with_interface(app)) app.frame.needs_redraw = 1;
    refresh_after_setter(app);
}

void set_options_menu_shown(AppContext& app, bool on) {
    app.ui_flags.settings_menu_shown = on;
    app.MENUBAR.visible = on;
    app.MENUNPANE.visible = on && app.ui_flags.open_settings_menu >= 0;
    relayout_view_if_multi_view(app);
    if (shown_with_interface(app)) app.frame.needs_redraw = 1;
    refresh_after_setter(app);
}

void set_ui_hidden(AppContext& app, bool on) {
    if (static_cast<bool>(app.ui_flags.ui_hidden) == on) return;
    app.ui_flags.ui_hidden = on;
    show_layout_bars(app);
    update_layout_mode_flags(app);
    relayout_view(app);
    app.frame.needs_redraw = 1;
    refresh_after_setter(app);
}

void set_minimal_layout(AppContext& app, bool on) {
    app.ui_flags.layout_mode_flags[0] = on;
    show_layout_bars(app);
    update_layout_mode_flags(app);
    app.small_window_notice.visible =
        small_window_notice_wanted(app.frame.window_width, app.frame.window_height, on);
    relayout_view(app);
    app.frame.needs_redraw = 1;
    refresh_after_setter(app);
}

void toggle_ui_hidden_or_view_flag(AppContext& app) {
    if (!app.ui_flags.ui_hidden) {
        set_ui_hidden(app, true);
        return;
    }
    app.bars.hidden_ui_controls ^= 1;
    update_layout_mode_flags(app);
    relayout_view(app);
    app.frame.needs_redraw = 1;
    refresh_after_setter(app);
}

bool toggle_pane_collapse_in_view_mode(AppContext& app) {
    if (!app.bars.hidden_ui_controls) return false;
    if (!app.strip_backdrop.visible && !app.camera_directive_bar.visible) return false;
    app.ui_flags.panes_collapsed ^= 1;
    relayout_view(app);
    app.frame.needs_redraw = 1;
    refresh_after_setter(app);
    return true;
}

void set_v_flip_mode(AppContext& app, bool on) {
    app.ui_flags.v_flip_mode = on;
    flip_bar_borders(app, on);
    update_layout_mode_flags(app);
    relayout_view_if_multi_view(app);
    if (shown_with_interface(app)) app.frame.needs_redraw = 1;
    refresh_after_setter(app);
}

void set_v_flip_mode_if_changed(AppContext& app, bool on) {
    if (static_cast<bool>(app.ui_flags.v_flip_mode) != on) set_v_flip_mode(app, on);
}

void select_subview_rect(AppContext& app, int32_t cell) {
    const Viewport& v = app.multi_view_viewport;
    int32_t x = v.x, y = v.y, w = v.width, h = v.height;
    if (cell >= 0 && cell < v.cell_count && static_cast<size_t>(cell) < v.cells.size()) {
        const Viewport::Region c = v.cell_view_rect(cell);
        x += c.x, y += c.y, w = c.width, h = c.height;
    }
    app.frame.view_rect_x = x;
    app.frame.view_rect_y = y;
    app.frame.view_rect_width = w;
    app.frame.view_rect_height = h;
}

void set_camera_locked(AppContext& app, bool on) {
    app.ui_flags.camera_locked = on;
    app.LOCKICON.visible = on;
    relayout_pending = true;  // the frame-rate readout makes room for the icon
    refresh_after_setter(app);
}

void set_slider_bar_shown(AppContext& app, bool on) {
    app.ui_flags.slider_bar_shown = on;
    app.SLIDERBAR.visible = on;
    relayout_pending = true;  // the floating bars move above it
    refresh_after_setter(app);
}

void set_full_screen_flags(AppContext& app, bool on) {
    app.frame.full_screen = on;
    // The FULLSCREEN menu has no drop-down: its indicator shows the state.
    app.menubar_indicators[3].visible = on;
    app.BORDER.visible = !on;
    app.window_width_field.enabled = !on;
    app.window_height_field.enabled = !on;
}

void select_console_channel(AppContext& app, int32_t channel) {
    if (channel < 0 || channel > 3) return;
    for (int32_t k = 0; k < 4; ++k) {
        app.trace_panes[k].visible = k == channel;
        app.trace_tabs[k].selected = k == channel;
    }
    TraceLog* log = app.entities.current_environment_parts.trace_log;
    if (log != nullptr) {
        log->selected_channel = channel;
        log->trace_view_width = log->channel_widest[channel];
        log->trace_view_height = log->channel_total_height[channel];
        log->trace_view_scroll = {log->channel_scroll_x[channel], log->channel_scroll_y[channel]};
    }
    refresh_after_setter(app);
}

void on_click_close_side_pane() { side_pane_thunk<-1>(); }
void on_click_console_tab() { side_pane_thunk<0>(); }
void on_click_entity_tab() { side_pane_thunk<1>(); }
void on_click_parameter_tab() { side_pane_thunk<2>(); }
void on_menu_console_trace() { side_pane_thunk<0>(); }
void on_menu_entity_inspector() { side_pane_thunk<1>(); }
void on_menu_parameter_control() { side_pane_thunk<2>(); }
void on_click_settings_button() {
    if (AppContext* app = app_instance) set_options_menu_shown(*app, !app->ui_flags.settings_menu_shown);
}
void on_click_hide_logo() {
    if (AppContext* app = app_instance) set_ui_hidden(*app, !app->ui_flags.ui_hidden);
}
void on_menu_ui_quick_hide() { on_click_hide_logo(); }
void on_click_quick_hide_button() { on_instance<toggle_ui_hidden_or_view_flag>(); }
void on_click_console_kernel() { channel_thunk<0>(); }
void on_click_console_script() { channel_thunk<1>(); }
void on_click_console_file_io() { channel_thunk<2>(); }
void on_click_console_error() { channel_thunk<3>(); }

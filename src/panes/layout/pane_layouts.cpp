#include "panes/layout/pane_layouts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/layout/strip_scroll.h"
#include "panes/layout/window_layout.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

void place(Element& e, int32_t x, int32_t y, int32_t w, int32_t h) {
    e.x = x;
    e.y = y;
    e.width = w;
    e.height = h;
}

WindowMetrics metrics_of(const AppContext& app) {
    const UiMetrics& u = app.ui_metrics;
    WindowMetrics m;
    m.menu_half_width = u.menu_half_width;
    m.icon_button_size = u.icon_button_size;
    m.row_height = u.row_height;
    m.bar_height = u.bar_height;
    m.ui_padding = u.ui_padding;
    m.side_pane_width = u.side_pane_width;
    m.thick_border = u.thick_border;
    m.thin_border = u.thin_border;
    m.popup_width = u.popup_width;
    m.popup_height = u.popup_height;
    return m;
}

WindowFlags flags_of(const AppContext& app) {
    const UiFlags& u = app.ui_flags;
    const BarState& b = app.bars;
    WindowFlags f;
    f.side_pane_open = u.side_pane_open;
    f.settings_menu_shown = u.settings_menu_shown;
    f.open_settings_menu = u.open_settings_menu;
    f.slider_bar_shown = u.slider_bar_shown;
    f.camera_locked = u.camera_locked;
    f.v_flip_mode = u.v_flip_mode;
    f.frame_mode = u.frame_mode;
    f.ui_hidden = u.ui_hidden;
    f.minimal_layout = u.layout_mode_flags[0];
    f.colour_mode = app.render_flags.colour_mode;
    f.camera_controller = app.camera.camera_controller;
    f.show_camera_directives = b.show_camera_directives;
    f.camera_directive_count = b.camera_directive_count;
    f.camera_directive_goto = b.camera_directive_goto;
    f.show_variant_selector = b.show_variant_selector;
    f.variant_count = b.variant_count;
    f.variant_bar_expanded = b.variant_bar_expanded;
    f.show_animator = b.show_animator;
    f.animation_count = b.animation_count;
    f.show_parallel_flags = b.show_parallel_flags;
    f.parallel_flags_expanded = b.parallel_flags_expanded;
    f.show_ll_inspector = b.show_ll_inspector;
    f.ll_inspector_expanded = b.ll_inspector_expanded;
    f.hidden_ui_controls = b.hidden_ui_controls;
    return f;
}

WindowElements elements_of(AppContext& app) {
    return {&app.BORDER,
            &app.viewport_surface,
            &app.configuration_mask,
            &app.configuration_pane,
            &app.busy_mask,
            &app.busy_indicator,
            &app.small_window_notice,
            &app.small_window_icon,
            &app.MASKPANE,
            &app.OVERLAY,
            &app.HIDELOGO,
            &app.LOCKICON,
            &app.NORENDER,
            &app.frame_marker,
            &app.TOOLBAR,
            &app.TIPBAR,
            &app.CONTROLPANE,
            &app.CONTENTPANE,
            &app.MENUBAR,
            &app.MENUNPANE,
            &app.HINTBAR,
            &app.COLOURBAR,
            &app.SLIDERBAR,
            &app.STATUSBAR,
            &app.TABBAR,
            &app.camera_directive_bar,
            &app.camera_directive_toggle,
            &app.variant_bar,
            &app.variant_bar_header,
            &app.variant_bar_body,
            &app.hidden_ui_variant_panel,
            &app.animator_bar,
            &app.controls_toggle,
            &app.parallel_flags_button,
            &app.parallel_flags_bar,
            &app.ll_inspector_button,
            &app.ll_inspector_bar,
            &app.strip_backdrop,
            &app.strip_backdrop_guard,
            &app.frame_rate_label,
            &app.environment_preview,
            &app.environment_preview_frame,
            &app.statistics_label,
            &app.statistics_shadow_label,
            &app.minimal_layout_bar,
            &app.minimal_tool_row,
            &app.minimal_list_row,
            &app.minimal_title_row,
            &app.variant_bar_footer};
}

bool column_open(const AppContext& app) {
    const int32_t k = app.ui_flags.open_settings_menu;
    return app.ui_flags.settings_menu_shown && k >= 0 && k < SETTINGS_MENU_COUNT;
}

template <void (*Layout)(AppContext&, int32_t, int32_t)>
void layout_thunk(int32_t w, int32_t h) {
    if (AppContext* app = app_instance) Layout(*app, w, h);
}

}  // namespace

void layout_app_interface(AppContext& app, int32_t width, int32_t height) {
    layout_window(metrics_of(app), flags_of(app), elements_of(app), width, height);
    fit_statistics_text(app);
}

void fit_statistics_text(AppContext& app) {
    const std::vector<std::string>& lines = app.status.statistics_lines;
    Element& label = app.statistics_label;
    if (lines.empty() || label.typeface == nullptr) return;
    // The label's text area in the root's coordinates, as its pane fills it.
    const Element& pane = app.CONTENTPANE;
    if (pane.width <= 0 || pane.height <= 0) {
        // Not laid out yet: the whole block until the room is known.
        label.set_text_lines(lines);
        app.statistics_shadow_label.set_text_lines(lines);
        return;
    }
    int32_t left = pane.x + pane.padding_left + label.margin_left + label.padding_left;
    int32_t right = pane.x + pane.width - pane.padding_right - label.margin_right - label.padding_right;
    int32_t top = pane.y + pane.padding_top + label.margin_top + label.padding_top;
    int32_t bottom = pane.y + pane.height - pane.padding_bottom - label.margin_bottom - label.padding_bottom;
    const auto meets = [&](int32_t x, int32_t y, int32_t w, int32_t h) {
        return x < right && x + w > left && y < bottom && y + h > top;
    };
    const auto beside = [&](const Element& e) { return meets(e.x, e.y, e.width, e.height); };
    // The camera-directive bar on its right, the hint bar's room above it
    // (kept whether or not a hint shows, so the block does not jump).
    const Element& directives = app.camera_directive_bar;
    if (directives.visible && beside(directives)) right = std::min(right, directives.x - app.ui_metrics.ui_padding);
    const Element& hints = app.HINTBAR;
    if (beside(hints)) top = std::max(top, hints.y + hints.height);
    // The open settings column on its right; the frame-rate readout below
    // it takes the lines it meets.
    const Element& column = app.MENUNPANE;
    if (column.visible && beside(column)) right = std::min(right, column.x - app.ui_metrics.ui_padding);
    const Element& fps = app.frame_rate_label;
    const int32_t floor = bottom;
    if (fps.visible && fps.width > 0 && fps.height > 0 &&
        meets(pane.x + fps.x, pane.y + fps.y, fps.width, fps.height))
        bottom = std::min(bottom, pane.y + fps.y);
    // The block stands on the bottom it was given.
    label.text_offset_y = bottom - floor;
    app.statistics_shadow_label.text_offset_y = bottom - floor;
    // The marks in the corners of the view's cells: the text moves right of
    // those at its left edge, ends before those in its right half and starts
    // below the others.
    int32_t shift = 0;
    const Viewport& view = app.multi_view_viewport;
    for (size_t i = 0; view.visible && i < view.cells.size(); ++i) {
        const Element& cell = view.cells[i];
        for (const auto* marks : {&view.eye_marks, &view.lock_marks, &view.close_buttons, &view.cell_labels}) {
            if (i >= marks->size() || !(*marks)[i].visible) continue;
            const Element& mark = (*marks)[i];
            const int32_t x = view.x + cell.x + mark.x, y = view.y + cell.y + mark.y;
            if (!meets(x, y, mark.width, mark.height)) continue;
            if (x <= left) shift = std::max(shift, x + mark.width - left + 1);
            else if (x >= left + (right - left) / 2) right = x - 1;
            else top = std::max(top, y + mark.height);
        }
    }
    left += shift;
    label.text_offset_x = shift;
    app.statistics_shadow_label.text_offset_x = shift;

    const int32_t line_height = static_cast<int32_t>(label.typeface->line_height);
    const int32_t pitch = line_height + label.line_gap;
    const int32_t room = bottom - top;
    size_t fit = pitch > 0 && room >= line_height ? static_cast<size_t>((room - line_height) / pitch + 1) : 0;
    fit = std::min(fit, lines.size());
    std::vector<std::string> shown;
    shown.reserve(fit);
    for (size_t i = 0; i < fit; ++i) {
        // The last line that fits says that more would follow.
        const std::string& line = (i + 1 == fit && fit < lines.size()) ? std::string("...") : lines[i];
        shown.push_back(fit_line_with_ellipsis(label.typeface, line, right - left));
    }
    if (shown.empty()) shown.emplace_back();
    const int32_t n = static_cast<int32_t>(shown.size());
    label.set_text_lines(shown, n);
    app.statistics_shadow_label.set_text_lines(shown, n);
}

void layout_toolbar_body(AppContext& app, int32_t w, int32_t) {
    const int32_t T = app.ui_metrics.menu_half_width;
    Element* left[3] = {&app.OPEN, &app.PARSE, &app.ASSEMBLE};
    Element* right[3] = {&app.CAPTURE, &app.EXPORT, &app.SETTINGS};
    for (int32_t i = 0; i < 3; ++i) {
        place(*left[i], i * T, 0, T, T);
        place(*right[i], w - (3 - i) * T, 0, T, T);
    }
    place(app.TOOLSCROLL, 3 * T, 0, w - 6 * T, T);
}

void layout_statusbar_body(AppContext& app, int32_t w, int32_t) {
    const WindowTerms t = window_terms(metrics_of(app), flags_of(app), app.frame.window_width, app.frame.window_height);
    const int32_t S = app.ui_metrics.bar_height;
    int32_t a = 0;
    if (app.bars.show_parallel_flags) a += S + t.parallel_width;
    if (app.bars.show_ll_inspector) a += S + t.llmi_width;
    place(app.STATSCROLL, a, 0, w - a, S);
}

void layout_tabbar_body(AppContext& app, int32_t w, int32_t) {
    const int32_t T = app.ui_metrics.menu_half_width, R = app.ui_metrics.row_height, M = app.ui_metrics.ui_padding;
    const bool animator = app.bars.show_animator && app.bars.animation_count > 0;
    place(app.ENVIRONMENT, 0, 0, 2 * T, R);
    place(app.TABSCROLL, 2 * T, 0, w - 4 * T - (animator ? 4 * R : 0), R);
    place(app.ABOUT, w - 2 * T, 0, T, R);
    place(app.HELP, w - T, 0, T, R);
    if (app.ui_flags.v_flip_mode) {
        app.environment_tab_strip.y = M;
        app.environment_tab_strip.height = R - M;
    } else {
        app.environment_tab_strip.y = 1;
        app.environment_tab_strip.height = R - M - 1;
    }
}

void layout_tabscroll_body(AppContext& app, int32_t w, int32_t) {
    const int32_t T = app.ui_metrics.menu_half_width, M = app.ui_metrics.ui_padding;
    const int32_t x = tab_strip_x(w, app.environment_tab_strip.width, M,
                                  app.ui_flags.bar_scroll_factors[BAR_SCROLL_TAB]);
    app.environment_tab_strip.x = x;
    // The pop-up (132 wide) centres over hovered tab i (64 wide) of the strip.
    app.environment_preview.x = x + 2 * T - 32 + 64 * app.entities.hovered_environment_tab;
}

void layout_slider_bar(AppContext& app, int32_t w, int32_t h) {
    const int32_t M = app.ui_metrics.ui_padding, S = app.ui_metrics.bar_height;
    place(app.SLIDERSCROLL, 0, 0, w, h);
    const SliderStripGeometry g = slider_strip_geometry(w, app.ui_metrics.ui_default_width,
                                                        app.ui_flags.bar_scroll_factors[BAR_SCROLL_SLIDER]);
    app.slider_strip.x = g.strip_x;
    app.slider_strip.width = g.strip_width;
    const bool flip = app.ui_flags.v_flip_mode;
    for (int32_t i = 0; i < 4; ++i) {
        app.slider_rows[i].x = g.cell_x[i];
        app.slider_rows[i].width = g.cell_width[i];
        Slider& s = app.sliders[i];
        s.margin_left = M / 2 + 4 * S + (i == 2 ? 1 : 0);
        s.margin_right = M / 2;
        s.margin_top = flip ? M / 2 : M / 2 + 1;
        s.margin_bottom = flip ? M / 2 + 1 : M / 2;
        // The row's first child is its icon.
        std::vector<Element*>& cell = app.slider_rows[i].children;
        if (!cell.empty() && cell[0] != nullptr) cell[0]->y = flip ? -1 : 0;
    }
}

void layout_menunpane_body(AppContext& app, int32_t, int32_t h) {
    const int32_t R = app.ui_metrics.row_height;
    for (int32_t k = 0; k < SETTINGS_MENU_COUNT; ++k) app.settings_menu_column_panes[k].y = 0;
    if (!column_open(app)) return;
    const int32_t k = app.ui_flags.open_settings_menu;
    Element& column = app.settings_menu_column_panes[k];
    const auto items = static_cast<int32_t>(app.settings_menu_item_buttons[static_cast<size_t>(k)].size());
    if (settings_column_overflows(items)) {
        column.y = scroll_offset(h - R, column.height, app.io_settings.settings_menu_scroll_factors[static_cast<size_t>(k)]);
    }
}

void layout_toolscroll_body(AppContext& app, int32_t w, int32_t) {
    const int32_t T = app.ui_metrics.menu_half_width;
    int32_t start = tool_strip_start(w, T, app.strip_scroll.tool);
    // A strip too narrow for all its tools shows as many as fit whole,
    // centred, and the wheel moves them a tool at a time: a tool cut at the
    // edge would lie under its neighbour on the bar.
    int32_t first = 0, count = VIEW_MENU_COUNT;
    if (tool_strip_overflows(w, T)) {
        count = tool_strip_whole_count(w, T);
        first = static_cast<int32_t>(std::lround(app.strip_scroll.tool * (VIEW_MENU_COUNT - count)));
        start = (w - count * T) / 2 - first * T;
    }
    for (int32_t i = 0; i < VIEW_MENU_COUNT; ++i) {
        app.view_menu_buttons[i].x = start + i * T;
        app.view_menu_buttons[i].width = T;
        app.view_menu_buttons[i].visible = i >= first && i < first + count;
    }
    app.toolbar_indicator.x = start + app.ui_flags.open_view_menu * T + T / 2;
}

void layout_menuscroll_body(AppContext& app, int32_t, int32_t h) {
    const int32_t T = app.ui_metrics.menu_half_width, N = app.ui_metrics.icon_button_size;
    const int32_t start = menu_strip_start(h, T, app.ui_flags.bar_scroll_factors[BAR_SCROLL_MENU]);
    for (int32_t i = 0; i < SETTINGS_MENU_COUNT; ++i) {
        app.settings_menu_buttons[i].y = start + i * N;
        app.menubar_indicators[i].y = start + i * N + N / 2;
    }
}

void fit_script_line(AppContext& app, int32_t view) {
    Label& label = app.script_placeholder_label;
    const std::string& whole = app.status.status_text;
    const std::string& folder = label.extra_text;
    if (folder.empty() || view <= 0 || whole.size() < folder.size() ||
        whole.compare(whole.size() - folder.size(), folder.size(), folder) != 0)
        return;
    const int32_t P = app.ui_metrics.ui_padding;
    // A line as wide as the strip would scroll: one pixel less.
    label.set_text(fit_path_text(label.typeface, whole.substr(0, whole.size() - folder.size()), folder,
                                 view - label.padding_left - label.padding_right - 1));
    label.width = label.text_width + 2 * P;
}

void layout_tipscroll_body(AppContext& app, int32_t w, int32_t) {
    const int32_t k = app.ui_flags.open_view_menu;
    if (k < 0 || k >= VIEW_MENU_COUNT) {
        fit_script_line(app, w);
        Label& label = app.script_placeholder_label;
        label.x = tip_strip_overflows(w, label.width)
                      ? scroll_offset(w, label.width, app.ui_flags.bar_scroll_factors[BAR_SCROLL_TIP])
                      : 0;
        return;
    }
    // The item strip scrolls inside its host, which starts right of the title.
    Element& strip = app.view_menu_strip_panes[k];
    const int32_t title_right = app.tip_menu_title.x + app.tip_menu_title.width;
    strip.x = tip_strip_overflows(w, title_right + strip.width)
                  ? scroll_offset(w - title_right, strip.width,
                                  app.io_settings.view_menu_scroll_factors[static_cast<size_t>(k)])
                  : 0;
}

void layout_camera_directive_bar_body(AppContext& app, int32_t, int32_t h) {
    const int32_t M = app.ui_metrics.ui_padding;
    Element& list = app.camera_directive_list;
    list.y = directive_list_overflows(h, list.height) ? scroll_offset(h, list.height, app.strip_scroll.directive) : 0;
    Element& marker = app.camera_directive_marker;
    const int32_t k = app.bars.selected_directive;
    if (k >= 0 && static_cast<size_t>(k) < app.camera_directive_rows.size()) {
        const Element& row = app.camera_directive_rows[static_cast<size_t>(k)];
        place(marker, row.x + M / 2, row.y + list.y + M / 2, M / 2, M / 2);
    } else {
        place(marker, -2 * M, -2 * M, 0, 0);
    }
}

void fit_message_box(AppContext& app, int32_t k, int32_t w, int32_t h) {
    if (k < 0 || k > 2) return;
    BorderLayout* const panes[3] = {&app.INFOPANE, &app.ERRORPANE, &app.WARNINGPANE};
    BorderLayout& pane = *panes[k];
    Label& text = app.message_texts[k];
    ScrollPane& scroll = app.message_scrolls[k];
    AppContext::MessageSource& source = app.message_sources[k];
    const int32_t CW0 = app.ui_metrics.popup_width, CH0 = app.ui_metrics.popup_height;
    // Before the first layout the window's size is not known yet.
    if (w <= 0 || h <= 0) w = CW0, h = CH0;
    const int32_t box_w = std::min(CW0, w);
    const int32_t frame_h = pane.top_size + pane.bottom_size;
    const int32_t pad_w = text.padding_left + text.padding_right, pad_h = text.padding_top + text.padding_bottom;
    const auto break_to = [&](int32_t room) {
        room = std::max(room, 1);
        if (source.wrapped_at == room) return;
        text.set_text(wrap_text(text.typeface, source.text, room));
        source.wrapped_at = room;
    };
    // The bar's room is taken from the text only when the text scrolls.
    constexpr int32_t bar = 12;
    break_to(box_w - pad_w);
    bool scrolls = frame_h + text.text_height + pad_h > h;
    // Narrower, the text has no fewer rows: it still scrolls.
    if (scrolls) break_to(box_w - pad_w - bar);
    const int32_t box_h = std::min(std::max(CH0, frame_h + text.text_height + pad_h), h);
    place(pane, (w - box_w) / 2, (h - box_h) / 2, box_w, box_h);
    scroll.bar_thickness = scrolls ? bar : 0;
    scroll.vbar.visible = scroll.vthumb.visible = scrolls;
    scroll.hbar.visible = scroll.hthumb.visible = false;
    if (!scrolls) scroll.scroll_y = 0.0;
    scroll.scroll_x = 0.0;
    // The text spans the view, so that a centred text stays centred, and is
    // at least as tall as the view.
    text.width = box_w - scroll.bar_thickness;
    text.height = std::max(box_h - frame_h - scroll.bar_thickness, text.text_height + pad_h);
}

void layout_overlay_body(AppContext& app, int32_t w, int32_t h) {
    const int32_t CW0 = app.ui_metrics.popup_width, CH0 = app.ui_metrics.popup_height;
    for (Element* full : {static_cast<Element*>(&app.CONFIRMPANE), static_cast<Element*>(&app.OPENPANE),
                          static_cast<Element*>(&app.LOADPANE), static_cast<Element*>(&app.FILEPANE)}) {
        place(*full, 0, 0, w, h);
    }
    const int32_t y = (h - CH0) / 2;
    for (Element* box : {static_cast<Element*>(&app.RUNPANE), static_cast<Element*>(&app.PARSEPANE),
                         static_cast<Element*>(&app.SCREENSHOTPANE), static_cast<Element*>(&app.PROFILEPANE),
                         static_cast<Element*>(&app.DIRECTIVEPANE), static_cast<Element*>(&app.EXPORTPANE),
                         static_cast<Element*>(&app.ABOUTPANE), static_cast<Element*>(&app.HELPPANE)}) {
        place(*box, (w - CW0) / 2, y, CW0, CH0);
    }
    place(app.CAPTUREPANE, (w - 256) / 2, y, 256, CH0);
    for (int32_t k = 0; k < 3; ++k) fit_message_box(app, k, w, h);
}

MarkerPoint sort_marker_position(int32_t w, int32_t sort_key, bool ascending, int32_t T, int32_t R, int32_t M,
                                 int32_t size_extra) {
    MarkerPoint p;
    switch (sort_key) {
        case 0: p.x = T - M; break;
        case 1: p.x = w - 5 * T - size_extra - M - 1; break;
        case 2: p.x = w - 5 * T - size_extra + M / 2 + 1; break;
        case 3: p.x = w - M; break;
        default: return {-2 * M, -2 * M};
    }
    p.y = ascending ? M / 2 : R - M - 1;
    return p;
}

// How much wider than 2T the size column must be for its widest size.
static int32_t browser_size_extra(const AppContext& app, int32_t w) {
    const int32_t T = app.ui_metrics.menu_half_width;
    const std::vector<Label>& labels = app.browser_row_labels;
    int32_t widest = 0;
    for (size_t i = 2; i < labels.size(); i += 5)
        widest = std::max(widest, labels[i].text_width + labels[i].padding_left + labels[i].padding_right);
    // The name column keeps at least the type column's width.
    return std::max(0, std::min(widest - 2 * T, w - 7 * T));
}

void layout_filepane_body(AppContext& app, int32_t w, int32_t h) {
    const int32_t T = app.ui_metrics.menu_half_width, R = app.ui_metrics.row_height, S = app.ui_metrics.bar_height;
    const int32_t M = app.ui_metrics.ui_padding;
    const FileBrowserState& b = app.file_browser_state;
    app.browser_head_row.x = 0;
    app.browser_head_row.width = w;
    app.browser_head_row.height = R + 1;
    // The size column widens to its widest size, at the name column's cost.
    const int32_t E = browser_size_extra(app, w);
    app.file_panes.name_head.margin_right = 5 * T + E;
    app.file_panes.name_column.margin_right = 5 * T + E;
    place(app.browser_size_head, w - 5 * T - E, 0, 2 * T + E, R);
    place(app.browser_date_head, w - 3 * T, 0, 3 * T, R);
    const int32_t list_h = h - 2 * T - 2 * R;
    place(app.browser_list_frame, 0, R, w, list_h);
    place(app.browser_size_column, w - 3 * T, 0, T, list_h);
    place(app.browser_date_column, w - 2 * T, 0, 2 * T - S, list_h);
    place(app.browser_scroll_track, w - S, 0, S, list_h);
    place(app.browser_scroll_thumb, w - S, file_list_thumb_y(list_h, R, b.browser_list_scroll), S, R + 1);
    place(app.browser_confirm_label, w - 2 * T, 0, 2 * T, T);
    place(app.browser_close_button, w - M / 2 - 32, M / 2, 32, 32);
    const MarkerPoint mark = sort_marker_position(w, b.browser_sort_key, b.browser_sort_ascending, T, R, M, E);
    place(app.browser_sort_mark, mark.x, mark.y, M / 2, M / 2);
}

void layout_file_browser_list(AppContext& app, int32_t w, int32_t h) {
    const int32_t T = app.ui_metrics.menu_half_width, R = app.ui_metrics.row_height, S = app.ui_metrics.bar_height;
    const FileBrowserState& b = app.file_browser_state;
    const int32_t n = static_cast<int32_t>(b.browser_row_order.size());
    const int64_t content = static_cast<int64_t>(n) * R;
    const int32_t content_h = content > INT32_MAX ? INT32_MAX : static_cast<int32_t>(content);
    Element& list = app.browser_list_content;
    place(list, 0, 0, w, content_h);
    if (file_list_overflows(h, content_h)) list.y = scroll_offset(h, content_h, b.browser_list_scroll);
    const size_t rows = std::min(app.browser_rows.size(), static_cast<size_t>(n));
    // The list is the pane's width: the same widening as the heads.
    const int32_t E = browser_size_extra(app, w);
    for (size_t i = 0; i < rows; ++i) {
        place(app.browser_rows[i], 0, static_cast<int32_t>(i) * R, w - S, R);
        auto* row = dynamic_cast<Container*>(&app.browser_rows[i]);
        if (row == nullptr) continue;
        const int32_t cells[5][3] = {{0, T, 0}, {T, w - 6 * T - E, 0}, {w - 5 * T - E, 2 * T + E, 0},
                                     {w - 3 * T, T, 0}, {w - 2 * T, 2 * T - S, 0}};
        for (size_t c = 0; c < row->children.size() && c < 5; ++c) {
            if (row->children[c] != nullptr) place(*row->children[c], cells[c][0], 0, cells[c][1], R);
        }
    }
}

void layout_control_pane(AppContext& app, int32_t w, int32_t h) {
    place(app.CONSOLETRACE, 0, 0, w, h);
    place(app.ENTITYINSPECTOR, 0, 0, w, h);
    place(app.PARAMETERCONTROL, 0, 0, w, h);
}

void layout_menubar(AppContext& app, int32_t, int32_t h) {
    place(app.MENUSCROLL, 0, 0, app.ui_metrics.menu_half_width, h);
}

void layout_tipbar(AppContext& app, int32_t w, int32_t) {
    const int32_t P = app.ui_metrics.side_pane_width, R = app.ui_metrics.row_height;
    place(app.TIPSCROLL, P, 0, w - P, R);
    // The side tabs share the side pane's width in thirds, the last taking
    // the remainder.
    const int32_t third = P / 3;
    place(app.CONSOLE, 0, 0, third, R);
    place(app.ENTITY, third, 0, third, R);
    place(app.PARAMETER, 2 * third, 0, P - 2 * third, R);
}

void layout_colourbar(AppContext& app, int32_t w, int32_t h) {
    const int32_t T = app.ui_metrics.menu_half_width;
    place(app.COLOURSCROLL, 0, 0, w, h);
    const int32_t swatches = app.colour_function_strip.width;
    app.colour_function_strip.x =
        colour_strip_overflows(w, swatches, T)
            ? scroll_offset(w, swatches + T, app.ui_flags.bar_scroll_factors[BAR_SCROLL_COLOUR])
            : 0;
}

void layout_status_strip(AppContext& app, int32_t w, int32_t) {
    const int32_t content = app.io_settings.status_text_width;
    app.status_label.x = status_strip_overflows(w, content)
                             ? scroll_offset(w, content, app.ui_flags.bar_scroll_factors[BAR_SCROLL_STATUS])
                             : 0;
}

void layout_parallel_strip(AppContext& app, int32_t w, int32_t) {
    const int32_t content = app.parallel_strip.width;
    app.parallel_strip.x =
        parallel_strip_overflows(w, content) ? scroll_offset(w, content, app.strip_scroll.parallel) : 0;
}

void layout_llmi_strip(AppContext& app, int32_t w, int32_t) {
    const int32_t content = app.llmi_strip.width;
    app.llmi_strip.x = llmi_strip_overflows(w, content) ? scroll_offset(w, content, app.strip_scroll.llmi) : 0;
}

void layout_browser_path_strip(AppContext& app, int32_t w, int32_t) {
    Element& pieces = app.browser_path_pieces;
    pieces.x = path_strip_overflows(w, pieces.width) ? scroll_offset(w, pieces.width, app.file_browser_state.browser_path_scroll) : 0;
}

void layout_open_pane(AppContext& app, int32_t w, int32_t h) {
    const std::vector<Element*>& icons = app.open_body.children;
    for (size_t i = 0; i < icons.size() && i < 3; ++i) {
        if (icons[i] != nullptr) place(*icons[i], w / 2 - 96 + 64 * static_cast<int32_t>(i), h / 2 - 32, 64, 64);
    }
}

void layout_load_pane(AppContext& app, int32_t w, int32_t h) {
    if (!app.load_body.children.empty() && app.load_body.children[0] != nullptr) {
        place(*app.load_body.children[0], w / 2 - 64, h / 2 - 64, 128, 128);
    }
}

bool screenshot_preview_rect(int32_t w, int32_t sw, int32_t sh, PreviewRect& out) {
    if (sw <= 0 || sh <= 0) return false;
    const float scale = 256.0f / static_cast<float>(sh);
    out.width = truncate_to_int(static_cast<double>(static_cast<float>(sw) * scale));
    out.x = truncate_to_int(w * 0.5 - sw * 0.5 * 256.0 / sh);
    return true;
}

void layout_screenshot_preview(AppContext& app, int32_t w, int32_t) {
    PreviewRect r;
    if (!screenshot_preview_rect(w, app.capture.screenshot_width, app.capture.screenshot_height, r)) return;
    place(app.screenshot_preview, r.x, 0, r.width, 256);
}

void update_small_window_notice(AppContext& app) {
    app.small_window_notice.visible =
        small_window_notice_wanted(app.frame.window_width, app.frame.window_height, app.ui_flags.layout_mode_flags[0]);
}

void layout_static_tab_offset(AppContext& app, int32_t, int32_t) {
    app.side_pane_indicator.y = -(app.ui_flags.side_pane_index * app.ui_metrics.row_height);
}

bool accept_left_button_only(int32_t, int32_t, int32_t button) { return button == 0; }

void on_layout_app_interface(int32_t w, int32_t h) { layout_thunk<layout_app_interface>(w, h); }
void on_layout_tool_bar(int32_t w, int32_t h) { layout_thunk<layout_toolbar_body>(w, h); }
void on_layout_status_bar(int32_t w, int32_t h) { layout_thunk<layout_statusbar_body>(w, h); }
void on_layout_tab_bar(int32_t w, int32_t h) { layout_thunk<layout_tabbar_body>(w, h); }
void on_layout_slider_bar(int32_t w, int32_t h) { layout_thunk<layout_slider_bar>(w, h); }
void on_layout_menu_pane(int32_t w, int32_t h) { layout_thunk<layout_menunpane_body>(w, h); }
void on_layout_tool_scroll(int32_t w, int32_t h) { layout_thunk<layout_toolscroll_body>(w, h); }
void on_layout_menu_scroll(int32_t w, int32_t h) { layout_thunk<layout_menuscroll_body>(w, h); }
void on_layout_tip_scroll(int32_t w, int32_t h) { layout_thunk<layout_tipscroll_body>(w, h); }
void on_layout_tab_scroll(int32_t w, int32_t h) { layout_thunk<layout_tabscroll_body>(w, h); }
void on_layout_camera_directive_bar(int32_t w, int32_t h) { layout_thunk<layout_camera_directive_bar_body>(w, h); }
void on_layout_overlay(int32_t w, int32_t h) { layout_thunk<layout_overlay_body>(w, h); }
void on_layout_file_pane(int32_t w, int32_t h) { layout_thunk<layout_filepane_body>(w, h); }
void on_layout_file_list(int32_t w, int32_t h) { layout_thunk<layout_file_browser_list>(w, h); }
void on_layout_control_pane(int32_t w, int32_t h) { layout_thunk<layout_control_pane>(w, h); }
void layout_menu_bar(int32_t w, int32_t h) { layout_thunk<layout_menubar>(w, h); }
void layout_tip_bar(int32_t w, int32_t h) { layout_thunk<layout_tipbar>(w, h); }
void layout_colour_bar(int32_t w, int32_t h) { layout_thunk<layout_colourbar>(w, h); }
void layout_stat_scroll(int32_t w, int32_t h) { layout_thunk<layout_status_strip>(w, h); }
void layout_parallel_flags_strip(int32_t w, int32_t h) { layout_thunk<layout_parallel_strip>(w, h); }
void layout_llmi_key_strip(int32_t w, int32_t h) { layout_thunk<layout_llmi_strip>(w, h); }
void layout_path_bar(int32_t w, int32_t h) { layout_thunk<layout_browser_path_strip>(w, h); }
void on_layout_open_pane(int32_t w, int32_t h) { layout_thunk<layout_open_pane>(w, h); }
void on_layout_load_pane(int32_t w, int32_t h) { layout_thunk<layout_load_pane>(w, h); }
void layout_snapshot_preview(int32_t w, int32_t h) { layout_thunk<layout_screenshot_preview>(w, h); }
void on_layout_view_cells(int32_t, int32_t) {
    if (AppContext* app = app_instance) fit_statistics_text(*app);
}
void on_layout_small_window_notice(int32_t, int32_t) {
    if (AppContext* app = app_instance) update_small_window_notice(*app);
}
void layout_small_window_notice() { on_layout_small_window_notice(0, 0); }
void on_layout_static_tab_offset(int32_t w, int32_t h) { layout_thunk<layout_static_tab_offset>(w, h); }
void on_layout_nothing(int32_t, int32_t) {}

int32_t side_list_width(const AppContext& app) {
    return app.ui_metrics.side_pane_width - app.entity_list_scroll.bar_thickness;
}

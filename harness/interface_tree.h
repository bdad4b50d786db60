#pragma once
#include <initializer_list>

#include "context/app_context.h"
#include "panes/layout/pane_layouts.h"
#include "panes/layout/scroll_handlers.h"

// The parts of the interface tree the layouts walk, hung and bound as the
// interface builder does (top-level order, bar contents, layout and scroll
// callbacks), with the sizes the builder gives the elements the layouts
// only move. For tests and benchmarks on a context without the builder.
inline void hang_interface_tree(AppContext& app) {
    auto hang = [](Container& parent, std::initializer_list<Element*> children) {
        parent.children.assign(children.begin(), children.end());
    };
    hang(app, {&app.BORDER, &app.viewport_surface, &app.TOOLBAR, &app.CONTROLPANE, &app.TIPBAR, &app.CONTENTPANE,
               &app.MENUBAR, &app.STATUSBAR, &app.TABBAR, &app.SLIDERBAR, &app.COLOURBAR, &app.minimal_layout_bar,
               &app.hidden_ui_variant_panel, &app.strip_backdrop_guard, &app.parallel_flags_bar, &app.ll_inspector_bar,
               &app.animator_bar, &app.camera_directive_bar, &app.parallel_flags_button, &app.ll_inspector_button,
               &app.strip_backdrop, &app.multi_view_viewport, &app.camera_directive_toggle, &app.variant_bar,
               &app.MENUNPANE, &app.HINTBAR, &app.HIDELOGO, &app.LOCKICON, &app.NORENDER, &app.centre_cross,
               &app.controls_toggle, &app.environment_preview, &app.MASKPANE, &app.OVERLAY,
               &app.configuration_mask, &app.busy_mask, &app.small_window_notice});
    hang(app.TOOLBAR, {&app.OPEN, &app.PARSE, &app.ASSEMBLE, &app.CAPTURE, &app.EXPORT, &app.SETTINGS, &app.TOOLSCROLL});
    hang(app.TIPBAR, {&app.CONSOLE, &app.ENTITY, &app.PARAMETER, &app.TIPSCROLL});
    hang(app.TABBAR, {&app.ENVIRONMENT, &app.ABOUT, &app.HELP, &app.TABSCROLL});
    hang(app.MENUBAR, {&app.MENUSCROLL});
    hang(app.COLOURBAR, {&app.COLOURSCROLL});
    hang(app.SLIDERBAR, {&app.SLIDERSCROLL});
    hang(app.STATUSBAR, {&app.STATSCROLL});
    hang(app.CONTROLPANE, {&app.CONSOLETRACE, &app.ENTITYINSPECTOR, &app.PARAMETERCONTROL});
    hang(app.OVERLAY, {&app.RUNPANE, &app.PARSEPANE, &app.CAPTUREPANE, &app.SCREENSHOTPANE, &app.PROFILEPANE,
                       &app.DIRECTIVEPANE, &app.EXPORTPANE, &app.ABOUTPANE, &app.HELPPANE, &app.OPENPANE,
                       &app.LOADPANE, &app.FILEPANE, &app.INFOPANE, &app.ERRORPANE, &app.WARNINGPANE,
                       &app.CONFIRMPANE});
    app.TOOLSCROLL.children.clear();
    for (Element& b : app.view_menu_buttons) app.TOOLSCROLL.children.push_back(&b);
    app.TOOLSCROLL.children.push_back(&app.toolbar_indicator);
    app.MENUSCROLL.children.clear();
    for (Element& b : app.settings_menu_buttons) app.MENUSCROLL.children.push_back(&b);
    for (Element& b : app.menubar_indicators) app.MENUSCROLL.children.push_back(&b);
    hang(app.TABSCROLL, {&app.environment_tab_strip});
    hang(app.TIPSCROLL, {&app.script_placeholder_label, &app.tip_menu_title});
    hang(app.STATSCROLL, {&app.status_label});
    hang(app.COLOURSCROLL, {&app.colour_strip_host});
    hang(app.colour_strip_host, {&app.colour_function_strip});
    hang(app.SLIDERSCROLL, {&app.slider_strip});
    hang(app.slider_strip, {&app.slider_rows[0], &app.slider_rows[1], &app.slider_rows[2], &app.slider_rows[3]});
    hang(app.camera_directive_bar, {&app.camera_directive_centre, &app.camera_directive_controls});
    app.camera_directive_bar.centre = &app.camera_directive_centre;
    app.camera_directive_bar.bottom = &app.camera_directive_controls;
    hang(app.camera_directive_centre, {&app.camera_directive_list, &app.camera_directive_marker});
    hang(app.variant_bar, {&app.variant_bar_header, &app.variant_bar_body});
    hang(app.environment_preview, {&app.environment_preview_frame});
    hang(app.CONTENTPANE, {&app.statistics_label, &app.statistics_shadow_label, &app.canvas_pick_area, &app.frame_rate_label});
    hang(app.minimal_layout_bar, {&app.minimal_tool_row, &app.minimal_list_row, &app.minimal_title_row});
    hang(app.minimal_tool_row, {&app.side_pane_indicator});
    hang(app.minimal_list_row, {&app.minimal_list_scroll});
    hang(app.minimal_list_scroll, {&app.command_list});

    // What the builder sizes and the layouts only move.
    const UiMetrics& u = app.ui_metrics;
    for (Element* s : {&app.parallel_flags_button, &app.ll_inspector_button}) s->width = u.bar_height;
    app.strip_backdrop.height = u.row_height;
    app.environment_tab_strip.width = 64;
    app.environment_preview.width = 132;
    app.colour_function_strip.width = 15 * 40 + u.bar_height;
    app.parallel_strip.width = 2 * u.menu_half_width + 240;
    app.minimal_list_scroll.fill = true;
    for (int32_t k = 0; k < SETTINGS_MENU_COUNT; ++k) {
        app.settings_menu_buttons[k].width = app.settings_menu_buttons[k].height = u.icon_button_size;
    }
    for (Element& b : app.view_menu_buttons) b.height = u.menu_half_width;

    app.layout_handler = on_layout_app_interface;
    app.TOOLBAR.layout_handler = on_layout_tool_bar;
    app.STATUSBAR.layout_handler = on_layout_status_bar;
    app.TABBAR.layout_handler = on_layout_tab_bar;
    app.SLIDERBAR.layout_handler = on_layout_slider_bar;
    app.MENUNPANE.layout_handler = on_layout_menu_pane;
    app.TOOLSCROLL.layout_handler = on_layout_tool_scroll;
    app.MENUSCROLL.layout_handler = on_layout_menu_scroll;
    app.TIPSCROLL.layout_handler = on_layout_tip_scroll;
    app.TABSCROLL.layout_handler = on_layout_tab_scroll;
    app.camera_directive_centre.layout_handler = on_layout_camera_directive_bar;
    app.OVERLAY.layout_handler = on_layout_overlay;
    app.FILEPANE.layout_handler = on_layout_file_pane;
    app.CONTROLPANE.layout_handler = on_layout_control_pane;
    app.MENUBAR.layout_handler = layout_menu_bar;
    app.TIPBAR.layout_handler = layout_tip_bar;
    app.COLOURBAR.layout_handler = layout_colour_bar;
    app.STATSCROLL.layout_handler = layout_stat_scroll;
    app.parallel_strip_view.layout_handler = layout_parallel_flags_strip;
    app.llmi_strip_view.layout_handler = layout_llmi_key_strip;
    app.OPENPANE.layout_handler = on_layout_open_pane;
    app.LOADPANE.layout_handler = on_layout_load_pane;
    app.small_window_notice.layout_handler = on_layout_small_window_notice;
    app.side_pane_indicator.layout_handler = on_layout_static_tab_offset;

    app.TOOLSCROLL.scroll_handler = scroll_tool_scroll;
    app.MENUSCROLL.scroll_handler = scroll_menu_scroll;
    app.TIPSCROLL.scroll_handler = scroll_tip_scroll;
    app.TABSCROLL.scroll_handler = scroll_tab_scroll;
    app.SLIDERSCROLL.scroll_handler = scroll_slider_scroll;
    app.COLOURSCROLL.scroll_handler = scroll_colour_scroll;
    app.STATSCROLL.scroll_handler = scroll_stat_scroll;
    app.settings_menu_columns.scroll_handler = on_scroll_settings_column;
    app.camera_directive_centre.scroll_handler = on_scroll_camera_directive_bar;
    app.CONTENTPANE.scroll_handler = scroll_viewport_zoom_steps;
}

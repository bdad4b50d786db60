#include <initializer_list>
#include <string>
#include <utility>

#include "context/app_context.h"
#include "app/builder_support.h"
#include "app/command_table.h"
#include "app/interface_builder.h"
#include "panes/browser/browser_actions.h"
#include "panes/browser/browser_navigation.h"
#include "panes/browser/browser_selection.h"
#include "panes/popups/capture_output.h"
#include "panes/environments/export_actions.h"
#include "panes/layout/pane_layouts.h"
#include "panes/layout/scroll_handlers.h"
#include "panes/layout/display_options.h"
#include "panes/menus/menu_bars.h"
#include "panes/menus/settings_menu_actions.h"
#include "panes/menus/view_menu_actions.h"
#include "app/shell_bindings.h"
#include "panes/popups/algorithm_selection.h"
#include "panes/inspector/confirmations.h"
#include "panes/environments/environments.h"
#include "panes/layout/pointer_routing.h"
#include "panes/popups/popups.h"
#include "shell/key_dispatch.h"
#include "pipeline/reparse.h"
#include "render/camera_control.h"
#include "render/scene_actions.h"
#include "render/status_line.h"

using namespace builder;

void parse_action_alt() { parse_action(); }
void colour_bar_ignore_click() {}
void slider_bar_ignore_click() {}

namespace {

// Each input-blocking family gets its own handlers: clicks do nothing and
// every other pointer event is reported handled, so nothing below sees it.
enum MaskFamily { MASK_PANE, MESSAGE_MASK, CONFIG_MASK, BUSY_MASK, SMALL_NOTICE, TAB_PREVIEW, LOGO };

template <MaskFamily>
void ignore_click() {}
template <MaskFamily>
bool swallow(int32_t, int32_t, int32_t) {
    return true;
}
template <MaskFamily F>
void make_mask(Element& e) {
    e.click_handler = ignore_click<F>;
    e.mouse_down_handler = swallow<F>;
    e.mouse_up_handler = swallow<F>;
    e.motion_handler = swallow<F>;
    e.drag_handler = swallow<F>;
    e.scroll_handler = swallow<F>;
}

void minimal_bar(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t W = m.menu_half_width, R = m.row_height, B = m.bar_height, P = m.ui_padding;
    const int32_t S = m.side_pane_width, t = m.thin_border, T = m.thick_border, H = a.frame.window_height;

    FillLayout& bar = a.minimal_layout_bar;
    rect(bar, 0, 0, 3 * W, H);
    bar.background_colour = colour(6);
    border(bar.border_right, t, 2);
    rect(a.minimal_tool_row, 0, 0, 3 * W, R);
    a.minimal_tool_row.background_colour = colour(5);
    border(a.minimal_tool_row.border_bottom, T, 9);
    rect(a.minimal_list_row, 0, R, 3 * W, H - R - 20);
    rect(a.minimal_title_row, 0, H - 20, 3 * W, 20);
    a.minimal_title_row.background_colour = colour(5);
    border(a.minimal_title_row.border_top, T, 3);
    append(bar, a.minimal_tool_row);
    append(bar, a.minimal_list_row);
    append(bar, a.minimal_title_row);
    a.minimal_list_scroll.fill = true;
    append(a.minimal_list_scroll, a.command_list);
    append(a.minimal_list_row, a.minimal_list_scroll);

    // The open side pane's label sits at the top of the row; the row's clip
    // cuts the others away.
    FillLayout& indicator = a.side_pane_indicator;
    rect(indicator, 3 * W - 1, 0, S - 3 * W, 3 * R);
    const char* const side_captions[3] = {"CONSOLE", "ENTITY", "PARAMETER"};
    for (int i = 0; i < 3; ++i) {
        Label& l = a.side_pane_indicator_labels[i];
        rect(l, 0, i * R, S - 3 * W, R);
        align(l, 0, 0);
        l.text_colour = colour(8);
        l.typeface = face(4);
        l.set_text(side_captions[i]);
        append(indicator, l);
    }
    indicator.layout_handler = on_layout_static_tab_offset;
    indicator.click_handler = on_click_close_side_pane;
    append(a.minimal_tool_row, indicator);

    const int32_t xs[5] = {0, R, 2 * R, 3 * W - 2 * R, 3 * W - R};
    const int32_t icons[5] = {0, 40, 41, 21, 4};
    const ClickCallback actions[5] = {on_open_script_button, parse_action, toggle_run_pane_from_tab,
                                      on_click_snapshot, on_click_open_export_dialog};
    for (int i = 0; i < 5; ++i) {
        Element& b = a.minimal_tool_buttons[i];
        rect(b, xs[i], 0, R, R);
        if (i < 3)
            border(b.border_right, t, 2);
        else
            border(b.border_left, t, 1);
        if (i == 4) border(b.border_right, t, 2);
        b.icon = icons[i];
        append(a.minimal_tool_row, b);
    }
    for (int i = 0; i < 5; ++i) a.minimal_tool_buttons[i].click_handler = actions[i];

    struct TitleWidget {
        Label* label;
        int32_t x, width, typeface;
        const char* caption;
        ClickCallback action;
    };
    const TitleWidget title_widgets[3] = {
        {&a.minimal_title, 0, W + P + P / 2, 4, "VREK \t EI", layout_small_window_notice},
        {&a.minimal_about, W + P + P / 2, W - P / 2, 3, "About", toggle_about_pane_from_tab},
        {&a.minimal_help, 2 * W + P, W - P, 3, "Help", toggle_help_pane_from_static_tab},
    };
    for (const TitleWidget& w : title_widgets) {
        Label& l = *w.label;
        rect(l, w.x, 0, w.width, 20);
        l.text_colour = colour(8);
        align(l, 0, 0);
        padding(l, P, 0, P, 0);
        l.typeface = face(w.typeface);
        if (&l != &a.minimal_title) border(l.border_left, t, 1);
        if (&l == &a.minimal_help) border(l.border_right, t, 2);
        l.set_text(w.caption);
        append(a.minimal_title_row, l);
    }
    for (const TitleWidget& w : title_widgets) w.label->click_handler = w.action;

    // The list holds pointers into the rows: they are sized once, here.
    a.command_rows.resize(command_table.size());
    a.command_list.children.clear();
    auto is_item = [](size_t i) { return i < command_table.size() && command_table[i].caption[0] == '\t'; };
    int32_t y = 0;
    for (size_t i = 0; i < command_table.size(); ++i) {
        Label& row = a.command_rows[i];
        rect(row, 0, y, 3 * W, B);
        align(row, -1, 0);
        row.text_colour = colour(8);
        padding(row, P, 0, P, 0);
        const bool next_is_item = is_item(i + 1);
        if (is_item(i)) {
            row.typeface = face(3);
            row.hover_palette = gradient(8);
            if (!next_is_item) border(row.border_bottom, t, 9);
        } else {
            row.typeface = face(4);
            border(row.border_bottom, t, 9);
            // A section heading is filled; a stand-alone command highlights.
            if (next_is_item)
                row.background_colour = colour(9);
            else
                row.hover_palette = gradient(8);
        }
        row.set_text(command_table[i].caption);
        if (command_table[i].action != nullptr) row.click_handler = command_table[i].action;
        append(a.command_list, row);
        y += B;
    }
    rect(a.command_list, 0, 0, 3 * W, static_cast<int32_t>(command_table.size()) * B);
    a.minimal_list_scroll.scroll_handler = on_scroll_command_list;
    bar.visible = a.ui_flags.layout_mode_flags[0] != 0;
}

void busy_mask(AppContext& a) {
    FillLayout& mask = a.busy_mask;
    mask.background_colour = colour(1);
    border(mask.border_top, a.ui_metrics.thin_border, 3);
    mask.depth_offset = 10.0;
    a.busy_indicator.icon = 54;
    a.busy_indicator.icon_scale_x = 2.0;
    a.busy_indicator.icon_scale_y = 2.0;
    a.busy_indicator.opacity = 0.0;
    a.startup_notice.text_colour = colour(8);
    align(a.startup_notice, 0, 0);
    a.startup_notice.fill = true;
    a.startup_notice.visible = false;
    a.startup_notice.set_text("assembling...");
    append(mask, a.busy_indicator);
    append(mask, a.startup_notice);
}

void bar_contents(AppContext& a) {
    for (Element* b : {&a.OPEN, &a.PARSE, &a.ASSEMBLE, &a.CAPTURE, &a.EXPORT, &a.SETTINGS}) append(a.TOOLBAR, *b);
    for (Element* b : {&a.CONSOLE, &a.ENTITY, &a.PARAMETER}) append(a.TIPBAR, *b);
    for (Element* b : {&a.ENVIRONMENT, &a.ABOUT, &a.HELP}) append(a.TABBAR, *b);
    append(a.TOOLBAR, a.TOOLSCROLL);
    append(a.TIPBAR, a.TIPSCROLL);
    append(a.MENUBAR, a.MENUSCROLL);
    append(a.COLOURBAR, a.COLOURSCROLL);
    append(a.SLIDERBAR, a.SLIDERSCROLL);
    append(a.STATUSBAR, a.STATSCROLL);
    append(a.TABBAR, a.TABSCROLL);
    append(a.MASKPANE, a.mask_pane_layer);
}

void root_children(AppContext& a) {
    a.children.clear();
    // Later children cover earlier ones; two appends to CONTENTPANE fall
    // in between.
    for (Element* e : std::initializer_list<Element*>{
             &a.BORDER, &a.viewport_surface, &a.TOOLBAR, &a.CONTROLPANE, &a.TIPBAR, &a.CONTENTPANE, &a.MENUBAR,
             &a.STATUSBAR, &a.TABBAR, &a.SLIDERBAR, &a.COLOURBAR, &a.minimal_layout_bar, &a.hidden_ui_variant_panel,
             &a.strip_backdrop_guard, &a.parallel_flags_bar, &a.ll_inspector_bar, &a.animator_bar,
             &a.camera_directive_bar, &a.parallel_flags_button, &a.ll_inspector_button, &a.strip_backdrop})
        append(a, *e);
    append(a.CONTENTPANE, a.canvas_pick_area);
    for (Element* e : std::initializer_list<Element*>{&a.multi_view_viewport, &a.camera_directive_toggle,
                                                      &a.variant_bar, &a.MENUNPANE, &a.HINTBAR, &a.HIDELOGO,
                                                      &a.LOCKICON, &a.NORENDER})
        append(a, *e);
    append(a.CONTENTPANE, a.frame_rate_label);
    for (Element* e : std::initializer_list<Element*>{&a.centre_cross, &a.controls_toggle, &a.environment_preview,
                                                      &a.MASKPANE, &a.OVERLAY, &a.configuration_mask,
                                                      &a.busy_mask, &a.small_window_notice})
        append(a, *e);
}

void hide_start_hidden(AppContext& a) {
    Element* const hidden[] = {&a.CONTROLPANE,  &a.MENUBAR,        &a.COLOURBAR,      &a.SLIDERBAR,
                               &a.MENUNPANE,    &a.HINTBAR,        &a.NORENDER,       &a.MASKPANE,
                               &a.OVERLAY,      &a.mask_pane_layer, &a.CONSOLETRACE,  &a.ENTITYINSPECTOR,
                               &a.PARAMETERCONTROL, &a.RUNPANE,    &a.PARSEPANE,      &a.CAPTUREPANE,
                               &a.SCREENSHOTPANE, &a.PROFILEPANE,  &a.DIRECTIVEPANE,  &a.EXPORTPANE,
                               &a.ABOUTPANE,    &a.HELPPANE,       &a.INFOPANE,       &a.ERRORPANE,
                               &a.WARNINGPANE,  &a.CONFIRMPANE,    &a.OPENPANE,       &a.LOADPANE,
                               &a.FILEPANE,     &a.message_mask,    &a.confirm_algorithm_bar};
    for (Element* e : hidden) e->visible = false;
}

}  // namespace

std::vector<std::pair<const char*, Element*>> named_elements(AppContext& a) {
    return {{"TOOLBAR", &a.TOOLBAR},
            {"TIPBAR", &a.TIPBAR},
            {"CONTROLPANE", &a.CONTROLPANE},
            {"CONTENTPANE", &a.CONTENTPANE},
            {"MENUBAR", &a.MENUBAR},
            {"STATUSBAR", &a.STATUSBAR},
            {"TABBAR", &a.TABBAR},
            {"SLIDERBAR", &a.SLIDERBAR},
            {"COLOURBAR", &a.COLOURBAR},
            {"MENUNPANE", &a.MENUNPANE},
            {"HINTBAR", &a.HINTBAR},
            {"HIDELOGO", &a.HIDELOGO},
            {"LOCKICON", &a.LOCKICON},
            {"NORENDER", &a.NORENDER},
            {"MASKPANE", &a.MASKPANE},
            {"OVERLAY", &a.OVERLAY},
            {"BORDER", &a.BORDER},
            {"RUNPANE", &a.RUNPANE},
            {"PARSEPANE", &a.PARSEPANE},
            {"CAPTUREPANE", &a.CAPTUREPANE},
            {"SCREENSHOTPANE", &a.SCREENSHOTPANE},
            {"PROFILEPANE", &a.PROFILEPANE},
            {"DIRECTIVEPANE", &a.DIRECTIVEPANE},
            {"EXPORTPANE", &a.EXPORTPANE},
            {"ABOUTPANE", &a.ABOUTPANE},
            {"HELPPANE", &a.HELPPANE},
            {"INFOPANE", &a.INFOPANE},
            {"ERRORPANE", &a.ERRORPANE},
            {"WARNINGPANE", &a.WARNINGPANE},
            {"CONFIRMPANE", &a.CONFIRMPANE},
            {"OPENPANE", &a.OPENPANE},
            {"LOADPANE", &a.LOADPANE},
            {"FILEPANE", &a.FILEPANE},
            {"TOOLSCROLL", &a.TOOLSCROLL},
            {"TIPSCROLL", &a.TIPSCROLL},
            {"MENUSCROLL", &a.MENUSCROLL},
            {"COLOURSCROLL", &a.COLOURSCROLL},
            {"SLIDERSCROLL", &a.SLIDERSCROLL},
            {"STATSCROLL", &a.STATSCROLL},
            {"TABSCROLL", &a.TABSCROLL},
            {"OPEN", &a.OPEN},
            {"PARSE", &a.PARSE},
            {"ASSEMBLE", &a.ASSEMBLE},
            {"CAPTURE", &a.CAPTURE},
            {"EXPORT", &a.EXPORT},
            {"SETTINGS", &a.SETTINGS},
            {"CONSOLE", &a.CONSOLE},
            {"ENTITY", &a.ENTITY},
            {"PARAMETER", &a.PARAMETER},
            {"ENVIRONMENT", &a.ENVIRONMENT},
            {"ABOUT", &a.ABOUT},
            {"HELP", &a.HELP},
            {"CONSOLETRACE", &a.CONSOLETRACE},
            {"ENTITYINSPECTOR", &a.ENTITYINSPECTOR},
            {"PARAMETERCONTROL", &a.PARAMETERCONTROL},
            {"CONSOLEUPPER", &a.CONSOLEUPPER},
            {"CONSOLELOWER", &a.CONSOLELOWER},
            {"CONSOLESPLITBAR", &a.CONSOLESPLITBAR},
            {"ENTITYUPPER", &a.ENTITYUPPER},
            {"ENTITYLOWER", &a.ENTITYLOWER},
            {"ENTITYSPLITBAR", &a.ENTITYSPLITBAR},
            {"PARAMETERUPPER", &a.PARAMETERUPPER},
            {"PARAMETERLOWER", &a.PARAMETERLOWER},
            {"PARAMETERSPLITBAR", &a.PARAMETERSPLITBAR}};
}

namespace {

void bind_layouts_and_wheels(AppContext& a) {
    a.layout_handler = on_layout_app_interface;
    a.resize_handler = on_viewport_resized;
    a.key_press_handler = on_root_key_press;
    a.key_release_handler = on_root_key_release;
    const std::pair<Element*, LayoutCallback> layouts[] = {
        {&a.TOOLBAR, on_layout_tool_bar},
        {&a.TIPBAR, layout_tip_bar},
        {&a.CONTROLPANE, on_layout_control_pane},
        {&a.MENUBAR, layout_menu_bar},
        {&a.STATUSBAR, on_layout_status_bar},
        {&a.TABBAR, on_layout_tab_bar},
        {&a.COLOURBAR, layout_colour_bar},
        {&a.SLIDERBAR, on_layout_slider_bar},
        {&a.MENUNPANE, on_layout_menu_pane},
        {&a.TOOLSCROLL, on_layout_tool_scroll},
        {&a.MENUSCROLL, on_layout_menu_scroll},
        {&a.TIPSCROLL, on_layout_tip_scroll},
        {&a.STATSCROLL, layout_stat_scroll},
        {&a.TABSCROLL, on_layout_tab_scroll},
        {&a.camera_directive_centre, on_layout_camera_directive_bar},
        {&a.parallel_strip_view, layout_parallel_flags_strip},
        {&a.llmi_strip_view, layout_llmi_key_strip},
        {&a.OVERLAY, on_layout_overlay},
        {&a.OPENPANE, on_layout_open_pane},
        {&a.LOADPANE, on_layout_load_pane},
        {&a.FILEPANE, on_layout_file_pane},
        // The notice follows every layout of the window.
        {&a.small_window_notice, on_layout_small_window_notice},
        // The statistics make room for the cells' marks once they are placed.
        {&a.multi_view_viewport, on_layout_view_cells},
    };
    for (const auto& binding : layouts) binding.first->layout_handler = binding.second;
    const std::pair<Element*, ScrollCallback> wheels[] = {
        {&a.CONTENTPANE, scroll_viewport_zoom_steps},
        {&a.TOOLSCROLL, scroll_tool_scroll},
        {&a.MENUSCROLL, scroll_menu_scroll},
        {&a.COLOURSCROLL, scroll_colour_scroll},
        {&a.SLIDERSCROLL, scroll_slider_scroll},
        {&a.TIPSCROLL, scroll_tip_scroll},
        {&a.STATSCROLL, scroll_stat_scroll},
        {&a.TABSCROLL, scroll_tab_scroll},
        {&a.settings_menu_columns, on_scroll_settings_column},
        {&a.browser_path_frame, on_scroll_file_browser_path},
        {&a.browser_list_content, on_scroll_file_list},
    };
    for (const auto& binding : wheels) binding.first->scroll_handler = binding.second;
}

void bind_clicks(AppContext& a) {
    const std::pair<Element*, ClickCallback> clicks[] = {
        {&a.trace_tabs[0], on_click_console_kernel},
        {&a.trace_tabs[1], on_click_console_script},
        {&a.trace_tabs[2], on_click_console_file_io},
        {&a.trace_tabs[3], on_click_console_error},
        {&a.OPEN, on_toolbar_open_script},
        {&a.PARSE, parse_action_alt},
        {&a.ASSEMBLE, on_click_toggle_run_pane},
        {&a.CAPTURE, on_click_capture},
        {&a.EXPORT, on_click_export_tool},
        {&a.SETTINGS, on_click_settings_button},
        {&a.CONSOLE, on_click_console_tab},
        {&a.ENTITY, on_click_entity_tab},
        {&a.PARAMETER, on_click_parameter_tab},
        {&a.ENVIRONMENT, on_click_add_environment},
        {&a.ABOUT, on_click_toggle_about_pane},
        {&a.HELP, toggle_help_pane_from_tab},
        {&a.HIDELOGO, on_click_hide_logo},
        {&a.COLOURBAR, colour_bar_ignore_click},
        {&a.SLIDERBAR, slider_bar_ignore_click},
        {&a.popup_frames[FRAME_RUN].close_button, on_click_close_run_pane},
        {&a.popup_frames[FRAME_PARSE].close_button, on_click_close_parse_pane},
        {&a.popup_frames[FRAME_CAPTURE].close_button, on_click_close_capture_pane},
        {&a.popup_frames[FRAME_SCREENSHOT].close_button, on_click_close_screenshot_pane},
        {&a.popup_frames[FRAME_PROFILE].close_button, on_click_close_profile_pane},
        {&a.popup_frames[FRAME_DIRECTIVE].close_button, on_click_close_directive_pane},
        {&a.popup_frames[FRAME_EXPORT].close_button, on_click_close_export_pane},
        {&a.ABOUTPANE, toggle_about_pane_from_pane},
        {&a.popup_frames[FRAME_HELP].close_button, on_click_toggle_help_pane},
        {&a.popup_frames[FRAME_INFO].close_button, on_click_close_info_box},
        {&a.popup_frames[FRAME_ERROR].close_button, on_click_close_error_box},
        {&a.popup_frames[FRAME_WARNING].close_button, on_click_close_warning_box},
        {&a.algorithm_buttons[0], on_click_mesh_algorithm_pure_union},
        {&a.algorithm_buttons[1], on_click_mesh_algorithm_basic_csg},
        {&a.algorithm_buttons[2], on_click_mesh_algorithm_optimal_csg},
        {&a.assemble_button, on_click_assemble},
        {&a.confirm_cancel_button, on_click_confirm_cancel},
        {&a.confirm_ok_button, on_click_confirm_ok},
        {&a.confirm_choice_buttons[0], on_click_confirm_pure_union},
        {&a.confirm_choice_buttons[1], on_click_confirm_basic_csg},
        {&a.confirm_choice_buttons[2], on_click_confirm_optimal_csg},
        {&a.browser_home_button, on_browser_home_button},
        {&a.browser_refresh_button, on_browser_refresh_button},
        {&a.browser_clear_button, on_click_clear_file_selection},
        {&a.browser_select_all_button, on_browser_select_all_button},
        {&a.browser_close_button, on_click_close_open_pane},
        {&a.browser_confirm_label, on_browser_confirm_button},
        {&a.canvas_pick_area, refresh_llmi_trace},
        {&a.environment_tab_strip, on_environment_tab_click},
        {&a.environment_preview_close, on_close_environment},
    };
    for (const auto& binding : clicks) binding.first->click_handler = binding.second;
    const ClickCallback view_menus[VIEW_MENU_COUNT] = {
        on_view_menubar_topology,   on_view_menubar_colour, on_view_menubar_shading, on_view_menubar_orbit,
        on_view_menubar_projection, on_view_menubar_state,  on_view_menubar_widgets, on_view_menubar_view};
    const ClickCallback settings_menus[SETTINGS_MENU_COUNT] = {
        on_settings_menubar_window,      on_settings_menubar_shading,    on_settings_menubar_lighting,
        on_settings_menubar_full_screen, on_settings_menubar_camera,     on_settings_menubar_camera_lock,
        on_settings_menubar_theme,       on_settings_menubar_slider_bar, on_settings_menubar_widgets,
        on_settings_menubar_system_config};
    for (size_t i = 0; i < VIEW_MENU_COUNT; ++i) a.view_menu_buttons[i].click_handler = view_menus[i];
    for (size_t i = 0; i < SETTINGS_MENU_COUNT; ++i) a.settings_menu_buttons[i].click_handler = settings_menus[i];
}

void bind_pointers_and_masks(AppContext& a) {
    a.HIDELOGO.mouse_down_handler = swallow<LOGO>;
    a.HIDELOGO.scroll_handler = swallow<LOGO>;
    Element& surface = a.viewport_surface;
    surface.mouse_down_handler = on_viewport_button_press;
    surface.mouse_up_handler = end_viewport_drag;
    surface.drag_handler = on_viewport_drag;
    surface.motion_handler = on_viewport_motion_clear_hover;
    // The thumb takes no pointer events of its own: a press on it reaches the
    // track below, so dragging the thumb and clicking the track both scroll.
    Element& track = a.browser_scroll_track;
    track.mouse_down_handler = on_file_list_slider_mouse_down;
    track.mouse_up_handler = on_file_list_slider_mouse_up;
    track.drag_handler = on_file_list_slider_drag;
    a.environment_tab_strip.motion_handler = on_environment_tab_hover;
    make_mask<TAB_PREVIEW>(a.environment_preview);
    make_mask<MASK_PANE>(a.MASKPANE);
    make_mask<MESSAGE_MASK>(a.message_mask);
    make_mask<CONFIG_MASK>(a.configuration_mask);
    make_mask<BUSY_MASK>(a.busy_mask);
    make_mask<SMALL_NOTICE>(a.small_window_notice);
}

void set_layers(AppContext& a) {
    for (Element* e : std::initializer_list<Element*>{&a.message_mask, &a.OPENPANE, &a.INFOPANE, &a.ERRORPANE,
                                                      &a.WARNINGPANE, &a.configuration_mask})
        e->layer = 1;
    for (Element* e : std::initializer_list<Element*>{&a.MASKPANE, &a.OVERLAY, &a.busy_mask}) e->layer = 2;
    a.small_window_notice.layer = 3;
}

}  // namespace

void build_minimal_bar_and_bindings(AppContext& a) {
    minimal_bar(a);
    busy_mask(a);
    bar_contents(a);
    root_children(a);
    hide_start_hidden(a);
    for (const auto& named : named_elements(a)) named.second->name = named.first;
    bind_layouts_and_wheels(a);
    bind_clicks(a);
    bind_pointers_and_masks(a);
    set_layers(a);
}

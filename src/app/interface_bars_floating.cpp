#include <string>
#include <vector>

#include "context/app_context.h"
#include "app/builder_support.h"
#include "app/interface_builder.h"
#include "app/shell_bindings.h"
#include "art/icon_table.h"
#include "panes/bars/directive_bars.h"
#include "panes/layout/display_options.h"
#include "panes/inspector/parameter_actions.h"
#include "panes/menus/pick_modes.h"
#include "panes/menus/settings_fields.h"
#include "panes/menus/settings_menu_actions.h"
#include "panes/layout/scroll_handlers.h"
#include "render/camera_directives.h"
#include "text/text_utils.h"

using namespace builder;

// Pointer events the floating bars take so that the 3D view below never sees
// them.
bool view_flag_button_swallow_mouse_down(int32_t, int32_t, int32_t) { return true; }
bool view_flag_button_swallow_scroll(int32_t, int32_t, int32_t) { return true; }
bool strip_backdrop_swallow_scroll(int32_t, int32_t, int32_t) { return true; }
void directive_bar_ignore_click() {}
bool directive_controls_swallow_scroll(int32_t, int32_t, int32_t) { return true; }
bool directive_handle_swallow_mouse_down(int32_t, int32_t, int32_t) { return true; }
bool directive_handle_swallow_scroll(int32_t, int32_t, int32_t) { return true; }
bool variant_bar_swallow_mouse_down(int32_t, int32_t, int32_t) { return true; }
bool variant_bar_swallow_scroll(int32_t, int32_t, int32_t) { return true; }

namespace {

// The marks drawn over the directive controls: x, y, width, height.
constexpr int32_t kDirectiveGlyphs[29][4] = {
    {12, 11, 4, 6},  {11, 12, 6, 4},  {92, 17, 3, 3},  {92, 14, 6, 1},  {97, 14, 1, 6},  {98, 10, 6, 2},
    {100, 8, 2, 6},  {10, 41, 4, 4},  {42, 41, 4, 4},  {10, 42, 8, 2},  {38, 42, 8, 2},  {64, 8, 4, 4},
    {72, 8, 4, 4},   {64, 16, 4, 4},  {72, 16, 4, 4},  {40, 8, 4, 2},   {36, 14, 12, 2}, {36, 14, 2, 6},
    {46, 14, 2, 6},  {41, 8, 2, 12},  {66, 38, 2, 10}, {72, 38, 2, 10}, {66, 38, 8, 2},  {66, 43, 8, 2},
    {97, 38, 2, 10}, {95, 37, 2, 2},  {95, 47, 2, 2},  {99, 37, 2, 2},  {99, 47, 2, 2},
};

// Tool-tip icon of the directive controls.
constexpr int32_t kDirectiveTipIcon = 15;

void place_floating_bars(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, R = m.row_height, B = m.bar_height, W = m.menu_half_width;
    const int32_t t = m.thin_border, T = m.thick_border;
    const int32_t ww = a.frame.window_width, wh = a.frame.window_height;

    rect(a.strip_backdrop, 0, 0, ww, R);
    border(a.strip_backdrop.border_top, T, 3);
    border(a.strip_backdrop.border_bottom, T, 9);
    a.strip_backdrop.depth_offset = 2.0;
    a.strip_backdrop.visible = false;

    Element& quick = a.controls_toggle;
    rect(quick, 0, 0, ww - R, wh - R);
    quick.icon = ICON_FULLSCREEN;
    quick.opacity = 0.25;
    quick.depth_offset = -0.5;
    quick.click_handler = on_click_quick_hide_button;
    quick.mouse_down_handler = view_flag_button_swallow_mouse_down;
    quick.scroll_handler = view_flag_button_swallow_scroll;

    rect(a.strip_backdrop_guard, 0, 0, ww, R);
    a.strip_backdrop_guard.background_palette = gradient(11);
    a.strip_backdrop_guard.visible = false;
    a.strip_backdrop_guard.scroll_handler = strip_backdrop_swallow_scroll;

    rect(a.hidden_ui_variant_panel, P, wh - R, 3 * W, R - P);
    a.hidden_ui_variant_panel.background_rgba = 0x00FFFFFFu;
    a.hidden_ui_variant_panel.depth_offset = 10.0;
    a.hidden_ui_variant_panel.visible = false;

    BorderLayout& pane = a.camera_directive_bar;
    rect(pane, ww - 2 * W, R + W, 2 * W, wh - W - 2 * R - B);
    pane.background_colour = colour(6);
    border(pane.border_left, T, 1);

    FillLayout& variants = a.variant_bar;
    rect(variants, P, wh - R - B - P - 4 * W, 3 * W, 4 * W);
    variants.background_colour = colour(6);
    border(variants.border_left, T, 1);
    border(variants.border_top, T, 3);
    border(variants.border_right, T, 2);
    border(variants.border_bottom, T, 9);
    variants.layer = -1;

    // The bottom bars keep gradients on their zero-width top and bottom
    // edges, so widening an edge later needs no new pointer.
    FillLayout& llmi = a.ll_inspector_bar;
    rect(llmi, 2 * B, wh - R - B, 7 * B + 2 * (W - B), B);
    border(llmi.border_right, T, 2);
    border(llmi.border_top, 0, 3);
    border(llmi.border_bottom, 0, 9);
    llmi.depth_offset = 0.1;

    FillLayout& animator = a.animator_bar;
    rect(animator, ww - 2 * W - 4 * R, wh - R, 4 * R, R);
    animator.background_palette = gradient(11);
    border(animator.border_left, T, 1);
    border(animator.border_top, T, 3);
    border(animator.border_right, 0, 2);
    border(animator.border_bottom, 0, 9);
    animator.depth_offset = 1.0;

    FillLayout& parallel = a.parallel_flags_bar;
    border(parallel.border_right, T, 2);
    border(parallel.border_top, 0, 3);
    border(parallel.border_bottom, 0, 9);
    parallel.depth_offset = 0.1;

    Element* const strip_buttons[2] = {&a.parallel_flags_button, &a.ll_inspector_button};
    const int32_t icons[2] = {ICON_PARALLEL, ICON_SELECT};
    for (int i = 0; i < 2; ++i) {
        Element& b = *strip_buttons[i];
        rect(b, i * B, wh - R - B, B, B);
        b.icon = icons[i];
        border(b.border_left, t, 1);
        border(b.border_top, t, 3);
        border(b.border_right, t, 2);
        border(b.border_bottom, t, 9);
        b.hover_palette = gradient(8);
        b.selected_palette = gradient(8);
        b.depth_offset = 1.0;
    }
}

void parallel_flags_strip(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t B = m.bar_height, W = m.menu_half_width, t = m.thin_border, T = m.thick_border;

    a.parallel_strip_view.fill = true;
    a.parallel_strip_view.scroll_handler = scroll_parallel_flags_strip;
    append(a.parallel_flags_bar, a.parallel_strip_view);
    rect(a.parallel_strip, 0, 0, 2 * W + 240, B);
    append(a.parallel_strip_view, a.parallel_strip);

    Label& label = a.parallel_label;
    rect(label, 0, 0, 2 * (W - B), B);
    label.set_text("Parallel");
    label.typeface = face(3);
    label.text_colour = colour(8);
    border(label.border_right, T, 2);

    TextField& cores = a.max_cores_field;
    rect(cores, 2 * (W - B), 0, 2 * B, B);
    cores.typeface = face(0);
    cores.background_colour = colour(4);
    cores.text_colour = colour(8);
    tip(cores, parallel_flags_bar_tips[1]);
    cores.on_escape = sync_cores_field;
    cores.on_enter = commit_cores_field;

    struct Flag {
        const char* caption;
        int32_t x, width;
        uint8_t on;
        ClickCallback action;
    };
    const BarState& bars = a.bars;
    const Flag flags[5] = {
        {"MCP", 2 * W, 48, bars.parallel_multi_core, toggle_parallel_multi_core},
        {"Cull", 2 * W + 48, 47, bars.parallel_culling, toggle_parallel_reassembly_culling},
        {"IG", 2 * W + 95, 40, bars.parallel_invocation_groups, toggle_parallel_invocation_groups},
        {"CCPP", 2 * W + 135, 50, bars.parallel_ccpp, toggle_parallel_ccpp},
        {"P-Op.", 2 * W + 185, 55, bars.parallel_preemptive, toggle_parallel_preemptive_optimisation},
    };
    append(a.parallel_strip, label);
    append(a.parallel_strip, cores);
    for (int i = 0; i < 5; ++i) {
        Element& b = a.parallel_flag_buttons[i];
        rect(b, flags[i].x, 0, flags[i].width, B);
        b.set_text(flags[i].caption);
        b.typeface = face(0);
        b.text_colour = colour(8);
        border(b.border_left, t, 1);
        b.hover_palette = gradient(8);
        b.selected_palette = gradient(8);
        b.selected = flags[i].on != 0;
        tip(b, parallel_flags_bar_tips[static_cast<size_t>(i + 2)]);
        b.click_handler = flags[i].action;
        append(a.parallel_strip, b);
    }
    for (Element* e : {static_cast<Element*>(&label), static_cast<Element*>(&cores)}) align(*e, 0, 0);
    for (Element& b : a.parallel_flag_buttons) align(b, 0, 0);

    tip(a.parallel_flags_button, parallel_flags_bar_tips[0]);
    a.parallel_flags_button.click_handler = toggle_parallel_flags_strip;
    for (Element* e : {&a.parallel_flags_button, static_cast<Element*>(&cores)}) e->tooltip_icon = ICON_PARALLEL;
    for (Element& b : a.parallel_flag_buttons) b.tooltip_icon = ICON_PARALLEL;
    cores.set_text(int_to_text(bars.max_cores));
}

void camera_directive_controls(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, W = m.menu_half_width, t = m.thin_border, h = W / 2;
    const BarState& bars = a.bars;

    FillLayout& centre = a.camera_directive_centre;
    centre.fill = true;
    centre.click_handler = directive_bar_ignore_click;
    centre.scroll_handler = on_scroll_camera_directive_bar;
    BorderLayout& pane = a.camera_directive_bar;
    pane.centre = &centre;
    append(pane, centre);

    FillLayout& controls = a.camera_directive_controls;
    rect(controls, 0, 0, 2 * W, 2 * W);
    controls.background_colour = colour(6);
    border(controls.border_top, t, 9);
    controls.scroll_handler = directive_controls_swallow_scroll;
    pane.bottom = &controls;
    pane.bottom_size = 2 * W;
    append(pane, controls);

    FillLayout& list = a.camera_directive_list;
    rect(list, 0, 0, 2 * W, 0);
    list.click_handler = apply_clicked_camera_directive;
    make_camera_directive_buttons(a);
    append(centre, list);
    Element& marker = a.camera_directive_marker;
    rect(marker, P / 2, P / 2, P / 2, P / 2);
    marker.background_rgba = 0xFF0080F0u;
    marker.depth_offset = 2.0;
    append(centre, marker);

    Element& handle = a.camera_directive_toggle;
    handle.visible = false;
    border(handle.border_left, t, 1);
    border(handle.border_top, t, 3);
    border(handle.border_bottom, t, 9);
    handle.hover_palette = gradient(0);
    handle.opacity = 0.5;
    handle.click_handler = toggle_camera_directives_and_relayout;
    handle.mouse_down_handler = directive_handle_swallow_mouse_down;
    handle.scroll_handler = directive_handle_swallow_scroll;

    for (int i = 0; i < 29; ++i) {
        Element& g = a.camera_directive_glyphs[i];
        const int32_t* r = kDirectiveGlyphs[i];
        rect(g, r[0], r[1], r[2], r[3]);
        g.depth_offset = 5.0;
        g.background_rgba = 0xFF808080u;
        append(controls, g);
    }

    struct Control {
        int32_t x, y, tip_index;
        ClickCallback action;
        int selected;  // -1: not a toggle
    };
    // In the order of camera_directive_buttons.
    const Control buttons[8] = {
        {0, 0, 0, request_camera_directive_sync, -1},
        {3 * h, 0, 3, toggle_camera_directive_auto_sync, bars.camera_directive_auto_sync},
        {0, h, 4, apply_previous_camera_directive, -1},
        {h, h, 5, apply_next_camera_directive, -1},
        {h, 0, 1, toggle_root_camera_directive_mode, bars.camera_directive_root_mode},
        {2 * h, 0, 2, toggle_camera_directive_button_layout, bars.camera_directive_layout == 2},
        {2 * h, h, 6, toggle_camera_directive_animation, bars.camera_directive_animate},
        {3 * h, h, 7, toggle_goto_camera_directive, bars.camera_directive_goto},
    };
    for (int i = 0; i < 8; ++i) {
        const Control& c = buttons[i];
        Element& b = a.camera_directive_buttons[i];
        rect(b, c.x, c.y, h, h);
        b.background_palette = gradient(11);
        b.hover_palette = gradient(8);
        if (c.selected >= 0) {
            b.selected_palette = gradient(8);
            b.selected = c.selected != 0;
        }
        const bool left_column = c.x == 0;
        const bool middle = c.x == 2 * h;
        if (left_column || middle) border(b.border_right, t, 2);
        if (middle) border(b.border_left, t, 1);
        if (c.y == h) border(b.border_top, t, 3);
        tip(b, camera_directive_bar_tips[static_cast<size_t>(c.tip_index)]);
        b.tooltip_icon = kDirectiveTipIcon;
        b.click_handler = c.action;
    }
    for (Element& b : a.camera_directive_buttons) append(controls, b);

    TextField* const fields[2] = {&a.goto_eye_field, &a.goto_target_field};
    const int32_t ys[2] = {2 * h, 3 * h - P / 2};
    const char* const texts[2] = {"1 1 1", "0 0 0"};
    const NotifyCallback escapes[2] = {refresh_panes_on_field_escape_b, refresh_panes_on_field_escape_a};
    const NotifyCallback enters[2] = {refresh_panes_on_field_enter_b, refresh_panes_on_field_enter_a};
    for (int i = 0; i < 2; ++i) {
        TextField& f = *fields[i];
        rect(f, 0, ys[i], 4 * h, h - P / 2);
        f.background_colour = colour(4);
        f.text_colour = colour(8);
        f.typeface = face(0);
        align(f, 0, 0);
        border(f.border_top, t, 3);
        if (i == 1) border(f.border_bottom, t, 9);
        f.set_text(texts[i]);
        f.visible = bars.camera_directive_goto != 0;
        tip(f, camera_directive_bar_tips[static_cast<size_t>(8 + i)]);
        f.tooltip_icon = kDirectiveTipIcon;
        f.on_escape = escapes[i];
        f.on_enter = enters[i];
    }
    FillLayout& panel = a.goto_field_panel;
    rect(panel, 0, 2 * h, 4 * h, 2 * h);
    panel.background_colour = colour(9);
    border(panel.border_top, t, 3);
    append(controls, panel);
    append(controls, a.goto_eye_field);
    append(controls, a.goto_target_field);
}

void variant_bar_contents(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, B = m.bar_height, W = m.menu_half_width, t = m.thin_border;

    FillLayout* const ends[2] = {&a.variant_bar_header, &a.variant_bar_footer};
    for (int i = 0; i < 2; ++i) {
        FillLayout& e = *ends[i];
        rect(e, 0, i == 0 ? 0 : 4 * W - B, 3 * W, B);
        e.set_text("VARIANTS");
        e.typeface = face(4);
        e.text_colour = colour(8);
        align(e, -1, 0);
        padding(e, P, 0, P, 0);
    }
    border(a.variant_bar_header.border_bottom, t, 9);
    a.variant_bar_header.background_palette = a.bars.variant_bar_expanded ? gradient(11) : nullptr;
    a.variant_bar_header.click_handler = toggle_variant_bar_highlight_a;
    border(a.variant_bar_footer.border_top, t, 3);
    a.variant_bar_footer.background_palette = gradient(11);
    a.variant_bar_footer.click_handler = toggle_variant_bar_highlight_b;

    FillLayout& body = a.variant_bar_body;
    rect(body, 0, B, 3 * W, 4 * W - 2 * B);
    ScrollPane& scroll = a.variant_scroll;
    scroll.fill = true;
    FillLayout& list = a.variant_list;
    rect(list, 0, 0, 3 * W - scroll.bar_thickness, 8 * W);
    list.click_handler = on_click_apply_variant;
    scroll_decoration(scroll, t);
    attach_content(scroll, list);
    append(body, scroll);

    FillLayout& bar = a.variant_bar;
    bar.mouse_down_handler = variant_bar_swallow_mouse_down;
    bar.scroll_handler = variant_bar_swallow_scroll;
    append(bar, a.variant_bar_header);
    append(bar, body);
    append(bar, a.variant_bar_footer);
}

// The pick keys' captions; "?" stands for the user-defined mode 'U'.
constexpr char kPickKeyCaptions[] = "!TPGOE?";

void llmi_key_strip(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t B = m.bar_height, W = m.menu_half_width, t = m.thin_border, T = m.thick_border;

    a.llmi_strip_view.fill = true;
    a.llmi_strip_view.scroll_handler = scroll_llmi_key_strip;
    append(a.ll_inspector_bar, a.llmi_strip_view);
    rect(a.llmi_strip, 0, 0, 7 * B + 2 * (W - B), B);
    append(a.llmi_strip_view, a.llmi_strip);

    // The strip's label and the inspector's mode cell look alike; the
    // cell's parent is the hint bar (placed with the bar's other cells).
    for (Element* label : {static_cast<Element*>(&a.llmi_key_label), &a.llmi_caption}) {
        rect(*label, 0, 0, 2 * (W - B), B);
        align(*label, 0, 0);
        label->typeface = face(3);
        label->text_colour = colour(8);
        border(label->border_right, T, 2);
    }
    a.llmi_key_label.set_text("LLMI-Key");
    append(a.llmi_strip, a.llmi_key_label);
    a.llmi_caption.set_text("LLMI");
    a.llmi_caption.depth_offset = 1.0;

    const ClickCallback actions[7] = {set_pick_mode_none,    set_pick_mode_triangle, set_pick_mode_polygon,
                                      set_pick_mode_gouraud_group, set_pick_mode_operand, set_pick_mode_entity,
                                      set_pick_mode_user_defined};
    // One rule, then the four one-pixel corrections.
    const int32_t dx[7] = {0, -1, 0, 0, 0, 0, -1};
    const int32_t dw[7] = {-1, 1, 0, 0, 0, -1, 1};
    for (int i = 0; i < 7; ++i) {
        Element& k = a.pick_key_buttons[i];
        rect(k, 2 * (W - B) + i * B + dx[i], 0, B + 1 + dw[i], B);
        padding(k, 0, 0, 1, 0);
        align(k, 0, 0);
        k.typeface = face(0);
        k.text_colour = colour(8);
        border(k.border_right, t, 2);
        k.hover_palette = gradient(8);
        k.selected_palette = gradient(8);
        k.set_text(std::string(1, kPickKeyCaptions[i]));
        k.selected = a.bars.llmi_pick_key == pick_mode_keys[i];
        append(a.llmi_strip, k);
    }
    for (int i = 0; i < 7; ++i) {
        Element& k = a.pick_key_buttons[i];
        tip(k, llmi_bar_tips[static_cast<size_t>(i + 1)]);
        k.tooltip_icon = ICON_SELECT;
        k.click_handler = actions[i];
    }
    tip(a.ll_inspector_button, llmi_bar_tips[0]);
    a.ll_inspector_button.tooltip_icon = ICON_SELECT;
    a.ll_inspector_button.click_handler = toggle_llmi_key_strip;
}

// Which floating bars show, from the widget switches.
void settle_floating_bar_visibility(AppContext& a) {
    const BarState& bars = a.bars;
    a.camera_directive_bar.visible = bars.show_camera_directives && bars.camera_directive_count > 0 &&
                                      a.camera.camera_controller == CAMERA_FREE_ROAM;
    a.parallel_flags_bar.visible = bars.show_parallel_flags && bars.parallel_flags_expanded;
    a.variant_bar.visible = bars.show_variant_selector && bars.variant_count > 0;
    a.variant_bar.layer = -1;
    a.ll_inspector_bar.visible = bars.show_ll_inspector && bars.ll_inspector_expanded;
    a.animator_bar.visible = bars.show_animator && bars.animation_count > 0;
    a.ll_inspector_button.visible = bars.show_ll_inspector != 0;
    a.parallel_flags_button.visible = bars.show_parallel_flags != 0;
    a.camera_directive_bar.depth_offset = 1.0;
}

}  // namespace

void build_floating_bars(AppContext& a) {
    place_floating_bars(a);
    parallel_flags_strip(a);
    camera_directive_controls(a);
    variant_bar_contents(a);
    llmi_key_strip(a);
    settle_floating_bar_visibility(a);
}

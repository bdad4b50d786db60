#include <string>

#include "context/app_context.h"
#include "app/builder_support.h"
#include "app/interface_builder.h"
#include "app/shell_bindings.h"
#include "panes/menus/settings_menu_actions.h"
#include "render/camera_control.h"

using namespace builder;

// A bevelled bar behind the frame-rate readout: six triangles, (x, y) in
// element pixels.
const double bevel_bar_triangles[36] = {
    0.5, 6,  0.5, 26, 2.5, 28,  //
    0.5, 6,  2.5, 28, 2.5, 4,   //
    2.5, 4,  2.5, 28, 127, 28,  //
    2.5, 4,  127, 28, 127, 4,   //
    127, 4,  127, 28, 129, 26,  //
    127, 4,  129, 26, 129, 6,
};

namespace {

const char* const statistics_text =
    "0 vertices\n0 indices \t 0\n0 ngons (0 triangles)\nextent [ w:0.00,h:0.00,d:0.00 ]\n"
    "min [ x:0.00,y:0.00,z:0.00 ]\nmax [ x:0.00,y:0.00,z:0.00 ]\n0.00 seconds (0 ms)\n"
    "0.00 MB (0.00 kb | 0 bytes)";

void top_level_frames(AppContext& a) {
    const int32_t t = a.ui_metrics.thin_border, T = a.ui_metrics.thick_border;
    a.TOOLBAR.background_palette = gradient(11);
    border(a.TOOLBAR.border_bottom, T, 9);
    a.TIPBAR.background_palette = gradient(11);
    border(a.TIPBAR.border_bottom, t, 9);
    a.CONTROLPANE.background_colour = colour(6);
    border(a.CONTROLPANE.border_right, t, 2);
    a.CONTROLPANE.visible = false;
    a.MENUBAR.background_palette = gradient(10);
    border(a.MENUBAR.border_left, T, 1);
    a.MENUBAR.visible = false;
    a.STATUSBAR.background_palette = gradient(11);
    border(a.STATUSBAR.border_top, t, 3);
    a.TABBAR.background_palette = gradient(11);
    border(a.TABBAR.border_top, T, 3);
    a.SLIDERBAR.background_palette = gradient(11);
    border(a.SLIDERBAR.border_top, t, 3);
    a.SLIDERBAR.visible = false;
    a.COLOURBAR.background_palette = gradient(11);
    border(a.COLOURBAR.border_bottom, t, 9);
    a.COLOURBAR.visible = false;
    border(a.MENUNPANE.border_left, T, 1);
    border(a.MENUNPANE.border_bottom, T, 9);
    a.MENUNPANE.visible = false;
    a.HINTBAR.background_palette = gradient(6);
    a.HINTBAR.visible = false;
    border(a.BORDER.border_top, 1, 3);
    a.BORDER.depth_offset = 5.0;
    border(a.OVERLAY.border_top, 1, 3);
    a.OVERLAY.depth_offset = 5.0;
    a.OVERLAY.visible = false;
    a.MASKPANE.background_colour = colour(5);
    a.MASKPANE.depth_offset = 3.0;
    a.MASKPANE.visible = false;
    a.HIDELOGO.icon = 53;
    a.HIDELOGO.depth_offset = -2.0;
    a.HIDELOGO.opacity = 0.125;
    a.HIDELOGO.visible = false;
    a.LOCKICON.icon = 33;
    a.LOCKICON.depth_offset = -1.0;
    a.LOCKICON.visible = false;
    a.NORENDER.opacity = 0.5;
    a.NORENDER.visible = false;
}

void notices_and_masks(AppContext& a) {
    const int32_t t = a.ui_metrics.thin_border, P = a.ui_metrics.ui_padding;
    const int32_t icons[3] = {34, 38, 51};
    const int32_t xs[3] = {0, 32, 64}, ys[3] = {0, 32, 0};
    for (int i = 0; i < 3; ++i) {
        Element& icon = a.norender_icons[i];
        rect(icon, xs[i], ys[i], 64, 64);
        icon.icon = icons[i];
        icon.depth_offset = 0.01 * i;
        append(a.NORENDER, icon);
    }

    Element& mm = a.message_mask;
    mm.fill = true;
    mm.background_colour = colour(5);
    border(mm.border_top, 1, 3);
    mm.depth_offset = -1.0;
    mm.visible = false;
    a.mask_pane_layer.fill = true;
    a.mask_pane_layer.background_colour = colour(5);
    a.mask_pane_layer.visible = false;

    FillLayout& notice = a.small_window_notice;
    notice.typeface = face(1);
    notice.text_colour = colour(8);
    notice.background_colour = colour(1);
    align(notice, 0, 0);
    padding(notice, 0, 64, 0, 0);
    border(notice.border_top, 1, 3);
    notice.layer = 3;
    notice.depth_offset = 8.0;
    notice.set_text("Resize Window\n\n");
    a.small_window_text.fill = true;
    a.small_window_text.text_colour = colour(8);
    align(a.small_window_text, 0, 0);
    a.small_window_text.set_text("\nMinimum-Size:\n480 x 360");
    a.small_window_icon.icon = 38;
    Element& b = a.minimal_mode_button;
    rect(b, P, P, 100, 30);
    b.typeface = face(3);
    b.text_colour = colour(8);
    align(b, 0, 0);
    b.background_palette = gradient(11);
    b.hover_palette = gradient(8);
    border(b.border_left, t, 1);
    border(b.border_top, t, 3);
    border(b.border_right, t, 2);
    border(b.border_bottom, t, 9);
    b.set_text("Minimal-Mode");
    b.click_handler = on_click_minimal_mode_notice;
    append(notice, a.small_window_text);
    append(notice, a.small_window_icon);
    append(notice, b);

    Element& fps = a.frame_rate_label;
    fps.typeface = face(1);
    fps.text_rgba = grey_rgba;
    align(fps, 1, 0);
    padding(fps, 8, 0, 8, 0);
    fps.depth_offset = 1.0;
    fps.layer = 1;
    fps.shape_kind = 3;
    fps.shape_count = 6;
    fps.shape_triangles = bevel_bar_triangles;
    fps.shape_rgba = 0x80ffffffu;
    fps.visible = a.io_settings.show_frame_rate != 0;
    fps.set_text("? fps (? ms)");
}

void centre_cross_and_statistics(AppContext& a) {
    const int32_t P = a.ui_metrics.ui_padding;
    rect(a.centre_cross, 0, 0, P, P);
    a.centre_cross.visible = false;
    rect(a.centre_cross_horizontal, 0, P / 2 - 1, P, 2);
    rect(a.centre_cross_vertical, P / 2 - 1, 0, 2, P);
    for (Element* bar : {&a.centre_cross_horizontal, &a.centre_cross_vertical}) {
        bar->background_rgba = 0x80808080u;
        append(a.centre_cross, *bar);
    }

    // The shadow is drawn behind the label, one pixel right and below.
    const Typeface* statistics_face = face(a.bars.enlarged_trace ? 0 : 3);
    for (Label* l : {&a.statistics_shadow_label, &a.statistics_label}) {
        l->fill = true;
        l->typeface = statistics_face;
        align(*l, -1, 1);
        l->set_text(statistics_text);
        append(a.CONTENTPANE, *l);
    }
    a.statistics_shadow_label.text_colour = colour(9);
    padding(a.statistics_shadow_label, P + 1, P, P, P - 1);
    a.statistics_label.text_colour = colour(8);
    padding(a.statistics_label, P, P, P, P);
    a.statistics_label.depth_offset = 0.01;
}

void pick_area_and_viewport(AppContext& a) {
    a.canvas_pick_area.fill = true;
    Viewport& v = a.multi_view_viewport;
    v.fill = true;
    if (a.bars.multi_view) save_cell_camera_state(a);
    v.layer = 1;
    v.visible = a.bars.multi_view != 0;
    v.on_split_x = on_viewport_split_x;
    v.on_split_y = on_viewport_split_y;
    v.on_close_cell = on_viewport_close_cell;
    v.on_rebuilt = request_redraw_and_refresh;
    v.on_cell_activate = activate_cell_camera_state;
    v.layout_cells();
    // Back to the one whole cell, then every recorded split replayed.
    v.rebuild_from_record();
}

void popup_frame_rects(AppContext& a) {
    const int32_t W = a.ui_metrics.popup_width, H = a.ui_metrics.popup_height;
    Element* sized[] = {&a.RUNPANE,   &a.PARSEPANE,  &a.CAPTUREPANE, &a.SCREENSHOTPANE, &a.PROFILEPANE,
                        &a.DIRECTIVEPANE, &a.EXPORTPANE, &a.ABOUTPANE, &a.HELPPANE,       &a.INFOPANE,
                        &a.ERRORPANE, &a.WARNINGPANE};
    for (Element* pane : sized) {
        rect(*pane, 0, 0, pane == &a.CAPTUREPANE ? 256 : W, H);
        for (Border* edge : {&pane->border_left, &pane->border_top, &pane->border_right, &pane->border_bottom})
            grey_border(*edge);
        pane->background_colour = colour(1);
    }
    Element* overlay_order[] = {&a.RUNPANE,     &a.PARSEPANE,    &a.CAPTUREPANE, &a.SCREENSHOTPANE,
                                &a.PROFILEPANE, &a.DIRECTIVEPANE, &a.EXPORTPANE, &a.ABOUTPANE,
                                &a.HELPPANE,    &a.OPENPANE,     &a.LOADPANE,    &a.FILEPANE,
                                &a.message_mask, &a.INFOPANE,    &a.ERRORPANE,   &a.WARNINGPANE,
                                &a.CONFIRMPANE};
    for (Element* pane : overlay_order) {
        if (pane != &a.message_mask) pane->visible = false;
        append(a.OVERLAY, *pane);
    }
}

void side_panes(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    struct Side {
        SplitLayout* split;
        FillLayout* upper;
        FillLayout* lower;
        Element* bar;
        int32_t min_lower;
    };
    const Side sides[3] = {
        {&a.CONSOLETRACE, &a.CONSOLEUPPER, &a.CONSOLELOWER, &a.CONSOLESPLITBAR, m.bar_height + 3 * m.ui_margin - 1},
        {&a.ENTITYINSPECTOR, &a.ENTITYUPPER, &a.ENTITYLOWER, &a.ENTITYSPLITBAR, m.bar_height + 3 * m.ui_margin - 1},
        {&a.PARAMETERCONTROL, &a.PARAMETERUPPER, &a.PARAMETERLOWER, &a.PARAMETERSPLITBAR,
         3 * m.bar_height - 1 + 3 * m.ui_margin},
    };
    for (const Side& s : sides) {
        SplitLayout& split = *s.split;
        split.orientation = 1;
        split.ratio = 0.5;
        split.min_first[1] = m.ui_margin + 50;
        split.min_second[1] = s.min_lower;
        Element& bar = *s.bar;
        bar.background_palette = gradient(11);
        bar.hover_palette = gradient(8);
        border(bar.border_top, m.thin_border, 3);
        border(bar.border_right, m.thin_border, 2);
        border(bar.border_bottom, m.thin_border, 9);
        bar.depth_offset = 1.0;
        split.set_panes(s.upper, s.lower, s.bar);
        split.visible = false;
        append(a.CONTROLPANE, split);
    }
}

}  // namespace

void build_window_frame(AppContext& a) {
    rect(a, 0, 0, a.frame.window_width, a.frame.window_height);
    a.frame.canvas_colour = colour(3);
    top_level_frames(a);
    notices_and_masks(a);
    centre_cross_and_statistics(a);
    pick_area_and_viewport(a);
    popup_frame_rects(a);
    side_panes(a);
}

#include "app/interface_menus.h"

#include <algorithm>

#include "context/app_context.h"
#include "app/builder_support.h"
#include "context/caption_tables.h"
#include "panes/menus/menu_support.h"
#include "panes/layout/pane_layouts.h"
#include "panes/menus/pick_modes.h"
#include "panes/menus/settings_fields.h"
#include "panes/menus/settings_menu_actions.h"
#include "panes/menus/view_menu_actions.h"
#include "render/colour_by.h"
#include "render/scene_actions.h"
#include "ui/theme.h"

namespace {

const double* colour(int32_t k) { return active_theme.colours[k]; }
const Palette* gradient(int32_t j) { return &active_theme.palettes[j]; }

struct ItemBinding {
    int32_t menu, item;
    ClickCallback click;
};

#define VK_BIND_BOTH(menu, pane, m, i) {m, i, menu},
#define VK_BIND_MENU(menu, m, i) {m, i, menu},
const ItemBinding view_bindings[] = {VK_VIEW_MENU_ITEMS(VK_BIND_BOTH, VK_BIND_MENU)};
const ItemBinding settings_bindings[] = {VK_SETTINGS_MENU_ITEMS(VK_BIND_BOTH, VK_BIND_MENU)};
#undef VK_BIND_BOTH
#undef VK_BIND_MENU

template <size_t N>
void bind_items(const ItemBinding (&bindings)[N], std::vector<std::vector<Element*>>& items) {
    for (const ItemBinding& b : bindings) {
        const size_t m = static_cast<size_t>(b.menu), i = static_cast<size_t>(b.item);
        if (m < items.size() && i < items[m].size()) items[m][i]->click_handler = b.click;
    }
}

void mark_all(const std::vector<std::vector<bool>*>& bits, const std::vector<std::vector<Element*>>& items) {
    for (size_t m = 0; m < bits.size() && m < items.size(); ++m) mark_menu_items(*bits[m], items[m]);
}

void thin_border(Border& border, const AppContext& app, int32_t palette) {
    border.width = app.ui_metrics.thin_border;
    border.palette = gradient(palette);
}

void link_fields(TextField& a, TextField& b) {
    a.next_field = a.previous_field = &b;
    b.next_field = b.previous_field = &a;
}

// A value field or button in the left part of a settings row.
void place_row_element(AppContext& app, Element& e, int32_t row, int32_t width) {
    const UiMetrics& m = app.ui_metrics;
    e.x = 0;
    e.y = row * m.row_height;
    e.width = width;
    e.height = m.row_height + 1;
    e.align_x = 0;
    e.align_y = 0;
    e.text_colour = colour(8);
    thin_border(e.border_right, app, 2);
    thin_border(e.border_bottom, app, 9);
}

void narrow_item(AppContext& app, int32_t menu, int32_t row, int32_t x, int32_t width) {
    const std::vector<Element*>& items = app.settings_menu_items[static_cast<size_t>(menu)];
    if (static_cast<size_t>(row) >= items.size()) return;
    items[static_cast<size_t>(row)]->x = x;
    items[static_cast<size_t>(row)]->width = width;
}

void build_window_rows(AppContext& app) {
    const UiMetrics& m = app.ui_metrics;
    struct Row {
        TextField* field;
        int32_t row;
        const char* text;
        NotifyCallback escape, enter;
    };
    const Row rows[3] = {
        {&app.window_width_field, 0, "720", sync_window_width_field, commit_window_width_field},
        {&app.window_height_field, 1, "480", sync_window_height_field, commit_window_height_field},
        {&app.frame_rate_field, 4, "-1", sync_max_framerate_field, commit_max_framerate_field}};
    for (const Row& r : rows) {
        TextField& f = *r.field;
        place_row_element(app, f, r.row, m.menu_half_width);
        f.background_colour = colour(4);
        f.set_text(r.text);
        f.on_escape = r.escape;
        f.on_enter = r.enter;
        app.settings_menu_hosts[0].children.push_back(&f);
        narrow_item(app, 0, r.row, m.menu_half_width, m.menu_half_width);
    }
    const TipGroup& tips = settings_menu_item_tips[0];
    if (tips.size() > 6) {
        app.frame_rate_field.tooltip_title = tips[6][0];
        app.frame_rate_field.tooltip_text = tips[6][1];
    }
    app.frame_rate_field.tooltip_icon = 29;
    link_fields(app.window_width_field, app.window_height_field);
}

void build_widget_rows(AppContext& app) {
    const UiMetrics& m = app.ui_metrics;
    FillLayout& column = app.settings_menu_column_panes[8];
    struct ToneRow {
        Element* button;
        int32_t row;
        const char* text;
        ClickCallback click, item_click;
    };
    const ToneRow tones[3] = {{&app.mono_edge_tone_button, 7, "4", on_mono_edge_tone, on_mono_edge_tone_b},
                              {&app.mono_dot_tone_button, 8, "4", on_mono_dot_tone, on_mono_dot_tone_b},
                              {&app.silhouette_tone_button, 9, "0", on_silhouette_tone, on_silhouette_tone_b}};
    std::vector<Element*>& items = app.settings_menu_items[8];
    for (const ToneRow& t : tones) {
        place_row_element(app, *t.button, t.row, m.row_height);
        t.button->typeface = &typefaces[4];
        t.button->set_text(t.text);
        t.button->click_handler = t.click;
        column.children.push_back(t.button);
        narrow_item(app, 8, t.row, m.row_height, 2 * m.menu_half_width - m.row_height);
        if (static_cast<size_t>(t.row) < items.size()) items[static_cast<size_t>(t.row)]->click_handler = t.item_click;
    }
    TextField& eye = app.eye_height_field;
    place_row_element(app, eye, 10, m.menu_half_width);
    eye.typeface = &typefaces[0];
    eye.background_colour = colour(4);
    eye.set_text("1.75");
    eye.on_escape = sync_eye_height_field;
    eye.on_enter = commit_eye_height_field;
    column.children.push_back(&eye);
    narrow_item(app, 8, 10, m.menu_half_width, m.menu_half_width);
}

}  // namespace

void build_view_menu_stage(AppContext& app) {
    app.build_view_menus();
    bind_items(view_bindings, app.view_menu_items);
    mark_all(app.menu_tables.view_menu_check_pointers, app.view_menu_items);
}

void build_settings_menu_stage(AppContext& app) {
    const UiMetrics& m = app.ui_metrics;
    const int32_t width = 2 * m.menu_half_width;
    FillLayout& header = app.settings_menu_header;
    header.x = 0;
    header.y = 0;
    header.width = width;
    header.height = m.row_height;
    header.background_palette = gradient(11);
    thin_border(header.border_bottom, app, 9);
    Label& title = app.settings_menu_title;
    title.x = 0;
    title.y = 0;
    title.width = width - m.row_height;
    title.height = m.row_height;
    title.align_x = 1;
    title.align_y = 0;
    title.typeface = &typefaces[1];
    title.text_colour = colour(8);
    title.padding_left = title.padding_top = title.padding_right = 0;
    title.padding_bottom = 1;
    Element& icon = app.settings_menu_title_icon;
    icon.x = width - m.row_height;
    icon.y = 0;
    icon.width = icon.height = m.row_height;
    header.children = {&title, &icon};
    FillLayout& columns = app.settings_menu_columns;
    columns.x = 0;
    columns.y = m.row_height;
    columns.width = width;
    columns.height = 6 * m.row_height;
    columns.background_colour = colour(9);
    columns.mouse_down_handler = accept_left_button_only;

    app.build_settings_menus();
    bind_items(settings_bindings, app.settings_menu_items);
    mark_all(app.menu_tables.settings_menu_check_pointers, app.settings_menu_items);
    app.MENUNPANE.children.push_back(&header);
    app.MENUNPANE.children.push_back(&columns);
    build_window_rows(app);
    build_widget_rows(app);
}

void build_colour_and_slider_bars(AppContext& app) {
    const UiMetrics& m = app.ui_metrics;
    static const ClickCallback colour_clicks[15] = {
        on_colour_by_elevation,   on_colour_by_depth,          on_colour_by_normal,
        on_colour_by_verticality, on_colour_by_planarity,      on_colour_by_curvature,
        on_colour_by_quality,     on_colour_by_valence_ngon,   on_colour_by_valence_tess,
        on_colour_by_declaration_order, on_colour_by_operand,  on_colour_by_face_id,
        on_colour_by_group_id,    on_colour_by_element_id,     on_colour_by_batch_id};
    int32_t x = 0;
    for (size_t i = 0; i < 15; ++i) {
        Element& b = app.colour_function_buttons[i];
        b.typeface = &typefaces[0];
        b.set_text(colour_function_captions[i]);
        b.align_x = 0;
        b.align_y = 0;
        b.hover_palette = gradient(8);
        b.selected_palette = gradient(8);
        b.padding_left = b.padding_top = b.padding_right = 0;
        b.padding_bottom = 1;
        thin_border(b.border_right, app, 2);
        b.text_colour = colour(8);
        b.tooltip_title = colour_function_tips[i][0];
        b.tooltip_text = colour_function_tips[i][1];
        b.tooltip_icon = 43;
        b.x = x;
        b.y = 0;
        b.width = std::max(m.ui_padding + m.row_height, 3 * m.ui_padding + b.text_width);
        b.height = m.bar_height;
        x += b.width;
        b.selected = app.render_flags.colour_function == app.menu_tables.colour_function_codes[i];
        b.click_handler = colour_clicks[i];
        app.colour_function_strip.children.push_back(&b);
    }
    FillLayout& strip = app.colour_function_strip;
    strip.x = strip.y = 0;
    strip.width = x + m.bar_height;
    strip.height = m.bar_height;
    app.colour_strip_width = strip.width;
    app.colour_strip_host.fill = true;
    app.colour_strip_host.margin_left = m.menu_half_width;
    app.colour_strip_host.children.push_back(&strip);
    app.COLOURSCROLL.children.push_back(&app.colour_strip_host);

    const int32_t swatch_height = m.bar_height - 2 * m.ui_padding - m.ui_padding / 2;
    for (int32_t i = 0; i < 10; ++i) {
        Element& s = app.hue_swatches[i];
        const Rgb c = hue_to_rgb(i / 10.0);
        s.x = i * m.ui_padding / 2;
        s.y = 0;
        s.width = m.ui_padding / 2;
        s.height = swatch_height;
        s.background_rgba = 0xFF000000u + (static_cast<uint32_t>(c.r * 255) << 16) +
                            (static_cast<uint32_t>(c.g * 255) << 8) + static_cast<uint32_t>(c.b * 255);
        app.hue_ramp.children.push_back(&s);
    }
    FillLayout& ramp = app.hue_ramp;
    ramp.x = m.ui_padding;
    ramp.y = m.ui_padding + m.ui_padding / 4;
    ramp.width = m.menu_half_width - 2 * m.ui_padding;
    ramp.height = swatch_height;
    thin_border(ramp.border_left, app, 1);
    thin_border(ramp.border_top, app, 3);
    thin_border(ramp.border_right, app, 2);
    thin_border(ramp.border_bottom, app, 9);
    FillLayout& multi = app.multichannel_button;
    multi.x = multi.y = 0;
    multi.width = m.menu_half_width;
    multi.height = m.bar_height;
    multi.hover_palette = gradient(8);
    thin_border(multi.border_right, app, 2);
    multi.tooltip_title = multichannel_colour_tip[0];
    multi.tooltip_text = multichannel_colour_tip[1];
    multi.tooltip_icon = -1;
    multi.children.push_back(&ramp);
    multi.click_handler = on_multichannel_colour_space_button;
    app.COLOURSCROLL.children.push_back(&multi);

    static const NotifyCallback escapes[4] = {sync_world_scale_field, sync_field_of_view_field,
                                              sync_light_intensity_field, sync_background_intensity_field};
    static const NotifyCallback enters[4] = {commit_world_scale_field, commit_field_of_view_field,
                                             commit_light_intensity_field, commit_background_intensity_field};
    static const ValueCallback changes[4] = {set_world_scale, set_field_of_view, set_light_intensity,
                                             set_background_intensity};
    const double initial[4] = {1.0, (60.0 - 20.0) / (160.0 - 20.0), 1.0, 0.5};
    for (int32_t k = 0; k < 4; ++k) {
        FillLayout& row = app.slider_rows[k];
        row.x = 180 * k;
        row.y = 0;
        row.width = 180;
        row.height = m.bar_height;
        row.tooltip_title = slider_tips[static_cast<size_t>(k)][0];
        row.tooltip_text = slider_tips[static_cast<size_t>(k)][1];
        row.tooltip_icon = app.menu_tables.slider_icons[static_cast<size_t>(k)];
        Element& icon = app.slider_row_icons[k];
        icon.x = 1;
        icon.y = 0;
        icon.width = icon.height = m.bar_height;
        icon.icon = app.menu_tables.slider_icons[static_cast<size_t>(k)];
        if (k > 0) thin_border(icon.border_left, app, 1);
        TextField& field = app.slider_fields[k];
        field.x = m.bar_height;
        field.y = 0;
        field.width = 3 * m.bar_height - 1;
        field.height = m.bar_height;
        field.align_x = 0;
        field.align_y = 0;
        field.text_colour = colour(8);
        field.background_colour = colour(4);
        thin_border(field.border_left, app, 1);
        thin_border(field.border_right, app, 2);
        field.set_text(app.slider_value_texts[static_cast<size_t>(k)]);
        field.next_field = &app.slider_fields[(k + 1) % 4];
        field.previous_field = &app.slider_fields[(k + 3) % 4];
        field.on_escape = escapes[k];
        field.on_enter = enters[k];
        Slider& slider = app.sliders[k];
        slider.fill = true;
        slider.margin_left = m.ui_padding / 2 + 4 * m.bar_height;
        slider.margin_top = m.ui_padding / 2 + 1;
        slider.margin_right = slider.margin_bottom = m.ui_padding / 2;
        slider.background_colour = colour(4);
        thin_border(slider.border_left, app, 1);
        thin_border(slider.border_top, app, 3);
        thin_border(slider.border_right, app, 2);
        thin_border(slider.border_bottom, app, 9);
        slider.children = {&slider.thumb};
        slider.thumb.background_palette = gradient(8);
        thin_border(slider.thumb.border_left, app, 1);
        thin_border(slider.thumb.border_right, app, 2);
        slider.value = initial[k];
        slider.on_changed = changes[k];
        row.children = {&icon, &field, &slider};
        app.slider_strip.children.push_back(&row);
    }
    FillLayout& bar = app.slider_strip;
    bar.x = 0;
    bar.width = 720;
    bar.height = m.bar_height;
    app.SLIDERSCROLL.children.push_back(&bar);
}

void build_menu_bar_buttons(AppContext& a) {
    using namespace builder;
    const UiMetrics& m = a.ui_metrics;
    const int32_t W = m.menu_half_width, I = m.icon_button_size;
    for (size_t i = 0; i < VIEW_MENU_COUNT; ++i) {
        Element& b = a.view_menu_buttons[i];
        rect(b, static_cast<int32_t>(i) * W, 0, W, W);
        b.name = view_menu_captions[i];
        tip(b, view_menu_tips[i]);
        b.icon = a.menu_tables.view_menu_icons[i];
        append(a.TOOLSCROLL, b);
    }
    for (size_t i = 0; i < SETTINGS_MENU_COUNT; ++i) {
        Element& b = a.settings_menu_buttons[i];
        rect(b, 0, static_cast<int32_t>(i) * I, I, I);
        b.name = settings_menu_captions[i];
        tip(b, settings_menu_tips[i]);
        b.icon = a.menu_tables.settings_menu_icons[i];
        append(a.MENUSCROLL, b);
    }
    // Open-menu markers: the lower-left quarter of the first view button,
    // the lower-right quarter of each settings button.
    Element& marker = a.toolbar_indicator;
    marker.name = "TOOLBARINDICATOR";
    rect(marker, 0, W / 2, W / 2, W / 2);
    append(a.TOOLSCROLL, marker);
    for (int32_t i = 0; i < SETTINGS_MENU_COUNT; ++i) {
        Element& e = a.menubar_indicators[i];
        e.name = "MENUBARINDICATOR" + std::to_string(i);
        rect(e, I / 2, i * I + I / 2, I / 2, I / 2);
        append(a.MENUSCROLL, e);
    }
    auto hidden_marker = [](Element& e) {
        e.visible = false;
        e.depth_offset = 0.005;
        e.icon = 14;
    };
    hidden_marker(marker);
    for (Element& e : a.menubar_indicators) hidden_marker(e);
}

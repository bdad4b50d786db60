#include "app/menu_builders.h"

#include <algorithm>

#include "context/app_context.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

const double* colour(int32_t k) { return active_theme.colours[k]; }
const Palette* gradient(int32_t j) { return &active_theme.palettes[j]; }

// Sizes a group of item buttons to its caption count. Only ever done before
// anything points at them.
void size_items(std::vector<Element>& items, size_t count) {
    if (items.size() == count) return;
    forget_vector_elements(items);
    items.clear();
    items.resize(count);
}

void decorate_item(Element& item, const char* caption, const TipPair& tip, int32_t icon) {
    item.set_text(caption);
    item.text_colour = colour(8);
    item.hover_palette = gradient(8);
    item.selected_palette = gradient(8);
    item.tooltip_title = tip[0];
    item.tooltip_text = tip[1];
    item.tooltip_icon = icon;
}

}  // namespace

std::vector<Element*> build_view_menu_strip(AppContext& app, int32_t menu, int32_t icon, CaptionGroup captions,
                                            TipGroup tips, FillLayout& strip, FillLayout& host,
                                            std::vector<Element>& items) {
    const UiMetrics& m = app.ui_metrics;
    size_items(items, captions.size());
    std::vector<Element*> result;
    int32_t x = 0;
    for (size_t i = 0; i < captions.size(); ++i) {
        Element& e = items[i];
        decorate_item(e, captions[i], tips[i], icon);
        e.align_x = 0;
        e.align_y = 0;
        e.border_right.width = m.thin_border;
        e.border_right.palette = gradient(2);
        e.padding_left = e.padding_top = e.padding_right = 0;
        e.padding_bottom = 1;
        int32_t w = std::max(m.ui_padding + m.row_height, 3 * m.ui_padding + e.text_width);
        if (menu == 0 && i == 2) w -= 1;
        e.x = x;
        e.y = 0;
        e.width = w;
        e.height = m.row_height;
        x += w;
        strip.children.push_back(&e);
        result.push_back(&e);
    }
    strip.x = 0;
    strip.y = 0;
    strip.width = x + m.row_height;
    strip.height = m.row_height;
    host.children.push_back(&strip);
    host.visible = false;
    host.fill = true;
    app.TIPSCROLL.children.push_back(&host);
    return result;
}

std::vector<Element*> build_settings_menu_column(AppContext& app, int32_t, int32_t icon, CaptionGroup captions,
                                                 TipGroup tips, FillLayout& column, FillLayout& host,
                                                 std::vector<Element>& items) {
    const UiMetrics& m = app.ui_metrics;
    size_items(items, captions.size());
    std::vector<Element*> result;
    const int32_t n = static_cast<int32_t>(captions.size());
    for (int32_t i = 0; i < n; ++i) {
        Element& e = items[static_cast<size_t>(i)];
        decorate_item(e, captions[static_cast<size_t>(i)], tips[static_cast<size_t>(i)], icon);
        e.align_x = 1;
        e.align_y = 0;
        e.border_bottom.width = m.thin_border;
        e.border_bottom.palette = gradient(9);
        e.padding_left = e.padding_right = m.ui_padding;
        e.padding_top = 0;
        e.padding_bottom = 1;
        e.x = 0;
        e.y = i * m.row_height;
        e.width = 2 * m.menu_half_width;
        e.height = m.row_height + 1;
        column.children.push_back(&e);
        result.push_back(&e);
    }
    column.x = 0;
    column.y = 0;
    column.width = 2 * m.menu_half_width;
    column.height = n * m.row_height + 1;
    host.children.push_back(&column);
    host.visible = false;
    host.fill = true;
    app.settings_menu_columns.children.push_back(&host);
    return result;
}

void AppContext::build_view_menus() {
    view_menu_items.resize(VIEW_MENU_COUNT);
    for (int32_t k = 0; k < VIEW_MENU_COUNT; ++k) {
        const size_t i = static_cast<size_t>(k);
        view_menu_items[i] =
            build_view_menu_strip(*this, k, menu_tables.view_menu_icons[i], view_menu_item_captions[i],
                                  view_menu_item_tips[i], view_menu_strip_panes[k], view_menu_strips[k],
                                  view_menu_item_buttons[i]);
    }
    view_menu_strip_widths.assign(VIEW_MENU_COUNT, 0);
    for (int32_t k = 0; k < VIEW_MENU_COUNT; ++k)
        view_menu_strip_widths[static_cast<size_t>(k)] = view_menu_strip_panes[k].width;
}

void AppContext::build_settings_menus() {
    // FULLSCREEN, LOCK and SLIDERS act at once: their columns stay empty
    // whatever their caption groups hold.
    static const size_t item_counts[SETTINGS_MENU_COUNT] = {6, 5, 7, 0, 3, 0, 5, 0, 12, 6};
    settings_menu_items.resize(SETTINGS_MENU_COUNT);
    for (int32_t k = 0; k < SETTINGS_MENU_COUNT; ++k) {
        const size_t i = static_cast<size_t>(k);
        CaptionGroup captions = settings_menu_item_captions[i];
        captions.count = std::min(captions.count, item_counts[i]);
        settings_menu_items[i] = build_settings_menu_column(
            *this, k, menu_tables.settings_menu_icons[i], captions,
            settings_menu_item_tips[i], settings_menu_column_panes[k], settings_menu_hosts[k],
            settings_menu_item_buttons[i]);
    }
}

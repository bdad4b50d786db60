#include "panes/bars/directive_bars.h"

#include <algorithm>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "art/icon_table.h"
#include "panes/bars/directive_lines.h"
#include "text/split.h"
#include "text/text_utils.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

// Entities of the current set in index order; none without a set.
std::vector<EntityRecord*> current_entities(AppContext& app) {
    std::vector<EntityRecord*> list;
    EntitySet* set = app.entities.current_entities;
    if (set == nullptr) return list;
    size_t n = set->count < 0 ? 0 : static_cast<size_t>(set->count);
    if (n > set->records.size()) n = set->records.size();
    for (size_t i = 0; i < n; ++i) list.push_back(&set->records[i]);
    return list;
}

const std::string& directives_of(const EntityRecord& entity) {
    return entity.parse_record.sections[SECTION_DIRECTIVES];
}

// Drops the widgets of a rebuilt list: the toolkit's pointers into them
// first, then the list's children and the widgets themselves.
template <typename T>
void clear_rebuilt_rows(Container& list, std::vector<T>& rows) {
    forget_vector_elements(rows);
    list.children.clear();
    rows.clear();
}

bool strips_shown(const AppContext& app) {
    return !app.ui_flags.ui_hidden || app.bars.hidden_ui_controls;
}

std::string directive_values_text(const double* v) {
    std::string text;
    for (int i = 0; i < 6; ++i) {
        if (i == 3) text += ", ";
        else if (i > 0) text += ",";
        text += double_to_text(v[i]);
    }
    return text;
}

}  // namespace

void layout_camera_directive_buttons(AppContext& app) {
    std::vector<Element>& buttons = app.camera_directive_rows;
    const int32_t n = static_cast<int32_t>(buttons.size());
    const int32_t layout = app.bars.camera_directive_layout;
    if (layout == 1) {
        for (int32_t k = 0; k < n; ++k) {
            Element& b = buttons[static_cast<size_t>(k)];
            b.x = 9;
            b.y = 8 + 95 * k;
            b.width = 96;
            b.height = 96;
            if (k % 2 == 1) b.border_left.width = app.ui_metrics.thin_border;
        }
        app.camera_directive_list.height = 95 * n + 17;
    } else if (layout == 2) {
        for (int32_t k = 0; k < n; ++k) {
            Element& b = buttons[static_cast<size_t>(k)];
            b.x = 8 + 48 * (k % 2) + 1 - (k % 2);
            b.y = 8 + 47 * (k / 2);
            b.width = 48;
            b.height = 48;
            if (k % 2 == 1) b.border_left.width = 0;
        }
        app.camera_directive_list.height = 17 + 47 * ((n + 1) / 2);
    }
}

void make_camera_directive_buttons(AppContext& app) {
    clear_rebuilt_rows(app.camera_directive_list, app.camera_directive_rows);
    app.camera_directive_row_tips.clear();
    const CameraDirectiveTable& t = app.bars.directive_table;
    // A table whose lists disagree gives buttons only for complete entries.
    const size_t complete = std::min(t.texts.size(), t.directive_values.size() / 6);
    const int32_t n = std::max(0, std::min(t.count, static_cast<int32_t>(complete)));
    // The tips first: the buttons keep pointers into them.
    app.camera_directive_row_tips.reserve(static_cast<size_t>(2 * n));
    for (int32_t k = 0; k < n; ++k) {
        app.camera_directive_row_tips.push_back(concat4(t.texts[static_cast<size_t>(k)], " \t { ",
                                                        directive_values_text(&t.directive_values[static_cast<size_t>(6 * k)]),
                                                        " }"));
        app.camera_directive_row_tips.push_back("(select to apply camera directive)");
    }
    app.camera_directive_rows.resize(static_cast<size_t>(n));
    const int32_t border = app.ui_metrics.thin_border;
    for (int32_t k = 0; k < n; ++k) {
        Element& b = app.camera_directive_rows[static_cast<size_t>(k)];
        b.background_colour = active_theme.colours[5];
        b.hover_palette = &active_theme.palettes[8];
        Border* sides[4] = {&b.border_left, &b.border_top, &b.border_right, &b.border_bottom};
        const int palettes[4] = {1, 3, 2, 9};
        for (int s = 0; s < 4; ++s) {
            sides[s]->width = border;
            sides[s]->palette = &active_theme.palettes[palettes[s]];
        }
        b.user_index = k;
        b.sprite = k;
        b.tooltip_title = app.camera_directive_row_tips[static_cast<size_t>(2 * k)].c_str();
        b.tooltip_text = app.camera_directive_row_tips[static_cast<size_t>(2 * k + 1)].c_str();
        b.tooltip_icon = ICON_CAMERA;
        app.camera_directive_list.children.push_back(&b);
    }
    layout_camera_directive_buttons(app);
}

void build_camera_directive_rows(AppContext& app) {
    CameraDirectiveTable table;
    for (EntityRecord* entity : current_entities(app)) {
        for (std::string& line : collect_camera_directive_lines(directives_of(*entity))) {
            double values[6];
            read_camera_directive_values(line, values);
            table.texts.push_back(extract_first_argument(line));
            table.directive_labels.push_back(std::move(line));
            table.directive_values.insert(table.directive_values.end(), values, values + 6);
            table.directive_ids.push_back(entity->serial_id);
        }
    }
    const int32_t n = static_cast<int32_t>(table.directive_labels.size());
    table.count = n;

    BarState& bars = app.bars;
    bars.directive_table = std::move(table);
    bars.camera_directive_count = n;
    make_camera_directive_buttons(app);
    const bool free_roam = app.camera.camera_controller == 1;
    // The renderer draws the previews into the buttons' strip cells one
    // frame after this rebuild.
    bars.directive_countdown = 1;
    if (n == 0) {
        bars.directive_thumbnail_request = 0;
        app.camera_directive_bar.visible = false;
    } else {
        bars.directive_thumbnail_request = 1;
        app.frame.needs_redraw = 1;
        app.camera_directive_bar.visible = bars.show_camera_directives && strips_shown(app) && free_roam;
    }
    app.camera_directive_toggle.visible = strips_shown(app) && n > 0 && free_roam;
    bars.selected_directive = -1;
    call_hook(app.hooks.app_apply_display_options, app, app.frame.window_width, app.frame.window_height);
    refresh_root(app);
}

void build_variant_rows(AppContext& app) {
    VariantTable table;
    for (EntityRecord* entity : current_entities(app)) {
        for (std::string& line : collect_variant_directive_lines(directives_of(*entity))) {
            table.names.push_back(extract_first_argument(line));
            table.pieces.push_back(read_variant_pieces(line));
            table.lines.push_back(std::move(line));
            table.entity_ids.push_back(entity->serial_id);
        }
    }
    const int32_t n = static_cast<int32_t>(table.lines.size());
    table.count = n;

    clear_rebuilt_rows(app.variant_list, app.variant_rows);
    std::vector<std::string>& tips = app.side_pane.variant_row_tips;
    tips.clear();
    app.variant_list.height = 0;

    BarState& bars = app.bars;
    bars.variant_tables = std::move(table);
    bars.variant_count = n;
    if (n >= 1) {
        const VariantTable& t = bars.variant_tables;
        const UiMetrics& m = app.ui_metrics;
        const int32_t row_height = m.bar_height;
        tips.reserve(static_cast<size_t>(2 * n));
        for (int32_t k = 0; k < n; ++k) {
            const std::vector<std::string>& pieces = t.pieces[static_cast<size_t>(k)];
            std::string pairs;
            for (size_t i = 0; i + 1 < pieces.size(); i += 2) {
                if (i > 0) pairs += ", ";
                pairs += pieces[i] + ":" + pieces[i + 1];
            }
            tips.push_back(concat4(t.names[static_cast<size_t>(k)], " \t { ", pairs, " }"));
            tips.push_back("(select to apply parametric-variant)");
        }
        app.variant_rows.resize(static_cast<size_t>(n));
        const bool last_taller = 2 * (2 * m.menu_half_width - row_height) <= n * row_height;
        for (int32_t k = 0; k < n; ++k) {
            Element& row = app.variant_rows[static_cast<size_t>(k)];
            row.x = 0;
            row.y = k * row_height;
            row.width = 3 * m.menu_half_width;
            row.height = row_height + (k == n - 1 && last_taller ? 1 : 0);
            row.background_colour = active_theme.colours[5];
            row.hover_palette = &active_theme.palettes[8];
            row.text_colour = active_theme.colours[8];
            row.border_left.width = m.thick_border;
            row.border_left.palette = &active_theme.palettes[1];
            row.border_bottom.width = m.thin_border;
            row.border_bottom.palette = &active_theme.palettes[9];
            // The enlarged trace face, whatever the trace labels use now.
            row.typeface = &typefaces[0];
            row.align_x = -1;
            row.align_y = 0;
            row.padding_left = m.ui_padding;
            row.padding_right = m.ui_padding;
            row.padding_bottom = 2;
            row.set_text(t.names[static_cast<size_t>(k)]);
            row.user_index = k;
            // The list's action (apply the variant), bound by the builder.
            row.click_handler = app.variant_list.click_handler;
            row.tooltip_title = tips[static_cast<size_t>(2 * k)].c_str();
            row.tooltip_text = tips[static_cast<size_t>(2 * k + 1)].c_str();
            row.tooltip_icon = ICON_SLIDERS;
            app.variant_list.children.push_back(&row);
        }
        app.variant_list.height = n * row_height;
    }
    app.variant_bar.visible = n >= 1 && bars.show_variant_selector && strips_shown(app);
    app.hidden_ui_variant_panel.visible = app.variant_bar.visible && app.strip_backdrop.visible && !app.ui_flags.v_flip_mode;
    refresh_root(app);
}

void count_animation_directives(AppContext& app) {
    int32_t count = 0;
    for (EntityRecord* entity : current_entities(app)) count += count_animation_directive_lines(directives_of(*entity));
    app.bars.animation_count = count;
    app.animator_bar.visible = count >= 1 && app.bars.show_animator && strips_shown(app);
    refresh_root(app);
}

#include "panes/inspector/parameter_pane.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/layout/pane_layouts.h"
#include "context/keyword_tables.h"
#include "art/icon_table.h"
#include "panes/inspector/parameter_actions.h"
#include "text/text_utils.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

bool has_both_bounds(const EntityParameter& p) { return p.lower.type == p.type && p.upper.type == p.type; }

// A parameter and the sub-element heading (or -1) it follows.
struct ListedParameter {
    const EntityParameter* parameter;
    int32_t heading;
};

std::vector<ListedParameter> listed_parameters(const EntityRecord& e) {
    std::vector<ListedParameter> list;
    const auto take = [&](const ParseResult& result, int32_t heading) {
        const size_t n = std::min(result.parameters.size(), static_cast<size_t>(std::max(result.parameter_count, 0)));
        for (size_t k = 0; k < n; ++k) list.push_back({&result.parameters[k], k == 0 ? heading : -1});
    };
    if (e.parallel == 0) {
        take(e.parse_result, -1);
    } else if (e.parallel == 1) {
        const ParseResult& merged = e.parse_result;
        for (size_t j = 0; j < merged.element_results.size(); ++j) {
            if (merged.element_results[j]) take(*merged.element_results[j], static_cast<int32_t>(j));
        }
    }
    return list;
}

void pane_pointer(AppContext& app, int32_t x, int32_t y) {
    app.side_pane.parameter_blocks.pointer_x = x;
    app.side_pane.parameter_blocks.pointer_y = y;
}
bool store_pointer(int32_t x, int32_t y, int32_t) {
    if (AppContext* app = app_instance) pane_pointer(*app, x, y);
    return false;
}
bool accept_motion(int32_t, int32_t, int32_t) { return true; }

// Block index of the hovered element, or -1.
int32_t hovered_block(AppContext& app) {
    ParameterBlockParts& b = app.side_pane.parameter_blocks;
    const auto in = [](const auto& v) -> int32_t {
        for (size_t k = 0; k < v.size(); ++k) {
            if (hover_element == &v[k]) return static_cast<int32_t>(k);
        }
        return -1;
    };
    for (int32_t k : {in(b.parameter_type_labels), in(b.parameter_reset_cells), in(b.parameter_info_icons),
                      in(b.parameter_slider_minus_cells), in(b.parameter_slider_plus_cells),
                      in(app.parameter_sliders)}) {
        if (k >= 0) return k;
    }
    for (size_t k = 0; k < app.parameter_sliders.size(); ++k) {
        if (hover_element == &app.parameter_sliders[k].thumb) return static_cast<int32_t>(k);
    }
    return -1;
}

void clear_blocks(AppContext& app) {
    ParameterBlockParts& b = app.side_pane.parameter_blocks;
    forget_vector_elements(b.blocks);
    forget_vector_elements(b.parameter_slider_rows);
    forget_vector_elements(b.parameter_slider_marks);
    forget_vector_elements(app.parameter_value_fields);
    forget_vector_elements(app.parameter_sliders);
    for (auto* v : {&b.parameter_type_labels, &b.parameter_reset_cells, &b.parameter_labels, &b.parameter_info_icons,
                    &b.parameter_reset_icons, &b.parameter_slider_minus_cells, &b.parameter_slider_plus_cells,
                    &b.parameter_slider_tracks, &b.parameter_group_headings}) {
        forget_vector_elements(*v);
        v->clear();
    }
    b.blocks.clear();
    b.parameter_slider_rows.clear();
    b.parameter_slider_marks.clear();
    app.parameter_value_fields.clear();
    app.parameter_sliders.clear();
}

void place(Element& e, int32_t x, int32_t y, int32_t w, int32_t h) {
    e.x = x;
    e.y = y;
    e.width = w;
    e.height = h;
}

void build_slider_row(AppContext& app, size_t k, const EntityParameter& p, bool parallel) {
    ParameterBlockParts& b = app.side_pane.parameter_blocks;
    const int32_t r = app.ui_metrics.bar_height;
    const int32_t w = side_list_width(app);
    FillLayout& row = b.parameter_slider_rows[k];
    place(row, 0, 2 * r, w, r);
    row.border_bottom.width = 1;
    Element& minus = b.parameter_slider_minus_cells[k];
    place(minus, 0, 0, r, r - 1);
    minus.depth_offset = 0.075;
    minus.border_right.width = 1;
    minus.hover_palette = &active_theme.palettes[8];
    Element& plus = b.parameter_slider_plus_cells[k];
    place(plus, w - r, 0, r, r - 1);
    plus.depth_offset = 0.075;
    plus.border_left.width = 1;
    plus.hover_palette = &active_theme.palettes[8];
    Element& track = b.parameter_slider_tracks[k];
    place(track, r + r / 2 - 3, r / 2 - 3, w - 3 * r + 6, 5);
    track.background_palette = &active_theme.palettes[11];
    for (Border* side : {&track.border_left, &track.border_top, &track.border_right, &track.border_bottom})
        side->width = 1;
    Slider& slider = app.parameter_sliders[k];
    place(slider, r - 1, 0, w - 2 * r + 2, r - 1);
    slider.children = {&slider.thumb};
    slider.value = parameter_slider_fraction(p);
    slider.steps = parameter_slider_steps(p);
    slider.user_index = static_cast<int32_t>(k);
    slider.thumb_width = r + 1;
    slider.depth_offset = 0.05;
    slider.thumb.depth_offset = 0.1;
    slider.thumb.motion_handler = accept_motion;
    // The selection's tint, which stands off the pane in every theme (the
    // hover tint is white in the light ones).
    slider.thumb.background_palette = &active_theme.palettes[7];
    slider.thumb.border_left = {app.ui_metrics.thin_border, 0, nullptr, &active_theme.palettes[1]};
    slider.thumb.border_right = {app.ui_metrics.thin_border, 0, nullptr, &active_theme.palettes[2]};
    slider.hover_palette = &active_theme.palettes[8];
    slider.on_changed = parallel ? on_parallel_parameter_slider_changed : static_cast<void (*)(double)>(on_parameter_slider_changed);
    slider.on_pressed = nullptr;
    slider.on_released = parallel ? on_parallel_parameter_slider_released : static_cast<void (*)()>(on_parameter_slider_released);
    const int32_t marks[4][4] = {{8, r / 2 - 2, r - 17, 3},
                                 {8, 8, 3, r - 17},
                                 {w - r + 9, r / 2 - 2, r - 17, 3},
                                 {w - 11, 8, 3, r - 17}};
    row.children = {&minus, &plus, &track, &slider};
    for (int m = 0; m < 4; ++m) {
        Element& mark = b.parameter_slider_marks[k][static_cast<size_t>(m)];
        place(mark, marks[m][0], marks[m][1], marks[m][2], marks[m][3]);
        mark.background_rgba = 0xff808080u;
        mark.depth_offset = 0.0875;
        row.children.push_back(&mark);
    }
}

void build_block(AppContext& app, size_t k, const EntityParameter& p, const EntityRecord& e, int32_t y) {
    ParameterBlockParts& b = app.side_pane.parameter_blocks;
    const int32_t r = app.ui_metrics.bar_height;
    const int32_t w = side_list_width(app);
    const int32_t pad = app.ui_metrics.ui_padding;
    const bool slider = has_both_bounds(p);
    const bool parallel = e.parallel == 1;
    FillLayout& block = b.blocks[k];
    place(block, 0, y, w, (slider ? 3 : 2) * r);

    Element& type = b.parameter_type_labels[k];
    place(type, 0, 0, 2 * r, r);
    type.set_text(p.type >= 0 && p.type <= PARAMETER_UNDEFINED ? parameter_type_keywords[p.type] : "UNDEFINED");
    type.typeface = &typefaces[4];
    type.align_x = 0;
    type.align_y = 0;
    type.hover_palette = &active_theme.palettes[8];
    type.border_right.width = 1;
    type.border_bottom.width = 1;
    Element& reset_cell = b.parameter_reset_cells[k];
    place(reset_cell, 0, r, 2 * r, r);
    reset_cell.background_palette = &active_theme.palettes[11];
    reset_cell.hover_palette = &active_theme.palettes[8];
    reset_cell.border_right.width = 1;
    reset_cell.border_bottom.width = 1;
    Element& label = b.parameter_labels[k];
    place(label, 2 * r, 0, w - 2 * r, r);
    label.set_text(p.label);
    label.align_y = 0;
    label.padding_left = pad;
    label.padding_right = pad;
    label.padding_bottom = 2;
    label.text_colour = active_theme.colours[8];
    label.background_colour = active_theme.colours[4];
    label.selected_palette = &active_theme.palettes[7];
    label.selected = parameter_mark(e, k) != 0;
    label.border_bottom.width = 1;
    Element& info = b.parameter_info_icons[k];
    place(info, w - r, 0, r, r);
    info.icon = ICON_INFO;

    TextField& field = app.parameter_value_fields[k];
    place(field, 2 * r, r, w - 2 * r, r);
    field.align_x = 1;
    field.align_y = 0;
    field.padding_left = pad;
    field.padding_right = pad;
    field.padding_bottom = 2;
    field.border_bottom.width = 1;
    field.user_index = static_cast<int32_t>(k);
    if (p.type == PARAMETER_BLN) {
        const bool on = p.current.bool_value != 0;
        field.set_text(on ? "TRUE" : "FALSE");
        field.typeface = &typefaces[4];
        field.editable = false;
        // The colours a flip gives it, from the start: the same look before
        // and after, readable in every theme.
        field.background_rgba = on ? 0xFF20A000u : 0xFFA02000u;
        field.text_colour = nullptr;
        field.text_rgba = contrasting_text_rgba(field.background_rgba);
    } else {
        field.set_text(typed_value_to_text(p.current));
        field.text_colour = active_theme.colours[8];
    }
    field.on_enter = parallel ? on_commit_parallel_parameter_field : on_commit_parameter_field;
    field.on_escape = parallel ? sync_parallel_parameter_field : static_cast<void (*)()>(sync_parameter_field);
    Element& reset_icon = b.parameter_reset_icons[k];
    place(reset_icon, r / 2, r - 2, r, r);
    reset_icon.icon = ICON_REFRESH;
    reset_icon.icon_flip_x = true;

    block.children = {&type, &reset_cell, &label, &info, &field, &reset_icon};
    if (slider) {
        build_slider_row(app, k, p, parallel);
        block.children.push_back(&b.parameter_slider_rows[k]);
    }
}

void show_header(AppContext& app, const EntityRecord* e) {
    Label* toggles[3] = {&app.parameter_auto_sync_button, &app.parameter_immediate_button,
                         &app.parameter_multi_edit_button};
    const uint8_t flags[3] = {e ? e->parameter_auto_sync : uint8_t{0}, e ? e->parameter_immediate_mode : uint8_t{0},
                              e ? e->parameter_multi_edit_mode : uint8_t{0}};
    for (int i = 0; i < 3; ++i) toggles[i]->selected = flags[i] != 0;
    for (Label* button : {&app.parameter_auto_sync_button, &app.parameter_immediate_button,
                          &app.parameter_reset_button, &app.parameter_multi_edit_button, &app.parameter_apply_button})
        button->text_opacity = e ? 1.0 : 0.5;
    app.parameter_entity_header.enabled = e != nullptr;
    app.parameter_variants_button.visible = e != nullptr;
}

}  // namespace

int32_t parameter_slider_steps(const EntityParameter& p) {
    if (!has_both_bounds(p) || (p.type != PARAMETER_INT && p.type != PARAMETER_LNG)) return 0;
    const int64_t lower = p.type == PARAMETER_INT ? p.lower.int_value : p.lower.long_value;
    const int64_t upper = p.type == PARAMETER_INT ? p.upper.int_value : p.upper.long_value;
    if (upper <= lower) return 0;
    // Unsigned: the difference of two int64 bounds may not fit an int64.
    const uint64_t range = static_cast<uint64_t>(upper) - static_cast<uint64_t>(lower);
    return range > static_cast<uint64_t>(INT32_MAX) ? 0 : static_cast<int32_t>(range);
}

double parameter_slider_fraction(const EntityParameter& p) {
    if (!has_both_bounds(p)) return 0.0;
    long double lower = 0, upper = 0, current = 0;
    if (p.type == PARAMETER_INT) {
        lower = p.lower.int_value, upper = p.upper.int_value, current = p.current.int_value;
    } else if (p.type == PARAMETER_LNG) {
        lower = p.lower.long_value, upper = p.upper.long_value, current = p.current.long_value;
    } else if (p.type == PARAMETER_DBL) {
        lower = p.lower.double_value, upper = p.upper.double_value, current = p.current.double_value;
    } else {
        return 0.0;
    }
    const long double fraction = (current - lower) / (upper - lower);
    if (!(fraction > 0)) return 0.0;
    return fraction >= 1 ? 1.0 : static_cast<double>(fraction);
}

void rebuild_parameter_pane(AppContext& app) {
    const int32_t hovered = hovered_block(app);
    if (hovered >= 0) {
        hover_element->hovered = false;
        hover_element = nullptr;
    }
    FillLayout& pane = app.parameter_list;
    pane.click_handler = nullptr;
    pane.mouse_down_handler = nullptr;
    pane.motion_handler = nullptr;
    pane.layout_handler = nullptr;
    pane.children.clear();
    clear_blocks(app);

    EntitySet* set = app.entities.current_entities;
    const EntityListView* view = app.entities.current_environment_parts.parameter_view;
    const int32_t s = view ? view->selected_row : -1;
    const EntityRecord* e = nullptr;
    if (set && s >= 0 && static_cast<size_t>(s) < set->parameter_entities.size()) {
        const int32_t index = set->parameter_entities[static_cast<size_t>(s)];
        const size_t count = std::min(set->records.size(), static_cast<size_t>(std::max(set->count, 0)));
        if (index >= 0 && static_cast<size_t>(index) < count) e = &set->records[static_cast<size_t>(index)];
    }
    show_header(app, e);
    if (e == nullptr) {
        app.parameter_entity_name_label.set_text(": (none selected)");
        app.parameter_algorithm_label.set_text("?");
        app.parameter_algorithm_label.visible = false;
        pane.visible = false;
        pane.height = 0;
        refresh_root(app);
        return;
    }
    app.parameter_entity_name_label.set_text(e->file_name);
    const int32_t algorithm = e->parallel == 1 ? e->algorithm : (e->mesh ? e->mesh->algorithm : -1);
    app.parameter_algorithm_label.set_text(algorithm >= 0 && algorithm <= 2
                                            ? std::string("\t ") + mesh_kind_short_names[algorithm]
                                            : std::string("?"));
    app.parameter_algorithm_label.visible = true;
    pane.visible = true;

    const std::vector<ListedParameter> parameters = listed_parameters(*e);
    const size_t n = parameters.size();
    ParameterBlockParts& b = app.side_pane.parameter_blocks;
    for (auto* v : {&b.parameter_type_labels, &b.parameter_reset_cells, &b.parameter_labels, &b.parameter_info_icons,
                    &b.parameter_reset_icons, &b.parameter_slider_minus_cells, &b.parameter_slider_plus_cells,
                    &b.parameter_slider_tracks})
        v->resize(n);
    b.blocks.resize(n);
    b.parameter_slider_rows.resize(n);
    b.parameter_slider_marks.resize(n);
    app.parameter_value_fields.resize(n);
    app.parameter_sliders.resize(n);
    if (e->parallel == 1) b.parameter_group_headings.resize(e->parse_result.element_results.size());

    const int32_t r = app.ui_metrics.bar_height;
    const int32_t w = side_list_width(app);
    int32_t y = 0;
    int32_t rows = 0;
    size_t next_heading = 0;
    const auto add_heading = [&](size_t j) {
        Element& heading = b.parameter_group_headings[j];
        place(heading, 0, y, w, r);
        const auto& names = e->parse_result.element_names;
        heading.set_text("\t " + (j < names.size() ? names[j] : std::string()));
        heading.typeface = &typefaces[0];
        heading.text_colour = active_theme.colours[8];
        heading.padding_left = app.ui_metrics.ui_padding;
        heading.padding_right = app.ui_metrics.ui_padding;
        heading.padding_bottom = 2;
        heading.border_bottom.width = 1;
        pane.children.push_back(&heading);
        y += r;
        ++rows;
    };
    for (size_t k = 0; k < n; ++k) {
        // Sub-elements without parameters still get their heading.
        if (e->parallel == 1) {
            const size_t up_to = parameters[k].heading >= 0 ? static_cast<size_t>(parameters[k].heading) + 1 : next_heading;
            while (next_heading < up_to) add_heading(next_heading++);
        }
        build_block(app, k, *parameters[k].parameter, *e, y);
        pane.children.push_back(&b.blocks[k]);
        const int32_t block_rows = has_both_bounds(*parameters[k].parameter) ? 3 : 2;
        y += block_rows * r;
        rows += block_rows;
    }
    while (e->parallel == 1 && next_heading < b.parameter_group_headings.size()) add_heading(next_heading++);

    pane.width = w;
    pane.height = (rows + 1) * r - 1;
    Element& footer = app.parameter_summary_label;
    place(footer, 0, pane.height - r, w, r - 1);
    // The parse's own summary line (INT, DBL, LNG, BLN, CHR, STR).
    footer.set_text(e->parse_result.summary);
    pane.children.push_back(&footer);
    pane.click_handler =
        e->parallel == 1 ? on_parallel_parameter_row_click : static_cast<void (*)()>(on_parameter_row_click);
    pane.mouse_down_handler = store_pointer;
    pane.motion_handler = store_pointer;
    pane.layout_handler = layout_parameter_pane;
    if (hovered >= 0 && static_cast<size_t>(hovered) < n) {
        pane.dispatch_motion(pane.x + b.pointer_x, pane.y + b.pointer_y, 0);
    }
    refresh_root(app);
}

void layout_parameter_pane(int32_t, int32_t height) {
    AppContext* app = app_instance;
    if (!app) return;
    const EntityListView* view = app->entities.current_environment_parts.parameter_view;
    const ScrollPane& scroll = app->parameter_list_scroll;
    FillLayout& pane = app->parameter_list;
    const bool border = app->entities.current_entities && view && view->selected_row >= 0 &&
                        height < scroll.height - scroll.bar_thickness;
    pane.border_bottom.width = border ? 1 : 0;
    pane.border_bottom.palette = border ? &active_theme.palettes[9] : nullptr;
}

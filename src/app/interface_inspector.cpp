// The entity inspector and parameter pane stages of the interface builder.
#include <string>

#include "context/app_context.h"
#include "app/builder_support.h"
#include "app/interface_builder.h"
#include "panes/inspector/confirmations.h"
#include "panes/inspector/parameter_actions.h"
#include "panes/inspector/ppd_viewer.h"
#include "panes/inspector/transform_fields.h"
#include "pipeline/parameter_push.h"

using namespace builder;

namespace {

int32_t caption_width(int face_index, const std::string& caption) {
    Label probe;
    probe.typeface = face(face_index);
    probe.measure_text(caption);
    return probe.text_width;
}

// A label of typeface `face_index`, text colour 8, left and vertically
// centred, with padding p on all sides, filling its pane: the hint shown
// while a list is empty.
void empty_hint(Label& label, const char* caption, int32_t p, int32_t margin) {
    label.typeface = face(3);
    label.text_colour = colour(8);
    align(label, -1, 0);
    padding(label, p, p, p, p);
    label.margin_left = 0;
    label.margin_right = margin;
    label.margin_bottom = margin;
    label.fill = true;
    label.set_text(caption);
}

void list_scroll(ScrollPane& scroll, FillLayout& list, int32_t width, int32_t border) {
    rect(list, 0, 0, width, 0);
    scroll.fill = true;
    scroll_decoration(scroll, border);
    attach_content(scroll, list);
}

void value_field(TextField& field, int32_t x, int32_t y, int32_t w, int32_t h, const char* text) {
    rect(field, x, y, w, h);
    align(field, 0, 0);
    field.background_colour = colour(4);
    field.text_colour = colour(8);
    field.typeface = face(0);
    field.set_text(text);
}

void transform_rows(AppContext& a, int32_t W, int32_t h) {
    const int32_t t = a.ui_metrics.thin_border;
    FillLayout& editor = a.transform_editor;
    const char* const headings[6] = {"\t Translate",           "\t Uniform Scale-Factor", "\t Non-Uniform Scale-Factor",
                                     "\t Euler-Rotation Angles", "\t Euler-Rotation Order", "\t Transformation Order"};
    void (*const resets[6])() = {on_reset_translation, on_reset_uniform_scale, on_reset_scale,
                                 on_reset_rotation,    on_reset_transform_mode_a, on_reset_transform_mode_b};
    for (int i = 0; i < 6; ++i) {
        Label& heading = a.transform_headings[i];
        rect(heading, 0, 2 * i * h, W, h);
        heading.background_palette = gradient(11);
        border(heading.border_top, t, 3);
        border(heading.border_bottom, t, 9);
        heading.typeface = face(3);
        heading.text_colour = colour(8);
        align(heading, -1, 0);
        padding(heading, a.ui_metrics.ui_padding, 0, a.ui_metrics.ui_padding, 0);
        heading.set_text(headings[i]);
        Element& reset = a.transform_reset_buttons[i];
        rect(reset, W - (2 * h - 8) - 3, 2 * i * h + 4, 2 * h - 8, h - 8);
        reset.background_colour = colour(6);
        reset.hover_palette = gradient(8);
        border(reset.border_left, t, 1);
        border(reset.border_top, t, 3);
        border(reset.border_right, t, 2);
        border(reset.border_bottom, t, 9);
        reset.typeface = face(3);
        align(reset, 0, 0);
        reset.depth_offset = 0.005;
        reset.set_text("RESET");
        reset.click_handler = resets[i];
    }
    for (int i = 0; i < 6; ++i) append(editor, a.transform_headings[i]);
    for (int i = 0; i < 6; ++i) append(editor, a.transform_reset_buttons[i]);

    Label& xyz = a.uniform_scale_label;
    rect(xyz, 0, 3 * h, 2 * h, h);
    border(xyz.border_right, t, 2);
    xyz.typeface = face(4);
    xyz.text_colour = colour(8);
    align(xyz, 0, 0);
    xyz.set_text("XYZ");
    value_field(a.uniform_scale_field, 2 * h, 3 * h, a.ui_metrics.side_pane_width - 2 * h - a.ui_metrics.ui_margin, h,
                "1");
    append(editor, xyz);
    append(editor, a.uniform_scale_field);

    const int32_t c = W / 3;
    const char* const axes[3] = {"X", "Y", "Z"};
    const int32_t row_y[3] = {h, 5 * h, 7 * h};
    TextField* const fields[3] = {a.translation_fields, a.scale_fields, a.rotation_fields};
    const char* const texts[3] = {"0", "1", "0"};
    for (int i = 0; i < 3; ++i) {
        for (int r = 0; r < 3; ++r) {
            Label& axis = a.axis_labels[r][i];
            rect(axis, i * c, row_y[r], h, h);
            align(axis, 0, 0);
            border(axis.border_right, t, 2);
            if (i > 0) border(axis.border_left, t, 1);
            axis.text_colour = colour(8);
            axis.typeface = face(4);
            axis.set_text(axes[i]);
            // The last column takes the pixel the division leaves over.
            const int32_t extra = i == 2 ? W - 3 * c : 0;
            value_field(fields[r][i], i * c + h, row_y[r], c - h + extra, h, texts[r]);
            append(editor, axis);
            append(editor, fields[r][i]);
        }
    }

    // Tab walks translation, uniform scale, scale, rotation and wraps.
    TextField* ring[10] = {&a.translation_fields[0], &a.translation_fields[1], &a.translation_fields[2],
                           &a.uniform_scale_field,   &a.scale_fields[0],       &a.scale_fields[1],
                           &a.scale_fields[2],       &a.rotation_fields[0],    &a.rotation_fields[1],
                           &a.rotation_fields[2]};
    for (int k = 0; k < 10; ++k) {
        ring[k]->next_field = ring[(k + 1) % 10];
        ring[k]->previous_field = ring[(k + 9) % 10];
    }

    const int32_t q = W / 6;
    const char* const rotations[6] = {"XYZ", "XZY", "YXZ", "YZX", "ZXY", "ZYX"};
    const char* const transforms[6] = {"RST", "RTS", "SRT", "STR", "TRS", "TSR"};
    for (int k = 0; k < 6; ++k) {
        Element* const pair[2] = {&a.rotation_order_buttons[k], &a.transform_order_buttons[k]};
        for (int row = 0; row < 2; ++row) {
            Element& b = *pair[row];
            rect(b, k * (q + 1), (row == 0 ? 9 : 11) * h, q + 1, h);
            b.hover_palette = gradient(8);
            b.selected_palette = gradient(8);
            border(b.border_right, t, 2);
            b.text_colour = colour(8);
            align(b, 0, 0);
            b.set_text(row == 0 ? rotations[k] : transforms[k]);
            // The two rows hold different orders; each marks its own default.
            const int32_t default_order = row == 0 ? int32_t{ROTATION_XYZ} : int32_t{TRANSFORM_SRT};
            const bool chosen = k == default_order;
            b.typeface = face(chosen ? 4 : 3);
            b.selected = chosen;
            append(editor, b);
        }
        a.rotation_order_buttons[k].click_handler = rotation_order_clicks[k];
        a.transform_order_buttons[k].click_handler = transform_order_clicks[k];
    }
}

}  // namespace

void build_entity_inspector(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t t = m.thin_border, p = m.ui_padding, S = m.side_pane_width;
    const int32_t W = S - m.ui_margin, h = m.bar_height;

    empty_hint(a.entity_list_hint,
               "0 entities in environment\n\t open a vrekform script file\nfile-extension: .vrek", p, m.ui_margin);
    list_scroll(a.entity_list_scroll, a.entity_list, W, t);
    append(a.ENTITYUPPER, a.entity_list_hint);
    append(a.ENTITYUPPER, a.entity_list_scroll);

    FillLayout& row = a.entity_header;
    rect(row, 0, 0, S, h);
    row.typeface = face(4);
    row.text_colour = colour(8);
    align(row, -1, 0);
    padding(row, p, 0, p, 2);
    row.background_palette = gradient(11);
    border(row.border_bottom, t, 9);
    row.set_text("Entity ");
    Label& name = a.entity_name_label;
    name.typeface = face(3);
    name.text_colour = colour(8);
    align(name, -1, 0);
    rect(name, 0, 0, S + p - m.menu_half_width, h);
    padding(name, caption_width(4, "Entity ") + p, 0, p, 0);
    name.set_text(": (none selected)");
    Label& ppd = a.entity_ppd_button;
    ppd.typeface = face(4);
    ppd.text_colour = colour(8);
    align(ppd, 0, 0);
    rect(ppd, S - (m.menu_half_width - p), 0, m.menu_half_width - p, h);
    border(ppd.border_left, t, 1);
    ppd.hover_palette = gradient(8);
    ppd.text_opacity = 0.5;
    ppd.set_text("PPD");
    ppd.visible = false;
    ppd.click_handler = on_ppd_view_button;
    append(row, name);
    append(row, ppd);
    row.enabled = false;
    append(a.ENTITYLOWER, row);

    Label& headings = a.entity_heading_label;
    Label& sections = a.entity_information_label;
    headings.typeface = face(3);
    sections.typeface = face(4);
    headings.set_text(
        "\n\n\t Name:\n\t Path:\n\t Size:\n\t Type:\n\n\n\n\t Entity-Parameters:\n\t Execution-Mode:\n\t "
        "Execution:Time:\n\n\n\n\t Size:\n\t Vertex:\n\t Indices:\n\t Polygons:\n\t AABB-Extent:\n\t "
        "AABB-Minimum:\n\t AABB-Maximum:\n\t AABB-Center:\n\t Geometric-Mean:\n\t Non-Planar Gouraud-Shading "
        "Smoothing-Groups:\n\n");
    sections.set_text(
        "Input-Script\n\n\n\n\n\n\nKernel-Process\n\n\n\n\n\nOutput-Mesh\n\n\n\n\n\n\n\n\n\n\n\n\nRuntime-Properties");
    for (Label* label : {&headings, &sections}) {
        label->text_colour = colour(8);
        padding(*label, p, p, p, p);
        rect(*label, 0, 0, label->text_width + 2 * p, label->text_height + 2 * p);
    }
    rect(a.transform_editor, 0, headings.text_height + 2 * p, W, 12 * h);
    transform_rows(a, W, h);

    FillLayout& content = a.entity_information_area;
    rect(content, 0, 0, W, headings.text_height + 12 * h + 2 * p - 1);
    append(content, headings);
    append(content, sections);
    append(content, a.transform_editor);
    ScrollPane& scroll = a.entity_inspector_scroll;
    scroll.margin_top = h;
    scroll.fill = true;
    scroll_decoration(scroll, t);
    attach_content(scroll, content);
    append(a.ENTITYLOWER, scroll);
    content.visible = false;
    a.ENTITYINSPECTOR.max_second[1] = content.height + h + m.ui_margin;
}

void build_parameter_pane(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t t = m.thin_border, p = m.ui_padding, S = m.side_pane_width;
    const int32_t W = S - m.ui_margin, h = m.bar_height;

    empty_hint(a.parameter_list_hint,
               "0 parametric entities in environment\n\t open a parameterised vrekform script file\n"
               "file-extension: .vrek",
               p, m.ui_margin);
    list_scroll(a.parameter_entity_scroll, a.parameter_entity_list, W, t);
    append(a.PARAMETERUPPER, a.parameter_list_hint);
    append(a.PARAMETERUPPER, a.parameter_entity_scroll);

    FillLayout& header = a.parameter_entity_header;
    rect(header, 0, 0, S, 3 * h);
    header.background_palette = gradient(11);
    border(header.border_bottom, t, 9);
    Element& row2 = a.parameter_header_row2;
    rect(row2, 0, h, S, h);
    row2.background_palette = gradient(11);
    border(row2.border_bottom, t, 9);

    struct Cell {
        Label* label;
        const char* caption;
        int32_t x, y, w;
        int typeface;
    };
    const Cell cells[] = {
        {&a.parameter_entity_caption, "Dynamic-Entity ", 0, 0, S, 4},
        {&a.parameter_entity_name_label, ": (none selected)", 0, 0, S, 3},
        {&a.parameter_algorithm_label, "?", 0, h, S - 6 * h - p, 3},
        {&a.parameter_auto_sync_button, "Auto-Sync.", S - 6 * h - p, h, 3 * h + p, 3},
        {&a.parameter_immediate_button, "Immediate", S - 3 * h, h, 3 * h, 3},
        {&a.parameter_reset_button, "RESET", 0, 2 * h, 2 * h, 4},
        {&a.parameter_variants_button, "Variants", 2 * h, 2 * h, S - 8 * h - p, 5},
        {&a.parameter_multi_edit_button, "Multi-Edit-Mode", S - 6 * h - p, 2 * h, 4 * h, 3},
        {&a.parameter_apply_button, "APPLY", S - 2 * h - p, 2 * h, 2 * h + p, 4},
    };
    for (const Cell& cell : cells) {
        Label& label = *cell.label;
        rect(label, cell.x, cell.y, cell.w, h);
        label.typeface = face(cell.typeface);
        label.text_colour = colour(8);
        align(label, 0, 0);
        padding(label, 0, 0, 0, 2);
    }
    for (Label* left : {&a.parameter_entity_caption, &a.parameter_entity_name_label, &a.parameter_algorithm_label}) {
        align(*left, -1, 0);
        padding(*left, p, 0, p, 2);
    }
    border(a.parameter_entity_caption.border_bottom, t, 9);
    a.parameter_entity_name_label.padding_left = caption_width(4, "Dynamic-Entity ") + p;
    for (Label* b : {&a.parameter_auto_sync_button, &a.parameter_immediate_button, &a.parameter_multi_edit_button,
                     &a.parameter_apply_button})
        border(b->border_left, t, 1);
    border(a.parameter_reset_button.border_right, t, 2);
    Label* const buttons[6] = {&a.parameter_auto_sync_button, &a.parameter_immediate_button,
                               &a.parameter_multi_edit_button, &a.parameter_reset_button,
                               &a.parameter_variants_button, &a.parameter_apply_button};
    void (*const clicks[6])() = {toggle_parameter_auto_sync,  toggle_parameter_immediate_mode,
                                 toggle_parameter_multi_edit_mode, on_click_reset_parameters,
                                 on_click_variant_directives, push_parameters_action};
    for (int i = 0; i < 6; ++i) {
        buttons[i]->hover_palette = gradient(8);
        // The three modes show whether they are on, as the other toggles do.
        if (i < 3) buttons[i]->selected_palette = gradient(8);
        buttons[i]->text_opacity = i == 4 ? 1.0 : 0.5;
        tip(*buttons[i], parameter_button_tips[static_cast<size_t>(i)]);
        buttons[i]->click_handler = clicks[i];
    }
    for (const Cell& cell : cells) cell.label->set_text(cell.caption);
    header.enabled = false;
    a.parameter_algorithm_label.visible = false;
    a.parameter_variants_button.visible = false;
    append(header, row2);
    for (const Cell& cell : cells) append(header, *cell.label);
    append(a.PARAMETERLOWER, header);

    Element& counts = a.parameter_summary_label;
    rect(counts, 0, 0, W, h);
    counts.typeface = face(3);
    align(counts, 0, 0);
    counts.set_text("0 INT, 0 LNG, 0 DBL, 0 BLN, 0 CHR, 0 STR");
    ScrollPane& scroll = a.parameter_list_scroll;
    list_scroll(scroll, a.parameter_list, W, t);
    scroll.margin_top = 3 * h;
    append(a.PARAMETERLOWER, scroll);
}

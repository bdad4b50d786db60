#include <string>

#include "model/entity_texts.h"
#include "context/app_context.h"
#include "app/builder_support.h"
#include "context/help_texts.h"
#include "app/interface_builder.h"
#include "context/keyword_tables.h"
#include "panes/browser/browser_actions.h"
#include "panes/environments/export_actions.h"
#include "panes/popups/export_dialog.h"
#include "panes/menus/pick_modes.h"

using namespace builder;

namespace {

void grey_frame(Element& e, int32_t width = 1) {
    for (Border* edge : {&e.border_left, &e.border_top, &e.border_right, &e.border_bottom}) {
        grey_border(*edge);
        edge->width = width;
    }
}

// Vertical padding that centres two lines of face 0 in a row of height h.
int32_t two_line_inset(int32_t h) { return (h - 2 * static_cast<int32_t>(typeface_line_heights[0])) / 2; }

void run_pane_title(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width, W = m.popup_width;
    struct Toggle {
        Element* element;
        int32_t x, typeface;
        const char* caption;
        uint8_t selected;
        ClickCallback action;
    };
    const Toggle toggles[2] = {
        {&a.culling_toggle, 2 * P, 4, "CULLING", a.io_settings.reassembly_culling, toggle_reassembly_culling},
        {&a.profiler_toggle, W - T - 2 * P - 128, 3, "PROFILER", a.io_settings.assembly_profiling,
         toggle_assembly_profiling},
    };
    for (const Toggle& t : toggles) {
        Element& e = *t.element;
        rect(e, t.x, 2 * P, 128 - T, T - 4 * P);
        align(e, 0, 0);
        e.typeface = face(t.typeface);
        e.background_colour = colour(6);
        e.text_colour = colour(8);
        e.hover_palette = gradient(8);
        e.selected_palette = gradient(8);
        grey_frame(e);
        e.selected = t.selected != 0;
        e.set_text(t.caption);
        e.click_handler = t.action;
        append(a.popup_frames[FRAME_RUN].title_area, e);
    }
}

void run_pane_content(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width, W = m.popup_width, H = m.popup_height;
    const int32_t D = 2 * (128 - P) / 3;
    const int32_t chosen = a.io_settings.reassembly_algorithm;
    FillLayout& body = a.popup_frames[FRAME_RUN].body;
    const char* const captions[3] = {"Pure-Union\nMesh", "Basic-CSG\nMesh", "Optimal-CSG\nMesh"};
    for (int32_t k = 0; k < 3; ++k) {
        Element& b = a.algorithm_buttons[k];
        rect(b, 2 * P, 2 * P + k * D, 128, D - 2 * P);
        align(b, 1, 0);
        padding(b, 2 * P, 2 * P, 2 * P, 2 * P);
        b.typeface = face(k == chosen ? 1 : 0);
        b.selected = k == chosen;
        b.background_colour = colour(6);
        b.text_colour = colour(8);
        b.hover_palette = gradient(8);
        b.selected_palette = gradient(11);
        grey_frame(b, m.thin_border);
        b.set_text(captions[k]);
        append(body, b);
        // The hint has no click handler, so a click on it reaches the button.
        Element& hint = a.algorithm_key_hints[k];
        rect(hint, b.x, b.y, b.width, b.height);
        align(hint, -1, 1);
        padding(hint, P, P, P, P);
        hint.typeface = face(3);
        hint.text_colour = colour(8);
        hint.set_text(a.dialogs.algorithm_rows[static_cast<size_t>(k)][2]);
        append(body, hint);
    }

    FillLayout& box = a.capability_box;
    rect(box, 128 + 4 * P, 2 * P, W / 2 - 5 * P - 128, 4 * (64 - P));
    align(box, 0, -1);
    padding(box, 0, P + P / 2, 0, 0);
    box.typeface = face(4);
    box.text_colour = colour(8);
    box.background_colour = colour(6);
    grey_frame(box);
    box.set_text("Mode\nAttributes");
    // The items stack under the heading 12 pixels apart. Each covers its own
    // line only, so the grey of an unsupported item dims that line and not
    // the box.
    int32_t top = box.padding_top + box.text_height + 12;
    for (int32_t i = 0; i < 6; ++i) {
        Label& l = a.capability_labels[i];
        l.text_colour = colour(8);
        align(l, 0, 0);
        l.typeface = face(algorithm_capabilities[static_cast<size_t>(chosen)][static_cast<size_t>(i)] ? 4 : 3);
        l.set_text(algorithm_feature_labels[static_cast<size_t>(i)]);
        rect(l, 1, top - 4, box.width - 2, l.text_height + 8);
        top += l.text_height + 12;
        append(box, l);
    }
    append(body, box);

    FillLayout& descriptions = a.description_box;
    rect(descriptions, W / 2 + P, 2 * P, W / 2 - 3 * P, H - 2 * T - 4 * P);
    padding(descriptions, P + P / 2, P + P / 2, 0, 0);
    descriptions.background_colour = colour(6);
    grey_frame(descriptions);
    // Label j describes algorithm j mod 3, line j / 3; they are added
    // algorithm by algorithm.
    for (int32_t k = 0; k < 3; ++k) {
        const CaptionGroup& lines = algorithm_descriptions[static_cast<size_t>(k)];
        int32_t line_top = 0;
        for (int32_t j = 0; j < 4; ++j) {
            Label& l = a.description_labels[j * 3 + k];
            l.fill = true;
            l.typeface = face(j == 0 ? 4 : 3);
            l.text_colour = colour(8);
            padding(l, 0, line_top, 0, 0);
            l.set_text(static_cast<size_t>(j) < lines.size() ? lines[static_cast<size_t>(j)] : "");
            line_top += l.text_height + P;
            l.visible = k == chosen;
            append(descriptions, l);
        }
    }
    append(body, descriptions);
}

void run_pane_footer(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width, W = m.popup_width;
    FillLayout& footer = a.popup_frames[FRAME_RUN].footer;
    FillLayout& group = a.mode_group;
    rect(group, P, P, W - 2 * P - 2 * T + 1, T - 2 * P);
    group.background_colour = colour(4);
    for (Border* edge : {&group.border_top, &group.border_left, &group.border_bottom}) grey_border(*edge);
    Label& caption = a.mode_caption_label;
    caption.typeface = face(0);
    caption.text_colour = colour(8);
    align(caption, -1, 0);
    caption.set_text("Kernel Execution Mode: ");
    rect(caption, 2 * P, 0, W, T - 2 * P);
    Label& mode = a.algorithm_mode_label;
    mode.typeface = face(1);
    mode.text_colour = colour(8);
    align(mode, -1, 0);
    rect(mode, 2 * P + caption.text_width, 0, W, T - 2 * P);
    mode.set_text(mesh_kind_names[a.io_settings.reassembly_algorithm]);
    append(group, caption);
    append(group, mode);
    append(footer, group);

    Element& b = a.assemble_button;
    rect(b, W - P - 2 * T, P, 2 * T, T - 2 * P);
    align(b, 0, 0);
    b.typeface = face(1);
    b.text_colour = colour(8);
    b.background_palette = gradient(11);
    b.hover_palette = gradient(8);
    grey_frame(b);
    b.set_text("Assemble");
    append(footer, b);
}

void confirm_title_and_buttons(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width;
    const int32_t inset = two_line_inset(T);
    PopupFrame& f = a.popup_frames[FRAME_CONFIRM];
    padding(f.title_area, P, inset, P, inset);
    Label& title = a.confirm_title_label;
    title.fill = true;
    title.typeface = face(1);
    title.text_colour = colour(8);
    align(title, -1, -1);
    append(f.title_area, title);
    Label& note = a.confirm_note_label;
    note.fill = true;
    note.typeface = face(0);
    note.text_colour = colour(8);
    align(note, -1, 1);
    append(f.title_area, note);

    FillLayout* const buttons[2] = {&a.confirm_cancel_button, &a.confirm_ok_button};
    const char* const words[2] = {"Cancel\n", "OK\n"};
    const char* const keys[2] = {"\nESCAPE", "\nENTER"};
    for (int i = 0; i < 2; ++i) {
        FillLayout& b = *buttons[i];
        rect(b, i * (3 * T / 2), 0, 3 * T / 2, T);
        align(b, -1, 0);
        padding(b, 2 * P, 2, 2 * P, 0);
        b.typeface = face(1);
        b.text_colour = colour(8);
        b.hover_palette = gradient(8);
        border(b.border_left, m.thick_border, 1);
        b.set_text(words[i]);
        Label& key = a.confirm_key_labels[i];
        key.fill = true;
        align(key, -1, 0);
        key.typeface = face(3);
        key.text_colour = colour(8);
        key.set_text(keys[i]);
        append(b, key);
        append(f.title_right, b);
    }
}

void confirm_algorithm_bar(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width;
    const int32_t inset = two_line_inset(T);
    PopupFrame& f = a.popup_frames[FRAME_CONFIRM];
    FillLayout& caption = f.footer_centre;
    caption.typeface = face(0);
    caption.text_colour = colour(8);
    align(caption, -1, -1);
    padding(caption, 2 * P, inset, 2 * P, inset);
    caption.set_text("Re-Assembly Execution Mode:");
    Label& mode = a.confirm_mode_label;
    mode.fill = true;
    mode.typeface = face(1);
    mode.text_colour = colour(8);
    align(mode, -1, 1);
    mode.set_text(a.dialogs.confirm_algorithm_texts[static_cast<size_t>(a.io_settings.meshing_algorithm)].second);
    append(caption, mode);

    for (int32_t k = 0; k < 3; ++k) {
        const auto& row = a.dialogs.algorithm_rows[static_cast<size_t>(k)];
        FillLayout& b = a.confirm_choice_buttons[k];
        rect(b, k * 2 * T, 0, k < 2 ? 2 * T : 2 * T + 2 * P, T);
        border(b.border_left, m.thick_border, 1);
        align(b, -1, -1);
        padding(b, 2 * P, inset, P, 0);
        b.text_colour = colour(8);
        b.hover_palette = gradient(8);
        b.selected_palette = gradient(8);
        b.typeface = face(0);
        b.set_text(row[0]);
        Label& word = a.confirm_choice_captions[k];
        word.fill = true;
        word.typeface = face(0);
        word.text_colour = colour(8);
        align(word, -1, 1);
        padding(word, 0, 0, 0, inset);
        word.set_text(row[1]);
        Label& hint = a.confirm_choice_hints[k];
        hint.fill = true;
        hint.typeface = face(3);
        hint.text_colour = colour(8);
        align(hint, 1, 1);
        padding(hint, 0, P, 0, P);
        hint.set_text(row[2]);
        append(b, word);
        append(b, hint);
        append(f.footer_right, b);
    }
}

// A text element over a row: caption, value or hint.
void row_text(Element& e, int32_t x, int32_t w, int32_t h, int32_t face_index, const std::string& text) {
    rect(e, x, 0, w, h);
    align(e, -1, 0);
    e.typeface = face(face_index);
    e.set_text(text);
}

void export_name_and_location(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width, W = m.popup_width;
    FillLayout& body = a.popup_frames[FRAME_EXPORT].body;
    FillLayout* const rows[2] = {&a.export_name_row, &a.export_location_row};
    Label* const captions[2] = {&a.export_name_caption, &a.export_location_caption};
    Element* const values[2] = {&a.export_name_field, &a.export_location_value};
    Element* const hints[2] = {&a.export_name_hint, &a.export_location_hint};
    const char* const caption_texts[2] = {"Name", "Location"};
    const char* const hint_texts[2] = {"enter a filename", "select an output file location"};
    const std::string value_texts[2] = {a.export_settings.export_name, a.export_settings.export_directory};
    for (int i = 0; i < 2; ++i) {
        FillLayout& row = *rows[i];
        rect(row, P, P + i * T, W - 2 * P, T - P);
        grey_frame(row);
        Label& caption = *captions[i];
        row_text(caption, 0, 2 * T, T - P, 7, caption_texts[i]);
        padding(caption, 2 * P, 0, 0, 0);
        caption.text_colour = colour(8);
        Element& value = *values[i];
        padding(value, 2 * P, 0, 2 * P, 0);
        value.text_colour = colour(8);
        row_text(value, 2 * T, W - 2 * T - 2 * P, T - P, 6, value_texts[i]);
        // The hint keeps the element's own grey, just in front of the value.
        Element& hint = *hints[i];
        padding(hint, 2 * P, 0, 2 * P, 0);
        hint.hover_palette = gradient(8);
        hint.depth_offset = -0.01;
        row_text(hint, 2 * T, W - 2 * T - 2 * P, T - P, 2, hint_texts[i]);
        append(row, caption);
        append(row, value);
        append(row, hint);
        append(body, row);
    }
    TextField& field = a.export_name_field;
    field.hint = &a.export_name_hint;
    field.on_enter = on_export_name_enter;
    field.key_press_handler = on_export_name_typed;
    field.update_caret();
    a.export_location_value.click_handler = on_export_location_button;
    set_export_location(a, a.export_settings.export_directory);
}

void export_toggles_and_formats(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width, R = m.row_height, W = m.popup_width;
    const int32_t Q = (W - 5 * T - 2 * P) / 3, V = (2 * (128 - T) - P) / 2, E = (128 - T - P) / 2;
    FillLayout& body = a.popup_frames[FRAME_EXPORT].body;
    const char* const tokens[6] = {"NXYZ", "RGBA", "0|1", "NGON", "TESS", "12:34"};
    const char* const words[6] = {"normals", "colours", "binary", "polygons", "triangles", "timestamp"};
    const ClickCallback option_actions[6] = {on_toggle_export_normals, on_toggle_export_colours,
                                             on_toggle_export_binary,  on_toggle_export_ngon,
                                             on_toggle_export_tess,    on_toggle_export_timestamp};
    for (int32_t i = 0; i < 6; ++i) {
        const int32_t column = i % 3, line = i / 3;
        Element& toggle = a.export_option_buttons[i];
        rect(toggle, P + column * Q, P + 2 * T + line * V, column < 2 ? Q + 1 : Q, V - P);
        align(toggle, 0, 0);
        padding(toggle, 0, 0, 0, 2 * P);
        toggle.typeface = face(1);
        toggle.text_colour = colour(8);
        toggle.hover_palette = gradient(8);
        toggle.selected_palette = gradient(11);
        grey_frame(toggle);
        toggle.selected = a.export_settings.export_option_bits[static_cast<size_t>(i)];
        toggle.set_text(tokens[i]);
        toggle.click_handler = option_actions[i];
        Label& word = a.export_option_labels[i];
        rect(word, toggle.x, toggle.y, toggle.width, toggle.height);
        align(word, 0, 0);
        padding(word, 0, 2 * P, 0, 0);
        word.typeface = face(3);
        word.text_colour = colour(8);
        word.set_text(words[i]);
        append(body, toggle);
        append(body, word);
    }

    const char* const names[4] = {"OBJ", "OFF", "PLY", "STL"};
    const char* const descriptions[4] = {" | Alias-Wavefront-Format", " | Object-File-Format",
                                         " | Stanford-Polygon-Format", " | Stereolithagraphy-Format"};
    const ClickCallback format_actions[4] = {on_toggle_export_obj, on_toggle_export_off, on_toggle_export_ply,
                                             on_toggle_export_stl};
    for (int32_t f = 0; f < 4; ++f) {
        const bool on = a.export_settings.export_format_bits[static_cast<size_t>(f)];
        // Rows overlap their neighbours' borders by one pixel.
        FillLayout& row = a.export_format_buttons[f];
        rect(row, W - 5 * T, P + 2 * T + f * E, 5 * T - P, f < 3 ? E + 1 : E);
        align(row, -1, 0);
        padding(row, P + R, 0, 0, 1);
        row.typeface = face(0);
        row.text_colour = colour(8);
        row.hover_palette = gradient(8);
        row.selected_palette = gradient(11);
        grey_frame(row);
        row.selected = on;
        row.set_text(descriptions[f]);
        row.click_handler = format_actions[f];
        Element& check = a.export_format_checks[f];
        rect(check, 5 * T - 4 * P, P, 2 * P, 2 * P);
        check.background_palette = gradient(11);
        check.selected_rgba = 0x7f3fbf3fu;
        grey_frame(check);
        check.selected = on;
        append(row, check);
        FillLayout& name = a.export_format_names[f];
        rect(name, row.x, row.y, row.width, row.height);
        align(name, -1, 0);
        padding(name, 2 * P, 0, 0, 1);
        name.typeface = face(1);
        name.text_colour = colour(8);
        name.set_text(names[f]);
        append(body, row);
        append(body, name);
    }
}

void export_footer(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width, W = m.popup_width;
    FillLayout& footer = a.popup_frames[FRAME_EXPORT].footer;
    Element& size = a.export_size_label;
    rect(size, P, P, W - 2 * T - 2 * P + 1, T - 2 * P);
    align(size, -1, 0);
    padding(size, 2 * P, 0, 2 * P, 0);
    size.typeface = face(0);
    size.background_colour = colour(4);
    size.text_colour = colour(8);
    grey_frame(size);
    size.set_text(a.export_settings.export_size_text);
    append(footer, size);

    Element& b = a.export_button;
    rect(b, W - 2 * T - P, P, 2 * T, T - 2 * P);
    align(b, 0, 0);
    padding(b, 0, 0, 0, 3);
    b.typeface = face(7);
    b.text_colour = colour(8);
    b.background_palette = gradient(11);
    b.hover_palette = gradient(8);
    grey_frame(b);
    b.set_text("!");
    b.click_handler = on_click_export;
    append(footer, b);
}

}  // namespace

void build_run_and_confirm_panes(AppContext& app) {
    run_pane_title(app);
    run_pane_content(app);
    run_pane_footer(app);
    confirm_title_and_buttons(app);
    confirm_algorithm_bar(app);
}

void build_export_pane(AppContext& app) {
    export_name_and_location(app);
    export_toggles_and_formats(app);
    export_footer(app);
}

namespace {

// Panes framed as title bar, body and footer, in frame order.
struct FrameSpec {
    BorderLayout AppContext::*pane;
    int32_t icon;
    bool mirrored;
    const char* title;
    bool plain_footer;
};

void set_region(BorderLayout& layout, Element*& region, Element& element) {
    region = &element;
    append(layout, element);
}

}  // namespace

void build_popup_frames(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t W = m.menu_half_width, P = m.ui_padding;
    const FrameSpec specs[POPUP_FRAME_COUNT - 2] = {
        {&AppContext::RUNPANE, 41, false, "Kernel Execution Mode", false},
        {&AppContext::PARSEPANE, 40, false, "Script Parsing Result: Syntax ...", true},
        {&AppContext::CAPTUREPANE, 21, false, "Save Image", false},
        {&AppContext::SCREENSHOTPANE, 21, true, "Save Application Screenshot", false},
        {&AppContext::PROFILEPANE, 56, false, "Performance Profiling Data", false},
        {&AppContext::DIRECTIVEPANE, 50, false, "Kernel Directives", false},
        {&AppContext::EXPORTPANE, 4, true, "Export Mesh Arrangement", false},
        // The help title shows no icon.
        {&AppContext::HELPPANE, -1, false, "Help Using VREK-EI", true},
        {&AppContext::INFOPANE, 26, false, "Info: ...", true},
        {&AppContext::ERRORPANE, 39, false, "Error: ...", true},
        {&AppContext::WARNINGPANE, 38, false, "Warning: ...", true},
    };
    for (int32_t k = 0; k < POPUP_FRAME_COUNT - 2; ++k) {
        const FrameSpec& s = specs[k];
        BorderLayout& pane = a.*(s.pane);
        PopupFrame& f = a.popup_frames[k];
        const bool message_box = k >= FRAME_INFO;
        f.title_bar.background_palette = gradient(11);
        grey_border(f.title_bar.border_bottom);
        pane.top_size = W;
        set_region(pane, pane.top, f.title_bar);
        set_region(pane, pane.centre, f.body);
        Element& footer = s.plain_footer ? f.footer_plain : static_cast<Element&>(f.footer);
        footer.background_palette = gradient(11);
        grey_border(footer.border_top);
        pane.bottom_size = s.plain_footer ? P : W;
        set_region(pane, pane.bottom, footer);

        f.title_icon.icon = s.icon;
        f.title_icon.icon_flip_x = s.mirrored;
        if (message_box) {
            rect(f.icon_holder, P / 2, 0, W, W);
            // The title bar stretches the holder over its left region; the
            // icon keeps its square, a half padding in from the edge.
            rect(f.title_icon, P / 2, 0, W, W);
            append(f.icon_holder, f.title_icon);
            f.title_bar.left_size = P / 2 + W;
            set_region(f.title_bar, f.title_bar.left, f.icon_holder);
        } else if (k == FRAME_PROFILE) {
            // The pane's icon is its index button: it sits at the title's
            // left end, right above the index column it shows and hides.
            Element& index = a.ppd_list_button;
            index.icon = s.icon;
            index.hover_palette = gradient(8);
            grey_border(index.border_right);
            f.title_bar.left_size = W;
            set_region(f.title_bar, f.title_bar.left, index);
        } else {
            f.title_bar.left_size = W;
            set_region(f.title_bar, f.title_bar.left, f.title_icon);
        }
        Label& title = f.title_label;
        // The capture pane is 256 wide, so its title is narrower.
        const int32_t title_width = k == FRAME_CAPTURE ? 2 * (128 - W) : m.popup_width - 2 * W;
        rect(title, k == FRAME_RUN ? 0 : W, 0, title_width, W);
        align(title, 0, 0);
        title.typeface = face(9);
        title.text_colour = colour(8);
        title.set_text(s.title);
        if (k == FRAME_RUN) {
            append(f.title_area, title);
            set_region(f.title_bar, f.title_bar.centre, f.title_area);
        } else {
            set_region(f.title_bar, f.title_bar.centre, title);
        }
        Element& close = f.close_button;
        close.icon = 1;
        grey_border(close.border_left);
        close.hover_palette = gradient(8);
        f.title_bar.right_size = W;
        set_region(f.title_bar, f.title_bar.right, close);
    }

    // The confirmation: thick edges, no body, a footer split for buttons.
    // Its icon and footer are the members the confirmation actions change:
    // the footer is the re-assembly algorithm bar.
    PopupFrame& c = a.popup_frames[FRAME_CONFIRM];
    BorderLayout& confirm = a.CONFIRMPANE;
    BorderLayout& footer = a.confirm_algorithm_bar;
    c.title_bar.background_palette = gradient(11);
    border(c.title_bar.border_bottom, m.thick_border, 9);
    confirm.top_size = W;
    set_region(confirm, confirm.top, c.title_bar);
    footer.background_palette = gradient(11);
    border(footer.border_top, m.thick_border, 3);
    confirm.bottom_size = W;
    set_region(confirm, confirm.bottom, footer);
    set_region(footer, footer.centre, c.footer_centre);
    footer.right_size = 2 * (3 * W + P);
    set_region(footer, footer.right, c.footer_right);
    rect(c.icon_holder, P / 2, 0, W, W);
    a.confirm_icon_element.icon = 24;
    rect(a.confirm_icon_element, P / 2, 0, W, W);
    append(c.icon_holder, a.confirm_icon_element);
    c.title_bar.left_size = P / 2 + W;
    set_region(c.title_bar, c.title_bar.left, c.icon_holder);
    set_region(c.title_bar, c.title_bar.centre, c.title_area);
    c.title_bar.right_size = 3 * W;
    set_region(c.title_bar, c.title_bar.right, c.title_right);

    // The file browser: a taller top region with thick edges.
    PopupFrame& b = a.popup_frames[FRAME_FILE];
    BorderLayout& file = a.FILEPANE;
    b.title_bar.background_palette = gradient(5);
    border(b.title_bar.border_bottom, m.thick_border, 9);
    file.top_size = m.row_height + W;
    set_region(file, file.top, b.title_bar);
    set_region(file, file.centre, b.body);
    b.footer.background_palette = gradient(11);
    border(b.footer.border_top, m.thick_border, 3);
    file.bottom_size = W;
    set_region(file, file.bottom, b.footer);

    a.about_content.fill = true;
    a.about_content.hover_palette = gradient(8);
    append(a.ABOUTPANE, a.about_content);
    a.open_content.fill = true;
    append(a.OPENPANE, a.open_content);
    append(a.LOADPANE, a.load_content);

    for (int i = 0; i < 2; ++i) {
        Element& mark = a.popup_watermarks[i];
        rect(mark, m.popup_width / 2 - 128, m.popup_height / 2 - 128 - (i == 1 ? W : 0), 256, 256);
        mark.image = 0;
        mark.opacity = 0.125;
    }
}

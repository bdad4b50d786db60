#include <string>

#include "context/app_context.h"
#include "app/builder_support.h"
#include "context/help_texts.h"
#include "app/interface_builder.h"
#include "context/keyword_tables.h"
#include "app/shell_bindings.h"
#include "panes/popups/capture_output.h"
#include "panes/layout/pane_layouts.h"

using namespace builder;

namespace {

const char* const section_names[7] = {"Directives", "Parameters", "Functions", "Operations",
                                      "Errors",     "Warnings",   "Notes"};

const uint32_t swatch_colours[6] = {0xff202020u, 0xff0080f0u, 0xff40c000u, 0xff80c0f0u, 0xff808080u, 0xffffc000u};

void grey_frame(Element& e) {
    grey_border(e.border_left);
    grey_border(e.border_top);
    grey_border(e.border_right);
    grey_border(e.border_bottom);
}

// Filled, framed by grey lines along its bars, with `content` attached.
void standard_scroll_pane(ScrollPane& pane, Element& content) {
    pane.fill = true;
    grey_border(pane.hbar.border_top);
    grey_border(pane.vbar.border_left);
    pane.hthumb.background_palette = gradient(11);
    pane.hthumb.hover_palette = gradient(8);
    grey_border(pane.hthumb.border_left);
    grey_border(pane.hthumb.border_right);
    pane.vthumb.background_palette = gradient(10);
    pane.vthumb.hover_palette = gradient(0);
    grey_border(pane.vthumb.border_top);
    grey_border(pane.vthumb.border_bottom);
    attach_content(pane, content);
}

// The "Entity-Set" and "Script-Parse" headings.
void heading(Element& e, const char* caption, int32_t P) {
    align(e, -1, 0);
    padding(e, 2 * P, 0, 2 * P, 0);
    e.typeface = face(1);
    e.text_colour = colour(8);
    e.background_palette = gradient(11);
    grey_frame(e);
    e.set_text(caption);
}

// A Save button of the capture panes.
void save_button(Element& b, int32_t x, int32_t P, int32_t T, ClickCallback click) {
    rect(b, x, P, 2 * (T - P), T - 2 * P);
    align(b, 0, 0);
    b.typeface = face(7);
    b.text_colour = colour(8);
    b.background_palette = gradient(11);
    b.hover_palette = gradient(8);
    grey_frame(b);
    b.set_text("Save");
    b.click_handler = click;
}

// The file-name line of a capture pane.
void name_line(Element& e, const std::string& text, int8_t align_x, int32_t pad, int32_t face_index) {
    align(e, align_x, 0);
    padding(e, pad, 0, pad, 0);
    e.typeface = face(face_index);
    e.background_colour = colour(4);
    e.text_colour = colour(8);
    grey_frame(e);
    e.set_text(text);
}

void parse_report_pane(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width, R = m.row_height, B = m.bar_height;
    const int32_t W = m.popup_width, H = m.popup_height;
    ParsePaneWidgets& w = a.popup_contents.parse;
    FillLayout& content = a.popup_frames[FRAME_PARSE].body;

    heading(w.entity_heading, "Entity-Set", P);
    rect(w.entity_heading, P, P, 3 * T + 1, R + 1);
    rect(w.entity_list_frame, P, P + R, 3 * T + 1, H - T - 3 * P - R);
    heading(w.script_heading, "Script-Parse", P);
    rect(w.script_heading, 3 * T + P, P, W - 3 * T - 2 * P, R + 1);
    const int32_t s = w.script_heading.text_width;
    Element& name = w.script_name_label;
    rect(name, 3 * T + 5 * P + s, P, W - 3 * T - 6 * P - 2 - s, R + 1);
    align(name, -1, 0);
    padding(name, 2 * P, 0, 2 * P, 0);
    name.text_colour = colour(8);
    grey_border(name.border_left);
    name.depth_offset = 1.0;
    name.set_text("?");
    rect(w.section_frame, 3 * T + P, P + R, W - 3 * T - 2 * P, H - T - 3 * P - R);
    for (Element* e : {static_cast<Element*>(&w.entity_heading), static_cast<Element*>(&w.entity_list_frame),
                       static_cast<Element*>(&w.script_heading), &name, static_cast<Element*>(&w.section_frame)})
        append(content, *e);

    rect(a.parse_entity_list, 0, 0, 3 * T, 3 * T);
    standard_scroll_pane(a.parse_entity_scroll, a.parse_entity_list);
    grey_frame(a.parse_entity_scroll);
    append(w.entity_list_frame, a.parse_entity_scroll);

    append(a.parse_section_text, w.section_rows);
    standard_scroll_pane(a.parse_section_scroll, a.parse_section_text);
    grey_frame(a.parse_section_scroll);
    append(w.section_frame, a.parse_section_scroll);
    for (int32_t i = 0; i < 7; ++i) {
        FillLayout& h = w.section_headings[i];
        rect(h, 0, i * B, w.section_frame.width, B);
        align(h, -1, 0);
        padding(h, P, 0, P, 0);
        h.typeface = face(4);
        h.text_colour = colour(8);
        h.background_palette = gradient(11);
        grey_border(h.border_top);
        grey_border(h.border_bottom);
        h.set_text(std::string("\t ") + section_names[i] + ": [0]");
        Element& body = w.section_texts[i];
        rect(body, 0, i * B, w.section_frame.width, B);
        body.typeface = face(11);
        body.text_colour = colour(8);
        padding(body, P + P / 2, P, P + P / 2, P);
        body.set_text("...");
        append(w.section_rows, h);
        append(w.section_rows, body);
    }
}

void capture_panes(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width, W = m.popup_width;
    PopupContentWidgets& w = a.popup_contents;

    w.snapshot_holder.fill = true;
    append(a.popup_frames[FRAME_CAPTURE].body, w.snapshot_holder);
    rect(w.snapshot_preview, 0, 0, 256, 256);
    w.snapshot_preview.background_colour = a.capture.snapshot_background.data();
    append(w.snapshot_holder, w.snapshot_preview);
    FillLayout& snapshot_bar = a.popup_frames[FRAME_CAPTURE].footer;
    rect(a.snapshot_name_label, P, P, 2 * (128 - T) + 1, T - 2 * P);
    name_line(a.snapshot_name_label, "vrek_snapshot_\nYYYYMMDDhhmmss.png", 0, P, 3);
    save_button(a.snapshot_save_button, 256 - P - 2 * (T - P), P, T, on_click_save_snapshot);
    append(snapshot_bar, a.snapshot_name_label);
    append(snapshot_bar, a.snapshot_save_button);

    w.screenshot_holder.fill = true;
    w.screenshot_holder.layout_handler = layout_snapshot_preview;
    append(a.popup_frames[FRAME_SCREENSHOT].body, w.screenshot_holder);
    rect(a.screenshot_preview, 0, 0, 1, 1);
    a.screenshot_preview.background_colour = a.capture.screenshot_background.data();
    append(w.screenshot_holder, a.screenshot_preview);
    FillLayout& screenshot_bar = a.popup_frames[FRAME_SCREENSHOT].footer;
    rect(a.screenshot_name_label, P, P, W - 2 * P - 2 * (T - P) + 1, T - 2 * P);
    name_line(a.screenshot_name_label, "Output Image File: vrek_screenshot_YYYYMMDDhhmmss.png", -1, 2 * P, 0);
    save_button(a.screenshot_save_button, W - P - 2 * (T - P), P, T, on_click_save_screenshot);
    append(screenshot_bar, a.screenshot_name_label);
    append(screenshot_bar, a.screenshot_save_button);
}

void ppd_button(Element& b, const char* caption, int32_t x, int32_t width, int32_t T, ClickCallback click) {
    rect(b, x, 0, width, T);
    align(b, 0, 0);
    b.typeface = face(1);
    b.text_colour = colour(8);
    b.background_palette = gradient(11);
    b.hover_palette = gradient(8);
    grey_border(b.border_left);
    b.set_text(caption);
    b.click_handler = click;
}

void profile_and_directive_panes(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width, B = m.bar_height;
    const int32_t W = m.popup_width, H = m.popup_height;
    ProfilePaneWidgets& w = a.popup_contents.profile;

    w.halves_holder.fill = true;
    append(a.popup_frames[FRAME_PROFILE].body, w.halves_holder);
    rect(w.halves[0], 1, 0, 3 * T, H - 2 * T);
    rect(w.halves[1], 3 * T, 0, W - 3 * T - 1, H - 2 * T);
    grey_border(w.halves[1].border_left);
    rect(a.ppd_row_list, 0, 0, 100, 100);
    standard_scroll_pane(a.ppd_row_scroll, a.ppd_row_list);
    Label& report = a.ppd_report_label;
    rect(report, 0, 0, 100, 100);
    report.typeface = face(11);
    report.text_colour = colour(8);
    padding(report, P + 1, P, P, P);
    standard_scroll_pane(a.ppd_report_scroll, report);
    append(w.halves[0], a.ppd_row_scroll);
    append(w.halves[1], a.ppd_report_scroll);
    append(w.halves_holder, w.halves[0]);
    append(w.halves_holder, w.halves[1]);

    FillLayout& bar = a.popup_frames[FRAME_PROFILE].footer;
    FillLayout& line = w.script_line;
    rect(line, 0, B, W - 3 * T - 3 * P, T - B);
    align(line, -1, 0);
    padding(line, P, 0, P, 0);
    line.typeface = face(3);
    line.text_colour = colour(8);
    line.set_text("\t ?.vrek");
    ppd_button(w.clipboard_button, "PPD \t\nCLIPBOARD", W - 3 * T - 3 * P, T / 2 + T + 2 * P, T, on_click_copy_ppd);
    ppd_button(w.text_file_button, "PPD \t\nTEXT-FILE", W - T - T / 2 - P, T / 2 + T + P, T, on_click_write_ppd);
    rect(w.swatch_strip, 0, 0, W - 3 * T - 3 * P, B);
    grey_border(w.swatch_strip.border_bottom);
    for (int32_t i = 0; i < 6; ++i) {
        Element& swatch = w.swatches[i];
        rect(swatch, i * T, 0, T, 2 * P);
        grey_border(swatch.border_bottom);
        swatch.background_rgba = swatch_colours[i] & 0x80ffffffu;
        append(w.swatch_strip, swatch);
    }
    for (Element* e : {static_cast<Element*>(&line), &w.clipboard_button, &w.text_file_button,
                       static_cast<Element*>(&w.swatch_strip)})
        append(bar, *e);

    FillLayout& directives = a.popup_contents.directive_text;
    directives.fill = true;
    padding(directives, 2 * P, 2 * P, 2 * P, 2 * P);
    directives.text_colour = colour(8);
    append(a.popup_frames[FRAME_DIRECTIVE].body, directives);
}

// The version number is the last field of the version text.
std::string version_number() {
    const std::string text = version_text;
    return text.substr(text.rfind('|') + 1);
}

std::string joined(const char* const* lines, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

void about_pane(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t L = static_cast<int32_t>(typeface_line_heights[0]);
    // The content fills the whole pane.
    a.ABOUTPANE.centre = &a.about_content;
    append(a.about_content, a.popup_watermarks[0]);
    struct Line {
        std::string text;
        int32_t typeface;
        int32_t top_lines;
    };
    const Line lines[8] = {
        {"About", 9, 3},
        {"Vrekform Inspector", 7, 6},
        {"Version: " + version_number(), 0, 11},
        {"Build-Date: " + build_date_text(), 0, 12},
        {"", 0, 14},
        {"", 0, 15},
        {"Read more in the documentation:", 0, 17},
        {"README.md", 0, 18},
    };
    for (int32_t i = 0; i < 8; ++i) {
        Element& e = a.popup_contents.about_lines[i];
        rect(e, 0, 0, m.popup_width, m.popup_height);
        align(e, 0, -1);
        padding(e, 0, lines[i].top_lines * L, 0, 0);
        e.typeface = face(lines[i].typeface);
        // The lead-in is plain grey, whatever the theme.
        if (i == 6) {
            e.text_rgba = grey_rgba;
        } else {
            e.text_colour = colour(8);
        }
        e.depth_offset = 0.5;
        e.set_text(lines[i].text);
        append(a.about_content, e);
    }
}

void help_pane(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding, T = m.menu_half_width, W = m.popup_width, H = m.popup_height;
    const int32_t L = static_cast<int32_t>(typeface_line_heights[0]);
    FillLayout& content = a.popup_frames[FRAME_HELP].body;
    append(content, a.popup_watermarks[1]);
    struct Text {
        std::string text;
        int8_t align_x;
        int32_t typeface;
        int32_t top;
    };
    const Text texts[6] = {
        {"Instructions", -1, 7, 2 * P},
        {joined(startup_hint_lines.data(), startup_hint_lines.size()), -1, 0, 2 * (P + L)},
        {"Keyboard Shortcuts", -1, 7, 2 * (P + 3 * L)},
        {joined(keyboard_shortcut_hints.data(), keyboard_shortcut_hints.size()), -1, 0, 2 * (P + 4 * L)},
        {"Camera Control", 1, 7, 2 * P},
        {joined(movement_hints.data(), movement_hints.size()), 1, 0, 2 * (P + L)},
    };
    for (int32_t i = 0; i < 6; ++i) {
        Element& e = a.popup_contents.help_texts[i];
        rect(e, 0, 0, W, H - T - P);
        align(e, texts[i].align_x, -1);
        padding(e, 2 * P, texts[i].top, 2 * P, 2 * P);
        e.typeface = face(texts[i].typeface);
        e.text_colour = colour(8);
        e.depth_offset = 0.5;
        e.set_text(texts[i].text);
        append(content, e);
    }

    FillLayout& toggle = a.help_hover_toggle;
    rect(toggle, W - 4 * T, H - T - 8 * P, 2 * (2 * T - P), 5 * P);
    align(toggle, 0, 0);
    padding(toggle, 0, 0, T - P / 2, 0);
    toggle.typeface = face(3);
    toggle.text_colour = colour(8);
    toggle.background_palette = gradient(11);
    toggle.hover_palette = gradient(8);
    toggle.selected_palette = gradient(8);
    grey_frame(toggle);
    toggle.depth_offset = 0.5;
    toggle.set_text("select to toggle mouse-hover\ntriggered tooltips on and off");
    toggle.click_handler = on_click_toggle_help_hover_tips;
    Element& caption = a.popup_contents.hover_hints_caption;
    rect(caption, 3 * T - 2 * P + P / 2, 0, T - P / 2, 5 * P);
    align(caption, 0, 0);
    caption.typeface = face(4);
    caption.text_colour = colour(8);
    grey_frame(caption);
    caption.set_text("Hover\nHints");
    append(toggle, caption);
    append(content, toggle);
}

// The three message boxes' bodies; their title labels take the place of the
// frames' fixed titles, so a shown box names its message.
void message_bodies(AppContext& a) {
    const int32_t P = a.ui_metrics.ui_padding;
    struct Body {
        int32_t frame;
        int8_t align_x;
        int32_t typeface;
        int32_t pad;
    };
    const Body bodies[3] = {{FRAME_INFO, -1, 0, 2 * P}, {FRAME_ERROR, -1, 6, 4 * P}, {FRAME_WARNING, 0, 6, 4 * P}};
    for (int32_t k = 0; k < 3; ++k) {
        PopupFrame& f = a.popup_frames[bodies[k].frame];
        Label& text = a.message_texts[k];
        text.text_colour = colour(8);
        align(text, bodies[k].align_x, -1);
        padding(text, bodies[k].pad, bodies[k].pad, bodies[k].pad, bodies[k].pad);
        text.typeface = face(bodies[k].typeface);
        // The text scrolls in the body; its bar shows only while the text
        // is taller than the box can grow (the overlay's layout sizes both).
        ScrollPane& scroll = a.message_scrolls[k];
        scroll.fill = true;
        scroll_decoration(scroll, a.ui_metrics.thin_border);
        attach_content(scroll, text);
        append(f.body, scroll);

        Label& title = a.message_titles[k];
        const Label& fixed = f.title_label;
        rect(title, fixed.x, fixed.y, fixed.width, fixed.height);
        align(title, fixed.align_x, fixed.align_y);
        title.typeface = fixed.typeface;
        title.text_colour = fixed.text_colour;
        title.set_text(fixed.text);
        for (Element*& child : f.title_bar.children) {
            if (child == &f.title_label) child = &title;
        }
        if (f.title_bar.centre == &f.title_label) f.title_bar.centre = &title;
    }
}

}  // namespace

void build_report_and_capture_panes(AppContext& app) {
    parse_report_pane(app);
    capture_panes(app);
    profile_and_directive_panes(app);
}

void build_about_help_and_message_bodies(AppContext& app) {
    about_pane(app);
    help_pane(app);
    message_bodies(app);
}

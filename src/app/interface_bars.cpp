#include <string>

#include "app/app_context.h"
#include "app/builder_support.h"
#include "app/interface_builder.h"
#include "app/interface_menus.h"

using namespace builder;

namespace {

void environment_tabs(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    // The strip points into this vector: its children go before the vector
    // is resized.
    FillLayout& strip = a.environment_tab_strip;
    strip.children.clear();
    a.environment_tabs.resize(1);
    Element& tab = a.environment_tabs[0];
    rect(tab, 1, 0, 64, m.row_height - m.ui_padding - 2);
    align(tab, 0, 0);
    tab.border_left.width = 1;
    tab.border_left.colour = colour(2);
    tab.border_right.width = 1;
    tab.border_right.colour = colour(2);
    tab.background_palette = gradient(8);
    tab.text_colour = colour(8);
    tab.set_text("env0");

    rect(strip, m.ui_padding, 1, 66, m.row_height - m.ui_padding - 1);
    for (Border* edge : {&strip.border_left, &strip.border_right, &strip.border_bottom}) {
        edge->width = edge == &strip.border_bottom ? 2 : 1;
        edge->colour = colour(2);
    }
    if (!a.environment_tabs.empty()) append(strip, a.environment_tabs[0]);
    append(a.TABSCROLL, strip);

    FillLayout& preview = a.environment_preview;
    rect(preview, m.ui_padding + 2 * m.menu_half_width - 32, a.frame.window_height - m.row_height - 98, 132, 98);
    preview.background_colour = colour(2);
    preview.visible = false;
    preview.depth_offset = 2.0;
    rect(a.environment_preview_frame, 2, 2, 128, 96);
    a.environment_preview_frame.background_colour = colour(1);
    rect(a.environment_preview_image, 0, -16, 128, 128);
    a.environment_preview_image.sprite = 0;
    Element& close = a.environment_preview_close;
    rect(close, 130 - m.row_height, -4, m.row_height, m.row_height);
    close.icon = 1;
    close.depth_offset = 1.0;
    close.layer = 1;
    append(a.environment_preview_frame, a.environment_preview_image);
    append(a.environment_preview_frame, close);
    append(preview, a.environment_preview_frame);
}

void tip_row_hint_bar_and_status(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding;

    Label& placeholder = a.script_placeholder_label;
    align(placeholder, -1, 0);
    padding(placeholder, P, 0, P, 2);
    placeholder.text_colour = colour(8);
    placeholder.set_text("(open a vrekform script file...)");
    rect(placeholder, 0, 0, placeholder.text_width + 2 * P, m.row_height);
    a.io_settings.placeholder_text_width = placeholder.text_width;

    Label& title = a.tip_menu_title;
    rect(title, m.row_height + P / 2, 0, 2 * m.menu_half_width - m.row_height, m.row_height);
    align(title, -1, 0);
    padding(title, P / 2, 0, 0, 1);
    border(title.border_right, m.thin_border, 2);
    title.typeface = face(1);
    title.text_colour = colour(8);
    title.visible = false;
    rect(a.tip_menu_icon, P / 2, 0, m.row_height, m.row_height);
    a.tip_menu_icon.visible = false;
    append(a.TIPSCROLL, placeholder);
    append(a.TIPSCROLL, title);
    append(a.TIPSCROLL, a.tip_menu_icon);

    for (Label* l : {&a.hint_caption, &a.hint_text}) {
        l->fill = true;
        padding(*l, P, P, P, P);
        l->margin_left = m.row_height + 2 * P;
        l->text_colour = colour(8);
    }
    a.hint_caption.typeface = face(1);
    align(a.hint_caption, -1, -1);
    a.hint_text.typeface = face(3);
    align(a.hint_text, -1, 1);
    rect(a.hint_icon, P / 2, 0, m.row_height + 2 * P, m.row_height + 2 * P);
    append(a.HINTBAR, a.hint_icon);
    append(a.HINTBAR, a.hint_caption);
    append(a.HINTBAR, a.hint_text);
    // The hint bar starts with the OPEN button's tip.
    a.hint_icon.icon = 0;
    a.hint_caption.text = "open script \t [ ctrl + o ]";
    a.hint_caption.measure_text(a.hint_caption.text);
    a.hint_text.text = "(select to open a vrekform script file)";
    a.hint_text.measure_text(a.hint_text.text);

    Label& status = a.status_label;
    align(status, -1, 0);
    padding(status, P, 0, P, 0);
    status.text_colour = colour(8);
    status.set_text("env0 | 0 entities | 720 x 480 | free-roam | eye(-1.00,1.00,3.00) | look(0.30,-0.30,-0.90)");
    rect(status, 0, 0, status.text_width + 2 * P, m.bar_height);
    a.io_settings.status_text_width = status.text_width;
    append(a.STATSCROLL, status);
}

void tool_bar_buttons(AppContext& a) {
    const int32_t T = a.ui_metrics.thick_border;
    Element* left[3] = {&a.OPEN, &a.PARSE, &a.ASSEMBLE};
    Element* right[3] = {&a.CAPTURE, &a.EXPORT, &a.SETTINGS};
    const int32_t left_icons[3] = {0, 40, 41}, right_icons[3] = {21, 4, 3};
    for (size_t i = 0; i < 3; ++i) {
        border(left[i]->border_right, T, 2);
        tip(*left[i], tool_bar_left_tips[i]);
        left[i]->icon = left_icons[i];
        border(right[i]->border_left, T, 1);
        tip(*right[i], tool_bar_right_tips[i]);
        right[i]->icon = right_icons[i];
    }
}

void text_tabs(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    Label* sides[3] = {&a.CONSOLE, &a.ENTITY, &a.PARAMETER};
    const char* const side_captions[3] = {"CONSOLE", "ENTITY", "PARAMETER"};
    for (size_t i = 0; i < 3; ++i) {
        Label& tab = *sides[i];
        tab.typeface = face(1);
        border(tab.border_right, m.thin_border, 2);
        tab.selected_palette = gradient(8);
        padding(tab, 0, 0, 0, 1);
        tip(tab, pane_tab_tips[i]);
    }
    a.ENVIRONMENT.typeface = face(0);
    border(a.ENVIRONMENT.border_right, m.thick_border, 2);
    tip(a.ENVIRONMENT, add_environment_tip);
    for (Label* tab : {&a.ABOUT, &a.HELP}) border(tab->border_left, m.thick_border, 1);
    tip(a.ABOUT, about_tip);
    tip(a.HELP, help_tip);
    Label* all[6] = {&a.CONSOLE, &a.ENTITY, &a.PARAMETER, &a.ENVIRONMENT, &a.ABOUT, &a.HELP};
    const char* const captions[6] = {side_captions[0], side_captions[1], side_captions[2],
                                     "+ Environment", "About", "Help"};
    for (size_t i = 0; i < 6; ++i) {
        all[i]->text_colour = colour(8);
        align(*all[i], 0, 0);
        all[i]->hover_palette = gradient(8);
        all[i]->set_text(captions[i]);
    }
}

void menu_bar_buttons(AppContext& a) {
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

void popup_frames(AppContext& a) {
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

}  // namespace

void build_bars_and_menus(AppContext& a) {
    environment_tabs(a);
    tip_row_hint_bar_and_status(a);
    tool_bar_buttons(a);
    text_tabs(a);
    menu_bar_buttons(a);
    build_view_menu_stage(a);
    build_colour_and_slider_bars(a);
    build_settings_menu_stage(a);
    popup_frames(a);
}

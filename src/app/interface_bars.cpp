#include <string>

#include "app/app_context.h"
#include "app/builder_support.h"
#include "app/interface_builder.h"

using namespace builder;

namespace {

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
    // The inspector's mode cell leads the bar; it shows only while the bar
    // reads out a pick.
    append(a.HINTBAR, a.llmi_caption);
    a.llmi_caption.visible = false;
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

}  // namespace

void build_tab_tip_and_tool_bars(AppContext& a) {
    tip_row_hint_bar_and_status(a);
    tool_bar_buttons(a);
    text_tabs(a);
}

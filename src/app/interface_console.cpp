#include "app/app_context.h"
#include "app/builder_support.h"
#include "app/interface_builder.h"
#include "panes/console/console_panes.h"

using namespace builder;

void build_console_panes(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t P = m.ui_padding;

    Label& title = a.console_title;
    title.typeface = face(4);
    title.text_colour = colour(8);
    padding(title, P, P - 2, P, P - 2);
    title.set_text("VREK Entity-Inspector");
    rect(title, 0, 0, title.text_width + 2 * P, title.text_height + 2 * P - 4);
    append(a.console_text, title);

    FillLayout& text = a.console_text;
    text.text_colour = colour(8);
    text.typeface = face(3);
    padding(text, P, P - 2, P, P - 2);
    const Environment* env = a.entities.current_environment;
    if (env != nullptr) text.set_text_lines(env->trace_log.console_lines, env->trace_log.console_count);
    rect(text, 0, 0, text.text_width + 2 * P, text.text_height + 2 * P - 4);

    a.console_scroll.fill = true;
    scroll_decoration(a.console_scroll, m.thin_border);
    attach_content(a.console_scroll, text);
    append(a.CONSOLEUPPER, a.console_scroll);

    FillLayout& strip = a.trace_tab_strip;
    rect(strip, 0, 0, m.side_pane_width, m.bar_height);
    strip.background_palette = gradient(11);
    border(strip.border_bottom, m.thin_border, 9);
    const char* const captions[4] = {"KERNEL", "SCRIPT", "FILE-IO", "ERROR"};
    const int32_t q = m.side_pane_width / 4;
    for (int i = 0; i < 4; ++i) {
        Label& tab = a.trace_tabs[i];
        // The last tab takes the remainder, so the four fill the pane.
        rect(tab, i * q, 0, i == 3 ? m.side_pane_width - 3 * q : q, m.bar_height);
        tab.typeface = face(4);
        tab.text_colour = colour(8);
        align(tab, 0, 0);
        tab.hover_palette = gradient(8);
        tab.selected_palette = gradient(8);
        if (i < 3) border(tab.border_right, m.thin_border, 2);
        tip(tab, trace_toggle_tips[static_cast<size_t>(i)]);
        tab.selected = i == 0;
        tab.set_text(captions[i]);
        append(strip, tab);
    }
    append(a.CONSOLELOWER, strip);
    for (int i = 0; i < 4; ++i) {
        ScrollPane& pane = a.trace_panes[i];
        pane.fill = true;
        pane.margin_top = m.bar_height;
        scroll_decoration(pane, m.thin_border);
        Label& label = a.trace_labels[i];
        label.typeface = face(3);
        label.text_colour = colour(8);
        padding(label, P, P, P, P);
        attach_content(pane, label);
        pane.set_layout_callback(trace_view_layout(i));
        pane.visible = i == 0;
        append(a.CONSOLELOWER, pane);
    }
}

#include "context/app_context.h"
#include "app/builder_support.h"
#include "app/interface_builder.h"

using namespace builder;

void build_environment_tabs(AppContext& a) {
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

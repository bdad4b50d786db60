#pragma once
#include <cstdint>

#include "ui/element.h"
#include "ui/theme.h"

// One row of a selectable report list (the parse report's scripts, the
// profiling viewer's entities): stacked at index x height, left-aligned and
// padded, a thin grey rule under it, theme text with hover and selection
// gradients. Text, typeface, width and click stay with the caller.
inline void style_report_list_row(Element& row, int32_t index, int32_t height, int32_t pad, int32_t rule_width) {
    row.x = 0;
    row.y = index * height;
    row.height = height;
    row.align_x = -1;
    row.align_y = 0;
    row.padding_left = pad;
    row.padding_right = pad;
    row.border_bottom.width = rule_width;
    row.border_bottom.rgba = 0xff808080u;
    row.text_colour = active_theme.colours[8];
    row.hover_palette = &active_theme.palettes[8];
    row.selected_palette = &active_theme.palettes[7];
}

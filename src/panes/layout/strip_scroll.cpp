#include "panes/layout/strip_scroll.h"

#include <algorithm>

int32_t scroll_offset(int32_t view, int32_t content, double fraction) {
    return static_cast<int32_t>((static_cast<double>(view) - content) * fraction);
}

double stepped_fraction(double fraction, int32_t direction, double step) {
    return std::clamp(fraction + step * direction, 0.0, 1.0);
}

int32_t tool_strip_start(int32_t view, int32_t metric, double fraction) {
    if (tool_strip_overflows(view, metric)) return scroll_offset(view, 8 * metric, fraction);
    return (view - 8 * metric) >> 1;
}

int32_t menu_strip_start(int32_t view, int32_t metric, double fraction) {
    return menu_strip_overflows(view, metric) ? scroll_offset(view, 10 * metric, fraction) : 0;
}

int32_t tab_strip_x(int32_t view, int32_t strip, int32_t spacing, double fraction) {
    if (!tab_strip_overflows(view, strip, spacing)) return spacing;
    return spacing + scroll_offset(view - 2 * spacing, strip, fraction);
}

SliderStripGeometry slider_strip_geometry(int32_t view, int32_t min_width, double fraction) {
    SliderStripGeometry g;
    const bool scrolls = slider_strip_overflows(view, min_width);
    const int32_t width = scrolls ? min_width : view;
    g.strip_x = scrolls ? scroll_offset(view, min_width, fraction) : 0;
    g.strip_width = width;
    const int32_t quarter = width / 4;
    for (int32_t i = 0; i < 4; ++i) {
        g.cell_x[i] = i * quarter;
        g.cell_width[i] = quarter;
    }
    // A bar wider than the least width gives its remainder to the last cell.
    if (!scrolls) g.cell_width[3] += width % 4;
    return g;
}

int32_t file_list_thumb_y(int32_t track, int32_t row_height, double fraction) {
    return static_cast<int32_t>((static_cast<double>(track) - row_height + 2) * fraction) - 1 -
           static_cast<int32_t>(fraction);
}

double file_list_slider_fraction(int32_t y, int32_t slider_height, int32_t row_height) {
    const double travel = static_cast<double>(slider_height) - row_height;
    if (travel <= 0.0) return 0.0;
    return std::clamp((y - row_height * 0.5) / travel, 0.0, 1.0);
}

int32_t command_list_offset(int32_t offset, int32_t direction, int32_t view, int32_t content) {
    if (content <= view) return offset;
    const int64_t moved = static_cast<int64_t>(offset) - 48 * static_cast<int64_t>(direction);
    if (moved >= 1) return 0;
    const int64_t bound = static_cast<int64_t>(view) - content;
    return static_cast<int32_t>(moved < bound ? bound : moved);
}

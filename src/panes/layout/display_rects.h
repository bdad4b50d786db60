#pragma once
#include <cstdint>

// Where the 3D view is drawn: the view rectangle, the multi-view viewport's
// rectangle and how much of it the bars cover on each side. Pure arithmetic
// behind app_apply_display_options.

struct DisplayInputs {
    int32_t side_pane_width = 256;  // P
    int32_t menu_half_width = 56;   // T
    int32_t row_height = 32;        // R
    int32_t bar_height = 24;        // S
    bool frame_mode = false;
    bool ui_hidden = false;
    bool minimal_layout = false;
    bool side_pane_open = false;
    bool settings_menu_shown = false;
    bool v_flip_mode = false;
    bool panes_collapsed = false;
    bool multi_view = true;
    // Visible bytes of the bars that cover the view.
    bool directive_pane_visible = false;
    bool strip_backdrop_visible = false;
    bool colour_bar_visible = false;
    bool slider_bar_visible = false;
};

struct DisplayRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const DisplayRect& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

struct DisplayInsets {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const DisplayInsets& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct DisplayRects {
    DisplayRect view;
    // False: the viewport keeps its rectangle and insets.
    bool viewport_changed = false;
    DisplayRect viewport;
    DisplayInsets insets;
};

DisplayRects compute_display_rects(const DisplayInputs& in, int32_t width, int32_t height);

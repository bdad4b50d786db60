#include "panes/layout/display_rects.h"

DisplayRects compute_display_rects(const DisplayInputs& in, int32_t W, int32_t H) {
    const int32_t P = in.side_pane_width, T = in.menu_half_width, R = in.row_height, S = in.bar_height;
    const int32_t directive = in.directive_pane_visible ? 2 * T : 0;
    const int32_t backdrop = in.strip_backdrop_visible ? R : 0;
    DisplayRects out;

    if (in.minimal_layout) {
        out.viewport_changed = true;
        if (in.ui_hidden) {
            if (in.panes_collapsed) {
                out.view = {0, 0, W - directive, H};
            } else {
                out.view = {0, 0, W, H};
                out.insets = {0, 0, directive, 0};
            }
        } else {
            const int32_t left = in.side_pane_open ? P : 3 * T;
            if (in.frame_mode) {
                out.view = {left, 0, W - left, H};
                out.insets = {0, 0, directive, 0};
            } else {
                out.view = {0, 0, W, H};
                out.insets = {left, 0, directive, 0};
            }
        }
        out.viewport = out.view;
        return out;
    }

    if (in.frame_mode && !in.ui_hidden) {
        const int32_t left = in.side_pane_open ? P : 0;
        const int32_t right = in.settings_menu_shown ? T : 0;
        out.view = {left, in.v_flip_mode ? R + S : T + R, W - left - right, H - T - 2 * R - S};
    } else {
        out.view = {0, 0, W, H};
        if (in.ui_hidden && in.panes_collapsed) {
            out.view.width = W - directive;
            out.view.height = H - backdrop;
            if (in.v_flip_mode) out.view.y = backdrop;
        }
    }
    if (!in.multi_view) return out;
    out.viewport_changed = true;
    out.viewport = out.view;

    if (!in.ui_hidden) {
        int32_t first = in.colour_bar_visible ? S : 0;
        int32_t second = in.slider_bar_visible ? S : 0;
        int32_t right = directive;
        int32_t left = 0;
        if (!in.frame_mode) {
            if (in.side_pane_open) left = P;
            first += T + R;
            second += R + S;
            if (in.settings_menu_shown) right += T;
        }
        out.insets = in.v_flip_mode ? DisplayInsets{left, second, right, first} : DisplayInsets{left, first, right, second};
    } else if (!in.panes_collapsed) {
        out.insets.right = directive;
        if (in.v_flip_mode) {
            out.insets.top = backdrop;
        } else {
            out.insets.bottom = backdrop;
        }
    }
    return out;
}

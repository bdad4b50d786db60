#include "ui/layouts.h"

#include <cstdio>

namespace {

void place(Element* e, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (e == nullptr) return;
    e->x = x;
    e->y = y;
    e->width = w;
    e->height = h;
}

}  // namespace

void FillLayout::layout(int32_t w, int32_t h) {
    for (Element* child : children) {
        if (child == nullptr || !child->fill) continue;
        int32_t cx = child->margin_left + padding_left;
        int32_t cy = child->margin_top + padding_top;
        place(child, cx, cy, w - cx - child->margin_right - padding_right,
              h - cy - child->margin_bottom - padding_bottom);
    }
    if (layout_handler) layout_handler(w, h);
    relayout_children();
}

void BorderLayout::layout(int32_t w, int32_t h) {
    const int32_t l = left_size, t = top_size, r = right_size, b = bottom_size;
    if (l > 0) place(left, 0, t, l, h - t - b);
    if (t > 0) place(top, 0, 0, w, t);
    if (r > 0) place(right, w - r, t, r, h - t - b);
    if (b > 0) place(bottom, 0, h - b, w, b);
    place(centre, l, t, w - l - r, h - t - b);
    if (layout_handler) layout_handler(w, h);
    relayout_children();
}

void SplitLayout::set_panes(Element* first_pane, Element* second_pane, Element* divider_element) {
    children.clear();
    first = first_pane;
    second = second_pane;
    divider = divider_element;
    if (first) children.push_back(first);
    if (second) children.push_back(second);
    if (divider) children.push_back(divider);
}

void SplitLayout::layout(int32_t w, int32_t h) {
    if (orientation == 0 || orientation == 1) {
        const int o = orientation;
        const int32_t length = o == 0 ? w : h;
        const double avail = static_cast<double>(length) - divider_thickness;
        int32_t pos = 0;
        // Without room for the panes the ratio is kept and both panes start
        // at 0: dividing by a zero or negative length would give nonsense.
        if (avail > 0.0) {
            double r = ratio;
            if (static_cast<int64_t>(length) >=
                static_cast<int64_t>(min_first[o]) + min_second[o] + divider_thickness) {
                if (min_first[o] > r * avail) {
                    r = min_first[o] / avail;
                } else if (min_second[o] > (1.0 - r) * avail) {
                    r = 1.0 - min_second[o] / avail;
                }
            }
            if (o == 1) {
                if (max_first[o] >= 0) {
                    if (r * avail > max_first[o]) r = max_first[o] / avail;
                } else if (max_second[o] >= 0) {
                    if ((1.0 - r) * avail > max_second[o]) r = 1.0 - max_second[o] / avail;
                }
            }
            ratio = r;
            pos = truncate_to_int(r * avail + 0.5);
        }
        divider_pos[o] = pos;
        divider_end[o] = pos + divider_thickness;
        if (o == 0) {
            place(first, 0, 0, pos, h);
            place(second, pos + divider_thickness, 0, w - pos - divider_thickness, h);
            place(divider, pos, 0, divider_thickness, h);
        } else {
            place(first, 0, 0, w, pos);
            place(second, 0, pos + divider_thickness, w, h - pos - divider_thickness);
            place(divider, 0, pos, w, divider_thickness);
        }
    }
    if (layout_handler) layout_handler(w, h);
    relayout_children();
}

bool SplitLayout::on_mouse_down(int32_t px, int32_t py, int32_t button) {
    const int o = orientation == 0 ? 0 : 1;
    if (button == 0 && divider_draggable) {
        press_x = px;
        press_y = py;
        press_ratio = ratio;
        const int32_t c = o == 0 ? px : py;
        dragging = divider_pos[o] < c && c <= divider_end[o];
        if (dragging) {
            claim_pointer(*this);
            drag_element = this;
            return true;
        }
        return Container::on_mouse_down(px, py, button);
    }
    if (dragging) {
        if (button == 0) {
            claim_pointer(*this);
            drag_element = this;
        }
        return true;
    }
    return Container::on_mouse_down(px, py, button);
}

bool SplitLayout::on_drag(int32_t px, int32_t py, int32_t button) {
    if (button != 0 || !dragging) return Container::on_drag(px, py, button);
    const bool across = orientation == 0;
    const int32_t length = across ? width : height;
    const double avail = static_cast<double>(length) - divider_thickness;
    // A split with no room between its ends has nothing to move.
    if (avail <= 0.0) return true;
    const int64_t moved = across ? int64_t{px} - press_x : int64_t{py} - press_y;
    ratio = press_ratio + static_cast<double>(moved) / avail;
    relayout();
    refresh();
    return true;
}

bool SplitLayout::on_mouse_up(int32_t px, int32_t py, int32_t button) {
    if (button == 0) {
        if (dragging) {
            drag_element = nullptr;
            std::fputs("*** SPLIT-LAYOUT-MOUSE-UP ***\n", stdout);
            std::fflush(stdout);
        }
        dragging = false;
    }
    return Container::on_mouse_up(px, py, button);
}

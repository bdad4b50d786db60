#include "ui/root_input.h"

#include "ui/element.h"

namespace {

bool inside_inclusive(int32_t px, int32_t py, int32_t rx, int32_t ry, int32_t rw, int32_t rh) {
    return px >= rx && static_cast<int64_t>(px) <= static_cast<int64_t>(rx) + rw && py >= ry &&
           static_cast<int64_t>(py) <= static_cast<int64_t>(ry) + rh;
}

bool pointer_within(const Element& e, int32_t px, int32_t py) {
    return inside_inclusive(px, py, e.abs_x, e.abs_y, e.abs_width, e.abs_height) &&
           inside_inclusive(px, py, e.clip_x, e.clip_y, e.clip_width, e.clip_height);
}

}  // namespace

void refresh_root(Container& root) {
    if (root.refresh_handler) root.refresh_handler();
    for (size_t i = 0; i < root.children.size(); ++i) {
        if (root.children[i] != nullptr) root.children[i]->refresh();
    }
}

bool root_mouse_press(Container& root, int32_t x, int32_t y, int32_t button) {
    bool result = root.dispatch_mouse_down(x, y, button);
    if (focus_element != nullptr) {
        ensure_element_id(*focus_element);
        if (active_element_id != focus_element->id) {
            focus_element->release_focus();
            root.refresh();
        }
    }
    return result;
}

bool root_mouse_release(Container& root, int32_t x, int32_t y, int32_t button) {
    bool result = root.dispatch_mouse_up(x, y, button);
    if (drag_element != nullptr) drag_element->on_mouse_up(0, 0, 0);
    active_element_id = -1;
    return result;
}

bool root_pointer_motion(Container& root, int32_t x, int32_t y) {
    bool result = root.dispatch_motion(x, y, 0);
    if (hover_element != nullptr && !pointer_within(*hover_element, x, y)) {
        hover_element->hovered = false;
        hover_element = nullptr;
        refresh_root(root);
    }
    if (tooltip_element != nullptr && !pointer_within(*tooltip_element, x, y)) {
        tooltip_element = nullptr;
    }
    return result;
}

void relayout_root(Container& root) {
    if (root.layout_handler) root.layout_handler(root.width, root.height);
    root.relayout_children();
}

bool root_wheel(Container& root, int32_t x, int32_t y, int32_t direction) {
    if (!root.eligible() || !root.contains(x, y)) return false;
    bool result = root.dispatch_scroll(x, y, direction);
    if (result && relayout_pending) {
        relayout_pending = false;
        relayout_root(root);
        root.dispatch_motion(x, y, 0);
    }
    return result;
}

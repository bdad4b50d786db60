#include "ui/element.h"

#include <algorithm>

Element::~Element() {
    forget_element(this);
}

bool Element::contains(int32_t px, int32_t py) const {
    // 64-bit sums: a rectangle near the int32 limit must not wrap.
    return px >= x && static_cast<int64_t>(px) <= static_cast<int64_t>(x) + width && py >= y &&
           static_cast<int64_t>(py) <= static_cast<int64_t>(y) + height;
}

void Element::release_focus() {
    if (focused) {
        focused = false;
        focus_element = nullptr;
    }
}

void Element::take_focus() {
    if (focus_element != nullptr) focus_element->release_focus();
    focused = true;
    focus_element = this;
}

void Element::set_layout_callback(LayoutCallback callback) { layout_handler = callback; }

void Element::layout(int32_t w, int32_t h) {
    if (layout_handler) layout_handler(w, h);
}

void Element::relayout() { layout(width, height); }

void Element::set_refresh_callback(RefreshCallback callback) { refresh_handler = callback; }

void Element::refresh() {
    if (refresh_handler) refresh_handler();
}

bool Element::on_mouse_down(int32_t px, int32_t py, int32_t button) {
    if (!mouse_down_handler) return false;
    bool taken = mouse_down_handler(px, py, button);
    if (!taken) return false;
    claim_pointer(*this);
    return taken;
}

bool Element::on_mouse_up(int32_t px, int32_t py, int32_t button) {
    return mouse_up_handler ? mouse_up_handler(px, py, button) : false;
}

bool Element::on_drag(int32_t px, int32_t py, int32_t button) {
    return drag_handler ? drag_handler(px, py, button) : false;
}

bool Element::on_motion(int32_t px, int32_t py, int32_t button) {
    if (tooltip_title != nullptr && tooltip_text != nullptr) tooltip_element = this;
    bool decorated = hover_rgba != 0 || hover_colour != nullptr || hover_palette != nullptr;
    if (!hovered && decorated) {
        hovered = true;
        if (hover_element != nullptr && hover_element != this) hover_element->hovered = false;
        hover_element = this;
        refresh();
    }
    return motion_handler ? motion_handler(px, py, button) : false;
}

bool Element::on_scroll(int32_t px, int32_t py, int32_t direction) {
    return scroll_handler ? scroll_handler(px, py, direction) : false;
}

bool Element::on_key_press(int32_t key, int32_t modifiers) {
    return key_press_handler ? key_press_handler(key, modifiers) : false;
}

bool Element::on_key_release(int32_t key, int32_t modifiers) {
    return key_release_handler ? key_release_handler(key, modifiers) : false;
}

bool Element::on_resize(int32_t w, int32_t h) {
    return resize_handler ? resize_handler(w, h) : false;
}

bool Element::dispatch_click(int32_t, int32_t, int32_t) {
    if (!eligible() || !click_handler) return false;
    click_handler();
    return true;
}

bool Element::dispatch_mouse_down(int32_t px, int32_t py, int32_t button) {
    if (!eligible() || !contains(px, py)) return false;
    return on_mouse_down(px - x, py - y, button);
}

bool Element::dispatch_mouse_up(int32_t px, int32_t py, int32_t button) {
    if (!eligible() || !contains(px, py)) return false;
    return on_mouse_up(px - x, py - y, button);
}

bool Element::dispatch_motion(int32_t px, int32_t py, int32_t button) {
    if (!eligible() || !contains(px, py)) return false;
    return on_motion(px - x, py - y, button);
}

bool Element::dispatch_drag(int32_t px, int32_t py, int32_t button) {
    if (!eligible()) return false;
    ensure_element_id(*this);
    if (id != active_element_id) return false;
    return on_drag(px - x, py - y, button);
}

bool Element::dispatch_scroll(int32_t px, int32_t py, int32_t direction) {
    if (!eligible() || !contains(px, py)) return false;
    return on_scroll(px - x, py - y, direction);
}

bool Element::dispatch_key_press(int32_t key, int32_t modifiers) {
    return enabled ? on_key_press(key, modifiers) : false;
}

bool Element::dispatch_key_release(int32_t key, int32_t modifiers) {
    return enabled ? on_key_release(key, modifiers) : false;
}

bool Element::dispatch_resize(int32_t w, int32_t h) { return on_resize(w, h); }

// --- Container -------------------------------------------------------------

void Container::relayout_children() {
    // Re-read the size each step: a layout callback may append children.
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i] != nullptr) children[i]->relayout();
    }
}

void Container::layout(int32_t w, int32_t h) {
    if (layout_handler) layout_handler(w, h);
    relayout_children();
}

void Container::refresh() {
    if (refresh_handler) refresh_handler();
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i] != nullptr) children[i]->refresh();
    }
}

namespace {

// Offers a point event to the children last to first, each hit-tested in the
// container's frame, until one consumes it. A handler may change the child
// list, so the index is re-checked on every step.
template <typename Fn>
bool offer_to_children(Container& c, int32_t lx, int32_t ly, Fn fn) {
    for (size_t i = c.children.size(); i-- > 0;) {
        if (i >= c.children.size()) continue;
        Element* child = c.children[i];
        if (child == nullptr || !child->eligible() || !child->contains(lx, ly)) continue;
        if (fn(*child)) return true;
    }
    return false;
}

}  // namespace

bool Container::dispatch_click(int32_t px, int32_t py, int32_t button) {
    if (!eligible() || !contains(px, py)) return false;
    int32_t lx = px - x, ly = py - y;
    if (offer_to_children(*this, lx, ly, [&](Element& e) { return e.dispatch_click(lx, ly, button); })) {
        return true;
    }
    if (!click_handler) return false;
    click_handler();
    return true;
}

bool Container::dispatch_mouse_down(int32_t px, int32_t py, int32_t button) {
    if (!eligible() || !contains(px, py)) return false;
    int32_t lx = px - x, ly = py - y;
    if (offer_to_children(*this, lx, ly, [&](Element& e) { return e.dispatch_mouse_down(lx, ly, button); })) {
        return true;
    }
    return on_mouse_down(lx, ly, button);
}

bool Container::dispatch_mouse_up(int32_t px, int32_t py, int32_t button) {
    if (!eligible() || !contains(px, py)) return false;
    int32_t lx = px - x, ly = py - y;
    if (offer_to_children(*this, lx, ly, [&](Element& e) { return e.dispatch_mouse_up(lx, ly, button); })) {
        return true;
    }
    return on_mouse_up(lx, ly, button);
}

bool Container::dispatch_motion(int32_t px, int32_t py, int32_t button) {
    if (!eligible() || !contains(px, py)) return false;
    int32_t lx = px - x, ly = py - y;
    if (offer_to_children(*this, lx, ly, [&](Element& e) { return e.dispatch_motion(lx, ly, button); })) {
        return true;
    }
    return on_motion(lx, ly, button);
}

bool Container::dispatch_drag(int32_t px, int32_t py, int32_t button) {
    if (!eligible()) return false;
    int32_t lx = px - x, ly = py - y;
    for (size_t i = children.size(); i-- > 0;) {
        if (i >= children.size()) continue;
        Element* child = children[i];
        if (child == nullptr || !child->eligible()) continue;
        if (child->dispatch_drag(lx, ly, button)) return true;
    }
    ensure_element_id(*this);
    if (id != active_element_id) return false;
    return on_drag(lx, ly, button);
}

bool Container::dispatch_scroll(int32_t px, int32_t py, int32_t direction) {
    if (!eligible() || !contains(px, py)) return false;
    int32_t lx = px - x, ly = py - y;
    if (offer_to_children(*this, lx, ly, [&](Element& e) { return e.dispatch_scroll(lx, ly, direction); })) {
        return true;
    }
    return on_scroll(lx, ly, direction);
}

bool Container::dispatch_key_press(int32_t key, int32_t modifiers) {
    return eligible() ? on_key_press(key, modifiers) : false;
}

bool Container::dispatch_key_release(int32_t key, int32_t modifiers) {
    return eligible() ? on_key_release(key, modifiers) : false;
}

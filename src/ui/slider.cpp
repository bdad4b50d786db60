#include "ui/slider.h"

#include <algorithm>
#include <cstdio>

namespace {

// Replaces pointers to the source's embedded parts with the copy's own.
void remap(std::vector<Element*>& list, const Element* from, Element* to) {
    for (Element*& e : list) {
        if (e == from) e = to;
    }
}

double clamp_unit(double v) { return v < 0.0 ? 0.0 : std::min(1.0, v); }

}  // namespace

// --- Slider ----------------------------------------------------------------

Slider::Slider(const Slider& other)
    : Container(other),
      thumb(other.thumb),
      value(other.value),
      steps(other.steps),
      thumb_width(other.thumb_width),
      on_changed(other.on_changed),
      on_pressed(other.on_pressed),
      on_released(other.on_released),
      dragging(false) {
    remap(children, &other.thumb, &thumb);
}

void Slider::layout(int32_t w, int32_t h) {
    thumb.x = truncate_to_int(static_cast<double>(w - thumb_width) * value);
    thumb.y = 0;
    thumb.width = thumb_width;
    thumb.height = h;
    if (layout_handler) layout_handler(w, h);
    relayout_children();
}

void Slider::set_value_from_pointer(int32_t px) {
    const double travel = static_cast<double>(width) - thumb_width;
    // A slider no wider than its thumb has no travel to map onto.
    if (travel <= 0.0) return;
    double v = clamp_unit((px - thumb_width * 0.5) / travel);
    if (steps > 0) {
        int32_t k = truncate_to_int(v * steps + 0.5);
        if (k == 0) {
            v = 0.0;
        } else if (k == steps) {
            v = 1.0;
        } else {
            v = static_cast<double>(k) / steps;
        }
    }
    if (v == value) return;
    value = v;
    relayout();
    refresh();
    if (on_changed) on_changed(v);
}

bool Slider::on_mouse_down(int32_t px, int32_t py, int32_t button) {
    if (button == 0) {
        if (on_pressed) on_pressed();
        dragging = true;
        set_value_from_pointer(px);
        claim_pointer(*this);
        drag_element = this;
    }
    if (mouse_down_handler && mouse_down_handler(px, py, button)) claim_pointer(*this);
    return true;
}

bool Slider::on_drag(int32_t px, int32_t py, int32_t button) {
    if (button == 0) {
        ensure_element_id(*this);
        if (active_element_id == id && dragging) {
            set_value_from_pointer(px);
            if (drag_handler) drag_handler(px, py, 0);
            return true;
        }
    }
    return drag_handler ? drag_handler(px, py, button) : false;
}

bool Slider::on_mouse_up(int32_t px, int32_t py, int32_t button) {
    if (button == 0) {
        if (on_released) on_released();
        if (dragging) drag_element = nullptr;
        dragging = false;
    }
    return mouse_up_handler ? mouse_up_handler(px, py, button) : false;
}

// --- ScrollPane ------------------------------------------------------------

ScrollPane::ScrollPane(const ScrollPane& other)
    : Container(other),
      content(other.content),
      view(other.view),
      hbar(other.hbar),
      vbar(other.vbar),
      hthumb(other.hthumb),
      vthumb(other.vthumb),
      scroll_x(other.scroll_x),
      scroll_y(other.scroll_y),
      bar_thickness(other.bar_thickness),
      thumb_length(other.thumb_length),
      dragging_h(false),
      dragging_v(false) {
    remap(children, &other.view, &view);
    remap(children, &other.hbar, &hbar);
    remap(children, &other.vbar, &vbar);
    remap(children, &other.hthumb, &hthumb);
    remap(children, &other.vthumb, &vthumb);
}

void ScrollPane::attach_children() {
    if (content != nullptr) view.children.push_back(content);
    children.push_back(&view);
    children.push_back(&hbar);
    children.push_back(&vbar);
    children.push_back(&hthumb);
    children.push_back(&vthumb);
}

void ScrollPane::layout(int32_t w, int32_t h) {
    const int32_t t = bar_thickness, len = thumb_length;
    const int32_t vw = width - t, vh = height - t;
    view.x = 0;
    view.y = 0;
    view.width = vw;
    view.height = vh;
    if (content != nullptr) {
        content->x = vw < content->width ? truncate_to_int(static_cast<double>(vw - content->width) * scroll_x) : 0;
        content->y = vh < content->height ? truncate_to_int(static_cast<double>(vh - content->height) * scroll_y) : 0;
    }
    hbar.x = 0;
    hbar.y = vh;
    hbar.width = vw + 1;
    hbar.height = t;
    vbar.x = vw;
    vbar.y = 0;
    vbar.width = t;
    vbar.height = vh + 1;
    hthumb.x = truncate_to_int(static_cast<double>(vw - len + 1) * scroll_x) - 1;
    hthumb.y = vh;
    hthumb.width = len + 1;
    hthumb.height = t;
    vthumb.x = vw;
    vthumb.y = truncate_to_int(static_cast<double>(vh - len + 1) * scroll_y) - 1;
    vthumb.width = t;
    vthumb.height = len + 1;
    if (layout_handler) layout_handler(w, h);
    relayout_children();
}

void ScrollPane::scroll_x_from_pointer(int32_t px) {
    const double travel = static_cast<double>(hbar.width) - thumb_length;
    // A bar no longer than its thumb has no travel to map onto.
    if (travel <= 0.0) return;
    double f = clamp_unit((px - thumb_length * 0.5) / travel);
    if (f == scroll_x) return;
    scroll_x = f;
    relayout();
    refresh();
}

void ScrollPane::scroll_y_from_pointer(int32_t py) {
    const double travel = static_cast<double>(vbar.height) - thumb_length;
    if (travel <= 0.0) return;
    double f = clamp_unit((py - thumb_length * 0.5) / travel);
    if (f == scroll_y) return;
    scroll_y = f;
    relayout();
    refresh();
}

bool ScrollPane::on_mouse_down(int32_t px, int32_t py, int32_t button) {
    if (button == 0 && hbar.contains(px, py)) {
        dragging_h = true;
        dragging_v = false;
        scroll_x_from_pointer(px);
    } else if (button == 0 && vbar.contains(px, py)) {
        dragging_v = true;
        dragging_h = false;
        scroll_y_from_pointer(py);
    } else {
        dragging_h = false;
        dragging_v = false;
        if (!mouse_down_handler) return false;
        bool taken = mouse_down_handler(px, py, button);
        if (taken) claim_pointer(*this);
        return taken;
    }
    claim_pointer(*this);
    drag_element = this;
    return true;
}

bool ScrollPane::on_drag(int32_t px, int32_t py, int32_t button) {
    if (button == 0 && id >= 0 && active_element_id == id) {
        if (dragging_h) {
            scroll_x_from_pointer(px);
        } else if (dragging_v) {
            scroll_y_from_pointer(py);
        }
        return true;
    }
    return drag_handler ? drag_handler(px, py, button) : false;
}

bool ScrollPane::on_mouse_up(int32_t px, int32_t py, int32_t button) {
    if (button == 0 && (dragging_h || dragging_v)) {
        drag_element = nullptr;
        std::fputs("*** SCROLL-PANE-MOUSE-UP ***\n", stdout);
        std::fflush(stdout);
    }
    dragging_h = false;
    dragging_v = false;
    return mouse_up_handler ? mouse_up_handler(px, py, button) : false;
}

bool ScrollPane::on_scroll(int32_t px, int32_t py, int32_t direction) {
    bool horizontal;
    if (hbar.contains(px, py)) {
        horizontal = true;
    } else if (view.contains(px, py) && shift_held) {
        horizontal = true;
    } else if (vbar.contains(px, py)) {
        horizontal = false;
    } else if (view.contains(px, py)) {
        horizontal = false;
    } else {
        return scroll_handler ? scroll_handler(px, py, direction) : false;
    }
    double& fraction = horizontal ? scroll_x : scroll_y;
    double f = clamp_unit(fraction + direction * 0.05);
    if (f == fraction) return false;
    fraction = f;
    relayout();
    refresh();
    return true;
}

#pragma once
#include <cstdint>

#include "ui/element.h"
#include "ui/layouts.h"

using ValueCallback = void (*)(double value);
using NotifyCallback = void (*)();

// A horizontal track with one thumb; `value` in [0, 1] drives a setting
// through `on_changed`. The code that builds a slider registers `thumb` as
// its child.
struct Slider : Container {
    Element thumb;
    double value = 0.0;
    int32_t steps = -1;  // <= 0: continuous
    int32_t thumb_width = 8;
    ValueCallback on_changed = nullptr;
    NotifyCallback on_pressed = nullptr;
    NotifyCallback on_released = nullptr;
    bool dragging = false;

    Slider() = default;
    // The copy's child list refers to its own thumb, not the source's.
    Slider(const Slider& other);
    Slider& operator=(const Slider&) = delete;

    void layout(int32_t w, int32_t h) override;
    bool on_mouse_down(int32_t px, int32_t py, int32_t button) override;
    bool on_mouse_up(int32_t px, int32_t py, int32_t button) override;
    bool on_drag(int32_t px, int32_t py, int32_t button) override;

    // Sets the value from a pointer x in the slider's frame (snapped to the
    // steps); relayout, refresh and on_changed only when it changed.
    void set_value_from_pointer(int32_t px);
};

// A view onto a content element, moved by a horizontal bar along the bottom
// edge and a vertical bar along the right edge.
struct ScrollPane : Container {
    Element* content = nullptr;
    FillLayout view;
    Element hbar, vbar;
    Element hthumb, vthumb;
    double scroll_x = 0.0, scroll_y = 0.0;
    int32_t bar_thickness = 12;
    int32_t thumb_length = 24;
    bool dragging_h = false, dragging_v = false;

    ScrollPane() = default;
    // The copy's child lists refer to its own view, bars and thumbs.
    ScrollPane(const ScrollPane& other);
    ScrollPane& operator=(const ScrollPane&) = delete;

    // Puts `content` into the view and the view, bars and thumbs into the
    // pane (thumbs are hit-tested first). Needs `content` set; call once.
    void attach_children();

    void layout(int32_t w, int32_t h) override;
    bool on_mouse_down(int32_t px, int32_t py, int32_t button) override;
    bool on_mouse_up(int32_t px, int32_t py, int32_t button) override;
    bool on_drag(int32_t px, int32_t py, int32_t button) override;
    bool on_scroll(int32_t px, int32_t py, int32_t direction) override;

    // Fractions from a pointer position on the bars; relayout and refresh
    // only when the fraction changed.
    void scroll_x_from_pointer(int32_t px);
    void scroll_y_from_pointer(int32_t py);
};

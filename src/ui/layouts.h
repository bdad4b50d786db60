#pragma once
#include <cstdint>

#include "ui/element.h"

// Stretches every child whose `fill` flag is set over the layout's area
// (inside its padding and the child's margins); other children keep their
// rectangles.
struct FillLayout : Container {
    void layout(int32_t w, int32_t h) override;
};

// Up to five regions: top and bottom span the full width, left, centre and
// right lie between them. The builder adds the regions as children itself.
struct BorderLayout : Container {
    int32_t left_size = 0;
    int32_t top_size = 0;
    int32_t right_size = 0;
    int32_t bottom_size = 0;
    Element* left = nullptr;
    Element* top = nullptr;
    Element* right = nullptr;
    Element* bottom = nullptr;
    Element* centre = nullptr;

    void layout(int32_t w, int32_t h) override;
};

// Two panes and a draggable divider. Orientation 0 puts the panes side by
// side (the split divides the width), 1 stacks them (it divides the height).
// Limits are kept per orientation, indexed by it.
struct SplitLayout : Container {
    int32_t orientation = 0;
    double ratio = 0.5;
    int32_t divider_thickness = 10;
    bool divider_draggable = true;
    Element* first = nullptr;
    Element* second = nullptr;
    Element* divider = nullptr;
    int32_t min_first[2] = {40, 40};
    int32_t min_second[2] = {40, 40};
    int32_t max_first[2] = {-1, -1};
    int32_t max_second[2] = {-1, -1};
    int32_t divider_pos[2] = {0, 0};
    int32_t divider_end[2] = {0, 0};
    int32_t press_x = 0, press_y = 0;
    double press_ratio = 0.0;
    bool dragging = false;

    // Replaces the children with first, second, divider (the non-null ones,
    // in that order, so the divider is hit-tested first).
    void set_panes(Element* first_pane, Element* second_pane, Element* divider_element);

    void layout(int32_t w, int32_t h) override;
    bool on_mouse_down(int32_t px, int32_t py, int32_t button) override;
    bool on_mouse_up(int32_t px, int32_t py, int32_t button) override;
    bool on_drag(int32_t px, int32_t py, int32_t button) override;
};

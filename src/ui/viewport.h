#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "ui/element.h"

// The container over the 3D canvas, divided into cells that each show their
// own camera. Cells are kept as fractions of the viewport's size and rebuilt
// by replaying the recorded splits; every cell carries a bordered container
// with edge grips that split it, eye and lock marks, a close button, its
// number and a centre cross. Bars between cells can be dragged.
struct Viewport : Container {
    int32_t current_cell = 0;   // the cell whose camera is driven
    int32_t hovered_cell = -1;  // under the pointer, -1 none
    ClickCallback on_split_x = nullptr;
    ClickCallback on_split_y = nullptr;
    ClickCallback on_close_cell = nullptr;
    std::vector<Container> cells;
    std::vector<Element> edge_marks;  // four per cell: left, top, right, bottom
    std::vector<Element> edge_zones;  // four per cell, clickable grips
    std::vector<Element> eye_marks;
    std::vector<Element> lock_marks;
    std::vector<Element> close_buttons;
    std::vector<Element> cell_labels;
    std::vector<Element> cross_marks;  // four per cell
    std::vector<Element> bars;         // one per split
    const double* border_colour = nullptr;
    int32_t cell_count = 1;
    // x, y, width, height per cell as fractions of the viewport.
    std::vector<double> cell_rects = {0.0, 0.0, 1.0, 1.0};
    std::vector<int32_t> cell_split_index;
    std::vector<char> split_axes;
    std::vector<double> bar_rects;           // four per split
    std::vector<double> split_parent_rects;  // the divided cell before each split
    // One camera state (CAMERA_STATE_SIZE doubles) per cell.
    std::vector<double> cell_cameras;
    int32_t recorded_split_count = 0;
    std::vector<int32_t> recorded_cells;
    std::vector<char> recorded_axes;
    std::vector<double> recorded_ratios;
    int32_t hovered_bar = -1;
    int32_t drag_bar = -1;
    int32_t press_x = -1, press_y = -1;
    double press_ratio = 0.5;
    ClickCallback on_rebuilt = nullptr;
    ClickCallback on_cell_activate = nullptr;
    // Margins (left, top, right, bottom) of the visible 3D region.
    std::array<int32_t, 4> view_insets = {0, 0, 0, 0};

    struct Region {
        int32_t x = 0, y = 0, width = 0, height = 0;
    };

    Viewport();
    Viewport(const Viewport&) = delete;
    Viewport& operator=(const Viewport&) = delete;
    ~Viewport() override;

    // Splits cell k along 'X' (divides the height) or 'Y' (the width) at
    // `ratio`; records the split and relays the cells out when asked.
    void split_cell(int32_t k, char axis, bool relayout, bool record, double ratio);
    // Sizes the per-cell elements to the cell count, gives them their
    // defaults and rebuilds the child lists.
    void layout_cells();
    // Back to one cell, then every recorded split replayed in order.
    void rebuild_from_record();
    // The part of the viewport the cells divide: inside the view insets
    // (the whole viewport when the insets leave nothing).
    Region cell_region() const;
    // Where cell i's picture is drawn, relative to the viewport: the cell
    // itself, or the whole viewport while there is only one cell.
    Region cell_view_rect(int32_t i) const;

    void set_layout_callback(LayoutCallback callback) override;
    void layout(int32_t w, int32_t h) override;
    bool on_mouse_down(int32_t px, int32_t py, int32_t button) override;
    bool on_mouse_up(int32_t px, int32_t py, int32_t button) override;
    bool on_drag(int32_t px, int32_t py, int32_t button) override;
    bool on_motion(int32_t px, int32_t py, int32_t button) override;
    bool on_scroll(int32_t px, int32_t py, int32_t direction) override;

private:
    bool in_view_region(int32_t px, int32_t py) const;
    void activate_hovered_cell();
    void forget_cell_elements() const;
};

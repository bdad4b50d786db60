#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "ui/slider.h"

struct Theme;

// The multi-view 3D viewport: the view split into cells, each with its own
// camera state. Only the split state and the callback slots exist yet; the
// widget's own layout and input arrive with the viewport widget itself.
struct Viewport : Container {
    NotifyCallback on_split_x = nullptr;
    NotifyCallback on_split_y = nullptr;
    NotifyCallback on_close_cell = nullptr;
    NotifyCallback on_redraw = nullptr;
    NotifyCallback on_directive = nullptr;
    const Theme* theme = nullptr;

    int32_t cell_count = 1;
    // Per cell: left, top, right, bottom as fractions of the view, and the
    // same in integer cell units.
    std::vector<std::array<double, 4>> cell_fractions = {{0.0, 0.0, 1.0, 1.0}};
    std::vector<std::array<int32_t, 4>> cell_units = {{0, 0, 1, 1}};
    double split_ratio = 0.5;
    int32_t selected_cell = -1;
    // The active cell and the one under the pointer (-1 none); a click
    // (click_handler) makes the hovered cell active.
    int32_t current_cell = 0;
    int32_t hovered_cell = -1;
    int32_t selected_bar = -1;
    std::vector<Element> cell_grips;
    std::vector<Element> cell_bars;
    std::vector<Element> cell_buttons;
    std::vector<Element> cell_labels;
    // The recorded splits, replayed to rebuild the cells.
    int32_t split_count = 0;
    std::vector<int32_t> split_cells;
    std::vector<char> split_axes;
    std::vector<double> split_ratios;
    // Object-orbit, free-roam and first-person eye and look-at, then orbit
    // distance and the three orbit angles.
    std::array<double, 22> cell_camera_defaults = {0, 0, 10, 0, 0,    0, -1, 1, 3, 0,  0,
                                                   0, -1, 1.75, 3, 0, 0.75, 0, 4, 30, 30, 0};
};

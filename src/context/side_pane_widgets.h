#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/element.h"
#include "ui/layouts.h"

// Widgets the side-pane rebuilds own beside the context's named members:
// the parts of each entity row and parameter row, the parameter pane's
// per-parameter blocks and the tool-tip texts of the variant rows. Every
// vector is replaced whole by its rebuild.

struct ListRowParts {
    std::vector<Container> bodies;
    std::vector<Element> names, details, locks, focus_icons, visibility_icons, reassemble_icons, delete_icons,
        separators;
    // Pointer position of the last press on the list, in list coordinates.
    int32_t press_x = 0;
    int32_t press_y = 0;
};

struct ParameterBlockParts {
    std::vector<FillLayout> blocks;
    std::vector<Element> parameter_type_labels, parameter_reset_cells, parameter_labels, parameter_info_icons,
        parameter_reset_icons;
    // Present (and added to their block) only for parameters with both bounds.
    std::vector<FillLayout> parameter_slider_rows;
    std::vector<Element> parameter_slider_minus_cells, parameter_slider_plus_cells, parameter_slider_tracks;
    std::vector<std::array<Element, 4>> parameter_slider_marks;
    std::vector<Element> parameter_group_headings;
    // Last pointer position over the pane, in pane coordinates.
    int32_t pointer_x = 0;
    int32_t pointer_y = 0;
};

struct SidePaneWidgets {
    ListRowParts entity_row_parts;
    ListRowParts parameter_row_parts;
    ParameterBlockParts parameter_blocks;
    // Tool-tip title and text of each variant row, two per row.
    std::vector<std::string> variant_row_tips;
};

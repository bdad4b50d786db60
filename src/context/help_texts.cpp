#include "context/help_texts.h"

namespace {

constexpr std::array<const char*, 3> algorithm_0_lines = {
    "Pure-Union-Mesh Algorithm:\n"
        "\t Non-Manifold Union-Merge",
    "Suitable for entities which rely solely on\n"
        "merging components.",
    "Note: this is the fastest supported\n"
        "means to instantiate a mesh but is\n"
        "simultaneously the least generalised - as\n"
        "it does not support difference or\n"
        "intersection operations. However it\n"
        "works well with parametric control.",
};

constexpr std::array<const char*, 4> algorithm_1_lines = {
    "Basic-CSG-Mesh Algorithm:\n"
        "\t Spatially-Accelerated BSP",
    "Suitable for entities which employ union,\n"
        "difference and/or intersection operations.",
    "Note: that whilst this is a generalised\n"
        "method - it is also heavy-weight and may\n"
        "not be suitable for interactive\n"
        "parametric-control.",
    "Additionally this does not preserve the\n"
        "topology of the resulting mesh - i.e. it\n"
        "introduces T-junctions and causes\n"
        "faceting (the striping of shared vertex).",
};

constexpr std::array<const char*, 3> algorithm_2_lines = {
    "Optimal-CSG-Mesh Algorithm:\n"
        "\t Topology-Preserving BSP",
    "Suitable for entities which employ union,\n"
        "difference and/or intersection operations.\n"
        "This is similar to the spatially-accelerated\n"
        "BSP but yields mesh that minimise the\n"
        "number of vertices in the result - whilst\n"
        "simultaneously preserving topology and\n"
        "Gouraud-shading smoothing-groups.",
    "Note: this is the most advanced method\n"
        "supported (in terms of meshing\n"
        "performance) - and may not be suitable\n"
        "for interactive parametric-control.",
};

}  // namespace

const std::array<const char*, 3> startup_hint_lines = {
    "A) Open Script-File to Assemble Mesh",
    "B) Edit Script in External Text-Editor",
    "C) Re-Assemble Mesh to Examine Changes",
};

const std::array<const char*, 8> keyboard_shortcut_hints = {
    "[ CTRL + O ] \t Open Script",
    "[ CTRL + P ] \t Parse Script",
    "[ CTRL + R ] \t Re-Assemble-Mesh",
    "[ CTRL + 0 ] \t Reset Camera",
    "[ CTRL + F ] \t Toggle Full-Screen",
    "[ K ] \t Toggle UI-Frame-Mode",
    "[ I ] \t Toggle UI-Vertical-Flip",
    "[ Spacebar ] \t Toggle UI-Quick-Hide",
};

const std::array<const char*, 10> movement_hints = {
    "[ W, A, S, D | Arrow-Keys ] \t Movement",
    "(Forward, Left, Back, Right)",
    "",
    "[ Q, E ] \t Elevation (Free-Roam)",
    "",
    "[ RMB + Mouse-Drag ] \t Orientation",
    "",
    "[ Mouse-Scroll-Wheel ] \t Zoom",
    "",
    "[ Shift, Control ] \t Speed-Factor Modifier",
};

const std::array<const char*, 3> algorithm_item_labels = {
    "\t Pure-Union",
    "\t Basic-CSG",
    "\t Optimal-CSG",
};

const std::array<const char*, 6> algorithm_feature_labels = {
    "+ union",
    "- difference",
    "& intersect",
    "low-poly",
    "gouraud\nshadable",
    "3D-printable",
};
const std::array<std::array<uint8_t, 6>, 3> algorithm_capabilities = {{
    {1, 0, 0, 1, 1, 0},  // Pure-Union: union, low-poly, gouraud shadable
    {1, 1, 1, 0, 0, 1},  // Basic-CSG: union, difference, intersect, 3D-printable
    {1, 1, 1, 1, 1, 1},  // Optimal-CSG: all six
}};

const std::array<CaptionGroup, 3> algorithm_descriptions = {{
    {algorithm_0_lines.data(), algorithm_0_lines.size()},
    {algorithm_1_lines.data(), algorithm_1_lines.size()},
    {algorithm_2_lines.data(), algorithm_2_lines.size()},
}};

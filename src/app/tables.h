#pragma once
#include <array>
#include <cstdint>
#include <string>

// Global text tables of the application. Only the entries that the landed
// subsystems read are here yet.

// Printed in every mesh file header.
extern const std::string generator_text;
extern const std::string version_text;

// Names of the meshing algorithms, indexed by MeshAlgorithm 0..2.
extern const char* const mesh_kind_names[3];
extern const char* const mesh_kind_short_names[3];

// Pixel advances of the console and report typeface (face 3), by byte value.
extern const std::array<int32_t, 256> pane_glyph_widths;

#pragma once
#include <cstdint>

// The gradient behind the 3D scene: a lattice of 21 x 21 points over the
// canvas, row 0 at the bottom, point index 21 r + c, with 20 x 20 cells of
// two triangles each.
constexpr int backdrop_side = 21;
constexpr int backdrop_points = backdrop_side * backdrop_side;
constexpr int backdrop_index_count = 20 * 20 * 6;

struct BackdropLattice {
    double positions[backdrop_points * 3] = {};
    double colours[backdrop_points * 4] = {};
    uint32_t indices[backdrop_index_count] = {};
};

// Process-wide; overwritten by every build.
extern BackdropLattice backdrop_lattice;

// Colour table of a theme: 0 dark (Dark, Midnight), 1 charcoal, 2 light
// (Silver, Light and anything else).
int32_t backdrop_table_for_theme(int32_t theme_index);

// Fills the lattice over (x0, y0, width, height): style 0 a vertical linear
// gradient, 1 an aspect-corrected radial one; every point gets `alpha`.
// Style below 0 writes nothing; any other style writes positions and indices
// and leaves the colours. A table outside 0..2 reads as table 2.
void build_backdrop_gradient(int32_t x0, int32_t y0, int32_t width, int32_t height, int32_t table, int32_t style,
                             double alpha);

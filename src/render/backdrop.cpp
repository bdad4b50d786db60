#include "render/backdrop.h"

#include <algorithm>
#include <cmath>

BackdropLattice backdrop_lattice;

namespace {

// Colour A (row 0 of a linear gradient) and colour B of each table.
constexpr double backdrop_tables[3][2][3] = {
    {{0.0, 0.0, 0.0}, {0.125, 0.15, 0.2}},
    {{0.5, 0.5, 0.5}, {0.2125, 0.225, 0.25}},
    {{1.0, 1.0, 1.0}, {0.75, 0.8, 0.875}},
};

}  // namespace

int32_t backdrop_table_for_theme(int32_t theme_index) {
    switch (theme_index) {
        case 0:
        case 4: return 0;
        case 3: return 1;
        default: return 2;
    }
}

void build_backdrop_gradient(int32_t x0, int32_t y0, int32_t width, int32_t height, int32_t table, int32_t style,
                             double alpha) {
    if (style < 0) return;
    if (table < 0 || table > 2) table = 2;
    const double* A = backdrop_tables[table][0];
    const double* B = backdrop_tables[table][1];
    double ax = 1.0, ay = 1.0;
    if (width > 0 && height > 0) {
        if (width < height) ax = static_cast<double>(width) / height;
        if (height < width) ay = static_cast<double>(height) / width;
    }
    BackdropLattice& L = backdrop_lattice;
    for (int r = 0; r < backdrop_side; ++r) {
        for (int c = 0; c < backdrop_side; ++c) {
            const int k = r * backdrop_side + c;
            double* p = L.positions + 3 * k;
            p[0] = x0 + c / 20.0 * width, p[1] = y0 + r / 20.0 * height, p[2] = 0.0;
            const double* from = A;
            const double* to = B;
            double t = 0.0;
            if (style == 0) {
                t = r / 20.0;
            } else if (style == 1) {
                const double d = std::sqrt(std::pow((c - 10) * ax, 2) + std::pow((r - 10) * ay, 2));
                if (table == 0) {
                    t = std::min(1.0, d / 15.0), from = B, to = A;  // B in the centre
                } else {
                    t = std::min(1.0, d / 10.0);
                }
            } else {
                continue;
            }
            double* col = L.colours + 4 * k;
            for (int i = 0; i < 3; ++i) col[i] = from[i] + (to[i] - from[i]) * t;
            col[3] = alpha;
        }
    }
    uint32_t* out = L.indices;
    for (uint32_t r = 0; r < 20; ++r) {
        for (uint32_t c = 0; c < 20; ++c, out += 6) {
            const uint32_t a = 21 * r + c, b = a + 1, d = a + 21, e = d + 1;
            // Diagonals mirror about the centre so the radial shading stays
            // symmetric.
            const bool rising = (c < 10 && r < 10) || (c >= 10 && r >= 10);
            const uint32_t tri[6] = {a, b, rising ? d : e, rising ? b : a, e, d};
            std::copy(tri, tri + 6, out);
        }
    }
}

#include "app/tables.h"

#include "art/typeface.h"

namespace {
std::array<int32_t, 256> copy_face_widths(int face) {
    std::array<int32_t, 256> widths{};
    for (int c = 0; c < 256; ++c) {
        widths[c] = static_cast<int32_t>(glyph_width_tables[face][c]);
    }
    return widths;
}
}  // namespace

// glyph_width_tables is constant-initialised, so this copy is safe during
// static initialisation.
const std::array<int32_t, 256> pane_glyph_widths = copy_face_widths(3);

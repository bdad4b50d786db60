#pragma once
#include <array>
#include <cstdint>

// The twelve generated interface typefaces. Metrics are in layout pixels; the
// font atlas holds every glyph at twice that size, face f in band f.

constexpr int typeface_count = 12;
constexpr int glyph_code_count = 256;

using GlyphTable = std::array<uint32_t, glyph_code_count>;

struct Typeface {
    uint32_t index;             // face number, also its band in the font atlas
    uint32_t atlas_half_width;  // atlas width in layout pixels (1075)
    uint32_t band_half_height;  // atlas band height in layout pixels (23)
    uint32_t line_height;       // height of one text line in layout pixels
    const GlyphTable& glyph_offsets;  // left edge of each code's cell, layout pixels
    const GlyphTable& glyph_widths;   // advance of each code; 0 = not drawn
};

constexpr uint32_t font_atlas_half_width = 1075;
constexpr uint32_t font_band_half_height = 23;

// Pixel height of every face, by face index.
extern const std::array<uint32_t, typeface_count> typeface_line_heights;

// Advance widths and atlas offsets of every face, in face order. Constant
// from static initialisation on (constant-initialised, so safe to read from
// other static initialisers).
extern const std::array<GlyphTable, typeface_count> glyph_width_tables;
extern const std::array<GlyphTable, typeface_count> glyph_offset_tables;

// Face 0 is the default face of every widget.
extern const Typeface typefaces[typeface_count];

// Offsets from widths: cells laid left to right in code order with a 2-pixel
// left margin and a 2-pixel gap; a code of width 0 gets the running offset.
GlyphTable glyph_offsets_from_widths(const GlyphTable& widths);

// Right edge (offset + width) of the last drawn cell of a width table.
uint32_t glyph_table_extent(const GlyphTable& widths);

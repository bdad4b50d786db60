#include "art/typeface.h"

// Design widths of faces 0 to 9 for the printable codes 32..126, in code order:
// space ! " # $ % & ' ( ) * + , - . / | 0..9 : ; < = > ? @ | A..Z |
// [ \ ] ^ _ ` | a..z | { | } ~. Digits are of equal width within a face so
// that columns of numbers line up.
static constexpr uint32_t printable_widths[10][95] = {
    // face 0
    {
        3, 3, 5, 8, 7, 10, 9, 3, 4, 4, 7, 7, 3, 4, 3, 4,
        7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 3, 3, 7, 7, 7, 5, 11,
        8, 8, 8, 9, 7, 6, 9, 9, 4, 3, 7, 6, 11, 9, 9, 7, 9, 7, 7, 7, 9, 7, 11, 7, 7, 7,
        4, 4, 4, 7, 5, 6,
        7, 7, 6, 7, 7, 4, 7, 7, 3, 3, 6, 3, 11, 7, 7, 7, 7, 5, 6, 4, 7, 6, 9, 6, 6, 6,
        5, 7, 5, 7
    },
    // face 1
    {
        3, 4, 6, 9, 8, 11, 10, 4, 5, 5, 8, 8, 4, 5, 4, 5,
        7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 4, 4, 8, 8, 8, 6, 12,
        9, 9, 9, 10, 8, 7, 10, 10, 5, 4, 8, 7, 12, 10, 10, 8, 10, 8, 8, 8, 10, 8, 12, 8, 8, 8,
        5, 5, 5, 8, 6, 7,
        8, 8, 7, 8, 8, 5, 8, 8, 4, 4, 7, 4, 12, 8, 8, 8, 8, 6, 7, 5, 8, 7, 10, 7, 7, 7,
        6, 8, 6, 8
    },
    // face 2
    {
        3, 3, 5, 7, 6, 9, 8, 3, 4, 4, 6, 6, 3, 4, 3, 4,
        7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 3, 3, 6, 6, 6, 5, 10,
        7, 7, 7, 8, 6, 5, 8, 8, 4, 3, 6, 5, 10, 8, 8, 6, 8, 6, 6, 6, 8, 6, 10, 6, 6, 6,
        4, 4, 4, 6, 5, 5,
        6, 6, 5, 6, 6, 4, 6, 6, 3, 3, 5, 3, 10, 6, 6, 6, 6, 5, 5, 4, 6, 5, 8, 5, 5, 5,
        5, 6, 5, 6
    },
    // face 3
    {
        3, 3, 4, 7, 6, 8, 7, 3, 3, 3, 6, 6, 3, 3, 3, 3,
        6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 3, 3, 6, 6, 6, 4, 9,
        7, 7, 7, 7, 6, 5, 7, 7, 3, 3, 6, 5, 9, 7, 7, 6, 7, 6, 6, 6, 7, 6, 9, 6, 6, 6,
        3, 3, 3, 6, 4, 5,
        6, 6, 5, 6, 6, 3, 6, 6, 3, 3, 5, 3, 9, 6, 6, 6, 6, 4, 5, 3, 6, 5, 7, 5, 5, 5,
        4, 6, 4, 6
    },
    // face 4
    {
        3, 3, 4, 7, 6, 8, 7, 3, 3, 3, 6, 6, 3, 3, 3, 3,
        6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 3, 3, 6, 6, 6, 4, 9,
        8, 8, 8, 8, 7, 6, 8, 8, 4, 4, 7, 6, 10, 8, 8, 7, 8, 7, 7, 7, 8, 7, 10, 7, 7, 7,
        3, 3, 3, 6, 4, 5,
        7, 7, 6, 7, 7, 4, 7, 7, 4, 4, 6, 4, 10, 7, 7, 7, 7, 5, 6, 4, 7, 6, 8, 6, 6, 6,
        4, 6, 4, 6
    },
    // face 5
    {
        3, 3, 4, 6, 5, 7, 6, 3, 3, 3, 5, 5, 3, 3, 3, 3,
        6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 3, 3, 5, 5, 5, 4, 8,
        6, 6, 6, 6, 5, 5, 6, 6, 3, 3, 5, 5, 8, 6, 6, 5, 6, 5, 5, 5, 6, 5, 8, 5, 5, 5,
        3, 3, 3, 5, 4, 5,
        5, 5, 5, 5, 5, 3, 5, 5, 3, 3, 5, 3, 8, 5, 5, 5, 5, 4, 5, 3, 5, 5, 6, 5, 5, 5,
        4, 5, 4, 5
    },
    // face 6
    {
        4, 4, 6, 9, 8, 12, 11, 4, 5, 5, 8, 8, 4, 5, 4, 5,
        8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 4, 4, 8, 8, 8, 6, 13,
        9, 9, 9, 11, 8, 7, 11, 11, 5, 4, 8, 7, 13, 11, 11, 8, 11, 8, 8, 8, 11, 8, 13, 8, 8, 8,
        5, 5, 5, 8, 6, 7,
        8, 8, 7, 8, 8, 5, 8, 8, 4, 4, 7, 4, 13, 8, 8, 8, 8, 6, 7, 5, 8, 7, 11, 7, 7, 7,
        6, 8, 6, 8
    },
    // face 7
    {
        4, 5, 7, 10, 9, 14, 12, 5, 6, 6, 9, 9, 5, 6, 5, 6,
        8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 5, 5, 9, 9, 9, 7, 15,
        10, 10, 10, 12, 9, 8, 12, 12, 6, 5, 9, 8, 15, 12, 12, 9, 12, 9, 9, 9, 12, 9, 15, 9, 9, 9,
        6, 6, 6, 9, 7, 8,
        9, 9, 8, 9, 9, 6, 9, 9, 5, 5, 8, 5, 15, 9, 9, 9, 9, 7, 8, 6, 9, 8, 12, 8, 8, 8,
        7, 9, 7, 9
    },
    // face 8
    {
        4, 4, 7, 11, 9, 13, 12, 4, 5, 5, 9, 9, 4, 5, 4, 5,
        9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 4, 4, 9, 9, 9, 7, 15,
        11, 11, 11, 12, 9, 8, 12, 12, 5, 4, 9, 8, 15, 12, 12, 9, 12, 9, 9, 9, 12, 9, 15, 9, 9, 9,
        5, 5, 5, 9, 7, 8,
        9, 9, 8, 9, 9, 5, 9, 9, 4, 4, 8, 4, 15, 9, 9, 9, 9, 7, 8, 5, 9, 8, 12, 8, 8, 8,
        7, 9, 7, 9
    },
    // face 9
    {
        4, 4, 7, 11, 9, 13, 12, 4, 5, 5, 9, 9, 4, 5, 4, 5,
        9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 4, 4, 9, 9, 9, 7, 15,
        12, 12, 12, 13, 10, 9, 13, 13, 6, 5, 10, 9, 16, 13, 13, 10, 13, 10, 10, 10, 13, 10, 16, 10, 10, 10,
        5, 5, 5, 9, 7, 8,
        10, 10, 9, 10, 10, 6, 10, 10, 5, 5, 9, 5, 16, 10, 10, 10, 10, 8, 9, 6, 10, 9, 13, 9, 9, 9,
        7, 9, 7, 9
    },
};

// The tab arrow and the ring glyph (code 250) share one width per face except
// in the fixed-pitch faces.
static constexpr uint32_t tab_widths[typeface_count] = {10, 10, 10, 8, 8, 8, 12, 12, 13, 13, 10, 8};
static constexpr uint32_t ring_widths[typeface_count] = {10, 10, 10, 8, 8, 8, 12, 12, 13, 13, 7, 6};
// Fixed advance of the monospaced faces 10 and 11 (the back-quote is one
// pixel narrower).
static constexpr uint32_t fixed_pitch[typeface_count] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 6};

static constexpr GlyphTable make_width_table(int face) {
    GlyphTable t{};
    t[9] = tab_widths[face];
    t[250] = ring_widths[face];
    for (int c = 32; c <= 126; ++c) {
        if (fixed_pitch[face] != 0)
            t[c] = c == '`' ? fixed_pitch[face] - 1 : fixed_pitch[face];
        else
            t[c] = printable_widths[face][c - 32];
    }
    return t;
}

static constexpr GlyphTable make_offset_table(const GlyphTable& widths) {
    GlyphTable t{};
    uint32_t run = 2;
    for (int c = 0; c < glyph_code_count; ++c) {
        t[c] = run;
        if (widths[c] > 0) run += widths[c] + 2;
    }
    return t;
}

static constexpr std::array<GlyphTable, typeface_count> make_width_tables() {
    std::array<GlyphTable, typeface_count> all{};
    for (int f = 0; f < typeface_count; ++f) all[f] = make_width_table(f);
    return all;
}

static constexpr std::array<GlyphTable, typeface_count> make_offset_tables() {
    std::array<GlyphTable, typeface_count> all{};
    for (int f = 0; f < typeface_count; ++f) all[f] = make_offset_table(make_width_table(f));
    return all;
}

constexpr std::array<uint32_t, typeface_count> typeface_line_heights = {
    17, 17, 17, 14, 14, 14, 20, 20, 23, 23, 17, 14};

constexpr std::array<GlyphTable, typeface_count> glyph_width_tables = make_width_tables();
constexpr std::array<GlyphTable, typeface_count> glyph_offset_tables = make_offset_tables();

// The widest face must end inside the atlas row.
static_assert(make_offset_tables()[9][250] + make_width_tables()[9][250] == 1073);

#define VK_FACE(f)                                                                     \
    Typeface {                                                                         \
        f, font_atlas_half_width, font_band_half_height, typeface_line_heights[f],     \
            glyph_offset_tables[f], glyph_width_tables[f]                              \
    }
constexpr Typeface typefaces[typeface_count] = {
    VK_FACE(0), VK_FACE(1), VK_FACE(2), VK_FACE(3), VK_FACE(4),  VK_FACE(5),
    VK_FACE(6), VK_FACE(7), VK_FACE(8), VK_FACE(9), VK_FACE(10), VK_FACE(11)};
#undef VK_FACE

GlyphTable glyph_offsets_from_widths(const GlyphTable& widths) { return make_offset_table(widths); }

uint32_t glyph_table_extent(const GlyphTable& widths) {
    uint32_t end = 0;
    const GlyphTable offsets = make_offset_table(widths);
    for (int c = 0; c < glyph_code_count; ++c)
        if (widths[c] > 0) end = offsets[c] + widths[c];
    return end;
}

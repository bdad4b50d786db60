#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "art/font_atlas.h"
#include "art/glyphs.h"
#include "art/typeface.h"

// Strokes/arcs per code, as the outline set defines them.
static const std::map<int, std::pair<int, int>> expected_counts = {
    {9, {3, 0}},   {'!', {2, 0}}, {'"', {2, 0}}, {'#', {4, 0}}, {'$', {1, 4}}, {'%', {1, 2}}, {'&', {1, 3}},
    {'\'', {1, 0}}, {'(', {4, 0}}, {')', {4, 0}}, {'*', {5, 0}}, {'+', {2, 0}}, {',', {1, 0}}, {'-', {1, 0}},
    {'.', {1, 0}}, {'/', {1, 0}}, {'0', {2, 2}}, {'1', {3, 0}}, {'2', {2, 1}}, {'3', {3, 2}}, {'4', {3, 0}},
    {'5', {2, 1}}, {'6', {1, 2}}, {'7', {2, 0}}, {'8', {0, 2}}, {'9', {1, 2}}, {':', {2, 0}}, {';', {2, 0}},
    {'<', {2, 0}}, {'=', {2, 0}}, {'>', {2, 0}}, {'?', {2, 2}}, {'@', {1, 4}}, {'A', {3, 0}}, {'B', {4, 2}},
    {'C', {2, 1}}, {'D', {3, 1}}, {'E', {4, 0}}, {'F', {3, 0}}, {'G', {4, 1}}, {'H', {3, 0}}, {'I', {3, 0}},
    {'J', {2, 1}}, {'K', {3, 0}}, {'L', {2, 0}}, {'M', {4, 0}}, {'N', {3, 0}}, {'O', {0, 1}}, {'P', {3, 1}},
    {'Q', {1, 1}}, {'R', {4, 1}}, {'S', {0, 4}}, {'T', {2, 0}}, {'U', {2, 1}}, {'V', {2, 0}}, {'W', {4, 0}},
    {'X', {2, 0}}, {'Y', {3, 0}}, {'Z', {3, 0}}, {'[', {3, 0}}, {'\\', {1, 0}}, {']', {3, 0}}, {'^', {2, 0}},
    {'_', {1, 0}}, {'`', {1, 0}}, {'a', {1, 1}}, {'b', {1, 1}}, {'c', {2, 1}}, {'d', {1, 1}}, {'e', {2, 2}},
    {'f', {4, 0}}, {'g', {2, 2}}, {'h', {2, 1}}, {'i', {2, 0}}, {'j', {3, 1}}, {'k', {3, 0}}, {'l', {1, 0}},
    {'m', {3, 2}}, {'n', {2, 1}}, {'o', {0, 1}}, {'p', {1, 1}}, {'q', {1, 1}}, {'r', {3, 0}}, {'s', {0, 4}},
    {'t', {4, 0}}, {'u', {2, 1}}, {'v', {2, 0}}, {'w', {4, 0}}, {'x', {2, 0}}, {'y', {2, 2}}, {'z', {3, 0}},
    {'{', {6, 0}}, {'|', {1, 0}}, {'}', {6, 0}}, {'~', {0, 2}}, {250, {0, 2}}};

TEST(GlyphOutlines, CountsPerCode) {
    reset_glyph_outlines();
    build_glyph_outlines();
    int strokes = 0, arcs = 0;
    for (int c = 0; c < 256; ++c) {
        const GlyphOutline& g = glyph_outlines[c];
        const auto it = expected_counts.find(c);
        if (it == expected_counts.end()) {
            EXPECT_TRUE(g.arrays.empty()) << c;
            continue;
        }
        EXPECT_EQ(glyph_stroke_count(g), it->second.first) << static_cast<char>(c);
        EXPECT_EQ(glyph_arc_count(g), it->second.second) << static_cast<char>(c);
        // Only whole records, and an arc array only when there are arcs.
        EXPECT_EQ(g.arrays[0].size() % 6, 0u);
        EXPECT_EQ(g.arrays.size(), it->second.second > 0 ? 2u : 1u) << c;
        strokes += glyph_stroke_count(g);
        arcs += glyph_arc_count(g);
    }
    EXPECT_EQ(strokes, 212);
    EXPECT_EQ(arcs, 69);
    // The fixed outlines.
    const std::vector<double>& a = glyph_outlines['A'].arrays[0];
    EXPECT_EQ(std::vector<double>(a.begin(), a.begin() + 4), (std::vector<double>{0, 0, 0.5, 1}));
    EXPECT_EQ(std::vector<double>(a.begin() + 12, a.begin() + 16), (std::vector<double>{0.125, 0.25, 0.875, 0.25}));
    EXPECT_EQ(glyph_outlines['O'].arrays[1], (std::vector<double>{0, 0, 1, 1, -1, -1, 2, 2}));
    EXPECT_EQ(glyph_outlines['.'].arrays[0], (std::vector<double>{0.5, 0.05, 0.5, 0.05, 1, 1}));
    EXPECT_EQ(glyph_outlines[250].arrays[1][14], 0.725);
    EXPECT_EQ(glyph_outlines[9].arrays[0][0], -0.125);
    // Building twice gives the same outlines.
    const std::vector<double> before = glyph_outlines['&'].arrays[1];
    build_glyph_outlines();
    EXPECT_EQ(glyph_outlines['&'].arrays[1], before);
}

TEST(GlyphOutlines, StrokeDistance) {
    build_glyph_outlines();
    // Empty stroke array and no arcs: nothing to draw.
    GlyphOutline empty;
    empty.arrays.emplace_back();
    EXPECT_TRUE(std::isinf(glyph_stroke_distance(empty, 1, 1, 10, 10)));
    // The dot of "." is solid: negative at its centre (radius 1).
    const double H = 34, W = 10;
    const double Y005 = ((0.05 - 0.5) * 0.45 + 0.5) * H;
    EXPECT_NEAR(glyph_stroke_distance(glyph_outlines['.'], 0.5 * W, Y005, W, H), -1.0, 1e-12);
    // Vertical placement: y 0 at 0.275 of the cell, y 1 at 0.725.
    GlyphOutline bar;
    bar.arrays.push_back({0, 0, 1, 0, 0, -1});
    EXPECT_NEAR(glyph_stroke_distance(bar, 5, 0.275 * H, W, H), 0.0, 1e-12);
    EXPECT_NEAR(glyph_stroke_distance(bar, 5, 0.275 * H + 3, W, H), 3.0, 1e-12);
    EXPECT_NEAR(glyph_stroke_distance(bar, W + 4, 0.275 * H, W, H), 4.0, 1e-12);
    // "O" on its outline is at distance 0; a clip-box edge counts as inside.
    const double cx = 0.5 * W, top = 0.725 * H;
    EXPECT_NEAR(glyph_stroke_distance(glyph_outlines['O'], cx, top, W, H), 0.0, 1e-9);
    GlyphOutline clipped;
    clipped.arrays.emplace_back();
    clipped.arrays.push_back({0, 0, 1, 1, -1, -1, 0.5, 2});
    EXPECT_NEAR(glyph_stroke_distance(clipped, cx, top, W, H), 0.0, 1e-9);
    EXPECT_TRUE(std::isinf(glyph_stroke_distance(clipped, cx + 0.01, top, W, H)));
}

TEST(Typefaces, WidthAndOffsetRules) {
    const uint32_t f0[95] = {3, 3, 5, 8, 7, 10, 9, 3, 4, 4, 7, 7, 3, 4, 3, 4, 7, 7, 7, 7, 7, 7, 7, 7,
                             7, 7, 3, 3, 7, 7, 7, 5, 11, 8, 8, 8, 9, 7, 6, 9, 9, 4, 3, 7, 6, 11, 9, 9,
                             7, 9, 7, 7, 7, 9, 7, 11, 7, 7, 7, 4, 4, 4, 7, 5, 6, 7, 7, 6, 7, 7, 4, 7,
                             7, 3, 3, 6, 3, 11, 7, 7, 7, 7, 5, 6, 4, 7, 6, 9, 6, 6, 6, 5, 7, 5, 7};
    for (int c = 32; c <= 126; ++c) EXPECT_EQ(glyph_width_tables[0][c], f0[c - 32]) << c;
    const uint32_t heights[12] = {17, 17, 17, 14, 14, 14, 20, 20, 23, 23, 17, 14};
    const uint32_t tab[12] = {10, 10, 10, 8, 8, 8, 12, 12, 13, 13, 10, 8};
    const uint32_t digit[10] = {7, 7, 7, 6, 6, 6, 8, 8, 9, 9};
    const uint32_t space_offset[12] = {14, 14, 14, 12, 12, 12, 16, 16, 17, 17, 14, 12};
    for (int f = 0; f < 12; ++f) {
        const Typeface& t = typefaces[f];
        const GlyphTable& w = t.glyph_widths;
        EXPECT_EQ(t.index, static_cast<uint32_t>(f));
        EXPECT_EQ(t.line_height, heights[f]);
        EXPECT_EQ(t.atlas_half_width, 1075u);
        EXPECT_EQ(t.band_half_height, 23u);
        EXPECT_EQ(&w, &glyph_width_tables[f]);
        EXPECT_EQ(&t.glyph_offsets, &glyph_offset_tables[f]);
        int drawn = 0;
        for (int c = 0; c < 256; ++c) {
            const bool has = c == 9 || (c >= 32 && c <= 126) || c == 250;
            EXPECT_EQ(w[c] > 0, has) << f << " " << c;
            drawn += w[c] > 0;
        }
        EXPECT_EQ(drawn, 97);
        EXPECT_EQ(w[9], tab[f]);
        EXPECT_EQ(w[250], f == 10 ? 7u : f == 11 ? 6u : tab[f]);
        if (f < 10) {
            for (int c = '0'; c <= '9'; ++c) EXPECT_EQ(w[c], digit[f]) << f;
        }
        // Offsets: 2-pixel margin, 2-pixel gaps, zero widths take the running offset.
        uint32_t run = 2;
        for (int c = 0; c < 256; ++c) {
            EXPECT_EQ(t.glyph_offsets[c], run) << f << " " << c;
            if (w[c] > 0) run += w[c] + 2;
        }
        EXPECT_EQ(t.glyph_offsets[9], 2u);
        EXPECT_EQ(t.glyph_offsets[32], space_offset[f]);
        EXPECT_EQ(t.glyph_offsets[10], t.glyph_offsets[32]);
        EXPECT_EQ(t.glyph_offsets[13], t.glyph_offsets[32]);
        // Every face ends inside the atlas row; the widest exactly at 1073.
        EXPECT_LE(glyph_table_extent(w), 1075u) << f;
    }
    EXPECT_EQ(glyph_table_extent(glyph_width_tables[9]), 1073u);
    // Relations between related faces.
    auto within = [](int a, int b, int lo, int hi) {
        for (int c = 32; c <= 126; ++c) {
            const int d = static_cast<int>(glyph_width_tables[b][c]) - static_cast<int>(glyph_width_tables[a][c]);
            if (d < lo || d > hi) return false;
        }
        return true;
    };
    EXPECT_TRUE(within(0, 1, 0, 1));
    EXPECT_TRUE(within(0, 2, -1, 0));
    EXPECT_TRUE(within(3, 4, -1, 1));
    EXPECT_TRUE(within(3, 5, -1, 0));
    EXPECT_TRUE(within(6, 7, 0, 2));
    EXPECT_TRUE(within(8, 9, 0, 2));
    for (int c = 32; c <= 126; ++c) {
        EXPECT_EQ(glyph_width_tables[10][c], c == '`' ? 6u : 7u);
        EXPECT_EQ(glyph_width_tables[11][c], c == '`' ? 5u : 6u);
    }
    // The rule helper agrees with a table that would overflow the atlas.
    GlyphTable wide{};
    for (int c = 32; c <= 126; ++c) wide[c] = 20;
    EXPECT_GT(glyph_table_extent(wide), 1075u);
    EXPECT_EQ(glyph_offsets_from_widths(glyph_width_tables[3]), glyph_offset_tables[3]);
}

static uint8_t alpha_at(int col, int row) { return font_atlas.pixels[(static_cast<size_t>(row) * font_atlas_width + col) * 4 + 3]; }

TEST(FontAtlas, BandsCellsAndCoverage) {
    reset_font_art();
    build_glyph_outlines();
    rasterise_font_atlas(2);
    ASSERT_EQ(font_atlas.pixels.size(), 4747200u);
    for (int f = 0; f < 12; ++f) {
        const int h = static_cast<int>(typeface_line_heights[f]);
        const int top = 552 - 46 * f;  // one past the band's last row
        const int cell_row0 = top - 2 * h;
        std::vector<bool> covered(font_atlas_width, false);
        for (int c = 0; c < 256; ++c) {
            const int w = static_cast<int>(glyph_width_tables[f][c]);
            if (w == 0) continue;
            const int col0 = 2 * static_cast<int>(glyph_offset_tables[f][c]);
            // Cells never overlap, with at least 4 pixels between them.
            for (int k = col0 - 4; k < col0 + 2 * w; ++k) {
                ASSERT_GE(k, 0);
                EXPECT_FALSE(covered[k]) << f << " " << c;
            }
            for (int k = col0; k < col0 + 2 * w; ++k) covered[k] = true;
            int opaque = 0;
            for (int r = cell_row0; r < top; ++r)
                for (int k = col0; k < col0 + 2 * w; ++k) {
                    const uint8_t* p = &font_atlas.pixels[(static_cast<size_t>(r) * font_atlas_width + k) * 4];
                    if (glyph_outlines[c].arrays.empty()) {
                        ASSERT_EQ(p[3] | p[0], 0) << "empty cell drawn " << f << " " << c;
                    } else {
                        ASSERT_EQ(p[0], 255);
                        opaque += p[3] == 255;
                    }
                }
            if (!glyph_outlines[c].arrays.empty()) {
                EXPECT_GT(opaque, 0) << f << " " << c;
            }
        }
        // Rows of the band below the cells stay empty.
        for (int r = 552 - 46 * (f + 1); r < cell_row0; ++r)
            for (int k = 0; k < font_atlas_width; ++k) ASSERT_EQ(alpha_at(k, r), 0) << f << " " << r;
    }
    // The space and newline cells of face 0 stay empty; "l" is a vertical
    // stroke at x = 0.5 of its box: opaque at the stroke centre, transparent
    // 1.5 pixels or more away.
    const int h0 = 17, H = 34, row0 = 552 - H;
    const int ol = 2 * static_cast<int>(glyph_offset_tables[0]['l']);
    const double W = 2.0 * glyph_width_tables[0]['l'] - 4;
    // Column k's centre sample x = k + 0.5 - 1, the stroke is at x = W / 2.
    const int centre_col = static_cast<int>(W / 2 + 0.5);
    const int mid_row = row0 + static_cast<int>(0.5 * H);
    EXPECT_EQ(alpha_at(ol + centre_col, mid_row), 255);
    for (int k = 0; k < 2 * static_cast<int>(glyph_width_tables[0]['l']); ++k) {
        const double d = std::fabs(k + 0.5 - 1.0 - W / 2);
        if (d >= 1.5) {
            EXPECT_EQ(alpha_at(ol + k, mid_row), 0) << k;
        }
    }
    (void)h0;
    reset_font_art();
}

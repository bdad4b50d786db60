#include <gtest/gtest.h>

#include <cmath>

#include "art/font_atlas.h"
#include "art/glyphs.h"
#include "art/typeface.h"

TEST(GlyphOutlines, StrokeDistance) {
    build_glyph_outlines();
    const GlyphOutline empty{{std::vector<double>{}}};
    EXPECT_TRUE(std::isinf(glyph_stroke_distance(empty, 1, 1, 10, 10)));
    // The dot of "." is solid (radius 1); glyph y 0 sits at 0.275 of the cell, y 1 at 0.725.
    const double H = 34, W = 10;
    EXPECT_NEAR(glyph_stroke_distance(glyph_outlines['.'], 0.5 * W, ((0.05 - 0.5) * 0.45 + 0.5) * H, W, H), -1.0, 1e-12);
    const GlyphOutline bar{{{0, 0, 1, 0, 0, -1}}};
    EXPECT_NEAR(glyph_stroke_distance(bar, 5, 0.275 * H, W, H), 0.0, 1e-12);
    EXPECT_NEAR(glyph_stroke_distance(bar, 5, 0.275 * H + 3, W, H), 3.0, 1e-12);
    EXPECT_NEAR(glyph_stroke_distance(bar, W + 4, 0.275 * H, W, H), 4.0, 1e-12);
    // On the outline of "O" the distance is 0; a clip-box edge counts as inside.
    const double cx = 0.5 * W, top = 0.725 * H;
    EXPECT_NEAR(glyph_stroke_distance(glyph_outlines['O'], cx, top, W, H), 0.0, 1e-9);
    const GlyphOutline clipped{{{}, {0, 0, 1, 1, -1, -1, 0.5, 2}}};
    EXPECT_NEAR(glyph_stroke_distance(clipped, cx, top, W, H), 0.0, 1e-9);
    EXPECT_TRUE(std::isinf(glyph_stroke_distance(clipped, cx + 0.01, top, W, H)));
}

TEST(Typefaces, WidthAndOffsetRules) {
    for (int f = 0; f < 12; ++f) {
        const GlyphTable& w = typefaces[f].glyph_widths;
        // Only tab, printables and ring are drawn; offsets have a 2-pixel
        // margin and 2-pixel gaps, and zero widths take the running offset.
        uint32_t run = 2;
        for (int c = 0; c < 256; ++c) {
            EXPECT_EQ(w[c] > 0, c == 9 || (c >= 32 && c <= 126) || c == 250) << f << " " << c;
            EXPECT_EQ(glyph_offset_tables[f][c], run) << f << " " << c;
            if (w[c] > 0) run += w[c] + 2;
        }
        EXPECT_LE(glyph_table_extent(w), 1075u) << f;
    }
    GlyphTable wide{};
    for (int c = 32; c <= 126; ++c) wide[c] = 20;
    EXPECT_GT(glyph_table_extent(wide), 1075u);
    EXPECT_EQ(glyph_offsets_from_widths(glyph_width_tables[3]), glyph_offset_tables[3]);
}

static const uint8_t* atlas_px(int col, int row) { return &font_atlas.pixels[(static_cast<size_t>(row) * font_atlas_width + col) * 4]; }

TEST(FontAtlas, BandsCellsAndCoverage) {
    reset_font_art();
    build_glyph_outlines();
    rasterise_font_atlas(2);
    ASSERT_EQ(font_atlas.pixels.size(), 4747200u);
    for (int f = 0; f < 12; ++f) {
        const int top = 552 - 46 * f;  // one past the band's last row
        const int cell_row0 = top - 2 * static_cast<int>(typeface_line_heights[f]);
        std::vector<bool> covered(font_atlas_width, false);
        for (int c = 0; c < 256; ++c) {
            const int w = 2 * static_cast<int>(glyph_width_tables[f][c]), col0 = 2 * static_cast<int>(glyph_offset_tables[f][c]);
            const bool drawn = !glyph_outlines[c].arrays.empty();
            int opaque = 0;
            for (int k = col0; k < col0 + w; ++k) {
                EXPECT_FALSE(covered[k]) << "overlap " << f << " " << c;
                covered[k] = true;
                for (int r = cell_row0; r < top; ++r) {
                    ASSERT_EQ(atlas_px(k, r)[0], drawn ? 255 : 0) << f << " " << c;
                    ASSERT_TRUE(drawn || atlas_px(k, r)[3] == 0) << "empty cell drawn " << f << " " << c;
                    opaque += atlas_px(k, r)[3] == 255;
                }
            }
            EXPECT_EQ(opaque > 0, w > 0 && drawn) << f << " " << c;
        }
        // Nothing is drawn outside the cells: neither in the gaps nor below them.
        for (int r = 552 - 46 * (f + 1); r < top; ++r)
            for (int k = 0; k < font_atlas_width; ++k)
                ASSERT_TRUE((r >= cell_row0 && covered[k]) || (atlas_px(k, r)[0] | atlas_px(k, r)[3]) == 0) << f << " " << r << " " << k;
    }
    // "l" of face 0 is a vertical stroke at x = W / 2 of its box (column k
    // samples x = k + 0.5 - 1): opaque at the centre, clear 1.5 pixels away.
    const int ol = 2 * static_cast<int>(glyph_offset_tables[0]['l']), mid_row = 552 - 34 + 17;
    const double W = 2.0 * glyph_width_tables[0]['l'] - 4;
    EXPECT_EQ(atlas_px(ol + static_cast<int>(W / 2 + 0.5), mid_row)[3], 255);
    for (int k = 0; k < 2 * static_cast<int>(glyph_width_tables[0]['l']); ++k)
        EXPECT_TRUE(std::fabs(k + 0.5 - 1.0 - W / 2) < 1.5 || atlas_px(ol + k, mid_row)[3] == 0) << k;
}

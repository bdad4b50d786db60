#include <cstring>

#include "ui/theme.h"
#include "ui_test_support.h"

namespace {

class ThemeTest : public UiTest {
protected:
    void TearDown() override { build_theme_table(), UiTest::TearDown(); }
};

using Doubles = std::vector<double>;
Doubles rgba(const double* c) { return {c[0], c[1], c[2], c[3]}; }

bool same_record(const Theme& a, const Theme& b) {
    bool same = std::memcmp(a.colours, b.colours, sizeof a.colours) == 0;
    for (int p = 0; p < theme_palette_count; ++p) {
        same = same && a.palettes[p].stops == b.palettes[p].stops && a.palettes[p].kind == b.palettes[p].kind;
    }
    return same;
}

TEST_F(ThemeTest, TableStartsLightAndBorderPalettesAreOpaqueOutside) {
    EXPECT_TRUE(same_record(active_theme, themes[1]));
    EXPECT_EQ(rgba(active_theme.colours[8]), (Doubles{0.275, 0.275, 0.275, 1}));
    EXPECT_EQ(active_theme.palettes[11].stops, (Doubles{0.95, 0.95, 0.95, 0.75, 0.75, 0.75, 0.75, 0.75}));
    // Bottom, top, left and right borders: transparent inside, opaque outside.
    const std::pair<int, int32_t> borders[] = {{9, PALETTE_TOP_TO_BOTTOM}, {3, PALETTE_BOTTOM_TO_TOP},
                                               {1, PALETTE_RIGHT_TO_LEFT}, {2, PALETTE_LEFT_TO_RIGHT}};
    for (int r = 1; r < theme_record_count; ++r) {
        const Palette* p = themes[r].palettes;
        for (auto [k, kind] : borders) {
            ASSERT_EQ(p[k].stops.size(), 8u);
            EXPECT_TRUE(p[k].kind == kind && p[k].stops[3] + 1.0 == p[k].stops[7]) << r << " " << k;
        }
        EXPECT_EQ(p[0].stops, p[8].stops);
        EXPECT_TRUE(p[5].stops == Palette::reversed(p[11]).stops && p[4].kind == PALETTE_LEFT_TO_RIGHT) << r;
    }
    const Palette three = Palette::reversed(Palette({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 3));
    EXPECT_TRUE(three.stops == (Doubles{9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4}) && three.kind == 3);
    EXPECT_TRUE(Palette::reversed(Palette()).stops.empty());
}

TEST_F(ThemeTest, SchemesAreCopiedInPlaceUnderBoundPointers) {
    Element bound;
    bound.text_colour = active_theme.colours[8];
    bound.background_palette = &active_theme.palettes[11];
    EXPECT_TRUE(copy_theme_into_active(THEME_DARK));
    EXPECT_EQ(rgba(bound.text_colour), (Doubles{0.75, 0.75, 0.75, 1}));
    EXPECT_EQ(bound.background_palette->stops[0], 0.25);
    const int32_t sources[] = {5, 2, 1, 3, 4};
    for (int32_t k = 0; k < theme_index_count; ++k) {
        EXPECT_TRUE(copy_theme_into_active(k) && same_record(active_theme, themes[sources[k]])) << k;
    }
    for (int32_t bad : {-1, 5}) {  // nothing copied
        EXPECT_TRUE(!copy_theme_into_active(bad) && same_record(active_theme, themes[4])) << bad;
    }
    EXPECT_TRUE(copy_theme_into_active(THEME_LIGHT) && same_record(active_theme, themes[1]));
    EXPECT_EQ(bound.text_colour, active_theme.colours[8]);
}

}  // namespace

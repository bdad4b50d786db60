#include "ui/theme.h"
#include "ui_test_support.h"

namespace {

class ThemeTest : public UiTest {
protected:
    void TearDown() override {
        build_theme_table();
        UiTest::TearDown();
    }
};

std::vector<double> rgba(const double* c) { return {c[0], c[1], c[2], c[3]}; }

void expect_same_record(const Theme& a, const Theme& b) {
    for (int c = 0; c < theme_colour_count; ++c) EXPECT_EQ(rgba(a.colours[c]), rgba(b.colours[c])) << c;
    for (int p = 0; p < theme_palette_count; ++p) {
        EXPECT_EQ(a.palettes[p].stops, b.palettes[p].stops) << p;
        EXPECT_EQ(a.palettes[p].kind, b.palettes[p].kind) << p;
    }
}

TEST_F(ThemeTest, TableStartsLightAndBorderPalettesAreOpaqueOutside) {
    expect_same_record(active_theme, themes[1]);
    EXPECT_EQ(rgba(active_theme.colours[8]), (std::vector<double>{0.275, 0.275, 0.275, 1}));
    EXPECT_EQ(active_theme.palettes[11].stops, (std::vector<double>{0.95, 0.95, 0.95, 0.75, 0.75, 0.75, 0.75, 0.75}));
    for (int r = 1; r < theme_record_count; ++r) {
        const Palette* p = themes[r].palettes;
        // Bottom, top, left and right borders: transparent inside, opaque outside.
        const std::pair<int, int32_t> borders[] = {{9, PALETTE_TOP_TO_BOTTOM}, {3, PALETTE_BOTTOM_TO_TOP},
                                                   {1, PALETTE_RIGHT_TO_LEFT}, {2, PALETTE_LEFT_TO_RIGHT}};
        for (auto [k, kind] : borders) {
            EXPECT_EQ(p[k].kind, kind);
            EXPECT_EQ(p[k].stops.size(), 8u);
            EXPECT_EQ(p[k].stops[3] + 1.0, p[k].stops[7]) << r << " " << k;
        }
        EXPECT_EQ(p[0].stops, p[8].stops);
        EXPECT_EQ(p[5].stops, Palette::reversed(p[11]).stops);
        EXPECT_EQ(p[4].kind, PALETTE_LEFT_TO_RIGHT);
    }
    Palette three({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 3);
    EXPECT_EQ(Palette::reversed(three).stops, (std::vector<double>{9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4}));
    EXPECT_EQ(Palette::reversed(three).kind, 3);
    EXPECT_TRUE(Palette::reversed(Palette()).stops.empty());
}

TEST_F(ThemeTest, SchemesAreCopiedInPlaceUnderBoundPointers) {
    Element bound;
    bound.text_colour = active_theme.colours[8];
    bound.background_palette = &active_theme.palettes[11];
    EXPECT_TRUE(copy_theme_into_active(THEME_DARK));
    EXPECT_EQ(rgba(active_theme.colours[3]), (std::vector<double>{0.05, 0.05, 0.05, 1}));
    EXPECT_EQ(rgba(bound.text_colour), (std::vector<double>{0.75, 0.75, 0.75, 1}));
    EXPECT_EQ(bound.background_palette->stops[0], 0.25);
    const int32_t sources[] = {5, 2, 1, 3, 4};
    for (int32_t k = 0; k < theme_index_count; ++k) {
        EXPECT_TRUE(copy_theme_into_active(k));
        expect_same_record(active_theme, themes[sources[k]]);
    }
    for (int32_t bad : {-1, 5}) {  // nothing copied
        EXPECT_FALSE(copy_theme_into_active(bad));
        expect_same_record(active_theme, themes[4]);
    }
    EXPECT_TRUE(copy_theme_into_active(THEME_LIGHT));
    expect_same_record(active_theme, themes[1]);
    EXPECT_EQ(bound.text_colour, active_theme.colours[8]);
}

}  // namespace

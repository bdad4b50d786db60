#include <cmath>
#include <cstring>

#include "ui/theme.h"
#include "ui_test_support.h"

namespace {

class ThemeTest : public UiTest {
protected:
    void TearDown() override { build_theme_table(), UiTest::TearDown(); }
};

using Doubles = std::vector<double>;

bool same_record(const Theme& a, const Theme& b) {
    bool same = std::memcmp(a.colours, b.colours, sizeof a.colours) == 0;
    for (int p = 0; p < theme_palette_count; ++p) {
        same = same && a.palettes[p].stops == b.palettes[p].stops && a.palettes[p].kind == b.palettes[p].kind;
    }
    return same;
}

TEST_F(ThemeTest, ReversedPalettesSwapWholeStops) {
    const Palette three = Palette::reversed(Palette({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 3));
    EXPECT_TRUE(three.stops == (Doubles{9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4}) && three.kind == 3);
    EXPECT_TRUE(Palette::reversed(Palette()).stops.empty());
}

TEST_F(ThemeTest, SchemesAreCopiedInPlaceUnderBoundPointers) {
    EXPECT_TRUE(same_record(active_theme, themes[1]));  // starts light
    Element bound;
    bound.text_colour = active_theme.colours[8];
    bound.background_palette = &active_theme.palettes[11];
    EXPECT_TRUE(copy_theme_into_active(THEME_DARK));
    EXPECT_EQ(std::memcmp(bound.text_colour, themes[5].colours[8], 4 * sizeof(double)), 0);
    EXPECT_EQ(bound.background_palette->stops, themes[5].palettes[11].stops);
    for (int32_t bad : {-1, 5}) {  // nothing copied
        EXPECT_TRUE(!copy_theme_into_active(bad) && same_record(active_theme, themes[5])) << bad;
    }
    EXPECT_TRUE(copy_theme_into_active(THEME_LIGHT) && same_record(active_theme, themes[1]));
    EXPECT_EQ(bound.text_colour, active_theme.colours[8]);
}

// Text on a fixed background: the boolean value colours take white text, a
// pale background black, and the pick always stands clearly off it.
TEST_F(ThemeTest, TextOnAFixedBackgroundContrastsWithIt) {
    const auto luminance = [](uint32_t c) {
        return 0.2126 * (c >> 16 & 0xff) / 255.0 + 0.7152 * (c >> 8 & 0xff) / 255.0 + 0.0722 * (c & 0xff) / 255.0;
    };
    EXPECT_EQ(contrasting_text_rgba(0xFF20A000u), 0xffffffffu);
    EXPECT_EQ(contrasting_text_rgba(0xFFA02000u), 0xffffffffu);
    EXPECT_EQ(contrasting_text_rgba(0xFFE0E0A0u), 0xff000000u);
    for (uint32_t background : {0xFF20A000u, 0xFFA02000u, 0xFF00FF00u, 0xFF808080u, 0xFFFFFF00u, 0xFF0000FFu})
        EXPECT_GT(std::abs(luminance(contrasting_text_rgba(background)) - luminance(background)), 0.3) << background;
}

}  // namespace

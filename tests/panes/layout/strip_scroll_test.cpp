#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "panes/layout/strip_scroll.h"

namespace {

using Ints = std::vector<int32_t>;

TEST(StripScroll, OffsetsTruncateTowardZero) {
    EXPECT_EQ(scroll_offset(300, 500, 1.0), -200);
    EXPECT_EQ(scroll_offset(300, 500, 0.5), -100);
    EXPECT_EQ(scroll_offset(300, 501, 0.5), -100);  // -100.5
    EXPECT_EQ(scroll_offset(300, 300, 0.7), 0);
    // The tool strip: 8 titles of 56 in a 720 bar are centred, in 400 they scroll.
    EXPECT_EQ(tool_strip_start(720, 56, 1.0), (720 - 448) / 2);
    EXPECT_EQ(tool_strip_start(400, 56, 1.0), -48);
    EXPECT_EQ(tool_strip_start(-16, 56, 0.0), 0);
    EXPECT_EQ(menu_strip_start(336, 56, 1.0), 336 - 560);
    EXPECT_EQ(tab_strip_x(300, 100, 8, 1.0), 8);
    EXPECT_EQ(tab_strip_x(300, 400, 8, 1.0), 8 + 300 - 400 - 16);
}

TEST(StripScroll, SliderStripKeepsItsLeastWidthOrSplitsTheBar) {
    const SliderStripGeometry narrow = slider_strip_geometry(600, 720, 0.5);
    EXPECT_EQ(narrow.strip_x, -60);
    EXPECT_EQ(narrow.strip_width, 720);
    EXPECT_EQ(Ints(narrow.cell_x, narrow.cell_x + 4), (Ints{0, 180, 360, 540}));
    EXPECT_EQ(Ints(narrow.cell_width, narrow.cell_width + 4), (Ints{180, 180, 180, 180}));
    const SliderStripGeometry wide = slider_strip_geometry(1023, 720, 1.0);
    EXPECT_EQ(wide.strip_x, 0);
    EXPECT_EQ(Ints(wide.cell_x, wide.cell_x + 4), (Ints{0, 255, 510, 765}));
    EXPECT_EQ(Ints(wide.cell_width, wide.cell_width + 4), (Ints{255, 255, 255, 258}));
}

TEST(StripScroll, FileListThumbAndSlider) {
    EXPECT_EQ(file_list_thumb_y(320, 32, 1.0), 320 - 32 + 2 - 2);
    EXPECT_DOUBLE_EQ(file_list_slider_fraction(900, 332, 32), 1.0);
    EXPECT_DOUBLE_EQ(file_list_slider_fraction(10, 32, 32), 0.0);  // no travel
}

}  // namespace

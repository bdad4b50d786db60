#include "ui/layouts.h"
#include "ui_test_support.h"

namespace {

using LayoutsTest = UiTest;

TEST_F(LayoutsTest, FillAndBorderPlacement) {
    FillLayout fill;
    Element stretched, fixed;
    stretched.fill = true;
    stretched.margin_left = 1, stretched.margin_top = 2, stretched.margin_right = 3, stretched.margin_bottom = 4;
    fill.padding_left = 5, fill.padding_top = 6, fill.padding_right = 7, fill.padding_bottom = 8;
    set_rect(fixed, 3, 4, 5, 6);
    fill.children = {&stretched, &fixed};
    fill.layout(200, 100);
    EXPECT_EQ(rect_of(stretched), (Ints{6, 8, 184, 80}));
    EXPECT_EQ(rect_of(fixed), (Ints{3, 4, 5, 6}));
    fill.layout(10, 10);  // not clamped
    EXPECT_EQ(rect_of(stretched), (Ints{6, 8, -6, -10}));

    BorderLayout border;
    Element left, top, right, bottom, centre;
    set_rect(left, 1, 1, 1, 1), set_rect(bottom, 2, 2, 2, 2);
    border.left = &left, border.top = &top, border.right = &right, border.bottom = &bottom, border.centre = &centre;
    border.top_size = 20, border.right_size = 30;
    border.layout(300, 200);  // regions of size 0 are left alone
    EXPECT_EQ((std::vector<Ints>{rect_of(left), rect_of(top), rect_of(right), rect_of(bottom), rect_of(centre)}),
              (std::vector<Ints>{{1, 1, 1, 1}, {0, 0, 300, 20}, {270, 20, 30, 180}, {2, 2, 2, 2}, {0, 20, 270, 180}}));
    border.left_size = 40, border.bottom_size = 10;
    border.layout(300, 200);
    EXPECT_EQ((std::vector<Ints>{rect_of(left), rect_of(right), rect_of(bottom), rect_of(centre)}),
              (std::vector<Ints>{{0, 20, 40, 170}, {270, 20, 30, 170}, {0, 190, 300, 10}, {40, 20, 230, 170}}));
}

struct Split {
    SplitLayout split;
    Element first, second, divider;
    Split(int orientation, int32_t w, int32_t h) {
        split.orientation = orientation;
        split.set_panes(&first, &second, &divider);
        set_rect(split, 0, 0, w, h);
    }
};

TEST_F(LayoutsTest, SplitPlacementClampsByOrientation) {
    struct Case { int o; int32_t length; double ratio; int32_t max_first, max_second; double stored; int32_t pos; };
    const Case cases[] = {  // o: orientation
        {1, 310, 0.05, -1, -1, 40.0 / 300, 40},       // first minimum
        {1, 310, 0.99, -1, -1, 1 - 40.0 / 300, 260},  // second minimum
        {1, 90, 0.05, -1, -1, 0.5, 40},               // just room for both minimums
        {1, 70, 0.5, -1, -1, 0.5, 30},                // too small for minimums
        {1, 410, 0.5, 100, 50, 100.0 / 400, 100},     // first maximum wins
        {1, 410, 0.5, -1, 50, 1 - 50.0 / 400, 350},   // second maximum
        {0, 410, 0.5, 100, -1, 0.5, 200},             // side by side: no maximum
        {0, 111, 0.5, -1, -1, 0.5, 51},               // rounded half up
    };
    for (const Case& c : cases) {
        Split s(c.o, c.o == 0 ? c.length : 50, c.o == 1 ? c.length : 50);
        s.split.ratio = c.ratio, s.split.max_first[c.o] = c.max_first, s.split.max_second[c.o] = c.max_second;
        s.split.relayout();
        EXPECT_DOUBLE_EQ(s.split.ratio, c.stored) << c.length;
        EXPECT_EQ((Ints{s.split.divider_pos[c.o], s.split.divider_end[c.o]}), (Ints{c.pos, c.pos + 10})) << c.length;
        const int32_t rest = c.length - c.pos - 10;  // the second pane after the divider
        EXPECT_EQ(rect_of(s.second), c.o == 1 ? (Ints{0, c.pos + 10, 50, rest}) : (Ints{c.pos + 10, 0, rest, 50}));
    }
    Split other(2, 100, 100);  // unknown orientation places nothing
    set_rect(other.first, 1, 2, 3, 4);
    other.split.relayout();
    EXPECT_EQ(rect_of(other.first), (Ints{1, 2, 3, 4}));
}

TEST_F(LayoutsTest, SplitWithoutRoomKeepsItsRatioAndIgnoresDrags) {
    for (int32_t length : {10, 0, -20}) {
        Split s(1, 100, length);
        s.split.min_first[1] = s.split.min_second[1] = 0, s.split.ratio = 0.3;
        s.split.relayout();
        s.split.dragging = true;
        EXPECT_TRUE(s.split.on_drag(0, 500, 0));
        EXPECT_DOUBLE_EQ(s.split.ratio, 0.3) << length;
        EXPECT_TRUE(rect_of(s.first) == (Ints{0, 0, 100, 0}) && s.second.y == 10) << length;
    }
}

TEST_F(LayoutsTest, DividerDragThroughTheTree) {
    Split s(1, 400, 310);
    Host root(s.split, 400, 330);
    s.split.y = 20;
    s.split.relayout();  // divider band 150..160
    EXPECT_FALSE(root_mouse_press(root, 10, 20 + 150, 0));                              // on divider_pos: no drag
    EXPECT_TRUE(root_mouse_press(root, 10, 20 + 160, 0) && drag_element == &s.split);  // on divider_end: drag
    EXPECT_TRUE(root.dispatch_drag(10, 20 + 190, 0));  // +30 of 300
    EXPECT_DOUBLE_EQ(s.split.ratio, 0.6);
    EXPECT_EQ(s.first.height, 180);
    EXPECT_TRUE(root.dispatch_drag(10, 5000, 0));  // clamped by the second minimum
    EXPECT_DOUBLE_EQ(s.split.ratio, 1 - 40.0 / 300);
    EXPECT_TRUE(s.split.on_mouse_down(0, 0, 2));  // other buttons swallowed while dragging
    EXPECT_EQ(release_output(root, 399, 0), "*** SPLIT-LAYOUT-MOUSE-UP ***\n");  // outside the split
    EXPECT_TRUE(!s.split.dragging && !drag_element);
    s.split.divider_draggable = false;
    EXPECT_FALSE(s.split.on_mouse_down(5, 160, 0) || s.split.dragging);
}

}  // namespace

TEST(LineFitting, WholeLinesStayAndLongOnesEndWithDotsInsideTheWidth) {
    GlyphTable widths{};
    widths.fill(6);
    widths['.'] = 3;
    const Typeface face{0, 1075, 23, 16, widths, widths};
    const auto width = [&](const std::string& s) {
        int32_t sum = 0;
        for (unsigned char c : s) sum += static_cast<int32_t>(face.glyph_widths[c]);
        return sum;
    };
    EXPECT_EQ(fit_line_with_ellipsis(&face, "abcdef", 36), "abcdef");  // exactly fits
    const std::string cut = fit_line_with_ellipsis(&face, "abcdef", 35);
    EXPECT_EQ(cut, "abcd...");
    EXPECT_LE(width(cut), 35);
    // No blank before the dots; a width below the dots gives what fits of them.
    EXPECT_EQ(fit_line_with_ellipsis(&face, "ab  cdefgh", 33), "ab...");
    EXPECT_EQ(fit_line_with_ellipsis(&face, "abcdef", 7), "..");
    EXPECT_EQ(fit_line_with_ellipsis(&face, "abcdef", -5), "");
    EXPECT_EQ(fit_line_with_ellipsis(nullptr, "abc", 0), "abc");  // nothing measures without a face
}

TEST(LineFitting, LongPathsKeepTheirEndBehindDotsAndTheHeadWhole) {
    GlyphTable widths{};
    widths.fill(6);
    widths['.'] = 3;
    const Typeface face{0, 1075, 23, 16, widths, widths};
    EXPECT_EQ(fit_path_text(&face, "", "/a/b/c", 36), "/a/b/c");  // exactly fits
    EXPECT_EQ(fit_path_text(&face, "", "/a/b/c", 35), ".../b/c");  // 9 + 24
    // The head stays; only its last line counts against the room.
    EXPECT_EQ(fit_path_text(&face, "in ", "/a/b/c", 51), "in .../b/c");
    EXPECT_EQ(fit_path_text(&face, "long head\n", "/a/b/c", 35), "long head\n.../b/c");
    // A cut never starts inside a UTF-8 sequence: "é" is two bytes.
    EXPECT_EQ(fit_path_text(&face, "", "/x/\xc3\xa9/d", 28), ".../d");  // room for half of it
    EXPECT_EQ(fit_path_text(&face, "", "/x/\xc3\xa9/d", 34), "...\xc3\xa9/d");
    EXPECT_EQ(fit_path_text(&face, "", "/a/b/c", 0), "/a/b/c");  // no room known: whole
}

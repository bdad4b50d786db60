#include <functional>

#include "ui/viewport.h"
#include "ui_test_support.h"

namespace {

using ViewportTest = UiTest;

std::string captured(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

struct Sized : Viewport {
    Sized(int32_t w, int32_t h) { set_rect(*this, 0, 0, w, h); }
    void lay() { layout(width, height); }
};

TEST_F(ViewportTest, SplittingRecordsTheCellsAndPlacesTheBar) {
    Sized vp(640, 480);
    EXPECT_EQ(captured([&] { vp.split_cell(0, 'X', true, true, 0.5); }), "SPLIT-ID:0;\n");
    EXPECT_EQ(vp.cell_rects, (std::vector<double>{0, 0, 1, 0.5, 0, 0.5, 1, 0.5}));
    EXPECT_EQ(vp.bar_rects, (std::vector<double>{0, 0.5, 1, 0.5}));
    EXPECT_EQ(vp.cell_split_index, (Ints{0, 0}));
    EXPECT_EQ(vp.children.size(), 3u);  // two cells, one bar
    vp.lay();
    EXPECT_EQ(rect_of(vp.bars[0]), (Ints{0, 236, 640, 8}));

    Sized across(640, 480);
    captured([&] { across.split_cell(0, 'Y', true, false, 0.5); });
    across.lay();
    EXPECT_EQ(rect_of(across.bars[0]), (Ints{316, 0, 8, 480}));
    EXPECT_EQ(across.recorded_split_count, 0);

    // A cell that does not exist is refused after its trace line.
    EXPECT_EQ(captured([&] { vp.split_cell(-1, 'X', true, true, 0.5); }), "SPLIT-ID:-1;\n");
    captured([&] { vp.split_cell(2, 'X', true, true, 0.5); });
    EXPECT_EQ(vp.cell_count, 2);
    EXPECT_EQ(vp.recorded_split_count, 1);
}

TEST_F(ViewportTest, CellsAreTruncatedWithBordersOnlyBetweenThem) {
    Sized vp(100, 50);
    vp.cell_count = 2;
    vp.cell_rects = {0, 0, 1.0 / 3, 1, 1.0 / 3, 0, 2.0 / 3, 1};
    vp.layout_cells();
    vp.lay();
    EXPECT_EQ(rect_of(vp.cells[0]), (Ints{0, 0, 33, 50}));
    EXPECT_EQ(rect_of(vp.cells[1]), (Ints{33, 0, 67, 50}));
    const auto borders = [](const Element& e) {
        return Ints{e.border_left.width, e.border_top.width, e.border_right.width, e.border_bottom.width};
    };
    EXPECT_EQ(borders(vp.cells[0]), (Ints{0, 0, 1, 0}));
    EXPECT_EQ(borders(vp.cells[1]), (Ints{1, 0, 0, 0}));

    Sized sole(100, 50);
    sole.layout_cells();
    sole.lay();
    EXPECT_EQ(borders(sole.cells[0]), (Ints{0, 0, 0, 0}));
    for (const Element* e : {&sole.eye_marks[0], &sole.lock_marks[0], &sole.close_buttons[0], &sole.cell_labels[0]})
        EXPECT_FALSE(e->visible);
}

TEST_F(ViewportTest, CellsDivideTheRegionInsideTheInsets) {
    Sized vp(640, 480);
    vp.view_insets = {100, 40, 20, 40};  // region (100, 40, 520, 400)
    captured([&] { vp.split_cell(0, 'Y', true, true, 0.5); });
    vp.lay();
    EXPECT_EQ(rect_of(vp.cells[0]), (Ints{100, 40, 260, 400}));
    EXPECT_EQ(rect_of(vp.cells[1]), (Ints{360, 40, 260, 400}));
    EXPECT_EQ(rect_of(vp.bars[0]), (Ints{356, 40, 8, 400}));
    // Borders only between cells, not along the region's edges.
    EXPECT_EQ(vp.cells[0].border_left.width + vp.cells[0].border_top.width, 0);
    EXPECT_EQ(vp.cells[0].border_right.width, 1);
    // Cell pictures are the cells; the cross at each cell's centre.
    const Viewport::Region r = vp.cell_view_rect(1);
    EXPECT_EQ((Ints{r.x, r.y, r.width, r.height}), (Ints{360, 40, 260, 400}));
    EXPECT_EQ(rect_of(vp.cross_marks[4]), (Ints{126, 199, 8, 2}));
    // A pointer in a margin belongs to the cell next to it.
    vp.on_motion(630, 10, 0);
    EXPECT_EQ(vp.hovered_cell, 1);
    vp.on_motion(10, 470, 0);
    EXPECT_EQ(vp.hovered_cell, 0);
    // A bar drag measures the divided cell within the region.
    vp.on_motion(360, 200, 0);
    ASSERT_EQ(vp.hovered_bar, 0);
    captured([&] {
        vp.on_mouse_down(360, 200, 0);
        vp.on_drag(412, 200, 0);
        vp.on_mouse_up(412, 200, 0);
    });
    EXPECT_DOUBLE_EQ(vp.recorded_ratios[0], 0.6);

    // A sole cell lies inside the insets with its grips, but its picture
    // and its cross stay on the whole viewport.
    Sized sole(640, 480);
    sole.view_insets = {0, 88, 0, 56};
    sole.layout_cells();
    sole.lay();
    EXPECT_EQ(rect_of(sole.cells[0]), (Ints{0, 88, 640, 336}));
    EXPECT_EQ(rect_of(sole.edge_zones[1]), (Ints{312, 0, 16, 8}));  // top grip, relative to the cell
    const Viewport::Region whole = sole.cell_view_rect(0);
    EXPECT_EQ((Ints{whole.x, whole.y, whole.width, whole.height}), (Ints{0, 0, 640, 480}));
    EXPECT_EQ(sole.cells[0].y + sole.cross_marks[0].y, 239);
    // Insets that leave nothing: the whole viewport.
    sole.view_insets = {400, 0, 400, 0};
    sole.lay();
    EXPECT_EQ(rect_of(sole.cells[0]), (Ints{0, 0, 640, 480}));
}

int32_t rebuilt = 0;

TEST_F(ViewportTest, BarDragsKeepFortyPixelsEachSideAndEndOnAnyRelease) {
    for (int32_t h : {480, 70}) {
        Sized vp(640, h);
        rebuilt = 0;
        vp.on_rebuilt = [] { ++rebuilt; };
        captured([&] { vp.split_cell(0, 'X', true, true, 0.5); });
        vp.lay();
        vp.on_motion(320, h / 2, 0);
        ASSERT_EQ(vp.hovered_bar, 0);
        EXPECT_EQ(captured([&] { EXPECT_TRUE(vp.on_mouse_down(320, h / 2, 0)); }), "VP-MDOWN\n");
        EXPECT_EQ(active_element_id, vp.id);
        EXPECT_EQ(captured([&] { vp.on_drag(320, -1000, 0); }), "VP-MDRAG\nSPLIT-ID:0;\n");
        EXPECT_DOUBLE_EQ(vp.recorded_ratios[0], h == 480 ? 40.0 / 480 : 0.5);
        EXPECT_DOUBLE_EQ(vp.cell_rects[3], vp.recorded_ratios[0]);
        EXPECT_EQ(rebuilt, 1);
        EXPECT_EQ(captured([&] { EXPECT_TRUE(vp.on_mouse_up(0, 0, 2)); }), "VP-MUP\n");
        EXPECT_EQ(vp.drag_bar, -1);
    }
    // A bar whose split was not recorded has no ratio to drag.
    Sized unrecorded(640, 480);
    captured([&] { unrecorded.split_cell(0, 'X', true, false, 0.5); });
    unrecorded.lay();
    unrecorded.on_motion(320, 240, 0);
    EXPECT_FALSE(unrecorded.on_mouse_down(320, 240, 0));
    EXPECT_EQ(unrecorded.drag_bar, -1);
}

Ints activations;

TEST_F(ViewportTest, PressesAndWheelActivateAnotherCellInsideTheViewRegion) {
    Sized vp(640, 480);
    activations.clear();
    vp.on_cell_activate = [] { activations.push_back(1); };
    captured([&] { vp.split_cell(0, 'Y', true, true, 0.5); });
    vp.view_insets = {0, 0, 40, 0};
    vp.lay();
    vp.on_motion(300, 100, 0);  // on the shared edge: the earlier cell
    EXPECT_EQ(vp.hovered_cell, 0);
    vp.on_motion(620, 100, 0);  // in cell 1, inside the right inset
    EXPECT_EQ(vp.hovered_cell, 1);
    vp.on_mouse_down(620, 100, 0);
    EXPECT_TRUE(activations.empty());
    vp.on_mouse_down(620, 100, 2);
    EXPECT_EQ(activations.size(), 1u);
    vp.on_motion(400, 100, 0);
    vp.on_mouse_down(400, 100, 0);
    vp.on_scroll(400, 100, 1);
    EXPECT_EQ(activations.size(), 3u);
    vp.current_cell = 1;
    vp.on_mouse_down(400, 100, 0);
    EXPECT_EQ(activations.size(), 3u);
    // A press on a grip is claimed by the grip.
    EXPECT_TRUE(vp.dispatch_mouse_down(vp.cells[1].x + 2, 240, 0));
}

TEST_F(ViewportTest, RebuildingTheCellsForgetsGlobalsThatPointIntoThem) {
    Sized vp(640, 480);
    captured([&] { vp.split_cell(0, 'X', true, true, 0.5); });
    focus_element = &vp.close_buttons[1];
    tooltip_element = &vp.cross_marks[5];
    hover_element = &vp.bars[0];
    captured([&] { vp.split_cell(1, 'Y', true, true, 0.5); });
    EXPECT_EQ(focus_element, nullptr);
    EXPECT_EQ(tooltip_element, nullptr);
    EXPECT_EQ(hover_element, nullptr);
    EXPECT_EQ(vp.cell_cameras.size(), 22u);  // one state until the split actions copy them
}

}  // namespace

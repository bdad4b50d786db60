#include <memory>
#include <set>

#include "ui/draw_list.h"
#include "ui_test_support.h"

namespace {

using DispatchTest = UiTest;
using Point = std::pair<int32_t, int32_t>;

Point seen;  // where the last accepting handler was hit, in its own frame
bool take_a(int32_t x, int32_t y, int32_t) { return trace.push_back("a"), seen = {x, y}, true; }
bool take_b(int32_t x, int32_t y, int32_t) { return trace.push_back("b"), seen = {x, y}, true; }
bool refuse(int32_t, int32_t, int32_t) { return trace.push_back("no"), false; }

// Root 200 x 100; panel at (50, 20, 100, 60); a and b side by side in the
// panel, sharing the edge x = 30.
struct Tree {
    RootContainer root;
    Container panel;
    Element a, b;
    Tree() {
        set_rect(root, 0, 0, 200, 100), set_rect(panel, 50, 20, 100, 60);
        set_rect(a, 10, 10, 20, 20), set_rect(b, 30, 10, 20, 20);
        root.children = {&panel}, panel.children = {&a, &b};
    }
};

TEST_F(DispatchTest, HitTestEdgesOrderAndFallThrough) {
    Tree t;
    t.a.mouse_down_handler = take_a, t.b.mouse_down_handler = take_b;
    EXPECT_TRUE(t.root.dispatch_mouse_down(60, 30, 0) && seen == Point(0, 0));   // a's top-left corner, a's frame
    EXPECT_TRUE(t.root.dispatch_mouse_down(80, 50, 0) && seen == Point(0, 20));  // shared edge: the later child wins
    EXPECT_TRUE(t.root.dispatch_mouse_down(100, 30, 0));   // b's right edge is inside
    EXPECT_FALSE(t.root.dispatch_mouse_down(101, 35, 0));  // one past it
    // Overlapping: b refuses, a gets it; both refuse, the panel gets it locally.
    t.b.x = 10, t.b.mouse_down_handler = refuse;
    EXPECT_TRUE(t.root.dispatch_mouse_down(65, 35, 0));
    t.a.mouse_down_handler = refuse, t.panel.mouse_down_handler = take_b;
    EXPECT_TRUE(t.root.dispatch_mouse_down(65, 35, 0));
    EXPECT_TRUE(trace == (Trace{"a", "b", "b", "no", "a", "no", "no", "b"}) && seen == Point(15, 15));
    // Ids go to accepting elements only, in order of first acceptance.
    EXPECT_EQ((Ints{t.a.id, t.b.id, t.panel.id, t.root.id, active_element_id}), (Ints{0, 1, 2, -1, 2}));
    // A click goes to the innermost handler, else falls back to the container's own.
    trace.clear();
    t.root.click_handler = [] { trace.push_back("root"); };
    EXPECT_TRUE(t.root.dispatch_click(65, 35, 0));
    t.a.click_handler = [] { trace.push_back("a"); };
    EXPECT_TRUE(t.root.dispatch_click(65, 35, 0));
    t.root.click_handler = nullptr;
    EXPECT_FALSE(t.root.dispatch_click(5, 5, 0));
    EXPECT_EQ(trace, (Trace{"root", "a"}));
}

TEST_F(DispatchTest, HiddenOrDisabledContainerHidesSubtreeButKeysIgnoreVisibility) {
    Tree t;
    t.a.mouse_down_handler = t.a.mouse_up_handler = t.a.motion_handler = t.a.drag_handler = take_a;
    t.a.scroll_handler = take_a, t.a.click_handler = [] { trace.push_back("click"); };
    claim_pointer(t.a);
    for (bool hidden : {false, true}) {
        t.panel.visible = !hidden, t.panel.enabled = hidden;
        EXPECT_FALSE(t.root.dispatch_mouse_down(65, 35, 0) || t.root.dispatch_mouse_up(65, 35, 0) ||
                     t.root.dispatch_motion(65, 35, 0) || t.root.dispatch_scroll(65, 35, 1) ||
                     t.root.dispatch_click(65, 35, 0) || t.panel.dispatch_drag(65, 35, 0));
    }
    EXPECT_TRUE(trace.empty());
    t.a.visible = false;  // the panel is hidden but enabled now
    t.a.key_press_handler = t.panel.key_press_handler = [](int32_t, int32_t) { return true; };
    EXPECT_TRUE(t.a.dispatch_key_press('x', 0));       // leaf: enabled is enough
    EXPECT_FALSE(t.panel.dispatch_key_press('x', 0));  // container: must be visible too
}

TEST_F(DispatchTest, DragReachesOnlyThePressedElementUntilRelease) {
    Tree t;
    t.a.mouse_down_handler = take_a, t.a.drag_handler = take_b;
    EXPECT_FALSE(root_mouse_press(t.root, 5, 5, 0));  // nobody accepts
    EXPECT_FALSE(t.root.dispatch_drag(65, 35, 0));
    using Ids = std::set<int32_t>;  // the drag handed out ids, none twice
    EXPECT_EQ((Ids{t.root.id, t.panel.id, t.a.id, t.b.id}), (Ids{0, 1, 2, 3}));
    EXPECT_TRUE(root_mouse_press(t.root, 65, 35, 0));
    EXPECT_TRUE(t.root.dispatch_drag(500, 400, 0) && seen == Point(440, 370));  // no hit test, a's frame
    static int released_button = -1;
    t.b.mouse_up_handler = [](int32_t, int32_t, int32_t b) { return released_button = b, false; };
    drag_element = &t.b;  // a captured drag hears every release
    root_mouse_release(t.root, 190, 90, 2);
    EXPECT_EQ(Point(released_button, active_element_id), Point(0, -1));
    EXPECT_FALSE(t.root.dispatch_drag(65, 35, 0));
}

TEST_F(DispatchTest, HoverAndToolTipFollowThePointerWithTheirRefreshes) {
    Tree t;
    t.root.refresh_handler = [] { trace.push_back("R"); };
    t.a.refresh_handler = [] { trace.push_back("rA"); };
    t.b.refresh_handler = [] { trace.push_back("rB"); };
    static const double colour[4] = {1, 0, 0, 1};
    t.a.hover_rgba = 0xff00ff00u, t.a.tooltip_title = "a title alone shows no tip";
    t.b.hover_colour = colour, t.b.tooltip_title = "T", t.b.tooltip_text = "t";
    collect_draw_list(t.root, true);  // absolute and clip rectangles, as every frame
    root_pointer_motion(t.root, 65, 35), root_pointer_motion(t.root, 66, 36);  // staying: no refresh
    EXPECT_TRUE(trace == Trace{"rA"} && !tooltip_element);
    root_pointer_motion(t.root, 85, 35);  // onto b: only b refreshed
    EXPECT_TRUE(!t.a.hovered && t.b.hovered && tooltip_element == &t.b);
    root_pointer_motion(t.root, 180, 90);  // empty space: whole tree refreshed
    EXPECT_TRUE(!hover_element && !tooltip_element && !t.b.hovered);
    EXPECT_EQ(trace, (Trace{"rA", "rB", "R", "rA", "rB"}));
    // Tool-tip without hover decoration; the decorated parent takes hover.
    t.b.hover_colour = nullptr, t.panel.hover_rgba = 1;
    root_pointer_motion(t.root, 85, 35);
    EXPECT_TRUE(tooltip_element == &t.b && hover_element == &t.panel);
    // Outside the clip (a sticks out of the panel) counts as outside.
    t.a.x = 95, t.a.motion_handler = take_a;  // consumes: the panel is not visited
    collect_draw_list(t.root, true);  // a's clip is 5 wide
    root_pointer_motion(t.root, 148, 35);
    EXPECT_TRUE(hover_element == &t.a && !t.panel.hovered);
    root_pointer_motion(t.root, 155, 35);
    EXPECT_EQ(hover_element, nullptr);
}

TEST_F(DispatchTest, FocusIsKeptByItsOwnPressAndLostToAnyOther) {
    Tree t;
    t.root.refresh_handler = [] { trace.push_back("R"); };
    t.a.mouse_down_handler = take_a, t.b.mouse_down_handler = take_b;
    t.a.take_focus(), t.b.take_focus();
    EXPECT_TRUE(!t.a.focused && focus_element == &t.b);
    root_mouse_press(t.root, 85, 35, 0), root_mouse_release(t.root, 85, 35, 0);
    EXPECT_EQ(focus_element, &t.b);
    root_mouse_press(t.root, 65, 35, 0);  // accepted elsewhere
    EXPECT_TRUE(!focus_element && !t.b.focused);
    root_mouse_release(t.root, 65, 35, 0), t.a.take_focus();
    root_mouse_press(t.root, 1, 1, 0);  // accepted by nobody
    EXPECT_TRUE(!focus_element && trace == (Trace{"b", "a", "R", "R"}));
}

TEST_F(DispatchTest, DestroyedMovedOrForgottenElementsLeaveNoDanglingGlobals) {
    auto doomed = std::make_unique<Element>();
    doomed->take_focus();
    hover_element = tooltip_element = drag_element = doomed.get();
    doomed.reset();
    EXPECT_TRUE(!focus_element && !hover_element && !tooltip_element && !drag_element);
    Element outsider;
    std::vector<Label> cells(2);
    cells[1].take_focus();
    cells[0].hovered = true, hover_element = &cells[0], tooltip_element = &outsider;
    cells.resize(100);  // reallocates: old storage is gone, copies are plain
    EXPECT_TRUE(!focus_element && !hover_element && !cells[1].focused && !cells[0].hovered);
    forget_vector_elements(cells);
    EXPECT_EQ(tooltip_element, &outsider);
    focus_element = hover_element = &cells[0];
    tooltip_element = drag_element = &cells[99];
    forget_vector_elements(cells);
    EXPECT_TRUE(!focus_element && !hover_element && !tooltip_element && !drag_element);
}

TEST_F(DispatchTest, LayoutReachesChildrenAddedMidWalk) {
    static Container root, first, late;
    set_rect(root, 0, 0, 300, 200), set_rect(late, 0, 0, 7, 9);
    root.children = {&first};
    root.layout_handler = [](int32_t w, int32_t h) { trace.push_back("root " + std::to_string(w * h)); };
    first.layout_handler = [](int32_t, int32_t) { root.children.resize(1), root.children.push_back(&late); };
    late.layout_handler = [](int32_t w, int32_t h) { trace.push_back("late " + std::to_string(w * h)); };
    root.relayout();
    root.layout(1, 2);
    EXPECT_EQ(trace, (Trace{"root 60000", "late 63", "root 2", "late 63"}));
}

TEST_F(DispatchTest, AcceptedWheelHonoursAPendingRelayoutAndMovesHover) {
    Tree t;
    t.a.scroll_handler = [](int32_t, int32_t, int32_t d) { return relayout_pending = d > 0, true; };
    t.root.layout_handler = [](int32_t w, int32_t) { trace.push_back("layout " + std::to_string(w)); };
    t.a.motion_handler = take_a;
    EXPECT_FALSE(root_wheel(t.root, 250, 50, 1));  // outside the root
    EXPECT_TRUE(root_wheel(t.root, 65, 35, -1) && trace.empty());
    EXPECT_TRUE(root_wheel(t.root, 65, 35, 1) && !relayout_pending);
    EXPECT_EQ(trace, (Trace{"layout 200", "a"}));
}

}  // namespace

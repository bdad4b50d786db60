#include "ui/slider.h"
#include "ui_test_support.h"

namespace {

using SliderTest = UiTest;
using ScrollPaneTest = UiTest;
using Doubles = std::vector<double>;

Doubles changes;

// A slider with an 8-wide thumb; at the default width 100 pixels of travel.
struct TestSlider {
    Slider slider;
    explicit TestSlider(int32_t width = 108) {
        set_rect(slider, 0, 0, width, 16);
        slider.children = {&slider.thumb};
        slider.on_changed = [](double v) { changes.push_back(v); };
        slider.on_pressed = [] { trace.push_back("pressed"); };
        slider.on_released = [] { trace.push_back("released"); };
        changes.clear();
    }
};

TEST_F(SliderTest, PointerMapsToValueStepsAndThumb) {
    TestSlider t;
    struct Case { int32_t steps, x; double value; int32_t thumb_x; };
    const Case cases[] = {{-1, 54, 0.5, 50}, {-1, 4, 0, 0},      {-1, 104, 1, 100}, {-1, 500, 1, 100},
                          {-1, -30, 0, 0},   {-1, 29, 0.25, 25}, {4, 64, 0.5, 50},  {4, 94, 1, 100},
                          {4, 14, 0, 0},     {4, 17, 0.25, 25}};
    for (const Case& c : cases) {
        t.slider.steps = c.steps;
        EXPECT_TRUE(t.slider.on_mouse_down(c.x, 5, 0));
        EXPECT_DOUBLE_EQ(t.slider.value, c.value) << c.x;
        EXPECT_EQ(rect_of(t.slider.thumb), (Ints{c.thumb_x, 0, 8, 16})) << c.x;
        t.slider.on_mouse_up(c.x, 5, 0);
    }
    EXPECT_EQ(changes, (Doubles{0.5, 0, 1, 0, 0.25, 0.5, 1, 0, 0.25}));  // only real changes
    t.slider.value = 0.999;
    t.slider.relayout();
    EXPECT_EQ(t.slider.thumb.x, 99);
    for (int32_t width : {8, 3, 0}) {  // no wider than the thumb: nothing to map onto
        TestSlider narrow(width);
        narrow.slider.value = 0.25;
        EXPECT_TRUE(narrow.slider.on_mouse_down(100, 0, 0));
        EXPECT_TRUE(narrow.slider.value == 0.25 && changes.empty()) << width;
    }
}

TEST_F(SliderTest, PressAtTheCurrentValueStartsADragAndTheDragEndsAnywhere) {
    TestSlider t;
    Host root(t.slider, 300, 100);
    t.slider.x = 20;
    t.slider.thumb.x = 77;  // stale: no relayout may happen
    EXPECT_TRUE(root_mouse_press(root, 20 + 4, 5, 0));
    EXPECT_TRUE(t.slider.thumb.x == 77 && changes.empty() && drag_element == &t.slider);
    EXPECT_TRUE(root.dispatch_drag(20 + 54, 90, 0) && root.dispatch_drag(290, 0, 0));
    EXPECT_EQ(changes, (Doubles{0.5, 1}));
    root_mouse_release(root, 299, 99, 0);
    EXPECT_TRUE(trace == (Trace{"pressed", "released"}) && !drag_element);
    EXPECT_TRUE(t.slider.on_mouse_down(54, 0, 2));  // every press is consumed
    Slider copy(t.slider);                          // a copy owns its thumb
    EXPECT_EQ(copy.children, std::vector<Element*>{&copy.thumb});
}

// A 112 x 112 pane: view 100 x 100, bars 12 thick, thumbs 24 long.
struct TestPane {
    ScrollPane pane;
    Element content;
    TestPane() {
        set_rect(pane, 0, 0, 112, 112), set_rect(content, 0, 0, 300, 300);
        pane.content = &content;
        pane.attach_children();
        pane.relayout();
    }
};

TEST_F(ScrollPaneTest, LayoutPlacesContentBarsAndThumbs) {
    TestPane t;
    EXPECT_EQ((std::vector<Ints>{rect_of(t.pane.hbar), rect_of(t.pane.vbar), rect_of(t.pane.hthumb)}),
              (std::vector<Ints>{{0, 100, 101, 12}, {100, 0, 12, 101}, {-1, 100, 25, 12}}));
    t.pane.scroll_x = 0.5, t.pane.scroll_y = 1;
    t.pane.relayout();
    EXPECT_EQ((Ints{t.content.x, t.content.y, t.pane.vthumb.y}), (Ints{-100, -200, 76}));
    t.content.width = 80;  // narrower than the view: not moved
    t.pane.relayout();
    EXPECT_EQ(t.content.x, 0);
    ScrollPane copy(t.pane);  // a copy refers to its own parts
    EXPECT_TRUE(copy.children[0] == &copy.view && copy.children[4] == &copy.vthumb);
}

TEST_F(ScrollPaneTest, WheelRulesWithAndWithoutShift) {
    TestPane t;
    struct Case { int32_t x, y, shift, direction; bool consumed; double sx, sy; };
    const Case cases[] = {
        {50, 50, 0, 1, true, 0, 0.05},      // view: vertical
        {50, 50, 1, 1, true, 0.05, 0.05},   // view with Shift: horizontal
        {105, 50, 1, 1, true, 0.05, 0.1},   // vertical bar ignores Shift
        {50, 105, 0, -1, true, 0, 0.1},     // horizontal bar
        {50, 105, 0, -1, false, 0, 0.1},    // already at the end
        {106, 106, 0, 1, false, 0, 0.1},    // corner square: callback, none set
        {101, 101, 0, 1, true, 0.05, 0.1},  // where the bars overlap the horizontal one wins
    };
    for (const Case& c : cases) {
        shift_held = c.shift;
        EXPECT_EQ(t.pane.on_scroll(c.x, c.y, c.direction), c.consumed) << c.x << "," << c.y;
        EXPECT_EQ((Doubles{t.pane.scroll_x, t.pane.scroll_y}), (Doubles{c.sx, c.sy})) << c.x << "," << c.y;
    }
    t.pane.scroll_y = 0.98;
    EXPECT_TRUE(t.pane.on_scroll(50, 50, 1) && t.pane.scroll_y == 1.0);  // clamped, then at the end
    EXPECT_FALSE(t.pane.on_scroll(50, 50, 1));
}

TEST_F(ScrollPaneTest, BarPressAndDragScrollUntilReleased) {
    TestPane t;
    Host root(t.pane, 200, 200);
    EXPECT_TRUE(root_mouse_press(root, 62, 105, 0));  // on the horizontal bar
    EXPECT_DOUBLE_EQ(t.pane.scroll_x, 50.0 / 77);
    EXPECT_TRUE(root.dispatch_drag(500, 0, 0) && t.content.x == -200);
    EXPECT_EQ(release_output(root, 199, 199), "*** SCROLL-PANE-MOUSE-UP ***\n");
    EXPECT_EQ(drag_element, nullptr);
    EXPECT_TRUE(root_mouse_press(root, 105, 0, 0) && root.dispatch_drag(105, 50, 0));  // on the vertical bar
    EXPECT_DOUBLE_EQ(t.pane.scroll_y, 38.0 / 77);
    EXPECT_EQ(release_output(root, 105, 50), "*** SCROLL-PANE-MOUSE-UP ***\n");
    EXPECT_FALSE(root_mouse_press(root, 106, 106, 0));  // corner: mouse-down callback
    t.pane.mouse_down_handler = [](int32_t x, int32_t y, int32_t) { return x == 106 && y == 106; };
    EXPECT_TRUE(root_mouse_press(root, 106, 106, 0));
    EXPECT_FALSE(root_mouse_press(root, 110, 110, 0) || t.pane.dragging_h || t.pane.dragging_v);
}

TEST_F(ScrollPaneTest, BarsNoLongerThanTheirThumbsChangeNothing) {
    TestPane t;
    set_rect(t.pane, 0, 0, 35, 35);  // bars exactly 24 long
    t.pane.relayout();
    EXPECT_TRUE(t.pane.on_mouse_down(20, 30, 0) && t.pane.on_mouse_down(30, 20, 0));
    set_rect(t.pane, 0, 0, 20, 20);  // bars shorter than the thumbs
    t.pane.relayout();
    EXPECT_TRUE(t.pane.on_mouse_down(10, 5, 0) && t.pane.on_drag(2, 18, 0));
    EXPECT_EQ((Doubles{t.pane.scroll_x, t.pane.scroll_y}), (Doubles{0, 0}));
}

}  // namespace

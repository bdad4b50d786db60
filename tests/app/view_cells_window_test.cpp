// The 3D view's cells in the real window: split with the grips as a user
// does (clicks through a private X server), with the side pane open; every
// cell's marks and grips inside the part of the view the bars leave, and the
// bars' pixels untouched by the cells.
#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"
#include "ui/viewport.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

int32_t changed(const Picture& a, const Picture& b, const ScreenRect& r) {
    int32_t n = 0;
    for (int32_t y = std::max(r.y, 0); y < std::min(r.y + r.h, a.height); ++y)
        for (int32_t x = std::max(r.x, 0); x < std::min(r.x + r.w, a.width); ++x) n += a.at(x, y) != b.at(x, y);
    return n;
}

// A cell's children in the order the viewport hangs them.
enum { LEFT_GRIP = 4, TOP_GRIP, RIGHT_GRIP, BOTTOM_GRIP, EYE, LOCK, CLOSE, NUMBER };

TEST(ViewCells, GripsSplitWhereTheUserSeesThemAndMarksStayOffTheBars) {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_EQ(platform_state.canvas_width, 720);
    auto settle = [&] { live.pump_for(300); };
    auto click = [&](const Element& e) {
        return live.xdotool("mousemove --sync " + live.at(2, 300) + " mousemove --sync " +
                            live.at(e.abs_x + e.abs_width / 2, e.abs_y + e.abs_height / 2) + " click 1");
    };

    auto* viewport = dynamic_cast<Viewport*>(find_element(app, [](Element& e) { return dynamic_cast<Viewport*>(&e); }));
    ASSERT_NE(viewport, nullptr);
    auto cells = [&] {
        std::vector<Container*> out;
        for (Element* c : viewport->children)
            if (auto* cell = dynamic_cast<Container*>(c)) out.push_back(cell);
        return out;
    };
    auto grip = [&](size_t cell, int which) -> Element& { return *cells()[cell]->children[size_t(which)]; };

    // The side pane open: it covers the view's left part.
    Element* console = find_element(app, [](Element& e) { return e.visible && e.text == "CONSOLE"; });
    ASSERT_NE(console, nullptr);
    ASSERT_TRUE(click(*console));
    settle();
    Element* side = named(app, "CONTROLPANE");
    ASSERT_TRUE(side != nullptr && side->visible);
    const Picture before = grab_canvas(live);

    // Left grip of the sole cell, then the top grip of the upper half, then
    // the bottom grip of the last cell: each one splits.
    ASSERT_EQ(cells().size(), 1u);
    ASSERT_TRUE(click(grip(0, LEFT_GRIP)));
    settle();
    ASSERT_EQ(cells().size(), 2u) << "the left grip is out of reach at " << show(rect_of(grip(0, LEFT_GRIP)));
    ASSERT_TRUE(click(grip(0, TOP_GRIP)));
    settle();
    ASSERT_EQ(cells().size(), 3u) << "the top grip is out of reach at " << show(rect_of(grip(0, TOP_GRIP)));
    const size_t last = cells().size() - 1;
    ASSERT_TRUE(click(grip(last, BOTTOM_GRIP)));
    settle();
    ASSERT_EQ(cells().size(), 4u) << "the bottom grip is out of reach at " << show(rect_of(grip(last, BOTTOM_GRIP)));
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(700, 300)));
    settle();
    const Picture after = grab_canvas(live);
    save_picture(after, "", "view_cells_split");

    // No mark or grip of any cell under a bar or the side pane.
    std::vector<Element*> bars;
    for (const char* name : {"TOOLBAR", "TIPBAR", "STATUSBAR", "TABBAR", "CONTROLPANE"}) {
        Element* bar = named(app, name);
        ASSERT_NE(bar, nullptr) << name;
        if (bar->visible) bars.push_back(bar);
    }
    for (size_t i = 0; i < cells().size(); ++i) {
        const Container& cell = *cells()[i];
        for (int k = LEFT_GRIP; k <= NUMBER; ++k) {
            const Element& mark = *cell.children[size_t(k)];
            ASSERT_TRUE(mark.visible);
            for (const Element* bar : bars)
                EXPECT_FALSE(rect_of(mark).overlaps(rect_of(*bar)))
                    << "cell " << i << " mark " << k << " at " << show(rect_of(mark)) << " under " << bar->name << " "
                    << show(rect_of(*bar));
        }
        // Its close button and number are on the screen.
        EXPECT_GT(changed(before, after, rect_of(*cell.children[CLOSE])), 10) << "cell " << i;
        EXPECT_GT(changed(before, after, rect_of(*cell.children[NUMBER])), 3) << "cell " << i;
    }
    // The bars look as they did before the splits.
    for (const char* name : {"TOOLBAR", "TABBAR"})
        EXPECT_EQ(changed(before, after, rect_of(*named(app, name))), 0) << name;
}

}  // namespace

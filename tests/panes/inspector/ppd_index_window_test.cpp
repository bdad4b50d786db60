// The index button in the title row of the "Performance Profiling Data"
// pane, in the real application's window: a click hides the entity-list
// column and the report takes the whole width; another brings it back.
// Everything is reached from the root and judged by what the X server shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

// Pixels of `r` unlike its commonest colour: text, icons, lines.
int64_t ink(const Picture& p, const ScreenRect& r) { return ink_in(p, r.x, r.y, r.w, r.h, 24); }

struct PpdIndex : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    void TearDown() override { free_context_meshes(app); }

    bool click(const Element* e) {
        if (e == nullptr) return false;
        live.find_canvas();
        const int32_t x = e->abs_x + e->abs_width / 2, y = e->abs_y + e->abs_height / 2;
        return live.xdotool("mousemove --sync " + live.at(x + 3, y + 3) + " mousemove --sync " + live.at(x, y) +
                            " sleep 0.1 click 1") &&
               live.await_frames();
    }
    Element* shown(const std::function<bool(Element&)>& wanted) { return find_shown(app, wanted); }
    Element* shown_named(const std::string& name) {
        return shown([&](Element& e) { return e.name == name; });
    }
    Picture settled() {
        live.find_canvas();
        live.xdotool("mousemove --sync " + live.at(4, app.height - 4) + " mousemove --sync " +
                     live.at(3, app.height - 3));
        live.pump_for(300);
        live.await_frames();
        return grab_canvas(live);
    }
};

TEST_F(PpdIndex, TitleButtonHidesAndShowsTheIndexColumn) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    // Profiling on in the run pane, then a script assembled with it.
    ASSERT_TRUE(click(shown_named("ASSEMBLE")));
    ASSERT_TRUE(live.pump_until([&] { return shown_named("RUNPANE") != nullptr; }, 5000));
    ASSERT_TRUE(click(shown([](Element& e) { return e.text == "PROFILER"; })));
    ASSERT_TRUE(live.xdotool("key Escape"));
    ASSERT_TRUE(live.pump_until([&] { return shown_named("RUNPANE") == nullptr; }, 5000));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "startup_blocks.vrek"}));
    // The entity inspector's "PPD" button opens the pane.
    live.find_canvas();
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(app.width / 2, app.height / 2) + " key 2"));
    ASSERT_TRUE(live.pump_until([&] { return shown_named("ENTITYINSPECTOR") != nullptr; }, 5000));
    ASSERT_TRUE(live.await_frames());
    // The script's row: the container whose first line names it.
    ASSERT_TRUE(click(find_shown(*shown_named("ENTITYINSPECTOR"), [](Element& e) {
        auto* c = dynamic_cast<Container*>(&e);
        return c && !c->children.empty() && c->children[0]->text == "startup_blocks.vrek";
    })));
    ASSERT_TRUE(live.pump_until([&] { return shown([](Element& e) { return e.text == "PPD"; }) != nullptr; }, 5000));
    ASSERT_TRUE(click(shown([](Element& e) { return e.text == "PPD"; })));
    ASSERT_TRUE(live.pump_until([&] { return shown_named("PROFILEPANE") != nullptr; }, 5000))
        << "no profiling pane";

    // The pane: title row, body, footer; in the body one holder of the two
    // columns, index first.
    auto* pane = dynamic_cast<Container*>(shown_named("PROFILEPANE"));
    ASSERT_NE(pane, nullptr);
    ASSERT_GE(pane->children.size(), 2u);
    auto* body = dynamic_cast<Container*>(pane->children[1]);
    ASSERT_NE(body, nullptr);
    ASSERT_FALSE(body->children.empty());
    auto* holder = dynamic_cast<Container*>(body->children[0]);
    ASSERT_NE(holder, nullptr);
    ASSERT_EQ(holder->children.size(), 2u);
    Element& index = *holder->children[0];
    Element& report = *holder->children[1];
    // The index button: the icon at the title row's left end.
    Element* title_row = pane->children[0];
    Element* button = find_shown(*title_row, [](Element& e) { return e.icon == 56 && e.click_handler; });
    ASSERT_NE(button, nullptr) << "no index button in the title row";
    EXPECT_EQ(button->abs_x, pane->abs_x);

    const Picture with_index = settled();
    save_picture(with_index, "panes", "ppd_with_index");
    EXPECT_TRUE(index.visible);
    EXPECT_EQ(report.abs_x - body->abs_x, 168);
    EXPECT_EQ(report.abs_width, 343);
    // Below its one row the index column is empty.
    const ScreenRect lower_left{body->abs_x + 4, body->abs_y + 3 * 24, 150, 120};
    EXPECT_LT(ink(with_index, lower_left), 20);
    EXPECT_GT(ink(with_index, {report.abs_x + 2, body->abs_y + 3 * 24, 150, 120}), 100);

    ASSERT_TRUE(click(button));
    ASSERT_TRUE(live.pump_until([&] { return !index.visible; }, 5000)) << "the click did not hide the column";
    const Picture without_index = settled();
    save_picture(without_index, "panes", "ppd_without_index");
    EXPECT_EQ(report.abs_x - body->abs_x, 0);
    EXPECT_EQ(report.abs_width, 511);
    // The report's lines now start at the pane's left edge.
    EXPECT_GT(ink(without_index, lower_left), 100) << "the report does not start at the left";

    ASSERT_TRUE(click(button));
    ASSERT_TRUE(live.pump_until([&] { return index.visible; }, 5000));
    const Picture again = settled();
    EXPECT_EQ(report.abs_x - body->abs_x, 168);
    EXPECT_EQ(report.abs_width, 343);
    EXPECT_LT(ink(again, lower_left), 20);
}

}  // namespace

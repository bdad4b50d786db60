// The minimal layout in the real application's window: switched on by the
// "Minimal-Mode" item of the system settings and by the small-window
// notice's button, toggled by Ctrl+M while the interface is quick-hidden,
// and every control of its bar clicked. Elements are found by walking the
// tree from the root; what counts is what the X server shows. One live
// application per process: each test runs as its own CTest entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"
#include "support/window_size.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

void save(const Picture& p, const std::string& name) { save_picture(p, "panes", "minimal_" + name); }

// The share of the pixels of `r` that differ between two pictures.
double changed_share(const Picture& a, const Picture& b, const ScreenRect& r) {
    int64_t points = 0, changed = 0;
    for (int32_t y = std::max(r.y, 0); y < r.y + r.h && y < a.height && y < b.height; ++y)
        for (int32_t x = std::max(r.x, 0); x < r.x + r.w && x < a.width && x < b.width; ++x)
            ++points, changed += !near_colour(a.at(x, y), b.at(x, y), 8);
    return points == 0 ? 0.0 : double(changed) / double(points);
}

// Pixels of `r` unlike its commonest colour: text, icons, lines.
int64_t ink(const Picture& p, const ScreenRect& r) { return ink_in(p, r.x, r.y, r.w, r.h, 24); }

const char* const full_layout_bars[] = {"TOOLBAR", "TIPBAR", "MENUBAR", "MENUNPANE", "STATUSBAR", "TABBAR"};

struct MinimalLayout : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    void TearDown() override { free_context_meshes(app); }

    bool click_at(int32_t x, int32_t y) { return live.click_at(x, y) && live.await_frames(); }
    // The pointer to a point, from beside it.
    bool point_at(int32_t x, int32_t y) {
        live.find_canvas();
        return live.xdotool("mousemove --sync " + live.at(x + 2, y + 2) + " mousemove --sync " + live.at(x, y));
    }
    bool click(const Element* e) {
        return e != nullptr && click_at(e->abs_x + e->abs_width / 2, e->abs_y + e->abs_height / 2);
    }
    // Keys with the pointer over the 3D view, which gives the window the
    // keyboard.
    bool keys(const std::string& names) {
        return point_at(app.width - 60, app.height / 2) && live.xdotool("sleep 0.1 key --delay 300 " + names) &&
               live.await_frames();
    }
    // The pointer in a corner where nothing shows a hover, then frames
    // until two grabs agree.
    Picture settled() {
        live.xdotool("mousemove --sync " + live.at(app.width - 4, app.height / 2) + " mousemove --sync " +
                     live.at(app.width - 3, app.height / 2 + 1));
        live.pump_for(300);
        Picture shown = grab_canvas(live);
        for (int tries = 0; tries < 10; ++tries) {
            live.pump_for(150);
            Picture again = grab_canvas(live);
            if (changed_share(shown, again, {0, 0, shown.width, shown.height}) == 0.0) break;
            shown = std::move(again);
        }
        return shown;
    }
    Element* shown(const std::function<bool(Element&)>& wanted) { return find_shown(app, wanted); }
    Element* shown_named(const std::string& name) {
        return shown([&](Element& e) { return e.name == name; });
    }
    Element* shown_text(Element& from, const std::string& text) {
        return find_shown(from, [&](Element& e) { return e.text == text; });
    }
    // The root child that carries the product title "VREK \t EI", when shown.
    Element* minimal_bar() {
        for (Element* child : app.children)
            if (child != nullptr && child->visible && shown_text(*child, "VREK \t EI")) return child;
        return nullptr;
    }
    bool wait(const std::function<bool()>& done) { return live.pump_until(done, 5000) && live.await_frames(); }
    Element* minimal_mode_item(bool shown_only) {
        auto item = [](Element& e) { return e.tooltip_title != nullptr && std::string(e.tooltip_title) == "system-config : minimal-mode";
        };
        return shown_only ? shown(item) : find_element(app, item);
    }
    // The settings bar and its system column, opened by pointer.
    bool open_system_settings() {
        if (!click(shown_named("SETTINGS")) || !wait([&] { return shown_named("MENUBAR") != nullptr; })) return false;
        // The system button is the bar's last: the wheel brings it into view.
        Element* menubar = shown_named("MENUBAR");
        Element* system = find_shown(*menubar, [](Element& e) { return e.name == "SETTINGS"; });
        if (system == nullptr || !point_at(menubar->abs_x + menubar->abs_width / 2, app.height / 2)) return false;
        for (int notch = 0; notch < 20; ++notch) {
            if (system->abs_y + system->abs_height <= menubar->abs_y + menubar->abs_height) break;
            if (!live.xdotool("click 5") || !live.await_frames()) return false;
        }
        return click(system) && wait([&] { return minimal_mode_item(true) != nullptr; });
    }
    bool switch_by_settings_item() {
        return open_system_settings() && click(minimal_mode_item(true)) &&
               wait([&] { return minimal_bar() != nullptr; });
    }
};

// The item switches to the minimal layout: its bar at the left edge as high
// as the window, the bars of the full layout gone, the 3D view beside the
// bar. Ctrl+M while quick-hidden switches back, and the full layout shows
// as before, the item unchecked again; the same keys switch once more.
TEST_F(MinimalLayout, SettingsItemSwitchesAndCtrlMTogglesBack) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(open_system_settings());
    EXPECT_EQ(minimal_bar(), nullptr);
    const Picture full = settled();
    save(full, "full_layout");
    std::map<std::string, ScreenRect> full_rects;
    for (const char* name : full_layout_bars) {
        Element* bar = shown_named(name);
        ASSERT_NE(bar, nullptr) << name;
        full_rects[name] = rect_of(*bar);
    }
    const ScreenRect item_rect = rect_of(*minimal_mode_item(true));

    ASSERT_TRUE(click(minimal_mode_item(true)));
    ASSERT_TRUE(wait([&] { return minimal_bar() != nullptr; })) << "the item did not switch";
    const Picture minimal = settled();
    save(minimal, "minimal_layout");
    const int32_t W = app.width, H = app.height;
    const ScreenRect bar = rect_of(*minimal_bar());
    EXPECT_EQ(show(bar), show({0, 0, 168, H}));
    for (const char* name : full_layout_bars) EXPECT_EQ(shown_named(name), nullptr) << name << " still shown";
    Element* content = shown_named("CONTENTPANE");
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(show(rect_of(*content)), show({168, 0, W - 168, H}));
    // The command list's first row reads, inside the bar; where the tool
    // bar was, right of the bar, the view shows now.
    Element* first_row = shown_text(*minimal_bar(), "Console-Trace [1]");
    ASSERT_NE(first_row, nullptr);
    EXPECT_TRUE(rect_of(*first_row).overlaps(bar));
    EXPECT_GT(ink(minimal, rect_of(*first_row)), 40);
    EXPECT_GT(changed_share(full, minimal, {0, 32, 168, H - 52}), 0.2) << "the bar is not drawn";
    EXPECT_GT(changed_share(full, minimal, {200, 0, W - 400, 56}), 0.3) << "the tool bar's place is unchanged";
    ASSERT_NE(minimal_mode_item(false), nullptr);
    EXPECT_TRUE(minimal_mode_item(false)->selected);

    // Ctrl+M waits for the quick-hide.
    ASSERT_TRUE(keys("ctrl+m"));
    live.pump_for(200);
    EXPECT_NE(minimal_bar(), nullptr);

    ASSERT_TRUE(keys("space ctrl+m space"));
    ASSERT_TRUE(wait([&] { return minimal_bar() == nullptr && shown_named("TOOLBAR") != nullptr; }))
        << "Ctrl+M did not switch back";
    const Picture back = settled();
    save(back, "full_layout_again");
    for (const char* name : full_layout_bars) {
        Element* e = shown_named(name);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(show(rect_of(*e)), show(full_rects[name])) << name;
        if (std::string(name) != "STATUSBAR") {
            EXPECT_EQ(changed_share(full, back, full_rects[name]), 0.0) << name << " looks otherwise";
        }
    }
    EXPECT_FALSE(minimal_mode_item(false)->selected);
    EXPECT_EQ(changed_share(full, back, item_rect), 0.0) << "the item's look did not follow";

    ASSERT_TRUE(keys("space ctrl+m space"));
    ASSERT_TRUE(wait([&] { return minimal_bar() != nullptr; })) << "Ctrl+M did not switch again";
    EXPECT_EQ(shown_named("TOOLBAR"), nullptr);
}

// In a window too small for the full layout the notice covers it and
// swallows the pointer; its "Minimal-Mode" button switches to the minimal
// layout, which fits, and the notice goes.
TEST_F(MinimalLayout, SmallWindowNoticeButtonSwitches) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(resize_window(live, 420, 320));
    Element* notice = shown([](Element& e) { return e.text == "Resize Window\n\n"; });
    ASSERT_NE(notice, nullptr);
    const Picture small = settled();
    save(small, "small_window_notice");

    // A click on the notice beside its button reaches nothing below.
    Element* assemble = find_element(app, [](Element& e) { return e.name == "ASSEMBLE"; });
    ASSERT_NE(assemble, nullptr);
    ASSERT_TRUE(click(assemble));
    live.pump_for(200);
    EXPECT_EQ(shown_named("RUNPANE"), nullptr);
    EXPECT_NE(shown([](Element& e) { return e.text == "Resize Window\n\n"; }), nullptr);

    Element* button = shown_text(*notice, "Minimal-Mode");
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(click(button));
    ASSERT_TRUE(wait([&] { return minimal_bar() != nullptr; })) << "the button did not switch";
    EXPECT_EQ(shown([](Element& e) { return e.text == "Resize Window\n\n"; }), nullptr);
    const Picture minimal = settled();
    save(minimal, "small_window_minimal");
    EXPECT_EQ(show(rect_of(*minimal_bar())), show({0, 0, 168, 320}));
    // The notice's cover is gone from the view beside the bar.
    EXPECT_GT(changed_share(small, minimal, {180, 120, 220, 180}), 0.1);
    EXPECT_TRUE(minimal_mode_item(false)->selected);
}

// Every control of the minimal bar, clicked: the three tool buttons that
// open popups, "About" and "Help", the three side-pane rows and the
// indicator that closes the side pane, "UI-Quick-Hide [SPACEBAR]",
// "Fullscreen [CTRL + F]" and "Advanced-Mode" further down the list.
TEST_F(MinimalLayout, EveryControlOfTheBarWorks) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "startup_blocks.vrek"}));
    ASSERT_TRUE(switch_by_settings_item());
    const int32_t W = app.width, H = app.height;
    const Picture plain = settled();
    save(plain, "controls_start");

    // A control that opens a popup: the pane shows over the view, and
    // Escape closes it again.
    auto opens = [&](Element* control, const std::string& pane) {
        SCOPED_TRACE(pane);
        ASSERT_NE(control, nullptr);
        ASSERT_TRUE(click(control));
        ASSERT_TRUE(live.pump_until([&] { return shown_named(pane) != nullptr; }, 10'000)) << "no " << pane;
        const Picture open = settled();
        save(open, "popup_" + pane);
        EXPECT_GT(changed_share(plain, open, rect_of(*shown_named(pane))), 0.2);
        ASSERT_TRUE(keys("Escape"));
        ASSERT_TRUE(wait([&] { return shown_named(pane) == nullptr; }));
    };
    auto tool = [&](int32_t icon) {
        return find_shown(*minimal_bar(), [icon](Element& e) { return e.icon == icon && e.click_handler; });
    };
    opens(tool(41), "RUNPANE");
    opens(tool(21), "CAPTUREPANE");
    opens(tool(4), "EXPORTPANE");
    opens(shown_text(*minimal_bar(), "About"), "ABOUTPANE");
    opens(shown_text(*minimal_bar(), "Help"), "HELPPANE");

    // The side-pane rows open their pane beside the list; the bar widens
    // to the side pane and its indicator names the pane. A click on the
    // indicator closes it and brings the list back.
    const struct {
        const char* row;
        const char* pane;
        const char* indicator;
    } sides[] = {{"Console-Trace [1]", "CONSOLETRACE", "CONSOLE"},
                 {"Entity-Inspector [2]", "ENTITYINSPECTOR", "ENTITY"},
                 {"Parameter-Control [3]", "PARAMETERCONTROL", "PARAMETER"}};
    for (const auto& side : sides) {
        SCOPED_TRACE(side.row);
        ASSERT_TRUE(click(shown_text(*minimal_bar(), side.row)));
        ASSERT_TRUE(wait([&] { return shown_named(side.pane) != nullptr; }));
        const Picture open = settled();
        save(open, std::string("side_") + side.pane);
        EXPECT_EQ(show(rect_of(*minimal_bar())), show({0, 0, 256, H}));
        Element* pane = shown_named(side.pane);
        EXPECT_GT(changed_share(plain, open, rect_of(*pane)), 0.15) << "the side pane is not drawn";
        Element* indicator = shown_text(*minimal_bar(), side.indicator);
        ASSERT_NE(indicator, nullptr);
        EXPECT_GT(ink(open, {indicator->abs_x, std::max(indicator->abs_y, 0), indicator->abs_width, 32}), 30);
        ASSERT_TRUE(click(indicator));
        ASSERT_TRUE(wait([&] { return shown_named(side.pane) == nullptr; }));
        EXPECT_EQ(show(rect_of(*minimal_bar())), show({0, 0, 168, H}));
    }

    // Rows further down come into view with the wheel over the list.
    auto scrolled_to = [&](const std::string& caption) -> Element* {
        if (!point_at(80, H / 2)) return nullptr;
        for (int notch = 0; notch < 40; ++notch) {
            Element* row = shown_text(*minimal_bar(), caption);
            if (row != nullptr && row->abs_y >= 34 && row->abs_y + row->abs_height <= H - 20) return row;
            if (!live.xdotool("click 5") || !live.await_frames()) return nullptr;
        }
        return nullptr;
    };
    Element* hide = scrolled_to("UI-Quick-Hide [SPACEBAR]");
    ASSERT_NE(hide, nullptr) << "the list did not scroll to the row";
    const Picture before_hide = settled();
    ASSERT_TRUE(click(hide));
    ASSERT_TRUE(wait([&] { return minimal_bar() == nullptr; })) << "the row did not hide the interface";
    const Picture hidden = settled();
    save(hidden, "quick_hidden");
    EXPECT_GT(changed_share(before_hide, hidden, {0, 40, 160, H - 80}), 0.15) << "the bar still shows";
    ASSERT_TRUE(keys("space"));
    ASSERT_TRUE(wait([&] { return minimal_bar() != nullptr; }));

    // Full screen hides the window's border line; without a window manager
    // the window keeps its size.
    Element* full = scrolled_to("Fullscreen [CTRL + F]");
    ASSERT_NE(full, nullptr);
    const Picture framed = settled();
    ASSERT_TRUE(click(full));
    ASSERT_TRUE(wait([&] { return shown_named("BORDER") == nullptr; })) << "the row did not go full screen";
    const Picture whole = settled();
    save(whole, "full_screen");
    EXPECT_GT(changed_share(framed, whole, {200, 0, W - 260, 1}), 0.5) << "the border line still shows";
    ASSERT_TRUE(click(scrolled_to("Fullscreen [CTRL + F]")));
    ASSERT_TRUE(wait([&] { return shown_named("BORDER") != nullptr; }));

    // The list's last row leads back to the full layout.
    ASSERT_TRUE(click(scrolled_to("\t Advanced-Mode")));
    ASSERT_TRUE(wait([&] { return minimal_bar() == nullptr && shown_named("TOOLBAR") != nullptr; }));
}

}  // namespace

// What a user meets in the first hour, in the real window under a private X
// server: keys typed through XTest with their real key codes, rows selected
// in the file browser in every theme, the console as lines arrive.
#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"
#include "ui/slider.h"
#include "ui/text_field.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

bool shown(const Element& e) { return e.visible && e.abs_width > 0 && e.abs_height > 0; }

struct FirstHour : LiveWindow {};

// xdotool's name of the unshifted symbol on the key that types `c`, and
// whether that key needs Shift for it, from the server's key map.
std::pair<std::string, bool> key_for(char c) {
    Display* display = gdk_x11_get_default_xdisplay();
    const KeySym wanted = static_cast<KeySym>(static_cast<unsigned char>(c));
    const KeyCode code = XKeysymToKeycode(display, wanted);
    const KeySym base = XkbKeycodeToKeysym(display, code, 0, 0);
    const char* name = XKeysymToString(base);
    return {name ? name : "", base != wanted};
}

// The export name field: "k_k_k_" typed with Shift let go before "-", then
// every printable character once with Shift let go first and once with
// Shift held throughout. (Auto-repeat, which this server has off, is the
// window layer's unit tests' business.)
TEST_F(FirstHour, TypedCharactersArriveOnceWhateverShiftDid) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "cameras_and_variants.vrek"}));
    live.find_canvas();
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(1, 1) + " key ctrl+s"));
    settle();
    Element* pane = named(app, "EXPORTPANE");
    ASSERT_TRUE(pane != nullptr && shown(*pane));
    auto* field = dynamic_cast<TextField*>(find_shown(*pane, [](Element& e) { return dynamic_cast<TextField*>(&e); }));
    ASSERT_NE(field, nullptr);
    auto typed = [&](const std::string& keys) {
        return click(*field) && live.xdotool("key ctrl+a BackSpace " + keys) && live.await_frames();
    };

    ASSERT_TRUE(typed("keydown k keyup k keydown Shift_L keydown minus keyup Shift_L keyup minus "
                      "keydown k keyup k keydown Shift_L keydown minus keyup minus keyup Shift_L "
                      "keydown k keyup k keydown Shift_L keydown minus keyup minus keyup Shift_L"));
    EXPECT_EQ(field->text, "k_k_k_");

    std::string keys, expected;
    for (char c = ' '; c <= '~'; ++c) {
        const auto [name, shifted] = key_for(c);
        ASSERT_FALSE(name.empty()) << c;
        if (!shifted) {
            keys += " keydown " + name + " keyup " + name;
            expected += c;
            continue;
        }
        keys += " keydown Shift_L keydown " + name + " keyup Shift_L keyup " + name;
        keys += " keydown Shift_L keydown " + name + " keyup " + name + " keyup Shift_L";
        expected += std::string(2, c);
    }
    ASSERT_TRUE(typed(keys));
    EXPECT_EQ(field->text, expected);

    ASSERT_TRUE(live.xdotool("key Escape"));
}

int32_t changed_pixels(const Picture& a, const Picture& b, const ScreenRect& r) {
    int32_t n = 0;
    for (int32_t y = std::max(r.y, 0); y < std::min(r.y + r.h, a.height); ++y)
        for (int32_t x = std::max(r.x, 0); x < std::min(r.x + r.w, a.width); ++x) n += a.at(x, y) != b.at(x, y);
    return n;
}

// The console as assemblies add lines: a view at its newest line follows
// the new ones; one scrolled up stays, on the screen, until scrolled down.
TEST_F(FirstHour, TheConsoleFollowsItsNewestLineUnlessScrolledUp) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    Element* tab = find_shown(app, [](Element& e) { return e.text == "CONSOLE"; });
    ASSERT_NE(tab, nullptr);
    ASSERT_TRUE(click(*tab));
    settle();
    auto* scroll = dynamic_cast<ScrollPane*>(
        find_shown(*named(app, "CONSOLEUPPER"), [](Element& e) { return dynamic_cast<ScrollPane*>(&e); }));
    ASSERT_TRUE(scroll != nullptr && scroll->content != nullptr);
    const Element& view = scroll->view;
    const Element& text = *scroll->content;
    // A run of the kernel, as the user starts and confirms it from the view.
    const auto assemble = [&] {
        const size_t before = live.console_count("");
        return live.xdotool("key ctrl+r") && live.await_frames() && live.xdotool("key Return") &&
               live.pump_until([&] { return live.console_count("") > before; }, 30'000) && live.await_frames(3);
    };
    const auto at_bottom = [&] { return text.abs_y + text.abs_height == view.abs_y + view.abs_height; };
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "cameras_and_variants.vrek"}));
    // Keys reach the view once the opening's panes have gone.
    ASSERT_TRUE(live.pump_until(
        [&] {
            return !named(app, "OPENPANE")->visible && !named(app, "LOADPANE")->visible;
        },
        5000));
    for (int k = 0; k < 30 && text.abs_height <= view.abs_height; ++k) ASSERT_TRUE(assemble());
    ASSERT_GT(text.abs_height, view.abs_height) << "the console never filled";
    EXPECT_TRUE(at_bottom()) << show(rect_of(text)) << " in " << show(rect_of(view));

    ASSERT_TRUE(assemble());
    EXPECT_TRUE(at_bottom()) << show(rect_of(text)) << " in " << show(rect_of(view));

    // Three notches up: new lines leave the view as it is.
    const int32_t x = view.abs_x + view.abs_width / 2, y = view.abs_y + view.abs_height / 2;
    ASSERT_TRUE(live.move_to(x, y) && live.xdotool("click --repeat 3 --delay 20 4"));
    settle();
    ASSERT_FALSE(at_bottom());
    const int32_t scrolled_to = text.abs_y;
    const Picture before = grab_canvas(live);
    ASSERT_TRUE(assemble());
    EXPECT_EQ(text.abs_y, scrolled_to);
    EXPECT_EQ(changed_pixels(before, grab_canvas(live), rect_of(view)), 0);

    // Down to the end again: the view follows once more.
    ASSERT_TRUE(live.xdotool("click --repeat 40 --delay 10 5"));
    settle();
    ASSERT_TRUE(assemble());
    EXPECT_TRUE(at_bottom()) << show(rect_of(text)) << " in " << show(rect_of(view));
}

// How far a row's background moved from how it looked before, in levels of
// the channel that moved most: the mean over the row's top band, above its
// text.
int32_t background_shift(const Picture& before, const Picture& after, const Element& row) {
    int64_t sum[3] = {0, 0, 0};
    int64_t n = 0;
    for (int32_t y = row.abs_y + 2; y < row.abs_y + 6; ++y)
        for (int32_t x = row.abs_x + 4; x < row.abs_x + row.abs_width - 4; ++x, ++n)
            for (int c = 0; c < 3; ++c)
                sum[c] += int32_t(after.at(x, y) >> (16 - 8 * c) & 0xFF) - int32_t(before.at(x, y) >> (16 - 8 * c) & 0xFF);
    int64_t most = 0;
    for (int64_t v : sum) most = std::max(most, std::abs(v));
    return n > 0 ? static_cast<int32_t>(most / n) : 0;
}

// The file browser in each theme: a selected row stands out from its
// unselected look at least as plainly as a hovered row does; a click
// toggles its row and keeps the others.
TEST_F(FirstHour, SelectedBrowserRowsStandOutInEveryTheme) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    for (const char* theme : {"Light", "Silver", "Charcoal", "Midnight", "Dark"}) {
        SCOPED_TRACE(theme);
        Element* settings = find_shown(app, [](Element& e) {
            return e.tooltip_title != nullptr && std::string(e.tooltip_title).rfind("settings", 0) == 0;
        });
        ASSERT_NE(settings, nullptr);
        ASSERT_TRUE(click(*settings));
        Element* column = find_shown(app, [](Element& e) { return e.name == "THEME"; });
        ASSERT_NE(column, nullptr);
        const auto item_of = [&] { return find_shown(app, [&](Element& e) { return e.text == theme; }); };
        ASSERT_TRUE(click(*column));
        if (item_of() == nullptr) {
            ASSERT_TRUE(click(*column));  // it was open and has closed
        }
        Element* item = item_of();
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(click(*item));
        ASSERT_TRUE(click(*settings));
        settle();

        ASSERT_TRUE(live.xdotool("key ctrl+o"));
        settle();
        Element* pane = named(app, "FILEPANE");
        ASSERT_TRUE(pane != nullptr && shown(*pane));
        std::vector<Element*> rows;
        each_element(*pane, [&](Element& e) {
            if (e.name == "browser_row" && shown(e)) rows.push_back(&e);
        });
        ASSERT_GE(rows.size(), 3u);
        Element &a = *rows[0], &b = *rows[1];
        // The pointer off the rows, on the pane's bottom edge.
        const auto away = [&] { return live.move_to(pane->abs_x + 4, pane->abs_y + pane->abs_height - 3); };
        ASSERT_TRUE(away());
        settle();
        const Picture plain = grab_canvas(live);
        ASSERT_TRUE(live.move_to(b.abs_x + b.abs_width / 2, b.abs_y + b.abs_height / 2));
        settle();
        const int32_t hovered = background_shift(plain, grab_canvas(live), b);
        EXPECT_GE(hovered, 6);

        ASSERT_TRUE(click(a));
        ASSERT_TRUE(away());
        settle();
        Picture now = grab_canvas(live);
        save_picture(now, "shell", std::string("browser_selected_") + theme);
        const int32_t selected = background_shift(plain, now, a);
        EXPECT_GE(selected, hovered) << "hovered " << hovered;

        // B joins A; A again leaves B selected.
        ASSERT_TRUE(click(b));
        ASSERT_TRUE(click(a));
        ASSERT_TRUE(away());
        settle();
        now = grab_canvas(live);
        EXPECT_LE(background_shift(plain, now, a), 1);
        EXPECT_GE(background_shift(plain, now, b), hovered);
        ASSERT_TRUE(live.xdotool("key Escape"));
        settle();
    }
}

}  // namespace

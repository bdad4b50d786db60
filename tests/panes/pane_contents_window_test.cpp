// What the panes show after the actions that fill them, read off the screen
// of the real application under a private X server: the elements asserted
// on are found by walking the tree from the root, their pixels grabbed from
// the window. Each test is a CTest entry of its own (one live window per
// process).
#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "panes/inspector/script_close.h"
#include "support/live_application.h"
#include "support/private_display.h"
#include "support/window_size.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

// An element's rectangle as the window shows it, RGB row by row.
struct Region {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;

    bool operator==(const Region& o) const { return width == o.width && height == o.height && rgb == o.rgb; }
    const uint8_t* at(int x, int y) const { return &rgb[3 * (static_cast<size_t>(y) * width + x)]; }
    // Pixels that differ clearly from the region's top-left corner.
    size_t ink() const {
        size_t n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = at(x, y);
                const uint8_t* c = at(0, 0);
                n += std::abs(p[0] - c[0]) + std::abs(p[1] - c[1]) + std::abs(p[2] - c[2]) > 60;
            }
        return n;
    }
    // Largest minus smallest luminance, 0 for a uniform region.
    int spread() const {
        int lo = 255 * 3, hi = 0;
        for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
            const int l = rgb[i] + rgb[i + 1] + rgb[i + 2];
            lo = std::min(lo, l), hi = std::max(hi, l);
        }
        return rgb.empty() ? 0 : (hi - lo) / 3;
    }
};

// Every element on screen: reached from the root through visible parents.
void visible_elements(Element& e, std::vector<Element*>& out) {
    if (!e.visible) return;
    out.push_back(&e);
    if (!e.is_container) return;
    for (Element* child : static_cast<Container&>(e).children) visible_elements(*child, out);
}

// The part of `target` its ancestors leave on screen (x, y, width, height);
// false when it is not reached from `from`.
bool visible_part(Element& from, const Element& target, int clip[4], int x0 = 0, int y0 = 0, int x1 = 1 << 20,
                  int y1 = 1 << 20) {
    if (!from.visible) return false;
    x0 = std::max(x0, from.abs_x), y0 = std::max(y0, from.abs_y);
    x1 = std::min(x1, from.abs_x + from.abs_width), y1 = std::min(y1, from.abs_y + from.abs_height);
    if (&from == &target) {
        clip[0] = x0, clip[1] = y0, clip[2] = std::max(0, x1 - x0), clip[3] = std::max(0, y1 - y0);
        return true;
    }
    if (!from.is_container) return false;
    for (Element* child : static_cast<Container&>(from).children)
        if (visible_part(*child, target, clip, x0, y0, x1, y1)) return true;
    return false;
}

struct PaneContents : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    MeshRelease release_meshes{app};

    void SetUp() override { ASSERT_TRUE(live.start_configured(sample.workspace())); }

    std::vector<Element*> on_screen(Element& from) {
        std::vector<Element*> out;
        visible_elements(from, out);
        return out;
    }
    std::vector<Element*> on_screen() { return on_screen(app); }
    Element* named(const std::string& name) {
        for (Element* e : on_screen())
            if (e->name == name) return e;
        return nullptr;
    }
    Element* showing(Element& from, const std::function<bool(const std::string&)>& wanted) {
        for (Element* e : on_screen(from))
            if (!e->text.empty() && wanted(e->text)) return e;
        return nullptr;
    }

    Region grab_once(int x, int y, int w, int h) {
        Region r;
        GdkPixbuf* shot =
            gdk_pixbuf_get_from_drawable(nullptr, gtk_widget_get_window(platform_state.canvas), nullptr, x, y, 0, 0, w, h);
        if (shot == nullptr) return r;
        r.width = w, r.height = h;
        const int n = gdk_pixbuf_get_n_channels(shot), stride = gdk_pixbuf_get_rowstride(shot);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const guchar* p = gdk_pixbuf_get_pixels(shot) + j * stride + i * n;
                r.rgb.insert(r.rgb.end(), p, p + 3);
            }
        g_object_unref(shot);
        return r;
    }
    // The region once two grabs 150 ms apart agree (the frame showing the
    // last action is on screen).
    Region grab(int x, int y, int w, int h) {
        live.pump_for(150);
        Region last = grab_once(x, y, w, h);
        for (int tries = 0; tries < 30; ++tries) {
            live.pump_for(150);
            Region again = grab_once(x, y, w, h);
            if (again == last) break;
            last = again;
        }
        return last;
    }
    Region grab(const Element& e, int inset = 0) {
        return grab(e.abs_x + inset, e.abs_y + inset, e.abs_width - 2 * inset, e.abs_height - 2 * inset);
    }
    void save(const Region& r, const std::string& name) {
        const std::string dir = binary_dir() + "/test-output/panes/";
        std::filesystem::create_directories(dir);
        GdkPixbuf* p = gdk_pixbuf_new_from_data(r.rgb.data(), GDK_COLORSPACE_RGB, FALSE, 8, r.width, r.height,
                                                3 * r.width, nullptr, nullptr);
        if (p) gdk_pixbuf_save(p, (dir + name + ".png").c_str(), "png", nullptr, nullptr), g_object_unref(p);
    }
    bool move_to(int x, int y) { return live.xdotool("mousemove " + live.at(x, y) + " sleep 0.2"); }
    bool click_on(const Element& e) {
        return move_to(e.abs_x + e.abs_width / 2, e.abs_y + e.abs_height / 2) && live.xdotool("click 1");
    }
};

TEST_F(PaneContents, ScriptLineNamesTheOpenScripts) {
    Element* tips = named("TIPSCROLL");
    ASSERT_NE(tips, nullptr);
    Element* line = showing(*tips, [](const std::string& t) { return t == "(open a vrekform script file...)"; });
    ASSERT_NE(line, nullptr);
    const Region empty = grab(*tips);

    const std::string dir = sample.workspace();
    ASSERT_TRUE(live.open_scripts({dir + "mirrored_gate.vrek"}));
    // The folder is cut at its start when the line would not fit.
    const std::string head = "Script: mirrored_gate.vrek in ";
    line = showing(*tips, [&](const std::string& t) {
        if (t == head + dir) return true;
        const std::string cut = head + "...";
        return t.rfind(cut, 0) == 0 && dir.size() >= t.size() - cut.size() &&
               dir.compare(dir.size() - (t.size() - cut.size()), std::string::npos, t, cut.size()) == 0;
    });
    ASSERT_NE(line, nullptr) << "the tip row does not name the script";
    EXPECT_LT(line->abs_width, tips->abs_width);
    const Region named_one = grab(*line);
    save(named_one, "script_line_one");
    EXPECT_GT(named_one.ink(), 200u);
    const Region pane_one = grab(*tips);
    EXPECT_FALSE(pane_one == empty);

    ASSERT_TRUE(live.open_scripts({dir + "parameters.vrek"}));
    const std::string two = "2 Scripts: [mirrored_gate.vrek, parameters.vrek] in " + dir;
    line = showing(*tips, [&](const std::string& t) { return t == two; });
    ASSERT_NE(line, nullptr);
    EXPECT_GT(line->abs_width, named_one.width);
    const Region named_two = grab(*tips);
    save(named_two, "script_line_two");
    // Both lines run on past the pane on most paths: what shows changed.
    EXPECT_GT(named_two.ink(), 200u);
    EXPECT_FALSE(named_two == pane_one);
}

TEST_F(PaneContents, HoverLabelsNameThePickedPolygon) {
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));
    ASSERT_TRUE(click_on(app.ll_inspector_button));
    ASSERT_TRUE(live.pump_until([&] { return app.ll_inspector_bar.visible; }, 3000));
    live.pump_for(200);
    ASSERT_TRUE(click_on(app.pick_key_buttons[2]));  // "P"
    ASSERT_TRUE(live.pump_until([&] { return app.bars.llmi_pick_key == 'P'; }, 3000));

    // Sweep the view until the pointer rests over the gate.
    Element* view = named("CONTENTPANE");
    ASSERT_NE(view, nullptr);
    bool over_mesh = false;
    int x = 0, y = 0;
    for (int j = 2; j < 6 && !over_mesh; ++j)
        for (int i = 1; i < 16 && !over_mesh; ++i) {
            x = view->abs_x + view->abs_width * i / 16, y = view->abs_y + view->abs_height * j / 8;
            ASSERT_TRUE(move_to(x, y));
            over_mesh = live.pump_until([&] { return app.frame.picked_element_id < 0xFFFFFFu; }, 200);
        }
    ASSERT_TRUE(over_mesh);
    // The hand rests on the gate: the pointer moves on by a pixel.
    ASSERT_TRUE(move_to(x + 1, y));
    live.pump_for(300);

    Element* hints = named("HINTBAR");
    ASSERT_NE(hints, nullptr) << "no hint bar on screen";
    Element* entity = showing(*hints, [](const std::string& t) { return t == "\t mirrored_gate.vrek"; });
    Element* polygon = showing(*hints, [](const std::string& t) { return t.rfind("polygon : ", 0) == 0; });
    ASSERT_NE(entity, nullptr);
    ASSERT_NE(polygon, nullptr);
    EXPECT_GE(std::atoi(polygon->text.c_str() + 10), 0) << polygon->text;
    const Region bar = grab(*hints);
    save(bar, "hover_labels");
    // Caption and text carry ink beside the icon.
    const Region caption = grab(*entity), text = grab(*polygon);
    EXPECT_GT(caption.ink(), 30u);
    EXPECT_GT(text.ink(), 30u);
}

TEST_F(PaneContents, DirectivePreviewsShowTheirViews) {
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "cameras_and_variants.vrek"}));
    live.pump_for(500);
    std::vector<Element*> previews;
    for (Element* e : on_screen())
        if (e->sprite >= 0 && e->tooltip_text != nullptr &&
            std::string(e->tooltip_text) == "(select to apply camera directive)")
            previews.push_back(e);
    ASSERT_EQ(previews.size(), 3u);
    save(grab(0, 0, app.frame.window_width, app.frame.window_height), "directive_previews_window");
    for (size_t k = 0; k < previews.size(); ++k) {
        // Inside the borders, as far as the bar shows the button.
        int part[4];
        ASSERT_TRUE(visible_part(app, *previews[k], part));
        ASSERT_GT(part[3], 16) << "preview " << k;
        const Region inside = grab(part[0] + 3, part[1] + 3, part[2] - 6, part[3] - 6);
        save(inside, "directive_preview_" + std::to_string(k));
        EXPECT_GT(inside.spread(), 40) << "preview " << k << " is uniform";
    }
}

TEST_F(PaneContents, EnvironmentLoadRefreshesLockSlidersAndHoverHints) {
    // Tall enough for the whole settings bar.
    ASSERT_TRUE(resize_window(live, 960, 760));
    // Settings bar shown, LOCK and SLIDERS unmarked.
    ASSERT_TRUE(click_on(app.SETTINGS));
    ASSERT_TRUE(live.pump_until([&] { return named("MENUBAR") != nullptr; }, 3000));
    Element* lock = named("LOCK");
    Element* sliders = named("SLIDERS");
    ASSERT_TRUE(lock && sliders);
    const Region lock_off = grab(*lock), sliders_off = grab(*sliders);
    // The help pane's hover-hints toggle, highlighted at start.
    ASSERT_TRUE(click_on(app.HELP));
    ASSERT_TRUE(live.pump_until([&] { return named("HELPPANE") != nullptr; }, 3000));
    const auto hover_toggle = [&] {
        return showing(app, [](const std::string& t) { return t.rfind("select to toggle mouse-hover", 0) == 0; });
    };
    Element* toggle = hover_toggle();
    ASSERT_NE(toggle, nullptr);
    const Region hints_on = grab(*toggle);

    // env0: hints off, lock and sliders on.
    ASSERT_TRUE(click_on(*toggle));
    live.pump_for(300);
    EXPECT_FALSE(grab(*toggle) == hints_on);
    Element* close = nullptr;
    for (Element* e : on_screen(*named("HELPPANE")))
        if (e->icon == 1 && e->click_handler) close = e;
    ASSERT_NE(close, nullptr);
    ASSERT_TRUE(click_on(*close));
    ASSERT_TRUE(live.pump_until([&] { return named("HELPPANE") == nullptr; }, 3000));
    ASSERT_TRUE(click_on(*lock));
    ASSERT_TRUE(click_on(*sliders));
    ASSERT_TRUE(live.pump_until([&] { return app.ui_flags.camera_locked && app.ui_flags.slider_bar_shown; }, 3000));
    EXPECT_FALSE(grab(*lock) == lock_off);
    EXPECT_FALSE(grab(*sliders) == sliders_off);

    // A new environment starts unlocked, without sliders, hints on: its
    // indicators say so.
    ASSERT_TRUE(click_on(app.ENVIRONMENT));
    ASSERT_TRUE(live.pump_until([&] { return app.entities.environment_count == 2 && !app.status.transition_active; }, 8000));
    live.pump_for(500);
    if (named("MENUBAR") == nullptr) {
        ASSERT_TRUE(click_on(app.SETTINGS));
    }
    ASSERT_TRUE(live.pump_until([&] { return named("MENUBAR") != nullptr; }, 3000));
    lock = named("LOCK");
    sliders = named("SLIDERS");
    ASSERT_TRUE(lock && sliders);
    const Region lock_new = grab(*lock), sliders_new = grab(*sliders);
    save(lock_new, "environment_load_lock");
    EXPECT_TRUE(lock_new == lock_off) << "LOCK still marked";
    EXPECT_TRUE(sliders_new == sliders_off) << "SLIDERS still marked";
    ASSERT_TRUE(click_on(app.HELP));
    ASSERT_TRUE(live.pump_until([&] { return named("HELPPANE") != nullptr; }, 3000));
    toggle = hover_toggle();
    ASSERT_NE(toggle, nullptr);
    const Region hints_new = grab(*toggle);
    save(hints_new, "environment_load_hover_hints");
    EXPECT_TRUE(hints_new == hints_on) << "hover hints not highlighted";
}

TEST_F(PaneContents, StatusLineCountsAfterCloseAndWindowFieldsShowTheSize) {
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));
    Element* status = named("STATSCROLL");
    ASSERT_NE(status, nullptr);
    ASSERT_NE(showing(*status, [](const std::string& t) { return t.find(" | 1 entity | ") != std::string::npos; }),
              nullptr);
    const Region one = grab(*status);

    // The delete button marks the entity; accepting the confirmation closes it.
    app.dialogs.pending_delete_index = 0;
    close_script(app);
    ASSERT_EQ(app.entities.current_entities->count, 0);
    Element* line =
        showing(*status, [](const std::string& t) { return t.find(" | 0 entities | ") != std::string::npos; });
    ASSERT_NE(line, nullptr) << "the status line still counts the closed entity";
    const Region none = grab(*status);
    save(none, "status_after_close");
    EXPECT_FALSE(none == one);

    // The window grows; the WINDOW menu shows its size.
    ASSERT_TRUE(resize_window(live, 1200, 760));
    ASSERT_TRUE(click_on(app.SETTINGS));
    ASSERT_TRUE(live.pump_until([&] { return named("MENUBAR") != nullptr; }, 3000));
    Element* window_button = named("WINDOW");
    ASSERT_NE(window_button, nullptr);
    ASSERT_TRUE(click_on(*window_button));
    ASSERT_TRUE(live.pump_until([&] { return named("MENUNPANE") != nullptr; }, 3000));
    live.pump_for(300);
    Element* menu = named("MENUNPANE");
    ASSERT_NE(menu, nullptr);
    const auto field = [&](const std::string& value) {
        return showing(*menu, [&](const std::string& t) { return t == value; });
    };
    Element* width = field("1200");
    Element* height = field("760");
    ASSERT_NE(width, nullptr) << "the width field does not show the window's width";
    ASSERT_NE(height, nullptr) << "the height field does not show the window's height";
    EXPECT_GT(grab(*width, 2).ink(), 10u);
    save(grab(*menu), "window_menu");

    // Typing a width resizes; the height field keeps showing the real height.
    // A click right of the digits puts the caret after them.
    ASSERT_TRUE(move_to(width->abs_x + width->abs_width - 3, width->abs_y + width->abs_height / 2));
    ASSERT_TRUE(live.xdotool("click 1"));
    ASSERT_TRUE(live.xdotool("key BackSpace BackSpace BackSpace BackSpace BackSpace"));
    ASSERT_TRUE(live.xdotool("type 1000"));
    ASSERT_EQ(width->text, "1000");
    ASSERT_TRUE(live.xdotool("key Return"));
    ASSERT_TRUE(live.pump_until([&] { return app.frame.window_width == 1000; }, 5000));
    live.pump_for(300);
    menu = named("MENUNPANE");
    ASSERT_NE(menu, nullptr);
    EXPECT_NE(field("1000"), nullptr);
    EXPECT_NE(field(std::to_string(app.frame.window_height)), nullptr);
}

}  // namespace

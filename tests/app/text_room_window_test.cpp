// Text that must not run over other text or under buttons, in the real
// window at three sizes: the statistics block against the hint text and the
// camera-directive bar, an entity row's lines against the row's buttons, the
// parse report's entity names against their list's edge. Each label's drawn
// text (where its lines start and end, as the overlay places them) is
// measured against its neighbours' rectangles, all reached from the root.
#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "render/frame_gl.h"
#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/window_size.h"
#include "support/tree_walk.h"
#include "ui/layouts.h"
#include "ui/viewport.h"

namespace {

// Room for the largest window measured.
::testing::Environment* const private_display =
    ::testing::AddGlobalTestEnvironment(new PrivateDisplay("1920x1080x24"));

ScreenRect clip_of(const Element& e) { return {e.clip_x, e.clip_y, e.clip_width, e.clip_height}; }

// The part of an element its clip lets the user see.
ScreenRect seen_part(const Element& e) {
    const ScreenRect r = rect_of(e), c = clip_of(e);
    const int32_t x = std::max(r.x, c.x), y = std::max(r.y, c.y);
    return {x, y, std::min(r.x + r.w, c.x + c.w) - x, std::min(r.y + r.h, c.y + c.h) - y};
}

// Where the label's text is drawn before any clipping: from the first
// glyph's left edge to the widest line's end, first line's top to the last
// line's bottom; each line placed by its alignment as the overlay does.
ScreenRect text_extent(const Element& e) {
    if (e.text.empty() || e.typeface == nullptr) return {};
    const int32_t lh = static_cast<int32_t>(e.typeface->line_height);
    std::vector<int32_t> widths(1, 0);
    for (unsigned char c : e.text) {
        widths.back() += static_cast<int32_t>(e.typeface->glyph_widths[c]);
        if (c == '\n') widths.push_back(0);
    }
    const int32_t widest = *std::max_element(widths.begin(), widths.end());
    const int32_t lines = static_cast<int32_t>(widths.size());
    const int32_t height = lines * lh + (lines - 1) * e.line_gap;
    int32_t left = INT32_MAX, right = INT32_MIN;
    for (int32_t w : widths) {
        int32_t x = 0;
        if (e.align_x < 0) x = e.padding_left + e.text_offset_x;
        else if (e.align_x == 0)
            x = static_cast<int32_t>((e.abs_width - e.padding_left - e.padding_right) * 0.5 + e.text_offset_x +
                                     e.padding_left - widest * 0.5 + (widest - w) * 0.5 + 0.5);
        else x = e.abs_width + e.text_offset_x - e.padding_right - w;
        if (w == 0) continue;
        left = std::min(left, x);
        right = std::max(right, x + w);
    }
    if (left > right) return {};
    int32_t y = 0;
    if (e.align_y < 0) y = e.padding_top + e.text_offset_y;
    else if (e.align_y == 0)
        y = static_cast<int32_t>((e.abs_height - e.padding_top - e.padding_bottom) * 0.5 + e.text_offset_y +
                                 e.padding_top - height * 0.5 + 0.5);
    else y = e.text_offset_y + e.abs_height - e.padding_bottom - height;
    return {e.abs_x + left, e.abs_y + y, right - left, height};
}

bool shown(const Element& e) { return e.visible && e.abs_width > 0 && e.abs_height > 0; }

void save_screen(LiveApplication& live, const std::string& name) { save_picture(grab_canvas(live), "", name); }

struct TextRoom : LiveWindow {
    Element* with_text(const std::string& text) {
        return find_element(app, [&](Element& e) { return shown(e) && e.text == text; });
    }
};

// Text `label` is drawn whole across (its lines not cut by its clip; a
// list scrolled up or down may cut rows at its top and bottom) and clear of
// `others`.
void expect_room(const Element& label, const std::vector<const Element*>& others, const std::string& what) {
    const ScreenRect text = text_extent(label);
    ASSERT_FALSE(text.empty()) << what;
    const ScreenRect clip = clip_of(label);
    EXPECT_TRUE(text.x >= clip.x && text.x + text.w <= clip.x + clip.w)
        << what << ": text " << show(text) << " cut by " << show(clip) << " \"" << label.text << "\"";
    for (const Element* other : others) {
        if (other == nullptr || !shown(*other)) continue;
        const ScreenRect r = other->text.empty() ? rect_of(*other) : text_extent(*other);
        EXPECT_FALSE(text.overlaps(r)) << what << ": text " << show(text) << " over " << show(r) << " \""
                                       << label.text << "\"";
    }
}

// What the clip lets show of `label`'s text is there and clear of `others`.
void expect_shown_part_clear(const Element& label, const std::vector<const Element*>& others,
                             const std::string& what) {
    const ScreenRect text = text_extent(label), clip = clip_of(label);
    const int32_t x = std::max(text.x, clip.x), y = std::max(text.y, clip.y);
    const ScreenRect seen{x, y, std::min(text.x + text.w, clip.x + clip.w) - x,
                          std::min(text.y + text.h, clip.y + clip.h) - y};
    ASSERT_FALSE(seen.empty()) << what << ": nothing of \"" << label.text << "\" shows";
    for (const Element* other : others) {
        if (other == nullptr || !shown(*other)) continue;
        EXPECT_FALSE(seen.overlaps(rect_of(*other)))
            << what << ": text " << show(seen) << " over " << show(rect_of(*other)) << " \"" << label.text << "\"";
    }
}

TEST_F(TextRoom, LabelsEndBeforeTheirNeighboursAtEverySize) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "cameras_and_variants.vrek",
                                   sample.workspace() + "parameters.vrek"}));
    settle();

    for (const auto& size : {std::pair<int32_t, int32_t>{480, 360}, {720, 480}, {1280, 800}}) {
        const std::string at = std::to_string(size.first) + "x" + std::to_string(size.second);
        SCOPED_TRACE(at);
        ASSERT_TRUE(resize_window(live, size.first, size.second));

        // The statistics under the hint of a tool-bar button, beside the
        // camera-directive bar.
        Element* open = named(app, "TOOLBAR");
        ASSERT_TRUE(open != nullptr && !dynamic_cast<Container*>(open)->children.empty());
        Element& first_button = *dynamic_cast<Container*>(open)->children[0];
        ASSERT_TRUE(live.move_to(first_button.abs_x + first_button.abs_width / 2, first_button.abs_y + 10));
        settle();
        auto* hints = dynamic_cast<Container*>(named(app, "HINTBAR"));
        ASSERT_TRUE(hints != nullptr && shown(*hints) && hints->children.size() >= 2);
        auto* content = dynamic_cast<Container*>(named(app, "CONTENTPANE"));
        ASSERT_TRUE(content != nullptr && !content->children.empty());
        const Element& statistics = *content->children[0];
        std::vector<const Element*> beside(hints->children.begin(), hints->children.end());
        for (Element* child : app.children)
            if (auto* bar = dynamic_cast<BorderLayout*>(child))
                if (shown(*bar) && bar->abs_x + bar->abs_width == app.width && bar->abs_x > app.width / 2)
                    beside.push_back(bar);
        ASSERT_GT(beside.size(), hints->children.size()) << "no camera-directive bar";
        save_screen(live, "text_room_statistics_" + at);
        expect_room(statistics, beside, "statistics");

        // Entity rows in the side pane: their lines are whole and slide under
        // the list's sideways bar; what shows of them ends before the buttons.
        ASSERT_TRUE(click(*with_text("ENTITY")));
        settle();
        ASSERT_TRUE(live.move_to(app.width - 10, app.height / 2));
        settle();
        save_screen(live, "text_room_entities_" + at);
        int rows = 0;
        each_element(*named(app, "CONTROLPANE"), [&](Element& row) {
            auto* r = dynamic_cast<Container*>(&row);
            if (r == nullptr || !shown(row) || r->children.size() < 4) return;
            auto* body = dynamic_cast<Container*>(r->children[0]);
            if (body == nullptr || body->children.size() != 2) return;
            std::vector<const Element*> buttons;
            for (size_t k = 2; k < r->children.size(); ++k)
                if (r->children[k]->icon >= 0) buttons.push_back(r->children[k]);
            if (buttons.empty()) return;
            ++rows;
            for (const Element* line : body->children) expect_shown_part_clear(*line, buttons, "entity row");
        });
        EXPECT_GE(rows, 2);
        ASSERT_TRUE(click(*with_text("ENTITY")));
        settle();

        // The parse report's list of scripts.
        ASSERT_TRUE(live.xdotool("key ctrl+p"));
        settle();
        Element* parse = named(app, "PARSEPANE");
        ASSERT_TRUE(parse != nullptr && shown(*parse));
        save_screen(live, "text_room_parse_" + at);
        // The list frame follows its "Entity-Set" heading.
        Element* heading = find_element(*parse, [](Element& e) { return e.text == "Entity-Set"; });
        ASSERT_NE(heading, nullptr);
        Container* body = nullptr;
        each_element(*parse, [&](Element& e) {
            auto* c = dynamic_cast<Container*>(&e);
            if (c != nullptr && std::find(c->children.begin(), c->children.end(), heading) != c->children.end())
                body = c;
        });
        ASSERT_NE(body, nullptr);
        const auto at_heading = std::find(body->children.begin(), body->children.end(), heading);
        ASSERT_NE(at_heading + 1, body->children.end());
        int names = 0;
        each_element(**(at_heading + 1), [&](Element& row) {
            if (!shown(row) || row.text.empty()) return;
            for (const std::string script : {"cameras_and_variants.vrek", "parameters.vrek"}) {
                const bool whole = row.text == script;
                const bool cut = row.text.size() > 3 && row.text.compare(row.text.size() - 3, 3, "...") == 0 &&
                                 script.compare(0, row.text.size() - 3, row.text, 0, row.text.size() - 3) == 0;
                if (!whole && !cut) continue;
                ++names;
                expect_room(row, {}, "parse list " + script);
            }
        });
        EXPECT_EQ(names, 2);
        ASSERT_TRUE(live.xdotool("key Escape"));
        settle();
    }
}

// The tool bar's buttons and the marks of the view's cells, from the least
// window to a large screen: no button drawn over another, every tool whole
// in view once its strip is scrolled to it, and no cell mark over the
// statistics text.
TEST_F(TextRoom, ToolsAndCellMarksKeepClearAtEverySize) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "cameras_and_variants.vrek"}));
    settle();
    auto* toolbar = dynamic_cast<Container*>(named(app, "TOOLBAR"));
    auto* strip = dynamic_cast<Container*>(named(app, "TOOLSCROLL"));
    ASSERT_TRUE(toolbar != nullptr && strip != nullptr);
    // Every tool, shown or not; the view tools are the strip's.
    auto tools_of = [&](Container* bar) {
        std::vector<Element*> out;
        for (Element* e : bar->children)
            if (e != strip && e->icon >= 0 && e->tooltip_title != nullptr) out.push_back(e);
        return out;
    };
    std::vector<Element*> all = tools_of(toolbar);
    const std::vector<Element*> view_tools = tools_of(strip);
    all.insert(all.end(), view_tools.begin(), view_tools.end());
    ASSERT_EQ(all.size(), 14u);

    // The view split twice into bands: the lowest cell's corner marks fall by
    // the statistics at most sizes.
    auto* viewport = dynamic_cast<Viewport*>(find_element(app, [](Element& e) { return dynamic_cast<Viewport*>(&e); }));
    ASSERT_NE(viewport, nullptr);
    enum { LEFT_GRIP = 4, EYE = 8, LOCK, CLOSE, NUMBER };
    auto cells = [&] {
        std::vector<Container*> out;
        for (Element* c : viewport->children)
            if (auto* cell = dynamic_cast<Container*>(c)) out.push_back(cell);
        return out;
    };
    for (size_t want = 2; want <= 3; ++want) {
        ASSERT_TRUE(click(*cells().back()->children[LEFT_GRIP]));
        settle();
        ASSERT_EQ(cells().size(), want);
    }

    for (const auto& size : {std::pair<int32_t, int32_t>{480, 360}, {560, 400}, {640, 480}, {720, 480}, {800, 600},
                             {1024, 768}, {1280, 800}, {1600, 900}, {1920, 1080}}) {
        const std::string at = std::to_string(size.first) + "x" + std::to_string(size.second);
        SCOPED_TRACE(at);
        ASSERT_TRUE(resize_window(live, size.first, size.second));
        ASSERT_TRUE(live.move_to(app.width - 2, app.height / 2));
        settle();
        save_screen(live, "tool_room_" + at);

        // A tool seen at all is seen whole: none lies partly under another.
        std::vector<const Element*> seen;
        for (const Element* e : all)
            if (shown(*e) && !seen_part(*e).empty()) seen.push_back(e);
        EXPECT_GE(seen.size(), 8u);
        for (size_t i = 0; i < seen.size(); ++i)
            for (size_t j = i + 1; j < seen.size(); ++j)
                EXPECT_FALSE(rect_of(*seen[i]).overlaps(rect_of(*seen[j])))
                    << "tool " << seen[i]->icon << " at " << show(rect_of(*seen[i])) << " (seen "
                    << show(seen_part(*seen[i])) << ") and tool " << seen[j]->icon << " at "
                    << show(rect_of(*seen[j]));
        // The strip's wheel brings its first and its last tool whole into view.
        const ScreenRect view = rect_of(*strip);
        ASSERT_TRUE(live.move_to(view.x + view.w / 2, view.y + view.h / 2));
        for (int button : {4, 5}) {
            ASSERT_TRUE(live.xdotool("click --repeat 30 --delay 5 " + std::to_string(button)));
            settle();
            const Element& end = button == 4 ? *view_tools.front() : *view_tools.back();
            const ScreenRect part = seen_part(end), whole = rect_of(end);
            EXPECT_TRUE(shown(end) && part.x == whole.x && part.w == whole.w)
                << "wheel " << button << ": tool " << end.icon << " at " << show(whole) << " seen " << show(part);
        }

        // The statistics text clear of every cell's marks.
        auto* content = dynamic_cast<Container*>(named(app, "CONTENTPANE"));
        ASSERT_TRUE(content != nullptr && !content->children.empty());
        const Element& statistics = *content->children[0];
        std::vector<const Element*> marks;
        for (Container* cell : cells())
            for (int k : {EYE, LOCK, CLOSE, NUMBER}) marks.push_back(cell->children[size_t(k)]);
        expect_room(statistics, marks, "statistics");
    }
}


// Every text block of the frame against every pane and bar, walked over the
// window sizes and the combinations a user can open: side pane, settings bar
// and column, slider bar, floating list. A block that finds no room shows
// fewer lines or moves; it is never drawn over (or under) another pane, and
// the statistics and the frame-rate readout are never cut; the readout's box
// is drawn only around its text.
namespace blocks {

// Within `from`: `e` itself or below it.
bool holds(const Element& from, const Element* e) {
    bool found = false;
    each_element(const_cast<Element&>(from), [&](Element& x) { found = found || &x == e; });
    return found;
}

ScreenRect meet(const ScreenRect& a, const ScreenRect& b) {
    const int32_t x = std::max(a.x, b.x), y = std::max(a.y, b.y);
    return {x, y, std::min(a.x + a.w, b.x + b.w) - x, std::min(a.y + a.h, b.y + b.h) - y};
}

// Whether `e` and every element above it are drawn.
bool drawn(const Element& root, const Element& e) {
    std::vector<const Element*> path;
    std::function<bool(const Element&)> down = [&](const Element& from) {
        path.push_back(&from);
        if (&from == &e) return true;
        if (auto* c = dynamic_cast<const Container*>(&from))
            for (const Element* child : c->children)
                if (child != nullptr && down(*child)) return true;
        path.pop_back();
        return false;
    };
    if (!down(root)) return false;
    for (const Element* p : path)
        if (!shown(*p)) return false;
    return true;
}

// A click at an element's centre as a user's, the pointer brought from
// beside it; the loop runs until xdotool is done and its events are in, with
// no fixed pause: the combinations walked are many.
bool quick_click(LiveApplication& live, const Element& e) {
    live.find_canvas();
    const int32_t x = e.abs_x + e.abs_width / 2, y = e.abs_y + e.abs_height / 2;
    const std::string command =
        "xdotool mousemove --sync " + live.at(x + 3, y + 3) + " mousemove --sync " + live.at(x, y) + " click 1";
    gchar** argv = nullptr;
    GPid pid = 0;
    int status = -1;
    const bool spawned = g_shell_parse_argv(command.c_str(), nullptr, &argv, nullptr) &&
                         g_spawn_async(nullptr, argv, nullptr,
                                       GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr,
                                       &pid, nullptr);
    g_strfreev(argv);
    if (spawned && !live.pump_until([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 15000))
        kill(pid, SIGKILL), waitpid(pid, &status, 0);
    gdk_display_sync(gdk_display_get_default());
    live.pump_for(20);
    return spawned && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Where the last frame drew its shapes (the frame-rate readout's box is
// the one): the bounds of their triangles in window pixels, y down.
ScreenRect drawn_shapes(int32_t window_height) {
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (const LayerBatches& layer : frame_renderer.layer_batches)
        for (size_t i = 0; i + 2 < layer.shape.positions.size(); i += 3) {
            const double x = layer.shape.positions[i], y = window_height - layer.shape.positions[i + 1];
            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        }
    if (left > right) return {};
    const int32_t x = int32_t(std::floor(left)), y = int32_t(std::floor(top));
    return {x, y, int32_t(std::ceil(right)) - x, int32_t(std::ceil(bottom)) - y};
}

struct Block {
    const Element* label;
    std::string what;
    const Element* owner;  // the pane or bar that draws it
    bool whole;            // never cut by its clip
};

}  // namespace blocks

TEST_F(TextRoom, TextBlocksKeepOffPanesAndBarsInEveryCombination) {
    using namespace blocks;
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "cameras_and_variants.vrek"}));
    settle();

    auto* content = dynamic_cast<Container*>(named(app, "CONTENTPANE"));
    auto* menubar = dynamic_cast<Container*>(named(app, "MENUBAR"));
    Element* settings = named(app, "SETTINGS");
    Element* column = named(app, "MENUNPANE");
    ASSERT_TRUE(content != nullptr && menubar != nullptr && settings != nullptr && column != nullptr);
    // The floating bars among the root's children.
    Element* variants = nullptr;
    Element* directives = nullptr;
    Element* handle = nullptr;
    for (Element* child : app.children) {
        if (dynamic_cast<BorderLayout*>(child) != nullptr) directives = child;
        if (child->width == 12 && child->height == 24) handle = child;
        auto* c = dynamic_cast<Container*>(child);
        if (c != nullptr && !c->children.empty() && c->children[0]->text == "VARIANTS") variants = child;
    }
    ASSERT_TRUE(variants != nullptr && directives != nullptr && handle != nullptr);
    Element& variant_header = *dynamic_cast<Container*>(variants)->children[0];
    const int32_t bar_height = variant_header.height;

    auto menu_button = [&](const std::string& caption) {
        return find_element(*menubar, [&](Element& e) { return e.name == caption; });
    };
    // A click at the element's centre, its strip first wheeled to bring it
    // into view.
    auto press = [&](const Element& e, const std::string& what) {
        EXPECT_TRUE(drawn(app, e)) << what << " out of reach";
        auto inside = [&] {
            const ScreenRect part = seen_part(e);
            const int32_t x = e.abs_x + e.abs_width / 2, y = e.abs_y + e.abs_height / 2;
            return x >= part.x && x < part.x + part.w && y >= part.y && y < part.y + part.h;
        };
        const Element* strip = nullptr;
        each_element(app, [&](Element& p) {
            if (auto* c = dynamic_cast<Container*>(&p))
                if (std::find(c->children.begin(), c->children.end(), &e) != c->children.end()) strip = &p;
        });
        for (int turn = 0; strip != nullptr && turn < 40 && !inside(); ++turn) {
            const ScreenRect clip = seen_part(*strip);
            const bool before = e.abs_y + e.abs_height / 2 < clip.y || e.abs_x + e.abs_width / 2 < clip.x;
            const int32_t x = clip.x + clip.w / 2, y = clip.y + clip.h / 2;
            live.find_canvas();
            if (!live.xdotool("mousemove --sync " + live.at(x + 3, y + 3) + " mousemove --sync " + live.at(x, y) +
                              " click " + (before ? "4" : "5")))
                return false;
        }
        EXPECT_TRUE(inside()) << what << " not brought into view";
        return quick_click(live, e);
    };
    auto open_column = [&]() -> std::string {
        if (!shown(*column)) return "";
        const Element* title = find_shown(*column, [](Element& e) {
            for (const char* c : {"WINDOW", "SHADING", "LIGHTING", "CAMERA", "THEME", "WIDGETS", "SETTINGS"})
                if (e.text == c) return true;
            return false;
        });
        return title ? title->text : "?";
    };
    // The settings bar shown or hidden, the column `want` open ("" none).
    auto reach_settings = [&](bool bar, const std::string& want) {
        if (shown(*menubar) != bar) {
            ASSERT_TRUE(press(*settings, "SETTINGS"));
        }
        if (!bar) return;
        const std::string open = open_column();
        if (open == want) return;
        const std::string target = want.empty() ? open : want;
        Element* b = menu_button(target);
        ASSERT_NE(b, nullptr) << target;
        ASSERT_TRUE(press(*b, target));
        ASSERT_TRUE(live.pump_until([&] { return open_column() == want; }, 3000)) << open_column() << " for " << want;
    };
    auto side_open = [&]() -> std::string {
        for (const char* s : {"CONSOLE", "ENTITY", "PARAMETER"}) {
            const char* split = s[0] == 'C' ? "CONSOLETRACE" : s[0] == 'E' ? "ENTITYINSPECTOR" : "PARAMETERCONTROL";
            if (shown(*named(app, "CONTROLPANE")) && shown(*named(app, split))) return s;
        }
        return "";
    };
    auto reach_side = [&](const std::string& want) {
        const std::string open = side_open();
        if (open == want) return;
        const std::string tab = want.empty() ? open : want;
        ASSERT_TRUE(press(*named(app, tab), tab));
        ASSERT_TRUE(live.pump_until([&] { return side_open() == want; }, 3000)) << side_open() << " for " << want;
    };
    auto reach_slider = [&](bool on) {
        if (shown(*named(app, "SLIDERBAR")) == on) return;
        reach_settings(true, open_column());
        ASSERT_TRUE(press(*menu_button("SLIDERS"), "SLIDERS"));
        ASSERT_TRUE(live.pump_until([&] { return shown(*named(app, "SLIDERBAR")) == on; }, 3000));
    };
    // 0: none open; 1: the variant list over the shown directives; 2: the
    // camera-directive list.
    auto reach_list = [&](int want) {
        const bool expanded = want == 1, pane = want != 0;
        // The open settings column covers the directive handle.
        reach_settings(false, "");
        if ((variants->height > bar_height) != expanded) {
            ASSERT_TRUE(press(variant_header, "VARIANTS"));
        }
        if (directives->visible != pane) {
            ASSERT_TRUE(press(*handle, "directive handle"));
        }
        ASSERT_TRUE(live.pump_until(
            [&] { return (variants->height > bar_height) == expanded && directives->visible == pane; }, 3000));
    };

    // The frame-rate readout on, from SETTINGS > WINDOW.
    reach_settings(true, "WINDOW");
    Element* fps_item = find_shown(*column, [](Element& e) { return e.text == "FPS"; });
    ASSERT_NE(fps_item, nullptr);
    ASSERT_TRUE(press(*fps_item, "FPS"));
    auto fps_label = [&]() -> const Element* {
        for (const Element* e : content->children)
            if (e->text.find(" fps (") != std::string::npos) return e;
        return nullptr;
    };
    ASSERT_NE(fps_label(), nullptr);
    ASSERT_TRUE(shown(*fps_label()));

    auto blocks_now = [&] {
        std::vector<Block> out;
        // A block given no room at all is not drawn.
        for (const Element* e : std::vector<const Element*>{content->children[0], fps_label()})
            if (shown(*e) && !text_extent(*e).empty())
                out.push_back({e, e == fps_label() ? "frame-rate readout" : "statistics", content, true});
        auto add_texts = [&](Element* owner, const std::string& what) {
            if (owner == nullptr || !drawn(app, *owner)) return;
            each_element(*owner, [&](Element& e) {
                if (!e.text.empty() && e.typeface != nullptr && drawn(app, e)) out.push_back({&e, what, owner, false});
            });
        };
        add_texts(named(app, "STATUSBAR"), "status line");
        add_texts(named(app, "HINTBAR"), "tool tip");
        for (Element* child : app.children)
            if (child != content && child->abs_width < app.width && dynamic_cast<Container*>(child) != nullptr &&
                child != named(app, "STATUSBAR") && child != named(app, "HINTBAR") && child->name == "?")
                add_texts(child, "floating bar");
        return out;
    };
    // Every pane and bar: the named ones and the root's other children that
    // are not window-wide.
    auto panes_now = [&] {
        std::vector<const Element*> out;
        for (const char* name : {"TOOLBAR", "TIPBAR", "CONTROLPANE", "MENUBAR", "MENUNPANE", "HINTBAR", "COLOURBAR",
                                 "SLIDERBAR", "STATUSBAR", "TABBAR"})
            if (drawn(app, *named(app, name))) out.push_back(named(app, name));
        for (Element* child : app.children)
            if (child != content && shown(*child) && child->name == "?" && child->abs_width < app.width / 2 &&
                dynamic_cast<Container*>(child) != nullptr && !dynamic_cast<Container*>(child)->children.empty())
                out.push_back(child);
        return out;
    };

    // Faults are gathered and the first ones told: one fault tends to show
    // in many combinations.
    int states = 0;
    std::vector<std::string> faults;
    auto check = [&](const std::string& state) {
        ++states;
        std::vector<Block> texts = blocks_now();
        const std::vector<const Element*> panes = panes_now();
        std::vector<ScreenRect> seen;
        // What is drawn: inside the label's clip, and inside its pane or bar
        // (an element the draw pass did not reach keeps an old clip).
        for (const Block& b : texts)
            seen.push_back(meet(meet(text_extent(*b.label), clip_of(*b.label)), rect_of(*b.owner)));
        // The readout's box is drawn with its text or not at all, holds the
        // text and keeps clear like a block of its own.
        const ScreenRect box = drawn_shapes(app.height);
        const auto readout =
            std::find_if(texts.begin(), texts.end(), [&](const Block& b) { return b.label == fps_label(); });
        if (box.empty() != (readout == texts.end()))
            faults.push_back(state + ": frame-rate box " + show(box) + (box.empty() ? " missing" : " without text"));
        if (!box.empty()) {
            const ScreenRect text = readout == texts.end() ? ScreenRect{} : seen[size_t(readout - texts.begin())];
            if (!text.empty() && (meet(text, box).w != text.w || meet(text, box).h != text.h))
                faults.push_back(state + ": frame-rate text " + show(text) + " out of its box " + show(box));
            texts.push_back({fps_label(), "frame-rate box", content, false});
            seen.push_back(box);
        }
        auto quote = [](const Element& e) { return " \"" + e.text.substr(0, 24) + "\" at "; };
        for (size_t i = 0; i < texts.size(); ++i) {
            const Block& b = texts[i];
            const ScreenRect full = text_extent(*b.label), clip = clip_of(*b.label);
            if (b.whole && !(full.x >= clip.x && full.x + full.w <= clip.x + clip.w && full.y >= clip.y &&
                             full.y + full.h <= clip.y + clip.h))
                faults.push_back(state + ": " + b.what + " " + show(full) + " cut by " + show(clip));
            if (seen[i].empty()) continue;
            for (const Element* pane : panes)
                if (!holds(*pane, b.label) && pane != b.owner && seen[i].overlaps(rect_of(*pane)))
                    faults.push_back(state + ": " + b.what + quote(*b.label) + show(seen[i]) + " over " +
                                     pane->name + " " + show(rect_of(*pane)));
            for (size_t j = i + 1; j < texts.size(); ++j) {
                // A pane arranges its own lines; the blocks of one content
                // pane must keep apart.
                if (texts[j].owner == b.owner && texts[j].what == b.what) continue;
                if (texts[j].label == b.label) continue;  // the readout in its box
                if (seen[i].overlaps(seen[j]))
                    faults.push_back(state + ": " + b.what + quote(*b.label) + show(seen[i]) + " over " +
                                     texts[j].what + quote(*texts[j].label) + show(seen[j]));
            }
        }
    };

    const char* const columns[] = {"WINDOW", "SHADING", "LIGHTING", "CAMERA", "THEME", "WIDGETS", "SETTINGS"};
    // VK_TEXT_BLOCK_SIZE ("WxH") walks one size: the sizes run as separate
    // entries, each within its own time limit.
    const char* one = std::getenv("VK_TEXT_BLOCK_SIZE");
    int sizes = 0;
    for (const auto& size : {std::pair<int32_t, int32_t>{480, 360}, {560, 400}, {720, 480}, {1024, 768},
                             {1920, 1080}}) {
        const std::string at = std::to_string(size.first) + "x" + std::to_string(size.second);
        if (one != nullptr && at != one) continue;
        ++sizes;
        ASSERT_TRUE(resize_window(live, size.first, size.second));
        for (const std::string side : {"", "CONSOLE", "ENTITY", "PARAMETER"}) {
            reach_side(side);
            for (int list = 0; list < 3; ++list) {
                reach_list(list);
                for (bool slider : {false, true}) {
                    reach_slider(slider);
                    // Settings bar hidden, shown with no column, then each column.
                    for (int k = -2; k < 7; ++k) {
                        reach_settings(k != -2, k >= 0 ? columns[k] : "");
                        if (HasFatalFailure()) return;
                        const std::string state = at + " side '" + side + "' list " + std::to_string(list) +
                                                  (slider ? " slider" : "") + " column " +
                                                  (k == -2 ? "hidden" : k == -1 ? "none" : columns[k]);
                        const size_t before = faults.size();
                        check(state);
                        // The states users reported, kept for review.
                        const char* const reported[] = {"480x360 side 'ENTITY' list 2 column WINDOW",
                                                        "480x360 side '' list 1 column hidden",
                                                        "720x480 side 'CONSOLE' list 2 slider column WINDOW"};
                        for (int r = 0; r < 3; ++r)
                            if (state == reported[r]) {
                                live.await_frames();
                                save_screen(live, "text_blocks_reported_" + std::to_string(r + 1));
                            }
                        if (faults.size() > before && before < 8) {
                            live.await_frames();
                            save_screen(live, "text_blocks_" + std::to_string(states));
                        }
                    }
                }
            }
        }
    }
    ASSERT_GT(sizes, 0) << "no size " << one;
    EXPECT_EQ(states, sizes * 4 * 3 * 2 * 9);
    {
        FILE* out = fopen((picture_dir("") + "text_blocks_faults.txt").c_str(), "w");
        for (const std::string& f : faults) fprintf(out, "%s\n", f.c_str());
        if (out != nullptr) fclose(out);
    }
    std::string told;
    for (size_t i = 0; i < faults.size() && i < 60; ++i) told += faults[i] + "\n";
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults; the first:\n" << told;
}

}  // namespace

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
#include <string>
#include <vector>

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

}  // namespace

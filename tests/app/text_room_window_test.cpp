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

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

ScreenRect clip_of(const Element& e) { return {e.clip_x, e.clip_y, e.clip_width, e.clip_height}; }

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

struct TextRoom : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    void settle() { live.pump_for(300); }
    bool click(const Element& e) {
        live.find_canvas();
        return live.xdotool("mousemove --sync " + live.at(1, 1) + " mousemove --sync " +
                            live.at(e.abs_x + e.abs_width / 2, e.abs_y + e.abs_height / 2) + " click 1");
    }
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

        // Entity rows in the side pane: their lines end before the buttons.
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
            for (const Element* line : body->children) expect_room(*line, buttons, "entity row");
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

}  // namespace

// The entity and parameter rows as the window shows them: every summary line
// whole, drawn only inside the row's text area (never under its buttons),
// and the list's sideways bar brings its start and its end into view, also
// after a parameter change re-assembles the entity. Beside them the
// parameter pane's footer and the variant rows' typeface.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
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

int32_t advance(const Typeface* face, const std::string& line) {
    int32_t w = 0;
    for (char c : line) w += glyph_advance(face, static_cast<unsigned char>(c));
    return w;
}

// The elements from `from` down to `target`, both included; false when
// `target` is not below `from`.
bool path_to(Element& from, const Element* target, std::vector<Element*>& path) {
    path.push_back(&from);
    if (&from == target) return true;
    if (auto* c = dynamic_cast<Container*>(&from))
        for (Element* child : c->children)
            if (child != nullptr && path_to(*child, target, path)) return true;
    path.pop_back();
    return false;
}

// The nearest scroll pane above `e`.
ScrollPane* host_scroll(Element& root, const Element& e) {
    std::vector<Element*> path;
    if (!path_to(root, &e, path)) return nullptr;
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        if (auto* s = dynamic_cast<ScrollPane*>(*it)) return s;
    return nullptr;
}

// Ink: a pixel clearly off the commonest colour of its own pixel row within
// the region (rows may be shaded from top to bottom).
struct InkMap {
    ScreenRect r;
    std::vector<std::vector<bool>> on;  // [y][x] from the region's corner
    InkMap(const Picture& p, ScreenRect region) : r(region) {
        for (int32_t y = r.y; y < r.y + r.h; ++y) {
            std::map<uint32_t, int> counts;
            for (int32_t x = r.x; x < r.x + r.w; ++x)
                if (p.inside(x, y)) ++counts[p.at(x, y)];
            uint32_t bg = 0;
            int most = -1;
            for (const auto& c : counts)
                if (c.second > most) bg = c.first, most = c.second;
            std::vector<bool> row;
            for (int32_t x = r.x; x < r.x + r.w; ++x) row.push_back(p.inside(x, y) && !near_colour(p.at(x, y), bg, 40));
            on.push_back(row);
        }
    }
    bool at(int32_t x, int32_t y) const {
        return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h && on[size_t(y - r.y)][size_t(x - r.x)];
    }
    bool column(int32_t x, int32_t y0, int32_t y1) const {
        for (int32_t y = y0; y < y1; ++y)
            if (at(x, y)) return true;
        return false;
    }
    int32_t rightmost() const {
        for (int32_t x = r.x + r.w - 1; x >= r.x; --x)
            if (column(x, r.y, r.y + r.h)) return x;
        return -1;
    }
    int32_t leftmost() const {
        for (int32_t x = r.x; x < r.x + r.w; ++x)
            if (column(x, r.y, r.y + r.h)) return x;
        return -1;
    }
};

// Where glyph `index` of a one-line label aligned left or centred is
// drawn: its advance across, the label's height inside its edge lines down,
// read off the screen as ink ('#': nearer the text's colour than the
// background's) trimmed to the ink's box; empty when nothing is drawn there.
std::vector<std::string> glyph_ink(const Picture& p, const Element& label, size_t index) {
    const int32_t pl = label.padding_left, ox = label.text_offset_x;
    int32_t x0 = label.abs_x + pl + ox;
    if (label.align_x == 0)
        x0 = label.abs_x + static_cast<int32_t>((label.abs_width - pl - label.padding_right) * 0.5 + ox + pl -
                                                advance(label.typeface, label.text) * 0.5 + 0.5);
    for (size_t i = 0; i < index; ++i) x0 += advance(label.typeface, label.text.substr(i, 1));
    const int32_t w = advance(label.typeface, label.text.substr(index, 1));
    const int32_t y0 = label.abs_y + 1, h = label.abs_height - 2;
    std::map<uint32_t, int> counts;
    for (int32_t y = y0; y < y0 + h; ++y)
        for (int32_t x = x0; x < x0 + w; ++x)
            if (p.inside(x, y)) ++counts[p.at(x, y)];
    if (counts.empty()) return {};
    const uint32_t bg =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    const auto distance = [bg](uint32_t c) {
        int d = 0;
        for (int shift = 0; shift < 24; shift += 8) d = std::max(d, std::abs(int(c >> shift & 0xff) - int(bg >> shift & 0xff)));
        return d;
    };
    int far = 0;
    for (const auto& c : counts) far = std::max(far, distance(c.first));
    if (far < 40) return {};
    std::vector<std::string> rows;
    for (int32_t y = y0; y < y0 + h; ++y) {
        std::string row;
        for (int32_t x = x0; x < x0 + w; ++x) row += p.inside(x, y) && 2 * distance(p.at(x, y)) > far ? '#' : '.';
        rows.push_back(row);
    }
    while (!rows.empty() && rows.back().find('#') == std::string::npos) rows.pop_back();
    while (!rows.empty() && rows.front().find('#') == std::string::npos) rows.erase(rows.begin());
    size_t first = std::string::npos, last = 0;
    for (const std::string& r : rows) {
        const size_t f = r.find('#');
        if (f == std::string::npos) continue;
        first = std::min(first, f);
        last = std::max(last, r.rfind('#'));
    }
    for (std::string& r : rows) r = r.substr(first, last - first + 1);
    return rows;
}

struct EntityRows : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    static bool names(const Element& e, const std::string& script) {
        auto* c = dynamic_cast<const Container*>(&e);
        return c && c->children.size() == 2 && c->children[0]->text.rfind(script, 0) == 0;
    }
    // The bodies of the rows naming the script (name, then details), in
    // both lists, reached from the root.
    std::vector<Container*> row_bodies(const std::string& script) {
        std::vector<Container*> bodies;
        each_element(app, [&](Element& e) {
            if (names(e, script)) bodies.push_back(static_cast<Container*>(&e));
        });
        return bodies;
    }
    // The row body naming the script in the side pane on show.
    Container* shown_body(const std::string& script) {
        return static_cast<Container*>(find_shown(app, [&](Element& e) { return names(e, script); }));
    }
    // Every row shows summary lines 1 and 2 whole.
    void expect_whole(const std::string& script) {
        const std::vector<std::string>& summary = app.entities.current_entities->records[0].summary_lines;
        ASSERT_EQ(summary.size(), 3u);
        const std::vector<Container*> bodies = row_bodies(script);
        EXPECT_EQ(bodies.size(), 2u);
        for (Container* body : bodies) EXPECT_EQ(body->children[1]->text, summary[1] + "\n" + summary[2]);
    }
    bool click_text(const std::string& text) {
        Element* e = find_shown(app, [&](Element& x) { return x.text == text; });
        if (e == nullptr) return false;
        live.find_canvas();
        const int32_t x = e->abs_x + e->abs_width / 2, y = e->abs_y + e->abs_height / 2;
        return live.xdotool("mousemove --sync " + live.at(x + 3, y + 3) + " mousemove --sync " + live.at(x, y) +
                            " click 1") &&
               live.await_frames();
    }
    // The pointer takes the thumb of the bar and drags it in steps past one
    // end, as a hand does.
    bool drag_thumb(const Element& thumb, const Element& bar, bool horizontal, bool to_end) {
        live.find_canvas();
        const int32_t x = thumb.abs_x + thumb.abs_width / 2, y = thumb.abs_y + thumb.abs_height / 2;
        int32_t tx = x, ty = y;
        if (horizontal) tx = to_end ? bar.abs_x + bar.abs_width + 20 : std::max(bar.abs_x - 20, 0);
        else ty = to_end ? bar.abs_y + bar.abs_height + 20 : std::max(bar.abs_y - 20, 0);
        std::string steps = "mousemove --sync " + live.at(x + 2, y) + " mousemove --sync " + live.at(x, y) +
                            " sleep 0.1 mousedown 1 sleep 0.1";
        for (int k = 1; k <= 8; ++k)
            steps += " mousemove " + live.at(x + (tx - x) * k / 8, y + (ty - y) * k / 8) + " sleep 0.05";
        return live.xdotool(steps + " sleep 0.1 mouseup 1") && live.await_frames(3);
    }

    // With the row of `script` on show: line 2's end (the path's closing
    // quote) is on screen with the bar fully right, its start fully left,
    // and the buttons look the same in both.
    void expect_bar_reaches_both_ends(const std::string& script, const std::string& shot) {
        Container* body = shown_body(script);
        ASSERT_NE(body, nullptr) << shot;
        const Element& details = *body->children[1];
        // The entity's whole line 2, whatever the row holds.
        const std::vector<std::string>& summary = app.entities.current_entities->records[0].summary_lines;
        ASSERT_EQ(summary.size(), 3u);
        const std::string& line = summary[2];
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '"') << line;
        const int32_t width = advance(details.typeface, line);
        // Longer than the row: only the bar shows all of it.
        ASSERT_GT(details.padding_left + width, body->abs_width) << line;
        ScrollPane* scroll = host_scroll(app, *body);
        ASSERT_NE(scroll, nullptr);
        ASSERT_TRUE(scroll->hbar.visible && scroll->hthumb.visible);
        std::vector<Element*> path;
        ASSERT_TRUE(path_to(app, body, path) && path.size() >= 2);
        const Element& row = *path[path.size() - 2];

        const int32_t lh = static_cast<int32_t>(details.typeface->line_height);
        const auto band = [&] {
            const int32_t bottom = details.abs_y + details.abs_height - details.padding_bottom;
            return ScreenRect{body->abs_x, bottom - lh, body->abs_width, lh};
        };
        const ScreenRect buttons{body->abs_x + body->abs_width, row.abs_y, row.abs_width - body->abs_width,
                                 row.abs_height};

        ASSERT_TRUE(drag_thumb(scroll->hthumb, scroll->hbar, true, true));
        const Picture right = grab_canvas(live);
        save_picture(right, "panes", "entity_rows_" + shot + "_right");
        const int32_t end = details.abs_x + details.padding_left + width;
        EXPECT_LE(end, body->abs_x + body->abs_width) << shot << ": line 2 ends out of view";
        const ScreenRect b = band();
        const InkMap ink(right, b);
        const int32_t last = ink.rightmost();
        EXPECT_GE(last, end - 4) << shot << ": line 2's last ink at " << last << ", its end at " << end;
        EXPECT_LE(last, end) << shot;
        // A closing quote: ink in the line's upper half only (a cut "..."
        // sits on the base line).
        bool upper = false, lower = false;
        for (int32_t x = last - 3; x <= last; ++x) {
            upper = upper || ink.column(x, b.y, b.y + lh / 2);
            lower = lower || ink.column(x, b.y + lh / 2, b.y + lh);
        }
        EXPECT_TRUE(upper && !lower) << shot << ": no closing quote at the end of line 2";

        ASSERT_TRUE(drag_thumb(scroll->hthumb, scroll->hbar, true, false));
        const Picture left = grab_canvas(live);
        save_picture(left, "panes", "entity_rows_" + shot + "_left");
        EXPECT_EQ(details.abs_x, body->abs_x) << shot;
        // From just right of the lock icon on.
        const int32_t start = details.abs_x + details.padding_left;
        const ScreenRect from_lock{start - 1, b.y, b.w - (start - 1 - b.x), b.h};
        const int32_t first = InkMap(left, from_lock).leftmost();
        EXPECT_GE(first, start) << shot;
        EXPECT_LE(first, start + 2) << shot << ": line 2 does not start at its place";

        // The text never reaches the buttons: they look the same either way.
        int differing = 0;
        for (int32_t y = buttons.y; y < buttons.y + buttons.h; ++y)
            for (int32_t x = buttons.x; x < buttons.x + buttons.w; ++x)
                differing += left.inside(x, y) && !near_colour(left.at(x, y), right.at(x, y), 8);
        EXPECT_EQ(differing, 0) << shot << ": the buttons change as the text slides";
    }

    void open_parameters() {
        ASSERT_TRUE(live.start_configured(sample.workspace()));
        ASSERT_TRUE(live.open_scripts({sample.workspace() + "parameters.vrek"}));
        live.find_canvas();
    }
};

TEST_F(EntityRows, TheBarShowsEveryLineWholeInBothLists) {
    open_parameters();
    expect_whole("parameters.vrek");
    ASSERT_TRUE(click_text("ENTITY"));
    expect_bar_reaches_both_ends("parameters.vrek", "entity_list");
    ASSERT_TRUE(click_text("PARAMETER"));
    expect_bar_reaches_both_ends("parameters.vrek", "parameter_list");
}

TEST_F(EntityRows, ReassemblyKeepsTheRowsWhole) {
    open_parameters();
    ASSERT_TRUE(live.xdotool("mousemove " + live.at(platform_state.canvas_width / 2, 200) + " key 3"));
    ASSERT_TRUE(live.await_frames());

    // A new segment count, typed into the parameter pane and applied.
    Element* row = find_shown(app, [](Element& e) { return names(e, "parameters.vrek"); });
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(live.click(*row) && live.await_frames());
    Element* segments = find_shown(app, [](Element& e) { return dynamic_cast<TextField*>(&e) && e.text == "24"; });
    ASSERT_NE(segments, nullptr);
    const int32_t vertices = app.entities.current_entities->records[0].vertex_count;
    const std::string before = app.entities.current_entities->records[0].summary_lines[1];
    ASSERT_TRUE(live.click(*segments));
    ASSERT_TRUE(live.xdotool("key ctrl+a type 40") && live.xdotool("key Return"));
    Element* apply = find_shown(app, [](Element& e) { return e.text == "APPLY"; });
    ASSERT_NE(apply, nullptr);
    ASSERT_TRUE(live.click(*apply));
    ASSERT_TRUE(live.pump_until(
        [&] { return app.entities.current_entities->records[0].vertex_count != vertices; }, 30'000));
    ASSERT_TRUE(live.await_frames());
    save_picture(grab_canvas(live), "panes", "entity_rows_after_push");
    ASSERT_NE(app.entities.current_entities->records[0].summary_lines[1], before);

    expect_whole("parameters.vrek");
    expect_bar_reaches_both_ends("parameters.vrek", "parameter_list_after_push");
}

// The footer under the parameters is the parse's summary line, counts in
// the order INT, DBL, LNG, BLN, CHR, STR.
TEST_F(EntityRows, TheParameterFooterIsTheParseSummary) {
    open_parameters();
    ASSERT_TRUE(click_text("PARAMETER"));
    Element* row = find_shown(app, [](Element& e) { return names(e, "parameters.vrek"); });
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(live.click(*row) && live.await_frames());

    // The pane of parameter blocks: the parent of the first value field's
    // block; the footer is its last child.
    Element* field = find_shown(app, [](Element& e) { return dynamic_cast<TextField*>(&e) != nullptr && e.text == "24"; });
    ASSERT_NE(field, nullptr);
    std::vector<Element*> path;
    ASSERT_TRUE(path_to(app, field, path) && path.size() >= 3);
    auto* pane = dynamic_cast<Container*>(path[path.size() - 3]);
    ASSERT_TRUE(pane != nullptr && !pane->children.empty());
    Element& footer = *pane->children.back();
    ScrollPane* scroll = host_scroll(app, *pane);
    ASSERT_NE(scroll, nullptr);
    ASSERT_TRUE(drag_thumb(scroll->vthumb, scroll->vbar, false, true));
    const Picture shot = grab_canvas(live);
    save_picture(shot, "panes", "entity_rows_parameter_footer");

    EXPECT_EQ(footer.text, "1 INT, 2 DBL, 1 LNG, 1 BLN, 1 CHR, 1 STR");
    // Wholly in view and drawn across the width of that text.
    const ScreenRect r = rect_of(footer);
    ASSERT_EQ(footer.clip_height, r.h);
    ASSERT_EQ(footer.clip_y, r.y);
    // Inside the edge lines of the pane and the block above.
    const InkMap ink(shot, {r.x + 3, r.y + 2, r.w - 6, r.h - 4});
    const int32_t drawn = ink.rightmost() - ink.leftmost() + 1;
    const int32_t width = advance(footer.typeface, footer.text);
    EXPECT_NEAR(drawn, width, 4) << "footer " << show(r) << " ink " << ink.leftmost() << ".." << ink.rightmost();
    // On screen the second count (DBL) is the 2, the third (LNG) a 1 as the
    // first (INT) is.
    const std::vector<std::string> int_count = glyph_ink(shot, footer, 0);
    ASSERT_FALSE(int_count.empty());
    EXPECT_NE(glyph_ink(shot, footer, 7), int_count) << "DBL's count is not drawn second";
    EXPECT_EQ(glyph_ink(shot, footer, 14), int_count) << "LNG's count is not drawn third";
}

// The variant rows are written in the enlarged trace typeface, the face of
// the status line's trace text (enlarged by default): the same letter shows
// the same shape in both.
TEST_F(EntityRows, VariantRowsUseTheEnlargedTraceFace) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "cameras_and_variants.vrek"}));
    live.find_canvas();
    ASSERT_TRUE(live.await_frames());
    ASSERT_TRUE(app.bars.enlarged_trace);
    // The bar opened by its caption; the row "wide" found by its name.
    ASSERT_TRUE(click_text("VARIANTS"));
    live.pump_for(300);
    Element* variant = find_shown(app, [](Element& e) { return e.text == "wide"; });
    ASSERT_NE(variant, nullptr);
    Element* status = find_shown(app, [](Element& e) { return e.text.rfind("env0 | ", 0) == 0; });
    ASSERT_NE(status, nullptr);
    ASSERT_TRUE(live.move_to(platform_state.canvas_width / 2, platform_state.canvas_height / 2));
    ASSERT_TRUE(live.await_frames());
    const Picture shot = grab_canvas(live);
    save_picture(shot, "panes", "entity_rows_variant_rows");
    ASSERT_EQ(variant->clip_height, variant->abs_height);

    // "e", the last letter of "wide" and the first of "env0".
    const std::vector<std::string> row_e = glyph_ink(shot, *variant, 3);
    const std::vector<std::string> status_e = glyph_ink(shot, *status, 0);
    ASSERT_FALSE(status_e.empty());
    std::string both;
    for (size_t y = 0; y < std::max(row_e.size(), status_e.size()); ++y)
        both += (y < row_e.size() ? row_e[y] : "") + "   " + (y < status_e.size() ? status_e[y] : "") + "\n";
    EXPECT_EQ(row_e, status_e) << "the variant row's e and the status line's e:\n" << both;
}

}  // namespace

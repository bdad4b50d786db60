// What the panes show is what is in use, read off the screen of the real
// application: a new environment's console starts under its heading, and a
// number field shows, after Enter, the value stored rather than the text
// typed. Keys and clicks are real X events; the elements asserted on are
// found by walking the tree from the root. One application per process
// (the window layer draws only in the first window a process opens): each
// test is its own CTest entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"
#include "platform/files.h"
#include "ui/text_field.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

struct ShownValues : LiveWindow {
    Element* shown_text(const std::string& text) {
        return find_shown(app, [&](Element& e) { return e.text == text; });
    }
    // The deepest shown text field under a point of the canvas.
    TextField* field_at(int32_t x, int32_t y) {
        TextField* found = nullptr;
        std::function<void(Element&)> walk = [&](Element& e) {
            if (!e.visible) return;
            if (auto* f = dynamic_cast<TextField*>(&e); f && x >= e.abs_x && x < e.abs_x + e.abs_width &&
                                                         y >= e.abs_y && y < e.abs_y + e.abs_height)
                found = f;
            if (auto* c = dynamic_cast<Container*>(&e))
                for (Element* child : c->children)
                    if (child) walk(*child);
        };
        walk(app);
        return found;
    }
    static int64_t ink(const Picture& p, const ScreenRect& r) { return ink_in(p, r.x, r.y, r.w, r.h); }
    // Left and right ink columns of the text inside a field (its edges and
    // its caret, the one-pixel mark among its children, left out), -1 when
    // it shows nothing.
    static std::pair<int32_t, int32_t> ink_columns(const Picture& p, const TextField& field) {
        const ScreenRect inner{field.abs_x + 2, field.abs_y + 2, field.abs_width - 4, field.abs_height - 4};
        int32_t caret = -100;
        for (const Element* mark : field.children)
            if (mark && mark->visible && mark->abs_width == 1) caret = mark->abs_x;
        std::map<uint32_t, int64_t> counts;
        for (int32_t y = inner.y; y < inner.y + inner.h; ++y)
            for (int32_t x = inner.x; x < inner.x + inner.w; ++x) ++counts[p.at(x, y)];
        uint32_t background = 0;
        int64_t most = -1;
        for (const auto& [c, k] : counts)
            if (k > most) most = k, background = c;
        int32_t left = -1, right = -1;
        for (int32_t x = inner.x; x < inner.x + inner.w; ++x)
            for (int32_t y = inner.y; y < inner.y + inner.h; ++y)
                if (std::abs(x - caret) > 1 && !near_colour(p.at(x, y), background, 60)) {
                    if (left < 0) left = x;
                    right = x;
                }
        return {left, right};
    }
    // The brightest of a pixel's three channels: low only for dark greys.
    static int32_t channel_max(uint32_t rgb) {
        return std::max({int32_t(rgb >> 16 & 255), int32_t(rgb >> 8 & 255), int32_t(rgb & 255)});
    }
    static int32_t text_width(const Element& e, const std::string& text) {
        int32_t w = 0;
        for (char c : text) w += glyph_advance(e.typeface, static_cast<unsigned char>(c));
        return w;
    }
    // The field shows `stored` and nothing of the longer `typed`: the ink
    // spans the stored text's width (the caret may follow it).
    void expect_field_shows(const TextField& field, const std::string& stored, const std::string& typed,
                            const std::string& picture) {
        EXPECT_EQ(field.text, stored);
        const int32_t want = text_width(field, stored), wrong = text_width(field, typed);
        ASSERT_GE(wrong - want, 6) << "the two texts must look different";
        const Picture p = settled_canvas(live);
        save_picture(p, "panes", "shown_values_" + picture);
        const auto [left, right] = ink_columns(p, field);
        ASSERT_GE(left, 0) << picture << ": the field shows nothing";
        EXPECT_LE(std::abs((right - left + 1) - want), 3)
            << picture << ": ink " << right - left + 1 << " px wide, \"" << stored << "\" is " << want << ", \""
            << typed << "\" " << wrong;
    }
    // Types into the field under the element's centre and presses Enter;
    // the field reached from the root.
    TextField* type_into(const Element& target, const std::string& text) {
        const int32_t x = target.abs_x + target.abs_width / 2, y = target.abs_y + target.abs_height / 2;
        TextField* field = field_at(x, y);
        if (!field || !click(target)) return nullptr;
        if (!live.xdotool("key ctrl+a type --delay 20 " + text) || !live.xdotool("key Return")) return nullptr;
        live.await_frames();
        return field;
    }
    // Wheel steps over a scroll pane until the element lies wholly in it.
    bool scroll_into_view(const Element& pane, const Element& e) {
        const auto in_view = [&] {
            return e.abs_y >= pane.abs_y && e.abs_y + e.abs_height <= pane.abs_y + pane.abs_height;
        };
        if (!live.move_to(pane.abs_x + 40, pane.abs_y + 40)) return false;
        for (int notch = 0; notch < 60 && !in_view(); ++notch) live.xdotool("click 5"), live.await_frames();
        return in_view();
    }
    // Lit red: a red box's outer faces, not the dark inner side of far ones.
    static double lit_red(const Picture& p) {
        return double(std::count_if(p.rgb.begin(), p.rgb.end(), [](uint32_t c) {
            const uint32_t r = c >> 16 & 255;
            return r >= 100 && 2 * (c >> 8 & 255) < r && 2 * (c & 255) < r;
        }));
    }
    bool open_parameters_script() {
        return live.open_scripts({sample.workspace() + "parameters.vrek"});
    }
};

// "+ Environment", a script opened, the console: its heading stands alone on
// its row, as in the first environment, and the first line is below it.
TEST_F(ShownValues, ANewEnvironmentsConsoleStartsUnderItsHeading) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    Element* add = shown_text("+ Environment");
    ASSERT_NE(add, nullptr);
    ASSERT_TRUE(click(*add));
    ASSERT_TRUE(live.pump_until(
        [&] { return app.entities.environment_count == 2 && app.entities.environment_index == 1; }, 10'000));
    ASSERT_TRUE(live.await_frames());
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));
    if (shown_text("VREK Entity-Inspector") == nullptr) {
        Element* tab = shown_text("CONSOLE");
        ASSERT_NE(tab, nullptr);
        ASSERT_TRUE(click(*tab));
    }
    ASSERT_TRUE(live.pump_until([&] { return shown_text("VREK Entity-Inspector") != nullptr; }, 5000));
    Element& heading = *shown_text("VREK Entity-Inspector");
    // The console's lines are the text of the element that holds the heading.
    Element* lines = find_shown(app, [&](Element& e) {
        auto* c = dynamic_cast<Container*>(&e);
        return c && std::find(c->children.begin(), c->children.end(), &heading) != c->children.end();
    });
    ASSERT_NE(lines, nullptr);
    const Picture p = settled_canvas(live);
    save_picture(p, "panes", "shown_values_new_environment_console");

    const int32_t lh = static_cast<int32_t>(heading.typeface->line_height);
    const ScreenRect heading_row{heading.abs_x + heading.padding_left, heading.abs_y + heading.padding_top,
                                 heading.text_width, lh};
    ASSERT_GE(heading.clip_y, 0);
    ASSERT_LE(heading_row.y + heading_row.h, heading.clip_y + heading.clip_height) << "heading scrolled away";
    EXPECT_GT(ink(p, heading_row), 100);
    // Right of the heading, on its row, nothing drawn in the text's colour:
    // no line over it. (The pane is translucent: the scene shows through,
    // lighter than any text.)
    const int32_t right = lines->clip_x + lines->clip_width;
    // (the heading's row reaches no lower than where the next line starts)
    const int32_t step = static_cast<int32_t>(lines->typeface->line_height) + lines->line_gap;
    const int32_t band = std::min(lh, lines->abs_y + lines->padding_top + step - heading_row.y);
    const ScreenRect beside{heading_row.x + heading_row.w + 4, heading_row.y, right - heading_row.x - heading_row.w - 4,
                            band};
    ASSERT_GT(beside.w, 100);
    int32_t darkest = 255;
    for (int32_t y = heading_row.y; y < heading_row.y + heading_row.h; ++y)
        for (int32_t x = heading_row.x; x < heading_row.x + heading_row.w; ++x)
            darkest = std::min(darkest, channel_max(p.at(x, y)));
    ASSERT_LT(darkest, 128) << "no dark text in the heading";
    int64_t text_pixels = 0;
    for (int32_t y = beside.y; y < beside.y + beside.h; ++y)
        for (int32_t x = beside.x; x < beside.x + beside.w; ++x) text_pixels += channel_max(p.at(x, y)) <= darkest + 30;
    EXPECT_EQ(text_pixels, 0) << "text beside the heading at " << show(beside) << ", heading at "
                              << show(heading_row);

    // The opened script's line, whole, on a row below the heading's.
    const std::string& text = lines->text;
    const size_t at = text.find("Script-File Opened: mirrored_gate.vrek");
    ASSERT_NE(at, std::string::npos) << text;
    const int32_t k = static_cast<int32_t>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
    const int32_t line_lh = static_cast<int32_t>(lines->typeface->line_height);
    const ScreenRect row{lines->abs_x + lines->padding_left,
                         lines->abs_y + lines->padding_top + k * (line_lh + lines->line_gap),
                         k < static_cast<int32_t>(lines->line_widths.size()) ? lines->line_widths[k] : 0, line_lh};
    EXPECT_GE(row.y, heading_row.y + heading_row.h) << "line " << k << " at " << show(row);
    EXPECT_GT(ink(p, row), 200);
}

// An INT parameter given 7.5 uses 7 and shows 7; a DBL parameter given
// "long" keeps its value, says so, and shows the value kept.
TEST_F(ShownValues, ParameterFieldsShowTheValueStored) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(open_parameters_script());
    ASSERT_TRUE(click(app.PARAMETER));
    ASSERT_FALSE(app.parameter_rows.empty());
    ASSERT_TRUE(click(app.parameter_rows[0]));
    ASSERT_GE(app.parameter_value_fields.size(), 2u);

    TextField* segments = type_into(app.parameter_value_fields[0], "7.5");
    ASSERT_NE(segments, nullptr);
    EXPECT_FALSE(app.pane_open_flags[PANE_ERROR]);
    expect_field_shows(*segments, "7", "7.5", "int_parameter");

    ASSERT_TRUE(scroll_into_view(app.parameter_list_scroll, app.parameter_value_fields[1]));
    TextField* height = type_into(app.parameter_value_fields[1], "long");
    ASSERT_NE(height, nullptr);
    ASSERT_TRUE(live.pump_until([&] { return shown_text("Error: Invalid Value for Parameter") != nullptr; }, 5000));
    ASSERT_TRUE(live.xdotool("key Escape"));
    ASSERT_TRUE(live.pump_until([&] { return shown_text("Error: Invalid Value for Parameter") == nullptr; }, 5000));
    expect_field_shows(*height, "2", "long", "refused_dbl_parameter");
}

// A red box the script mirrors, opened alone in an environment of its own,
// is drawn like the plain one opened alone: the same solid (the box is
// symmetric), right side out, so the same view.
TEST_F(ShownValues, ScriptMirroredBoxIsLitLikeThePlainOne) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    const std::string plain = sample.workspace() + "red_box.vrek", mirrored = sample.workspace() + "red_box_sx.vrek";
    ASSERT_TRUE(write_text_file(plain, "return box(1, 2, 3).rgb(1, 0, 0);\n"));
    ASSERT_TRUE(write_text_file(mirrored, "return box(1, 2, 3).rgb(1, 0, 0).sx(-1);\n"));
    ASSERT_TRUE(live.open_scripts({plain}));
    const Picture unmirrored = settled_canvas(live);
    ASSERT_GT(lit_red(unmirrored), 5000);
    Element* add = shown_text("+ Environment");
    ASSERT_NE(add, nullptr);
    ASSERT_TRUE(click(*add));
    ASSERT_TRUE(live.pump_until(
        [&] { return app.entities.environment_count == 2 && app.entities.environment_index == 1; }, 10'000));
    ASSERT_TRUE(live.open_scripts({mirrored}));
    const Picture p = settled_canvas(live);
    save_picture(p, "panes", "shown_values_script_mirrored");
    // The view between the script line and the status line (the two name
    // their own script and environment).
    int64_t points = 0, changed = 0;
    for (int32_t y = 100; y < p.height - 60; ++y)
        for (int32_t x = 0; x < p.width; ++x) ++points, changed += !near_colour(p.at(x, y), unmirrored.at(x, y), 8);
    EXPECT_LT(double(changed) / double(points), 0.005);
    EXPECT_NEAR(lit_red(p), lit_red(unmirrored), lit_red(unmirrored) / 100);
}

// -1 in the X scale mirrors a red box: it is drawn lit as before (the same
// solid, so as many lit pixels); -1 in the Y scale as well makes a half
// turn, lit too. "2x" in a rotation field turns the entity 2 degrees and
// shows 2; "1100px" for the window width gives 1100 and shows 1100.
TEST_F(ShownValues, TransformAndWindowFieldsShowTheValueStored) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    const std::string script = sample.workspace() + "red_box.vrek";
    ASSERT_TRUE(write_text_file(script, "return box(1, 2, 3).rgb(1, 0, 0);\n"));
    ASSERT_TRUE(live.open_scripts({script}));
    ASSERT_TRUE(click(app.ENTITY));
    ASSERT_FALSE(app.entity_rows.empty());
    ASSERT_TRUE(click(app.entity_rows[0]));
    // The transform editor lies below the information text.
    ASSERT_TRUE(scroll_into_view(app.entity_inspector_scroll, app.scale_fields[0]));
    const double unmirrored = lit_red(settled_canvas(live));
    ASSERT_GT(unmirrored, 5000);
    for (TextField* scale : {&app.scale_fields[0], &app.scale_fields[1]}) {
        ASSERT_NE(type_into(*scale, "-- -1"), nullptr);  // (past xdotool's options)
        const Picture p = settled_canvas(live);
        save_picture(p, "panes", scale == &app.scale_fields[0] ? "shown_values_mirrored" : "shown_values_turned");
        EXPECT_NEAR(lit_red(p), unmirrored, unmirrored / 20);
        ASSERT_TRUE(live.xdotool("key Escape"));
    }
    const Element& rotation = app.rotation_fields[1];
    ASSERT_TRUE(scroll_into_view(app.entity_inspector_scroll, rotation));
    TextField* field = type_into(rotation, "2x");
    ASSERT_NE(field, nullptr);
    EXPECT_FALSE(app.pane_open_flags[PANE_WARNING]);
    EXPECT_EQ(app.entities.current_entities->records[0].euler_angles[1], 2.0);
    expect_field_shows(*field, "2", "2x", "rotation");
    ASSERT_TRUE(live.xdotool("key Escape"));

    // SETTINGS, WINDOW, the width field.
    ASSERT_TRUE(click(app.SETTINGS));
    ASSERT_TRUE(app.MENUBAR.visible);
    ASSERT_TRUE(click(app.settings_menu_buttons[0]));
    ASSERT_TRUE(live.await_frames());
    ASSERT_TRUE(app.settings_menu_hosts[0].visible);
    TextField* width = type_into(app.window_width_field, "1100px");
    ASSERT_NE(width, nullptr);
    ASSERT_TRUE(live.pump_until([] { return platform_state.canvas_width == 1100; }, 5000));
    EXPECT_FALSE(app.pane_open_flags[PANE_WARNING]);
    expect_field_shows(*width, "1100", "1100px", "window_width");
}

}  // namespace

// A message box shows its whole text: it grows to the window, and a text
// taller than the window scrolls with the wheel and with the box's bar.
// Rows are read back from the screen; the box's text is found by walking
// the tree from the root. One application per process: the window layer
// draws only in the first window a process opens.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "panes/popups/export_dialog.h"
#include "platform/files.h"
#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/squeezed.h"
#include "support/tree_walk.h"
#include "ui/slider.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

struct MessageBoxRows : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    // The first element shown whose text holds `part`.
    const Element* shown(const std::string& part) const {
        const std::string wanted = squeezed(part);
        return find_shown(app, [&](Element& e) { return squeezed(e.text).find(wanted) != std::string::npos; });
    }

    // Ink of a rectangle of the canvas as the screen now shows it.
    int64_t ink(const ScreenRect& r) { return ink_in(settled_canvas(live), r.x, r.y, r.w, r.h); }

    // The screen rows of a label's lines, top to bottom, as it draws them:
    // from its top padding, one line height and gap apart, each as wide as
    // its line.
    static std::vector<ScreenRect> line_rows(const Element& label) {
        std::vector<ScreenRect> rows;
        const int32_t lh = static_cast<int32_t>(label.typeface->line_height);
        int32_t y = label.abs_y + label.padding_top + label.text_offset_y;
        size_t start = 0;
        for (size_t k = 0;; ++k) {
            const size_t end = label.text.find('\n', start);
            const int32_t w = k < label.line_widths.size() ? label.line_widths[k] : label.text_width;
            rows.push_back({label.abs_x + label.padding_left + label.text_offset_x, y, w, lh});
            if (end == std::string::npos) break;
            start = end + 1;
            y = static_cast<int32_t>(y + (lh + label.line_gap));
        }
        return rows;
    }
    // Whether the row lies wholly inside the part of the label the screen
    // shows (its clip: the box around it and the window).
    static bool row_shown(const Element& label, const ScreenRect& row) {
        return row.y >= label.clip_y && row.y + row.h <= label.clip_y + label.clip_height && row.y >= 0 &&
               row.y + row.h <= static_cast<int32_t>(platform_state.canvas_height);
    }
};

// Seven long file names that wrap to several rows each, the folder and the
// note:
// the box grows to the window and scrolls what still does not fit, with the
// wheel and with its bar, so that every row of its text reaches the screen.
TEST_F(MessageBoxRows, ExportFailureBoxShowsEveryRowOfItsText) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_EQ(app.width, 720);
    ASSERT_EQ(app.height, 480);
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));
    const std::string folder = sample.root + "/out/";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_TRUE(live.click(app.EXPORT));
    set_export_location(app, folder);
    // A long name, typed; the time stamp and all four formats on.
    ASSERT_TRUE(live.click(app.export_name_field));
    const std::string name = "terrain_with_mirrored_gate_and_pillars";
    ASSERT_TRUE(live.xdotool("key ctrl+a BackSpace type --delay 20 " + name));
    ASSERT_TRUE(live.pump_until([&] { return app.export_settings.export_name == name; }, 5000));
    ASSERT_TRUE(live.click(app.export_option_buttons[5]));
    for (int f = 0; f < 4; ++f) ASSERT_TRUE(live.click(app.export_format_buttons[f]));
    ASSERT_TRUE(live.click(app.export_button));
    ASSERT_TRUE(live.pump_until([&] { return shown("Confirm Environment Mesh File Export") != nullptr; }, 5000));
    ASSERT_EQ(rmdir(folder.c_str()), 0);
    ASSERT_TRUE(live.click(app.confirm_ok_button));
    ASSERT_TRUE(live.pump_until([&] { return shown("Export Failure") != nullptr; }, 30'000));
    ASSERT_TRUE(live.await_frames());

    Element* text = const_cast<Element*>(shown("These files could not be written:"));
    ASSERT_NE(text, nullptr);
    const std::string whole = squeezed(text->text);
    for (const char* part : {"_NGON.obj", "_TESS.obj", "_NGON.off", "_TESS.off", "_NGON.ply", "_TESS.ply", ".stl",
                             "Folder:", "Note: earlier files of these names are left as they were."})
        EXPECT_NE(whole.find(squeezed(part)), std::string::npos) << part;
    // Seven names of two rows each, and the rows of the head, folder and note.
    std::vector<ScreenRect> rows = line_rows(*text);
    ASSERT_GE(rows.size(), 20u);
    save_picture(settled_canvas(live), "", "failure_box_seven_names");
    // The box stays inside the window.
    EXPECT_GE(text->clip_y, 0);
    EXPECT_LE(text->clip_y + text->clip_height, static_cast<int32_t>(app.height));
    ASSERT_TRUE(row_shown(*text, rows.front()));

    // Rows with text that reach the screen, and their ink there.
    std::vector<bool> seen(rows.size(), false);
    auto look = [&] {
        rows = line_rows(*text);
        const Picture p = settled_canvas(live);
        for (size_t k = 0; k < rows.size(); ++k) {
            if (seen[k] || !row_shown(*text, rows[k])) continue;
            seen[k] = true;
            if (rows[k].w > 0) {
                EXPECT_GT(ink_in(p, rows[k].x, rows[k].y, rows[k].w, rows[k].h), 20) << "row " << k << " at "
                                                                                     << show(rows[k]);
            }
        }
    };
    look();
    // The wheel over the text scrolls it down until the last row shows.
    ASSERT_TRUE(live.move_to(text->clip_x + text->clip_width / 2, text->clip_y + 40));
    for (int turns = 0; turns < 60 && !row_shown(*text, rows.back()); ++turns) {
        ASSERT_TRUE(live.xdotool("click 5"));
        ASSERT_TRUE(live.await_frames());
        look();
    }
    save_picture(settled_canvas(live), "", "failure_box_seven_names_end");
    for (size_t k = 0; k < rows.size(); ++k) EXPECT_TRUE(seen[k]) << "row " << k << " never on screen";
    ASSERT_TRUE(row_shown(*text, rows.back()));
    EXPECT_GT(ink(rows.back()), 100);

    // The text is taller than the window: the bar's thumb dragged to the
    // top brings the first row back.
    ASSERT_FALSE(row_shown(*text, rows.front()));
    Element* scroll = find_shown(app, [&](Element& e) {
        auto* pane = dynamic_cast<ScrollPane*>(&e);
        return pane != nullptr && pane->content == text;
    });
    ASSERT_NE(scroll, nullptr);
    const Element& thumb = static_cast<ScrollPane*>(scroll)->vthumb;
    ASSERT_TRUE(thumb.visible);
    ASSERT_GT(ink(rect_of(thumb)), 0);
    const int32_t x = thumb.abs_x + thumb.abs_width / 2, y = thumb.abs_y + thumb.abs_height / 2;
    std::string steps = "mousemove --sync " + live.at(x, y) + " sleep 0.1 mousedown 1 sleep 0.1";
    for (int k = 1; k <= 8; ++k) steps += " mousemove " + live.at(x, y - (y - text->clip_y + 40) * k / 8) + " sleep 0.05";
    ASSERT_TRUE(live.xdotool(steps + " sleep 0.1 mouseup 1"));
    ASSERT_TRUE(live.await_frames());
    rows = line_rows(*text);
    EXPECT_TRUE(row_shown(*text, rows.front()));
    EXPECT_GT(ink(rows.front()), 100);
    EXPECT_FALSE(path_exists(folder));
}

}  // namespace

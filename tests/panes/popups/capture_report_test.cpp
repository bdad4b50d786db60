// The capture dialogs and their PNG output, the profiling report's output,
// the hint bar and the parse-report view, on the built interface.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/interface_builder.h"
#include "panes/popups/capture_output.h"
#include "panes/popups/popups.h"
#include "panes/popups/report_views.h"
#include "platform/files.h"
#include "platform/services.h"
#include "support/app_fixture.h"
#include "support/full_disk.h"
#include "support/squeezed.h"
#include "support/test_dir.h"

namespace {

struct BuiltPanes : AppFixture {
    BuiltPanes() {
        capture_stdout();
        build_user_interface(*app);
        captured_stdout();
        app_instance = app.get();
        reset_tooltip_panel_for_tests();
    }
    ~BuiltPanes() override { reset_tooltip_panel_for_tests(); }
    bool pane_open(int32_t index) const { return app->pane_open_flags[index] != 0; }
    const std::string& box_title(int k) const { return app->message_titles[k].text; }
    // The box's text without blanks and line ends: the box breaks its lines
    // to fit, wherever the window's typeface puts them.
    std::string box_text(int k) const { return squeezed(app->message_texts[k].text); }
};

std::string stamp() { return "20261206235959"; }

TEST_F(BuiltPanes, CaptureRequestsNameTheImageAndOpenTheirPane) {
    AppContext& a = *app;
    open_snapshot_dialog(a);
    EXPECT_EQ(a.capture.snapshot_name, "vrek_snapshot_");
    EXPECT_EQ(a.snapshot_name_label.text, "vrek_snapshot_\n.png");
    a.services.local_date_time_stamp = stamp;
    open_snapshot_dialog(a);
    EXPECT_EQ(a.capture.snapshot_name, "vrek_snapshot_20261206235959");
    EXPECT_TRUE(a.capture.snapshot_requested && a.capture.snapshot_width == 512 && a.capture.snapshot_height == 512);

    // Any one modifier gives the screenshot, at the window's size clamped to
    // what the renderer reads.
    int32_t* const counters[3] = {&shift_held, &ctrl_held, &alt_held};
    a.frame.window_width = 3000, a.frame.window_height = 700;
    for (int32_t* held : counters) {
        a.capture.capture_options = {0, 0, 0};
        *held = 1;
        on_click_capture();
        *held = 0;
        EXPECT_EQ(a.capture.capture_options, (std::array<uint8_t, 3>{1, 1, 1}));
        EXPECT_EQ(a.screenshot_name_label.text, "Output Image File: vrek_screenshot_20261206235959.png");
        EXPECT_TRUE(a.capture.screenshot_width == 2048 && a.capture.screenshot_height == 700);
        EXPECT_EQ(a.BORDER.border_top.width, 0);
    }
    a.capture.capture_options = {0, 0, 0};
    on_click_capture();
    EXPECT_EQ(a.capture.capture_options[0], 0);

    // The renderer's completion opens the pane with its preview; closing
    // takes the preview away.
    a.capture.snapshot_callback();
    EXPECT_TRUE(pane_open(PANE_CAPTURE) && a.CAPTUREPANE.visible && a.capture.snapshot_preview);
    EXPECT_EQ(a.capture.snapshot_preview_size, (std::array<int32_t, 2>{512, 512}));
    EXPECT_FALSE(a.capture.screenshot_preview);
    a.capture.screenshot_callback();
    EXPECT_TRUE(pane_open(PANE_SCREENSHOT) && a.capture.screenshot_preview && a.BORDER.border_top.width == 1);
    escape_from_popups(a);
    escape_from_popups(a);
    EXPECT_FALSE(a.capture.snapshot_preview || a.capture.screenshot_preview || a.OVERLAY.visible);
}

int64_t clock_value = 0;
int64_t stepping_clock() {
    const int64_t now = clock_value;
    clock_value += 1234;
    return now;
}
bool refuse_text(const std::string&) { return false; }
std::string clipboard;
bool keep_text(const std::string& text) { return clipboard = text, true; }

struct OutputPanes : BuiltPanes {
    TestDir dir{"vk_capture"};
    OutputPanes() {
        workspace_path = dir.path() + "/";
        app->services.save_image = platform_save_png;
        app->services.local_date_time_stamp = stamp;
        clock_value = 1'000'000;
        set_clock_for_tests(stepping_clock);
    }
    // A snapshot ready to save: a gradient of w x h pixels, its pane open.
    void captured_snapshot(int32_t w, int32_t h) {
        open_snapshot_dialog(*app);
        app->capture.snapshot_width = w, app->capture.snapshot_height = h;
        app->capture.snapshot_pixels.resize(4u * w * h);
        for (size_t i = 0; i < app->capture.snapshot_pixels.size(); ++i)
            app->capture.snapshot_pixels[i] = static_cast<uint8_t>(i * 7 + i / 4);
        app->capture.snapshot_callback();
    }
    std::string snapshot_path(const std::string& suffix = "") const {
        return workspace_path + "vrek_snapshot_20261206235959" + suffix + ".png";
    }
};

TEST_F(OutputPanes, SnapshotSavesEveryByteAndReportsItsTime) {
    ASSERT_TRUE(write_text_file(workspace_path + ".notes.20240612-1", "mine"));  // the user's, stays
    // A file and a link that leads nowhere hold the first two names: the
    // snapshot takes the third, as its label says.
    ASSERT_TRUE(write_text_file(snapshot_path(), "earlier"));
    ASSERT_EQ(symlink("nowhere", snapshot_path("_2").c_str()), 0);
    captured_snapshot(37, 5);
    EXPECT_EQ(app->snapshot_name_label.text, "vrek_snapshot_\n20261206235959_3.png");
    capture_stdout();
    save_environment_snapshot(*app);
    captured_stdout();
    EXPECT_EQ(read_file(workspace_path + ".notes.20240612-1"), "mine");
    EXPECT_EQ(read_file(snapshot_path()), "earlier");
    EXPECT_FALSE(pane_open(PANE_CAPTURE) || app->CAPTUREPANE.visible);
    EXPECT_EQ(box_title(0), "Environment Image Snapshot Saved");
    EXPECT_EQ(box_text(0), squeezed("Environment image written in 1.23 seconds."));
    GError* error = nullptr;
    GdkPixbuf* image = gdk_pixbuf_new_from_file(snapshot_path("_3").c_str(), &error);
    ASSERT_NE(image, nullptr);
    ASSERT_TRUE(gdk_pixbuf_get_width(image) == 37 && gdk_pixbuf_get_height(image) == 5 &&
                gdk_pixbuf_get_has_alpha(image));
    const int stride = gdk_pixbuf_get_rowstride(image);
    const uint8_t* pixels = gdk_pixbuf_get_pixels(image);
    size_t differing = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 37 * 4; ++x)
            differing += pixels[y * stride + x] != app->capture.snapshot_pixels[static_cast<size_t>(y * 37 * 4 + x)];
    g_object_unref(image);
    EXPECT_EQ(differing, 0u);
}

TEST_F(OutputPanes, FailedImageWritesCloseThePaneAndShowTheErrorBox) {
    const std::string snapshot_error = "An error occured during environment image snapshot file writing.";
    // A missing folder, a full disk, a buffer shorter than the image.
    const std::string workspace = workspace_path;
    workspace_path = workspace + "gone/";
    captured_snapshot(4, 4);
    capture_stdout();
    save_environment_snapshot(*app);
    EXPECT_TRUE(!pane_open(PANE_CAPTURE) && pane_open(PANE_ERROR) && app->MASKPANE.visible);
    EXPECT_EQ(box_title(1), "Error: Image Snapshot Save Failure");
    EXPECT_EQ(box_text(1), squeezed(snapshot_error + "\n\n\t File: " + workspace +
                                    "gone/vrek_snapshot_20261206235959.png\n\t Reason: No such file or directory"));
    workspace_path = workspace;
    escape_from_popups(*app);

    // A full disk leaves nothing of the image (named past the earlier file);
    // a name taken while the pane is open is not written over either.
    ASSERT_TRUE(write_text_file(snapshot_path(), "earlier"));
    captured_snapshot(64, 64);
    {
        const FullDisk full(100);
        save_environment_snapshot(*app);
    }
    EXPECT_TRUE(!pane_open(PANE_CAPTURE) && pane_open(PANE_ERROR));
    EXPECT_NE(box_text(1).find(squeezed("\t File: " + snapshot_path("_2") + "\n\t Reason: File too large")),
              std::string::npos);
    escape_from_popups(*app);
    captured_snapshot(4, 4);
    ASSERT_TRUE(write_text_file(snapshot_path("_2"), "meanwhile"));
    save_environment_snapshot(*app);
    EXPECT_NE(box_text(1).find(squeezed("\t File: " + snapshot_path("_2") + "\n\t Reason: File exists")),
              std::string::npos);
    EXPECT_EQ(read_file(snapshot_path()) + read_file(snapshot_path("_2")), "earliermeanwhile");
    std::filesystem::remove(snapshot_path());
    std::filesystem::remove(snapshot_path("_2"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    escape_from_popups(*app);

    captured_snapshot(4, 4);
    app->capture.snapshot_pixels.pop_back();
    save_environment_snapshot(*app);
    EXPECT_TRUE(pane_open(PANE_ERROR) && !pane_open(PANE_INFO));
    EXPECT_NE(box_text(1).find(squeezed("Reason: no complete image was captured")), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(snapshot_path()));
    escape_from_popups(*app);

    // The screenshot closes its own pane; without the image service Save
    // does nothing at all.
    open_screenshot_dialog(*app);
    app->capture.screenshot_callback();
    app->capture.screenshot_pixels.clear();
    save_application_screenshot(*app);
    captured_stdout();
    EXPECT_TRUE(!pane_open(PANE_SCREENSHOT) && pane_open(PANE_ERROR));
    EXPECT_EQ(box_title(1), "Error: Screenshot Save Failure");
    escape_from_popups(*app);
    app->services.save_image = nullptr;
    captured_snapshot(4, 4);
    save_environment_snapshot(*app);
    EXPECT_TRUE(pane_open(PANE_CAPTURE) && !pane_open(PANE_ERROR) && !pane_open(PANE_INFO));
}

TEST_F(OutputPanes, ProfilingReportGoesOutWithTabsAsArrows) {
    app->ppd_report_label.set_text("a\tb\t\tc\n");
    app->services.clipboard_set = keep_text;
    copy_ppd_to_clipboard(*app);
    EXPECT_EQ(clipboard, "a>b>>c\n");
    EXPECT_EQ(box_title(0), "PPD Copied to Clipboard");
    app->services.clipboard_set = refuse_text;
    copy_ppd_to_clipboard(*app);
    EXPECT_EQ(box_title(0), "PPD Emission Failure");
    EXPECT_FALSE(pane_open(PANE_ERROR));

    const std::string file = workspace_path + "vrek_ppd.txt";
    ASSERT_TRUE(write_text_file(file, "an older and much longer report"));
    write_ppd_text_file(*app);
    EXPECT_EQ(read_file(file), "a>b>>c\n");
    EXPECT_EQ(box_text(0), squeezed("PPD (performance-profiling-data) successfully written to text-file.\n\n\t Path: " +
                                    workspace_path + "\n\t Name: vrek_ppd.txt"));
    // A full disk: the error box names the file and the reason, and the
    // earlier report stays whole.
    {
        const FullDisk full(3);
        write_ppd_text_file(*app);
    }
    EXPECT_EQ(box_title(1), "PPD Emission Failure");
    EXPECT_NE(box_text(1).find(squeezed("error on write.")), std::string::npos);
    EXPECT_NE(box_text(1).find(squeezed("\n\t Name: vrek_ppd.txt\n\t Reason: File too large")), std::string::npos);
    EXPECT_EQ(read_file(file), "a>b>>c\n");
    std::filesystem::remove(file);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(BuiltPanes, HintBarFollowsTheTipElement) {
    AppContext& a = *app;
    Element plain, tipped;
    plain.tooltip_title = "plain", plain.tooltip_text = "no icon", plain.icon = 0;
    tipped.tooltip_title = "tipped", tipped.tooltip_text = "icon 12", tipped.icon = 3, tipped.tooltip_icon = 12;
    const int32_t M = a.ui_metrics.ui_padding, R = a.ui_metrics.row_height;

    tooltip_element = &plain;
    update_tooltip_panel(a);
    EXPECT_TRUE(a.HINTBAR.visible && a.hint_caption.text == "plain" && a.hint_text.text == "no icon");
    EXPECT_TRUE(a.hint_icon.icon == -1 && a.status.tooltip_element_id == -1 && a.hint_caption.margin_left == M / 2);
    a.hint_caption.text = "untouched";
    update_tooltip_panel(a);
    EXPECT_EQ(a.hint_caption.text, "untouched");

    tooltip_element = &tipped;
    update_tooltip_panel(a);
    EXPECT_TRUE(a.hint_icon.icon == 12 && a.hint_text.margin_left == R + 2 * M);
    tipped.tooltip_icon = -1;
    last_tooltip_element = nullptr;
    update_tooltip_panel(a);
    EXPECT_EQ(a.hint_icon.icon, 3);

    tooltip_element = nullptr;
    update_tooltip_panel(a);
    EXPECT_TRUE(!a.HINTBAR.visible && a.hint_caption.text.empty() && a.status.tooltip_caption.empty());
    EXPECT_EQ(a.status.tooltip_element_id, -1);
}

// Three rows: a parallel script with one element, then a script whose
// sections hold only headings except Notes, which is empty.
void fill_report(ParseReport& r, const std::string& first_name) {
    r = ParseReport();
    r.row_count = 3;
    r.kinds = {REPORT_ROW_PARALLEL, REPORT_ROW_ELEMENT, REPORT_ROW_SCRIPT};
    r.names = {first_name, "part.vrek", "plain.vrek"};
    r.records.resize(3);
    r.section_lines.resize(3);
    for (size_t row = 0; row < 3; ++row)
        for (size_t k = 0; k < SECTION_COUNT; ++k) r.section_lines[row][k] = {"\t S" + std::to_string(k) + ": [0]"};
    r.section_lines[0][1] = {"\t Parameters: [2]", "INT a = 1;", "DBL much_longer_name = 2.5;"};
    r.section_lines[2][6].clear();
    r.title = "Script Parsing Result: Syntax-Valid";
}

TEST_F(BuiltPanes, ParseReportRowsShowTheirSectionsAndKeepTheirScroll) {
    AppContext& a = *app;
    const ParsePaneWidgets& w = a.popup_contents.parse;
    const int32_t M = a.ui_metrics.ui_padding;
    fill_report(a.parse_report, "towers.vrek");
    build_parse_report_rows(a);
    ASSERT_EQ(a.parse_report_rows.size(), 3u);
    EXPECT_EQ(a.parse_report_rows[1].text, "\t part.vrek");
    EXPECT_EQ(a.popup_frames[FRAME_PARSE].title_label.text, "Script Parsing Result: Syntax-Valid");
    EXPECT_TRUE(a.parse_report.selected_row == 0 && a.parse_report_rows[0].selected);
    EXPECT_EQ(w.script_name_label.text, "towers.vrek");
    EXPECT_EQ(w.section_headings[1].text, "\t Parameters: [2]");
    EXPECT_EQ(w.section_texts[1].text, "INT a = 1;\nDBL much_longer_name = 2.5;");
    EXPECT_EQ(w.section_texts[1].height, w.section_texts[1].text_height + 2 * M);
    EXPECT_TRUE(w.section_texts[0].text.empty());
    EXPECT_EQ(w.section_headings[2].y, w.section_texts[1].y + w.section_texts[1].height);

    // Each row keeps its own scroll position.
    a.parse_section_scroll.scroll_y = 0.5, a.parse_section_scroll.scroll_x = 0.25;
    show_parse_report_sections(a, 2);
    EXPECT_TRUE(a.parse_section_scroll.scroll_y == 0.0 && !a.parse_report_rows[0].selected);
    EXPECT_TRUE(w.section_headings[6].text.empty() && w.section_texts[6].text.empty());
    a.parse_section_scroll.scroll_y = 0.75;
    show_parse_report_sections(a, 0);
    EXPECT_TRUE(a.parse_section_scroll.scroll_y == 0.5 && a.parse_section_scroll.scroll_x == 0.25);
    show_parse_report_sections(a, 2);
    EXPECT_EQ(a.parse_section_scroll.scroll_y, 0.75);
    show_parse_report_sections(a, 3);
    show_parse_report_sections(a, -1);
    EXPECT_EQ(a.parse_report.selected_row, 2);

    // A click reaches the hovered row only.
    hover_element = &a.parse_report_rows[1];
    a.parse_report_rows[1].click_handler();
    EXPECT_EQ(w.script_name_label.text, "part.vrek");

    // A rebuilt report opens on its first row, at the top.
    fill_report(a.parse_report, "renamed.vrek");
    build_parse_report_rows(a);
    EXPECT_TRUE(a.parse_report.selected_row == 0 && a.parse_section_scroll.scroll_y == 0.0);
    EXPECT_EQ(w.script_name_label.text, "renamed.vrek");
    EXPECT_EQ(w.section_headings[1].text, "\t Parameters: [2]");
    a.parse_report = ParseReport();
    build_parse_report_rows(a);
    EXPECT_TRUE(a.parse_report_rows.empty() && a.parse_entity_list.children.empty());
    EXPECT_TRUE(w.section_headings[0].text.empty() && a.parse_report.selected_row == -1);
}

}  // namespace

// The configuration pane and the file browser in the real window: clicks
// and keys through a private X server, the context read between ticks.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "panes/browser/browser_navigation.h"
#include "panes/browser/directory_listing.h"
#include "panes/popups/popups.h"
#include "pipeline/orch_support.h"
#include "platform/files.h"
#include "pipeline/workspace.h"
#include "support/live_application.h"
#include "support/private_display.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

// The centre of an element as laid out, in canvas coordinates.
std::string centre_of(LiveApplication& live, const Element& e) {
    return live.at(e.abs_x + e.abs_width / 2, e.abs_y + e.abs_height / 2);
}

bool any_popup_flag(const AppContext& app) {
    for (uint8_t open : app.pane_open_flags)
        if (open) return true;
    return false;
}

struct FilePanesWindow : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    void SetUp() override {
        ASSERT_TRUE(live.open());
        gdk_window_get_origin(gtk_widget_get_window(platform_state.canvas), &live.canvas_x, &live.canvas_y);
    }
    // The context leaves the meshes of opened scripts to its owner.
    void TearDown() override { free_context_meshes(app); }
    bool click(const Element& e) { return live.xdotool("mousemove --sync " + centre_of(live, e) + " sleep 0.1 click 1"); }
    void finish_configuration() {
        ASSERT_TRUE(set_kernel_path(kernel()));
        ASSERT_TRUE(set_workspace_path(sample.workspace()));
        prepare_app_workspace(app);
        ASSERT_TRUE(live.pump_until([&] { return app.startup.startup_done != 0; }, 30'000));
    }
};

// The browser over a directory of hostile names against a reviewed picture.
// The directory is listed by a relative name, so that no temporary path
// shows, with fixed times in UTC. First of the file: a window made after
// another one in the same process is not drawn on the screen.
TEST_F(FilePanesWindow, BrowserOverHostileNamesMatchesItsBaseline) {
    finish_configuration();
    setenv("TZ", "UTC", 1);
    const std::string dir = sample.root + "/-hostile dir/";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    const char* const names[] = {" lead.vrek", "trail.vrek ", "double  blank.vrek", "it's \"quoted\".vrek",
                                 "back\\slash.vrek", "tab\there.vrek", "new\nline.vrek", "-dash.vrek",
                                 "\xff\xfe.vrek", "\xc3\xbcn\xc3\xaf" "code.vrek", "a -> b.vrek", "Model.VREK"};
    for (const char* name : names) ASSERT_TRUE(write_text_file(dir + name, "return box(1);\n")) << name;
    ASSERT_EQ(mkdir((dir + "sub dir").c_str(), 0755), 0);
    ASSERT_EQ(symlink(" lead.vrek", (dir + "link.vrek").c_str()), 0);
    DIR* listing = opendir(dir.c_str());
    ASSERT_NE(listing, nullptr);
    const timespec fixed[2] = {{1796119200, 0}, {1796119200, 0}};  // 2026-12-01 10:00 UTC
    while (const dirent* d = readdir(listing))
        if (d->d_name[0] != '.') utimensat(AT_FDCWD, (dir + d->d_name).c_str(), fixed, AT_SYMLINK_NOFOLLOW);
    closedir(listing);

    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(sample.root.c_str()), 0);
    app.file_browser_state.browser_directory = "-hostile dir/";
    const bool opened = live.xdotool("mousemove --sync " + live.at(360, 470) + " key ctrl+o");
    live.pump_for(300);
    EXPECT_EQ(chdir(previous), 0);
    ASSERT_TRUE(opened && app.FILEPANE.visible);
    ASSERT_EQ(app.file_browser_state.browser_entries.count(), 13u);

    const int w = app.width, h = app.height;
    // The screen as X shows it, cut to the canvas.
    const std::string out_dir = binary_dir() + "/test-output/shell/";
    std::filesystem::create_directories(out_dir);
    const std::string screen = out_dir + "screen.png", picture = out_dir + "browser_hostile.png";
    const char* import_argv[] = {"import", "-window", "root", screen.c_str(), nullptr};
    gint import_status = -1;
    ASSERT_TRUE(g_spawn_sync(nullptr, const_cast<gchar**>(import_argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                             nullptr, nullptr, nullptr, &import_status, nullptr) &&
                import_status == 0);
    GdkPixbuf* whole = gdk_pixbuf_new_from_file(screen.c_str(), nullptr);
    ASSERT_NE(whole, nullptr);
    ASSERT_TRUE(gdk_pixbuf_get_width(whole) >= live.canvas_x + w && gdk_pixbuf_get_height(whole) >= live.canvas_y + h);
    GdkPixbuf* shot = gdk_pixbuf_new_subpixbuf(whole, live.canvas_x, live.canvas_y, w, h);
    g_object_unref(whole);
    EXPECT_TRUE(gdk_pixbuf_save(shot, picture.c_str(), "png", nullptr, nullptr));
    const char* src = getenv("VK_SOURCE_DIR");
    const std::string baseline = std::string(src ? src : ".") + "/tests/shell/baseline/browser_hostile.png";
    GdkPixbuf* ref = gdk_pixbuf_new_from_file(baseline.c_str(), nullptr);
    ASSERT_NE(ref, nullptr) << baseline;
    ASSERT_EQ(gdk_pixbuf_get_width(ref), w);
    ASSERT_EQ(gdk_pixbuf_get_height(ref), h);
    const int channels = gdk_pixbuf_get_n_channels(shot), ref_channels = gdk_pixbuf_get_n_channels(ref);
    const int stride = gdk_pixbuf_get_rowstride(shot), ref_stride = gdk_pixbuf_get_rowstride(ref);
    const uint8_t* a = gdk_pixbuf_get_pixels(shot);
    const uint8_t* b = gdk_pixbuf_get_pixels(ref);
    int64_t off = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(a[y * stride + x * channels + c] - b[y * ref_stride + x * ref_channels + c]) > 8) {
                    ++off;
                    break;
                }
    g_object_unref(ref);
    g_object_unref(shot);
    EXPECT_LE(off, int64_t{w} * h / 200) << "pixels off the baseline; see " << out_dir;
}

TEST_F(FilePanesWindow, WithoutPathsTheConfigurationMaskTakesEveryClickButItsOwn) {
    EXPECT_EQ(app.frame.startup_mode, 1);
    live.pump_for(3200);
    ASSERT_TRUE(app.configuration_mask.visible && app.configuration_pane.visible);
    FilePaneWidgets& f = app.file_panes;
    EXPECT_EQ(f.kernel_box_labels[2].text, "???");
    EXPECT_EQ(f.workspace_box_labels[2].text, "???");
    EXPECT_EQ(f.kernel_state_label.text, "UNDEFINED");
    EXPECT_EQ(f.workspace_state_label.text, "UNDEFINED");
    EXPECT_EQ(f.continue_button.text, "!");

    // The tool bar lies under the mask: its buttons do nothing.
    for (const Element* button : {&app.OPEN, &app.ASSEMBLE, &app.EXPORT, &app.SETTINGS}) {
        ASSERT_TRUE(click(*button));
        EXPECT_FALSE(any_popup_flag(app)) << button->name;
    }
    // "!" with paths missing changes nothing.
    ASSERT_TRUE(click(f.continue_button));
    EXPECT_LT(app.startup.workspace_prepared_at, 0.0);

    // The kernel box opens the browser for the kernel; Escape brings the
    // configuration back.
    ASSERT_TRUE(click(f.kernel_box));
    EXPECT_TRUE(app.pane_open_flags[PANE_FILE] && app.FILEPANE.visible);
    EXPECT_EQ(app.file_browser_state.browser_purpose, BROWSER_KERNEL_EXECUTABLE);
    EXPECT_FALSE(app.configuration_mask.visible);
    ASSERT_TRUE(live.xdotool("key Escape"));
    EXPECT_FALSE(app.pane_open_flags[PANE_FILE] || app.FILEPANE.visible);
    EXPECT_TRUE(app.configuration_mask.visible);
}

TEST_F(FilePanesWindow, CtrlOListsTheWorkspaceAndAChosenRowOpensFiveTicksLater) {
    finish_configuration();
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(400, 300) + " key ctrl+o"));
    ASSERT_TRUE(app.pane_open_flags[PANE_FILE] && app.FILEPANE.visible);
    const FileBrowserState& b = app.file_browser_state;
    EXPECT_EQ(b.browser_purpose, BROWSER_OPEN_SCRIPT);
    EXPECT_EQ(b.browser_directory, sample.workspace());
    int32_t row = -1;
    for (size_t r = 0; r < b.browser_row_order.size(); ++r)
        if (b.browser_entries.names[static_cast<size_t>(b.browser_row_order[r])] == "cameras_and_variants.vrek")
            row = static_cast<int32_t>(r);
    ASSERT_GE(row, 0);
    live.pump_for(200);
    ASSERT_TRUE(click(app.browser_rows[static_cast<size_t>(row)]));
    EXPECT_EQ(b.browser_selection.selected_count, 1);
    EXPECT_TRUE(app.browser_rows[static_cast<size_t>(row)].selected);

    // The loop runs on while xdotool clicks, so the five ticks may already
    // have passed when it returns; the tick count is the unit tests' business.
    ASSERT_TRUE(click(app.browser_confirm_label));
    EXPECT_FALSE(app.FILEPANE.visible);
    ASSERT_TRUE(live.pump_until([&] { return app.entities.current_entities->count > 0; }, 30'000));
    EXPECT_EQ(app.entities.current_entities->records[0].parse_record.path,
              sample.workspace() + "cameras_and_variants.vrek");
    ASSERT_TRUE(live.pump_until([&] { return !app.OPENPANE.visible; }, 5000));
    EXPECT_FALSE(any_popup_flag(app));
}

}  // namespace

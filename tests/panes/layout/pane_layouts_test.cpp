#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "panes/layout/display_options.h"
#include "harness/interface_tree.h"
#include "panes/layout/pane_layouts.h"
#include "panes/layout/scroll_handlers.h"
#include "panes/layout/window_layout.h"
#include "support/app_fixture.h"

namespace {

using Ints = std::vector<int32_t>;
Ints rect(const Element& e) { return {e.x, e.y, e.width, e.height}; }

struct PaneLayoutTest : AppFixture {
    int32_t refreshes = 0;
    static inline PaneLayoutTest* current = nullptr;

    PaneLayoutTest() {
        hang_interface_tree(*app);
        app_instance = app.get();
        current = this;
        app->refresh_handler = [] { ++current->refreshes; };
    }
    void lay_out(int32_t w, int32_t h) {
        app->frame.window_width = w;
        app->frame.window_height = h;
        app->layout(w, h);
    }
};

TEST_F(PaneLayoutTest, ScreenshotPreviewKeepsTheAspect) {
    // The preview keeps the screenshot's aspect at 256 high.
    app->capture.screenshot_width = 1024;
    app->capture.screenshot_height = 512;
    layout_screenshot_preview(*app, 512, 300);
    EXPECT_EQ(rect(app->screenshot_preview), (Ints{0, 0, 512, 256}));
    app->capture.screenshot_width = 720;
    app->capture.screenshot_height = 480;
    layout_screenshot_preview(*app, 512, 300);
    EXPECT_EQ(rect(app->screenshot_preview), (Ints{64, 0, 384, 256}));
    // An empty screenshot size leaves the preview as it was.
    app->capture.screenshot_height = 0;
    layout_screenshot_preview(*app, 512, 300);
    EXPECT_EQ(app->screenshot_preview.width, 384);
}

TEST_F(PaneLayoutTest, MarkersTabsAndNotice) {
    // The colour strip at exactly its width plus one tool: offset 0.
    app->colour_function_strip.width = 600;
    app->ui_flags.bar_scroll_factors[BAR_SCROLL_COLOUR] = 1.0;
    layout_colourbar(*app, 656, 24);
    EXPECT_EQ(app->colour_function_strip.x, 0);
    layout_colourbar(*app, 556, 24);
    EXPECT_EQ(app->colour_function_strip.x, -100);

    // No directive selected: the marker is empty, off the bar.
    layout_camera_directive_bar_body(*app, 112, 300);
    EXPECT_EQ(rect(app->camera_directive_marker), (Ints{-16, -16, 0, 0}));
    app->camera_directive_rows.resize(3);
    app->camera_directive_rows[2].y = 64;
    app->bars.selected_directive = 2;
    layout_camera_directive_bar_body(*app, 112, 300);
    EXPECT_EQ(rect(app->camera_directive_marker), (Ints{4, 68, 4, 4}));
    app->bars.selected_directive = 3;
    layout_camera_directive_bar_body(*app, 112, 300);
    EXPECT_EQ(app->camera_directive_marker.width, 0);

    // The pop-up sits over the hovered tab.
    app->entities.hovered_environment_tab = 1;
    layout_tabscroll_body(*app, 400, 32);
    EXPECT_EQ(app->environment_preview.x, 8 + 112 - 32 + 64);

    lay_out(479, 600);
    EXPECT_TRUE(app->small_window_notice.visible);
    lay_out(480, 360);
    EXPECT_FALSE(app->small_window_notice.visible);
    app->ui_flags.layout_mode_flags[0] = 1;
    lay_out(200, 200);
    EXPECT_FALSE(app->small_window_notice.visible);
}

TEST_F(PaneLayoutTest, FileBrowserRowsAndSortMarker) {
    FileBrowserState& b = app->file_browser_state;
    b.browser_sort_ascending = 0;
    b.browser_sort_key = 3;
    layout_filepane_body(*app, 800, 600);
    EXPECT_EQ(rect(app->browser_sort_mark), (Ints{792, 32 - 8 - 1, 4, 4}));
    b.browser_sort_key = 9;  // no such key: no marker in view
    layout_filepane_body(*app, 800, 600);
    EXPECT_EQ(app->browser_sort_mark.x, -16);

    // An empty list only sizes its content.
    layout_file_browser_list(*app, 800, 300);
    EXPECT_EQ(rect(app->browser_list_content), (Ints{0, 0, 800, 0}));
    b.browser_row_order.resize(20);
    b.browser_list_scroll = 0.5;
    app->browser_rows.resize(20);
    layout_file_browser_list(*app, 800, 300);
    EXPECT_EQ(rect(app->browser_list_content), (Ints{0, (300 - 640) / 2, 800, 640}));
    EXPECT_EQ(rect(app->browser_rows[19]), (Ints{0, 19 * 32, 800 - 24, 32}));
}

// At any size and state the bars' children stay inside their bars; below
// the least window size the rectangles may go negative, but every layout
// still runs cleanly (the sanitizers watch).
TEST_F(PaneLayoutTest, BarChildrenStayInTheirBars) {
    std::mt19937 rng(99u);
    for (int i = 0; i < 3200; ++i) {
        auto coin = [&] { return (rng() & 1u) != 0; };
        app->ui_flags.ui_hidden = i % 8 == 7;
        app->ui_flags.layout_mode_flags[0] = i % 16 == 5;
        app->ui_flags.side_pane_open = coin();
        app->ui_flags.settings_menu_shown = coin();
        app->ui_flags.open_settings_menu = coin() ? -1 : 2;
        app->ui_flags.v_flip_mode = coin();
        app->ui_flags.slider_bar_shown = coin();
        app->render_flags.colour_mode = coin() ? 3 : 0;
        app->bars.show_parallel_flags = coin();
        app->bars.show_ll_inspector = coin();
        const uint32_t strip = rng() % 3;
        app->bars.parallel_flags_expanded = strip == 1;
        app->bars.ll_inspector_expanded = strip == 2;
        app->bars.animation_count = coin() ? 1 : 0;
        if (i >= 3000) {
            const int32_t extremes[4][2] = {{1, 1}, {479, 359}, {32767, 32767}, {0, 0}};
            lay_out(extremes[i % 4][0], extremes[i % 4][1]);
            app_apply_display_options(*app, extremes[i % 4][0], extremes[i % 4][1]);
            continue;
        }
        lay_out(480 + static_cast<int32_t>(rng() % 3000), 360 + static_cast<int32_t>(rng() % 3000));
        if (app->ui_flags.ui_hidden || app->ui_flags.layout_mode_flags[0]) continue;
        for (Container* bar : {static_cast<Container*>(&app->TOOLBAR), static_cast<Container*>(&app->TIPBAR),
                               static_cast<Container*>(&app->TABBAR), static_cast<Container*>(&app->STATUSBAR),
                               static_cast<Container*>(&app->MENUBAR), static_cast<Container*>(&app->COLOURBAR),
                               static_cast<Container*>(&app->SLIDERBAR), static_cast<Container*>(&app->CONTROLPANE)}) {
            for (const Element* c : bar->children) {
                ASSERT_TRUE(c->x >= 0 && c->y >= 0 && c->width >= 0 && c->x + c->width <= bar->width &&
                            c->y + c->height <= bar->height)
                    << "state " << i << ": child (" << c->x << "," << c->y << "," << c->width << ","
                    << c->height << ") of a bar " << bar->width << " x " << bar->height;
            }
        }
    }
}

TEST_F(PaneLayoutTest, WheelReachesTheLastViewAndSettingsButtons) {
    app->ui_flags.settings_menu_shown = true;
    lay_out(720, 480);
    const int32_t T = 56;
    auto view_right = [&] { return app->view_menu_buttons[7].x + T; };
    auto settings_bottom = [&] { return app->settings_menu_buttons[9].y + 56; };
    EXPECT_GT(view_right(), app->TOOLSCROLL.width);
    EXPECT_GT(settings_bottom(), app->MENUSCROLL.height);
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(app->TOOLSCROLL.on_scroll(0, 0, 1));
        EXPECT_TRUE(app->MENUSCROLL.on_scroll(0, 0, 1));
    }
    lay_out(720, 480);
    // The tool strip shows the tools that fit whole, centred: the last ones.
    const int32_t whole = app->TOOLSCROLL.width / T, margin = (app->TOOLSCROLL.width - whole * T) / 2;
    EXPECT_EQ(view_right(), app->TOOLSCROLL.width - margin);
    EXPECT_EQ(settings_bottom(), app->MENUSCROLL.height);
    EXPECT_EQ(app->view_menu_buttons[8 - whole].x, margin);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(app->view_menu_buttons[i].visible, i >= 8 - whole) << i;
}

TEST_F(PaneLayoutTest, NotchesClampAndOnlyChangesRefresh) {
    lay_out(720, 480);
    app->strip_scroll.tool = 0.95;
    relayout_pending = false;
    EXPECT_TRUE(scroll_tool_strip(*app, 1));
    EXPECT_EQ(app->strip_scroll.tool, 1.0);
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(relayout_pending);
    relayout_pending = false;
    EXPECT_TRUE(scroll_tool_strip(*app, 1));
    EXPECT_EQ(refreshes, 1);
    EXPECT_FALSE(relayout_pending);

    // Equal sizes: the status strip scrolls, the flag strips do not.
    app->STATSCROLL.width = 300;
    app->io_settings.status_text_width = 300;
    scroll_status_strip(*app, 1);
    EXPECT_EQ(app->ui_flags.bar_scroll_factors[BAR_SCROLL_STATUS], 0.125);
    app->parallel_strip_view.width = app->parallel_strip.width = 300;
    app->llmi_strip_view.width = app->llmi_strip.width = 300;
    scroll_parallel_strip(*app, 1);
    scroll_llmi_strip(*app, 1);
    EXPECT_EQ(app->strip_scroll.parallel, 0.0);
    EXPECT_EQ(app->strip_scroll.llmi, 0.0);

    // A settings column scrolls from seven items on; none open: nothing.
    EXPECT_TRUE(scroll_settings_column(*app, 1));
    app->ui_flags.open_settings_menu = 1;
    app->settings_menu_item_buttons[1].resize(6);
    scroll_settings_column(*app, 1);
    EXPECT_EQ(app->io_settings.settings_menu_scroll_factors[1], 0.0);
    app->settings_menu_item_buttons[1].resize(7);
    scroll_settings_column(*app, 1);
    EXPECT_EQ(app->io_settings.settings_menu_scroll_factors[1], 0.125);
}

TEST_F(PaneLayoutTest, ListsCommandsZoomAndSlider) {
    app->file_browser_state.browser_row_order.resize(40);
    app->browser_list_frame.height = 300;
    int notches = 0;
    const int before = refreshes;
    for (int i = 0; i < 30; ++i) scroll_file_list_fraction(*app, 1), ++notches;
    EXPECT_EQ(app->file_browser_state.browser_list_scroll, 1.0);
    EXPECT_EQ(refreshes - before, 20);

    app->minimal_list_scroll.height = 300;
    app->command_list.height = 480;
    Ints offsets;
    for (int i = 0; i < 5; ++i) scroll_list_pane_by_rows(*app, 1), offsets.push_back(app->command_list.y);
    EXPECT_EQ(offsets, (Ints{-48, -96, -144, -180, -180}));

    EXPECT_TRUE(scroll_zoom_view(*app, -1));
    EXPECT_EQ(app->camera.zoom_steps, -1);
    app->camera.inverted_zoom = 1;
    scroll_zoom_view(*app, -1);
    EXPECT_EQ(app->camera.zoom_steps, 0);
    app->ui_flags.camera_locked = 1;
    EXPECT_FALSE(scroll_zoom_view(*app, 1));
    EXPECT_EQ(app->camera.zoom_steps, 0);

    // A press on the thumb is taken, so the drag that follows moves it.
    Element& track = app->browser_scroll_track;
    track.height = 332;
    track.mouse_down_handler = on_file_list_slider_mouse_down;
    track.drag_handler = on_file_list_slider_drag;
    app->file_browser_state.browser_list_scroll = 0.0;
    EXPECT_TRUE(track.on_mouse_down(0, 16, 0));
    EXPECT_TRUE(track.on_drag(0, 166, 0));
    EXPECT_DOUBLE_EQ(app->file_browser_state.browser_list_scroll, 0.5);
}

}  // namespace

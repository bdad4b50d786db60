#include <gtest/gtest.h>
#include "support/call_log.h"

#include <vector>

#include "panes/layout/display_options.h"
#include "harness/interface_tree.h"
#include "support/app_fixture.h"
#include "ui/theme.h"

namespace {

using Ints = std::vector<int32_t>;

struct DisplayOptionsTest : AppFixture {
    DisplayOptionsTest() {
        hang_interface_tree(*app);
        app_instance = app.get();
        app->MENUNPANE.children.push_back(&app->settings_menu_header);
    }
};

// Widths of the top and bottom borders and whether a drawn one has a gradient.
std::vector<int32_t> borders(const Element& e) {
    auto drawn = [](const Border& b) { return b.width > 0 && (b.palette != nullptr || b.colour != nullptr); };
    return {e.border_top.width, e.border_bottom.width, drawn(e.border_top), drawn(e.border_bottom)};
}

TEST_F(DisplayOptionsTest, ViewportTakesTheViewAndItsCoverMargins) {
    app->ui_flags.side_pane_open = 1;
    app->COLOURBAR.visible = app->SLIDERBAR.visible = true;
    app->camera_directive_bar.visible = app->strip_backdrop.visible = false;
    app_apply_display_options(*app, 1024, 768);
    const Viewport& v = app->multi_view_viewport;
    EXPECT_EQ((Ints{v.x, v.y, v.width, v.height}), (Ints{0, 0, 1024, 768}));
    EXPECT_EQ((Ints{v.view_insets.begin(), v.view_insets.end()}), (Ints{256, 112, 0, 80}));
    select_subview_rect(*app, 5);  // no such cell: the whole viewport
    EXPECT_EQ(app->frame.view_rect_width, 1024);
}

TEST_F(DisplayOptionsTest, SidePaneSelection) {
    select_side_pane(*app, 1);
    EXPECT_TRUE(app->ui_flags.side_pane_open);
    EXPECT_TRUE(app->ENTITYINSPECTOR.visible);
    EXPECT_FALSE(app->CONSOLETRACE.visible);
    EXPECT_TRUE(app->ENTITY.selected);
    select_side_pane(*app, 7);  // no such pane: ignored
    EXPECT_EQ(app->ui_flags.side_pane_index, 1);
    select_side_pane(*app, 1);
    EXPECT_FALSE(app->ui_flags.side_pane_open);
    EXPECT_FALSE(app->CONTROLPANE.visible);
    EXPECT_EQ(app->ui_flags.side_pane_index, -1);
    on_click_console_tab();
    EXPECT_TRUE(app->CONSOLETRACE.visible);
    on_click_close_side_pane();
    EXPECT_EQ(app->ui_flags.side_pane_index, -1);
}

TEST_F(DisplayOptionsTest, HideThenShowRestoresTheInterface) {
    app->ui_flags.slider_bar_shown = 1;
    app->SLIDERBAR.visible = true;
    app->COLOURBAR.visible = false;
    app->HIDELOGO.visible = false;
    app->ui_flags.side_pane_index = 0;
    app->CONTROLPANE.visible = true;
    set_ui_hidden(*app, true);
    EXPECT_FALSE(app->TOOLBAR.visible);
    EXPECT_FALSE(app->SLIDERBAR.visible);
    EXPECT_TRUE(app->HIDELOGO.visible);
    EXPECT_EQ(app->statistics_label.opacity, 0.5);
    EXPECT_EQ(app->frame.view_rect_height, app->frame.window_height);

    // A second hide changes nothing, not even the log.
    reset_call_log();
    app->TOOLBAR.visible = true;
    set_ui_hidden(*app, true);
    EXPECT_TRUE(app->TOOLBAR.visible);
    EXPECT_TRUE(call_log().empty());

    set_ui_hidden(*app, false);
    EXPECT_TRUE(app->SLIDERBAR.visible);
    EXPECT_TRUE(app->CONTROLPANE.visible);
    EXPECT_FALSE(app->COLOURBAR.visible);
    EXPECT_FALSE(app->MENUBAR.visible);
    EXPECT_FALSE(app->HIDELOGO.visible);
    EXPECT_EQ(app->statistics_shadow_label.opacity, 1.0);
}

TEST_F(DisplayOptionsTest, CollapseOnlyWithTheStripsShownWhileHidden) {
    app->bars.hidden_ui_controls = 0;
    app->camera_directive_bar.visible = true;
    EXPECT_FALSE(toggle_pane_collapse_in_view_mode(*app));
    EXPECT_EQ(app->ui_flags.panes_collapsed, 0);
    app->bars.hidden_ui_controls = 1;
    EXPECT_TRUE(toggle_pane_collapse_in_view_mode(*app));
    EXPECT_EQ(app->ui_flags.panes_collapsed, 1);

    // The quick-hide button hides first, then switches the hidden widgets.
    toggle_ui_hidden_or_view_flag(*app);
    EXPECT_TRUE(app->ui_flags.ui_hidden);
    EXPECT_EQ(app->bars.hidden_ui_controls, 1);
    toggle_ui_hidden_or_view_flag(*app);
    EXPECT_EQ(app->bars.hidden_ui_controls, 0);
}

TEST_F(DisplayOptionsTest, FlippingTwiceRestoresEveryBorder) {
    std::vector<Element*> bars = {&app->TOOLBAR,  &app->TIPBAR, &app->COLOURBAR, &app->MENUNPANE,
                                  &app->STATUSBAR, &app->SLIDERBAR, &app->TABBAR, &app->settings_menu_header,
                                  &app->environment_tab_strip, &app->minimal_tool_row, &app->minimal_title_row};
    set_v_flip_mode(*app, false);
    std::vector<std::vector<int32_t>> before;
    for (Element* e : bars) before.push_back(borders(*e));

    set_v_flip_mode(*app, true);
    EXPECT_EQ(borders(app->TOOLBAR), (Ints{2, 0, 1, 0}));
    EXPECT_EQ(app->settings_menu_columns.y, 0);

    set_v_flip_mode(*app, false);
    for (size_t i = 0; i < bars.size(); ++i) EXPECT_EQ(borders(*bars[i]), before[i]) << i;
    EXPECT_EQ(app->settings_menu_columns.y, 32);

    reset_call_log();
    set_v_flip_mode_if_changed(*app, false);
    EXPECT_TRUE(call_log().empty());
}

TEST_F(DisplayOptionsTest, ConsoleChannelTakesItsOwnExtentsAndScroll) {
    Environment* env = make_new_environment_current(*app);
    TraceLog& log = env->trace_log;
    log.channel_widest[2] = 300;
    log.channel_total_height[2] = 700;
    log.channel_scroll_x[2] = 0.25;
    log.channel_scroll_y[2] = 0.75;
    select_console_channel(*app, 2);
    EXPECT_EQ(log.selected_channel, 2);
    EXPECT_EQ((Ints{log.trace_view_width, log.trace_view_height}), (Ints{300, 700}));
    EXPECT_EQ(log.trace_view_scroll[1], 0.75);
    EXPECT_TRUE(app->trace_panes[2].visible);
    EXPECT_FALSE(app->trace_panes[0].visible);
    EXPECT_TRUE(app->trace_tabs[2].selected);
    select_console_channel(*app, 4);
    EXPECT_EQ(log.selected_channel, 2);
}

}  // namespace

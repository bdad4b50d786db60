// Pointer routing into the widget tree: clicks from press/release pairs,
// the wheel, hover expiry, the key tables and the environment tab bar.
#include <gtest/gtest.h>

#include "support/shell_fixture.h"

namespace {

int root_clicks = 0;
void count_root_click() { ++root_clicks; }

struct Routing : ShellFixture {
    Routing() {
        root_clicks = 0;
        app->width = 720;
        app->height = 480;
        app->click_handler = count_root_click;
    }
    int32_t button(int32_t b, int32_t state, int32_t x, int32_t y) {
        return app_on_mouse_button(nullptr, b, state, x, y);
    }
};

TEST_F(Routing, ClicksNeedALeftPressAtMostFivePixelsAway) {
    button(0, 0, 100, 100);
    button(0, 1, 105, 95);
    EXPECT_EQ(root_clicks, 1);
    button(0, 0, 100, 100);
    button(0, 1, 106, 100);
    button(0, 0, 100, 100);
    button(0, 1, 100, 94);
    EXPECT_EQ(root_clicks, 1);
    button(2, 0, 100, 100);  // right press, left release
    button(0, 1, 100, 100);
    button(3, 0, 100, 100);  // a wheel notch in between
    button(0, 1, 100, 100);
    EXPECT_EQ(root_clicks, 1);

    app_instance = nullptr;  // before the interface: only recorded
    EXPECT_EQ(button(0, 0, 7, 8) + app_on_pointer_motion(nullptr, 9, 10), 0);
    EXPECT_EQ(last_button_x * 100 + pointer_x, 709);
}

bool refuse_scroll(int32_t, int32_t, int32_t) { return false; }
bool accept_scroll(int32_t, int32_t, int32_t) { return true; }
int layouts = 0;
void count_layout(int32_t, int32_t) { ++layouts; }

TEST_F(Routing, WheelOutsideOrRefusedRunsNoRelayout) {
    layouts = 0;
    app->layout_handler = count_layout;
    app->scroll_handler = refuse_scroll;
    relayout_pending = true;
    EXPECT_EQ(button(4, 0, 721, 10), 0);  // outside
    EXPECT_EQ(button(4, 0, 10, 10), 0);   // refused
    EXPECT_EQ(layouts, 0);
    EXPECT_TRUE(relayout_pending);
    app->scroll_handler = accept_scroll;
    EXPECT_EQ(button(5, 0, 10, 10), 0);  // horizontal wheel: ignored
    EXPECT_EQ(button(3, 0, 720, 480), 1);  // the edge is inside
    EXPECT_EQ(layouts, 1);
    EXPECT_FALSE(relayout_pending);
}

TEST_F(Routing, HoverEndsOutsideTheClipRectangle) {
    Element item;
    item.abs_x = 10, item.abs_y = 10, item.abs_width = 100, item.abs_height = 100;
    item.clip_x = 10, item.clip_y = 10, item.clip_width = 50, item.clip_height = 100;
    item.hovered = true;
    hover_element = &item;
    app_on_pointer_motion(nullptr, 60, 50);  // on the clip edge: kept
    EXPECT_EQ(hover_element, &item);
    app_on_pointer_motion(nullptr, 61, 50);  // inside the element, outside its clip
    EXPECT_EQ(hover_element, nullptr);
    EXPECT_FALSE(item.hovered);
}

TEST_F(Routing, KeyTablesMarkBothCasesAndFocusedFieldsTakeReleases) {
    record_key_down(*app, 'q');
    EXPECT_TRUE(app->camera.key_states['q'] && app->camera.key_states['Q']);
    dispatch_app_key_up(*app, 'Q', 0);
    EXPECT_FALSE(app->camera.key_states['q'] || app->camera.key_states['Q']);
    record_key_down(*app, KEY_RIGHT);
    record_key_down(*app, KEY_F1);  // ignored
    EXPECT_EQ(app->camera.arrow_states, (std::array<uint8_t, 4>{0, 0, 1, 0}));

    Element field;
    focus_element = &field;
    record_key_down(*app, 'z');
    dispatch_app_key_up(*app, 'z', 0);
    EXPECT_EQ(app->camera.key_states['z'], 1);
}

struct Tabs : Routing {
    Tabs() {
        make_new_environment_current(*app);
        make_new_environment_current(*app);
        app->entities.environment_count = 3;
        app->entities.environment_index = 0;
    }
};

TEST_F(Tabs, HoverPicksTheTabUnderThePointer) {
    on_environment_tab_hover(*app, 129, 5);
    EXPECT_EQ(app->entities.hovered_environment_tab, 2);
    EXPECT_TRUE(app->environment_preview.visible);
    EXPECT_EQ(app->environment_preview.x, app->environment_tab_strip.x + 8 + 112 - 32 + 128);
    const int32_t number = app->entities.environment_list.environment_pointers[2]->number;
    EXPECT_EQ(app->environment_preview_image.sprite, 255 - number);

    on_environment_tab_hover(*app, 193, 5);  // index 3: no such tab
    EXPECT_EQ(app->entities.hovered_environment_tab, 2);
    on_environment_tab_hover(*app, 0, 5);
    EXPECT_EQ(app->entities.hovered_environment_tab, 0);
    EXPECT_FALSE(app->environment_preview.visible);  // the current environment

    clear_tab_hover(*app);
    EXPECT_EQ(app->entities.hovered_environment_tab, -1);

    app->entities.environment_list.environment_pointers[1]->number = 300;
    on_environment_tab_hover(*app, 65, 5);
    EXPECT_EQ(app->environment_preview_image.sprite, -1);  // no sprite past 255
}

TEST_F(Tabs, ClickRequestsASwitchToAnotherTab) {
    app->entities.hovered_environment_tab = 0;
    on_environment_tab_click(*app);
    EXPECT_EQ(app->bars.pending_environment, -1);
    app->entities.hovered_environment_tab = 1;
    on_environment_tab_click(*app);
    EXPECT_EQ(app->bars.pending_environment, 1);
    EXPECT_EQ(app->bars.environment_switch_countdown, 5);
}

}  // namespace

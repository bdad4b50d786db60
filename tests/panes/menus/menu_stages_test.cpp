#include "panes/menu_fixture.h"

#include "context/caption_tables.h"

namespace {

// Caption width measured straight from the face's advance table.
int32_t caption_width(const char* caption) {
    int32_t w = 0;
    for (const char* p = caption; *p; ++p) w += static_cast<int32_t>(typefaces[0].glyph_widths[static_cast<unsigned char>(*p)]);
    return w;
}

}  // namespace

TEST_F(MenuFixture, SettingsColumnsAndViewStripsAreMeasuredFromTheCaptions) {
    ASSERT_EQ(app->settings_menu_items.size(), 10u);
    ASSERT_EQ(app->view_menu_items.size(), 8u);
    for (size_t m = 0; m < 8; ++m) {
        int32_t sum = 0;
        for (size_t i = 0; i < app->view_menu_items[m].size(); ++i) {
            const Element& item = *app->view_menu_items[m][i];
            int32_t expected = std::max(40, 24 + caption_width(view_menu_item_captions[m][i]));
            if (m == 0 && i == 2) expected -= 1;
            EXPECT_EQ(item.width, expected) << m << "," << i;
            EXPECT_EQ(item.x, sum);
            sum += item.width;
            EXPECT_EQ(item.selected, app->menu_tables.view_menu_check_states[m][i]);
        }
        EXPECT_EQ(app->view_menu_strip_widths[m], sum + 32);
        EXPECT_FALSE(app->view_menu_strips[m].visible);
    }
    for (size_t m = 0; m < 10; ++m) {
        EXPECT_FALSE(app->settings_menu_hosts[m].visible);
        for (size_t i = 0; i < app->settings_menu_items[m].size(); ++i)
            EXPECT_EQ(app->settings_menu_items[m][i]->selected, app->menu_tables.settings_menu_check_states[m][i]);
    }
}

TEST_F(MenuFixture, EnvironmentMenuStatesRestoreOnlyWithOneVectorPerMenu) {
    EnvironmentViewState fresh;
    app->menu_tables.view_menu_check_states[0][0] = false;
    restore_menu_check_states(*app, fresh);
    EXPECT_EQ(fresh.view_menu_check_states, app->menu_tables.initial_view_menu_states);
    EXPECT_EQ(app->view_menu_states(), app->menu_tables.initial_view_menu_states);

    EnvironmentViewState stored;
    stored.view_menu_check_states = MenuCheckStates(8, std::vector<bool>(20, true));
    stored.settings_menu_check_states = MenuCheckStates(9, std::vector<bool>(20, true));
    restore_menu_check_states(*app, stored);
    for (const std::vector<bool>& bits : app->menu_tables.view_menu_check_states)
        EXPECT_EQ(bits, std::vector<bool>(bits.size(), true));
    EXPECT_EQ(app->settings_menu_states(), app->menu_tables.initial_settings_menu_states);
    stored.settings_menu_check_states = MenuCheckStates(10, std::vector<bool>(1, true));
    restore_menu_check_states(*app, stored);
    EXPECT_TRUE(app->menu_tables.settings_menu_check_states[0][0]);
    EXPECT_FALSE(app->menu_tables.settings_menu_check_states[0][1]);
    EXPECT_TRUE(app->menu_tables.settings_menu_check_states[3].empty());
}

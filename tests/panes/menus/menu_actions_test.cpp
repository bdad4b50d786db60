#include "panes/menu_fixture.h"
#include "support/call_log.h"

#include <random>

#include "panes/menus/interface_themes.h"
#include "panes/layout/layout_mode_flags.h"
#include "panes/menus/menu_bars.h"
#include "panes/layout/pane_layouts.h"
#include "panes/menus/pick_modes.h"
#include "panes/menus/settings_menu_actions.h"
#include "panes/menus/view_menu_actions.h"

namespace {

using Bits = std::vector<bool>;

// What the check bits must be, read from the fields they mark.
std::vector<Bits> expected_view_bits(const AppContext& a) {
    const RenderFlags& r = a.render_flags;
    return {{!!r.show_surface, !!r.show_polygon_edges, !!r.show_triangle_edges, !!r.show_gouraud_edges,
             !!r.show_points},
            {r.colour_mode == 0, r.colour_mode == 1, r.colour_mode == 2, r.colour_mode == 3, !!r.negate_colours},
            {r.smooth_shading == 0, r.smooth_shading == 1, !!r.transparent_mode, !!r.mono_edges, !!r.mono_dots,
             !!r.glsl_brighten, !!r.glsl_silhouette, !!r.glsl_x_ray, !!r.glsl_negative},
            {r.orbit_rotation_mode == 0, r.orbit_rotation_mode == 1, !!r.orbit_about_centre},
            {r.projection_mode == 0, r.projection_mode == 1},
            {!!a.ui_flags.attribute_trace, false, false},
            {!!r.show_axes, !!r.show_grids, !!r.show_rings, !!r.show_bounds},
            Bits(6, false)};
}

std::vector<Bits> expected_settings_bits(const AppContext& a) {
    const IoSettings& io = a.io_settings;
    const RenderFlags& r = a.render_flags;
    const BarState& b = a.bars;
    const int32_t c = a.camera.camera_controller, t = a.frame.theme_index;
    return {{false, false, !!a.ui_flags.v_flip_mode, !!a.ui_flags.frame_mode, io.show_frame_rate != 0, false},
            {!!io.anti_aliasing, io.backdrop_gradient == 0, io.backdrop_gradient == 1, io.render_pipeline == 0,
             io.render_pipeline == 1},
            {!!r.light_unlit, !!r.lighting_terms[0], !!r.lighting_terms[1], !!r.lighting_terms[2],
             !!r.lighting_terms[3], !!r.lighting_terms[4], !!r.lighting_terms[5]},
            {},
            {c == 0, c == 1, c == 2},
            {},
            {t == 0, t == 1, t == 2, t == 3, t == 4},
            {},
            {!!b.show_camera_directives, !!b.show_variant_selector, !!b.show_parallel_flags,
             !!b.show_ll_inspector, !!b.show_animator, !!b.alpha_grid, !!b.upright_grid, false, false, false,
             false, !!b.enlarged_trace},
            {!!a.ui_flags.ui_animations, !!a.camera.inverted_zoom, !!io.inline_io, !!io.native_io,
             !!io.native_dnd, false}};
}

void expect_items_marked(const std::vector<std::vector<Element*>>& items, const MenuCheckStates& bits) {
    for (size_t m = 0; m < items.size(); ++m)
        for (size_t i = 0; i < items[m].size(); ++i) EXPECT_EQ(items[m][i]->selected, bits[m][i]) << m << "," << i;
}

}  // namespace

TEST_F(MenuFixture, ThousandRandomClicksKeepEveryBitWithItsField) {
    const int view_items[8] = {5, 5, 9, 3, 2, 3, 4, 6};
    const int settings_items[10] = {6, 5, 7, 0, 3, 0, 5, 0, 12, 6};
    EXPECT_EQ(app->view_menu_states(), expected_view_bits(*app));
    EXPECT_EQ(app->settings_menu_states(), expected_settings_bits(*app));
    std::mt19937 random(7);
    for (int n = 0; n < 1000; ++n) {
        if (random() % 2) {
            const int m = static_cast<int>(random() % 8);
            on_view_menu_item(*app, m, static_cast<int>(random() % (view_items[m] + 1)));
        } else {
            const int m = static_cast<int>(random() % 10);
            on_settings_menu_item(*app, m, static_cast<int>(random() % (settings_items[m] + 1)));
        }
    }
    EXPECT_EQ(app->view_menu_states(), expected_view_bits(*app));
    EXPECT_EQ(app->settings_menu_states(), expected_settings_bits(*app));
    expect_items_marked(app->view_menu_items, app->view_menu_states());
    expect_items_marked(app->settings_menu_items, app->settings_menu_states());
}

TEST_F(MenuFixture, EdgeModesAreExclusiveAndNothingDrawnShowsNoRender) {
    RenderFlags& r = app->render_flags;
    on_view_menu_item(*app, 0, 2);
    on_view_menu_item(*app, 0, 1);
    EXPECT_EQ(view_bits(0), (Bits{true, true, false, false, false}));
    EXPECT_EQ(r.show_triangle_edges, 0);
    EXPECT_EQ(r.show_any_edges, 1);
    on_view_menu_item(*app, 0, 0);
    EXPECT_FALSE(app->NORENDER.visible && r.show_any_edges);
    on_view_menu_item(*app, 0, 1);
    EXPECT_EQ(r.show_any_edges, 0);
    EXPECT_TRUE(app->NORENDER.visible);
    on_view_menu_item(*app, 0, 4);
    EXPECT_FALSE(app->NORENDER.visible);
}

TEST_F(MenuFixture, ActiveRadioItemsAndLockedViewsChangeNothing) {
    app->frame.needs_redraw = 0;
    on_view_menu_item(*app, 1, 0);
    on_view_menu_item(*app, 2, 1);
    on_view_menu_item(*app, 4, 1);
    on_view_menu_item(*app, 9, 0);
    on_view_menu_item(*app, 0, 5);
    EXPECT_EQ(app->frame.needs_redraw, 0);
    EXPECT_TRUE(call_log().empty());

    app->ui_flags.camera_locked = 1;
    const Vec3 look = app->camera.live_camera.look_at;
    app->frame.needs_redraw = 0;
    on_view_menu_item(*app, 7, 5);
    EXPECT_EQ(app->frame.needs_redraw, 0);
    on_view_menu_item(*app, 5, 2);
    on_view_menu_item(*app, 5, 1);
    EXPECT_EQ(app->frame.needs_redraw, 1);
    EXPECT_EQ(app->camera.live_camera.look_at, look);
    app->ui_flags.camera_locked = 0;
    on_view_menu_item(*app, 7, 5);
    EXPECT_NE(app->camera.live_camera.look_at, look);
}

TEST_F(MenuFixture, RestoredValuesOutsideAMenuTouchNoBitBeyondIt) {
    app->render_flags.colour_mode = 9;
    on_view_menu_item(*app, 1, 2);
    EXPECT_EQ(view_bits(1), (Bits{true, false, true, false, false}));
    app->frame.theme_index = 7;
    on_settings_menu_item(*app, 6, 0);
    EXPECT_EQ(settings_bits(6), (Bits{true, false, true, false, false}));
    app->camera.camera_controller = 5;
    on_settings_menu_item(*app, 4, 2);
    EXPECT_EQ(settings_bits(4), (Bits{false, false, true}));
}

TEST_F(MenuFixture, SettingsGradientsStripsAndInertItems) {
    IoSettings& io = app->io_settings;
    on_settings_menu_item(*app, 1, 1);
    on_settings_menu_item(*app, 1, 2);
    EXPECT_EQ(io.backdrop_gradient, 1);
    EXPECT_TRUE(!settings_bits(1)[1] && settings_bits(1)[2]);
    on_settings_menu_item(*app, 1, 2);
    EXPECT_EQ(io.backdrop_gradient, -1);
    EXPECT_FALSE(settings_bits(1)[2]);

    BarState& b = app->bars;
    b.ll_inspector_expanded = 1;
    app->ll_inspector_button.selected = true;
    on_settings_menu_item(*app, 8, 2);
    on_settings_menu_item(*app, 8, 2);
    EXPECT_TRUE(app->parallel_flags_button.visible);
    b.parallel_flags_expanded = 1;
    on_settings_menu_item(*app, 8, 2);
    EXPECT_FALSE(b.ll_inspector_expanded || app->ll_inspector_button.selected || app->parallel_flags_bar.visible);

    reset_call_log();
    app->frame.needs_redraw = 0;
    on_settings_menu_item(*app, 4, 2);
    EXPECT_TRUE(call_log().empty());
    EXPECT_EQ(app->frame.needs_redraw, 1);
    // System item 5 enables the minimal layout and switches it on and off,
    // its check following.
    on_settings_menu_item(*app, 9, 5);
    EXPECT_EQ(app->ui_flags.layout_mode_flags[0], 1);
    EXPECT_EQ(app->ui_flags.layout_mode_flags[1], 1);
    EXPECT_TRUE(settings_bits(9)[5] && app->minimal_layout_bar.visible && !app->TOOLBAR.visible);
    on_settings_menu_item(*app, 9, 5);
    EXPECT_EQ(app->ui_flags.layout_mode_flags[0], 0);
    EXPECT_EQ(app->ui_flags.layout_mode_flags[1], 1);
    EXPECT_TRUE(!settings_bits(9)[5] && !app->minimal_layout_bar.visible && app->TOOLBAR.visible);
    const MenuCheckStates before = app->settings_menu_states();
    on_settings_menu_item(*app, 0, 0);
    on_settings_menu_item(*app, 8, 10);
    EXPECT_EQ(app->settings_menu_states(), before);
}

TEST_F(MenuFixture, ThemesWrapAndRecolourInterfaceAndCanvas) {
    std::vector<std::array<double, 4>> backgrounds;
    static std::vector<std::array<double, 4>>* sink = nullptr;
    sink = &backgrounds;
    app->services.set_background = [](double r, double g, double b, double a) { sink->push_back({r, g, b, a}); };
    const double* text_colour = app->view_menu_items[0][0]->text_colour;
    const double light_text = text_colour[0];
    on_settings_menu_item(*app, 6, 0);
    ASSERT_EQ(backgrounds.size(), 1u);
    EXPECT_NE(text_colour[0], light_text);
    EXPECT_EQ(settings_bits(6), (Bits{true, false, false, false, false}));
    cycle_ui_theme(*app, -1);
    EXPECT_EQ(app->frame.theme_index, 4);
    cycle_ui_theme(*app, 1);
    EXPECT_EQ(app->frame.theme_index, 0);
    set_ui_theme(*app, 0);
    EXPECT_EQ(backgrounds.size(), 3u);
    on_settings_menu_item(*app, 6, 1);
    on_settings_menu_item(*app, 6, 4);
    const double before = active_theme.colours[3][0];
    apply_ui_theme(*app, 7);
    EXPECT_EQ(app->frame.theme_index, 7);
    EXPECT_EQ(active_theme.colours[3][0], before);
    EXPECT_EQ(backgrounds.size(), 6u);
}

TEST_F(MenuFixture, ViewMenuBarOpensClosesAndIgnoresOutOfRange) {
    select_view_menu(*app, 5);
    select_view_menu(*app, 2);
    EXPECT_EQ(app->ui_flags.open_view_menu, 2);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(app->view_menu_strips[i].visible, i == 2);
    EXPECT_FALSE(app->script_placeholder_label.visible);
    // Laid out in the tip row, the strip starts right of the title and, too
    // wide for the row, scrolls inside its host.
    app->TIPSCROLL.layout_handler = on_layout_tip_scroll;
    app->io_settings.view_menu_scroll_factors[2] = 1.0;
    const int32_t title_right = app->tip_menu_title.x + app->tip_menu_title.width;
    for (int32_t w : {1000, 300}) {
        app->TIPSCROLL.layout(w, 32);
        EXPECT_EQ(app->view_menu_strips[2].x, app->view_menu_strips[2].margin_left) << w;
        EXPECT_GE(app->view_menu_strips[2].x, title_right) << w;
        const int32_t strip = app->view_menu_strip_panes[2].width;
        EXPECT_EQ(app->view_menu_strip_panes[2].x, w >= title_right + strip ? 0 : w - title_right - strip) << w;
    }
    select_view_menu(*app, 8);
    EXPECT_EQ(app->ui_flags.open_view_menu, 2);
    select_view_menu(*app, 2);
    EXPECT_EQ(app->ui_flags.open_view_menu, -1);
    EXPECT_TRUE(app->script_placeholder_label.visible);
    select_view_menu(*app, 1);
    select_view_menu(*app, -2);
    EXPECT_EQ(app->ui_flags.open_view_menu, -1);
    EXPECT_FALSE(app->view_menu_strips[1].visible);
}

TEST_F(MenuFixture, SettingsMenuBarDropDownsAndToggles) {
    select_settings_menu(*app, 6);
    EXPECT_EQ(app->ui_flags.open_settings_menu, 6);
    EXPECT_FALSE(app->MENUNPANE.visible);  // the bar itself is hidden
    EXPECT_TRUE(app->menubar_indicators[6].visible);
    select_settings_menu(*app, 5);
    EXPECT_EQ(app->ui_flags.open_settings_menu, 6);
    EXPECT_TRUE(app->ui_flags.camera_locked && app->LOCKICON.visible && app->menubar_indicators[5].visible);
    app->ui_flags.settings_menu_shown = 1;
    select_settings_menu(*app, 8);
    EXPECT_TRUE(app->MENUNPANE.visible && app->settings_menu_hosts[8].visible && !app->settings_menu_hosts[6].visible);
    EXPECT_TRUE(app->menubar_indicators[5].visible);
    select_settings_menu(*app, 10);
    select_settings_menu(*app, 99);
    EXPECT_EQ(app->ui_flags.open_settings_menu, 8);
    select_settings_menu(*app, -2);
    EXPECT_EQ(app->ui_flags.open_settings_menu, -1);
    EXPECT_FALSE(app->MENUNPANE.visible);

    static std::vector<int> sizes;
    sizes.clear();
    app->services.resize_window = [](int32_t w, int32_t h) { sizes = {w, h}; };
    select_settings_menu(*app, 3);
    EXPECT_EQ(app->frame.full_screen, 1);
    on_settings_menu_item(*app, 0, 5);
    EXPECT_EQ(sizes, (std::vector<int>{720, 480}));
    EXPECT_EQ(app->frame.full_screen, 0);
    EXPECT_FALSE(app->menubar_indicators[3].visible);
}

TEST_F(MenuFixture, LayoutFlagsFollowTheVisibilityRule) {
    BarState& b = app->bars;
    UiFlags& f = app->ui_flags;
    // Not hidden: the quick-hide button always, never the hidden panels.
    b.show_parallel_flags = b.show_ll_inspector = 0;
    update_layout_mode_flags(*app);
    EXPECT_TRUE(app->controls_toggle.visible);
    EXPECT_FALSE(app->strip_backdrop.visible || app->strip_backdrop_guard.visible || app->hidden_ui_variant_panel.visible);
    // Hidden without widgets: every bar hidden; the button only with something to show.
    f.ui_hidden = 1;
    b.hidden_ui_controls = 0;
    update_layout_mode_flags(*app);
    EXPECT_FALSE(app->controls_toggle.visible);
    b.camera_directive_count = 1;
    update_layout_mode_flags(*app);
    EXPECT_TRUE(app->controls_toggle.visible);
    EXPECT_FALSE(app->camera_directive_bar.visible || app->camera_directive_toggle.visible);
    // Hidden with widgets: panels with the strips, the variant tab not when flipped.
    b.hidden_ui_controls = 1;
    b.animation_count = 1;
    b.variant_count = 2;
    update_layout_mode_flags(*app);
    EXPECT_TRUE(app->strip_backdrop.visible && app->hidden_ui_variant_panel.visible && app->animator_bar.visible);
    EXPECT_TRUE(app->camera_directive_bar.visible && app->camera_directive_toggle.visible);
    f.v_flip_mode = 1;
    app->camera.camera_controller = CAMERA_OBJECT_ORBIT;
    update_layout_mode_flags(*app);
    EXPECT_FALSE(app->hidden_ui_variant_panel.visible || app->camera_directive_bar.visible || app->camera_directive_toggle.visible);
    EXPECT_TRUE(app->controls_toggle.visible);
}

TEST_F(MenuFixture, PickModesAndToneCycles) {
    capture_stdout();
    set_pick_mode(*app, 0);
    set_pick_mode(*app, 6);
    EXPECT_EQ(captured_stdout(), "PICK-MODE:!\nPICK-MODE:U\n");
    EXPECT_TRUE(app->pick_key_buttons[6].selected && !app->pick_key_buttons[0].selected);

    std::vector<int> seen;
    for (int i = 0; i < 7; ++i) {
        on_mono_edge_tone_b();
        seen.push_back(app->tones.mono_edge_tone);
    }
    EXPECT_EQ(seen, (std::vector<int>{6, 7, 8, 0, 1, 2, 4}));
    app->frame.needs_redraw = 0;
    app->settings_menu_items[8][7]->click_handler();
    EXPECT_EQ(app->mono_edge_tone_button.text, "6");
    EXPECT_EQ(app->frame.needs_redraw, 0);  // edges are off
}

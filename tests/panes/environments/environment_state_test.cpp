#include <cstring>
#include <functional>
#include <limits>
#include <random>

#include "panes/env_test_support.h"
#include "panes/environments/environment_state.h"
#include "model/camera.h"

namespace {

using Rng = std::mt19937_64;

// Values drawn at their edges: bounds, -0.0, 17-digit doubles, odd bytes.
double any_double(Rng& r) {
    switch (r() % 4) {
        case 0: return -0.0;
        case 1: return std::numeric_limits<double>::max();
        case 2: return 0.12345678901234567;
        default: return std::uniform_real_distribution<double>(-1e6, 1e6)(r);
    }
}
int32_t any_int(Rng& r) {
    const int32_t edges[] = {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 0, -1};
    return r() % 2 ? edges[r() % 4] : static_cast<int32_t>(r());
}
int32_t pick(Rng& r, int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(r); }
uint8_t any_byte(Rng& r) { return static_cast<uint8_t>(r() % 2); }
std::string any_text(Rng& r) {
    std::string s = "t";
    s += std::string(1, '\0') + "\n\xFF" + std::to_string(r() % 1000);
    return s;
}

// Bit-exact text of values, to compare what was drawn with what came back.
struct Out {
    std::string s;
    Out& operator<<(double d) {
        char b[sizeof d];
        std::memcpy(b, &d, sizeof d);
        s.append(b, sizeof d);
        return *this;
    }
    Out& operator<<(int64_t i) { return *this << static_cast<double>(i); }
    Out& operator<<(const std::string& t) {
        s += std::to_string(t.size()) + ":" + t;
        return *this;
    }
};

// The items an environment keeps and gets back by loading, each drawn into
// the live state and read from it.
struct Item {
    std::function<void(AppContext&, Rng&)> draw;
    std::function<void(const AppContext&, Out&)> read;
};

#define BYTE(field) Item{[](AppContext& a, Rng& r) { a.field = any_byte(r); }, [](const AppContext& a, Out& o) { o << int64_t(a.field); }}
#define INT(field, lo, hi) Item{[](AppContext& a, Rng& r) { a.field = pick(r, lo, hi); }, [](const AppContext& a, Out& o) { o << int64_t(a.field); }}
#define ANYINT(field) Item{[](AppContext& a, Rng& r) { a.field = any_int(r); }, [](const AppContext& a, Out& o) { o << int64_t(a.field); }}
#define DBL(field) Item{[](AppContext& a, Rng& r) { a.field = any_double(r); }, [](const AppContext& a, Out& o) { o << a.field; }}
#define TEXT(field) Item{[](AppContext& a, Rng& r) { a.field = any_text(r); }, [](const AppContext& a, Out& o) { o << a.field; }}
#define DBLS(field) Item{[](AppContext& a, Rng& r) { for (auto& d : a.field) d = any_double(r); }, [](const AppContext& a, Out& o) { for (double d : a.field) o << d; }}
#define BITS(field) Item{[](AppContext& a, Rng& r) { for (size_t i = 0; i < a.field.size(); ++i) a.field[i] = r() % 2; }, [](const AppContext& a, Out& o) { for (bool b : a.field) o << int64_t(b); }}

std::vector<Item> items() {
    return {
        // Camera: controller and its three slots (the live camera on its slot).
        Item{[](AppContext& a, Rng& r) {
                 a.camera.camera_controller = pick(r, 0, 2);
                 for (CameraSlot& s : a.camera.controller_cameras) {
                     for (auto* v : {&s.eye, &s.look_at, &s.home_eye, &s.home_look_at})
                         for (double& d : *v) d = any_double(r);
                     s.field_of_view = any_double(r);
                 }
                 load_camera_part(a.camera.controller_cameras[size_t(a.camera.camera_controller)], a.camera.live_camera);
             },
             [](const AppContext& a, Out& o) {
                 o << int64_t(a.camera.camera_controller);
                 for (const CameraSlot& s : a.camera.controller_cameras) {
                     for (auto* v : {&s.eye, &s.look_at, &s.home_eye, &s.home_look_at})
                         for (double d : *v) o << d;
                     o << s.field_of_view;
                 }
             }},
        INT(frame.theme_index, 0, 4), BYTE(ui_flags.v_flip_mode), BYTE(ui_flags.frame_mode), BYTE(ui_flags.ui_hidden),
        BYTE(ui_flags.ui_animations), INT(io_settings.meshing_algorithm, 0, 2),
        INT(io_settings.reassembly_algorithm, 0, 2), BYTE(ui_flags.camera_locked), BYTE(ui_flags.slider_bar_shown),
        BYTE(ui_flags.settings_menu_shown), BYTE(ui_flags.attribute_trace),
        // The side pane is open exactly when one of its three panes is chosen.
        Item{[](AppContext& a, Rng& r) {
                 a.ui_flags.side_pane_index = pick(r, -1, 2);
                 a.ui_flags.side_pane_open = a.ui_flags.side_pane_index >= 0;
             },
             [](const AppContext& a, Out& o) {
                 o << int64_t(a.ui_flags.side_pane_index) << int64_t(a.ui_flags.side_pane_open);
             }},
        // Settings menus 3, 5 and 7 are toggles and never open.
        Item{[](AppContext& a, Rng& r) {
                 const int32_t menus[] = {-1, 0, 1, 2, 4, 6, 8, 9};
                 a.ui_flags.open_settings_menu = menus[r() % 8];
             },
             [](const AppContext& a, Out& o) { o << int64_t(a.ui_flags.open_settings_menu); }},
        INT(ui_flags.open_view_menu, -1, 7), DBLS(ui_flags.bar_scroll_factors), BYTE(render_flags.show_surface),
        BYTE(render_flags.show_any_edges), BYTE(render_flags.show_points), BYTE(render_flags.show_bounds),
        ANYINT(render_flags.colour_mode), INT(render_flags.colour_function, 3, 17), BYTE(render_flags.smooth_shading),
        ANYINT(render_flags.projection_mode), BYTE(render_flags.glsl_x_ray), BYTE(render_flags.light_unlit),
        DBLS(io_settings.view_menu_scroll_factors), DBLS(io_settings.settings_menu_scroll_factors),
        ANYINT(io_settings.placeholder_text_width), ANYINT(io_settings.status_text_width),
        DBL(camera.orbit_distance), DBL(camera.orbit_angle_x), DBL(camera.orbit_angle_z), BYTE(camera.inverted_zoom),
        DBL(camera.zoom_factor), DBL(camera.max_orbit_distance), BYTE(io_settings.inline_io),
        BYTE(io_settings.native_dnd), DBL(io_settings.world_scale), DBL(io_settings.background_intensity),
        BYTE(io_settings.anti_aliasing), ANYINT(io_settings.backdrop_gradient),
        INT(io_settings.render_pipeline, 0, 1), BYTE(ui_flags.panes_collapsed), BYTE(io_settings.reassembly_culling),
        BYTE(io_settings.assembly_profiling), ANYINT(io_settings.max_frame_rate),
        INT(io_settings.show_frame_rate, 0, 1), BYTE(status.hint_bar_shown), ANYINT(tones.mono_edge_tone),
        ANYINT(tones.silhouette_tone), DBL(tones.eye_height_value), TEXT(tones.eye_height_text),
        TEXT(file_browser_state.browser_directory), INT(file_browser_state.browser_sort_key, 0, 3),
        BYTE(file_browser_state.browser_sort_ascending), TEXT(export_settings.export_name),
        TEXT(export_settings.export_directory), BITS(export_settings.export_format_bits),
        BITS(export_settings.export_option_bits), BITS(export_settings.export_kind_bits),
        BYTE(export_settings.export_timestamp), BYTE(bars.hidden_ui_controls), DBL(bars.directive_scroll_factor),
        INT(bars.camera_directive_layout, 1, 2), ANYINT(bars.selected_directive), BYTE(bars.camera_directive_goto),
        BYTE(bars.parallel_flags_expanded), ANYINT(bars.max_cores), BYTE(bars.parallel_ccpp),
        BYTE(bars.ll_inspector_expanded),
        Item{[](AppContext& a, Rng& r) { a.bars.llmi_pick_key = "!TPGOEU"[r() % 7]; },
             [](const AppContext& a, Out& o) { o << int64_t(a.bars.llmi_pick_key); }},
        BYTE(bars.variant_bar_expanded), BYTE(bars.alpha_grid), BYTE(bars.enlarged_trace),
        BYTE(bars.multi_view), DBL(CONSOLETRACE.ratio), DBL(PARAMETERCONTROL.ratio),
        // Slider texts and values.
        Item{[](AppContext& a, Rng& r) {
                 for (size_t i = 0; i < 4; ++i) a.slider_value_texts[i] = any_text(r), a.sliders[i].value = any_double(r);
             },
             [](const AppContext& a, Out& o) {
                 for (size_t i = 0; i < 4; ++i) o << a.slider_value_texts[i] << a.sliders[i].value;
             }},
        // Menu check states.
        Item{[](AppContext& a, Rng& r) {
                 for (auto& bits : a.menu_tables.view_menu_check_states)
                     for (size_t i = 0; i < bits.size(); ++i) bits[i] = r() % 2;
                 for (auto& bits : a.menu_tables.settings_menu_check_states)
                     for (size_t i = 0; i < bits.size(); ++i) bits[i] = r() % 2;
             },
             [](const AppContext& a, Out& o) {
                 for (const auto& bits : a.menu_tables.view_menu_check_states)
                     for (bool b : bits) o << int64_t(b);
                 for (const auto& bits : a.menu_tables.settings_menu_check_states)
                     for (bool b : bits) o << int64_t(b);
             }},
        // A random split tree with its own camera state per cell.
        Item{[](AppContext& a, Rng& r) {
                 Viewport& vp = a.multi_view_viewport;
                 const int splits = pick(r, 0, 6);
                 for (int i = 0; i < splits; ++i)
                     vp.split_cell(pick(r, 0, vp.cell_count - 1), r() % 2 ? 'X' : 'Y', false, true, any_double(r));
                 vp.cell_cameras.resize(size_t(vp.cell_count) * CAMERA_STATE_SIZE);
                 for (double& d : vp.cell_cameras) d = std::uniform_real_distribution<double>(-1, 1)(r);
                 vp.current_cell = pick(r, 0, vp.cell_count - 1);
             },
             [](const AppContext& a, Out& o) {
                 const Viewport& vp = a.multi_view_viewport;
                 o << int64_t(vp.cell_count) << int64_t(vp.current_cell) << int64_t(vp.recorded_split_count);
                 for (double d : vp.cell_cameras) o << d;
                 for (size_t i = 0; i < vp.recorded_cells.size(); ++i)
                     o << int64_t(vp.recorded_cells[i]) << int64_t(vp.recorded_axes[i]) << vp.recorded_ratios[i];
             }},
    };
}

struct StateTest : EnvironmentFixture {
    StateTest() { capture_stdout(); }
    // One text per item, so that a mismatch names the item.
    std::vector<std::string> read_all(const std::vector<Item>& list) {
        std::vector<std::string> texts;
        for (const Item& item : list) {
            Out o;
            item.read(*app, o);
            texts.push_back(o.s);
        }
        return texts;
    }
    static size_t first_difference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
        size_t i = 0;
        while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
        return i;
    }
};

TEST_F(StateTest, RoundTripBringsBackEveryItemBitForBit) {
    const std::vector<Item> list = items();
    const uint64_t seed = std::random_device{}();
    Rng rng(seed);
    for (int round = 0; round < 200; ++round) {
        app.reset();
        reset_app_globals();
        app = make_app_context();
        app_instance = app.get();
        add_startup_environment(*app);
        for (const Item& item : list) item.draw(*app, rng);
        const std::vector<std::string> a_state = read_all(list);
        add_environment(*app);
        for (const Item& item : list) item.draw(*app, rng);
        const std::vector<std::string> b_state = read_all(list);
        request_switch(0);
        run_ticks(6);
        ASSERT_EQ(first_difference(read_all(list), a_state), list.size()) << "seed " << seed << " round " << round;
        // Widgets mirror the restored values.
        const int32_t key = pick_key_button_index(app->bars.llmi_pick_key);
        for (int32_t i = 0; i < 7; ++i) ASSERT_EQ(app->pick_key_buttons[i].selected, i == key) << "seed " << seed;
        ASSERT_EQ(app->llmi_caption.text, key > 0 ? std::string(1, app->bars.llmi_pick_key) : "") << "seed " << seed;
        ASSERT_EQ(app->eye_height_field.text, app->tones.eye_height_text) << "seed " << seed;
        ASSERT_EQ(app->slider_fields[3].text, app->slider_value_texts[3]) << "seed " << seed;
        ASSERT_EQ(app->frame_rate_field.text, std::to_string(app->io_settings.max_frame_rate)) << "seed " << seed;
        ASSERT_EQ(app->export_format_buttons[2].selected, bool(app->export_settings.export_format_bits[2]));
        for (size_t i = 0; i < 15; ++i)
            ASSERT_EQ(app->colour_function_buttons[i].selected,
                      app->menu_tables.colour_function_codes[i] == app->render_flags.colour_function);
        ASSERT_EQ(app->multi_view_viewport.cell_cameras.size(),
                  size_t(app->multi_view_viewport.cell_count) * CAMERA_STATE_SIZE);
        request_switch(1);
        run_ticks(6);
        ASSERT_EQ(first_difference(read_all(list), b_state), list.size()) << "seed " << seed << " round " << round;
    }
}

TEST_F(StateTest, DamagedSnapshotLoadsWhatIsValid) {
    add_environment(*app);
    app->io_settings.max_frame_rate = 42;
    EnvironmentViewState& v = environment(0)->view;
    v.viewport_split_count = 5;
    v.viewport_split_cells = {0, 7, 1, -3};
    v.viewport_split_axes = {'X', 'Y', 'Y'};
    v.viewport_split_ratios = {0.25, 0.5, 0.75, 0.5, 0.5};
    v.cell_camera_states.assign(CAMERA_STATE_SIZE + 5, 3.0);
    v.camera.camera_controller = 7;
    v.io_settings.meshing_algorithm = 9;
    v.theme_index = 9;
    v.bars.llmi_pick_key = 'Z';
    v.browser.browser_sort_key = 8;
    v.view_menu_check_states.assign(3, std::vector<bool>(2, true));
    v.settings_menu_check_states.assign(3, std::vector<bool>(1, true));
    v.io_settings.max_frame_rate = 30;
    v.io_settings.view_menu_scroll_factors = {0.25, 0.5};  // fewer than the menu's strips
    const auto live_checks = app->menu_tables.view_menu_check_states;
    request_switch(0);
    run_ticks(6);
    const Viewport& vp = app->multi_view_viewport;
    EXPECT_EQ(vp.cell_count, 3);
    EXPECT_EQ(vp.recorded_cells, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(vp.recorded_split_count, 2);
    EXPECT_EQ(vp.cell_cameras, std::vector<double>(3 * CAMERA_STATE_SIZE, 3.0));
    for (const Element& button : app->pick_key_buttons) EXPECT_FALSE(button.selected);
    EXPECT_EQ(app->file_browser_state.browser_sort_key, 1);
    EXPECT_EQ(app->menu_tables.view_menu_check_states, live_checks);
    EXPECT_EQ(app->io_settings.max_frame_rate, 30);
    const std::vector<double> scrolls = app->io_settings.view_menu_scroll_factors;
    ASSERT_EQ(scrolls.size(), size_t(VIEW_MENU_COUNT));
    EXPECT_TRUE(scrolls[0] == 0.25 && scrolls[1] == 0.5 && scrolls.back() == 0.0);
    EXPECT_EQ(app->frame.theme_index, -1);  // no theme of that number
    EXPECT_EQ(app->entities.environment_count, 2);
    // Too many states: one per cell is kept.
    environment(1)->view.cell_camera_states.assign(4 * CAMERA_STATE_SIZE, 1.0);
    request_switch(1);
    run_ticks(6);
    EXPECT_EQ(vp.cell_count, 1);
    EXPECT_EQ(vp.cell_cameras.size(), CAMERA_STATE_SIZE);
}

// The two widget flags are not part of an environment's copy: a switch keeps
// the live choice. The start-up mesh's visibility is the
// environment's own.
TEST_F(StateTest, SavedOnlyWidgetFlagsStayLiveAndTheStartupMeshFollows) {
    InteropMesh startup;
    app->startup.startup_entity_mesh = &startup;
    startup.visible = 0;
    app->bars.show_camera_directives = 0;
    app->bars.show_variant_selector = 0;
    add_environment(*app);
    EXPECT_EQ(app->bars.show_camera_directives, 0);
    EXPECT_EQ(app->bars.show_variant_selector, 0);
    EXPECT_EQ(startup.visible, environment(1)->startup_mesh_visible);

    app->bars.show_camera_directives = 1;
    app->bars.show_variant_selector = 1;
    startup.visible = 1;
    request_switch(0);
    run_ticks(6);
    EXPECT_EQ(app->bars.show_camera_directives, 1);
    EXPECT_EQ(app->bars.show_variant_selector, 1);
    EXPECT_EQ(startup.visible, 0);
    EXPECT_EQ(environment(1)->startup_mesh_visible, 1);
    app->startup.startup_entity_mesh = nullptr;
}

TEST_F(StateTest, NewEnvironmentDefaultsAndReappliedFlags) {
    app->io_settings.reassembly_culling = 1;
    app->io_settings.assembly_profiling = 0;
    app->ui_flags.v_flip_mode = 1;
    add_environment(*app);
    EXPECT_EQ(app->export_settings.export_directory, workspace_path);
    EXPECT_EQ(app->file_browser_state.browser_directory, workspace_path);
    EXPECT_EQ(app->menu_tables.view_menu_check_states[0],
              app->menu_tables.initial_view_menu_states[0]);

    // Culling and profiling come back with their buttons marked.
    app->io_settings.reassembly_culling = 0;
    app->io_settings.assembly_profiling = 1;
    app->ui_flags.v_flip_mode = 1;
    app->settings_menu_columns.y = 12345;
    request_switch(0);
    run_ticks(6);
    EXPECT_EQ(app->io_settings.reassembly_culling, 1);
    EXPECT_TRUE(app->culling_toggle.selected);
    EXPECT_EQ(app->io_settings.assembly_profiling, 0);
    EXPECT_FALSE(app->profiler_toggle.selected);
    // The flip is re-applied even though the live flag already was on.
    EXPECT_EQ(app->settings_menu_columns.y, 0);
}

// Each environment keeps its own layout: a switch shows the bars of the
// layout switched to and none of the other's.
TEST_F(StateTest, SwitchingEnvironmentsShowsTheirOwnLayout) {
    app->ui_flags.layout_mode_flags = {1, 1, 0};
    app->minimal_layout_bar.visible = true;
    for (Element* bar : {(Element*)&app->TOOLBAR, (Element*)&app->TIPBAR, (Element*)&app->TABBAR})
        bar->visible = false;
    add_environment(*app);
    EXPECT_EQ(app->ui_flags.layout_mode_flags[0], 0);
    EXPECT_FALSE(app->minimal_layout_bar.visible);
    EXPECT_TRUE(app->TOOLBAR.visible && app->TIPBAR.visible && app->TABBAR.visible);

    request_switch(0);
    run_ticks(6);
    EXPECT_EQ(app->ui_flags.layout_mode_flags[0], 1);
    EXPECT_TRUE(app->minimal_layout_bar.visible);
    EXPECT_FALSE(app->TOOLBAR.visible || app->TIPBAR.visible || app->TABBAR.visible);
}

}  // namespace

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <map>
#include <string>
#include <vector>

#include "app/interface_builder.h"
#include "model/trace_log.h"
#include "context/trace_channels.h"
#include "panes/console/console_panes.h"
#include "support/app_fixture.h"

namespace {

using Bits = std::vector<bool>;

TEST_F(AppFixture, ConstructionDefaults) {
    const AppContext& a = *app;
    EXPECT_EQ(a.entities.environment_names, std::vector<std::string>{"env0"});
    EXPECT_EQ(a.startup.startup_scripts.size(), 3u);

    // The console metrics are there before anything is measured.
    ASSERT_EQ(a.ui_metrics.pane_glyph_widths.size(), 256u);
    EXPECT_GT(a.ui_metrics.pane_glyph_widths['W'], 0u);
    EXPECT_EQ(a.ui_metrics.console_line_height, 14);

    EXPECT_EQ(a.status.statistics_lines,
              (std::vector<std::string>{"0 vertices", "0 indices \t 0", "0 ngons (0 triangles)",
                                        "extent [ w:0.00,h:0.00,d:0.00 ]", "min [ x:0.00,y:0.00,z:0.00 ]",
                                        "max [ x:0.00,y:0.00,z:0.00 ]", "0.00 seconds (0 ms)",
                                        "0.00 MB (0.00 kb | 0 bytes)"}));
}

TEST_F(AppFixture, LiveCameraLooksOneUnitAlongItsForwardVector) {
    const Camera& c = app->camera.live_camera;
    const double n = std::sqrt(11.0);
    const double expected[3] = {-1.0 + 1.0 / n, 1.0 - 1.0 / n, 3.0 - 3.0 / n};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(c.look_at[i], expected[i], 1e-12) << i;
        EXPECT_NEAR(c.look_at[i] - c.eye[i], c.forward[i], 1e-12) << i;
    }
    // Right and upright are unit and perpendicular to forward.
    const auto dot = [](const Vec3& p, const Vec3& q) { return p[0] * q[0] + p[1] * q[1] + p[2] * q[2]; };
    EXPECT_NEAR(dot(c.right, c.right), 1.0, 1e-12);
    EXPECT_NEAR(dot(c.upright, c.upright), 1.0, 1e-12);
    EXPECT_NEAR(dot(c.right, c.forward), 0.0, 1e-12);
    EXPECT_NEAR(dot(c.upright, c.forward), 0.0, 1e-12);
    EXPECT_GT(c.upright[1], 0.0);

    const auto& slots = app->camera.controller_cameras;
    EXPECT_EQ(slots[0].eye, (std::array<double, 3>{0, 0, 10}));
    EXPECT_EQ(slots[1].home_eye, (std::array<double, 3>{-1, 1, 3}));
    EXPECT_EQ(slots[2].eye, (std::array<double, 3>{-1, 1.75, 3}));
    EXPECT_EQ(slots[2].home_look_at, (std::array<double, 3>{0, 0.75, 0}));
}

TEST_F(AppFixture, MenuCheckStatesAndTheirInitialCopies) {
    const MenuTables& m = app->menu_tables;
    EXPECT_EQ(m.view_menu_check_states[2], (Bits{0, 1, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(m.view_menu_check_states[6], (Bits{1, 1, 1, 0}));
    EXPECT_EQ(m.settings_menu_check_states[8], (Bits{1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(m.settings_menu_check_states[9], (Bits{1, 0, 1, 0, 1, 0}));
    const std::vector<size_t> view_sizes = {5, 5, 9, 3, 2, 3, 4, 6};
    const std::vector<size_t> settings_sizes = {6, 5, 7, 0, 3, 0, 5, 0, 12, 6};
    ASSERT_EQ(m.initial_view_menu_states.size(), view_sizes.size());
    ASSERT_EQ(m.initial_settings_menu_states.size(), settings_sizes.size());
    for (size_t i = 0; i < view_sizes.size(); ++i) {
        EXPECT_EQ(m.initial_view_menu_states[i], m.view_menu_check_states[i]);
        EXPECT_EQ(m.view_menu_check_states[i].size(), view_sizes[i]) << i;
        EXPECT_EQ(m.view_menu_check_pointers[i], &m.view_menu_check_states[i]);
    }
    for (size_t i = 0; i < settings_sizes.size(); ++i) {
        EXPECT_EQ(m.initial_settings_menu_states[i], m.settings_menu_check_states[i]);
        EXPECT_EQ(m.settings_menu_check_states[i].size(), settings_sizes[i]) << i;
        EXPECT_EQ(m.settings_menu_check_pointers[i], &m.settings_menu_check_states[i]);
    }
    // The copies are copies: changing the live state leaves them alone.
    app->menu_tables.view_menu_check_states[0][0] = false;
    EXPECT_TRUE(app->menu_tables.initial_view_menu_states[0][0]);
}

struct WidgetWalk {
    std::map<std::string, int> kinds;
    std::vector<std::string> faults;
    int count = 0;
};

void inspect_widget(Element& w, void* data) {
    WidgetWalk& walk = *static_cast<WidgetWalk*>(data);
    ++walk.count;
    if (dynamic_cast<SplitLayout*>(&w)) ++walk.kinds["SplitLayout"];
    if (dynamic_cast<Slider*>(&w)) ++walk.kinds["Slider"];
    if (dynamic_cast<Viewport*>(&w)) ++walk.kinds["Viewport"];
    if (dynamic_cast<ScrollPane*>(&w)) ++walk.kinds["ScrollPane"];
    const TextField* field = dynamic_cast<TextField*>(&w);
    if (field) ++walk.kinds["TextField"];
    const std::string where = std::to_string(walk.count);
    if (!w.visible || !w.enabled) walk.faults.push_back(where + " hidden or disabled");
    if (w.x || w.y || w.width || w.height) walk.faults.push_back(where + " has a rectangle");
    if (w.name != "?" || w.id != -1 || w.click_handler) walk.faults.push_back(where + " configured");
    if (const Container* c = dynamic_cast<Container*>(&w)) {
        // A text field's caret and selection marks are its own parts.
        const size_t own_parts = field ? 2 : 0;
        if (c->children.size() != own_parts) walk.faults.push_back(where + " has children");
    }
}

TEST_F(AppFixture, EveryWidgetStartsPlainAndTheKindsAreCounted) {
    WidgetWalk walk;
    for_each_context_widget(*app, inspect_widget, &walk);
    EXPECT_TRUE(walk.faults.empty()) << walk.faults.front();
    EXPECT_EQ(walk.kinds["SplitLayout"], 3);
    EXPECT_EQ(walk.kinds["Slider"], 4);
    EXPECT_EQ(walk.kinds["Viewport"], 1);
    EXPECT_EQ(walk.kinds["ScrollPane"], 15);
    EXPECT_EQ(walk.kinds["TextField"], 22);
    EXPECT_TRUE(app->children.empty());

    const Viewport& v = app->multi_view_viewport;
    EXPECT_EQ(v.cell_count, 1);
    EXPECT_EQ(v.cell_rects, (std::vector<double>{0, 0, 1, 1}));
    EXPECT_EQ(v.current_cell, 0);
    EXPECT_EQ(v.hovered_cell, -1);
    EXPECT_EQ(v.hovered_bar, -1);
    EXPECT_EQ(v.drag_bar, -1);
    EXPECT_EQ(v.press_ratio, 0.5);
    EXPECT_EQ(v.cell_cameras, std::vector<double>(initial_camera_state.begin(), initial_camera_state.end()));
}

TEST_F(AppFixture, ContextsLiveSideBySideAndLeaveNoGlobalBehind) {
    std::unique_ptr<AppContext> second = make_app_context();
    EXPECT_NE(second->entities.startup_entity.serial_id, app->entities.startup_entity.serial_id);
    make_new_environment_current(*second);
    make_new_environment_current(*app);
    EXPECT_EQ(second->entities.current_environment->name, "env0");
    EXPECT_EQ(app->entities.current_environment->name, "env1");

    // Pointers of the toolkit and the published context into the first.
    focus_element = &second->uniform_scale_field;
    hover_element = &second->OPEN;
    tooltip_element = &second->sliders[2];
    drag_element = &second->sliders[2].thumb;
    app_instance = second.get();
    second.reset();
    EXPECT_EQ(focus_element, nullptr);
    EXPECT_EQ(hover_element, nullptr);
    EXPECT_EQ(tooltip_element, nullptr);
    EXPECT_EQ(drag_element, nullptr);
    EXPECT_EQ(app_instance, nullptr);

    // The other context is untouched, and a new one can follow.
    EXPECT_EQ(app->entities.current_entities, &app->entities.current_environment->entities);
    app.reset();
    app = make_app_context();
    EXPECT_EQ(app->entities.environment_list.count, 0);
}

// Stage 0 under a fixed clock and chosen paths.
struct StartupStage : AppFixture {
    static int64_t clock() { return 11'234; }
    std::string out;

    void SetUp() override {
        app_start_ms = 10'000;
        set_clock_for_tests(clock);
    }
    void set_paths(PathState kernel, PathState workspace) {
        kernel_path = "/opt/vrek";
        kernel_path_state = kernel;
        kernel_path_status = path_state_names[kernel];
        workspace_path = "/tmp/ws/";
        workspace_path_state = workspace;
        workspace_path_status = path_state_names[workspace];
    }
    void run() {
        capture_stdout();
        // The builder installs the console pane before its first stage.
        install_console_pane_operations(app->hooks);
        build_startup_state(*app);
        out = captured_stdout();
    }
};

TEST_F(StartupStage, PlainStartOnlyWithBothPathsValidAndNoRequest) {
    struct Case {
        PathState kernel, workspace;
        uint8_t interactive;
        int32_t mode;
    };
    for (const Case& c : {Case{PATH_VALID, PATH_VALID, 0, 0}, Case{PATH_VALID, PATH_VALID, 1, 1},
                          Case{PATH_UNDEFINED, PATH_VALID, 0, 1}, Case{PATH_VALID, PATH_INVALID, 0, 1}}) {
        app = make_app_context();
        set_paths(c.kernel, c.workspace);
        interactive_config_flag = c.interactive;
        run();
        EXPECT_EQ(app->frame.startup_mode, c.mode) << c.kernel << c.workspace << int(c.interactive);
    }
}

TEST_F(StartupStage, ReportsTheStartTimeAndBindsEnv0) {
    set_paths(PATH_VALID, PATH_INVALID);
    app->services.local_time_text = [] { return std::string("09:05:07"); };
    app->camera.key_states['w'] = 1;
    app->ui_metrics.pane_glyph_widths.clear();
    run();
    EXPECT_EQ(out, "ICN+SDF+VTX=[1234 ms]\n");

    ASSERT_EQ(app->entities.environment_list.count, 1);
    Environment* env0 = app->entities.environment_list.environment_pointers[0];
    EXPECT_EQ(env0->name, "env0");
    EXPECT_EQ(app->entities.current_environment, env0);
    EXPECT_EQ(app->entities.current_entities, &env0->entities);
    const CurrentEnvironmentParts& parts = app->entities.current_environment_parts;
    EXPECT_EQ(parts.trace_log, &env0->trace_log);
    EXPECT_EQ(parts.entity_view, &env0->entity_list_view);
    EXPECT_EQ(parts.parameter_view, &env0->parameter_list_view);
    EXPECT_EQ(env0->entity_list_view.entity_set, &env0->entities);
    EXPECT_EQ(env0->parameter_list_view.entity_set, &env0->entities);

    const TraceLog& log = env0->trace_log;
    ASSERT_EQ(log.console_count, 2);
    EXPECT_EQ(log.console_lines[0], " ");
    EXPECT_EQ(log.console_lines[1], "Initialisation-Time : 1234 ms");
    // Measured with the refilled metrics, not the emptied table.
    EXPECT_EQ(log.console_widest, trace_line_width(app->ui_metrics, "Initialisation-Time : 1234 ms"));
    EXPECT_GT(log.console_widest, 100);
    EXPECT_EQ(log.console_total_height, 2 * 14);
    EXPECT_EQ(app->console_text.text, " \nInitialisation-Time : 1234 ms");

    // Export defaults follow the workspace text even when it is INVALID.
    EXPECT_EQ(app->export_settings.export_name, "environment");
    EXPECT_EQ(app->export_settings.export_directory, "/tmp/ws/");
    EXPECT_EQ(app->path_copies.kernel_path_text, "/opt/vrek");
    EXPECT_EQ(app->path_copies.workspace_status_text, "INVALID");
    EXPECT_EQ(app->camera.key_states['w'], 0);
    EXPECT_EQ(app->ui_metrics.pane_glyph_widths.size(), 256u);
}

// Sets every env field off its default.
void change_env_fields(AppContext& a) {
    a.camera.live_camera.eye = {5, 6, 7};
    a.camera.live_camera.look_at = {5, 6, 0};
    a.camera.live_camera.fov = 45;
    update_camera_basis(a.camera.live_camera);
    a.camera.controller_cameras[0].eye = {1, 2, 3};
    a.camera.controller_cameras[2].home_eye = {9, 9, 9};
    a.frame.theme_index = 4;
    a.ui_flags = UiFlags{1, 1, 0, 1, 1, {1, 0, 1}, 1, 1, 1, 0, 1, 3, 2, 4, {1, 2, 3, 4, 5, 6}};
    a.render_flags =
        RenderFlags{0, 1, 1, 1, 0, 0, 0, 0, 0, 1, 3, 0, 7, 1, 1, 0, 1, 0, 1, 0, 1, 1, 1, 1, 1, 1, {0, 0, 0, 1, 1, 1}};
    a.camera.orbit_distance = 8;
    a.camera.orbit_angle_z = 45;
    a.camera.zoom_factor = 0.5;
    a.camera.max_orbit_distance = 50;
    a.camera.inverted_zoom = 1;
    a.io_settings.native_io = 1;
    a.io_settings.background_intensity = 0.25;
    a.io_settings.meshing_algorithm = 0;
    a.io_settings.reassembly_algorithm = 1;
    a.io_settings.assembly_profiling = 1;
    a.io_settings.max_frame_rate = 30;
    a.io_settings.view_menu_scroll_factors[7] = 0.5;
    a.status.hint_bar_shown = 0;
    a.tones.mono_edge_tone = 8;
    a.tones.eye_height_text = "2.5";
    a.file_browser_state.browser_sort_ascending = 0;
    a.export_settings.export_format_bits = {true, false, true, false};
    a.export_settings.export_option_bits = {false, false, true, false, false, true};
    a.bars.parallel_ccpp = 1;
    a.bars.llmi_pick_key = 'T';
    a.bars.multi_view = 0;
    a.menu_tables.view_menu_check_states[3] = {0, 0, 1};
    a.PARAMETERCONTROL.ratio = 0.25;
    a.sliders[1].value = 0.75;
    Viewport& v = a.multi_view_viewport;
    v.current_cell = 1;
    v.recorded_split_count = 1;
    v.recorded_cells = {0};
    v.recorded_axes = {'X'};
    v.recorded_ratios = {0.25};
    v.cell_cameras.resize(2 * CAMERA_STATE_SIZE, 7.0);
}

// Which bytes of a record read back as they were set: every byte is set to
// 0x5A, then to 0xA5, and a byte follows when it reads back both times.
// With `leave`, the environment is saved, the live record reset to its
// defaults and the environment loaded again in between.
template <typename Record>
std::vector<bool> bytes_that_come_back(AppContext& app, Record& live, bool leave) {
    static_assert(std::is_trivially_copyable_v<Record>, "set byte by byte");
    const unsigned char marks[2] = {0x5A, 0xA5};
    std::array<std::array<unsigned char, sizeof(Record)>, 2> read{};
    for (int k = 0; k < 2; ++k) {
        Record pattern;
        std::memset(static_cast<void*>(&pattern), marks[k], sizeof pattern);
        live = pattern;
        if (leave) {
            EnvironmentViewState stored;
            save_env_fields(app, stored);
            live = Record();
            load_env_fields(stored, app);
        }
        Record out;
        std::memset(static_cast<void*>(&out), 0, sizeof out);
        out = live;
        std::memcpy(read[static_cast<size_t>(k)].data(), &out, sizeof out);
    }
    std::vector<bool> back(sizeof(Record));
    for (size_t i = 0; i < back.size(); ++i) back[i] = read[0][i] == marks[0] && read[1][i] == marks[1];
    return back;
}

// Every byte of the per-environment records that stays put also comes back
// after leaving the environment, whatever fields the records gain.
TEST_F(AppFixture, EveryFieldOfTheEnvironmentRecordsComesBack) {
    AppContext& a = *app;
    const auto check = [&](auto& live, const char* name) {
        const std::vector<bool> kept = bytes_that_come_back(a, live, false);
        EXPECT_GT(std::count(kept.begin(), kept.end(), true), 0) << name;
        EXPECT_EQ(bytes_that_come_back(a, live, true), kept) << name;
    };
    check(static_cast<CameraSettings&>(a.camera), "camera");
    check(static_cast<UiSettings&>(a.ui_flags), "interface flags");
    check(a.render_flags, "render flags");
    check(static_cast<BarSettings&>(a.bars), "bars");
}

TEST_F(AppFixture, EnvironmentFieldsRoundTripWhileAppStateStays) {
    AppContext& a = *app;
    change_env_fields(a);
    const std::unique_ptr<AppContext> expected = make_app_context();
    change_env_fields(*expected);
    expected->camera.controller_cameras[1].eye = a.camera.live_camera.eye;

    EnvironmentViewState stored_a;
    save_env_fields(a, stored_a);
    // Environment B starts from the defaults.
    load_env_fields(EnvironmentViewState(), a);
    EXPECT_EQ(a.frame.theme_index, 2);
    EXPECT_EQ(a.camera.live_camera.eye, (Vec3{-1, 1, 3}));
    EXPECT_EQ(a.multi_view_viewport.recorded_split_count, 0);
    a.frame.window_width = 1000;
    a.frame.full_screen = 1;
    a.deferred_requests.pending_paths = {"x.vrek"};
    a.dialogs.confirm_title = "t";
    load_env_fields(stored_a, a);

    // Every env field is back.
    EnvironmentViewState again, wanted;
    save_env_fields(a, again);
    save_env_fields(*expected, wanted);
    EXPECT_EQ(a.camera.controller_cameras[0].eye, (std::array<double, 3>{1, 2, 3}));
    EXPECT_EQ(a.camera.controller_cameras[2].home_eye, (std::array<double, 3>{9, 9, 9}));
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(a.camera.live_camera.forward[i], (Vec3{0, 0, -1})[i], 1e-12);
    EXPECT_EQ(a.camera.live_camera.fov, 45);
    EXPECT_EQ(a.frame.theme_index, 4);
    EXPECT_EQ(a.ui_flags.layout_mode_flags, (std::array<uint8_t, 3>{1, 0, 1}));
    EXPECT_EQ(a.ui_flags.bar_scroll_factors[5], 6);
    EXPECT_EQ(a.render_flags.lighting_terms, (std::array<uint8_t, 6>{0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(a.render_flags.colour_function, 7);
    EXPECT_EQ(a.camera.orbit_angle_z, 45);
    EXPECT_EQ(a.export_settings.export_option_bits, expected->export_settings.export_option_bits);
    EXPECT_EQ(a.menu_tables.view_menu_check_states[3], (Bits{0, 0, 1}));
    EXPECT_EQ(a.PARAMETERCONTROL.ratio, 0.25);
    EXPECT_EQ(a.sliders[1].value, 0.75);
    EXPECT_EQ(a.bars.llmi_pick_key, 'T');
    EXPECT_EQ(a.file_browser_state.browser_sort_ascending, 0);
    EXPECT_EQ(again.camera.controller_cameras[1].eye, wanted.camera.controller_cameras[1].eye);
    EXPECT_EQ(again.ui_flags.bar_scroll_factors, wanted.ui_flags.bar_scroll_factors);
    EXPECT_EQ(again.io_settings.view_menu_scroll_factors, wanted.io_settings.view_menu_scroll_factors);
    const Viewport& v = a.multi_view_viewport;
    EXPECT_EQ(v.current_cell, 1);
    EXPECT_EQ(v.recorded_split_count, 1);
    EXPECT_EQ(v.recorded_ratios, std::vector<double>{0.25});
    EXPECT_EQ(v.cell_cameras, expected->multi_view_viewport.cell_cameras);

    // Application state is not per environment.
    EXPECT_EQ(a.frame.window_width, 1000);
    EXPECT_EQ(a.frame.full_screen, 1);
    EXPECT_EQ(a.deferred_requests.pending_paths, std::vector<std::string>{"x.vrek"});
    EXPECT_EQ(a.dialogs.confirm_title, "t");
}

}  // namespace

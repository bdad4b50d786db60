#include "camera_test_support.h"
#include "model/environment.h"
#include "render/camera_directives.h"
#include "support/decimal_comma_locale.h"
#include "ui/element.h"

namespace {

using DirectiveTest = CameraTest;
using StatusLineTest = CameraTest;

TEST_F(DirectiveTest, PresetsTurnTheViewOrTheOrbitOnly) {
    view_front(app);
    expect_vec(app.camera.live_camera.eye, {-1, 1, 3});
    expect_vec(app.camera.live_camera.forward, {0, 0, -1});
    expect_vec(app.camera.live_camera.look_at, {-1, 1, 2});
    view_top(app);
    EXPECT_GT(length(app.camera.live_camera.right), 0.999);  // the lean keeps it defined
    app.camera.camera_controller = CAMERA_OBJECT_ORBIT;
    app.camera.orbit_distance = 2.5;
    view_top(app);
    EXPECT_EQ(app.camera.orbit_angle_x, 90);
    EXPECT_EQ(app.camera.orbit_angle_y, 0);
    EXPECT_EQ(app.camera.orbit_distance, 2.5);
}

struct DirectiveTable : DirectiveTest {
    Environment* environment = make_new_environment_current(app);

    // Three directives; the first declared by a turned entity.
    DirectiveTable() {
        EntityRecord turned = entity_construct();
        turned.euler_angles = {0, 90, 0};
        environment->entities.records.push_back(turned);
        environment->entities.count = 1;
        app.bars.camera_directive_count = 3;
        app.bars.directive_table.directive_values = {0, 0, 5, 0, 0, 0, 1, 1, 1, 1, 1, 0, 2, 2, 2, 2, 2, 2};
        app.bars.directive_table.directive_ids = {turned.serial_id, -1, -1};
    }
};

TEST_F(DirectiveTable, ADirectiveFollowsItsEntityWhileItExists) {
    apply_camera_directive_pose(app, 0);
    expect_vec(app.camera.live_camera.eye, {5, 0, 0});
    expect_vec(app.camera.live_camera.up, {0, 1, 0});
    expect_vec(app.camera.live_camera.forward, {-1, 0, 0});
    EXPECT_EQ(app.bars.selected_directive, 0);

    environment->entities.records.clear();  // closed: world coordinates
    environment->entities.count = 0;
    app.io_settings.world_scale = 2;
    apply_camera_directive_pose(app, 0);
    expect_vec(app.camera.live_camera.eye, {0, 0, 10});
    expect_vec(app.camera.live_camera.forward, {0, 0, -1});

    // Eye and look-at in one point: the camera keeps looking where it did.
    apply_camera_directive_pose(app, 2);
    expect_vec(app.camera.live_camera.eye, {4, 4, 4});
    expect_vec(app.camera.live_camera.forward, {0, 0, -1});
    for (int32_t bad : {-1, 3}) {
        apply_camera_directive_pose(app, bad);
        EXPECT_EQ(app.bars.selected_directive, 2);
    }
    // Aiming at an entity: its bounds centre, moved with it, relative to the
    // environment's centre when orbiting about it.
    EntityRecord box = entity_construct();
    box.bounds[BOUNDS_MAX] = {2, 2, 2};
    box.translation = {0, 0, -3};
    app.io_settings.world_scale = 1, app.camera.live_camera.eye = {1, 1, 0};
    app.render_flags.orbit_about_centre = 1, app.status.environment_statistics.extent = {2, 0, 0};
    look_at_entity(app, box);  // at (1, 1, -2) less the centre (1, 0, 0)
    const double r = std::sqrt(5.0);
    expect_vec(app.camera.live_camera.forward, {-1 / r, 0, -2 / r});
    expect_vec(app.camera.live_camera.eye, {1, 1, 0});

    app.bars.directive_table.directive_values.resize(12);  // a short table is not read past
    apply_camera_directive_pose(app, 2);
    expect_vec(app.camera.live_camera.eye, {1, 1, 0});
}

TEST_F(DirectiveTable, PreviousAndNextStayInsideTheTable) {
    struct Case { int32_t current; bool next; int32_t applied; };
    const Case cases[] = {{-1, true, 0}, {0, true, 1}, {2, true, 2}, {7, true, 2},
                          {-1, false, 0}, {0, false, 0}, {2, false, 1}, {7, false, 2}};
    for (const Case& c : cases) {
        app.bars.selected_directive = c.current;
        c.next ? apply_next_camera_directive() : apply_previous_camera_directive();
        EXPECT_EQ(app.bars.selected_directive, c.applied) << c.current << (c.next ? " next" : " previous");
    }
    Element row;
    row.user_index = 1;
    hover_element = &row;
    app.ui_flags.camera_locked = 1;
    apply_clicked_camera_directive();
    EXPECT_EQ(app.bars.selected_directive, 2);
    app.ui_flags.camera_locked = 0;
    apply_clicked_camera_directive();
    EXPECT_EQ(app.bars.selected_directive, 1);
    expect_vec(app.camera.live_camera.eye, {1, 1, 1});
    app.bars.camera_directive_count = 0;
    app.bars.selected_directive = -1;
    apply_next_camera_directive();
    EXPECT_EQ(app.bars.selected_directive, -1);
}

TEST_F(StatusLineTest, TheLineDescribesTheActiveController) {
    Element& label = app.status_label;
    Environment* environment = make_new_environment_current(app);
    environment->entities.count = 2;
    app.camera.live_camera.forward = {0.3, -0.3, -0.9};
    update_attribute_trace(app);
    EXPECT_EQ(label.text, "env0 | 2 entities | 720 x 480 | free-roam | eye(-1.00,1.00,3.00) | fwd(0.30,-0.30,-0.90)");
    EXPECT_EQ(app.io_settings.status_text_width, label.text_width);

    environment->entities.count = 1;
    app.camera.camera_controller = CAMERA_FIRST_PERSON;
    app.camera.live_camera.eye = {2, 0.5, 1};
    update_attribute_trace(app);
    EXPECT_EQ(app.status.attribute_trace_text.rfind(
                  "env0 | 1 entity | 720 x 480 | first-person | eye(2.00,1.75,1.00) | fwd(", 0),
              0u);

    app.camera.camera_controller = CAMERA_OBJECT_ORBIT;
    app.entities.current_entities = nullptr;
    {
        DecimalCommaLocale comma;
        ASSERT_TRUE(comma.active());
        update_attribute_trace(app);
        EXPECT_EQ(app.status.attribute_trace_text,
                  "env0 | 0 entities | 720 x 480 | object-orbit | zoom(400%) | euler(30,30,0)");
        app.camera.camera_controller = 7;
        update_attribute_trace(app);
        EXPECT_EQ(app.status.attribute_trace_text, "env0 | 0 entities");
    }
}

TEST_F(StatusLineTest, TheReadoutGradesTheFrameRateByTheme) {
    Element& readout = app.frame_rate_label;
    const auto readout_for = [&](int64_t ns, int32_t theme) {
        for (int i = 0; i < 10; ++i) push_frame_time(FRAME_TIME_RING, ns);
        app.frame.theme_index = theme;
        update_fps_readout(app);
        return readout.text;
    };
    readout.text = "unchanged";
    EXPECT_EQ(readout_for(16000000, 0), "unchanged");  // not shown
    app.io_settings.show_frame_rate = 1;
    DecimalCommaLocale comma;
    ASSERT_TRUE(comma.active());
    EXPECT_EQ(readout_for(16000000, 0), "62.5 fps (16.0 ms)");
    const uint32_t fast = readout.text_rgba;
    EXPECT_EQ(readout_for(16666667, 0), "60.0 fps (16.7 ms)");
    EXPECT_NE(readout.text_rgba, fast);  // graded
    EXPECT_EQ(readout_for(0, 3), "? fps (0.0 ms)");
    readout.text_rgba = 0x12345678u;
    EXPECT_EQ(readout_for(5000000, 9), "200.0 fps (5.0 ms)");  // no group: colours kept
    EXPECT_EQ(readout.text_rgba, 0x12345678u);
}

int redraw_requests = 0;
bool fullscreen_asked = false;

TEST_F(StatusLineTest, ResizeAndFullScreen) {
    Element& root = app;
    Element& notice = app.small_window_notice;
    Element& border = app.BORDER;
    Element& width_field = app.window_width_field;
    Element& height_field = app.window_height_field;
    app.services.redraw_request = [] { ++redraw_requests; };
    app.services.set_fullscreen = [](bool on) { fullscreen_asked = on; };
    redraw_requests = 0;

    EXPECT_TRUE(on_viewport_resized(479, 600));
    EXPECT_TRUE(notice.visible);
    EXPECT_EQ(root.width, 479);
    EXPECT_EQ(app.status.attribute_trace_text.substr(0, 30), "env0 | 0 entities | 479 x 600 ");
    on_viewport_resized(480, 360);
    EXPECT_FALSE(notice.visible);
    app.ui_flags.layout_mode_flags[0] = 1;
    on_viewport_resized(200, 200);
    EXPECT_FALSE(notice.visible);
    EXPECT_EQ(app.frame.view_rect_width, 200);  // the view follows the last size
    EXPECT_EQ(redraw_requests, 3);

    app.camera.camera_drag.camera_drag_active = true;
    set_full_screen(app, true);
    EXPECT_TRUE(fullscreen_asked);
    EXPECT_FALSE(app.camera.camera_drag.camera_drag_active);
    EXPECT_FALSE(border.visible || width_field.visible || height_field.visible);
    set_full_screen(app, false);
    EXPECT_TRUE(border.visible && width_field.visible && height_field.visible);
    EXPECT_EQ(app.frame.full_screen, 0);
    app.services.set_fullscreen = nullptr;  // a missing service is skipped
    set_full_screen(app, true);
    EXPECT_EQ(app.frame.full_screen, 1);
}

}  // namespace

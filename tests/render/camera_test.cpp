#include "camera_test_support.h"
#include "model/entity.h"
#include "model/rotation.h"
#include "ui/element.h"
#include "ui/viewport.h"

namespace {

constexpr double kDegrees = 180.0 / 3.141592653589793;

double pitch_of(const Vec3& f) { return std::asin(f[1] / length(f)) * kDegrees; }

TEST_F(CameraTest, ObjectOrbitDragTurnsFromTheStartNotTheLastEvent) {
    app.camera.camera_controller = CAMERA_OBJECT_ORBIT;  // 720 x 480: a turn is 720 pixels
    begin_camera_drag(app, 100, 100);
    drag_camera(app, 460, 100, 0);
    drag_camera(app, 820, 280, 0);
    ASSERT_TRUE(apply_pending_camera_update(app, false));
    EXPECT_DOUBLE_EQ(app.camera.orbit_angle_y, 30.0 + 360.0);
    EXPECT_DOUBLE_EQ(app.camera.orbit_angle_x, 30.0 + 90.0);
    EXPECT_FALSE(apply_pending_camera_update(app, false));
}

TEST_F(CameraTest, YawAndPitchDragsStopShortOfTheVertical) {
    for (int32_t dy : {-100000, 100000}) {
        begin_camera_drag(app, 0, 0);
        drag_camera(app, 37, dy, 0);
        apply_pending_camera_update(app, false);
        EXPECT_NEAR(pitch_of(app.camera.live_camera.forward), dy < 0 ? 89.95 : -89.95, 1e-9);
    }
    // A direction looking straight down (a directive can give one) leans
    // before it turns and never goes non-finite.
    app.camera.live_camera.eye = {0, 5, 0}, app.camera.live_camera.look_at = {0, 0, 0};
    update_camera_basis(app.camera.live_camera);
    begin_camera_drag(app, 0, 0);
    drag_camera(app, 200, 50, 0);
    apply_pending_camera_update(app, false);
    const Camera& cam = app.camera.live_camera;
    for (const Vec3* v : {&cam.forward, &cam.right, &cam.upright})
        for (double c : *v) EXPECT_TRUE(std::isfinite(c));
    EXPECT_NEAR(length(app.camera.live_camera.forward), 1.0, 1e-12);
    EXPECT_NEAR(length(app.camera.live_camera.right), 1.0, 1e-12);
}

TEST_F(CameraTest, ModifierDragsPanInFreeRoamAndTurnInFirstPerson) {
    const Camera before = app.camera.live_camera;
    for (int32_t* modifier : {&shift_held, &ctrl_held}) {
        app.camera.live_camera = before;
        *modifier = 1;
        begin_camera_drag(app, 0, 0);
        *modifier = 0;  // what counts is the state at the press
        drag_camera(app, 720, -72, 0);  // a whole turn right, a tenth up
        apply_pending_camera_update(app, false);
        const Camera& c = app.camera.live_camera;
        for (size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(c.eye[i], before.eye[i] + 0.125 * (-36.0 * before.right[i] - 3.6 * before.upright[i]), 1e-9);
        expect_vec(c.forward, before.forward);
    }
    set_camera_controller(app, CAMERA_FIRST_PERSON);
    const Camera fp = app.camera.live_camera;
    shift_held = 1;
    begin_camera_drag(app, 0, 0);
    drag_camera(app, 180, 0, 0);  // a quarter turn
    apply_pending_camera_update(app, false);
    expect_vec(app.camera.live_camera.eye, fp.eye);
    const Vec3& turned = app.camera.live_camera.forward;
    EXPECT_NEAR(fp.forward[0] * turned[0] + fp.forward[2] * turned[2], 0.0, 1e-9);
}

TEST_F(CameraTest, OnlyAnUnlockedRightPressStartsADrag) {
    EXPECT_FALSE(on_viewport_button_press(5, 5, 0) || on_viewport_button_press(5, 5, 1));
    app.ui_flags.camera_locked = 1;
    EXPECT_FALSE(on_viewport_button_press(5, 5, 2) || on_viewport_drag(50, 5, 0));
    EXPECT_FALSE(app.camera.pending_camera_update.pending);
    app.ui_flags.camera_locked = 0;
    EXPECT_TRUE(on_viewport_button_press(5, 5, 2));
    EXPECT_TRUE(on_viewport_drag(50, 5, 0));
    EXPECT_TRUE(app.camera.pending_camera_update.pending);
}

TEST_F(CameraTest, ControllersKeepTheirOwnCamerasAndSetTheDirectiveWidgets) {
    Element& handle = app.camera_directive_toggle;
    Element& pane = app.camera_directive_bar;
    app.bars.camera_directive_count = 2;
    app.camera.live_camera.eye = {2, 2, 2};
    app.camera.live_camera.fov = 45;
    set_camera_controller(app, CAMERA_OBJECT_ORBIT);
    expect_vec(app.camera.live_camera.eye, {0, 0, 10});
    EXPECT_EQ(app.camera.live_camera.fov, 60);
    EXPECT_FALSE(handle.visible || pane.visible);
    app.camera.live_camera.eye = {0, 0, 7};
    set_camera_controller(app, CAMERA_FREE_ROAM);
    expect_vec(app.camera.live_camera.eye, {2, 2, 2});
    EXPECT_EQ(app.camera.live_camera.fov, 45);
    EXPECT_TRUE(handle.visible && pane.visible);
    app.camera.live_camera.eye = {9, 9, 9};
    set_camera_controller(app, CAMERA_FREE_ROAM);  // the current one: nothing
    expect_vec(app.camera.live_camera.eye, {9, 9, 9});
    set_camera_controller(app, CAMERA_OBJECT_ORBIT);
    expect_vec(app.camera.live_camera.eye, {0, 0, 7});
    EXPECT_FALSE(app.camera.live_camera.ground_anchored);
    set_camera_controller(app, CAMERA_FIRST_PERSON);
    EXPECT_TRUE(app.camera.live_camera.ground_anchored);

    // Quick-hidden without its widgets, or with the bar switched off.
    set_camera_controller(app, CAMERA_FREE_ROAM);
    app.ui_flags.ui_hidden = 1, app.bars.hidden_ui_controls = 0;
    update_directive_widget_visibility(app);
    EXPECT_FALSE(handle.visible || pane.visible);
    app.ui_flags.ui_hidden = 0, app.bars.show_camera_directives = 0;
    update_directive_widget_visibility(app);
    EXPECT_TRUE(handle.visible && !pane.visible);
}

TEST_F(CameraTest, HeldKeysKeepTheEyeHeightInFirstPerson) {
    set_camera_controller(app, CAMERA_FIRST_PERSON);
    int64_t t = 1000;
    tick_at({t});
    for (char key : {'W', 'A', 'S', 'D', 'Q', 'E'}) {
        const Camera before = app.camera.live_camera;
        hold(key);
        tick_at({t += 10});
        hold(key, false);
        EXPECT_EQ(app.camera.live_camera.eye[1], 1.75) << key;
        EXPECT_EQ(app.camera.live_camera.look_at[1], before.look_at[1]) << key;
        EXPECT_NE(app.camera.live_camera.eye, before.eye) << key;
    }
}

TEST_F(CameraTest, ResetViewKeepsTheOrbitOutsideObjectOrbit) {
    app.camera.orbit_distance = 7, app.camera.orbit_angle_x = 1;
    app.camera.orbit_angle_y = 2, app.camera.orbit_angle_z = 3;
    app.camera.live_camera.eye = {5, 6, 7};
    app.camera.camera_drag.camera_drag_active = true;
    reset_view(app);
    expect_vec(app.camera.live_camera.eye, {-1, 1, 3});
    const double s = std::sqrt(11.0);
    expect_vec(app.camera.live_camera.forward, {1 / s, -1 / s, -3 / s});
    EXPECT_EQ(app.camera.orbit_distance, 7);
    EXPECT_EQ(app.camera.orbit_angle_z, 3);
    EXPECT_FALSE(app.camera.camera_drag.camera_drag_active);
    app.camera.camera_controller = CAMERA_OBJECT_ORBIT;
    reset_view(app);
    EXPECT_EQ(app.camera.orbit_distance, 4);
    EXPECT_EQ(app.camera.orbit_angle_z, 0);
}

TEST_F(CameraTest, TickStepsWheelZoomAndArrowTurns) {
    app.camera.camera_controller = CAMERA_OBJECT_ORBIT;
    app.camera.zoom_steps = 10;
    int64_t t = 5000;
    tick_at({t});  // only takes the time
    EXPECT_EQ(app.camera.zoom_steps, 10);
    for (int i = 0; i < 9; ++i) tick_at({t += 10});
    EXPECT_EQ(app.camera.zoom_steps, 1);
    tick_at({t += 10});
    EXPECT_EQ(app.camera.zoom_steps, 0);
    EXPECT_NEAR(app.camera.orbit_distance, 4.0 * std::pow(1.05, 10), 1e-9);

    app.camera.orbit_distance = 990;
    hold('W');
    for (int i = 0; i < 3; ++i) tick_at({t += 10});
    EXPECT_EQ(app.camera.orbit_distance, 1000.0);
    hold('W', false), hold('S');
    app.camera.orbit_distance = 0.051;
    tick_at({t += 10, t += 10});
    EXPECT_EQ(app.camera.orbit_distance, 0.05);
    hold('S', false);

    // Right arrow for 10 ms: 2 pixels of 720, one degree of angle b.
    app.camera.arrow_states[2] = 1;
    tick_at({t += 10});
    EXPECT_NEAR(app.camera.orbit_angle_y, 31.0, 1e-12);
    EXPECT_FALSE(app.camera.camera_drag.camera_drag_active);
    EXPECT_NE(app.status.attribute_trace_text.find("euler(30,31,0)"), std::string::npos);

    // Locked: nothing moves and the wheel steps wait.
    app.ui_flags.camera_locked = 1;
    app.camera.zoom_steps = 3;
    tick_at({t += 10});
    EXPECT_EQ(app.camera.zoom_steps, 3);
}

// Motion frames are drawn single-sampled; the first tick without motion
// asks for the one still frame, and later still ticks ask for nothing.
TEST_F(CameraTest, MovingTicksMarkTheCameraAndTheFirstStillTickAsksForOneFrame) {
    app.camera.camera_controller = CAMERA_OBJECT_ORBIT;
    int64_t t = 5000;
    tick_at({t});
    EXPECT_EQ(app.frame.camera_moving, 0);
    app.camera.zoom_steps = 2;
    tick_at({t += 10});
    EXPECT_EQ(app.frame.camera_moving, 1);
    tick_at({t += 10});
    EXPECT_EQ(app.frame.camera_moving, 1);
    app.frame.needs_redraw = 0;
    tick_at({t += 10});
    EXPECT_EQ(app.frame.camera_moving, 0);
    EXPECT_EQ(app.frame.needs_redraw, 1);
    app.frame.needs_redraw = 0;
    tick_at({t += 10, t += 10});
    EXPECT_EQ(app.frame.needs_redraw, 0);

    // A drag moves on the tick that applies it, and stops on the next.
    begin_camera_drag(app, 100, 100);
    drag_camera(app, 140, 100, 0);
    tick_at({t += 10});
    EXPECT_EQ(app.frame.camera_moving, 1);
    tick_at({t += 10});
    EXPECT_EQ(app.frame.camera_moving, 0);

    // Locked in mid-motion: the still frame still comes.
    hold('W');
    tick_at({t += 10});
    EXPECT_EQ(app.frame.camera_moving, 1);
    app.ui_flags.camera_locked = 1;
    app.frame.needs_redraw = 0;
    tick_at({t += 10});
    EXPECT_EQ(app.frame.camera_moving, 0);
    EXPECT_EQ(app.frame.needs_redraw, 1);
}

TEST_F(CameraTest, AHeldKeyAfterALongPauseMovesAtMostOneHundredMilliseconds) {
    hold('W');
    const Vec3 f = app.camera.live_camera.forward;
    const Vec3 start = app.camera.live_camera.eye;
    tick_at({1000});
    expect_vec(app.camera.live_camera.eye, start);
    tick_at({1010});
    expect_vec(app.camera.live_camera.eye,
               {start[0] + 0.0625 * f[0], start[1] + 0.0625 * f[1], start[2] + 0.0625 * f[2]});
    const Vec3 before = app.camera.live_camera.eye;
    tick_at({11010});
    expect_vec(app.camera.live_camera.eye,
               {before[0] + 0.625 * f[0], before[1] + 0.625 * f[1], before[2] + 0.625 * f[2]});
    app.pane_open_flags[PANE_HELP] = 1;  // a popup stops the motion
    tick_at({11020});
    expect_vec(app.camera.live_camera.eye,
               {before[0] + 0.625 * f[0], before[1] + 0.625 * f[1], before[2] + 0.625 * f[2]});
}

TEST_F(CameraTest, CellCamerasKeepTheirObjectOrbitPartAndActivate) {
    Viewport& vp = app.multi_view_viewport;
    vp.cell_count = 2;
    vp.cell_cameras.insert(vp.cell_cameras.end(), initial_camera_state.begin(), initial_camera_state.end());
    // Cell 1's free-roam eye (5, 5, 5) looks at (5, 5, 4).
    std::fill_n(vp.cell_cameras.begin() + CAMERA_STATE_SIZE + 6, 6, 5.0);
    vp.cell_cameras[CAMERA_STATE_SIZE + 11] = 4;

    set_camera_controller(app, CAMERA_OBJECT_ORBIT);
    app.camera.live_camera.eye = {1, 2, 3};
    app.camera.orbit_distance = 2;
    save_cell_camera_state(app);
    EXPECT_EQ(std::vector<double>(vp.cell_cameras.begin(), vp.cell_cameras.begin() + 6),
              std::vector<double>(initial_camera_state.begin(), initial_camera_state.begin() + 6));
    EXPECT_EQ(vp.cell_cameras[18], 2);

    set_camera_controller(app, CAMERA_FREE_ROAM);
    app.camera.live_camera.eye = {-2, 1, 3};
    vp.hovered_cell = 1;
    activate_cell_camera_state();
    EXPECT_EQ(vp.current_cell, 1);
    EXPECT_EQ(vp.cell_cameras[6], -2);  // the cell left was saved first
    expect_vec(app.camera.live_camera.eye, {5, 5, 5});
    expect_vec(app.camera.live_camera.forward, {0, 0, -1});
    expect_vec(app.camera.controller_cameras[0].eye, {0, 0, 10});
    EXPECT_EQ(app.camera.orbit_distance, 4);
}

// --- Entity matrices ---------------------------------------------------------

Vec3 apply_matrix(const std::array<double, 16>& m, const Vec3& p) {
    Vec3 r;
    for (size_t row = 0; row < 3; ++row) r[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
    return r;
}

// Each step of the order applied to the point, the rotations axis by axis.
Vec3 composed_by_hand(const EntityRecord& e, Vec3 p) {
    for (const char* step = transform_order_labels[e.transform_order]; *step; ++step) {
        if (*step == 'T')
            for (size_t i = 0; i < 3; ++i) p[i] += e.translation[i];
        if (*step == 'S')
            for (size_t i = 0; i < 3; ++i) p[i] *= e.uniform_scale * e.axis_scale[i];
        if (*step != 'R') continue;
        for (const char* axis = rotation_order_labels[e.rotation_order]; *axis; ++axis) {
            if (*axis == 'X') rotate_about_x_degrees(p[1], p[2], e.euler_angles[0]);
            if (*axis == 'Y') rotate_about_y_degrees(p[0], p[2], e.euler_angles[1]);
            if (*axis == 'Z') rotate_about_z_degrees(p[0], p[1], e.euler_angles[2]);
        }
    }
    return p;
}

TEST(EntityMatrix, EveryOrderMatchesTheStepByStepComposition) {
    EntityRecord e = entity_construct();
    e.euler_angles = {90, 0, 0};
    e.rotation_order = ROTATION_XYZ;
    build_entity_transform_matrix(e);
    expect_vec(apply_matrix(e.transform_matrix, {0, 1, 0}), {0, 0, 1}, 1e-15);

    e.translation = {1, -2, 3}, e.uniform_scale = 1.5, e.axis_scale = {2, 0.5, 1}, e.euler_angles = {30, -45, 60};
    for (int32_t r = 0; r < 6; ++r)
        for (int32_t t = 0; t < 6; ++t) {
            e.rotation_order = r, e.transform_order = t;
            build_entity_transform_matrix(e);
            SCOPED_TRACE(std::string(rotation_order_labels[r]) + " " + transform_order_labels[t]);
            expect_vec(apply_matrix(e.transform_matrix, {0.3, -0.7, 1.1}), composed_by_hand(e, {0.3, -0.7, 1.1}), 1e-12);
            for (size_t i = 0; i < 16; ++i) EXPECT_EQ(e.transform_matrix_f[i], static_cast<float>(e.transform_matrix[i]));
        }
}

TEST(EntityMatrix, SubElementsReceiveCopiesAndFixedRecordsAreLeftAlone) {
    EntityRecord parent = entity_construct(true), sub = entity_construct();
    sub.is_element = 1;
    sub.translation = {9, 9, 9};
    parent.subelement_records = {&sub, nullptr};
    parent.translation = {1, 2, 3};
    build_entity_transform_matrix(sub);
    EXPECT_EQ(sub.transform_matrix[12], 0.0);
    build_entity_transform_matrix(parent);
    EXPECT_EQ(sub.transform_matrix, parent.transform_matrix);
    EXPECT_EQ(sub.transform_matrix_f[14], 3.0f);
    parent.translation = {0, 0, 0};  // back to identity: the copies follow
    build_entity_transform_matrix(parent);
    EXPECT_EQ(sub.transform_matrix[12], 0.0);
}

}  // namespace

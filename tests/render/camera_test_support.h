#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/layout/display_options.h"
#include "panes/popups/popups.h"
#include "support/app_fixture.h"
#include "model/camera.h"
#include "render/camera_control.h"
#include "render/status_line.h"

// A context on the heap, published for the callbacks that take none, with
// the pane stand-ins, popups and the display layout installed; every global goes back to its load state.
class CameraTest : public ::testing::Test {
protected:
    std::unique_ptr<AppContext> owned = fresh_context();
    AppContext& app = *owned;

    CameraTest() {
        install_popup_operations(app.hooks);
        install_display_hooks(app.hooks);
        app_instance = &app;
    }
    ~CameraTest() override {
        owned.reset();
        reset_globals();
    }
    static std::unique_ptr<AppContext> fresh_context() {
        reset_globals();
        return make_app_context();
    }
    static void reset_globals() {
        reset_app_globals();
        reset_camera_tick_clock();
        reset_frame_time_ring();
    }

    // Ticks the camera step at the given times (ms).
    void tick_at(std::initializer_list<int64_t> times) {
        for (int64_t t : times) camera_tick_step(app, t);
    }
    void hold(char key, bool down = true) {
        app.camera.key_states[static_cast<unsigned char>(key)] = down;
        app.camera.key_states[static_cast<unsigned char>(key + 32)] = down;
    }
};

inline void expect_vec(const Vec3& v, const Vec3& expected, double tolerance = 1e-9) {
    for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(v[i], expected[i], tolerance) << "component " << i;
}

inline double length(const Vec3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

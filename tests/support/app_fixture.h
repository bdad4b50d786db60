#pragma once
// A heap-built application context with every process-wide state reset
// around it: widget globals, paths, start time, environment, entity and mesh
// counters, the stand-in call log and the clock. Standard output can be
// captured for the diagnostics the application prints.
#include <gtest/gtest.h>
#include "support/call_log.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "model/entity.h"
#include "model/environment.h"
#include "model/interop_mesh.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "ui/ui_state.h"

// Frees every mesh and sub-element record the context's environments hold,
// as the program does at quit.
inline void free_context_meshes(AppContext& app) { release_entity_meshes(app); }

inline void reset_app_globals() {
    reset_ui_state();
    reset_paths_for_tests();
    reset_environment_counter();
    reset_entity_serial_counter();
    reset_mesh_serial_counter();
    reset_call_log();
    app_instance = nullptr;
    set_clock_for_tests(nullptr);
}

struct AppFixture : testing::Test {
    std::unique_ptr<AppContext> app;
    bool capturing = false;

    AppFixture() {
        reset_app_globals();
        app = make_app_context();
    }
    ~AppFixture() override {
        if (capturing) testing::internal::GetCapturedStdout();
        app.reset();
        reset_app_globals();
    }

    void capture_stdout() {
        testing::internal::CaptureStdout();
        capturing = true;
    }
    std::string captured_stdout() {
        capturing = false;
        return testing::internal::GetCapturedStdout();
    }
};

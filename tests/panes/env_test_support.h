#pragma once
#include "context/app_context.h"
#include "panes/environments/environments.h"
#include "support/app_fixture.h"

// A context with its first environment, as the interface build leaves it.
struct EnvironmentFixture : AppFixture {
    EnvironmentFixture() {
        app_instance = app.get();
        add_startup_environment(*app);
    }
    // The tick's part that runs a deferred switch.
    void run_ticks(int n) {
        for (int i = 0; i < n; ++i) {
            if (app->bars.pending_environment < 0) continue;
            if (app->bars.environment_switch_countdown > 0) --app->bars.environment_switch_countdown;
            else switch_to_pending_environment(*app);
        }
    }
    void request_switch(int32_t index) {
        app->bars.environment_switch_countdown = 5;
        app->bars.pending_environment = index;
    }
    Environment* environment(size_t i) { return app->entities.environment_list.environment_pointers.at(i); }
};

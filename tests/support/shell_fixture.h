#pragma once
// The application fixture with the shell's globals reset, an injected clock
// that the tests advance, the popup operations and root callbacks bound,
// one environment and the context published as the application instance.
#include "support/app_fixture.h"
#include "support/call_log.h"

#include "panes/layout/pointer_routing.h"
#include "panes/popups/popups.h"
#include "platform/keys.h"
#include "platform/platform_state.h"
#include "shell/app_callbacks.h"
#include "shell/app_tick.h"

struct ShellFixture : AppFixture {
    static inline int64_t clock_ms = 0;
    static int64_t fake_clock() { return clock_ms; }

    ShellFixture() {
        reset_shell_globals();
        clock_ms = 1'000'000;
        set_clock_for_tests(fake_clock);
        start_clock_ms = clock_ms;
        install_popup_operations(app->hooks);
        bind_root_callbacks(*app);
        make_new_environment_current(*app);
        app_instance = app.get();
    }
    ~ShellFixture() override {
        app_instance = nullptr;
        reset_shell_globals();
    }
    static void reset_shell_globals() {
        reset_app_callbacks_for_tests();
        reset_app_tick_for_tests();
        reset_pointer_routing_for_tests();
        reset_platform_state_for_tests();
    }

    void finish_startup() { app->startup.startup_done = 1; }
    // n ticks, 10 ms apart.
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock_ms += 10;
            app_tick(*app);
        }
    }
    // The stand-in calls recorded so far that start with `prefix`.
    static std::vector<std::string> calls(const std::string& prefix = "") {
        std::vector<std::string> out;
        for (const std::string& entry : call_log())
            if (entry.compare(0, prefix.size(), prefix) == 0) out.push_back(entry);
        return out;
    }
    bool shown(const Element& e) const { return e.visible; }
    bool masks_shown() const { return app->OVERLAY.visible && app->MASKPANE.visible; }
    bool masks_hidden() const { return !app->OVERLAY.visible && !app->MASKPANE.visible; }
};

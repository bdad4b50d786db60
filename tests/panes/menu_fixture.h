#pragma once
// A heap context with the menu, colour-bar and slider-bar stages built,
// recording pane stand-ins and warnings, and the context published for the
// bound actions.
#include "support/app_fixture.h"
#include "support/call_log.h"

#include "app/interface_menus.h"
#include "ui/theme.h"

// The warning service, recorded instead of shown.
inline void record_warning_box(AppContext&, const std::string& title, const std::string& text) {
    record_call("show_warning_box: " + title + "\n" + text);
}

struct MenuFixture : AppFixture {
    MenuFixture() {
        app->hooks.show_warning_box = record_warning_box;
        build_view_menu_stage(*app);
        build_colour_and_slider_bars(*app);
        build_settings_menu_stage(*app);
        app_instance = app.get();
        reset_call_log();
    }
    ~MenuFixture() override { build_theme_table(); }

    std::vector<bool>& view_bits(int m) { return app->menu_tables.view_menu_check_states[static_cast<size_t>(m)]; }
    std::vector<bool>& settings_bits(int m) {
        return app->menu_tables.settings_menu_check_states[static_cast<size_t>(m)];
    }
};

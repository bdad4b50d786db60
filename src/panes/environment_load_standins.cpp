#include "panes/environment_load_standins.h"

#include <string>

#include "app/app_context.h"
#include "text/text_utils.h"

namespace {

void record(const char* name, int64_t value) { record_standin_call(std::string(name) + ": " + long_to_text(value)); }

}  // namespace

void apply_ui_theme(AppContext& app, int32_t index) {
    record("apply_ui_theme", index);
    if (index >= 0 && index <= 4) app.frame.theme_index = index;
}

void set_options_menu_shown(AppContext& app, bool shown) {
    record("set_options_menu_shown", shown);
    app.ui_flags.settings_menu_shown = shown;
}

void select_settings_menu(AppContext& app, int32_t menu) {
    record("select_settings_menu", menu);
    if (menu >= 0 && menu < SETTINGS_MENU_COUNT) app.ui_flags.open_settings_menu = menu;
}

void select_view_menu(AppContext& app, int32_t menu) {
    record("select_view_menu", menu);
    if (menu >= 0 && menu < VIEW_MENU_COUNT) app.ui_flags.open_view_menu = menu;
}

void select_side_pane(AppContext& app, int32_t index) {
    record("select_side_pane", index);
    if (index >= 0 && index <= 2) app.ui_flags.side_pane_index = index;
}

void select_console_channel(AppContext&, int32_t channel) { record("select_console_channel", channel); }

void set_v_flip_mode(AppContext& app, bool on) {
    record("set_v_flip_mode", on);
    app.ui_flags.v_flip_mode = on;
}

void set_ui_hidden(AppContext& app, bool hidden) {
    record("set_ui_hidden", hidden);
    app.ui_flags.ui_hidden = hidden;
}

void update_layout_mode_flags(AppContext&) { record_standin_call("update_layout_mode_flags"); }
void update_tooltip_panel(AppContext&) { record_standin_call("update_tooltip_panel"); }

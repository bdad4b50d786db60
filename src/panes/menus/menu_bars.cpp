#include "panes/menus/menu_bars.h"

#include "context/caption_tables.h"
#include "context/current_environment.h"
#include "panes/layout/display_options.h"
#include "panes/menus/menu_support.h"
#include "render/status_line.h"

void select_view_menu(AppContext& app, int32_t k) {
    if (k >= VIEW_MENU_COUNT) return;
    UiFlags& f = app.ui_flags;
    const bool open = k >= 0 && k != f.open_view_menu;
    f.open_view_menu = open ? k : -1;
    app.script_placeholder_label.visible = !open;
    app.toolbar_indicator.visible = open;
    app.tip_menu_icon.visible = open;
    app.tip_menu_title.visible = open;
    app.tip_menu_icon.icon = open ? app.menu_tables.view_menu_icons[static_cast<size_t>(k)] : -1;
    Label& title = app.tip_menu_title;
    title.set_text(open ? view_menu_captions[static_cast<size_t>(k)] : "");
    title.width = title.text_width + 2 * app.ui_metrics.ui_padding;
    for (int32_t i = 0; i < VIEW_MENU_COUNT; ++i) app.view_menu_strips[i].visible = i == f.open_view_menu;
    if (open) app.view_menu_strips[k].margin_left = title.width + app.ui_metrics.row_height + app.ui_metrics.ui_padding / 2;
    refresh_root(app);
}

namespace {

bool is_toggle_menu(int32_t k) { return k == 3 || k == 5 || k == 7; }

uint8_t toggle_at_once(AppContext& app, int32_t k) {
    UiFlags& f = app.ui_flags;
    if (k == 3) {
        set_full_screen(app, !app.frame.full_screen);
        return app.frame.full_screen;
    }
    if (k == 5) {
        set_camera_locked(app, !f.camera_locked);
        return f.camera_locked;
    }
    set_slider_bar_shown(app, !f.slider_bar_shown);
    return f.slider_bar_shown;
}

}  // namespace

void select_settings_menu(AppContext& app, int32_t k) {
    if (k >= SETTINGS_MENU_COUNT) return;
    UiFlags& f = app.ui_flags;
    if (is_toggle_menu(k)) {
        app.menubar_indicators[k].visible = toggle_at_once(app, k) != 0;
        refresh_root(app);
        return;
    }
    f.open_settings_menu = (k < 0 || k == f.open_settings_menu) ? -1 : k;
    const int32_t open = f.open_settings_menu;
    if (open == 0) show_window_size_in_fields(app);
    app.MENUNPANE.visible = open >= 0 && f.settings_menu_shown;
    for (int32_t i = 0; i < SETTINGS_MENU_COUNT; ++i)
        if (!is_toggle_menu(i)) app.menubar_indicators[i].visible = i == open;
    app.settings_menu_title_icon.icon = open >= 0 ? app.menu_tables.settings_menu_icons[static_cast<size_t>(open)] : -1;
    app.settings_menu_title.set_text(open >= 0 ? settings_menu_captions[static_cast<size_t>(open)] : "");
    for (int32_t i = 0; i < SETTINGS_MENU_COUNT; ++i) app.settings_menu_hosts[i].visible = i == open;
    refresh_root(app);
}

void reset_window_size(AppContext& app) {
    if (app.services.resize_window) app.services.resize_window(720, 480);
    if (app.frame.full_screen) select_settings_menu(app, 3);
    redraw_and_refresh(app);
}

namespace {
void view_bar(int32_t k) {
    if (AppContext* app = app_instance) select_view_menu(*app, k);
}
void settings_bar(int32_t k) {
    if (AppContext* app = app_instance) select_settings_menu(*app, k);
}
}  // namespace

void on_view_menubar_topology() { view_bar(0); }
void on_view_menubar_colour() { view_bar(1); }
void on_view_menubar_shading() { view_bar(2); }
void on_view_menubar_orbit() { view_bar(3); }
void on_view_menubar_projection() { view_bar(4); }
void on_view_menubar_state() { view_bar(5); }
void on_view_menubar_widgets() { view_bar(6); }
void on_view_menubar_view() { view_bar(7); }
void on_settings_menubar_window() { settings_bar(0); }
void on_settings_menubar_shading() { settings_bar(1); }
void on_settings_menubar_lighting() { settings_bar(2); }
void on_settings_menubar_full_screen() { settings_bar(3); }
void on_settings_menubar_camera() { settings_bar(4); }
void on_settings_menubar_camera_lock() { settings_bar(5); }
void on_settings_menubar_theme() { settings_bar(6); }
void on_settings_menubar_slider_bar() { settings_bar(7); }
void on_settings_menubar_widgets() { settings_bar(8); }
void on_settings_menubar_system_config() { settings_bar(9); }
void on_full_screen_button() { settings_bar(3); }

#pragma once
#include <cstdint>

struct AppContext;

// Opens view menu k (0..7) in the tip row, closing any other; k again, or
// any negative k, closes it. A k above 7 changes nothing.
void select_view_menu(AppContext& app, int32_t k);
// Opens settings menu k (0..9) below the settings bar, closing any other;
// k again, or a negative k, closes it. 3 full screen, 5 camera lock and 7
// slider bar toggle at once and leave the open menu alone. A k above 9
// changes nothing.
void select_settings_menu(AppContext& app, int32_t k);
// 720 x 480, out of full screen.
void reset_window_size(AppContext& app);

// Bound actions of the two menu bars, on the published context.
void on_view_menubar_topology();
void on_view_menubar_colour();
void on_view_menubar_shading();
void on_view_menubar_orbit();
void on_view_menubar_projection();
void on_view_menubar_state();
void on_view_menubar_widgets();
void on_view_menubar_view();
void on_settings_menubar_window();
void on_settings_menubar_shading();
void on_settings_menubar_lighting();
void on_settings_menubar_full_screen();
void on_settings_menubar_camera();
void on_settings_menubar_camera_lock();
void on_settings_menubar_theme();
void on_settings_menubar_slider_bar();
void on_settings_menubar_widgets();
void on_settings_menubar_system_config();
void on_full_screen_button();

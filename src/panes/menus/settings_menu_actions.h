#pragma once
#include <cstdint>

struct AppContext;

// Runs item `item` of settings menu `menu` (0 window, 1 shading, 2 lighting,
// 4 camera, 6 theme, 8 widgets, 9 system): changes the setting, keeps the
// menu's check bits in step and marks its items. Menus 3, 5 and 7, items
// outside a menu, items without an action and active radio items only mark
// and refresh; a menu outside 0..9 is ignored.
void on_settings_menu_item(AppContext& app, int32_t menu, int32_t item);

// The attribute trace is the status line: the larger face while
// enlarge-trace is on, the console's otherwise; measured and sized again
// (the width the status strip scrolls by is the caller's to store).
void apply_attribute_trace_face(AppContext& app);

// The WIDGETS switches of the two strip buttons: the button shows while on,
// its strip while on and expanded; an expanded strip closes the other one.
void set_parallel_flags_widget(AppContext& app, bool on);
void set_ll_inspector_widget(AppContext& app, bool on);

// The minimal layout on or off (set_minimal_layout), with the check of the
// system menu's "Minimal-Mode" item following it.
void set_minimal_mode(AppContext& app, bool on);
// The small-window notice's "Minimal-Mode" button: enables the minimal
// layout and switches to it, on the published context.
void on_click_minimal_mode_notice();

// The theme after (step +1) or before (-1) the current one, wrapping.
void cycle_ui_theme(AppContext& app, int32_t step);
// Applies the theme unless it is the current one.
void set_ui_theme(AppContext& app, int32_t index);
void toggle_v_flip_setting(AppContext& app);
void toggle_frame_mode_setting(AppContext& app);
// The camera-directives item, then the display laid out again at the
// window size; on the published context.
void toggle_camera_directives_and_relayout();
// The fixed-function light terms follow the lighting flags.
void apply_lighting_terms(AppContext& app);

// Bound actions on the published context, one per drop-down item
// (on_settings_menu_*) and one per command-list row (on_settings_pane_*).
#define VK_SETTINGS_MENU_ITEMS(BOTH, MENU_ONLY) \
    MENU_ONLY(on_settings_menu_window_width, 0, 0)                                                      \
    MENU_ONLY(on_settings_menu_window_height, 0, 1)                                                     \
    BOTH(on_settings_menu_window_v_flip_mode, on_settings_pane_window_v_flip_mode, 0, 2)                \
    BOTH(on_settings_menu_window_frame_mode, on_settings_pane_window_frame_mode, 0, 3)                  \
    BOTH(on_settings_menu_window_frame_rate, on_settings_pane_window_frame_rate, 0, 4)                  \
    BOTH(on_settings_menu_window_reset_size, on_settings_pane_window_reset_size, 0, 5)                  \
    BOTH(on_settings_menu_shading_anti_aliasing, on_settings_pane_shading_anti_aliasing, 1, 0)          \
    BOTH(on_settings_menu_shading_linear_gradient, on_settings_pane_shading_linear_gradient, 1, 1)      \
    BOTH(on_settings_menu_shading_radial_gradient, on_settings_pane_shading_radial_gradient, 1, 2)      \
    BOTH(on_settings_menu_shading_fixed_function, on_settings_pane_shading_fixed_function, 1, 3)        \
    BOTH(on_settings_menu_shading_programmable, on_settings_pane_shading_programmable, 1, 4)            \
    BOTH(on_settings_menu_lighting_unlit, on_settings_pane_lighting_unlit, 2, 0)                        \
    BOTH(on_settings_menu_lighting_ambient_term, on_settings_pane_lighting_ambient_term, 2, 1)          \
    BOTH(on_settings_menu_lighting_diffuse_term, on_settings_pane_lighting_diffuse_term, 2, 2)          \
    BOTH(on_settings_menu_lighting_specular_term, on_settings_pane_lighting_specular_term, 2, 3)        \
    BOTH(on_settings_menu_lighting_occlusive_term, on_settings_pane_lighting_occlusive_term, 2, 4)      \
    BOTH(on_settings_menu_lighting_emissive_term, on_settings_pane_lighting_emissive_term, 2, 5)        \
    BOTH(on_settings_menu_lighting_reflective_term, on_settings_pane_lighting_reflective_term, 2, 6)    \
    BOTH(on_settings_menu_camera_object_orbit, on_settings_pane_camera_object_orbit, 4, 0)              \
    BOTH(on_settings_menu_camera_free_roam, on_settings_pane_camera_free_roam, 4, 1)                    \
    BOTH(on_settings_menu_camera_first_person, on_settings_pane_camera_first_person, 4, 2)              \
    BOTH(on_settings_menu_theme_dark, on_settings_pane_theme_dark, 6, 0)                                \
    BOTH(on_settings_menu_theme_silver, on_settings_pane_theme_silver, 6, 1)                            \
    BOTH(on_settings_menu_theme_light, on_settings_pane_theme_light, 6, 2)                              \
    BOTH(on_settings_menu_theme_charcoal, on_settings_pane_theme_charcoal, 6, 3)                        \
    BOTH(on_settings_menu_theme_midnight, on_settings_pane_theme_midnight, 6, 4)                        \
    BOTH(on_settings_menu_widgets_camera_directives, on_settings_pane_widgets_camera_directives, 8, 0)  \
    BOTH(on_settings_menu_widgets_variant_selector, on_settings_pane_widgets_variant_selector, 8, 1)    \
    MENU_ONLY(on_settings_menu_widgets_parallel_flags, 8, 2)                                            \
    MENU_ONLY(on_settings_menu_widgets_ll_inspector, 8, 3)                                              \
    BOTH(on_settings_menu_widgets_animator, on_settings_pane_widgets_animator, 8, 4)                    \
    BOTH(on_settings_menu_widgets_alpha_grid, on_settings_pane_widgets_alpha_grid, 8, 5)                \
    BOTH(on_settings_menu_widgets_upright_grid, on_settings_pane_widgets_upright_grid, 8, 6)            \
    BOTH(on_settings_menu_widgets_mono_edge_tone, on_settings_pane_widgets_mono_edge_tone, 8, 7)        \
    BOTH(on_settings_menu_widgets_mono_dot_tone, on_settings_pane_widgets_mono_dot_tone, 8, 8)          \
    BOTH(on_settings_menu_widgets_silhouette_tone, on_settings_pane_widgets_silhouette_tone, 8, 9)      \
    MENU_ONLY(on_settings_menu_widgets_eye_y_height, 8, 10)                                             \
    BOTH(on_settings_menu_widgets_enlarge_trace, on_settings_pane_widgets_enlarge_trace, 8, 11)         \
    BOTH(on_settings_menu_system_ui_animations, on_settings_pane_system_ui_animations, 9, 0)            \
    BOTH(on_settings_menu_system_inverted_zoom, on_settings_pane_system_inverted_zoom, 9, 1)            \
    BOTH(on_settings_menu_system_inline_io, on_settings_pane_system_inline_io, 9, 2)                    \
    BOTH(on_settings_menu_system_native_io, on_settings_pane_system_native_io, 9, 3)                    \
    BOTH(on_settings_menu_system_native_dnd, on_settings_pane_system_native_dnd, 9, 4)                  \
    BOTH(on_settings_menu_system_minimal_mode, on_settings_pane_system_minimal_mode, 9, 5)

#define VK_DECLARE_SETTINGS_BOTH(menu, pane, m, i) void menu(); void pane();
#define VK_DECLARE_SETTINGS_MENU(menu, m, i) void menu();
VK_SETTINGS_MENU_ITEMS(VK_DECLARE_SETTINGS_BOTH, VK_DECLARE_SETTINGS_MENU)
#undef VK_DECLARE_SETTINGS_BOTH
#undef VK_DECLARE_SETTINGS_MENU

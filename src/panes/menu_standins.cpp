#include "panes/menu_standins.h"

#include "app/app_hooks.h"

void on_view_menubar_topology() { record_standin_call("on_view_menubar_topology"); }

void on_view_menubar_colour() { record_standin_call("on_view_menubar_colour"); }

void on_view_menubar_shading() { record_standin_call("on_view_menubar_shading"); }

void on_view_menubar_orbit() { record_standin_call("on_view_menubar_orbit"); }

void on_view_menubar_projection() { record_standin_call("on_view_menubar_projection"); }

void on_view_menubar_state() { record_standin_call("on_view_menubar_state"); }

void on_view_menubar_widgets() { record_standin_call("on_view_menubar_widgets"); }

void on_view_menubar_view() { record_standin_call("on_view_menubar_view"); }

void on_settings_menubar_window() { record_standin_call("on_settings_menubar_window"); }

void on_settings_menubar_shading() { record_standin_call("on_settings_menubar_shading"); }

void on_settings_menubar_lighting() { record_standin_call("on_settings_menubar_lighting"); }

void on_settings_menubar_full_screen() { record_standin_call("on_settings_menubar_full_screen"); }

void on_settings_menubar_camera() { record_standin_call("on_settings_menubar_camera"); }

void on_settings_menubar_camera_lock() { record_standin_call("on_settings_menubar_camera_lock"); }

void on_settings_menubar_theme() { record_standin_call("on_settings_menubar_theme"); }

void on_settings_menubar_slider_bar() { record_standin_call("on_settings_menubar_slider_bar"); }

void on_settings_menubar_widgets() { record_standin_call("on_settings_menubar_widgets"); }

void on_settings_menubar_system_config() { record_standin_call("on_settings_menubar_system_config"); }

void on_full_screen_button() { record_standin_call("on_full_screen_button"); }

void on_view_pane_topology_surface() { record_standin_call("on_view_pane_topology_surface"); }

void on_view_pane_topology_polygons() { record_standin_call("on_view_pane_topology_polygons"); }

void on_view_pane_topology_triangles() { record_standin_call("on_view_pane_topology_triangles"); }

void on_view_pane_topology_gouraud() { record_standin_call("on_view_pane_topology_gouraud"); }

void on_view_pane_topology_points() { record_standin_call("on_view_pane_topology_points"); }

void on_view_pane_colour_rgba() { record_standin_call("on_view_pane_colour_rgba"); }

void on_view_pane_colour_dark() { record_standin_call("on_view_pane_colour_dark"); }

void on_view_pane_colour_light() { record_standin_call("on_view_pane_colour_light"); }

void on_view_pane_colour_negate() { record_standin_call("on_view_pane_colour_negate"); }

void on_view_pane_shading_flat() { record_standin_call("on_view_pane_shading_flat"); }

void on_view_pane_shading_smooth() { record_standin_call("on_view_pane_shading_smooth"); }

void on_view_pane_shading_transparent() { record_standin_call("on_view_pane_shading_transparent"); }

void on_view_pane_shading_mono_edges() { record_standin_call("on_view_pane_shading_mono_edges"); }

void on_view_pane_shading_mono_dots() { record_standin_call("on_view_pane_shading_mono_dots"); }

void on_view_pane_shading_brighten() { record_standin_call("on_view_pane_shading_brighten"); }

void on_view_pane_shading_silhouette() { record_standin_call("on_view_pane_shading_silhouette"); }

void on_view_pane_shading_x_ray() { record_standin_call("on_view_pane_shading_x_ray"); }

void on_view_pane_shading_negative() { record_standin_call("on_view_pane_shading_negative"); }

void on_view_pane_orbit_euler() { record_standin_call("on_view_pane_orbit_euler"); }

void on_view_pane_orbit_quaternion() { record_standin_call("on_view_pane_orbit_quaternion"); }

void on_view_pane_orbit_about_center() { record_standin_call("on_view_pane_orbit_about_center"); }

void on_view_pane_projection_orthographic() { record_standin_call("on_view_pane_projection_orthographic"); }

void on_view_pane_projection_perspective() { record_standin_call("on_view_pane_projection_perspective"); }

void on_view_pane_state_attribute_trace() { record_standin_call("on_view_pane_state_attribute_trace"); }

void on_view_pane_state_fit_viewport() { record_standin_call("on_view_pane_state_fit_viewport"); }

void on_view_pane_state_reset_transform() { record_standin_call("on_view_pane_state_reset_transform"); }

void on_view_pane_widgets_axes() { record_standin_call("on_view_pane_widgets_axes"); }

void on_view_pane_widgets_grids() { record_standin_call("on_view_pane_widgets_grids"); }

void on_view_pane_widgets_rings() { record_standin_call("on_view_pane_widgets_rings"); }

void on_view_pane_widgets_bounds() { record_standin_call("on_view_pane_widgets_bounds"); }

void on_view_pane_view_front() { record_standin_call("on_view_pane_view_front"); }

void on_view_pane_view_back() { record_standin_call("on_view_pane_view_back"); }

void on_view_pane_view_top() { record_standin_call("on_view_pane_view_top"); }

void on_view_pane_view_base() { record_standin_call("on_view_pane_view_base"); }

void on_view_pane_view_left() { record_standin_call("on_view_pane_view_left"); }

void on_view_pane_view_right() { record_standin_call("on_view_pane_view_right"); }

void on_settings_pane_window_v_flip_mode() { record_standin_call("on_settings_pane_window_v_flip_mode"); }

void on_settings_pane_window_frame_mode() { record_standin_call("on_settings_pane_window_frame_mode"); }

void on_settings_pane_window_frame_rate() { record_standin_call("on_settings_pane_window_frame_rate"); }

void on_settings_pane_window_reset_size() { record_standin_call("on_settings_pane_window_reset_size"); }

void on_settings_pane_shading_anti_aliasing() { record_standin_call("on_settings_pane_shading_anti_aliasing"); }

void on_settings_pane_shading_linear_gradient() { record_standin_call("on_settings_pane_shading_linear_gradient"); }

void on_settings_pane_shading_radial_gradient() { record_standin_call("on_settings_pane_shading_radial_gradient"); }

void on_settings_pane_shading_fixed_function() { record_standin_call("on_settings_pane_shading_fixed_function"); }

void on_settings_pane_shading_programmable() { record_standin_call("on_settings_pane_shading_programmable"); }

void on_settings_pane_lighting_unlit() { record_standin_call("on_settings_pane_lighting_unlit"); }

void on_settings_pane_lighting_ambient_term() { record_standin_call("on_settings_pane_lighting_ambient_term"); }

void on_settings_pane_lighting_diffuse_term() { record_standin_call("on_settings_pane_lighting_diffuse_term"); }

void on_settings_pane_lighting_specular_term() { record_standin_call("on_settings_pane_lighting_specular_term"); }

void on_settings_pane_lighting_occlusive_term() { record_standin_call("on_settings_pane_lighting_occlusive_term"); }

void on_settings_pane_lighting_emissive_term() { record_standin_call("on_settings_pane_lighting_emissive_term"); }

void on_settings_pane_lighting_reflective_term() { record_standin_call("on_settings_pane_lighting_reflective_term"); }

void on_settings_pane_camera_object_orbit() { record_standin_call("on_settings_pane_camera_object_orbit"); }

void on_settings_pane_camera_free_roam() { record_standin_call("on_settings_pane_camera_free_roam"); }

void on_settings_pane_camera_first_person() { record_standin_call("on_settings_pane_camera_first_person"); }

void on_settings_pane_theme_dark() { record_standin_call("on_settings_pane_theme_dark"); }

void on_settings_pane_theme_silver() { record_standin_call("on_settings_pane_theme_silver"); }

void on_settings_pane_theme_light() { record_standin_call("on_settings_pane_theme_light"); }

void on_settings_pane_theme_charcoal() { record_standin_call("on_settings_pane_theme_charcoal"); }

void on_settings_pane_theme_midnight() { record_standin_call("on_settings_pane_theme_midnight"); }

void on_settings_pane_widgets_camera_directives() { record_standin_call("on_settings_pane_widgets_camera_directives"); }

void on_settings_pane_widgets_variant_selector() { record_standin_call("on_settings_pane_widgets_variant_selector"); }

void on_settings_pane_widgets_animator() { record_standin_call("on_settings_pane_widgets_animator"); }

void on_settings_pane_widgets_alpha_grid() { record_standin_call("on_settings_pane_widgets_alpha_grid"); }

void on_settings_pane_widgets_upright_grid() { record_standin_call("on_settings_pane_widgets_upright_grid"); }

void on_settings_pane_widgets_mono_edge_tone() { record_standin_call("on_settings_pane_widgets_mono_edge_tone"); }

void on_settings_pane_widgets_mono_dot_tone() { record_standin_call("on_settings_pane_widgets_mono_dot_tone"); }

void on_settings_pane_widgets_silhouette_tone() { record_standin_call("on_settings_pane_widgets_silhouette_tone"); }

void on_settings_pane_widgets_enlarge_trace() { record_standin_call("on_settings_pane_widgets_enlarge_trace"); }

void on_settings_pane_system_ui_animations() { record_standin_call("on_settings_pane_system_ui_animations"); }

void on_settings_pane_system_inverted_zoom() { record_standin_call("on_settings_pane_system_inverted_zoom"); }

void on_settings_pane_system_inline_io() { record_standin_call("on_settings_pane_system_inline_io"); }

void on_settings_pane_system_native_io() { record_standin_call("on_settings_pane_system_native_io"); }

void on_settings_pane_system_native_dnd() { record_standin_call("on_settings_pane_system_native_dnd"); }

void on_settings_pane_system_minimal_mode() { record_standin_call("on_settings_pane_system_minimal_mode"); }

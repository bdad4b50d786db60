#pragma once
#include <cstdint>

struct AppContext;

// Runs item `item` of view menu `menu` (0 topology .. 7 view): changes the
// display flag, keeps the menu's check bits in step and marks its items.
// A menu outside 0..7, an item outside the menu, an active radio item and
// the VIEW menu while the camera is locked change nothing and redraw nothing.
void on_view_menu_item(AppContext& app, int32_t menu, int32_t item);

// Bound actions on the published context, one per drop-down item
// (on_view_menu_*) and one per command-list row (on_view_pane_*).
// BOTH(drop-down action, row action, menu, item) has both; MENU_ONLY(drop-
// down action, menu, item) only the drop-down one.
#define VK_VIEW_MENU_ITEMS(BOTH, MENU_ONLY) \
    BOTH(on_view_menu_topology_surface, on_view_pane_topology_surface, 0, 0)                \
    BOTH(on_view_menu_topology_polygons, on_view_pane_topology_polygons, 0, 1)              \
    BOTH(on_view_menu_topology_triangles, on_view_pane_topology_triangles, 0, 2)            \
    BOTH(on_view_menu_topology_gouraud, on_view_pane_topology_gouraud, 0, 3)                \
    BOTH(on_view_menu_topology_points, on_view_pane_topology_points, 0, 4)                  \
    BOTH(on_view_menu_colour_rgba, on_view_pane_colour_rgba, 1, 0)                          \
    BOTH(on_view_menu_colour_dark, on_view_pane_colour_dark, 1, 1)                          \
    BOTH(on_view_menu_colour_light, on_view_pane_colour_light, 1, 2)                        \
    MENU_ONLY(on_view_menu_colour_function, 1, 3)                                           \
    BOTH(on_view_menu_colour_negate, on_view_pane_colour_negate, 1, 4)                      \
    BOTH(on_view_menu_shading_flat, on_view_pane_shading_flat, 2, 0)                        \
    BOTH(on_view_menu_shading_smooth, on_view_pane_shading_smooth, 2, 1)                    \
    BOTH(on_view_menu_shading_transparent, on_view_pane_shading_transparent, 2, 2)          \
    BOTH(on_view_menu_shading_mono_edges, on_view_pane_shading_mono_edges, 2, 3)            \
    BOTH(on_view_menu_shading_mono_dots, on_view_pane_shading_mono_dots, 2, 4)              \
    BOTH(on_view_menu_shading_brighten, on_view_pane_shading_brighten, 2, 5)                \
    BOTH(on_view_menu_shading_silhouette, on_view_pane_shading_silhouette, 2, 6)            \
    BOTH(on_view_menu_shading_x_ray, on_view_pane_shading_x_ray, 2, 7)                      \
    BOTH(on_view_menu_shading_negative, on_view_pane_shading_negative, 2, 8)                \
    BOTH(on_view_menu_orbit_euler, on_view_pane_orbit_euler, 3, 0)                          \
    BOTH(on_view_menu_orbit_quaternion, on_view_pane_orbit_quaternion, 3, 1)                \
    BOTH(on_view_menu_orbit_about_center, on_view_pane_orbit_about_center, 3, 2)            \
    BOTH(on_view_menu_projection_orthographic, on_view_pane_projection_orthographic, 4, 0)  \
    BOTH(on_view_menu_projection_perspective, on_view_pane_projection_perspective, 4, 1)    \
    BOTH(on_view_menu_state_attribute_trace, on_view_pane_state_attribute_trace, 5, 0)      \
    BOTH(on_view_menu_state_fit_viewport, on_view_pane_state_fit_viewport, 5, 1)            \
    BOTH(on_view_menu_state_reset_transform, on_view_pane_state_reset_transform, 5, 2)      \
    BOTH(on_view_menu_widgets_axes, on_view_pane_widgets_axes, 6, 0)                        \
    BOTH(on_view_menu_widgets_grids, on_view_pane_widgets_grids, 6, 1)                      \
    BOTH(on_view_menu_widgets_rings, on_view_pane_widgets_rings, 6, 2)                      \
    BOTH(on_view_menu_widgets_bounds, on_view_pane_widgets_bounds, 6, 3)                    \
    BOTH(on_view_menu_view_top, on_view_pane_view_top, 7, 0)                                \
    BOTH(on_view_menu_view_base, on_view_pane_view_base, 7, 1)                              \
    BOTH(on_view_menu_view_left, on_view_pane_view_left, 7, 2)                              \
    BOTH(on_view_menu_view_right, on_view_pane_view_right, 7, 3)                            \
    BOTH(on_view_menu_view_front, on_view_pane_view_front, 7, 4)                            \
    BOTH(on_view_menu_view_back, on_view_pane_view_back, 7, 5)

#define VK_DECLARE_VIEW_BOTH(menu, pane, m, i) void menu(); void pane();
#define VK_DECLARE_VIEW_MENU(menu, m, i) void menu();
VK_VIEW_MENU_ITEMS(VK_DECLARE_VIEW_BOTH, VK_DECLARE_VIEW_MENU)
#undef VK_DECLARE_VIEW_BOTH
#undef VK_DECLARE_VIEW_MENU

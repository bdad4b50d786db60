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
// BOTH(name, menu, item) has both; MENU_ONLY(name, menu, item) only the
// drop-down one.
#define VK_VIEW_MENU_ITEMS(BOTH, MENU_ONLY)                                                                     \
    BOTH(topology_surface, 0, 0) BOTH(topology_polygons, 0, 1) BOTH(topology_triangles, 0, 2)                  \
    BOTH(topology_gouraud, 0, 3) BOTH(topology_points, 0, 4) BOTH(colour_rgba, 1, 0) BOTH(colour_dark, 1, 1)    \
    BOTH(colour_light, 1, 2) MENU_ONLY(colour_function, 1, 3) BOTH(colour_negate, 1, 4)                        \
    BOTH(shading_flat, 2, 0) BOTH(shading_smooth, 2, 1) BOTH(shading_transparent, 2, 2)                        \
    BOTH(shading_mono_edges, 2, 3) BOTH(shading_mono_dots, 2, 4) BOTH(shading_brighten, 2, 5)                  \
    BOTH(shading_silhouette, 2, 6) BOTH(shading_x_ray, 2, 7) BOTH(shading_negative, 2, 8)                      \
    BOTH(orbit_euler, 3, 0) BOTH(orbit_quaternion, 3, 1) BOTH(orbit_about_center, 3, 2)                        \
    BOTH(projection_orthographic, 4, 0) BOTH(projection_perspective, 4, 1)                                     \
    BOTH(state_attribute_trace, 5, 0) BOTH(state_fit_viewport, 5, 1) BOTH(state_reset_transform, 5, 2)         \
    BOTH(widgets_axes, 6, 0) BOTH(widgets_grids, 6, 1) BOTH(widgets_rings, 6, 2) BOTH(widgets_bounds, 6, 3)    \
    BOTH(view_top, 7, 0) BOTH(view_base, 7, 1) BOTH(view_left, 7, 2) BOTH(view_right, 7, 3)                    \
    BOTH(view_front, 7, 4) BOTH(view_back, 7, 5)

#define VK_DECLARE_VIEW_BOTH(name, m, i) void on_view_menu_##name(); void on_view_pane_##name();
#define VK_DECLARE_VIEW_MENU(name, m, i) void on_view_menu_##name();
VK_VIEW_MENU_ITEMS(VK_DECLARE_VIEW_BOTH, VK_DECLARE_VIEW_MENU)
#undef VK_DECLARE_VIEW_BOTH
#undef VK_DECLARE_VIEW_MENU

#include "panes/menus/view_menu_actions.h"

#include "context/current_environment.h"
#include "panes/menus/menu_support.h"
#include "render/camera_control.h"
#include "render/camera_directives.h"
#include "render/scene_actions.h"

namespace {

// Flips a flag and its bit together.
void toggle(uint8_t& flag, std::vector<bool>& bits, int32_t bit) {
    flag = flipped(flag);
    set_menu_bit(bits, bit, flag != 0);
}

// A radio pair: the item's value and bit on, the other bit off. False when
// the value was already chosen.
bool choose(int32_t& value, int32_t item, std::vector<bool>& bits) {
    if (value == item) return false;
    value = item;
    set_menu_bit(bits, item, true);
    set_menu_bit(bits, 1 - item, false);
    return true;
}

bool topology(AppContext& app, int32_t item, std::vector<bool>& bits) {
    RenderFlags& r = app.render_flags;
    uint8_t* edges[3] = {&r.show_polygon_edges, &r.show_triangle_edges, &r.show_gouraud_edges};
    if (item == 0) {
        toggle(r.show_surface, bits, 0);
    } else if (item == 4) {
        toggle(r.show_points, bits, 4);
    } else if (item >= 1 && item <= 3) {
        const uint8_t on = flipped(*edges[item - 1]);
        for (int32_t k = 0; k < 3; ++k) {
            const bool mine = on && k == item - 1;
            *edges[k] = mine ? 1 : 0;
            set_menu_bit(bits, k + 1, mine);
        }
    } else {
        return false;
    }
    r.show_any_edges = (r.show_polygon_edges || r.show_triangle_edges || r.show_gouraud_edges) ? 1 : 0;
    app.NORENDER.visible = !r.show_surface && !r.show_any_edges && !r.show_points;
    return true;
}

bool colour(AppContext& app, int32_t item, std::vector<bool>& bits) {
    RenderFlags& r = app.render_flags;
    if (item == 4) {
        toggle(r.negate_colours, bits, 4);
        recolour_all(app);
        return true;
    }
    if (item < 0 || item > 3 || item == r.colour_mode) return false;
    set_menu_bit(bits, r.colour_mode, false);
    r.colour_mode = item;
    set_menu_bit(bits, item, true);
    recolour_all(app);
    app.COLOURBAR.visible = item == 3;
    return true;
}

bool shading(AppContext& app, int32_t item, std::vector<bool>& bits) {
    RenderFlags& r = app.render_flags;
    if (item == 0 || item == 1) {
        int32_t smooth = r.smooth_shading;
        if (!choose(smooth, item, bits)) return false;
        r.smooth_shading = static_cast<uint8_t>(smooth);
        return true;
    }
    if (item == 2) {
        toggle(r.transparent_mode, bits, 2);
        recolour_all(app);
        return true;
    }
    uint8_t* flags[6] = {&r.mono_edges,      &r.mono_dots,  &r.glsl_brighten,
                         &r.glsl_silhouette, &r.glsl_x_ray, &r.glsl_negative};
    if (item < 3 || item > 8) return false;
    toggle(*flags[item - 3], bits, item);
    return true;
}

bool orbit(AppContext& app, int32_t item, std::vector<bool>& bits) {
    RenderFlags& r = app.render_flags;
    if (item == 0 || item == 1) return choose(r.orbit_rotation_mode, item, bits);
    if (item != 2) return false;
    toggle(r.orbit_about_centre, bits, 2);
    return true;
}

bool state(AppContext& app, int32_t item, std::vector<bool>& bits) {
    const bool locked = app.ui_flags.camera_locked != 0;
    switch (item) {
    case 0:
        toggle(app.ui_flags.attribute_trace, bits, 0);
        app.status_label.visible = app.ui_flags.attribute_trace != 0;
        return true;
    case 1:
        if (!locked && app.bars.multi_view) save_cell_camera_state(app);
        return true;
    case 2:
        if (!locked) reset_view(app);
        return true;
    default:
        return false;
    }
}

bool widgets(AppContext& app, int32_t item, std::vector<bool>& bits) {
    RenderFlags& r = app.render_flags;
    uint8_t* flags[4] = {&r.show_axes, &r.show_grids, &r.show_rings, &r.show_bounds};
    if (item < 0 || item > 3) return false;
    toggle(*flags[item], bits, item);
    return true;
}

bool preset_view(AppContext& app, int32_t item) {
    static void (*const views[6])(AppContext&) = {view_top, view_base, view_left, view_right, view_front, view_back};
    if (app.ui_flags.camera_locked || item < 0 || item > 5) return false;
    views[item](app);
    return true;
}

}  // namespace

void on_view_menu_item(AppContext& app, int32_t menu, int32_t item) {
    if (menu < 0 || menu >= VIEW_MENU_COUNT) return;
    const size_t m = static_cast<size_t>(menu);
    std::vector<bool>& bits = *app.menu_tables.view_menu_check_pointers[m];
    bool changed = false;
    switch (menu) {
    case 0: changed = topology(app, item, bits); break;
    case 1: changed = colour(app, item, bits); break;
    case 2: changed = shading(app, item, bits); break;
    case 3: changed = orbit(app, item, bits); break;
    case 4: {
        if (item != 0 && item != 1) return;
        changed = choose(app.render_flags.projection_mode, item, bits);
        break;
    }
    case 5: changed = state(app, item, bits); break;
    case 6: changed = widgets(app, item, bits); break;
    default: changed = preset_view(app, item); break;
    }
    if (!changed) return;
    if (m < app.view_menu_items.size()) mark_menu_items(bits, app.view_menu_items[m]);
    redraw_and_refresh(app);
}

namespace {
void run_view_item(int32_t menu, int32_t item) {
    if (AppContext* app = app_instance) on_view_menu_item(*app, menu, item);
}
}  // namespace

#define VK_DEFINE_VIEW_MENU(menu, m, i) \
    void menu() { run_view_item(m, i); }
#define VK_DEFINE_VIEW_BOTH(menu, pane, m, i) \
    VK_DEFINE_VIEW_MENU(menu, m, i)           \
    void pane() { run_view_item(m, i); }
VK_VIEW_MENU_ITEMS(VK_DEFINE_VIEW_BOTH, VK_DEFINE_VIEW_MENU)

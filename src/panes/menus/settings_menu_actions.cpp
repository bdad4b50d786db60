#include "panes/menus/settings_menu_actions.h"

#include "context/current_environment.h"
#include "panes/layout/display_options.h"
#include "panes/layout/layout_mode_flags.h"
#include "panes/menus/interface_themes.h"
#include "panes/menus/menu_bars.h"
#include "panes/menus/menu_support.h"
#include "render/camera_control.h"
#include "render/status_line.h"
#include "ui/theme.h"

namespace {

void toggle(uint8_t& flag, std::vector<bool>& bits, int32_t bit) {
    flag = flipped(flag);
    set_menu_bit(bits, bit, flag != 0);
}

void window(AppContext& app, int32_t item, std::vector<bool>& bits) {
    UiFlags& f = app.ui_flags;
    switch (item) {
    case 2:
        set_v_flip_mode(app, !f.v_flip_mode);
        set_menu_bit(bits, 2, f.v_flip_mode != 0);
        break;
    case 3:
        set_frame_mode(app, !f.frame_mode);
        set_menu_bit(bits, 3, f.frame_mode != 0);
        break;
    case 4: {
        IoSettings& io = app.io_settings;
        io.show_frame_rate = io.show_frame_rate ? 0 : 1;
        app.frame_rate_label.visible = io.show_frame_rate != 0;
        set_menu_bit(bits, 4, io.show_frame_rate != 0);
        update_fps_readout(app);
        break;
    }
    case 5: reset_window_size(app); break;
    default: break;
    }
}

// The two backdrop gradients share one value: -1 none, 0 linear, 1 radial.
void shading(AppContext& app, int32_t item, std::vector<bool>& bits) {
    IoSettings& io = app.io_settings;
    switch (item) {
    case 0: toggle(io.anti_aliasing, bits, 0); break;
    case 1:
    case 2: {
        const int32_t gradient = item - 1;
        io.backdrop_gradient = io.backdrop_gradient == gradient ? -1 : gradient;
        set_menu_bit(bits, 1, io.backdrop_gradient == 0);
        set_menu_bit(bits, 2, io.backdrop_gradient == 1);
        break;
    }
    case 3:
    case 4:
        if (io.render_pipeline == item - 3) break;
        io.render_pipeline = item - 3;
        set_menu_bit(bits, item, true);
        set_menu_bit(bits, 7 - item, false);
        break;
    default: break;
    }
}

void lighting(AppContext& app, int32_t item, std::vector<bool>& bits) {
    RenderFlags& r = app.render_flags;
    if (item == 0) toggle(r.light_unlit, bits, 0);
    else if (item >= 1 && item <= 6) toggle(r.lighting_terms[static_cast<size_t>(item - 1)], bits, item);
    apply_lighting_terms(app);
}

void camera(AppContext& app, int32_t item, std::vector<bool>& bits) {
    if (item < 0 || item > 2 || item == app.camera.camera_controller) return;
    set_camera_controller(app, item);
    for (int32_t k = 0; k < 3; ++k) set_menu_bit(bits, k, k == item);
}

void theme(AppContext& app, int32_t item, std::vector<bool>& bits) {
    if (item < 0 || item >= theme_index_count || item == app.frame.theme_index) return;
    set_menu_bit(bits, app.frame.theme_index, false);
    apply_ui_theme(app, item);
    set_menu_bit(bits, app.frame.theme_index, true);
}

void strip_switch(AppContext& app, bool parallel, std::vector<bool>& bits) {
    const BarState& b = app.bars;
    const bool on = (parallel ? b.show_parallel_flags : b.show_ll_inspector) == 0;
    set_menu_bit(bits, parallel ? 2 : 3, on);
    if (parallel) set_parallel_flags_widget(app, on);
    else set_ll_inspector_widget(app, on);
}

void widgets(AppContext& app, int32_t item, std::vector<bool>& bits) {
    BarState& b = app.bars;
    switch (item) {
    case 0:
        toggle(b.show_camera_directives, bits, 0);
        app.camera_directive_bar.visible = b.show_camera_directives && b.camera_directive_count >= 1 &&
                                            app.camera.camera_controller == CAMERA_FREE_ROAM;
        break;
    case 1:
        toggle(b.show_variant_selector, bits, 1);
        app.variant_bar.visible = b.show_variant_selector && b.variant_count > 0;
        break;
    case 2: strip_switch(app, true, bits); break;
    case 3: strip_switch(app, false, bits); break;
    case 4:
        toggle(b.show_animator, bits, 4);
        app.animator_bar.visible = b.show_animator && b.animation_count > 0;
        break;
    case 5: toggle(b.alpha_grid, bits, 5); break;
    case 6: toggle(b.upright_grid, bits, 6); break;
    case 11:
        toggle(b.enlarged_trace, bits, 11);
        apply_attribute_trace_face(app);
        app.io_settings.status_text_width = app.status_label.text_width;
        break;
    default: break;
    }
}

void system(AppContext& app, int32_t item, std::vector<bool>& bits) {
    IoSettings& io = app.io_settings;
    uint8_t* flags[5] = {&app.ui_flags.ui_animations, &app.camera.inverted_zoom, &io.inline_io, &io.native_io,
                         &io.native_dnd};
    if (item >= 0 && item <= 4) toggle(*flags[item], bits, item);
    if (item == 5) {
        // The item enables the minimal layout and switches to it; in the
        // minimal layout its command-list row ("Advanced-Mode") switches back.
        app.ui_flags.layout_mode_flags[1] = 1;
        set_minimal_mode(app, !app.ui_flags.layout_mode_flags[0]);
    }
}

}  // namespace

// The renderer reads the lighting flags every frame; only a redraw is due.
void apply_lighting_terms(AppContext& app) { app.frame.needs_redraw = 1; }

void apply_attribute_trace_face(AppContext& app) {
    Label& label = app.status_label;
    label.typeface = &typefaces[app.bars.enlarged_trace ? 0 : 3];
    label.set_text(label.text);
    label.width = label.text_width + 2 * app.ui_metrics.ui_padding;
}

// One strip button's switch: the button shows while on, its strip while on
// and expanded; at most one of the two strips is expanded.
static void set_strip_widget(uint8_t& shown, uint8_t expanded, Element& button, Element& host,
                             uint8_t& other_expanded, Element& other_button, bool on) {
    shown = on ? 1 : 0;
    button.visible = on;
    host.visible = on && expanded;
    if (expanded) {
        other_expanded = 0;
        other_button.selected = false;
    }
}

void set_parallel_flags_widget(AppContext& app, bool on) {
    BarState& b = app.bars;
    set_strip_widget(b.show_parallel_flags, b.parallel_flags_expanded, app.parallel_flags_button,
                     app.parallel_flags_bar, b.ll_inspector_expanded, app.ll_inspector_button, on);
}

void set_ll_inspector_widget(AppContext& app, bool on) {
    BarState& b = app.bars;
    set_strip_widget(b.show_ll_inspector, b.ll_inspector_expanded, app.ll_inspector_button, app.ll_inspector_bar,
                     b.parallel_flags_expanded, app.parallel_flags_button, on);
}

void on_settings_menu_item(AppContext& app, int32_t menu, int32_t item) {
    if (menu < 0 || menu >= SETTINGS_MENU_COUNT) return;
    const size_t m = static_cast<size_t>(menu);
    std::vector<bool>& bits = *app.menu_tables.settings_menu_check_pointers[m];
    switch (menu) {
    case 0: window(app, item, bits); break;
    case 1: shading(app, item, bits); break;
    case 2: lighting(app, item, bits); break;
    case 4: camera(app, item, bits); break;
    case 6: theme(app, item, bits); break;
    case 8:
        widgets(app, item, bits);
        // The minimal layout keeps the status-row widgets hidden.
        if (app.ui_flags.layout_mode_flags[0]) update_layout_mode_flags(app);
        break;
    case 9: system(app, item, bits); break;
    default: break;
    }
    if (m < app.settings_menu_items.size()) mark_menu_items(bits, app.settings_menu_items[m]);
    if (menu == 1 || menu == 2 || menu == 4 || menu == 8) app.frame.needs_redraw = 1;
    refresh_root(app);
}

void set_minimal_mode(AppContext& app, bool on) {
    set_minimal_layout(app, on);
    // The system item's check shows the layout in use.
    auto& pointers = app.menu_tables.settings_menu_check_pointers;
    if (pointers.size() <= 9 || pointers[9] == nullptr) return;
    std::vector<bool>& bits = *pointers[9];
    set_menu_bit(bits, 5, on);
    if (app.settings_menu_items.size() > 9) mark_menu_items(bits, app.settings_menu_items[9]);
}

void on_click_minimal_mode_notice() {
    AppContext* app = app_instance;
    if (!app) return;
    app->ui_flags.layout_mode_flags[1] = 1;
    set_minimal_mode(*app, true);
}

void cycle_ui_theme(AppContext& app, int32_t step) {
    int32_t next = app.frame.theme_index + step;
    if (next > theme_index_count - 1) next = 0;
    if (next < 0) next = theme_index_count - 1;
    on_settings_menu_item(app, 6, next);
}

void set_ui_theme(AppContext& app, int32_t index) {
    if (index != app.frame.theme_index) apply_ui_theme(app, index);
}

void toggle_v_flip_setting(AppContext& app) { on_settings_menu_item(app, 0, 2); }
void toggle_frame_mode_setting(AppContext& app) { on_settings_menu_item(app, 0, 3); }

void toggle_camera_directives_and_relayout() {
    AppContext* app = app_instance;
    if (!app) return;
    on_settings_menu_item(*app, 8, 0);
    apply_display_options_at_window_size(*app);
}

namespace {
void run_settings_item(int32_t menu, int32_t item) {
    if (AppContext* app = app_instance) on_settings_menu_item(*app, menu, item);
}
}  // namespace

#define VK_DEFINE_SETTINGS_MENU(menu, m, i) \
    void menu() { run_settings_item(m, i); }
#define VK_DEFINE_SETTINGS_BOTH(menu, pane, m, i) \
    VK_DEFINE_SETTINGS_MENU(menu, m, i)           \
    void pane() { run_settings_item(m, i); }
VK_SETTINGS_MENU_ITEMS(VK_DEFINE_SETTINGS_BOTH, VK_DEFINE_SETTINGS_MENU)

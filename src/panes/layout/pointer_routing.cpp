#include "panes/layout/pointer_routing.h"

#include <cstdlib>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "platform/keys.h"
#include "ui/element.h"
#include "ui/root_input.h"
#include "ui/ui_state.h"

int32_t last_button = -1;
int32_t last_button_state = -1;
int32_t last_button_x = 0;
int32_t last_button_y = 0;

namespace {

int32_t record_button(int32_t button, int32_t state, int32_t x, int32_t y, int32_t result) {
    last_button = button;
    last_button_state = state;
    last_button_x = x;
    last_button_y = y;
    return result;
}

uint8_t* key_byte(AppContext& app, int32_t key) {
    if (key >= 0 && key <= 255) return &app.camera.key_states[key];
    if (key >= KEY_LEFT && key <= KEY_DOWN) return &app.camera.arrow_states[key - KEY_LEFT];
    return nullptr;
}

void set_key(AppContext& app, int32_t key, uint8_t value) {
    if (uint8_t* byte = key_byte(app, key)) *byte = value;
    if (key >= 'A' && key <= 'Z') app.camera.key_states[key + 32] = value;
    if (key >= 'a' && key <= 'z') app.camera.key_states[key - 32] = value;
}

}  // namespace

int32_t app_on_pointer_motion(PlatformListener*, int32_t x, int32_t y) {
    pointer_x = x;
    pointer_y = y;
    AppContext* app = app_instance;
    if (app == nullptr) return 0;
    return root_pointer_motion(*app, x, y) ? 1 : 0;
}

int32_t app_on_mouse_button(PlatformListener*, int32_t button, int32_t state, int32_t x, int32_t y) {
    AppContext* app = app_instance;
    if (app == nullptr) return record_button(button, state, x, y, 0);
    if (button > 2) {
        if (button > 4) return record_button(button, state, x, y, 0);
        const bool handled = root_wheel(*app, x, y, button == 3 ? -1 : 1);
        return record_button(button, state, x, y, handled ? 1 : 0);
    }
    bool result = false;
    if (state == 0) {
        result = root_mouse_press(*app, x, y, button);
    } else if (state == 1) {
        result = root_mouse_release(*app, x, y, button);
    }
    if (button == 0 && state == 1 && last_button == 0 && last_button_state == 0 &&
        std::abs(x - last_button_x) <= 5 && std::abs(y - last_button_y) <= 5) {
        app->dispatch_click(x, y, 0);
    }
    return record_button(button, state, x, y, result ? 1 : 0);
}

int32_t on_pointer_enter(PlatformListener*) { return 0; }
int32_t on_focus_in(PlatformListener*) { return 0; }

void record_key_down(AppContext& app, int32_t key) { set_key(app, key, 1); }
void record_key_up(AppContext& app, int32_t key) { set_key(app, key, 0); }

int32_t dispatch_app_key_up(AppContext& app, int32_t key, int32_t modifiers) {
    if (focus_element != nullptr) return focus_element->on_key_release(key, modifiers) ? 1 : 0;
    record_key_up(app, key);
    return 0;
}

bool on_root_key_release(int32_t key, int32_t modifiers) {
    AppContext* app = app_instance;
    return app != nullptr && dispatch_app_key_up(*app, key, modifiers) != 0;
}

int32_t on_environment_tab_hover(AppContext& app, int32_t x, int32_t) {
    const int32_t count = app.entities.environment_count;
    if (count <= 1) return 1;
    const int32_t index = (x - 1) / 64;
    if (index == app.entities.hovered_environment_tab || index < 0 || index >= count) return 1;
    app.entities.hovered_environment_tab = index;
    app.environment_preview.visible = index != app.entities.environment_index;
    // Placed as the tab strip's layout places it, so it does not jump at the
    // next layout pass.
    app.environment_preview.x = app.environment_tab_strip.x + app.ui_metrics.ui_padding +
                                2 * app.ui_metrics.menu_half_width - 32 + 64 * index;
    const auto& environments = app.entities.environment_list.environment_pointers;
    if (static_cast<size_t>(index) < environments.size() && environments[static_cast<size_t>(index)] != nullptr) {
        const int32_t number = environments[static_cast<size_t>(index)]->number;
        // Sprites run 0..255; environments past that show none.
        app.environment_preview_image.sprite = number <= 255 ? 255 - number : -1;
    }
    refresh_root(app);
    return 1;
}

void on_environment_tab_click(AppContext& app) {
    const int32_t index = app.entities.hovered_environment_tab;
    if (index < 0 || index >= app.entities.environment_count || index == app.entities.environment_index) return;
    request_environment_switch(app, index);
    refresh_root(app);
}

void request_environment_switch(AppContext& app, int32_t index) {
    app.frame.needs_redraw = 1;
    app.bars.environment_switching = 1;
    refresh_root(app);
    app.bars.environment_switch_countdown = 5;
    app.bars.pending_environment = index;
}

void clear_tab_hover(AppContext& app) {
    if (app.entities.hovered_environment_tab >= 0) {
        app.entities.hovered_environment_tab = -1;
        app.environment_preview.visible = false;
        refresh_root(app);
    }
    if (app.bars.show_ll_inspector && app.bars.llmi_pick_key != '!') refresh_root(app);
}

int32_t viewport_mouse_up(AppContext& app) {
    app.camera.camera_drag.camera_drag_active = false;
    return 0;
}

void reset_pointer_routing_for_tests() {
    last_button = -1;
    last_button_state = -1;
    last_button_x = 0;
    last_button_y = 0;
}

#include "shell/app_callbacks.h"

#include "context/app_context.h"
#include "context/current_environment.h"
#include "art/art_gl.h"
#include "panes/layout/pointer_routing.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "pipeline/kernel_runs.h"
#include "platform/platform_state.h"
#include "platform/window.h"
#include "render/frame_renderer.h"
#include "render/status_line.h"
#include "shell/key_dispatch.h"
#include "ui/root_input.h"
#include "ui/ui_state.h"


namespace {

bool is_upper(int32_t k) { return k >= 'A' && k <= 'Z'; }
bool is_lower(int32_t k) { return k >= 'a' && k <= 'z'; }
bool is_arrow(int32_t k) { return k >= KEY_LEFT && k <= KEY_DOWN; }

uint8_t& latch(int32_t k) {
    return is_arrow(k) ? platform_state.arrow_key_flags[k - KEY_LEFT] : platform_state.platform_key_states[k];
}

int32_t* modifier_counter(int32_t k) {
    switch (k) {
        case KEY_ALT: return &alt_held;
        case KEY_SHIFT: return &shift_held;
        case KEY_CONTROL: return &ctrl_held;
        default: return nullptr;
    }
}

// A key event's mask says which modifiers are down now; a counter whose key
// was released while the window had no focus would otherwise stay up.
void settle_modifier_counters(int32_t modifiers) {
    if (!(modifiers & MOD_ALT)) alt_held = 0;
    if (!(modifiers & MOD_SHIFT)) shift_held = 0;
    if (!(modifiers & MOD_CONTROL)) ctrl_held = 0;
}

bool root_takes_keys(const AppContext& app) { return app.visible && app.enabled; }

}  // namespace

int32_t app_on_start(PlatformListener*) {
    start_clock_ms = now_ms();
    // From now on a kernel run keeps the window painted and can be cancelled.
    kernel_wait_pump = pump_window_while_waiting;
    return 0;
}

int32_t app_on_key_down(PlatformListener*, int32_t k, int32_t modifiers) {
    AppContext* app = app_instance;
    if (app == nullptr) return 0;
    if (int32_t* counter = modifier_counter(k)) {
        settle_modifier_counters(modifiers);
        ++*counter;
        return 0;
    }
    settle_modifier_counters(modifiers);
    if (is_upper(k) || is_lower(k)) {
        const int32_t partner = is_upper(k) ? k + 32 : k - 32;
        if (latch(partner)) {
            latch(k) = 1;
            return 0;
        }
        const bool was = latch(k) != 0;
        latch(k) = latch(partner) = 1;
        if (was) return 0;
    } else if ((k >= 0 && k <= 255) || is_arrow(k)) {
        const bool was = latch(k) != 0;
        latch(k) = 1;
        if (was) return 0;
    } else if (k < 0) {
        return 0;
    }
    if (!root_takes_keys(*app) || app->key_press_handler == nullptr) return 0;
    return app->key_press_handler(k, modifiers) ? 1 : 0;
}

int32_t app_on_key_up(PlatformListener*, int32_t k, int32_t modifiers) {
    AppContext* app = app_instance;
    if (app == nullptr) return 0;
    if (int32_t* counter = modifier_counter(k)) {
        if (*counter > 0) --*counter;
        return 0;
    }
    settle_modifier_counters(modifiers);
    bool dispatch = true;
    if (is_upper(k) || is_lower(k)) {
        const int32_t partner = is_upper(k) ? k + 32 : k - 32;
        dispatch = latch(k) || latch(partner);
        latch(k) = latch(partner) = 0;
    } else if ((k >= 0 && k <= 255) || is_arrow(k)) {
        dispatch = latch(k) != 0;
        latch(k) = 0;
    } else if (k < 0) {
        dispatch = false;
    }
    if (!dispatch) return 0;
    if (!root_takes_keys(*app) || app->key_release_handler == nullptr) return 0;
    return app->key_release_handler(k, modifiers) ? 1 : 0;
}

int32_t app_on_mouse_drag(PlatformListener*, int32_t x, int32_t y) {
    pointer_x = x;
    pointer_y = y;
    AppContext* app = app_instance;
    // Children last to first, then the root itself when it took the press.
    return app != nullptr && app->dispatch_drag(x, y, 0) ? 1 : 0;
}

int32_t app_on_resize(PlatformListener*, int32_t width, int32_t height) {
    AppContext* app = app_instance;
    if (app == nullptr || app->resize_handler == nullptr) return 0;
    return app->resize_handler(width, height) ? 1 : 0;
}

int32_t app_on_leave(PlatformListener*) {
    PlatformListener* listener = platform_state.listeners[0];
    if (listener == nullptr || listener->on_mouse_move == nullptr) return 0;
    return listener->on_mouse_move(listener, -1, -1);
}

int32_t app_on_focus_out(PlatformListener*) {
    if (AppContext* app = app_instance) {
        app->camera.key_states.fill(0);
        app->camera.arrow_states.fill(0);
        alt_held = shift_held = ctrl_held = 0;
    }
    clear_platform_key_states();
    return 0;
}

int32_t app_on_gl_init_callback(PlatformListener*) { return app_on_gl_init(); }

int32_t on_gl_draw_callback(PlatformListener*) { return on_gl_draw(); }

void bind_root_callbacks(AppContext& app) {
    if (app.key_press_handler == nullptr) app.key_press_handler = on_root_key_press;
    if (app.key_release_handler == nullptr) app.key_release_handler = on_root_key_release;
    if (app.resize_handler == nullptr) app.resize_handler = on_viewport_resized;
}

void step_ui_transition(AppContext& app) {
    auto& fade = app.status;
    if (fade.transition_direction > 0) {
        fade.transition_value += fade.transition_rate;
        if (fade.transition_value >= 1.0) {
            fade.transition_value = 1.0;
            fade.transition_direction = -1;
        }
    } else if (fade.transition_step_count <= 7) {
        ++fade.transition_step_count;
        if (fade.transition_step_count == 5 && fade.transition_callback) fade.transition_callback();
    } else {
        fade.transition_value -= fade.transition_rate;
        if (fade.transition_value <= 0.0) {
            fade.transition_value = 0.0;
            fade.transition_direction = 1;
            fade.transition_step_count = 0;
            fade.transition_callback = nullptr;
            fade.transition_active = 0;
            app.busy_mask.visible = false;
        }
    }
    app.busy_mask.opacity = fade.transition_value;
    refresh_root(app);
}

void step_busy_animation(AppContext& app) {
    if (app.status.transition_active) step_ui_transition(app);
}

void reset_app_callbacks_for_tests() {
    start_clock_ms = 0;
    alt_held = shift_held = ctrl_held = 0;
    clear_platform_key_states();
}

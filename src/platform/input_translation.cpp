#include "platform/input_translation.h"

#include <cmath>
#include <limits>

#include "platform/platform_state.h"

namespace {

// The low byte of a callback's result, as GTK's handled/not-handled answer.
int32_t low_byte(int32_t result) {
    return result & 0xFF;
}

}  // namespace

bool translate_key_value(uint32_t keyval, bool release, KeyCode& code) {
    if (keyval >= 0x20 && keyval <= 0x7E) {
        code = static_cast<KeyCode>(keyval);
        return true;
    }
    if (keyval >= 0xFFB0 && keyval <= 0xFFB9) {  // KP_0 .. KP_9
        code = static_cast<KeyCode>('0' + (keyval - 0xFFB0));
        return true;
    }
    if (keyval >= 0xFFBE && keyval <= 0xFFC9) {  // F1 .. F12
        code = static_cast<KeyCode>(KEY_F1 + (keyval - 0xFFBE));
        return true;
    }
    switch (keyval) {
    case 0xFF08: code = KEY_BACKSPACE; return true;
    case 0xFF09:                        // Tab
    case 0xFE20: code = KEY_TAB; return true;  // ISO_Left_Tab (Shift+Tab)
    case 0xFF0D:                        // Return
    case 0xFF8D: code = KEY_ENTER; return true;  // KP_Enter
    case 0xFF1B: code = KEY_ESCAPE; return true;
    case 0xFF51: code = KEY_LEFT; return true;
    case 0xFF52: code = KEY_UP; return true;
    case 0xFF53: code = KEY_RIGHT; return true;
    case 0xFF54: code = KEY_DOWN; return true;
    case 0xFFE9:
    case 0xFFEA: code = KEY_ALT; return true;
    case 0xFFE1:
    case 0xFFE2: code = KEY_SHIFT; return true;
    case 0xFFE3:
    case 0xFFE4: code = KEY_CONTROL; return true;
    default: break;
    }
    if (release) {
        return false;  // Home, End and the page keys report presses only
    }
    switch (keyval) {
    case 0xFF50: code = KEY_HOME; return true;
    case 0xFF57: code = KEY_END; return true;
    case 0xFF55: code = KEY_PAGE_UP; return true;
    case 0xFF56: code = KEY_PAGE_DOWN; return true;
    default: return false;
    }
}

KeyModifier translate_modifier_state(uint32_t state) {
    KeyModifier bits = 0;
    if (state & GDK_STATE_MOD1) bits |= MOD_ALT;
    if (state & GDK_STATE_SHIFT) bits |= MOD_SHIFT;
    if (state & GDK_STATE_CONTROL) bits |= MOD_CONTROL;
    return bits;
}

bool is_modifier_key_code(KeyCode code) {
    return code == KEY_ALT || code == KEY_SHIFT || code == KEY_CONTROL;
}

int32_t translate_button(uint32_t gdk_button) {
    return static_cast<int32_t>(gdk_button) - 1;
}

int32_t translate_scroll_direction(int32_t gdk_direction) {
    return gdk_direction + BUTTON_WHEEL_UP;
}

int32_t truncate_coordinate(double value) {
    if (std::isnan(value)) return 0;
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

bool is_drag_state(uint32_t state) {
    return (state & (GDK_STATE_BUTTON1 | GDK_STATE_BUTTON2 | GDK_STATE_BUTTON3 | GDK_STATE_BUTTON4)) != 0;
}

bool buttons_released_since(uint32_t then, uint32_t now) {
    constexpr uint32_t drag_buttons = GDK_STATE_BUTTON1 | GDK_STATE_BUTTON2 | GDK_STATE_BUTTON3 | GDK_STATE_BUTTON4;
    return (then & ~now & drag_buttons) != 0;
}

int32_t dispatch_key_event(PlatformListener* listener, uint32_t keyval, uint32_t state, bool release,
                           uint32_t hardware_keycode) {
    KeyCode* held = hardware_keycode > 0 && hardware_keycode < PLATFORM_KEY_STATE_COUNT
                        ? &platform_state.held_key_codes[hardware_keycode]
                        : nullptr;
    KeyCode code = 0;
    if (!translate_key_value(keyval, release, code)) {
        if (release && held) *held = 0;
        return 0;
    }
    if (held && *held != 0) code = *held;
    if (held) *held = release ? 0 : code;
    if (listener) {
        ListenerKey callback = release ? listener->on_key_up : listener->on_key_down;
        if (callback) {
            callback(listener, code, translate_modifier_state(state));
        }
    }
    // Modifier keys stay visible to GTK; every other translated key is ours
    // (Tab, for one, must not move GTK's focus).
    return is_modifier_key_code(code) ? 0 : 1;
}

int32_t dispatch_button_event(PlatformListener* listener, uint32_t gdk_button, bool release, double x, double y) {
    platform_state.pointer_x = truncate_coordinate(x);
    platform_state.pointer_y = truncate_coordinate(y);
    if (!listener || !listener->on_mouse_button) return 0;
    return low_byte(listener->on_mouse_button(listener, translate_button(gdk_button),
                                              release ? ACTION_RELEASE : ACTION_PRESS, truncate_coordinate(x),
                                              truncate_coordinate(y)));
}

int32_t dispatch_scroll_event(PlatformListener* listener, int32_t gdk_direction, double x, double y) {
    if (!listener || !listener->on_mouse_button) return 0;
    return low_byte(listener->on_mouse_button(listener, translate_scroll_direction(gdk_direction), ACTION_PRESS,
                                              truncate_coordinate(x), truncate_coordinate(y)));
}

int32_t dispatch_motion_event(PlatformListener* listener, uint32_t state, int32_t x, int32_t y) {
    platform_state.pointer_x = x;
    platform_state.pointer_y = y;
    if (!listener) return 0;
    ListenerPoint callback = is_drag_state(state) ? listener->on_mouse_drag : listener->on_mouse_move;
    return callback ? low_byte(callback(listener, x, y)) : 0;
}

int32_t dispatch_notify(PlatformListener* listener, ListenerNotify PlatformListener::*slot) {
    if (!listener || !(listener->*slot)) return 0;
    return low_byte((listener->*slot)(listener));
}

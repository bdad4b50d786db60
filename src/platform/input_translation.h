#pragma once
#include <cstdint>

#include "platform/keys.h"
#include "platform/platform_state.h"

// Turns GDK key values, modifier masks, button numbers and scroll directions
// into the platform's own codes and calls the listener. Pure: the GTK
// handlers unpack their events and call the dispatch functions below, so the
// whole rule set can be exercised with fabricated numbers.

// GDK's modifier and button mask bits (the GTK handlers check that these agree).
enum : uint32_t {
    GDK_STATE_SHIFT = 1u << 0,
    GDK_STATE_CONTROL = 1u << 2,
    GDK_STATE_MOD1 = 1u << 3,
    GDK_STATE_BUTTON1 = 1u << 8,
    GDK_STATE_BUTTON2 = 1u << 9,
    GDK_STATE_BUTTON3 = 1u << 10,
    GDK_STATE_BUTTON4 = 1u << 11,
    GDK_STATE_BUTTON5 = 1u << 12,
};

// The key code for a GDK key value; false when the key is not translated.
// Home, End, Page_Up and Page_Down are translated on press only.
bool translate_key_value(uint32_t keyval, bool release, KeyCode& code);

// Alt, Shift and Control bits from a GDK state mask; other bits are ignored.
KeyModifier translate_modifier_state(uint32_t state);

// Alt, Shift or Control (either side): GTK must still see these keys.
bool is_modifier_key_code(KeyCode code);

// GDK button n is reported as n - 1; scroll directions up, down, left,
// right (0..3) as the wheel buttons 3..6.
int32_t translate_button(uint32_t gdk_button);
int32_t translate_scroll_direction(int32_t gdk_direction);

// Event coordinates truncated toward zero; NaN gives 0 and values beyond
// the 32-bit range are clamped instead of overflowing.
int32_t truncate_coordinate(double value);

// True when the state holds button 1, 2, 3 or 4 (button 5 alone is a move).
bool is_drag_state(uint32_t state);
// True when a drag button (1 to 4) held in `then` is no longer held in `now`.
bool buttons_released_since(uint32_t then, uint32_t now);

// Event dispatch to a listener (null allowed). Each returns what the GTK
// handler answers: non-zero means the event was handled.
// A physical key (its hardware code, 1..255; 0 when unknown) reports every
// event of one press with the code of that press, whatever the modifiers did
// meanwhile: Shift let go before "-" must not turn the release of "_" into
// one of "-", nor Shift pressed during a hold turn auto-repeat into new keys.
int32_t dispatch_key_event(PlatformListener* listener, uint32_t keyval, uint32_t state, bool release,
                           uint32_t hardware_keycode = 0);
int32_t dispatch_button_event(PlatformListener* listener, uint32_t gdk_button, bool release, double x, double y);
int32_t dispatch_scroll_event(PlatformListener* listener, int32_t gdk_direction, double x, double y);
int32_t dispatch_motion_event(PlatformListener* listener, uint32_t state, int32_t x, int32_t y);
// For the enter, leave and focus handlers: the callback's low byte, 0 without one.
int32_t dispatch_notify(PlatformListener* listener, ListenerNotify PlatformListener::*slot);

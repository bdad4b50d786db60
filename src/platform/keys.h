#pragma once
#include <cstdint>

// The platform's own key vocabulary: printable ASCII 32..126 stand for
// themselves; everything else has a fixed code.
using KeyCode = int32_t;
enum : KeyCode {
    KEY_BACKSPACE = 8,
    KEY_TAB = 9,
    KEY_ENTER = 13,
    KEY_ESCAPE = 27,
    KEY_LEFT = 500,
    KEY_UP = 501,
    KEY_RIGHT = 502,
    KEY_DOWN = 503,
    KEY_ALT = 510,
    KEY_SHIFT = 511,
    KEY_CONTROL = 512,
    KEY_HOME = 520,
    KEY_END = 521,
    KEY_PAGE_UP = 522,
    KEY_PAGE_DOWN = 523,
    KEY_F1 = 1001,
    KEY_F12 = 1012,
};

// Modifier bits given with every key event (bit value 1 is never set).
using KeyModifier = int32_t;
enum : KeyModifier {
    MOD_ALT = 2,
    MOD_SHIFT = 4,
    MOD_CONTROL = 8,
};

// Mouse buttons as handed to listeners: 0 left, 1 middle, 2 right,
// 3..6 wheel up, down, left, right; actions 0 press, 1 release.
enum : int32_t {
    BUTTON_LEFT = 0,
    BUTTON_MIDDLE = 1,
    BUTTON_RIGHT = 2,
    BUTTON_WHEEL_UP = 3,
    BUTTON_WHEEL_DOWN = 4,
    BUTTON_WHEEL_LEFT = 5,
    BUTTON_WHEEL_RIGHT = 6,
};
enum : int32_t { ACTION_PRESS = 0, ACTION_RELEASE = 1 };

#pragma once
#include <cstdint>
#include <string>

// The window description and event callbacks an application hands to the
// window layer, and the layer's process-wide state. Nothing here needs GTK
// headers, so pure code and tests can include it.

typedef struct _GtkWidget GtkWidget;

struct PlatformListener;

using ListenerNotify = int32_t (*)(PlatformListener* listener);
using ListenerPoint = int32_t (*)(PlatformListener* listener, int32_t x, int32_t y);
using ListenerButton = int32_t (*)(PlatformListener* listener, int32_t button, int32_t action, int32_t x, int32_t y);
using ListenerKey = int32_t (*)(PlatformListener* listener, int32_t code, int32_t modifiers);
using ListenerDrop = int32_t (*)(PlatformListener* listener, int32_t x, int32_t y, const std::string& text);
using ListenerReserved = void (*)();

// Built and owned by the caller, which keeps it alive while the window
// exists; the window layer keeps only a pointer. An empty callback slot
// drops its event.
struct PlatformListener {
    int32_t argc = 0;
    char** argv = nullptr;
    int32_t width = 720;
    int32_t height = 480;
    std::string title;
    uint32_t background = 0xFF000000u;  // 0xAARRGGBB
    int32_t min_width = 0;              // 0 or less: the canvas minimum is 360 x 240
    int32_t min_height = 0;
    int32_t icon_width = 0;
    int32_t icon_height = 0;
    int32_t icon_row_length = 0;  // pixels per row; the stride is four times this
    const uint8_t* icon_pixels = nullptr;  // RGBA; copied when the window is made

    ListenerNotify on_start = nullptr;
    ListenerNotify on_gl_init = nullptr;
    ListenerReserved reserved_3 = nullptr;
    ListenerNotify on_draw = nullptr;
    ListenerNotify on_tick = nullptr;
    ListenerButton on_mouse_button = nullptr;
    ListenerPoint on_mouse_move = nullptr;
    ListenerPoint on_mouse_drag = nullptr;
    ListenerKey on_key_down = nullptr;
    ListenerKey on_key_up = nullptr;
    ListenerPoint on_resize = nullptr;
    ListenerNotify on_window_enter = nullptr;
    ListenerNotify on_window_leave = nullptr;
    ListenerNotify on_window_focus_in = nullptr;
    ListenerNotify on_window_focus_out = nullptr;
    ListenerDrop on_drop = nullptr;
    ListenerReserved reserved_17_to_33[17] = {};
};

constexpr int32_t PLATFORM_LISTENER_SLOTS = 8;
constexpr int32_t PLATFORM_KEY_STATE_COUNT = 256;

struct PlatformState {
    PlatformListener* listeners[PLATFORM_LISTENER_SLOTS] = {};
    GtkWidget* window = nullptr;
    GtkWidget* canvas = nullptr;
    bool window_ready = false;
    // Cleared when the user closes the window, and when creating it failed,
    // so that nothing waits for a window that will never be ready.
    bool alive = true;
    bool redraw_requested = true;
    bool gl_initialised = false;
    // The fixed GL state is set up once, as soon as a context can be made current.
    bool gl_state_initialised = false;
    bool fullscreen = false;
    int32_t canvas_width = 720;
    int32_t canvas_height = 480;
    // Last pointer position over the canvas (x, y from the top-left); the
    // renderer's picking reads under it. -1 before the first event.
    int32_t pointer_x = -1;
    int32_t pointer_y = -1;
    uint8_t platform_key_states[PLATFORM_KEY_STATE_COUNT] = {};
    uint8_t arrow_key_flags[4] = {};  // left, up, right, down
    // The code each physical key (by hardware code) was pressed as; 0 while up.
    int32_t held_key_codes[PLATFORM_KEY_STATE_COUNT] = {};
    int64_t last_tick_ms = 0;
    int64_t last_draw_ms = 0;
};

extern PlatformState platform_state;

// The listener that the event handlers call (entry 0), or null.
PlatformListener* active_listener();

// Stores the listener in entry `index`; an index outside 0..7 prints
// "KAVRO-8-WINDOW-MAX!" and leaves the table unchanged.
void set_platform_listener(PlatformListener* listener, int32_t index);

// Clears the 256 key states, the four arrow flags and the held physical keys.
void clear_platform_key_states();

// Restores the initial state (no window, no listeners). For tests.
void reset_platform_state_for_tests();

#pragma once
#include <cstdint>

#include "pipeline/workspace.h"

struct AppContext;
struct PlatformListener;

// The application's own listener callbacks: key latching and modifier
// counters, drags and resizes into the widget tree, focus loss, and the
// fade transition the tick steps. Each does nothing while app_instance is
// null unless it says otherwise.

int32_t app_on_start(PlatformListener* listener);
int32_t app_on_key_down(PlatformListener* listener, int32_t key, int32_t modifiers);
int32_t app_on_key_up(PlatformListener* listener, int32_t key, int32_t modifiers);
int32_t app_on_mouse_drag(PlatformListener* listener, int32_t x, int32_t y);
int32_t app_on_resize(PlatformListener* listener, int32_t width, int32_t height);
int32_t app_on_leave(PlatformListener* listener);
int32_t app_on_focus_out(PlatformListener* listener);

// Listener adapters: the art's GL initialisation, and the frame of the
// application's tree (cleared to black before the interface exists).
int32_t app_on_gl_init_callback(PlatformListener* listener);
int32_t on_gl_draw_callback(PlatformListener* listener);

// The root's key-press, key-release and resize callbacks, where the
// interface builder has not bound them.
void bind_root_callbacks(AppContext& app);

// One step of the fade transition (in 20 ticks, held 8 with the change on
// the fifth, out 20).
void step_ui_transition(AppContext& app);
// The tick's step of the busy animation: one transition step while it runs.
void step_busy_animation(AppContext& app);

// Latches, counters and the start clock back to their state at load. For
// tests.
void reset_app_callbacks_for_tests();

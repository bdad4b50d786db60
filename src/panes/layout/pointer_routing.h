#pragma once
#include <cstdint>

struct AppContext;
struct Element;
struct PlatformListener;

// Pointer and keyboard routing of the application: the listener's motion,
// button, enter and focus-in callbacks, the root's key-release callback,
// the held-key tables, the environment tab bar's hover and click, and the
// 3D view's camera drag entry points.

// The previous button event (code, 0 press / 1 release, position); a click
// needs the press to be the event just before the release.
extern int32_t last_button;
extern int32_t last_button_state;
extern int32_t last_button_x;
extern int32_t last_button_y;

int32_t app_on_pointer_motion(PlatformListener* listener, int32_t x, int32_t y);
int32_t app_on_mouse_button(PlatformListener* listener, int32_t button, int32_t state, int32_t x, int32_t y);
int32_t on_pointer_enter(PlatformListener* listener);
int32_t on_focus_in(PlatformListener* listener);

// A letter marks (or clears) both of its cases; arrows use their own bytes;
// other codes above 255 are ignored.
void record_key_down(AppContext& app, int32_t key);
void record_key_up(AppContext& app, int32_t key);

// The root's key-release callback: the focused field gets the release, else
// the key tables forget the key.
int32_t dispatch_app_key_up(AppContext& app, int32_t key, int32_t modifiers);
bool on_root_key_release(int32_t key, int32_t modifiers);

// Environment tab bar: hover shows the other environment's pop-up, a click
// requests a switch five ticks later (as the Page keys do).
int32_t on_environment_tab_hover(AppContext& app, int32_t x, int32_t y);
void on_environment_tab_click(AppContext& app);
void request_environment_switch(AppContext& app, int32_t index);
void clear_tab_hover(AppContext& app);

// The end of the 3D view's camera drag (its start and motion are with the
// camera controls).
int32_t viewport_mouse_up(AppContext& app);

void reset_pointer_routing_for_tests();

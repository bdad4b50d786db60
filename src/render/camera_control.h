#pragma once
#include <cstdint>

#include "model/camera.h"

// The three camera controllers acting on the context's live camera:
// object-orbit (0) turns and scales the scene in front of a fixed eye,
// free-roam (1) flies the eye, first-person (2) flies it at eye height.
// Pointer drags only leave a pending update; the tick's camera step applies
// it and moves the camera for held keys.

struct AppContext;
struct EntityRecord;

// One orbit zoom step out or in by the zoom rate, stopping at the distance
// limits; 1 when the distance changed, 0 at the limit.
int32_t zoom_orbit_out(AppContext& app);
int32_t zoom_orbit_in(AppContext& app);
void set_orbit_angles(AppContext& app, double x, double y, double z);

// Starts a drag at (x, y): remembers the pointer, the orbit angles, the
// forward vector and the eye, and whether shift or control is held. 1.
int32_t begin_camera_drag(AppContext& app, int32_t x, int32_t y);
// Leaves the pending update for the pointer at (x, y), measured from the
// drag's start. `source` KEY_DRAG_SOURCE marks a key-driven drag. 1.
int32_t drag_camera(AppContext& app, int32_t x, int32_t y, int32_t source);
// Applies a pending update to the camera; false when none was pending.
// `key_driven` updates never pan.
bool apply_pending_camera_update(AppContext& app, bool key_driven);

// The 3D view's camera drag: a right press starts it unless the camera is
// locked (1 when it did, else 0); motion applies it while it runs.
int32_t viewport_mouse_down(AppContext& app, int32_t x, int32_t y, int32_t button);
int32_t viewport_mouse_motion(AppContext& app, int32_t x, int32_t y, int32_t button);

// Mouse-down and drag callbacks of the viewport's input element, on the
// published context.
bool on_viewport_button_press(int32_t x, int32_t y, int32_t button);
bool on_viewport_drag(int32_t x, int32_t y, int32_t source);

// Back to the home camera (and, in object-orbit, the default orbit).
void reset_view(AppContext& app);
// Saves the live camera into the slot of the controller left and loads the
// chosen controller's slot. Nothing when `controller` is the current one.
void set_camera_controller(AppContext& app, int32_t controller);
// The camera-directive handle shows in free-roam with directives present,
// the pane when the directive bar is switched on too; both hide while the
// interface is quick-hidden without its widgets.
void update_directive_widget_visibility(AppContext& app);

// Aims the live camera at a point (scaled by the world scale when asked).
void look_at_target(AppContext& app, bool scaled, double x, double y, double z);
// Aims at the centre of the entity's bounds, transformed with the entity.
void look_at_entity(AppContext& app, const EntityRecord& entity);
// The centre of the current environment's bounds.
Vec3 environment_bounds_centre(const AppContext& app);

// Copies the camera into the viewport's current cell state (never the
// object-orbit eye and look-at, elements 0..5).
void save_cell_camera_state(AppContext& app);
// Makes the hovered cell current and loads its camera state. The variant
// without arguments acts on the published context (the viewport's
// cell-activation callback).
void activate_cell_camera_state(AppContext& app);
void activate_cell_camera_state();

// One camera step of the application tick at `now_ms`: held keys, wheel
// steps, arrow-key turns and the pending drag update. The first step only
// takes the time; a step never counts more than 100 ms, so a held key after
// a long pause does not fling the camera. Skipped while the camera is
// locked or a popup is open. A step that moves the camera marks it moving
// (the scene draws single-sampled); the first step after that moves nothing
// clears the mark and asks for a redraw, the still, multisampled frame.
void camera_tick_step(AppContext& app, int64_t now_ms);
// Forgets the time of the previous step. For tests.
void reset_camera_tick_clock();

#pragma once
#include <cstdint>

struct AppContext;

// Creates the first environment at the interface build and binds it.
void add_startup_environment(AppContext& app);

// Starts the busy fade (mask and indicator) that runs the callback at its
// midpoint; nothing while one already runs.
void start_busy_animation(AppContext& app, void (*callback)());

// "+ Environment" and the new-environment key: asks for the outgoing tab's
// thumbnail and a redraw, then, unless an interface transition already
// runs, starts one that calls add_environment halfway.
void request_new_environment(AppContext& app);

// Saves the live state, appends a new environment and makes it current:
// its index is the old count, its name the last tab label.
void add_environment(AppContext& app);

// Run by the tick once the switch countdown has run down: saves the
// outgoing environment, binds the pending one, rebuilds the tabs and loads
// its state. A pending index outside the tabs only clears the request.
void switch_to_pending_environment(AppContext& app);

// Removes the environment at a tab index (never the current one): its
// meshes' GL names are queued for deletion and its meshes and sub-element
// records freed. Tabs right of it, the current index and a pending switch
// target move one place left; a pending switch to it is dropped.
void close_environment(AppContext& app, int32_t index);
// Closes the hovered tab.
void close_marked_environment(AppContext& app);
// The close confirmation's accept: closes the tab it was opened for.
void on_confirm_close_environment(AppContext& app, int32_t index);

// Asks to close the hovered tab; the tab is kept for the answer, since the
// hover may move before OK is pressed.
void confirm_close_environment(AppContext& app);
// Bound to the close button of the hovered tab's preview.
void on_close_environment();

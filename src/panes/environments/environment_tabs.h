#pragma once

struct AppContext;

// Recreates the tab buttons from the environment names: tab i at x 64 i + 1,
// the current tab highlighted; the hover marker shows for a valid tab other
// than the current one. Ends with the change notification.
void rebuild_environment_tabs(AppContext& app);

// The change notification: needs-redraw, the redraw hook, every top-level
// pane refreshed.
void notify_environment_change(AppContext& app);

#pragma once
#include <cstdint>

struct AppContext;

// Once both paths are VALID: makes the staging directory "tmp/" when
// missing, points the file browser at the workspace, records when the
// workspace was prepared and refreshes the interface.
void prepare_workspace(AppContext& app);

// Milliseconds since the epoch when the frame loop started; every intro
// time is measured from it.
extern int64_t start_clock_ms;

// The configuration pane's confirmation: prepares the application context.
void prepare_app_workspace(AppContext& app);

#pragma once

struct AppContext;

// Once both paths are VALID: makes the staging directory "tmp/" when
// missing, points the file browser at the workspace, records when the
// workspace was prepared and refreshes the interface.
void prepare_workspace(AppContext& app);

// The configuration pane's confirmation: prepares the application context.
void prepare_app_workspace(AppContext& app);

#include "pipeline/workspace.h"

#include "context/app_context.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"

#include <cstdio>

int64_t start_clock_ms = 0;

void prepare_workspace(AppContext& app) {
    if (kernel_path_state != PATH_VALID || workspace_path_state != PATH_VALID) {
        return;
    }
    std::string staging = staging_directory();
    if (!path_exists(staging) && !ensure_directory(staging)) {
        // The workspace still counts as prepared; later kernel runs fail on
        // their staged files and say so.
        std::fputs("ERROR: unable to write to specified entity workspace.\n", stdout);
        std::fflush(stdout);
    }
    app.file_browser_state.browser_directory = workspace_path;
    app.file_browser_state.browser_highlight_refs[0] = nullptr;
    app.file_browser_state.browser_highlight_refs[1] = nullptr;
    // Seconds on the intro's clock, which starts with the frame loop.
    app.startup.workspace_prepared_at = static_cast<double>(now_ms() - start_clock_ms) / 1000.0;
    refresh_root(app);
}

void prepare_app_workspace(AppContext& app) {
    prepare_workspace(app);
}

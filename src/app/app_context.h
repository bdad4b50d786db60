#pragma once
#include <cstdint>
#include <string>

// The application's single state object. Only the members that the landed
// subsystems use are here yet; the full context replaces this record.
struct AppContext {
    // Milliseconds since the epoch when the frame loop started.
    int64_t start_clock_ms = 0;

    // Workspace preparation.
    double workspace_prepared_at = -1.0;
    std::string browser_directory;
    const void* browser_highlight_refs[2] = {nullptr, nullptr};

    // How often the whole interface was refreshed (the root container's
    // refresh arrives with the widget tree).
    int32_t interface_refresh_count = 0;
};

// Refreshes the whole interface (the root container and every child).
void refresh_interface(AppContext& app);

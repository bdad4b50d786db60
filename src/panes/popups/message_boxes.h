#pragma once
#include <string>

struct AppContext;

// The three message panes ("Info:", "Error:", "Warning:"): each shows a
// title line and a free text and never blocks the caller. A box that is
// already open is refilled. Closing goes through escape_from_popups.
void show_info_box(AppContext& app, const std::string& title, const std::string& text);
void show_error_box(AppContext& app, const std::string& title, const std::string& text);
// Also shows the message-box mask when the file browser is open, so the
// warning sits above it.
void show_warning_box(AppContext& app, const std::string& title, const std::string& text);

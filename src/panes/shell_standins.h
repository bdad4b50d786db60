#pragma once
#include <cstdint>
#include <string>

struct AppContext;
struct PlatformListener;

// Recording stand-ins for the pane operations the shell calls whose own
// code has not landed yet: file browser stepping, entity deletion and
// drops. Each appends its name (and arguments after ": ") to standin_call_log() and changes no
// state unless said; the real operations replace them one by one.

// File browser: stepping the selection.
void file_browser_select_previous(AppContext& app);
void file_browser_select_next(AppContext& app);
void file_browser_page_up(AppContext& app);
void file_browser_page_down(AppContext& app);
void file_browser_select_first(AppContext& app);
void file_browser_select_last(AppContext& app);

// Entities.
void delete_pending_entity(AppContext& app);

// The listener's drop slot.
int32_t on_drag_and_drop(PlatformListener* listener, int32_t x, int32_t y, const std::string& text);

#pragma once
#include <cstdint>
#include <string>

struct AppContext;

// Recording stand-ins for the pane operations the shell calls whose own
// code has not landed yet: dialogs, environments and tool-tips. Each appends
// its name (and arguments after ": ") to standin_call_log() and changes no
// state unless said; the real operations replace them one by one.

// Dialogs and actions.
void open_snapshot_dialog(AppContext& app);
void open_screenshot_dialog(AppContext& app);
// Runs on every tick: records nothing.
void update_tooltip_panel(AppContext& app);

// Environments and entities. The switch clears the request so the tick
// does not ask again.
void request_new_environment(AppContext& app);
void switch_to_pending_environment(AppContext& app);
void close_environment(AppContext& app, int32_t index);
void delete_pending_entity(AppContext& app);

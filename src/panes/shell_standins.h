#pragma once
#include <cstdint>
#include <string>

struct AppContext;

// Recording stand-ins for the pane operations the shell calls whose own
// code has not landed yet: entity deletion. Each appends its name (and
// arguments after ": ") to standin_call_log() and changes no state unless
// said; the real operations replace them one by one.

// Entities.
void delete_pending_entity(AppContext& app);

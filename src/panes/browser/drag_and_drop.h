#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AppContext;
struct PlatformListener;

// Scripts dropped on the window arrive as "text/uri-list" text. Each local
// "file://" line becomes a path (percent escapes decoded), is traced on
// standard output and, with drag-and-drop input enabled, queued as the
// deferred open request the tick runs five ticks later.

// The local path of one uri-list line, or false: not a "file://" line,
// another host, or an escape that decodes to NUL. "file://localhost/" is
// local; a malformed escape stays as it is.
bool dropped_line_path(const std::string& line, std::string& path);

// The listener's drop slot, on app_instance. Returns 1 when paths were
// queued; 0 when nothing was usable, there is no application yet, or
// drag-and-drop input is off (a warning box says so).
int32_t on_drag_and_drop(PlatformListener* listener, int32_t x, int32_t y, const std::string& text);

#pragma once
#include <string>

struct AppContext;
struct TraceLog;
struct UiMetrics;

// The console: one line per event in the current environment's log.

// Appends one line (never split; "time | text" when stamped and a time
// service is set) to the log's console list. False when nothing could be
// stored (a log without capacity).
bool append_console_text(TraceLog& log, const std::string& text, const std::string& stamp, const UiMetrics& metrics);

// Appends to the current environment's console; the console pane refreshes
// through the context's hook. The caller requests the redraw.
void append_console_line(AppContext& app, const std::string& text, bool stamped);

#pragma once
#include <cstdint>
#include <string>

#include "model/trace_log.h"

struct AppContext;
struct UiMetrics;

// The four trace channels (KERNEL, SCRIPT, FILE-IO, ERROR) of each
// environment's log. The panes that show them live with the panes.

// Pixel width of a line: the console metrics' advance of every byte (a
// byte beyond a short table counts 0).
int32_t trace_line_width(const UiMetrics& metrics, const std::string& line);
// Height of one console or trace line in pixels.
int32_t trace_line_height(const UiMetrics& metrics);

// Kernel output may carry NUL bytes or broken UTF-8; both would end or
// garble the text wherever it is drawn or copied. NUL becomes "?" and every
// byte of an invalid sequence becomes "?"; valid text is returned as it is.
std::string plain_trace_text(const std::string& text);

// Appends `text` to channel c of the log, split at '\n' (a one-line text is
// stored whole, with "stamp | " in front when a stamp is given). The
// capacity grows before anything is stored. An unknown channel does nothing.
void append_trace_lines(TraceLog& log, int32_t channel, const std::string& text, const std::string& stamp,
                        const UiMetrics& metrics);
// Empties channel c back to 64 empty lines.
void clear_trace_channel(TraceLog& log, int32_t channel);

// The current environment's channels; each refreshes its trace pane through
// the context's hook. None requests a redraw. Kernel and Script keep only their latest text;
// FILE-IO lines carry the local time.
void append_kernel_trace(AppContext& app, const std::string& text);
void append_script_trace(AppContext& app, const std::string& text);
void append_file_io_trace(AppContext& app, const std::string& text);
void append_error_trace(AppContext& app, const std::string& text);

// The local time text of the context's services, "" without one.
std::string local_time_stamp(const AppContext& app);

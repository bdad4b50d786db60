#include "context/console_lines.h"

#include <algorithm>

#include "context/app_context.h"
#include "context/trace_channels.h"

bool append_console_text(TraceLog& log, const std::string& raw_text, const std::string& stamp,
                         const UiMetrics& metrics) {
    if (log.console_count < 0) log.console_count = 0;
    if (log.console_count + 1 >= log.console_capacity) {
        log.console_capacity = static_cast<int32_t>(std::min<int64_t>(2 * static_cast<int64_t>(log.console_capacity), INT32_MAX));
    }
    if (log.console_lines.size() < static_cast<size_t>(std::max(log.console_capacity, 0)))
        log.console_lines.resize(static_cast<size_t>(log.console_capacity));
    bool stored = false;
    // A capacity of 0 stays 0 when doubled: there is no room, and the line
    // is dropped rather than written past the list.
    if (log.console_count + 1 < log.console_capacity) {
        const std::string text = plain_trace_text(raw_text);
        const std::string line = stamp.empty() ? text : stamp + " | " + text;
        log.console_lines[static_cast<size_t>(log.console_count)] = line;
        ++log.console_count;
        log.console_widest = std::max(log.console_widest, trace_line_width(metrics, line));
        log.console_total_height += trace_line_height(metrics);
        stored = true;
    }
    log.console_view_width = log.console_widest;
    log.console_view_height = log.console_total_height;
    log.console_view_scroll = log.console_scroll;
    return stored;
}

void append_console_line(AppContext& app, const std::string& text, bool stamped) {
    if (!app.entities.current_environment) return;
    TraceLog& log = app.entities.current_environment->trace_log;
    append_console_text(log, text, stamped ? local_time_stamp(app) : std::string(), app.ui_metrics);
    call_hook(app.hooks.refresh_console_text, app);
}

#include "context/trace_channels.h"

#include <algorithm>

#include "context/app_context.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {

constexpr int32_t kFreshCapacity = 64;

bool known_channel(int32_t channel) { return channel >= TRACE_KERNEL && channel <= TRACE_ERROR; }

// Keeps count, capacity and the line vector in step, whatever a caller left.
void grow_channel(TraceLog& log, size_t c, int64_t needed) {
    int64_t capacity = log.channel_capacity[c];
    if (needed >= capacity) {
        int64_t doubled = capacity * 2;
        capacity = doubled > needed ? doubled : 2 * needed;
        log.channel_capacity[c] = static_cast<int32_t>(std::min<int64_t>(capacity, INT32_MAX));
    }
    if (log.channel_lines[c].size() < static_cast<size_t>(log.channel_capacity[c]))
        log.channel_lines[c].resize(static_cast<size_t>(log.channel_capacity[c]));
}

void take_channel_view(TraceLog& log, size_t c) {
    if (log.selected_channel != static_cast<int32_t>(c)) return;
    log.trace_view_width = log.channel_widest[c];
    log.trace_view_height = log.channel_total_height[c];
    log.trace_view_scroll = {log.channel_scroll_x[c], log.channel_scroll_y[c]};
}

}  // namespace

std::string plain_trace_text(const std::string& text) {
    size_t i = 0;
    // Fast path: most kernel output is plain ASCII.
    while (i < text.size() && text[i] != '\0' && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    if (i == text.size()) return text;
    std::string clean = text.substr(0, i);
    while (i < text.size()) {
        if (text[i] == '\0') {
            clean += '?';
            ++i;
            continue;
        }
        const size_t length = utf8_sequence_length(text, i);
        if (length == 0) {
            clean += '?';
            ++i;
        } else {
            clean.append(text, i, length);
            i += length;
        }
    }
    return clean;
}

int32_t trace_line_width(const UiMetrics& metrics, const std::string& line) {
    const std::vector<uint32_t>& widths = metrics.pane_glyph_widths;
    int64_t width = 0;
    for (char c : line) {
        const size_t index = static_cast<unsigned char>(c);
        if (index < widths.size()) width += widths[index];
    }
    return static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX));
}

int32_t trace_line_height(const UiMetrics& metrics) { return metrics.console_line_height; }

void clear_trace_channel(TraceLog& log, int32_t channel) {
    if (!known_channel(channel)) return;
    const size_t c = static_cast<size_t>(channel);
    log.channel_capacity[c] = kFreshCapacity;
    log.channel_count[c] = 0;
    log.channel_lines[c].assign(kFreshCapacity, std::string());
    log.channel_widest[c] = 0;
    log.channel_total_height[c] = 0;
    log.channel_scroll_x[c] = 0.0;
    log.channel_scroll_y[c] = 0.0;
    take_channel_view(log, c);
}

void append_trace_lines(TraceLog& log, int32_t channel, const std::string& raw_text, const std::string& stamp,
                        const UiMetrics& metrics) {
    if (!known_channel(channel)) return;
    const size_t c = static_cast<size_t>(channel);
    const std::string text = plain_trace_text(raw_text);
    const std::vector<std::string> pieces = split(text, '\n');
    const int64_t n = static_cast<int64_t>(pieces.size());
    int32_t& count = log.channel_count[c];
    if (count < 0) count = 0;
    grow_channel(log, c, static_cast<int64_t>(count) + n);
    std::vector<std::string>& lines = log.channel_lines[c];
    const int32_t line_height = trace_line_height(metrics);

    if (n == 1) {
        const std::string line = stamp.empty() ? text : stamp + " | " + text;
        lines[static_cast<size_t>(count)] = line;
        ++count;
        log.channel_widest[c] = std::max(log.channel_widest[c], trace_line_width(metrics, line));
        log.channel_total_height[c] += line_height;
    } else {
        for (const std::string& piece : pieces) {
            lines[static_cast<size_t>(count)] = piece;
            ++count;
            log.channel_widest[c] = std::max(log.channel_widest[c], trace_line_width(metrics, piece));
            log.channel_total_height[c] += line_height;
        }
    }
    take_channel_view(log, c);
}

std::string local_time_stamp(const AppContext& app) {
    return app.services.local_time_text ? app.services.local_time_text() : std::string();
}

static void append_to_channel(AppContext& app, int32_t channel, const std::string& text, bool clear,
                              const std::string& stamp) {
    if (!app.entities.current_environment) return;
    TraceLog& log = app.entities.current_environment->trace_log;
    if (clear) clear_trace_channel(log, channel);
    append_trace_lines(log, channel, text, stamp, app.ui_metrics);
    call_hook(app.hooks.refresh_trace_pane, app, channel);
}

void append_kernel_trace(AppContext& app, const std::string& text) {
    append_to_channel(app, TRACE_KERNEL, text, true, std::string());
}

void append_script_trace(AppContext& app, const std::string& text) {
    append_to_channel(app, TRACE_SCRIPT, text, true, std::string());
}

void append_file_io_trace(AppContext& app, const std::string& text) {
    append_to_channel(app, TRACE_FILE_IO, text, false, local_time_stamp(app));
}

void append_error_trace(AppContext& app, const std::string& text) {
    append_to_channel(app, TRACE_ERROR, text, false, std::string());
}

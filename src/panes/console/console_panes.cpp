#include "panes/console/console_panes.h"

#include <algorithm>

#include "app/app_context.h"
#include "app/app_hooks.h"
#include "app/current_environment.h"
#include "model/trace_log.h"
#include "ui/element.h"
#include "ui/slider.h"

namespace {

bool known_channel(int32_t channel) { return channel >= TRACE_KERNEL && channel <= TRACE_ERROR; }

}  // namespace

void show_lines_in_element(Element& element, const std::vector<std::string>& lines, int32_t count) {
    const int32_t k = static_cast<int32_t>(std::min<int64_t>(std::max(count, 0), static_cast<int64_t>(lines.size())));
    if (k <= 1) {
        element.set_text(k == 1 ? lines[0] : std::string());
        return;
    }
    element.set_text_lines(lines, k);
}

void refresh_console_text(AppContext& app) {
    if (!app.entities.current_environment) return;
    const TraceLog& log = app.entities.current_environment->trace_log;
    Element& element = app.console_text;
    show_lines_in_element(element, log.console_lines, log.console_count);
    // The element takes its content's size, so its scroll pane shows every
    // line and scrolls over them; never less than the title it holds, which
    // would be cut off while the log is short.
    const Element& title = app.console_title;
    element.width = std::max(std::max(element.text_width, 0) + 2 * app.ui_metrics.ui_padding, title.x + title.width);
    element.height = std::max(element.text_height + 2 * app.ui_metrics.ui_padding - 4, title.y + title.height);
    app.console_scroll.relayout();
}

namespace {

// Lines held beyond each edge of the view.
constexpr int32_t kSpareLines = 8;

int32_t line_step(const Element& e) {
    const int32_t lh = e.typeface ? static_cast<int32_t>(e.typeface->line_height) : 0;
    return std::max(lh + e.line_gap, 1);
}

int32_t shown_line_count(const TraceLog& log, int32_t channel) {
    const size_t c = static_cast<size_t>(channel);
    return static_cast<int32_t>(
        std::min<int64_t>(std::max(log.channel_count[c], 0), static_cast<int64_t>(log.channel_lines[c].size())));
}

// Holds lines [first, end) in the pane's text, placed where they lie among
// all the channel's lines; the extents the pane was given for all of them
// stay.
void hold_lines(Element& pane, const std::vector<std::string>& lines, int32_t first, int32_t end) {
    const int32_t n = end - first;
    size_t bytes = 0;
    for (int32_t i = first; i < end; ++i) bytes += lines[static_cast<size_t>(i)].size() + 1;
    pane.text.clear();
    pane.text.reserve(bytes);
    pane.line_widths.assign(static_cast<size_t>(n), 0);
    for (int32_t i = first; i < end; ++i) {
        const std::string& line = lines[static_cast<size_t>(i)];
        if (i > first) pane.text += '\n';
        pane.text += line;
        int32_t w = 0;
        for (char ch : line) w += glyph_advance(pane.typeface, static_cast<unsigned char>(ch));
        pane.line_widths[static_cast<size_t>(i - first)] = w;
    }
    pane.line_count = n;
    pane.multiline = n >= 2;
    pane.text_offset_y = first * line_step(pane);
}

// Lays out the lines of the channel that its view shows at its scroll (and
// a few on either side), unless they are the ones held already. A channel
// of one line or none is shown whole by the refresh.
void hold_lines_in_view(AppContext& app, int32_t channel) {
    const TraceLog& log = app.entities.current_environment->trace_log;
    const int32_t k = shown_line_count(log, channel);
    if (k <= 1) return;
    const ScrollPane& scroll = app.trace_panes[channel];
    Element& pane = app.trace_labels[channel];
    const int32_t step = line_step(pane);
    const int64_t top = std::max<int64_t>(-static_cast<int64_t>(pane.y) - pane.padding_top, 0);
    const int64_t bottom = top + std::max(scroll.view.height, 0);
    const int32_t first = static_cast<int32_t>(std::clamp<int64_t>(top / step - kSpareLines, 0, k));
    const int32_t end = static_cast<int32_t>(std::clamp<int64_t>(bottom / step + 1 + kSpareLines, first, k));
    if (pane.text_offset_y == first * step && pane.line_count == end - first) return;
    hold_lines(pane, log.channel_lines[static_cast<size_t>(channel)], first, end);
}

// The trace panes' layout: their scroll pane has just placed the text.
template <int32_t C>
void lay_out_trace_view(int32_t, int32_t) {
    if (app_instance != nullptr && app_instance->entities.current_environment != nullptr)
        hold_lines_in_view(*app_instance, C);
}

}  // namespace

LayoutCallback trace_view_layout(int32_t channel) {
    static const LayoutCallback callbacks[4] = {lay_out_trace_view<TRACE_KERNEL>, lay_out_trace_view<TRACE_SCRIPT>,
                                                lay_out_trace_view<TRACE_FILE_IO>, lay_out_trace_view<TRACE_ERROR>};
    return known_channel(channel) ? callbacks[channel] : nullptr;
}

void refresh_trace_pane(AppContext& app, int32_t channel) {
    if (!known_channel(channel) || !app.entities.current_environment) return;
    Element& pane = app.trace_labels[channel];
    const TraceLog& log = app.entities.current_environment->trace_log;
    const std::vector<std::string>& lines = log.channel_lines[static_cast<size_t>(channel)];
    const int32_t k = shown_line_count(log, channel);
    pane.text_offset_y = 0;
    if (k <= 1) {
        pane.set_text(k == 1 ? lines[0] : std::string());
    } else {
        // Sized to all its lines, so its scroll pane scrolls over them all;
        // only those in view are laid out (a kept trace runs to 8 MiB).
        int32_t widest = 0;
        for (int32_t i = 0; i < k; ++i) {
            int32_t w = 0;
            for (char ch : lines[static_cast<size_t>(i)]) w += glyph_advance(pane.typeface, static_cast<unsigned char>(ch));
            widest = std::max(widest, w);
        }
        const int64_t height = static_cast<int64_t>(k) * line_step(pane) - pane.line_gap;
        pane.text_width = widest;
        pane.text_height = static_cast<int32_t>(std::min<int64_t>(height, INT32_MAX / 2));
        pane.text.clear();
        pane.line_count = 0;
    }
    pane.width = std::max(pane.text_width, 0) + 2 * app.ui_metrics.ui_padding;
    pane.height = pane.text_height + 2 * app.ui_metrics.ui_padding;
    app.trace_panes[channel].relayout();
    hold_lines_in_view(app, channel);
}

void install_console_pane_operations(AppHooks& hooks) {
    hooks.refresh_console_text = refresh_console_text;
    hooks.refresh_trace_pane = refresh_trace_pane;
}

#include "panes/console/console_panes.h"

#include <algorithm>

#include "context/app_context.h"
#include "context/app_hooks.h"
#include "context/current_environment.h"
#include "model/trace_log.h"
#include "text/text_utils.h"
#include "ui/element.h"
#include "ui/slider.h"

namespace {

bool known_channel(int32_t channel) { return channel >= TRACE_KERNEL && channel <= TRACE_ERROR; }

}  // namespace

void show_lines_in_element(Element& element, const std::vector<std::string>& lines, int32_t count) {
    const int32_t k = static_cast<int32_t>(std::min<int64_t>(std::max(count, 0), static_cast<int64_t>(lines.size())));
    // Measured row by row: a console line is never split, and the rows its
    // breaks make take room like any other.
    element.set_text(k == 0 ? std::string() : join_lines(lines, k));
}

void refresh_console_text(AppContext& app) {
    if (!app.entities.current_environment) return;
    const TraceLog& log = app.entities.current_environment->trace_log;
    Element& element = app.console_text;
    ScrollPane& scroll = app.console_scroll;
    // A view at the newest line (or not laid out yet, or showing every line)
    // follows the lines that arrive; one the user scrolled up stays where
    // it is.
    const int32_t view_height = scroll.view.height;
    const bool follows = view_height <= 0 || element.height <= view_height || scroll.scroll_y >= 1.0;
    const int32_t offset = element.y;
    show_lines_in_element(element, log.console_lines, log.console_count);
    // The element takes its content's size, so its scroll pane shows every
    // line and scrolls over them; never less than the title it holds, which
    // would be cut off while the log is short.
    const Element& title = app.console_title;
    element.width = std::max(std::max(element.text_width, 0) + 2 * app.ui_metrics.ui_padding, title.x + title.width);
    element.height = std::max(element.text_height + 2 * app.ui_metrics.ui_padding - 4, title.y + title.height);
    if (!follows)
        scroll.scroll_y = std::clamp(static_cast<double>(offset) / (view_height - element.height), 0.0, 1.0);
    else if (view_height <= 0 || element.height > view_height)
        scroll.scroll_y = 1.0;
    scroll.relayout();
}

namespace {

// Lines held beyond each edge of the view.
constexpr int32_t kSpareLines = 8;

int32_t line_step(const Element& e) {
    const int32_t lh = e.typeface ? static_cast<int32_t>(e.typeface->line_height) : 0;
    return std::max(lh + e.line_gap, 1);
}

// Rows a stored line takes on screen: a one-line append keeps its trailing
// break, which shows as a blank row.
int32_t rows_of(const std::string& line) {
    return 1 + static_cast<int32_t>(std::count(line.begin(), line.end(), '\n'));
}

int32_t shown_line_count(const TraceLog& log, int32_t channel) {
    const size_t c = static_cast<size_t>(channel);
    return static_cast<int32_t>(
        std::min<int64_t>(std::max(log.channel_count[c], 0), static_cast<int64_t>(log.channel_lines[c].size())));
}

// Holds lines [first, end) in the pane's text, placed where their rows
// (`first_row` on) lie among all the channel's rows; the extents the pane
// was given for all of them stay.
void hold_lines(Element& pane, const std::vector<std::string>& lines, int32_t first, int32_t end, int64_t first_row) {
    size_t bytes = 0;
    for (int32_t i = first; i < end; ++i) bytes += lines[static_cast<size_t>(i)].size() + 1;
    pane.text.clear();
    pane.text.reserve(bytes);
    pane.line_widths.assign(1, 0);
    for (int32_t i = first; i < end; ++i) {
        if (i > first) {
            pane.text += '\n';
            pane.line_widths.push_back(0);
        }
        const std::string& line = lines[static_cast<size_t>(i)];
        pane.text += line;
        for (char ch : line) {
            if (ch == '\n') pane.line_widths.push_back(0);
            else pane.line_widths.back() += glyph_advance(pane.typeface, static_cast<unsigned char>(ch));
        }
    }
    pane.line_count = static_cast<int32_t>(pane.line_widths.size());
    pane.multiline = pane.line_count >= 2;
    pane.text_offset_y = static_cast<int32_t>(std::min<int64_t>(first_row * line_step(pane), INT32_MAX / 2));
}

// Lays out the lines of the channel that its view shows at its scroll (and
// a few on either side), unless they are the ones held already. A channel
// of one line or none is shown whole by the refresh.
void hold_lines_in_view(AppContext& app, int32_t channel) {
    const TraceLog& log = app.entities.current_environment->trace_log;
    const int32_t k = shown_line_count(log, channel);
    if (k <= 1) return;
    const std::vector<std::string>& lines = log.channel_lines[static_cast<size_t>(channel)];
    const ScrollPane& scroll = app.trace_panes[channel];
    Element& pane = app.trace_labels[channel];
    const int32_t step = line_step(pane);
    const int64_t top = std::max<int64_t>(-static_cast<int64_t>(pane.y) - pane.padding_top, 0);
    const int64_t bottom = top + std::max(scroll.view.height, 0);
    const int64_t from_row = top / step - kSpareLines, to_row = bottom / step + 1 + kSpareLines;
    int32_t first = 0, end = 0;
    int64_t first_row = 0, end_row = 0;
    // The rows the refresh sized the pane for; a line a row each unless a
    // line holds a break.
    if ((static_cast<int64_t>(pane.text_height) + pane.line_gap) / step == k) {
        first = static_cast<int32_t>(std::clamp<int64_t>(from_row, 0, k));
        end = static_cast<int32_t>(std::clamp<int64_t>(to_row, first, k));
        first_row = first;
        end_row = end;
    } else {
        for (; first < k; ++first) {
            const int32_t rows = rows_of(lines[static_cast<size_t>(first)]);
            if (first_row + rows > from_row) break;
            first_row += rows;
        }
        for (end = first, end_row = first_row; end < k && end_row < to_row; ++end)
            end_row += rows_of(lines[static_cast<size_t>(end)]);
    }
    if (pane.text_offset_y == first_row * step && pane.line_count == end_row - first_row) return;
    hold_lines(pane, lines, first, end, first_row);
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
        // Every row counts, those a line's own breaks make too.
        int32_t widest = 0;
        int64_t rows = 0;
        for (int32_t i = 0; i < k; ++i) {
            int32_t w = 0;
            for (char ch : lines[static_cast<size_t>(i)]) {
                if (ch == '\n') {
                    widest = std::max(widest, w);
                    w = 0;
                    ++rows;
                } else {
                    w += glyph_advance(pane.typeface, static_cast<unsigned char>(ch));
                }
            }
            widest = std::max(widest, w);
            ++rows;
        }
        const int64_t height = rows * line_step(pane) - pane.line_gap;
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

#include "panes/console/console_panes.h"

#include <algorithm>

#include "app/app_context.h"
#include "app/app_hooks.h"
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

void refresh_trace_pane(AppContext& app, int32_t channel) {
    if (!known_channel(channel) || !app.entities.current_environment) return;
    Element& pane = app.trace_labels[channel];
    const TraceLog& log = app.entities.current_environment->trace_log;
    show_lines_in_element(pane, log.channel_lines[static_cast<size_t>(channel)],
                          log.channel_count[static_cast<size_t>(channel)]);
    // Sized to its lines, so its scroll pane shows and scrolls them.
    pane.width = std::max(pane.text_width, 0) + 2 * app.ui_metrics.ui_padding;
    pane.height = pane.text_height + 2 * app.ui_metrics.ui_padding;
    app.trace_panes[channel].relayout();
}

void install_console_pane_operations(AppHooks& hooks) {
    hooks.refresh_console_text = refresh_console_text;
    hooks.refresh_trace_pane = refresh_trace_pane;
}

#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AppContext;
struct AppHooks;
struct Element;
using LayoutCallback = void (*)(int32_t width, int32_t height);

// The console and trace panes: the text elements that show the current
// environment's console and trace channels.

// Shows the first `count` lines in a text element (one line unjoined).
void show_lines_in_element(Element& element, const std::vector<std::string>& lines, int32_t count);

// Shows the current environment's console lines in the console text
// element, sized to them.
void refresh_console_text(AppContext& app);

// Refreshes the trace pane of channel c from the current environment: the
// pane takes the size of all the channel's lines and lays out those in
// its view.
void refresh_trace_pane(AppContext& app, int32_t channel);

// The layout callback of channel c's scroll pane: after a scroll or a
// resize it lays out the lines that have come into view.
LayoutCallback trace_view_layout(int32_t channel);

// The two refreshes, as the hooks the logs call after an append.
void install_console_pane_operations(AppHooks& hooks);

#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The per-environment store of the console and the four trace channels.
// Plain data here; appending and measuring lines is in app/console_lines
// and app/trace_channels, showing them in the panes.

enum TraceChannel : int32_t { TRACE_KERNEL = 0, TRACE_SCRIPT = 1, TRACE_FILE_IO = 2, TRACE_ERROR = 3 };

struct TraceLog {
    double first_value = 0.5;
    int32_t console_view_width = 0;
    int32_t console_view_height = 0;
    int32_t trace_view_width = 0;
    int32_t trace_view_height = 0;
    std::array<double, 2> console_view_scroll = {0.0, 0.0};
    std::array<double, 2> trace_view_scroll = {0.0, 0.0};
    int32_t console_widest = 0;
    int32_t console_total_height = 0;
    std::array<double, 2> console_scroll = {0.0, 0.0};
    int32_t selected_channel = TRACE_KERNEL;
    std::array<int32_t, 4> channel_widest = {0, 0, 0, 0};
    std::array<int32_t, 4> channel_total_height = {0, 0, 0, 0};
    std::array<double, 4> channel_scroll_x = {0.0, 0.0, 0.0, 0.0};
    std::array<double, 4> channel_scroll_y = {0.0, 0.0, 0.0, 0.0};
    int32_t console_capacity = 64;
    int32_t console_count = 0;
    // Always as long as console_capacity.
    std::vector<std::string> console_lines = std::vector<std::string>(64);
    std::array<int32_t, 4> channel_capacity = {64, 64, 64, 64};
    std::array<int32_t, 4> channel_count = {0, 0, 0, 0};
    // Each as long as its channel's capacity.
    std::array<std::vector<std::string>, 4> channel_lines = {
        std::vector<std::string>(64), std::vector<std::string>(64), std::vector<std::string>(64),
        std::vector<std::string>(64)};
};

// Releases the lines (the record goes back to no capacity).
void destroy_trace_log(TraceLog& log);

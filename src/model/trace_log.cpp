#include "model/trace_log.h"

void destroy_trace_log(TraceLog& log) {
    std::vector<std::string>().swap(log.console_lines);
    log.console_capacity = 0;
    log.console_count = 0;
    for (size_t c = 0; c < 4; ++c) {
        std::vector<std::string>().swap(log.channel_lines[c]);
        log.channel_capacity[c] = 0;
        log.channel_count[c] = 0;
    }
}

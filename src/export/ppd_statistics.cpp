#include "export/ppd_statistics.h"

#include <algorithm>
#include <limits>

#include "text/text_utils.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_c_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Accumulates the digits from `i` into a magnitude; false on none, or when
// the magnitude passes `limit`. Stops at the first non-digit.
bool read_digits(const std::string& line, size_t& i, uint64_t limit, uint64_t& magnitude) {
    const size_t start = i;
    magnitude = 0;
    for (; i < line.size() && is_digit(line[i]); ++i) {
        const uint64_t digit = static_cast<uint64_t>(line[i] - '0');
        if (magnitude > (limit - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    return i > start;
}

}  // namespace

bool read_timing_line(const std::string& line, int32_t reading, int64_t& nanoseconds) {
    const uint64_t positive_limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    uint64_t magnitude = 0;
    size_t i = 0;
    if (reading == TIMING_STRICT) {
        if (line.empty()) {
            nanoseconds = 0;
            return true;
        }
        if (!read_digits(line, i, positive_limit, magnitude) || i != line.size()) return false;
        nanoseconds = static_cast<int64_t>(magnitude);
        return true;
    }

    while (i < line.size() && is_c_space(line[i])) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    if (!read_digits(line, i, positive_limit + (negative ? 1 : 0), magnitude)) return false;
    // The magnitude of the most negative value is one past the positive limit.
    nanoseconds = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

std::string format_ppd_statistics(const EntityRecord& entity, const std::vector<std::string>& lines,
                                  int32_t statement_total, int32_t first, int32_t count) {
    // Shown when no line of the range counts: the bounds of a 32-bit count.
    int64_t min_ns = std::numeric_limits<int32_t>::max();
    int64_t max_ns = std::numeric_limits<int32_t>::min();
    if (count >= 1) {
        const int64_t begin = std::max<int64_t>(first, 0);
        const int64_t end = std::min<int64_t>(static_cast<int64_t>(first) + count, static_cast<int64_t>(lines.size()));
        bool counted = false;
        for (int64_t j = begin; j < end; ++j) {
            int64_t v = 0;
            if (!read_timing_line(lines[static_cast<size_t>(j)], TIMING_STRICT, v)) continue;
            // Whole 64-bit values from the first counted line on, so that
            // statements of 2.15 s and more are not lost.
            if (!counted || v < min_ns) min_ns = v;
            if (!counted || v > max_ns) max_ns = v;
            counted = true;
        }
    }

    const double seconds = entity.assembly_seconds;
    const double script_bytes = static_cast<double>(static_cast<uint64_t>(entity.parse_record.script.size()));
    const double mesh_bytes = static_cast<double>(static_cast<int64_t>(entity.mesh_bytes));
    std::string values[6] = {
        double_to_text_fixed(static_cast<double>(entity.vertex_count) / seconds, 1),
        double_to_text_fixed(static_cast<double>(statement_total) / seconds, 1),
        double_to_text_fixed(static_cast<double>(min_ns) / 1e6, 1),
        double_to_text_fixed(static_cast<double>(max_ns) / 1e6, 1),
        double_to_text_fixed(seconds * 1000.0 / static_cast<double>(statement_total), 1),
        concat2("1:", double_to_text_fixed(mesh_bytes / script_bytes, 1)),
    };
    int32_t width = 0;
    for (const std::string& v : values) width = std::max(width, static_cast<int32_t>(v.size()));

    static const char* const labels[6] = {"  VPS      = ", "  SPS      = ", "  min_SRT  = ",
                                          "  max_SRT  = ", "  avg_SRT  = ", "  IO_ratio = "};
    static const char* const tails[6] = {
        " #   \t vertices per-second throughput\n", " #   \t statements per-second throughput\n",
        " ms  \t minimum statement runtime\n",      " ms  \t maximum statement runtime\n",
        " ms  \t average statement runtime\n",      " i:o \t input-output byte-ratio\n",
    };
    std::string block;
    block.reserve(6 * 64);
    for (int i = 0; i < 6; ++i) {
        block += labels[i];
        block += pad_left(values[i], width, ' ');
        block += tails[i];
    }
    return block;
}

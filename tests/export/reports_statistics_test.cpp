#include <gtest/gtest.h>

#include <limits>

#include "export/ppd_statistics.h"
#include "reports_support.h"

namespace {

EntityRecord sample() {
    EntityRecord e;
    set_mesh_figures(e, 100, 0, 0, 400, 500);
    e.parse_record.script = std::string(100, 's');
    return e;
}

// min_SRT and max_SRT of a block, without their padding.
std::pair<std::string, std::string> runtimes(const std::string& block) {
    const std::vector<std::string> lines = text_lines(block);
    auto value = [&](size_t i) {
        const size_t start = lines[i].find_first_not_of(' ', 13);
        return lines[i].substr(start, lines[i].find(' ', start) - start);
    };
    return {value(2), value(3)};
}

}  // namespace

TEST(PpdStatistics, ValuesShareOneColumn) {
    EXPECT_EQ(format_ppd_statistics(sample(), {"7", "120000", "300000", "9"}, 10, 1, 2),
              "  VPS      = 200.0 #   \t vertices per-second throughput\n"
              "  SPS      =  20.0 #   \t statements per-second throughput\n"
              "  min_SRT  =   0.1 ms  \t minimum statement runtime\n"
              "  max_SRT  =   0.3 ms  \t maximum statement runtime\n"
              "  avg_SRT  =  50.0 ms  \t average statement runtime\n"
              "  IO_ratio = 1:4.0 i:o \t input-output byte-ratio\n");
    // No divisor is tested: the block still has its six lines.
    const std::string block = format_ppd_statistics(EntityRecord(), {}, 0, 0, 1);
    ASSERT_EQ(text_lines(block).size(), 6u);
    EXPECT_NE(text_lines(block)[0].find("nan"), std::string::npos);
}

TEST(PpdStatistics, WhichLinesCount) {
    const EntityRecord e = sample();
    using Pair = std::pair<std::string, std::string>;
    // Blank, sign and unit leave a line out; nine digits count; empty is 0.
    EXPECT_EQ(runtimes(format_ppd_statistics(e, {" 5", "-5", "5ms", "123456789", "400000"}, 10, 0, 5)),
              Pair("0.4", "123.5"));
    EXPECT_EQ(runtimes(format_ppd_statistics(e, {"400000", ""}, 10, 0, 2)), Pair("0.0", "0.4"));
    // Past 2^31 ns still right; a digit line beyond 64 bits is left out.
    EXPECT_EQ(runtimes(format_ppd_statistics(e, {"3000000000", "99999999999999999999999"}, 10, 0, 2)),
              Pair("3000.0", "3000.0"));
    // Only lines that exist are scanned.
    EXPECT_EQ(runtimes(format_ppd_statistics(e, {"2000000", "1"}, 10, -1, 2)), Pair("2.0", "2.0"));
    // Nothing in range: the start values, padded like the others.
    for (const auto& range : {std::make_pair(0, 0), std::make_pair(5, 3), std::make_pair(-4, 2)}) {
        const std::vector<std::string> lines = text_lines(format_ppd_statistics(e, {"1", "2"}, 10, range.first,
                                                                                range.second));
        EXPECT_EQ(lines[2], "  min_SRT  =  2147.5 ms  \t minimum statement runtime");
        EXPECT_EQ(lines[3], "  max_SRT  = -2147.5 ms  \t maximum statement runtime");
    }
}

TEST(PpdStatistics, LenientTimingReading) {
    int64_t v = 0;
    const std::pair<const char*, int64_t> lenient[] = {
        {"  +42abc", 42}, {"\t-7", -7}, {"-9223372036854775808", std::numeric_limits<int64_t>::min()}};
    for (const auto& c : lenient) {
        EXPECT_TRUE(read_timing_line(c.first, TIMING_LENIENT, v)) << c.first;
        EXPECT_EQ(v, c.second);
    }
    for (const char* bad : {"", "abc", "- 5", "+", "9223372036854775808"})
        EXPECT_FALSE(read_timing_line(bad, TIMING_LENIENT, v)) << bad;
    // The strict reading is exercised through the statistics above.
    EXPECT_FALSE(read_timing_line("+1", TIMING_STRICT, v));
}

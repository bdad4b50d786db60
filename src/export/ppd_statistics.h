#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/entity.h"

// Reading the kernel's per-statement timing lines (nanoseconds, one decimal
// number per line) and the summary block of the profiling reports.

enum TimingReading : int32_t {
    // Leading white space, an optional sign, then the digits up to the first
    // other character; the rest of the line is ignored. A line without
    // digits is not a number.
    TIMING_LENIENT = 0,
    // Only an empty line (0) or a line of decimal digits counts.
    TIMING_STRICT = 1,
};

// True with the value when the line reads as a number under `reading`.
// A value beyond the signed 64-bit range never reads.
bool read_timing_line(const std::string& line, int32_t reading, int64_t& nanoseconds);

// The six-line statistics block of a profiling report: throughput, shortest,
// longest and average statement runtime over lines[first .. first+count-1]
// (lines past the end are not scanned), and the mesh-to-script byte ratio.
std::string format_ppd_statistics(const EntityRecord& entity, const std::vector<std::string>& lines,
                                  int32_t statement_total, int32_t first, int32_t count);

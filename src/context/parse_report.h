#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/parse_record.h"

// The script parsing result shown in the parse pane: one row per script and
// per parallel sub-element, built by the environment re-parse.

enum ParseReportRowKind : char { REPORT_ROW_SCRIPT = 'M', REPORT_ROW_PARALLEL = 'P', REPORT_ROW_ELEMENT = 'E' };

using SectionLines = std::array<std::vector<std::string>, SECTION_COUNT>;

struct ParseReport {
    int32_t row_count = 0;
    int32_t selected_row = 0;
    int32_t erroneous_count = 0;
    std::string title;
    // Per row, in row order.
    std::vector<char> kinds;
    std::vector<EntityParseRecord> records;
    std::vector<std::string> names;
    std::vector<SectionLines> section_lines;
    // Per row, the section view's vertical and horizontal scroll fractions
    // when another row was shown last.
    std::vector<std::array<double, 2>> saved_fractions;
};

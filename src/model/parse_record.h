#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "model/parameters.h"

// The kernel's parse report of one script, cut into its tagged sections.

enum ReportSection : int32_t {
    SECTION_DIRECTIVES = 0,
    SECTION_PARAMETERS = 1,
    SECTION_FUNCTIONS = 2,
    SECTION_OPERATIONS = 3,
    SECTION_ERRORS = 4,
    SECTION_WARNINGS = 5,
    SECTION_NOTES = 6,
    SECTION_COUNT = 7,
};

// "DIRECTIVES", "PARAMETERS", "FUNCTIONS", "OPERATIONS", "ERRORS",
// "WARNINGS", "NOTES": section names in report order.
extern const char* const report_section_names[SECTION_COUNT];

struct EntityParseRecord {
    uint8_t valid = 0;
    uint8_t is_null = 1;
    int32_t parallel = 0;
    std::string path;
    std::string script;
    ParseResult parse_result;
    std::string kernel_output;
    std::array<std::string, SECTION_COUNT> sections;
    std::array<int32_t, SECTION_COUNT> section_line_counts = {-1, -1, -1, -1, -1, -1, -1};
    std::string source;
    // Why the kernel run that should have written the report gave none
    // (pipeline/kernel_runs.h); empty when it ran and ended normally.
    std::string kernel_end;
};

// Reads a whole parse-output text. A missing or misplaced section tag never
// reads outside the text: that section is empty and an ERRORS line names it
// ("KERNEL-PARSE-OUTPUT-EMPTY;" for an empty output, else
// "MISSING-REPORT-SECTION : <NAME>;"), so callers see a syntax error.
EntityParseRecord interpret_parse_output(const std::string& path, const std::string& script,
                                         const std::string& output);

// Adds one line to the ERRORS section and counts it.
void append_parse_error(EntityParseRecord& record, const std::string& error);

EntityParseRecord entity_parse_record_copy_construct(const EntityParseRecord& source);
void entity_parse_record_assign(EntityParseRecord& target, const EntityParseRecord& source);
void destroy_entity_parse_record(EntityParseRecord& record);

// Arbitrary text as a kernel parse output (and as a PARAMETERS section):
// the record must come out complete and consistent, never read outside.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/parameters.h"
#include "model/parse_record.h"

static void require(bool condition) {
    if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);

    EntityParseRecord record = interpret_parse_output("fuzz.vrek", "", text);
    require(record.valid == 1 && record.is_null == 0);
    for (int i = 0; i < SECTION_COUNT; ++i) {
        const std::string& section = record.sections[static_cast<size_t>(i)];
        if (i != SECTION_ERRORS)
            require(record.section_line_counts[static_cast<size_t>(i)] ==
                    static_cast<int32_t>(std::count(section.begin(), section.end(), '\n')));
    }
    if (text.empty()) require(record.section_line_counts[SECTION_ERRORS] >= 1);
    append_parse_error(record, "E");
    require(record.section_line_counts[SECTION_ERRORS] >= 1);

    ParseResult result;
    const int32_t valid = build_parameter_table(text, result);
    require(result.parameter_count == static_cast<int32_t>(result.parameters.size()));
    require(valid == 0 || result.error_text.empty());
    for (const EntityParameter& p : result.parameters) {
        require(p.valid == 1 && p.type >= PARAMETER_INT && p.type <= PARAMETER_STR);
        require(p.current.type == p.type);
        typed_value_to_text(p.current);
        is_parameter_in_range(p, p.current);
        require(find_parameter_by_name(result, p.name) != nullptr);
    }
    ParseResult merged;
    std::vector<ParseResult*> parts = {&result, &record.parse_result};
    construct_merged_parse_result(merged, {"a", "b"}, parts, result.parameter_count + 1);
    for (EntityParameter* p : merged.merged_parameters) require(p != nullptr);
    for (int32_t type = 0; type <= 12; ++type) parse_typed_value(type, text);
    return 0;
}

#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Typed script parameters as the kernel reports them in the PARAMETERS
// section of a parse, and the per-parse summary that collects them.

// Codes of parameter types; only INT to STR carry values. Fields that hold a
// type are plain int32_t so that any code read from elsewhere survives.
enum ParameterType : int32_t {
    PARAMETER_INT = 0,
    PARAMETER_DBL = 1,
    PARAMETER_LNG = 2,
    PARAMETER_BLN = 3,
    PARAMETER_CHR = 4,
    PARAMETER_STR = 5,
    PARAMETER_MSH = 6,
    PARAMETER_SHP = 7,
    PARAMETER_ARY = 8,
    PARAMETER_MAP = 9,
    PARAMETER_ENM = 10,
    PARAMETER_ET = 11,
    PARAMETER_UNDEFINED = 12,
};

// "INT", "DBL", "LNG", "BLN", "CHR", "STR", "MSH", "SHP", "ARY", "MAP",
// "ENM", "ET", "UNDEFINED": the keyword of each code.
extern const char* const parameter_type_keywords[13];

// Forms of a definition text (classify_parameter_form).
enum ParameterForm : int32_t {
    PARAMETER_FORM_ASSIGN = 0,  // name = value
    PARAMETER_FORM_CALL = 1,    // name(value, lower, upper, label, ...)
    PARAMETER_FORM_BRACE = 3,   // name{...}: recognised, carries no value
    PARAMETER_FORM_NONE = 4,
};

// One typed value. The null value is type 12, zero numbers, BLN 0, CHR ' '
// and an empty STR.
struct ParameterValue {
    int32_t type = PARAMETER_UNDEFINED;
    int32_t int_value = 0;
    int64_t long_value = 0;
    double double_value = 0.0;
    uint8_t bool_value = 0;
    char char_value = ' ';
    std::string string_value;
};

struct ParseResult;

// One declared parameter.
struct EntityParameter {
    uint8_t valid = 0;
    uint8_t is_null = 1;
    int32_t serial = 0;
    // The result the parameter was built for. An identity tag only: copies
    // keep it as it is, so it may name a result that no longer exists and is
    // never dereferenced by the model.
    const ParseResult* owner = nullptr;
    std::string definition;
    int32_t type = PARAMETER_UNDEFINED;
    std::string name;
    ParameterValue current;
    ParameterValue default_value;
    ParameterValue lower;
    ParameterValue upper;
    std::string label;
    std::string extra_text;
    std::string final_text;
    uint8_t modified = 0;
    std::string value_text;
    std::string type_name;
    ParameterValue last_pushed;
};

enum ParameterTypeCountIndex : int32_t { TYPE_COUNT_INT = 0, TYPE_COUNT_DBL, TYPE_COUNT_LNG, TYPE_COUNT_BLN,
                                         TYPE_COUNT_CHR, TYPE_COUNT_STR };

// The parameters of one parse (or, merged, of the sub-elements of a
// parallel script).
struct ParseResult {
    uint8_t valid = 0;
    uint8_t is_null = 1;
    std::string text;
    std::vector<EntityParameter> parameters;
    int32_t parameter_count = 0;
    int32_t statement_count = 0;
    std::string summary;
    std::array<int32_t, 6> type_counts = {0, 0, 0, 0, 0, 0};
    std::string error_text;
    int32_t merged = 0;
    // Filled only in a merged result. The pointed-to records belong to the
    // sub-elements and must outlive the merged result.
    std::vector<std::string> element_names;
    std::vector<ParseResult*> element_results;
    std::vector<EntityParameter*> merged_parameters;
};

// Builds `result` from a PARAMETERS section text; returns 1 when the result
// is valid, else 0. Prints "!!! INVALID-PARAMETER-DEFINITION : '<line>'" for
// each rejected line.
int32_t build_parameter_table(const std::string& section_text, ParseResult& result);

// Fills `parameter` from one definition text; true when it came out valid
// (otherwise the rejection line has been printed).
bool parse_parameter_definition(EntityParameter& parameter, const std::string& text);

int32_t classify_parameter_form(const std::string& text);

// The value of a definition for the given type (the null value when the
// definition has none).
ParameterValue parse_parameter_value(const std::string& text, int32_t type);

// Argument k (from 0) of a '(' definition of a value type, provided the list
// has at least n arguments; else "". One pair of surrounding quotes goes.
std::string extract_parameter_argument(const std::string& text, int32_t type, int32_t k, int32_t n);

// Starts `result` afresh as the merge of the sub-element results, in order.
void construct_merged_parse_result(ParseResult& result, const std::vector<std::string>& element_names,
                                   const std::vector<ParseResult*>& element_results, int32_t total_parameters);
// The merging step proper, on a result that is already marked merged.
void merge_parse_results(ParseResult& result, const std::vector<std::string>& element_names,
                         const std::vector<ParseResult*>& element_results, int32_t total_parameters);

// The first of the first parameter_count parameters with exactly that name.
EntityParameter* find_parameter_by_name(ParseResult& result, const std::string& name);
const EntityParameter* find_parameter_by_name(const ParseResult& result, const std::string& name);

bool is_parameter_in_range(const EntityParameter& parameter, const ParameterValue& value);

std::string typed_value_to_text(const ParameterValue& value);

// Converts a text to a value of the given type; the result's type is 12 when
// the text does not convert. Independent of the process locale. Numbers
// follow formatted-input rules: leading blanks skipped, trailing text ignored.
ParameterValue parse_typed_value(int32_t type, const std::string& text);

// The summary line "<n> INT, <n> DBL, <n> LNG, <n> BLN, <n> CHR, <n> STR".
std::string format_parameter_summary(const std::array<int32_t, 6>& type_counts);

EntityParameter entity_parameter_copy_construct(const EntityParameter& source);
void destroy_entity_parameter(EntityParameter& parameter);
void parse_result_assign(ParseResult& target, const ParseResult& source);
void destroy_parse_result(ParseResult& result);

// Process-wide parameter serial numbers (start at 0, never go back while the
// program runs). The reset exists for tests only.
int32_t next_parameter_serial();
void reset_parameter_serial_counter();

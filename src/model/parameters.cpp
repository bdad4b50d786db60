#include "model/parameters.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "text/number_scan.h"
#include "text/split.h"
#include "text/text_utils.h"

const char* const parameter_type_keywords[13] = {"INT", "DBL", "LNG", "BLN", "CHR", "STR",      "MSH",
                                                 "SHP", "ARY", "MAP", "ENM", "ET",  "UNDEFINED"};

static std::atomic<int32_t> parameter_serial_counter{0};

int32_t next_parameter_serial() { return parameter_serial_counter.fetch_add(1); }
void reset_parameter_serial_counter() { parameter_serial_counter.store(0); }

// Numbers are scanned the way formatted input does ("%d", "%ld", "%lf"):
// leading blanks, a sign, and whatever follows the number ignored.
static bool scan_integer(const std::string& text, int32_t& value) { return scan_leading_int(text, value); }
static bool scan_integer(const std::string& text, int64_t& value) { return scan_leading_long(text, value); }
static bool scan_double(const std::string& text, double& value) { return scan_leading_double(text, value); }

ParameterValue parse_typed_value(int32_t type, const std::string& text) {
    ParameterValue value;
    switch (type) {
    case PARAMETER_INT:
        if (scan_integer(text, value.int_value)) value.type = PARAMETER_INT;
        break;
    case PARAMETER_DBL:
        if (scan_double(text, value.double_value)) value.type = PARAMETER_DBL;
        break;
    case PARAMETER_LNG:
        if (scan_integer(text, value.long_value)) value.type = PARAMETER_LNG;
        break;
    case PARAMETER_BLN:
        if (!text.empty()) {
            // A number reads as the kernel reads it: non-zero is true.
            int64_t number = 0;
            value.type = PARAMETER_BLN;
            if (text_to_long(text, number)) value.bool_value = number != 0 ? 1 : 0;
            else value.bool_value = (text[0] == 'T' || text[0] == 't') ? 1 : 0;
        }
        break;
    case PARAMETER_CHR:
        if (text.size() == 3) {
            value.type = PARAMETER_CHR;
            value.char_value = text[1];
        } else if (text.size() == 4) {
            value.type = PARAMETER_CHR;
            value.char_value = text[2];
        }
        break;
    case PARAMETER_STR:
        if (text.size() >= 2) {
            value.type = PARAMETER_STR;
            value.string_value = text.substr(1, text.size() - 2);
        }
        break;
    default:
        break;
    }
    return value;
}

std::string typed_value_to_text(const ParameterValue& value) {
    switch (value.type) {
    case PARAMETER_INT: return int_to_text(value.int_value);
    // Read back, the text gives the same double: a field left as it is, a
    // box quoting a bound and a pushed statement all hold the value itself.
    case PARAMETER_DBL: return double_to_exact_text(value.double_value);
    case PARAMETER_LNG: return long_to_text(value.long_value);
    case PARAMETER_BLN: return value.bool_value ? "true" : "false";
    case PARAMETER_CHR: return std::string(1, value.char_value);
    case PARAMETER_STR: return value.string_value;
    case PARAMETER_UNDEFINED: return "null";
    default: return "???";
    }
}

// ---------------------------------------------------------------------------
// Definition grammar.

int32_t classify_parameter_form(const std::string& text) {
    const size_t eq = text.find('=');
    const size_t paren = text.find('(');
    const size_t brace = text.find('{');
    if (eq != std::string::npos && eq < paren && eq < brace) return PARAMETER_FORM_ASSIGN;
    if (paren != std::string::npos && paren < eq && paren < brace) return PARAMETER_FORM_CALL;
    if (brace != std::string::npos && brace < paren && eq == std::string::npos) return PARAMETER_FORM_BRACE;
    return PARAMETER_FORM_NONE;
}

static bool carries_value(int32_t type) { return type >= PARAMETER_INT && type <= PARAMETER_STR; }

// The argument list of a '(' definition: the text between the first '(' and
// the last ')', cut at the commas outside literals as the kernel cuts it, so
// a quoted ',', '=', '(' or ')' stays in its argument. Empty pieces are
// skipped. False without a ')' after the '('.
static bool definition_arguments(const std::string& text, std::vector<std::string>& items) {
    const size_t open = text.find('(');
    const size_t close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close <= open) return false;
    const std::string list = text.substr(open + 1, close - open - 1);
    const std::vector<uint8_t> classes = classify_characters(list);
    size_t start = 0;
    for (size_t i = 0; i <= list.size(); ++i) {
        if (i < list.size() && (list[i] != ',' || classes[i] == CHAR_LITERAL)) continue;
        if (i > start) items.push_back(list.substr(start, i - start));
        start = i + 1;
    }
    return true;
}

ParameterValue parse_parameter_value(const std::string& text, int32_t type) {
    const int32_t form = classify_parameter_form(text);
    if (form == PARAMETER_FORM_ASSIGN) {
        // Everything after the first '=': the value may hold one itself.
        return parse_typed_value(type, trim_whitespace(text.substr(text.find('=') + 1)));
    }
    if (form == PARAMETER_FORM_CALL && carries_value(type)) {
        std::vector<std::string> items;
        if (!definition_arguments(text, items) || items.empty()) return ParameterValue();
        return parse_typed_value(type, trim_whitespace(items[0]));
    }
    return ParameterValue();
}

static bool is_quote(char c) { return c == '\'' || c == '"'; }

std::string extract_parameter_argument(const std::string& text, int32_t type, int32_t k, int32_t n) {
    if (classify_parameter_form(text) != PARAMETER_FORM_CALL || !carries_value(type)) return "";
    std::vector<std::string> items;
    if (!definition_arguments(text, items)) return "";
    if (k < 0 || n < 0 || static_cast<int64_t>(items.size()) < n || static_cast<size_t>(k) >= items.size()) return "";
    std::string item = trim_whitespace(items[static_cast<size_t>(k)]);
    // A lone quote character is not a quoted text.
    if (item.size() >= 2 && is_quote(item.front()) && is_quote(item.back())) item = item.substr(1, item.size() - 2);
    return item;
}

static int32_t keyword_type(const std::string& text) {
    const std::string head = trim_whitespace(to_upper(text.substr(0, 3)));
    for (int32_t code = PARAMETER_INT; code <= PARAMETER_ET; ++code) {
        if (head == parameter_type_keywords[code]) return code;
    }
    return PARAMETER_UNDEFINED;
}

static std::string definition_name(const std::string& text) {
    const size_t stop = text.find_first_of("(=");
    std::string head = trim_whitespace(text.substr(0, stop));
    const size_t space = head.rfind(' ');
    return space == std::string::npos ? head : head.substr(space + 1);
}

bool parse_parameter_definition(EntityParameter& parameter, const std::string& text) {
    parameter.definition = text;
    parameter.type = keyword_type(text);
    parameter.name = definition_name(text);
    parameter.current = parse_parameter_value(text, parameter.type);
    parameter.default_value = parameter.current;

    const int32_t type = parameter.type;
    if (type == PARAMETER_INT || type == PARAMETER_DBL || type == PARAMETER_LNG) {
        parameter.lower = parse_typed_value(type, extract_parameter_argument(text, type, 1, 3));
        parameter.upper = parse_typed_value(type, extract_parameter_argument(text, type, 2, 3));
        parameter.label = extract_parameter_argument(text, type, 3, 4);
        parameter.extra_text = extract_parameter_argument(text, type, 4, 5);
        parameter.final_text = extract_parameter_argument(text, type, 5, 6);
    } else if (type == PARAMETER_BLN || type == PARAMETER_CHR || type == PARAMETER_STR) {
        parameter.lower = ParameterValue();
        parameter.upper = ParameterValue();
        parameter.label = extract_parameter_argument(text, type, 1, 2);
        parameter.extra_text.clear();
        parameter.final_text = extract_parameter_argument(text, type, 2, 3);
    }
    parameter.last_pushed = parameter.current;
    if (parameter.label.empty()) parameter.label = parameter.name;

    if (type == PARAMETER_UNDEFINED || parameter.name.empty() || parameter.current.type == PARAMETER_UNDEFINED ||
        parameter.default_value.type == PARAMETER_UNDEFINED) {
        std::printf("!!! INVALID-PARAMETER-DEFINITION : '%s'\n", text.c_str());
        std::fflush(stdout);
        return false;
    }
    parameter.valid = 1;
    parameter.is_null = 0;
    parameter.value_text = typed_value_to_text(parameter.current);
    parameter.type_name = parameter_type_keywords[type];
    return true;
}

std::string format_parameter_summary(const std::array<int32_t, 6>& counts) {
    static const char* const suffixes[6] = {" INT, ", " DBL, ", " LNG, ", " BLN, ", " CHR, ", " STR"};
    std::string line;
    for (int i = 0; i < 6; ++i) {
        line += int_to_text(counts[static_cast<size_t>(i)]);
        line += suffixes[i];
    }
    return line;
}

int32_t build_parameter_table(const std::string& section_text, ParseResult& result) {
    result = ParseResult();
    result.text = section_text;
    const std::vector<std::string> lines = split_nonempty(section_text, '\n');
    for (const std::string& raw : lines) {
        // Each kernel line ends with the statement's terminator.
        const std::string line = trim_whitespace(raw.substr(0, raw.size() - 1));
        if (line.empty()) continue;
        EntityParameter parameter;
        parameter.serial = next_parameter_serial();
        parameter.owner = &result;
        if (parse_parameter_definition(parameter, line)) result.parameters.push_back(std::move(parameter));
    }
    result.parameter_count = static_cast<int32_t>(result.parameters.size());
    if (result.parameter_count >= 1) {
        for (const EntityParameter& p : result.parameters) {
            const bool bounded = p.lower.type != PARAMETER_UNDEFINED && p.upper.type != PARAMETER_UNDEFINED;
            result.statement_count += bounded ? 3 : 2;
            if (p.type >= PARAMETER_INT && p.type <= PARAMETER_STR) ++result.type_counts[static_cast<size_t>(p.type)];
        }
    }
    result.summary = format_parameter_summary(result.type_counts);
    if (result.parameter_count >= 1 && result.error_text.empty()) {
        if (static_cast<size_t>(result.parameter_count) == lines.size()) {
            result.valid = 1;
            result.is_null = 0;
            return 1;
        }
        result.error_text =
            "ERROR-INSTANTIATING-PARAMETERS : CARDINALITY-INCONSISTENCY-BETWEEN-DEFINITION-AND-RESULT\n";
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Merged results of the sub-elements of a parallel script.

void construct_merged_parse_result(ParseResult& result, const std::vector<std::string>& element_names,
                                   const std::vector<ParseResult*>& element_results, int32_t total_parameters) {
    result = ParseResult();
    result.merged = 1;
    merge_parse_results(result, element_names, element_results, total_parameters);
}

void merge_parse_results(ParseResult& result, const std::vector<std::string>& element_names,
                         const std::vector<ParseResult*>& element_results, int32_t total_parameters) {
    result.merged = 1;
    result.parameter_count = total_parameters;
    result.element_names = element_names;
    result.element_results = element_results;
    result.merged_parameters.assign(total_parameters > 0 ? static_cast<size_t>(total_parameters) : 0, nullptr);
    if (total_parameters < 1) return;

    size_t filled = 0;
    for (ParseResult* sub : element_results) {
        if (!sub) continue;
        const size_t available =
            std::min(sub->parameters.size(), static_cast<size_t>(std::max<int32_t>(sub->parameter_count, 0)));
        for (size_t i = 0; i < available && filled < result.merged_parameters.size(); ++i)
            result.merged_parameters[filled++] = &sub->parameters[i];
        result.statement_count += sub->statement_count + 1;
        for (size_t t = 0; t < 6; ++t) result.type_counts[t] += sub->type_counts[t];
        result.error_text += sub->error_text;
    }
    // A total larger than what the sub-elements hold would leave null entries
    // that every reader of the list would have to guard against.
    if (filled < result.merged_parameters.size()) {
        result.merged_parameters.resize(filled);
        result.parameter_count = static_cast<int32_t>(filled);
    }
    result.summary = format_parameter_summary(result.type_counts);
    if (result.error_text.empty()) {
        result.valid = 1;
        result.is_null = 0;
    }
}

// ---------------------------------------------------------------------------

const EntityParameter* find_parameter_by_name(const ParseResult& result, const std::string& name) {
    if (name.empty() || result.parameters.empty() || result.parameter_count < 1) return nullptr;
    const size_t n = std::min(result.parameters.size(), static_cast<size_t>(result.parameter_count));
    for (size_t i = 0; i < n; ++i) {
        if (result.parameters[i].name == name) return &result.parameters[i];
    }
    return nullptr;
}

EntityParameter* find_parameter_by_name(ParseResult& result, const std::string& name) {
    return const_cast<EntityParameter*>(find_parameter_by_name(static_cast<const ParseResult&>(result), name));
}

bool is_parameter_in_range(const EntityParameter& parameter, const ParameterValue& value) {
    switch (parameter.type) {
    case PARAMETER_INT:
        return value.int_value >= parameter.lower.int_value && value.int_value <= parameter.upper.int_value;
    case PARAMETER_LNG:
        return value.long_value >= parameter.lower.long_value && value.long_value <= parameter.upper.long_value;
    case PARAMETER_DBL:
        // NaN compares false both ways, so it is never in range.
        return value.double_value >= parameter.lower.double_value &&
               value.double_value <= parameter.upper.double_value;
    default:
        return true;
    }
}

EntityParameter entity_parameter_copy_construct(const EntityParameter& source) { return source; }

void destroy_entity_parameter(EntityParameter& parameter) { parameter = EntityParameter(); }

void parse_result_assign(ParseResult& target, const ParseResult& source) {
    if (&target != &source) target = source;
}

void destroy_parse_result(ParseResult& result) { result = ParseResult(); }

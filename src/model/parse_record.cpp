#include "model/parse_record.h"

#include <algorithm>

#include "text/text_utils.h"

const char* const report_section_names[SECTION_COUNT] = {"DIRECTIVES", "PARAMETERS", "FUNCTIONS", "OPERATIONS",
                                                         "ERRORS",     "WARNINGS",   "NOTES"};

// The text between an opening and a closing tag, less `skip` characters
// after the opening tag. False, with `text` empty, when either tag is
// missing or they leave no room for the skipped characters.
static bool extract_tagged(const std::string& output, const std::string& open, const std::string& close, size_t skip,
                           std::string& text) {
    text.clear();
    const size_t a = output.find(open);
    const size_t b = output.find(close);
    if (a == std::string::npos || b == std::string::npos) return false;
    const size_t start = a + open.size() + skip;
    if (b < start) return false;
    text = output.substr(start, b - start);
    return true;
}

static void add_counted_error(EntityParseRecord& record, const std::string& line) {
    record.sections[SECTION_ERRORS] += line;
    record.section_line_counts[SECTION_ERRORS] += 1;
}

static void check_parallel_structure(EntityParseRecord& record) {
    const std::string& directives = record.sections[SECTION_DIRECTIVES];
    if (record.section_line_counts[SECTION_DIRECTIVES] < 1 || directives.empty()) return;
    if (to_upper(directives).find("#PARALLEL;") == std::string::npos) return;
    if (record.section_line_counts[SECTION_OPERATIONS] >= 2) {
        add_counted_error(record, "SUPERFLUOUS STATEMENTS AT ROOT-OPERATIVE-SCOPE IN PARALLEL-ASSEMBLY -> "
                                  "EXPECTED SINGLE PARALLEL-RETURN STATEMENT;\n");
        return;
    }
    std::string compact;
    for (char c : record.sections[SECTION_OPERATIONS]) {
        if (c != '\t' && c != '\n' && c != ' ') compact += c;
    }
    const size_t n = compact.size();
    if (n > 8 && compact.compare(0, 7, "return{") == 0 && compact[n - 2] == '}' && compact[n - 1] == ';') {
        record.parallel = 1;
    } else {
        add_counted_error(record, "INVALID-PARALLEL-RETURN-ERROR;\n");
    }
}

EntityParseRecord interpret_parse_output(const std::string& path, const std::string& script,
                                         const std::string& output) {
    EntityParseRecord record;
    record.path = path;
    record.script = script;
    record.kernel_output = output;

    std::string missing;
    for (int32_t i = 0; i < SECTION_COUNT; ++i) {
        const std::string name = report_section_names[i];
        std::string& text = record.sections[static_cast<size_t>(i)];
        if (!extract_tagged(output, "<" + name + ">", "</" + name + ">", 1, text))
            missing += "MISSING-REPORT-SECTION : " + name + ";\n";
        record.section_line_counts[static_cast<size_t>(i)] =
            static_cast<int32_t>(std::count(text.begin(), text.end(), '\n'));
    }
    if (!extract_tagged(output, "<SOURCE>", "</SOURCE>", 0, record.source))
        missing += "MISSING-REPORT-SECTION : SOURCE;\n";

    // An output the kernel did not write in full is reported like a syntax
    // error, so that no caller goes on with a half-read script.
    if (output.empty()) {
        add_counted_error(record, "KERNEL-PARSE-OUTPUT-EMPTY;\n");
    } else if (!missing.empty()) {
        record.sections[SECTION_ERRORS] += missing;
        record.section_line_counts[SECTION_ERRORS] +=
            static_cast<int32_t>(std::count(missing.begin(), missing.end(), '\n'));
    }

    check_parallel_structure(record);
    build_parameter_table(record.sections[SECTION_PARAMETERS], record.parse_result);
    record.valid = 1;
    record.is_null = 0;
    return record;
}

void append_parse_error(EntityParseRecord& record, const std::string& error) {
    std::string& errors = record.sections[SECTION_ERRORS];
    int32_t& count = record.section_line_counts[SECTION_ERRORS];
    if (count >= 1) {
        errors += "\n";
        errors += error;
    } else {
        errors = error;
    }
    // A never-interpreted record counts -1; the appended error must still
    // make the count positive, or the error would go unnoticed.
    count = std::max<int32_t>(count, 0) + 1;
}

EntityParseRecord entity_parse_record_copy_construct(const EntityParseRecord& source) { return source; }

void entity_parse_record_assign(EntityParseRecord& target, const EntityParseRecord& source) {
    if (&target != &source) target = source;
}

void destroy_entity_parse_record(EntityParseRecord& record) { record = EntityParseRecord(); }

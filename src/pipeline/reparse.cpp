#include "pipeline/reparse.h"

#include <algorithm>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/orchestration_common.h"
#include "model/parallel_grammar.h"
#include "platform/clock.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {

const char* const kSectionHeadings[SECTION_COUNT] = {"\t Directives: [", "\t Parameters: [", "\t Functions: [",
                                                     "\t Operations: [", "\t Errors: [",     "\t Warnings: [",
                                                     "\t Notes: ["};

struct ReportRow {
    char kind;
    EntityParseRecord record;
};

SectionLines section_lines(const EntityParseRecord& record) {
    SectionLines lines;
    for (size_t s = 0; s < SECTION_COUNT; ++s) {
        const int32_t count = std::max(record.section_line_counts[s], 0);
        lines[s].push_back(concat3(kSectionHeadings[s], int_to_text(count), "]"));
        split_into(record.sections[s], '\n', lines[s]);
    }
    return lines;
}

bool erroneous(const EntityParseRecord& record) { return record.is_null || parse_error_count(record) >= 1; }

}  // namespace

void reparse_environment_entities(AppContext& app) {
    EntitySet* set = app.entities.current_entities;
    const size_t n = set ? std::min(set->records.size(), static_cast<size_t>(std::max(set->count, 0))) : 0;
    if (n == 0) {
        call_hook(app.hooks.show_warning_box, app, std::string("Warning: Nothing to Parse"),
                  std::string("Open a Vrekform script file in order to use the parse function."));
        return;
    }

    std::vector<ReportRow> rows;
    for (size_t i = 0; i < n; ++i) {
        const std::string path = set->records[i].parse_record.path;
        const int64_t start = now_ms();
        log_console(app, concat2("Re-Parsing: ", extract_file_name(path)));
        ReportRow row{REPORT_ROW_SCRIPT, parse_script_file(path)};
        // How the script's runs ended: the first abnormal ending.
        std::string kernel_end = row.record.kernel_end;
        std::vector<EntityParseRecord> elements;
        if (row.record.parallel) {
            std::vector<std::string> messages(1);
            std::vector<SubElementSource> sources = build_subelement_sources(row.record, &messages);
            extract_invocation_group_keys(sources);
            // A run that gave no report leaves each element an error of
            // its own, which the report lists.
            std::string elements_end;
            if (!sources.empty()) elements = parse_parallel_elements(sources, elements_end);
            if (kernel_end.empty()) kernel_end = elements_end;
            if (!messages[0].empty()) append_parse_error(row.record, messages[0]);
        }
        log_duration(app, start);
        route_run_traces(app, kernel_end);
        if (!elements.empty()) row.kind = REPORT_ROW_PARALLEL;
        rows.push_back(std::move(row));
        for (EntityParseRecord& element : elements) rows.push_back(ReportRow{REPORT_ROW_ELEMENT, std::move(element)});
    }

    ParseReport report;
    for (ReportRow& row : rows) {
        if (erroneous(row.record)) ++report.erroneous_count;
        report.kinds.push_back(row.kind);
        if (row.record.valid) {
            report.names.push_back(extract_file_name(row.record.path));
            report.section_lines.push_back(section_lines(row.record));
            report.records.push_back(std::move(row.record));
        } else {
            report.names.emplace_back();
            report.section_lines.emplace_back();
            report.records.emplace_back();
        }
    }
    report.row_count = static_cast<int32_t>(rows.size());
    report.selected_row = 0;
    report.title = concat2("Script Parsing Result: ", report.erroneous_count == 0 ? "Syntax-Valid" : "Erroneous-Syntax");
    app.parse_report = std::move(report);
    call_hook(app.hooks.build_parse_report_rows, app);

    call_hook(app.hooks.toggle_parse_pane, app);
}

void parse_action() {
    if (AppContext* app = app_instance) reparse_environment_entities(*app);
}

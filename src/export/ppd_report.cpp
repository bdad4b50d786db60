#include "export/ppd_report.h"

#include <algorithm>
#include <cstdio>

#include "context/keyword_tables.h"
#include "model/parallel_grammar.h"
#include "export/ppd_statistics.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {

// 64 dashes.
const char rule[] = "----------------------------------------------------------------";
// Two spaces and 62 dashes.
const char indented_rule[] = "  --------------------------------------------------------------";

// Placeholder figures: the kernel reports no per-task times yet.
const char* const task_type_table =
    "  | Key    | Time       | Ratio    | Kernel |\n"
    "  -------------------------------------------\n"
    "  | GEOM   | 9999999 ms | 100.00 % | 9999 # |\n"
    "  | TFORM  |       ? ms |    ?.? % |    3 # |\n"
    "  | CSG    |       ? ms |    ?.? % |    3 # |\n"
    "  | ITER   |       ? ms |    ?.? % |    3 # |\n"
    "  | UTIL   |       ? ms |    ?.? % |    3 # |\n"
    "  | MISC.  |       ? ms |    ?.? % |    N/A |\n";

const char* const batch_identifier_suggestions =
    "\n"
    "    // DUAL-CORE\n"
    "    return {\n"
    "      VREK(0|\"...\"),VREK(0|\"...\"),\n"
    "      VREK(1|\"...\"),VREK(1|\"...\")\n"
    "    };\n"
    "    // TRI-CORE\n"
    "    return {\n"
    "      VREK(0|\"...\"),VREK(0|\"...\"),\n"
    "      VREK(1|\"...\"),VREK(1|\"...\"),\n"
    "      VREK(2|\"...\"),VREK(2|\"...\")\n"
    "    };\n"
    "    // QUAD-CORE\n"
    "    return {\n"
    "      VREK(0|\"...\"),VREK(0|\"...\"),\n"
    "      VREK(1|\"...\"),VREK(1|\"...\"),\n"
    "      VREK(2|\"...\"),VREK(2|\"...\"),\n"
    "      VREK(3|\"...\"),VREK(3|\"...\")\n"
    "    };\n";

// Appends the text after enough fill characters to make it `width` long;
// the same as pad_left without the temporary string.
void append_padded(std::string& out, const std::string& text, int64_t width, char fill) {
    const int64_t length = static_cast<int64_t>(text.size());
    if (length < width) out.append(static_cast<size_t>(width - length), fill);
    out += text;
}

int32_t decimal_width(int64_t value) { return static_cast<int32_t>(long_to_text(value).size()); }

std::string mode_text(int32_t algorithm) {
    if (algorithm < 0 || algorithm > 2) return "?";
    return to_upper(mesh_kind_short_names[algorithm]);
}

void append_head(std::string& out, const std::string& script_path) {
    out += rule;
    out += "\nVREK:PPD\n";
    out += rule;
    out += "\n\t Assembly Overview\n";
    out += rule;
    out += "\n  [ '";
    out += extract_file_name(script_path);
    out += "' ]\n";
}

struct StatementCounts {
    int32_t directives = 0;
    int32_t parameters = 0;
    int32_t functions = 0;
    int32_t operations = 0;
    int32_t total = 0;
};

void append_input_script(std::string& out, const StatementCounts& c, uint64_t script_bytes) {
    out += indented_rule;
    out += "\n  Input-Script | Statements: " + int_to_text(c.total);
    out += "\n    \t directives: " + int_to_text(c.directives);
    out += "\n    \t parameters: " + int_to_text(c.parameters);
    out += "\n    \t functions:  " + int_to_text(c.functions);
    out += "\n    \t operations: " + int_to_text(c.operations);
    out += "\n    \t " + double_to_text_fixed(static_cast<double>(script_bytes) * 0.0009765625, 2);
    out += " kb (" + long_to_grouped_text(static_cast<int64_t>(script_bytes)) + " bytes)\n";
}

void append_run_process(std::string& out, const EntityRecord& entity, int32_t algorithm, const char* phase) {
    out += indented_rule;
    out += "\n  Run-Process | Mode: " + mode_text(algorithm);
    out += "\n    Runtime: " + double_to_text_fixed(entity.assembly_seconds, 2);
    out += " seconds (" + long_to_text(entity.assembly_ms) + " ms)\n";
    for (const char* name : {"core", "post", "io3D", "misc"}) {
        out += "    \t ";
        out += name;
        out += ": ";
        out += phase;
        out += " ms\n";
    }
}

void append_output_mesh(std::string& out, const EntityRecord& entity, const char* type) {
    out += indented_rule;
    out += "\n  Output-Mesh | Type: ";
    out += type;
    out += "\n    \t |V| = " + long_to_grouped_text(entity.vertex_count);
    out += "\n    \t |I| = " + long_to_grouped_text(entity.ngon_index_count);
    out += "\n    \t |N| = " + long_to_grouped_text(entity.polygon_count);
    out += "\n    \t |T| = " + long_to_grouped_text(entity.triangle_count);
    out += "\n    \t " + double_to_text_fixed(entity.mesh_mb, 2);
    out += " MB (" + long_to_grouped_text(static_cast<int64_t>(entity.mesh_bytes)) + " bytes)\n";
}

void append_heading(std::string& out, const char* heading) {
    out += heading;
    out += rule;
    out += "\n";
}

void append_task_types(std::string& out) {
    out += rule;
    out += "\n";
    append_heading(out, "\t Workload : Task-Type Distribution\n");
    out += task_type_table;
    out += rule;
    out += "\n";
}

// The summary block and the closing lines; the text ends with the rule.
void append_statistics_and_end(std::string& out, const std::string& statistics) {
    append_heading(out, "\t Auxiliary : Summary Statistics\n");
    out += statistics;
    out += rule;
    out += "\nEnd.\n";
    out += rule;
}

StatementCounts record_counts(const EntityParseRecord& record) {
    StatementCounts c;
    c.directives = record.section_line_counts[SECTION_DIRECTIVES];
    c.parameters = record.section_line_counts[SECTION_PARAMETERS];
    c.functions = record.section_line_counts[SECTION_FUNCTIONS];
    c.operations = record.section_line_counts[SECTION_OPERATIONS];
    return c;
}

// A 32-bit total that wraps like the record's own int32 sums would, without
// signed overflow.
int32_t wrapped(int64_t sum) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(sum))); }

void append_statement_rows(std::string& out, const std::vector<std::string>& statements,
                           const std::vector<std::string>& timings, int32_t first, int32_t count) {
    // One timing line beyond the statements' own is required; a negative
    // first line would index before the text.
    if (count < 1 || first < 0 || static_cast<int64_t>(first) + count >= static_cast<int64_t>(timings.size())) return;

    int64_t longest = 1;
    for (int32_t k = 0; k < count; ++k)
        longest = std::max<int64_t>(longest, static_cast<int64_t>(timings[static_cast<size_t>(first + k)].size()));
    const int64_t wn = std::max<int64_t>(longest, 5);
    const int64_t wm = std::max<int64_t>(longest - 4, 3);
    const int64_t ws = std::max<int64_t>(longest - 6, 4);
    const int32_t wi = decimal_width(count);

    for (int32_t k = 0; k < count; ++k) {
        const std::string& t = timings[static_cast<size_t>(first + k)];
        int64_t v = 0;
        const bool number = read_timing_line(t, TIMING_LENIENT, v);
        out += "  s";
        append_padded(out, int_to_text(k), wi, '0');
        out += " : [ ";
        append_padded(out, number ? double_to_text_fixed(static_cast<double>(v) / 1e6, 1) : "?", wm, ' ');
        out += " ms | ";
        append_padded(out, t, wn, ' ');
        out += " ns | ";
        // Seconds are cut to whole milliseconds first.
        append_padded(out, number ? double_to_text_fixed(static_cast<double>(v / 1000000) / 1000.0, 2) : "?", ws,
                      ' ');
        out += " s ] \t ";
        // More operations than statement lines: the missing ones show empty.
        if (static_cast<size_t>(k) < statements.size()) out += statements[static_cast<size_t>(k)];
        out += "\n";
    }
}

}  // namespace

std::string compose_ppd_report(const EntityRecord& entity) {
    if (!entity.mesh) return "M!";
    const InteropMesh& mesh = *entity.mesh;
    const EntityParseRecord& record = entity.parse_record;

    const std::vector<std::string> statements = split(record.sections[SECTION_OPERATIONS], '\n');
    const std::vector<std::string> timings = split(mesh.ppd_text, '\n');
    StatementCounts c = record_counts(record);
    if (static_cast<int64_t>(c.operations) > static_cast<int64_t>(statements.size())) {
        std::fputs("ERROR:OPc!=|OP|;\n", stdout);
        std::fflush(stdout);
    }
    c.total = wrapped(static_cast<int64_t>(c.directives) + c.parameters + c.functions + c.operations);

    std::string out;
    const size_t row_bound = std::min<size_t>(timings.size(), static_cast<size_t>(std::max<int32_t>(c.operations, 0)));
    out.reserve(2600 + 80 * row_bound + record.sections[SECTION_OPERATIONS].size());
    append_head(out, record.path);
    if (entity.is_element) {
        out += "    \t ordinal: " + int_to_text(mesh.element_index) + " (" +
               long_to_text(static_cast<int64_t>(mesh.element_index) + 1) + " of " + int_to_text(mesh.element_count) +
               ")\n";
        out += "    \t batch:   " + int_to_text(mesh.batch_index) + " (" +
               long_to_text(static_cast<int64_t>(mesh.batch_index) + 1) + " of " + int_to_text(mesh.batch_count) +
               ")\n";
    }
    append_input_script(out, c, static_cast<uint64_t>(record.script.size()));
    append_run_process(out, entity, mesh.algorithm, "-1");
    append_output_mesh(out, entity, entity.is_element ? "ELEMENT" : "MONOLITH");
    append_task_types(out);

    append_heading(out, "\t Workload : Per-Statement Breakdown\n");
    append_statement_rows(out, statements, timings, c.functions, c.operations);
    out += rule;
    out += "\n";
    append_heading(out, "\t Workload : Post-Execution Operations\n");
    out += "  TODO!\n";
    out += rule;
    out += "\n";

    append_statistics_and_end(out, format_ppd_statistics(entity, timings, c.total, c.functions, c.operations));
    return out;
}

std::string compose_parallel_ppd_report(const EntityRecord& entity) {
    const EntityParseRecord& record = entity.parse_record;
    const int32_t n = std::max<int32_t>(entity.subelement_count, 0);
    const int32_t wn = decimal_width(entity.subelement_count);
    // Entries the list does not hold are shown like elements without a mesh.
    auto element = [&](int32_t k) -> const EntityRecord* {
        return static_cast<size_t>(k) < entity.subelement_records.size() ? entity.subelement_records[k] : nullptr;
    };

    int64_t sums[4] = {0, 0, 0, 0};
    int64_t total = 0;
    for (int32_t k = 0; k < n; ++k) {
        const EntityRecord* e = element(k);
        if (!e) continue;
        for (int s = 0; s < 4; ++s) {
            sums[s] += e->parse_record.section_line_counts[static_cast<size_t>(s)];
            total += e->parse_record.section_line_counts[static_cast<size_t>(s)];
        }
    }
    StatementCounts c;
    c.directives = wrapped(sums[0]);
    c.parameters = wrapped(sums[1]);
    c.functions = wrapped(sums[2]);
    c.operations = wrapped(sums[3]);
    c.total = wrapped(total);

    std::string out;
    out.reserve(3600 + 96 * static_cast<size_t>(n));
    append_head(out, record.path);
    append_input_script(out, c, static_cast<uint64_t>(record.script.size()));
    append_run_process(out, entity, entity.algorithm, "?");
    append_output_mesh(out, entity, "PARALLEL");
    append_task_types(out);

    append_heading(out, "\t Workload : Per-Entity Breakdown\n");
    const int32_t vertex_width = static_cast<int32_t>(long_to_grouped_text(entity.vertex_count).size());
    for (int32_t k = 0; k < n; ++k) {
        const EntityRecord* e = element(k);
        out += "  | E";
        append_padded(out, int_to_text(k), wn, '0');
        if (e) {
            out += " | 0 ms (? %) | ";
            append_padded(out, long_to_grouped_text(e->vertex_count), vertex_width, ' ');
            out += " v (";
            const double share = static_cast<double>(e->vertex_count) / static_cast<double>(entity.vertex_count) * 100.0;
            append_padded(out, double_to_text_fixed(share, 2), 6, ' ');
            out += " %) | \t [" + extract_file_name(e->parse_record.path) + "]\n";
        } else {
            out += " | ? ms (? %) | ";
            append_padded(out, "0", 12, ' ');
            out += " v (";
            append_padded(out, "?", 6, ' ');
            out += " %) | \t null\n";
        }
    }

    out += rule;
    out += "\n";
    append_heading(out, "\t Workload : Parallel-Assembly Outline\n");
    out += "  \t executor:   0\n  \t processors: 0\n";

    out += rule;
    out += "\n";
    append_heading(out, "\t Workload : Parallel-Assembly Batching\n");
    std::vector<SubElementSource> sources = build_subelement_sources(record, nullptr, true);
    const std::vector<int32_t> keys = extract_invocation_group_keys(sources);
    const std::vector<InvocationGroup> groups = group_by_batch_key(keys, std::vector<bool>(keys.size(), true));
    std::vector<std::string> key_texts;
    int32_t key_width = 0;
    for (const std::vector<int32_t>& group : groups) {
        key_texts.push_back(int_to_text(keys[static_cast<size_t>(group.front())]));
        key_width = std::max(key_width, static_cast<int32_t>(key_texts.back().size()));
    }
    const int32_t group_width = decimal_width(static_cast<int64_t>(groups.size()));
    for (size_t g = 0; g < groups.size(); ++g) {
        out += "  | B";
        append_padded(out, long_to_text(static_cast<int64_t>(g)), group_width, '0');
        out += " | ";
        append_padded(out, key_texts[g], key_width, ' ');
        out += " \t [";
        append_padded(out, long_to_text(static_cast<int64_t>(groups[g].size())), wn, ' ');
        out += "]{ ";
        for (size_t m = 0; m < groups[g].size(); ++m) {
            if (m > 0) out += ",";
            out += sources[static_cast<size_t>(groups[g][m])][0];
        }
        out += " };\n";
    }
    out += indented_rule;
    out += "\n    ...\n";
    out += indented_rule;
    out += "\n  \t Batch-Identifier Suggestions\n";
    out += indented_rule;
    out += batch_identifier_suggestions;

    out += rule;
    out += "\n";
    append_statistics_and_end(out, format_ppd_statistics(entity, {"0"}, c.total, 0, 1));
    return out;
}

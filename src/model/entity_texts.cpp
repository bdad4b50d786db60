#include "model/entity_texts.h"

#include <algorithm>

#include "art/typeface.h"
#include "text/split.h"
#include "text/text_utils.h"

const char* const mesh_kind_names[3] = {"Pure-Union Mesh", "Basic-CSG Mesh", "Optimal-CSG Mesh"};

namespace {

std::string fixed2(double value) { return double_to_text_fixed(value, 2); }

std::string triple(const std::array<double, 3>& t, const char* a, const char* b, const char* c) {
    return concat8("[ ", a, double_to_text_fixed(t[0], 4), b, double_to_text_fixed(t[1], 4), c,
                   double_to_text_fixed(t[2], 4), " ]");
}

std::string kind_name(int32_t algorithm) { return algorithm >= 0 && algorithm <= 2 ? mesh_kind_names[algorithm] : "?"; }

std::string timing(const EntityRecord& entity) {
    return concat4(fixed2(entity.assembly_seconds), " seconds (", long_to_text(entity.assembly_ms), " ms)");
}

int32_t subelement_lines(const EntityRecord& entity) { return std::max<int32_t>(entity.subelement_count, 0); }

const EntityRecord* subelement(const EntityRecord& entity, int32_t k) {
    return static_cast<size_t>(k) < entity.subelement_records.size() ? entity.subelement_records[k] : nullptr;
}

// A mesh with two components per vertex leaves the third component of its
// bounds unset; such entities show z and depth as 0.
bool is_planar(const EntityRecord& entity) {
    if (entity.parallel != 1) return entity.mesh && entity.mesh->dimension == 2;
    bool any = false;
    for (int32_t k = 0; k < subelement_lines(entity); ++k) {
        const EntityRecord* e = subelement(entity, k);
        if (!e || !e->mesh) continue;
        if (e->mesh->dimension != 2) return false;
        any = true;
    }
    return any;
}

void append_output_block(std::vector<std::string>& lines, const EntityRecord& entity) {
    std::array<std::array<double, 3>, 5> b = entity.bounds;
    if (is_planar(entity)) {
        for (auto& row : b) row[2] = 0.0;
    }
    lines.push_back(concat7("\t Size: ", fixed2(entity.mesh_mb), " MB (", fixed2(entity.mesh_kb), " kb | ",
                            long_to_grouped_text(static_cast<int64_t>(entity.mesh_bytes)), " bytes)"));
    lines.push_back("\t Vertex: " + long_to_grouped_text(entity.vertex_count));
    lines.push_back(concat4("\t Indices: ", long_to_grouped_text(entity.ngon_index_count), " \t ",
                            long_to_grouped_text(entity.triangle_index_count)));
    lines.push_back(concat5("\t Polygons: ", long_to_grouped_text(entity.polygon_count), " (",
                            long_to_grouped_text(entity.triangle_count), " as triangles)"));
    lines.push_back("\t AABB-Extent: " + triple(b[BOUNDS_EXTENT], "width:", ", height:", ", depth:"));
    lines.push_back("\t AABB-Minimum: " + triple(b[BOUNDS_MIN], "x:", ", y:", ", z:"));
    lines.push_back("\t AABB-Maximum: " + triple(b[BOUNDS_MAX], "x:", ", y:", ", z:"));
    lines.push_back("\t AABB-Center: " + triple(b[BOUNDS_CENTRE], "x:", ", y:", ", z:"));
    lines.push_back("\t Geometric-Mean: " + triple(b[BOUNDS_MEAN], "x:", ", y:", ", z:"));
    lines.push_back(std::string("\t Non-Planar Gouraud-Shading Smoothing-Groups Defined: ") +
                    (entity.smoothing_groups_defined ? "true" : "false"));
}

std::string element_line(const EntityRecord& entity, const EntityRecord* e) {
    if (!e) return "\t [!] : |V|=? | ? ms (NULL)";
    const double vertex_share = static_cast<double>(e->vertex_count) / static_cast<double>(entity.vertex_count) * 100.0;
    const double time_share = static_cast<double>(e->assembly_ms) / static_cast<double>(entity.assembly_ms) * 100.0;
    // A run that assembles several elements at once (a batch, the single
    // run) times none of them: such an element's time is unknown. An entity
    // timed at 0 ms gives no share to divide by.
    const bool timed = e->assembly_ms >= 0;
    const bool shared = timed && entity.assembly_ms > 0;
    return concat11("\t [", e->mesh ? e->mesh->element_invocation : std::string(), "] : |V| ",
                    int_to_text(e->vertex_count), " (", fixed2(vertex_share), "%) | ",
                    timed ? long_to_text(e->assembly_ms) : std::string("?"), " ms (",
                    shared ? fixed2(time_share) : std::string("?"), "%)");
}

}  // namespace

std::string join_statement_sections(const EntityParseRecord& record) {
    const std::string& d = record.sections[SECTION_DIRECTIVES];
    const std::string& p = record.sections[SECTION_PARAMETERS];
    const std::string& f = record.sections[SECTION_FUNCTIONS];
    const std::string& o = record.sections[SECTION_OPERATIONS];
    std::string text;
    text.reserve(d.size() + p.size() + f.size() + o.size() + 3);
    text += d;
    text += '\n';
    text += p;
    text += '\n';
    text += f;
    text += '\n';
    text += o;
    return text;
}

void set_entity_summary_values(EntityRecord& entity) {
    const std::string& path = entity.parse_record.path;
    const double script_kb = static_cast<double>(static_cast<uint64_t>(entity.parse_record.script.size())) / 1024.0;
    std::vector<std::string> lines(3);
    lines[0] = extract_file_name(path);
    lines[1] = concat8(long_to_grouped_text(entity.vertex_count), " vertex | ", long_to_grouped_text(entity.polygon_count),
                       " polygons \t ", long_to_grouped_text(entity.triangle_count), " triangles | ",
                       fixed2(entity.assembly_seconds), " seconds");
    lines[2] = concat7(fixed2(script_kb), " kb (script) | ", fixed2(entity.mesh_kb), " kb (mesh) | path: ", "\"",
                       extract_directory(path), "\"");

    int64_t widest = 0;
    for (const std::string& line : lines) {
        int64_t width = 0;
        for (char c : line) width += glyph_width_tables[3][static_cast<unsigned char>(c)];
        widest = std::max(widest, width);
    }
    entity.summary_lines = std::move(lines);
    entity.summary_width = static_cast<int32_t>(std::min<int64_t>(widest, INT32_MAX));
}

void format_entity_information(EntityRecord& entity) {
    const bool parallel = entity.parallel == 1;
    const std::string& path = entity.parse_record.path;
    const int32_t n = parallel ? subelement_lines(entity) : 0;
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(31 + n));

    lines.resize(2);
    lines.push_back("\t Name: " + extract_file_name(path));
    lines.push_back("\t Path: " + extract_directory(path));
    lines.push_back(concat3("\t Size: ",
                            long_to_grouped_text(static_cast<int64_t>(entity.parse_record.script.size())), " bytes"));
    lines.push_back(parallel ? "\t Type: PARALLEL" : "\t Type: MONOLITH");
    lines.resize(lines.size() + 3);
    lines.push_back("\t Entity-Parameters: " + int_to_text(entity.parse_result.parameter_count));
    if (parallel) {
        lines.push_back("\t Root-Execution-Mode: " + kind_name(entity.algorithm));
        lines.push_back("\t Root-Execution-Time: " + timing(entity));
        lines.push_back("\t Element-Count: " + int_to_text(entity.subelement_count));
        lines.resize(lines.size() + 3);
        for (int32_t k = 0; k < n; ++k) lines.push_back(element_line(entity, subelement(entity, k)));
    } else {
        lines.push_back("\t Execution-Mode: " + (entity.mesh ? kind_name(entity.mesh->algorithm) : std::string("?")));
        lines.push_back("\t Execution-Time: " + timing(entity));
    }
    lines.resize(lines.size() + 3);
    append_output_block(lines, entity);
    lines.resize(lines.size() + 2);
    entity.information_lines = std::move(lines);
}

void set_entity_information_headings(EntityRecord& entity) {
    if (entity.parallel != 1) {
        entity.heading_text =
            "Input-Script\n\n\n\n\n\n\nKernel-Process\n\n\n\n\n\nOutput-Mesh\n\n\n\n\n\n\n\n\n\n\n\n\nRuntime-Properties";
        return;
    }
    std::string text = "Input-Script\n\n\n\n\n\n\nKernel-Process\n\n\n\n\n\n\nParallel-Elements\n\n";
    text.append(static_cast<size_t>(subelement_lines(entity)), '\n');
    text += "\nOutput-Mesh\n\n\n\n\n\n\n\n\n\n\n\n\nRuntime-Properties";
    entity.heading_text = std::move(text);
}

#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/entity.h"

// Records built field by field as the pipeline leaves them after an
// assembly; the fixture owns the meshes and element records they point at.
struct ReportFixture {
    std::vector<std::unique_ptr<InteropMesh>> meshes;
    std::vector<std::unique_ptr<EntityRecord>> elements;

    InteropMesh* new_mesh(int32_t algorithm) {
        meshes.push_back(std::make_unique<InteropMesh>());
        meshes.back()->dimension = 3;
        meshes.back()->algorithm = algorithm;
        return meshes.back().get();
    }
    EntityRecord* new_element() {
        elements.push_back(std::make_unique<EntityRecord>());
        elements.back()->mesh = new_mesh(MESH_OPTIMAL_CSG);
        return elements.back().get();
    }
};

// Sections with the line counts the parse would give them.
inline void set_sections(EntityParseRecord& r, const std::vector<std::string>& texts) {
    for (size_t s = 0; s < 4; ++s) {
        r.sections[s] = texts[s];
        int32_t lines = texts[s].empty() ? 0 : 1;
        for (char c : texts[s]) lines += c == '\n';
        r.section_line_counts[s] = lines;
    }
}

inline void set_mesh_figures(EntityRecord& e, int32_t vertices, int32_t polygons, int32_t triangles, uint64_t bytes,
                             int64_t ms) {
    e.vertex_count = vertices;
    e.polygon_count = polygons;
    e.polygon_list_length = 5 * polygons;
    e.triangle_count = triangles;
    e.triangle_index_count = 3 * triangles;
    e.mesh_bytes = bytes;
    e.mesh_kb = static_cast<double>(bytes) / 1024.0;
    e.mesh_mb = static_cast<double>(bytes) / 1048576.0;
    e.assembly_ms = ms;
    e.assembly_seconds = static_cast<double>(ms) / 1000.0;
}

inline std::vector<std::string> text_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline std::string read_fixture(const std::string& name) {
    const char* root = std::getenv("VK_SOURCE_DIR");
    std::ifstream in(std::string(root ? root : ".") + "/tests/export/reports_fixtures/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

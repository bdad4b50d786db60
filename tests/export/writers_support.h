#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/entity.h"
#include "model/environment.h"

// Scenes for the mesh writers: the scene owns the meshes and sub-element
// records that its set points at.
struct WriterScene {
    std::deque<InteropMesh> meshes;
    std::deque<EntityRecord> elements;
    EntitySet set;
};

inline std::vector<uint32_t> polygon_list(const std::vector<std::vector<uint32_t>>& polygons) {
    std::vector<uint32_t> list{static_cast<uint32_t>(polygons.size())};
    for (const auto& p : polygons) list.push_back(static_cast<uint32_t>(p.size()));
    for (const auto& p : polygons) list.insert(list.end(), p.begin(), p.end());
    return list;
}

inline InteropMesh& scene_mesh(WriterScene& s, std::vector<double> positions,
                               const std::vector<std::vector<uint32_t>>& polygons = {},
                               std::vector<uint32_t> triangles = {}) {
    InteropMesh& m = s.meshes.emplace_back();
    m.dimension = 3;
    m.positions = std::move(positions);
    if (!polygons.empty()) m.polygons = polygon_list(polygons);
    m.triangles = std::move(triangles);
    return m;
}

// A visible entity holding the mesh (null: none).
inline EntityRecord& scene_entity(WriterScene& s, InteropMesh* mesh) {
    EntityRecord& e = s.set.records.emplace_back(entity_construct(false));
    if (mesh) entity_attach_mesh(e, mesh);
    s.set.count = static_cast<int32_t>(s.set.records.size());
    return e;
}

// A visible parallel entity; a null mesh leaves its slot empty.
inline EntityRecord& scene_parallel_entity(WriterScene& s, const std::vector<InteropMesh*>& meshes) {
    std::vector<EntityRecord*> slots;
    for (InteropMesh* mesh : meshes) {
        EntityRecord* sub = nullptr;
        if (mesh) {
            sub = &s.elements.emplace_back(entity_construct(false));
            entity_attach_mesh(*sub, mesh);
        }
        slots.push_back(sub);
    }
    EntityRecord& e = s.set.records.emplace_back(entity_construct(true));
    e.subelement_records = slots;
    e.subelement_count = static_cast<int32_t>(slots.size());
    s.set.count = static_cast<int32_t>(s.set.records.size());
    return e;
}

inline std::string writers_test_dir() {
    std::string dir = "/tmp/vk_writers_XXXXXX";
    const char* binary = getenv("VK_BINARY_DIR");
    if (binary && *binary) {
        const std::string out = std::string(binary) + "/test-output";
        if (system(("mkdir -p '" + out + "'").c_str()) == 0) dir = out + "/vk_writers_XXXXXX";
    }
    return mkdtemp(&dir[0]) ? dir : "/tmp";
}

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> text_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A little-endian value of the file, whatever the host's byte order.
template <typename T>
T load_le(const std::string& bytes, size_t at) {
    uint64_t bits = 0;
    for (size_t k = sizeof(T); k-- > 0;) bits = bits << 8 | static_cast<uint8_t>(bytes.at(at + k));
    T value;
    if constexpr (sizeof(T) == 8) {
        std::memcpy(&value, &bits, 8);
    } else {
        const auto narrow = static_cast<std::conditional_t<sizeof(T) == 4, uint32_t, uint16_t>>(bits);
        std::memcpy(&value, &narrow, sizeof(T));
    }
    return value;
}

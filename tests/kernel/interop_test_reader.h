// A small reader of interop files for the kernel's tests, written from the
// file layout independently of the writer, so the two check each other.
#pragma once

#include "interop/interop_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>


struct ReadCursor {
    const std::string& bytes;
    size_t pos = 0;
    bool overrun = false;
    template <typename T>
    T get() {
        T v{};
        if (pos + sizeof(T) > bytes.size()) {
            overrun = true;
            pos = bytes.size();
            return v;
        }
        std::memcpy(&v, bytes.data() + pos, sizeof(T));
        pos += sizeof(T);
        return v;
    }
    template <typename T>
    std::vector<T> many(int64_t n) {
        std::vector<T> out;
        for (int64_t i = 0; i < n; ++i) out.push_back(get<T>());
        return out;
    }
};

struct ReadTable {
    int32_t rows = 0;
    std::vector<uint32_t> values, sizes;
    std::vector<uint16_t> entries;
};

struct ReadEntry {
    std::array<int32_t, 36> h{};
    std::vector<double> positions, normals, palette, bounds;
    std::vector<uint32_t> polygons, triangles, colour_indices;
    std::vector<uint32_t> polygon_edges, triangle_edges, group_edges;
    std::vector<int32_t> face_ids, group_ids, user_types, operand_ids, triangle_polygons, spare;
    std::vector<uint8_t> sign_flags;
    std::vector<float> shading;
    ReadTable tables[4];
    std::string ppd;
    std::vector<int32_t> name_lengths, name_offsets;
    std::string names;
};

inline std::vector<uint32_t> read_indices(ReadCursor& c, int64_t n, bool wide) {
    std::vector<uint32_t> out;
    for (int64_t i = 0; i < n; ++i) out.push_back(wide ? c.get<uint32_t>() : c.get<uint16_t>());
    return out;
}

inline std::vector<ReadEntry> read_file_bytes(const std::string& bytes, size_t* end = nullptr) {
    ReadCursor c{bytes};
    int32_t count = c.get<int32_t>();
    std::vector<ReadEntry> out;
    for (int32_t e = 0; e < count && !c.overrun; ++e) {
        ReadEntry r;
        for (auto& w : r.h) w = c.get<int32_t>();
        const auto& h = r.h;
        const bool wide = h[17] > 0;
        r.positions = c.many<double>(h[0]);
        r.polygons = read_indices(c, h[1], wide);
        r.normals = c.many<double>(h[4]);
        r.palette = c.many<double>(h[5]);
        if (h[5] > 0) {
            int64_t n = h[0] / h[3];
            for (int64_t i = 0; i < n; ++i) {
                if (h[5] <= 1023)
                    r.colour_indices.push_back(c.get<uint8_t>());
                else if (h[5] <= 262143)
                    r.colour_indices.push_back(c.get<uint16_t>());
                else
                    r.colour_indices.push_back(c.get<uint32_t>());
            }
        }
        r.bounds = c.many<double>(h[6]);
        r.face_ids = c.many<int32_t>(h[7]);
        r.group_ids = c.many<int32_t>(h[8]);
        r.user_types = c.many<int32_t>(h[9]);
        r.operand_ids = c.many<int32_t>(h[10]);
        r.triangles = read_indices(c, h[11], wide);
        r.sign_flags = c.many<uint8_t>(h[12]);
        r.triangle_polygons = c.many<int32_t>(h[13]);
        r.polygon_edges = read_indices(c, h[14], wide);
        r.triangle_edges = read_indices(c, h[15], wide);
        r.group_edges = read_indices(c, h[16], wide);
        for (int t = 0; t < 4; ++t) {
            auto& tb = r.tables[t];
            tb.rows = h[17 + 3 * t];
            tb.values = c.many<uint32_t>(h[18 + 3 * t]);
            if (h[19 + 3 * t] > 0) {
                tb.sizes = c.many<uint32_t>(int64_t(tb.rows) + 1);
                tb.entries = c.many<uint16_t>(h[19 + 3 * t]);
            }
        }
        r.spare = c.many<int32_t>(h[30]);
        r.shading = c.many<float>(h[31]);
        for (int32_t i = 0; i < h[33]; ++i) r.ppd.push_back(c.get<char>());
        if (h[34] > 0) {
            r.name_lengths = c.many<int32_t>(h[34]);
            r.name_offsets = c.many<int32_t>(h[34]);
        }
        for (int32_t i = 0; i < h[35]; ++i) r.names.push_back(c.get<char>());
        out.push_back(r);
    }
    EXPECT_FALSE(c.overrun);
    if (end) *end = c.pos;
    return out;
}

inline std::vector<uint32_t> decode(const ReadTable& t) {
    InteropCodedTable table;
    table.rows = t.rows;
    table.values = t.values;
    table.row_sizes = t.sizes;
    table.entries = t.entries;
    std::vector<uint32_t> out;
    EXPECT_TRUE(interop_decode_table(table, out));
    return out;
}


// Checks the relations between the arrays of one kernel-made entry: per-vertex
// and per-polygon lengths, index bounds, triangle count, edge lists.
inline void expect_entry_consistent(const ReadEntry& r, const std::string& what) {
    SCOPED_TRACE(what);
    const auto& h = r.h;
    ASSERT_EQ(h[IW_DIMENSION], 3);
    const size_t vertices = r.positions.size() / 3;
    EXPECT_EQ(r.normals.size(), vertices * 3);
    EXPECT_EQ(r.sign_flags.size(), vertices);
    EXPECT_EQ(r.colour_indices.size(), r.palette.empty() ? 0u : vertices);
    for (uint32_t c : r.colour_indices) EXPECT_LT(c * 4, r.palette.size());
    EXPECT_EQ(r.bounds.size(), vertices ? 15u : 0u);
    size_t polygons = 0;
    std::vector<uint32_t> corners;
    if (h[IW_POLYGON_SIZE] == 0 && !r.polygons.empty()) {
        polygons = r.polygons[0];
        size_t total = 0;
        ASSERT_GE(r.polygons.size(), 1 + polygons);
        for (size_t p = 0; p < polygons; ++p) total += r.polygons[1 + p];
        EXPECT_EQ(r.polygons.size(), 1 + polygons + total);
        corners.assign(r.polygons.begin() + 1 + static_cast<long>(polygons), r.polygons.end());
    } else if (h[IW_POLYGON_SIZE] > 0) {
        polygons = r.polygons.size() / static_cast<size_t>(h[IW_POLYGON_SIZE]);
        corners = r.polygons;
    }
    for (uint32_t c : corners) ASSERT_LT(c, vertices);
    EXPECT_EQ(r.face_ids.size(), polygons);
    EXPECT_EQ(r.group_ids.size(), polygons);
    EXPECT_EQ(r.user_types.size(), polygons);
    EXPECT_EQ(r.operand_ids.size(), polygons);
    EXPECT_EQ(r.triangles.size() % 3, 0u);
    EXPECT_EQ(r.triangle_polygons.size(), r.triangles.size() / 3);
    EXPECT_EQ(r.shading.size(), r.triangles.size());
    for (uint32_t t : r.triangles) ASSERT_LT(t, vertices);
    for (int32_t p : r.triangle_polygons) ASSERT_LT(static_cast<size_t>(p), polygons);
    for (int32_t u : r.user_types) EXPECT_LT(u, h[IW_TYPE_NAMES_LEN]);
    std::vector<uint32_t> edges[3] = {r.polygon_edges, r.triangle_edges, r.group_edges};
    if (h[IW_WIDE_ROWS] > 0)
        for (int t = 0; t < 3; ++t) edges[t] = decode(r.tables[t + 1]);
    for (const auto& list : edges) {
        EXPECT_EQ(list.size() % 2, 0u);
        for (uint32_t v : list) ASSERT_LT(v, vertices);
    }
    if (polygons > 0) {
        EXPECT_GT(h[IW_SMOOTHING_COUNT], 0);
    }
}

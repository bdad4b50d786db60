// Helpers of the kernel's tests: a reader of interop files written from the
// file layout independently of the writer (so the two check each other), a
// consistency check of kernel-made entries, and parse report sections.
#pragma once

#include "interop/interop_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The lines between "<NAME>\n" and "</NAME>" of a parse report.
inline std::string section(const std::string& report, const std::string& name) {
    const std::string open = "<" + name + ">\n", close = "</" + name + ">";
    const size_t a = report.find(open), b = report.find(close);
    if (a == std::string::npos || b == std::string::npos || b < a + open.size()) return "<missing>";
    return report.substr(a + open.size(), b - a - open.size());
}

// What the pipeline stages for an assembly: the echoed statements of a parse.
inline std::string echo_of(const std::string& report) {
    std::string out;
    for (const char* name : {"DIRECTIVES", "PARAMETERS", "FUNCTIONS", "OPERATIONS"})
        out += section(report, name) + "\n";
    return out;
}

// Reads n values of type T (converted to Out); past the end it stops and
// marks the overrun.
struct ReadCursor {
    const std::string& bytes;
    size_t pos = 0;
    bool overrun = false;
    template <typename T, typename Out = T>
    std::vector<Out> many(int64_t n) {
        std::vector<Out> out;
        for (int64_t i = 0; i < n && !overrun; ++i) {
            if ((overrun = pos + sizeof(T) > bytes.size())) break;
            T v;
            std::memcpy(&v, bytes.data() + pos, sizeof(T));
            pos += sizeof(T);
            out.push_back(static_cast<Out>(v));
        }
        return out;
    }
    std::string text(int64_t n) {
        const auto chars = many<char>(n);
        return std::string(chars.begin(), chars.end());
    }
};

struct ReadEntry {
    std::vector<int32_t> h;  // the 36 header words
    std::vector<double> positions, normals, palette, bounds;
    std::vector<uint32_t> polygons, triangles, colour_indices, polygon_edges, triangle_edges, group_edges;
    std::vector<int32_t> face_ids, group_ids, user_type_ids, operand_ids, triangle_polygons, spare;
    std::vector<uint8_t> sign_flags;
    std::vector<float> shading;
    InteropCodedTable tables[4];
    std::string ppd, names;
    std::vector<int32_t> name_lengths, name_offsets;
};

inline std::vector<ReadEntry> read_file_bytes(const std::string& bytes, size_t* end = nullptr) {
    ReadCursor c{bytes};
    const auto count = c.many<int32_t>(1);
    std::vector<ReadEntry> out;
    for (int32_t e = 0; !count.empty() && e < count[0]; ++e) {
        ReadEntry r;
        r.h = c.many<int32_t>(36);
        if (c.overrun) break;
        const auto& h = r.h;
        auto indices = [&](int64_t n) { return h[17] > 0 ? c.many<uint32_t>(n) : c.many<uint16_t, uint32_t>(n); };
        r.positions = c.many<double>(h[0]);
        r.polygons = indices(h[1]);
        r.normals = c.many<double>(h[4]);
        r.palette = c.many<double>(h[5]);
        const int64_t vertices = h[5] > 0 ? h[0] / h[3] : 0;
        r.colour_indices = h[5] <= 1023     ? c.many<uint8_t, uint32_t>(vertices)
                           : h[5] <= 262143 ? c.many<uint16_t, uint32_t>(vertices)
                                            : c.many<uint32_t>(vertices);
        r.bounds = c.many<double>(h[6]);
        r.face_ids = c.many<int32_t>(h[7]);
        r.group_ids = c.many<int32_t>(h[8]);
        r.user_type_ids = c.many<int32_t>(h[9]);
        r.operand_ids = c.many<int32_t>(h[10]);
        r.triangles = indices(h[11]);
        r.sign_flags = c.many<uint8_t>(h[12]);
        r.triangle_polygons = c.many<int32_t>(h[13]);
        r.polygon_edges = indices(h[14]);
        r.triangle_edges = indices(h[15]);
        r.group_edges = indices(h[16]);
        for (int t = 0; t < 4; ++t) {
            auto& table = r.tables[t];
            table.rows = h[17 + 3 * t];
            table.values = c.many<uint32_t>(h[18 + 3 * t]);
            if (h[19 + 3 * t] > 0) table.row_sizes = c.many<uint32_t>(int64_t(table.rows) + 1);
            table.entries = c.many<uint16_t>(h[19 + 3 * t]);
        }
        r.spare = c.many<int32_t>(h[30]);
        r.shading = c.many<float>(h[31]);
        r.ppd = c.text(h[33]);
        r.name_lengths = c.many<int32_t>(h[34]);
        r.name_offsets = c.many<int32_t>(h[34]);
        r.names = c.text(h[35]);
        out.push_back(r);
    }
    EXPECT_FALSE(c.overrun);
    if (end) *end = c.pos;
    return out;
}

inline std::vector<uint32_t> decode(const InteropCodedTable& table) {
    std::vector<uint32_t> out;
    EXPECT_TRUE(interop_decode_table(table, out));
    return out;
}

// The relations between the arrays of one kernel-made entry: per-vertex and
// per-polygon lengths, index bounds, triangle count, edge lists.
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
    const bool sized = h[IW_POLYGON_SIZE] > 0;  // else P, the P sizes, then the corners
    const size_t polygons = sized ? r.polygons.size() / h[IW_POLYGON_SIZE] : r.polygons.empty() ? 0 : r.polygons[0];
    const size_t first = sized || r.polygons.empty() ? 0 : 1 + polygons;
    ASSERT_LE(first, r.polygons.size());
    const size_t sizes = std::accumulate(r.polygons.begin() + (first ? 1 : 0), r.polygons.begin() + first, size_t(0));
    EXPECT_EQ(r.polygons.size(), sized ? polygons * h[IW_POLYGON_SIZE] : first + sizes);
    for (size_t i = first; i < r.polygons.size(); ++i) ASSERT_LT(r.polygons[i], vertices);
    for (const auto* per_polygon : {&r.face_ids, &r.group_ids, &r.user_type_ids, &r.operand_ids})
        EXPECT_EQ(per_polygon->size(), polygons);
    EXPECT_EQ(r.triangles.size() % 3, 0u);
    EXPECT_EQ(r.triangle_polygons.size(), r.triangles.size() / 3);
    EXPECT_EQ(r.shading.size(), r.triangles.size());
    for (uint32_t t : r.triangles) ASSERT_LT(t, vertices);
    for (int32_t p : r.triangle_polygons) ASSERT_LT(static_cast<size_t>(p), polygons);
    for (int32_t u : r.user_type_ids) EXPECT_LT(u, h[IW_TYPE_NAMES_LEN]);
    std::vector<uint32_t> edges[3] = {r.polygon_edges, r.triangle_edges, r.group_edges};
    if (h[IW_WIDE_ROWS] > 0)
        for (int t = 0; t < 3; ++t) edges[t] = decode(r.tables[t + 1]);
    for (const auto& list : edges) {
        EXPECT_EQ(list.size() % 2, 0u);
        for (uint32_t v : list) ASSERT_LT(v, vertices);
    }
    EXPECT_TRUE(polygons == 0 || h[IW_SMOOTHING_COUNT] > 0) << h[IW_SMOOTHING_COUNT];
}

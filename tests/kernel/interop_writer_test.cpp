// Checks the interop writer against a small independent reader written from
// the file layout, so a writer mistake in any array order or width shows.
#include "interop/interop_writer.h"

#include <gtest/gtest.h>

#include "kernel/interop_test_reader.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

// A quad and a triangle sharing an edge, every array filled.
static InteropWriterMesh small_mesh() {
    InteropWriterMesh m;
    m.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0, 0};
    m.polygons = {2, 4, 3, 0, 1, 2, 3, 1, 4, 2};
    m.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    m.palette = {1, 0, 0, 1, 0, 1, 0, 1};
    m.colour_indices = {0, 0, 1, 1, 0};
    interop_fill_bounds(m);
    m.face_ids = {0, 1};
    m.group_ids = {0, 1};
    m.user_types = {1, 2};
    m.operand_ids = {0, 0};
    m.triangles = {0, 1, 2, 0, 2, 3, 1, 4, 2};
    m.sign_flags = {0, 0x80, 0, 0x7F, 0xFF};
    m.triangle_polygons = {0, 0, 1};
    m.polygon_edges = {0, 1, 2, 3, 3, 0};
    m.triangle_edges = {0, 2};
    m.group_edges = {1, 2};
    m.smoothing_count = 2;
    m.spare = {7};
    m.shading = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    m.ppd_text = std::string("12\n\0x\n", 6);
    m.type_names = {"box", "", "sphere"};
    return m;
}

TEST(InteropWriter, SmallMeshRoundTripsEveryArrayIn16BitLayout) {
    const InteropWriterMesh m = small_mesh();
    const std::string bytes = interop_serialise({m});
    size_t end = 0;
    auto entries = read_file_bytes(bytes, &end);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(end, bytes.size());
    EXPECT_EQ(bytes.size(), 4 + interop_entry_size(m));
    const ReadEntry& r = entries[0];
    EXPECT_EQ(r.h[17], 0);
    EXPECT_EQ(r.h[2], 0);
    EXPECT_EQ(r.h[3], 3);
    EXPECT_EQ(r.h[29], 2);
    EXPECT_EQ(r.positions, m.positions);
    EXPECT_EQ(r.polygons, m.polygons);
    EXPECT_EQ(r.normals, m.normals);
    EXPECT_EQ(r.palette, m.palette);
    EXPECT_EQ(r.colour_indices, m.colour_indices);
    EXPECT_EQ(r.face_ids, m.face_ids);
    EXPECT_EQ(r.group_ids, m.group_ids);
    EXPECT_EQ(r.user_types, m.user_types);
    EXPECT_EQ(r.operand_ids, m.operand_ids);
    EXPECT_EQ(r.triangles, m.triangles);
    EXPECT_EQ(r.sign_flags, m.sign_flags);
    EXPECT_EQ(r.triangle_polygons, m.triangle_polygons);
    EXPECT_EQ(r.polygon_edges, m.polygon_edges);
    EXPECT_EQ(r.triangle_edges, m.triangle_edges);
    EXPECT_EQ(r.group_edges, m.group_edges);
    EXPECT_EQ(r.spare, m.spare);
    EXPECT_EQ(r.shading, m.shading);
    EXPECT_EQ(r.ppd, m.ppd_text);
    EXPECT_EQ(r.name_lengths, (std::vector<int32_t>{3, 0, 6}));
    EXPECT_EQ(r.name_offsets, (std::vector<int32_t>{0, 3, 3}));
    EXPECT_EQ(r.names, "boxsphere");
    // bounds: min, max, centre, mean, extent
    ASSERT_EQ(r.bounds.size(), 15u);
    EXPECT_EQ(std::vector<double>(r.bounds.begin(), r.bounds.begin() + 6),
              (std::vector<double>{0, 0, 0, 2, 1, 0}));
    EXPECT_DOUBLE_EQ(r.bounds[6], 1.0);
    EXPECT_DOUBLE_EQ(r.bounds[9], 0.8);
    EXPECT_DOUBLE_EQ(r.bounds[10], 0.4);
    EXPECT_DOUBLE_EQ(r.bounds[12], 2.0);
    for (auto t : r.tables) EXPECT_EQ(t.rows, 0);
}

TEST(InteropWriter, LargeIndicesSwitchToWideLayoutWithCodedEdges) {
    InteropWriterMesh m = small_mesh();
    // Push one vertex index past 16 bits.
    m.polygon_edges.push_back(70000);
    m.polygon_edges.push_back(3);
    ASSERT_TRUE(interop_uses_wide_indices(m));
    const std::string bytes = interop_serialise({m});
    auto entries = read_file_bytes(bytes);
    ASSERT_EQ(entries.size(), 1u);
    const ReadEntry& r = entries[0];
    EXPECT_GT(r.h[17], 0);
    EXPECT_EQ(r.polygons, m.polygons);  // 4-byte values now
    EXPECT_EQ(r.triangles, m.triangles);
    EXPECT_EQ(r.h[14] + r.h[15] + r.h[16], 0);
    EXPECT_EQ(decode(r.tables[1]), m.polygon_edges);
    EXPECT_EQ(decode(r.tables[2]), m.triangle_edges);
    EXPECT_EQ(decode(r.tables[3]), m.group_edges);

    // Forced either way, plus plain lists kept in a wide entry.
    m.index_width = INTEROP_INDEX_32;
    m.polygon_edges.resize(6);
    m.plain_edges_in_wide = true;
    auto forced = read_file_bytes(interop_serialise({m}));
    EXPECT_GT(forced[0].h[17], 0);
    EXPECT_EQ(forced[0].polygon_edges, m.polygon_edges);
    EXPECT_EQ(decode(forced[0].tables[1]), m.polygon_edges);
    m.index_width = INTEROP_INDEX_16;
    EXPECT_EQ(read_file_bytes(interop_serialise({m}))[0].h[17], 0);
}

TEST(InteropWriter, CodedTablesSplitRowsAndKeepDictionariesSmall) {
    std::vector<uint32_t> list;
    for (uint32_t i = 0; i < 300000; ++i) list.push_back((i * 7919u) % 200000u + (i % 3 ? 0 : 5000000u));
    InteropCodedTable t = interop_encode_table(list, 65536);
    EXPECT_EQ(t.rows, 5);
    EXPECT_EQ(t.values[0], 5u);
    for (int r = 1; r <= t.rows; ++r) EXPECT_LE(t.values[r], 65536u);
    std::vector<uint32_t> back;
    ASSERT_TRUE(interop_decode_table(t, back));
    EXPECT_EQ(back, list);

    InteropCodedTable small = interop_encode_table({9, 9, 4, 9}, 2);
    EXPECT_EQ(small.rows, 2);
    EXPECT_EQ(small.values, (std::vector<uint32_t>{2, 1, 2, 9, 4, 9}));
    EXPECT_EQ(small.entries, (std::vector<uint16_t>{0, 0, 0, 1}));

    // An entry pointing outside its dictionary is refused, not read.
    small.entries[3] = 5;
    EXPECT_FALSE(interop_decode_table(small, back));
    EXPECT_EQ(interop_encode_table({}).rows, 0);
}

TEST(InteropWriter, ColourIndexWidthFollowsPaletteLength) {
    EXPECT_EQ(interop_colour_index_bytes(0), 0);
    EXPECT_EQ(interop_colour_index_bytes(1023), 1);
    EXPECT_EQ(interop_colour_index_bytes(1024), 2);
    EXPECT_EQ(interop_colour_index_bytes(262143), 2);
    EXPECT_EQ(interop_colour_index_bytes(262144), 4);
    for (size_t colours : {255u, 256u, 65536u}) {
        InteropWriterMesh m;
        m.positions = {0, 0, 0, 1, 1, 1};
        m.palette.assign(colours * 4, 0.5);
        m.colour_indices = {0, static_cast<uint32_t>(colours - 1)};
        auto r = read_file_bytes(interop_serialise({m}));
        ASSERT_EQ(r.size(), 1u);
        EXPECT_EQ(r[0].colour_indices, m.colour_indices) << colours;
    }
    // Missing indices are written as zeros, so the entry keeps its length.
    InteropWriterMesh m;
    m.positions = {0, 0, 0, 1, 1, 1, 2, 2, 2};
    m.palette = {1, 1, 1, 1};
    auto r = read_file_bytes(interop_serialise({m}));
    EXPECT_EQ(r[0].colour_indices, (std::vector<uint32_t>{0, 0, 0}));
}

TEST(InteropWriter, EmptyEntriesSeveralMeshesAndPadding) {
    InteropWriterMesh empty;
    EXPECT_EQ(interop_entry_size(empty), 144u);
    const std::string one = interop_serialise({empty});
    EXPECT_EQ(one.size(), 148u);
    EXPECT_EQ(interop_header(empty)[IW_DIMENSION], 3);

    const std::string none = interop_serialise({});
    ASSERT_EQ(none.size(), 144u);
    EXPECT_EQ(none, std::string(144, '\0'));

    const std::string three = interop_serialise({small_mesh(), empty, small_mesh()});
    auto r = read_file_bytes(three);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[1].positions.size(), 0u);
    EXPECT_EQ(r[2].triangles, small_mesh().triangles);
}

TEST(InteropWriter, OverridesAndTruncationMakeBrokenFixtures) {
    InteropWriterMesh m = small_mesh();
    m.header_override = {{IW_RESERVED, 99}, {IW_POSITIONS_LEN, -4}, {40, 1}};
    auto h = interop_header(m);
    EXPECT_EQ(h[IW_RESERVED], 99);
    EXPECT_EQ(h[IW_POSITIONS_LEN], -4);
    // The arrays are still written in full.
    EXPECT_EQ(interop_serialise({m}).size(), 4 + interop_entry_size(small_mesh()));

    const std::string counted = interop_serialise({small_mesh()}, 2);
    int32_t count = 0;
    std::memcpy(&count, counted.data(), 4);
    EXPECT_EQ(count, 2);

    char tmpl[] = "/tmp/vk_interop_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string path = std::string(tmpl) + "/cut";
    ASSERT_TRUE(write_interop_file_truncated(path, {small_mesh()}, 150));
    std::ifstream in(path, std::ios::binary);
    std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(got, interop_serialise({small_mesh()}).substr(0, 150));

    const std::string full = std::string(tmpl) + "/full";
    ASSERT_TRUE(write_interop_file(full, {small_mesh(), InteropWriterMesh{}}));
    std::ifstream in2(full, std::ios::binary);
    std::string got2((std::istreambuf_iterator<char>(in2)), std::istreambuf_iterator<char>());
    EXPECT_EQ(got2, interop_serialise({small_mesh(), InteropWriterMesh{}}));

    std::string error;
    EXPECT_FALSE(write_interop_file(std::string(tmpl) + "/no/such/dir/x", {}, &error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
    std::remove(path.c_str());
    std::remove(full.c_str());
    rmdir(tmpl);
}

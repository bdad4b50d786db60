// The interop writer checked against the independent reader, so a mistake in
// any array order or width shows.
#include "interop/interop_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "kernel/kernel_test_support.h"

// A quad and a triangle sharing an edge, every array filled, arrays of one
// type told apart by their values.
static InteropWriterMesh small_mesh() {
    InteropWriterMesh m;
    m.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0, 0};
    m.polygons = {2, 4, 3, 0, 1, 2, 3, 1, 4, 2};
    m.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    m.palette = {1, 0, 0, 1, 0, 1, 0, 1};
    m.colour_indices = {0, 0, 1, 1, 0};
    interop_fill_bounds(m);
    m.face_ids = {0, 1};
    m.group_ids = {2, 3};
    m.user_type_ids = {1, 2};
    m.operand_ids = {4, 5};
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

// Every array but the edge lists (which a wide entry may code) as written.
static void expect_arrays(const ReadEntry& r, const InteropWriterMesh& m) {
    EXPECT_EQ(std::tie(r.positions, r.normals, r.palette, r.bounds),
              std::tie(m.positions, m.normals, m.palette, m.bounds));
    EXPECT_EQ(std::tie(r.polygons, r.colour_indices, r.triangles), std::tie(m.polygons, m.colour_indices, m.triangles));
    EXPECT_EQ(std::tie(r.face_ids, r.group_ids, r.user_type_ids, r.operand_ids, r.triangle_polygons, r.spare),
              std::tie(m.face_ids, m.group_ids, m.user_type_ids, m.operand_ids, m.triangle_polygons, m.spare));
    EXPECT_EQ(std::tie(r.sign_flags, r.shading, r.ppd), std::tie(m.sign_flags, m.shading, m.ppd_text));
}

TEST(InteropWriter, MeshesRoundTripEveryArrayIn16BitLayout) {
    const InteropWriterMesh m = small_mesh(), empty;
    const std::string bytes = interop_serialise({m, empty, m});
    size_t end = 0;
    auto entries = read_file_bytes(bytes, &end);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(end, bytes.size());
    EXPECT_EQ(bytes.size(), 4 + 2 * interop_entry_size(m) + 144);
    for (const ReadEntry& r : {entries[0], entries[2]}) {
        EXPECT_EQ(std::vector<int32_t>({r.h[2], r.h[3], r.h[17], r.h[29]}), std::vector<int32_t>({0, 3, 0, 2}));
        expect_arrays(r, m);
        EXPECT_EQ(std::tie(r.polygon_edges, r.triangle_edges, r.group_edges),
                  std::tie(m.polygon_edges, m.triangle_edges, m.group_edges));
        EXPECT_EQ(r.name_lengths, (std::vector<int32_t>{3, 0, 6}));
        EXPECT_EQ(r.name_offsets, (std::vector<int32_t>{0, 3, 3}));
        EXPECT_EQ(r.names, "boxsphere");
        for (const auto& t : r.tables) EXPECT_EQ(t.rows, 0);
    }
    // bounds: min, max, centre, mean, extent
    EXPECT_EQ(m.bounds, (std::vector<double>{0, 0, 0, 2, 1, 0, 1, 0.5, 0, 0.8, 0.4, 0, 2, 1, 0}));
    EXPECT_EQ(entries[1].h[IW_DIMENSION], 3);
    EXPECT_EQ(entries[1].positions.size(), 0u);
    // No meshes: the count and zeros up to the size of one header.
    EXPECT_EQ(interop_serialise({}), std::string(144, '\0'));
}

TEST(InteropWriter, LargeIndicesSwitchToWideLayoutWithCodedEdges) {
    InteropWriterMesh m = small_mesh();
    m.polygon_edges.insert(m.polygon_edges.end(), {70000, 3});  // one vertex index past 16 bits
    const auto entries = read_file_bytes(interop_serialise({m}));
    ASSERT_EQ(entries.size(), 1u);
    const ReadEntry& r = entries[0];
    EXPECT_GT(r.h[17], 0);
    expect_arrays(r, m);  // indices 4 bytes wide now
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
    EXPECT_EQ(decode(t), list);

    InteropCodedTable small = interop_encode_table({9, 9, 4, 9}, 2);
    EXPECT_EQ(small.rows, 2);
    EXPECT_EQ(small.values, (std::vector<uint32_t>{2, 1, 2, 9, 4, 9}));
    EXPECT_EQ(small.entries, (std::vector<uint16_t>{0, 0, 0, 1}));
    // An entry pointing outside its dictionary is refused, not read.
    small.entries[3] = 5;
    std::vector<uint32_t> back;
    EXPECT_FALSE(interop_decode_table(small, back));
    EXPECT_EQ(interop_encode_table({}).rows, 0);
}

TEST(InteropWriter, OverridesAndTruncationMakeBrokenFixtures) {
    // Missing colour indices are written as zeros, so the entry keeps its length.
    InteropWriterMesh w;
    w.positions = {0, 0, 0, 1, 1, 1, 2, 2, 2};
    w.palette = {1, 1, 1, 1};
    EXPECT_EQ(read_file_bytes(interop_serialise({w}))[0].colour_indices, (std::vector<uint32_t>{0, 0, 0}));
    // An overridden header (even a word past the header) still has its arrays written in full.
    InteropWriterMesh m = small_mesh();
    m.header_override = {{IW_POSITIONS_LEN, -4}, {40, 1}};
    EXPECT_EQ(interop_serialise({m}).size(), 4 + interop_entry_size(small_mesh()));

    char tmpl[] = "/tmp/vk_interop_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    ASSERT_TRUE(write_interop_file_truncated(dir + "/cut", {small_mesh()}, 150));
    EXPECT_EQ(slurp(dir + "/cut"), interop_serialise({small_mesh()}).substr(0, 150));
    ASSERT_TRUE(write_interop_file(dir + "/full", {small_mesh(), InteropWriterMesh{}}));
    EXPECT_EQ(slurp(dir + "/full"), interop_serialise({small_mesh(), InteropWriterMesh{}}));
    std::string error;
    EXPECT_FALSE(write_interop_file(dir + "/no/such/dir/x", {}, &error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
    std::filesystem::remove_all(dir);
}

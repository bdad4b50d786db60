#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "interop/interop_writer.h"
#include "model/interop_mesh.h"
#include "model_test_support.h"

// Two polygons (a quad and a triangle) over six vertices, with every array
// the format carries.
static InteropWriterMesh sample_mesh() {
    InteropWriterMesh m;
    m.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0, 0, 2, 1, 0};
    m.polygons = {2, 4, 3, 0, 1, 2, 3, 1, 4, 5};
    for (int v = 0; v < 6; ++v) m.normals.insert(m.normals.end(), {0.0, v * 0.1, 1.0});
    m.palette = {1, 0, 0, 1, 0, 1, 0, 0.5};
    m.colour_indices = {0, 1, 1, 0, 1, 0};
    m.face_ids = {7, 8};
    m.group_ids = {1, 1};
    m.user_types = {0, 1};
    m.operand_ids = {3, 4};
    m.triangles = {0, 1, 2, 0, 2, 3, 1, 4, 5};
    m.sign_flags = {0x00, 0x80, 0x7F, 0x00, 0xFF, 0x01};
    m.triangle_polygons = {0, 0, 1};
    m.group_edges = {2, 3};
    m.polygon_edges = {0, 1, 3, 2, 5, 2};
    m.triangle_edges = {2, 5, 0, 1, 1, 4};
    m.smoothing_count = 2;
    m.shading = {0, 0, 1, 0, 0, 1, 0, 0, -1};
    m.ppd_text = std::string("t1\0t2\n", 6);
    m.type_names = {"plate", "rim"};
    interop_fill_bounds(m);
    return m;
}

static std::vector<InteropMesh*> read_bytes(const std::string& bytes, std::string* printed = nullptr) {
    testing::internal::CaptureStdout();
    std::vector<InteropMesh*> meshes =
        read_interop_meshes_from_memory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "mem");
    const std::string out = testing::internal::GetCapturedStdout();
    if (printed) *printed = out;
    return meshes;
}

static std::vector<InteropMesh*> read_path(const std::string& path, std::string* printed) {
    testing::internal::CaptureStdout();
    std::vector<InteropMesh*> meshes = read_interop_meshes(path);
    *printed = testing::internal::GetCapturedStdout();
    return meshes;
}

// True when the bytes fail to read, with the message and nothing left over.
static bool fails(const std::string& bytes) {
    std::string printed;
    std::vector<InteropMesh*> meshes = read_bytes(bytes, &printed);
    const bool failed = meshes.empty() && printed == "ERROR-READING-BINARY-INTEROP-FILE: mem\n";
    free_interop_meshes(meshes);
    return failed;
}

TEST(InteropReader, FileSizeAndPathLimits) {
    const std::string dir = make_test_dir();
    std::string printed;

    ASSERT_TRUE(write_interop_bytes(dir + "/short", std::string(143, '\0')));
    EXPECT_TRUE(read_path(dir + "/short", &printed).empty());
    EXPECT_EQ(printed, "ERROR-READING-BINARY-INTEROP-FILE: " + dir + "/short\n");

    ASSERT_TRUE(write_interop_bytes(dir + "/empty", std::string(144, '\0')));
    EXPECT_TRUE(read_path(dir + "/empty", &printed).empty());
    EXPECT_EQ(printed, "");

    EXPECT_TRUE(read_path(dir + "/missing", &printed).empty());
    EXPECT_EQ(printed, "ERROR-READING-BINARY-INTEROP-FILE: " + dir + "/missing\n");
    EXPECT_TRUE(read_path("", &printed).empty());
    EXPECT_EQ(printed, "ERROR-READING-BINARY-INTEROP-FILE: \n");
    EXPECT_TRUE(read_path(dir, &printed).empty());
    EXPECT_FALSE(printed.empty());

    testing::internal::CaptureStdout();
    EXPECT_EQ(read_first_interop_mesh(dir + "/short"), nullptr);
    testing::internal::GetCapturedStdout();
}

TEST(InteropReader, SixteenBitFileRoundTrip) {
    const InteropWriterMesh w = sample_mesh();
    ASSERT_FALSE(interop_uses_wide_indices(w));
    const std::string dir = make_test_dir();
    ASSERT_TRUE(write_interop_file(dir + "/mesh.bin", {w}));
    std::string printed;
    std::vector<InteropMesh*> meshes = read_path(dir + "/mesh.bin", &printed);
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(printed, "");
    const InteropMesh& m = *meshes[0];

    EXPECT_EQ(m.present, 1);
    EXPECT_EQ(m.building, 0);
    EXPECT_EQ(m.gl_upload_needed, 1);
    EXPECT_EQ(m.dimension, 3);
    EXPECT_EQ(m.polygon_size, 0);
    EXPECT_EQ(m.positions, w.positions);
    EXPECT_EQ(m.polygons, w.polygons);
    EXPECT_EQ(m.polygon_normals, w.normals);
    EXPECT_EQ(m.bounds, w.bounds);
    EXPECT_EQ(m.face_ids, std::vector<uint32_t>({7, 8}));
    EXPECT_EQ(m.group_ids, std::vector<uint32_t>({1, 1}));
    EXPECT_EQ(m.user_types, std::vector<uint32_t>({0, 1}));
    EXPECT_EQ(m.operand_ids, std::vector<uint32_t>({3, 4}));
    EXPECT_EQ(m.triangles, w.triangles);
    EXPECT_EQ(m.triangle_polygons, std::vector<uint32_t>({0, 0, 1}));
    EXPECT_EQ(m.shading_vectors, w.shading);
    EXPECT_EQ(m.smoothing_count, 2);
    EXPECT_EQ(m.smoothing_groups_defined, 1);
    EXPECT_EQ(m.ppd_text, w.ppd_text);
    EXPECT_EQ(m.ppd_text.size(), 6u);
    EXPECT_EQ(m.type_name_lengths, std::vector<int32_t>({5, 3}));
    EXPECT_EQ(m.type_name_offsets, std::vector<int32_t>({0, 5}));
    EXPECT_EQ(std::string(m.type_names.begin(), m.type_names.end()), "platerim");

    // 16-bit edges stay plain and un-filtered; the 32-bit lists stay empty.
    EXPECT_EQ(m.group_edges16, std::vector<uint16_t>({2, 3}));
    EXPECT_EQ(m.polygon_edges16, std::vector<uint16_t>({0, 1, 3, 2, 5, 2}));
    EXPECT_EQ(m.triangle_edges16, std::vector<uint16_t>({2, 5, 0, 1, 1, 4}));
    EXPECT_TRUE(m.polygon_edges.empty() && m.triangle_edges.empty() && m.group_edges.empty());

    // Sign flags: the top bit negates the vertex's triple, 0x7F does not.
    ASSERT_EQ(m.triangle_normals.size(), 18u);
    for (size_t v = 0; v < 6; ++v) {
        const double s = (w.sign_flags[v] & 0x80) ? -1.0 : 1.0;
        for (size_t c = 0; c < 3; ++c) EXPECT_EQ(m.triangle_normals[3 * v + c], s * w.normals[3 * v + c]) << v;
    }
    EXPECT_EQ(m.triangle_normals[5], -1.0);  // vertex 1, flag 0x80
    EXPECT_EQ(m.triangle_normals[8], 1.0);   // vertex 2, flag 0x7F
    EXPECT_EQ(m.polygon_normals[5], 1.0);

    ASSERT_EQ(m.colours.size(), 24u);
    EXPECT_EQ(std::vector<double>(m.colours.begin() + 4, m.colours.begin() + 8), std::vector<double>({0, 1, 0, 0.5}));
    EXPECT_EQ(std::vector<uint8_t>(m.display_colours.begin(), m.display_colours.begin() + 8),
              std::vector<uint8_t>({255, 0, 0, 255, 0, 255, 0, 127}));
    free_interop_meshes(meshes);
}

TEST(InteropReader, ThirtyTwoBitFileDecodesAndDeduplicatesEdges) {
    InteropWriterMesh w = sample_mesh();
    w.index_width = INTEROP_INDEX_32;
    const std::string bytes = interop_serialise({w});
    std::vector<InteropMesh*> meshes = read_bytes(bytes);
    ASSERT_EQ(meshes.size(), 1u);
    const InteropMesh& m = *meshes[0];
    EXPECT_EQ(m.polygons, w.polygons);
    EXPECT_EQ(m.triangles, w.triangles);
    // Group edges all stay; (3,2) is a group edge and (2,5) was kept as a
    // polygon edge given as (5,2); (0,1) is already a polygon edge.
    EXPECT_EQ(m.group_edges, std::vector<uint32_t>({2, 3}));
    EXPECT_EQ(m.polygon_edges, std::vector<uint32_t>({0, 1, 5, 2}));
    EXPECT_EQ(m.triangle_edges, std::vector<uint32_t>({1, 4}));
    EXPECT_TRUE(m.polygon_edges16.empty() && m.triangle_edges16.empty() && m.group_edges16.empty());
    for (const CodedTable& t : m.coded_tables) {
        EXPECT_EQ(t.rows, 0);
        EXPECT_TRUE(t.values.empty() && t.row_sizes.empty() && t.entries.empty());
    }
    free_interop_meshes(meshes);

    // A list whose every edge is already known ends up empty.
    w.triangle_edges = {3, 2, 1, 0};
    meshes = read_bytes(interop_serialise({w}));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_TRUE(meshes[0]->triangle_edges.empty());
    free_interop_meshes(meshes);
}

TEST(InteropReader, CodedTablesOverSeveralRows) {
    // More entries than one row holds: the second row has its own dictionary.
    InteropWriterMesh w;
    const uint32_t vertices = 40000;
    for (uint32_t v = 0; v < vertices; ++v) w.positions.insert(w.positions.end(), {double(v), 0.0, 0.0});
    for (uint32_t v = 0; v + 1 < vertices; ++v) w.triangle_edges.insert(w.triangle_edges.end(), {v, v + 1});
    w.index_width = INTEROP_INDEX_32;
    const std::array<int32_t, IW_WORD_COUNT> header = interop_header(w);
    ASSERT_GE(header[IW_TRIANGLE_EDGE_ROWS], 2);
    std::vector<InteropMesh*> meshes = read_bytes(interop_serialise({w}));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0]->triangle_edges, w.triangle_edges);
    free_interop_meshes(meshes);
}

TEST(InteropReader, ColourIndexWidthFollowsPaletteLength) {
    struct Case {
        size_t palette_len;
        int width;
    };
    for (Case c : {Case{1023, 1}, Case{1024, 2}, Case{262143, 2}, Case{262144, 4}}) {
        InteropWriterMesh w;
        w.positions = {0, 0, 0, 1, 1, 1, 2, 2, 2};
        w.palette.assign(c.palette_len, 0.0);
        const uint32_t last = static_cast<uint32_t>(c.palette_len / 4 - 1);
        w.palette[4 * last] = 0.25;
        w.colour_indices = {last, 0, last};
        interop_fill_bounds(w);
        ASSERT_EQ(interop_colour_index_bytes(static_cast<int64_t>(c.palette_len)), c.width);
        std::vector<InteropMesh*> meshes = read_bytes(interop_serialise({w}));
        ASSERT_EQ(meshes.size(), 1u) << c.palette_len;
        // A wrong width would shift the bounds that follow the indices.
        EXPECT_EQ(meshes[0]->bounds, w.bounds) << c.palette_len;
        EXPECT_EQ(meshes[0]->colours[0], 0.25);
        EXPECT_EQ(meshes[0]->colours[4], 0.0);
        EXPECT_EQ(meshes[0]->colours[8], 0.25);
        free_interop_meshes(meshes);
    }
    InteropWriterMesh none;
    none.positions = {0, 0, 0};
    std::vector<InteropMesh*> meshes = read_bytes(interop_serialise({none}));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_TRUE(meshes[0]->colours.empty());
    EXPECT_TRUE(meshes[0]->display_colours.empty());
    free_interop_meshes(meshes);
}

TEST(InteropReader, DisplayColoursAreClamped) {
    InteropWriterMesh w;
    w.positions = {0, 0, 0};
    w.palette = {-0.5, 1.5, std::numeric_limits<double>::quiet_NaN(), 0.5};
    w.colour_indices = {0};
    std::vector<InteropMesh*> meshes = read_bytes(interop_serialise({w}));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0]->display_colours, std::vector<uint8_t>({0, 255, 0, 127}));
    EXPECT_EQ(meshes[0]->colours[0], -0.5);
    free_interop_meshes(meshes);
}

TEST(InteropReader, SerialIdsAndFirstMesh) {
    const InteropWriterMesh w = sample_mesh();
    const std::string dir = make_test_dir();
    ASSERT_TRUE(write_interop_file(dir + "/two.bin", {w, w}));
    std::string printed;
    std::vector<InteropMesh*> a = read_path(dir + "/two.bin", &printed);
    std::vector<InteropMesh*> b = read_path(dir + "/two.bin", &printed);
    ASSERT_EQ(a.size(), 2u);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(a[1]->serial_id, a[0]->serial_id + 1);
    EXPECT_EQ(b[0]->serial_id, a[1]->serial_id + 1);
    EXPECT_EQ(b[1]->serial_id, b[0]->serial_id + 1);
    free_interop_meshes(a);
    free_interop_meshes(b);

    InteropMesh* first = read_first_interop_mesh(dir + "/two.bin");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->positions, w.positions);
    free_interop_mesh(first);  // the second mesh was released by the call
}

TEST(InteropReader, TruncatedFilesFailWhole) {
    InteropWriterMesh wide = sample_mesh();
    wide.index_width = INTEROP_INDEX_32;
    const std::string bytes = interop_serialise({sample_mesh(), wide});
    for (size_t n = 0; n < bytes.size(); ++n) {
        ASSERT_TRUE(fails(bytes.substr(0, n))) << "prefix of " << n << " bytes";
    }
    const std::string dir = make_test_dir();
    ASSERT_TRUE(write_interop_file_truncated(dir + "/cut.bin", {sample_mesh(), wide}, bytes.size() - 1));
    std::string printed;
    EXPECT_TRUE(read_path(dir + "/cut.bin", &printed).empty());
    EXPECT_EQ(printed, "ERROR-READING-BINARY-INTEROP-FILE: " + dir + "/cut.bin\n");
}

TEST(InteropReader, InconsistentHeadersFail) {
    auto patched = [](int word, int32_t value) {
        InteropWriterMesh w = sample_mesh();
        w.header_override.push_back({word, value});
        return interop_serialise({w});
    };
    EXPECT_TRUE(fails(patched(IW_POSITIONS_LEN, -3)));
    EXPECT_TRUE(fails(patched(IW_FACE_IDS_LEN, -1)));
    EXPECT_TRUE(fails(patched(IW_TRIANGLES_LEN, 1000000000)));
    EXPECT_TRUE(fails(patched(IW_SHADING_LEN, 0x7fffffff)));
    EXPECT_TRUE(fails(patched(IW_DIMENSION, 0)));
    EXPECT_TRUE(fails(patched(IW_DIMENSION, 4)));
    EXPECT_TRUE(fails(patched(IW_POLYGON_EDGE_ROWS, -2)));
    EXPECT_TRUE(fails(interop_serialise({sample_mesh()}, 0x7fffffff)));
    std::string negative = interop_serialise({sample_mesh()});
    const int32_t minus_one = -1;
    std::memcpy(&negative[0], &minus_one, 4);
    EXPECT_TRUE(fails(negative));

    // Two positions short of whole vertices.
    InteropWriterMesh odd = sample_mesh();
    odd.positions.resize(16);
    EXPECT_TRUE(fails(interop_serialise({odd})));
}

TEST(InteropReader, IndicesOutsideTheirArraysFail) {
    auto with = [](void (*change)(InteropWriterMesh&), bool wide) {
        InteropWriterMesh w = sample_mesh();
        if (wide) w.index_width = INTEROP_INDEX_32;
        change(w);
        return interop_serialise({w});
    };
    using Change = void (*)(InteropWriterMesh&);
    const Change changes[] = {
        [](InteropWriterMesh& w) { w.colour_indices[3] = 2; },   // palette of 2 colours
        [](InteropWriterMesh& w) { w.triangles[4] = 6; },        // 6 vertices
        [](InteropWriterMesh& w) { w.polygons[9] = 6; },         // a corner
        [](InteropWriterMesh& w) { w.polygons[0] = 12; },        // more polygons than the list holds
        [](InteropWriterMesh& w) { w.polygons[2] = 5; },         // corners run past the list
        [](InteropWriterMesh& w) { w.group_edges[1] = 6; },      // an edge
        [](InteropWriterMesh& w) { w.triangle_edges[5] = 60; },  // an edge
        [](InteropWriterMesh& w) { w.sign_flags.push_back(0); },  // more flags than normal triples
        [](InteropWriterMesh& w) { w.header_override.push_back({IW_TYPE_NAME_BYTES_LEN, 4}); },
    };
    for (size_t i = 0; i < sizeof(changes) / sizeof(changes[0]); ++i) {
        EXPECT_TRUE(fails(with(changes[i], false))) << "16-bit change " << i;
        EXPECT_TRUE(fails(with(changes[i], true))) << "32-bit change " << i;
    }
    // A fixed polygon size: every entry is a corner.
    InteropWriterMesh fixed = sample_mesh();
    fixed.polygon_size = 3;
    fixed.polygons = {0, 1, 2, 1, 4, 5};
    EXPECT_FALSE(fails(interop_serialise({fixed})));
    fixed.polygons[0] = 6;
    EXPECT_TRUE(fails(interop_serialise({fixed})));
}

// A 32-bit entry of three vertices whose only content is a coded
// triangle-edge table, written by hand so that the table can be broken.
static std::string wide_entry_with_table(std::vector<uint32_t> values, std::vector<uint32_t> row_sizes,
                                         std::vector<uint16_t> entries, int32_t rows) {
    int32_t h[36] = {};
    h[IW_POSITIONS_LEN] = 9;
    h[IW_DIMENSION] = 3;
    h[IW_WIDE_ROWS] = 1;
    h[IW_TRIANGLE_EDGE_ROWS] = rows;
    h[IW_TRIANGLE_EDGE_VALUES] = static_cast<int32_t>(values.size());
    h[IW_TRIANGLE_EDGE_ENTRIES] = static_cast<int32_t>(entries.size());
    std::string b;
    const int32_t one = 1;
    b.append(reinterpret_cast<const char*>(&one), 4);
    b.append(reinterpret_cast<const char*>(h), sizeof(h));
    const double positions[9] = {0, 0, 0, 1, 0, 0, 2, 0, 0};
    b.append(reinterpret_cast<const char*>(positions), sizeof(positions));
    b.append(reinterpret_cast<const char*>(values.data()), values.size() * 4);
    if (!entries.empty()) {
        b.append(reinterpret_cast<const char*>(row_sizes.data()), row_sizes.size() * 4);
        b.append(reinterpret_cast<const char*>(entries.data()), entries.size() * 2);
    }
    return b;
}

TEST(InteropReader, CodedTableDictionariesAreChecked) {
    // V = [unused, dictionary size 2, dictionary 1 2]; S = [unused, 2]; E = [1 0].
    std::vector<InteropMesh*> good = read_bytes(wide_entry_with_table({0, 2, 1, 2}, {0, 2}, {1, 0}, 1));
    ASSERT_EQ(good.size(), 1u);
    EXPECT_EQ(good[0]->triangle_edges, std::vector<uint32_t>({2, 1}));
    free_interop_meshes(good);

    EXPECT_TRUE(fails(wide_entry_with_table({0, 2, 1, 2}, {0, 2}, {1, 2}, 1)));  // entry past its dictionary
    EXPECT_TRUE(fails(wide_entry_with_table({0, 3, 1, 2}, {0, 2}, {1, 0}, 1)));  // dictionary past the values
    EXPECT_TRUE(fails(wide_entry_with_table({0, 2, 1, 2}, {0, 3}, {1, 0}, 1)));  // row past the entries
    EXPECT_TRUE(fails(wide_entry_with_table({0, 2, 1, 2}, {0, 1}, {1, 0}, 1)));  // an entry in no row
    EXPECT_TRUE(fails(wide_entry_with_table({0, 2, 1, 7}, {0, 2}, {1, 0}, 1)));  // vertex 7 of 3
    EXPECT_TRUE(fails(wide_entry_with_table({0}, {0, 0, 0}, {1, 0}, 2)));        // rows without values
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>
#include <utility>
#include <tuple>

#include "interop/interop_writer.h"
#include "model/interop_mesh.h"
#include "model_test_support.h"

// A quad and a triangle over six vertices, with every array the format carries.
static InteropWriterMesh sample_mesh(bool wide = false) {
    InteropWriterMesh m;
    m.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0, 0, 2, 1, 0};
    m.polygons = {2, 4, 3, 0, 1, 2, 3, 1, 4, 5};
    for (int v = 0; v < 6; ++v) m.normals.insert(m.normals.end(), {0.0, v * 0.1, 1.0});
    m.palette = {1, 0, 0, 1, 0, 1, 0, 0.5};
    m.colour_indices = {0, 1, 1, 0, 1, 0};
    m.face_ids = {7, 8};
    m.group_ids = {1, 1};
    m.user_type_ids = {0, 1};
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
    if (wide) m.index_width = INTEROP_INDEX_32;
    m.plain_edges_in_wide = wide;  // skipped by the reader
    interop_fill_bounds(m);
    return m;
}

// The meshes of one read of bytes (or of a file), freed with it, and what
// the reader printed.
struct Read {
    std::vector<InteropMesh*> meshes;
    std::string printed;
    explicit Read(const std::string& source, bool is_path = false) {
        testing::internal::CaptureStdout();
        meshes = is_path ? read_interop_meshes(source)
                         : read_interop_meshes_from_memory(reinterpret_cast<const uint8_t*>(source.data()),
                                                           source.size(), "mem");
        printed = testing::internal::GetCapturedStdout();
    }
    Read(const Read&) = delete;
    ~Read() { free_interop_meshes(meshes); }
    const InteropMesh& operator[](size_t i) const { return *meshes.at(i); }
};

// True when the bytes fail to read, with the message and nothing left over.
static bool fails(const std::string& bytes) {
    Read r(bytes);
    return r.meshes.empty() && r.printed == "ERROR-READING-BINARY-INTEROP-FILE: mem\n";
}

TEST(InteropReader, FileSizeAndPathLimits) {
    const TestDir scratch("vk_model");
    const std::string dir = scratch.path(), error = "ERROR-READING-BINARY-INTEROP-FILE: ";
    ASSERT_TRUE(write_interop_bytes(dir + "/short", std::string(143, '\0')));
    ASSERT_TRUE(write_interop_bytes(dir + "/empty", std::string(144, '\0')));  // no meshes, no error
    for (const std::string& path : {dir + "/short", dir + "/empty", dir + "/missing", dir, std::string()}) {
        Read r(path, true);
        EXPECT_TRUE(r.meshes.empty()) << path;
        EXPECT_EQ(r.printed, path == dir + "/empty" ? "" : error + path + "\n") << path;
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(read_first_interop_mesh(dir + "/short"), nullptr);
    testing::internal::GetCapturedStdout();
}

using Lists16 = std::vector<std::vector<uint16_t>>;
using Lists32 = std::vector<std::vector<uint32_t>>;

TEST(InteropReader, FileOfBothIndexWidthsRoundTrips) {
    const InteropWriterMesh w = sample_mesh();
    ASSERT_FALSE(interop_uses_wide_indices(w));
    const TestDir scratch("vk_model");
    const std::string path = scratch.path() + "/mesh.bin";
    ASSERT_TRUE(write_interop_file(path, {w, sample_mesh(true)}));
    Read a(path, true), b(path, true);
    ASSERT_EQ(a.meshes.size(), 2u);
    ASSERT_EQ(b.meshes.size(), 2u);
    EXPECT_EQ(a.printed, "");
    EXPECT_EQ(std::vector<int32_t>({a[1].serial_id, b[0].serial_id, b[1].serial_id}),
              std::vector<int32_t>({a[0].serial_id + 1, a[0].serial_id + 2, a[0].serial_id + 3}));

    for (const InteropMesh* mesh : a.meshes) {
        const InteropMesh& m = *mesh;
        SCOPED_TRACE(&m == a.meshes[0] ? "16-bit" : "32-bit");
        EXPECT_TRUE(m.present == 1 && m.building == 0 && m.dimension == 3 && m.polygon_size == 0);
        EXPECT_EQ((std::vector<std::vector<double>>{m.positions, m.polygon_normals, m.bounds}),
                  (std::vector<std::vector<double>>{w.positions, w.normals, w.bounds}));
        EXPECT_EQ((Lists32{m.polygons, m.triangles, m.face_ids, m.group_ids, m.user_type_ids, m.operand_ids,
                           m.triangle_polygons}),
                  (Lists32{w.polygons, w.triangles, {7, 8}, {1, 1}, {0, 1}, {3, 4}, {0, 0, 1}}));
        EXPECT_EQ(m.shading_vectors, w.shading);
        EXPECT_TRUE(m.smoothing_count == 2 && m.smoothing_groups_defined == 1 && m.ppd_text == w.ppd_text);
        EXPECT_EQ(std::make_tuple(m.type_name_lengths, m.type_name_offsets,
                                  std::string(m.type_names.begin(), m.type_names.end())),
                  std::make_tuple(std::vector<int32_t>{5, 3}, std::vector<int32_t>{0, 5}, std::string("platerim")));
        // Sign flags: the top bit negates the vertex's triple, 0x7F does not.
        const NormalList triangle_normals = triangle_normals_of(m);
        ASSERT_EQ(triangle_normals.size(), 18u);
        for (size_t i = 0; i < 18; ++i)
            EXPECT_EQ(triangle_normals[i], (w.sign_flags[i / 3] & 0x80 ? -1 : 1) * w.normals[i]) << i;
        const ColourList colours = colours_of(m);
        ASSERT_EQ(colours.size(), 24u);
        EXPECT_EQ(std::vector<double>({colours[4], colours[5], colours[6], colours[7]}),
                  std::vector<double>({0, 1, 0, 0.5}));
        EXPECT_EQ(std::vector<uint8_t>(m.display_colours.begin(), m.display_colours.begin() + 8),
                  std::vector<uint8_t>({255, 0, 0, 255, 0, 255, 0, 127}));
    }

    // Group, polygon and triangle edges: plain and un-filtered in 16 bits;
    // decoded in 32 bits, where group edges all stay, (3,2) is a group edge,
    // (2,5) was kept as the polygon edge (5,2) and (0,1) is a polygon edge.
    auto edges16 = [](const InteropMesh& m) { return Lists16{m.group_edges_16, m.polygon_edges_16, m.triangle_edges_16}; };
    auto edges32 = [](const InteropMesh& m) { return Lists32{m.group_edges, m.polygon_edges, m.triangle_edges}; };
    EXPECT_EQ(edges16(a[0]), (Lists16{{2, 3}, {0, 1, 3, 2, 5, 2}, {2, 5, 0, 1, 1, 4}}));
    EXPECT_EQ(edges32(a[0]), Lists32(3));
    EXPECT_EQ(edges32(a[1]), (Lists32{{2, 3}, {0, 1, 5, 2}, {1, 4}}));
    EXPECT_EQ(edges16(a[1]), Lists16(3));
    for (const CodedTable& t : a[1].coded_tables)
        EXPECT_TRUE(t.rows == 0 && t.values.empty() && t.row_sizes.empty() && t.entries.empty());

    // A list whose every edge is already known ends up empty.
    InteropWriterMesh known = sample_mesh(true);
    known.triangle_edges = {3, 2, 1, 0};
    Read k(interop_serialise({known}));
    ASSERT_EQ(k.meshes.size(), 1u);
    EXPECT_TRUE(k[0].triangle_edges.empty());

    InteropMesh* first = read_first_interop_mesh(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->positions, w.positions);
    free_interop_mesh(first);  // the second mesh was released by the call
}

TEST(InteropReader, ShadingVectorsAreKeptOnlyWithSmoothingGroups) {
    InteropWriterMesh w = sample_mesh(true);
    w.smoothing_count = 0;
    Read r(interop_serialise({w, sample_mesh(true)}));
    ASSERT_EQ(r.meshes.size(), 2u);
    EXPECT_TRUE(r[0].shading_vectors.empty());
    EXPECT_EQ(r[1].shading_vectors, w.shading);
    // What follows the skipped vectors still reads from its own place.
    EXPECT_EQ(r[0].ppd_text, w.ppd_text);
    EXPECT_EQ(std::string(r[0].type_names.begin(), r[0].type_names.end()), "platerim");
    EXPECT_EQ(r[1].positions, w.positions);
}

TEST(InteropReader, PaletteLengthSetsColourIndexWidth) {
    for (size_t palette_len : {1023, 1024, 262143, 262144}) {
        InteropWriterMesh w;
        w.positions = {0, 0, 0, 1, 1, 1, 2, 2, 2};
        w.palette.assign(palette_len, 0.0);
        const uint32_t last = static_cast<uint32_t>(palette_len / 4 - 1);
        w.palette[4 * last] = 0.25;
        w.colour_indices = {last, 0, last};
        interop_fill_bounds(w);
        ASSERT_EQ(interop_colour_index_bytes(static_cast<int64_t>(palette_len)),
                  palette_len < 1024 ? 1 : palette_len < 262144 ? 2 : 4);
        Read r(interop_serialise({w}));
        ASSERT_EQ(r.meshes.size(), 1u) << palette_len;
        // A wrong width would shift the bounds that follow the indices.
        EXPECT_EQ(r[0].bounds, w.bounds) << palette_len;
        EXPECT_EQ(std::vector<double>({colours_of(r[0])[0], colours_of(r[0])[4], colours_of(r[0])[8]}),
                  std::vector<double>({0.25, 0, 0.25}));
    }
    // Without a palette no colours; display bytes are clamped, the colours
    // keep what the file holds.
    InteropWriterMesh odd;
    odd.positions = {0, 0, 0};
    Read none(interop_serialise({odd}));
    odd.palette = {-0.5, 1.5, std::numeric_limits<double>::quiet_NaN(), 0.5};
    odd.colour_indices = {0};
    Read c(interop_serialise({odd}));
    ASSERT_TRUE(none.meshes.size() == 1 && c.meshes.size() == 1);
    EXPECT_TRUE(colours_of(none[0]).empty() && none[0].display_colours.empty());
    EXPECT_EQ(c[0].display_colours, std::vector<uint8_t>({0, 255, 0, 127}));
    EXPECT_EQ(colours_of(c[0])[0], -0.5);
}

TEST(InteropReader, TruncatedFilesFailWhole) {
    const std::string bytes = interop_serialise({sample_mesh(), sample_mesh(true)});
    for (size_t n = 0; n < bytes.size(); ++n) ASSERT_TRUE(fails(bytes.substr(0, n))) << "prefix of " << n << " bytes";
    const TestDir scratch("vk_model");
    const std::string path = scratch.path() + "/cut.bin";
    ASSERT_TRUE(write_interop_file_truncated(path, {sample_mesh(), sample_mesh(true)}, bytes.size() - 1));
    Read r(path, true);
    EXPECT_TRUE(r.meshes.empty());
    EXPECT_EQ(r.printed, "ERROR-READING-BINARY-INTEROP-FILE: " + path + "\n");
}

TEST(InteropReader, InconsistentHeadersFail) {
    const std::pair<int, int32_t> patches[] = {
        {IW_POSITIONS_LEN, -3},       {IW_FACE_IDS_LEN, -1}, {IW_TRIANGLES_LEN, 1000000000},
        {IW_SHADING_LEN, 0x7fffffff}, {IW_DIMENSION, 0},     {IW_DIMENSION, 4},
        {IW_POLYGON_EDGE_ROWS, -2}};
    for (const auto& p : patches) {
        InteropWriterMesh w = sample_mesh();
        w.header_override.push_back(p);
        EXPECT_TRUE(fails(interop_serialise({w}))) << "word " << p.first << " = " << p.second;
    }
    EXPECT_TRUE(fails(interop_serialise({sample_mesh()}, 0x7fffffff)));
    std::string negative = interop_serialise({sample_mesh()});
    const int32_t minus_one = -1;
    std::memcpy(&negative[0], &minus_one, 4);
    EXPECT_TRUE(fails(negative));
    InteropWriterMesh odd = sample_mesh();
    odd.positions.resize(16);  // two positions short of whole vertices
    EXPECT_TRUE(fails(interop_serialise({odd})));
}

TEST(InteropReader, IndicesOutsideTheirArraysFail) {
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
        for (bool wide : {false, true}) {
            InteropWriterMesh w = sample_mesh(wide);
            changes[i](w);
            EXPECT_TRUE(fails(interop_serialise({w}))) << "change " << i << (wide ? ", 32-bit" : ", 16-bit");
        }
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
                                         std::vector<uint16_t> entries, int32_t rows = 1) {
    int32_t h[36] = {};
    h[IW_POSITIONS_LEN] = 9;
    h[IW_DIMENSION] = 3;
    h[IW_WIDE_ROWS] = 1;
    h[IW_TRIANGLE_EDGE_ROWS] = rows;
    h[IW_TRIANGLE_EDGE_VALUES] = static_cast<int32_t>(values.size());
    h[IW_TRIANGLE_EDGE_ENTRIES] = static_cast<int32_t>(entries.size());
    const int32_t one = 1;
    const double positions[9] = {0, 0, 0, 1, 0, 0, 2, 0, 0};
    std::string b;
    auto put = [&b](const void* p, size_t n) { b.append(static_cast<const char*>(p), n); };
    put(&one, 4);
    put(h, sizeof(h));
    put(positions, sizeof(positions));
    put(values.data(), values.size() * 4);
    if (!entries.empty()) {
        put(row_sizes.data(), row_sizes.size() * 4);
        put(entries.data(), entries.size() * 2);
    }
    return b;
}

TEST(InteropReader, CodedTablesAreCheckedDecodedAndDeduplicated) {
    // V = [unused, dictionary size 2, dictionary 1 2]; S = [unused, 2]; E = [1 0].
    Read good(wide_entry_with_table({0, 2, 1, 2}, {0, 2}, {1, 0}));
    ASSERT_EQ(good.meshes.size(), 1u);
    EXPECT_EQ(good[0].triangle_edges, std::vector<uint32_t>({2, 1}));

    EXPECT_TRUE(fails(wide_entry_with_table({0, 2, 1, 2}, {0, 2}, {1, 2})));  // entry past its dictionary
    EXPECT_TRUE(fails(wide_entry_with_table({0, 3, 1, 2}, {0, 2}, {1, 0})));  // dictionary past the values
    EXPECT_TRUE(fails(wide_entry_with_table({0, 2, 1, 2}, {0, 3}, {1, 0})));  // row past the entries
    EXPECT_TRUE(fails(wide_entry_with_table({0, 2, 1, 2}, {0, 1}, {1, 0})));  // an entry in no row
    EXPECT_TRUE(fails(wide_entry_with_table({0, 2, 1, 7}, {0, 2}, {1, 0})));  // vertex 7 of 3
    EXPECT_TRUE(fails(wide_entry_with_table({0}, {0, 0, 0}, {1, 0}, 2)));     // rows without values

    // More entries than one row holds: the second row has its own dictionary.
    // The triangle edges run backwards over many blocks of vertices and some
    // repeat a group edge; the file is large, as a kernel's output can be.
    InteropWriterMesh w;
    const uint32_t vertices = 40000;
    std::vector<uint32_t> kept;  // the triangle edges that are not group edges
    for (uint32_t v = 0; v < vertices; ++v) w.positions.insert(w.positions.end(), {double(v), 0.0, 0.0});
    for (uint32_t v = 0; v + 1 < vertices; v += 7) w.group_edges.insert(w.group_edges.end(), {v, v + 1});
    for (uint32_t v = vertices - 1; v > 0; --v) {
        w.triangle_edges.insert(w.triangle_edges.end(), {v, v - 1});
        if ((v - 1) % 7 != 0) kept.insert(kept.end(), {v, v - 1});
    }
    w.index_width = INTEROP_INDEX_32;
    ASSERT_GE(interop_header(w)[IW_TRIANGLE_EDGE_ROWS], 2);
    const TestDir scratch("vk_model");
    const std::string path = scratch.path() + "/large.bin";
    ASSERT_TRUE(write_interop_file(path, {w}));
    Read r(path, true);
    ASSERT_EQ(r.meshes.size(), 1u);
    EXPECT_EQ(r[0].group_edges, w.group_edges);
    EXPECT_EQ(r[0].triangle_edges, kept);
}

// Every edge a vertex can have: many to one vertex, to vertices near and far
// (indices more than 65,535 apart), to itself, repeated within a list and
// across lists in either direction. The reader keeps what one walk over the
// group, polygon and triangle edges in that order keeps: every group edge,
// and each other edge the first time it is met.
TEST(InteropReader, EdgesOfEveryKindAreDeduplicatedInPrecedenceOrder) {
    // Many edges for the vertices, and few (which the reader keeps otherwise).
    for (const int per_list : {8000, 2000}) {
        SCOPED_TRACE(per_list);
        InteropWriterMesh w;
        const uint32_t vertices = 70000;
        for (uint32_t v = 0; v < vertices; ++v) w.positions.insert(w.positions.end(), {double(v), 0.0, 0.0});
        uint64_t state = 88172645463325252ull;
        auto next = [&state](uint32_t below) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            return static_cast<uint32_t>(state % below);
        };
        auto add_edges = [&](std::vector<uint32_t>& list, int count) {
            for (int i = 0; i < count; ++i) {
                const uint32_t a = next(12) == 0 ? 5 : next(vertices);  // vertex 5 has dozens of edges
                const uint32_t kind = next(4);
                const uint32_t b = kind == 0 ? a : kind == 1 ? (a + 1 + next(8)) % vertices : next(vertices);
                list.insert(list.end(), {a, b});
            }
        };
        add_edges(w.group_edges, 300);
        w.group_edges.insert(w.group_edges.end(), {0, vertices - 1, 0, vertices - 1});
        add_edges(w.polygon_edges, per_list);
        // Distances that differ by a multiple of 65,536 are different edges.
        for (uint32_t a = 100; a < 140; ++a) w.polygon_edges.insert(w.polygon_edges.end(), {a, a + 3, a + 65539, a});
        for (size_t i = 0; i + 1 < w.group_edges.size(); i += 6) {
            w.polygon_edges.insert(w.polygon_edges.end(), {w.group_edges[i + 1], w.group_edges[i]});
        }
        add_edges(w.triangle_edges, per_list);
        for (size_t i = 0; i + 1 < w.polygon_edges.size(); i += 4) {
            w.triangle_edges.insert(w.triangle_edges.end(), {w.polygon_edges[i], w.polygon_edges[i + 1]});
            w.triangle_edges.insert(w.triangle_edges.end(), {w.polygon_edges[i + 1], w.polygon_edges[i]});
        }
        w.index_width = INTEROP_INDEX_32;

        std::set<std::pair<uint32_t, uint32_t>> seen;
        auto walk = [&seen](const std::vector<uint32_t>& list, bool keep_all) {
            std::vector<uint32_t> kept;
            for (size_t i = 0; i + 1 < list.size(); i += 2) {
                const bool added = seen.insert(std::minmax(list[i], list[i + 1])).second;
                if (added || keep_all) kept.insert(kept.end(), {list[i], list[i + 1]});
            }
            return kept;
        };
        const std::vector<uint32_t> group = walk(w.group_edges, true);
        const std::vector<uint32_t> polygon = walk(w.polygon_edges, false);
        const std::vector<uint32_t> triangle = walk(w.triangle_edges, false);
        ASSERT_LT(polygon.size(), w.polygon_edges.size());
        ASSERT_LT(triangle.size(), w.triangle_edges.size());

        Read r(interop_serialise({w}));
        ASSERT_EQ(r.meshes.size(), 1u);
        EXPECT_EQ(r[0].group_edges, group);
        EXPECT_EQ(r[0].polygon_edges, polygon);
        EXPECT_EQ(r[0].triangle_edges, triangle);
    }
}

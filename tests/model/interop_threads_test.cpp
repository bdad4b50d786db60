#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "interop/interop_writer.h"
#include "model/interop_mesh.h"
#include "support/test_dir.h"

// Large entries are read by several threads at once; what comes out must
// not depend on it: every array as the file holds it, every failure the same
// single message, and reads running side by side must not meet.

// An n x n grid of quads with every array the format carries, large enough
// for the reader to share the work out.
static InteropWriterMesh large_mesh(uint32_t n, InteropIndexWidth width) {
    InteropWriterMesh m;
    m.index_width = width;
    const uint32_t quads = (n - 1) * (n - 1);
    for (uint32_t y = 0; y < n; ++y) {
        for (uint32_t x = 0; x < n; ++x) {
            m.positions.insert(m.positions.end(), {double(x), double(y), 0.01 * double((x * y) % 7)});
            m.normals.insert(m.normals.end(), {0.1 * double(x % 5), -0.2, 1.0});
            m.colour_indices.push_back((x * 7 + y) % 5);
            if (y + 1 < n) m.sign_flags.push_back(uint8_t(x * 37 + y));  // not every vertex has one
        }
    }
    // Components outside 0..1 clamp in the display bytes.
    m.palette = {1, 0, 0, 1, 0, 1, 0, 0.5, 0, 0, 1, 1, 1.5, -0.25, 0.3, 1, 0.2, 0.4, 0.6, 0.8};
    m.polygons.push_back(quads);
    m.polygons.insert(m.polygons.end(), quads, 4u);
    auto at = [n](uint32_t x, uint32_t y) { return y * n + x; };
    uint32_t q = 0;
    for (uint32_t y = 0; y + 1 < n; ++y) {
        for (uint32_t x = 0; x + 1 < n; ++x, ++q) {
            const uint32_t a = at(x, y), b = at(x + 1, y), c = at(x + 1, y + 1), d = at(x, y + 1);
            m.polygons.insert(m.polygons.end(), {a, b, c, d});
            m.triangles.insert(m.triangles.end(), {a, b, c, a, c, d});
            m.triangle_polygons.insert(m.triangle_polygons.end(), {int32_t(q), int32_t(q)});
            m.face_ids.push_back(int32_t(q));
            m.group_ids.push_back(int32_t(y / 16));
            m.user_type_ids.push_back(int32_t(q % 3));
            m.operand_ids.push_back(int32_t(x / 64));
            m.shading.insert(m.shading.end(), {0.f, float(x), 1.f, 0.f, float(y), 1.f});
            m.polygon_edges.insert(m.polygon_edges.end(), {a, b, b, c});
            m.triangle_edges.insert(m.triangle_edges.end(), {a, c, c, b, b, a});
            if (y % 16 == 0) m.group_edges.insert(m.group_edges.end(), {b, a});
        }
    }
    m.smoothing_count = 1;
    m.ppd_text = "grid";
    m.type_names = {"plate", "rim", "hub"};
    interop_fill_bounds(m);
    return m;
}

static uint8_t display_byte(double value) {
    const double clamped = value >= 0.0 ? (value <= 1.0 ? value : 1.0) : 0.0;
    return static_cast<uint8_t>(clamped * 255.0);
}

template <typename T, typename U>
static std::vector<T> as(const std::vector<U>& v) {
    return std::vector<T>(v.begin(), v.end());
}

// What one walk over the group, polygon and triangle edges keeps: every
// group edge, and each other edge the first time it is met.
static std::array<std::vector<uint32_t>, 3> kept_edges(const InteropWriterMesh& w) {
    std::set<std::pair<uint32_t, uint32_t>> seen;
    auto walk = [&seen](const std::vector<uint32_t>& list, bool keep_all) {
        std::vector<uint32_t> kept;
        for (size_t i = 0; i + 1 < list.size(); i += 2) {
            if (seen.insert(std::minmax(list[i], list[i + 1])).second || keep_all)
                kept.insert(kept.end(), {list[i], list[i + 1]});
        }
        return kept;
    };
    std::array<std::vector<uint32_t>, 3> kept;
    kept[0] = walk(w.group_edges, true);
    kept[1] = walk(w.polygon_edges, false);
    kept[2] = walk(w.triangle_edges, false);
    return kept;
}

// Every array of the mesh read against the one written.
static void expect_read_as_written(const InteropMesh& r, const InteropWriterMesh& w) {
    EXPECT_EQ(r.positions, w.positions);
    EXPECT_EQ(r.polygons, w.polygons);
    EXPECT_EQ(r.polygon_normals, w.normals);
    std::vector<double> triangle_normals(w.normals.begin(), w.normals.begin() + 3 * w.sign_flags.size());
    for (size_t v = 0; v < w.sign_flags.size(); ++v) {
        if (w.sign_flags[v] & 0x80) {
            for (size_t k = 0; k < 3; ++k) triangle_normals[3 * v + k] = -triangle_normals[3 * v + k];
        }
    }
    const NormalList read = triangle_normals_of(r);
    std::vector<double> made;
    for (size_t i = 0; i < read.size(); ++i) made.push_back(read[i]);
    EXPECT_EQ(made, triangle_normals);
    std::vector<double> colours;
    std::vector<uint8_t> display;
    for (uint32_t index : w.colour_indices) {
        for (size_t k = 0; k < 4; ++k) {
            colours.push_back(w.palette[4 * index + k]);
            display.push_back(display_byte(w.palette[4 * index + k]));
        }
    }
    const ColourList read_colours = colours_of(r);
    std::vector<double> looked_up;
    for (size_t i = 0; i < read_colours.size(); ++i) looked_up.push_back(read_colours[i]);
    EXPECT_EQ(looked_up, colours);
    EXPECT_EQ(r.display_colours, display);
    EXPECT_EQ(r.bounds, w.bounds);
    EXPECT_EQ(r.face_ids, as<uint32_t>(w.face_ids));
    EXPECT_EQ(r.group_ids, as<uint32_t>(w.group_ids));
    EXPECT_EQ(r.user_type_ids, as<uint32_t>(w.user_type_ids));
    EXPECT_EQ(r.operand_ids, as<uint32_t>(w.operand_ids));
    EXPECT_EQ(r.triangles, w.triangles);
    EXPECT_EQ(r.triangle_polygons, as<uint32_t>(w.triangle_polygons));
    if (w.index_width == INTEROP_INDEX_32) {
        const std::array<std::vector<uint32_t>, 3> kept = kept_edges(w);
        EXPECT_EQ(r.group_edges, kept[0]);
        EXPECT_EQ(r.polygon_edges, kept[1]);
        EXPECT_EQ(r.triangle_edges, kept[2]);
    } else {
        EXPECT_EQ(r.group_edges_16, as<uint16_t>(w.group_edges));
        EXPECT_EQ(r.polygon_edges_16, as<uint16_t>(w.polygon_edges));
        EXPECT_EQ(r.triangle_edges_16, as<uint16_t>(w.triangle_edges));
    }
    EXPECT_EQ(r.shading_vectors, w.shading);
    EXPECT_EQ(r.ppd_text, w.ppd_text);
    EXPECT_EQ(r.type_name_lengths, std::vector<int32_t>({5, 3, 3}));
    EXPECT_EQ(r.type_name_offsets, std::vector<int32_t>({0, 5, 8}));
    EXPECT_EQ(std::string(r.type_names.begin(), r.type_names.end()), "platerimhub");
}

struct Read {
    std::vector<InteropMesh*> meshes;
    std::string printed;
    explicit Read(const std::string& bytes) {
        testing::internal::CaptureStdout();
        meshes = read_interop_meshes_from_memory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "mem");
        printed = testing::internal::GetCapturedStdout();
    }
    Read(const Read&) = delete;
    ~Read() { free_interop_meshes(meshes); }
};

TEST(InteropReaderThreads, LargeEntriesReadAsWritten) {
    // 16-bit indices with plain edge lists; 32-bit with coded ones, two
    // entries so the second is read after the first's threads are joined.
    const InteropWriterMesh narrow = large_mesh(160, INTEROP_INDEX_16);
    const InteropWriterMesh wide = large_mesh(160, INTEROP_INDEX_32);
    {
        Read r(interop_serialise({narrow}));
        ASSERT_EQ(r.meshes.size(), 1u);
        expect_read_as_written(*r.meshes[0], narrow);
    }
    Read r(interop_serialise({wide, narrow}));
    ASSERT_EQ(r.meshes.size(), 2u);
    expect_read_as_written(*r.meshes[0], wide);
    expect_read_as_written(*r.meshes[1], narrow);
    EXPECT_EQ(r.meshes[1]->serial_id, r.meshes[0]->serial_id + 1);
    EXPECT_EQ(r.printed, "");
    // From a file, which is mapped and handed back part by part: the second
    // entry shares a page with the first one, whose parts are read by then.
    const TestDir scratch("vk_threads");
    const std::string path = scratch.path() + "/two.bin";
    ASSERT_TRUE(write_interop_file(path, {wide, narrow}));
    std::vector<InteropMesh*> read = read_interop_meshes(path);
    ASSERT_EQ(read.size(), 2u);
    expect_read_as_written(*read[0], wide);
    expect_read_as_written(*read[1], narrow);
    free_interop_meshes(read);
}

// A fault in any array, or in several at once, fails the whole file with
// the one message, whichever thread meets it.
TEST(InteropReaderThreads, FaultsInAnyArrayFailTheWholeFile) {
    for (const InteropIndexWidth width : {INTEROP_INDEX_16, INTEROP_INDEX_32}) {
        const InteropWriterMesh good = large_mesh(160, width);
        const uint32_t vertices = static_cast<uint32_t>(good.positions.size() / 3);
        std::vector<std::pair<const char*, InteropWriterMesh>> broken;
        auto add = [&](const char* what) {
            broken.emplace_back(what, good);
            return &broken.back().second;
        };
        add("triangle")->triangles.back() = vertices;
        add("polygon corner")->polygons.back() = vertices;
        add("colour index")->colour_indices.back() = 5;
        add("sign flags")->sign_flags.resize(vertices + 1);
        add("group edge")->group_edges.back() = vertices;
        add("triangle edge")->triangle_edges.back() = vertices;
        InteropWriterMesh* two = add("colour index and triangle");
        two->colour_indices[7] = 9;
        two->triangles[3] = vertices + 4;
        add("type names")->header_override = {{IW_TYPE_NAME_BYTES_LEN, 10}, {IW_PPD_TEXT_LEN, 5}};
        const std::string good_entry = interop_serialise({good}).substr(4);
        for (const auto& b : broken) {
            SCOPED_TRACE(std::string(b.first) + (width == INTEROP_INDEX_16 ? " 16" : " 32"));
            // Alone, and after a good entry.
            const std::string alone = interop_serialise({b.second});
            const int32_t two = 2;
            const std::string after = std::string(reinterpret_cast<const char*>(&two), 4) + good_entry + alone.substr(4);
            for (const std::string& bytes : {alone, after}) {
                Read r(bytes);
                EXPECT_TRUE(r.meshes.empty());
                EXPECT_EQ(r.printed, "ERROR-READING-BINARY-INTEROP-FILE: mem\n");
            }
        }
    }
}

// Assembly reads one file per worker at the same time.
TEST(InteropReaderThreads, ReadsSideBySideDoNotMeet) {
    const InteropWriterMesh narrow = large_mesh(160, INTEROP_INDEX_16);
    const InteropWriterMesh wide = large_mesh(160, INTEROP_INDEX_32);
    const TestDir scratch("vk_threads");
    const std::string paths[2] = {scratch.path() + "/narrow.bin", scratch.path() + "/wide.bin"};
    ASSERT_TRUE(write_interop_file(paths[0], {narrow}));
    ASSERT_TRUE(write_interop_file(paths[1], {wide}));
    std::vector<InteropMesh*> read[4];
    std::vector<std::thread> workers;
    for (size_t i = 0; i < 4; ++i) workers.emplace_back([&, i] { read[i] = read_interop_meshes(paths[i % 2]); });
    for (std::thread& worker : workers) worker.join();
    std::set<int32_t> serials;
    for (size_t i = 0; i < 4; ++i) {
        ASSERT_EQ(read[i].size(), 1u);
        expect_read_as_written(*read[i][0], i % 2 ? wide : narrow);
        serials.insert(read[i][0]->serial_id);
        free_interop_meshes(read[i]);
    }
    EXPECT_EQ(serials.size(), 4u);
}

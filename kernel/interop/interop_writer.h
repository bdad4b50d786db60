// Writer for the kernel's binary interop mesh file.
//
// The file is a 32-bit mesh count followed by one entry per mesh: a header of
// 36 signed 32-bit words (144 bytes) and the arrays those words count, in host
// byte order, with no magic, version or padding between entries.
//
// Usage:
//
//   InteropWriterMesh m;                  // dimension 3, everything empty
//   m.positions = {0,0,0, 1,0,0, 1,1,0};  // 3 components per vertex
//   m.polygons = {1, 3, 0, 1, 2};         // polygon_size 0: P, sizes, corners
//   m.normals = {0,0,1, 0,0,1, 0,0,1};    // 3 per vertex
//   m.triangles = {0, 1, 2};
//   interop_fill_bounds(m);               // min, max, centre, mean, extent
//   std::string error;
//   write_interop_file(path, {m}, &error);
//
// Index width. Polygon, triangle and plain edge lists are written with 16-bit
// indices unless some value needs more (or `index_width` forces 32). A 32-bit
// entry has `wide_rows` > 0: its edge lists travel as coded tables (per-row
// dictionaries of 32-bit values with 16-bit entries) made from the plain
// lists, and the plain edge list lengths are written as 0 unless
// `plain_edges_in_wide` asks to write them too (as 32-bit values).
//
// Colour indices. When `palette` is not empty one index per vertex follows it;
// the width is 1, 2 or 4 bytes by the palette length (up to 1023, 262,143 or
// more components). Missing indices are written as 0.
//
// Everything else is written exactly as given, so tests can build broken
// files: `header_override` replaces chosen header words after they were
// computed, and interop_serialise's `mesh_count_override` or a truncated
// write produce short or inconsistent files. An empty entry (all lists empty)
// is exactly 144 bytes. A file shorter than 144 bytes is padded with zeros up
// to 144 bytes (only possible with zero meshes), because readers reject
// anything shorter.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Header word positions, for tests that patch or inspect headers.
enum InteropHeaderWord {
    IW_POSITIONS_LEN = 0,
    IW_POLYGONS_LEN = 1,
    IW_POLYGON_SIZE = 2,
    IW_DIMENSION = 3,
    IW_NORMALS_LEN = 4,
    IW_PALETTE_LEN = 5,
    IW_BOUNDS_LEN = 6,
    IW_FACE_IDS_LEN = 7,
    IW_GROUP_IDS_LEN = 8,
    IW_USER_TYPES_LEN = 9,
    IW_OPERAND_IDS_LEN = 10,
    IW_TRIANGLES_LEN = 11,
    IW_SIGN_FLAGS_LEN = 12,
    IW_TRIANGLE_POLYGONS_LEN = 13,
    IW_POLYGON_EDGES_LEN = 14,
    IW_TRIANGLE_EDGES_LEN = 15,
    IW_GROUP_EDGES_LEN = 16,
    IW_WIDE_ROWS = 17,
    IW_WIDE_VALUES = 18,
    IW_WIDE_ENTRIES = 19,
    IW_POLYGON_EDGE_ROWS = 20,
    IW_POLYGON_EDGE_VALUES = 21,
    IW_POLYGON_EDGE_ENTRIES = 22,
    IW_TRIANGLE_EDGE_ROWS = 23,
    IW_TRIANGLE_EDGE_VALUES = 24,
    IW_TRIANGLE_EDGE_ENTRIES = 25,
    IW_GROUP_EDGE_ROWS = 26,
    IW_GROUP_EDGE_VALUES = 27,
    IW_GROUP_EDGE_ENTRIES = 28,
    IW_SMOOTHING_COUNT = 29,
    IW_SPARE_LEN = 30,
    IW_SHADING_LEN = 31,
    IW_RESERVED = 32,
    IW_PPD_TEXT_LEN = 33,
    IW_TYPE_NAMES_LEN = 34,
    IW_TYPE_NAME_BYTES_LEN = 35,
    IW_WORD_COUNT = 36
};

constexpr size_t kInteropHeaderBytes = 144;

// A coded table: R rows; values V where V[1..R] are the sizes of the per-row
// dictionaries stored from V[R + 1] on; row sizes S (R + 1 values, S[0]
// unused); entries E, each an index into its row's dictionary.
struct InteropCodedTable {
    int32_t rows = 0;
    std::vector<uint32_t> values;
    std::vector<uint32_t> row_sizes;
    std::vector<uint16_t> entries;
};

enum InteropIndexWidth { INTEROP_INDEX_AUTO = 0, INTEROP_INDEX_16 = 16, INTEROP_INDEX_32 = 32 };

struct InteropWriterMesh {
    int32_t dimension = 3;
    int32_t polygon_size = 0;            // 0: `polygons` starts with P and the P sizes
    std::vector<double> positions;
    std::vector<uint32_t> polygons;
    std::vector<double> normals;         // 3 per vertex
    std::vector<double> palette;         // 4 per colour, 0..1
    std::vector<uint32_t> colour_indices;  // one per vertex, written only with a palette
    std::vector<double> bounds;          // 5 * dimension
    std::vector<int32_t> face_ids;
    std::vector<int32_t> group_ids;
    std::vector<int32_t> user_type_ids;
    std::vector<int32_t> operand_ids;
    std::vector<uint32_t> triangles;
    std::vector<uint8_t> sign_flags;     // one per vertex; top bit set = negated triangle normal
    std::vector<int32_t> triangle_polygons;
    std::vector<uint32_t> polygon_edges;   // vertex index pairs
    std::vector<uint32_t> triangle_edges;
    std::vector<uint32_t> group_edges;
    int32_t smoothing_count = 0;
    std::vector<int32_t> spare;
    std::vector<float> shading;          // 3 per triangle
    int32_t reserved = 0;
    std::string ppd_text;
    std::vector<std::string> type_names;

    InteropIndexWidth index_width = INTEROP_INDEX_AUTO;
    bool plain_edges_in_wide = false;
    // Coded table 1 of a 32-bit entry; readers drop it. Left empty, a one-row
    // table without entries is written so `wide_rows` is 1.
    InteropCodedTable wide_table;
    // Header words to force after computing them: (word index, value).
    std::vector<std::pair<int, int32_t>> header_override;
};

// True when the entry needs (or is forced to) 32-bit indices.
bool interop_uses_wide_indices(const InteropWriterMesh& mesh);

// Colour index width in bytes for a palette length in doubles: 0, 1, 2 or 4.
int interop_colour_index_bytes(int64_t palette_len);

// The 36 header words the entry will be written with (overrides applied).
std::array<int32_t, IW_WORD_COUNT> interop_header(const InteropWriterMesh& mesh);

// Exact size in bytes of one entry, header included.
size_t interop_entry_size(const InteropWriterMesh& mesh);

// Splits a list of 32-bit values into rows of at most `row_len` entries, each
// with its own dictionary. row_len is clamped to 1..65536.
InteropCodedTable interop_encode_table(const std::vector<uint32_t>& list, size_t row_len = 65536);

// Inverse of interop_encode_table; false when the table is inconsistent.
bool interop_decode_table(const InteropCodedTable& table, std::vector<uint32_t>& out);

// Fills `bounds` from `positions`: minimum, maximum, centre, mean, extent;
// no vertices, no bounds.
void interop_fill_bounds(InteropWriterMesh& mesh);

// The whole file as bytes. mesh_count_override >= 0 writes that count in
// place of the number of meshes.
std::string interop_serialise(const std::vector<InteropWriterMesh>& meshes,
                              int32_t mesh_count_override = -1);

// Writes the file (replacing it). On failure returns false and sets *error.
bool write_interop_file(const std::string& path, const std::vector<InteropWriterMesh>& meshes,
                        std::string* error = nullptr);

// Writes only the first `keep_bytes` bytes of the file the meshes make.
bool write_interop_file_truncated(const std::string& path,
                                  const std::vector<InteropWriterMesh>& meshes,
                                  size_t keep_bytes, std::string* error = nullptr);

// Writes raw bytes (for hand-made fixtures).
bool write_interop_bytes(const std::string& path, const std::string& bytes,
                         std::string* error = nullptr);

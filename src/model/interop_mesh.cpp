#include "model/interop_mesh.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/files.h"

static std::atomic<int32_t> mesh_serial_counter{0};

int32_t next_mesh_serial() { return mesh_serial_counter.fetch_add(1); }
void reset_mesh_serial_counter() { mesh_serial_counter.store(0); }

// ---------------------------------------------------------------------------
// Header layout: 36 signed words per entry.

enum HeaderWord : int32_t {
    H_POSITIONS = 0,
    H_POLYGONS = 1,
    H_POLYGON_SIZE = 2,
    H_DIMENSION = 3,
    H_NORMALS = 4,
    H_PALETTE = 5,
    H_BOUNDS = 6,
    H_FACE_IDS = 7,
    H_GROUP_IDS = 8,
    H_USER_TYPES = 9,
    H_OPERAND_IDS = 10,
    H_TRIANGLES = 11,
    H_SIGN_FLAGS = 12,
    H_TRIANGLE_POLYGONS = 13,
    H_POLYGON_EDGES = 14,
    H_TRIANGLE_EDGES = 15,
    H_GROUP_EDGES = 16,
    H_WIDE_ROWS = 17,  // rows of coded table 0; above 0 also selects 32-bit indices
    H_TABLE0 = 17,     // rows, values, entries of coded tables 0..3 follow in threes
    H_SMOOTHING_COUNT = 29,
    H_SPARE = 30,
    H_SHADING = 31,
    H_RESERVED = 32,
    H_PPD_TEXT = 33,
    H_TYPE_NAMES = 34,
    H_TYPE_NAME_BYTES = 35,
    HEADER_WORDS = 36,
};

static const int32_t header_bytes = HEADER_WORDS * 4;

// Words that are not array lengths; every other word must not be negative.
static bool is_count_word(int32_t w) {
    return w != H_POLYGON_SIZE && w != H_DIMENSION && w != H_SMOOTHING_COUNT && w != H_RESERVED;
}

// ---------------------------------------------------------------------------
// Byte source: a file read with bulk reads, or bytes in memory. It knows how
// many bytes are left, so every count is checked before anything is
// allocated for it.

struct ByteSource {
    FILE* file = nullptr;
    const uint8_t* data = nullptr;
    uint64_t size = 0;
    uint64_t position = 0;
};

static uint64_t bytes_left(const ByteSource& s) { return s.size - s.position; }

static bool read_bytes(ByteSource& s, void* out, uint64_t n) {
    if (n > bytes_left(s)) return false;
    if (n == 0) return true;
    if (s.file) {
        if (std::fread(out, 1, n, s.file) != n) return false;
    } else {
        std::memcpy(out, s.data + s.position, n);
    }
    s.position += n;
    return true;
}

static bool skip_bytes(ByteSource& s, uint64_t n) {
    if (n > bytes_left(s)) return false;
    if (s.file && n > 0 && std::fseek(s.file, static_cast<long>(s.position + n), SEEK_SET) != 0) return false;
    s.position += n;
    return true;
}

// True when every value from `begin` on is below `limit` (at most
// INT32_MAX, so a value that is negative as a signed index fails too). The
// outcomes are or-ed together without an early exit so the loop vectorises.
// Kept out of line: inlined into the reader, the loop is not vectorised.
template <typename T>
__attribute__((noinline)) static bool indices_below(const T* p, size_t begin, size_t n, uint64_t limit) {
    if (begin >= n) return true;
    if (limit == 0) return false;
    if (limit > static_cast<uint64_t>(INT32_MAX)) limit = static_cast<uint64_t>(INT32_MAX);
    const uint32_t bound = static_cast<uint32_t>(limit);
    uint32_t bad = 0;
    for (size_t i = begin; i < n; ++i) bad |= (static_cast<uint32_t>(p[i]) >= bound);
    return bad == 0;
}

template <typename T>
static bool indices_below(const std::vector<T>& v, size_t begin, uint64_t limit) {
    return indices_below(v.data(), begin, v.size(), limit);
}

// Arrays are read straight into their vectors in large pieces: growing the
// vector a piece at a time keeps the zero-fill that resizing does in the
// cache, where the read then overwrites it.
static const uint64_t read_piece_bytes = 128 * 1024;

static const uint64_t no_limit = ~uint64_t(0);

// With a limit, every value must lie below it; each piece is checked while
// it is still in the cache.
template <typename T>
static bool read_array(ByteSource& s, std::vector<T>& v, int64_t count, uint64_t limit = no_limit) {
    v.clear();
    if (count <= 0) return true;
    const uint64_t total = static_cast<uint64_t>(count);
    if (total * sizeof(T) > bytes_left(s)) return false;
    v.reserve(total);
    const uint64_t piece = read_piece_bytes / sizeof(T);
    for (uint64_t done = 0; done < total;) {
        const uint64_t n = std::min(piece, total - done);
        v.resize(done + n);
        if (!read_bytes(s, v.data() + done, n * sizeof(T))) return false;
        if (limit != no_limit && !indices_below(v.data() + done, 0, n, limit)) return false;
        done += n;
    }
    return true;
}

// An index array of the file's width, widened to 32 bits a piece at a time.
static bool read_indices(ByteSource& s, std::vector<uint32_t>& v, int64_t count, bool wide,
                         std::vector<uint16_t>& scratch, uint64_t limit = no_limit) {
    if (wide) return read_array(s, v, count, limit);
    v.clear();
    if (count <= 0) return true;
    const uint64_t total = static_cast<uint64_t>(count);
    if (total * 2 > bytes_left(s)) return false;
    v.reserve(total);
    const uint64_t piece = read_piece_bytes / 2;
    for (uint64_t done = 0; done < total;) {
        const uint64_t n = std::min(piece, total - done);
        scratch.resize(n);
        if (!read_bytes(s, scratch.data(), n * 2)) return false;
        if (limit != no_limit && !indices_below(scratch.data(), 0, n, limit)) return false;
        v.insert(v.end(), scratch.begin(), scratch.end());
        done += n;
    }
    return true;
}

static int32_t colour_index_width(int32_t palette_len) {
    if (palette_len <= 0) return 0;
    if (palette_len <= 1023) return 1;
    if (palette_len <= 262143) return 2;
    return 4;
}

// Bytes an entry's arrays take according to its header; the checks that
// need only the header are made here too.
static bool entry_array_bytes(const int32_t* h, uint64_t& total) {
    for (int32_t w = 0; w < HEADER_WORDS; ++w) {
        if (is_count_word(w) && h[w] < 0) return false;
    }
    const int32_t dim = h[H_DIMENSION];
    if (h[H_POSITIONS] > 0 && ((dim != 2 && dim != 3) || h[H_POSITIONS] % dim != 0)) return false;
    const uint64_t vertices = h[H_POSITIONS] > 0 ? static_cast<uint64_t>(h[H_POSITIONS] / dim) : 0;
    const bool wide = h[H_WIDE_ROWS] > 0;
    const uint64_t iw = wide ? 4 : 2;
    auto n = [&](int32_t w) { return static_cast<uint64_t>(h[w]); };

    uint64_t t = 0;
    t += n(H_POSITIONS) * 8 + n(H_POLYGONS) * iw + n(H_NORMALS) * 8 + n(H_PALETTE) * 8;
    t += vertices * static_cast<uint64_t>(colour_index_width(h[H_PALETTE]));
    t += n(H_BOUNDS) * 8;
    t += (n(H_FACE_IDS) + n(H_GROUP_IDS) + n(H_USER_TYPES) + n(H_OPERAND_IDS)) * 4;
    t += n(H_TRIANGLES) * iw + n(H_SIGN_FLAGS) + n(H_TRIANGLE_POLYGONS) * 4;
    t += (n(H_POLYGON_EDGES) + n(H_TRIANGLE_EDGES) + n(H_GROUP_EDGES)) * iw;
    for (int32_t table = 0; table < 4; ++table) {
        const int32_t rows = H_TABLE0 + 3 * table, values = rows + 1, entries = rows + 2;
        t += n(values) * 4;
        if (h[entries] > 0) t += (n(rows) + 1) * 4 + n(entries) * 2;
    }
    t += n(H_SPARE) * 4 + n(H_SHADING) * 4 + n(H_PPD_TEXT);
    t += n(H_TYPE_NAMES) * 8 + n(H_TYPE_NAME_BYTES);
    total = t;
    return true;
}

// ---------------------------------------------------------------------------
// Decoding and de-duplicating the edge lists of a 32-bit entry.

// Row r (1..R) maps its S[r] entries through its own dictionary of V[r]
// values, stored one after another from V[R + 1] on. Every entry must fall
// inside its row's dictionary, every dictionary value below `limit`, and the
// rows must cover the entries exactly.
static bool decode_coded_table(const CodedTable& table, uint64_t limit, std::vector<uint32_t>& out) {
    out.clear();
    if (table.entries.empty()) return true;
    const uint64_t rows = static_cast<uint64_t>(table.rows);
    const std::vector<uint32_t>& V = table.values;
    const std::vector<uint32_t>& S = table.row_sizes;
    const std::vector<uint16_t>& E = table.entries;
    if (S.size() != rows + 1 || V.size() < rows + 1) return false;
    out.reserve(E.size());
    uint64_t base = rows + 1;
    uint64_t pos = 0;
    const uint16_t* entries = E.data();
    for (uint64_t r = 1; r <= rows; ++r) {
        const uint64_t size = S[r];
        const uint64_t dictionary = V[r];
        if (size > E.size() - pos || dictionary > V.size() - base) return false;
        const uint16_t* row = entries + pos;
        if (dictionary <= 0xFFFF && !indices_below(row, 0, size, dictionary)) return false;
        const uint32_t* dict = V.data() + base;
        // Only dictionary values can come out, so they carry the check.
        if (!indices_below(dict, 0, dictionary, limit)) return false;
        out.resize(pos + size);  // a row at a time: the zero-fill stays in the cache
        uint32_t* output = out.data() + pos;
        for (uint64_t j = 0; j < size; ++j) output[j] = dict[row[j]];
        pos += size;
        base += dictionary;
    }
    return pos == E.size();
}

// Removing duplicate edges across the three lists. Each edge is keyed by a
// 64-bit value (smaller index high, larger low) in a hash set, walked in
// precedence order: every group edge, then the polygon edges, then the
// triangle edges, each kept only when its key is new.
//
// Keys of edges whose smaller index lies in different blocks of vertices can
// never be equal, so the set is built block by block: the pairs of each list
// are first ordered by block (a counting sort that keeps their order), then
// for each block the three lists' pairs go through one small open-addressing
// table that stays in the cache. The outcome of every pair is exactly that
// of one walk over the lists in order. Keys inside a block are fully mixed,
// so no input makes the probe runs long.

static const int edge_block_bits = 8;
static const uint64_t free_slot = ~uint64_t(0);  // no edge has this key

// Indices are compared as signed 32-bit values; the reader has already
// checked that every one is below the vertex count.
static inline uint64_t edge_key(uint32_t a, uint32_t b) {
    const int32_t sa = static_cast<int32_t>(a), sb = static_cast<int32_t>(b);
    const uint32_t lo = static_cast<uint32_t>(std::min(sa, sb)), hi = static_cast<uint32_t>(std::max(sa, sb));
    return (static_cast<uint64_t>(lo) << 32) | hi;
}

static inline uint64_t mix_key(uint64_t key) {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdull;
    key ^= key >> 33;
    return key;
}

struct BlockedPairs {
    // Pair numbers grouped by block, in list order within a block; empty
    // when the list already runs in block order (the common case: the
    // kernel writes edges in vertex order).
    std::vector<uint32_t> order;
    std::vector<uint64_t> start;  // blocks + 1 offsets
};

static inline uint64_t pair_block(const uint32_t* e, size_t m) {
    return std::min(e[2 * m], e[2 * m + 1]) >> edge_block_bits;
}

static void group_pairs_by_block(const std::vector<uint32_t>& edges, uint64_t blocks, BlockedPairs& out) {
    const size_t pairs = edges.size() / 2;
    const uint32_t* e = edges.data();
    out.start.assign(blocks + 1, 0);
    out.order.clear();
    if (pairs == 0) return;
    // Counted by runs of one block, which saves a dependent increment of
    // the same counter for every pair.
    bool in_order = true;
    uint64_t run_block = pair_block(e, 0);
    uint64_t run = 0;
    for (size_t m = 0; m < pairs; ++m) {
        const uint64_t b = pair_block(e, m);
        if (b != run_block) {
            out.start[run_block + 1] += run;
            in_order = in_order && b > run_block;
            run_block = b;
            run = 0;
        }
        ++run;
    }
    out.start[run_block + 1] += run;
    for (uint64_t b = 0; b < blocks; ++b) out.start[b + 1] += out.start[b];
    if (in_order) return;
    std::vector<uint64_t> cursor(out.start.begin(), out.start.end() - 1);
    out.order.resize(pairs);
    for (size_t m = 0; m < pairs; ++m) out.order[cursor[pair_block(e, m)]++] = static_cast<uint32_t>(m);
}

// Keeps the pairs whose flag is set, in order; a list with none left is
// released.
static void keep_flagged_pairs(std::vector<uint32_t>& edges, const std::vector<uint8_t>& keep) {
    uint32_t* e = edges.data();
    size_t kept = 0;
    for (size_t m = 0; m < keep.size(); ++m) {
        e[2 * kept] = e[2 * m];
        e[2 * kept + 1] = e[2 * m + 1];
        kept += keep[m];
    }
    edges.resize(2 * kept);
    if (kept == 0) std::vector<uint32_t>().swap(edges);
}

// `lists` in precedence order; the first list keeps every pair.
static void remove_duplicate_edges(std::vector<uint32_t>* const* lists, int count, uint64_t vertices) {
    const uint64_t blocks = (vertices >> edge_block_bits) + 1;
    std::vector<BlockedPairs> grouped(static_cast<size_t>(count));
    std::vector<std::vector<uint8_t>> keep(static_cast<size_t>(count));
    for (int l = 0; l < count; ++l) {
        group_pairs_by_block(*lists[l], blocks, grouped[static_cast<size_t>(l)]);
        keep[static_cast<size_t>(l)].assign(lists[l]->size() / 2, 0);
    }
    std::vector<uint64_t> table;
    for (uint64_t b = 0; b < blocks; ++b) {
        uint64_t keys = 0;
        for (const BlockedPairs& g : grouped) keys += g.start[b + 1] - g.start[b];
        if (keys == 0) continue;
        uint64_t capacity = 4;
        while (capacity < keys + keys / 2 + 1) capacity <<= 1;
        if (table.size() < capacity) table.resize(capacity);
        std::fill(table.begin(), table.begin() + static_cast<ptrdiff_t>(capacity), free_slot);
        const uint64_t mask = capacity - 1;
        for (int l = 0; l < count; ++l) {
            const BlockedPairs& g = grouped[static_cast<size_t>(l)];
            const uint32_t* e = lists[l]->data();
            uint8_t* flags = keep[static_cast<size_t>(l)].data();
            const bool in_order = g.order.empty();
            for (uint64_t k = g.start[b]; k < g.start[b + 1]; ++k) {
                const uint64_t m = in_order ? k : g.order[k];
                const uint64_t key = edge_key(e[2 * m], e[2 * m + 1]);
                uint64_t i = mix_key(key) & mask;
                while (table[i] != key && table[i] != free_slot) i = (i + 1) & mask;
                const bool added = table[i] == free_slot;
                table[i] = key;
                flags[m] = (added || l == 0) ? 1 : 0;
            }
        }
    }
    for (int l = 0; l < count; ++l) keep_flagged_pairs(*lists[l], keep[static_cast<size_t>(l)]);
}

// ---------------------------------------------------------------------------
// Checks of indices against the vertex count.

// With mixed sizes the list is P, P corner counts, then the corners, which
// must not run past the list.
static bool polygon_list_sound(const InteropMesh& m, uint64_t vertices) {
    const std::vector<uint32_t>& p = m.polygons;
    if (p.empty()) return true;
    if (m.polygon_size > 0) return indices_below(p, 0, vertices);
    const uint64_t count = p[0];
    if (count > p.size() - 1) return false;
    uint64_t corners = 0;
    for (uint64_t i = 1; i <= count; ++i) corners += p[i];
    if (corners > p.size() - 1 - count) return false;
    return indices_below(p, static_cast<size_t>(1 + count), vertices);
}

static bool type_names_sound(const InteropMesh& m) {
    if (m.type_name_lengths.size() != m.type_name_offsets.size()) return false;
    for (size_t i = 0; i < m.type_name_lengths.size(); ++i) {
        const int64_t length = m.type_name_lengths[i], offset = m.type_name_offsets[i];
        if (length < 0 || offset < 0 || static_cast<uint64_t>(offset + length) > m.type_names.size()) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// One entry.

static bool read_entry(ByteSource& s, InteropMesh& m, std::vector<uint16_t>& scratch16) {
    int32_t h[HEADER_WORDS];
    if (!read_bytes(s, h, header_bytes)) return false;
    uint64_t needed = 0;
    if (!entry_array_bytes(h, needed) || needed > bytes_left(s)) return false;

    const bool wide = h[H_WIDE_ROWS] > 0;
    const uint64_t vertices = h[H_POSITIONS] > 0 ? static_cast<uint64_t>(h[H_POSITIONS] / h[H_DIMENSION]) : 0;
    m.polygon_size = h[H_POLYGON_SIZE];
    m.dimension = h[H_DIMENSION];
    m.smoothing_count = h[H_SMOOTHING_COUNT];
    m.smoothing_groups_defined = h[H_SMOOTHING_COUNT] > 0 ? 1 : 0;

    if (!read_array(s, m.positions, h[H_POSITIONS])) return false;
    if (!read_indices(s, m.polygons, h[H_POLYGONS], wide, scratch16)) return false;
    if (!read_array(s, m.polygon_normals, h[H_NORMALS])) return false;

    std::vector<double> palette;
    if (!read_array(s, palette, h[H_PALETTE])) return false;
    std::vector<uint32_t> colour_indices;
    const int32_t index_width = colour_index_width(h[H_PALETTE]);
    if (index_width == 1) {
        std::vector<uint8_t> bytes;
        if (!read_array(s, bytes, static_cast<int64_t>(vertices))) return false;
        colour_indices.assign(bytes.begin(), bytes.end());
    } else if (index_width == 2) {
        if (!read_indices(s, colour_indices, static_cast<int64_t>(vertices), false, scratch16)) return false;
    } else if (index_width == 4) {
        if (!read_array(s, colour_indices, static_cast<int64_t>(vertices))) return false;
    }

    if (!read_array(s, m.bounds, h[H_BOUNDS])) return false;
    if (!read_array(s, m.face_ids, h[H_FACE_IDS])) return false;
    if (!read_array(s, m.group_ids, h[H_GROUP_IDS])) return false;
    if (!read_array(s, m.user_types, h[H_USER_TYPES])) return false;
    if (!read_array(s, m.operand_ids, h[H_OPERAND_IDS])) return false;
    if (!read_indices(s, m.triangles, h[H_TRIANGLES], wide, scratch16, vertices)) return false;
    std::vector<uint8_t> sign_flags;
    if (!read_array(s, sign_flags, h[H_SIGN_FLAGS])) return false;
    if (!read_array(s, m.triangle_polygons, h[H_TRIANGLE_POLYGONS])) return false;

    if (wide) {
        // The plain lists of a 32-bit entry are replaced by the coded tables.
        const uint64_t plain = static_cast<uint64_t>(h[H_POLYGON_EDGES]) + static_cast<uint64_t>(h[H_TRIANGLE_EDGES]) +
                               static_cast<uint64_t>(h[H_GROUP_EDGES]);
        if (!skip_bytes(s, plain * 4)) return false;
    } else {
        if (!read_array(s, m.polygon_edges16, h[H_POLYGON_EDGES], vertices)) return false;
        if (!read_array(s, m.triangle_edges16, h[H_TRIANGLE_EDGES], vertices)) return false;
        if (!read_array(s, m.group_edges16, h[H_GROUP_EDGES], vertices)) return false;
    }

    for (int32_t t = 0; t < 4; ++t) {
        CodedTable& table = m.coded_tables[static_cast<size_t>(t)];
        const int32_t* w = h + H_TABLE0 + 3 * t;
        table.rows = w[0];
        if (!read_array(s, table.values, w[1])) return false;
        if (w[2] > 0) {
            if (!read_array(s, table.row_sizes, static_cast<int64_t>(w[0]) + 1)) return false;
            if (!read_array(s, table.entries, w[2])) return false;
        }
    }

    if (!skip_bytes(s, static_cast<uint64_t>(h[H_SPARE]) * 4)) return false;
    if (!read_array(s, m.shading_vectors, h[H_SHADING])) return false;
    if (h[H_PPD_TEXT] > 0) {
        m.ppd_text.resize(static_cast<size_t>(h[H_PPD_TEXT]));
        if (!read_bytes(s, &m.ppd_text[0], static_cast<uint64_t>(h[H_PPD_TEXT]))) return false;
    }
    if (h[H_TYPE_NAMES] > 0) {
        if (!read_array(s, m.type_name_lengths, h[H_TYPE_NAMES])) return false;
        if (!read_array(s, m.type_name_offsets, h[H_TYPE_NAMES])) return false;
    }
    if (!read_array(s, m.type_names, h[H_TYPE_NAME_BYTES])) return false;

    // Everything is read; now the arrays must agree with each other.
    if (!polygon_list_sound(m, vertices)) return false;
    if (!type_names_sound(m)) return false;
    if (sign_flags.size() * 3 > m.polygon_normals.size()) return false;

    // Triangle normals: the polygon normals with flagged triples negated.
    m.triangle_normals.assign(m.polygon_normals.begin(),
                              m.polygon_normals.begin() + static_cast<ptrdiff_t>(sign_flags.size() * 3));
    double* normals = m.triangle_normals.data();
    const uint8_t* flags = sign_flags.data();
    for (size_t i = 0, n = sign_flags.size(); i < n; ++i) {
        const double s = (flags[i] & 0x80) ? -1.0 : 1.0;
        normals[3 * i] *= s;
        normals[3 * i + 1] *= s;
        normals[3 * i + 2] *= s;
    }

    // Colours: four palette doubles per vertex, and their display bytes,
    // worked out once per palette colour.
    const uint64_t palette_colours = palette.size() / 4;
    if (!indices_below(colour_indices, 0, palette_colours)) return false;
    std::vector<uint8_t> palette_bytes(palette.size());
    for (size_t i = 0; i < palette.size(); ++i) {
        // NaN and out-of-range components would not convert to a byte.
        const double value = palette[i];
        const double clamped = value >= 0.0 ? (value <= 1.0 ? value : 1.0) : 0.0;
        palette_bytes[i] = static_cast<uint8_t>(clamped * 255.0);
    }
    const size_t vertex_colours = colour_indices.size();
    m.colours.reserve(vertex_colours * 4);
    m.display_colours.resize(vertex_colours * 4);
    uint8_t* display = m.display_colours.data();
    const uint32_t* index = colour_indices.data();
    const size_t piece = read_piece_bytes / (4 * sizeof(double));
    for (size_t first = 0; first < vertex_colours; first += piece) {
        const size_t last = std::min(vertex_colours, first + piece);
        m.colours.resize(4 * last);  // a piece at a time, as when reading
        double* colours = m.colours.data();
        for (size_t v = first; v < last; ++v) {
            const size_t k = 4 * static_cast<size_t>(index[v]);
            std::memcpy(colours + 4 * v, palette.data() + k, 4 * sizeof(double));
            std::memcpy(display + 4 * v, palette_bytes.data() + k, 4);
        }
    }

    if (wide) {
        std::vector<uint32_t>* lists[3] = {&m.polygon_edges, &m.triangle_edges, &m.group_edges};
        for (int32_t t = 0; t < 3; ++t) {
            if (!decode_coded_table(m.coded_tables[static_cast<size_t>(t + 1)], vertices, *lists[t])) return false;
        }
        std::vector<uint32_t>* precedence[3] = {&m.group_edges, &m.polygon_edges, &m.triangle_edges};
        remove_duplicate_edges(precedence, 3, vertices);
        for (CodedTable& table : m.coded_tables) table = CodedTable();
    }

    m.serial_id = next_mesh_serial();
    m.present = 1;
    m.building = 0;
    return true;
}

static std::vector<InteropMesh*> read_all_entries(ByteSource& s, const std::string& name) {
    std::vector<InteropMesh*> meshes;
    int32_t mesh_count = 0;
    bool ok = s.size >= static_cast<uint64_t>(header_bytes) && read_bytes(s, &mesh_count, 4) && mesh_count >= 0 &&
              static_cast<uint64_t>(mesh_count) <= bytes_left(s) / header_bytes;
    if (ok) {
        meshes.reserve(static_cast<size_t>(mesh_count));
        std::vector<uint16_t> scratch16;
        for (int32_t i = 0; i < mesh_count && ok; ++i) {
            InteropMesh* mesh = new InteropMesh();
            meshes.push_back(mesh);
            ok = read_entry(s, *mesh, scratch16);
        }
    }
    if (!ok) {
        free_interop_meshes(meshes);
        std::printf("ERROR-READING-BINARY-INTEROP-FILE: %s\n", name.c_str());
        std::fflush(stdout);
    }
    return meshes;
}

std::vector<InteropMesh*> read_interop_meshes_from_memory(const uint8_t* data, size_t size, const std::string& name) {
    ByteSource s;
    s.data = data;
    s.size = data ? size : 0;
    return read_all_entries(s, name);
}

std::vector<InteropMesh*> read_interop_meshes(const std::string& path) {
    if (path.empty() || !path_exists(path)) {
        std::printf("ERROR-READING-BINARY-INTEROP-FILE: %s\n", path.c_str());
        std::fflush(stdout);
        return {};
    }
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return {};
    struct stat info;
    ByteSource s;
    s.file = file;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) s.size = static_cast<uint64_t>(info.st_size);
    // Large arrays go straight from the file into the vectors.
    std::setvbuf(file, nullptr, _IOFBF, 1 << 16);
    std::vector<InteropMesh*> meshes = read_all_entries(s, path);
    std::fclose(file);
    return meshes;
}

InteropMesh* read_first_interop_mesh(const std::string& path) {
    std::vector<InteropMesh*> meshes = read_interop_meshes(path);
    if (meshes.empty()) return nullptr;
    InteropMesh* first = meshes[0];
    for (size_t i = 1; i < meshes.size(); ++i) free_interop_mesh(meshes[i]);
    return first;
}

// ---------------------------------------------------------------------------

template <typename T>
static void release(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

void destroy_interop_mesh(InteropMesh* m) {
    if (!m) return;
    release(m->positions);
    release(m->polygons);
    release(m->polygon_normals);
    release(m->colours);
    release(m->bounds);
    release(m->face_ids);
    release(m->user_types);
    release(m->group_ids);
    release(m->operand_ids);
    release(m->triangles);
    release(m->triangle_normals);
    release(m->triangle_polygons);
    release(m->polygon_edges);
    release(m->triangle_edges);
    release(m->group_edges);
    release(m->polygon_edges16);
    release(m->triangle_edges16);
    release(m->group_edges16);
    for (CodedTable& table : m->coded_tables) table = CodedTable();
    release(m->shading_vectors);
    release(m->display_colours);
    release(m->tessellation_colours);
    release(m->tessellation_map);
    release(m->upload_buffer);
    release(m->type_name_lengths);
    release(m->type_name_offsets);
    release(m->type_names);
}

void destroy_interop_mesh_strings(InteropMesh* m) {
    if (!m) return;
    std::string().swap(m->ppd_text);
    std::string().swap(m->element_invocation);
    std::string().swap(m->element_source);
}

void free_interop_mesh(InteropMesh* mesh) {
    if (!mesh) return;
    destroy_interop_mesh(mesh);
    destroy_interop_mesh_strings(mesh);
    delete mesh;
}

void free_interop_meshes(std::vector<InteropMesh*>& meshes) {
    for (InteropMesh* mesh : meshes) free_interop_mesh(mesh);
    meshes.clear();
}

int32_t interop_mesh_vertex_count(const InteropMesh& mesh) {
    if (mesh.dimension <= 0) return 0;
    return static_cast<int32_t>(mesh.positions.size() / static_cast<size_t>(mesh.dimension));
}

int32_t interop_mesh_polygon_count(const InteropMesh& mesh) {
    if (mesh.polygons.empty()) return 0;
    if (mesh.polygon_size > 0)
        return static_cast<int32_t>(mesh.polygons.size() / static_cast<size_t>(mesh.polygon_size));
    return static_cast<int32_t>(mesh.polygons[0]);
}

uint64_t interop_mesh_bytes(const InteropMesh& mesh) {
    return mesh.positions.size() * 8 + mesh.polygons.size() * 4 + mesh.polygon_normals.size() * 8 +
           mesh.colours.size() * 8;
}

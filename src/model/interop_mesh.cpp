#include "model/interop_mesh.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>

#include "platform/files.h"
#include "platform/process.h"

static std::atomic<int32_t> mesh_serial_counter{0};

int32_t next_mesh_serial() { return mesh_serial_counter.fetch_add(1); }
void reset_mesh_serial_counter() { mesh_serial_counter.store(0); }

// ---------------------------------------------------------------------------
// The header of an entry: 36 signed words, in file order. Every word but
// `polygon_size`, `dimension`, `smoothing_count` and the reserved one counts
// the values of an array that follows.

struct InteropHeader {
    int32_t positions_len = 0;
    int32_t polygons_len = 0;
    int32_t polygon_size = 0;  // 0: mixed sizes, the list starts with its size table
    int32_t dimension = 0;
    int32_t normals_len = 0;
    int32_t palette_len = 0;
    int32_t bounds_len = 0;
    int32_t face_ids_len = 0;
    int32_t group_ids_len = 0;
    int32_t user_types_len = 0;
    int32_t operand_ids_len = 0;
    int32_t triangles_len = 0;
    int32_t sign_flags_len = 0;
    int32_t triangle_polygons_len = 0;
    int32_t polygon_edges_len = 0;
    int32_t triangle_edges_len = 0;
    int32_t group_edges_len = 0;
    int32_t wide_rows = 0;  // above 0 also selects 32-bit indices
    int32_t wide_values = 0;
    int32_t wide_entries = 0;
    int32_t polygon_edge_rows = 0;
    int32_t polygon_edge_values = 0;
    int32_t polygon_edge_entries = 0;
    int32_t triangle_edge_rows = 0;
    int32_t triangle_edge_values = 0;
    int32_t triangle_edge_entries = 0;
    int32_t group_edge_rows = 0;
    int32_t group_edge_values = 0;
    int32_t group_edge_entries = 0;
    int32_t smoothing_count = 0;
    int32_t spare_len = 0;
    int32_t shading_len = 0;
    int32_t reserved = 0;
    int32_t ppd_text_len = 0;
    int32_t type_names_len = 0;
    int32_t type_name_bytes_len = 0;
};

struct HeaderWord {
    int32_t InteropHeader::*field;
    bool count;  // an array length, which must not be negative
};

static const HeaderWord header_words[] = {
    {&InteropHeader::positions_len, true},
    {&InteropHeader::polygons_len, true},
    {&InteropHeader::polygon_size, false},
    {&InteropHeader::dimension, false},
    {&InteropHeader::normals_len, true},
    {&InteropHeader::palette_len, true},
    {&InteropHeader::bounds_len, true},
    {&InteropHeader::face_ids_len, true},
    {&InteropHeader::group_ids_len, true},
    {&InteropHeader::user_types_len, true},
    {&InteropHeader::operand_ids_len, true},
    {&InteropHeader::triangles_len, true},
    {&InteropHeader::sign_flags_len, true},
    {&InteropHeader::triangle_polygons_len, true},
    {&InteropHeader::polygon_edges_len, true},
    {&InteropHeader::triangle_edges_len, true},
    {&InteropHeader::group_edges_len, true},
    {&InteropHeader::wide_rows, true},
    {&InteropHeader::wide_values, true},
    {&InteropHeader::wide_entries, true},
    {&InteropHeader::polygon_edge_rows, true},
    {&InteropHeader::polygon_edge_values, true},
    {&InteropHeader::polygon_edge_entries, true},
    {&InteropHeader::triangle_edge_rows, true},
    {&InteropHeader::triangle_edge_values, true},
    {&InteropHeader::triangle_edge_entries, true},
    {&InteropHeader::group_edge_rows, true},
    {&InteropHeader::group_edge_values, true},
    {&InteropHeader::group_edge_entries, true},
    {&InteropHeader::smoothing_count, false},
    {&InteropHeader::spare_len, true},
    {&InteropHeader::shading_len, true},
    {&InteropHeader::reserved, false},
    {&InteropHeader::ppd_text_len, true},
    {&InteropHeader::type_names_len, true},
    {&InteropHeader::type_name_bytes_len, true},
};

static const int32_t header_word_count = static_cast<int32_t>(std::size(header_words));
static_assert(std::size(header_words) == 36, "an entry header has 36 words");
static const int32_t header_bytes = header_word_count * 4;

// A count read from the header, once checked not to be negative.
static inline uint64_t len(int32_t count) { return static_cast<uint64_t>(count); }

// The rows, values and entries words of coded table `table` (0..3).
struct CodedTableWords {
    int32_t rows;
    int32_t values;
    int32_t entries;
};

static CodedTableWords coded_table_words(const InteropHeader& h, int32_t table) {
    switch (table) {
        case CODED_TABLE_WIDE: return {h.wide_rows, h.wide_values, h.wide_entries};
        case CODED_TABLE_POLYGON_EDGES: return {h.polygon_edge_rows, h.polygon_edge_values, h.polygon_edge_entries};
        case CODED_TABLE_TRIANGLE_EDGES:
            return {h.triangle_edge_rows, h.triangle_edge_values, h.triangle_edge_entries};
        default: return {h.group_edge_rows, h.group_edge_values, h.group_edge_entries};
    }
}

// ---------------------------------------------------------------------------
// The bytes of a file, in memory (a file is mapped or read first). The
// source knows how many bytes are left, so every count is checked before
// anything is allocated for it.

struct ByteSource {
    const uint8_t* data = nullptr;
    uint64_t size = 0;
    uint64_t position = 0;
    bool mapped = false;  // a private read-only mapping of the file
};

static uint64_t bytes_left(const ByteSource& s) { return s.size - s.position; }

static bool read_bytes(ByteSource& s, void* out, uint64_t n) {
    if (n > bytes_left(s)) return false;
    if (n > 0) std::memcpy(out, s.data + s.position, n);
    s.position += n;
    return true;
}

// The next `n` bytes where they lie, or null when fewer are left.
static const uint8_t* take_bytes(ByteSource& s, uint64_t n) {
    if (n > bytes_left(s)) return nullptr;
    const uint8_t* at = s.data + s.position;
    s.position += n;
    return at;
}

// Values in the file need not be aligned for their type.
template <typename T>
static inline T load(const uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

// Gives `advice` for the whole pages within [at, at + bytes), when there
// are at least `at_least` of them.
static void advise_whole_pages(const void* at, uint64_t bytes, int advice, uintptr_t at_least = 1) {
    static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    if (at == nullptr || bytes == 0) return;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(at) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(at) + bytes) & ~(page - 1);
    if (end >= first + at_least * page) madvise(reinterpret_cast<void*>(first), end - first, advice);
}

// The whole pages within [at, at + bytes) go back to the system; a page
// touched again comes back zero-filled (or, in a file mapping, from the
// page cache).
static void hand_back_pages(const void* at, uint64_t bytes) { advise_whole_pages(at, bytes, MADV_DONTNEED); }

// ---------------------------------------------------------------------------
// Checks of indices. Every value must lie below a limit, at most INT32_MAX
// (so a value that is negative as a signed index fails too); the checks work
// on a whole run of values at a time, in loops that vectorise.

static inline bool all_below(uint64_t largest, uint64_t n, uint64_t limit) {
    if (n == 0) return true;
    if (limit > static_cast<uint64_t>(INT32_MAX)) limit = static_cast<uint64_t>(INT32_MAX);
    return largest < limit;  // a limit of 0 admits nothing
}

// True when each of the `n` values at `p` (as the file holds them, at any
// alignment) lies below the limit, with the same clamp. Comparing with the
// limit takes fewer steps than finding the largest value, as the baseline
// vector instructions have no unsigned maxima. Kept out of line: inlined
// into the reader, the loops are not vectorised.
template <typename T>
__attribute__((noinline)) static bool values_below_in_bytes(const uint8_t* p, size_t n, uint64_t limit) {
    if (n == 0) return true;
    if (limit > static_cast<uint64_t>(INT32_MAX)) limit = static_cast<uint64_t>(INT32_MAX);
    if (limit == 0) return false;
    if (limit - 1 >= std::numeric_limits<T>::max()) return true;
    const T top = static_cast<T>(limit - 1);
    T over = 0;
    for (size_t i = 0; i < n; ++i) over |= static_cast<T>(load<T>(p + i * sizeof(T)) > top);
    return over == 0;
}

template <typename T>
static bool values_below(const T* p, size_t n, uint64_t limit) {
    return values_below_in_bytes<T>(reinterpret_cast<const uint8_t*>(p), n, limit);
}

template <typename T>
__attribute__((noinline)) static T largest_of(const T* p, size_t n) {
    T largest = 0;
    for (size_t i = 0; i < n; ++i) largest = std::max(largest, p[i]);
    return largest;
}

// 16-bit values widened to 32 bits; returns the largest.
__attribute__((noinline)) static uint16_t widen16(uint32_t* out, const uint8_t* p, size_t n) {
    uint16_t largest = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint16_t value = load<uint16_t>(p + 2 * i);
        out[i] = value;
        largest = std::max(largest, value);
    }
    return largest;
}

// ---------------------------------------------------------------------------
// Filling vectors. A vector that is resized is zero-filled first and then
// overwritten; instead every array is appended from the file's bytes (or from
// a small buffer that stays in the first-level cache), a piece at a time
// where a piece is worked on further, so each byte of the destination is
// written once and looked at again while it is still in the cache.

static const size_t stage_bytes = 16 * 1024;

// Values of type T as the file holds them, at any alignment: vectors are
// filled from these straight out of the file's bytes (an allocation and one
// copy, as for aligned values, with no staging on the way).
template <typename T>
struct FileValues {
    using iterator_category = std::random_access_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = const T*;
    using reference = T;

    const uint8_t* at = nullptr;

    T operator*() const { return load<T>(at); }
    T operator[](difference_type i) const { return load<T>(at + i * difference_type(sizeof(T))); }
    FileValues& operator++() {
        at += sizeof(T);
        return *this;
    }
    FileValues operator++(int) {
        FileValues old = *this;
        at += sizeof(T);
        return old;
    }
    FileValues& operator--() {
        at -= sizeof(T);
        return *this;
    }
    FileValues operator--(int) {
        FileValues old = *this;
        at -= sizeof(T);
        return old;
    }
    FileValues& operator+=(difference_type n) {
        at += n * difference_type(sizeof(T));
        return *this;
    }
    FileValues& operator-=(difference_type n) {
        at -= n * difference_type(sizeof(T));
        return *this;
    }
    FileValues operator+(difference_type n) const { return FileValues{at + n * difference_type(sizeof(T))}; }
    FileValues operator-(difference_type n) const { return FileValues{at - n * difference_type(sizeof(T))}; }
    difference_type operator-(const FileValues& o) const { return (at - o.at) / difference_type(sizeof(T)); }
    bool operator==(const FileValues& o) const { return at == o.at; }
    bool operator!=(const FileValues& o) const { return at != o.at; }
    bool operator<(const FileValues& o) const { return at < o.at; }
    bool operator>(const FileValues& o) const { return at > o.at; }
    bool operator<=(const FileValues& o) const { return at <= o.at; }
    bool operator>=(const FileValues& o) const { return at >= o.at; }
};

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

// The whole pages of an array's reserved storage, faulted in with one call
// before the array is filled: a first read fills fresh pages, and one fault
// per page costs a fifth of the read's processor time more. A kernel
// without the call refuses it, and the pages fault in as they are written.
template <typename T>
static void populate(std::vector<T>& v) {
    advise_whole_pages(v.data(), v.capacity() * sizeof(T), MADV_POPULATE_WRITE, 5);
}

template <typename T>
static void copy_array(std::vector<T>& v, const uint8_t* src, uint64_t count) {
    v.clear();
    if (count == 0) return;
    v.reserve(count);
    populate(v);
    if (reinterpret_cast<uintptr_t>(src) % alignof(T) == 0) {
        // Values where their type may lie are copied as one block.
        const T* aligned = reinterpret_cast<const T*>(src);
        v.assign(aligned, aligned + count);
        return;
    }
    const FileValues<T> first{src};
    v.assign(first, first + static_cast<std::ptrdiff_t>(count));
}

// An index array of the file's width appended as 32-bit values, a piece at
// a time straight from the file's bytes; `piece(values, first, n)` then sees
// each piece where it lies in the vector, while it is still in the cache.
template <typename Piece>
static void append_indices(std::vector<uint32_t>& v, const uint8_t* src, uint64_t count, bool wide, Piece&& piece) {
    if (count == 0) return;
    constexpr size_t piece_values = stage_bytes / sizeof(uint32_t);
    v.reserve(v.size() + count);
    populate(v);
    for (uint64_t first = 0; first < count;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(piece_values, count - first));
        const size_t at = v.size();
        if (wide) {
            const FileValues<uint32_t> from{src + first * 4};
            v.insert(v.end(), from, from + static_cast<std::ptrdiff_t>(n));
        } else {
            const FileValues<uint16_t> from{src + first * 2};
            v.insert(v.end(), from, from + static_cast<std::ptrdiff_t>(n));
        }
        piece(v.data() + at, first, n);
        first += n;
    }
}

// With a limit, every value must lie below it.
static bool copy_indices(std::vector<uint32_t>& v, const uint8_t* src, uint64_t count, bool wide, uint64_t limit) {
    v.clear();
    bool below = true;
    append_indices(v, src, count, wide, [&below, limit](const uint32_t* values, uint64_t, size_t n) {
        below = values_below(values, n, limit) && below;
    });
    return below;
}

// A plain 16-bit edge list; every value must index a vertex.
static bool copy_edges16(std::vector<uint16_t>& v, const uint8_t* src, uint64_t count, uint64_t vertices) {
    copy_array(v, src, count);
    return values_below(v.data(), v.size(), vertices);
}

// The polygon list. Fixed-size polygons: every value is a corner. Mixed
// sizes: the count P, P corner counts, then the corners, which must not run
// past the list. Every corner must index a vertex.
static bool read_polygon_list(InteropMesh& m, const uint8_t* src, uint64_t count, bool wide, uint64_t vertices) {
    m.polygons.clear();
    if (count == 0) return true;
    const bool mixed = m.polygon_size <= 0;
    uint64_t polygons = 0;
    if (mixed) {
        polygons = wide ? load<uint32_t>(src) : load<uint16_t>(src);
        if (polygons > count - 1) return false;
    }
    const uint64_t corners_from = mixed ? 1 + polygons : 0;
    uint64_t corners = 0;
    bool below = true;
    append_indices(m.polygons, src, count, wide, [&](const uint32_t* out, uint64_t first, size_t n) {
        const uint64_t last = first + n;
        if (first >= corners_from) {
            below = values_below(out, n, vertices) && below;
            return;
        }
        if (mixed) {
            const uint64_t lo = std::max<uint64_t>(first, 1), hi = std::min(last, corners_from);
            for (uint64_t i = lo; i < hi; ++i) corners += out[i - first];
        }
        if (last > corners_from) {
            below = values_below(out + (corners_from - first), static_cast<size_t>(last - corners_from), vertices) && below;
        }
    });
    if (mixed && corners > count - 1 - polygons) return false;
    return below;
}

// Polygon normals, and what the triangle normals are made from: one flip
// per sign flag, set when the flag has its top bit set. The triangle normals
// themselves are not stored (triangle_normals_of makes them). The caller has
// checked that there are enough normals.
static void read_normals(InteropMesh& m, const uint8_t* src, uint64_t count, const uint8_t* flags,
                         uint64_t flag_count) {
    m.polygon_normals.clear();
    m.triangle_normals.clear();
    m.triangle_normal_flips.clear();
    if (count == 0) return;
    constexpr size_t piece = stage_bytes / sizeof(double);
    m.polygon_normals.reserve(count);
    populate(m.polygon_normals);
    for (uint64_t first = 0; first < count;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(piece, count - first));
        const FileValues<double> from{src + first * sizeof(double)};
        m.polygon_normals.insert(m.polygon_normals.end(), from, from + static_cast<std::ptrdiff_t>(n));
        first += n;
    }
    m.triangle_normal_flips.resize(static_cast<size_t>(flag_count));
    for (size_t v = 0; v < flag_count; ++v) m.triangle_normal_flips[v] = (flags[v] & 0x80) ? 1 : 0;
}

static int32_t colour_index_width(int32_t palette_len) {
    if (palette_len <= 0) return 0;
    if (palette_len <= 1023) return 1;
    if (palette_len <= 262143) return 2;
    return 4;
}

// Colour indices of 1, 2 or 4 bytes as 32-bit values; returns the largest.
__attribute__((noinline)) static uint32_t colour_indices(uint32_t* out, const uint8_t* src, size_t n, int32_t width) {
    if (width == 1) {
        uint8_t largest = 0;
        for (size_t i = 0; i < n; ++i) {
            out[i] = src[i];
            largest = std::max(largest, src[i]);
        }
        return largest;
    }
    if (width == 2) return widen16(out, src, n);
    std::memcpy(out, src, n * 4);
    return largest_of(out, n);
}

// Colours: the palette and one index per vertex, and the display bytes,
// worked out once per palette colour. Every index must name a palette
// colour.
static bool read_colours(InteropMesh& m, const uint8_t* palette_src, uint64_t palette_len, const uint8_t* index_src,
                         int32_t width, uint64_t vertices) {
    m.colours.clear();
    m.colour_palette.clear();
    m.colour_indices.clear();
    m.display_colours.clear();
    if (width == 0) return true;
    std::vector<double>& palette = m.colour_palette;
    copy_array(palette, palette_src, palette_len);
    // Whole colours only: a part colour at the end is never named.
    palette.resize(palette.size() / 4 * 4);
    const uint64_t palette_colours = palette.size() / 4;
    std::vector<uint8_t> palette_bytes(palette.size());
    for (size_t i = 0; i < palette.size(); ++i) {
        // NaN and out-of-range components would not convert to a byte.
        const double value = palette[i];
        const double clamped = value >= 0.0 ? (value <= 1.0 ? value : 1.0) : 0.0;
        palette_bytes[i] = static_cast<uint8_t>(clamped * 255.0);
    }
    constexpr size_t piece = stage_bytes / (4 * sizeof(double));
    uint32_t index[piece];
    alignas(64) uint8_t display[4 * piece];
    m.colour_indices.reserve(vertices);
    m.display_colours.reserve(4 * vertices);
    populate(m.colour_indices);
    populate(m.display_colours);
    const uint8_t* pb = palette_bytes.data();
    for (uint64_t first = 0; first < vertices; first += piece) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(piece, vertices - first));
        const uint32_t largest = colour_indices(index, index_src + first * static_cast<uint64_t>(width), n, width);
        if (!all_below(largest, n, palette_colours)) return false;
        for (size_t v = 0; v < n; ++v) std::memcpy(display + 4 * v, pb + 4 * static_cast<size_t>(index[v]), 4);
        m.colour_indices.insert(m.colour_indices.end(), index, index + n);
        m.display_colours.insert(m.display_colours.end(), display, display + 4 * n);
    }
    return true;
}

// The header words, in file order, into their fields.
static bool read_header(ByteSource& s, InteropHeader& h) {
    int32_t words[header_word_count];
    if (!read_bytes(s, words, header_bytes)) return false;
    for (int32_t w = 0; w < header_word_count; ++w) h.*header_words[w].field = words[w];
    return true;
}

// Bytes an entry's arrays take according to its header; the checks that
// need only the header are made here too.
static bool entry_array_bytes(const InteropHeader& h, uint64_t& total) {
    for (const HeaderWord& word : header_words) {
        if (word.count && h.*word.field < 0) return false;
    }
    const int32_t dim = h.dimension;
    if (h.positions_len > 0 && ((dim != 2 && dim != 3) || h.positions_len % dim != 0)) return false;
    const uint64_t vertices = h.positions_len > 0 ? static_cast<uint64_t>(h.positions_len / dim) : 0;
    const bool wide = h.wide_rows > 0;
    const uint64_t iw = wide ? 4 : 2;

    uint64_t t = 0;
    t += len(h.positions_len) * 8 + len(h.polygons_len) * iw + len(h.normals_len) * 8 + len(h.palette_len) * 8;
    t += vertices * static_cast<uint64_t>(colour_index_width(h.palette_len));
    t += len(h.bounds_len) * 8;
    t += (len(h.face_ids_len) + len(h.group_ids_len) + len(h.user_types_len) + len(h.operand_ids_len)) * 4;
    t += len(h.triangles_len) * iw + len(h.sign_flags_len) + len(h.triangle_polygons_len) * 4;
    t += (len(h.polygon_edges_len) + len(h.triangle_edges_len) + len(h.group_edges_len)) * iw;
    for (int32_t table = 0; table < 4; ++table) {
        const CodedTableWords words = coded_table_words(h, table);
        t += len(words.values) * 4;
        if (words.entries > 0) t += (len(words.rows) + 1) * 4 + len(words.entries) * 2;
    }
    t += len(h.spare_len) * 4 + len(h.shading_len) * 4 + len(h.ppd_text_len);
    t += len(h.type_names_len) * 8 + len(h.type_name_bytes_len);
    total = t;
    return true;
}

// ---------------------------------------------------------------------------
// Decoding and de-duplicating the edge lists of a 32-bit entry.

// One coded table where it lies in the file: V, then (only with entries)
// R + 1 row sizes S and the 16-bit entries E.
struct CodedView {
    uint64_t rows = 0;
    const uint8_t* values = nullptr;
    uint64_t value_count = 0;
    const uint8_t* row_sizes = nullptr;
    const uint8_t* entries = nullptr;
    uint64_t entry_count = 0;
};

// Row r (1..R) maps its S[r] entries through its own dictionary of V[r]
// values, stored one after another from V[R + 1] on. Every entry must fall
// inside its row's dictionary, every dictionary value below `limit`, and the
// rows must cover the entries exactly. The decoder enters the rows in order,
// checking each as it enters it, and hands the values out a run at a time.
// A table without entries decodes to nothing and is not looked at.
class RowDecoder {
public:
    RowDecoder(const CodedView& table, uint64_t limit) : t_(table), limit_(limit), base_(table.rows + 1) {
        broken_ = t_.entry_count > 0 && t_.value_count < t_.rows + 1;
    }

    // Decodes up to `max` further values; fewer only at the end of the
    // table or when it is broken.
    size_t next(uint32_t* out, size_t max) {
        size_t n = 0;
        while (n < max && !broken_) {
            if (left_ == 0) {
                if (t_.entry_count == 0 || row_ == t_.rows) break;
                if (!enter_row()) broken_ = true;
                continue;
            }
            const size_t k = static_cast<size_t>(std::min<uint64_t>(max - n, left_));
            const uint8_t* entries = at_;
            const uint8_t* dictionary = dictionary_;
            uint32_t* o = out + n;
            for (size_t j = 0; j < k; ++j) o[j] = load<uint32_t>(dictionary + 4 * load<uint16_t>(entries + 2 * j));
            at_ += 2 * k;
            left_ -= k;
            n += k;
        }
        return n;
    }

    // Enters (and checks) the rows that are left; true when the table is
    // sound.
    bool finish() {
        if (t_.entry_count == 0) return true;
        while (!broken_ && row_ < t_.rows) {
            if (!enter_row()) broken_ = true;
        }
        return !broken_ && pos_ == t_.entry_count;
    }

private:
    bool enter_row() {
        ++row_;
        const uint64_t size = load<uint32_t>(t_.row_sizes + 4 * row_);
        const uint64_t dictionary = load<uint32_t>(t_.values + 4 * row_);
        if (size > t_.entry_count - pos_ || dictionary > t_.value_count - base_) return false;
        const uint8_t* row = t_.entries + 2 * pos_;
        if (!values_below_in_bytes<uint16_t>(row, size, dictionary)) return false;
        const uint8_t* values = t_.values + 4 * base_;
        // Only dictionary values can come out, so they carry the check.
        if (!values_below_in_bytes<uint32_t>(values, dictionary, limit_)) return false;
        at_ = row;
        dictionary_ = values;
        left_ = size;
        pos_ += size;
        base_ += dictionary;
        return true;
    }

    CodedView t_;
    uint64_t limit_;
    uint64_t base_;
    uint64_t row_ = 0;
    uint64_t pos_ = 0;
    uint64_t left_ = 0;
    const uint8_t* at_ = nullptr;
    const uint8_t* dictionary_ = nullptr;
    bool broken_ = false;
};

// Removing duplicate edges across the three lists. Each edge is keyed by its
// smaller and its larger index and walked in precedence order: every group
// edge (all kept), then the polygon edges, then the triangle edges, each kept
// only when its edge is new. Each list is decoded and de-duplicated in one
// pass, a piece at a time, and only its kept pairs are written out.
//
// The edges seen are held per smaller index, in one small row per vertex
// (meshes have few edges per vertex, mostly to nearby indices). The kernel
// writes edges in vertex order, so the rows are visited in order and stream
// through the cache.

// Every index has been checked to lie below the vertex count (at most
// INT32_MAX), so no key is the free marker of the hash set.
static inline uint64_t edge_key(uint32_t lo, uint32_t hi) { return (static_cast<uint64_t>(lo) << 32) | hi; }

static inline uint64_t mix_key(uint64_t key) {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdull;
    key ^= key >> 33;
    return key;
}

// A set of edge keys, open addressing. Keys are fully mixed, so no input
// makes the probe runs long.
class EdgeHashSet {
public:
    // True when the key is new (it is added then).
    __attribute__((noinline)) bool add(uint64_t key) {
        if ((used_ + 1) * 2 > slots_.size()) grow();
        const uint64_t mask = slots_.size() - 1;
        uint64_t i = mix_key(key) & mask;
        for (;;) {
            const uint64_t slot = slots_[i];
            if (slot == key) return false;
            if (slot == free_slot) break;
            i = (i + 1) & mask;
        }
        slots_[i] = key;
        ++used_;
        return true;
    }

private:
    static constexpr uint64_t free_slot = ~uint64_t(0);

    void grow() {
        std::vector<uint64_t> old(std::max<size_t>(1024, slots_.size() * 2), free_slot);
        old.swap(slots_);
        const uint64_t mask = slots_.size() - 1;
        for (uint64_t key : old) {
            if (key == free_slot) continue;
            uint64_t i = mix_key(key) & mask;
            while (slots_[i] != free_slot) i = (i + 1) & mask;
            slots_[i] = key;
        }
    }

    std::vector<uint64_t> slots_;
    uint64_t used_ = 0;
};

// Each vertex has one 64-bit row of four 16-bit lanes, each 0 or the
// distance from the vertex to the larger index of one of its edges; lanes
// fill from the lowest. Edges of a longer distance, or of a vertex whose row
// is full, go to a hash set. With few pairs for many vertices there are no
// rows, only the hash set.
class VertexEdges {
public:
    VertexEdges(uint64_t vertices, uint64_t pairs)
        : rows_(pairs >= vertices / 8 ? new uint64_t[static_cast<size_t>(vertices)]() : nullptr),
          row_count_(rows_ ? vertices : 0) {}
    // The rows are gone with the read; their pages go back at once rather
    // than stay with the heap, resident, while the mesh is uploaded and drawn.
    ~VertexEdges() { hand_back_pages(rows_.get(), row_count_ * sizeof(uint64_t)); }
    VertexEdges(const VertexEdges&) = delete;
    VertexEdges& operator=(const VertexEdges&) = delete;

    // Copies the `n` / 2 pairs of `values` whose edge is new (every pair
    // with `keep_all`) to `kept`, adding the new edges; returns the values
    // copied. Every value lies below the vertex count.
    size_t keep_new(const uint32_t* values, size_t n, bool keep_all, uint32_t* kept) {
        if (n < 2) return 0;
        if (!rows_) return keep_new_hashed(values, n, keep_all, kept);
        // The row of the vertex last met stays in a register: the lists hold
        // a vertex's edges one after another, and a row read straight after
        // it was written would wait for the write.
        uint32_t held = 0;
        uint64_t row = rows_[0];
        size_t k = 0;
        for (size_t i = 0; i + 1 < n; i += 2) {
            const uint32_t a = values[i], b = values[i + 1];
            const uint32_t lo = std::min(a, b), hi = std::max(a, b);
            if (lo != held) {
                rows_[held] = row;
                held = lo;
                row = rows_[lo];
            }
            bool added;
            const uint32_t distance = hi - lo;
            if (distance - 1 >= 0xFFFF) {  // 0 or above 0xFFFF
                added = more_.add(edge_key(lo, hi));
            } else if (zero_lanes(row ^ (distance * lane_ones)) != 0) {
                added = false;
            } else {
                const uint64_t free = zero_lanes(row);
                if (free == 0) {
                    added = more_.add(edge_key(lo, hi));
                } else {
                    // The lowest flag marks the first free lane exactly (lanes
                    // fill in order, and a flag is wrong only above a lane that
                    // is zero).
                    row |= static_cast<uint64_t>(distance) * ((free & (~free + 1)) >> 15);
                    added = true;
                }
            }
            std::memcpy(kept + k, values + i, 2 * sizeof(uint32_t));
            k += (added || keep_all) ? 2 : 0;
        }
        rows_[held] = row;
        return k;
    }

private:
    size_t keep_new_hashed(const uint32_t* values, size_t n, bool keep_all, uint32_t* kept) {
        size_t k = 0;
        for (size_t i = 0; i + 1 < n; i += 2) {
            const uint32_t a = values[i], b = values[i + 1];
            const bool added = more_.add(edge_key(std::min(a, b), std::max(a, b)));
            std::memcpy(kept + k, values + i, 2 * sizeof(uint32_t));
            k += (added || keep_all) ? 2 : 0;
        }
        return k;
    }

    static constexpr uint64_t lane_ones = 0x0001000100010001ull;
    static constexpr uint64_t lane_tops = 0x8000800080008000ull;

    // Non-zero exactly when some lane is zero; the lowest flag set is the
    // top bit of the lowest zero lane.
    static uint64_t zero_lanes(uint64_t x) { return (x - lane_ones) & ~x & lane_tops; }

    std::unique_ptr<uint64_t[]> rows_;
    uint64_t row_count_;
    EdgeHashSet more_;
};

// Decodes one coded table into `out`, keeping every pair when `keep_all`,
// else only the pairs whose edge `seen` has not met; every pair goes into
// `seen`. A last value without a partner is decoded and checked, and
// dropped.
static bool decode_new_edges(const CodedView& table, uint64_t vertices, bool keep_all, VertexEdges& seen,
                             std::vector<uint32_t>& out) {
    out.clear();
    RowDecoder decoder(table, vertices);
    if (table.entry_count >= 2) out.reserve(static_cast<size_t>(table.entry_count & ~uint64_t(1)));
    constexpr size_t piece = 2048;  // even, so pieces hold whole pairs
    alignas(64) uint32_t values[piece];
    alignas(64) uint32_t kept[piece];
    for (uint64_t done = 0; done < table.entry_count;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(piece, table.entry_count - done));
        if (decoder.next(values, n) != n) return false;
        const size_t k = seen.keep_new(values, n, keep_all, kept);
        out.insert(out.end(), kept, kept + k);
        done += n;
    }
    return decoder.finish();
}

// The three edge lists of a 32-bit entry from coded tables 1 to 3 (polygon,
// triangle and smoothing-group edges), de-duplicated. A list with no pair
// left is released.
static bool read_coded_edges(InteropMesh& m, const CodedView* tables, uint64_t vertices) {
    // In precedence order.
    std::vector<uint32_t>* lists[3] = {&m.group_edges, &m.polygon_edges, &m.triangle_edges};
    const CodedView* views[3] = {&tables[3], &tables[1], &tables[2]};
    VertexEdges seen(vertices, (views[0]->entry_count + views[1]->entry_count + views[2]->entry_count) / 2);
    for (int l = 0; l < 3; ++l) {
        if (!decode_new_edges(*views[l], vertices, l == 0, seen, *lists[l])) return false;
    }
    for (std::vector<uint32_t>* list : lists) {
        if (list->empty()) std::vector<uint32_t>().swap(*list);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Checks of arrays against each other.

static bool type_names_sound(const InteropMesh& m) {
    if (m.type_name_lengths.size() != m.type_name_offsets.size()) return false;
    for (size_t i = 0; i < m.type_name_lengths.size(); ++i) {
        const int64_t length = m.type_name_lengths[i], offset = m.type_name_offsets[i];
        if (length < 0 || offset < 0 || static_cast<uint64_t>(offset + length) > m.type_names.size()) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// One entry. The header says where every array lies, so arrays that are
// worked out together (normals and triangle normals, palette and colours) are
// made in one pass over their bytes, and arrays that are only decoded (the
// coded tables of a 32-bit entry) are never copied.
//
// Once every array's bytes are known to lie in the file, the arrays are
// independent of each other: each part below reads its own source bytes,
// makes its own checks and fills its own members of the mesh. A large entry
// spreads its parts over up to three threads; any failing part fails the
// whole entry, as the first failing one would on its own.

struct EntryArrays {
    InteropHeader header;
    bool mapped = false;
    bool wide = false;
    uint64_t vertices = 0;
    int32_t index_width = 0;
    const uint8_t* positions = nullptr;
    const uint8_t* polygons = nullptr;
    const uint8_t* normals = nullptr;
    const uint8_t* palette = nullptr;
    const uint8_t* colour_indices = nullptr;
    const uint8_t* bounds = nullptr;
    const uint8_t* face_ids = nullptr;
    const uint8_t* group_ids = nullptr;
    const uint8_t* user_type_ids = nullptr;
    const uint8_t* operand_ids = nullptr;
    const uint8_t* triangles = nullptr;
    const uint8_t* sign_flags = nullptr;
    const uint8_t* triangle_polygons = nullptr;
    const uint8_t* polygon_edges = nullptr;
    const uint8_t* triangle_edges = nullptr;
    const uint8_t* group_edges = nullptr;
    CodedView tables[4];
    const uint8_t* shading = nullptr;
    const uint8_t* ppd_text = nullptr;
    const uint8_t* type_name_lengths = nullptr;
    const uint8_t* type_name_offsets = nullptr;
    const uint8_t* type_name_bytes = nullptr;
};

// Finds every array of the entry in the file; false when one runs past it.
static bool locate_arrays(ByteSource& s, EntryArrays& a) {
    const InteropHeader& h = a.header;
    const uint64_t iw = a.wide ? 4 : 2;
    bool complete = true;
    auto take = [&](uint64_t bytes) {
        const uint8_t* at = take_bytes(s, bytes);
        complete = complete && at != nullptr;
        return at;
    };
    // In file order.
    a.positions = take(len(h.positions_len) * 8);
    a.polygons = take(len(h.polygons_len) * iw);
    a.normals = take(len(h.normals_len) * 8);
    a.palette = take(len(h.palette_len) * 8);
    a.colour_indices = take(a.vertices * static_cast<uint64_t>(a.index_width));
    a.bounds = take(len(h.bounds_len) * 8);
    a.face_ids = take(len(h.face_ids_len) * 4);
    a.group_ids = take(len(h.group_ids_len) * 4);
    a.user_type_ids = take(len(h.user_types_len) * 4);
    a.operand_ids = take(len(h.operand_ids_len) * 4);
    a.triangles = take(len(h.triangles_len) * iw);
    a.sign_flags = take(len(h.sign_flags_len));
    a.triangle_polygons = take(len(h.triangle_polygons_len) * 4);
    // The plain lists of a 32-bit entry are replaced by the coded tables.
    a.polygon_edges = take(len(h.polygon_edges_len) * iw);
    a.triangle_edges = take(len(h.triangle_edges_len) * iw);
    a.group_edges = take(len(h.group_edges_len) * iw);
    for (int32_t t = 0; t < 4; ++t) {
        const CodedTableWords words = coded_table_words(h, t);
        CodedView& table = a.tables[t];
        table.rows = len(words.rows);
        table.value_count = len(words.values);
        table.values = take(table.value_count * 4);
        if (words.entries > 0) {
            table.entry_count = len(words.entries);
            table.row_sizes = take((table.rows + 1) * 4);
            table.entries = take(table.entry_count * 2);
        }
    }
    take(len(h.spare_len) * 4);
    a.shading = take(len(h.shading_len) * 4);
    a.ppd_text = take(len(h.ppd_text_len));
    const uint64_t type_names = len(h.type_names_len);
    a.type_name_lengths = take(type_names * 4);
    a.type_name_offsets = take(type_names * 4);
    a.type_name_bytes = take(len(h.type_name_bytes_len));
    return complete;
}

enum EntryPart : int32_t {
    PART_POSITIONS,
    PART_POLYGONS,
    PART_NORMALS,
    PART_COLOURS,
    PART_IDS,
    PART_TRIANGLES,
    PART_TRIANGLE_POLYGONS,
    PART_PLAIN_EDGES,
    PART_SHADING,
    PART_NAMES,
    PART_CODED_EDGES,
    PART_COUNT,
};

static bool read_part(int32_t part, const EntryArrays& a, InteropMesh& m) {
    const InteropHeader& h = a.header;
    const uint64_t vertices = a.vertices;
    switch (part) {
        case PART_POSITIONS:
            copy_array(m.positions, a.positions, len(h.positions_len));
            return true;
        case PART_POLYGONS:
            return read_polygon_list(m, a.polygons, len(h.polygons_len), a.wide, vertices);
        case PART_NORMALS:
            if (len(h.sign_flags_len) * 3 > len(h.normals_len)) return false;
            read_normals(m, a.normals, len(h.normals_len), a.sign_flags, len(h.sign_flags_len));
            return true;
        case PART_COLOURS:
            return read_colours(m, a.palette, len(h.palette_len), a.colour_indices, a.index_width, vertices);
        case PART_IDS:
            copy_array(m.bounds, a.bounds, len(h.bounds_len));
            copy_array(m.face_ids, a.face_ids, len(h.face_ids_len));
            copy_array(m.group_ids, a.group_ids, len(h.group_ids_len));
            copy_array(m.user_type_ids, a.user_type_ids, len(h.user_types_len));
            copy_array(m.operand_ids, a.operand_ids, len(h.operand_ids_len));
            return true;
        case PART_TRIANGLES:
            return copy_indices(m.triangles, a.triangles, len(h.triangles_len), a.wide, vertices);
        case PART_TRIANGLE_POLYGONS:
            copy_array(m.triangle_polygons, a.triangle_polygons, len(h.triangle_polygons_len));
            return true;
        case PART_PLAIN_EDGES:
            if (a.wide) return true;
            if (!copy_edges16(m.polygon_edges_16, a.polygon_edges, len(h.polygon_edges_len), vertices)) return false;
            if (!copy_edges16(m.triangle_edges_16, a.triangle_edges, len(h.triangle_edges_len), vertices)) return false;
            if (!copy_edges16(m.group_edges_16, a.group_edges, len(h.group_edges_len), vertices)) return false;
            // The coded tables of a 16-bit entry are kept as read.
            for (int32_t t = 0; t < 4; ++t) {
                CodedTable& table = m.coded_tables[static_cast<size_t>(t)];
                const CodedView& view = a.tables[t];
                table.rows = coded_table_words(h, t).rows;
                copy_array(table.values, view.values, view.value_count);
                if (view.entry_count > 0) {
                    copy_array(table.row_sizes, view.row_sizes, view.rows + 1);
                    copy_array(table.entries, view.entries, view.entry_count);
                }
            }
            return true;
        case PART_SHADING:
            copy_array(m.shading_vectors, a.shading, len(h.shading_len));
            return true;
        case PART_NAMES:
            if (len(h.ppd_text_len) > 0)
                m.ppd_text.assign(reinterpret_cast<const char*>(a.ppd_text), len(h.ppd_text_len));
            copy_array(m.type_name_lengths, a.type_name_lengths, len(h.type_names_len));
            copy_array(m.type_name_offsets, a.type_name_offsets, len(h.type_names_len));
            copy_array(m.type_names, a.type_name_bytes, len(h.type_name_bytes_len));
            return type_names_sound(m);
        case PART_CODED_EDGES:
            // A 32-bit entry's edge lists come from the coded tables, which
            // are not kept.
            return !a.wide || read_coded_edges(m, a.tables, vertices);
        default:
            return true;
    }
}

// Roughly what a part costs, in bytes copied: the bytes it writes, and for
// the coded edges what decoding and de-duplicating an entry costs.
static const uint64_t coded_entry_cost = 15;

static uint64_t part_cost(int32_t part, const EntryArrays& a) {
    const InteropHeader& h = a.header;
    const uint64_t iw = a.wide ? 4 : 2;
    switch (part) {
        case PART_POSITIONS:
            return len(h.positions_len) * 8;
        case PART_POLYGONS:
            return len(h.polygons_len) * 4;
        case PART_NORMALS:
            return len(h.normals_len) * 8 + len(h.sign_flags_len) * 24;
        case PART_COLOURS:
            return a.index_width > 0 ? a.vertices * 36 : 0;
        case PART_IDS:
            return (len(h.face_ids_len) + len(h.group_ids_len) + len(h.user_types_len) + len(h.operand_ids_len)) * 4;
        case PART_TRIANGLES:
            return len(h.triangles_len) * 4;
        case PART_TRIANGLE_POLYGONS:
            return len(h.triangle_polygons_len) * 4;
        case PART_PLAIN_EDGES: {
            if (a.wide) return 0;
            uint64_t bytes = (len(h.polygon_edges_len) + len(h.triangle_edges_len) + len(h.group_edges_len)) * iw;
            for (const CodedView& t : a.tables) bytes += t.value_count * 4 + t.entry_count * 2;
            return bytes;
        }
        case PART_SHADING:
            return len(h.shading_len) * 4;
        case PART_NAMES:
            return len(h.ppd_text_len) + len(h.type_names_len) * 8 + len(h.type_name_bytes_len);
        case PART_CODED_EDGES: {
            if (!a.wide) return 0;
            uint64_t entries = 0;
            for (int32_t t = 1; t < 4; ++t) entries += a.tables[t].entry_count;
            return entries * coded_entry_cost;
        }
        default:
            return 0;
    }
}

// The arrays a part fills, allocated here by the reading thread with the
// capacity the part gives them, so that the part fills them in place. What
// the allocator hands another thread comes from that thread's own arena,
// fresh memory to be faulted in, where the reading thread reuses its heap.
template <typename T>
static void reserve_for(std::vector<T>& v, uint64_t count) {
    v.clear();
    v.reserve(static_cast<size_t>(count));
}

static void reserve_part(int32_t part, const EntryArrays& a, InteropMesh& m) {
    const InteropHeader& h = a.header;
    switch (part) {
        case PART_POSITIONS:
            reserve_for(m.positions, len(h.positions_len));
            break;
        case PART_POLYGONS:
            reserve_for(m.polygons, len(h.polygons_len));
            break;
        case PART_NORMALS:
            if (len(h.sign_flags_len) * 3 > len(h.normals_len) || len(h.normals_len) == 0) break;
            reserve_for(m.polygon_normals, len(h.normals_len));
            reserve_for(m.triangle_normal_flips, len(h.sign_flags_len));
            break;
        case PART_COLOURS:
            if (a.index_width == 0) break;
            reserve_for(m.colour_indices, a.vertices);
            reserve_for(m.display_colours, a.vertices * 4);
            break;
        case PART_IDS:
            reserve_for(m.bounds, len(h.bounds_len));
            reserve_for(m.face_ids, len(h.face_ids_len));
            reserve_for(m.group_ids, len(h.group_ids_len));
            reserve_for(m.user_type_ids, len(h.user_types_len));
            reserve_for(m.operand_ids, len(h.operand_ids_len));
            break;
        case PART_TRIANGLES:
            reserve_for(m.triangles, len(h.triangles_len));
            break;
        case PART_TRIANGLE_POLYGONS:
            reserve_for(m.triangle_polygons, len(h.triangle_polygons_len));
            break;
        case PART_PLAIN_EDGES:
            if (a.wide) break;
            reserve_for(m.polygon_edges_16, len(h.polygon_edges_len));
            reserve_for(m.triangle_edges_16, len(h.triangle_edges_len));
            reserve_for(m.group_edges_16, len(h.group_edges_len));
            for (int32_t t = 0; t < 4; ++t) {
                CodedTable& table = m.coded_tables[static_cast<size_t>(t)];
                const CodedView& view = a.tables[t];
                reserve_for(table.values, view.value_count);
                if (view.entry_count > 0) {
                    reserve_for(table.row_sizes, view.rows + 1);
                    reserve_for(table.entries, view.entry_count);
                }
            }
            break;
        case PART_SHADING:
            reserve_for(m.shading_vectors, len(h.shading_len));
            break;
        case PART_NAMES:
            m.ppd_text.reserve(static_cast<size_t>(len(h.ppd_text_len)));
            reserve_for(m.type_name_lengths, len(h.type_names_len));
            reserve_for(m.type_name_offsets, len(h.type_names_len));
            reserve_for(m.type_names, len(h.type_name_bytes_len));
            break;
        case PART_CODED_EDGES:
            if (!a.wide) break;
            reserve_for(m.polygon_edges, a.tables[CODED_TABLE_POLYGON_EDGES].entry_count & ~uint64_t(1));
            reserve_for(m.triangle_edges, a.tables[CODED_TABLE_TRIANGLE_EDGES].entry_count & ~uint64_t(1));
            reserve_for(m.group_edges, a.tables[CODED_TABLE_GROUP_EDGES].entry_count & ~uint64_t(1));
            break;
        default:
            break;
    }
}

// One thread for each this many bytes of work (as counted above), at most
// three: an entry of less than twice this is read by the reading thread
// alone, as a thread costs tens of microseconds to start and join.
static const uint64_t work_per_thread = 1u << 20;
static const int32_t max_threads = 3;

// Spreads the parts over as many threads as the work is worth, largest part
// first, each to the thread with least work so far. Returns the threads
// (the reading thread is 0).
static int32_t plan_parts(const EntryArrays& a, int32_t* thread_of) {
    uint64_t cost[PART_COUNT];
    uint64_t total = 0;
    for (int32_t p = 0; p < PART_COUNT; ++p) {
        cost[p] = part_cost(p, a);
        total += cost[p];
    }
    int32_t threads = static_cast<int32_t>(std::min<uint64_t>(max_threads, total / work_per_thread));
    if (threads > 1) {
        threads = std::min(threads, usable_cores());
    }
    threads = std::max(threads, 1);
    uint64_t load[max_threads] = {};
    bool placed[PART_COUNT] = {};
    for (int32_t n = 0; n < PART_COUNT; ++n) {
        int32_t largest = -1;
        for (int32_t p = 0; p < PART_COUNT; ++p) {
            if (!placed[p] && (largest < 0 || cost[p] > cost[largest])) largest = p;
        }
        int32_t least = 0;
        for (int32_t t = 1; t < threads; ++t) {
            if (load[t] < load[least]) least = t;
        }
        placed[largest] = true;
        thread_of[largest] = least;
        load[least] += cost[largest];
    }
    return threads;
}

// The whole pages of a mapped file that lie within [at, at + bytes) are
// handed back once read: they stay in the page cache, and a page touched
// again is mapped again from it. Without this every page of the file stays
// resident until the mapping goes, on top of the arrays read from it (a
// third more than the mesh at the peak of a large open).
static void release_source(const EntryArrays& a, const uint8_t* at, uint64_t bytes) {
    if (a.mapped) hand_back_pages(at, bytes);
}

static void release_tables(const EntryArrays& a) {
    for (const CodedView& t : a.tables) {
        release_source(a, t.values, t.value_count * 4);
        if (t.entry_count > 0) {
            release_source(a, t.row_sizes, (t.rows + 1) * 4);
            release_source(a, t.entries, t.entry_count * 2);
        }
    }
}

// The file bytes a part has read (the small ones are left).
static void release_part(int32_t part, const EntryArrays& a) {
    const InteropHeader& h = a.header;
    if (!a.mapped) return;
    const uint64_t iw = a.wide ? 4 : 2;
    switch (part) {
        case PART_POSITIONS: release_source(a, a.positions, len(h.positions_len) * 8); break;
        case PART_POLYGONS: release_source(a, a.polygons, len(h.polygons_len) * iw); break;
        case PART_NORMALS:
            release_source(a, a.normals, len(h.normals_len) * 8);
            release_source(a, a.sign_flags, len(h.sign_flags_len));
            break;
        case PART_COLOURS:
            release_source(a, a.colour_indices, a.vertices * static_cast<uint64_t>(a.index_width));
            break;
        case PART_IDS:
            release_source(a, a.face_ids, len(h.face_ids_len) * 4);
            release_source(a, a.group_ids, len(h.group_ids_len) * 4);
            release_source(a, a.user_type_ids, len(h.user_types_len) * 4);
            release_source(a, a.operand_ids, len(h.operand_ids_len) * 4);
            break;
        case PART_TRIANGLES: release_source(a, a.triangles, len(h.triangles_len) * iw); break;
        case PART_TRIANGLE_POLYGONS: release_source(a, a.triangle_polygons, len(h.triangle_polygons_len) * 4); break;
        case PART_PLAIN_EDGES:
            if (a.wide) break;
            release_source(a, a.polygon_edges, len(h.polygon_edges_len) * iw);
            release_source(a, a.triangle_edges, len(h.triangle_edges_len) * iw);
            release_source(a, a.group_edges, len(h.group_edges_len) * iw);
            release_tables(a);
            break;
        case PART_SHADING: release_source(a, a.shading, len(h.shading_len) * 4); break;
        case PART_CODED_EDGES:
            if (a.wide) release_tables(a);
            break;
        default: break;
    }
}

static bool read_parts_of(int32_t thread, const int32_t* thread_of, const EntryArrays& a, InteropMesh& m) {
    for (int32_t p = 0; p < PART_COUNT; ++p) {
        if (thread_of[p] != thread) continue;
        if (!read_part(p, a, m)) return false;
        release_part(p, a);
    }
    return true;
}

// A helper thread's share. An exception (only running out of memory) is
// handed to the reading thread, which throws it after joining every thread,
// as the parts would have thrown it there.
struct PartThread {
    std::thread thread;
    bool ok = true;
    std::exception_ptr failure;
};

static bool read_parts(const EntryArrays& a, InteropMesh& m) {
    int32_t thread_of[PART_COUNT];
    const int32_t threads = plan_parts(a, thread_of);
    if (threads == 1) return read_parts_of(0, thread_of, a, m);
    for (int32_t p = 0; p < PART_COUNT; ++p) {
        if (thread_of[p] != 0) reserve_part(p, a, m);
    }
    PartThread helpers[max_threads - 1];
    for (int32_t t = 1; t < threads; ++t) {
        PartThread& helper = helpers[t - 1];
        try {
            helper.thread = std::thread([&helper, t, &thread_of, &a, &m] {
                try {
                    helper.ok = read_parts_of(t, thread_of, a, m);
                } catch (...) {
                    helper.failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: its share is read here.
        }
    }
    bool ok = true;
    std::exception_ptr failure;
    try {
        for (int32_t t = 0; t < threads; ++t) {
            if (t == 0 || !helpers[t - 1].thread.joinable()) ok = read_parts_of(t, thread_of, a, m) && ok;
        }
    } catch (...) {
        failure = std::current_exception();
    }
    for (int32_t t = 1; t < threads; ++t) {
        PartThread& helper = helpers[t - 1];
        if (helper.thread.joinable()) helper.thread.join();
        ok = ok && helper.ok;
        if (!failure) failure = helper.failure;
    }
    if (failure) std::rethrow_exception(failure);
    return ok;
}

static bool read_entry(ByteSource& s, InteropMesh& m) {
    EntryArrays a;
    a.mapped = s.mapped;
    if (!read_header(s, a.header)) return false;
    const InteropHeader& h = a.header;
    uint64_t needed = 0;
    if (!entry_array_bytes(h, needed) || needed > bytes_left(s)) return false;

    a.wide = h.wide_rows > 0;
    a.vertices = h.positions_len > 0 ? static_cast<uint64_t>(h.positions_len / h.dimension) : 0;
    a.index_width = colour_index_width(h.palette_len);
    m.polygon_size = h.polygon_size;
    m.dimension = h.dimension;
    m.smoothing_count = h.smoothing_count;
    m.smoothing_groups_defined = h.smoothing_count > 0 ? 1 : 0;
    if (!locate_arrays(s, a)) return false;
    // Only a mesh with smoothing groups draws its shading vectors; any other
    // would hold a float triple per triangle that nothing reads.
    if (h.smoothing_count <= 0) a.header.shading_len = 0;
    if (!read_parts(a, m)) return false;

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
        for (int32_t i = 0; i < mesh_count && ok; ++i) {
            InteropMesh* mesh = new InteropMesh();
            meshes.push_back(mesh);
            ok = read_entry(s, *mesh);
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

// ---------------------------------------------------------------------------
// The bytes of a file. A large file is mapped: its pages come straight from
// the page cache (mapped a batch at a time as they are first touched, which
// costs less than mapping them all up front), so the reader copies every
// array once, from the cache into its vector. The file must not shrink while
// it is read (it is the finished output of a kernel run). A small file, or
// one that does not map, is read into memory.

static const uint64_t map_threshold = 256 * 1024;

struct FileBytes {
    const uint8_t* data = nullptr;
    uint64_t size = 0;
    void* mapping = nullptr;
    std::unique_ptr<uint8_t[]> buffer;

    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes() {
        if (mapping) munmap(mapping, static_cast<size_t>(size));
    }
};

static void load_file(int fd, uint64_t size, FileBytes& out) {
    if (size == 0) return;
    if (size >= map_threshold) {
        void* mapping = mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapping != MAP_FAILED) {
            out.mapping = mapping;
            out.data = static_cast<const uint8_t*>(mapping);
            out.size = size;
            return;
        }
    }
    out.buffer.reset(new uint8_t[static_cast<size_t>(size)]);
    uint64_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, out.buffer.get() + done, static_cast<size_t>(size - done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;  // a file that ends early fails where its arrays run out
        done += static_cast<uint64_t>(got);
    }
    out.data = out.buffer.get();
    out.size = done;
}

std::vector<InteropMesh*> read_interop_meshes(const std::string& path) {
    if (path.empty() || !path_exists(path)) {
        std::printf("ERROR-READING-BINARY-INTEROP-FILE: %s\n", path.c_str());
        std::fflush(stdout);
        return {};
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    // Only a regular file has a size; anything else reads as empty.
    struct stat info;
    uint64_t size = 0;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) size = static_cast<uint64_t>(info.st_size);
    FileBytes bytes;
    load_file(fd, size, bytes);
    close(fd);
    ByteSource s;
    s.data = bytes.data;
    s.size = bytes.size;
    s.mapped = bytes.mapping != nullptr;
    return read_all_entries(s, path);
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

// A released array's storage the heap would keep resident (as it keeps
// what the program frees, for speed) is handed back first.
template <typename T>
static void release_now(std::vector<T>& v) {
    hand_back_pages(v.data(), v.capacity() * sizeof(T));
    release(v);
}

void release_uploaded_edges(InteropMesh& mesh, const std::array<size_t, 3>& counts) {
    release_now(mesh.triangle_edges);
    release_now(mesh.polygon_edges);
    release_now(mesh.group_edges);
    release_now(mesh.triangle_edges_16);
    release_now(mesh.polygon_edges_16);
    release_now(mesh.group_edges_16);
    mesh.gl_edge_counts = counts;
    mesh.gl_edges_only = 1;
}

void destroy_interop_mesh(InteropMesh* m) {
    if (!m) return;
    release(m->positions);
    release(m->polygons);
    release(m->polygon_normals);
    release(m->colours);
    release(m->colour_palette);
    release(m->colour_indices);
    release(m->bounds);
    release(m->face_ids);
    release(m->user_type_ids);
    release(m->group_ids);
    release(m->operand_ids);
    release(m->triangles);
    release(m->triangle_normals);
    release(m->triangle_normal_flips);
    release(m->triangle_polygons);
    release(m->polygon_edges);
    release(m->triangle_edges);
    release(m->group_edges);
    release(m->polygon_edges_16);
    release(m->triangle_edges_16);
    release(m->group_edges_16);
    for (CodedTable& table : m->coded_tables) table = CodedTable();
    release(m->shading_vectors);
    release(m->display_colours);
    release(m->tessellation_colours);
    release(m->tessellation_map);
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

NormalList normal_list(const std::vector<double>& values) { return NormalList{values.data(), nullptr, values.size()}; }

NormalList triangle_normals_of(const InteropMesh& mesh) {
    if (!mesh.triangle_normals.empty() || mesh.triangle_normal_flips.empty()) return normal_list(mesh.triangle_normals);
    const size_t count = std::min(3 * mesh.triangle_normal_flips.size(), mesh.polygon_normals.size() / 3 * 3);
    return NormalList{mesh.polygon_normals.data(), mesh.triangle_normal_flips.data(), count};
}

const double* triangle_normal_values(const InteropMesh& mesh, std::vector<double>& scratch, size_t& count) {
    const NormalList normals = triangle_normals_of(mesh);
    count = normals.size();
    if (!normals.flips) return normals.values;
    scratch.resize(count);
    for (size_t i = 0; i < count; ++i) scratch[i] = normals[i];
    return scratch.data();
}

ColourList colours_of(const InteropMesh& mesh) {
    if (!mesh.colours.empty() || mesh.colour_palette.empty()) {
        return ColourList{mesh.colours.data(), nullptr, mesh.colours.size()};
    }
    return ColourList{mesh.colour_palette.data(), mesh.colour_indices.data(), 4 * mesh.colour_indices.size()};
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
           colours_of(mesh).size() * 8;
}

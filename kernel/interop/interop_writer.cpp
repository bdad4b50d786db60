#include "interop/interop_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

// Output goes either to a byte string or straight to a stdio stream, so big
// meshes are never copied into memory a second time.
struct ByteSink {
    std::string* text = nullptr;
    FILE* file = nullptr;
    bool failed = false;
};

// The largest piece handed to the stream at once. A large array passed
// whole becomes one write call of many megabytes, and the file system then
// takes its cache in 2 MiB blocks: on a virtual machine that hands free
// memory back to its host, every such block is faulted in afresh, and a
// 79 MB mesh took half a second to write instead of twenty milliseconds.
constexpr size_t kLargestWrite = size_t(1) << 20;

static void sink_write(ByteSink& sink, const void* data, size_t bytes) {
    if (bytes == 0 || sink.failed) return;
    if (sink.text) {
        sink.text->append(static_cast<const char*>(data), bytes);
        return;
    }
    const char* at = static_cast<const char*>(data);
    while (bytes > 0) {
        const size_t n = std::min(bytes, kLargestWrite);
        if (std::fwrite(at, 1, n, sink.file) != n) {
            sink.failed = true;
            return;
        }
        at += n;
        bytes -= n;
    }
}

template <typename T>
static void sink_array(ByteSink& sink, const std::vector<T>& values) {
    sink_write(sink, values.data(), values.size() * sizeof(T));
}

// Writes `count` values of `values` narrowed or widened to type Out; values
// beyond the vector are written as 0.
template <typename Out, typename In>
static void sink_converted(ByteSink& sink, const std::vector<In>& values, size_t count) {
    Out chunk[4096];
    size_t done = 0;
    while (done < count) {
        size_t n = std::min(count - done, sizeof(chunk) / sizeof(Out));
        for (size_t i = 0; i < n; ++i) {
            size_t k = done + i;
            chunk[i] = k < values.size() ? static_cast<Out>(values[k]) : Out(0);
        }
        sink_write(sink, chunk, n * sizeof(Out));
        done += n;
    }
}

static int32_t clamp_count(size_t n) {
    return n > static_cast<size_t>(std::numeric_limits<int32_t>::max())
               ? std::numeric_limits<int32_t>::max()
               : static_cast<int32_t>(n);
}

static uint32_t max_of(const std::vector<uint32_t>& v) {
    uint32_t m = 0;
    for (uint32_t x : v) m = x > m ? x : m;
    return m;
}

bool interop_uses_wide_indices(const InteropWriterMesh& mesh) {
    if (mesh.index_width == INTEROP_INDEX_32) return true;
    if (mesh.index_width == INTEROP_INDEX_16) return false;
    const uint32_t limit = 0xFFFF;
    return max_of(mesh.polygons) > limit || max_of(mesh.triangles) > limit ||
           max_of(mesh.polygon_edges) > limit || max_of(mesh.triangle_edges) > limit ||
           max_of(mesh.group_edges) > limit;
}

int interop_colour_index_bytes(int64_t palette_len) {
    if (palette_len <= 0) return 0;
    if (palette_len <= 1023) return 1;
    if (palette_len <= 262143) return 2;
    return 4;
}

InteropCodedTable interop_encode_table(const std::vector<uint32_t>& list, size_t row_len) {
    InteropCodedTable table;
    if (list.empty()) return table;
    row_len = std::clamp<size_t>(row_len, 1, 65536);
    const size_t rows = (list.size() + row_len - 1) / row_len;
    table.rows = clamp_count(rows);
    table.values.assign(rows + 1, 0);
    table.values[0] = static_cast<uint32_t>(rows);
    table.row_sizes.assign(rows + 1, 0);
    table.entries.resize(list.size());

    // Dictionaries are the sorted distinct values of each row. Rows of nearby
    // vertex indices (the usual case) use a direct lookup over their range.
    std::vector<uint32_t> slot;
    std::vector<uint32_t> dict;
    for (size_t r = 0; r < rows; ++r) {
        const size_t begin = r * row_len;
        const size_t end = std::min(list.size(), begin + row_len);
        uint32_t lo = list[begin], hi = list[begin];
        for (size_t i = begin; i < end; ++i) {
            lo = std::min(lo, list[i]);
            hi = std::max(hi, list[i]);
        }
        const uint64_t range = uint64_t(hi) - lo + 1;
        dict.clear();
        if (range <= 4 * row_len + 1024) {
            const uint32_t unused = std::numeric_limits<uint32_t>::max();
            slot.assign(range, unused);
            for (size_t i = begin; i < end; ++i) slot[list[i] - lo] = 0;
            for (uint64_t k = 0; k < range; ++k) {
                if (slot[k] != unused) {
                    slot[k] = static_cast<uint32_t>(dict.size());
                    dict.push_back(static_cast<uint32_t>(lo + k));
                }
            }
            for (size_t i = begin; i < end; ++i)
                table.entries[i] = static_cast<uint16_t>(slot[list[i] - lo]);
        } else {
            dict.assign(list.begin() + begin, list.begin() + end);
            std::sort(dict.begin(), dict.end());
            dict.erase(std::unique(dict.begin(), dict.end()), dict.end());
            for (size_t i = begin; i < end; ++i) {
                auto it = std::lower_bound(dict.begin(), dict.end(), list[i]);
                table.entries[i] = static_cast<uint16_t>(it - dict.begin());
            }
        }
        table.values[r + 1] = static_cast<uint32_t>(dict.size());
        table.values.insert(table.values.end(), dict.begin(), dict.end());
        table.row_sizes[r + 1] = static_cast<uint32_t>(end - begin);
    }
    return table;
}

bool interop_decode_table(const InteropCodedTable& table, std::vector<uint32_t>& out) {
    out.clear();
    if (table.rows <= 0) return table.entries.empty();
    const size_t rows = static_cast<size_t>(table.rows);
    if (table.row_sizes.size() < rows + 1 || table.values.size() < rows + 1) return false;
    size_t base = rows + 1;
    size_t pos = 0;
    for (size_t r = 1; r <= rows; ++r) {
        const size_t size = table.row_sizes[r];
        const size_t dict_size = table.values[r];
        if (pos + size > table.entries.size() || base + dict_size > table.values.size()) return false;
        for (size_t j = 0; j < size; ++j) {
            const size_t e = table.entries[pos + j];
            if (e >= dict_size) return false;
            out.push_back(table.values[base + e]);
        }
        pos += size;
        base += dict_size;
    }
    return pos == table.entries.size();
}

void interop_fill_bounds(InteropWriterMesh& mesh) {
    const int d = mesh.dimension;
    mesh.bounds.clear();
    if (d <= 0) return;
    const size_t vertices = mesh.positions.size() / static_cast<size_t>(d);
    if (vertices == 0) return;
    std::vector<double> lo(d, 0.0), hi(d, 0.0), sum(d, 0.0);
    for (size_t v = 0; v < vertices; ++v) {
        for (int c = 0; c < d; ++c) {
            const double x = mesh.positions[v * d + c];
            if (v == 0 || x < lo[c]) lo[c] = x;
            if (v == 0 || x > hi[c]) hi[c] = x;
            sum[c] += x;
        }
    }
    mesh.bounds.resize(5 * static_cast<size_t>(d));
    for (int c = 0; c < d; ++c) {
        mesh.bounds[c] = lo[c];
        mesh.bounds[d + c] = hi[c];
        mesh.bounds[2 * d + c] = (lo[c] + hi[c]) / 2.0;
        mesh.bounds[3 * d + c] = vertices ? sum[c] / static_cast<double>(vertices) : 0.0;
        mesh.bounds[4 * d + c] = hi[c] - lo[c];
    }
}

// Per entry: the coded tables actually written (computed once).
struct EntryPlan {
    bool wide = false;
    InteropCodedTable tables[4];  // wide, polygon edges, triangle edges, group edges
    std::array<int32_t, IW_WORD_COUNT> header{};
    size_t colour_count = 0;
    int colour_bytes = 0;
    size_t name_bytes = 0;
};

static void plan_entry(const InteropWriterMesh& m, EntryPlan& plan) {
    plan.wide = interop_uses_wide_indices(m);
    auto& h = plan.header;
    h.fill(0);
    h[IW_POSITIONS_LEN] = clamp_count(m.positions.size());
    h[IW_POLYGONS_LEN] = clamp_count(m.polygons.size());
    h[IW_POLYGON_SIZE] = m.polygon_size;
    h[IW_DIMENSION] = m.dimension;
    h[IW_NORMALS_LEN] = clamp_count(m.normals.size());
    h[IW_PALETTE_LEN] = clamp_count(m.palette.size());
    h[IW_BOUNDS_LEN] = clamp_count(m.bounds.size());
    h[IW_FACE_IDS_LEN] = clamp_count(m.face_ids.size());
    h[IW_GROUP_IDS_LEN] = clamp_count(m.group_ids.size());
    h[IW_USER_TYPES_LEN] = clamp_count(m.user_type_ids.size());
    h[IW_OPERAND_IDS_LEN] = clamp_count(m.operand_ids.size());
    h[IW_TRIANGLES_LEN] = clamp_count(m.triangles.size());
    h[IW_SIGN_FLAGS_LEN] = clamp_count(m.sign_flags.size());
    h[IW_TRIANGLE_POLYGONS_LEN] = clamp_count(m.triangle_polygons.size());
    const bool plain = !plan.wide || m.plain_edges_in_wide;
    if (plain) {
        h[IW_POLYGON_EDGES_LEN] = clamp_count(m.polygon_edges.size());
        h[IW_TRIANGLE_EDGES_LEN] = clamp_count(m.triangle_edges.size());
        h[IW_GROUP_EDGES_LEN] = clamp_count(m.group_edges.size());
    }
    if (plan.wide) {
        if (m.wide_table.rows > 0) {
            plan.tables[0] = m.wide_table;
        } else {
            plan.tables[0].rows = 1;
            plan.tables[0].values = {1u, 0u};
        }
        {
            plan.tables[1] = interop_encode_table(m.polygon_edges);
            plan.tables[2] = interop_encode_table(m.triangle_edges);
            plan.tables[3] = interop_encode_table(m.group_edges);
        }
        for (int t = 0; t < 4; ++t) {
            h[IW_WIDE_ROWS + 3 * t] = plan.tables[t].rows;
            h[IW_WIDE_VALUES + 3 * t] = clamp_count(plan.tables[t].values.size());
            h[IW_WIDE_ENTRIES + 3 * t] = clamp_count(plan.tables[t].entries.size());
        }
    }
    h[IW_SMOOTHING_COUNT] = m.smoothing_count;
    h[IW_SPARE_LEN] = clamp_count(m.spare.size());
    h[IW_SHADING_LEN] = clamp_count(m.shading.size());
    h[IW_RESERVED] = m.reserved;
    h[IW_PPD_TEXT_LEN] = clamp_count(m.ppd_text.size());
    h[IW_TYPE_NAMES_LEN] = clamp_count(m.type_names.size());
    plan.name_bytes = 0;
    for (const auto& n : m.type_names) plan.name_bytes += n.size();
    h[IW_TYPE_NAME_BYTES_LEN] = clamp_count(plan.name_bytes);

    plan.colour_bytes = interop_colour_index_bytes(static_cast<int64_t>(m.palette.size()));
    plan.colour_count = (plan.colour_bytes > 0 && m.dimension > 0)
                            ? m.positions.size() / static_cast<size_t>(m.dimension)
                            : 0;
    for (const auto& [word, value] : m.header_override) {
        if (word >= 0 && word < IW_WORD_COUNT) h[word] = value;
    }
}

std::array<int32_t, IW_WORD_COUNT> interop_header(const InteropWriterMesh& mesh) {
    EntryPlan plan;
    plan_entry(mesh, plan);
    return plan.header;
}

static void write_index_list(ByteSink& sink, const std::vector<uint32_t>& list, bool wide) {
    if (wide)
        sink_array(sink, list);
    else
        sink_converted<uint16_t>(sink, list, list.size());
}

static void write_table(ByteSink& sink, const InteropCodedTable& t) {
    sink_array(sink, t.values);
    if (!t.entries.empty()) {
        // rows + 1 sizes, whatever the vector holds
        sink_converted<uint32_t>(sink, t.row_sizes, static_cast<size_t>(std::max(t.rows, 0)) + 1);
        sink_array(sink, t.entries);
    }
}

static void write_entry(ByteSink& sink, const InteropWriterMesh& m, const EntryPlan& plan) {
    sink_write(sink, plan.header.data(), kInteropHeaderBytes);
    sink_array(sink, m.positions);
    write_index_list(sink, m.polygons, plan.wide);
    sink_array(sink, m.normals);
    sink_array(sink, m.palette);
    if (plan.colour_bytes == 1)
        sink_converted<uint8_t>(sink, m.colour_indices, plan.colour_count);
    else if (plan.colour_bytes == 2)
        sink_converted<uint16_t>(sink, m.colour_indices, plan.colour_count);
    else if (plan.colour_bytes == 4)
        sink_converted<uint32_t>(sink, m.colour_indices, plan.colour_count);
    sink_array(sink, m.bounds);
    sink_array(sink, m.face_ids);
    sink_array(sink, m.group_ids);
    sink_array(sink, m.user_type_ids);
    sink_array(sink, m.operand_ids);
    write_index_list(sink, m.triangles, plan.wide);
    sink_array(sink, m.sign_flags);
    sink_array(sink, m.triangle_polygons);
    if (!plan.wide || m.plain_edges_in_wide) {
        write_index_list(sink, m.polygon_edges, plan.wide);
        write_index_list(sink, m.triangle_edges, plan.wide);
        write_index_list(sink, m.group_edges, plan.wide);
    }
    if (plan.wide) {
        for (const auto& t : plan.tables) write_table(sink, t);
    }
    sink_array(sink, m.spare);
    sink_array(sink, m.shading);
    sink_write(sink, m.ppd_text.data(), m.ppd_text.size());
    if (!m.type_names.empty()) {
        std::vector<int32_t> lengths, offsets;
        int64_t offset = 0;
        for (const auto& n : m.type_names) {
            lengths.push_back(clamp_count(n.size()));
            offsets.push_back(static_cast<int32_t>(std::min<int64_t>(offset, std::numeric_limits<int32_t>::max())));
            offset += static_cast<int64_t>(n.size());
        }
        sink_array(sink, lengths);
        sink_array(sink, offsets);
        for (const auto& n : m.type_names) sink_write(sink, n.data(), n.size());
    }
}

// Sizes follow the written arrays, not overridden header words.
static size_t entry_size(const InteropWriterMesh& m, const EntryPlan& plan) {
    size_t size = kInteropHeaderBytes;
    const size_t index_bytes = plan.wide ? 4 : 2;
    size += m.positions.size() * 8 + m.polygons.size() * index_bytes + m.normals.size() * 8;
    size += m.palette.size() * 8 + plan.colour_count * static_cast<size_t>(plan.colour_bytes);
    size += m.bounds.size() * 8;
    size += (m.face_ids.size() + m.group_ids.size() + m.user_type_ids.size() + m.operand_ids.size()) * 4;
    size += m.triangles.size() * index_bytes + m.sign_flags.size() + m.triangle_polygons.size() * 4;
    if (!plan.wide || m.plain_edges_in_wide)
        size += (m.polygon_edges.size() + m.triangle_edges.size() + m.group_edges.size()) * index_bytes;
    if (plan.wide) {
        for (const auto& t : plan.tables) {
            size += t.values.size() * 4;
            if (!t.entries.empty())
                size += (static_cast<size_t>(std::max(t.rows, 0)) + 1) * 4 + t.entries.size() * 2;
        }
    }
    size += m.spare.size() * 4 + m.shading.size() * 4 + m.ppd_text.size();
    if (!m.type_names.empty()) size += m.type_names.size() * 8 + plan.name_bytes;
    return size;
}

size_t interop_entry_size(const InteropWriterMesh& m) {
    EntryPlan plan;
    plan_entry(m, plan);
    return entry_size(m, plan);
}

static void write_all(ByteSink& sink, const std::vector<InteropWriterMesh>& meshes,
                      int32_t mesh_count_override, size_t& written) {
    const int32_t count = mesh_count_override >= 0 ? mesh_count_override : clamp_count(meshes.size());
    sink_write(sink, &count, sizeof count);
    written = sizeof count;
    for (const auto& m : meshes) {
        EntryPlan plan;
        plan_entry(m, plan);
        write_entry(sink, m, plan);
        written += entry_size(m, plan);
    }
    if (written < kInteropHeaderBytes) {
        const char zeros[kInteropHeaderBytes] = {};
        sink_write(sink, zeros, kInteropHeaderBytes - written);
        written = kInteropHeaderBytes;
    }
}

std::string interop_serialise(const std::vector<InteropWriterMesh>& meshes, int32_t mesh_count_override) {
    std::string bytes;
    ByteSink sink;
    sink.text = &bytes;
    size_t written = 0;
    write_all(sink, meshes, mesh_count_override, written);
    return bytes;
}

static void set_error(std::string* error, const std::string& what, const std::string& path) {
    if (error) *error = what + ": " + path + ": " + std::strerror(errno);
}

// Opens `path` (replacing it), lets `fill` write through a file sink, and
// closes it; every file the writer makes goes this way, in the sink's
// pieces.
template <typename Fill>
static bool write_through_sink(const std::string& path, std::string* error, Fill fill) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        set_error(error, "cannot open for writing", path);
        return false;
    }
    std::vector<char> buffer(kLargestWrite);
    std::setvbuf(f, buffer.data(), _IOFBF, buffer.size());
    ByteSink sink;
    sink.file = f;
    fill(sink);
    const bool closed = std::fclose(f) == 0;
    if (sink.failed || !closed) {
        set_error(error, "write failed", path);
        return false;
    }
    return true;
}

bool write_interop_file(const std::string& path, const std::vector<InteropWriterMesh>& meshes,
                        std::string* error) {
    return write_through_sink(path, error, [&](ByteSink& sink) {
        size_t written = 0;
        write_all(sink, meshes, -1, written);
    });
}

bool write_interop_bytes(const std::string& path, const std::string& bytes, std::string* error) {
    return write_through_sink(path, error, [&](ByteSink& sink) { sink_write(sink, bytes.data(), bytes.size()); });
}

bool write_interop_file_truncated(const std::string& path, const std::vector<InteropWriterMesh>& meshes,
                                  size_t keep_bytes, std::string* error) {
    std::string bytes = interop_serialise(meshes);
    if (keep_bytes < bytes.size()) bytes.resize(keep_bytes);
    return write_interop_bytes(path, bytes, error);
}

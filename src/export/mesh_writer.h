#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "model/environment.h"
#include "platform/files.h"

// What the mesh writers share: a buffered output file, number formatting,
// the walk over the visible meshes of an entity set, the per-vertex
// attributes and the comment header.

// Which faces and normals a writer takes.
enum TopologyCode : int {
    TOPOLOGY_POLYGONS = 0,
    TOPOLOGY_TRIANGLES = 3,
    TOPOLOGY_QUADS = 4,
};

// ---------------------------------------------------------------------------
// Buffered output. Every failure (open, write, close) ends in `failed`; the
// writers report success only when the last byte went out and the file
// closed cleanly. The file is written under a temporary name and renamed
// over the target only then, so a failed export keeps any earlier file.

struct MeshOutput {
    int fd = -1;
    std::unique_ptr<char[]> buffer;
    size_t capacity = 0;
    size_t used = 0;
    bool failed = false;
    // The first write failure (an errno value) and, after a failed open or
    // close, the reason as text.
    int error = 0;
    std::string failure;
    ReplacementFile file;
};

// The largest single reserve is a text facet of about 500 bytes.
constexpr size_t MESH_OUTPUT_MIN_BUFFER = 4096;

// Creates the temporary file beside `path`. False when it cannot be
// created (the reason in `failure`).
bool mesh_output_open(MeshOutput& out, const std::string& path, size_t buffer_bytes = size_t(1) << 20);
// Writes what is buffered; marks the output failed when the system refuses.
void mesh_output_flush(MeshOutput& out);
// Flushes, closes and renames the file into place; true when every byte
// was written and close and rename succeeded. On failure the temporary
// file is removed and `failure` says why.
bool mesh_output_close(MeshOutput& out);

// Copies the reason of a failed writer to `failure` when one is asked for.
bool mesh_output_result(bool ok, const std::string& reason, std::string* failure);

// Room for at least `n` bytes (n at most MESH_OUTPUT_MIN_BUFFER), flushing
// first when needed. Write into it, then mesh_output_commit.
inline char* mesh_output_reserve(MeshOutput& out, size_t n) {
    if (out.capacity - out.used < n) mesh_output_flush(out);
    return out.buffer.get() + out.used;
}
inline void mesh_output_commit(MeshOutput& out, char* end) { out.used = static_cast<size_t>(end - out.buffer.get()); }

void mesh_output_bytes(MeshOutput& out, const void* data, size_t n);
inline void mesh_output_text(MeshOutput& out, const std::string& text) {
    mesh_output_bytes(out, text.data(), text.size());
}
inline void mesh_output_text(MeshOutput& out, const char* text) { mesh_output_bytes(out, text, std::strlen(text)); }

// Longest text that format_mesh_double or format_mesh_integer produce.
constexpr size_t MESH_NUMBER_CHARS = 32;

// A double in general notation with the smallest precision of 6 or more
// that reads back to the same double ("%.<p>g", "C" conventions): values
// exact in six digits read as the default stream format prints them
// (0.5, 2, 1e-07, 1.5e+06), anything else keeps every bit. Returns the end.
char* format_mesh_double(char* out, double value);
std::string mesh_double_text(double value);
char* format_mesh_integer(char* out, int64_t value);

// Little-endian stores, whatever the host's byte order.
inline char* store_le32(char* p, uint32_t v) {
    p[0] = static_cast<char>(v);
    p[1] = static_cast<char>(v >> 8);
    p[2] = static_cast<char>(v >> 16);
    p[3] = static_cast<char>(v >> 24);
    return p + 4;
}
inline char* store_le16(char* p, uint16_t v) {
    p[0] = static_cast<char>(v);
    p[1] = static_cast<char>(v >> 8);
    return p + 2;
}
inline char* store_le64(char* p, uint64_t v) {
    store_le32(p, static_cast<uint32_t>(v));
    return store_le32(p + 4, static_cast<uint32_t>(v >> 32));
}
inline char* store_le_double(char* p, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return store_le64(p, bits);
}
inline char* store_le_float(char* p, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return store_le32(p, bits);
}

// ---------------------------------------------------------------------------
// The mesh walk.

struct WalkedMesh {
    const InteropMesh* mesh = nullptr;
    // The entity whose transform applies (the parent of a sub-element).
    const EntityRecord* owner = nullptr;
    bool identity = true;
    // The owner's transform turns the mesh inside out: the visitors hand
    // every face with its corners reversed, so it winds outward again.
    bool mirrored = false;
    // Doubles per position: 2 for a flat mesh, else 3.
    int32_t stride = 3;
    int64_t vertex_count = 0;
    // Number of this mesh's first vertex in the file's shared numbering.
    int64_t first_vertex = 0;
};

// The meshes of the visible entities in file order: records first to last,
// a parallel record's sub-elements in their order; nothing for invisible
// records, empty slots and records without a mesh.
std::vector<WalkedMesh> walk_visible_meshes(const EntitySet& set);
int64_t walked_vertex_total(const std::vector<WalkedMesh>& meshes);

// Visits the polygons that can be written: the whole list is skipped when
// its count, sizes or corners run past its end, and a polygon with a corner
// outside the mesh's vertices is skipped. face(corners, n), the corners
// reversed for a mirrored mesh.
template <typename Face>
void visit_polygons(const WalkedMesh& w, Face&& face) {
    const std::vector<uint32_t>& list = w.mesh->polygons;
    const uint64_t limit = static_cast<uint64_t>(w.vertex_count);
    const uint32_t* data = list.data();
    const size_t size = list.size();
    std::vector<uint32_t> reversed;
    auto corners_fit = [&](const uint32_t* corners, uint64_t n) {
        for (uint64_t k = 0; k < n; ++k) {
            if (corners[k] >= limit) return false;
        }
        return true;
    };
    auto put = [&](const uint32_t* corners, uint32_t n) {
        if (!corners_fit(corners, n)) return;
        if (w.mirrored) {
            reversed.assign(std::make_reverse_iterator(corners + n), std::make_reverse_iterator(corners));
            corners = reversed.data();
        }
        face(corners, n);
    };
    if (size == 0) return;
    const int32_t fixed = w.mesh->polygon_size;
    if (fixed > 0) {
        const size_t n = static_cast<size_t>(fixed);
        for (size_t i = 0; i + n <= size; i += n) put(data + i, static_cast<uint32_t>(n));
        return;
    }
    // The count is a signed 32-bit value: 0 or less means no polygons.
    const int32_t count = static_cast<int32_t>(data[0]);
    if (count <= 0) return;
    const uint64_t p = static_cast<uint64_t>(count);
    if (p > size - 1) return;
    uint64_t corner_total = 0;
    for (uint64_t k = 1; k <= p; ++k) corner_total += data[k];
    if (corner_total > size - 1 - p) return;
    const uint32_t* corners = data + 1 + p;
    for (uint64_t k = 1; k <= p; ++k) {
        const uint32_t n = data[k];
        put(corners, n);
        corners += n;
    }
}

// Visits the whole triangles whose three corners lie in the mesh.
// face(corners), reversed for a mirrored mesh.
template <typename Face>
void visit_triangles(const WalkedMesh& w, Face&& face) {
    const std::vector<uint32_t>& list = w.mesh->triangles;
    const uint64_t limit = static_cast<uint64_t>(w.vertex_count);
    const uint32_t* data = list.data();
    const size_t size = list.size();
    for (size_t i = 0; i + 2 < size; i += 3) {
        if (data[i] >= limit || data[i + 1] >= limit || data[i + 2] >= limit) continue;
        if (!w.mirrored) {
            face(data + i);
        } else {
            const uint32_t reversed[3] = {data[i + 2], data[i + 1], data[i]};
            face(reversed);
        }
    }
}

// Faces a writer will write for the topology: polygons for 0, triangles for
// 3, none for any other code.
int64_t count_faces(const std::vector<WalkedMesh>& meshes, int topology);
int64_t count_triangles(const std::vector<WalkedMesh>& meshes);

// ---------------------------------------------------------------------------
// Per-vertex attributes, transformed by the owning entity. A vertex beyond
// a short normal or colour array gets the normal 0 0 0 or the colour
// 1 1 1 1; a flat mesh has z 0.

inline void vertex_position(const WalkedMesh& w, int64_t v, double p[3]) {
    const double* src = w.mesh->positions.data() + v * w.stride;
    p[0] = src[0];
    p[1] = src[1];
    p[2] = w.stride == 3 ? src[2] : 0.0;
    if (!w.identity) entity_transform_point(*w.owner, p[0], p[1], p[2]);
}

// Normals of the topology: polygon normals for 0, triangle normals otherwise.
inline NormalList topology_normals(const InteropMesh& mesh, int topology) {
    return topology == TOPOLOGY_POLYGONS ? normal_list(mesh.polygon_normals) : triangle_normals_of(mesh);
}

inline void vertex_normal(const WalkedMesh& w, const NormalList& normals, int64_t v, double n[3]) {
    const size_t at = static_cast<size_t>(v) * 3;
    if (at + 3 <= normals.size()) {
        n[0] = normals[at];
        n[1] = normals[at + 1];
        n[2] = normals[at + 2];
    } else {
        n[0] = n[1] = n[2] = 0.0;
    }
    if (!w.identity) entity_transform_normal(*w.owner, n[0], n[1], n[2]);
}

inline void vertex_colour(const WalkedMesh& w, int64_t v, double c[4]) {
    const ColourList colours = colours_of(*w.mesh);
    const size_t at = static_cast<size_t>(v) * 4;
    if (at + 4 <= colours.size()) {
        c[0] = colours[at];
        c[1] = colours[at + 1];
        c[2] = colours[at + 2];
        c[3] = colours[at + 3];
    } else {
        c[0] = c[1] = c[2] = c[3] = 1.0;
    }
}

// 255 x the channel, clamped to 0..255 and truncated toward zero.
inline int32_t colour_channel_integer(double channel) {
    const double scaled = 255.0 * channel;
    if (!(scaled > 0.0)) return 0;  // also NaN
    if (scaled >= 255.0) return 255;
    return static_cast<int32_t>(scaled);
}

// ---------------------------------------------------------------------------
// The nine comment lines: `prefix` is "#" or "comment"; `colour_kind` names
// the colour channels a writer puts on each vertex.
std::string mesh_comment_header(const char* prefix, const std::string& path, int64_t vertices, int64_t faces,
                                int topology, bool normals, bool colours,
                                const char* colour_kind = "per-vertex-RGBA");

// Text vertex lines and index faces shared by PLY and OFF:
// "x y z[ nx ny nz][ r g b a]" with integer colour channels, and
// "n i0 i1 ..." with 0-based shared indices.
void write_text_vertex_lines(MeshOutput& out, const std::vector<WalkedMesh>& meshes, int topology, bool normals,
                             bool colours);
void write_text_index_faces(MeshOutput& out, const std::vector<WalkedMesh>& meshes, int topology);

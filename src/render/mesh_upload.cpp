#include "render/mesh_upload.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <memory>
#include <string>

namespace {

struct Edges {
    const uint32_t* wide = nullptr;
    const uint16_t* narrow = nullptr;
    size_t count = 0;
};

// The form of an edge list that holds data: the 32-bit list when it has
// entries, else the 16-bit one.
Edges edge_source(const std::vector<uint32_t>& wide, const std::vector<uint16_t>& narrow) {
    Edges e;
    if (!wide.empty()) {
        e.wide = wide.data();
        e.count = wide.size();
    } else {
        e.narrow = narrow.data();
        e.count = narrow.size();
    }
    return e;
}

size_t vertex_count_of(const InteropMesh& mesh) {
    return mesh.dimension > 0 ? mesh.positions.size() / static_cast<size_t>(mesh.dimension) : 0;
}

// One 32-byte vertex: position, normal, colour bytes, id bytes.
struct PackedVertex {
    float position[3];
    float normal[3];
    uint8_t colour[4];
    uint8_t id[4];
};
static_assert(sizeof(PackedVertex) == mesh_vertex_bytes, "mesh vertices are 32 bytes");

// The edges as indices of the layout's width; a 16-bit list leaves the
// rest of its 4-byte slots zeroed.
void write_edges(uint8_t* out, const Edges& e, bool short_edges, size_t vertices) {
    for (size_t k = 0; k < e.count; ++k) {
        uint32_t v = e.wide ? e.wide[k] : e.narrow[k];
        if (v >= vertices) v = 0;
        if (short_edges) {
            const uint16_t s = static_cast<uint16_t>(v);
            std::memcpy(out + 2 * k, &s, 2);
        } else {
            std::memcpy(out + 4 * k, &v, 4);
        }
    }
    if (short_edges) std::memset(out + 2 * e.count, 0, 2 * e.count);
}

// What every vertex of the mesh shares: its arrays and their usable lengths.
struct VertexSource {
    const double* positions;
    NormalList normals;
    const uint8_t* colours;
    size_t count;         // V
    size_t stride;        // doubles per position and normal
    size_t used;          // coordinates written, at most 3
    size_t normal_count;  // vertices that have a normal
    size_t colour_count;  // vertices that have a display colour
};

VertexSource vertex_source(const InteropMesh& mesh) {
    VertexSource s;
    s.stride = mesh.dimension > 0 ? static_cast<size_t>(mesh.dimension) : 0;
    s.used = std::min<size_t>(s.stride, 3);
    s.count = vertex_count_of(mesh);
    s.positions = mesh.positions.data();
    s.normals = triangle_normals_of(mesh);
    s.colours = mesh.display_colours.data();
    s.normal_count = s.stride > 0 ? s.normals.size() / s.stride : 0;
    s.colour_count = mesh.display_colours.size() / 4;
    return s;
}

PackedVertex pack_vertex(const VertexSource& s, size_t k) {
    PackedVertex p{};
    const double* pos = s.positions + s.stride * k;
    for (size_t c = 0; c < s.used; ++c) p.position[c] = static_cast<float>(pos[c]);
    if (k < s.normal_count) {
        const size_t n = s.stride * k;
        for (size_t c = 0; c < s.used; ++c) p.normal[c] = static_cast<float>(s.normals[n + c]);
    }
    if (k < s.colour_count) {
        std::memcpy(p.colour, s.colours + 4 * k, 4);
    } else {
        p.colour[0] = p.colour[1] = p.colour[2] = 191;
        p.colour[3] = 255;
    }
    return p;
}

}  // namespace

MeshUploadLayout mesh_upload_layout(const InteropMesh& mesh, bool triangle_run) {
    MeshUploadLayout l;
    l.vertex_count = vertex_count_of(mesh);
    l.index_count = mesh.triangles.size();
    l.triangle_count = l.index_count / 3;
    l.triangle_run = triangle_run;
    l.box_first = l.vertex_count + (triangle_run ? l.index_count : 0);
    if (mesh.gl_edges_only) {
        l.triangle_edge_count = mesh.gl_edge_counts[0];
        l.polygon_edge_count = mesh.gl_edge_counts[1];
        l.group_edge_count = mesh.gl_edge_counts[2];
    } else {
        l.triangle_edge_count = edge_source(mesh.triangle_edges, mesh.triangle_edges_16).count;
        l.polygon_edge_count = edge_source(mesh.polygon_edges, mesh.polygon_edges_16).count;
        l.group_edge_count = edge_source(mesh.group_edges, mesh.group_edges_16).count;
    }
    l.short_edges = l.vertex_count <= short_index_vertex_limit;
    // Without the triangle run one zeroed vertex follows the box, for corners
    // that name no vertex.
    l.vertex_bytes = (l.box_first + bounding_box_vertices + (triangle_run ? 0 : 1)) * mesh_vertex_bytes;
    l.triangle_edge_offset = 4 * l.index_count;
    l.polygon_edge_offset = 4 * (l.index_count + l.triangle_edge_count);
    l.group_edge_offset = 4 * (l.index_count + l.triangle_edge_count + l.polygon_edge_count);
    l.index_bytes = 4 * (l.index_count + l.triangle_edge_count + l.polygon_edge_count + l.group_edge_count);
    return l;
}

void write_mesh_vertices(const InteropMesh& mesh, const MeshUploadLayout& l, uint8_t* out) {
    const VertexSource source = vertex_source(mesh);
    const size_t v_count = l.vertex_count;
    PackedVertex* shared = reinterpret_cast<PackedVertex*>(out);
    // The triangle run copies the shared vertices from a CPU copy (not
    // zero-filled, every entry is written), never from `out`.
    std::unique_ptr<PackedVertex[]> packed(l.triangle_run && l.index_count > 0 ? new PackedVertex[v_count] : nullptr);
    for (size_t k = 0; k < v_count; ++k) {
        const PackedVertex p = pack_vertex(source, k);
        if (packed) packed[k] = p;
        std::memcpy(shared + k, &p, sizeof p);
    }

    if (l.triangle_run) {
        // Flat-shaded triangles carry the smoothing vectors when the mesh has
        // one per triangle.
        const bool flat_normals = mesh.smoothing_count > 0 && mesh.shading_vectors.size() >= 3 * l.triangle_count &&
                                  !mesh.shading_vectors.empty();
        PackedVertex* unrolled = shared + v_count;
        for (size_t j = 0; j < l.index_count; ++j) {
            const uint32_t v = mesh.triangles[j];
            PackedVertex p{};
            if (v < v_count) p = packed[v];
            const size_t t = j / 3;
            p.id[0] = static_cast<uint8_t>((t >> 16) & 255);
            p.id[1] = static_cast<uint8_t>((t >> 8) & 255);
            p.id[2] = static_cast<uint8_t>(t & 255);
            p.id[3] = 255;
            if (flat_normals && t < l.triangle_count) std::memcpy(p.normal, mesh.shading_vectors.data() + 3 * t, 12);
            std::memcpy(unrolled + j, &p, sizeof p);
        }
    }

    // Bounding box: corner c takes each coordinate from the maximum when its
    // bit is set.
    const size_t d = source.stride, used = source.used;
    double low[3] = {0, 0, 0};
    double high[3] = {0, 0, 0};
    if (d > 0 && mesh.bounds.size() >= 2 * d) {
        for (size_t c = 0; c < used; ++c) {
            low[c] = mesh.bounds[c];
            high[c] = mesh.bounds[d + c];
        }
    }
    static const int pairs[24] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 2, 1, 3, 4, 6, 5, 7, 0, 4, 1, 5, 2, 6, 3, 7};
    PackedVertex* box = shared + l.box_first;
    for (size_t b = 0; b < bounding_box_vertices; ++b) {
        const int corner = pairs[b];
        PackedVertex p{};
        for (int c = 0; c < 3; ++c) p.position[c] = static_cast<float>((corner >> c) & 1 ? high[c] : low[c]);
        p.normal[1] = 1.0f;
        p.colour[b / 8] = 255;
        p.colour[3] = 255;
        std::memcpy(box + b, &p, sizeof p);
    }
    if (!l.triangle_run) std::memset(box + bounding_box_vertices, 0, sizeof(PackedVertex));
}

bool write_mesh_indices(const InteropMesh& mesh, const MeshUploadLayout& l, uint8_t* out) {
    const size_t v_count = l.vertex_count;
    // A corner naming no vertex draws a zeroed vertex.
    const size_t zeroed = l.box_first + bounding_box_vertices;
    const uint32_t* triangles = mesh.triangles.data();
    bool named = true;
    for (size_t j = 0; j < l.index_count; ++j) {
        uint32_t v = triangles[j];
        if (v >= v_count) {
            v = static_cast<uint32_t>(l.triangle_run ? v_count + j : zeroed);
            named = false;
        }
        std::memcpy(out + 4 * j, &v, 4);
    }
    write_edges(out + l.triangle_edge_offset, edge_source(mesh.triangle_edges, mesh.triangle_edges_16),
                l.short_edges, v_count);
    write_edges(out + l.polygon_edge_offset, edge_source(mesh.polygon_edges, mesh.polygon_edges_16), l.short_edges,
                v_count);
    write_edges(out + l.group_edge_offset, edge_source(mesh.group_edges, mesh.group_edges_16), l.short_edges,
                v_count);
    return named;
}

void set_identity_matrix(float* m) {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void build_perspective_matrix(float* m, double field_of_view, double near_plane, double far_plane, double aspect) {
    const double pi = 3.14159265358979323846;
    const double f = 1.0 / std::tan(field_of_view / 2.0 * pi / 180.0);
    for (int i = 0; i < 16; ++i) m[i] = 0.0f;
    m[0] = static_cast<float>(f / aspect);
    m[5] = static_cast<float>(f);
    m[10] = static_cast<float>((near_plane + far_plane) / (near_plane - far_plane));
    m[11] = -1.0f;
    m[14] = static_cast<float>(2.0 * far_plane * near_plane / (near_plane - far_plane));
}

void build_orthographic_matrix(float* m, double aspect) {
    set_identity_matrix(m);
    m[0] = static_cast<float>(1.0 / aspect);
    m[10] = -0.002f;
    m[14] = -1.0f;
}

void build_look_at_matrix(float* m, const double eye[3], const double target[3], const double up[3]) {
    double f[3] = {target[0] - eye[0], target[1] - eye[1], target[2] - eye[2]};
    const double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    if (fl > 0.0) {
        for (double& c : f) c /= fl;
    }
    double s[3] = {f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2], f[0] * up[1] - f[1] * up[0]};
    const double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    if (sl > 0.0) {
        for (double& c : s) c /= sl;
    }
    const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    // Rows side, true up and -forward; column-major storage.
    for (int c = 0; c < 3; ++c) {
        m[4 * c + 0] = static_cast<float>(s[c]);
        m[4 * c + 1] = static_cast<float>(u[c]);
        m[4 * c + 2] = static_cast<float>(-f[c]);
        m[4 * c + 3] = 0.0f;
    }
    m[12] = static_cast<float>(-(s[0] * eye[0] + s[1] * eye[1] + s[2] * eye[2]));
    m[13] = static_cast<float>(-(u[0] * eye[0] + u[1] * eye[1] + u[2] * eye[2]));
    m[14] = static_cast<float>(f[0] * eye[0] + f[1] * eye[1] + f[2] * eye[2]);
    m[15] = 1.0f;
}

void build_translation_matrix(float* m, double x, double y, double z) {
    set_identity_matrix(m);
    m[12] = static_cast<float>(x);
    m[13] = static_cast<float>(y);
    m[14] = static_cast<float>(z);
}

void multiply_matrices(float* out, const float* a, const float* b) {
    double r[16];
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += static_cast<double>(a[4 * k + row]) * static_cast<double>(b[4 * col + k]);
            r[4 * col + row] = sum;
        }
    }
    for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(r[i]);
}

bool strip_cell_origin(int64_t cell, int32_t& x, int32_t& y) {
    if (cell < 0 || cell >= 256) return false;
    x = static_cast<int32_t>(cell % 16) * 128;
    y = static_cast<int32_t>(cell / 16) * 128;
    return true;
}

int64_t environment_thumbnail_cell(int64_t environment_number) { return 255 - environment_number; }

namespace {

constexpr int64_t no_key = -1;

// The value a triangle is grouped by in a pick mode, or no_key.
int64_t run_key(const InteropMesh& mesh, char mode, size_t t) {
    const uint32_t p = mesh.triangle_polygons[t];
    auto at = [p](const std::vector<uint32_t>& list) { return p < list.size() ? int64_t{list[p]} : no_key; };
    switch (mode) {
        case 'P': return p;
        case 'O': return at(mesh.operand_ids);
        case 'U': return at(mesh.user_type_ids);
        case 'G': {
            const int64_t group = at(mesh.group_ids);
            if (group == no_key || mesh.operand_ids.size() != mesh.group_ids.size()) return group;
            return (group << 32) | at(mesh.operand_ids);
        }
        default: return no_key;
    }
}

}  // namespace

char pick_mode_of(char key) {
    const char mode = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    return mode == '?' ? 'U' : mode;
}

TriangleRun pick_highlight_run(const InteropMesh& mesh, char mode, size_t t) {
    const size_t triangles = mesh.triangles.size() / 3;
    if (t >= triangles) return {};
    mode = pick_mode_of(mode);
    if (mode == 'E') return {0, triangles};
    if (mode != 'P' && mode != 'O' && mode != 'G' && mode != 'U') return {t, 1};
    if (mesh.triangle_polygons.empty()) {
        std::fputs("MISSING-TESS-MAP!\n", stdout);
        std::fflush(stdout);
        return {t, 1};
    }
    if (mesh.triangle_polygons.size() != triangles) {
        const std::string line = "TESS-MAP-INCONSISTENCY:[" + std::to_string(triangles) + " vs. " +
                                 std::to_string(mesh.triangle_polygons.size()) + "];\n";
        std::fputs(line.c_str(), stdout);
        std::fflush(stdout);
        return {t, 1};
    }
    const int64_t key = run_key(mesh, mode, t);
    if (mode == 'U' && key < 1) return {};
    if (key == no_key) return {t, 1};
    size_t first = t;
    while (first > 0 && run_key(mesh, mode, first - 1) == key) --first;
    size_t last = t + 1;
    while (last < triangles && run_key(mesh, mode, last) == key) ++last;
    return {first, last - first};
}

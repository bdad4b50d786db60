#include "export/mesh_stl.h"

#include <cmath>
#include <limits>

#include "export/mesh_writer.h"

struct Facet {
    double normal[3];
    double corner[3][3];
};

static void set_facet(Facet& f, const double* a, const double* b, const double* d) {
    const double u0 = b[0] - a[0], u1 = b[1] - a[1], u2 = b[2] - a[2];
    const double v0 = d[0] - a[0], v1 = d[1] - a[1], v2 = d[2] - a[2];
    double n0 = u1 * v2 - u2 * v1, n1 = u2 * v0 - u0 * v2, n2 = u0 * v1 - u1 * v0;
    const double squared = n0 * n0 + n1 * n1 + n2 * n2;
    if (squared != 0.0) {
        const double length = std::sqrt(squared);
        n0 /= length;
        n1 /= length;
        n2 /= length;
    } else {
        n0 = n1 = n2 = 0.0;
    }
    f = Facet{{n0, n1, n2}, {{a[0], a[1], a[2]}, {b[0], b[1], b[2]}, {d[0], d[1], d[2]}}};
}

// Corners transformed by the owner; the normal of (b - a) x (c - a), unit
// length, or 0 0 0 for a degenerate triangle.
static inline void make_facet(const WalkedMesh& w, const uint32_t* c, Facet& f) {
    if (w.identity && w.stride == 3) {
        // Straight from the mesh: copies would be written and at once
        // reread, which stalls the loop.
        const double* p = w.mesh->positions.data();
        set_facet(f, p + 3 * size_t(c[0]), p + 3 * size_t(c[1]), p + 3 * size_t(c[2]));
        return;
    }
    double a[3], b[3], d[3];
    vertex_position(w, c[0], a);
    vertex_position(w, c[1], b);
    vertex_position(w, c[2], d);
    set_facet(f, a, b, d);
}

static char* put_triple(char* o, const char* label, size_t label_length, const double* xyz) {
    std::memcpy(o, label, label_length);
    o += label_length;
    o = format_mesh_double(o, xyz[0]);
    *o++ = ' ';
    o = format_mesh_double(o, xyz[1]);
    *o++ = ' ';
    o = format_mesh_double(o, xyz[2]);
    *o++ = '\n';
    return o;
}

static void write_text_facets(MeshOutput& out, const std::vector<WalkedMesh>& meshes) {
    static const char facet[] = "facet normal ";
    static const char loop[] = "outer loop\n";
    static const char vertex[] = "vertex ";
    static const char end[] = "endloop\nendfacet\n";
    for (const WalkedMesh& w : meshes) {
        visit_triangles(w, [&](const uint32_t* c) {
            Facet f;
            make_facet(w, c, f);
            char* o = mesh_output_reserve(out, 4 * (3 * (MESH_NUMBER_CHARS + 1) + 16) + 32);
            o = put_triple(o, facet, sizeof facet - 1, f.normal);
            std::memcpy(o, loop, sizeof loop - 1);
            o += sizeof loop - 1;
            for (int k = 0; k < 3; ++k) o = put_triple(o, vertex, sizeof vertex - 1, f.corner[k]);
            std::memcpy(o, end, sizeof end - 1);
            mesh_output_commit(out, o + sizeof end - 1);
        });
    }
}

static void write_binary_facets(MeshOutput& out, const std::vector<WalkedMesh>& meshes) {
    for (const WalkedMesh& w : meshes) {
        visit_triangles(w, [&](const uint32_t* c) {
            Facet f;
            make_facet(w, c, f);
            char* o = mesh_output_reserve(out, 50);
            for (double value : f.normal) o = store_le_float(o, static_cast<float>(value));
            for (const auto& corner : f.corner) {
                for (double value : corner) o = store_le_float(o, static_cast<float>(value));
            }
            mesh_output_commit(out, store_le16(o, 0));
        });
    }
}

bool write_stl_file(const EntitySet& set, const std::string& path, bool binary, std::string* failure) {
    const std::vector<WalkedMesh> meshes = walk_visible_meshes(set);
    const int64_t triangles = binary ? count_triangles(meshes) : 0;
    // The binary count is 32 bits wide.
    if (triangles > static_cast<int64_t>(std::numeric_limits<uint32_t>::max()))
        return mesh_output_result(false, "too many triangles for a binary STL file", failure);

    MeshOutput out;
    if (!mesh_output_open(out, path)) return mesh_output_result(false, out.failure, failure);
    if (binary) {
        char head[84] = {};
        store_le32(head + 80, static_cast<uint32_t>(triangles));
        mesh_output_bytes(out, head, sizeof head);
        write_binary_facets(out, meshes);
    } else {
        // Text STL has no comment syntax, so the file carries no header
        // lines beyond the solid name.
        mesh_output_text(out, "solid object\n");
        write_text_facets(out, meshes);
        mesh_output_text(out, "endsolid object\n");
    }
    return mesh_output_result(mesh_output_close(out), out.failure, failure);
}

#include "export/mesh_obj.h"

#include "export/mesh_writer.h"

static void write_vertex_lines(MeshOutput& out, const std::vector<WalkedMesh>& meshes, bool colours) {
    for (const WalkedMesh& w : meshes) {
        for (int64_t v = 0; v < w.vertex_count; ++v) {
            char* o = mesh_output_reserve(out, 6 * (MESH_NUMBER_CHARS + 1) + 3);
            double p[3];
            vertex_position(w, v, p);
            *o++ = 'v';
            for (double value : p) {
                *o++ = ' ';
                o = format_mesh_double(o, value);
            }
            if (colours) {
                // OBJ colours stay in 0..1, unscaled. Readers take exactly
                // three after the position and reject a line with alpha.
                double c[4];
                vertex_colour(w, v, c);
                for (int k = 0; k < 3; ++k) {
                    *o++ = ' ';
                    o = format_mesh_double(o, c[k]);
                }
            }
            *o++ = '\n';
            mesh_output_commit(out, o);
        }
    }
}

static void write_normal_lines(MeshOutput& out, const std::vector<WalkedMesh>& meshes, int topology) {
    for (const WalkedMesh& w : meshes) {
        const NormalList normals = topology_normals(*w.mesh, topology);
        for (int64_t v = 0; v < w.vertex_count; ++v) {
            char* o = mesh_output_reserve(out, 3 * (MESH_NUMBER_CHARS + 1) + 4);
            double n[3];
            vertex_normal(w, normals, v, n);
            *o++ = 'v';
            *o++ = 'n';
            for (double value : n) {
                *o++ = ' ';
                o = format_mesh_double(o, value);
            }
            *o++ = '\n';
            mesh_output_commit(out, o);
        }
    }
}

// One reference: "i" or, with normals, "i//i" (normal i belongs to vertex i).
static char* put_reference(char* o, int64_t index, bool normals) {
    char* start = o;
    o = format_mesh_integer(o, index);
    if (normals) {
        const size_t length = static_cast<size_t>(o - start);
        *o++ = '/';
        *o++ = '/';
        std::memcpy(o, start, length);
        o += length;
    }
    return o;
}

constexpr size_t REFERENCE_CHARS = 2 * MESH_NUMBER_CHARS + 3;

static void write_face_lines(MeshOutput& out, const std::vector<WalkedMesh>& meshes, int topology, bool normals) {
    for (const WalkedMesh& w : meshes) {
        // OBJ numbers vertices from 1.
        const int64_t offset = w.first_vertex + 1;
        if (topology == TOPOLOGY_POLYGONS) {
            visit_polygons(w, [&](const uint32_t* corners, uint32_t n) {
                char* o = mesh_output_reserve(out, 2);
                *o++ = 'f';
                *o++ = ' ';
                mesh_output_commit(out, o);
                for (uint32_t k = 0; k < n; ++k) {
                    o = mesh_output_reserve(out, REFERENCE_CHARS);
                    *o++ = ' ';
                    o = put_reference(o, corners[k] + offset, normals);
                    mesh_output_commit(out, o);
                }
                o = mesh_output_reserve(out, 1);
                *o++ = '\n';
                mesh_output_commit(out, o);
            });
        } else if (topology == TOPOLOGY_TRIANGLES) {
            visit_triangles(w, [&](const uint32_t* c) {
                char* o = mesh_output_reserve(out, 3 * REFERENCE_CHARS + 2);
                *o++ = 'f';
                for (int k = 0; k < 3; ++k) {
                    *o++ = ' ';
                    o = put_reference(o, c[k] + offset, normals);
                }
                *o++ = '\n';
                mesh_output_commit(out, o);
            });
        }
    }
}

bool write_obj_file(const EntitySet& set, const std::string& path, int topology, bool normals, bool colours,
                    std::string* failure) {
    const std::vector<WalkedMesh> meshes = walk_visible_meshes(set);
    MeshOutput out;
    if (!mesh_output_open(out, path)) return mesh_output_result(false, out.failure, failure);
    mesh_output_text(out, mesh_comment_header("#", path, walked_vertex_total(meshes), count_faces(meshes, topology),
                                              topology, normals, colours, "per-vertex-RGB"));
    write_vertex_lines(out, meshes, colours);
    if (normals) write_normal_lines(out, meshes, topology);
    write_face_lines(out, meshes, topology, normals);
    return mesh_output_result(mesh_output_close(out), out.failure, failure);
}

#include "export/mesh_ply.h"

#include <limits>

#include "export/mesh_writer.h"

bool ply_vertex_total_fits(int64_t vertices) {
    // The largest index written is vertices - 1.
    return vertices >= 0 && vertices - 1 <= std::numeric_limits<int32_t>::max();
}

static std::string element_lines(int64_t vertices, int64_t faces, bool normals, bool colours) {
    std::string h = "element vertex " + std::to_string(vertices) + "\n";
    h += "property double x\nproperty double y\nproperty double z\n";
    if (normals) h += "property double nx\nproperty double ny\nproperty double nz\n";
    if (colours) h += "property uchar red\nproperty uchar green\nproperty uchar blue\nproperty uchar alpha\n";
    h += "element face " + std::to_string(faces) + "\n";
    h += "property list int int vertex_index\n";
    h += "end_header\n";
    return h;
}

static void write_binary_vertices(MeshOutput& out, const std::vector<WalkedMesh>& meshes, int topology, bool normals,
                                  bool colours) {
    for (const WalkedMesh& w : meshes) {
        const NormalList normal_array = topology_normals(*w.mesh, topology);
        for (int64_t v = 0; v < w.vertex_count; ++v) {
            char* o = mesh_output_reserve(out, 52);
            double p[3];
            vertex_position(w, v, p);
            o = store_le_double(o, p[0]);
            o = store_le_double(o, p[1]);
            o = store_le_double(o, p[2]);
            if (normals) {
                double n[3];
                vertex_normal(w, normal_array, v, n);
                o = store_le_double(o, n[0]);
                o = store_le_double(o, n[1]);
                o = store_le_double(o, n[2]);
            }
            if (colours) {
                double c[4];
                vertex_colour(w, v, c);
                for (double channel : c) *o++ = static_cast<char>(colour_channel_integer(channel));
            }
            mesh_output_commit(out, o);
        }
    }
}

// Indices fit in int32: the caller checked the vertex total.
static void write_binary_faces(MeshOutput& out, const std::vector<WalkedMesh>& meshes, int topology) {
    for (const WalkedMesh& w : meshes) {
        const uint32_t offset = static_cast<uint32_t>(w.first_vertex);
        if (topology == TOPOLOGY_POLYGONS) {
            visit_polygons(w, [&](const uint32_t* corners, uint32_t n) {
                char* o = mesh_output_reserve(out, 4);
                mesh_output_commit(out, store_le32(o, n));
                for (uint32_t k = 0; k < n; ++k) {
                    o = mesh_output_reserve(out, 4);
                    mesh_output_commit(out, store_le32(o, corners[k] + offset));
                }
            });
        } else if (topology == TOPOLOGY_TRIANGLES) {
            visit_triangles(w, [&](const uint32_t* c) {
                char* o = mesh_output_reserve(out, 16);
                o = store_le32(o, 3);
                o = store_le32(o, c[0] + offset);
                o = store_le32(o, c[1] + offset);
                o = store_le32(o, c[2] + offset);
                mesh_output_commit(out, o);
            });
        }
    }
}

bool write_ply_file(const EntitySet& set, const std::string& path, int topology, bool normals, bool colours,
                    bool binary, std::string* failure) {
    const std::vector<WalkedMesh> meshes = walk_visible_meshes(set);
    const int64_t vertices = walked_vertex_total(meshes);
    if (!ply_vertex_total_fits(vertices)) return mesh_output_result(false, "too many vertices for a PLY file", failure);
    const int64_t faces = count_faces(meshes, topology);

    // The header is complete before the file is touched.
    std::string header = binary ? "ply\nformat binary_little_endian 1.0\n" : "ply\nformat ascii 1.0\n";
    header += mesh_comment_header("comment", path, vertices, faces, topology, normals, colours);
    header += element_lines(vertices, faces, normals, colours);

    MeshOutput out;
    if (!mesh_output_open(out, path)) return mesh_output_result(false, out.failure, failure);
    mesh_output_text(out, header);
    if (binary) {
        write_binary_vertices(out, meshes, topology, normals, colours);
        write_binary_faces(out, meshes, topology);
    } else {
        write_text_vertex_lines(out, meshes, topology, normals, colours);
        write_text_index_faces(out, meshes, topology);
    }
    return mesh_output_result(mesh_output_close(out), out.failure, failure);
}

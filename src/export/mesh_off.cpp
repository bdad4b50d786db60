#include "export/mesh_off.h"

#include "export/mesh_writer.h"

bool write_off_file(const EntitySet& set, const std::string& path, int topology, bool normals, bool colours,
                    std::string* failure) {
    const std::vector<WalkedMesh> meshes = walk_visible_meshes(set);
    const int64_t vertices = walked_vertex_total(meshes);
    const int64_t faces = count_faces(meshes, topology);
    MeshOutput out;
    if (!mesh_output_open(out, path)) return mesh_output_result(false, out.failure, failure);

    const char* keyword = normals ? (colours ? "CNOFF\n" : "NOFF\n") : (colours ? "COFF\n" : "OFF\n");
    mesh_output_text(out, keyword);
    mesh_output_text(out, mesh_comment_header("#", path, vertices, faces, topology, normals, colours));
    char* o = mesh_output_reserve(out, 2 * MESH_NUMBER_CHARS + 4);
    o = format_mesh_integer(o, vertices);
    *o++ = ' ';
    o = format_mesh_integer(o, faces);
    // The edge count is not used by readers.
    std::memcpy(o, " 0\n", 3);
    mesh_output_commit(out, o + 3);

    write_text_vertex_lines(out, meshes, topology, normals, colours);
    write_text_index_faces(out, meshes, topology);
    return mesh_output_result(mesh_output_close(out), out.failure, failure);
}

// Arbitrary bytes as an interop file: the reader must fail cleanly or
// return meshes whose index arrays stay inside their vertex arrays.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/entity.h"
#include "model/interop_mesh.h"

static void require(bool condition) {
    if (!condition) std::abort();
}

template <typename T>
static void require_below(const std::vector<T>& values, size_t from, uint64_t limit) {
    for (size_t i = from; i < values.size(); ++i) require(static_cast<uint64_t>(values[i]) < limit);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    std::vector<InteropMesh*> meshes = read_interop_meshes_from_memory(data, size, "fuzz");
    for (InteropMesh* mesh : meshes) {
        const uint64_t vertices = static_cast<uint64_t>(interop_mesh_vertex_count(*mesh));
        require(mesh->present == 1 && mesh->building == 0);
        const size_t colours = colours_of(*mesh).size();
        require(colours == 0 || colours == 4 * vertices);
        require(mesh->display_colours.size() == colours);
        require_below(mesh->colour_indices, 0, mesh->colour_palette.size() / 4);
        require(triangle_normals_of(*mesh).size() <= mesh->polygon_normals.size());
        require_below(mesh->triangles, 0, vertices);
        require_below(mesh->polygon_edges, 0, vertices);
        require_below(mesh->triangle_edges, 0, vertices);
        require_below(mesh->group_edges, 0, vertices);
        require_below(mesh->polygon_edges_16, 0, vertices);
        if (mesh->polygon_size > 0) require_below(mesh->polygons, 0, vertices);
        // What the entity derives from the mesh must not read outside it.
        EntityRecord entity = entity_construct();
        entity_attach_mesh(entity, mesh);
        require(entity.vertex_count == static_cast<int32_t>(vertices));
    }
    free_interop_meshes(meshes);
    return 0;
}

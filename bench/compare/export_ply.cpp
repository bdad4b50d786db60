// Assembles one script with the kernel and writes what it made as a binary
// PLY (triangles, normals, colours): the file the comparison gives the other
// viewer, so both draw the same triangles.
//   export_ply KERNEL WORKSPACE SCRIPT OUT.ply
#include <cstdio>
#include <memory>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "export/mesh_ply.h"
#include "export/mesh_writer.h"
#include "pipeline/orchestration.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: export_ply KERNEL WORKSPACE SCRIPT OUT.ply\n");
        return 2;
    }
    if (!set_kernel_path(argv[1]) || !set_workspace_path(argv[2])) {
        std::fprintf(stderr, "export_ply: kernel or workspace not usable\n");
        return 1;
    }
    std::unique_ptr<AppContext> app = make_app_context();
    make_new_environment_current(*app);
    parse_and_assemble_script(*app, argv[3]);
    const EntitySet* set = app->entities.current_entities;
    if (!set || set->count < 1) {
        std::fprintf(stderr, "export_ply: the script made no mesh\n");
        return 1;
    }
    if (!write_ply_file(*set, argv[4], TOPOLOGY_TRIANGLES, true, true, true)) {
        std::fprintf(stderr, "export_ply: could not write %s\n", argv[4]);
        return 1;
    }
    return 0;
}

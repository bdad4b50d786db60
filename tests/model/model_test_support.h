#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>

#include "model/entity.h"
#include "model/environment.h"
#include "model/interop_mesh.h"
#include "support/test_dir.h"


// Counters start again at 0 for every test that needs exact numbers.
inline void reset_model_counters() {
    reset_mesh_serial_counter();
    reset_entity_serial_counter();
    reset_environment_counter();
    reset_parameter_serial_counter();
}

// A heap mesh of `vertices` 3-D vertices on the x axis from x0, with their
// bounds; freed by the caller with free_interop_mesh.
inline InteropMesh* make_line_mesh(int vertices, double x0) {
    InteropMesh* mesh = new InteropMesh();
    mesh->dimension = 3;
    for (int i = 0; i < vertices; ++i) mesh->positions.insert(mesh->positions.end(), {x0 + i, 0.0, 0.0});
    const double x1 = x0 + vertices - 1, mean = (x0 + x1) / 2.0;
    mesh->bounds = {x0, 0, 0, x1, 0, 0, mean, 0, 0, mean, 0, 0, x1 - x0, 0, 0};
    mesh->present = 1;
    mesh->building = 0;
    return mesh;
}

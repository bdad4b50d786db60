#pragma once
#include <cmath>
#include <cstdint>

#include "model/interop_mesh.h"

// A height field of side x side vertices: quads as variable-size polygons,
// two triangles each, normals, colours, ids and bounds like a kernel mesh.
inline InteropMesh make_grid(int side) {
    InteropMesh m;
    m.dimension = 3;
    m.present = 1;
    const size_t n = static_cast<size_t>(side) * side;
    m.positions.reserve(3 * n);
    m.triangle_normals.reserve(3 * n);
    for (int j = 0; j < side; ++j) {
        for (int i = 0; i < side; ++i) {
            const double x = i / double(side), z = j / double(side);
            m.positions.insert(m.positions.end(), {x, 0.1 * std::sin(8 * x) * std::cos(8 * z), z});
            m.triangle_normals.insert(m.triangle_normals.end(), {0.0, 1.0, 0.0});
        }
    }
    m.colours.assign(4 * n, 0.75);
    m.display_colours.assign(4 * n, 191);
    const size_t quads = static_cast<size_t>(side - 1) * (side - 1);
    m.polygons.push_back(static_cast<uint32_t>(quads));
    m.polygons.insert(m.polygons.end(), quads, 4);
    for (int j = 0; j + 1 < side; ++j) {
        for (int i = 0; i + 1 < side; ++i) {
            const uint32_t a = j * side + i, b = a + 1, c = a + side + 1, d = a + side;
            m.polygons.insert(m.polygons.end(), {a, b, c, d});
            m.triangles.insert(m.triangles.end(), {a, b, c, a, c, d});
            const uint32_t q = static_cast<uint32_t>(m.group_ids.size());
            m.group_ids.push_back(q / 64);
            m.operand_ids.push_back(q / 4096);
            m.face_ids.push_back(q);
            m.triangle_polygons.insert(m.triangle_polygons.end(), {q, q});
        }
    }
    m.triangle_edges.assign(2 * quads, 0);
    m.polygon_edges.assign(4 * quads, 0);
    m.bounds = {0, -0.1, 0, 1, 0.1, 1, 0.5, 0, 0.5, 0.5, 0, 0.5, 1, 0.2, 1};
    return m;
}

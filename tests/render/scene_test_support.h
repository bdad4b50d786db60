#pragma once
#include <cstdint>
#include <vector>

#include "model/interop_mesh.h"

// A 3-D mesh over the given positions with its bounds (min, max, centre,
// mean, extent), opaque white colours and display colours.
inline InteropMesh make_scene_mesh(const std::vector<double>& positions) {
    InteropMesh m;
    m.dimension = 3;
    m.present = 1;
    m.positions = positions;
    const size_t n = positions.size() / 3;
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (size_t i = 0; i < n; ++i) {
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], positions[3 * i + c]);
            hi[c] = std::max(hi[c], positions[3 * i + c]);
        }
    }
    m.bounds.resize(15);
    for (int c = 0; c < 3; ++c) {
        m.bounds[c] = lo[c];
        m.bounds[3 + c] = hi[c];
        m.bounds[6 + c] = m.bounds[9 + c] = (lo[c] + hi[c]) / 2;
        m.bounds[12 + c] = hi[c] - lo[c];
    }
    m.colours.assign(4 * n, 1.0);
    m.display_colours.assign(4 * n, 255);
    return m;
}

// Red byte of display colour i.
inline int red(const InteropMesh& m, size_t i) { return m.display_colours[4 * i]; }

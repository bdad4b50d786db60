#pragma once
// The planarity and curvature colours worked out one triangle at a time,
// the way the display colours must come out however they are computed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/colour_by.h"
#include "scene_test_support.h"

// A rough side x side height field with tilted unit normals on every
// vertex, two triangles per cell in row order.
inline InteropMesh tilted_height_field(uint32_t side) {
    std::vector<double> positions;
    for (uint32_t j = 0; j < side; ++j) {
        for (uint32_t i = 0; i < side; ++i) {
            const double y = 0.05 * std::sin(i * 1.7 + j * 0.9) * std::cos(j * 2.3);
            positions.insert(positions.end(), {i * 0.1, y, j * 0.1});
        }
    }
    InteropMesh m = make_scene_mesh(positions);
    for (uint32_t v = 0; v < side * side; ++v) {
        const double x = 0.3 * std::sin(v * 0.37), z = 0.3 * std::cos(v * 0.11);
        const double l = std::sqrt(x * x + 1 + z * z);
        m.triangle_normals.insert(m.triangle_normals.end(), {x / l, 1 / l, z / l});
    }
    for (uint32_t j = 0; j + 1 < side; ++j) {
        for (uint32_t i = 0; i + 1 < side; ++i) {
            const uint32_t a = j * side + i, b = a + 1, c = a + side + 1, d = a + side;
            m.triangles.insert(m.triangles.end(), {a, d, c, a, c, b});
        }
    }
    return m;
}

inline ColourSettings colour_function_settings(int32_t function, bool multichannel = false) {
    ColourSettings s;
    s.colour_mode = COLOUR_FUNCTION;
    s.colour_function = function;
    s.multichannel_colour = multichannel;
    return s;
}

// Mean distance from the unit face normals of a vertex's triangles to its
// normal, one triangle at a time: what the display colours must match.
inline std::vector<double> mean_normal_distances(const InteropMesh& m) {
    const size_t n = m.positions.size() / 3, normals = m.triangle_normals.size() / 3;
    std::vector<double> sums(n, 0.0);
    std::vector<uint32_t> counts(n, 0);
    const double* p = m.positions.data();
    for (size_t k = 0; k + 2 < m.triangles.size(); k += 3) {
        const uint32_t a = m.triangles[k], b = m.triangles[k + 1], c = m.triangles[k + 2];
        if (a >= n || b >= n || c >= n) continue;
        const double e1[3] = {p[3 * b] - p[3 * a], p[3 * b + 1] - p[3 * a + 1], p[3 * b + 2] - p[3 * a + 2]};
        const double e2[3] = {p[3 * c] - p[3 * a], p[3 * c + 1] - p[3 * a + 1], p[3 * c + 2] - p[3 * a + 2]};
        double f[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        const double squared = f[0] * f[0] + f[1] * f[1] + f[2] * f[2];
        if (squared > 1e-15) {
            const double inv = 1.0 / std::sqrt(squared);
            for (double& x : f) x *= inv;
        }
        for (uint32_t v : {a, b, c}) {
            if (v >= normals) continue;
            const double* q = m.triangle_normals.data() + 3 * v;
            const double d[3] = {f[0] - q[0], f[1] - q[1], f[2] - q[2]};
            sums[v] += std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            ++counts[v];
        }
    }
    for (size_t v = 0; v < n; ++v) {
        if (counts[v] > 0) sums[v] /= counts[v];
    }
    return sums;
}

// Planarity and curvature, grey and hue, against the triangle-by-triangle
// means, to the byte.
inline void expect_reference_bytes(InteropMesh& m) {
    const std::vector<double> means = mean_normal_distances(m);
    const auto [low, high] = std::minmax_element(means.begin(), means.end());
    for (bool multichannel : {false, true}) {
        for (int32_t function : {COLOUR_BY_PLANARITY, COLOUR_BY_CURVATURE}) {
            SCOPED_TRACE(function + 10 * multichannel);
            apply_colour_settings(colour_function_settings(function, multichannel), m);
            std::vector<uint8_t> want = m.display_colours;
            for (size_t v = 0; v < means.size(); ++v) {
                double t = (means[v] - *low) / (*high - *low);
                if (function == COLOUR_BY_PLANARITY) t = 1.0 - t;
                const Rgb c = multichannel ? hue_to_rgb(t * 0.75) : Rgb{t, t, t};
                want[4 * v] = unit_to_byte(c.r);
                want[4 * v + 1] = unit_to_byte(c.g);
                want[4 * v + 2] = unit_to_byte(c.b);
            }
            EXPECT_EQ(m.display_colours, want);
        }
    }
}

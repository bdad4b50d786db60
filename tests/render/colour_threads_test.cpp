#include <gtest/gtest.h>
#include <sched.h>

#include <cstdint>
#include <vector>

#include "colour_reference.h"
#include "render/colour_by.h"

namespace {

// A height field large enough that the vertices are shared out among
// threads, its triangles in row order (each thread's share a band of rows),
// then triangles joining random vertices anywhere, so that many triangles
// have corners owned by different threads, and corners beyond the
// vertices, alone and among owned ones.
InteropMesh banded_mesh(uint32_t side, size_t random_triangles) {
    InteropMesh m = tilted_height_field(side);
    const uint32_t n = side * side;
    for (uint32_t v = 0; v < n; ++v) m.colours[4 * v + 3] = (v % 256) / 255.0;
    uint32_t seed = 2024;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 4;
    };
    for (size_t k = 0; k < random_triangles; ++k) m.triangles.insert(m.triangles.end(), {next() % n, next() % n, next() % n});
    m.triangles.insert(m.triangles.end(), {0, n, 1, n - 1, n - 2, n + 5, n, n, n});
    return m;
}

}  // namespace

TEST(ColourThreads, PlanarityAndCurvatureAreTheSameToTheByteWhateverThreadAddsAVertex) {
    cpu_set_t allowed;
    ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
    if (CPU_COUNT(&allowed) < 2) GTEST_SKIP() << "one CPU: the vertices are not shared out";

    InteropMesh m = banded_mesh(600, 40'000);
    expect_reference_bytes(m);
    // Vertices in the upper bands without a stored normal.
    m.triangle_normals.resize(3 * 600 * 450 + 3);
    expect_reference_bytes(m);

    // Alpha comes from each vertex's own source alpha, halved and raised in
    // the transparent mode, whichever thread writes it.
    for (bool transparent : {false, true}) {
        ColourSettings s = colour_function_settings(COLOUR_BY_CURVATURE);
        s.transparent_mode = transparent;
        apply_colour_settings(s, m);
        size_t wrong = 0;
        for (size_t v = 0; v < m.colours.size() / 4; ++v) {
            const uint8_t alpha = unit_to_byte(m.colours[4 * v + 3]);
            wrong += m.display_colours[4 * v + 3] != (transparent ? uint8_t(alpha * 0.5 + 64.0) : alpha);
        }
        EXPECT_EQ(wrong, 0u) << transparent;
    }
}

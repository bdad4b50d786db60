#include <gtest/gtest.h>
#include <sched.h>

#include "art/art_workers.h"
#include "art/font_atlas.h"
#include "art/glyphs.h"
#include "art/icon_raster.h"

// Start-up generation spreads over worker threads; the pixels must not
// depend on how many there are.
TEST(ArtThreads, PixelsIndependentOfWorkerCount) {
    reset_icon_art();
    reset_font_art();
    build_glyph_outlines();
    std::vector<std::vector<uint8_t>> single;
    for (int workers : {1, 5}) {
        build_icon_atlas(workers);
        build_logo_image(workers);
        rasterise_font_atlas(workers);
        const std::vector<std::vector<uint8_t>> art = {icon_atlas.pixels, logo_image.pixels, font_atlas.pixels};
        if (single.empty()) single = art;
        for (size_t i = 0; i < art.size(); ++i) EXPECT_TRUE(art[i] == single[i]) << i << " with " << workers;
    }
}

TEST(ArtThreads, ParallelForRunsEveryJobOnce) {
    for (int workers : {0, 1, 2, 7, 64}) {
        std::vector<int> hits(100, 0);
        art_parallel_for(100, workers, [&](int i) { hits[i] += 1; });
        EXPECT_EQ(hits, std::vector<int>(100, 1)) << workers;
    }
    int calls = 0;
    art_parallel_for(0, 4, [&](int) { ++calls; });
    art_parallel_for(-3, 4, [&](int) { ++calls; });
    EXPECT_EQ(calls, 0);

    // The default pool follows the CPUs the process may use.
    cpu_set_t saved, two;
    ASSERT_EQ(sched_getaffinity(0, sizeof saved, &saved), 0);
    if (CPU_COUNT(&saved) < 3) GTEST_SKIP() << "needs 3 usable CPUs to tell";
    CPU_ZERO(&two);
    for (int cpu = 0, kept = 0; kept < 2; ++cpu)
        if (CPU_ISSET(cpu, &saved)) CPU_SET(cpu, &two), ++kept;
    ASSERT_EQ(sched_setaffinity(0, sizeof two, &two), 0);
    EXPECT_EQ(art_default_workers(), 2);
    sched_setaffinity(0, sizeof saved, &saved);
}

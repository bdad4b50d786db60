#include <gtest/gtest.h>

#include "art/art_workers.h"
#include "art/font_atlas.h"
#include "art/glyphs.h"
#include "art/icon_raster.h"

// Start-up generation spreads over worker threads; the pixels must not
// depend on how many there are.
TEST(ArtThreads, PixelsIndependentOfWorkerCount) {
    reset_icon_art();
    build_icon_atlas(1);
    const std::vector<uint8_t> atlas_one = icon_atlas.pixels;
    build_logo_image(1);
    const std::vector<uint8_t> logo_one = logo_image.pixels;
    build_icon_atlas(4);
    EXPECT_TRUE(icon_atlas.pixels == atlas_one);
    build_logo_image(5);
    EXPECT_TRUE(logo_image.pixels == logo_one);

    build_glyph_outlines();
    reset_font_art();
    rasterise_font_atlas(1);
    const std::vector<uint8_t> font_one = font_atlas.pixels;
    rasterise_font_atlas(3);
    EXPECT_TRUE(font_atlas.pixels == font_one);
    reset_icon_art();
    reset_font_art();
}

TEST(ArtThreads, ParallelForRunsEveryJobOnce) {
    for (int workers : {0, 1, 2, 7, 64}) {
        std::vector<int> hits(100, 0);
        art_parallel_for(100, workers, [&](int i) { hits[i] += 1; });
        for (int h : hits) ASSERT_EQ(h, 1) << workers;
    }
    int calls = 0;
    art_parallel_for(0, 4, [&](int) { ++calls; });
    art_parallel_for(-3, 4, [&](int) { ++calls; });
    EXPECT_EQ(calls, 0);
}

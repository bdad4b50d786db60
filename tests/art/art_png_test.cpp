#include <gtest/gtest.h>

#include "art/font_atlas.h"
#include "art/icon_raster.h"
#include "png_out.h"

// Leaves the generated art as pictures under test-output/art for review:
// the icon atlas and font atlas as textures show them (texture row 0 at the
// bottom), the logo as stored.
static std::vector<uint8_t> flip_rows(const std::vector<uint8_t>& px, int w, int h) {
    std::vector<uint8_t> out(px.size());
    for (int r = 0; r < h; ++r)
        std::copy(px.begin() + static_cast<size_t>(r) * w * 4, px.begin() + static_cast<size_t>(r + 1) * w * 4,
                  out.begin() + static_cast<size_t>(h - 1 - r) * w * 4);
    return out;
}

TEST(ArtPictures, WriteAtlasesAsPng) {
    const std::string dir = art_test_output_dir("art");
    reset_icon_art();
    reset_font_art();
    build_icon_atlas();
    build_logo_image();
    build_font_atlas();
    EXPECT_TRUE(write_png_rgba(dir + "/icon_atlas.png", flip_rows(icon_atlas.pixels, 512, 512), 512, 512));
    EXPECT_TRUE(write_png_rgba(dir + "/logo.png", logo_image.pixels, 256, 256));
    EXPECT_TRUE(write_png_rgba(dir + "/font_atlas.png", flip_rows(font_atlas.pixels, 2150, 552), 2150, 552));
    EXPECT_FALSE(write_png_rgba(dir + "/bad.png", logo_image.pixels, 512, 512));
    reset_icon_art();
    reset_font_art();
}

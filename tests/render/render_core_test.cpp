#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/backdrop.h"
#include "render/overlay_staging.h"
#include "render/render_targets.h"

namespace {

using Doubles = std::vector<double>;

Doubles point_colour(int r, int c) {
    const double* p = backdrop_lattice.colours + 4 * (21 * r + c);
    return {p[0], p[1], p[2], p[3]};
}
bool near(const Doubles& a, const Doubles& b) {
    for (size_t i = 0; i < a.size(); ++i) if (std::abs(a[i] - b[i]) > 1e-12) return false;
    return a.size() == b.size();
}
std::vector<uint32_t> cell_indices(int r, int c) {
    const uint32_t* p = backdrop_lattice.indices + 6 * (20 * r + c);
    return {p, p + 6};
}

TEST(Backdrop, LatticeCornersGradientsAndMirroredDiagonals) {
    backdrop_lattice = BackdropLattice{};
    build_backdrop_gradient(0, 0, 400, 300, 2, -1, 1.0);  // off: nothing written
    EXPECT_EQ(point_colour(20, 20), (Doubles{0, 0, 0, 0}));
    EXPECT_EQ(cell_indices(0, 0), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0}));

    build_backdrop_gradient(10, 20, 400, 300, 0, 0, 0.5);
    const double* top_right = backdrop_lattice.positions + 3 * 440;
    EXPECT_EQ((Doubles{top_right[0], top_right[1], top_right[2]}), (Doubles{410, 320, 0}));
    EXPECT_EQ(point_colour(0, 7), (Doubles{0, 0, 0, 0.5}));            // A at the bottom
    EXPECT_EQ(point_colour(20, 3), (Doubles{0.125, 0.15, 0.2, 0.5}));  // B at the top
    EXPECT_EQ(cell_indices(9, 9), (std::vector<uint32_t>{198, 199, 219, 199, 220, 219}));  // lower right to upper left
    EXPECT_EQ(cell_indices(9, 10), (std::vector<uint32_t>{199, 200, 221, 199, 221, 220}));  // lower left to upper right

    // Radial on a 2:1 canvas: d = 10 at the left and right, 5 at top and bottom.
    build_backdrop_gradient(0, 0, 400, 200, 2, 1, 1.0);
    const Doubles A{1, 1, 1, 1}, B{0.75, 0.8, 0.875, 1};
    EXPECT_TRUE(near(point_colour(10, 10), A) && near(point_colour(10, 0), B) && near(point_colour(10, 20), B));
    EXPECT_TRUE(near(point_colour(20, 10), {0.875, 0.9, 0.9375, 1}));  // halfway
    build_backdrop_gradient(0, 0, 300, 300, 0, 1, 1.0);                 // dark: B in the centre
    EXPECT_TRUE(near(point_colour(10, 10), {0.125, 0.15, 0.2, 1}));
    const double t = std::sqrt(200.0) / 15;
    EXPECT_TRUE(near(point_colour(0, 0), {0.125 * (1 - t), 0.15 * (1 - t), 0.2 * (1 - t), 1}));
}

// A background quad at pixel rectangle (x, y downwards, w, h) on a 100-high root.
OverlayBatch quads(int n, bool textured) {
    OverlayBatch b;
    b.positions.assign(12 * n, 1.0), b.colours.assign(16 * n, 0.5);
    if (textured) b.uvs.assign(8 * n, 0.25);
    return b;
}

TEST(OverlayStaging, OneLayerIsStagedInDrawOrderWithOffsetIndicesAndWithoutTrailingZeroQuads) {
    LayerBatches b;
    b.background = quads(1, false), b.icon = quads(2, true), b.text = quads(3, true), b.border = quads(1, false);
    std::fill(b.text.positions.begin() + 12, b.text.positions.end(), 0.0);  // last two culled
    std::fill(b.text.colours.begin() + 16, b.text.colours.end(), 0.0);
    b.shape.positions.assign(9, 2.0), b.shape.colours.assign(12, 1.0);
    std::vector<float> staging(VERTEX_STAGING_FLOATS);
    std::vector<uint32_t> indices;
    LayerStaging s;
    ASSERT_TRUE(stage_overlay_layer(b, 100, 50, staging.data(), indices, s));
    EXPECT_EQ((std::vector<size_t>{s.vertex_count, s.float_count}), (std::vector<size_t>{4 * 5 + 3, 16 * 23}));
    EXPECT_EQ((std::vector<size_t>{s.atlas_first, s.atlas_count, s.sprite_count, s.image_count, s.font_first,
                                   s.font_count, s.shape_first_vertex, s.shape_vertex_count}),
              (std::vector<size_t>{0, 18, 0, 0, 18, 12, 20, 3}));
    // Text's first index follows the three quads before it; the border's
    // follows the one staged text quad.
    EXPECT_EQ((std::vector<uint32_t>(indices.begin() + 18, indices.end())),
              (std::vector<uint32_t>{12, 13, 14, 12, 14, 15, 16, 17, 18, 16, 18, 19}));
    // A vertex: doubled pixels minus the window, depth scaled, fixed normal;
    // untextured kinds carry no texture coordinate.
    EXPECT_EQ(std::vector<float>(staging.begin(), staging.begin() + 16),
              (std::vector<float>{-98, -48, -0.01f, 1, 0.5, 0.5, 0.5, 0.5, 0, 0, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(std::vector<float>(staging.begin() + 16 * 4 + 12, staging.begin() + 16 * 5),
              (std::vector<float>{0.25, 0.25, 0, 1}));

    // The staging capacity: 500,000 vertices are drawn, 500,001 are not.
    LayerBatches big;
    big.shape.positions.assign(3 * 499992, 1.0), big.shape.colours.assign(4 * 499992, 1.0);
    big.background = quads(2, false);
    EXPECT_TRUE(stage_overlay_layer(big, 100, 50, staging.data(), indices, s) && s.vertex_count == 500000);
    big.background = quads(2, false), big.shape.positions.resize(3 * 499993), big.shape.colours.resize(4 * 499993);
    EXPECT_FALSE(stage_overlay_layer(big, 100, 50, staging.data(), indices, s));
    // ... but trailing zero quads never count against it.
    big.shape.positions.resize(3 * 499992), big.shape.colours.resize(4 * 499992);
    big.text = quads(1000, true);
    std::fill(big.text.positions.begin(), big.text.positions.end(), 0.0);
    std::fill(big.text.colours.begin(), big.text.colours.end(), 0.0);
    EXPECT_TRUE(stage_overlay_layer(big, 100, 50, staging.data(), indices, s));
    EXPECT_FALSE(stage_overlay_layer(LayerBatches{}, 100, 50, staging.data(), indices, s));
}

TEST(OverlayStaging, ALayerReachesItsVerticesWithAPixelToSpareWithinTheWindow) {
    LayerBatches b;
    b.background = quads(1, false);
    b.background.positions = {10.5, 40, 0, 10.5, 20.25, 0, 30, 20.25, 0, 30, 40, 0};
    std::vector<float> staging(VERTEX_STAGING_FLOATS);
    std::vector<uint32_t> indices;
    LayerStaging s;
    auto reach = [&] { return std::vector<int32_t>{s.reach_x, s.reach_y, s.reach_width, s.reach_height}; };
    ASSERT_TRUE(stage_overlay_layer(b, 100, 50, staging.data(), indices, s));
    EXPECT_EQ(reach(), (std::vector<int32_t>{9, 19, 22, 22}));
    // A shape beyond the window's corners widens it to the whole window.
    b.shape.positions = {-500, -7, 0, 90, 5000, 0, 120, 3, 0}, b.shape.colours.assign(12, 1.0);
    ASSERT_TRUE(stage_overlay_layer(b, 100, 50, staging.data(), indices, s));
    EXPECT_EQ(reach(), (std::vector<int32_t>{0, 0, 100, 50}));
}

TEST(OverlayStaging, ALayerCoversTheWindowWithAnOpaqueFirstQuadOverAllOfIt) {
    // Top-left, bottom-left, bottom-right, top-right over 100 x 50, depth 8.
    LayerBatches b;
    b.background = quads(2, false);
    const std::vector<double> whole{-1, 51, 8, -1, 0, 8, 100, 0, 8, 100, 51, 8};
    std::copy(whole.begin(), whole.end(), b.background.positions.begin());
    std::fill(b.background.colours.begin(), b.background.colours.begin() + 16, 1.0);
    EXPECT_TRUE(layer_covers_window(b, 100, 50));
    EXPECT_FALSE(layer_covers_window(b, 101, 50));
    EXPECT_FALSE(layer_covers_window(b, 100, 0));

    LayerBatches see_through = b, before = b, with_shape = b, far = b, mirrored = b;
    see_through.background.colours[11] = 0.999;
    std::copy(whole.begin(), whole.end(), before.background.positions.begin() + 12);  // the second quad covers
    std::fill(before.background.positions.begin(), before.background.positions.begin() + 12, 1.0);
    with_shape.shape.positions.assign(9, 2.0), with_shape.shape.colours.assign(12, 1.0);
    for (int k = 0; k < 4; ++k) far.background.positions[3 * k + 2] = 95;
    std::swap(mirrored.background.positions[0], mirrored.background.positions[6]);
    std::swap(mirrored.background.positions[3], mirrored.background.positions[9]);
    for (const LayerBatches* l : {&see_through, &before, &with_shape, &far, &mirrored}) EXPECT_FALSE(layer_covers_window(*l, 100, 50));
}

TEST(RenderTargets, StatusMessagesAndTheTargetClamp) {
    testing::internal::CaptureStdout();
    const std::vector<int> complete{record_framebuffer_status(0x8CD5), record_framebuffer_status(0x8CDD),
                                    record_framebuffer_status(0x8CD6)};
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "FBO-Not-Supported\nFBO-Error!\n");
    EXPECT_EQ(complete, (std::vector<int>{1, 0, 0}));
    EXPECT_EQ((std::vector<int32_t>{clamp_to_render_target(-5), clamp_to_render_target(2048), clamp_to_render_target(2049)}),
              (std::vector<int32_t>{0, 2048, 2048}));
}

}  // namespace

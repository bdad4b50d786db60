#include <cmath>

#include "art/icon_raster.h"
#include "ui/overlay_batches.h"
#include "ui/theme.h"
#include "ui_test_support.h"

namespace {

using Doubles = std::vector<double>;
constexpr int32_t H = 200;

// Stamps what the draw-list walk would: absolute and clip rectangles, depth.
void place(Element& e, const Ints& abs, const Ints& clip, double depth = 0.5) {
    e.abs_x = abs[0], e.abs_y = abs[1], e.abs_width = abs[2], e.abs_height = abs[3];
    e.clip_x = clip[0], e.clip_y = clip[1], e.clip_width = clip[2], e.clip_height = clip[3];
    e.depth = depth;
}

Doubles quad_uv(const OverlayBatch& b, size_t q) { return Doubles(b.uvs.begin() + 8 * q, b.uvs.begin() + 8 * q + 8); }
Doubles quad_xy(const OverlayBatch& b, size_t q) {  // x, y of V0 and V2
    const double* p = b.positions.data() + 12 * q;
    return {p[0], p[1], p[6], p[7]};
}
double z_of(const OverlayBatch& b, size_t q, int v) { return b.positions[12 * q + 3 * v + 2]; }
Doubles colour_of(const OverlayBatch& b, size_t q, int v) {
    return Doubles(b.colours.begin() + 16 * q + 4 * v, b.colours.begin() + 16 * q + 4 * v + 4);
}
bool near(const Doubles& a, const Doubles& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) if (std::abs(a[i] - b[i]) > 1e-12) return false;
    return true;
}
bool quad_is_zero(const OverlayBatch& b, size_t q) {
    for (size_t i = 0; i < 12; ++i) if (b.positions[12 * q + i] != 0) return false;
    for (size_t i = 0; i < 16; ++i) if (b.colours[16 * q + i] != 0) return false;
    return true;
}

TEST(OverlayBatches, TexturedRectanglesCutTheirFrameWithTheClipAndMirror) {
    reset_icon_art();
    icon_atlas.cell_x[5] = 128, icon_atlas.cell_y[5] = 64;
    const double su = 0.25, sv = 0.125, du = 0.125;
    Element half, flipped, sprite, image, empty, beyond;
    place(half, {10, 20, 40, 40}, {30, 20, 100, 100});  // left half hidden
    place(flipped, {10, 20, 40, 40}, {0, 0, 100, 100});
    half.icon = flipped.icon = 5, flipped.icon_flip_x = flipped.icon_flip_y = true;
    half.abs_opacity = 0.5;
    EXPECT_EQ(quad_uv(build_icon_batch(H, {&half}), 0),
              (Doubles{su + 0.5 * du, sv + du, su + 0.5 * du, sv, su + du, sv, su + du, sv + du}));
    const OverlayBatch icons = build_icon_batch(H, {&half, &flipped});
    EXPECT_EQ(quad_xy(icons, 0), (Doubles{30, 180, 50, 140}));
    EXPECT_EQ(colour_of(icons, 0, 2), (Doubles{1, 1, 1, 0.5}));
    EXPECT_EQ(quad_uv(icons, 1), (Doubles{su + du, sv, su + du, sv + du, su, sv + du, su, sv}));
    sprite.sprite = 17, image.image = 0;
    place(sprite, {0, 0, 10, 10}, {0, 0, 10, 10}), place(image, {0, 0, 10, 10}, {0, 0, 10, 10});
    EXPECT_EQ(quad_uv(build_sprite_batch(H, {&sprite}), 0),
              (Doubles{0.0625, 0.125, 0.0625, 0.0625, 0.125, 0.0625, 0.125, 0.125}));
    EXPECT_EQ(quad_uv(build_image_batch(H, {&image}), 0), (Doubles{0, 1, 0, 0, 1, 0, 1, 1}));
    // A zero-sized element that is clipped divides by nothing; an icon past
    // the atlas's 64 cells is skipped.
    empty.image = 0, beyond.icon = 64;
    place(empty, {50, 50, 0, 0}, {60, 60, 10, 10});
    for (double v : build_image_batch(H, {&empty}).uvs) EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(build_icon_batch(H, {&beyond}).quad_count(), 0);
    reset_icon_art();
}

TEST(OverlayBatches, TextIsPlacedPerLineCutAtTheClipAndCulledBytesGiveNoQuads) {
    const Typeface& T = typefaces[10];  // fixed pitch
    const double gw = T.glyph_widths['A'], lh = T.line_height;
    Element e;
    e.typeface = &T, e.text = "AB\nCD", e.align_x = 0, e.multiline = true;
    e.text_width = 2 * static_cast<int32_t>(gw), e.line_widths = {2 * static_cast<int32_t>(gw), static_cast<int32_t>(gw)};
    e.line_gap = 3, e.text_rgba = 0x80ff0000u, e.text_opacity = 0.5;
    place(e, {0, 0, 100, 60}, {0, 0, 100, 60});
    OverlayBatch b = build_text_batch(H, {&e});
    ASSERT_EQ(b.quad_count(), 5);
    const double x0 = std::trunc(50 - gw + 0.5);
    const double x1 = std::trunc(50 - gw + 0.5 + gw * 0.5);
    EXPECT_EQ(quad_xy(b, 0), (Doubles{x0, H, x0 + gw, H - lh}));
    EXPECT_EQ(quad_xy(b, 2), (Doubles{x0 + 2 * gw, H, x0 + 2 * gw, H - lh}));  // newline ends line 0
    EXPECT_EQ(quad_xy(b, 3), (Doubles{x1, H - (lh + 3), x1 + gw, H - (2 * lh + 3)}));
    EXPECT_EQ(colour_of(b, 4, 1), (Doubles{1, 0, 0, 128 / 255.0 * 0.5}));
    // Single-line form: every line starts at the same x.
    e.multiline = false;
    EXPECT_EQ(quad_xy(build_text_batch(H, {&e}), 3)[0], x0);
    // Clip the right edge through B: A whole, B cut, the rest culled.
    e.align_x = -1, e.text = "ABCD";
    const double cut = 3;
    place(e, {0, 0, 100, 60}, {0, 0, static_cast<int32_t>(gw + cut), 60});
    b = build_text_batch(H, {&e});
    ASSERT_EQ(b.quad_count(), 2);
    const double uo = T.glyph_offsets['B'] / double(T.atlas_half_width), uw = gw / T.atlas_half_width;
    EXPECT_EQ(quad_xy(b, 1), (Doubles{gw, H, gw + cut, H - lh}));
    EXPECT_DOUBLE_EQ(quad_uv(b, 1)[4], uo + (cut / gw) * uw);
    // A text far larger than its clip costs the glyphs that show: two rows
    // of two glyphs, from the middle of 20,000 lines of 40 bytes.
    e.text.clear(), e.line_gap = 0;
    for (int i = 0; i < 20000; ++i) e.text += std::string(39, 'A') + "\n";
    place(e, {0, -10000 * static_cast<int32_t>(lh), 100, 20000 * static_cast<int32_t>(lh)},
          {0, 0, static_cast<int32_t>(2 * gw), static_cast<int32_t>(2 * lh)});
    b = build_text_batch(H, {&e});
    EXPECT_EQ(b.quad_count(), 4);
    EXPECT_EQ(quad_xy(b, 3), (Doubles{gw, H - lh, 2 * gw, H - 2 * lh}));
}

TEST(OverlayBatches, BackgroundsStackByStateAndBordersFollowTheClip) {
    static const double red[4] = {1, 0, 0, 1}, blue[4] = {0, 0, 1, 1};
    const Palette fade = palette_construct_two_colours(0, red, blue);
    const Palette odd = palette_construct_two_colours(7, red, blue);
    Element e;
    place(e, {10, 10, 20, 20}, {12, 10, 50, 50}, 1.0);
    e.background_rgba = e.selected_rgba = e.hover_rgba = 0xff00ff00u;
    e.background_colour = e.selected_colour = e.hover_colour = red;
    e.background_palette = e.selected_palette = &fade, e.hover_palette = &odd;
    e.selected = e.hovered = true, e.enabled = false, e.abs_opacity = 0.5;
    const OverlayBatch bg = build_background_batch(H, {&e});
    ASSERT_EQ(bg.quad_count(), 9);
    EXPECT_TRUE(near({z_of(bg, 0, 0), z_of(bg, 3, 0), z_of(bg, 8, 3)}, {0.99, 0.9925, 0.995}));
    EXPECT_EQ(colour_of(bg, 0, 0), (Doubles{0, 1, 0, 0.5}));
    EXPECT_EQ(colour_of(bg, 2, 0), (Doubles{1, 0, 0, 0.5}));  // top: colour 0
    EXPECT_EQ(colour_of(bg, 2, 1), (Doubles{0, 0, 1, 0.5}));  // bottom: colour 1
    EXPECT_EQ(colour_of(bg, 8, 2), colour_of(bg, 8, 0));      // unknown kind: colour 0 everywhere
    EXPECT_EQ(quad_xy(bg, 0), (Doubles{12, 190, 30, 170}));
    // Left border 3 with 2 pixels clipped: a 1-pixel strip at the clip edge.
    // The right one (palette) tilts; a bottom one hidden by the clip leaves a
    // zero quad at the end.
    e.border_left = {3, 0xff0000ffu, nullptr, nullptr};
    e.border_right = {2, 0, nullptr, &fade};
    e.border_bottom = {2, 0xff000000u, nullptr, nullptr};
    place(e, {10, 10, 20, 20}, {12, 10, 50, 10}, 1.0);  // clip bottom 20 < 30 - 2
    const OverlayBatch border = build_border_batch(H, {&e});
    ASSERT_EQ(border.quad_count(), 3);
    EXPECT_EQ(quad_xy(border, 0), (Doubles{12, 190, 13, 180}));
    EXPECT_TRUE(near({z_of(border, 1, 0), z_of(border, 1, 1), z_of(border, 1, 2)}, {1.0625, 1.0375, 1.05}));
    EXPECT_TRUE(quad_is_zero(border, 2));
}

TEST(OverlayBatches, ShapesAreOffsetFromTheClippedCornerAndSkippedWithoutTriangles) {
    static const double tri[6] = {0, 0, 0, 10, 10, 0};
    Element e, none, missing;
    place(e, {10, 20, 50, 50}, {15, 20, 50, 50});
    e.shape_kind = none.shape_kind = missing.shape_kind = 0;
    e.shape_count = 1, e.shape_triangles = tri, e.shape_depth = 0.25;
    none.shape_count = 0, none.shape_triangles = tri;
    missing.shape_count = 4;  // no triangles given
    const OverlayBatch b = build_shape_batch(H, {&e, &none, &missing});
    EXPECT_TRUE(near(b.positions, {15, 180, 0.745, 15, 170, 0.745, 25, 180, 0.745}));
    EXPECT_EQ(colour_of(b, 0, 0), (Doubles{0x80 / 255.0, 0x80 / 255.0, 0x80 / 255.0, 0x40 / 255.0}));
}

}  // namespace

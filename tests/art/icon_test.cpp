#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "art/icon_raster.h"
#include "art/icon_scenes.h"
#include "art/icon_table.h"

static void paint_white(double* rgba) {
    if (rgba) rgba[0] = rgba[1] = rgba[2] = rgba[3] = 1.0;
}

TEST(IconRaster, TraceRayOutcomes) {
    double colour[4], lit[4], unlit[4], nearest = 0;
    auto rgba = [](const double* c) { return std::vector<double>(c, c + 4); };
    // Every step too small to hit or to leave the 5.0 range: opaque red after 2048 steps.
    IconSdf creeping = [](double* c, double, double, double) { paint_white(c); return 0.001; };
    double t = trace_icon_ray(colour, creeping, true, nearest, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    EXPECT_EQ(rgba(colour), (std::vector<double>{1, 0, 0, 1}));
    EXPECT_NEAR(t, 2.048, 1e-9);
    // Misses: transparent black, t beyond 5 and the nearest distance kept.
    t = trace_icon_ray(colour, icon_sdf_sphere, true, nearest, 0, 0, -2, 0, 1, 0, 0, 0, 0, 0);
    EXPECT_EQ(rgba(colour), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_GT(t, 5.0);
    EXPECT_NEAR(nearest, 1.5, 1e-9);
    // A white wall at z = 1 head-on, lit from the eye: diffuse 1 plus both highlights (0.25 x 2) saturates.
    IconSdf wall = [](double* c, double, double, double z) { paint_white(c); return 1 - z; };
    t = trace_icon_ray(colour, wall, false, nearest, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    EXPECT_NEAR(t, 1.0, 1e-3);
    EXPECT_EQ(rgba(colour), (std::vector<double>{1, 1, 1, 1}));
    // Grey (0.5) sphere head-on: shade 1.5.
    trace_icon_ray(colour, icon_sdf_sphere_grey, false, nearest, 0, 0, -2, 0, 0, 1, 0, 0, 0, 0);
    EXPECT_NEAR(colour[0], 0.5 * 1.5 + 0.05, 1e-3);
    // From above the sky term adds 0.5 x n.y, only with the flag; from below nothing.
    trace_icon_ray(lit, icon_sdf_sphere_dark, true, nearest, 0, 2, 0, 0, -1, 0, 0, 0, 0, 0);
    trace_icon_ray(unlit, icon_sdf_sphere_dark, false, nearest, 0, 2, 0, 0, -1, 0, 0, 0, 0, 0);
    EXPECT_NEAR(lit[0] - unlit[0], 0.4 * 0.5, 1e-3);
    trace_icon_ray(lit, icon_sdf_sphere_dark, true, nearest, 0, -2, 0, 0, 1, 0, 0, 0, 0, 0);
    EXPECT_NEAR(lit[0], unlit[0], 1e-3);
    // A fixed light (mix 1) from the side leaves a head-on view at the diffuse floor 0.5.
    trace_icon_ray(lit, icon_sdf_sphere_dark, false, nearest, 0, 0, -2, 0, 0, 1, 1, 0, 0, 1);
    EXPECT_NEAR(lit[0], 0.4 * 0.5 + 0.05, 1e-3);
    // Solid everywhere: no normal, but no NaN in the colour either.
    trace_icon_ray(colour, icon_sdf_empty, true, nearest, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    for (double c : colour) EXPECT_FALSE(std::isnan(c));
    // The camera basis; a zero cross product stays zero.
    EXPECT_EQ(cross_normalised_icon_basis({0, 0, 2}, {0, 1, 0}), (std::array<double, 3>{-1, 0, 0}));
    EXPECT_EQ(cross_normalised_icon_basis({0, 3, 0}, {0, 1, 0}), (std::array<double, 3>{0, 0, 0}));
}

// Independent re-statement of the per-pixel rules for a whole small image:
// camera from the stored (negated-z) fields, margins, mask, n x n samples
// with early stop, averaging over n^2 and the composite over earlier layers.
static std::vector<uint8_t> reference_render(int index, int w, int h) {
    const IconRecord& rec = icon_table[index];
    const IconFraming& f = icon_framing_table[index];
    const int n = (rec.name == "SHADER" || rec.name == "COLOUR" || rec.name == "VREK64" || rec.name == "VREK128") ? 4 : 3;
    auto margin = [](double frac, int size) { return std::max(0, static_cast<int>(frac * size) - 1); };
    const int L = margin(f[0], w), T = margin(f[1], h), R = margin(f[2], w), B = margin(f[3], h);
    const double rr = (w + h) * 0.25 * f[4] + 2.0;
    std::vector<uint8_t> bytes(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = (i % 4 == 3) ? 0 : 255;
    const int layers = rec.layer_count > 1 ? rec.layer_count : 1;
    for (int layer = 0; layer < layers; ++layer) {
        const double own[6] = {rec.eye_x, rec.eye_y, rec.eye_z, rec.target_x, rec.target_y, rec.target_z};
        const double* cam = layer > 0 ? &rec.layer_cameras[layer * 6] : own;
        const IconSdf scene = layer > 0 ? rec.layer_scenes[layer] : rec.scene;
        const std::array<double, 3> E = {cam[0], cam[1], -cam[2]};
        const std::array<double, 3> D = {cam[3] - E[0], cam[4] - E[1], -cam[5] - E[2]};
        const double dl = std::sqrt(D[0] * D[0] + D[1] * D[1] + D[2] * D[2]);
        const auto u = cross_normalised_icon_basis(D, {0, 1, 0});
        const auto v = cross_normalised_icon_basis(D, u);
        const double focal = w / 1.1547005383792515;
        for (int y = T; y <= h - B - 1; ++y)
            for (int x = L; x <= w - R - 1; ++x) {
                if ((x - w / 2.0) * (x - w / 2.0) + (y - h / 2.0) * (y - h / 2.0) >= rr * rr) continue;
                double sum[4] = {0, 0, 0, 0};
                bool done = false;
                for (int j = 0; j < n && !done; ++j)
                    for (int s = 0; s < n && !done; ++s) {
                        const double sx = x + double(s) / n + 1.0 / (2 * n), sy = y + double(j) / n + 1.0 / (2 * n);
                        double d[3];
                        for (int k = 0; k < 3; ++k) d[k] = D[k] / dl * focal + u[k] * (sx - w / 2.0) + v[k] * (sy - h / 2.0);
                        const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
                        double c[4], nearest;
                        const double t = trace_icon_ray(c, scene, rec.sky, nearest, E[0], E[1], E[2], d[0] / len,
                                                        d[1] / len, d[2] / len, rec.light_x, rec.light_y, rec.light_z,
                                                        rec.light_mix);
                        for (int k = 0; k < 4; ++k) sum[k] += c[k];
                        done = t >= 5.0 && nearest > 0.05;
                    }
                uint8_t* p = &bytes[(static_cast<size_t>(y) * w + x) * 4];
                const double weight = 1.0 / (n * n), sa = sum[3] * weight, da = p[3] / 255.0;
                for (int k = 0; k < 3; ++k)
                    p[k] = static_cast<uint8_t>(255.0 * std::clamp(sum[k] * weight * sa + p[k] / 255.0 * da * (1 - sa), 0.0, 1.0));
                p[3] = static_cast<uint8_t>(255.0 * std::clamp(sa + (1 - sa) * da, 0.0, 1.0));
            }
    }
    return bytes;
}

TEST(IconRaster, MatchesPixelRulesExactly) {
    for (int index : {ICON_ASTERISK, ICON_OPEN, ICON_TYPE, ICON_COLOUR}) {
        for (int size : {20, 23}) {
            std::vector<uint8_t> img(size * size * 4, 7);
            ASSERT_TRUE(render_icon_sdf(index, size, size, img));
            const std::vector<uint8_t> ref = reference_render(index, size, size);
            for (size_t i = 0; i < img.size(); ++i)
                ASSERT_EQ(img[i], ref[i]) << "icon " << index << " size " << size << " pixel " << i / 4 % size
                                          << "," << i / 4 / size << " channel " << i % 4;
        }
    }
    // FACES at 16 x 16: left margin int(0.156 * 16) - 1 = 1, top 2. (0, 8) is
    // in the margin and (1, 2) outside the mask: both keep the cleared white;
    // at (2, 3) every ray misses and the composite leaves (0, 0, 0, 0).
    std::vector<uint8_t> img(16 * 16 * 4, 7);
    ASSERT_TRUE(render_icon_sdf(ICON_FACES, 16, 16, img));
    auto at = [&](int x, int y) { return std::vector<uint8_t>(&img[(y * 16 + x) * 4], &img[(y * 16 + x) * 4 + 4]); };
    EXPECT_EQ(at(0, 8), (std::vector<uint8_t>{255, 255, 255, 0}));
    EXPECT_EQ(at(1, 2), (std::vector<uint8_t>{255, 255, 255, 0}));
    EXPECT_EQ(at(2, 3), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(at(8, 8)[3], 255);
}

TEST(IconRaster, OutOfTableIndexesRenderFallback) {
    const int w = 9, h = 9;
    std::vector<uint8_t> neg(w * h * 4), past(w * h * 4);
    EXPECT_FALSE(render_icon_sdf(-1, w, h, neg));
    EXPECT_FALSE(render_icon_sdf(1000, w, h, past));
    EXPECT_EQ(neg, past);
    // Mask radius 1 about the centre (4.5, 4.5): only the four pixels around it are traced.
    int traced = 0;
    for (int i = 0; i < w * h; ++i)
        if (neg[i * 4] != 255 || neg[i * 4 + 3] != 0) ++traced;
    EXPECT_EQ(traced, 4);
    EXPECT_EQ(neg[(4 * w + 4) * 4 + 3], 255);
    // Nothing is written for a size the buffer cannot hold.
    std::vector<uint8_t> small(10, 3);
    EXPECT_FALSE(render_icon_sdf(ICON_FACES, 4, 4, small));
    EXPECT_EQ(small, std::vector<uint8_t>(10, 3));
    EXPECT_FALSE(render_icon_sdf(ICON_FACES, 0, 4, small));
}

TEST(IconAtlas, CellsOrientationAndLogo) {
    reset_icon_art();
    build_icon_atlas(2);
    // Icon i in cell i, rows bottom-up; the window icon (icon 54 at 128 x 128)
    // at (384, 384) over cells 54, 55, 62 and 63; the cells past the icons zero.
    std::vector<uint8_t> want(512 * 512 * 4, 0), icon;
    auto place = [&](int index, int size, int x, int y) {
        icon.assign(static_cast<size_t>(size) * size * 4, 0);
        ASSERT_TRUE(render_icon_sdf(index, size, size, icon));
        for (int r = 0; r < size; ++r)
            std::copy_n(&icon[static_cast<size_t>(r) * size * 4], size * 4, &want[((y + size - 1 - r) * 512 + x) * 4]);
    };
    for (int i = 0; i < icon_count; ++i)
        if (i != ICON_SKIP && i != ICON_VREK128) place(i, 64, 64 * (i % 8), 64 * (i / 8));
    place(ICON_VREK128, 128, 384, 384);
    EXPECT_EQ(window_icon_byte_offset, (384 * 512 + 384) * 4);
    EXPECT_TRUE(icon_atlas.pixels == want);

    build_logo_image(3);
    EXPECT_EQ(logo_image.pixels, logo_image.render_buffer);
    std::vector<uint8_t> logo(256 * 256 * 4);
    ASSERT_TRUE(render_icon_sdf(ICON_VREK64, 256, 256, logo));
    EXPECT_EQ(logo, logo_image.pixels);  // top row first, not flipped
    // Margins int(0.062 * 256) - 1 = 14: column 13 untouched; the hollow centre shows through.
    EXPECT_EQ(logo[(128 * 256 + 13) * 4 + 3], 0);
    EXPECT_EQ(logo[(128 * 256 + 13) * 4 + 0], 255);
    EXPECT_EQ(logo[(128 * 256 + 128) * 4 + 3], 0);
}

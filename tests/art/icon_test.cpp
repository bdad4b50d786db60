#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "art/icon_raster.h"
#include "art/icon_scenes.h"
#include "art/icon_table.h"

TEST(IconTable, Structure) {
    ASSERT_EQ(icon_table.size(), 57u);
    ASSERT_EQ(icon_framing_table.size(), 57u);
    std::set<std::string> names;
    for (size_t i = 0; i < icon_table.size(); ++i) {
        const IconRecord& r = icon_table[i];
        EXPECT_TRUE(names.insert(r.name).second) << "duplicate " << r.name;
        EXPECT_NE(r.scene, nullptr) << r.name;
        EXPECT_EQ(r.sky, i != ICON_VREK64 && i != ICON_VREK128) << r.name;
        if (r.layer_count == 2) {
            ASSERT_EQ(r.layer_scenes.size(), 2u) << r.name;
            ASSERT_EQ(r.layer_cameras.size(), 12u) << r.name;
            EXPECT_EQ(r.layer_scenes[0], r.scene) << r.name;
            // Row 0 repeats the layer-0 camera.
            EXPECT_EQ(r.layer_cameras[0], r.eye_x);
            EXPECT_EQ(r.layer_cameras[1], r.eye_y);
            EXPECT_EQ(r.layer_cameras[2], r.eye_z);
            EXPECT_EQ(r.layer_cameras[5], r.target_z);
        } else {
            EXPECT_EQ(r.layer_count, 0) << r.name;
            EXPECT_TRUE(r.layer_scenes.empty()) << r.name;
            EXPECT_TRUE(r.layer_cameras.empty()) << r.name;
        }
        for (double f : icon_framing_table[i]) EXPECT_TRUE(f >= 0.0 && f < 2.0) << r.name;
    }
    EXPECT_EQ(icon_table[ICON_OPEN].name, "OPEN");
    EXPECT_EQ(icon_table[ICON_VREK64].name, "VREK64");
    EXPECT_EQ(icon_table[ICON_PARALLEL].name, "PARALLEL");
    const int two_layer[] = {ICON_ASTERISK, ICON_SHADER, ICON_ZOBUIOICON, ICON_COLOUR};
    for (int i : two_layer) EXPECT_EQ(icon_table[i].layer_count, 2) << i;
    // Layer 1 cameras stored as given (z negated in storage).
    EXPECT_EQ(icon_table[ICON_ZOBUIOICON].layer_cameras[7], 0.25);
    EXPECT_EQ(icon_table[ICON_ZOBUIOICON].layer_cameras[8], -1.5);
    EXPECT_EQ(icon_table[ICON_ZOBUIOICON].layer_cameras[11], 0.125);
    EXPECT_EQ(icon_table[ICON_COLOUR].layer_cameras[8], 3.5);
}

TEST(IconTable, BuildersAndCopies) {
    // Simple records light from the eye; posed ones carry their light.
    const IconRecord& simple = icon_table[ICON_MESH];
    EXPECT_EQ(simple.light_mix, 0.0);
    EXPECT_EQ(simple.light_x + simple.light_y + simple.light_z, 0.0);
    EXPECT_EQ(icon_table[ICON_CAMERA].light_x, 2.0);
    EXPECT_EQ(icon_table[ICON_CAMERA].light_mix, 1.0);
    // Copies own their arrays.
    IconRecord copy;
    icon_record_copy_construct(copy, icon_table[ICON_SHADER]);
    ASSERT_EQ(copy.layer_cameras.size(), 12u);
    copy.layer_cameras[0] = 99.0;
    EXPECT_NE(icon_table[ICON_SHADER].layer_cameras[0], 99.0);
}

// A scene that never lets a ray settle: every step is too small to hit and
// too small to leave the 5.0 range within 2048 steps.
static double creeping_scene(double* rgba, double, double, double) {
    if (rgba) rgba[0] = rgba[1] = rgba[2] = rgba[3] = 1.0;
    return 0.001;
}

static double flat_white_wall(double* rgba, double, double, double z) {
    if (rgba) rgba[0] = rgba[1] = rgba[2] = rgba[3] = 1.0;
    return 1.0 - z;  // the plane z = 1, solid beyond
}

TEST(IconRaster, TraceRayOutcomes) {
    double colour[4];
    double nearest = 0;
    // Never settles: opaque red after 2048 steps.
    double t = trace_icon_ray(colour, creeping_scene, true, nearest, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    EXPECT_EQ(colour[0], 1.0);
    EXPECT_EQ(colour[1], 0.0);
    EXPECT_EQ(colour[2], 0.0);
    EXPECT_EQ(colour[3], 1.0);
    EXPECT_NEAR(t, 2.048, 1e-9);
    // Misses: transparent black, t beyond 5 and the nearest distance kept.
    t = trace_icon_ray(colour, icon_sdf_sphere, true, nearest, 0, 0, -2, 0, 1, 0, 0, 0, 0, 0);
    EXPECT_EQ(colour[3], 0.0);
    EXPECT_EQ(colour[0], 0.0);
    EXPECT_GT(t, 5.0);
    EXPECT_NEAR(nearest, std::sqrt(4.0) - 0.5, 1e-9);
    // Head-on hit of a white wall lit from the eye: diffuse 1 plus both
    // highlights (0.25 x 2) saturates.
    t = trace_icon_ray(colour, flat_white_wall, false, nearest, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    EXPECT_NEAR(t, 1.0, 1e-3);
    EXPECT_EQ(colour[0], 1.0);
    EXPECT_EQ(colour[3], 1.0);
    // Grey sphere seen head-on: shade 1.5, clamped; the scene's alpha stays.
    trace_icon_ray(colour, icon_sdf_sphere_grey, false, nearest, 0, 0, -2, 0, 0, 1, 0, 0, 0, 0);
    EXPECT_NEAR(colour[0], std::min(1.0, 0.5 * 1.5 + 0.05), 1e-3);
    // Seen from above the normal points up: the sky term adds 0.5 x n.y to
    // the shade, and only when the flag is set. From below it adds nothing.
    double lit[4], unlit[4];
    trace_icon_ray(lit, icon_sdf_sphere_dark, true, nearest, 0, 2, 0, 0, -1, 0, 0, 0, 0, 0);
    trace_icon_ray(unlit, icon_sdf_sphere_dark, false, nearest, 0, 2, 0, 0, -1, 0, 0, 0, 0, 0);
    EXPECT_NEAR(lit[0] - unlit[0], 0.4 * 0.5, 1e-3);
    trace_icon_ray(lit, icon_sdf_sphere_dark, true, nearest, 0, -2, 0, 0, 1, 0, 0, 0, 0, 0);
    EXPECT_NEAR(lit[0], unlit[0], 1e-3);
    // A fixed light (mix 1) from the side leaves a head-on view at the diffuse floor 0.5.
    trace_icon_ray(lit, icon_sdf_sphere_dark, false, nearest, 0, 0, -2, 0, 0, 1, 1, 0, 0, 1);
    EXPECT_NEAR(lit[0], 0.4 * 0.5 + 0.05, 1e-3);
    // A scene that is solid everywhere has no normal: no NaN in the colour.
    trace_icon_ray(colour, icon_sdf_empty, true, nearest, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    for (double c : colour) EXPECT_FALSE(std::isnan(c));
}

TEST(IconRaster, BasisCrossProduct) {
    const auto a = cross_normalised_icon_basis({0, 0, 2}, {0, 1, 0});
    EXPECT_DOUBLE_EQ(a[0], -1.0);
    EXPECT_DOUBLE_EQ(a[1], 0.0);
    EXPECT_DOUBLE_EQ(a[2], 0.0);
    const auto z = cross_normalised_icon_basis({0, 3, 0}, {0, 1, 0});
    EXPECT_EQ(z[0], 0.0);
    EXPECT_EQ(z[1], 0.0);
    EXPECT_EQ(z[2], 0.0);
}

TEST(IconRaster, BackgroundInsideAndOutsideTheMask) {
    // FACES at 16 x 16: left margin int(0.156 * 16) - 1 = 1, top 2. Pixel
    // (0, 8) lies in the left margin and keeps the cleared white; (1, 2) is
    // inside the margins but outside the mask; (2, 3) is traced, every ray
    // misses, and the composite leaves (0, 0, 0, 0).
    std::vector<uint8_t> img(16 * 16 * 4, 7);
    ASSERT_TRUE(render_icon_sdf(ICON_FACES, 16, 16, img));
    const std::vector<uint8_t> white = {255, 255, 255, 0}, clear = {0, 0, 0, 0};
    auto at = [&](int x, int y) { return std::vector<uint8_t>(&img[(y * 16 + x) * 4], &img[(y * 16 + x) * 4 + 4]); };
    EXPECT_EQ(at(0, 8), white);
    EXPECT_EQ(at(1, 2), white);
    EXPECT_EQ(at(2, 3), clear);
    EXPECT_EQ(at(8, 8)[3], 255);
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
    std::vector<double> img(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < img.size(); ++i) img[i] = (i % 4 == 3) ? 0.0 : 1.0;
    std::vector<uint8_t> bytes(img.size());
    for (size_t i = 0; i < img.size(); ++i) bytes[i] = (i % 4 == 3) ? 0 : 255;
    const int layers = rec.layer_count > 1 ? rec.layer_count : 1;
    for (int layer = 0; layer < layers; ++layer) {
        double cam[6] = {rec.eye_x, rec.eye_y, rec.eye_z, rec.target_x, rec.target_y, rec.target_z};
        IconSdf scene = rec.scene;
        if (layer > 0) {
            for (int k = 0; k < 6; ++k) cam[k] = rec.layer_cameras[layer * 6 + k];
            scene = rec.layer_scenes[layer];
        }
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
            std::vector<uint8_t> img(size * size * 4);
            ASSERT_TRUE(render_icon_sdf(index, size, size, img));
            const std::vector<uint8_t> ref = reference_render(index, size, size);
            for (size_t i = 0; i < img.size(); ++i)
                ASSERT_EQ(img[i], ref[i]) << "icon " << index << " size " << size << " pixel " << i / 4 % size
                                          << "," << i / 4 / size << " channel " << i % 4;
        }
    }
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
    ASSERT_EQ(icon_atlas.pixels.size(), 1048576u);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(icon_atlas.cell_x[i], 64 * (i % 8));
        EXPECT_EQ(icon_atlas.cell_y[i], 64 * (i / 8));
    }
    // Cell i holds icon i's rows bottom-up, columns unchanged.
    std::vector<uint8_t> icon(64 * 64 * 4);
    for (int i : {ICON_OPEN, ICON_LIGHT, ICON_PARALLEL}) {
        ASSERT_TRUE(render_icon_sdf(i, 64, 64, icon));
        const int cx = icon_atlas.cell_x[i], cy = icon_atlas.cell_y[i];
        for (int r = 0; r < 64; ++r)
            for (int c = 0; c < 64; ++c)
                for (int k = 0; k < 4; ++k)
                    ASSERT_EQ(icon_atlas.pixels[((cy + 63 - r) * 512 + cx + c) * 4 + k], icon[(r * 64 + c) * 4 + k])
                        << i << " " << r << " " << c;
    }
    // Cells 57..61 stay zero; cell 55 holds part of the big icon.
    for (int cell = 57; cell <= 61; ++cell)
        for (int r = 0; r < 64; ++r)
            for (int c = 0; c < 64 * 4; ++c)
                ASSERT_EQ(icon_atlas.pixels[((icon_atlas.cell_y[cell] + r) * 512 + icon_atlas.cell_x[cell]) * 4 + c], 0);
    // The window icon region is icon 54 at 128 x 128, bottom row first.
    std::vector<uint8_t> big(128 * 128 * 4);
    ASSERT_TRUE(render_icon_sdf(ICON_VREK128, 128, 128, big));
    for (int r = 0; r < 128; ++r)
        ASSERT_EQ(0, memcmp(&icon_atlas.pixels[window_icon_byte_offset + r * 512 * 4], &big[(127 - r) * 128 * 4], 128 * 4))
            << r;
    // Icon 55's cell is the lower-right quarter of the rendered icon 54.
    EXPECT_EQ(0, memcmp(&icon_atlas.pixels[((64 * 6 + 0) * 512 + 64 * 7) * 4], &big[(127 * 128 + 64) * 4], 64 * 4));

    build_logo_image(3);
    ASSERT_EQ(logo_image.pixels.size(), 262144u);
    EXPECT_EQ(logo_image.pixels, logo_image.render_buffer);
    std::vector<uint8_t> logo(256 * 256 * 4);
    ASSERT_TRUE(render_icon_sdf(ICON_VREK64, 256, 256, logo));
    EXPECT_EQ(logo, logo_image.pixels);  // top row first, not flipped
    // Margins int(0.062 * 256) - 1 = 14: column 13 untouched, logo inside.
    EXPECT_EQ(logo[(128 * 256 + 13) * 4 + 3], 0);
    EXPECT_EQ(logo[(128 * 256 + 13) * 4 + 0], 255);
    EXPECT_EQ(logo[(128 * 256 + 128) * 4 + 3], 0);  // the hollow centre shows through
    reset_icon_art();
}

#pragma once
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// Saves the w x h RGBA picture (rows top first) as test-output/<folder>/<name>
// for review and compares it with the reviewed baseline
// tests/<folder>/baseline/<name> (a copy of a reviewed picture, never
// refreshed to make a test pass). A few pixels may differ by rasteriser
// rounding; `channels` 3 leaves alpha out.
inline void compare_with_baseline(const std::vector<uint8_t>& px, int w, int h, const std::string& folder,
                                  const std::string& name, int channels = 4) {
    const char* bin = std::getenv("VK_BINARY_DIR");
    const std::string dir = std::string(bin && *bin ? bin : "/tmp") + "/test-output";
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "/" + folder).c_str(), 0755);
    const std::string out_path = dir + "/" + folder + "/" + name;
    GdkPixbuf* out = gdk_pixbuf_new_from_data(px.data(), GDK_COLORSPACE_RGB, TRUE, 8, w, h, w * 4, nullptr, nullptr);
    EXPECT_TRUE(gdk_pixbuf_save(out, out_path.c_str(), "png", nullptr, nullptr)) << out_path;
    g_object_unref(out);

    const char* src = std::getenv("VK_SOURCE_DIR");
    const std::string baseline = std::string(src ? src : ".") + "/tests/" + folder + "/baseline/" + name;
    GdkPixbuf* ref = gdk_pixbuf_new_from_file(baseline.c_str(), nullptr);
    ASSERT_TRUE(ref) << baseline;
    ASSERT_TRUE(gdk_pixbuf_get_width(ref) == w && gdk_pixbuf_get_height(ref) == h &&
                gdk_pixbuf_get_n_channels(ref) == 4);
    const uint8_t* rp = gdk_pixbuf_get_pixels(ref);
    const int stride = gdk_pixbuf_get_rowstride(ref);
    int off = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* r = rp + y * stride + x * 4;
            const uint8_t* p = px.data() + 4 * (static_cast<size_t>(y) * w + x);
            for (int c = 0; c < channels; ++c) {
                if (std::abs(int(r[c]) - int(p[c])) > 8) {
                    ++off;
                    break;
                }
            }
        }
    }
    g_object_unref(ref);
    EXPECT_LE(off, w * h / 200) << "pixels off " << baseline << "; see " << out_path;
}

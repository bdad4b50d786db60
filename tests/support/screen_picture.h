#pragma once
// What the X server shows, read back for window tests: the canvas as a
// picture of 0xRRGGBB pixels, pictures read from PNG files, and pictures
// saved under test-output/ for review.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/platform_state.h"
#include "support/live_application.h"

struct Picture {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> rgb;
    uint32_t at(int32_t x, int32_t y) const { return rgb[size_t(y) * width + x]; }
    bool inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Takes the image over (unreferences it); empty when there is none.
inline Picture picture_of(GdkPixbuf* image) {
    Picture p;
    if (image == nullptr) return p;
    p.width = gdk_pixbuf_get_width(image);
    p.height = gdk_pixbuf_get_height(image);
    const guchar* px = gdk_pixbuf_get_pixels(image);
    const int stride = gdk_pixbuf_get_rowstride(image), n = gdk_pixbuf_get_n_channels(image);
    p.rgb.resize(size_t(p.width) * p.height);
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x) {
            const guchar* c = px + y * stride + x * n;
            p.rgb[size_t(y) * p.width + x] = uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
        }
    g_object_unref(image);
    return p;
}

// A PNG file; empty when it cannot be read.
inline Picture picture_from_file(const std::string& path) {
    return picture_of(gdk_pixbuf_new_from_file(path.c_str(), nullptr));
}

// The canvas as the X server shows it.
inline Picture grab_canvas(LiveApplication& live) {
    live.find_canvas();
    return picture_of(gdk_pixbuf_get_from_drawable(nullptr, gdk_get_default_root_window(), nullptr, live.canvas_x,
                                                   live.canvas_y, 0, 0, platform_state.canvas_width,
                                                   platform_state.canvas_height));
}

// test-output/<folder>/, made if missing; test-output/ itself when the
// folder is empty.
inline std::string picture_dir(const std::string& folder) {
    std::string dir = binary_dir() + "/test-output";
    mkdir(dir.c_str(), 0755);
    if (!folder.empty()) {
        dir += "/" + folder;
        mkdir(dir.c_str(), 0755);
    }
    return dir + "/";
}

// Saved as test-output/<folder>/<name>.png for review.
inline void save_picture(const Picture& p, const std::string& folder, const std::string& name) {
    std::vector<guchar> bytes(p.rgb.size() * 3);
    for (size_t i = 0; i < p.rgb.size(); ++i)
        for (int c = 0; c < 3; ++c) bytes[i * 3 + c] = guchar(p.rgb[i] >> (16 - 8 * c));
    GdkPixbuf* out = gdk_pixbuf_new_from_data(bytes.data(), GDK_COLORSPACE_RGB, FALSE, 8, p.width, p.height,
                                              p.width * 3, nullptr, nullptr);
    gdk_pixbuf_save(out, (picture_dir(folder) + name + ".png").c_str(), "png", nullptr, nullptr);
    g_object_unref(out);
}

// Every channel within `tolerance` of the other colour's.
inline bool near_colour(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int(a >> shift & 0xff) - int(b >> shift & 0xff)) > tolerance) return false;
    return true;
}

// Pixels of the rectangle (x, y, w, h) that differ clearly (by more than
// `tolerance`, 60 unless told, in a channel) from its most common colour:
// text gives many, an empty or unpainted rectangle none. Points off the
// picture are left out.
inline int64_t ink_in(const Picture& p, int32_t x0, int32_t y0, int32_t w, int32_t h, int tolerance = 60) {
    std::map<uint32_t, int64_t> counts;
    for (int32_t y = y0; y < y0 + h; ++y)
        for (int32_t x = x0; x < x0 + w; ++x)
            if (p.inside(x, y)) ++counts[p.at(x, y)];
    uint32_t background = 0;
    int64_t most = -1;
    for (const auto& [c, k] : counts)
        if (k > most) most = k, background = c;
    int64_t differing = 0;
    for (int32_t y = y0; y < y0 + h; ++y)
        for (int32_t x = x0; x < x0 + w; ++x)
            differing += p.inside(x, y) && !near_colour(p.at(x, y), background, tolerance);
    return differing;
}

// The canvas once two grabs a little apart agree: the frames the last
// action asked for have reached the screen.
inline Picture settled_canvas(LiveApplication& live) {
    live.await_frames();
    Picture p = grab_canvas(live);
    for (int tries = 0; tries < 20; ++tries) {
        live.pump_for(150);
        Picture again = grab_canvas(live);
        const bool same = again.rgb == p.rgb;
        p = std::move(again);
        if (same) break;
    }
    return p;
}

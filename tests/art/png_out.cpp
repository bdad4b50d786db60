#include "png_out.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sys/stat.h>

#include <cstdlib>

bool write_png_rgba(const std::string& path, const std::vector<uint8_t>& rgba, int w, int h) {
    if (w <= 0 || h <= 0 || rgba.size() < static_cast<size_t>(w) * h * 4) return false;
    GdkPixbuf* pb = gdk_pixbuf_new_from_data(rgba.data(), GDK_COLORSPACE_RGB, TRUE, 8, w, h, w * 4, nullptr, nullptr);
    if (!pb) return false;
    const bool ok = gdk_pixbuf_save(pb, path.c_str(), "png", nullptr, nullptr);
    g_object_unref(pb);
    return ok;
}

std::string art_test_output_dir(const std::string& sub) {
    const char* bin = std::getenv("VK_BINARY_DIR");
    if (bin && *bin) {
        std::string dir = std::string(bin) + "/test-output";
        mkdir(dir.c_str(), 0755);
        dir += "/" + sub;
        mkdir(dir.c_str(), 0755);
        return dir;
    }
    char tmpl[] = "/tmp/vk-art-XXXXXX";
    const char* made = mkdtemp(tmpl);
    return made ? made : "/tmp";
}

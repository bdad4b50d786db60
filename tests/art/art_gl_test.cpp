#include <gtest/gtest.h>

#include <GL/gl.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sys/stat.h>

#include <cstdlib>

#include "art/art_gl.h"
#include "art/font_atlas.h"
#include "art/icon_raster.h"
#include "harness/glx_context.h"

// Checks a texture's size and sampling and that it holds `want` (first row
// first); leaves it as a PNG for review, flipped so that texture row 0 is at
// the bottom unless the image is stored top row first.
static void expect_texture(uint32_t name, int w, int h, const std::vector<uint8_t>& want, const char* file, bool flip) {
    ASSERT_NE(name, 0u);
    EXPECT_TRUE(glIsTexture(name));
    glBindTexture(GL_TEXTURE_2D, name);
    GLint got[4] = {0, 0, 0, 0};
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &got[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &got[1]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &got[2]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &got[3]);
    std::vector<uint8_t> px(static_cast<size_t>(got[0]) * got[1] * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(std::vector<GLint>(got, got + 4), (std::vector<GLint>{w, h, GL_CLAMP, GL_LINEAR})) << file;
    EXPECT_TRUE(px == want) << file;
    if (px.empty()) return;
    static const std::string dir = [] {  // ${VK_BINARY_DIR}/test-output/art/, else a fresh temporary one
        const char* bin = std::getenv("VK_BINARY_DIR");
        char tmpl[] = "/tmp/vk-art-XXXXXX";
        const std::string d = bin && *bin ? std::string(bin) + "/test-output" : mkdtemp(tmpl) ? tmpl : "/tmp";
        mkdir(d.c_str(), 0755);
        mkdir((d + "/art").c_str(), 0755);
        return d + "/art/";
    }();
    GdkPixbuf* pb = gdk_pixbuf_new_from_data(px.data(), GDK_COLORSPACE_RGB, TRUE, 8, got[0], got[1], got[0] * 4, nullptr, nullptr);
    GdkPixbuf* out = flip ? gdk_pixbuf_flip(pb, FALSE) : GDK_PIXBUF(g_object_ref(pb));
    EXPECT_TRUE(gdk_pixbuf_save(out, (dir + file).c_str(), "png", nullptr, nullptr)) << file;
    g_object_unref(out);
    g_object_unref(pb);
}

TEST(ArtGl, TexturesHoldTheArt) {
    GlxContext gl;
    ASSERT_TRUE(gl.open()) << "no GL context (needs an X display)";
    reset_icon_art();
    reset_font_art();
    build_icon_atlas();
    build_logo_image();
    build_font_atlas();
    const std::vector<uint8_t> icons = icon_atlas.pixels, logo = logo_image.pixels, font = font_atlas.pixels;

    EXPECT_EQ(app_on_gl_init(), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Atlas and font pixels are released, the logo stays.
    EXPECT_EQ(icon_atlas.pixels.capacity() + font_atlas.pixels.capacity(), 0u);
    EXPECT_EQ(logo_image.pixels, logo);
    expect_texture(icon_atlas.texture_id, 512, 512, icons, "icon_atlas.png", true);
    expect_texture(logo_image.texture_id, 256, 256, logo, "logo.png", false);
    expect_texture(font_atlas.texture_id, 2150, 552, font, "font_atlas.png", true);

    // A second call finds the buffers released and keeps the textures.
    const uint32_t icon_name = icon_atlas.texture_id;
    EXPECT_EQ(app_on_gl_init(), 0);
    EXPECT_EQ(icon_atlas.texture_id, icon_name);
    expect_texture(icon_atlas.texture_id, 512, 512, icons, "icon_atlas.png", true);
}

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include "art/art_gl.h"
#include "art/font_atlas.h"
#include "art/icon_raster.h"

// A GL context of our own on a small unmapped window: enough to create and
// query textures without the platform's window layer.
struct GlxFixture {
    Display* display = nullptr;
    Window window = 0;
    GLXContext context = nullptr;
    Colormap colormap = 0;

    bool open() {
        display = XOpenDisplay(nullptr);
        if (!display) return false;
        int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
        XVisualInfo* vi = glXChooseVisual(display, DefaultScreen(display), attrs);
        if (!vi) return false;
        const Window root = RootWindow(display, vi->screen);
        colormap = XCreateColormap(display, root, vi->visual, AllocNone);
        XSetWindowAttributes swa{};
        swa.colormap = colormap;
        window = XCreateWindow(display, root, 0, 0, 64, 64, 0, vi->depth, InputOutput, vi->visual, CWColormap, &swa);
        context = glXCreateContext(display, vi, nullptr, True);
        XFree(vi);
        return context && glXMakeCurrent(display, window, context);
    }
    ~GlxFixture() {
        if (!display) return;
        glXMakeCurrent(display, None, nullptr);
        if (context) glXDestroyContext(display, context);
        if (window) XDestroyWindow(display, window);
        if (colormap) XFreeColormap(display, colormap);
        XCloseDisplay(display);
    }
};

static void expect_texture(uint32_t name, int w, int h) {
    ASSERT_NE(name, 0u);
    EXPECT_TRUE(glIsTexture(name));
    glBindTexture(GL_TEXTURE_2D, name);
    GLint tw = 0, th = 0, wrap = 0, filter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(tw, w);
    EXPECT_EQ(th, h);
    EXPECT_EQ(wrap, GL_CLAMP);
    EXPECT_EQ(filter, GL_LINEAR);
}

TEST(ArtGl, TexturesExistWithTheirSizes) {
    GlxFixture gl;
    ASSERT_TRUE(gl.open()) << "no GL context (needs an X display)";
    reset_icon_art();
    reset_font_art();
    build_icon_atlas();
    build_logo_image();
    build_font_atlas();
    const uint8_t sample = font_atlas.pixels[(static_cast<size_t>(551 - 10) * font_atlas_width + 2 * 16 + 4) * 4 + 3];

    EXPECT_EQ(app_on_gl_init(), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    expect_texture(icon_atlas.texture_id, 512, 512);
    expect_texture(logo_image.texture_id, 256, 256);
    expect_texture(font_atlas.texture_id, 2150, 552);
    // Atlas and font pixels are released, the logo stays.
    EXPECT_EQ(icon_atlas.pixels.capacity(), 0u);
    EXPECT_EQ(font_atlas.pixels.capacity(), 0u);
    EXPECT_EQ(logo_image.pixels.size(), 262144u);

    // The texture holds the pixels: read the font atlas back.
    std::vector<uint8_t> back(font_atlas_bytes);
    glBindTexture(GL_TEXTURE_2D, font_atlas.texture_id);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, back.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(back[(static_cast<size_t>(551 - 10) * font_atlas_width + 2 * 16 + 4) * 4 + 3], sample);

    // A second call finds the buffers released and keeps the textures.
    const uint32_t icon_name = icon_atlas.texture_id;
    EXPECT_EQ(app_on_gl_init(), 0);
    EXPECT_EQ(icon_atlas.texture_id, icon_name);
    expect_texture(icon_atlas.texture_id, 512, 512);
    reset_icon_art();
    reset_font_art();
}

#include "art/art_gl.h"

#include <GL/gl.h>

#include "art/font_atlas.h"
#include "art/icon_raster.h"

// Uploads w x h RGBA pixels as a clamped, linearly filtered texture. A buffer
// that does not hold the whole image (already released by an earlier call)
// is not read: the texture created then keeps what it had.
static void upload_texture(uint32_t& name, const std::vector<uint8_t>& pixels, int w, int h) {
    const size_t need = static_cast<size_t>(w) * h * 4;
    if (pixels.size() < need) return;
    GLuint id = name;
    if (id == 0) glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    name = id;
}

int app_on_gl_init() {
    upload_texture(icon_atlas.texture_id, icon_atlas.pixels, icon_atlas_size, icon_atlas_size);
    std::vector<uint8_t>().swap(icon_atlas.pixels);
    upload_texture(logo_image.texture_id, logo_image.pixels, logo_image_size, logo_image_size);
    upload_texture(font_atlas.texture_id, font_atlas.pixels, font_atlas_width, font_atlas_height);
    std::vector<uint8_t>().swap(font_atlas.pixels);
    return 0;
}

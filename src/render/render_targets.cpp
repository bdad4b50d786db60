#include "render/render_targets.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>

#include "platform/gl_state.h"
#include "render/overlay_staging.h"

RenderTarget render_targets[render_target_count];
uint8_t render_targets_created = 0;

namespace {

void reset_record(RenderTarget& t, uint8_t multisampled, int32_t width, int32_t height) {
    t = RenderTarget{};
    t.viewport_width = t.viewport_height = 100;
    t.buffer_width = width;
    t.buffer_height = height;
    t.multisampled = multisampled;
}

void create_texture_target(RenderTarget& t, GLenum format, int32_t width, int32_t height) {
    reset_record(t, 0, width, height);
    glGenFramebuffers(1, &t.framebuffer_id);
    glGenTextures(1, &t.colour_id);
    glGenRenderbuffers(1, &t.depth_id);
    glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer_id);
    glBindTexture(GL_TEXTURE_2D, t.colour_id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.colour_id, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, t.depth_id);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, t.depth_id);
    glBindTexture(GL_TEXTURE_2D, 0);
    check_framebuffer_status(t);
}

void create_target(int index, int32_t width, int32_t height) {
    RenderTarget& t = render_targets[index];
    int32_t w = 0, h = 0;
    render_target_size_for(index, width, height, w, h);
    if (index == 0 || index == 3) {
        create_multisample_render_target(t, w, h);
    } else if (index >= 6) {
        create_rgb_texture_render_target(t, w, h);
    } else {
        create_rgba_texture_render_target(t, w, h);
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void delete_target(const RenderTarget& t) {
    glDeleteFramebuffers(1, &t.framebuffer_id);
    if (t.multisampled) {
        glDeleteRenderbuffers(1, &t.colour_id);
    } else {
        glDeleteTextures(1, &t.colour_id);
    }
    glDeleteRenderbuffers(1, &t.depth_id);
}

}  // namespace

void create_rgb_texture_render_target(RenderTarget& target, int32_t width, int32_t height) {
    create_texture_target(target, GL_RGB, width, height);
}

void create_rgba_texture_render_target(RenderTarget& target, int32_t width, int32_t height) {
    create_texture_target(target, GL_RGBA, width, height);
}

void create_multisample_render_target(RenderTarget& t, int32_t width, int32_t height) {
    reset_record(t, 1, width, height);
    const GLsizei samples = clamp_sample_count(4);
    glGenFramebuffers(1, &t.framebuffer_id);
    glGenRenderbuffers(1, &t.colour_id);
    glGenRenderbuffers(1, &t.depth_id);
    glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer_id);
    glBindRenderbuffer(GL_RENDERBUFFER, t.colour_id);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA, width, height);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, t.colour_id);
    glBindRenderbuffer(GL_RENDERBUFFER, t.depth_id);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, t.depth_id);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    check_framebuffer_status(t);
}

int32_t render_target_side(int32_t window_side) {
    const int32_t side = std::clamp(window_side, 1, render_target_size);
    return std::min((side + render_target_step - 1) / render_target_step * render_target_step, render_target_size);
}

void render_target_size_for(int index, int32_t width, int32_t height, int32_t& buffer_width, int32_t& buffer_height) {
    if (index == 5) {
        buffer_width = buffer_height = render_target_size;
    } else if (index == 0) {
        buffer_width = buffer_height = snapshot_side;
    } else if (index == 1) {
        buffer_width = std::max(render_target_side(width), snapshot_side);
        buffer_height = std::max(render_target_side(height), snapshot_side);
    } else {
        buffer_width = render_target_side(width);
        buffer_height = render_target_side(height);
    }
}

uint8_t record_framebuffer_status(uint32_t status) {
    if (status == GL_FRAMEBUFFER_COMPLETE) return 1;
    std::fputs(status == GL_FRAMEBUFFER_UNSUPPORTED ? "FBO-Not-Supported\n" : "FBO-Error!\n", stdout);
    std::fflush(stdout);
    return 0;
}

void check_framebuffer_status(RenderTarget& target) {
    target.complete = record_framebuffer_status(glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER));
}

void create_render_targets(int32_t width, int32_t height) {
    for (int i = render_target_count - 1; i >= 0; --i) create_target(i, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    render_targets_created = 1;
}

bool fit_render_targets(int32_t width, int32_t height) {
    bool grown = false;
    for (int i = 0; i < render_target_count; ++i) {
        RenderTarget& t = render_targets[i];
        int32_t w = 0, h = 0;
        render_target_size_for(i, width, height, w, h);
        if (w <= t.buffer_width && h <= t.buffer_height) continue;
        // Grow to cover both the old and the new need, so a narrower but
        // taller window never loses width.
        const RenderTarget old = t;
        create_target(i, std::max(width, old.buffer_width), std::max(height, old.buffer_height));
        if (!old.multisampled) {
            glBindFramebuffer(GL_READ_FRAMEBUFFER, old.framebuffer_id);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, t.framebuffer_id);
            glBlitFramebuffer(0, 0, old.buffer_width, old.buffer_height, 0, 0, old.buffer_width, old.buffer_height,
                              GL_COLOR_BUFFER_BIT, GL_NEAREST);
        }
        delete_target(old);
        grown = true;
    }
    if (grown) glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return grown;
}

int bind_framebuffer(uint32_t framebuffer) {
    glBindTexture(GL_TEXTURE_2D, 0);
    glEnable(GL_TEXTURE_2D);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    return 1;
}

void blit_window_area(uint32_t from_framebuffer, uint32_t to_framebuffer, int32_t width, int32_t height) {
    const GLint w = clamp_to_render_target(width), h = clamp_to_render_target(height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from_framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to_framebuffer);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

bool blit_into_strip_cell(uint32_t from_framebuffer, int32_t cell) {
    if (cell < 0 || cell > 255) return false;
    const GLint x = (cell % 16) * strip_cell_size, y = (cell / 16) * strip_cell_size;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from_framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, render_targets[5].framebuffer_id);
    glBlitFramebuffer(0, 0, strip_cell_size, strip_cell_size, x, y, x + strip_cell_size, y + strip_cell_size,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    return true;
}

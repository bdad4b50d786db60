#include "render/render_targets.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

#include "render/gl_state.h"
#include "render/overlay_staging.h"

RenderTarget render_targets[render_target_count];
uint8_t render_targets_created = 0;

namespace {

void reset_record(RenderTarget& t, uint8_t multisampled) {
    t = RenderTarget{};
    t.viewport_width = t.viewport_height = 100;
    t.buffer_width = t.buffer_height = render_target_size;
    t.multisampled = multisampled;
}

void create_texture_target(RenderTarget& t, GLenum format) {
    reset_record(t, 0);
    glGenFramebuffers(1, &t.framebuffer_id);
    glGenTextures(1, &t.colour_id);
    glGenRenderbuffers(1, &t.depth_id);
    glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer_id);
    glBindTexture(GL_TEXTURE_2D, t.colour_id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), render_target_size, render_target_size, 0, format,
                 GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.colour_id, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, t.depth_id);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, render_target_size, render_target_size);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, t.depth_id);
    glBindTexture(GL_TEXTURE_2D, 0);
    check_framebuffer_status(t);
}

}  // namespace

void create_rgb_texture_render_target(RenderTarget& target) { create_texture_target(target, GL_RGB); }

void create_rgba_texture_render_target(RenderTarget& target) { create_texture_target(target, GL_RGBA); }

void create_multisample_render_target(RenderTarget& t) {
    reset_record(t, 1);
    const GLsizei samples = clamp_sample_count(4);
    glGenFramebuffers(1, &t.framebuffer_id);
    glGenRenderbuffers(1, &t.colour_id);
    glGenRenderbuffers(1, &t.depth_id);
    glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer_id);
    glBindRenderbuffer(GL_RENDERBUFFER, t.colour_id);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA, render_target_size, render_target_size);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, t.colour_id);
    glBindRenderbuffer(GL_RENDERBUFFER, t.depth_id);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, render_target_size,
                                     render_target_size);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, t.depth_id);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    check_framebuffer_status(t);
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

void create_render_targets() {
    for (int i = render_target_count - 1; i >= 0; --i) {
        RenderTarget& t = render_targets[i];
        if (i == 0 || i == 3) {
            create_multisample_render_target(t);
        } else if (i >= 6) {
            create_rgb_texture_render_target(t);
        } else {
            create_rgba_texture_render_target(t);
        }
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    render_targets_created = 1;
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

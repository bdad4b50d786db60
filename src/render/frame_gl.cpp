#include "render/frame_gl.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "context/app_context.h"
#include "render/backdrop.h"

// The renderer's own state, which its first frame fills.
FrameRenderer frame_renderer;

namespace {

constexpr GLfloat identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

}  // namespace

void set_flat_uniforms(int32_t mode, int32_t width, int32_t height) {
    set_flat_uniforms(frame_renderer.program, mode, width, height);
}

void set_flat_uniforms(const FrameProgram& p, int32_t mode, int32_t width, int32_t height) {
    glUniformMatrix4fv(p.iMVP, 1, GL_FALSE, identity);
    glUniformMatrix4fv(p.iMV, 1, GL_FALSE, identity);
    glUniformMatrix4fv(p.iETM, 1, GL_FALSE, identity);
    glUniform1f(p.iwusf, 1.0f);
    glUniform1f(p.iw, static_cast<GLfloat>(width));
    glUniform1f(p.ih, static_cast<GLfloat>(height));
    glUniform1f(p.isstz, 0.0f);
    glUniform4f(p.itint, 1.0f, 1.0f, 1.0f, 1.0f);
    glUniform1i(p.imode, mode);
}

void draw_backdrop(int32_t canvas_width, int32_t canvas_height, int32_t table, int32_t style, double alpha) {
    if (style < 0) return;
    build_backdrop_gradient(0, 0, canvas_width, canvas_height, table, style, alpha);
    OverlayVertex vertices[backdrop_points];
    for (int k = 0; k < backdrop_points; ++k) {
        const double* p = backdrop_lattice.positions + 3 * k;
        const double* c = backdrop_lattice.colours + 4 * k;
        vertices[k] = OverlayVertex{{static_cast<float>(2 * p[0] - canvas_width), static_cast<float>(2 * p[1] - canvas_height),
                                     static_cast<float>(-0.01 * p[2]), 1.0f},
                                    {static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]),
                                     static_cast<float>(c[3])},
                                    {0.0f, 0.0f, 1.0f, 1.0f},
                                    {0.0f, 0.0f, 0.0f, 0.0f}};
    }
    glBufferData(GL_ARRAY_BUFFER, sizeof(vertices), vertices, GL_STATIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(backdrop_lattice.indices), backdrop_lattice.indices, GL_STATIC_DRAW);
    set_flat_uniforms(0, canvas_width, canvas_height);
    glDrawElements(GL_TRIANGLES, backdrop_index_count, GL_UNSIGNED_INT, nullptr);
    glClear(GL_DEPTH_BUFFER_BIT);
}

void draw_backdrop_for(const AppContext& app) {
    draw_backdrop(app.frame.view_rect_width, app.frame.view_rect_height, backdrop_table_for_theme(app.frame.theme_index),
                  app.io_settings.backdrop_gradient, app.io_settings.background_intensity);
}

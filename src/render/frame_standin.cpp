#define GL_GLEXT_PROTOTYPES
#include "render/frame_standin.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "app/app_context.h"

int32_t on_gl_draw(AppContext& app) {
    GlRetirement& retired = app.gl_retirement;
    if (!retired.retired_vertex_arrays.empty())
        glDeleteVertexArrays(static_cast<GLsizei>(retired.retired_vertex_arrays.size()),
                             retired.retired_vertex_arrays.data());
    if (!retired.retired_vertex_buffers.empty())
        glDeleteBuffers(static_cast<GLsizei>(retired.retired_vertex_buffers.size()),
                        retired.retired_vertex_buffers.data());
    if (!retired.retired_index_buffers.empty())
        glDeleteBuffers(static_cast<GLsizei>(retired.retired_index_buffers.size()),
                        retired.retired_index_buffers.data());
    retired.retired_vertex_arrays.clear();
    retired.retired_vertex_buffers.clear();
    retired.retired_index_buffers.clear();

    const double* colour = app.frame.canvas_colour;
    if (colour != nullptr) glClearColor(static_cast<GLfloat>(colour[0]), static_cast<GLfloat>(colour[1]),
                                        static_cast<GLfloat>(colour[2]), 1.0f);
    else glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    app.frame.needs_redraw = 0;
    return 0;
}

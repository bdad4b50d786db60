#include "render/frame_renderer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <chrono>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "art/font_atlas.h"
#include "art/icon_raster.h"
#include "platform/platform_state.h"
#include "render/overlay_staging.h"
#include "render/render_targets.h"
#include "render/scene_renderer.h"
#include "render/status_line.h"
#include "ui/draw_list.h"
#include "ui/overlay_batches.h"

namespace {

const void* byte_offset(size_t bytes) { return reinterpret_cast<const void*>(bytes); }

void first_frame_setup(FrameRenderer& r) {
    glGenVertexArrays(1, &r.vertex_array);
    glGenBuffers(1, &r.vertex_buffer);
    glGenBuffers(1, &r.index_buffer);
    r.program = build_frame_program();
    r.overlay_program = build_overlay_program();
    r.surface_program = build_surface_program(false);
    r.one_colour_program = build_surface_program(true);
    r.staging.assign(VERTEX_STAGING_FLOATS, 0.0f);
    r.initialised = true;
}

// The OverlayVertex layout on the frame vertex array (bound with its buffer).
void set_overlay_attributes(const FrameProgram& p, bool enable) {
    const int32_t locations[4] = {p.iV, p.iC, p.iN, p.iU};
    for (int i = 0; i < 4; ++i) {
        if (locations[i] < 0) continue;
        const GLuint at = static_cast<GLuint>(locations[i]);
        if (!enable) {
            glDisableVertexAttribArray(at);
            continue;
        }
        glVertexAttribPointer(at, 4, GL_FLOAT, GL_FALSE, sizeof(OverlayVertex), byte_offset(16 * i));
        glEnableVertexAttribArray(at);
    }
}

void bind_frame_arrays(const FrameRenderer& r) {
    glBindVertexArray(r.vertex_array);
    glBindBuffer(GL_ARRAY_BUFFER, r.vertex_buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, r.index_buffer);
}

void unbind_arrays() {
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void delete_retired_gl_objects(AppContext& app) {
    for (std::vector<uint32_t>* queue : {&app.gl_retirement.retired_vertex_buffers, &app.gl_retirement.retired_index_buffers}) {
        if (!queue->empty()) glDeleteBuffers(static_cast<GLsizei>(queue->size()), queue->data());
        queue->clear();
    }
    if (!app.gl_retirement.retired_vertex_arrays.empty()) {
        glDeleteVertexArrays(static_cast<GLsizei>(app.gl_retirement.retired_vertex_arrays.size()), app.gl_retirement.retired_vertex_arrays.data());
    }
    app.gl_retirement.retired_vertex_arrays.clear();
}


void draw_texture_range(uint32_t texture, size_t first, size_t count) {
    if (count == 0) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT, byte_offset(first * 4));
}

// Clears the depth a layer can reach. A software rasteriser clears a
// whole buffer by marking its tiles, but a scissored part of one by drawing
// a quad over it, several times slower per pixel: a layer that reaches less
// than a quarter of the window (a tool tip, a menu) clears only its pixels,
// a larger one the whole target.
void clear_layer_depth(const LayerStaging& s, int32_t width, int32_t height) {
    const int64_t reached = int64_t{s.reach_width} * s.reach_height;
    if (4 * reached >= int64_t{width} * height) {
        glClear(GL_DEPTH_BUFFER_BIT);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(s.reach_x, s.reach_y, s.reach_width, s.reach_height);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

// One interface layer: batches, staging, one upload, draws by texture.
// Only a layer that draws clears the depth it draws over: a skipped layer's
// clear would cost as much as a drawn one and change nothing.
void draw_overlay_layer(FrameRenderer& r, const LayerBatches& batches, int32_t width, int32_t height) {
    LayerStaging s;
    if (!stage_overlay_layer(batches, width, height, r.staging.data(), r.indices, s)) {
        ++r.layers_skipped;
        return;
    }
    ++r.layers_drawn;
    clear_layer_depth(s, width, height);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(s.float_count * sizeof(float)), r.staging.data(),
                 GL_STATIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(r.indices.size() * sizeof(uint32_t)),
                 r.indices.data(), GL_STATIC_DRAW);
    if (s.shape_vertex_count > 0) {
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(s.shape_first_vertex), static_cast<GLsizei>(s.shape_vertex_count));
    }
    glActiveTexture(GL_TEXTURE0);
    draw_texture_range(icon_atlas.texture_id, s.atlas_first, s.atlas_count);
    draw_texture_range(render_targets[5].colour_id, s.sprite_first, s.sprite_count);
    draw_texture_range(logo_image.texture_id, s.image_first, s.image_count);
    draw_texture_range(font_atlas.texture_id, s.font_first, s.font_count);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// Builds the frame's layers; returns the lowest one to draw: the highest
// one that covers the window opaquely hides the layers under it and the
// scene; -1 when none does.
int32_t build_shown_layers(FrameRenderer& r, const Container& root, int32_t width, int32_t height, bool& covered) {
    for (int32_t key = -1; key <= 3; ++key) {
        build_layer_batches(root.height, collect_elements_with_key(root.draw_list, key),
                            r.layer_batches[static_cast<size_t>(key + 1)]);
    }
    covered = false;
    for (int32_t key = 3; key >= -1; --key) {
        if (layer_covers_window(r.layer_batches[static_cast<size_t>(key + 1)], width, height)) {
            covered = true;
            return key;
        }
    }
    return -1;
}

}  // namespace

void render_frame(AppContext* app, Container* root) {
    FrameRenderer& r = frame_renderer;
    const int32_t width = platform_state.canvas_width, height = platform_state.canvas_height;
    r.layers_drawn = r.layers_skipped = 0;

    // Program and frame arrays; flat 2D uniforms. The window is cleared
    // only when the final frame will not cover it: without a tree, or wider
    // or taller than the targets reach. Clearing pixels the blit overwrites
    // costs a sixth of an interface frame on a software rasteriser.
    if (!r.initialised) first_frame_setup(r);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const bool final_frame_fills_window = app && root && width > 0 && height > 0 && width <= render_target_size &&
                                          height <= render_target_size;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    if (!final_frame_fills_window) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, width, height);
    glUseProgram(r.program.id);
    bind_frame_arrays(r);
    set_flat_uniforms(0, width, height);
    set_overlay_attributes(r.program, true);

    // The interface tree, the window regions and the targets.
    if (app && root) {
        root->layout(root->width, root->height);
        draw_child_widgets(*root, app->services.redraw_request);
        call_hook(app->hooks.app_apply_display_options, *app, width, height);
        if (!render_targets_created) {
            create_render_targets(width, height);
        } else if (fit_render_targets(width, height)) {
            app->frame.needs_redraw = 1;
        }
        unbind_arrays();
        delete_retired_gl_objects(*app);

        // Thumbnails, the snapshot, the 3D scene and picking.
        FrameCaptures captures = remember_frame_captures(*app);
        render_scene(*app, captures, width, height, platform_state.pointer_x, platform_state.pointer_y);
        glUseProgram(r.program.id);

        // The final frame starts as a copy of the scene (target 4 holds it,
        // resolved when it was drawn multisampled), or empty for a
        // screenshot without the canvas. Under a layer that covers the
        // window (the intro's cover, an opaque mask) neither the scene nor
        // the lower layers show: they are not drawn, unless a screenshot
        // of the canvas alone is due.
        bool covered = false;
        const int32_t lowest_layer = build_shown_layers(r, *root, width, height, covered);
        r.layers_skipped = lowest_layer + 1;
        bind_frame_arrays(r);
        bind_framebuffer(0);
        bind_framebuffer(render_targets[2].framebuffer_id);
        set_flat_uniforms(1, width, height);
        glViewport(0, 0, width, height);
        if (frame_shows_canvas(captures)) {
            if (!covered || captures.screenshot[0]) {
                blit_window_area(render_targets[4].framebuffer_id, render_targets[2].framebuffer_id, width, height);
            }
            glBindFramebuffer(GL_FRAMEBUFFER, render_targets[2].framebuffer_id);
            capture_canvas_screenshot(*app, captures, width, height);
        } else {
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }

        // The interface, layer by layer; a higher layer covers a lower one.
        const FrameProgram& overlay = r.overlay_program.id != 0 ? r.overlay_program : r.program;
        glUseProgram(overlay.id);
        set_flat_uniforms(overlay, 1, width, height);
        for (int32_t key = lowest_layer; key <= 3; ++key) {
            draw_overlay_layer(r, r.layer_batches[static_cast<size_t>(key + 1)], width, height);
        }
        glUseProgram(r.program.id);
        capture_interface_screenshot(*app, captures, width, height);
        draw_capture_previews(*app, width, height);

        // Completions, then present.
        complete_frame_captures(*app, captures);
        bind_framebuffer(0);
        blit_window_area(render_targets[2].framebuffer_id, 0, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    bind_frame_arrays(r);
    set_overlay_attributes(r.program, false);
    unbind_arrays();
    glUseProgram(0);
    glFlush();
}

void render_frame_timed() {
    // The context is the root of its own widget tree.
    AppContext* app = app_instance;
    if (!app || !app->frame.needs_redraw) {
        render_frame(app, app);
        return;
    }
    const auto start = std::chrono::system_clock::now();
    render_frame(app, app);
    const auto elapsed = std::chrono::system_clock::now() - start;
    push_frame_time(FRAME_TIME_RING, std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
}

int on_gl_draw() {
    render_frame_timed();
    return 0;
}

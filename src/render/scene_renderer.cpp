#include "render/scene_renderer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "context/app_context.h"
#include "model/entity.h"
#include "model/camera.h"
#include "render/frame_gl.h"
#include "render/mesh_upload.h"
#include "render/render_targets.h"
#include "render/scene_actions.h"

namespace {

constexpr float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr float depth_nudge = -0.000025f;
constexpr uint32_t no_id = 0xFFFFFF;

const void* byte_offset(size_t bytes) { return reinterpret_cast<const void*>(bytes); }

const FrameProgram& program() { return frame_renderer.program; }

void set_mode(int32_t mode) { glUniform1i(program().imode, mode); }
void set_tint(float r, float g, float b, float a) { glUniform4f(program().itint, r, g, b, a); }
void set_c2id(float r, float g, float b, float a) { glUniform4f(program().ic2id, r, g, b, a); }
void set_sstz(float z) { glUniform1f(program().isstz, z); }
void set_wusf(float s) { glUniform1f(program().iwusf, s); }
void set_etm(const float* m) { glUniformMatrix4fv(program().iETM, 1, GL_FALSE, m); }

// The scene's two matrices for one view.
struct ViewMatrices {
    float mvp[16];
    float mv[16];
};

struct ViewCamera {
    double eye[3];
    double look_at[3];
    double up[3];
    double orbit[4];  // distance, angles x, y, z
};

ViewCamera live_view_camera(const AppContext& app) {
    const Camera& c = app.camera.live_camera;
    ViewCamera v;
    for (int k = 0; k < 3; ++k) {
        v.eye[k] = c.eye[k];
        v.look_at[k] = c.look_at[k];
        v.up[k] = c.up[k];
    }
    v.orbit[0] = app.camera.orbit_distance;
    v.orbit[1] = app.camera.orbit_angle_x;
    v.orbit[2] = app.camera.orbit_angle_y;
    v.orbit[3] = app.camera.orbit_angle_z;
    return v;
}

// A cell's stored camera: eye and look-at of the active controller, orbit
// values at 18..21, up (0, 1, 0).
ViewCamera cell_view_camera(const AppContext& app, const double* row) {
    const int32_t c = std::clamp(app.camera.camera_controller, 0, 2);
    ViewCamera v;
    for (int k = 0; k < 3; ++k) {
        v.eye[k] = row[6 * c + k];
        v.look_at[k] = row[6 * c + 3 + k];
        v.up[k] = k == 1 ? 1.0 : 0.0;
    }
    for (int k = 0; k < 4; ++k) v.orbit[k] = row[18 + k];
    return v;
}

void build_view_matrices(const AppContext& app, const ViewCamera& cam, bool perspective, double aspect,
                         ViewMatrices& out) {
    const Camera& live = app.camera.live_camera;
    float projection[16];
    if (perspective) {
        build_perspective_matrix(projection, live.fov, live.near, live.far, aspect);
    } else {
        build_orthographic_matrix(projection, aspect);
    }
    build_look_at_matrix(out.mv, cam.eye, cam.look_at, cam.up);
    if (app.camera.camera_controller == CAMERA_OBJECT_ORBIT) {
        // The orbit record's transform: scale, then the three angles in ZYX
        // order, transformation order RST.
        const std::array<double, 16> orbit = orbit_view_matrix(cam.orbit[0], cam.orbit[1], cam.orbit[2], cam.orbit[3]);
        float model[16];
        for (int i = 0; i < 16; ++i) model[i] = static_cast<float>(orbit[i]);
        multiply_matrices(out.mv, out.mv, model);
    }
    const EntitySet* set = app.entities.current_entities;
    if (set && set->count > 0 && app.render_flags.orbit_about_centre) {
        const EnvironmentStatistics& stats = app.status.environment_statistics;
        const double scale = app.io_settings.world_scale;
        double centre[3];
        for (int k = 0; k < 3; ++k) centre[k] = -(stats.minimum[k] + stats.extent[k] / 2.0) * scale;
        if (app.camera.camera_controller == CAMERA_FIRST_PERSON) centre[1] = 0.0;
        float translation[16];
        build_translation_matrix(translation, centre[0], centre[1], centre[2]);
        multiply_matrices(out.mv, out.mv, translation);
    }
    multiply_matrices(out.mvp, projection, out.mv);
}

void load_view_matrices(const ViewMatrices& m) {
    glUniformMatrix4fv(program().iMVP, 1, GL_FALSE, m.mvp);
    glUniformMatrix4fv(program().iMV, 1, GL_FALSE, m.mv);
    set_wusf(1.0f);
}

// Lighting of lit surfaces; `xray_item` selects the x-ray variant of an
// entity under x-ray.
void set_lighting(const AppContext& app, bool xray_item) {
    const RenderFlags& f = app.render_flags;
    if (f.light_unlit) {
        set_mode(0);
    } else {
        const bool specular = f.lighting_terms[2] != 0;
        set_c2id(f.lighting_terms[0] ? 0.125f : 0.0f, f.lighting_terms[1] ? 1.0f : 0.0f, specular ? 1.0f : 0.0f,
                 static_cast<float>(app.io_settings.light_intensity));
        set_mode(xray_item && !specular ? 2 : 3);
    }
    set_sstz(0.0f);
}

RenderTarget& scene_target(bool multisampling) { return render_targets[multisampling ? 3 : 4]; }
RenderTarget& offscreen_target(bool multisampling) { return render_targets[multisampling ? 0 : 1]; }

void bind_target(RenderTarget& target, bool multisampled) {
    bind_framebuffer(target.framebuffer_id);
    if (multisampled) glEnable(GL_MULTISAMPLE);
}

void clear_to_canvas(const AppContext& app, bool own_alpha) {
    const double* c = app.frame.canvas_colour;
    if (c) {
        glClearColor(static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]),
                     own_alpha ? static_cast<float>(c[3]) : 0.0f);
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, own_alpha ? 1.0f : 0.0f);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// MeshVertex attributes on the bound vertex array.
void set_mesh_attributes() {
    const FrameProgram& p = program();
    struct Attribute {
        int32_t location;
        GLint size;
        GLenum type;
        size_t offset;
    } attributes[4] = {{p.iV, 3, GL_FLOAT, 0}, {p.iN, 3, GL_FLOAT, 12}, {p.iC, 4, GL_UNSIGNED_BYTE, 24},
                       {p.iU, 4, GL_UNSIGNED_BYTE, 28}};
    for (const Attribute& a : attributes) {
        if (a.location < 0) continue;
        const GLuint at = static_cast<GLuint>(a.location);
        glVertexAttribPointer(at, a.size, a.type, GL_FALSE, sizeof(MeshVertex), byte_offset(a.offset));
        glEnableVertexAttribArray(at);
    }
}

// Draw ranges of one mesh's buffers.
struct MeshDraw {
    GLsizei vertices = 0;  // V
    GLsizei indices = 0;   // I
    MeshUploadLayout layout;
};

MeshDraw mesh_draw(const InteropMesh& mesh) {
    MeshDraw d;
    d.layout = mesh_upload_layout(mesh, mesh.gl_triangle_run != 0);
    d.vertices = static_cast<GLsizei>(d.layout.vertex_count);
    d.indices = static_cast<GLsizei>(d.layout.index_count);
    return d;
}

void draw_edges(const MeshDraw& d, size_t offset, size_t count) {
    if (count == 0) return;
    glDrawElements(GL_LINES, static_cast<GLsizei>(count), d.layout.short_edges ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
                   byte_offset(offset));
}

// A software rasteriser bins a draw into scenes of bounded size and queues
// several while its threads work through them: a multisampled frame of a
// million triangles, whose rasterising lags far behind its binning, queues
// every scene it may, over 140 MiB; a single-sampled one queues as many
// as its timing allows, one to three 36 MiB scenes for four million
// triangles, which the heap then keeps. Drawn in pieces with at most two
// in flight, the same triangles in the same order give the same pixels
// from a fraction of the memory, and no slower; on a GPU the fences cost
// next to nothing.
constexpr GLsizei surface_piece_vertices = 3 * 50'000;

// draw(first, count) over 0 .. count in pieces as above.
template <typename Draw>
void draw_in_pieces(GLsizei count, const Draw& draw) {
    if (count <= surface_piece_vertices) {
        draw(0, count);
        return;
    }
    GLsync in_flight[2] = {nullptr, nullptr};
    for (GLsizei first = 0, k = 0; first < count; first += surface_piece_vertices, ++k) {
        GLsync& oldest = in_flight[k % 2];
        if (oldest) {
            // Only a bound on memory: a wait that times out draws on.
            glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, 1'000'000'000);
            glDeleteSync(oldest);
        }
        draw(first, std::min(surface_piece_vertices, count - first));
        oldest = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        glFlush();
    }
    for (GLsync fence : in_flight) {
        if (fence) glDeleteSync(fence);
    }
}

// Buffers built without the triangle run (flat shading switched on in a
// frame that draws a thumbnail before the views rebuild them) draw smooth.
// Drawn in pieces as above.
void draw_surface(const MeshDraw& d, bool smooth) {
    const bool indexed = smooth || !d.layout.triangle_run;
    const auto draw = [&](GLsizei first, GLsizei count) {
        if (indexed) {
            glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, byte_offset(4 * static_cast<size_t>(first)));
        } else {
            glDrawArrays(GL_TRIANGLES, d.vertices + first, count);
        }
    };
    draw_in_pieces(d.indices, draw);
}

// The colour every vertex of a mesh's surface has, or null when they differ.
// Missing display colours draw grey and a corner that names no vertex draws
// a zeroed one, so both count; the upload has already found whether every
// corner names a vertex (it keeps the edges only in the index buffer then).
// Found once per upload.
const uint8_t* one_colour_of(InteropMesh& mesh) {
    if (mesh.gl_one_colour_state == 0) {
        const size_t vertices = mesh_upload_layout(mesh, false).vertex_count;
        const size_t coloured = std::min(mesh.display_colours.size() / 4, vertices);
        const uint8_t grey[4] = {191, 191, 191, 255};
        const uint8_t* first = coloured > 0 ? mesh.display_colours.data() : grey;
        bool one = mesh.gl_edges_only && vertices > 0 && (coloured == vertices || std::memcmp(first, grey, 4) == 0);
        for (size_t k = 1; one && k < coloured; ++k) one = std::memcmp(first, &mesh.display_colours[4 * k], 4) == 0;
        if (one) std::memcpy(mesh.gl_one_colour.data(), first, 4);
        mesh.gl_one_colour_state = one ? 2 : 1;
    }
    return mesh.gl_one_colour_state == 2 ? mesh.gl_one_colour.data() : nullptr;
}

// A lit surface in mode 3 without x-ray or inversion switches to the
// surface program, handed the frame program's uniforms as the passes left
// them; false (frame program kept) otherwise or when it did not link. With
// `colour` (the mesh's one colour) it takes the one-colour variant when
// that linked, the colour tinted here as the vertex stage would.
bool use_surface_program(const uint8_t* colour) {
    const FrameProgram& from = program();
    const bool one_colour = colour && frame_renderer.one_colour_program.id != 0;
    const FrameProgram& to = one_colour ? frame_renderer.one_colour_program : frame_renderer.surface_program;
    GLint mode = 0, inverted = 0, xray = 0;
    glGetUniformiv(from.id, from.imode, &mode);
    glGetUniformiv(from.id, from.issci, &inverted);
    glGetUniformiv(from.id, from.ixray, &xray);
    if (to.id == 0 || mode != 3 || inverted != 0 || xray != 0) return false;
    glUseProgram(to.id);
    GLfloat v[16];
    for (const auto& m : {std::pair{from.iMVP, to.iMVP}, std::pair{from.iMV, to.iMV}, std::pair{from.iETM, to.iETM}}) {
        glGetUniformfv(from.id, m.first, v);
        glUniformMatrix4fv(m.second, 1, GL_FALSE, v);
    }
    for (const auto& u : {std::pair{from.itint, to.itint}, std::pair{from.ic2id, to.ic2id}}) {
        glGetUniformfv(from.id, u.first, v);
        glUniform4fv(u.second, 1, v);
    }
    if (one_colour) {
        glGetUniformfv(from.id, from.itint, v);
        for (int k = 0; k < 4; ++k) v[k] *= static_cast<GLfloat>(colour[k]);
        glUniform4fv(to.icolour, 1, v);
    }
    for (const auto& u : {std::pair{from.iw, to.iw}, std::pair{from.ih, to.ih}, std::pair{from.isstz, to.isstz},
                          std::pair{from.iwusf, to.iwusf}, std::pair{from.idpmn, to.idpmn}}) {
        glGetUniformfv(from.id, u.first, v);
        glUniform1f(u.second, v[0]);
    }
    return true;
}

// The one visibility rule of every draw: a hidden entity (its meshes carry
// its visible byte) and the start-up mesh once scripts are open draw nothing.
bool mesh_shown(const InteropMesh* mesh) { return mesh != nullptr && mesh->visible != 0; }

// Draws a mesh's surface when its buffers exist, without building them.
void draw_built_mesh(InteropMesh* mesh, bool smooth) {
    if (!mesh_shown(mesh) || !mesh->present || !mesh->vertex_array_id || !mesh->vertex_buffer_id ||
        !mesh->index_buffer_id) {
        return;
    }
    glBindVertexArray(mesh->vertex_array_id);
    glBindBuffer(GL_ARRAY_BUFFER, mesh->vertex_buffer_id);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh->index_buffer_id);
    draw_surface(mesh_draw(*mesh), smooth);
}

void draw_entity_record(EntityRecord* entity, bool smooth) {
    if (!entity) return;
    if (entity->parallel == 1) {
        for (EntityRecord* sub : entity->subelement_records) {
            if (sub) draw_built_mesh(sub->mesh, smooth);
        }
    } else {
        draw_built_mesh(entity->mesh, smooth);
    }
}

// One draw item of a view pass.
struct Item {
    int32_t index = 0;
    InteropMesh* mesh = nullptr;
    bool in_range = false;
    bool alpha_grid = false;
};

enum Pass { PASS_ENTITY_IDS = -1, PASS_TRIANGLE_IDS = 0, PASS_LINES = 1, PASS_SURFACES = 2 };

struct SceneView {
    AppContext* app;
    bool picking;
    // A draft frame draws a one-coloured mesh with the one-colour program:
    // a sixth of the interpolation less per triangle; still frames keep the
    // per-vertex colour, so what stays on screen is drawn as ever.
    bool draft;
};

float rotation_x_90[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1};

// Whether the linear part of a transform has a negative determinant: it
// reverses the winding of every triangle on screen.
bool matrix_mirrors(const std::array<double, 16>& m) {
    const double det = m[0] * (m[5] * m[10] - m[6] * m[9]) - m[4] * (m[1] * m[10] - m[2] * m[9]) +
                       m[8] * (m[1] * m[6] - m[2] * m[5]);
    return det < 0.0;
}

void set_item_transform(const AppContext& app, const Item& item, const EntityRecord* entity) {
    const float scale = static_cast<float>(app.io_settings.world_scale);
    const bool grid = item.index == -4 || item.alpha_grid;
    bool mirrored = false;
    if (item.index >= 0 && item.in_range && entity) {
        set_wusf(scale);
        set_etm(entity->transform_matrix_f.data());
        mirrored = matrix_mirrors(entity->transform_matrix);
    } else if (grid && app.bars.upright_grid) {
        set_wusf(scale);
        set_etm(rotation_x_90);
    } else if (item.index == -1) {
        set_wusf(scale);
        set_etm(identity);
    } else {
        set_wusf(1.0f);
        set_etm(identity);
    }
    // A mirrored entity's outer faces turn clockwise on screen: with the
    // front face turned too, culling keeps them, in the views and id passes
    // alike.
    glFrontFace(mirrored ? GL_CW : GL_CCW);
}

void draw_pick_highlight(const AppContext& app, const Item& item, const MeshDraw& d) {
    const uint32_t t = app.frame.picked_element_id;
    if (t >= no_id || t >= d.layout.triangle_count) return;
    const TriangleRun run = pick_highlight_run(*item.mesh, app.bars.llmi_pick_key, t);
    if (run.count == 0) return;
    set_lighting(app, false);
    set_sstz(0.0f);
    set_tint(0.5f / 255, 0.5f / 255, 0.5f / 255, 1.0f / 255);
    if (app.render_flags.smooth_shading || !d.layout.triangle_run) {
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * run.count), GL_UNSIGNED_INT, byte_offset(12 * run.first));
    } else {
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(d.layout.vertex_count + 3 * run.first),
                     static_cast<GLsizei>(3 * run.count));
    }
}

void draw_item(SceneView& view, int pass, const Item& item, const EntityRecord* entity) {
    AppContext& app = *view.app;
    const RenderFlags& f = app.render_flags;
    InteropMesh& mesh = *item.mesh;
    // Flat shading and the triangle ids of picking draw the triangle run.
    if (!prepare_mesh_buffers(mesh, item.in_range && (view.picking || !f.smooth_shading))) return;
    const MeshDraw d = mesh_draw(mesh);
    set_mode(3);
    set_sstz(0.0f);
    set_tint(1, 1, 1, 1);
    if (pass == PASS_SURFACES && !f.light_unlit) {
        glUniform1f(program().idpmn, f.glsl_brighten ? 0.5f : 0.1f);
        glUniform1i(program().issci, item.in_range ? f.glsl_negative : 0);
        glUniform1i(program().ixray, item.in_range ? f.glsl_x_ray : 0);
        if (f.glsl_x_ray && item.index == -1) glDisable(GL_DEPTH_TEST);
        if (f.glsl_x_ray && item.alpha_grid) glEnable(GL_DEPTH_TEST);
    }
    set_item_transform(app, item, entity);
    const bool surface = f.show_surface && mesh.present;

    switch (pass) {
        case PASS_ENTITY_IDS:
            if (item.index >= -1 && item.in_range && surface) {
                const std::array<float, 4> id = entity_id_colour(item.index);
                set_mode(6);
                set_c2id(id[0], id[1], id[2], id[3]);
                glDrawElements(GL_TRIANGLES, d.indices, GL_UNSIGNED_INT, nullptr);
            }
            break;
        case PASS_TRIANGLE_IDS:
            if (item.index >= 0 && item.in_range && surface && d.layout.triangle_run) {
                set_mode(5);
                set_c2id(1.0f / 255, 1.0f / 255, 1.0f / 255, 1.0f / 255);
                glDrawArrays(GL_TRIANGLES, d.vertices, d.indices);
            }
            break;
        case PASS_LINES: {
            if (item.index == -4 && f.show_grids) {
                set_mode(6);
                set_sstz(depth_nudge);
                set_c2id(0.5f, 0.5f, 0.5f, 0.5f);
                draw_edges(d, d.layout.group_edge_offset, d.layout.group_edge_count);
            }
            if (!item.in_range || !mesh.present) break;
            auto colour_lines = [&](bool mono, int32_t tone) {
                if (mono) {
                    const float t = static_cast<float>(tone) * 0.125f;
                    set_mode(6);
                    set_c2id(t, t, t, 1.0f);
                } else {
                    set_mode(4);
                    set_tint(0.5f / 255, 0.5f / 255, 0.5f / 255, 1.0f);
                }
                set_sstz(depth_nudge);
            };
            if (f.show_polygon_edges || f.show_triangle_edges || f.show_gouraud_edges) {
                colour_lines(f.mono_edges, app.tones.mono_edge_tone);
                if (f.show_polygon_edges || f.show_triangle_edges) {
                    draw_edges(d, d.layout.polygon_edge_offset, d.layout.polygon_edge_count);
                }
                if (f.show_triangle_edges) draw_edges(d, d.layout.triangle_edge_offset, d.layout.triangle_edge_count);
                draw_edges(d, d.layout.group_edge_offset, d.layout.group_edge_count);
            }
            if (f.show_points) {
                colour_lines(f.mono_dots, app.tones.mono_dot_tone);
                glDrawArrays(GL_POINTS, 0, d.vertices);
            }
            if (f.show_bounds) {
                set_mode(6);
                set_c2id(0.25f, 0.5f, 0.75f, 1.0f);
                glDrawArrays(GL_LINES, static_cast<GLint>(d.layout.box_first),
                             static_cast<GLsizei>(bounding_box_vertices));
            }
            break;
        }
        case PASS_SURFACES: {
            if (view.picking && item.index >= 0 && item.in_range &&
                static_cast<uint32_t>(item.index) == app.frame.picked_entity_id) {
                draw_pick_highlight(app, item, d);
            }
            set_lighting(app, item.in_range && f.glsl_x_ray);
            set_sstz(0.0f);
            set_tint(1.0f / 255, 1.0f / 255, 1.0f / 255, item.alpha_grid ? 0.125f / 255 : 1.0f / 255);
            if (item.in_range) {
                if (surface) {
                    const bool reduced = use_surface_program(view.draft ? one_colour_of(mesh) : nullptr);
                    draw_surface(d, f.smooth_shading);
                    if (reduced) glUseProgram(program().id);
                }
            } else if ((item.index == -3 && f.show_axes) || (item.index == -2 && f.show_rings) ||
                       (item.alpha_grid && f.show_grids)) {
                glDrawElements(GL_TRIANGLES, d.indices, GL_UNSIGNED_INT, nullptr);
            }
            break;
        }
        default: break;
    }
}

InteropMesh* startup_world_mesh(const AppContext& app, size_t k) {
    const std::vector<InteropMesh*>& meshes = app.startup.startup_meshes;
    return k < meshes.size() ? meshes[k] : nullptr;
}

void draw_pass(SceneView& view, int pass) {
    AppContext& app = *view.app;
    EntitySet* set = app.entities.current_entities;
    if (!set) return;
    if (set->dirty) build_flat_entity_table(*set);
    const std::vector<EntityRecord*>& table = set->flat_table;
    const int32_t n = static_cast<int32_t>(std::min<size_t>(table.size(), INT32_MAX - 1));
    const int32_t last = app.bars.alpha_grid ? n : n - 1;
    for (int32_t i = -4; i <= last; ++i) {
        Item item;
        item.index = i;
        item.in_range = i >= -1 && i < n;
        item.alpha_grid = i == n;
        const EntityRecord* entity = nullptr;
        if (i == -4 || item.alpha_grid) {
            item.mesh = startup_world_mesh(app, 0);
        } else if (i == -3 || i == -2) {
            item.mesh = startup_world_mesh(app, static_cast<size_t>(i + 4));
        } else if (i == -1) {
            item.mesh = app.startup.startup_entity_mesh;
        } else {
            entity = table[static_cast<size_t>(i)];
            item.mesh = entity ? entity->mesh : nullptr;
        }
        if (mesh_shown(item.mesh)) draw_item(view, pass, item, entity);
    }
    // X-ray never leaves the depth test off, nor a mirrored entity the
    // front face turned.
    glEnable(GL_DEPTH_TEST);
    glFrontFace(GL_CCW);
}

void bind_frame_vertex_arrays() {
    glBindVertexArray(frame_renderer.vertex_array);
    glBindBuffer(GL_ARRAY_BUFFER, frame_renderer.vertex_buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, frame_renderer.index_buffer);
}

struct CanvasRect {
    int32_t x, y, width, height;
};

CanvasRect canvas_rect(const AppContext& app) {
    return {app.frame.view_rect_x, app.frame.view_rect_y, app.frame.view_rect_width, app.frame.view_rect_height};
}

void draw_silhouette(const AppContext& app, const CanvasRect& r, int32_t window_height) {
    glDisable(GL_DEPTH_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    bind_frame_vertex_arrays();
    set_flat_uniforms(7, 1, 1);
    const float s = static_cast<float>(app.tones.silhouette_tone) * 0.125f;
    set_c2id(s, s, s, 1.0f);
    const RenderTarget& ids = render_targets[7];
    const float tw = static_cast<float>(ids.buffer_width), th = static_cast<float>(ids.buffer_height);
    glUniform2f(program().itexel, 1.0f / tw, 1.0f / th);
    const float u0 = static_cast<float>(r.x) / tw, u1 = static_cast<float>(r.x + r.width) / tw;
    const float v0 = static_cast<float>(window_height - r.y - r.height) / th;
    const float v1 = static_cast<float>(window_height - r.y) / th;
    const OverlayVertex quad[4] = {
        {{-1, -1, 0, 1}, {1, 1, 1, 1}, {0, 0, 1, 1}, {u0, v0, 0, 1}},
        {{-1, 1, 0, 1}, {1, 1, 1, 1}, {0, 0, 1, 1}, {u0, v1, 0, 1}},
        {{1, 1, 0, 1}, {1, 1, 1, 1}, {0, 0, 1, 1}, {u1, v1, 0, 1}},
        {{1, -1, 0, 1}, {1, 1, 1, 1}, {0, 0, 1, 1}, {u1, v0, 0, 1}},
    };
    const uint32_t indices[6] = {0, 2, 1, 0, 3, 2};
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indices, indices, GL_STATIC_DRAW);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, render_targets[7].colour_id);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glEnable(GL_DEPTH_TEST);
}

// Lit entity surfaces into a square of the off-screen target, as the
// thumbnail and the snapshot show them.
void render_offscreen_square(AppContext& app, bool multisampling, int32_t side) {
    bind_target(offscreen_target(multisampling), multisampling);
    glViewport(0, 0, side, side);
    glEnable(GL_DEPTH_TEST);
    clear_to_canvas(app, true);
    ViewMatrices m;
    build_view_matrices(app, live_view_camera(app), true, 1.0, m);
    load_view_matrices(m);
    glUniform1f(program().iw, 1.0f);
    glUniform1f(program().ih, 1.0f);
    set_etm(identity);
    set_wusf(1.0f);
    set_lighting(app, false);
    glUniform1f(program().idpmn, app.render_flags.glsl_brighten ? 0.5f : 0.1f);
    glUniform1i(program().issci, 0);
    glUniform1i(program().ixray, 0);
    set_tint(1.0f / 255, 1.0f / 255, 1.0f / 255, 1.0f / 255);
    draw_entities_vao(app);
    glBindVertexArray(0);
}

void render_thumbnail(AppContext& app, const FrameCaptures& c) {
    BarState& bars = app.bars;
    // A switch or a new environment is about to leave this one: its tab
    // keeps the picture of the environment as it was left.
    if (bars.environment_switching) {
        bars.environment_switching = 0;
        bars.thumbnail_requested = 1;
        bars.thumbnail_delay = 0;
    }
    if (!bars.thumbnail_requested) return;
    if (bars.thumbnail_delay > 0) {
        --bars.thumbnail_delay;
        return;
    }
    bars.thumbnail_requested = 0;
    const Environment* env = app.entities.current_environment;
    const int64_t cell = environment_thumbnail_cell(env ? env->number : 0);
    int32_t x = 0, y = 0;
    if (!strip_cell_origin(cell, x, y)) return;
    render_offscreen_square(app, c.multisampling, 128);
    blit_into_strip_cell(offscreen_target(c.multisampling).framebuffer_id, static_cast<int32_t>(cell));
}

// The entity that declared directive d, found by its serial id in the
// current set; null when it is gone or there is none.
EntityRecord* directive_entity(AppContext& app, int32_t d) {
    const std::vector<int32_t>& ids = app.bars.directive_table.directive_ids;
    EntitySet* set = app.entities.current_entities;
    if (!set || d < 0 || static_cast<size_t>(d) >= ids.size() || ids[static_cast<size_t>(d)] < 0) return nullptr;
    for (EntityRecord& e : set->records) {
        if (e.serial_id == ids[static_cast<size_t>(d)]) return &e;
    }
    return nullptr;
}

void render_directive_thumbnails(AppContext& app, const FrameCaptures& c) {
    BarState& bars = app.bars;
    if (!bars.directive_thumbnail_request || bars.directive_countdown > 0) {
        if (bars.directive_countdown > 0) {
            --bars.directive_countdown;
            if (app.services.redraw_request) app.services.redraw_request();
        }
        return;
    }
    bars.directive_thumbnail_request = 0;
    const CameraDirectiveTable& table = bars.directive_table;
    const Camera& live = app.camera.live_camera;
    const bool smooth = app.render_flags.smooth_shading != 0;
    const int32_t count = std::min<int32_t>(std::max(table.count, 0), 256);
    for (int32_t d = 0; d < count; ++d) {
        const size_t at = 6 * static_cast<size_t>(d);
        if (at + 6 > table.directive_values.size()) break;
        bind_target(offscreen_target(c.multisampling), c.multisampling);
        glViewport(0, 0, 128, 128);
        glEnable(GL_DEPTH_TEST);
        clear_to_canvas(app, false);
        ViewMatrices m;
        float projection[16];
        build_perspective_matrix(projection, live.fov, live.near, live.far, 1.0);
        const double up[3] = {0, 1, 0};
        build_look_at_matrix(m.mv, table.directive_values.data() + at, table.directive_values.data() + at + 3, up);
        multiply_matrices(m.mvp, projection, m.mv);
        load_view_matrices(m);
        glUniform1f(program().iw, 1.0f);
        glUniform1f(program().ih, 1.0f);
        set_etm(identity);
        set_lighting(app, false);
        glUniform1f(program().idpmn, app.render_flags.glsl_brighten ? 0.5f : 0.1f);
        glUniform1i(program().issci, 0);
        glUniform1i(program().ixray, 0);
        set_tint(1.0f / 255, 1.0f / 255, 1.0f / 255, 1.0f / 255);
        if (EntityRecord* e = directive_entity(app, d)) {
            draw_entity_record(e, smooth);
        } else {
            draw_built_mesh(app.startup.startup_entity_mesh, smooth);
        }
        glBindVertexArray(0);
        blit_into_strip_cell(offscreen_target(c.multisampling).framebuffer_id, d);
    }
}

void render_snapshot(AppContext& app, FrameCaptures& c) {
    if (!c.snapshot_requested) return;
    app.capture.snapshot_requested = 0;
    constexpr int32_t side = 512;
    render_offscreen_square(app, c.multisampling, side);
    if (c.multisampling) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, render_targets[0].framebuffer_id);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, render_targets[1].framebuffer_id);
        glBlitFramebuffer(0, 0, side, side, 0, 0, side, side, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, render_targets[1].framebuffer_id);
    std::vector<uint8_t>& pixels = app.capture.snapshot_pixels;
    constexpr size_t row = 4 * side;
    if (pixels.size() < row * side) pixels.resize(row * side);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (int32_t i = 0; i < side / 2; ++i) {
        std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(row * i),
                         pixels.begin() + static_cast<std::ptrdiff_t>(row * (i + 1)),
                         pixels.begin() + static_cast<std::ptrdiff_t>(row * (side - 1 - i)));
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    c.snapshot_taken = true;
}

// The cell count of the frame's views: the viewport's cells while the
// multi-view is on, else one.
int32_t view_count(const AppContext& app) {
    return app.bars.multi_view ? app.multi_view_viewport.cell_count : 1;
}

// The stored camera of cell v; null for a single cell and for the cell the
// live camera drives, which shows the live camera itself.
const double* stored_cell_camera(const AppContext& app, int32_t v) {
    const Viewport& viewport = app.multi_view_viewport;
    const size_t at = static_cast<size_t>(v) * CAMERA_STATE_SIZE;
    if (viewport.cell_count < 2 || v == viewport.current_cell || at + CAMERA_STATE_SIZE > viewport.cell_cameras.size()) {
        return nullptr;
    }
    return viewport.cell_cameras.data() + at;
}

void render_views(AppContext& app, const FrameCaptures& c, bool picking, int32_t width, int32_t height) {
    const int32_t views = view_count(app);
    for (int32_t v = 0; v < views; ++v) {
        ViewCamera cam = live_view_camera(app);
        if (app.bars.multi_view) {
            call_hook(app.hooks.select_subview_rect, app, v);
            if (const double* row = stored_cell_camera(app, v)) cam = cell_view_camera(app, row);
        }
        const CanvasRect r = canvas_rect(app);
        if (r.width <= 0 || r.height <= 0) continue;
        const bool first = v == 0;
        RenderTarget& target = scene_target(c.scene_multisampled);
        bind_target(target, c.scene_multisampled);
        glEnable(GL_DEPTH_TEST);
        if (first) {
            clear_to_canvas(app, false);
        } else {
            glClear(GL_DEPTH_BUFFER_BIT);
        }
        glViewport(r.x, height - r.y - r.height, r.width, r.height);
        bind_frame_vertex_arrays();
        set_flat_uniforms(0, r.width, r.height);
        if (app.io_settings.backdrop_gradient >= 0) {
            draw_backdrop_for(app);
            glClear(GL_DEPTH_BUFFER_BIT);
        }
        glUniform1f(program().iw, 1.0f);
        glUniform1f(program().ih, 1.0f);
        set_mode(2);
        ViewMatrices m;
        build_view_matrices(app, cam, app.render_flags.projection_mode == 1,
                            static_cast<double>(r.width) / static_cast<double>(r.height), m);
        load_view_matrices(m);

        SceneView view{&app, picking, c.draft};
        for (int pass = PASS_ENTITY_IDS; pass <= PASS_SURFACES; ++pass) {
            if (pass == PASS_ENTITY_IDS && !(picking || app.render_flags.glsl_silhouette)) continue;
            if (pass == PASS_TRIANGLE_IDS && !picking) continue;
            if (pass <= PASS_TRIANGLE_IDS) {
                bind_framebuffer(render_targets[pass == PASS_ENTITY_IDS ? 7 : 6].framebuffer_id);
                if (first) {
                    glClearColor(1, 1, 1, 1);
                    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                } else {
                    glClear(GL_DEPTH_BUFFER_BIT);
                }
            } else {
                bind_target(target, c.scene_multisampled);
            }
            draw_pass(view, pass);
        }
        glBindVertexArray(0);
        if (app.render_flags.glsl_silhouette) draw_silhouette(app, r, height);
    }
    // Resolved once here, not on every frame that shows it.
    if (c.scene_multisampled) {
        blit_window_area(render_targets[3].framebuffer_id, render_targets[4].framebuffer_id, width, height);
    }
}

uint32_t read_id(const RenderTarget& target, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (x < 0 || y < 0 || x >= width || y >= height || x >= 2048 || y >= 2048) return no_id;
    uint8_t rgb[3] = {255, 255, 255};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer_id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
}

void read_picked_ids(AppContext& app, int32_t width, int32_t height, int32_t pointer_x, int32_t pointer_y) {
    const int32_t y = height - pointer_y - 1;
    const uint32_t entity = read_id(render_targets[7], pointer_x, y, width, height);
    const uint32_t triangle = read_id(render_targets[6], pointer_x, y, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    bool changed = false;
    if (entity != app.frame.picked_entity_id) {
        app.frame.picked_entity_id = entity;
        changed = true;
    }
    if (triangle != app.frame.picked_element_id) {
        app.frame.picked_element_id = triangle;
        changed = true;
    }
    if (changed) {
        app.frame.needs_redraw = 1;
        update_llmi_labels(app);
    }
}

// Reads the window (at most 2048 x 2048, the targets' size) top row first
// and records the size read, so the saved image matches its buffer.
void read_screenshot(AppContext& app, int32_t width, int32_t height) {
    const int32_t w = std::max(std::min(width, 2048), 0), h = std::max(std::min(height, 2048), 0);
    std::vector<uint8_t>& pixels = app.capture.screenshot_pixels;
    const size_t row = 4 * static_cast<size_t>(w);
    pixels.assign(row * static_cast<size_t>(h), 0);
    app.capture.screenshot_width = w;
    app.capture.screenshot_height = h;
    if (w <= 0 || h <= 0) return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, render_targets[2].framebuffer_id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (int32_t i = 0; i < h / 2; ++i) {
        std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(row * i),
                         pixels.begin() + static_cast<std::ptrdiff_t>(row * (i + 1)),
                         pixels.begin() + static_cast<std::ptrdiff_t>(row * (h - 1 - i)));
    }
    for (size_t k = 3; k < pixels.size(); k += 4) pixels[k] = 255;
}

}  // namespace

std::array<float, 4> entity_id_colour(int32_t item) {
    const uint32_t id = static_cast<uint32_t>(std::max(item, 0));
    return {static_cast<float>((id >> 16) & 255) / 255.0f, static_cast<float>((id >> 8) & 255) / 255.0f,
            static_cast<float>(id & 255) / 255.0f, 1.0f};
}

namespace {

// Fills the bound buffer of `target` with `bytes` bytes that `write` puts
// straight into GL's storage: nothing is zero-filled first and no CPU copy
// stays behind. A buffer that does not map, or whose contents are lost
// before it is unmapped, is written through a temporary copy instead.
template <typename Write>
void upload_written(GLenum target, size_t bytes, Write write) {
    glBufferData(target, static_cast<GLsizeiptr>(bytes), nullptr, GL_STATIC_DRAW);
    if (bytes == 0) return;
    if (void* at = glMapBufferRange(target, 0, static_cast<GLsizeiptr>(bytes),
                                    GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT)) {
        write(static_cast<uint8_t*>(at));
        if (glUnmapBuffer(target) == GL_TRUE) return;
    }
    std::vector<uint8_t> copy(bytes);
    write(copy.data());
    glBufferSubData(target, 0, static_cast<GLsizeiptr>(bytes), copy.data());
}

}  // namespace

bool prepare_mesh_buffers(InteropMesh& mesh, bool triangle_run) {
    // Buffers that hold the triangle run keep it until the mesh is uploaded
    // again, so switching flat shading or picking back off costs nothing.
    if (mesh.colours_dirty || !mesh.vertex_array_id || (triangle_run && !mesh.gl_triangle_run)) {
        mesh.colours_dirty = 0;
        mesh.gl_one_colour_state = 0;
        const MeshUploadLayout l = mesh_upload_layout(mesh, triangle_run);
        if (!mesh.vertex_array_id) {
            glGenVertexArrays(1, &mesh.vertex_array_id);
            glGenBuffers(1, &mesh.vertex_buffer_id);
            glGenBuffers(1, &mesh.index_buffer_id);
            glBindVertexArray(mesh.vertex_array_id);
            glBindBuffer(GL_ARRAY_BUFFER, mesh.vertex_buffer_id);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.index_buffer_id);
            set_mesh_attributes();
        }
        glBindVertexArray(mesh.vertex_array_id);
        glBindBuffer(GL_ARRAY_BUFFER, mesh.vertex_buffer_id);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.index_buffer_id);
        // A recolour or the triangle run changes only the vertex data, unless
        // a corner names no vertex. Index data that stays as it is keeps
        // its buffer, which is then the only copy of the edge lists. It is
        // written first, so the lists are gone before the vertex buffer
        // takes its memory.
        if (!mesh.gl_edges_only) {
            bool fixed = false;
            upload_written(GL_ELEMENT_ARRAY_BUFFER, l.index_bytes,
                           [&](uint8_t* out) { fixed = write_mesh_indices(mesh, l, out); });
            if (fixed) release_uploaded_edges(mesh, {l.triangle_edge_count, l.polygon_edge_count, l.group_edge_count});
        }
        upload_written(GL_ARRAY_BUFFER, l.vertex_bytes, [&](uint8_t* out) { write_mesh_vertices(mesh, l, out); });
        mesh.gl_triangle_run = triangle_run ? 1 : 0;
    }
    glBindVertexArray(mesh.vertex_array_id);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertex_buffer_id);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.index_buffer_id);
    return true;
}

void draw_entities_vao(AppContext& app) {
    const bool smooth = app.render_flags.smooth_shading != 0;
    if (EntitySet* set = app.entities.current_entities) {
        if (set->dirty) build_flat_entity_table(*set);
        const size_t n = std::min(set->records.size(), static_cast<size_t>(std::max(set->count, 0)));
        for (size_t i = 0; i < n; ++i) {
            // A parallel entity draws its sub-element meshes, whatever its own.
            EntityRecord& e = set->records[i];
            if (e.parallel == 1 || (e.mesh && e.mesh->present)) draw_entity_record(&e, smooth);
        }
    }
    draw_built_mesh(app.startup.startup_entity_mesh, smooth);
}

FrameCaptures remember_frame_captures(const AppContext& app) {
    FrameCaptures c;
    c.snapshot_requested = app.capture.snapshot_requested != 0;
    c.screenshot = app.capture.capture_options;
    c.multisampling = app.io_settings.anti_aliasing != 0;
    c.draft = app.frame.camera_moving || app.frame.opened_mesh_draft;
    c.scene_multisampled = c.multisampling && !c.draft;
    return c;
}

void render_scene(AppContext& app, FrameCaptures& captures, int32_t width, int32_t height, int32_t pointer_x,
                  int32_t pointer_y) {
    glEnable(GL_DEPTH_TEST);
    render_thumbnail(app, captures);
    render_directive_thumbnails(app, captures);
    render_snapshot(app, captures);

    const bool redraw = app.frame.needs_redraw != 0;
    app.frame.needs_redraw = 0;
    const bool picking = picking_enabled(app);
    if (redraw && view_count(app) >= 1) render_views(app, captures, picking, width, height);
    if (picking) read_picked_ids(app, width, height, pointer_x, pointer_y);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glEnable(GL_DEPTH_TEST);
}

bool frame_shows_canvas(const FrameCaptures& c) { return !(c.screenshot[0] && !c.screenshot[1]); }

void capture_canvas_screenshot(AppContext& app, FrameCaptures& c, int32_t width, int32_t height) {
    if (!c.screenshot[0] || !c.screenshot[1] || c.screenshot[2]) return;
    read_screenshot(app, width, height);
    app.capture.capture_options[0] = 0;
    c.screenshot_taken = true;
    glBindFramebuffer(GL_FRAMEBUFFER, render_targets[2].framebuffer_id);
}

void capture_interface_screenshot(AppContext& app, FrameCaptures& c, int32_t width, int32_t height) {
    if (!c.screenshot[0] || !c.screenshot[2]) return;
    app.capture.capture_options[0] = 0;
    read_screenshot(app, width, height);
    blit_window_area(render_targets[2].framebuffer_id, render_targets[1].framebuffer_id, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, render_targets[2].framebuffer_id);
    c.screenshot_taken = true;
    if (!c.screenshot[1] && app.services.redraw_request) app.services.redraw_request();
}

namespace {

// One centred quad 256 pixels tall showing target 1 at `size`'s aspect.
void draw_preview(const std::array<int32_t, 2>& size) {
    if (size[0] <= 0 || size[1] <= 0) return;
    const RenderTarget& t = render_targets[1];
    const float sx = 256.0f * static_cast<float>(size[0]) / static_cast<float>(size[1]);
    const float u = static_cast<float>(size[0]) / static_cast<float>(t.buffer_width);
    const float v = static_cast<float>(size[1]) / static_cast<float>(t.buffer_height);
    const OverlayVertex quad[4] = {
        {{-sx, -256, 0, 1}, {1, 1, 1, 1}, {0, 0, 1, 1}, {0, 0, 0, 1}},
        {{-sx, 256, 0, 1}, {1, 1, 1, 1}, {0, 0, 1, 1}, {0, v, 0, 1}},
        {{sx, 256, 0, 1}, {1, 1, 1, 1}, {0, 0, 1, 1}, {u, v, 0, 1}},
        {{sx, -256, 0, 1}, {1, 1, 1, 1}, {0, 0, 1, 1}, {u, 0, 0, 1}},
    };
    const uint32_t indices[6] = {0, 2, 1, 0, 3, 2};
    glDisable(GL_DEPTH_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indices, indices, GL_STATIC_DRAW);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, render_targets[1].colour_id);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glEnable(GL_DEPTH_TEST);
}

}  // namespace

void draw_capture_previews(AppContext& app, int32_t width, int32_t height) {
    const CaptureSettings& c = app.capture;
    if (c.preview_suppressed || (!c.screenshot_preview && !c.snapshot_preview)) return;
    glBindFramebuffer(GL_FRAMEBUFFER, render_targets[2].framebuffer_id);
    bind_frame_vertex_arrays();
    set_flat_uniforms(1, width, height);
    if (c.screenshot_preview) draw_preview(c.screenshot_preview_size);
    if (c.snapshot_preview) draw_preview(c.snapshot_preview_size);
}

void complete_frame_captures(AppContext& app, const FrameCaptures& c) {
    if (c.snapshot_taken && app.capture.snapshot_callback) {
        ActionCallback done = app.capture.snapshot_callback;
        app.capture.snapshot_callback = nullptr;
        done();
    }
    if (c.screenshot_taken && app.capture.screenshot_callback) {
        ActionCallback done = app.capture.screenshot_callback;
        app.capture.screenshot_callback = nullptr;
        done();
    }
}

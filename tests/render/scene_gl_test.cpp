#define GL_GLEXT_PROTOTYPES
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "model/camera.h"
#include "platform/platform_state.h"
#include "render/colour_by.h"
#include "render/frame_renderer.h"
#include "platform/gl_state.h"
#include "render/render_targets.h"
#include "render/scene_actions.h"
#include "render/scene_renderer.h"
#include "render/status_line.h"
#include "support/baseline_compare.h"
#include "support/app_fixture.h"
#include "harness/glx_context.h"

namespace {

using Pixel = std::array<int, 4>;

Pixel read_pixel(uint32_t framebuffer, int x, int y) {
    uint8_t p[4] = {0, 0, 0, 0};
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return {p[0], p[1], p[2], p[3]};
}

::testing::AssertionResult rgb_is(const Pixel& p, int r, int g, int b, int tolerance = 0) {
    if (std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << p[0] << ", " << p[1] << ", " << p[2];
}

constexpr int W = 720, H = 480;
const double canvas[4] = {0.25, 0.5, 0.75, 1.0};

// Opaque grey display colours, marked for upload.
void set_grey(InteropMesh& m, uint8_t grey) {
    for (size_t k = 0; k < m.display_colours.size(); ++k) m.display_colours[k] = k % 4 == 3 ? 255 : grey;
    m.colours_dirty = 1;
}

// Four unit-high quads side by side in the view plane, each split into two
// triangles: the lower-right half of quad q is triangle 2q, the upper-left
// 2q + 1. Polygon q per quad; groups 5, 5, 6, 6; operands 1, 1, 1, 2; user
// types 0, 3, 3, 3.
InteropMesh* make_strip_mesh(uint8_t grey) {
    InteropMesh* m = new InteropMesh();
    m->dimension = 3;
    m->present = 1;
    for (int row = 0; row < 2; ++row) {
        for (int c = 0; c < 5; ++c) m->positions.insert(m->positions.end(), {-1.2 + 0.6 * c, row ? 0.5 : -0.5, 0.0});
    }
    for (int v = 0; v < 10; ++v) {
        m->triangle_normals.insert(m->triangle_normals.end(), {0.0, 0.0, 1.0});
        m->colours.insert(m->colours.end(), {grey / 255.0, grey / 255.0, grey / 255.0, 1.0});
    }
    m->display_colours.assign(40, 0);
    set_grey(*m, grey);
    m->polygons = {4, 4, 4, 4, 4};
    for (uint32_t q = 0; q < 4; ++q) {
        m->polygons.insert(m->polygons.end(), {q, q + 1, q + 6, q + 5});
        m->triangles.insert(m->triangles.end(), {q, q + 1, q + 6, q, q + 6, q + 5});
        m->triangle_polygons.insert(m->triangle_polygons.end(), {q, q});
    }
    m->group_ids = {5, 5, 6, 6};
    m->operand_ids = {1, 1, 1, 2};
    m->user_type_ids = {0, 3, 3, 3};
    m->polygon_edges = {0, 1, 1, 2, 2, 3, 3, 4, 5, 6, 6, 7, 7, 8, 8, 9};
    m->bounds = {-1.2, -0.5, 0, 1.2, 0.5, 0, 0, 0, 0, 0, 0, 0, 2.4, 1.0, 0};
    m->colours_dirty = 1;
    return m;
}

// Window pixel (x from the left, y from the top) of a view-plane point with
// the orthographic camera below.
int pixel_x(double x) { return static_cast<int>(360 + 240 * x); }
int pixel_y(double y) { return static_cast<int>(240 - 240 * y); }
// Read-back row of a window row counted from the top.
int gl_row(int y_from_top) { return H - 1 - y_from_top; }

// Centres of the two triangles of quad q.
std::array<int, 2> lower_right(int q) { return {pixel_x(-0.9 + 0.6 * q + 0.15), pixel_y(-0.25)}; }
std::array<int, 2> upper_left(int q) { return {pixel_x(-0.9 + 0.6 * q - 0.15), pixel_y(0.25)}; }

class SceneGl : public AppFixture {
protected:
    static inline GlxContext* gl = nullptr;
    std::vector<InteropMesh*> meshes;

    static void SetUpTestSuite() {
        gl = new GlxContext;
        if (!gl->open()) return;
        init_gl_state();
    }
    static void TearDownTestSuite() { delete gl, gl = nullptr; }

    void SetUp() override {
        ASSERT_TRUE(gl && gl->context) << "no GL context (needs an X display)";
        platform_state.canvas_width = W;
        platform_state.canvas_height = H;
        make_new_environment_current(*app);
        AppContext& a = *app;
        a.frame.canvas_colour = canvas;
        a.frame.view_rect_x = a.frame.view_rect_y = 0;
        a.frame.view_rect_width = W, a.frame.view_rect_height = H;
        a.io_settings.anti_aliasing = a.bars.multi_view = a.bars.thumbnail_requested = 0;
        a.render_flags.light_unlit = 1;
        a.render_flags.projection_mode = 0;
        a.camera.camera_controller = 1;
        a.camera.live_camera.eye = {0, 0, 5};
        a.camera.live_camera.look_at = {0, 0, 0};
        a.camera.live_camera.up = {0, 1, 0};
    }
    void TearDown() override {
        app.reset();
        for (InteropMesh* m : meshes) free_interop_mesh(m);
    }

    // Appends an entity drawing `mesh` (null for none) to the current set.
    void add_entity(InteropMesh* mesh) {
        EntitySet& set = *app->entities.current_entities;
        EntityRecord e = entity_construct();
        if (mesh) entity_attach_mesh(e, mesh);
        set.records.push_back(e);
        set.count = static_cast<int32_t>(set.records.size());
        set.dirty = 1;
        if (mesh) meshes.push_back(mesh);
    }

    void frame(bool redraw = true) {
        if (redraw) app->frame.needs_redraw = 1;
        render_frame(app.get(), app.get());
    }

    Pixel scene_pixel(int x, int y_from_top) { return read_pixel(render_targets[4].framebuffer_id, x, gl_row(y_from_top)); }
};

}  // namespace

TEST_F(SceneGl, ColoursLightingRedrawsHidingAndDepthTest) {
    add_entity(make_strip_mesh(200));
    app->render_flags.glsl_x_ray = 1;
    frame();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));  // x-ray leaves it on
    app->render_flags.glsl_x_ray = 0;
    frame();
    const std::array<int, 2> p = lower_right(1);
    EXPECT_TRUE(rgb_is(scene_pixel(p[0], p[1]), 200, 200, 200));
    EXPECT_TRUE(rgb_is(scene_pixel(10, 10), 63, 127, 191, 1));  // canvas
    // Without a redraw request the scene stays as it was.
    set_grey(*meshes[0], 64);
    frame(false);
    EXPECT_TRUE(rgb_is(scene_pixel(p[0], p[1]), 200, 200, 200));
    // A hidden entity draws nothing.
    EntityRecord& e = app->entities.current_entities->records[0];
    e.visible = 0, e.mesh->visible = 0;
    frame();
    EXPECT_TRUE(rgb_is(scene_pixel(p[0], p[1]), 63, 127, 191, 1));
    e.visible = 1, e.mesh->visible = 1;
    // Headlight along the normal with ambient, diffuse and specular terms:
    // 64 x (0.125 + 1 + 0.5) is about 104.
    app->render_flags.light_unlit = 0;
    frame();
    EXPECT_TRUE(rgb_is(scene_pixel(p[0], p[1]), 104, 104, 104, 4));
}

TEST_F(SceneGl, PickingNamesAndHighlightsByMode) {
    // Entity 299: past the blue channel of the id colour.
    for (int i = 0; i < 299; ++i) add_entity(nullptr);
    add_entity(make_strip_mesh(200));
    const std::array<int, 2> pointer = upper_left(1);  // triangle 3, polygon 1
    // The view's element as the builder hangs it: the hint bar shows the
    // tool-tip of whatever element the pointer moves over.
    app->width = W, app->height = H;
    app->children = {&app->CONTENTPANE};
    app->CONTENTPANE.children = {&app->canvas_pick_area};
    for (Element* e : {static_cast<Element*>(&app->CONTENTPANE), &app->canvas_pick_area}) e->width = W, e->height = H;
    const auto tip_under_pointer = [&]() -> const char* {
        tooltip_element = nullptr;
        app->dispatch_motion(pointer[0], pointer[1], 0);
        return tooltip_element ? tooltip_element->tooltip_text : nullptr;
    };
    struct Case {
        char key;
        std::vector<int> highlighted;  // triangles drawn at half brightness
        const char* label;
    } cases[] = {
        {'T', {3}, "triangle : 3"},
        {'P', {2, 3}, "polygon : 1"},
        {'G', {0, 1, 2, 3}, "group : 5"},
        {'O', {0, 1, 2, 3, 4, 5}, "operand : 1"},
        {'U', {2, 3, 4, 5, 6, 7}, "\"\" | 3"},
        {'E', {0, 1, 2, 3, 4, 5, 6, 7}, "index : 299"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        app->bars.llmi_pick_key = c.key;
        app->frame.picked_entity_id = app->frame.picked_element_id = 0xFFFFFFFFu;
        platform_state.pointer_x = pointer[0], platform_state.pointer_y = pointer[1];
        frame();  // draws the ids and reads them back
        EXPECT_EQ(app->frame.picked_entity_id, 299u);
        EXPECT_EQ(app->frame.picked_element_id, 3u);
        const char* tip = tip_under_pointer();
        ASSERT_NE(tip, nullptr);
        EXPECT_STREQ(tip, c.label);
        EXPECT_EQ(app->frame.needs_redraw, 1);
        frame(false);  // the changed pick asked for this redraw
        for (int t = 0; t < 8; ++t) {
            const std::array<int, 2> at = t % 2 ? upper_left(t / 2) : lower_right(t / 2);
            const bool lit = std::find(c.highlighted.begin(), c.highlighted.end(), t) != c.highlighted.end();
            EXPECT_TRUE(rgb_is(scene_pixel(at[0], at[1]), lit ? 100 : 200, lit ? 100 : 200, lit ? 100 : 200, 1))
                << "triangle " << t;
        }
    }
    // The background clears the labels.
    platform_state.pointer_x = 5, platform_state.pointer_y = 5;
    frame();
    EXPECT_EQ(app->frame.picked_element_id, 0xFFFFFFu);
    EXPECT_EQ(tip_under_pointer(), nullptr);
}

TEST_F(SceneGl, PickingAndFlatShadingAfterTheDefaultView) {
    // The box's top edge runs across the strip through the middle of a
    // pixel row.
    InteropMesh* m = make_strip_mesh(200);
    const double top = 0.25 + 0.5 / 240;
    m->bounds = {-0.6, -top, 0, 0.6, top, 0, 0, 0, 0, 0, 0, 0, 1.2, 2 * top, 0};
    add_entity(m);
    app->render_flags.show_bounds = 1;
    auto box_drawn = [&](int grey = 200) {
        const bool on_edge = rgb_is(scene_pixel(pixel_x(0.1), pixel_y(top)), 63, 127, 191, 1);
        const bool off_edge = rgb_is(scene_pixel(pixel_x(0.1), pixel_y(top) - 6), grey, grey, grey);
        return on_edge && off_edge;
    };
    frame();  // the default view: smooth, nothing picked
    EXPECT_TRUE(box_drawn());

    // Picking draws the triangle ids, then flat shading its highlight.
    const std::array<int, 2> pointer = upper_left(1);  // triangle 3
    app->bars.llmi_pick_key = 'T';
    platform_state.pointer_x = pointer[0], platform_state.pointer_y = pointer[1];
    frame();
    EXPECT_EQ(app->frame.picked_element_id, 3u);
    app->render_flags.smooth_shading = 0;
    frame();
    EXPECT_TRUE(rgb_is(scene_pixel(pointer[0], pointer[1]), 100, 100, 100, 1));
    const std::array<int, 2> other = lower_right(3);  // triangle 6, clear of the box
    EXPECT_TRUE(rgb_is(scene_pixel(other[0], other[1]), 200, 200, 200));
    EXPECT_TRUE(box_drawn());

    // A recolour uploads again; flat shading alone keeps what it draws.
    app->bars.llmi_pick_key = '!';
    set_grey(*m, 120);
    frame();
    EXPECT_TRUE(rgb_is(scene_pixel(pointer[0], pointer[1]), 120, 120, 120));
    EXPECT_TRUE(box_drawn(120));
}

// Mirrored in x, the strip is drawn, picked and highlighted as its mirror
// image, not culled away: over quad 0's upper triangle lies quad 3's.
TEST_F(SceneGl, AMirroredEntityIsDrawnAndPickedAsItsMirrorImage) {
    add_entity(make_strip_mesh(200));
    app->entities.current_entities->records[0].axis_scale = {-1, 1, 1};
    build_entity_transform_matrix(app->entities.current_entities->records[0]);
    app->bars.llmi_pick_key = 'T';
    platform_state.pointer_x = pixel_x(-0.75), platform_state.pointer_y = pixel_y(0.4);
    frame();
    EXPECT_EQ(app->frame.picked_element_id, 7u);
    frame(false);
    EXPECT_TRUE(rgb_is(scene_pixel(pixel_x(-0.75), pixel_y(0.4)), 100, 100, 100, 1));
    EXPECT_TRUE(rgb_is(scene_pixel(pixel_x(-0.75), pixel_y(-0.4)), 200, 200, 200));
}

TEST_F(SceneGl, EdgesStayDrawnFromTheirBufferThroughRecoloursAndFlatShading) {
    app->render_flags.show_polygon_edges = 1;
    app->render_flags.mono_edges = 1;
    app->tones.mono_edge_tone = 8;  // white
    // Second: a mesh with a corner naming no vertex, whose index data
    // changes with the triangle run and so keeps its edge lists.
    for (const bool broken : {false, true}) {
        SCOPED_TRACE(broken ? "corner naming no vertex" : "sound mesh");
        if (broken) {
            EntityRecord& first = app->entities.current_entities->records[0];
            first.visible = 0, first.mesh->visible = 0;
        }
        // Vertical edges through the middle of a pixel column.
        InteropMesh* m = make_strip_mesh(200);
        for (size_t k = 0; k < m->positions.size(); k += 3) m->positions[k] += 0.5 / 240;
        m->polygon_edges = {1, 6, 3, 8};
        if (broken) m->triangles.insert(m->triangles.end(), {0, 1, 99});
        add_entity(m);
        const int edge = pixel_x(-0.6), row = pixel_y(0.1), off_edge = edge + 20;
        app->render_flags.smooth_shading = 1;
        frame();
        EXPECT_TRUE(rgb_is(scene_pixel(edge, row), 255, 255, 255));
        EXPECT_TRUE(rgb_is(scene_pixel(pixel_x(0.6), row), 255, 255, 255));
        EXPECT_TRUE(rgb_is(scene_pixel(off_edge, row), 200, 200, 200));
        EXPECT_EQ(m->polygon_edges.empty(), !broken);
        // Both upload the vertex data again.
        set_grey(*m, 120);
        frame();
        EXPECT_TRUE(rgb_is(scene_pixel(edge, row), 255, 255, 255));
        EXPECT_TRUE(rgb_is(scene_pixel(off_edge, row), 120, 120, 120));
        app->render_flags.smooth_shading = 0;
        frame();
        EXPECT_TRUE(rgb_is(scene_pixel(edge, row), 255, 255, 255));
        EXPECT_TRUE(rgb_is(scene_pixel(pixel_x(0.6), row), 255, 255, 255));
        EXPECT_TRUE(rgb_is(scene_pixel(off_edge, row), 120, 120, 120));
    }
}

TEST_F(SceneGl, SilhouetteWithoutInspectorSkipsTriangleIds) {
    add_entity(nullptr);
    add_entity(make_strip_mesh(200));
    frame();  // targets exist from here
    bind_framebuffer(render_targets[6].framebuffer_id);
    glClearColor(9 / 255.0f, 9 / 255.0f, 9 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    app->render_flags.glsl_silhouette = 1;
    app->tones.silhouette_tone = 8;
    frame();
    const std::array<int, 2> p = lower_right(1);
    EXPECT_TRUE(rgb_is(read_pixel(render_targets[6].framebuffer_id, p[0], gl_row(p[1])), 9, 9, 9));
    EXPECT_TRUE(rgb_is(read_pixel(render_targets[7].framebuffer_id, p[0], gl_row(p[1])), 0, 0, 1));
    // The outline lies on the object side of the mesh's left edge, in white.
    EXPECT_TRUE(rgb_is(scene_pixel(pixel_x(-1.2), pixel_y(0.0)), 255, 255, 255, 1));
    EXPECT_TRUE(rgb_is(scene_pixel(pixel_x(-1.2) + 1, pixel_y(0.0)), 200, 200, 200));
    EXPECT_TRUE(rgb_is(scene_pixel(pixel_x(-1.2) - 2, pixel_y(0.0)), 63, 127, 191, 1));
}

namespace {
int callbacks_run = 0;
void count_callback() { ++callbacks_run; }
}  // namespace

TEST_F(SceneGl, SnapshotIsTopRowFirst) {
    // The strip moved into the upper half of the view.
    InteropMesh* m = make_strip_mesh(200);
    for (size_t k = 1; k < m->positions.size(); k += 3) m->positions[k] += 1.0;
    add_entity(m);
    Camera& c = app->camera.live_camera;
    c.eye = {0, 0, 3};
    frame();  // the snapshot draws only meshes whose buffers exist
    callbacks_run = 0;
    app->capture.snapshot_requested = 1;
    app->capture.snapshot_callback = count_callback;
    frame();
    EXPECT_EQ(callbacks_run, 1);
    const std::vector<uint8_t>& px = app->capture.snapshot_pixels;
    ASSERT_GE(px.size(), 512u * 512u * 4u);
    auto at = [&](int x, int y) { return Pixel{px[4 * (512 * y + x)], px[4 * (512 * y + x) + 1], px[4 * (512 * y + x) + 2], 0}; };
    EXPECT_TRUE(rgb_is(at(256, 108), 200, 200, 200));
    EXPECT_TRUE(rgb_is(at(256, 330), 63, 127, 191, 1));
    frame();
    EXPECT_EQ(callbacks_run, 1);
}

TEST_F(SceneGl, ScreenshotsWithAndWithoutCanvasAndInterface) {
    add_entity(make_strip_mesh(200));
    const std::array<int, 2> p = lower_right(1);
    auto shot = [&](uint8_t canvas_on, uint8_t interface_on) {
        callbacks_run = 0;
        app->capture.capture_options = {1, canvas_on, interface_on};
        app->capture.screenshot_callback = count_callback;
        frame();
        EXPECT_EQ(callbacks_run, 1);
        EXPECT_EQ(app->capture.capture_options[0], 0);
        const std::vector<uint8_t>& px = app->capture.screenshot_pixels;
        EXPECT_EQ(px.size(), static_cast<size_t>(W * H * 4));
        const size_t k = 4 * (static_cast<size_t>(W) * p[1] + p[0]);
        return Pixel{px[k], px[k + 1], px[k + 2], px[k + 3]};
    };
    Pixel with_canvas = shot(1, 0);
    EXPECT_TRUE(rgb_is(with_canvas, 200, 200, 200));
    EXPECT_EQ(with_canvas[3], 255);
    EXPECT_TRUE(rgb_is(shot(1, 1), 200, 200, 200));
    EXPECT_TRUE(rgb_is(shot(0, 1), 0, 0, 0));

    // The preview shows the kept screenshot (target 1) over the interface,
    // whatever the scene shows now.
    shot(1, 1);
    set_grey(*meshes[0], 30);
    app->capture.screenshot_preview = 1;
    frame();
    const uint32_t final_frame = render_targets[2].framebuffer_id;
    EXPECT_TRUE(rgb_is(read_pixel(final_frame, W / 2, H / 2), 200, 200, 200));
    app->capture.preview_suppressed = 1;
    frame();
    EXPECT_TRUE(rgb_is(read_pixel(final_frame, W / 2, H / 2), 30, 30, 30));
}

TEST_F(SceneGl, TwoCellsTwoViews) {
    add_entity(make_strip_mesh(200));
    app->bars.multi_view = 1;
    Viewport& v = app->multi_view_viewport;
    v.cell_count = 2;
    v.current_cell = 0;
    // Cell 0 shows the live camera; cell 1 its stored free-roam camera,
    // which looks away from the strip.
    v.cell_cameras.assign(2 * CAMERA_STATE_SIZE, 0.0);
    double* row = v.cell_cameras.data() + CAMERA_STATE_SIZE + 6;
    for (double value : {50.0, 1.0, 3.0, 50.0, 0.0, -1.0}) *row++ = value;
    app->hooks.select_subview_rect = [](AppContext& a, int32_t cell) {
        a.frame.view_rect_x = cell * W / 2;
        a.frame.view_rect_width = W / 2;
    };
    frame();
    // The strip (x -1.2 .. 1.2) fills the half-wide left view (aspect 0.75).
    EXPECT_TRUE(rgb_is(scene_pixel(10, H / 2 + 30), 200, 200, 200));
    EXPECT_TRUE(rgb_is(scene_pixel(W / 2 - 10, H / 2 + 30), 200, 200, 200));
    EXPECT_TRUE(rgb_is(scene_pixel(3 * W / 4, H / 2 + 30), 63, 127, 191, 1));
}

// Pixels of a screenshot (with the canvas, without the interface) that are
// neither the canvas nor the strip's grey 200: the blended edge pixels.
int mixed_pixels(const std::vector<uint8_t>& rgba) {
    int n = 0;
    for (size_t k = 0; k + 3 < rgba.size(); k += 4) {
        const Pixel p{rgba[k], rgba[k + 1], rgba[k + 2], rgba[k + 3]};
        if (!rgb_is(p, 63, 127, 191, 1) && !rgb_is(p, 200, 200, 200)) ++n;
    }
    return n;
}

// The same for the frame right after an open, which shows the new mesh at
// once, single-sampled, until the next tick asks for the still frame.
TEST_F(SceneGl, AMovingCameraOrAFreshOpenDrawsSingleSampledAndTheStillFrameIsUnchanged) {
    add_entity(make_strip_mesh(200));
    AppContext& a = *app;
    a.io_settings.anti_aliasing = 1;
    a.camera.live_camera.up = {0.3, 1, 0};  // a tilted view: slanted edges
    auto grab = [&](bool redraw) {
        a.capture.capture_options = {1, 1, 0};
        frame(redraw);
        return a.capture.screenshot_pixels;
    };
    const std::vector<uint8_t> still = grab(true);
    ASSERT_EQ(still.size(), size_t{4} * W * H);
    EXPECT_GT(mixed_pixels(still), 200);
    for (uint8_t* mark : {&a.frame.camera_moving, &a.frame.opened_mesh_draft}) {
        // Hard edges, the same shape.
        *mark = 1;
        const std::vector<uint8_t> draft = grab(true);
        EXPECT_EQ(mixed_pixels(draft), 0);
        EXPECT_TRUE(draft != still);
        const std::array<int, 2> p = lower_right(1);
        const size_t at = 4 * (size_t(p[1]) * W + size_t(p[0]));
        EXPECT_EQ(draft[at], 200);
        // Still again: the same picture as before, and frames without a
        // redraw keep showing it.
        *mark = 0;
        EXPECT_EQ(grab(true), still);
        EXPECT_EQ(grab(false), still);
        EXPECT_EQ(grab(false), still);
    }
}

// While the camera moves, a mesh of one colour is lit from a colour uniform
// instead of its vertices. Single-sampled, the moving frame must show what
// the still one does: one colour, two, a corner naming no vertex (drawn
// from a zeroed vertex), and a recolour after a moving frame.
TEST_F(SceneGl, AMovingCameraShowsTheColoursOfTheVerticesAsTheStillFrameDoes) {
    add_entity(make_strip_mesh(200));
    AppContext& a = *app;
    InteropMesh& m = *meshes[0];
    a.render_flags.light_unlit = 0;
    auto grab = [&](bool moving) {
        a.frame.camera_moving = moving ? 1 : 0;
        a.capture.capture_options = {1, 1, 0};
        frame();
        a.frame.camera_moving = 0;
        return a.capture.screenshot_pixels;
    };
    auto differing = [](const std::vector<uint8_t>& x, const std::vector<uint8_t>& y) {
        int n = 0;
        for (size_t k = 0; k + 3 < x.size() && k + 3 < y.size(); k += 4) n += std::memcmp(&x[k], &y[k], 4) != 0;
        return n;
    };
    auto pixel = [](const std::vector<uint8_t>& rgba, std::array<int, 2> p) {
        const size_t at = 4 * (size_t(p[1]) * W + size_t(p[0]));
        return Pixel{rgba[at], rgba[at + 1], rgba[at + 2], rgba[at + 3]};
    };
    const std::array<int, 2> lower = lower_right(1), upper = upper_left(1);
    std::vector<uint8_t> still = grab(false);
    ASSERT_EQ(still.size(), size_t{4} * W * H);
    EXPECT_EQ(differing(grab(true), still), 0);
    EXPECT_EQ(pixel(still, lower), pixel(still, upper));  // one colour, evenly lit

    for (size_t k = 0; k < 20; ++k) m.display_colours[k] = k % 4 == 3 ? 255 : 40;  // the lower row darker
    m.colours_dirty = 1;
    still = grab(false);
    EXPECT_NE(pixel(still, lower), pixel(still, upper));
    EXPECT_EQ(differing(grab(true), still), 0);

    set_grey(m, 120);
    m.triangles[2] = 99;  // one corner of triangle 0 names no vertex
    still = grab(false);
    EXPECT_EQ(differing(grab(true), still), 0);

    m.triangles[2] = 6;
    m.colours_dirty = 1;
    const std::vector<uint8_t> grey = grab(true);
    set_grey(m, 64);  // recoloured after a moving frame
    still = grab(false);
    EXPECT_NE(pixel(still, lower), pixel(grey, lower));
    EXPECT_EQ(differing(grab(true), still), 0);
}

namespace {

// Triangles first .. first + count - 1 of one fixed sequence of small
// triangles scattered over the view plane, each its own grey: they overlap
// at one depth, so which is drawn first decides every pixel they share.
InteropMesh* make_soup_mesh(uint32_t first, uint32_t count) {
    InteropMesh* m = new InteropMesh();
    m->dimension = 3;
    m->present = 1;
    for (uint32_t t = first; t < first + count; ++t) {
        uint32_t seed = t * 2654435761u + 12345u;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) / double(1u << 24);
        };
        const double x = 3.0 * next() - 1.5, y = 2.0 * next() - 1.0;
        for (int k = 0; k < 3; ++k) {
            m->positions.insert(m->positions.end(), {x + 0.06 * next(), y + 0.06 * next(), 0.0});
            m->triangle_normals.insert(m->triangle_normals.end(), {0.0, 0.0, 1.0});
            const uint8_t grey = static_cast<uint8_t>(30 + t % 200);
            m->colours.insert(m->colours.end(), {grey / 255.0, grey / 255.0, grey / 255.0, 1.0});
            m->display_colours.insert(m->display_colours.end(), {grey, grey, grey, 255});
        }
        const uint32_t v = 3 * (t - first);
        m->triangles.insert(m->triangles.end(), {v, v + 1, v + 2});
    }
    m->bounds = {-1.5, -1, 0, 1.6, 1.1, 0, 0, 0, 0, 0, 0, 0, 3.1, 2.1, 0};
    m->colours_dirty = 1;
    return m;
}

}  // namespace

// Any frame, multisampled or not, draws a large mesh in pieces; the picture
// is the one its triangles give drawn in order, here as meshes of their
// own, one draw each.
TEST_F(SceneGl, AFrameOfALargeMeshShowsItsTrianglesInOrder) {
    AppContext& a = *app;
    auto grab = [&] {
        a.capture.capture_options = {1, 1, 0};
        frame(true);
        return a.capture.screenshot_pixels;
    };
    constexpr uint32_t triangles = 250'003, part = 40'000;
    for (const uint8_t multisampled : {1, 0}) {
        SCOPED_TRACE(multisampled ? "multisampled" : "single-sampled");
        a.io_settings.anti_aliasing = multisampled;
        EntitySet& set = *a.entities.current_entities;
        set.records.clear();
        set.count = 0;
        for (uint32_t first = 0; first < triangles; first += part) {
            add_entity(make_soup_mesh(first, std::min(part, triangles - first)));
        }
        const std::vector<uint8_t> parts = grab();
        set.records.clear();
        set.count = 0;
        add_entity(make_soup_mesh(0, triangles));
        const std::vector<uint8_t> whole = grab();
        ASSERT_EQ(whole.size(), size_t{4} * W * H);
        if (multisampled) {
            EXPECT_GT(mixed_pixels(whole), 1000);
        }
        size_t differing = 0;
        for (size_t k = 0; k < whole.size(); ++k) differing += whole[k] != parts[k];
        EXPECT_EQ(differing, 0u);
    }
}

TEST_F(SceneGl, AWindowLargerThanTheFirstFrameIsDrawnToItsCorner) {
    add_entity(make_strip_mesh(200));
    AppContext& a = *app;
    frame();  // targets exist at the first window's size
    const int w = 1100, h = 700;
    platform_state.canvas_width = w, platform_state.canvas_height = h;
    a.frame.view_rect_width = w, a.frame.view_rect_height = h;
    a.capture.capture_options = {1, 1, 0};
    frame(false);  // the grown targets ask for the scene themselves
    const std::vector<uint8_t>& shot = a.capture.screenshot_pixels;
    ASSERT_EQ(a.capture.screenshot_width, w);
    ASSERT_EQ(shot.size(), size_t{4} * w * h);
    for (const std::array<int, 2>& q : {std::array<int, 2>{w - 2, 1}, {w - 2, h - 2}, {1, h - 2}}) {
        const size_t at = 4 * (size_t(q[1]) * w + size_t(q[0]));
        EXPECT_TRUE(rgb_is(Pixel{shot[at], shot[at + 1], shot[at + 2], 255}, 63, 127, 191, 1)) << q[0] << ", " << q[1];
    }
    // The strip, centred in the larger view.
    const size_t centre = 4 * (size_t(h / 2 + 10) * w + size_t(w / 2 + 20));
    EXPECT_EQ(shot[centre], 200);
}

TEST_F(SceneGl, TimedFramesRecordOnlyRedraws) {
    add_entity(make_strip_mesh(200));
    app_instance = app.get();
    reset_frame_time_ring();
    app->frame.needs_redraw = 0;
    EXPECT_EQ(on_gl_draw(), 0);
    EXPECT_EQ(FRAME_TIME_RING.durations_ns[0], 0);
    app->frame.needs_redraw = 1;
    on_gl_draw();
    EXPECT_GT(FRAME_TIME_RING.durations_ns[0], 0);
    EXPECT_EQ(FRAME_TIME_RING.next, 1);
    app_instance = nullptr;
}

TEST_F(SceneGl, ThumbnailsLandInTheirStripCells) {
    add_entity(make_strip_mesh(200));
    frame();  // buffers exist from here
    const uint32_t strip = render_targets[5].framebuffer_id;
    bind_framebuffer(strip);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);

    // Environment 0 fills the last cell.
    app->bars.thumbnail_requested = 1;
    app->bars.thumbnail_delay = 1;
    frame();
    EXPECT_EQ(app->bars.thumbnail_requested, 1);  // waited one frame
    frame();
    EXPECT_EQ(app->bars.thumbnail_requested, 0);
    EXPECT_TRUE(rgb_is(read_pixel(strip, 1920 + 64, 1920 + 64), 200, 200, 200));
    // Leaving the environment takes its picture at once.
    bind_framebuffer(strip);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(rgb_is(read_pixel(strip, 1920 + 64, 1920 + 64), 0, 0, 0));
    app->bars.environment_switching = 1;
    frame();
    EXPECT_EQ(app->bars.environment_switching, 0);
    EXPECT_TRUE(rgb_is(read_pixel(strip, 1920 + 64, 1920 + 64), 200, 200, 200));

    // Directive 1 looks at the entity that declared it, after the countdown.
    CameraDirectiveTable& t = app->bars.directive_table;
    t.count = 2;
    t.directive_values = {0, 0, 3, 50, 0, 0, 0, 0, 3, 0, 0, 0};
    t.directive_ids = {-1, app->entities.current_entities->records[0].serial_id};
    app->bars.directive_thumbnail_request = 1;
    app->bars.directive_countdown = 1;
    frame();
    EXPECT_EQ(app->bars.directive_countdown, 0);
    EXPECT_TRUE(rgb_is(read_pixel(strip, 128 + 64, 64), 0, 0, 0));
    frame();
    EXPECT_EQ(app->bars.directive_thumbnail_request, 0);
    EXPECT_TRUE(rgb_is(read_pixel(strip, 128 + 64, 64), 200, 200, 200));
    // Directive 0 has no entity and there is no start-up mesh: only the
    // canvas colour.
    EXPECT_TRUE(rgb_is(read_pixel(strip, 64, 64), 63, 127, 191, 1));
}

namespace {

// A 24 x 24 height field of quads with vertex normals, coloured by height.
InteropMesh* make_wave_mesh(double x0) {
    InteropMesh* m = new InteropMesh();
    m->dimension = 3;
    m->present = 1;
    const int n = 25;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const double x = -1 + 2.0 * i / (n - 1), z = -1 + 2.0 * j / (n - 1);
            const double y = 0.2 * std::sin(3 * x) * std::cos(3 * z);
            m->positions.insert(m->positions.end(), {x + x0, y, z});
            double nx = -0.6 * std::cos(3 * x) * std::cos(3 * z), nz = 0.6 * std::sin(3 * x) * std::sin(3 * z);
            const double len = std::sqrt(nx * nx + 1 + nz * nz);
            m->triangle_normals.insert(m->triangle_normals.end(), {nx / len, 1 / len, nz / len});
            m->colours.insert(m->colours.end(), {0.8, 0.8, 0.8, 1.0});
        }
    }
    const uint32_t quads = (n - 1) * (n - 1);
    m->polygons.push_back(quads);
    m->polygons.insert(m->polygons.end(), quads, 4);
    for (uint32_t j = 0; j + 1 < n; ++j) {
        for (uint32_t i = 0; i + 1 < n; ++i) {
            const uint32_t a = j * n + i, b = a + 1, c = a + n + 1, d = a + n;
            m->polygons.insert(m->polygons.end(), {a, d, c, b});
            m->triangles.insert(m->triangles.end(), {a, d, c, a, c, b});
            m->triangle_polygons.insert(m->triangle_polygons.end(), {j * (n - 1) + i, j * (n - 1) + i});
            m->polygon_edges.insert(m->polygon_edges.end(), {a, b, a, d});
        }
    }
    m->bounds = {x0 - 1, -0.2, -1, x0 + 1, 0.2, 1, x0, 0, 0, x0, 0, 0, 2, 0.4, 2};
    m->display_colours.assign(4 * n * n, 255);
    ColourSettings s;
    s.colour_mode = COLOUR_FUNCTION;
    s.colour_function = COLOUR_BY_ELEVATION;
    apply_colour_settings(s, *m);
    return m;
}

}  // namespace

TEST_F(SceneGl, BaselinesLitWithEdgesAndSilhouette) {
    add_entity(make_wave_mesh(-1.1));
    add_entity(make_wave_mesh(1.1));
    AppContext& a = *app;
    a.render_flags.light_unlit = 0;
    a.render_flags.projection_mode = 1;
    a.camera.camera_controller = 0;
    a.camera.live_camera.eye = {0, 0, 3};
    a.camera.orbit_distance = 1.0;
    a.camera.orbit_angle_x = 35;
    a.camera.orbit_angle_y = 20;
    a.render_flags.show_polygon_edges = 1;
    a.render_flags.mono_edges = 1;
    a.tones.mono_edge_tone = 1;
    a.capture.capture_options = {1, 1, 0};
    frame();
    compare_with_baseline(a.capture.screenshot_pixels, W, H, "render", "scene_lit_edges.png", 3);

    a.render_flags.show_polygon_edges = 0;
    a.render_flags.glsl_silhouette = 1;
    a.tones.silhouette_tone = 8;
    a.capture.capture_options = {1, 1, 0};
    frame();
    compare_with_baseline(a.capture.screenshot_pixels, W, H, "render", "scene_silhouette.png", 3);
}

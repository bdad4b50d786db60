#define GL_GLEXT_PROTOTYPES
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "art/art_gl.h"
#include "art/font_atlas.h"
#include "art/icon_raster.h"
#include "panes/layout/display_options.h"
#include "platform/platform_state.h"
#include "render/frame_renderer.h"
#include "platform/gl_state.h"
#include "render/render_targets.h"
#include "support/baseline_compare.h"
#include "harness/glx_context.h"
#include "art/icon_table.h"
#include "ui/element.h"

namespace {

using Pixel = std::array<int, 4>;

bool close(const Pixel& a, const Pixel& b, int tolerance = 1) {
    for (int i = 0; i < 4; ++i) if (std::abs(a[i] - b[i]) > tolerance) return false;
    return true;
}

// One context and the renderer's process-wide state for the whole program,
// as in the application.
class RenderGl : public ::testing::Test {
protected:
    static inline GlxContext* gl = nullptr;
    static void SetUpTestSuite() {
        gl = new GlxContext;
        if (!gl->open()) return;
        init_gl_state();
        render_frame(nullptr, nullptr);  // first frame: program and frame arrays
    }
    static void TearDownTestSuite() { delete gl, gl = nullptr; }
    void SetUp() override { ASSERT_TRUE(gl && gl->context) << "no GL context (needs an X display)"; }
};

// An RGBA texture target of its own, for reading back single draws.
struct SmallTarget {
    GLuint framebuffer = 0, texture = 0;
    int width, height;
    SmallTarget(int w, int h) : width(w), height(h) {
        glGenFramebuffers(1, &framebuffer);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
        glViewport(0, 0, w, h);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    ~SmallTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &texture);
    }
};

Pixel read_pixel(GLuint framebuffer, int x, int y) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    uint8_t p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

// The program the quads below are drawn with: the frame program unless a
// test picks the overlay one.
const FrameProgram* drawing = &frame_renderer.program;

// The program in use with the frame arrays bound in their layout.
void use_frame_arrays() {
    const FrameProgram& p = *drawing;
    glUseProgram(p.id);
    glBindVertexArray(frame_renderer.vertex_array);
    glBindBuffer(GL_ARRAY_BUFFER, frame_renderer.vertex_buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, frame_renderer.index_buffer);
    const int32_t at[4] = {p.iV, p.iC, p.iN, p.iU};
    for (int i = 0; i < 4; ++i) {
        if (at[i] < 0) continue;  // the overlay program reads no normals
        glVertexAttribPointer(GLuint(at[i]), 4, GL_FLOAT, GL_FALSE, 64, reinterpret_cast<const void*>(size_t(16 * i)));
        glEnableVertexAttribArray(GLuint(at[i]));
    }
}

// Draws one quad (corners in clip units) with the frame program and
// `texture` on unit 0, blending and depth test off so the fragment output is
// stored as it is.
void draw_quad(int mode, double x0, double y0, double x1, double y1, std::array<float, 4> c, std::array<float, 4> u,
               void (*uniforms)() = nullptr, GLuint texture = 0) {
    const FrameProgram& p = *drawing;
    use_frame_arrays();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    const float xs[4] = {float(x0), float(x0), float(x1), float(x1)}, ys[4] = {float(y1), float(y0), float(y0), float(y1)};
    OverlayVertex v[4];
    for (int i = 0; i < 4; ++i) {
        v[i] = OverlayVertex{{xs[i], ys[i], 0, 1}, {c[0], c[1], c[2], c[3]}, {0, 0, 1, 1}, {u[0], u[1], u[2], u[3]}};
    }
    const uint32_t idx[6] = {0, 1, 2, 0, 2, 3};
    glBufferData(GL_ARRAY_BUFFER, sizeof v, v, GL_STATIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof idx, idx, GL_STATIC_DRAW);
    set_flat_uniforms(p, mode, 1, 1);
    glUniform4f(p.ic2id, 0, 0, 0, 0);
    glUniform1f(p.idpmn, 0);
    glUniform1i(p.issci, 0);
    glUniform1i(p.ixray, 0);
    if (uniforms) uniforms();
    glDisable(GL_BLEND), glDisable(GL_DEPTH_TEST);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    glEnable(GL_BLEND), glEnable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindVertexArray(0);
    glUseProgram(0);
}

Pixel shade(int mode, std::array<float, 4> c, std::array<float, 4> u = {0, 0, 0, 0}, void (*uniforms)() = nullptr,
            GLuint texture = 0) {
    SmallTarget t(4, 4);
    draw_quad(mode, -1, -1, 1, 1, c, u, uniforms, texture);
    return read_pixel(t.framebuffer, 1, 1);
}

TEST_F(RenderGl, EachModeOfTheFragmentStage) {
    ASSERT_NE(frame_renderer.program.id, 0u);
    GLuint red = 0;  // bound on unit 0 for mode 1
    const uint8_t texel[4] = {255, 0, 0, 255};
    glGenTextures(1, &red);
    glBindTexture(GL_TEXTURE_2D, red);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glBindTexture(GL_TEXTURE_2D, 0);
    // The interface's reduced program draws its two modes as the full one does.
    ASSERT_NE(frame_renderer.overlay_program.id, 0u);
    for (const FrameProgram* program : {&frame_renderer.program, &frame_renderer.overlay_program}) {
        drawing = program;
        EXPECT_EQ(shade(0, {0.2f, 0.4f, 0.6f, 0.8f}), (Pixel{51, 102, 153, 204}));
        EXPECT_EQ(shade(1, {0, 1, 0, 1}, {0.5, 0.5, 0, 0}, nullptr, red), (Pixel{0, 255, 0, 255}));  // plain
        EXPECT_EQ(shade(1, {1, 1, 0, 1}, {0.5, 0.5, 0, 1}, nullptr, red), (Pixel{255, 0, 0, 255}));  // textured
        EXPECT_TRUE(close(shade(1, {1, 1, 1, 0.5f}, {0.5, 0.5, 0, 0.5f}, nullptr, red), {255, 128, 128, 128}));
        EXPECT_EQ(shade(8, {1, 1, 1, 1}), (Pixel{0, 0, 0, 255}));
    }
    drawing = &frame_renderer.program;
    glDeleteTextures(1, &red);

    auto headlight = [] { glUniform4f(frame_renderer.program.ic2id, 0, 1, 0, 1); };
    auto inverting = [] { glUniform4f(frame_renderer.program.ic2id, 0, 1, 0, 1), glUniform1i(frame_renderer.program.issci, 1); };
    EXPECT_TRUE(close(shade(2, {1, 1, 1, 1}, {}, headlight), {255, 255, 255, 255}));
    EXPECT_TRUE(close(shade(2, {1, 1, 1, 1}, {}, inverting), {255, 255, 255, 255}));  // no inversion without x-ray
    EXPECT_TRUE(close(shade(3, {1, 1, 1, 1}, {}, inverting), {0, 0, 0, 255}));
    EXPECT_EQ(shade(4, {0.2f, 0.4f, 0.6f, 0}), (Pixel{51, 102, 153, 255}));
    auto ids = [] { glUniform4f(frame_renderer.program.ic2id, 1 / 255.f, 1 / 255.f, 1 / 255.f, 1 / 255.f); };
    EXPECT_EQ(shade(5, {0, 0, 0, 0}, {3, 2, 1, 0}, ids), (Pixel{3, 2, 1, 255}));
    auto constant = [] { glUniform4f(frame_renderer.program.ic2id, 0.25f, 0.5f, 0.75f, 0.5f); };
    EXPECT_TRUE(close(shade(6, {1, 1, 1, 1}, {}, constant), {64, 128, 191, 128}));
    EXPECT_EQ(shade(8, {1, 1, 1, 1}), (Pixel{0, 0, 0, 255}));

    // The world scale moves the position (here mirrored into the lower-left
    // quadrant) but leaves the normal facing the light.
    SmallTarget t(8, 8);
    draw_quad(2, 0, 0, 1, 1, {1, 1, 1, 1}, {}, [] {
        glUniform4f(frame_renderer.program.ic2id, 0, 1, 0, 1), glUniform1f(frame_renderer.program.iwusf, -1);
    });
    EXPECT_TRUE(close(read_pixel(t.framebuffer, 1, 1), {255, 255, 255, 255}));
    EXPECT_EQ(read_pixel(t.framebuffer, 6, 6), (Pixel{0, 0, 0, 0}));
}

// Writes a 3 x 3 block of ids into the entity-id target around (x, y):
// `left` in the left column, `right` in the right one, `centre` elsewhere.
void write_ids(int x, int y, uint32_t left, uint32_t centre, uint32_t right) {
    uint8_t block[27];
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const uint32_t id = col == 0 ? left : col == 2 ? right : centre;
            uint8_t* p = block + 3 * (3 * row + col);
            p[0] = uint8_t(id >> 16), p[1] = uint8_t(id >> 8), p[2] = uint8_t(id);
        }
    }
    glBindTexture(GL_TEXTURE_2D, render_targets[7].colour_id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x - 1, y - 1, 3, 3, GL_RGB, GL_UNSIGNED_BYTE, block);
}

// Outline flag (output alpha) at texel (x, y) of the entity-id target.
int outline_at(int x, int y) {
    const RenderTarget& ids = render_targets[7];
    const float w = float(ids.buffer_width), h = float(ids.buffer_height);
    const float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
    return shade(7, {0, 0, 0, 0}, {u, v, 0, 1}, [] {
        const RenderTarget& t = render_targets[7];
        glUniform4f(frame_renderer.program.ic2id, 0.5f, 0.5f, 0.5f, 1);
        glUniform2f(frame_renderer.program.itexel, 1.0f / float(t.buffer_width), 1.0f / float(t.buffer_height));
    }, ids.colour_id)[3];
}

// Lit surfaces draw with the reduced surface program: it must light them
// exactly as the frame program's mode 3, or a still frame would change.
// The one-colour variant (moving frames of a one-coloured mesh) must light
// a quad of that colour as the others do, its colour given as a uniform.
// The eye 3 units away makes the specular term vary across the quad.
TEST_F(RenderGl, TheSurfaceProgramsLightExactlyAsTheFrameProgram) {
    ASSERT_NE(frame_renderer.surface_program.id, 0u);
    ASSERT_NE(frame_renderer.one_colour_program.id, 0u);
    std::vector<Pixel> pictures[3];
    const FrameProgram* programs[3] = {&frame_renderer.program, &frame_renderer.surface_program,
                                       &frame_renderer.one_colour_program};
    for (int k = 0; k < 3; ++k) {
        drawing = programs[k];
        SmallTarget t(16, 16);
        // The one-colour program reads no vertex colour: black there would show.
        const std::array<float, 4> colour = k < 2 ? std::array<float, 4>{0.3f, 0.6f, 0.9f, 1} : std::array<float, 4>{};
        draw_quad(3, -1, -1, 1, 1, colour, {}, [] {
            const float away[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -3, 1};
            glUniformMatrix4fv(drawing->iMV, 1, GL_FALSE, away);
            glUniform4f(drawing->ic2id, 0.125f, 1, 1, 0.8f), glUniform1f(drawing->idpmn, 0.1f);
            glUniform4f(drawing->icolour, 0.3f, 0.6f, 0.9f, 1);
        });
        for (int y = 0; y < t.height; ++y) {
            for (int x = 0; x < t.width; ++x) pictures[k].push_back(read_pixel(t.framebuffer, x, y));
        }
    }
    drawing = &frame_renderer.program;
    EXPECT_EQ(pictures[0], pictures[1]);
    EXPECT_EQ(pictures[0], pictures[2]);
    EXPECT_NE(pictures[1].front(), pictures[1][8 * 16 + 8]);  // lit unevenly, as asked
}

TEST_F(RenderGl, TargetsAreCompleteOnceAndTheOutlineFlagsTheSmallerIdSide) {
    if (!render_targets_created) create_render_targets(720, 480);
    std::array<uint32_t, 8> names{};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(render_targets[i].complete, 1) << i;
        names[i] = render_targets[i].framebuffer_id;
        glBindFramebuffer(GL_FRAMEBUFFER, names[i]);
        GLint samples = -1;
        glGetIntegerv(GL_SAMPLES, &samples);
        EXPECT_EQ(samples, i == 0 || i == 3 ? 4 : 0) << i;
    }
    // An id pixel reads back as three bytes.
    write_ids(11, 11, 0x102030, 0x102030, 0x102030);
    glBindFramebuffer(GL_FRAMEBUFFER, render_targets[7].framebuffer_id);
    uint8_t rgb[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(11, 11, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    EXPECT_EQ((Pixel{rgb[0], rgb[1], rgb[2], rgb[3]}), (Pixel{0x10, 0x20, 0x30, 0xAA}));

    // Ids 3 and 4 in each byte: only the id-3 side flags; so does an object
    // texel beside the background, never the background itself.
    for (uint32_t k : {1u, 256u, 65536u}) {
        write_ids(100, 100, 3 * k, 3 * k, 4 * k);
        write_ids(200, 100, 3 * k, 4 * k, 4 * k);
        write_ids(300, 100, 3 * k, 0xFFFFFF, 0xFFFFFF);
        write_ids(400, 100, 3 * k, 3 * k, 0xFFFFFF);
        EXPECT_EQ((std::array<int, 4>{outline_at(100, 100), outline_at(200, 100), outline_at(300, 100), outline_at(400, 100)}),
                  (std::array<int, 4>{255, 0, 0, 255})) << k;
    }

    // A thumbnail blitted into strip cell 17 lands at (128, 128).
    glBindFramebuffer(GL_FRAMEBUFFER, render_targets[5].framebuffer_id);
    glClearColor(0, 0, 0, 1), glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, render_targets[1].framebuffer_id);
    glClearColor(1, 0, 0, 1), glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_TRUE(blit_into_strip_cell(render_targets[1].framebuffer_id, 17));
    EXPECT_FALSE(blit_into_strip_cell(render_targets[1].framebuffer_id, 256));
    const GLuint strip = render_targets[5].framebuffer_id;
    EXPECT_EQ((std::array<Pixel, 4>{read_pixel(strip, 128, 128), read_pixel(strip, 255, 255), read_pixel(strip, 127, 128),
                                    read_pixel(strip, 256, 255)}),
              (std::array<Pixel, 4>{Pixel{255, 0, 0, 255}, Pixel{255, 0, 0, 255}, Pixel{0, 0, 0, 255}, Pixel{0, 0, 0, 255}}));

    // Frames never make them again.
    auto app = make_app_context();
    RootContainer root;
    render_frame(app.get(), &root);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(render_targets[i].framebuffer_id, names[i]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderGl, TargetsGrowWithTheWindowKeepTheirColourAndStopAt2048) {
    if (!render_targets_created) create_render_targets(720, 480);
    auto sizes = [] {
        std::array<std::array<int32_t, 2>, 8> out{};
        for (int i = 0; i < 8; ++i) out[i] = {render_targets[i].buffer_width, render_targets[i].buffer_height};
        return out;
    };
    using Sizes = std::array<std::array<int32_t, 2>, 8>;
    EXPECT_EQ(sizes(), (Sizes{{{512, 512}, {768, 512}, {768, 512}, {768, 512}, {768, 512}, {2048, 2048}, {768, 512},
                               {768, 512}}}));
    const GLuint strip = render_targets[5].framebuffer_id, offscreen = render_targets[0].framebuffer_id;
    write_ids(700, 500, 0x405060, 0x405060, 0x405060);

    EXPECT_FALSE(fit_render_targets(700, 300));  // never shrinks
    EXPECT_TRUE(fit_render_targets(1000, 600));
    EXPECT_EQ(sizes(), (Sizes{{{512, 512}, {1024, 768}, {1024, 768}, {1024, 768}, {1024, 768}, {2048, 2048},
                               {1024, 768}, {1024, 768}}}));
    EXPECT_EQ(render_targets[5].framebuffer_id, strip);
    EXPECT_EQ(render_targets[0].framebuffer_id, offscreen);
    const Pixel kept = read_pixel(render_targets[7].framebuffer_id, 700, 500);
    EXPECT_EQ((std::array<int, 3>{kept[0], kept[1], kept[2]}), (std::array<int, 3>{0x40, 0x50, 0x60}));
    // A grown id target still outlines one texel apart: id 256 beside 255
    // flags nothing, where half a texel would blend them into a larger id.
    write_ids(900, 700, 3, 3, 4);
    write_ids(950, 700, 0x0000FF, 0x000100, 0x000100);
    EXPECT_EQ((std::array<int, 2>{outline_at(900, 700), outline_at(950, 700)}), (std::array<int, 2>{255, 0}));

    EXPECT_TRUE(fit_render_targets(3000, 100));
    EXPECT_EQ(sizes()[2], (std::array<int32_t, 2>{2048, 768}));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(render_targets[i].complete, 1) << i;
        glBindFramebuffer(GL_FRAMEBUFFER, render_targets[i].framebuffer_id);
        GLint samples = -1;
        glGetIntegerv(GL_SAMPLES, &samples);
        EXPECT_EQ(samples, i == 0 || i == 3 ? 4 : 0) << i;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderGl, CompileAndLinkFailuresPrintTheirLogs) {
    const char* good_vs = "#version 120\nvoid main() { gl_Position = vec4(0.0); }\n";
    const char* good_fs = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";
    testing::internal::CaptureStdout();
    EXPECT_EQ(link_shader_program("#version 120\nvoid main() { nonsense }\n", good_fs), 0u);
    EXPECT_EQ(link_shader_program(good_vs, "#version 120\nvoid main() { gl_FragColor = 1; }\n"), 0u);
    EXPECT_EQ(link_shader_program("#version 120\nvoid f();\nvoid main() { f(); gl_Position = vec4(0.0); }\n", good_fs), 0u);
    const std::string out = testing::internal::GetCapturedStdout();
    const size_t vertex = out.find("SHADER-COMPILATION-ERROR: T<VERTEX> "), fragment = out.find("SHADER-COMPILATION-ERROR: T<FRAGMENT> ");
    const size_t link = out.find("PROGRAM-LINKING-ERROR: ");
    EXPECT_TRUE(vertex == 0 && fragment != std::string::npos && link > fragment && link != std::string::npos) << out;
    EXPECT_EQ(out.back(), '\n');
}

TEST_F(RenderGl, BackdropCornersBlendOverTheClearColour) {
    SmallTarget t(100, 50);  // bound, viewport set
    use_frame_arrays();
    glClearColor(0, 0, 1, 1), glClear(GL_COLOR_BUFFER_BIT);
    draw_backdrop(100, 50, 2, -1, 1.0);  // off: the clear colour stays
    EXPECT_EQ(read_pixel(t.framebuffer, 0, 0), (Pixel{0, 0, 255, 255}));
    glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer);
    draw_backdrop(100, 50, 2, 0, 0.5);  // linear, light table, half over blue
    const Pixel bottom_left = read_pixel(t.framebuffer, 0, 0), top_right = read_pixel(t.framebuffer, 99, 49);
    EXPECT_TRUE(close(bottom_left, {128, 128, 255, 191}, 2)) << bottom_left[0] << " " << bottom_left[2];
    EXPECT_TRUE(close(top_right, {96, 102, 239, 191}, 2)) << top_right[0] << " " << top_right[2];
    glBindVertexArray(0);
    glUseProgram(0);
}

// --- the interface frame ----------------------------------------------------

constexpr int W = 160, H = 120;

// Root 160 x 120 with a bordered panel, an icon, the logo, a label cut by its
// container, and two overlapping elements on layers 0 and 1 whose depths
// would order them the other way.
struct InterfaceTree {
    RootContainer root;
    Container panel, strip;
    Element icon, logo, label, low, high;
    InterfaceTree() {
        auto rect = [](Element& e, int x, int y, int w, int h) { e.x = x, e.y = y, e.width = w, e.height = h; };
        rect(root, 0, 0, W, H), rect(panel, 8, 8, 60, 40), rect(icon, 88, 4, 64, 64), rect(logo, 8, 52, 32, 32);
        rect(strip, 48, 72, 30, 20), rect(label, 0, 0, 120, 20), rect(low, 90, 95, 30, 15), rect(high, 105, 100, 30, 15);
        root.children = {&panel, &icon, &logo, &strip, &low, &high};
        strip.children = {&label};
        root.background_rgba = 0xff303030u;
        panel.background_rgba = 0xff4080c0u;
        panel.border_left = {3, 0xffff0000u, nullptr, nullptr};
        panel.border_top = {2, 0xff00ff00u, nullptr, nullptr};
        icon.icon = ICON_SETTINGS;
        logo.image = 0;
        label.text = "Clipped label text", label.text_rgba = 0xffffffffu, label.align_y = 0;
        label.measure_text(label.text);
        low.background_rgba = 0xff00ff00u, low.depth_offset = 3;
        high.background_rgba = 0xffff00ffu, high.layer = 1, high.depth_offset = -3;
    }
};

// The final-frame target's W x H pixels, rows top first.
std::vector<uint8_t> read_final_frame() {
    std::vector<uint8_t> px(size_t(W) * H * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, render_targets[2].framebuffer_id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    for (int r = 0; r < H; ++r) glReadPixels(0, H - 1 - r, W, 1, GL_RGBA, GL_UNSIGNED_BYTE, px.data() + size_t(r) * W * 4);
    return px;
}

Pixel at(const std::vector<uint8_t>& px, int x, int y) {  // y from the top
    const uint8_t* p = px.data() + (size_t(y) * W + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

TEST_F(RenderGl, InterfaceFrameDrawsTheTreeClippedAndLayered) {
    reset_icon_art(), reset_font_art();
    build_icon_atlas(), build_logo_image(), build_font_atlas();
    app_on_gl_init();
    auto app = make_app_context();
    install_display_hooks(app->hooks);
    InterfaceTree tree;
    const int32_t saved_w = platform_state.canvas_width, saved_h = platform_state.canvas_height;
    platform_state.canvas_width = W, platform_state.canvas_height = H;
    render_frame(app.get(), &tree.root);
    platform_state.canvas_width = saved_w, platform_state.canvas_height = saved_h;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The frame placed the 3D view over the whole canvas; the scene's one
    // view selected its cell.
    EXPECT_EQ((std::array<int32_t, 2>{app->multi_view_viewport.width, app->multi_view_viewport.height}),
              (std::array<int32_t, 2>{W, H}));
    EXPECT_EQ((std::array<int, 2>{frame_renderer.layers_drawn, frame_renderer.layers_skipped}), (std::array<int, 2>{2, 3}));
    const std::vector<uint8_t> px = read_final_frame();

    EXPECT_EQ(at(px, 2, 2), (Pixel{0x30, 0x30, 0x30, 255}));
    EXPECT_EQ(at(px, 40, 30), (Pixel{0x40, 0x80, 0xc0, 255}));
    EXPECT_EQ(at(px, 9, 30), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(at(px, 40, 9), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(at(px, 110, 105), (Pixel{255, 0, 255, 255}));  // layer 1 over layer 0
    EXPECT_EQ(at(px, 95, 97), (Pixel{0, 255, 0, 255}));
    // The window (64 x 64, the frame's lower left) shows the final frame; a
    // frame without a tree shows black.
    auto window_rgb = [](int x, int y) {
        const Pixel p = read_pixel(0, x, H - 1 - y);
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(window_rgb(2, 100), (std::array<int, 3>{0x30, 0x30, 0x30}));
    platform_state.canvas_width = W, platform_state.canvas_height = H;
    render_frame(nullptr, nullptr);
    platform_state.canvas_width = saved_w, platform_state.canvas_height = saved_h;
    EXPECT_EQ(window_rgb(2, 100), (std::array<int, 3>{0, 0, 0}));

    // Every icon pixel is its atlas texel blended by its alpha over the root.
    glBindTexture(GL_TEXTURE_2D, icon_atlas.texture_id);
    std::vector<uint8_t> tex(size_t(512) * 512 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, tex.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    int partial = 0, mismatched = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            // Window row y from the icon's top shows texture row 63 - y.
            const uint8_t* t = tex.data() + (size_t(icon_atlas.cell_y[ICON_SETTINGS] + 63 - y) * 512 +
                                             icon_atlas.cell_x[ICON_SETTINGS] + x) * 4;
            const double a = t[3] / 255.0;
            Pixel want{0, 0, 0, 0};
            for (int c = 0; c < 3; ++c) want[c] = int(t[c] * a + 0x30 * (1 - a) + 0.5);
            Pixel got = at(px, 88 + x, 4 + y);
            got[3] = want[3] = 0;
            mismatched += !close(got, want);
            partial += t[3] > 0 && t[3] < 255;
        }
    }
    EXPECT_EQ(mismatched, 0);
    EXPECT_GT(partial, 0);

    // Text shows inside the strip's clip and nowhere to its right.
    int inside = 0, outside = 0;
    for (int y = 72; y < 92; ++y) {
        for (int x = 48; x < W; ++x) (x < 78 ? inside : outside) += at(px, x, y) != (Pixel{0x30, 0x30, 0x30, 255});
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);

    compare_with_baseline(px, W, H, "render", "interface_frame.png");
}

TEST_F(RenderGl, AnOpaqueLayerOverTheWholeWindowHidesWhatLiesUnderIt) {
    auto app = make_app_context();
    install_display_hooks(app->hooks);
    InterfaceTree tree;
    Element cover, front;
    cover.x = 0, cover.y = 0, cover.width = W, cover.height = H, cover.layer = 2;
    front.x = 10, front.y = 10, front.width = 20, front.height = 20, front.layer = 2;
    front.background_rgba = 0x80ffffffu, front.depth_offset = 1;
    tree.root.children.push_back(&cover);
    tree.root.children.push_back(&front);
    const int32_t saved_w = platform_state.canvas_width, saved_h = platform_state.canvas_height;
    platform_state.canvas_width = W, platform_state.canvas_height = H;
    auto frame = [&](uint32_t cover_rgba) {
        cover.background_rgba = cover_rgba;
        render_frame(app.get(), &tree.root);
        return read_final_frame();
    };
    auto rgb = [](const Pixel& p) { return std::array<int, 3>{p[0], p[1], p[2]}; };

    // A see-through cover shows the layers under it.
    std::vector<uint8_t> px = frame(0x80204080u);
    EXPECT_EQ((std::array<int, 2>{frame_renderer.layers_drawn, frame_renderer.layers_skipped}), (std::array<int, 2>{3, 2}));
    EXPECT_NE(rgb(at(px, 110, 105)), rgb(at(px, 2, 2)));
    // An opaque one alone is drawn, and shows the same as it would over
    // anything: its colour, and its layer's own elements in front.
    px = frame(0xff204080u);
    EXPECT_EQ((std::array<int, 2>{frame_renderer.layers_drawn, frame_renderer.layers_skipped}), (std::array<int, 2>{1, 4}));
    for (const auto& [x, y] : {std::array<int, 2>{2, 2}, {110, 105}, {40, 30}, {60, 60}, {159, 119}}) {
        EXPECT_EQ(at(px, x, y), (Pixel{0x20, 0x40, 0x80, 255})) << x << "," << y;
    }
    EXPECT_EQ(rgb(at(px, 20, 20)), (std::array<int, 3>{0x90, 0xa0, 0xc0}));
    platform_state.canvas_width = saved_w, platform_state.canvas_height = saved_h;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace

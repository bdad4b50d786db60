#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "render/shader_program.h"
#include "ui/overlay_batches.h"

struct AppContext;

// What both halves of a frame, the scene and the interface, draw with.

// Renderer-owned GL state, made on the first frame and kept for the life of
// the process: the program, one vertex array with its vertex and element
// buffers for everything streamed as OverlayVertex data, and the staging
// memory the overlay layers are converted into.
struct FrameRenderer {
    bool initialised = false;
    FrameProgram program;
    FrameProgram overlay_program;  // id 0 when it failed to link: `program` draws
    FrameProgram surface_program;  // likewise
    FrameProgram one_colour_program;  // likewise
    uint32_t vertex_array = 0;
    uint32_t vertex_buffer = 0;
    uint32_t index_buffer = 0;
    std::vector<float> staging;  // VERTEX_STAGING_FLOATS once initialised
    std::vector<uint32_t> indices;
    // The interface layers -1..3 of this frame, built once: whether one
    // covers the window is read from them before they are drawn. Storage
    // is kept between frames.
    std::array<LayerBatches, 5> layer_batches;
    // Layers drawn and skipped in the last frame (for tests and diagnostics).
    int32_t layers_drawn = 0;
    int32_t layers_skipped = 0;
};

extern FrameRenderer frame_renderer;

// Draws the gradient of theme table `table` in style 0 or 1 over a canvas
// of width x height (bound target and viewport as they are), then clears
// the depth buffer. Style below 0 draws nothing. Needs the frame program
// in use and the frame vertex array bound.
void draw_backdrop(int32_t canvas_width, int32_t canvas_height, int32_t table, int32_t style, double alpha);
// The same with the context's theme, gradient, intensity and view size.
void draw_backdrop_for(const AppContext& app);

// Loads the identity into iMVP, iMV and iETM, and the plain 2D uniforms:
// iwusf 1, isstz 0, itint 1, imode `mode`, iw x ih the given size, into
// the frame program (or the given one, which must be in use).
void set_flat_uniforms(int32_t mode, int32_t width, int32_t height);
void set_flat_uniforms(const FrameProgram& p, int32_t mode, int32_t width, int32_t height);

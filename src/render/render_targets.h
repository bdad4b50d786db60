#pragma once
#include <cstdint>

// Eight off-screen targets, created on the first frame and kept for the life
// of the process. The window-sized ones cover the canvas rounded up to a
// multiple of 256 and grow with the window up to 2048 x 2048; allocating all
// of them at 2048 would cost about half a gigabyte before the first frame.
//   0 multisampled RGBA: thumbnails and snapshots with anti-aliasing
//   1 RGBA texture: thumbnails and snapshots without; snapshot resolve;
//     the last interface screenshot
//   2 RGBA texture: the final frame, blitted to the window
//   3 multisampled RGBA: the main scene with anti-aliasing
//   4 RGBA texture: the main scene without
//   5 RGBA texture: the thumbnail strip, 16 x 16 cells of 128 x 128; the
//     overlay's sprite sheet
//   6 RGB texture: triangle ids for picking
//   7 RGB texture: entity ids for picking and the silhouette
// Targets 0 (thumbnails and the 512 x 512 snapshot) and 5 (the strip) keep
// fixed sizes; target 1 is at least 512 x 512; the rest follow the window.
struct RenderTarget {
    int32_t viewport_width = 0, viewport_height = 0;
    double scale = 1.0;
    int32_t buffer_width = 0, buffer_height = 0;
    uint32_t framebuffer_id = 0;
    uint32_t colour_id = 0;  // texture, or colour renderbuffer when multisampled
    uint32_t depth_id = 0;
    uint8_t complete = 0;
    uint8_t multisampled = 0;
};

constexpr int render_target_count = 8;
constexpr int32_t strip_cell_size = 128;
constexpr int32_t snapshot_side = 512;
// Window-sized targets grow in steps of this many pixels.
constexpr int32_t render_target_step = 256;

extern RenderTarget render_targets[render_target_count];
extern uint8_t render_targets_created;

// The buffer side a window side needs: rounded up to the step, at least
// one step, at most 2048.
int32_t render_target_side(int32_t window_side);
// Buffer size of target `index` for a window of width x height.
void render_target_size_for(int index, int32_t width, int32_t height, int32_t& buffer_width, int32_t& buffer_height);

// Builds targets 7 down to 0 for a window of width x height, then sets the
// created flag. Each is cleared to opaque black so nothing shows stale
// memory before it is first drawn.
void create_render_targets(int32_t width, int32_t height);
// Grows every target smaller than a window of width x height needs; a grown
// texture target keeps its colour. True when any grew (the scene must be
// drawn again). Never shrinks.
bool fit_render_targets(int32_t width, int32_t height);
void create_rgb_texture_render_target(RenderTarget& target, int32_t width, int32_t height);
void create_rgba_texture_render_target(RenderTarget& target, int32_t width, int32_t height);
void create_multisample_render_target(RenderTarget& target, int32_t width, int32_t height);

// 1 for GL_FRAMEBUFFER_COMPLETE; otherwise prints "FBO-Not-Supported" (for
// GL_FRAMEBUFFER_UNSUPPORTED) or "FBO-Error!" on its own line, and gives 0.
uint8_t record_framebuffer_status(uint32_t status);
// Checks the bound draw framebuffer into the target's complete byte.
void check_framebuffer_status(RenderTarget& target);

// Unbinds unit 0's texture and binds `framebuffer` for reading and drawing.
int bind_framebuffer(uint32_t framebuffer);

// Colour blit of the lower-left width x height area, clamped to 2048
// pixels, from one framebuffer to another (0 = the window).
void blit_window_area(uint32_t from_framebuffer, uint32_t to_framebuffer, int32_t width, int32_t height);

// Colour blit of the 128 x 128 square at the origin of `from_framebuffer`
// into cell `cell` (0..255) of the thumbnail strip. False for other cells.
bool blit_into_strip_cell(uint32_t from_framebuffer, int32_t cell);

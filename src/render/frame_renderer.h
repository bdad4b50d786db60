#pragma once
#include <cstdint>

#include "render/frame_gl.h"

struct AppContext;
struct Container;

// One frame with the GL context current, sized by the platform's canvas
// size: lays out the tree under `root`, collects its draw list, places the
// window regions, sizes the targets to the window, copies the scene into
// the final frame, draws the interface over it in layers -1 to 3 and blits
// the result to the window.
// Without a context or root the window is only cleared to black.
void render_frame(AppContext* app, Container* root);

// One frame of the published context (black without one); a frame that
// redraws the scene stores its duration in the frame-time ring.
void render_frame_timed();
// The draw callback of the platform: render_frame_timed, result 0.
int on_gl_draw();

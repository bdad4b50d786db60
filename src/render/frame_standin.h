#pragma once
#include <cstdint>

struct AppContext;

// Stand-in for the frame renderer until it lands: deletes the GL objects of
// released meshes and clears the canvas to the active theme's canvas colour
// (black before the interface sets one). Needs the canvas's GL context.
int32_t on_gl_draw(AppContext& app);

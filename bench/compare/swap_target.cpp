// A GL window that swaps a given number of times, for the test of the
// frame counter: the drawable is either the top-level window itself or a
// child window filling it (as in a toolkit's GL area).
//   swap_target top|child N
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "glx_window.h"

int main(int argc, char** argv) {
    const bool child = argc == 3 && std::strcmp(argv[1], "child") == 0;
    if (argc != 3 || (!child && std::strcmp(argv[1], "top") != 0)) {
        std::fprintf(stderr, "usage: swap_target top|child N\n");
        return 2;
    }
    const int swaps = std::atoi(argv[2]);
    GlxWindow g;
    if (!open_glx_window(g, "swap_target", 320, 240, child)) {
        std::fprintf(stderr, "swap_target: no display, GL visual or context\n");
        return 1;
    }
    for (int i = 0; i < swaps; ++i) {
        glClearColor(static_cast<float>(i % 2), 0.5f, 0.25f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glXSwapBuffers(g.display, g.target);
    }
    glFinish();
    close_glx_window(g);
    return 0;
}

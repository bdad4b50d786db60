// A GL window that swaps a given number of times, for the test of the
// frame counter: the drawable is either the top-level window itself or a
// child window filling it (as in a toolkit's GL area).
//   swap_target top|child N
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const bool child = argc == 3 && std::strcmp(argv[1], "child") == 0;
    if (argc != 3 || (!child && std::strcmp(argv[1], "top") != 0)) {
        std::fprintf(stderr, "usage: swap_target top|child N\n");
        return 2;
    }
    const int swaps = std::atoi(argv[2]);
    Display* d = XOpenDisplay(nullptr);
    int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    XVisualInfo* vi = d ? glXChooseVisual(d, DefaultScreen(d), attrs) : nullptr;
    if (!vi) {
        std::fprintf(stderr, "swap_target: no display or GL visual\n");
        return 1;
    }
    XSetWindowAttributes swa{};
    swa.colormap = XCreateColormap(d, RootWindow(d, vi->screen), vi->visual, AllocNone);
    swa.event_mask = ExposureMask;
    const Window top = XCreateWindow(d, RootWindow(d, vi->screen), 0, 0, 320, 240, 0, vi->depth, InputOutput,
                                     vi->visual, CWColormap | CWEventMask, &swa);
    Window target = top;
    if (child) {
        target = XCreateWindow(d, top, 0, 0, 320, 240, 0, vi->depth, InputOutput, vi->visual, CWColormap | CWEventMask,
                               &swa);
        XMapWindow(d, target);
    }
    XMapWindow(d, top);
    XEvent e;
    do XNextEvent(d, &e);  // drawn on only once it shows
    while (e.type != Expose);
    GLXContext context = glXCreateContext(d, vi, nullptr, True);
    XFree(vi);
    if (!context || !glXMakeCurrent(d, target, context)) return 1;
    for (int i = 0; i < swaps; ++i) {
        glClearColor(static_cast<float>(i % 2), 0.5f, 0.25f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glXSwapBuffers(d, target);
    }
    glFinish();
    glXMakeCurrent(d, None, nullptr);
    glXDestroyContext(d, context);
    XCloseDisplay(d);
    return 0;
}

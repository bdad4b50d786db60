#pragma once
// A shown GL window for the comparison's helper programs: a top-level
// window, or a child window filling one (as a toolkit's GL area is), with
// a current context on it. Header-only.
#include <GL/glx.h>
#include <X11/Xlib.h>

struct GlxWindow {
    Display* display = nullptr;
    Window top = 0;
    Window target = 0;  // what is drawn into: `top` or its child
    GLXContext context = nullptr;
};

// False when there is no display, no visual or no context.
inline bool open_glx_window(GlxWindow& g, const char* title, int width, int height, bool child) {
    g.display = XOpenDisplay(nullptr);
    int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                   GLX_DEPTH_SIZE, 24, None};
    XVisualInfo* vi = g.display ? glXChooseVisual(g.display, DefaultScreen(g.display), attrs) : nullptr;
    if (!vi) return false;
    XSetWindowAttributes swa{};
    swa.colormap = XCreateColormap(g.display, RootWindow(g.display, vi->screen), vi->visual, AllocNone);
    swa.event_mask = ExposureMask;
    const auto w = static_cast<unsigned>(width), h = static_cast<unsigned>(height);
    g.top = XCreateWindow(g.display, RootWindow(g.display, vi->screen), 0, 0, w, h, 0, vi->depth, InputOutput,
                          vi->visual, CWColormap | CWEventMask, &swa);
    XStoreName(g.display, g.top, title);
    g.target = g.top;
    if (child) {
        g.target = XCreateWindow(g.display, g.top, 0, 0, w, h, 0, vi->depth, InputOutput, vi->visual,
                                 CWColormap | CWEventMask, &swa);
        XMapWindow(g.display, g.target);
    }
    XMapWindow(g.display, g.top);
    XEvent e;
    do XNextEvent(g.display, &e);  // drawn on only once it shows
    while (e.type != Expose);
    g.context = glXCreateContext(g.display, vi, nullptr, True);
    XFree(vi);
    return g.context && glXMakeCurrent(g.display, g.target, g.context);
}

inline void close_glx_window(GlxWindow& g) {
    if (!g.display) return;
    glXMakeCurrent(g.display, None, nullptr);
    if (g.context) glXDestroyContext(g.display, g.context);
    XCloseDisplay(g.display);  // frees the windows too
    g = GlxWindow{};
}

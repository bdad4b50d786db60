// A GL context of our own on a small unmapped window: enough to create and
// query textures without the platform's window layer.
#pragma once

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

struct GlxContext {
    Display* display = XOpenDisplay(nullptr);
    GLXContext context = nullptr;

    bool open() {
        int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
        XVisualInfo* vi = display ? glXChooseVisual(display, DefaultScreen(display), attrs) : nullptr;
        if (!vi) return false;
        const Window root = RootWindow(display, vi->screen);
        XSetWindowAttributes swa{};
        swa.colormap = XCreateColormap(display, root, vi->visual, AllocNone);
        const Window window =
            XCreateWindow(display, root, 0, 0, 64, 64, 0, vi->depth, InputOutput, vi->visual, CWColormap, &swa);
        context = glXCreateContext(display, vi, nullptr, True);
        XFree(vi);
        return context && glXMakeCurrent(display, window, context);
    }
    ~GlxContext() {
        if (!display) return;
        glXMakeCurrent(display, None, nullptr);
        if (context) glXDestroyContext(display, context);
        XCloseDisplay(display);  // frees the window and its colormap too
    }
};

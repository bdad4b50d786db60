#pragma once
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include "platform/driver_setup_scope.h"

// A GL context of our own on a small unmapped window: enough to create
// textures, framebuffers and programs without the platform's window layer.
// Header-only and shared by the GL test and benchmark programs.
struct GlxContext {
    Display* display = XOpenDisplay(nullptr);
    GLXContext context = nullptr;

    bool open(int width = 64, int height = 64) {
        const DriverSetupScope driver_setup;
        int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                       GLX_DEPTH_SIZE, 24, None};
        XVisualInfo* vi = display ? glXChooseVisual(display, DefaultScreen(display), attrs) : nullptr;
        if (!vi) return false;
        const Window root = RootWindow(display, vi->screen);
        XSetWindowAttributes swa{};
        swa.colormap = XCreateColormap(display, root, vi->visual, AllocNone);
        const Window window = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(width),
                                            static_cast<unsigned>(height), 0, vi->depth, InputOutput, vi->visual,
                                            CWColormap, &swa);
        context = glXCreateContext(display, vi, nullptr, True);
        XFree(vi);
        if (!context || !glXMakeCurrent(display, window, context)) return false;
        warm_up();
        return true;
    }
    // The software rasteriser sets up its code generator on the first draw
    // and keeps a few bytes of it past exit: draw once inside the setup scope.
    static void warm_up() {
        glBegin(GL_TRIANGLES);
        glVertex2f(0, 0), glVertex2f(1, 0), glVertex2f(0, 1);
        glEnd();
        glFinish();
    }
    ~GlxContext() {
        if (!display) return;
        glXMakeCurrent(display, None, nullptr);
        if (context) glXDestroyContext(display, context);
        XCloseDisplay(display);  // frees the window and its colormap too
    }
};

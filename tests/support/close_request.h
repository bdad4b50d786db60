#pragma once
// The close button of a window manager, as the window is told of it:
// WM_DELETE_WINDOW.
#include <X11/Xlib.h>

inline void send_close_request(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &event);
    // A round trip: the server has the request before the sender goes on
    // (or exits and closes its connection).
    XSync(display, False);
}

#pragma once
// Resizing the live window as a user's window manager does, through the X
// server.
#include <gdk/gdkx.h>

#include <string>

#include "support/live_application.h"

// The top-level window at the screen's corner, so that the whole canvas is
// on the screen, sized w x h; true once the program has taken the size. The
// frames after it have reached the screen and the canvas is found anew.
inline bool resize_window(LiveApplication& live, int32_t w, int32_t h) {
    const auto xid = GDK_WINDOW_XID(gtk_widget_get_window(platform_state.window));
    const std::string window = std::to_string(xid);
    if (!live.xdotool("windowmove " + window + " 0 0 windowsize --sync " + window + " " + std::to_string(w) + " " +
                      std::to_string(h)))
        return false;
    const bool done = live.pump_until(
        [&] { return platform_state.canvas_width == w && platform_state.canvas_height == h && live.app->width == w; },
        5000);
    const bool drawn = live.await_frames();
    live.pump_for(100);
    live.find_canvas();
    return done && drawn;
}

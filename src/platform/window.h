#pragma once
#include <cstdint>

#include "platform/platform_state.h"

// The GTK top-level window with its one OpenGL canvas, and the frame loop
// that pumps its events. Both run on the GTK main thread only.

// Builds and shows the window described by the listener (read only; the
// handlers call the listener registered in entry 0). Returns 0 on success
// and 1 after printing why it failed (no display, no OpenGL, no canvas);
// the caller then returns instead of running the frame loop.
int32_t create_window(const PlatformListener& listener);

// Whether the listener's icon can be read whole: positive sizes, pixels, and
// rows at least as long as the icon is wide. Otherwise the window has none.
bool icon_is_usable(const PlatformListener& listener);

// One turn of the window while the main thread waits for a kernel: the
// canvas repaints (an expose, a resize, a redraw the application asked
// for), a close request or Escape asks to cancel the wait, and every other
// input is held back, in order, for the frame loop after the wait. Returns
// whether a cancel was asked for in this turn. Without a window it returns
// false at once.
bool pump_window_while_waiting();

// Runs until the user closes the window: 10 ms sleeps, all pending GTK
// events, the listener's tick and paced redraws. Returns at once when
// create_window failed.
void run_frame_loop();

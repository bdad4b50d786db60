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

// Runs until the user closes the window: 10 ms sleeps, all pending GTK
// events, the listener's tick and paced redraws. Returns at once when
// create_window failed.
void run_frame_loop();

#pragma once
#include <array>
#include <cstdint>
#include <string>

// The two readouts over the 3D view: the status line (environment, entity
// count, canvas size and the camera of the active controller) and the
// frame-rate readout graded by colour; with them the canvas resize handler
// and the full-screen switch.

struct AppContext;
struct AppHooks;

// Durations of the last ten rendered frames in nanoseconds. The renderer
// writes it; the frame-rate readout averages it.
struct FrameTimeRing {
    std::array<int64_t, 10> durations_ns = {};
    int32_t next = 0;
};
extern FrameTimeRing FRAME_TIME_RING;

// Stores one frame's duration over the oldest.
void push_frame_time(FrameTimeRing& ring, int64_t duration_ns);
// Empties the ring. For tests.
void reset_frame_time_ring();

// Composes the status line into `attribute_trace_text` and the status label
// (sized to its text). Requests no redraw.
void update_attribute_trace(AppContext& app);
// Rebuilds the frame-rate readout from the ring while it is shown.
void update_fps_readout(AppContext& app);
// The readout's text and colours for an average frame time of `ms` and a
// theme; keeps the colours given for a theme outside both groups.
struct FrameRateReadout {
    double fps = -1.0;
    std::string text;
    uint32_t text_rgba = 0;
    uint32_t shape_rgba = 0;
};
FrameRateReadout compose_frame_rate_readout(double ms, int32_t theme_index, uint32_t text_rgba,
                                            uint32_t shape_rgba);

// The canvas changed size: stores it, shows the small-window notice below
// 480 x 360, re-applies the display options, rebuilds the status line and
// shows the size in the WINDOW menu's fields.
// The variant without a context is the root's resize callback.
bool on_viewport_resized(AppContext& app, int32_t width, int32_t height);
// The WINDOW menu's width and height fields show the window's size, but for
// a field being typed in.
void show_window_size_in_fields(AppContext& app);
bool on_viewport_resized(int32_t width, int32_t height);
// Enters or leaves full screen; ends a camera drag; BORDER and the window
// size fields show only outside full screen.
void set_full_screen(AppContext& app, bool on);

// Binds the status line to the pipeline's hook.
void install_status_line_hooks(AppHooks& hooks);

#pragma once
#include <cstdint>

#include "platform/platform_state.h"

// Pacing of the frame loop. The loop wakes in steps of about 10 ms, drains
// events, ticks when more than 10 ms passed since the last tick and queues a
// requested redraw when more than 20 ms passed since the last one. The
// differences are taken unsigned, so a clock that steps backwards makes
// them huge and the loop ticks (and draws) at once.
//
// A pass that already used its 10 ms step (it drew a slow frame) goes on
// without sleeping; any other sleeps until the step since the previous wake
// is over and the next tick is due (11 ms after the last one). With whole
// 10 ms sleeps on a millisecond clock every other pass found the tick gap
// exactly 10 and skipped it, so the tick ran every 20 ms instead of about
// every 10, and work deferred by ticks waited twice as long.

constexpr int64_t FRAME_SLEEP_MS = 10;
constexpr uint64_t FRAME_TICK_GAP_MS = 10;  // tick when the gap is above this
constexpr uint64_t FRAME_DRAW_GAP_MS = 20;  // draw when the gap is above this

// How long a pass that starts at `now` sleeps when the previous pass woke at
// `last_wake` and the last tick ran at `last_tick`: none when the step is
// used up, else until both the step is over and the next tick is due, and a
// whole step when the clock went backwards.
int64_t frame_sleep_ms(int64_t last_wake, int64_t last_tick, int64_t now);

// When a tick is due at `now`: records `now` as the last tick, returns true.
bool claim_frame_tick(PlatformState& state, int64_t now);
// When a redraw is requested and due at `now`: records `now` as the last
// draw, clears the request, returns true.
bool claim_frame_draw(PlatformState& state, int64_t now);

// The loop's contact with the outside world, replaceable so that the loop
// runs in tests without a display or real sleeps.
struct FrameLoopHooks {
    void (*sleep_step)(int64_t ms) = nullptr;  // sleeps 1 .. 11 ms
    void (*drain_events)() = nullptr;  // handles every pending event
    int64_t (*clock_ms)() = nullptr;   // milliseconds since the epoch
    void (*queue_draw)() = nullptr;    // asks for one expose of the canvas
};

// Waits (in sleep steps) until the window is ready, calls on_start once and
// runs passes until `alive` is cleared. Returns at once, without on_start,
// when the window could not be made (`alive` cleared while waiting).
void run_frame_loop_with(PlatformState& state, const FrameLoopHooks& hooks);

// nanosleep for `ms`, resumed with the remaining time after a signal.
void frame_sleep_step(int64_t ms);

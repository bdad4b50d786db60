#include "platform/frame_pacing.h"

#include <cerrno>
#include <ctime>

bool claim_frame_tick(PlatformState& state, int64_t now) {
    if (static_cast<uint64_t>(now - state.last_tick_ms) <= FRAME_TICK_GAP_MS) {
        return false;
    }
    state.last_tick_ms = now;
    return true;
}

bool claim_frame_draw(PlatformState& state, int64_t now) {
    if (!state.redraw_requested || static_cast<uint64_t>(now - state.last_draw_ms) <= FRAME_DRAW_GAP_MS) {
        return false;
    }
    state.last_draw_ms = now;
    state.redraw_requested = false;
    return true;
}

void run_frame_loop_with(PlatformState& state, const FrameLoopHooks& hooks) {
    while (!state.window_ready) {
        if (!state.alive) {
            return;  // creating the window failed; it will never be ready
        }
        hooks.sleep_step();
    }
    if (PlatformListener* listener = state.listeners[0]) {
        if (listener->on_start) listener->on_start(listener);
    }
    while (state.alive) {
        hooks.sleep_step();
        hooks.drain_events();
        // Closing the window during the drain destroys the canvas: end the
        // pass before anything could touch it.
        if (!state.alive) {
            break;
        }
        int64_t now = hooks.clock_ms();
        if (claim_frame_tick(state, now)) {
            PlatformListener* listener = state.listeners[0];
            if (listener && listener->on_tick) listener->on_tick(listener);
        }
        if (claim_frame_draw(state, now) && state.alive) {
            hooks.queue_draw();
        }
    }
}

void frame_sleep_step() {
    timespec request{0, FRAME_SLEEP_MS * 1000000L};
    while (nanosleep(&request, &request) != 0 && errno == EINTR) {
    }
}

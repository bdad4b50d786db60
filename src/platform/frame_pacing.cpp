#include "platform/frame_pacing.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

int64_t frame_sleep_ms(int64_t last_wake, int64_t last_tick, int64_t now) {
    if (now < last_wake || now < last_tick) return FRAME_SLEEP_MS;
    if (now - last_wake >= FRAME_SLEEP_MS) return 0;  // the pass used its step
    return std::max(last_wake + FRAME_SLEEP_MS, last_tick + static_cast<int64_t>(FRAME_TICK_GAP_MS) + 1) - now;
}

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
        hooks.sleep_step(FRAME_SLEEP_MS);
    }
    if (PlatformListener* listener = state.listeners[0]) {
        if (listener->on_start) listener->on_start(listener);
    }
    int64_t last_wake = hooks.clock_ms();
    while (state.alive) {
        if (const int64_t ms = frame_sleep_ms(last_wake, state.last_tick_ms, hooks.clock_ms())) hooks.sleep_step(ms);
        last_wake = hooks.clock_ms();
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

void frame_sleep_step(int64_t ms) {
    timespec request{0, static_cast<long>(ms) * 1000000L};
    while (nanosleep(&request, &request) != 0 && errno == EINTR) {
    }
}

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/frame_pacing.h"

namespace {

// The loop runs against a scripted world: sleeps advance a fake clock, the
// event drain runs the test's script for that pass, queued draws are logged.
int64_t fake_now = 0;
int32_t passes = 0, sleeps_until_ready = 0;
std::vector<std::string> events;
std::vector<int64_t> ticks, draws;
void (*script)(int32_t pass) = nullptr;
PlatformState state;
PlatformListener listener;

int32_t on_tick(PlatformListener*) {
    ticks.push_back(fake_now);
    events.push_back("tick");
    return 0;
}

void run_loop(int32_t sleeps_before_ready, void (*pass_script)(int32_t), ListenerNotify tick = on_tick) {
    fake_now = 1'700'000'000'000;
    passes = 0;
    sleeps_until_ready = sleeps_before_ready;
    events.clear();
    ticks.clear();
    draws.clear();
    script = pass_script;
    state = PlatformState();
    state.window_ready = sleeps_before_ready == 0;
    state.alive = sleeps_before_ready >= 0;  // negative: the window could not be made
    listener.on_start = [](PlatformListener*) { return events.push_back("start"), 0; };
    listener.on_tick = tick;
    state.listeners[0] = &listener;
    FrameLoopHooks hooks;
    hooks.sleep_step = [] {
        fake_now += FRAME_SLEEP_MS;
        events.push_back("sleep");
        if (--sleeps_until_ready == 0) state.window_ready = true;
    };
    hooks.drain_events = [] { script(++passes); };
    hooks.clock_ms = now_ms;  // the shared clock, substituted
    hooks.queue_draw = [] { draws.push_back(fake_now), events.push_back("draw"); };
    set_clock_for_tests([] { return fake_now; });
    run_frame_loop_with(state, hooks);
    set_clock_for_tests(nullptr);
}

}  // namespace

TEST(FramePacing, GapsAndABackwardClock) {
    PlatformState s;
    s.last_tick_ms = s.last_draw_ms = 1000;
    EXPECT_FALSE(claim_frame_tick(s, 1010));
    EXPECT_TRUE(claim_frame_tick(s, 1011));
    EXPECT_EQ(s.last_tick_ms, 1011);
    s.redraw_requested = false;
    EXPECT_FALSE(claim_frame_draw(s, 5000));  // nothing requested
    s.redraw_requested = true;
    EXPECT_FALSE(claim_frame_draw(s, 1020));
    EXPECT_TRUE(claim_frame_draw(s, 1021));
    EXPECT_FALSE(s.redraw_requested);
    s.redraw_requested = true;  // a clock stepping back: both due at once
    EXPECT_TRUE(claim_frame_tick(s, 900) && claim_frame_draw(s, 900));
    EXPECT_EQ(s.last_tick_ms + s.last_draw_ms, 1800);
}

TEST(FrameLoop, StartComesOnceWhenReadyAndNeverForAFailedWindow) {
    run_loop(0, [](int32_t) { state.alive = false; });
    EXPECT_EQ(events, (std::vector<std::string>{"start", "sleep"}));  // no sleep before start
    run_loop(3, [](int32_t) { state.alive = false; });
    EXPECT_EQ(events, (std::vector<std::string>{"sleep", "sleep", "sleep", "start", "sleep"}));
    run_loop(-1, [](int32_t) { state.alive = false; });
    EXPECT_TRUE(events.empty());
}

TEST(FrameLoop, ClosingDuringTheDrainEndsThePassBeforeTickOrDraw) {
    run_loop(0, [](int32_t pass) {
        state.alive = pass < 4;
        state.redraw_requested = true;  // a tick and a draw would both be due
        fake_now += 5;
    });
    EXPECT_EQ(passes, 4);
    EXPECT_EQ(events.back(), "sleep");  // the fourth pass only slept and drained
}

TEST(FrameLoop, PacingHoldsWithUnevenEventTimeAndMergedRequests) {
    // Every tick asks for a redraw, as an animation does; event handling
    // takes 0 to 6 ms per pass.
    run_loop(0, [](int32_t pass) { fake_now += pass % 7, state.alive = pass < 300; },
             [](PlatformListener* self) { return state.redraw_requested = true, on_tick(self); });
    ASSERT_GT(ticks.size(), 200u);
    ASSERT_GT(draws.size(), 100u);
    for (size_t i = 1; i < ticks.size(); ++i) EXPECT_GE(ticks[i] - ticks[i - 1], 11);
    for (size_t i = 1; i < draws.size(); ++i) {
        EXPECT_GE(draws[i] - draws[i - 1], 21);
        EXPECT_LE(draws[i] - draws[i - 1], 21 + 10 + 6);  // served within a pass of being due
    }
    // Two requests right after the first draw merge into one later draw.
    run_loop(0, [](int32_t pass) { state.redraw_requested |= pass == 2 || pass == 3, state.alive = pass < 12; });
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_GE(draws[1] - draws[0], 21);
}

TEST(FrameLoop, ABackwardClockStepTicksAndDrawsOnTheNextPass) {
    run_loop(0, [](int32_t pass) {
        if (pass == 5) fake_now -= 60'000, state.redraw_requested = true;
        state.alive = pass < 6;
    });
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(ticks.back(), draws.back());
    EXPECT_EQ(draws.back(), draws.front() + 40 - 60'000);
}

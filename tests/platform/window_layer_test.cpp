// The window layer without a display: key and pointer translation, the GTK
// handlers on fabricated events, frame pacing, and the desktop services.

#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <unistd.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/date_texts.h"
#include "platform/frame_pacing.h"
#include "platform/gtk_handlers.h"
#include "platform/input_translation.h"
#include "platform/services.h"
#include "platform/window.h"

namespace {

std::vector<std::string> calls;  // what the listener saw
std::string printed;             // what g_print wrote
void print_to_string(const gchar* text) { printed += text; }
int32_t note(std::string line, std::initializer_list<int32_t> values, int32_t answer) {
    for (int32_t value : values) line += " " + std::to_string(value);
    return calls.push_back(line), answer;
}

PlatformListener recording_listener() {
    calls.clear();
    PlatformListener l;
    l.on_key_down = [](PlatformListener*, int32_t k, int32_t m) { return note("down", {k, m}, 77); };
    l.on_key_up = [](PlatformListener*, int32_t k, int32_t m) { return note("up", {k, m}, 77); };
    l.on_mouse_button = [](PlatformListener*, int32_t b, int32_t a, int32_t x, int32_t y) {
        return note("button", {b, a, x, y}, 0x301);  // answered as its low byte
    };
    l.on_mouse_move = [](PlatformListener*, int32_t x, int32_t y) { return note("move", {x, y}, 0x100); };
    l.on_mouse_drag = [](PlatformListener*, int32_t x, int32_t y) { return note("drag", {x, y}, 0x2A); };
    l.on_drop = [](PlatformListener*, int32_t x, int32_t y, const std::string& text) {
        return note("drop", {x, y}, 0), calls.back() += " [" + text + "]", 0;
    };
    return l;
}

// The frame loop runs against a scripted world: sleeps advance a fake clock,
// the event drain runs the test's script for that pass, queued draws are logged.
int64_t fake_now = 0;
int32_t passes = 0, sleeps_until_ready = 0;
std::vector<int64_t> ticks, draws, sleeps;
void (*script)(int32_t pass) = nullptr;
PlatformState state;
PlatformListener loop_listener;

int32_t on_tick(PlatformListener*) { return ticks.push_back(fake_now), note("tick", {}, 0); }

// A negative sleep count: the window could not be made.
void run_loop(int32_t sleeps_before_ready, void (*pass_script)(int32_t), ListenerNotify tick = on_tick) {
    fake_now = 1'700'000'000'000, passes = 0, sleeps_until_ready = sleeps_before_ready, script = pass_script;
    calls.clear(), ticks.clear(), draws.clear(), sleeps.clear();
    state = PlatformState();
    state.window_ready = sleeps_before_ready == 0;
    state.alive = sleeps_before_ready >= 0;
    loop_listener.on_start = [](PlatformListener*) { return note("start", {}, 0); };
    loop_listener.on_tick = tick;
    state.listeners[0] = &loop_listener;
    FrameLoopHooks hooks;
    hooks.sleep_step = [](int64_t ms) {
        fake_now += ms, sleeps.push_back(ms), state.window_ready |= --sleeps_until_ready == 0, note("sleep", {}, 0);
    };
    hooks.drain_events = [] { script(++passes); };
    hooks.clock_ms = now_ms;  // the shared clock, substituted
    hooks.queue_draw = [] { draws.push_back(fake_now), note("draw", {}, 0); };
    set_clock_for_tests([] { return fake_now; });
    run_frame_loop_with(state, hooks);
    set_clock_for_tests(nullptr);
}

}  // namespace

TEST(KeyTranslation, TableOnPressAndRelease) {
    // Range ends and their neighbours (0: never translated); negative: on press only.
    const std::vector<std::pair<uint32_t, KeyCode>> table = {
        {' ', 32},      {'~', 126},     {'A', 65},      {0xFF08, 8},    {0xFF09, 9},    {0xFE20, 9},    {0xFF0D, 13},
        {0xFF8D, 13},   {0xFF1B, 27},   {0xFF51, 500},  {0xFF52, 501},  {0xFF53, 502},  {0xFF54, 503},  {0xFFE9, 510},
        {0xFFEA, 510},  {0xFFE1, 511},  {0xFFE2, 511},  {0xFFE3, 512},  {0xFFE4, 512},  {0xFFB0, '0'},  {0xFFB9, '9'},
        {0xFFBE, 1001}, {0xFFC2, 1005}, {0xFFC9, 1012}, {0xFF50, -520}, {0xFF57, -521}, {0xFF55, -522}, {0xFF56, -523},
        {0x0, 0},       {0x1F, 0},      {0x7F, 0},      {0xE9, 0},      {0x1000263, 0}, {0xFFAF, 0},    {0xFFBA, 0},
        {0xFFBD, 0},    {0xFFCA, 0},    {0xFF63, 0},    {0xFFFF, 0},    {0xFFEB, 0},    {0xFE21, 0}};
    for (const auto& [keyval, expected] : table) {
        KeyCode down = -1, up = -1;
        EXPECT_EQ(translate_key_value(keyval, false, down) ? down : 0, std::abs(expected)) << std::hex << keyval;
        EXPECT_EQ(translate_key_value(keyval, true, up) ? up : 0, std::max(expected, 0)) << std::hex << keyval;
    }
}

TEST(KeyTranslation, ModifiersAndTheHandledRule) {
    EXPECT_EQ(translate_modifier_state(GDK_STATE_MOD1 | GDK_STATE_SHIFT | GDK_STATE_CONTROL), 14);
    EXPECT_EQ(translate_modifier_state(~(GDK_STATE_MOD1 | GDK_STATE_SHIFT | GDK_STATE_CONTROL)), 0);
    PlatformListener listener = recording_listener();
    // Ctrl+A as GDK reports it; modifier keys go on to GTK (0), the rest are ours (1).
    EXPECT_EQ(dispatch_key_event(&listener, 0xFFE3, 0, false), 0);
    EXPECT_EQ(dispatch_key_event(&listener, 'a', GDK_STATE_CONTROL, false), 1);
    EXPECT_EQ(dispatch_key_event(&listener, 'A', GDK_STATE_CONTROL | GDK_STATE_SHIFT, false), 1);
    EXPECT_EQ(dispatch_key_event(&listener, 0xFFE3, GDK_STATE_CONTROL, true), 0);
    EXPECT_EQ(dispatch_key_event(&listener, 0xFE20, GDK_STATE_SHIFT, false), 1);  // Shift+Tab
    EXPECT_EQ(dispatch_key_event(&listener, 0xFF50, 0, true), 0);                 // Home released
    EXPECT_EQ(dispatch_key_event(&listener, 0xFFFF, 0, false), 0);                // Delete: not ours
    EXPECT_EQ(calls, (std::vector<std::string>{"down 512 0", "down 97 8", "down 65 12", "up 512 8", "down 9 4"}));
    PlatformListener empty;  // the answers do not depend on anyone listening
    for (PlatformListener* nobody : {static_cast<PlatformListener*>(nullptr), &empty}) {
        EXPECT_EQ(dispatch_key_event(nobody, 'x', 0, false) * 10 + dispatch_key_event(nobody, 0xFFE1, 0, false), 10);
        EXPECT_EQ(dispatch_button_event(nobody, 1, false, 1, 1) + dispatch_scroll_event(nobody, 0, 1, 1) +
                      dispatch_motion_event(nobody, 0, 1, 1) +
                      dispatch_notify(nobody, &PlatformListener::on_window_enter),
                  0);
    }
}

// Every event of one physical key carries the code of its press, whatever
// Shift did in between; a release or a lost focus ends the press.
TEST(KeyTranslation, APhysicalKeyKeepsTheCodeOfItsPress) {
    reset_platform_state_for_tests();
    PlatformListener listener = recording_listener();
    const uint32_t minus_key = 20, home_key = 110;
    dispatch_key_event(&listener, '_', GDK_STATE_SHIFT, false, minus_key);  // Shift let go first
    dispatch_key_event(&listener, '-', 0, true, minus_key);
    dispatch_key_event(&listener, '-', 0, false, minus_key);  // Shift pressed during the hold
    dispatch_key_event(&listener, '_', GDK_STATE_SHIFT, false, minus_key);
    dispatch_key_event(&listener, '_', GDK_STATE_SHIFT, true, minus_key);
    dispatch_key_event(&listener, 0xFF50, 0, false, home_key);  // Home repeats, its release is not reported
    dispatch_key_event(&listener, 0xFF50, 0, false, home_key);
    dispatch_key_event(&listener, 0xFF50, 0, true, home_key);
    dispatch_key_event(&listener, '_', GDK_STATE_SHIFT, false, minus_key);
    clear_platform_key_states();  // focus lost with the key held
    dispatch_key_event(&listener, '-', 0, false, minus_key);
    dispatch_key_event(&listener, '_', GDK_STATE_SHIFT, false, 0);  // no hardware code: as the key value says
    EXPECT_EQ(calls, (std::vector<std::string>{"down 95 4", "up 95 0", "down 45 0", "down 45 4", "up 45 4",
                                               "down 520 0", "down 520 0", "down 95 4", "down 45 0", "down 95 4"}));
    reset_platform_state_for_tests();
}

TEST(PointerTranslation, ButtonsWheelMotionAndCoordinates) {
    PlatformListener listener = recording_listener();
    EXPECT_EQ(dispatch_button_event(&listener, 3, false, 10.9, 20.2), 1);
    EXPECT_EQ(dispatch_button_event(&listener, 3, true, 10.9, 20.2), 1);
    dispatch_button_event(&listener, 8, false, -0.7, -3.9);  // an extra mouse button
    for (int32_t direction = 0; direction < 4; ++direction) dispatch_scroll_event(&listener, direction, 5.5, 6.5);
    EXPECT_EQ(dispatch_motion_event(&listener, GDK_STATE_BUTTON5 | GDK_STATE_SHIFT, 1, 2), 0);
    for (uint32_t mask : {GDK_STATE_BUTTON1, GDK_STATE_BUTTON2, GDK_STATE_BUTTON3, GDK_STATE_BUTTON4})
        EXPECT_EQ(dispatch_motion_event(&listener, mask | GDK_STATE_BUTTON5, 3, 4), 0x2A);
    EXPECT_EQ(calls, (std::vector<std::string>{"button 2 0 10 20", "button 2 1 10 20", "button 7 0 0 -3",
                                               "button 3 0 5 6", "button 4 0 5 6", "button 5 0 5 6", "button 6 0 5 6",
                                               "move 1 2", "drag 3 4", "drag 3 4", "drag 3 4", "drag 3 4"}));
    // The renderer's picking reads under the last position.
    EXPECT_EQ((std::vector<int32_t>{platform_state.pointer_x, platform_state.pointer_y}), (std::vector<int32_t>{3, 4}));
    for (auto [value, truncated] : {std::pair{-12.99, -12}, {std::nan(""), 0}, {1e12, INT32_MAX}, {-1e300, INT32_MIN}})
        EXPECT_EQ(truncate_coordinate(value), truncated) << value;
}

// Drops print the whole text, line breaks included, after "DRAG-DROP:";
// nothing for missing or empty data, and never a byte past the given length.
TEST(GtkHandlers, MotionAndDropsOnFabricatedEvents) {
    PlatformListener listener = recording_listener();
    reset_platform_state_for_tests();
    set_platform_listener(&listener, 0);
    GdkEventMotion motion{};
    motion.x = 12.7, motion.y = 3.2, motion.state = GDK_BUTTON5_MASK;
    EXPECT_FALSE(on_gtk_motion(nullptr, &motion, nullptr));
    motion.state = GDK_BUTTON2_MASK;
    EXPECT_TRUE(on_gtk_motion(nullptr, &motion, nullptr));

    printed.clear(), g_set_print_handler(print_to_string);
    const char uris[] = "file:///tmp/a.vrek\r\nfile:///tmp/b%20c.vrek\r\n";
    GtkSelectionData selection{};
    selection.data = reinterpret_cast<guchar*>(const_cast<char*>(uris));
    selection.length = static_cast<gint>(sizeof uris);  // the text ends at its NUL
    on_gtk_drag_data_received(nullptr, nullptr, 7, 9, &selection, 1, 0, nullptr);
    EXPECT_EQ(printed, std::string("DRAG-DROP:\n") + uris);
    std::vector<char> unterminated(uris, uris + 4);
    selection.data = reinterpret_cast<guchar*>(unterminated.data());
    for (gint length : {0, -1, 4})
        selection.length = length, on_gtk_drag_data_received(nullptr, nullptr, 2, 3, &selection, 0, 0, nullptr);
    selection.data = nullptr;
    on_gtk_drag_data_received(nullptr, nullptr, 1, 1, &selection, 0, 0, nullptr);
    on_gtk_drag_data_received(nullptr, nullptr, 1, 1, nullptr, 0, 0, nullptr);
    g_set_print_handler(nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"move 12 3", "drag 12 3", std::string("drop 7 9 [") + uris + "]",
                                               "drop 2 3 [file]"}));
    reset_platform_state_for_tests();
}

// A pass closed in its drain neither ticks nor draws, though both are due.
TEST(FrameLoop, StartComesOnceWhenReadyAndNeverForAFailedWindow) {
    auto close_in_first_drain = [](int32_t) { state.alive = false; };
    run_loop(0, close_in_first_drain);
    EXPECT_EQ(calls, (std::vector<std::string>{"start", "sleep"}));
    run_loop(3, close_in_first_drain);
    EXPECT_EQ(calls, (std::vector<std::string>{"sleep", "sleep", "sleep", "start", "sleep"}));
    run_loop(-1, close_in_first_drain);
    EXPECT_TRUE(calls.empty());
}

TEST(FrameLoop, PacingHoldsWithUnevenEventTimeAndMergedRequests) {
    // Every tick asks for a redraw, as an animation does; events take 0 to 6 ms a pass.
    run_loop(0, [](int32_t pass) { fake_now += pass % 7, state.alive = pass < 300; },
             [](PlatformListener* self) { return state.redraw_requested = true, on_tick(self); });
    ASSERT_TRUE(ticks.size() > 200 && draws.size() > 100);
    for (size_t i = 1; i < ticks.size(); ++i) EXPECT_GE(ticks[i] - ticks[i - 1], 11);
    for (size_t i = 1; i < draws.size(); ++i)  // and served within a pass of being due
        EXPECT_TRUE(draws[i] - draws[i - 1] >= 21 && draws[i] - draws[i - 1] <= 21 + 10 + 6) << draws[i] - draws[i - 1];
    // Two requests right after the first draw merge into one later draw.
    run_loop(0, [](int32_t pass) { state.redraw_requested |= pass == 2 || pass == 3, state.alive = pass < 12; });
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_GE(draws[1] - draws[0], 21);
}

// Drawing happens in the drain. A pass that drew a slow frame has used its
// step: the due redraw goes on at once. Other passes sleep until the next
// tick is due, so every pass ticks, 11 ms after the last tick: whole 10 ms
// sleeps on the millisecond clock ticked only every 20 ms, which doubled
// the wait of work deferred by a few ticks (an open waits five).
TEST(FrameLoop, ASlowFrameIsNotFollowedByASleepAndTicksComeEvery11Ms) {
    run_loop(0, [](int32_t pass) {
        fake_now += pass <= 20 ? 100 : pass % 4;  // twenty 100 ms frames, then light events
        state.alive = pass < 60;
    }, [](PlatformListener* self) { return state.redraw_requested = true, on_tick(self); });
    ASSERT_EQ(sleeps.size(), 60u - 20u);
    EXPECT_EQ(sleeps.front(), FRAME_SLEEP_MS);  // the first pass sleeps a whole step
    for (size_t i = 1; i < 20; ++i) EXPECT_EQ(draws[i] - draws[i - 1], 100) << i;
    // The first light pass comes right after the last tick and does not tick;
    // from then on every pass sleeps until its tick is due, and ticks.
    EXPECT_EQ(sleeps[1], 10);
    for (size_t i = 2; i < sleeps.size(); ++i) EXPECT_EQ(sleeps[i], 11) << i;
    ASSERT_EQ(ticks.size(), 58u);
    for (size_t i = 21; i < ticks.size(); ++i) EXPECT_EQ(ticks[i] - ticks[i - 1], 11 + static_cast<int64_t>(i + 2) % 4) << i;
    run_loop(0, [](int32_t pass) { state.alive = pass < 100; });  // idle
    ASSERT_EQ(ticks.size(), 99u);
    for (size_t i = 1; i < ticks.size(); ++i) EXPECT_EQ(ticks[i] - ticks[i - 1], 11) << i;
    EXPECT_EQ(frame_sleep_ms(1000, 990, 1003), 7);   // the step is longer than the tick's wait
    EXPECT_EQ(frame_sleep_ms(1000, 1002, 1003), 10);  // the tick falls due after the step
    EXPECT_EQ(frame_sleep_ms(1000, 1012, 1012), 0);  // a slow pass: the due draw goes on
    EXPECT_EQ(frame_sleep_ms(1000, 990, 400), FRAME_SLEEP_MS);  // a clock stepped back sleeps a whole step
}

TEST(FrameLoop, ABackwardClockStepTicksAndDrawsOnTheNextPass) {
    run_loop(0, [](int32_t pass) {
        if (pass == 5) fake_now -= 60'000, state.redraw_requested = true;
        state.alive = pass < 6;
    });
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(ticks.back(), draws.back());
    EXPECT_EQ(draws.back(), draws.front() + 4 * 11 - 60'000);  // four passes, each 11 ms after its tick
}

TEST(DateTexts, PaddingAndFailedComponents) {
    EXPECT_EQ(format_date_text(2024, 2, 5) + " " + format_time_text(9, 5, 7), "2024-02-05 09:05:07");
    EXPECT_EQ(format_date_text(812, 12, 31) + " " + format_time_text(23, 0, 10), "812-12-31 23:00:10");
    EXPECT_EQ(format_date_time_stamp(2024, 2, 5, 9, 5, 7), "20240205090507");
    EXPECT_EQ(format_date_text(2024, -1, 1) + format_time_text(10, 10, -1), "");
    EXPECT_EQ(format_date_time_stamp(2024, 2, -1, 9, 5, 7), "");
    EXPECT_EQ(format_date_time_stamp(2024, 2, 5, -1, 5, 7), "20240205");
    // The live texts have the same shapes.
    EXPECT_EQ(date_text().size() * 100 + time_text().size(), 1008u);
    const std::string stamp = date_time_stamp();
    EXPECT_TRUE(stamp.size() == 14 && stamp.find_first_not_of("0123456789") == std::string::npos) << stamp;
}

TEST(SavePng, RoundTripAndRefusedArguments) {
    const std::string path = testing::TempDir() + "vk_png_test_" + std::to_string(getpid()) + ".png";
    // 3 x 2 pixels in rows of 16 bytes: the padding must not show.
    const std::vector<uint8_t> pixels = {255, 0,  0,  255, 0,  255, 0,  128, 0,  0,   255, 0,   9, 9, 9, 9,
                                         10,  20, 30, 40,  50, 60,  70, 80,  90, 100, 110, 255, 9, 9, 9, 9};
    std::string failure;
    ASSERT_TRUE(platform_save_png(path, "png", pixels.data(), 3, 2, 16, failure));
    GdkPixbuf* image = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(gdk_pixbuf_get_width(image) * 10 + gdk_pixbuf_get_height(image), 32);
    ASSERT_TRUE(gdk_pixbuf_get_has_alpha(image));
    for (int row = 0; row < 2; ++row)
        EXPECT_TRUE(std::equal(pixels.begin() + row * 16, pixels.begin() + row * 16 + 12,
                               gdk_pixbuf_get_pixels(image) + row * gdk_pixbuf_get_rowstride(image))) << row;
    g_object_unref(image);
    std::remove(path.c_str());
    // One error line each; arguments that cannot describe the buffer (a short
    // stride would read past its end) are refused before a pixel is read.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(platform_save_png(path + ".missing/x.png", "png", pixels.data(), 3, 2, 16, failure));
    EXPECT_EQ(failure, "No such file or directory");
    EXPECT_FALSE(platform_save_png(path, "png", nullptr, 3, 2, 16, failure));
    EXPECT_FALSE(platform_save_png(path, "png", pixels.data(), 0, 2, 16, failure));
    EXPECT_FALSE(platform_save_png(path, "png", pixels.data(), 3, -2, 16, failure));
    EXPECT_FALSE(platform_save_png(path, "png", pixels.data(), 5, 2, 16, failure));
    EXPECT_FALSE(platform_save_png(path, "no-such-type", pixels.data(), 3, 2, 16, failure));
    std::istringstream output(testing::internal::GetCapturedStdout());
    int lines = 0;
    for (std::string line; std::getline(output, line); ++lines)
        EXPECT_TRUE(line.rfind("GTK-IMAGE-ERROR:(", 0) == 0 && line.substr(line.size() - 2) == "];") << line;
    EXPECT_EQ(lines, 6);
    EXPECT_FALSE(g_file_test(path.c_str(), G_FILE_TEST_EXISTS));
}

TEST(PlatformTable, ListenerSlotsBackgroundChannelsAndNoDisplay) {
    reset_platform_state_for_tests();
    PlatformListener first, second;
    set_platform_listener(&first, 0);
    set_platform_listener(&second, 7);
    testing::internal::CaptureStdout();
    set_platform_listener(&second, 8);
    set_platform_listener(&second, -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "KAVRO-8-WINDOW-MAX!\nKAVRO-8-WINDOW-MAX!\n");
    EXPECT_EQ(active_listener(), &first);
    EXPECT_EQ(std::count(std::begin(platform_state.listeners), std::end(platform_state.listeners), &second), 1);
    // Clamped before the conversion, which would be undefined out of range.
    for (auto [channel, value] : {std::pair{1.0, 0xFF00}, {0.5, 32640}, {-0.5, 0}, {7.0, 0xFF00}, {std::nan(""), 0}})
        EXPECT_EQ(background_channel_value(channel), value) << channel;
    // An icon is read row by row: a row shorter than the width would overrun.
    uint8_t pixels[4 * 4 * 4] = {};
    first.icon_pixels = pixels, first.icon_width = 4, first.icon_height = 4, first.icon_row_length = 4;
    EXPECT_TRUE(icon_is_usable(first));
    first.icon_row_length = 3;
    EXPECT_FALSE(icon_is_usable(first));
    first.icon_row_length = 4, first.icon_pixels = nullptr;
    EXPECT_FALSE(icon_is_usable(first));

    // Without a display: no window, and the loop does not wait for one.
    unsetenv("DISPLAY");
    printed.clear(), g_set_print_handler(print_to_string);
    EXPECT_EQ(create_window(first), 1);
    run_frame_loop();
    g_set_print_handler(nullptr);
    EXPECT_EQ(printed, "Unable to Open X-Display!\n");
    EXPECT_FALSE(platform_state.window_ready);
    reset_platform_state_for_tests();
    EXPECT_EQ(active_listener(), nullptr);
}

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/gtk_handlers.h"
#include "platform/input_translation.h"

namespace {

std::vector<std::string> calls;  // what the listener saw
void note(std::string line, std::initializer_list<int32_t> values) {
    for (int32_t value : values) line += " " + std::to_string(value);
    calls.push_back(line);
}

PlatformListener recording_listener() {
    calls.clear();
    PlatformListener l;
    l.on_key_down = [](PlatformListener*, int32_t k, int32_t m) { return note("down", {k, m}), 77; };
    l.on_key_up = [](PlatformListener*, int32_t k, int32_t m) { return note("up", {k, m}), 77; };
    l.on_mouse_button = [](PlatformListener*, int32_t b, int32_t a, int32_t x, int32_t y) {
        return note("button", {b, a, x, y}), 0x301;  // answered as its low byte
    };
    l.on_mouse_move = [](PlatformListener*, int32_t x, int32_t y) { return note("move", {x, y}), 0x100; };
    l.on_mouse_drag = [](PlatformListener*, int32_t x, int32_t y) { return note("drag", {x, y}), 0x2A; };
    l.on_draw = [](PlatformListener*) { return note("draw", {}), 0; };
    l.on_drop = [](PlatformListener*, int32_t x, int32_t y, const std::string& text) {
        return note("drop", {x, y}), calls.back() += " [" + text + "]", 0;
    };
    return l;
}

}  // namespace

TEST(KeyTranslation, TableOnPressAndRelease) {
    const std::vector<std::pair<uint32_t, KeyCode>> both_ways = {
        {' ', 32},     {'~', 126},    {'A', 65},     {0xFF08, 8},   {0xFF09, 9},   {0xFE20, 9},   {0xFF0D, 13},
        {0xFF8D, 13},  {0xFF1B, 27},  {0xFF51, 500}, {0xFF52, 501}, {0xFF53, 502}, {0xFF54, 503}, {0xFFE9, 510},
        {0xFFEA, 510}, {0xFFE1, 511}, {0xFFE2, 511}, {0xFFE3, 512}, {0xFFE4, 512}, {0xFFB0, '0'}, {0xFFB9, '9'},
        {0xFFBE, 1001}, {0xFFC2, 1005}, {0xFFC9, 1012}};
    for (const auto& [keyval, expected] : both_ways) {
        KeyCode down = -1, up = -1;
        EXPECT_TRUE(translate_key_value(keyval, false, down) && down == expected) << std::hex << keyval;
        EXPECT_TRUE(translate_key_value(keyval, true, up) && up == expected) << std::hex << keyval;
    }
    const std::vector<std::pair<uint32_t, KeyCode>> presses_only = {
        {0xFF50, 520}, {0xFF57, 521}, {0xFF55, 522}, {0xFF56, 523}};
    for (const auto& [keyval, expected] : presses_only) {
        KeyCode code = -1;
        EXPECT_TRUE(translate_key_value(keyval, false, code) && code == expected) << std::hex << keyval;
        EXPECT_FALSE(translate_key_value(keyval, true, code)) << std::hex << keyval;
    }
    // Neighbours of every translated range, and keys the table leaves out.
    for (uint32_t keyval : {0x0u, 0x1Fu, 0x7Fu, 0xE9u, 0x1000263u, 0xFFAFu, 0xFFBAu, 0xFFBDu, 0xFFCAu, 0xFF63u,
                            0xFFFFu, 0xFFEBu, 0xFE21u}) {
        KeyCode code = -1;
        EXPECT_FALSE(translate_key_value(keyval, false, code) || translate_key_value(keyval, true, code)) << keyval;
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
        EXPECT_EQ(dispatch_button_event(nobody, 1, false, 1, 1) + dispatch_motion_event(nobody, 0, 1, 1) +
                      dispatch_notify(nobody, &PlatformListener::on_window_enter),
                  0);
    }
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
    EXPECT_EQ(truncate_coordinate(-12.99), -12);
    EXPECT_EQ(truncate_coordinate(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(truncate_coordinate(1e12), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(truncate_coordinate(-1e300), std::numeric_limits<int32_t>::min());
}

TEST(GtkHandlers, ExposeSeriesMotionAndDropsOnFabricatedEvents) {
    PlatformListener listener = recording_listener();
    reset_platform_state_for_tests();
    set_platform_listener(&listener, 0);
    GdkEventExpose expose{};
    expose.count = 2;  // further exposes follow: only the last one draws
    EXPECT_TRUE(on_gtk_expose(nullptr, &expose, nullptr));
    GdkEventMotion motion{};
    motion.x = 12.7;
    motion.y = 3.2;
    motion.state = GDK_BUTTON5_MASK;
    EXPECT_FALSE(on_gtk_motion(nullptr, &motion, nullptr));
    motion.state = GDK_BUTTON2_MASK;
    EXPECT_TRUE(on_gtk_motion(nullptr, &motion, nullptr));

    // Drops: the whole text, line breaks included, printed after "DRAG-DROP:";
    // nothing for missing or empty data, never a byte past the given length.
    static std::string printed;
    g_set_print_handler([](const gchar* text) { printed += text; });
    const char uris[] = "file:///tmp/a.vrek\r\nfile:///tmp/b%20c.vrek\r\n";
    GtkSelectionData selection{};
    selection.data = reinterpret_cast<guchar*>(const_cast<char*>(uris));
    selection.length = static_cast<gint>(sizeof uris - 1);
    on_gtk_drag_data_received(nullptr, nullptr, 7, 9, &selection, 1, 0, nullptr);
    EXPECT_EQ(printed, std::string("DRAG-DROP:\n") + uris);
    std::vector<char> unterminated(uris, uris + 4);
    selection.data = reinterpret_cast<guchar*>(unterminated.data());
    for (gint length : {0, -1, 4}) {
        selection.length = length;
        on_gtk_drag_data_received(nullptr, nullptr, 2, 3, &selection, 0, 0, nullptr);
    }
    selection.data = nullptr;
    on_gtk_drag_data_received(nullptr, nullptr, 1, 1, &selection, 0, 0, nullptr);
    on_gtk_drag_data_received(nullptr, nullptr, 1, 1, nullptr, 0, 0, nullptr);
    g_set_print_handler(nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"move 12 3", "drag 12 3", std::string("drop 7 9 [") + uris + "]",
                                               "drop 2 3 [file]"}));
    reset_platform_state_for_tests();
}

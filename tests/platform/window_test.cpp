// Real GTK windows with a GL canvas, driven by xdotool, on a private Xvfb when
// possible, so that other window tests moving a shared pointer cannot interfere.

#include <gtest/gtest.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <GL/gl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <csignal>
#include <string>
#include <vector>

#include "platform/gtk_handlers.h"
#include "platform/services.h"
#include "platform/termination.h"
#include "platform/window.h"
#include "platform/gl_state.h"
#include "support/close_request.h"
#include "support/gtk_pump.h"
#include "support/private_display.h"
#include "support/run_program.h"

// The native file dialog draws its text through fontconfig and cairo,
// whose font caches live as long as the process does.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libcairo.so\n"; }

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

std::vector<std::string> seen, inputs;  // what the listener saw, in order; the keys and buttons among it
std::vector<std::string> complaints;    // GTK's critical messages
std::string printed;                    // what g_print wrote
int gl_state_errors = -1;
int32_t note(const std::string& line, int32_t answer = 0) { return seen.push_back(line), answer; }
int32_t input(const std::string& line, int32_t answer = 0) { return inputs.push_back(line), note(line, answer); }
std::string xy(int32_t x, int32_t y) { return std::to_string(x) + " " + std::to_string(y); }
bool has_seen(const std::string& line) { return std::find(seen.begin(), seen.end(), line) != seen.end(); }
size_t position(const std::string& line) { return std::find(seen.begin(), seen.end(), line) - seen.begin(); }

// Counts the fixed GL state that is missing when the listener is first called.
int32_t on_gl_init(PlatformListener*) {
    auto integer = [](GLenum name) { GLint value = 0; return glGetIntegerv(name, &value), value; };
    auto real = [](GLenum name) { GLfloat value[4] = {}; return glGetFloatv(name, value), value[0]; };
    GLfloat shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    gl_state_errors = integer(GL_BLEND_SRC) != GL_SRC_ALPHA || integer(GL_BLEND_DST) != GL_ONE_MINUS_SRC_ALPHA ||
                      real(GL_POINT_SIZE) != 2.0f || real(GL_LIGHT_MODEL_AMBIENT) != 0.25f || shininess != 5.0f ||
                      clamp_sample_count(integer(GL_MAX_SAMPLES) + 4) != integer(GL_MAX_SAMPLES) ||
                      clamp_sample_count(1) != 1;
    for (GLenum on : {GL_COLOR_MATERIAL, GL_DEPTH_TEST, GL_BLEND, GL_ALPHA_TEST, GL_CULL_FACE, GL_NORMALIZE, GL_LIGHT0})
        gl_state_errors += !glIsEnabled(on);
    return note("gl-init");
}

PlatformListener recording_listener() {
    PlatformListener l;
    l.width = 240, l.height = 160, l.min_width = l.min_height = 64;
    l.on_gl_init = on_gl_init;
    l.on_draw = [](PlatformListener*) {  // 0x3366CC
        return glClearColor(0.2f, 0.4f, 0.8f, 1.0f), glClear(GL_COLOR_BUFFER_BIT), note("draw");
    };
    l.on_key_down = [](PlatformListener*, int32_t k, int32_t m) { return input("down " + xy(k, m)); };
    l.on_key_up = [](PlatformListener*, int32_t k, int32_t m) { return input("up " + xy(k, m)); };
    l.on_mouse_button = [](PlatformListener*, int32_t b, int32_t a, int32_t x, int32_t y) {
        return input("button " + xy(b, a) + " " + xy(x, y), 1);
    };
    l.on_mouse_move = [](PlatformListener*, int32_t x, int32_t y) { return note("move " + xy(x, y)); };
    l.on_mouse_drag = [](PlatformListener*, int32_t x, int32_t y) { return note("drag " + xy(x, y), 1); };
    l.on_resize = [](PlatformListener*, int32_t w, int32_t h) { return note("resize " + xy(w, h)); };
    l.on_window_enter = [](PlatformListener*) { return note("enter"); };
    l.on_window_focus_in = [](PlatformListener*) { return note("focus-in"); };
    return l;
}

}  // namespace

// One window's life: opening, desktop services, real input from xdotool, closing.
// The close button as a window manager reports it: WM_DELETE_WINDOW.
void send_close_request() {
    GdkWindow* window = gtk_widget_get_window(platform_state.window);
    send_close_request(GDK_WINDOW_XDISPLAY(window), GDK_WINDOW_XID(window));
}

TEST(PlatformWindow, OpensServesTakesRealInputAndCloses) {
    g_set_print_handler([](const gchar* text) { printed += text; });
    g_log_set_default_handler([](const gchar*, GLogLevelFlags level, const gchar* message, gpointer) {
        if (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_ERROR)) complaints.push_back(message);
    }, nullptr);
    PlatformListener listener = recording_listener();
    std::vector<uint8_t> icon(16 * 8 * 4);
    for (size_t i = 0; i < icon.size(); ++i) icon[i] = uint8_t(i * 7 + 1);
    const std::vector<uint8_t> first_row(icon.begin(), icon.begin() + 12 * 4);
    listener.icon_width = 12, listener.icon_height = 8, listener.icon_row_length = 16;
    listener.icon_pixels = icon.data();
    set_platform_listener(&listener, 0);
    ASSERT_EQ(create_window(listener), 0) << printed;
    icon.assign(icon.size(), 0), icon = std::vector<uint8_t>();  // the caller's buffer goes away
    gtk_window_move(GTK_WINDOW(platform_state.window), 40, 40);
    ASSERT_TRUE(pump_until([] { return has_seen("draw"); })) << "no first frame";
    int x = 0, y = 0;  // the canvas on the screen
    gdk_window_get_origin(gtk_widget_get_window(platform_state.canvas), &x, &y);

    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_EQ(gl_state_errors, 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "gl-init"), 1);
    EXPECT_LT(position("gl-init"), position("draw"));
    int min_width = 0, min_height = 0;
    gtk_widget_get_size_request(platform_state.canvas, &min_width, &min_height);
    EXPECT_EQ(min_width * 1000 + min_height, 64064);
    GdkPixbuf* shown = gtk_window_get_icon(GTK_WINDOW(platform_state.window));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(shown) * 1000 + gdk_pixbuf_get_height(shown), 12008);
    EXPECT_TRUE(std::equal(first_row.begin(), first_row.end(), gdk_pixbuf_get_pixels(shown)));
    // A screenshot: the X server shows the listener's frame at the canvas centre.
    GdkPixbuf* pixel = gdk_pixbuf_get_from_drawable(nullptr, gdk_get_default_root_window(), nullptr,
                                                    x + platform_state.canvas_width / 2,
                                                    y + platform_state.canvas_height / 2, 0, 0, 1, 1);
    ASSERT_NE(pixel, nullptr);
    const guchar* p = gdk_pixbuf_get_pixels(pixel);
    EXPECT_EQ(p[0] << 16 | p[1] << 8 | p[2], 0x3366CC);
    g_object_unref(pixel);
    // Of a series of exposes, only the last one draws.
    GdkEventExpose expose{};
    seen.clear();
    for (int count : {2, 0}) expose.count = count, on_gtk_expose(nullptr, &expose, nullptr);
    EXPECT_EQ(seen, std::vector<std::string>{"draw"});

    const std::string text = "first line\nzweite Zeile \xC3\xA4\xE2\x9C\x93\n";
    EXPECT_TRUE(platform_clipboard_set_text(text));
    EXPECT_EQ(platform_clipboard_get_text(), text);
    gtk_clipboard_clear(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    EXPECT_EQ(platform_clipboard_get_text(), "");
    platform_set_widget_background(1.0, 0.5, -3.0, 1.0);
    GdkColor colour = gtk_widget_get_style(platform_state.window)->bg[GTK_STATE_NORMAL];
    EXPECT_EQ(std::vector<int>({colour.red, colour.green, colour.blue}), std::vector<int>({0xFF00, 32640, 0}));

    // Motion hints read the pointer when handled: the button stays down so the drag is one.
    seen.clear();
    ASSERT_TRUE(run_while_pumping("xdotool mousemove --sync " + xy(x + 20, y + 30) +
                                  " sleep 0.1 keydown Control_L key a keyup Control_L keydown Shift_L key Tab"
                                  " keyup Shift_L key F1 key Home key Escape click 3 sleep 0.3 mousedown 1"
                                  " mousemove --sync " + xy(x + 60, y + 45) +
                                  " sleep 0.3 mouseup 1 sleep 0.3 click 5 sleep 0.3 click 4"));
    ASSERT_TRUE(pump_until([] { return has_seen("button 3 0 60 45"); }));
    EXPECT_EQ(inputs, (std::vector<std::string>{
                          "down 512 0", "down 97 8", "up 97 8", "up 512 8", "down 511 0", "down 9 4", "up 9 4",
                          "up 511 4", "down 1001 0", "up 1001 0", "down 520 0", "down 27 0", "up 27 0",
                          "button 2 0 20 30", "button 2 1 20 30", "button 0 0 20 30", "button 0 1 60 45",
                          "button 4 0 60 45", "button 3 0 60 45"}));
    EXPECT_LT(position("move 20 30"), position("down 512 0"));
    EXPECT_LT(position("drag 60 45"), position("button 0 1 60 45"));
    EXPECT_TRUE(has_seen("enter") && has_seen("focus-in"));
    // A hint handled only after a quick press: its move was made with no
    // button down, so it is a move (the hover follows), not a drag.
    seen.clear();
    ASSERT_EQ(run_program({"xdotool", "mousemove", "--sync", std::to_string(x + 30), std::to_string(y + 20), "mousedown",
                           "1"}),
              0);
    ASSERT_TRUE(pump_until([] { return has_seen("button 0 0 30 20"); }));
    EXPECT_LT(position("move 30 20"), position("button 0 0 30 20"));
    EXPECT_FALSE(has_seen("drag 30 20"));
    ASSERT_TRUE(run_while_pumping("xdotool mouseup 1"));
    // A hint handled only after its button was released: the drag ends where
    // the button came up; the pointer's way after the release is a move.
    ASSERT_TRUE(run_while_pumping("xdotool mousemove --sync " + xy(x + 40, y + 40) + " mousedown 3"));
    ASSERT_TRUE(pump_until([] { return has_seen("button 2 0 40 40"); }));
    seen.clear();
    ASSERT_EQ(run_program({"xdotool", "mousemove", "--sync", std::to_string(x + 50), std::to_string(y + 50), "mouseup",
                           "3", "mousemove", "--sync", std::to_string(x + 150), std::to_string(y + 100)}),
              0);
    ASSERT_TRUE(pump_until([] { return has_seen("button 2 1 50 50"); })) << testing::PrintToString(seen);
    pump_until([] { return false; }, 200);
    EXPECT_FALSE(has_seen("drag 150 100"));
    EXPECT_LT(position("drag 50 50"), position("button 2 1 50 50"));

    platform_resize_window(300, 200);
    ASSERT_TRUE(pump_until([] { return has_seen("resize 300 200"); }));
    EXPECT_EQ(platform_state.canvas_width * 1000 + platform_state.canvas_height, 300200);

    // Closing ends the loop; a pending redraw and later services leave the destroyed widgets alone.
    seen.clear();
    listener.on_tick = [](PlatformListener*) -> int32_t {
        if (std::count(seen.begin(), seen.end(), "tick") == 4) {
            request_window_redraw();
            send_close_request();
        }
        return note("tick");
    };
    run_frame_loop();
    EXPECT_NE(printed.find("Quitting...\n"), std::string::npos);
    EXPECT_TRUE(platform_state.window == nullptr && platform_state.canvas == nullptr);
    platform_resize_window(100, 100);
    platform_set_widget_background(0, 0, 0, 1);
    pump_until([] { return true; });
    EXPECT_TRUE(complaints.empty()) << complaints.front();
}

// SIGTERM while a native dialog waits for the user: the dialog is answered
// with a cancel, and the frame loop then closes the window as on a close
// request. Should the dialog stay, a rescue cancels it after 5 s and the
// test fails on its time instead of hanging.
TEST(PlatformWindow, AnEndingSignalCancelsADialogAndClosesTheWindow) {
    reset_platform_state_for_tests();
    PlatformListener listener = recording_listener();
    set_platform_listener(&listener, 0);
    ASSERT_EQ(create_window(listener), 0) << printed;
    install_termination_handling();
    g_timeout_add(300, [](gpointer) -> gboolean { return raise(SIGTERM), FALSE; }, nullptr);
    const guint rescue = g_timeout_add(5000, [](gpointer) -> gboolean {
        GList* windows = gtk_window_list_toplevels();
        for (GList* w = windows; w; w = w->next)
            if (GTK_IS_DIALOG(w->data)) gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_CANCEL);
        g_list_free(windows);
        return FALSE;
    }, nullptr);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(native_open_script("/"), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    if (GSource* source = g_main_context_find_source_by_id(nullptr, rescue)) g_source_destroy(source);
    EXPECT_EQ(termination_signal(), SIGTERM);
    printed.clear();
    run_frame_loop();
    EXPECT_NE(printed.find("Quitting...\n"), std::string::npos);
    EXPECT_EQ(platform_state.window, nullptr);
    reset_termination_for_tests();
    set_platform_listener(nullptr, 0);
}

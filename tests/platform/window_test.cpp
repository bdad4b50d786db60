// Real GTK windows with a GL canvas, driven by xdotool. A private Xvfb is
// started when possible, so that other window tests moving the pointer on a
// shared display cannot interfere.

#include <gtest/gtest.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <GL/gl.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/services.h"
#include "platform/window.h"
#include "render/gl_state.h"

namespace {

pid_t xvfb_pid = -1;

class PrivateDisplay : public ::testing::Environment {
    void SetUp() override {
        setenv("LC_ALL", "C.UTF-8", 1);  // GTK adopts it; numbers must stay "C"
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_t pid = fork();
        if (pid == 0) {
            std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-r", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd readable{fds[0], POLLIN, 0};
        char c = 0;
        while (pid > 0 && poll(&readable, 1, 5000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) {  // no Xvfb: use the display we were given
            if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
            return;
        }
        xvfb_pid = pid;
        setenv("DISPLAY", (":" + number).c_str(), 1);
    }
    void TearDown() override {
        if (xvfb_pid <= 0) return;
        if (GdkDisplay* display = gdk_display_get_default()) gdk_display_close(display);
        kill(xvfb_pid, SIGTERM);
        waitpid(xvfb_pid, nullptr, 0);
    }
};
::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

std::vector<std::string> seen;  // what the listener saw, in order
std::string printed;            // what g_print wrote
std::vector<std::string> complaints;
uint32_t clear_colour = 0;
int gl_state_errors = -1;

void note(const std::string& line) { seen.push_back(line); }
std::string xy(int32_t x, int32_t y) { return std::to_string(x) + " " + std::to_string(y); }
bool has_seen(const std::string& line) { return std::find(seen.begin(), seen.end(), line) != seen.end(); }
size_t position(const std::string& line) { return std::find(seen.begin(), seen.end(), line) - seen.begin(); }

int32_t on_gl_init(PlatformListener*) {
    note("gl-init");
    int errors = 0;
    for (GLenum on : {GL_COLOR_MATERIAL, GL_DEPTH_TEST, GL_BLEND, GL_ALPHA_TEST, GL_CULL_FACE, GL_NORMALIZE, GL_LIGHT0})
        errors += !glIsEnabled(on);
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    GLfloat point = 0, ambient[4] = {}, shininess = 0;
    glGetFloatv(GL_POINT_SIZE, &point);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    errors += source != GL_SRC_ALPHA || destination != GL_ONE_MINUS_SRC_ALPHA || point != 2.0f ||
              ambient[0] != 0.25f || shininess != 5.0f;
    GLint samples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &samples);
    errors += clamp_sample_count(samples + 4) != samples || clamp_sample_count(1) != 1;
    gl_state_errors = errors;
    return 0;
}

int32_t on_draw(PlatformListener*) {
    note("draw");
    glClearColor(((clear_colour >> 16) & 0xFF) / 255.0f, ((clear_colour >> 8) & 0xFF) / 255.0f,
                 (clear_colour & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return 0;
}

PlatformListener recording_listener() {
    PlatformListener l;
    l.width = 240;
    l.height = 160;
    l.title = "VK-PLATFORM-TEST";
    l.min_width = l.min_height = 64;
    l.on_start = [](PlatformListener*) { return note("start"), 0; };
    l.on_tick = [](PlatformListener*) { return note("tick"), 0; };
    l.on_gl_init = on_gl_init;
    l.on_draw = on_draw;
    l.on_key_down = [](PlatformListener*, int32_t k, int32_t m) { return note("down " + xy(k, m)), 0; };
    l.on_key_up = [](PlatformListener*, int32_t k, int32_t m) { return note("up " + xy(k, m)), 0; };
    l.on_mouse_button = [](PlatformListener*, int32_t b, int32_t a, int32_t x, int32_t y) {
        return note("button " + xy(b, a) + " " + xy(x, y)), 1;
    };
    l.on_mouse_move = [](PlatformListener*, int32_t x, int32_t y) { return note("move " + xy(x, y)), 0; };
    l.on_mouse_drag = [](PlatformListener*, int32_t x, int32_t y) { return note("drag " + xy(x, y)), 1; };
    l.on_resize = [](PlatformListener*, int32_t w, int32_t h) { return note("resize " + xy(w, h)), 0; };
    l.on_window_enter = [](PlatformListener*) { return note("enter"), 0; };
    l.on_window_focus_in = [](PlatformListener*) { return note("focus-in"), 0; };
    return l;
}

bool pump_until(const std::function<bool()>& done, int timeout_ms = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    do {
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

// Runs a program while GTK keeps handling events; true when it exited 0.
bool run_while_pumping(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    GPid pid = 0;
    if (!g_spawn_async(nullptr, argv.data(), nullptr,
                       GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr, &pid, nullptr)) {
        return false;
    }
    int status = -1;
    if (!pump_until([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 15000)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The close button as a window manager reports it: WM_DELETE_WINDOW.
void send_close_request() {
    GdkWindow* window = gtk_widget_get_window(platform_state.window);
    Display* display = GDK_WINDOW_XDISPLAY(window);
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = GDK_WINDOW_XID(window);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, GDK_WINDOW_XID(window), False, NoEventMask, &event);
    XFlush(display);
}

class PlatformWindow : public ::testing::Test {
protected:
    void SetUp() override {
        seen.clear();
        printed.clear();
        complaints.clear();
        clear_colour = 0xFF3366CCu;
        gl_state_errors = -1;
        reset_platform_state_for_tests();
        g_set_print_handler([](const gchar* text) { printed += text; });
        g_log_set_default_handler(
            [](const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer) {
                if (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_ERROR))
                    complaints.push_back(std::string(domain ? domain : "") + ": " + message);
            },
            nullptr);
    }
    void TearDown() override {
        if (platform_state.window) gtk_widget_destroy(platform_state.window);
        pump_until([] { return true; });
        reset_platform_state_for_tests();
        g_set_print_handler(nullptr);
        g_log_set_default_handler(g_log_default_handler, nullptr);
        EXPECT_TRUE(complaints.empty()) << complaints.front();
    }
    // Opens the window at (40, 40) and waits for its first frame.
    void open(PlatformListener& listener) {
        set_platform_listener(&listener, 0);
        ASSERT_EQ(create_window(listener), 0) << printed;
        gtk_window_move(GTK_WINDOW(platform_state.window), 40, 40);
        ASSERT_TRUE(pump_until([] { return has_seen("draw"); })) << "no first frame";
        gdk_window_get_origin(gtk_widget_get_window(platform_state.canvas), &origin_x, &origin_y);
    }
    int origin_x = 0, origin_y = 0;  // the canvas on the screen
};

}  // namespace

TEST_F(PlatformWindow, OpensWithGlStateCopiedIconAndItsFrameOnScreen) {
    PlatformListener listener = recording_listener();
    std::vector<uint8_t> icon(16 * 8 * 4);
    for (size_t i = 0; i < icon.size(); ++i) icon[i] = uint8_t(i * 7 + 1);
    const std::vector<uint8_t> first_row(icon.begin(), icon.begin() + 12 * 4);
    listener.icon_width = 12;
    listener.icon_height = 8;
    listener.icon_row_length = 16;
    listener.icon_pixels = icon.data();
    open(listener);
    std::fill(icon.begin(), icon.end(), 0);  // the caller's buffer goes away
    icon = std::vector<uint8_t>();

    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(platform_state.window)), "VK-PLATFORM-TEST");
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
                                                    origin_x + platform_state.canvas_width / 2,
                                                    origin_y + platform_state.canvas_height / 2, 0, 0, 1, 1);
    ASSERT_NE(pixel, nullptr);
    const guchar* p = gdk_pixbuf_get_pixels(pixel);
    EXPECT_EQ(p[0] << 16 | p[1] << 8 | p[2], 0x3366CC);
    g_object_unref(pixel);
}

TEST_F(PlatformWindow, RealInputArrivesTranslatedInOrder) {
    PlatformListener listener = recording_listener();
    open(listener);
    auto at = [&](int x, int y) {
        return std::vector<std::string>{std::to_string(origin_x + x), std::to_string(origin_y + y)};
    };
    std::vector<std::string> a = at(20, 30), b = at(60, 45);
    seen.clear();
    // Motion hints read the pointer when handled: the button stays down a
    // moment so the drag is seen as one.
    ASSERT_TRUE(run_while_pumping({"xdotool", "mousemove", "--sync", a[0], a[1], "sleep", "0.1", "keydown",
                                   "Control_L", "key", "a", "keyup", "Control_L", "keydown", "Shift_L", "key", "Tab",
                                   "keyup", "Shift_L", "key", "F1", "key", "Home", "key", "Escape", "click", "3",
                                   "sleep", "0.3", "mousedown", "1", "mousemove", "--sync", b[0], b[1], "sleep", "0.3",
                                   "mouseup", "1", "sleep", "0.3", "click", "5", "sleep", "0.3", "click", "4"}));
    ASSERT_TRUE(pump_until([] { return has_seen("button 3 0 60 45"); }));
    std::vector<std::string> keys_and_buttons;
    std::copy_if(seen.begin(), seen.end(), std::back_inserter(keys_and_buttons), [](const std::string& line) {
        return line.rfind("down", 0) == 0 || line.rfind("up", 0) == 0 || line.rfind("button", 0) == 0;
    });
    const std::vector<std::string> expected = {
        "down 512 0", "down 97 8", "up 97 8", "up 512 8", "down 511 0", "down 9 4", "up 9 4", "up 511 4",
        "down 1001 0", "up 1001 0", "down 520 0", "down 27 0", "up 27 0", "button 2 0 20 30", "button 2 1 20 30",
        "button 0 0 20 30", "button 0 1 60 45", "button 4 0 60 45", "button 3 0 60 45"};
    EXPECT_EQ(keys_and_buttons, expected);
    EXPECT_LT(position("move 20 30"), position("down 512 0"));
    EXPECT_LT(position("drag 60 45"), position("button 0 1 60 45"));
    EXPECT_TRUE(has_seen("enter") && has_seen("focus-in"));
}

TEST_F(PlatformWindow, ServicesClipboardResizeAndBackground) {
    PlatformListener listener = recording_listener();
    open(listener);
    const std::string text = "first line\nzweite Zeile \xC3\xA4\xE2\x9C\x93\n";
    EXPECT_TRUE(platform_clipboard_set_text(text));
    EXPECT_EQ(platform_clipboard_get_text(), text);
    gtk_clipboard_clear(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    EXPECT_EQ(platform_clipboard_get_text(), "");

    platform_resize_window(300, 200);
    ASSERT_TRUE(pump_until([] { return has_seen("resize 300 200"); }));
    EXPECT_EQ(platform_state.canvas_width * 1000 + platform_state.canvas_height, 300200);

    platform_set_widget_background(1.0, 0.5, -3.0, 1.0);
    GdkColor colour = gtk_widget_get_style(platform_state.window)->bg[GTK_STATE_NORMAL];
    EXPECT_EQ(std::vector<int>({colour.red, colour.green, colour.blue}), std::vector<int>({0xFF00, 32640, 0}));
}

TEST_F(PlatformWindow, CloseEndsTheFrameLoopAndForgetsTheDestroyedWidgets) {
    PlatformListener listener = recording_listener();
    listener.on_tick = [](PlatformListener*) -> int32_t {
        note("tick");
        if (std::count(seen.begin(), seen.end(), "tick") == 5) {
            request_window_redraw();  // still pending when the window goes
            send_close_request();
        }
        return 0;
    };
    set_platform_listener(&listener, 0);
    ASSERT_EQ(create_window(listener), 0);
    run_frame_loop();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "start"), 1);
    EXPECT_LT(position("start"), std::min(position("tick"), position("draw")));
    EXPECT_GE(std::count(seen.begin(), seen.end(), "tick"), 5);
    EXPECT_NE(printed.find("Quitting...\n"), std::string::npos);
    EXPECT_TRUE(platform_state.window == nullptr && platform_state.canvas == nullptr);
    platform_resize_window(100, 100);  // nothing left to act on, no crash
    platform_set_widget_background(0, 0, 0, 1);
}

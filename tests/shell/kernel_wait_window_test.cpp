// The program while it waits for a kernel that sleeps: the window repaints
// (resized meanwhile, it is drawn at its new size), and
// Escape or the window's close request ends the run, reported as cancelled.
// The test's own thread is held by the run, so a helper thread acts as the
// user: it resizes, grabs the screen and presses keys or asks to close.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "support/live_application.h"
#include "support/close_request.h"
#include "support/private_display.h"
#include "support/run_program.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

// Pixels of the rectangle that differ from its top-left one.
size_t ink(const Picture& p, int x0, int y0, int w, int h) {
    size_t n = 0;
    for (int y = y0; y < y0 + h && y < p.height; ++y)
        for (int x = x0; x < x0 + w && x < p.width; ++x) n += p.at(x, y) != p.at(x0, y0);
    return n;
}

// The texts of the visible elements below `root`, one per line.
std::string visible_texts(const Element& root) {
    if (!root.visible) return std::string();
    std::string texts = root.text.empty() ? std::string() : root.text + "\n";
    if (const auto* container = dynamic_cast<const Container*>(&root))
        for (const Element* child : container->children)
            if (child) texts += visible_texts(*child);
    return texts;
}

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Until the kernel is given the script that sleeps `sleep`.
bool wait_for_staged(const std::string& path, const std::string& sleep = "sleep(30000)") {
    for (int i = 0; i < 1000; ++i, sleep_ms(20))
        if (read_file(path).find(sleep) != std::string::npos) return true;
    return false;
}

void send_close_request(Window window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    send_close_request(display, window);
    XCloseDisplay(display);
}

}  // namespace

TEST(KernelWait, TheWindowRepaintsAndEscapeOrCloseCancelsTheRun) {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    live.find_canvas();
    const std::string slow = sample.workspace() + "slow.vrek";
    ASSERT_TRUE(write_text_file(slow, "sleep(30000);\nreturn box(1);\n"));
    const std::string staged = sample.workspace() + "tmp/vrek_assemble_in";
    const Window window = GDK_WINDOW_XID(gtk_widget_get_window(platform_state.window));
    const std::string grab = sample.root + "/waiting.png";
    const int w = 900, h = 600;
    const int entities = app.entities.current_entities->count;
    // Dropped from a file manager, as the window delivers it.
    auto drop = [&](const std::string& path) {
        ASSERT_EQ(live.listener.on_drop(&live.listener, 100, 100, "file://" + path + "\r\n"), 1);
    };
    auto open_slow = [&] { drop(slow); };
    Element& root = app;
    auto error_box_shown = [&] {
        const Element* pane = named(root, "ERRORPANE");
        return pane && pane->visible;
    };
    const std::string pointer = "mousemove " + live.at(200, 200);

    // While the kernel sleeps the window is made larger, grabbed, and then
    // Escape is pressed.
    std::thread user([&] {
        if (!wait_for_staged(staged)) return;
        sleep_ms(300);
        run_program({"xdotool", "windowsize", std::to_string(window), std::to_string(w), std::to_string(h)});
        sleep_ms(1000);
        grab_screen(live.canvas_x, live.canvas_y, w, h, grab);
        run_program({"xdotool", "mousemove", std::to_string(live.canvas_x + 200), std::to_string(live.canvas_y + 200),
                     "sleep", "0.2", "key", "Escape"});
    });
    const auto start = std::chrono::steady_clock::now();
    open_slow();
    const bool shown = live.pump_until(error_box_shown, 60'000);
    user.join();
    // Grabbed while the kernel slept: the frame was drawn at the new size,
    // its status line and tab bar along the new bottom edge and the tool
    // bar out to the new right edge. A window that does not repaint leaves
    // the new area in its background colour.
    const Picture waiting = picture_from_file(grab);
    ASSERT_EQ(waiting.width, w);
    ASSERT_EQ(waiting.height, h);
    EXPECT_GT(ink(waiting, 0, h - 40, w, 40), 200u);
    EXPECT_GT(ink(waiting, w - 150, 0, 150, 55), 200u);
    ASSERT_TRUE(shown);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(25));
    EXPECT_EQ(app.entities.current_entities->count, entities);
    const Element* pane = named(root, "ERRORPANE");
    EXPECT_NE(visible_texts(*pane).find("Kernel Run Cancelled\n"), std::string::npos) << visible_texts(*pane);
    EXPECT_NE(visible_texts(*pane).find("did not complete:\nkernel run cancelled."), std::string::npos);

    // The box is drawn on screen too.
    live.pump_for(300);
    ASSERT_TRUE(live.pump_until([&] { return app.width == w && pane->abs_width > 0; }, 5000));
    const std::string boxed = sample.root + "/box.png";
    ASSERT_TRUE(grab_screen(live.canvas_x + pane->abs_x, live.canvas_y + pane->abs_y, pane->abs_width,
                            pane->abs_height, boxed));
    const Picture box = picture_from_file(boxed);
    EXPECT_GT(ink(box, 0, 0, box.width, box.height), 500u);
    ASSERT_TRUE(live.xdotool(pointer + " key Escape"));
    ASSERT_TRUE(live.pump_until([&] { return !error_box_shown(); }, 5000));

    // A click on "About" while a short run sleeps waits for the run: the
    // screen does not change meanwhile, and the about pane opens after it
    // (handled during the run, the open pane's mask would swallow it).
    const std::string quick = sample.workspace() + "quick.vrek";
    ASSERT_TRUE(write_text_file(quick, "sleep(3000);\nreturn box(1);\n"));
    const Element* about = find_shown(root, [](Element& e) { return e.text == "About"; });
    ASSERT_NE(about, nullptr);
    const std::string middle = sample.root + "/middle_";
    const int about_x = live.canvas_x + about->abs_x + about->abs_width / 2,
              about_y = live.canvas_y + about->abs_y + about->abs_height / 2;
    std::thread clicker([&] {
        if (!wait_for_staged(staged, "sleep(3000)")) return;
        sleep_ms(300);
        grab_screen(live.canvas_x + w / 4, live.canvas_y + h / 4, w / 2, h / 2, middle + "a.png");
        run_program({"xdotool", "mousemove", std::to_string(about_x), std::to_string(about_y), "sleep", "0.1", "click",
                     "1"});
        sleep_ms(700);
        grab_screen(live.canvas_x + w / 4, live.canvas_y + h / 4, w / 2, h / 2, middle + "b.png");
    });
    drop(quick);
    const bool assembled = live.pump_until([&] { return app.entities.current_entities->count == entities + 1; }, 30'000);
    clicker.join();
    ASSERT_TRUE(assembled);
    const Picture before = picture_from_file(middle + "a.png"), after = picture_from_file(middle + "b.png");
    ASSERT_TRUE(before.width == w / 2 && after.width == w / 2 && !before.rgb.empty());
    EXPECT_EQ(before.rgb, after.rgb);
    EXPECT_TRUE(live.pump_until(
        [&] {
            const Element* pane = named(root, "ABOUTPANE");
            return pane && pane->visible;
        },
        5000));
    ASSERT_TRUE(live.xdotool(pointer + " key Escape"));
    ASSERT_TRUE(live.pump_until(
        [&] {
            const Element* pane = named(root, "ABOUTPANE");
            return pane && !pane->visible;
        },
        5000));

    // The close request while the kernel sleeps ends the run, says so, and
    // then closes the window as asked.
    std::filesystem::remove(staged);
    std::thread closer([&] {
        if (!wait_for_staged(staged)) return;
        sleep_ms(300);
        send_close_request(window);
    });
    open_slow();
    const auto again = std::chrono::steady_clock::now();
    const bool closed = live.pump_until([&] { return !platform_state.alive; }, 60'000);
    closer.join();
    ASSERT_TRUE(closed);
    EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::seconds(25));
    EXPECT_TRUE(error_box_shown());
    EXPECT_NE(visible_texts(*named(root, "ERRORPANE")).find("kernel run cancelled"), std::string::npos);
    EXPECT_EQ(app.entities.current_entities->count, entities + 1);
}

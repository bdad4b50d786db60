// A real GTK window drawing the laid-out interface; xdotool resizes it and
// the next frame must follow the new size.

#include <gtest/gtest.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <sys/wait.h>

#include <string>

#include "panes/layout/display_options.h"
#include "harness/interface_tree.h"
#include "platform/platform_state.h"
#include "platform/window.h"
#include "render/frame_renderer.h"
#include "render/status_line.h"
#include "support/app_fixture.h"
#include "support/gtk_pump.h"

namespace {

AppContext* shown = nullptr;
int32_t drawn_width = 0, drawn_height = 0;

PlatformListener interface_listener() {
    PlatformListener l;
    l.width = 720, l.height = 480, l.min_width = l.min_height = 64;
    l.on_draw = [](PlatformListener*) -> int32_t {
        shown->width = platform_state.canvas_width, shown->height = platform_state.canvas_height;
        render_frame(shown, shown);
        drawn_width = platform_state.canvas_width, drawn_height = platform_state.canvas_height;
        return 0;
    };
    l.on_resize = [](PlatformListener*, int32_t w, int32_t h) -> int32_t {
        return on_viewport_resized(*shown, w, h) ? 1 : 0;
    };
    return l;
}

// The screen's colour at a point of the canvas.
uint32_t screen_colour(int32_t x, int32_t y) {
    int ox = 0, oy = 0;
    gdk_window_get_origin(gtk_widget_get_window(platform_state.canvas), &ox, &oy);
    GdkPixbuf* pixel =
        gdk_pixbuf_get_from_drawable(nullptr, gdk_get_default_root_window(), nullptr, ox + x, oy + y, 0, 0, 1, 1);
    if (pixel == nullptr) return 0;
    const guchar* p = gdk_pixbuf_get_pixels(pixel);
    const uint32_t rgb = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    g_object_unref(pixel);
    return rgb;
}

struct WindowResize : AppFixture {};

TEST_F(WindowResize, TheNextFrameFollowsTheNewSize) {
    shown = app.get();
    hang_interface_tree(*app);
    app_instance = app.get();
    install_display_hooks(app->hooks);
    for (Element* child : app->children) child->visible = false;
    app->TOOLBAR.visible = app->TABBAR.visible = app->CONTENTPANE.visible = true;
    app->TOOLBAR.background_rgba = 0xff2060a0u;
    app->TABBAR.background_rgba = 0xff20a0a0u;
    app->CONTENTPANE.background_rgba = 0xffc0c0c0u;

    PlatformListener listener = interface_listener();
    set_platform_listener(&listener, 0);
    ASSERT_EQ(create_window(listener), 0);
    ASSERT_TRUE(pump_until([] { return drawn_width > 0; }, 10000)) << "no first frame";

    const auto xid = GDK_WINDOW_XID(gtk_widget_get_window(platform_state.window));
    ASSERT_TRUE(run_while_pumping("xdotool windowsize --sync " + std::to_string(xid) + " 900 640"));
    ASSERT_TRUE(pump_until([] { return drawn_width == 900 && drawn_height == 640; }, 10000))
        << "last frame " << drawn_width << " x " << drawn_height;
    pump_until([] { return false; }, 300);  // the swap reaches the screen

    EXPECT_EQ(app->frame.window_width, 900);
    EXPECT_EQ(app->TABBAR.y, 640 - 32);
    EXPECT_EQ(app->frame.view_rect_height, 640);
    EXPECT_EQ(screen_colour(450, 640 - 16), 0x20a0a0u);  // the tab bar at the new bottom
    EXPECT_EQ(screen_colour(890, 28), 0x2060a0u);        // the tool bar across the new width
    EXPECT_EQ(screen_colour(450, 300), 0xc0c0c0u);

    gtk_widget_destroy(platform_state.window);
    pump_until([] { return false; }, 100);
    set_platform_listener(nullptr, 0);
    shown = nullptr;
}

}  // namespace

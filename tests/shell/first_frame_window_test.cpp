// The window's first moments on a private X server: what the screen shows
// before each frame the program draws, from the moment the canvas is mapped
// until the intro has shown itself for a while.
#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

// Points spread over the canvas (in eighths of its size), away from the
// centre where the intro's logo fades in.
const int sample_points[][2] = {{1, 1}, {7, 1}, {1, 7}, {7, 7}, {2, 4}, {6, 4}, {4, 2}};

struct Grab {
    int32_t draws_before = 0;
    std::vector<uint32_t> colours;  // 0xRRGGBB at the sample points
};

std::vector<Grab> grabs;
int32_t draws = 0;
ListenerNotify real_draw = nullptr;
ListenerPoint real_resize = nullptr;

// What the X server shows on the canvas now; nothing while it is not mapped.
void grab_screen() {
    GtkWidget* canvas = platform_state.canvas;
    if (canvas == nullptr || gtk_widget_get_window(canvas) == nullptr ||
        !gdk_window_is_viewable(gtk_widget_get_window(canvas)))
        return;
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(canvas), &x, &y);
    GtkAllocation a;
    gtk_widget_get_allocation(canvas, &a);
    if (a.width < 8 || a.height < 8) return;
    GdkPixbuf* shot = gdk_pixbuf_get_from_drawable(nullptr, gdk_get_default_root_window(), nullptr, x, y, 0, 0,
                                                   a.width, a.height);
    if (shot == nullptr) return;
    Grab g;
    g.draws_before = draws;
    const guchar* px = gdk_pixbuf_get_pixels(shot);
    const int stride = gdk_pixbuf_get_rowstride(shot), n = gdk_pixbuf_get_n_channels(shot);
    for (const auto& p : sample_points) {
        const guchar* c = px + (a.height * p[1] / 8) * stride + (a.width * p[0] / 8) * n;
        g.colours.push_back(uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2]);
    }
    if (grabs.empty()) {
        // The first picture shown, for review.
        const std::string dir = binary_dir() + "/test-output";
        gdk_pixbuf_save(shot, (dir + "/first_frame_shown.png").c_str(), "png", nullptr, nullptr);
    }
    g_object_unref(shot);
    grabs.push_back(g);
}

// Grabs what is shown before every frame the program draws.
int32_t grabbing_draw(PlatformListener* listener) {
    grab_screen();
    ++draws;
    return real_draw ? real_draw(listener) : 0;
}

// And before the canvas is resized, which shows its buffer at once.
int32_t grabbing_resize(PlatformListener* listener, int32_t w, int32_t h) {
    grab_screen();
    return real_resize ? real_resize(listener, w, h) : 0;
}

std::string hex(uint32_t c) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", c);
    return text;
}

TEST(FirstFrame, TheWindowShowsTheIntroBackgroundFromItsFirstFrame) {
    SampleWorkspace sample;
    LiveApplication live;
    real_draw = live.listener.on_draw;
    live.listener.on_draw = grabbing_draw;
    real_resize = live.listener.on_resize;
    live.listener.on_resize = grabbing_resize;
    live.each_turn = grab_screen;
    ASSERT_TRUE(live.open());
    ASSERT_TRUE(set_kernel_path(kernel()) && set_workspace_path(sample.workspace()));
    prepare_app_workspace(*live.app);
    // The intro's cover, before its logo fades in.
    ASSERT_TRUE(live.pump_until([] { return draws >= 3; }, 10'000));
    live.pump_for(50);
    grab_screen();
    ASSERT_GE(grabs.size(), 2u);
    const uint32_t background = grabs.back().colours[0];
    EXPECT_FALSE(near_colour(background, 0x000000, 8)) << "the intro's cover is black";
    for (uint32_t c : grabs.back().colours) EXPECT_TRUE(near_colour(c, background, 8)) << hex(c);

    // Everything the screen showed on the canvas before: that background,
    // never black, never anything else; from before the first frame on.
    ASSERT_EQ(grabs.front().draws_before, 0);
    for (const Grab& g : grabs) {
        for (uint32_t c : g.colours) {
            EXPECT_TRUE(near_colour(c, background, 8))
                << "before draw " << g.draws_before << ": " << hex(c) << " instead of " << hex(background);
        }
    }
    live.listener.on_draw = real_draw;
    live.listener.on_resize = real_resize;
    live.each_turn = nullptr;
}

}  // namespace

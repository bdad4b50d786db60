// What the user sees when a script cannot be read and when an export fails:
// the error box drawn in the real window, its texts found by walking the
// tree from the root and their ink read back from the screen.
#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>

#include "panes/popups/export_dialog.h"
#include "platform/files.h"
#include "support/live_application.h"
#include "support/private_display.h"
#include "support/squeezed.h"
#include "support/tree_walk.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

struct FailureBoxes : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    // The first element shown whose text holds `part`.
    const Element* shown(const std::string& part) const {
        const std::string wanted = squeezed(part);
        return find_shown(app, [&](Element& e) { return squeezed(e.text).find(wanted) != std::string::npos; });
    }

    GdkPixbuf* grab(const Element& e) {
        return gdk_pixbuf_get_from_drawable(nullptr, gtk_widget_get_window(platform_state.canvas), nullptr, e.abs_x,
                                            e.abs_y, 0, 0, e.abs_width, e.abs_height);
    }

    // Pixels of the element's rectangle on screen that differ clearly from
    // its most common colour (the background): text gives many, an empty
    // or unpainted rectangle none. Waits for two grabs that agree.
    int64_t ink(const Element& e) {
        // Placed by the first frame that draws it.
        live.pump_until([&] { return e.abs_width > 0 && e.abs_height > 0; }, 5000);
        if (e.abs_width <= 0 || e.abs_height <= 0) return 0;
        GdkPixbuf* shot = nullptr;
        for (int tries = 0; tries < 20; ++tries) {
            live.pump_for(150);
            GdkPixbuf* again = grab(e);
            if (!again) break;
            const bool same = shot && memcmp(gdk_pixbuf_get_pixels(shot), gdk_pixbuf_get_pixels(again),
                                             size_t(gdk_pixbuf_get_rowstride(shot)) * size_t(e.abs_height)) == 0;
            if (shot) g_object_unref(shot);
            shot = again;
            if (same) break;
        }
        if (!shot) return 0;
        const int n = gdk_pixbuf_get_n_channels(shot), stride = gdk_pixbuf_get_rowstride(shot);
        const guchar* pixels = gdk_pixbuf_get_pixels(shot);
        std::map<uint32_t, int64_t> counts;
        auto colour = [&](int x, int y) {
            const guchar* p = pixels + y * stride + x * n;
            return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        };
        for (int y = 0; y < e.abs_height; ++y)
            for (int x = 0; x < e.abs_width; ++x) ++counts[colour(x, y)];
        uint32_t background = 0;
        int64_t most = -1;
        for (const auto& [c, k] : counts)
            if (k > most) most = k, background = c;
        int64_t differing = 0;
        for (int y = 0; y < e.abs_height; ++y)
            for (int x = 0; x < e.abs_width; ++x) {
                const uint32_t c = colour(x, y);
                int worst = 0;
                for (int shift : {0, 8, 16})
                    worst = std::max(worst, std::abs(int((c >> shift) & 255) - int((background >> shift) & 255)));
                differing += worst > 60;
            }
        g_object_unref(shot);
        return differing;
    }

    void save_screen(const std::string& name) {
        const std::string dir = binary_dir() + "/test-output/";
        mkdir(dir.c_str(), 0755);
        GdkPixbuf* shot = gdk_pixbuf_get_from_drawable(nullptr, gtk_widget_get_window(platform_state.canvas),
                                                       nullptr, 0, 0, 0, 0, app.width, app.height);
        if (shot) gdk_pixbuf_save(shot, (dir + name + ".png").c_str(), "png", nullptr, nullptr), g_object_unref(shot);
    }

    void request_open(const std::string& path) {
        DeferredRequests& r = app.deferred_requests;
        r.pending_paths = {path};
        r.pending_path_count = 1;
        r.open_paths_requested = 1;
        r.deferred_countdown = 5;
    }
};

TEST_F(FailureBoxes, UnreadableScriptAndFailedExportShowTheirReason) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));

    // A script that is a link to a FIFO: the box names it and the reason.
    const std::string fifo = sample.root + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink(fifo.c_str(), (sample.workspace() + "pipe.vrek").c_str()), 0);
    // Should the window wait on the FIFO, a late writer releases it, so
    // that the test fails on what it shows instead of hanging.
    std::atomic<bool> done{false};
    std::thread rescue([&] {
        for (int waited = 0; !done; waited += 50) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (waited < 5000) continue;
            const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) close(fd);
        }
    });
    request_open(sample.workspace() + "pipe.vrek");
    const bool boxed = live.pump_until([&] { return shown("'pipe.vrek' can not be opened.") != nullptr; }, 15'000);
    done = true;
    rescue.join();
    ASSERT_TRUE(boxed);
    const Element* title = shown("Error: Unable to Open Script");
    const Element* text = shown("Reason: not a regular file");
    ASSERT_TRUE(title && text);
    EXPECT_GT(ink(*title), 100);
    EXPECT_GT(ink(*text), 300);
    save_screen("failure_box_script");
    EXPECT_EQ(app.entities.current_entities->count, 0);
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(5, 5) + " key Escape"));
    EXPECT_TRUE(live.pump_until([&] { return shown("can not be opened") == nullptr; }, 5000));

    // An export whose folder went away after the confirmation: the error
    // box names the file and the reason; no success is claimed.
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));
    const std::string folder = sample.root + "/out/";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_TRUE(live.click(app.EXPORT));
    set_export_location(app, folder);
    ASSERT_TRUE(live.click(app.export_format_buttons[3]));  // STL
    ASSERT_TRUE(live.click(app.export_button));
    ASSERT_TRUE(live.pump_until([&] { return shown("Confirm Environment Mesh File Export") != nullptr; }, 5000));
    ASSERT_EQ(rmdir(folder.c_str()), 0);
    ASSERT_TRUE(live.click(app.confirm_ok_button));
    ASSERT_TRUE(live.pump_until([&] { return shown("Export Failure") != nullptr; }, 30'000));
    const Element* export_title = shown("Error: Environment Mesh File Export Failure");
    const Element* export_text = shown("\t environment.stl : No such file or directory\n\n\t Folder: " + folder);
    ASSERT_TRUE(export_title && export_text);
    EXPECT_GT(ink(*export_title), 100);
    EXPECT_GT(ink(*export_text), 300);
    save_screen("failure_box_export");
    EXPECT_EQ(shown("Export Complete"), nullptr);
    EXPECT_FALSE(path_exists(folder));
}

}  // namespace

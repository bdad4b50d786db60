// The run, confirmation and export panes in the real application under a
// private X server: xdotool clicks, the stand-in kernel re-assembles, the
// export writes files that an independent importer reads back.
#include <gtest/gtest.h>

#include <cstring>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "panes/popups/export_dialog.h"
#include "platform/files.h"
#include "support/live_application.h"
#include "support/private_display.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

struct PanesLive : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    EntitySet& set() { return *app.entities.current_entities; }
    bool all_popups_closed() const {
        for (uint8_t flag : app.pane_open_flags)
            if (flag) return false;
        return !app.OVERLAY.visible && !app.MASKPANE.visible && !app.LOADPANE.visible;
    }
    std::vector<std::string> trace(int32_t channel) const {
        const TraceLog& log = app.entities.current_environment->trace_log;
        const auto& lines = log.channel_lines[static_cast<size_t>(channel)];
        return {lines.begin(), lines.begin() + log.channel_count[static_cast<size_t>(channel)]};
    }

    // The pane as the X server shows it against a reviewed baseline (a copy
    // of a looked-at test-output picture, never refreshed to make this pass).
    void compare_pane_with_baseline(const Element& pane, const std::string& name) {
        // On a loaded machine the last click's frame may not be on screen
        // yet: grab until two grabs 200 ms apart agree.
        const auto grab = [&] {
            live.pump_for(200);
            return gdk_pixbuf_get_from_drawable(nullptr, gtk_widget_get_window(platform_state.canvas), nullptr,
                                                pane.abs_x, pane.abs_y, 0, 0, pane.abs_width, pane.abs_height);
        };
        GdkPixbuf* shot = grab();
        ASSERT_NE(shot, nullptr);
        for (int tries = 0; tries < 20; ++tries) {
            GdkPixbuf* again = grab();
            ASSERT_NE(again, nullptr);
            const size_t bytes = size_t(gdk_pixbuf_get_rowstride(shot)) * size_t(gdk_pixbuf_get_height(shot));
            const bool same = memcmp(gdk_pixbuf_get_pixels(shot), gdk_pixbuf_get_pixels(again), bytes) == 0;
            g_object_unref(shot);
            shot = again;
            if (same) break;
        }
        const std::string out_dir = binary_dir() + "/test-output/panes/";
        mkdir((binary_dir() + "/test-output").c_str(), 0755);
        mkdir(out_dir.c_str(), 0755);
        EXPECT_TRUE(gdk_pixbuf_save(shot, (out_dir + name + ".png").c_str(), "png", nullptr, nullptr));
        const char* src = getenv("VK_SOURCE_DIR");
        const std::string baseline = std::string(src ? src : ".") + "/tests/panes/baseline/" + name + ".png";
        GdkPixbuf* ref = gdk_pixbuf_new_from_file(baseline.c_str(), nullptr);
        if (ref == nullptr) g_object_unref(shot);
        ASSERT_NE(ref, nullptr) << baseline;
        const int w = gdk_pixbuf_get_width(shot), h = gdk_pixbuf_get_height(shot);
        int64_t off = 0;
        if (gdk_pixbuf_get_width(ref) == w && gdk_pixbuf_get_height(ref) == h) {
            const int n_a = gdk_pixbuf_get_n_channels(shot), n_b = gdk_pixbuf_get_n_channels(ref);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const guchar* a = gdk_pixbuf_get_pixels(shot) + y * gdk_pixbuf_get_rowstride(shot) + x * n_a;
                    const guchar* b = gdk_pixbuf_get_pixels(ref) + y * gdk_pixbuf_get_rowstride(ref) + x * n_b;
                    off += std::abs(a[0] - b[0]) > 8 || std::abs(a[1] - b[1]) > 8 || std::abs(a[2] - b[2]) > 8;
                }
            }
        } else {
            off = int64_t{w} * h;
        }
        g_object_unref(ref);
        g_object_unref(shot);
        EXPECT_LE(off, int64_t{w} * h / 200) << name << ": pixels off the baseline; see " << out_dir;
    }

    void assemble_with_the_confirmed_algorithm();
    void export_cancelled_then_accepted();
};

void PanesLive::assemble_with_the_confirmed_algorithm() {
    SCOPED_TRACE("assemble");

    ASSERT_TRUE(live.click(app.ASSEMBLE));
    ASSERT_TRUE(app.pane_open_flags[PANE_RUN] && app.RUNPANE.visible);
    // The key hint has no handler: the click reaches Basic-CSG's button.
    ASSERT_TRUE(live.click(app.algorithm_key_hints[1]));
    EXPECT_EQ(app.io_settings.meshing_algorithm, 1);
    compare_pane_with_baseline(app.RUNPANE, "run_pane_basic_csg");

    ASSERT_TRUE(live.click(app.assemble_button));
    EXPECT_FALSE(app.RUNPANE.visible);
    ASSERT_TRUE(app.CONFIRMPANE.visible && app.confirm_algorithm_bar.visible);
    EXPECT_EQ(app.confirm_title_label.text, "Confirm Re-Assembly of mirrored_gate.vrek");
    EXPECT_EQ(app.dialogs.confirm_algorithm[0], 1);
    ASSERT_TRUE(live.click(app.confirm_choice_buttons[0]));
    EXPECT_EQ(app.dialogs.confirm_algorithm[0], 0);

    const InteropMesh* before = set().records[0].mesh;
    ASSERT_EQ(before->algorithm, 2);  // opened with the default Optimal-CSG
    ASSERT_TRUE(live.click(app.confirm_ok_button));
    ASSERT_TRUE(live.pump_until([&] { return set().records[0].mesh != before && !app.LOADPANE.visible; }, 30'000));
    EXPECT_EQ(set().records[0].mesh->algorithm, 0);
    EXPECT_EQ(app.io_settings.meshing_algorithm, 1);
    const TraceLog& log = app.entities.current_environment->trace_log;
    EXPECT_NE(std::find_if(log.console_lines.begin(), log.console_lines.begin() + log.console_count,
                           [](const std::string& l) { return l.find("Re-Assembling: mirrored_gate.vrek") != l.npos; }),
              log.console_lines.begin() + log.console_count);
    EXPECT_TRUE(all_popups_closed());
    EXPECT_FALSE(app.confirm_algorithm_bar.visible);
}

// Vertices of a file read back, against the entity's own mesh moved by
// (1, 2, 3): every vertex is one of them and the extents agree.
void expect_moved_mesh(const aiScene& scene, const InteropMesh& mesh, double tolerance) {
    const size_t n = mesh.positions.size() / 3;
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    const double shift[3] = {1, 2, 3};
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& part = *scene.mMeshes[m];
        for (unsigned v = 0; v < part.mNumVertices; ++v) {
            const double p[3] = {part.mVertices[v].x, part.mVertices[v].y, part.mVertices[v].z};
            bool found = false;
            for (size_t k = 0; k < n && !found; ++k) {
                found = true;
                for (int a = 0; a < 3; ++a)
                    found = found && std::fabs(mesh.positions[k * 3 + a] + shift[a] - p[a]) <= tolerance;
            }
            ASSERT_TRUE(found) << p[0] << " " << p[1] << " " << p[2];
            for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], p[a]), hi[a] = std::max(hi[a], p[a]);
        }
    }
    for (int a = 0; a < 3; ++a) {
        double want_lo = 1e300, want_hi = -1e300;
        for (size_t k = 0; k < n; ++k) {
            want_lo = std::min(want_lo, mesh.positions[k * 3 + a] + shift[a]);
            want_hi = std::max(want_hi, mesh.positions[k * 3 + a] + shift[a]);
        }
        EXPECT_NEAR(lo[a], want_lo, tolerance);
        EXPECT_NEAR(hi[a], want_hi, tolerance);
    }
}

unsigned face_count(const aiScene& scene) {
    unsigned faces = 0;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) faces += scene.mMeshes[m]->mNumFaces;
    return faces;
}

void PanesLive::export_cancelled_then_accepted() {
    SCOPED_TRACE("export");
    EntityRecord& moved = set().records[0];
    moved.translation = {1, 2, 3};
    EntityRecord& hidden = set().records[1];
    hidden.visible = 0;
    if (hidden.mesh) hidden.mesh->visible = 0;

    ASSERT_TRUE(live.click(app.EXPORT));
    ASSERT_TRUE(app.pane_open_flags[PANE_EXPORT] && app.EXPORTPANE.visible);
    ASSERT_TRUE(live.click(app.export_format_buttons[0]));
    ASSERT_TRUE(live.click(app.export_format_buttons[3]));
    EXPECT_TRUE(app.export_format_checks[0].selected && app.export_format_checks[3].selected);
    // Configured after start-up, the workspace is not the export location:
    // the hint asks for one, and the browser sets it.
    EXPECT_TRUE(app.export_location_hint.visible);
    compare_pane_with_baseline(app.EXPORTPANE, "export_pane_obj_stl");
    set_export_location(app, sample.workspace());

    const std::vector<bool> formats = app.export_settings.export_format_bits;
    const std::vector<bool> options = app.export_settings.export_option_bits;
    ASSERT_TRUE(live.click(app.export_button));
    ASSERT_TRUE(app.CONFIRMPANE.visible);
    EXPECT_FALSE(app.EXPORTPANE.visible);
    ASSERT_TRUE(live.click(app.confirm_cancel_button));
    EXPECT_TRUE(app.EXPORTPANE.visible && app.pane_open_flags[PANE_EXPORT] && app.MASKPANE.visible);
    EXPECT_EQ(app.export_settings.export_format_bits, formats);
    EXPECT_EQ(app.export_settings.export_option_bits, options);
    const std::string base = sample.workspace() + "environment";
    EXPECT_FALSE(path_exists(base + "_NGON.obj") || path_exists(base + ".stl"));

    ASSERT_TRUE(live.click(app.export_button));
    ASSERT_TRUE(live.click(app.confirm_ok_button));
    ASSERT_TRUE(live.pump_until([&] { return app.INFOPANE.visible; }, 30'000));
    EXPECT_EQ(app.message_titles[0].text, "Environment Mesh File Export Complete");
    EXPECT_FALSE(app.EXPORTPANE.visible || app.pane_open_flags[PANE_EXPORT] || app.pane_open_flags[PANE_LOAD]);
    const std::vector<std::string> io = trace(TRACE_FILE_IO);
    auto traced = [&](const std::string& line) {
        for (const std::string& l : io)
            if (l.size() >= line.size() && l.compare(l.size() - line.size(), line.size(), line) == 0) return true;
        return false;
    };
    EXPECT_TRUE(traced("OBJ-Write-Success: " + base));
    EXPECT_TRUE(traced("STL-Write-Success: " + base));

    const InteropMesh& mesh = *moved.mesh;
    struct ReadBack {
        std::string file;
        int32_t faces;
        double tolerance;
    };
    const ReadBack files[3] = {{"_NGON.obj", moved.polygon_count, 1e-5},
                               {"_TESS.obj", moved.triangle_count, 1e-5},
                               {".stl", moved.triangle_count, 1e-5}};
    for (const ReadBack& f : files) {
        SCOPED_TRACE(f.file);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(base + f.file, 0);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        EXPECT_EQ(face_count(*scene), static_cast<unsigned>(f.faces));
        expect_moved_mesh(*scene, mesh, f.tolerance);
    }

    ASSERT_TRUE(live.xdotool("key Escape"));
    EXPECT_TRUE(all_popups_closed());
}

// One application serves both flows: the window layer draws only in the
// first window a process opens.
TEST_F(PanesLive, AssembleThenExportCancelledAndAccepted) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));
    assemble_with_the_confirmed_algorithm();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "parameters.vrek"}));
    export_cancelled_then_accepted();
}

}  // namespace

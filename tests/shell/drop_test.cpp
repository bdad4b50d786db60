// Files dropped on the window: the uri-list text as GTK hands it over, the
// traces, the queued request and the scripts the tick opens five ticks on.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "panes/browser/drag_and_drop.h"
#include "platform/gtk_handlers.h"
#include "pipeline/orch_support.h"
#include "platform/paths.h"
#include "pipeline/workspace.h"
#include "support/shell_fixture.h"
#include "support/test_dir.h"

namespace {

using Paths = std::vector<std::string>;

struct Drop : ShellFixture {
    PlatformListener listener;

    Drop() {
        finish_startup();
        listener.on_drop = on_drag_and_drop;
        set_platform_listener(&listener, 0);
    }
    ~Drop() override { free_context_meshes(*app); }
    // Hands `text` to the window's drop handler; returns the traces printed
    // after the window layer's own echo.
    std::string drop(const std::string& text) {
        std::vector<char> bytes(text.begin(), text.end());
        GtkSelectionData selection{};
        selection.data = reinterpret_cast<guchar*>(bytes.data());
        selection.length = static_cast<gint>(bytes.size());
        capture_stdout();
        on_gtk_drag_data_received(nullptr, nullptr, 5, 6, &selection, 0, 0, nullptr);
        const std::string printed = captured_stdout();
        const size_t ours = printed.find("LAST-CHAR:");
        return ours == std::string::npos ? std::string() : printed.substr(ours);
    }
    const DeferredRequests& requests() const { return app->deferred_requests; }
    // Opens run the built stand-in kernel in `dir`.
    void use_workspace(const TestDir& dir) {
        const char* binary = getenv("VK_BINARY_DIR");
        set_kernel_path(std::string(binary ? binary : ".") + "/kernel/vrek");
        set_workspace_path(dir.path() + "/");
        prepare_workspace(*app);
    }
};

std::string traced(const std::string& line_end, int code, const std::string& path) {
    return "LAST-CHAR:['" + line_end + "']=[" + std::to_string(code) + "];\nDND-FILE:" + path + "\n";
}

TEST_F(Drop, LinesBecomeDecodedLocalPathsWithTheirTraces) {
    struct Case {
        const char* text;
        std::string trace;
        Paths paths;
    };
    const std::string euro = "\xE2\x82\xAC";
    const Case cases[] = {
        {"file:///tmp/a.vrek\r\n", traced("\r", 13, "/tmp/a.vrek"), {"/tmp/a.vrek"}},
        {"file:///tmp/a%20b.vrek", traced("k", 107, "/tmp/a b.vrek"), {"/tmp/a b.vrek"}},
        {"file:///tmp/a%0Ab%FF", traced("F", 70, "/tmp/a\nb\xFF"), {"/tmp/a\nb\xFF"}},
        {"file:///tmp/%E2%82%ACx", traced("x", 120, "/tmp/" + euro + "x"), {"/tmp/" + euro + "x"}},
        // Malformed escapes stay as they are.
        {"file:///tmp/%zz%4%", traced("%", 37, "/tmp/%zz%4%"), {"/tmp/%zz%4%"}},
        {"file://localhost/tmp/b.vrek\r\n", traced("\r", 13, "/tmp/b.vrek"), {"/tmp/b.vrek"}},
        {"file:///tmp/\xFF", traced("\xFF", -1, "/tmp/\xFF"), {"/tmp/\xFF"}},
        // Comments, other hosts, NUL escapes and web links are left out.
        {"# from a file manager\r\nfile://host/tmp/c.vrek\r\nfile:///tmp/a%00.vrek\r\nfile:///tmp/d.vrek\r\n",
         traced("\r", 13, "/tmp/d.vrek"), {"/tmp/d.vrek"}},
        {"file:///one.vrek\nfile:///two.vrek\n", traced("k", 107, "/one.vrek") + traced("k", 107, "/two.vrek"),
         {"/one.vrek", "/two.vrek"}},
        {"https://example.org/x.vrek\r\n", "", {}},
        {"file://host/x.vrek\nfile:///x%00\n", "", {}},
    };
    for (const Case& c : cases) {
        app->deferred_requests = DeferredRequests{};
        app->pane_open_flags = {};
        const std::string printed = drop(c.text);
        SCOPED_TRACE(c.text);
        if (c.paths.empty()) {
            EXPECT_EQ(printed, "");
            EXPECT_EQ(requests().open_paths_requested, 0);
            EXPECT_EQ(app->pane_open_flags[PANE_OPEN], 0);
            continue;
        }
        EXPECT_EQ(printed, c.trace + "DND-REQUESTED\n");
        EXPECT_EQ(requests().pending_paths, c.paths);
        EXPECT_EQ(requests().pending_path_count, static_cast<int32_t>(c.paths.size()));
        EXPECT_EQ(requests().deferred_countdown, 5);
        EXPECT_EQ(requests().open_paths_requested, 1);
        EXPECT_TRUE(app->pane_open_flags[PANE_OPEN] && app->OPENPANE.visible && masks_shown());
    }
}

TEST_F(Drop, DisabledInputWarnsAndQueuesNothing) {
    app->io_settings.native_dnd = 0;
    EXPECT_EQ(drop("file:///tmp/a.vrek\r\n"), traced("\r", 13, "/tmp/a.vrek"));
    EXPECT_EQ(requests().open_paths_requested, 0);
    EXPECT_TRUE(requests().pending_paths.empty());
    EXPECT_TRUE(app->pane_open_flags[PANE_WARNING] && app->WARNINGPANE.visible);
    EXPECT_FALSE(app->pane_open_flags[PANE_OPEN]);
    app_instance = nullptr;  // no application yet: nothing either
    app->io_settings.native_dnd = 1;
    EXPECT_EQ(on_drag_and_drop(nullptr, 0, 0, "file:///tmp/a.vrek"), 0);
    EXPECT_EQ(requests().open_paths_requested, 0);
}

TEST_F(Drop, AwkwardNamesOpenFiveTicksLater) {
    TestDir dir("vk_drop");
    ASSERT_FALSE(dir.path().empty());
    use_workspace(dir);
    const char* const names[] = {"a b.vrek", "new\nline.vrek", "\xFF.vrek", "-dash.vrek", "quo\"te.vrek"};
    const char* const escaped[] = {"a%20b.vrek", "new%0Aline.vrek", "%FF.vrek", "-dash.vrek", "quo%22te.vrek"};
    std::string uris;
    for (int i = 0; i < 5; ++i) {
        FILE* f = std::fopen((dir.path() + "/" + names[i]).c_str(), "w");
        ASSERT_NE(f, nullptr) << names[i];
        std::fputs("return box(1);\n", f);
        std::fclose(f);
        uris += "file://" + dir.path() + "/" + escaped[i] + "\r\n";
    }
    drop(uris);
    tick(4);
    EXPECT_EQ(app->entities.current_entities->count, 0);
    capture_stdout();
    tick();
    std::string out = captured_stdout();
    const TraceLog& log = app->entities.current_environment->trace_log;
    for (int i = 0; i < log.console_count; ++i) out += log.console_lines[i] + "\n";
    ASSERT_EQ(app->entities.current_entities->count, 5) << out;
    ASSERT_EQ(app->entities.current_entities->count, 5);
    for (int i = 0; i < 5; ++i) {
        const EntityRecord& e = app->entities.current_entities->records[static_cast<size_t>(i)];
        EXPECT_EQ(e.parse_record.path, dir.path() + "/" + names[i]);
        EXPECT_NE(e.mesh, nullptr) << names[i];
    }
    EXPECT_FALSE(app->pane_open_flags[PANE_OPEN]);
}

// The frame right after an open shows the new mesh single-sampled; the tick
// after it asks for the still, multisampled frame. A failed open, or one
// that leaves the mesh as it was, marks nothing.
TEST_F(Drop, TheFrameAfterAnOpenIsADraftUntilTheNextTick) {
    TestDir dir("vk_drop");
    ASSERT_FALSE(dir.path().empty());
    use_workspace(dir);
    for (const char* text : {"return box(1) + ;\n", "return box(1);\n"}) {
        const bool good = text[14] != '+';
        const std::string path = dir.path() + "/" + (good ? "good.vrek" : "bad.vrek");
        FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
        drop("file://" + path + "\r\n");
        capture_stdout();
        tick(5);
        captured_stdout();
        EXPECT_EQ(app->entities.current_entities->count, good ? 1 : 0);
        EXPECT_EQ(app->frame.opened_mesh_draft, good ? 1 : 0);
    }
    int redraws = 0;
    static int* counter = nullptr;
    counter = &redraws;
    app->services.redraw_request = [] { ++*counter; };
    app->frame.needs_redraw = 0;
    tick();
    EXPECT_EQ(app->frame.opened_mesh_draft, 0);
    EXPECT_EQ(app->frame.needs_redraw, 1);
    EXPECT_EQ(redraws, 1);
    tick();
    EXPECT_EQ(redraws, 1);
    // Opening the loaded script again: unchanged, the frame stays still;
    // changed, the new mesh is a draft again.
    for (const char* text : {"return box(1);\n", "return box(2);\n"}) {
        FILE* f = std::fopen((dir.path() + "/good.vrek").c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
        drop("file://" + dir.path() + "/good.vrek\r\n");
        capture_stdout();
        tick(5);
        captured_stdout();
        EXPECT_EQ(app->entities.current_entities->count, 1);
        EXPECT_EQ(app->frame.opened_mesh_draft, text[11] == '2' ? 1 : 0) << text;
    }
}

}  // namespace

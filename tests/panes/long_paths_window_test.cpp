// Long paths where the window cuts them to fit: the configuration pane, the
// script line, the export location and the browser's path line each keep
// the path's end (the file or folder it names) in view behind a leading
// "...", inside the element, with ink where the end is drawn.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

namespace fs = std::filesystem;

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A kernel and a workspace three long folders with blanks down, so that
// every path is wider than any of the panes at any checkout path.
struct LongPaths {
    SampleWorkspace sample;
    std::string folder = sample.root;
    LongPaths() {
        for (const char* part : {"/a folder with a long name and blanks in it", "/another folder named at length",
                                 "/and a third folder to make the path longer"})
            folder += part;
        fs::create_directories(folder + "/kernel");
        fs::copy(sample.workspace(), folder + "/examples", fs::copy_options::recursive);
        fs::copy_file(kernel(), folder + "/kernel/vrek");
        fs::permissions(folder + "/kernel/vrek", fs::perms::owner_all);
    }
    std::vector<std::string> arguments() const { return {folder + "/kernel/vrek", folder + "/examples/", "-ic"}; }
};

struct LongPathsLive : testing::Test {
    LongPaths paths;
    LiveApplication live{paths.arguments()};
    AppContext& app = *live.app;

    Element* shown(Element& from, const std::function<bool(Element&)>& wanted) { return find_shown(from, wanted); }
    // The value of a box or row whose first child is `caption`.
    Element* beside(const std::string& caption, size_t index) {
        Element* row = shown(app, [&](Element& e) {
            auto* c = dynamic_cast<Container*>(&e);
            return c && c->children.size() > index && c->children[0]->text == caption;
        });
        return row ? static_cast<Container*>(row)->children[index] : nullptr;
    }
    bool key(const std::string& keys) {
        live.find_canvas();
        return live.xdotool("mousemove " + live.at(platform_state.canvas_width / 2, 20) + " key " + keys) &&
               live.await_frames();
    }

    // `e` shows `end` last, after "...", and the text ends inside the
    // element, where the screen shows ink.
    void expect_end_in_view(const Element* e, const std::string& end, const char* what) {
        SCOPED_TRACE(what);
        ASSERT_NE(e, nullptr);
        EXPECT_TRUE(ends_with(e->text, end)) << e->text;
        EXPECT_NE(e->text.find("..."), std::string::npos) << e->text;
        const int32_t room = e->abs_width - e->padding_left - e->padding_right;
        EXPECT_LE(e->text_width, room) << e->text;
        // The last few pixels before the text's end hold ink: the end is drawn.
        const Picture p = grab_canvas(live);
        save_picture(p, "long_paths", what);
        const int32_t right = e->abs_x + e->padding_left + std::min(e->text_width, room);
        const uint32_t paper = p.at(e->abs_x + e->abs_width - 2, e->abs_y + 2);
        int ink = 0;
        for (int32_t y = e->abs_y; y < e->abs_y + e->abs_height; ++y)
            for (int32_t x = right - 12; x < right; ++x)
                ink += p.inside(x, y) && !near_colour(p.at(x, y), paper, 40);
        EXPECT_GT(ink, 5);
    }
};

TEST_F(LongPathsLive, EveryCutPathKeepsItsEnd) {
    ASSERT_TRUE(live.open());
    // The start-up cover lifts off the configuration after its fade.
    ASSERT_TRUE(live.pump_until([&] { return !app.busy_mask.visible; }, 20'000) && live.await_frames());
    // Asked for at start, the configuration shows both paths.
    expect_end_in_view(beside("Kernel Path", 2), "/kernel/vrek", "configuration_kernel");
    expect_end_in_view(beside("Entity Workspace", 2), "/examples/", "configuration_workspace");

    Element* ok = shown(app, [](Element& e) { return e.text == "OK"; });
    ASSERT_NE(ok, nullptr);
    ASSERT_TRUE(live.click(*ok));
    ASSERT_TRUE(live.pump_until([&] { return app.startup.startup_finished != 0; }, 30'000) && live.await_frames());

    ASSERT_TRUE(live.open_scripts({paths.folder + "/examples/parameters.vrek"}));
    Element* line = shown(app, [](Element& e) { return e.text.rfind("Script: parameters.vrek in ...", 0) == 0; });
    expect_end_in_view(line, "/examples/", "script_line");
    // The whole line inside the tip strip: nothing left to scroll to.
    const Element& strip = *named(app, "TIPSCROLL");
    if (line) {
        EXPECT_LT(line->abs_x + line->abs_width, strip.abs_x + strip.abs_width);
    }

    // Hovered, the line tells the whole folder.
    const std::string folder = paths.folder + "/examples/";
    if (line) {
        ASSERT_TRUE(live.move_to(line->abs_x + line->abs_width / 2, line->abs_y + line->abs_height / 2));
        ASSERT_TRUE(live.move_to(line->abs_x + line->abs_width / 2 + 4, line->abs_y + line->abs_height / 2));
        ASSERT_TRUE(live.await_frames());
        EXPECT_NE(shown(app, [&](Element& e) { return e.text == folder; }), nullptr);
    }

    ASSERT_TRUE(key("ctrl+s"));
    expect_end_in_view(beside("Location", 1), "/examples/", "export_location");
    ASSERT_TRUE(key("Escape"));

    ASSERT_TRUE(key("ctrl+o"));
    Element& browser = *named(app, "FILEPANE");
    ASSERT_TRUE(browser.visible);
    Element* directory = shown(browser, [](Element& e) { return e.text.rfind("\n...", 0) == 0; });
    expect_end_in_view(directory, "/examples/", "browser_path");
    ASSERT_TRUE(key("Escape"));
}

}  // namespace

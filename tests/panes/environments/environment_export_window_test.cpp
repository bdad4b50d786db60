// Two environments with their own export choices, driven through the
// window as a user does: the pane of each shows that environment's name,
// location and formats, and its export writes into the folder shown.
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

const char* const format_rows[4] = {" | Alias-Wavefront-Format", " | Object-File-Format", " | Stanford-Polygon-Format",
                                    " | Stereolithagraphy-Format"};

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// What the export pane shows, read from the screen and from the elements
// reached from the root.
struct PaneView {
    std::string name, location, estimate, button;
    bool box_green[4] = {};
    uint32_t row_tint[4] = {};
};

struct EnvironmentExport : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    std::string exports() const { return sample.workspace() + "exports/"; }

    Element& shown(Element& from, const std::function<bool(Element&)>& wanted) {
        Element* e = find_shown(from, wanted);
        EXPECT_NE(e, nullptr);
        return e ? *e : from;
    }
    Element& pane() { return *named(app, "EXPORTPANE"); }
    Element& with_text(Element& from, const std::string& text) {
        return shown(from, [&](Element& e) { return e.text == text; });
    }
    // The value beside a row's caption ("Name", "Location").
    Element& row_value(const std::string& caption) {
        Element& row = shown(pane(), [&](Element& e) {
            auto* c = dynamic_cast<Container*>(&e);
            return c && c->children.size() > 1 && c->children[0]->text == caption;
        });
        return *static_cast<Container&>(row).children[1];
    }
    Element& format_box(int f) { return *static_cast<Container&>(with_text(pane(), format_rows[f])).children[0]; }
    Element& estimate() {
        return shown(pane(), [](Element& e) { return e.text.rfind("Estimated Size-on-Disk: ", 0) == 0; });
    }
    Element& export_button() {
        return shown(pane(), [](Element& e) { return e.text == "Export" || e.text == "!"; });
    }

    bool key(const std::string& keys) {
        // Keys go to the window under the pointer. No --sync: the pointer
        // may be there already, and would never be seen to move.
        live.find_canvas();
        return live.xdotool("mousemove " + live.at(platform_state.canvas_width / 2, 20) + " key " + keys);
    }
    bool open_pane() {
        return key("ctrl+s") && live.pump_until([&] { return pane().visible; }, 5000) && live.await_frames();
    }
    bool close_popup() { return key("Escape") && live.await_frames(); }
    bool switch_to(int32_t index, const char* keys) {
        return key(keys) && live.pump_until([&] {
            return app.entities.environment_index == index && !app.status.transition_active;
        }, 20'000) && live.await_frames();
    }

    PaneView look() {
        // The pointer off the rows, so that no hover tint is read.
        live.move_to(pane().abs_x + pane().abs_width / 2, pane().abs_y + 10);
        live.await_frames();
        const Picture p = grab_canvas(live);
        save_picture(p, "environment_export", "pane");
        PaneView v;
        v.name = row_value("Name").text;
        v.location = row_value("Location").text;
        v.estimate = estimate().text;
        v.button = export_button().text;
        for (int f = 0; f < 4; ++f) {
            const Element& box = format_box(f);
            const uint32_t c = p.at(box.abs_x + box.abs_width / 2, box.abs_y + box.abs_height / 2);
            const int r = c >> 16 & 0xff, g = c >> 8 & 0xff, b = c & 0xff;
            v.box_green[f] = g > r + 40 && g > b + 40;
            // Right of the box: the row's own fill, text-free.
            const Element& row = with_text(pane(), format_rows[f]);
            v.row_tint[f] = p.at(row.abs_x + row.abs_width - 5, row.abs_y + row.abs_height / 2);
        }
        return v;
    }

    // Export with what the pane holds; waits for the files named.
    bool export_and_wait(const std::vector<std::string>& files) {
        if (!live.click(export_button()) || !key("Return")) return false;
        const bool written = live.pump_until([&] {
            for (const std::string& f : files)
                if (!fs::exists(f)) return false;
            return named(app, "INFOPANE")->visible;
        }, 30'000);
        if (!written) save_picture(grab_canvas(live), "environment_export", "export_failed");
        return written && close_popup();
    }
};

TEST_F(EnvironmentExport, EachEnvironmentShowsAndWritesItsOwnChoices) {
    fs::create_directory(exports());
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));

    // env0: all four formats, the location chosen in the browser.
    ASSERT_TRUE(open_pane());
    for (int f = 0; f < 4; ++f) ASSERT_TRUE(live.click(format_box(f)));
    ASSERT_TRUE(live.click(row_value("Location")));
    Element& browser = *named(app, "FILEPANE");
    ASSERT_TRUE(live.pump_until([&] { return browser.visible; }, 5000) && live.await_frames());
    ASSERT_TRUE(live.click(with_text(browser, "exports/")));
    ASSERT_TRUE(live.click(with_text(browser, "Select")));
    ASSERT_TRUE(live.pump_until([&] { return !browser.visible; }, 5000));
    const PaneView first = look();
    EXPECT_TRUE(ends_with(first.location, "/exports/")) << first.location;
    for (int f = 0; f < 4; ++f) EXPECT_TRUE(first.box_green[f]) << f;
    const std::string env0_base = exports() + "environment";
    const std::vector<std::string> env0_files = {env0_base + "_NGON.obj", env0_base + "_TESS.off",
                                                 env0_base + "_TESS.ply", env0_base + ".stl"};
    ASSERT_TRUE(export_and_wait(env0_files));

    // env1: its own defaults, whatever env0 chose.
    ASSERT_TRUE(key("ctrl+n"));
    ASSERT_TRUE(live.pump_until([&] { return app.entities.environment_count == 2 && !app.status.transition_active; },
                                20'000));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "parameters.vrek"}));
    ASSERT_TRUE(open_pane());
    const PaneView fresh = look();
    EXPECT_EQ(fresh.name, "environment");
    EXPECT_TRUE(ends_with(fresh.location, "/examples/")) << fresh.location;
    EXPECT_EQ(fresh.estimate, "Estimated Size-on-Disk: 0.000 MB");
    EXPECT_EQ(fresh.button, "!");
    for (int f = 0; f < 4; ++f) {
        EXPECT_FALSE(fresh.box_green[f]) << f;
        // An unticked row is drawn unlike env0's ticked one.
        EXPECT_FALSE(near_colour(fresh.row_tint[f], first.row_tint[f], 4)) << f;
    }

    // Its own name and one format; the files land in the workspace shown.
    ASSERT_TRUE(live.click(row_value("Name")));
    ASSERT_TRUE(key("ctrl+a") && live.xdotool("type gate") && key("Return"));
    ASSERT_TRUE(live.click(format_box(0)));
    const PaneView second = look();
    EXPECT_EQ(second.name, "gate");
    EXPECT_NE(second.estimate, "Estimated Size-on-Disk: 0.000 MB");
    EXPECT_EQ(second.button, "Export");
    const std::string env1_base = sample.workspace() + "gate";
    ASSERT_TRUE(export_and_wait({env1_base + "_NGON.obj", env1_base + "_TESS.obj"}));
    EXPECT_FALSE(fs::exists(env1_base + ".stl") || fs::exists(env1_base + "_NGON.off"));
    EXPECT_FALSE(fs::exists(exports() + "gate_NGON.obj"));

    // Back and forth: each comes back as it was left, and exports there.
    for (const std::string& f : env0_files) fs::remove(f);
    ASSERT_TRUE(switch_to(0, "ctrl+Prior"));
    ASSERT_TRUE(open_pane());
    const PaneView again = look();
    EXPECT_EQ(again.name, "environment");
    EXPECT_TRUE(ends_with(again.location, "/exports/")) << again.location;
    for (int f = 0; f < 4; ++f) EXPECT_TRUE(again.box_green[f]) << f;
    EXPECT_EQ(again.estimate, first.estimate);
    ASSERT_TRUE(export_and_wait(env0_files));
    EXPECT_FALSE(fs::exists(sample.workspace() + "environment_NGON.obj"));

    ASSERT_TRUE(switch_to(1, "ctrl+Next"));
    ASSERT_TRUE(open_pane());
    const PaneView back = look();
    EXPECT_EQ(back.name, "gate");
    EXPECT_TRUE(ends_with(back.location, "/examples/")) << back.location;
    EXPECT_EQ(back.estimate, second.estimate);
    const bool only_obj[4] = {true, false, false, false};
    for (int f = 0; f < 4; ++f) EXPECT_EQ(back.box_green[f], only_obj[f]) << f;
    EXPECT_TRUE(near_colour(back.row_tint[0], first.row_tint[0], 4));
    EXPECT_TRUE(near_colour(back.row_tint[1], fresh.row_tint[1], 4));
    ASSERT_TRUE(close_popup());
}

// The name is a file name in the location shown: a typed path is refused
// when committed (Enter, or the export button), with a box that says why,
// the field shows the stored name again, and nothing is written anywhere.
TEST_F(EnvironmentExport, ANameThatIsAPathIsRefusedAndWritesNothing) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    fs::create_directory(exports());
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));
    ASSERT_TRUE(open_pane());
    ASSERT_TRUE(live.click(format_box(3)));  // STL alone
    ASSERT_TRUE(live.click(row_value("Location")));
    Element& browser = *named(app, "FILEPANE");
    ASSERT_TRUE(live.pump_until([&] { return browser.visible; }, 5000) && live.await_frames());
    ASSERT_TRUE(live.click(with_text(browser, "exports/")));
    ASSERT_TRUE(live.click(with_text(browser, "Select")));
    ASSERT_TRUE(live.pump_until([&] { return !browser.visible; }, 5000));
    ASSERT_EQ(look().button, "Export");
    Element& warning = *named(app, "WARNINGPANE");
    const auto ink_in = [](const Picture& p, const Element& e) {
        int n = 0;
        for (int32_t y = e.abs_y + 2; y < e.abs_y + e.abs_height - 2; ++y)
            for (int32_t x = e.abs_x + 2; x < e.abs_x + e.abs_width - 2; ++x)
                n += !near_colour(p.at(x, y), p.at(e.abs_x + 1, y), 40);
        return n;
    };
    const std::string absolute = "/vk_absolute_export";
    struct Typed {
        std::string name, why;
        bool by_enter;
    };
    for (const Typed& t : {Typed{"../escaped", "' holds a '/'.", true}, Typed{"sub/inner", "' holds a '/'.", true},
                           Typed{absolute, "' holds a '/'.", true}, Typed{"..", "' names a folder, not a file.", true},
                           Typed{"sub/inner", "' holds a '/'.", false}}) {
        SCOPED_TRACE(t.name + (t.by_enter ? " and Enter" : " and Export"));
        Element& field = row_value("Name");
        ASSERT_TRUE(live.click(field));
        ASSERT_TRUE(key("ctrl+a") && live.xdotool("type --delay 30 '" + t.name + "'"));
        ASSERT_TRUE(live.await_frames());
        const Picture typed = grab_canvas(live);
        EXPECT_EQ(field.text, t.name);
        if (t.by_enter) ASSERT_TRUE(key("Return"));
        else ASSERT_TRUE(live.click(export_button()));
        ASSERT_TRUE(live.pump_until([&] { return warning.visible; }, 5000) && live.await_frames());
        const Picture refused = grab_canvas(live);
        save_picture(refused, "environment_export", "refused_name");
        // The box says why, in words on the screen.
        Element* why = find_shown(warning, [&](Element& e) {
            return e.text.find("The export name '" + t.name + t.why) != std::string::npos;
        });
        ASSERT_NE(why, nullptr);
        EXPECT_GT(ink_in(refused, *why), 200);
        ASSERT_TRUE(close_popup());
        ASSERT_FALSE(warning.visible);
        // The field shows the stored name again, drawn anew.
        const PaneView after = look();
        EXPECT_EQ(after.name, "environment");
        const Picture shown_again = grab_canvas(live);
        EXPECT_GT(ink_in(shown_again, field), 50);
        int changed = 0;
        for (int32_t y = field.abs_y; y < field.abs_y + field.abs_height; ++y)
            for (int32_t x = field.abs_x; x < field.abs_x + field.abs_width; ++x)
                changed += !near_colour(typed.at(x, y), shown_again.at(x, y), 40);
        EXPECT_GT(changed, 50);
        EXPECT_FALSE(named(app, "CONFIRMPANE")->visible);
    }
    // Nothing was written: not above the location, below it or at the
    // absolute path.
    live.pump_for(300);
    EXPECT_FALSE(fs::exists(sample.workspace() + "escaped.stl"));
    EXPECT_FALSE(fs::exists(exports() + "sub"));
    EXPECT_FALSE(fs::exists(absolute + ".stl"));
    EXPECT_FALSE(fs::exists(exports() + "environment.stl"));
    // The stored name still exports where the pane says.
    ASSERT_TRUE(export_and_wait({exports() + "environment.stl"}));
}

}  // namespace

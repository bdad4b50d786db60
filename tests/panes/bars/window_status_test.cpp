#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "harness/interface_tree.h"
#include "panes/pane_test_support.h"
#include "panes/bars/window_status.h"

using Lines = std::vector<std::string>;
using WindowStatus = PaneFixture;

namespace {

// The labels reachable from the root whose text is `text`.
void find_text(Element& e, const std::string& text, std::vector<const Element*>& out) {
    if (e.text == text) out.push_back(&e);
    if (!e.is_container) return;
    for (Element* child : static_cast<Container&>(e).children) find_text(*child, text, out);
}

}  // namespace

TEST_F(WindowStatus, StatusNamesScriptsAndDistinctLocations) {
    struct Case {
        std::vector<std::string> paths;
        std::string text;
    };
    const std::vector<Case> cases = {
        {{}, "(open a vrekform script file...)"},
        {{"/home/u/s/box.vrek"}, "Script: box.vrek in /home/u/s/"},
        {{"d/a.vrek", "d/b.vrek"}, "2 Scripts: [a.vrek, b.vrek] in d/"},
        {{"x/a.vrek", "y/b.vrek", "x/c.vrek"}, "3 Scripts: [a.vrek, b.vrek, c.vrek] in 2 Locations: ['x/', 'y/']"},
    };
    hang_interface_tree(*app);
    app->ui_flags.bar_scroll_factors[BAR_SCROLL_TIP] = 0.5;
    for (const Case& c : cases) {
        set().records.clear();
        for (const std::string& p : c.paths) add_entity(p);
        set().count = static_cast<int32_t>(c.paths.size());
        update_window_status(*app);
        EXPECT_EQ(app->status.status_text, c.text);
        // One label in the tree shows it, sized to its text, the row
        // scrolled back to its start.
        std::vector<const Element*> shown;
        find_text(*app, c.text, shown);
        ASSERT_EQ(shown.size(), 1u) << c.text;
        const Element& label = *shown[0];
        EXPECT_GT(label.text_width, 0);
        EXPECT_EQ(label.width, label.text_width + 16);
        EXPECT_EQ(app->io_settings.placeholder_text_width, label.text_width);
        EXPECT_EQ(app->ui_flags.bar_scroll_factors[BAR_SCROLL_TIP], 0.0);
    }
}

TEST_F(WindowStatus, StatisticsTotalsBoxesTimesAndSizes) {
    EntityRecord& a = add_entity("/s/a.vrek");
    a.vertex_count = std::numeric_limits<int32_t>::max();
    a.bounds[BOUNDS_MIN] = {0, 0, 0};
    a.bounds[BOUNDS_MAX] = {1, 2, 3};
    a.assembly_ms = 1500;
    a.mesh_bytes = 1024;
    EntityRecord& b = add_entity("/s/b.vrek");
    b.vertex_count = std::numeric_limits<int32_t>::max();
    b.bounds[BOUNDS_MIN] = {-1, 0.5, 0};
    b.bounds[BOUNDS_MAX] = {0.5, 1, 4};
    b.assembly_ms = 250;
    b.mesh_bytes = 512;
    // A parallel entity without meshes: an inverted infinite box, skipped.
    EntityRecord& c = add_entity("/s/c.vrek");
    const double inf = std::numeric_limits<double>::infinity();
    c.bounds[BOUNDS_MIN] = {inf, inf, inf};
    c.bounds[BOUNDS_MAX] = {-inf, -inf, -inf};
    refresh_mesh_statistics(*app);
    EXPECT_EQ(app->status.statistics_lines,
              (Lines{"4,294,967,294 vertices", "0 indices \t 0", "0 ngons (0 triangles)",
                     "extent [ w:2.00,h:2.00,d:4.00 ]", "min [ x:-1.00,y:0.00,z:0.00 ]",
                     "max [ x:1.00,y:2.00,z:4.00 ]", "1.75 seconds (1750 ms)", "0.00 MB (1.50 kb | 1536 bytes)"}));
    EXPECT_EQ(app->statistics_label.text, app->statistics_shadow_label.text);
    EXPECT_EQ(app->statistics_label.line_count, 8);

    set().records.clear();
    set().count = 0;
    refresh_mesh_statistics(*app);
    EXPECT_EQ(app->status.statistics_lines, make_app_context()->status.statistics_lines);

    // Without an environment nothing changes.
    bind_environment(*app, nullptr);
    app->status.statistics_lines[0] = "kept";
    refresh_mesh_statistics(*app);
    update_window_status(*app);
    EXPECT_EQ(app->status.statistics_lines[0], "kept");
}

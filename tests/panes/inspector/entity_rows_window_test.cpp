// Entity rows keep their fitted look after a parameter change re-assembles
// the entity: each line of a row ends before the row's buttons, and a cut
// line ends with "...", as when the row was first built.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0;;) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return lines;
        start = end + 1;
    }
}

int32_t advance(const Typeface* face, const std::string& line) {
    int32_t w = 0;
    for (char c : line) w += glyph_advance(face, static_cast<unsigned char>(c));
    return w;
}

bool ends_with_dots(const std::string& line) { return line.size() >= 3 && line.compare(line.size() - 3, 3, "...") == 0; }

struct EntityRows : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    // The bodies of the rows naming the script (name, then details), in
    // both lists, reached from the root.
    std::vector<Container*> row_bodies(const std::string& script) {
        std::vector<Container*> bodies;
        each_element(app, [&](Element& e) {
            auto* c = dynamic_cast<Container*>(&e);
            if (c && c->children.size() == 2 && c->children[0]->text.rfind(script, 0) == 0) bodies.push_back(c);
        });
        return bodies;
    }
    // Every details line of every row fits before the buttons; a line that
    // is not the whole summary line ends with "...". Returns how many were
    // cut.
    int check_fitted(const std::string& script) {
        const std::vector<std::string>& summary = app.entities.current_entities->records[0].summary_lines;
        int cut = 0;
        const std::vector<Container*> bodies = row_bodies(script);
        EXPECT_EQ(bodies.size(), 2u);
        for (Container* body : bodies) {
            const Element& details = *body->children[1];
            const int32_t room = body->width - 2 - details.padding_left;
            const std::vector<std::string> lines = lines_of(details.text);
            EXPECT_EQ(lines.size(), 2u) << details.text;
            for (size_t i = 0; i < lines.size() && i + 1 < summary.size(); ++i) {
                EXPECT_LE(advance(details.typeface, lines[i]), room) << lines[i];
                if (lines[i] == summary[i + 1]) continue;
                EXPECT_TRUE(ends_with_dots(lines[i])) << "cut without \"...\": " << lines[i];
                ++cut;
            }
        }
        return cut;
    }
};

TEST_F(EntityRows, ReassemblyKeepsTheRowsFitted) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "parameters.vrek"}));
    live.find_canvas();
    ASSERT_TRUE(live.xdotool("mousemove " + live.at(platform_state.canvas_width / 2, 200) + " key 3"));
    ASSERT_TRUE(live.await_frames());
    // The lines are long enough to be cut at this pane width.
    ASSERT_GT(check_fitted("parameters.vrek"), 0);

    // A new segment count, typed into the parameter pane and applied.
    Element* row = find_shown(app, [](Element& e) {
        auto* c = dynamic_cast<Container*>(&e);
        return c && c->children.size() == 2 && c->children[0]->text.rfind("parameters.vrek", 0) == 0;
    });
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(live.click(*row) && live.await_frames());
    Element* segments = find_shown(app, [](Element& e) { return dynamic_cast<TextField*>(&e) && e.text == "24"; });
    ASSERT_NE(segments, nullptr);
    const int32_t vertices = app.entities.current_entities->records[0].vertex_count;
    ASSERT_TRUE(live.click(*segments));
    ASSERT_TRUE(live.xdotool("key ctrl+a type 40") && live.xdotool("key Return"));
    Element* apply = find_shown(app, [](Element& e) { return e.text == "APPLY"; });
    ASSERT_NE(apply, nullptr);
    ASSERT_TRUE(live.click(*apply));
    ASSERT_TRUE(live.pump_until(
        [&] { return app.entities.current_entities->records[0].vertex_count != vertices; }, 30'000));
    ASSERT_TRUE(live.await_frames());
    save_picture(grab_canvas(live), "entity_rows", "after_push");

    EXPECT_GT(check_fitted("parameters.vrek"), 0);
}

}  // namespace

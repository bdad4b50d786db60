#include <gtest/gtest.h>
#include "support/call_log.h"

#include "render/scene_actions.h"
#include "support/app_fixture.h"
#include "ui/ui_state.h"

namespace {

InteropMesh* column_mesh(int n) {
    InteropMesh* m = new InteropMesh();
    m->dimension = 3;
    m->present = 1;
    for (int i = 0; i < n; ++i) m->positions.insert(m->positions.end(), {0.0, double(i), 0.0});
    m->bounds = {0, 0, 0, 0, double(n - 1), 0, 0, 0, 0, 0, 0, 0, 0, double(n - 1), 0};
    m->colours.assign(4 * n, 1.0);
    m->display_colours.assign(4 * n, 255);
    m->colours_dirty = 0;
    return m;
}

struct SceneActions : AppFixture {
    std::vector<InteropMesh*> meshes;
    std::vector<EntityRecord*> subs;

    SceneActions() {
        app->hooks.show_info_box = [](AppContext&, const std::string& title, const std::string& text) {
            record_call("show_info_box: " + title + "\n" + text);
        };
        make_new_environment_current(*app);
    }
    ~SceneActions() override {
        app.reset();
        for (InteropMesh* m : meshes) free_interop_mesh(m);
        for (EntityRecord* e : subs) delete e;
    }
    InteropMesh* mesh(int n) {
        meshes.push_back(column_mesh(n));
        return meshes.back();
    }
    EntityRecord& add_entity(InteropMesh* m) {
        EntitySet& set = *app->entities.current_entities;
        EntityRecord e = entity_construct();
        if (m) entity_attach_mesh(e, m);
        set.records.push_back(e);
        set.count = static_cast<int32_t>(set.records.size());
        set.dirty = 1;
        return set.records.back();
    }
};

}  // namespace

TEST_F(SceneActions, RecolouringReachesInUsePresentMeshesOnly) {
    InteropMesh* plain = mesh(3);
    InteropMesh* hidden = mesh(3);
    InteropMesh* unused = mesh(3);
    // The context owns its start-up mesh.
    InteropMesh* startup = column_mesh(3);
    InteropMesh* sub_mesh = mesh(3);
    hidden->present = 0;
    add_entity(plain);
    add_entity(hidden);
    add_entity(unused).assembled = 0;
    EntityRecord& parallel = add_entity(nullptr);
    parallel.parallel = 1;
    parallel.assembled = 1;
    subs.push_back(new EntityRecord(entity_construct()));
    entity_attach_mesh(*subs.back(), sub_mesh);
    parallel.subelement_records = {subs.back(), nullptr};
    app->startup.startup_entity_mesh = startup;

    app->render_flags.colour_mode = 1;  // dark
    recolour_all(*app);
    for (InteropMesh* m : {plain, startup, sub_mesh}) {
        EXPECT_EQ(m->display_colours[0], 63);
        EXPECT_EQ(m->colours_dirty, 1);
    }
    EXPECT_EQ(hidden->display_colours[0], 255);
    EXPECT_EQ(unused->display_colours[0], 255);
}

TEST_F(SceneActions, ColourByButtonsAndTheMultiChannelToggle) {
    InteropMesh* m = mesh(3);
    add_entity(m);
    app->render_flags.colour_mode = 3;
    app->render_flags.multichannel_colour = 0;
    app->frame.needs_redraw = 0;
    select_colour_function(*app, 9);  // declaration order
    EXPECT_EQ(app->render_flags.colour_function, 12);
    EXPECT_EQ(m->display_colours[4], 85);
    EXPECT_EQ(app->frame.needs_redraw, 1);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(app->colour_function_buttons[i].selected, i == 9) << i;
    select_colour_function(*app, 15);  // no such button: nothing changes
    EXPECT_EQ(app->render_flags.colour_function, 12);

    reset_call_log();
    app->hooks.build_colour_ramp = [](AppContext&) { record_call("build_colour_ramp"); };
    toggle_multichannel_colour_space(*app);
    EXPECT_EQ(app->render_flags.multichannel_colour, 1);
    EXPECT_EQ(m->display_colours[4], 127);  // t = 1/3: hue(0.25) = (0.5, 1, 0)
    EXPECT_EQ(call_log(), std::vector<std::string>{"build_colour_ramp"});
}

TEST_F(SceneActions, InspectorLabelsFollowTheToolTipAndTraceGoesToTheInfoBox) {
    InteropMesh* m = mesh(3);
    m->triangles = {0, 1, 2};
    m->triangle_polygons = {0};
    m->polygons = {1, 3, 0, 1, 2};
    EntityRecord& e = add_entity(m);
    e.parse_record.path = "/w/a.vrek";
    app->bars.llmi_pick_key = 'P';
    app->frame.picked_entity_id = 0;
    app->frame.picked_element_id = 0;
    Element& info = app->canvas_pick_area;
    tooltip_element = &info;
    update_llmi_labels(*app);
    EXPECT_STREQ(info.tooltip_title, "\t a.vrek");
    EXPECT_STREQ(info.tooltip_text, "polygon : 0");
    EXPECT_EQ(info.tooltip_icon, 6);
    // The hint bar on screen follows at once.
    EXPECT_EQ(app->hint_caption.text, "\t a.vrek");
    EXPECT_EQ(app->hint_text.text, "polygon : 0");

    reset_call_log();
    build_llmi_trace(*app);
    ASSERT_EQ(call_log().size(), 1u);
    EXPECT_EQ(call_log()[0].rfind("show_info_box: LLMI:[P] \t Polygon Picking-Mode\n---", 0), 0u);

    app->frame.picked_element_id = 0xFFFFFF;
    update_llmi_labels(*app);
    EXPECT_EQ(info.tooltip_title, nullptr);
    EXPECT_EQ(info.tooltip_icon, -1);
    EXPECT_EQ(tooltip_element, nullptr);
    EXPECT_TRUE(app->hint_text.text.empty());

    app->bars.llmi_pick_key = '!';
    app->frame.picked_element_id = 0;
    reset_call_log();
    build_llmi_trace(*app);
    EXPECT_TRUE(call_log().empty());
}

#include <string>
#include "support/call_log.h"
#include <vector>

#include "panes/inspector/entity_lists.h"
#include "panes/pane_test_support.h"

struct EntityLists : PaneFixture {
    EntityLists() { publish(); }
    void click_entity(int32_t row, int32_t x, int32_t y) {
        click_list(app->entity_rows, record_entity_list_press, on_entity_list_click, row, x, y);
    }
    void click_parameter_row(int32_t row, int32_t x, int32_t y) {
        click_list(app->parameter_rows, record_parameter_list_press, on_parameter_entity_row_click, row, x,
                   y);
    }
    EntityListView& entity_view() { return *app->entities.current_environment_parts.entity_view; }
    EntityListView& parameter_view() { return *app->entities.current_environment_parts.parameter_view; }
    // Puts entity i's box far along +x, and the camera looking elsewhere.
    void place_away(EntityRecord& e) {
        e.bounds[BOUNDS_MIN] = {50, 0, 0};
        e.bounds[BOUNDS_MAX] = {50, 0, 0};
        app->camera.live_camera.look_at = {app->camera.live_camera.eye[0] - 1, 0, 0};
    }
    bool camera_aims_along_x() { return app->camera.live_camera.look_at[0] > app->camera.live_camera.eye[0]; }
};

TEST_F(EntityLists, RowsForNoneOneAndThreeEntities) {
    rebuild_entity_rows(*app);
    EXPECT_TRUE(app->entity_list_hint.visible);
    EXPECT_EQ(app->entity_list.height, 0);
    EXPECT_EQ(app->entity_list.click_handler, nullptr);

    EntityRecord& a = add_entity("/s/a.vrek");
    a.summary_lines = {": a.vrek", "one", "two"};
    a.summary_width = 100;
    a.locked = 1;
    a.visible = 0;
    rebuild_entity_rows(*app);
    EXPECT_FALSE(app->entity_list_hint.visible);
    ASSERT_EQ(app->entity_list.children.size(), 1u);
    const ListRowParts& p = app->side_pane.entity_row_parts;
    EXPECT_EQ(p.names[0].text, ": a.vrek");
    EXPECT_EQ(p.details[0].text, "one\ntwo");
    EXPECT_EQ(p.locks[0].opacity, 1.0);
    EXPECT_EQ(p.bodies[0].opacity, 0.25);

    add_entity("/s/b.vrek");
    add_entity("/s/c.vrek");
    rebuild_entity_rows(*app);
    ASSERT_EQ(p.separators.size(), 2u);
    EXPECT_EQ(app->entity_rows[2].y, 102);
    EXPECT_EQ(app->entity_list.click_handler, on_entity_list_click);
}

TEST_F(EntityLists, ClickZonesOfTheEntityList) {
    add_entity("/s/a.vrek");
    add_entity("/s/b.vrek");
    // Re-assembly and delete confirm only entities that hold a mesh.
    InteropMesh mesh{};
    entity(1).mesh = &mesh;
    rebuild_entity_rows(*app);
    struct Case {
        int32_t x, y;
        std::string call;
        uint8_t locked, visible;
        int32_t selected;
        bool aims = false;
    };
    // Each case starts from an unlocked, visible, unselected entity 1.
    const std::vector<Case> cases = {
        {10, 68, "", 0, 1, 1},     {10, 70, "", 1, 1, -1},   {194, 60, "", 0, 1, 1},
        {195, 75, "", 0, 1, -1, true},                {218, 76, "reassemble", 0, 1, -1},
        {219, 75, "", 0, 0, -1},   {219, 76, "delete", 0, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        entity(1).locked = 0;
        entity(1).visible = 1;
        place_away(entity(1));
        entity_view().selected_row = -1;
        rebuild_entity_rows(*app);
        reset_call_log();
        app->frame.needs_redraw = 0;
        app->pane_open_flags[PANE_CONFIRM] = 0;
        app->dialogs.pending_reassembly_index = app->dialogs.pending_delete_index = -1;
        click_entity(1, c.x, c.y);
        EXPECT_TRUE(call_log().empty());
        // Only the two confirmation zones open the confirmation, for entity 1.
        EXPECT_EQ(app->pane_open_flags[PANE_CONFIRM], c.call.empty() ? 0 : 1);
        EXPECT_EQ(app->dialogs.pending_reassembly_index, c.call == "reassemble" ? 1 : -1);
        EXPECT_EQ(app->dialogs.pending_delete_index, c.call == "delete" ? 1 : -1);
        EXPECT_EQ(entity(1).locked, c.locked);
        EXPECT_EQ(entity(1).visible, c.visible);
        EXPECT_EQ(entity_view().selected_row, c.selected);
        EXPECT_EQ(camera_aims_along_x(), c.aims);
        EXPECT_EQ(app->frame.needs_redraw, 1);
    }
    // Clicking the selected row deselects it; another row moves the selection.
    click_entity(0, 10, 10);
    click_entity(1, 10, 61);
    EXPECT_FALSE(app->entity_rows[0].selected);
    EXPECT_TRUE(app->entity_rows[1].selected);
    click_entity(1, 10, 61);
    EXPECT_EQ(entity_view().selected_row, -1);
    EXPECT_EQ(app->entity_name_label.text, ": (none selected)");
    // The camera lock makes the look-at zone do nothing.
    app->ui_flags.camera_locked = 1;
    place_away(entity(0));
    click_entity(0, 195, 10);
    EXPECT_FALSE(camera_aims_along_x());
    // Without a hovered row nothing happens.
    app->frame.needs_redraw = 0;
    hover_element = nullptr;
    on_entity_list_click();
    EXPECT_EQ(app->frame.needs_redraw, 0);
    entity(1).mesh = nullptr;
}

TEST_F(EntityLists, FlagsMirrorIntoTheParameterRows) {
    add_entity("/s/a.vrek");
    EntityRecord& b = add_entity("/s/b.vrek");
    give_parameters(b, {int_parameter("n", 1, false)});
    EntityRecord& c = add_entity("/s/c.vrek");
    InteropMesh own, element_mesh;
    EntityRecord element = entity_construct();
    element.mesh = &element_mesh;
    c.parallel = 1;
    c.mesh = &own;
    c.subelement_records = {&element, nullptr};
    c.subelement_count = 2;
    index_parameters();
    rebuild_entity_rows(*app);
    rebuild_parameter_rows(*app);
    ASSERT_EQ(app->parameter_rows.size(), 1u);

    click_entity(1, 10, 51 + 20);
    EXPECT_EQ(app->side_pane.parameter_row_parts.locks[0].opacity, 1.0);
    EXPECT_EQ(app->side_pane.entity_row_parts.locks[1].opacity, 1.0);
    click_entity(1, 219, 51 + 10);
    EXPECT_EQ(app->side_pane.parameter_row_parts.bodies[0].opacity, 0.25);
    EXPECT_EQ(app->side_pane.entity_row_parts.locks[1].opacity, 1.0);

    // A parallel entity hides with every element and mesh.
    click_entity(2, 219, 102 + 10);
    EXPECT_EQ(c.visible, 0);
    EXPECT_EQ(own.visible, 0);
    EXPECT_EQ(element.visible, 0);
    EXPECT_EQ(element_mesh.visible, 0);

    // An entity with parameters missing from the index list is reported.
    set().parameter_entities.clear();
    capture_stdout();
    click_entity(1, 10, 51 + 20);
    click_entity(1, 219, 51 + 10);
    EXPECT_EQ(captured_stdout(),
              "CRITICAL-ERROR-RESOLVING-PARAMETRIC-MAP-ID@LOCK\nCRITICAL-ERROR-RESOLVING-PARAMETRIC-MAP-ID@CLIP\n");
    EXPECT_EQ(b.locked, 0);
    EXPECT_EQ(b.visible, 1);
    c.mesh = nullptr;
    c.subelement_records.clear();
}

TEST_F(EntityLists, ParameterRowsListOnlyEntitiesWithParametersAndKeepTheSelection) {
    EntityRecord& a = add_entity("/s/a.vrek");
    give_parameters(a, {int_parameter("n", 1, false)});
    add_entity("/s/b.vrek");
    EntityRecord& c = add_entity("/s/c.vrek");
    give_parameters(c, {int_parameter("n", 1, false)});
    index_parameters();
    rebuild_parameter_rows(*app);
    ASSERT_EQ(app->parameter_rows.size(), 2u);
    EXPECT_EQ(app->parameter_rows[1].user_index, 1);
    EXPECT_FALSE(app->parameter_list_hint.visible);

    click_parameter_row(1, 100, 51 + 10);
    EXPECT_EQ(parameter_view().selected_row, 1);
    EXPECT_EQ(parameter_view().further_values[3], 32);
    EXPECT_EQ(app->parameter_entity_name_label.text, c.file_name);

    // Entity 1 gains a parameter: the selection stays on entity 2.
    give_parameters(entity(1), {int_parameter("m", 1, false)});
    index_parameters();
    rebuild_parameter_rows(*app);
    EXPECT_EQ(parameter_view().selected_row, 2);
    EXPECT_TRUE(app->parameter_rows[2].selected);
    // Entity 2 loses its parameters: nothing stays selected.
    give_parameters(entity(2), {});
    index_parameters();
    rebuild_parameter_rows(*app);
    EXPECT_EQ(parameter_view().selected_row, -1);
}

TEST_F(EntityLists, ParameterRowClickZones) {
    EntityRecord& a = add_entity("/s/a.vrek");
    give_parameters(a, {int_parameter("n", 1, false)});
    index_parameters();
    rebuild_entity_rows(*app);
    rebuild_parameter_rows(*app);
    a.locked = 1;
    click_parameter_row(0, 10, 20);
    EXPECT_EQ(a.locked, 0);
    EXPECT_EQ(app->side_pane.parameter_row_parts.locks[0].opacity, 0.25);
    EXPECT_EQ(app->side_pane.entity_row_parts.locks[0].opacity, 0.25);
    click_parameter_row(0, 230, 10);
    EXPECT_EQ(a.visible, 0);
    EXPECT_EQ(app->side_pane.entity_row_parts.bodies[0].opacity, 0.25);
    place_away(a);
    click_parameter_row(0, 230, 30);
    EXPECT_TRUE(camera_aims_along_x());
    place_away(a);
    app->ui_flags.camera_locked = 1;
    click_parameter_row(0, 230, 10);
    EXPECT_TRUE(camera_aims_along_x());
    EXPECT_EQ(a.visible, 0);
    click_parameter_row(0, 100, 10);
    click_parameter_row(0, 100, 10);
    EXPECT_EQ(parameter_view().selected_row, -1);
    EXPECT_FALSE(app->parameter_list.visible);
}

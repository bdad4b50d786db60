#include <algorithm>
#include "support/call_log.h"

#include "panes/env_test_support.h"
#include "panes/environments/environment_tabs.h"
#include "shell/app_callbacks.h"

namespace {

using EnvironmentTest = EnvironmentFixture;

TEST_F(EnvironmentTest, TabStripPlacesOneHighlightAndTheHoverMarker) {
    rebuild_environment_tabs(*app);
    ASSERT_EQ(app->environment_tabs.size(), 1u);
    add_environment(*app);
    add_environment(*app);
    ASSERT_EQ(app->environment_tabs.size(), 3u);
    ASSERT_EQ(app->environment_tab_strip.children.size(), 3u);
    const double* current = app->environment_tabs[2].background_colour;
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(app->environment_tabs[i].text, environment(i)->name);
        EXPECT_EQ(app->environment_tabs[i].background_colour == current, i == 2) << i;
    }
    const std::pair<int32_t, bool> marker[] = {{-1, false}, {0, true}, {2, false}, {3, false}};
    for (const auto& [hovered, shown] : marker) {
        app->entities.hovered_environment_tab = hovered;
        rebuild_environment_tabs(*app);
        EXPECT_EQ(app->environment_preview.visible, shown) << hovered;
    }
    // A hovered tab is forgotten before its storage goes.
    hover_element = &app->environment_tabs[1];
    rebuild_environment_tabs(*app);
    EXPECT_EQ(hover_element, nullptr);
}

TEST_F(EnvironmentTest, AddingAndSwitchingKeepEachEnvironmentsOwnState) {
    Environment* a = environment(0);
    a->entities.records.push_back(entity_construct());
    a->entities.count = 1;
    a->entity_list_view.selected_row = 0;
    app->frame.theme_index = 0;
    add_environment(*app);
    EXPECT_EQ(app->entities.environment_index, 1);
    EXPECT_EQ(app->entities.environment_count, 2);
    ASSERT_EQ(app->entities.environment_names.size(), 2u);
    Environment* b = environment(1);
    EXPECT_EQ(app->entities.environment_names[1], b->name);
    EXPECT_EQ(app->entities.current_entities, &b->entities);
    EXPECT_EQ(app->entities.current_environment_parts.entity_view->entity_set, &b->entities);
    EXPECT_EQ(app->entities.current_environment_parts.parameter_view->entity_set, &b->entities);
    EXPECT_EQ(app->frame.theme_index, 2);  // a new environment starts with the defaults

    app->camera.camera_controller = CAMERA_OBJECT_ORBIT;
    app->frame.theme_index = 4;
    reset_call_log();
    request_switch(0);
    run_ticks(5);
    EXPECT_EQ(app->entities.environment_index, 1);
    run_ticks(1);
    EXPECT_EQ(app->entities.environment_index, 0);
    EXPECT_EQ(app->entities.current_environment, a);
    EXPECT_EQ(a->entity_list_view.selected_row, 0);
    EXPECT_EQ(app->frame.theme_index, 0);
    EXPECT_EQ(app->camera.camera_controller, CAMERA_FREE_ROAM);
    EXPECT_EQ(b->view.camera.camera_controller, CAMERA_OBJECT_ORBIT);
    EXPECT_EQ(b->view.theme_index, 4);

    // Two requests inside the countdown: one load, of the second target (the
    // load's pane rebuild counts).
    static int loads = 0;
    app->hooks.count_animation_directives = [](AppContext&) { ++loads; };
    add_environment(*app);
    loads = 0;
    request_switch(0);
    run_ticks(3);
    request_switch(1);
    run_ticks(10);
    EXPECT_EQ(app->entities.current_environment, b);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(app->bars.pending_environment, -1);

    // A target outside the tabs only clears the request.
    loads = 0;
    for (int32_t bad : {-7, 3, 99}) {
        app->bars.pending_environment = bad;
        app->bars.environment_switch_countdown = 0;
        switch_to_pending_environment(*app);
        EXPECT_EQ(app->bars.pending_environment, -1);
        EXPECT_EQ(app->bars.environment_switch_countdown, -1);
    }
    EXPECT_EQ(loads, 0);
    EXPECT_EQ(app->entities.current_environment, b);
}

// "+ Environment" adds one environment halfway through the interface
// transition, however often it is pressed meanwhile.
TEST_F(EnvironmentTest, TheAddRequestAddsOnceThroughTheTransition) {
    request_new_environment(*app);
    EXPECT_TRUE(app->busy_mask.visible);
    EXPECT_EQ(app->bars.environment_switching, 1);
    int steps = 0;
    for (; app->status.transition_active && steps < 200; ++steps) {
        if (steps == 3) request_new_environment(*app);
        step_busy_animation(*app);
    }
    EXPECT_LT(steps, 200);
    EXPECT_FALSE(app->busy_mask.visible);
    EXPECT_EQ(app->entities.environment_count, 2);
    EXPECT_EQ(app->entities.environment_index, 1);
    EXPECT_EQ(app->entities.current_environment, environment(1));
}

TEST_F(EnvironmentTest, ClosingFreesMeshesAndShiftsTheIndices) {
    add_environment(*app);
    add_environment(*app);
    add_environment(*app);  // current: 3
    Environment* closing = environment(1);
    Environment* current = environment(3);
    EntitySet& set = closing->entities;
    EntityRecord plain = entity_construct();
    plain.mesh = new InteropMesh();
    plain.mesh->vertex_array_id = 11, plain.mesh->vertex_buffer_id = 12, plain.mesh->index_buffer_id = 13;
    EntityRecord parallel = entity_construct(true);
    parallel.subelement_records = {new EntityRecord(entity_construct()), nullptr};
    parallel.subelement_records[0]->mesh = new InteropMesh();
    parallel.subelement_records[0]->mesh->vertex_array_id = 21;
    parallel.subelement_records[0]->mesh->vertex_buffer_id = 22;
    parallel.subelement_records[0]->mesh->index_buffer_id = 23;
    parallel.subelement_count = 2;
    set.records = {plain, parallel};
    set.count = 2;

    // Invalid indices and the current one are ignored.
    for (int32_t ignored : {-1, 4, 3}) close_environment(*app, ignored);
    EXPECT_EQ(app->entities.environment_count, 4);

    request_switch(2);
    app->entities.hovered_environment_tab = 1;
    close_marked_environment(*app);
    EXPECT_EQ(app->entities.environment_count, 3);
    EXPECT_EQ(app->entities.environment_list.count, 3);
    EXPECT_EQ(app->entities.environment_index, 2);
    EXPECT_EQ(app->entities.current_environment, current);
    EXPECT_EQ(environment(2), current);
    EXPECT_EQ(app->entities.environment_names[2], current->name);
    EXPECT_EQ(app->entities.hovered_environment_tab, -1);
    EXPECT_EQ(app->environment_tabs.size(), 3u);
    EXPECT_EQ(app->bars.pending_environment, 1);  // still names the same environment
    EXPECT_EQ(app->gl_retirement.retired_vertex_arrays, (std::vector<uint32_t>{11, 21}));
    EXPECT_EQ(app->gl_retirement.retired_vertex_buffers, (std::vector<uint32_t>{12, 22}));
    EXPECT_EQ(app->gl_retirement.retired_index_buffers, (std::vector<uint32_t>{13, 23}));

    // A queued switch to the closed tab is dropped.
    request_switch(0);
    close_environment(*app, 0);
    EXPECT_EQ(app->bars.pending_environment, -1);
    EXPECT_EQ(app->bars.environment_switch_countdown, -1);
    EXPECT_EQ(app->entities.environment_index, 1);
}

}  // namespace

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "panes/inspector/entity_inspector.h"
#include "panes/inspector/entity_lists.h"
#include "panes/inspector/parameter_actions.h"
#include "panes/inspector/transform_fields.h"
#include "panes/inspector/parameter_pane.h"
#include "panes/pane_test_support.h"

struct InspectorPane : PaneFixture {
    InspectorPane() { publish(); }
    void select_entity(int32_t i) {
        app->entities.current_environment_parts.entity_view->selected_row = i;
        refresh_entity_inspector(*app);
    }
    void select_parameter_row(int32_t k) {
        app->entities.current_environment_parts.parameter_view->selected_row = k;
        rebuild_parameter_pane(*app);
    }
};

TEST_F(InspectorPane, InspectorFillsKeepsCaretsAndEmpties) {
    EntityRecord& e = add_entity("/s/a.vrek");
    e.file_name = ": a.vrek";
    e.translation = {0.5, 0, -2};
    e.uniform_scale = 1e-07;
    e.euler_angles = {1e6, 1234567, 0};
    e.rotation_order = 3;
    e.transform_order = 2;
    e.information_lines = {"a", "b"};
    InteropMesh mesh;
    e.mesh = &mesh;
    select_entity(0);
    std::vector<std::string> texts;
    for (int32_t k = 0; k < 10; ++k) texts.push_back(transform_field(*app, k)->text);
    EXPECT_EQ(texts, (std::vector<std::string>{"0.5", "0", "-2", "1e-07", "1", "1", "1", "1e+06", "1.23457e+06", "0"}));
    EXPECT_EQ(app->entity_name_label.text, ": a.vrek");
    EXPECT_TRUE(app->entity_ppd_button.visible);
    EXPECT_EQ(app->entity_ppd_button.text_opacity, 0.5);
    EXPECT_TRUE(app->rotation_order_buttons[3].selected && app->transform_order_buttons[2].selected);
    EXPECT_NE(app->translation_fields[0].on_enter, nullptr);

    // An unchanged value keeps the caret of the field being edited.
    app->translation_fields[0].caret = 1;
    mesh.ppd_text = "12\n";
    select_entity(0);
    EXPECT_EQ(app->translation_fields[0].caret, 1);
    EXPECT_EQ(app->entity_ppd_button.text_opacity, 1.0);

    select_entity(-1);
    EXPECT_FALSE(app->entity_ppd_button.visible || app->entity_information_area.visible);
    EXPECT_EQ(app->uniform_scale_field.text, "1");
    EXPECT_EQ(app->translation_fields[0].on_enter, nullptr);
    EXPECT_FALSE(app->rotation_order_buttons[3].selected);
    e.mesh = nullptr;
}

TEST_F(InspectorPane, ParallelProfilingLightsThePpdButton) {
    EntityRecord& e = add_entity("/s/p.vrek");
    InteropMesh plain, profiled;
    profiled.ppd_text = "1\n";
    EntityRecord first = entity_construct(), second = entity_construct();
    first.mesh = &plain;
    second.mesh = &profiled;
    e.parallel = 1;
    e.subelement_records = {&first, nullptr, &second};
    e.subelement_count = 3;
    select_entity(0);
    EXPECT_EQ(app->entity_ppd_button.text_opacity, 1.0);
    e.subelement_count = 2;  // a list that disagrees with its count is not searched
    select_entity(0);
    EXPECT_EQ(app->entity_ppd_button.text_opacity, 0.5);
    e.subelement_records.clear();
}

TEST_F(InspectorPane, BlocksSlidersAndBooleanValues) {
    EntityRecord& e = add_entity("/s/a.vrek");
    e.file_name = ": a.vrek";
    EntityParameter flag;
    flag.type = PARAMETER_BLN;
    flag.current.type = PARAMETER_BLN;
    flag.current.bool_value = 1;
    give_parameters(e, {int_parameter("n", 4, true), int_parameter("m", 1, false), flag});
    e.parse_result.type_counts = {2, 0, 3, 1, 0, 0};
    e.parse_result.summary = format_parameter_summary(e.parse_result.type_counts);
    e.parameter_marks = {0, 1};
    index_parameters();
    select_parameter_row(0);
    const ParameterBlockParts& b = app->side_pane.parameter_blocks;
    // A slider block is three rows, a plain one two.
    ASSERT_EQ(b.blocks.size(), 3u);
    EXPECT_EQ(b.blocks[1].y, 72);
    EXPECT_DOUBLE_EQ(app->parameter_sliders[0].value, 0.4);
    EXPECT_TRUE(b.parameter_labels[1].selected && !b.parameter_labels[0].selected);
    EXPECT_EQ(app->parameter_value_fields[2].text, "TRUE");
    EXPECT_FALSE(app->parameter_value_fields[2].editable);
    EXPECT_EQ(app->parameter_list.height, (7 + 1) * 24 - 1);
    // The footer is the parse's summary line.
    EXPECT_EQ(app->parameter_summary_label.text, "2 INT, 0 DBL, 3 LNG, 1 BLN, 0 CHR, 0 STR");

    select_parameter_row(-1);
    EXPECT_EQ(app->parameter_entity_name_label.text, ": (none selected)");
    EXPECT_FALSE(app->parameter_list.visible);
    EXPECT_TRUE(app->parameter_value_fields.empty());
    EXPECT_EQ(app->parameter_reset_button.text_opacity, 0.5);
}

TEST(ParameterSliders, StepsAreCountedIn64Bits) {
    EntityParameter p = int_parameter("n", 0, true, 0, 10);
    EXPECT_EQ(parameter_slider_steps(p), 10);
    p = int_parameter("n", 0, true, INT32_MIN, INT32_MAX);
    EXPECT_EQ(parameter_slider_steps(p), 0);
    EXPECT_NEAR(parameter_slider_fraction(p), 0.5, 1e-9);
    p = int_parameter("n", 5, true, 5, 5);
    EXPECT_EQ(parameter_slider_steps(p), 0);
    EXPECT_EQ(parameter_slider_fraction(p), 0.0);
    EntityParameter l;
    l.type = l.lower.type = l.upper.type = l.current.type = PARAMETER_LNG;
    l.upper.long_value = (int64_t{1} << 32) + 5;
    EXPECT_EQ(parameter_slider_steps(l), 0);
    l.upper.long_value = 100;
    l.lower.long_value = INT64_MIN;
    EXPECT_EQ(parameter_slider_steps(l), 0);
    l.lower.long_value = 0;
    l.current.long_value = 25;
    EXPECT_EQ(parameter_slider_steps(l), 100);
    EXPECT_DOUBLE_EQ(parameter_slider_fraction(l), 0.25);
}

TEST_F(InspectorPane, ParallelEntityGetsHeadingsPerSubElement) {
    EntityRecord& e = add_entity("/s/p.vrek");
    ParseResult first, second;
    give_parameters(e, {});
    first.parameters = {int_parameter("a", 1, false)};
    first.parameter_count = 1;
    second.parameters = {int_parameter("b", 1, false), int_parameter("c", 2, false)};
    second.parameter_count = 2;
    e.parallel = 1;
    e.algorithm = 1;
    e.parse_result.merged = 1;
    e.parse_result.element_names = {"left", "right"};
    e.parse_result.element_results = {&first, &second};
    e.parse_result.parameter_count = 3;
    index_parameters();
    select_parameter_row(0);
    const ParameterBlockParts& b = app->side_pane.parameter_blocks;
    // Heading, block; heading, block, block: 24 + 48 + 24 + 48 + 48.
    ASSERT_EQ(b.parameter_group_headings.size(), 2u);
    EXPECT_EQ(b.parameter_group_headings[1].y, 72);
    EXPECT_EQ(b.parameter_group_headings[1].text, "\t right");
    ASSERT_EQ(b.blocks.size(), 3u);
    EXPECT_EQ(b.blocks[2].y, 144);
    EXPECT_EQ(app->parameter_value_fields[2].user_index, 2);
    EXPECT_EQ(app->parameter_list.height, 215);
    EXPECT_EQ(app->parameter_list.click_handler, on_parallel_parameter_row_click);
    e.parse_result.element_results.clear();
}

TEST_F(InspectorPane, RebuildUnderHoverAndFocusLeavesNothingDangling) {
    EntityRecord& e = add_entity("/s/a.vrek");
    give_parameters(e, {int_parameter("n", 1, true), int_parameter("m", 1, true), int_parameter("k", 1, true)});
    index_parameters();
    select_parameter_row(0);
    // The pointer rests on block 2's slider; a field has the focus.
    Slider& slider = app->parameter_sliders[2];
    const int32_t px = slider.x + 5;
    const int32_t py = app->side_pane.parameter_blocks.blocks[2].y + 48 + 5;
    app->parameter_list.dispatch_motion(app->parameter_list.x + px, app->parameter_list.y + py, 0);
    ASSERT_EQ(hover_element, &slider);
    focus_element = &app->parameter_value_fields[0];
    tooltip_element = &app->side_pane.parameter_blocks.parameter_type_labels[1];
    rebuild_parameter_pane(*app);
    EXPECT_EQ(hover_element, &app->parameter_sliders[2]);
    EXPECT_TRUE(app->parameter_sliders[2].hovered);
    EXPECT_EQ(focus_element, nullptr);
    EXPECT_EQ(tooltip_element, nullptr);
    select_parameter_row(-1);
    EXPECT_EQ(hover_element, nullptr);
}

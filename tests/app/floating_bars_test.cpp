// The floating bars over the 3D view as the builder leaves them: strips,
// directive controls, variant bar, pick keys, visibility and bound actions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/interface_builder.h"
#include "panes/bars/directive_bars.h"
#include "panes/pane_test_support.h"
#include "pipeline/parameter_push.h"
#include "support/app_fixture.h"
#include "support/decimal_comma_locale.h"

namespace {

struct FloatingBars : AppFixture {
    void build() {
        capture_stdout();
        build_user_interface(*app);
        captured_stdout();
    }
    void directives(std::vector<std::pair<std::string, std::vector<double>>> list) {
        CameraDirectiveTable& t = app->bars.directive_table;
        for (auto& d : list) {
            t.texts.push_back(d.first);
            t.directive_labels.push_back("#CAMERA(" + d.first + ")");
            t.directive_values.insert(t.directive_values.end(), d.second.begin(), d.second.end());
            t.directive_ids.push_back(-1);
        }
        t.count = static_cast<int32_t>(list.size());
        app->bars.camera_directive_count = t.count;
    }
};

int32_t right_edge(const Element& e) { return e.x + e.width; }

TEST_F(FloatingBars, StripsTileTheirWidths) {
    build();
    AppContext& a = *app;
    EXPECT_EQ(a.parallel_strip.width, 352);
    const int32_t flag_x[5] = {112, 160, 207, 247, 297};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(a.parallel_flag_buttons[i].x, flag_x[i]) << i;
        if (i < 4) {
            EXPECT_EQ(right_edge(a.parallel_flag_buttons[i]), flag_x[i + 1]) << i;
        }
    }
    EXPECT_EQ(right_edge(a.parallel_flag_buttons[4]), 352);
    EXPECT_EQ(a.max_cores_field.text, "4");

    // Keys tile 64 .. 233; the 232-wide strip clips key 6's last pixel.
    EXPECT_EQ(a.llmi_strip.width, 232);
    EXPECT_EQ(a.pick_key_buttons[0].x, 64);
    for (int i = 0; i + 1 < 7; ++i) EXPECT_EQ(right_edge(a.pick_key_buttons[i]), a.pick_key_buttons[i + 1].x + 1) << i;
    EXPECT_EQ(right_edge(a.pick_key_buttons[6]), 233);
    EXPECT_EQ(a.pick_key_buttons[6].text, "?");

    // The directive controls: 29 grey glyphs first, then the eight buttons.
    const std::vector<Element*>& controls = a.camera_directive_controls.children;
    ASSERT_EQ(controls.size(), 29u + 8u + 3u);
    EXPECT_EQ(controls[0]->x * 1000 + controls[0]->y, 12 * 1000 + 11);
    EXPECT_EQ(controls[28]->x * 1000 + controls[28]->y, 99 * 1000 + 47);
    EXPECT_EQ(controls[28]->background_rgba, 0xFF808080u);
    EXPECT_EQ(controls[29], &a.camera_directive_buttons[0]);
    EXPECT_EQ(a.camera_directive_list.height, 17);
    EXPECT_TRUE(a.camera_directive_list.children.empty());
    EXPECT_FALSE(a.camera_directive_bar.visible);
}

TEST_F(FloatingBars, InitialSelectionFollowsTheState) {
    struct Case {
        char pick_key;
        int selected_key;  // -1 none
        uint8_t expanded;
    };
    for (const Case c : {Case{'!', 0, 0}, Case{'U', 6, 1}, Case{'E', 5, 0}, Case{'?', -1, 0}, Case{'x', -1, 0}}) {
        app = make_app_context();
        app->bars.llmi_pick_key = c.pick_key;
        app->bars.variant_bar_expanded = c.expanded;
        app->bars.parallel_ccpp = 1;
        build();
        for (int i = 0; i < 7; ++i) EXPECT_EQ(app->pick_key_buttons[i].selected, i == c.selected_key) << c.pick_key;
        EXPECT_EQ(app->variant_bar_header.background_palette != nullptr, c.expanded != 0);
        EXPECT_NE(app->variant_bar_footer.background_palette, nullptr);
        const bool flags[5] = {true, true, true, true, false};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(app->parallel_flag_buttons[i].selected, flags[i]) << i;
        // Directive buttons: root mode and animation on, the grid layout off.
        const bool toggles[8] = {false, false, false, false, true, false, true, false};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(app->camera_directive_buttons[i].selected, toggles[i]) << i;
    }
}

TEST_F(FloatingBars, DirectiveRowsAndCaptionsInAnyLocale) {
    DecimalCommaLocale comma;
    ASSERT_TRUE(comma.active());
    directives({{"cam", {-1, 1, 3, 0, 0, 0}}, {"top", {0.5, 2, -0.25, 1e-3, 0, 1}}, {"low", {0, 0, 0, 0, 0, 0}}});
    build();
    AppContext& a = *app;
    ASSERT_EQ(a.camera_directive_rows.size(), 3u);
    EXPECT_EQ(a.camera_directive_list.height, 302);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(a.camera_directive_rows[static_cast<size_t>(i)].y, 8 + 95 * i);
    EXPECT_STREQ(a.camera_directive_rows[0].tooltip_title, "cam \t { -1,1,3, 0,0,0 }");
    EXPECT_STREQ(a.camera_directive_rows[1].tooltip_title, "top \t { 0.5,2,-0.25, 0.001,0,1 }");
    EXPECT_STREQ(a.camera_directive_rows[0].tooltip_text, "(select to apply camera directive)");
    EXPECT_TRUE(a.camera_directive_bar.visible);
}

TEST_F(FloatingBars, VisibilityFollowsTheWidgetSwitches) {
    app->bars.parallel_flags_expanded = 1;
    app->bars.ll_inspector_expanded = 1;
    app->bars.variant_count = 2;
    app->bars.animation_count = 1;
    app->bars.show_ll_inspector = 0;
    directives({{"cam", {0, 0, 1, 0, 0, 0}}});
    app->camera.camera_controller = CAMERA_OBJECT_ORBIT;
    build();
    AppContext& a = *app;
    EXPECT_TRUE(a.parallel_flags_bar.visible && a.parallel_flags_button.visible);
    EXPECT_FALSE(a.ll_inspector_bar.visible || a.ll_inspector_button.visible);
    EXPECT_TRUE(a.variant_bar.visible && a.animator_bar.visible);
    EXPECT_EQ(a.variant_bar.layer, -1);
    EXPECT_FALSE(a.camera_directive_bar.visible);  // not free-roam
}

TEST_F(FloatingBars, BoundActionsReachTheContext) {
    build();
    AppContext& a = *app;
    app_instance = &a;
    a.parallel_flag_buttons[3].click_handler();
    EXPECT_EQ(a.bars.parallel_ccpp, 1);
    EXPECT_TRUE(a.parallel_flag_buttons[3].selected);
    a.camera_directive_buttons[7].click_handler();  // goto shows the fields
    EXPECT_TRUE(a.goto_eye_field.visible && a.goto_target_field.visible);
    a.variant_bar_footer.click_handler();
    EXPECT_NE(a.variant_bar_header.background_palette, nullptr);
    a.ll_inspector_button.click_handler();
    EXPECT_TRUE(a.ll_inspector_bar.visible);
    capture_stdout();
    a.pick_key_buttons[6].click_handler();  // "?" picks the user-defined mode
    captured_stdout();
    EXPECT_EQ(a.bars.llmi_pick_key, 'U');
    EXPECT_TRUE(a.pick_key_buttons[6].selected && !a.pick_key_buttons[0].selected);
    EXPECT_TRUE(a.variant_bar.mouse_down_handler(1, 1, 1) && a.variant_bar.scroll_handler(1, 1, 1));
    app_instance = nullptr;
}

// The variant rows are rebuilt per entity set; each takes the list's bound
// action, so clicking one applies its variant to the entity's parameters.
TEST_F(FloatingBars, AVariantRowClickAppliesItsVariant) {
    build();
    AppContext& a = *app;
    app_instance = &a;
    EntitySet& set = *a.entities.current_entities;
    EntityRecord e = entity_construct();
    e.parse_record.path = "/s/a.vrek";
    e.parse_record.sections[SECTION_DIRECTIVES] = "#PSET(fast){a=7}";
    give_parameters(e, {int_parameter("a", 1, true)});
    set.records.push_back(e);
    set.count = 1;
    index_entities_with_parameters(set);
    build_variant_rows(a);
    ASSERT_EQ(a.variant_rows.size(), 1u);
    ASSERT_NE(a.variant_rows[0].click_handler, nullptr);
    hover_element = &a.variant_rows[0];
    a.variant_rows[0].click_handler();
    EXPECT_EQ(listed_parameters(set.records[0])[0]->current.int_value, 7);
    EXPECT_EQ(a.bars.applied_variant_index, 0);
    hover_element = nullptr;
    app_instance = nullptr;
}

}  // namespace

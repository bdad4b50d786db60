#include <string>
#include <vector>

#include "panes/bars/directive_bars.h"
#include "panes/bars/directive_lines.h"
#include "panes/pane_test_support.h"
#include "support/decimal_comma_locale.h"

using Lines = std::vector<std::string>;

TEST(DirectiveLines, FamiliesArePickedByCaseInsensitivePrefixOnly) {
    struct Case {
        std::string text;
        Lines cameras, variants;
        int animations;
    };
    const std::vector<Case> cases = {
        {"", {}, {}, 0},
        {"#cam(a){1}\n\n#CAMERA(b)\r\n #CAM(c)\n\t#VIEW", {"#cam(a){1}", "#CAMERA(b)\r"}, {}, 0},
        {"#View{1}\n#pset(x){a=1}\n#PARAMETERS\n#Variant\n#animate\n#ANIM", {"#View{1}"},
         {"#pset(x){a=1}", "#PARAMETERS", "#Variant"}, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(collect_camera_directive_lines(c.text), c.cameras) << c.text;
        EXPECT_EQ(collect_variant_directive_lines(c.text), c.variants) << c.text;
        EXPECT_EQ(count_animation_directive_lines(c.text), c.animations) << c.text;
    }
}

TEST(DirectiveLines, CameraValuesReadUpToTheFirstMismatch) {
    struct Case {
        std::string line;
        std::vector<double> values;
    };
    const std::vector<Case> cases = {
        {"#CAM(top){0, 10, 0, 0, 0, 0}", {0, 10, 0, 0, 0, 0}},
        {"#VIEW{1,2,3}", {1, 2, 3, 0, 0, 0}},
        {"#CAM(x)", {0, 0, 0, 0, 0, 0}},
        {"#CAM(x){1.5,+2,x,4,5,6}", {1.5, 2, 0, 0, 0, 0}},
        {"#CAM}(x){-1e-07,2", {-1e-07, 2, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        double v[6];
        read_camera_directive_values(c.line, v);
        EXPECT_EQ(std::vector<double>(v, v + 6), c.values) << c.line;
    }
}

TEST(DirectiveLines, VariantPiecesAndParity) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(read_variant_pieces("#PSET(fast){a=1, b=2}"), (Lines{"a", "1", "b", "2"}));
    EXPECT_EQ(read_variant_pieces("#PSET{a : 1 ;; b|2}"), (Lines{"a", "1", "b", "2"}));
    EXPECT_EQ(read_variant_pieces("#PSET(x){}"), Lines{});
    EXPECT_EQ(read_variant_pieces("#PSET(x)"), Lines{});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(read_variant_pieces("#PSET(x){a=1,b}"), Lines{});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "PARITY-ISSUE-IN-PARAMETRIC-VARIANT! [3];\n");
}

using DirectiveBars = PaneFixture;

TEST_F(DirectiveBars, CameraButtonsCarryTipsAndFollowTheirEntities) {
    DecimalCommaLocale locale;
    ASSERT_TRUE(locale.active());
    add_entity("/s/a.vrek", "#CAM(top){0, 10, 0, 0, 0, 0}\n#view{1.5,2,3}");
    EntityRecord& second = add_entity("/s/b.vrek", "#CAM(side){0.1234567,0,0,1e-07,0,0}");
    const int32_t second_serial = second.serial_id;
    build_camera_directive_rows(*app);

    const BarState& bars = app->bars;
    ASSERT_EQ(bars.camera_directive_count, 3);
    ASSERT_EQ(app->camera_directive_rows.size(), 3u);
    EXPECT_EQ(bars.directive_table.texts, (Lines{"top", "?", "side"}));
    EXPECT_EQ(bars.directive_table.directive_values[6], 1.5);
    EXPECT_STREQ(app->camera_directive_rows[0].tooltip_title, "top \t { 0,10,0, 0,0,0 }");
    EXPECT_STREQ(app->camera_directive_rows[2].tooltip_title, "side \t { 0.123457,0,0, 1e-07,0,0 }");

    // Directives name their entity by serial id: closing the first entity
    // leaves the third directive on the same entity.
    remove_first_entity();
    EXPECT_EQ(find_entity_by_serial(&set(), bars.directive_table.directive_ids[2]), &entity(0));
    EXPECT_EQ(find_entity_by_serial(&set(), bars.directive_table.directive_ids[0]), nullptr);
    EXPECT_EQ(bars.directive_table.directive_ids[2], second_serial);
}

TEST_F(DirectiveBars, BarVisibilityFollowsCountsControllerAndHiding) {
    struct Case {
        std::string directives;
        int controller;
        uint8_t ui_hidden, hidden_widgets, widget;
        bool pane, handle, variant_bar, animator;
    };
    const std::string all = "#CAM(a){1,2,3,4,5,6}\n#PSET(v){a=1}\n#ANIM(t)";
    const std::vector<Case> cases = {
        {"", 1, 0, 1, 1, false, false, false, false},
        {all, 1, 0, 0, 1, true, true, true, true},
        {all, 0, 0, 1, 1, false, false, true, true},
        {all, 2, 0, 1, 1, false, false, true, true},
        {all, 1, 1, 0, 1, false, false, false, false},
        {all, 1, 1, 1, 1, true, true, true, true},
        {all, 1, 0, 1, 0, false, true, false, false},
    };
    for (const Case& c : cases) {
        set().records.clear();
        set().count = 0;
        add_entity("/s/a.vrek", c.directives);
        app->camera.camera_controller = c.controller;
        app->ui_flags.ui_hidden = c.ui_hidden;
        app->bars.hidden_ui_controls = c.hidden_widgets;
        app->bars.show_camera_directives = c.widget;
        app->bars.show_variant_selector = c.widget;
        app->bars.show_animator = c.widget;
        build_camera_directive_rows(*app);
        build_variant_rows(*app);
        count_animation_directives(*app);
        SCOPED_TRACE(c.directives + " controller " + std::to_string(c.controller));
        EXPECT_EQ(app->camera_directive_bar.visible, c.pane);
        EXPECT_EQ(app->camera_directive_toggle.visible, c.handle);
        EXPECT_EQ(app->variant_bar.visible, c.variant_bar);
        EXPECT_EQ(app->animator_bar.visible, c.animator);
    }
    EXPECT_EQ(app->bars.animation_count, 1);
}

TEST_F(DirectiveBars, VariantRowsAndRebuildUnderThePointer) {
    add_entity("/s/a.vrek", "#PSET(fast){a=1, b=2}\n#variant{}\n#PARAM(odd){a=1,b}");
    capture_stdout();
    build_variant_rows(*app);
    EXPECT_EQ(captured_stdout(), "PARITY-ISSUE-IN-PARAMETRIC-VARIANT! [3];\n");
    const auto& rows = app->variant_rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_STREQ(rows[0].tooltip_title, "fast \t { a:1, b:2 }");
    EXPECT_STREQ(rows[1].tooltip_title, "? \t {  }");
    EXPECT_STREQ(rows[2].tooltip_title, "odd \t {  }");
    EXPECT_EQ(app->bars.variant_tables.entity_ids[0], entity(0).serial_id);

    // A rebuild under the pointer and the tool-tip leaves nothing dangling.
    hover_element = &app->variant_rows[1];
    tooltip_element = &app->variant_rows[1];
    set().records.clear();
    set().count = 0;
    build_variant_rows(*app);
    EXPECT_EQ(hover_element, nullptr);
    EXPECT_EQ(tooltip_element, nullptr);
    EXPECT_TRUE(app->variant_rows.empty());
    EXPECT_FALSE(app->variant_bar.visible);
    EXPECT_FALSE(app->hidden_ui_variant_panel.visible);
}

#include <vector>

#include "app/interface_builder.h"
#include "panes/popups/algorithm_selection.h"
#include "panes/environments/export_actions.h"
#include "panes/popups/export_dialog.h"
#include "panes/popups/popups.h"
#include "support/app_fixture.h"

namespace {

struct BuiltPanes : AppFixture {
    void SetUp() override {
        capture_stdout();
        build_user_interface(*app);
        captured_stdout();
    }
};

struct Rect {
    int32_t x, y, w, h;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
Rect rect_of(const Element& e) { return {e.x, e.y, e.width, e.height}; }

TEST_F(BuiltPanes, RunAndConfirmationPanesFollowTheMetrics) {
    AppContext& a = *app;
    for (int32_t k = 0; k < 3; ++k) {
        EXPECT_TRUE(rect_of(a.algorithm_buttons[k]) == (Rect{16, 16 + 80 * k, 128, 64})) << k;
        EXPECT_TRUE(rect_of(a.algorithm_key_hints[k]) == rect_of(a.algorithm_buttons[k])) << k;
        EXPECT_EQ(a.algorithm_key_hints[k].click_handler, nullptr);
        EXPECT_EQ(a.algorithm_buttons[k].selected, k == 2);
    }
    // Only Optimal-CSG's four lines show; its fourth is empty.
    for (int32_t j = 0; j < 12; ++j) EXPECT_EQ(a.description_labels[j].visible, j % 3 == 2) << j;
    EXPECT_EQ(a.description_labels[11].text, "");
    EXPECT_NE(a.description_labels[10].text, "");  // Basic-CSG has a fourth line
    EXPECT_EQ(a.algorithm_mode_label.text, "Optimal-CSG Mesh");
    EXPECT_EQ(a.algorithm_mode_label.x, 16 + a.mode_caption_label.text_width);
    EXPECT_TRUE(a.culling_toggle.selected);
    EXPECT_FALSE(a.profiler_toggle.selected);

    const int32_t widths[3] = {112, 112, 128};
    for (int32_t k = 0; k < 3; ++k)
        EXPECT_TRUE(rect_of(a.confirm_choice_buttons[k]) == (Rect{112 * k, 0, widths[k], 56})) << k;
    EXPECT_EQ(a.confirm_cancel_button.text, "Cancel\n");
    EXPECT_EQ(a.confirm_key_labels[1].text, "\nENTER");
    EXPECT_EQ(a.CONFIRMPANE.bottom, &a.confirm_algorithm_bar);
    EXPECT_FALSE(a.confirm_algorithm_bar.visible);
    EXPECT_EQ(a.popup_frames[FRAME_CONFIRM].icon_holder.children, std::vector<Element*>{&a.confirm_icon_element});
}

TEST_F(BuiltPanes, ExportPaneGridRowsAndBindings) {
    AppContext& a = *app;
    const int32_t xs[3] = {8, 80, 152}, ys[2] = {120, 188}, ws[3] = {73, 73, 72};
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_TRUE(rect_of(a.export_option_buttons[i]) == (Rect{xs[i % 3], ys[i / 3], ws[i % 3], 60})) << i;
        EXPECT_TRUE(rect_of(a.export_option_labels[i]) == rect_of(a.export_option_buttons[i])) << i;
        EXPECT_EQ(a.export_option_buttons[i].selected, i != 2 && i != 5) << i;
    }
    for (int32_t f = 0; f < 4; ++f) {
        EXPECT_TRUE(rect_of(a.export_format_buttons[f]) == (Rect{232, 120 + 32 * f, 272, f < 3 ? 33 : 32})) << f;
        EXPECT_TRUE(rect_of(a.export_format_checks[f]) == (Rect{248, 8, 16, 16})) << f;
    }
    EXPECT_EQ(a.export_name_field.text, "environment");
    EXPECT_EQ(a.export_name_field.hint, &a.export_name_hint);
    EXPECT_TRUE(rect_of(a.export_name_hint) == rect_of(a.export_name_field));
    EXPECT_DOUBLE_EQ(a.export_name_hint.depth_offset, -0.01);
    // Built before any path was given: no location, so its hint shows.
    EXPECT_TRUE(a.export_location_hint.visible);
    EXPECT_EQ(a.export_size_label.text, "Estimated Size-on-Disk: 0.000 MB");
    EXPECT_EQ(a.export_button.text, "!");

    const std::vector<std::pair<Element*, ClickCallback>> bound = {
        {&a.export_option_buttons[0], on_toggle_export_normals}, {&a.export_option_buttons[5], on_toggle_export_timestamp},
        {&a.export_format_buttons[0], on_toggle_export_obj},     {&a.export_format_buttons[3], on_toggle_export_stl},
        {&a.export_button, on_click_export},                     {&a.EXPORT, on_click_export_tool},
        {&a.assemble_button, on_click_assemble},                 {&a.confirm_ok_button, on_click_confirm_ok},
        {&a.confirm_choice_buttons[2], on_click_confirm_optimal_csg}};
    for (const auto& b : bound) EXPECT_EQ(b.first->click_handler, b.second) << b.first->text;
}

}  // namespace

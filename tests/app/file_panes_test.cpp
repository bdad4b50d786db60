// The open, load, browser and configuration panes as the builder leaves
// them, and the configuration texts the path setters write.
#include "app/interface_builder.h"
#include "panes/browser/browser_navigation.h"
#include "panes/browser/browser_sort.h"
#include "panes/browser/path_configuration.h"
#include "support/app_fixture.h"
#include "support/test_dir.h"

namespace {

struct FilePanes : AppFixture {
    void build() {
        capture_stdout();
        build_user_interface(*app);
        captured_stdout();
    }
    FilePaneWidgets& f() { return app->file_panes; }
    std::vector<std::string> configuration_texts() {
        return {f().kernel_box_labels[2].text, f().kernel_state_label.text, f().workspace_box_labels[2].text,
                f().workspace_state_label.text, f().continue_button.text};
    }
    // The texts with each path the box cut at its start ("..." and the
    // path's end, so the checkout's depth decides whether it is cut) put
    // back as the expected path it is the end of.
    std::vector<std::string> configuration_texts(const std::vector<std::string>& expected) {
        std::vector<std::string> shown = configuration_texts();
        for (size_t i : {0u, 2u}) {
            const std::string& s = shown[i];
            const std::string& path = expected[i];
            const size_t tail = s.size() - 3;
            if (s.size() > 3 && s.compare(0, 3, "...") == 0 && path.size() > tail &&
                path.compare(path.size() - tail, tail, s, 3, tail) == 0)
                shown[i] = path;
        }
        return shown;
    }
};

struct Rect {
    int32_t x, y, w, h;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
Rect rect_of(const Element& e) { return {e.x, e.y, e.width, e.height}; }
std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << r.x << "," << r.y << " " << r.w << "x" << r.h;
}

TEST_F(FilePanes, FramesHangTogetherWithTheirGeometryAndHandlers) {
    build();
    AppContext& a = *app;
    // Tool row: the buttons in push order, the 32-pixel ones in x order.
    const std::vector<Element*>& tools = f().tool_row.children;
    ASSERT_EQ(tools.size(), 10u);
    EXPECT_EQ(tools[2], &a.browser_home_button);
    EXPECT_EQ(tools[8], &a.browser_location_label);
    EXPECT_EQ(tools[9], &a.browser_path_frame);
    EXPECT_EQ(rect_of(a.browser_home_button), (Rect{12, 12, 64, 64}));
    EXPECT_EQ(rect_of(a.browser_mark), (Rect{44, 44, 32, 32}));
    EXPECT_EQ(a.browser_refresh_button.x, 92);
    EXPECT_EQ(a.browser_clear_button.x, 124);
    EXPECT_EQ(a.browser_select_all_button.x, 156);
    EXPECT_EQ(a.browser_location_label.margin_left, 192);
    EXPECT_EQ(a.browser_location_label.margin_bottom, 48);
    EXPECT_EQ(a.browser_path_frame.margin_top, 40);
    // The browser's path bar and rows are in the tree.
    ASSERT_EQ(a.browser_path_view.children.size(), 1u);
    EXPECT_EQ(a.browser_path_view.children[0], &a.browser_path_pieces);
    ASSERT_EQ(f().list_area.children.size(), 1u);
    EXPECT_EQ(f().list_area.children[0], &a.browser_list_content);

    const ClickCallback heads[4] = {on_browser_sort_by_type, on_browser_sort_by_name, on_browser_sort_by_size,
                                    on_browser_sort_by_date};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(a.browser_head_row.children[i]->click_handler, heads[i]) << i;
    EXPECT_EQ(a.browser_confirm_label.text, "Open");
    EXPECT_NE(a.browser_confirm_label.click_handler, nullptr);

    // Configuration: the kernel box one pixel taller, overlapping at y 120.
    EXPECT_EQ(rect_of(f().kernel_box), (Rect{16, 16, 480, 105}));
    EXPECT_EQ(rect_of(f().workspace_box), (Rect{16, 120, 480, 104}));
    EXPECT_EQ(rect_of(f().kernel_state_box), (Rect{8, 8, 189, 48}));
    EXPECT_EQ(rect_of(f().workspace_state_box), (Rect{196, 8, 188, 48}));
    EXPECT_EQ(rect_of(f().continue_button), (Rect{392, 8, 112, 48}));
    EXPECT_EQ(f().kernel_box.click_handler, on_kernel_browser_button);
    EXPECT_EQ(f().workspace_box.click_handler, on_workspace_browser_button);
    ASSERT_EQ(a.configuration_mask.children.size(), 1u);
    EXPECT_EQ(a.configuration_mask.children[0], &a.configuration_pane);
    EXPECT_EQ(a.configuration_mask.depth_offset, 8.0);

    // The open and load panes hold their icons where the layouts look.
    EXPECT_EQ(a.open_body.children.size(), 3u);
    EXPECT_EQ(a.load_body.children.size(), 1u);
    EXPECT_EQ(f().load_logo.icon_scale_x, 2.0);
}

TEST_F(FilePanes, ConfigurationTextsFollowThePathsAtStartAndWhenSet) {
    using Texts = std::vector<std::string>;
    // Started without paths.
    build();
    const Texts unset{"???", "UNDEFINED", "???", "UNDEFINED", "!"};
    EXPECT_EQ(configuration_texts(unset), unset);

    // A kernel that is set but invalid shows itself and its state; an empty
    // one goes back to "???". "OK" only with both paths valid.
    TestDir dir("vk_config");
    ASSERT_FALSE(dir.path().empty());
    apply_kernel_path_setting(*app, dir.path() + "/missing-vrek");
    const Texts missing{dir.path() + "/missing-vrek", kernel_path_status, "???", "UNDEFINED", "!"};
    EXPECT_EQ(configuration_texts(missing), missing);
    EXPECT_EQ(app->path_copies.kernel_path_text, dir.path() + "/missing-vrek");
    const std::string kernel = std::string(getenv("VK_BINARY_DIR") ? getenv("VK_BINARY_DIR") : ".") + "/kernel/vrek";
    apply_kernel_path_setting(*app, kernel);
    apply_entity_workspace_setting(*app, dir.path() + "/");
    const Texts both{kernel, "VALID", dir.path() + "/", "VALID", "OK"};
    EXPECT_EQ(configuration_texts(both), both);
    apply_kernel_path_setting(*app, "");
    const Texts workspace_only{"???", kernel_path_status, dir.path() + "/", "VALID", "!"};
    EXPECT_EQ(configuration_texts(workspace_only), workspace_only);

    // Both valid before the build: the copies are shown and the button says OK.
    app.reset();
    reset_paths_for_tests();
    ASSERT_TRUE(set_kernel_path(kernel));
    ASSERT_TRUE(set_workspace_path(dir.path() + "/"));
    app = make_app_context();
    build();
    EXPECT_EQ(configuration_texts(both), both);
}

}  // namespace

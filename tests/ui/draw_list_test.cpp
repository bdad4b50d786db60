#include "ui/draw_list.h"
#include "ui_test_support.h"

namespace {

using DrawListTest = UiTest;

Ints abs_of(const Element& e) { return {e.abs_x, e.abs_y, e.abs_width, e.abs_height}; }
Ints clip_of(const Element& e) { return {e.clip_x, e.clip_y, e.clip_width, e.clip_height}; }

// Root 200 x 100 at (5, 5) holding a panel (20, 10, 100, 50) whose clip is
// the probes' reference: cl = 25, cr = 125, ct = 15, cb = 65.
struct Tree {
    RootContainer root;
    Container panel, hidden, outside;
    Element a, b, edge, zero_at_right, negative, huge, in_hidden, in_outside;
    Tree() {
        set_rect(root, 5, 5, 200, 100), set_rect(panel, 20, 10, 100, 50);
        root.children = {&panel};
        set_rect(a, 10, 10, 20, 20), set_rect(b, 30, 10, 20, 20);
        set_rect(edge, -20, 0, 20, 10);          // r = cl
        set_rect(zero_at_right, 100, 0, 0, 10);  // l = r = cr
        set_rect(negative, 10, 10, -1, 10);
        set_rect(huge, -10, -10, 300, 300);
        set_rect(hidden, 0, 0, 50, 50), hidden.visible = false, hidden.children = {&in_hidden};
        set_rect(outside, 100, 0, 10, 10), outside.children = {&in_outside};  // l = cr
        panel.children = {&outside, &a, &hidden, &edge, &b, &zero_at_right, &negative, &huge};
        panel.opacity = a.opacity = 0.5, panel.layer = 1, a.layer = 1;
        panel.depth_offset = 0.5;
        in_hidden.abs_x = in_outside.abs_x = 777, hidden.abs_x = 777;
    }
};

TEST_F(DrawListTest, WalkStampsEveryVisibleChildAndListsThoseReachingTheParentClip) {
    Tree t;
    const DrawList got = collect_draw_list(t.root, true);
    // Root, panel, then the panel's listed children in child order (the
    // zero-width one at the right clip edge and the huge one included), then
    // nothing from the hidden or the outside container.
    EXPECT_EQ(got, (DrawList{&t.root, &t.panel, &t.a, &t.b, &t.zero_at_right, &t.huge}));
    EXPECT_EQ(t.root.draw_list, got);
    EXPECT_TRUE(abs_of(t.root) == (Ints{5, 5, 200, 100}) && clip_of(t.root) == abs_of(t.root));
    EXPECT_EQ(clip_of(t.huge), (Ints{25, 15, 100, 50}));
    // Unlisted but visible: values fresh; its subtree and hidden ones untouched.
    EXPECT_EQ(abs_of(t.outside), (Ints{125, 15, 10, 10}));
    EXPECT_EQ(clip_of(t.outside), (Ints{125, 15, 0, 10}));
    EXPECT_EQ((Ints{t.hidden.abs_x, t.in_hidden.abs_x, t.in_outside.abs_x}), (Ints{777, 777, 777}));
    // Accumulation: depth 0.01 per level plus offsets, opacity product, layers.
    EXPECT_DOUBLE_EQ(t.a.depth, 0.02 + 0.5);
    EXPECT_DOUBLE_EQ(t.a.abs_opacity, 0.25);
    EXPECT_EQ((Ints{t.root.abs_layer, t.panel.abs_layer, t.a.abs_layer, t.b.abs_layer}), (Ints{0, 1, 2, 1}));
    // A nested container's children follow all of its siblings.
    t.a.visible = false, t.b.visible = false;
    Container box;
    Element inner;
    set_rect(box, 0, 0, 10, 10), set_rect(inner, 1, 1, 2, 2), box.children = {&inner};
    t.root.children = {&box, &t.panel};
    EXPECT_EQ(collect_draw_list(t.root, true),
              (DrawList{&t.root, &box, &t.panel, &inner, &t.zero_at_right, &t.huge}));
    EXPECT_EQ(collect_draw_list(t.panel, false), (DrawList{&t.zero_at_right, &t.huge}));
}

TEST_F(DrawListTest, RefreshCallbacksGoToListedElementsOnly) {
    Tree t;
    static int redraws = 0;
    draw_child_widgets(t.root, [] { ++redraws; });
    t.root.refresh();  // root, panel and its listed children; unlisted ones stay silent
    EXPECT_EQ(redraws, 6);
    EXPECT_EQ(t.outside.refresh_handler, nullptr);
}

TEST_F(DrawListTest, LayerFilterKeepsOrderByAccumulatedLayerAndQuadIndices) {
    Element e[4];
    e[0].abs_layer = 1, e[1].abs_layer = 0, e[2].abs_layer = 1, e[3].layer = 1;  // layer alone does not count
    const DrawList list{&e[0], &e[1], &e[2], &e[3]};
    EXPECT_EQ(collect_elements_with_key(list, 1), (DrawList{&e[0], &e[2]}));
    EXPECT_TRUE(collect_elements_with_key({}, 0).empty() && collect_elements_with_key(list, 4).empty());
    EXPECT_TRUE(build_quad_index_list(0).empty() && build_quad_index_list(-3).empty());
    EXPECT_EQ(build_quad_index_list(3),
              (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7, 8, 9, 10, 8, 10, 11}));
}

}  // namespace

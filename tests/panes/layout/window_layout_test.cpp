#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "panes/layout/display_rects.h"
#include "panes/layout/window_layout.h"

namespace {

struct Box {
    int64_t x, y, w, h;
    bool empty() const { return w <= 0 || h <= 0; }
};
Box box(const Element& e) { return {e.x, e.y, e.width, e.height}; }

bool overlap(const Box& a, const Box& b) {
    if (a.empty() || b.empty()) return false;
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}
bool inside(const Box& a, const Box& outer) {
    return a.empty() || (a.x >= outer.x && a.y >= outer.y && a.x + a.w <= outer.x + outer.w &&
                         a.y + a.h <= outer.y + outer.h);
}
std::string show(const Box& b) {
    return "(" + std::to_string(b.x) + "," + std::to_string(b.y) + "," + std::to_string(b.w) + "," +
           std::to_string(b.h) + ")";
}

// Every top-level element, with the sizes the interface builder gives the
// ones the root layout only moves.
struct TestWindow {
    Element border, viewport_surface, configuration_mask, configuration_pane, busy_mask, busy_indicator,
        small_window_notice, small_window_icon, mask_pane, overlay, hide_logo, lock_icon, no_render, frame_marker;
    Element toolbar, tipbar, control_pane, content_pane, menubar, menu_pane, hintbar, colourbar, sliderbar,
        statusbar, tabbar;
    BorderLayout camera_directive_bar;
    Element camera_directive_toggle, variant_bar, variant_bar_header, variant_bar_body, hidden_ui_variant_panel, animator_bar,
        controls_toggle, parallel_flags_button, parallel_flags_bar, ll_inspector_button, ll_inspector_bar,
        strip_backdrop, strip_backdrop_guard, frame_rate_label, environment_preview, environment_preview_frame,
        statistics_label, statistics_shadow_label, minimal_bar, minimal_tool_row, minimal_list_row, minimal_title_row;

    TestWindow() {
        parallel_flags_button.width = ll_inspector_button.width = 24;
        strip_backdrop.height = 32;
    }

    WindowElements elements() {
        return {&border, &viewport_surface, &configuration_mask, &configuration_pane, &busy_mask, &busy_indicator,
                &small_window_notice, &small_window_icon, &mask_pane, &overlay, &hide_logo, &lock_icon, &no_render,
                &frame_marker, &toolbar, &tipbar, &control_pane, &content_pane, &menubar, &menu_pane, &hintbar,
                &colourbar, &sliderbar, &statusbar, &tabbar, &camera_directive_bar, &camera_directive_toggle,
                &variant_bar, &variant_bar_header, &variant_bar_body, &hidden_ui_variant_panel, &animator_bar,
                &controls_toggle, &parallel_flags_button, &parallel_flags_bar, &ll_inspector_button,
                &ll_inspector_bar, &strip_backdrop, &strip_backdrop_guard, &frame_rate_label, &environment_preview,
                &environment_preview_frame, &statistics_label, &statistics_shadow_label, &minimal_bar, &minimal_tool_row,
                &minimal_list_row, &minimal_title_row};
    }
};

WindowFlags random_flags(std::mt19937& rng) {
    auto coin = [&] { return (rng() & 1u) != 0; };
    WindowFlags f;
    f.side_pane_open = coin();
    f.settings_menu_shown = coin();
    f.open_settings_menu = coin() ? -1 : static_cast<int32_t>(rng() % 10);
    f.slider_bar_shown = coin();
    f.camera_locked = coin();
    f.v_flip_mode = coin();
    f.frame_mode = coin();
    f.ui_hidden = coin();
    f.minimal_layout = rng() % 5 == 0;
    f.colour_mode = coin() ? 3 : static_cast<int32_t>(rng() % 3);
    f.camera_controller = coin() ? 1 : static_cast<int32_t>(rng() % 3);
    f.show_camera_directives = coin();
    f.camera_directive_count = coin() ? 0 : 3;
    f.camera_directive_goto = coin();
    f.show_variant_selector = coin();
    f.variant_count = coin() ? 0 : 2;
    f.variant_bar_expanded = coin();
    f.show_animator = coin();
    f.animation_count = coin() ? 0 : 1;
    f.show_parallel_flags = coin();
    f.show_ll_inspector = coin();
    f.hidden_ui_controls = coin();
    // At most one strip open, and only with its button.
    const uint32_t strip = rng() % 3;
    f.parallel_flags_expanded = strip == 1 && f.show_parallel_flags;
    f.ll_inspector_expanded = strip == 2 && f.show_ll_inspector;
    return f;
}

// What the visibility code shows for these flags (independent of the layout).
struct Shown {
    bool tool_rows, control_pane, menubar, menu_pane, colourbar, sliderbar, hintbar, directive, backdrop;
};
Shown shown_for(const WindowFlags& f) {
    Shown s{};
    const bool visible_ui = !f.ui_hidden;
    s.tool_rows = visible_ui && !f.minimal_layout;
    s.control_pane = visible_ui && f.side_pane_open;
    s.menubar = s.tool_rows && f.settings_menu_shown;
    s.menu_pane = s.menubar && f.open_settings_menu >= 0;
    s.colourbar = s.tool_rows && f.colour_mode == 3;
    s.sliderbar = s.tool_rows && f.slider_bar_shown;
    s.hintbar = visible_ui;
    const bool widgets = !f.ui_hidden || f.hidden_ui_controls;
    s.directive = widgets && camera_directive_pane_wanted(f);
    s.backdrop = f.ui_hidden && f.hidden_ui_controls && !f.minimal_layout &&
                 (f.show_parallel_flags || f.show_ll_inspector ||
                  (f.show_animator && f.animation_count > 0));
    return s;
}

WindowFlags mirrored(WindowFlags f) {
    f.v_flip_mode = !f.v_flip_mode;
    return f;
}

Box reflect(const Box& b, int64_t H) { return {b.x, H - b.y - b.h, b.w, b.h}; }

// The region left to the 3D view: the content area less the bars over it.
Box uncovered_content(const TestWindow& w, const WindowFlags& f, const Shown& s, const WindowMetrics& m) {
    Box c = box(w.content_pane);
    auto take_top = [&](int64_t n) { c.y += n, c.h -= n; };
    auto take_bottom = [&](int64_t n) { c.h -= n; };
    if (s.colourbar) f.v_flip_mode ? take_bottom(m.bar_height) : take_top(m.bar_height);
    if (s.sliderbar) f.v_flip_mode ? take_top(m.bar_height) : take_bottom(m.bar_height);
    if (s.backdrop) f.v_flip_mode ? take_top(m.row_height) : take_bottom(m.row_height);
    if (s.directive) c.w -= 2 * m.menu_half_width;
    return c;
}

DisplayInputs display_inputs(const WindowFlags& f, const Shown& s, bool collapsed) {
    DisplayInputs in;
    in.frame_mode = f.frame_mode;
    in.ui_hidden = f.ui_hidden;
    in.minimal_layout = f.minimal_layout;
    in.side_pane_open = f.side_pane_open;
    in.settings_menu_shown = f.settings_menu_shown;
    in.v_flip_mode = f.v_flip_mode;
    in.panes_collapsed = collapsed;
    in.directive_pane_visible = s.directive;
    in.strip_backdrop_visible = s.backdrop;
    in.colour_bar_visible = s.colourbar;
    in.slider_bar_visible = s.sliderbar;
    return in;
}

// Checks every invariant of one state; returns the first broken one.
std::string check_state(const WindowFlags& f, int32_t W, int32_t H, bool collapsed) {
    const WindowMetrics m;
    const int32_t T = m.menu_half_width, R = m.row_height;
    TestWindow w;
    layout_window(m, f, w.elements(), W, H);
    const Shown s = shown_for(f);
    const Box window{0, 0, W, H};

    if (f.minimal_layout) {
        if (overlap(box(w.minimal_bar), box(w.content_pane))) return "minimal bar over content";
        if (box(w.minimal_bar).w + box(w.content_pane).w != W || box(w.content_pane).h != H) return "minimal cover";
    } else if (f.ui_hidden) {
        if (!inside(window, box(w.content_pane)) || !inside(box(w.content_pane), window)) return "hidden content";
    } else {
        // The main regions tile the window.
        std::vector<std::pair<const char*, Box>> tiles = {
            {"TOOLBAR", box(w.toolbar)},     {"TIPBAR", box(w.tipbar)},       {"CONTENTPANE", box(w.content_pane)},
            {"STATUSBAR", box(w.statusbar)}, {"TABBAR", box(w.tabbar)}};
        if (s.control_pane) tiles.push_back({"CONTROLPANE", box(w.control_pane)});
        if (s.menubar) tiles.push_back({"MENUBAR", box(w.menubar)});
        int64_t area = 0;
        for (size_t i = 0; i < tiles.size(); ++i) {
            if (!inside(tiles[i].second, window)) return std::string(tiles[i].first) + " outside";
            area += tiles[i].second.w * tiles[i].second.h;
            for (size_t j = i + 1; j < tiles.size(); ++j) {
                if (overlap(tiles[i].second, tiles[j].second))
                    return std::string(tiles[i].first) + " over " + tiles[j].first;
            }
        }
        // An open settings column takes the tip bar's last 2T.
        if (s.menu_pane) area += int64_t{2} * T * R;
        if (area != int64_t{W} * H) return "tiles do not cover the window";

        // Mirroring reflects the bars.
        TestWindow v;
        layout_window(m, mirrored(f), v.elements(), W, H);
        const std::vector<std::pair<const Element*, const Element*>> pairs = {
            {&w.toolbar, &v.toolbar},       {&w.tipbar, &v.tipbar},       {&w.control_pane, &v.control_pane},
            {&w.content_pane, &v.content_pane}, {&w.menubar, &v.menubar}, {&w.statusbar, &v.statusbar},
            {&w.tabbar, &v.tabbar},         {&w.menu_pane, &v.menu_pane}, {&w.colourbar, &v.colourbar},
            {&w.sliderbar, &v.sliderbar}};
        for (const auto& [a, b] : pairs) {
            const Box r = reflect(box(*a), H);
            if (show(r) != show(box(*b))) return "mirror " + show(box(*a)) + " vs " + show(box(*b));
        }

        // Strips sit in the status row, left of the status text.
        const int64_t status_start =
            (f.show_parallel_flags ? m.bar_height + box(w.parallel_flags_bar).w : 0) +
            (f.show_ll_inspector ? m.bar_height + box(w.ll_inspector_bar).w : 0);
        for (const Element* strip : {&w.parallel_flags_bar, &w.ll_inspector_bar}) {
            const Box b = box(*strip);
            if (!inside(b, box(w.statusbar)) || b.x + b.w > status_start) return "strip outside status row";
        }
    }

    // Floating bars over the content area.
    const Box content = box(w.content_pane);
    std::vector<std::pair<const char*, Box>> floating;
    if (s.hintbar && !f.minimal_layout) floating.push_back({"HINTBAR", box(w.hintbar)});
    if (s.colourbar) floating.push_back({"COLOURBAR", box(w.colourbar)});
    if (s.sliderbar) floating.push_back({"SLIDERBAR", box(w.sliderbar)});
    if (s.directive) floating.push_back({"directive", box(w.camera_directive_bar)});
    for (size_t i = 0; i < floating.size(); ++i) {
        if (!inside(floating[i].second, content)) return std::string(floating[i].first) + " leaves the content";
        for (size_t j = i + 1; j < floating.size(); ++j) {
            if (overlap(floating[i].second, floating[j].second))
                return std::string(floating[i].first) + " over " + floating[j].first;
        }
    }
    if (s.menu_pane) {
        // The column hangs from the tip row into the content area.
        const Box column = box(w.menu_pane);
        const Box reach{content.x, std::min<int64_t>(content.y, f.v_flip_mode ? content.y : T), content.w,
                        content.h + R};
        if (!inside(column, reach)) return "settings column leaves the content";
        // Narrowed: mirrored, the column rises from the tip bar and meets the
        // hint bar below the slider bar in windows under T + 9R + 2M + 2S high.
        const bool short_mirror = f.v_flip_mode && H < T + 9 * R + 2 * m.ui_padding + 2 * m.bar_height;
        for (const auto& [name, b] : floating) {
            if (short_mirror && std::string(name) == "HINTBAR") continue;
            if (overlap(column, b)) return std::string("settings column over ") + name;
        }
    }
    if (!inside(box(w.lock_icon), content)) return "LOCKICON leaves the content " + show(box(w.lock_icon));
    if (!inside(box(w.controls_toggle), content)) return "quick-hide leaves the content";
    const bool variants = f.show_variant_selector && f.variant_count > 0;
    if (variants) {
        // Narrowed: an expanded bar (4T) may rise above a short content area,
        // and the bar (M + 3T) may pass the right edge of a narrow one; its
        // left edge and bottom stay inside.
        Box bar = box(w.variant_bar);
        if (f.variant_bar_expanded && bar.y < content.y) bar.h -= content.y - bar.y, bar.y = content.y;
        bar.w = std::min(bar.w, content.x + content.w - bar.x);
        if (!inside(bar, content)) return "variant bar leaves the content";
    }

    // The viewport less its insets is what the bars leave uncovered.
    const DisplayRects d = compute_display_rects(display_inputs(f, s, collapsed), W, H);
    const Box free_view{d.viewport.x + d.insets.left, d.viewport.y + d.insets.top,
                        int64_t{d.viewport.width} - d.insets.left - d.insets.right,
                        int64_t{d.viewport.height} - d.insets.top - d.insets.bottom};
    const Box expected = uncovered_content(w, f, s, m);
    if (show(free_view) != show(expected)) return "view " + show(free_view) + " vs " + show(expected);
    return "";
}

TEST(WindowLayout, RandomStatesKeepTheRegionsApart) {
    std::mt19937 rng(20261206u);
    for (int i = 0; i < 20000; ++i) {
        const WindowFlags f = random_flags(rng);
        const int32_t W = 480 + static_cast<int32_t>(rng() % (4096 - 480 + 1));
        const int32_t H = 360 + static_cast<int32_t>(rng() % (4096 - 360 + 1));
        const bool collapsed = (rng() & 1u) != 0;
        const std::string broken = check_state(f, W, H, collapsed);
        ASSERT_EQ(broken, "") << "state " << i << " at " << W << " x " << H;
    }
}

using Ints = std::vector<int32_t>;
Ints rect(const DisplayRect& r) { return {r.x, r.y, r.width, r.height}; }

TEST(WindowLayout, HiddenStripsStopAtTheAnimator) {
    WindowFlags f;
    f.ui_hidden = true;
    f.parallel_flags_expanded = true;
    f.animation_count = 1;
    TestWindow w;
    layout_window(WindowMetrics{}, f, w.elements(), 480, 360);
    // 24 + 352 would pass 480 - 2 (56 + 64) = 240.
    EXPECT_EQ(w.parallel_flags_bar.x + w.parallel_flags_bar.width, 240);
    EXPECT_EQ(w.parallel_flags_bar.border_right.width, 0);
}

TEST(DisplayRects, CollapsedHiddenViewLeavesTheStripsAndDirectives) {
    DisplayInputs in;
    in.ui_hidden = true;
    in.panes_collapsed = true;
    in.directive_pane_visible = true;
    in.strip_backdrop_visible = true;
    in.v_flip_mode = true;
    const DisplayRects d = compute_display_rects(in, 800, 600);
    EXPECT_EQ(rect(d.view), (Ints{0, 32, 800 - 112, 600 - 32}));
    EXPECT_TRUE(d.insets.left == 0 && d.insets.top == 0 && d.insets.right == 0 && d.insets.bottom == 0);
}

TEST(DisplayRects, FrameModeInsetsTheView) {
    DisplayInputs in;
    in.frame_mode = true;
    in.side_pane_open = true;
    in.settings_menu_shown = true;
    EXPECT_EQ(rect(compute_display_rects(in, 1024, 768).view), (Ints{256, 88, 712, 624}));
    // Without the multi-view viewport only the view rectangle follows.
    in.multi_view = false;
    EXPECT_FALSE(compute_display_rects(in, 1024, 768).viewport_changed);
}

}  // namespace

#define GL_GLEXT_PROTOTYPES
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "panes/layout/display_options.h"
#include "panes/inspector/entity_inspector.h"
#include "harness/interface_tree.h"
#include "platform/platform_state.h"
#include "render/frame_renderer.h"
#include "platform/gl_state.h"
#include "render/render_targets.h"
#include "support/app_fixture.h"
#include "support/baseline_compare.h"
#include "harness/glx_context.h"

namespace {

using Pixel = std::array<int, 4>;

// The regions painted, each one flat opaque colour.
struct Region {
    const char* name;
    Element* element;
    uint32_t rgba;
};

class WindowLayoutGl : public AppFixture {
protected:
    static inline GlxContext* gl = nullptr;
    static void SetUpTestSuite() {
        gl = new GlxContext;
        if (!gl->open()) return;
        init_gl_state();
        render_frame(nullptr, nullptr);
    }
    static void TearDownTestSuite() { delete gl, gl = nullptr; }

    std::vector<Region> regions;
    int32_t saved_w = platform_state.canvas_width, saved_h = platform_state.canvas_height;

    void SetUp() override {
        ASSERT_TRUE(gl && gl->context) << "no GL context (needs an X display)";
        hang_interface_tree(*app);
        app_instance = app.get();
        install_display_hooks(app->hooks);
        // Only the painted regions draw; the rest of the tree stays hidden.
        for (Element* child : app->children) child->visible = false;
        AppContext& a = *app;
        regions = {{"TOOLBAR", &a.TOOLBAR, 0xff2060a0u},       {"TIPBAR", &a.TIPBAR, 0xff40a040u},
                   {"CONTROLPANE", &a.CONTROLPANE, 0xffa04040u}, {"CONTENTPANE", &a.CONTENTPANE, 0xffc0c0c0u},
                   {"MENUBAR", &a.MENUBAR, 0xff8040c0u},       {"STATUSBAR", &a.STATUSBAR, 0xffc08020u},
                   {"TABBAR", &a.TABBAR, 0xff20a0a0u},         {"SLIDERBAR", &a.SLIDERBAR, 0xffe0e040u},
                   {"COLOURBAR", &a.COLOURBAR, 0xffe040e0u},   {"MENUNPANE", &a.MENUNPANE, 0xff606020u},
                   {"directive", &a.camera_directive_bar, 0xff4040ffu}, {"HIDELOGO", &a.HIDELOGO, 0xffff8080u}};
        for (Region& r : regions) r.element->background_rgba = r.rgba;
        // The panes that float over the content area lie in front of it.
        for (Element* over : {static_cast<Element*>(&a.MENUNPANE), static_cast<Element*>(&a.camera_directive_bar),
                              static_cast<Element*>(&a.HIDELOGO), static_cast<Element*>(&a.COLOURBAR),
                              static_cast<Element*>(&a.SLIDERBAR)}) {
            over->depth_offset = 1.0;
        }
        for (Element* shown : {&a.TOOLBAR, &a.TIPBAR, &a.CONTENTPANE, &a.STATUSBAR, &a.TABBAR}) {
            static_cast<Element*>(shown)->visible = true;
        }
    }
    void TearDown() override {
        platform_state.canvas_width = saved_w, platform_state.canvas_height = saved_h;
    }

    std::vector<uint8_t> draw(int32_t w, int32_t h) {
        app->frame.window_width = app->width = platform_state.canvas_width = w;
        app->frame.window_height = app->height = platform_state.canvas_height = h;
        render_frame(app.get(), app.get());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        std::vector<uint8_t> px(size_t(w) * h * 4);
        glBindFramebuffer(GL_FRAMEBUFFER, render_targets[2].framebuffer_id);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        for (int r = 0; r < h; ++r) glReadPixels(0, h - 1 - r, w, 1, GL_RGBA, GL_UNSIGNED_BYTE, px.data() + size_t(r) * w * 4);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return px;
    }

    // The painted region in front at a point: the nearest one, and of equal
    // depths the one drawn first (the depth test keeps it).
    const Region* top_region_at(int32_t x, int32_t y) const {
        const Region* top = nullptr;
        for (const Element* child : app->children) {
            if (!child->visible || x < child->x || y < child->y || x >= child->x + child->width ||
                y >= child->y + child->height)
                continue;
            for (const Region& r : regions) {
                if (r.element == child && (top == nullptr || child->depth_offset > top->element->depth_offset)) top = &r;
            }
        }
        return top;
    }

    // Every shown region's centre has the colour of the region on top there,
    // never the clear colour; the picture matches the reviewed baseline.
    void check_frame(const std::vector<uint8_t>& px, int32_t w, int32_t h, const std::string& name) {
        auto at = [&](int32_t x, int32_t y) {
            const uint8_t* p = px.data() + (size_t(y) * w + x) * 4;
            return Pixel{p[0], p[1], p[2], p[3]};
        };
        int32_t checked = 0;
        for (const Region& r : regions) {
            const Element& e = *r.element;
            if (!e.visible || e.width <= 0 || e.height <= 0) continue;
            const int32_t cx = e.x + e.width / 2, cy = e.y + e.height / 2;
            const Region* top = top_region_at(cx, cy);
            ASSERT_NE(top, nullptr);
            const uint32_t c = top->rgba;
            const Pixel want{int(c >> 16 & 0xff), int(c >> 8 & 0xff), int(c & 0xff), 255};
            EXPECT_EQ(at(cx, cy), want) << name << ": " << r.name << " centre shows " << top->name;
            ++checked;
        }
        EXPECT_GE(checked, 3) << name;
        compare_with_baseline(px, w, h, "panes", name + ".png");
    }
};

// The first label under `root` (depth first) showing `text`, with the
// container it hangs in.
std::pair<Element*, Container*> find_label(Container& root, const std::string& text) {
    for (Element* child : root.children) {
        if (child == nullptr) continue;
        if (child->text == text) return {child, &root};
        if (child->is_container) {
            auto found = find_label(*static_cast<Container*>(child), text);
            if (found.first != nullptr) return found;
        }
    }
    return {nullptr, nullptr};
}

// A long script name in the inspector's header scrolls sideways with the
// information below it, the PPD button with it.
TEST_F(WindowLayoutGl, InspectorHeaderFollowsTheHorizontalScroll) {
    const int32_t w = 720, h = 480;
    const std::string name = ": a_rather_long_script_name_that_fills_the_header_row.vrek";
    // The whole built interface this time, not the hung outline.
    app.reset();
    reset_app_globals();
    app = make_app_context();
    app_instance = app.get();
    build_user_interface(*app);
    install_display_hooks(app->hooks);
    // As the start-up leaves it: the covers gone.
    for (Element* cover : {static_cast<Element*>(&app->busy_mask), static_cast<Element*>(&app->configuration_mask),
                           static_cast<Element*>(&app->configuration_pane), &app->busy_indicator,
                           static_cast<Element*>(&app->startup_notice)})
        cover->visible = false;
    EntitySet& set = make_new_environment_current(*app)->entities;
    EntityRecord e = entity_construct();
    e.file_name = name;
    e.information_lines = {std::string(29, 'W'), "b"};
    set.records.push_back(e);
    set.count = 1;
    app->entities.current_environment_parts.entity_view->selected_row = 0;
    select_side_pane(*app, 1);
    refresh_entity_inspector(*app);

    const auto [label, row] = find_label(*app, name);
    const auto [ppd, ppd_row] = find_label(*app, "PPD");
    ASSERT_TRUE(label != nullptr && ppd != nullptr && row == ppd_row);
    const std::vector<uint8_t> before = draw(w, h);
    ASSERT_TRUE(row->visible && label->visible && ppd->visible);
    const int32_t top = row->abs_y, bottom = row->abs_y + row->abs_height;
    const int32_t button_x = ppd->abs_x, button_w = ppd->abs_width;
    ASSERT_GT(bottom - top, 4);

    app->entity_inspector_scroll.scroll_x = 1.0;
    const std::vector<uint8_t> after = draw(w, h);
    const int32_t dx = ppd->abs_x - button_x;
    ASSERT_TRUE(dx < -20 && dx > -button_x / 2) << dx;
    EXPECT_EQ(label->abs_x - row->abs_x, dx);

    // A column band of `before` at x0 shows in `after` at x0 + dx; the
    // band is not one flat colour.
    auto moved = [&](int32_t x0, int32_t x1) {
        int32_t differing = 0, lowest = 255 * 3, highest = 0;
        for (int32_t y = top + 1; y < bottom - 1; ++y) {
            for (int32_t x = x0; x < x1; ++x) {
                const uint8_t* a = before.data() + (size_t(y) * w + x) * 4;
                const uint8_t* b = after.data() + (size_t(y) * w + x + dx) * 4;
                const int32_t sum = a[0] + a[1] + a[2];
                lowest = std::min(lowest, sum), highest = std::max(highest, sum);
                for (int c = 0; c < 3; ++c) differing += std::abs(int(a[c]) - int(b[c])) > 8;
            }
        }
        return std::make_pair(differing, highest - lowest > 120);
    };
    // The name's end and the button (text and border), at their new place.
    const auto [differing, inked] = moved(row->abs_x + row->abs_width / 2, button_x + button_w - 1);
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(inked);
    // Unscrolled, the header is back where the build placed it.
    app->entity_inspector_scroll.scroll_x = 0.0;
    EXPECT_EQ(draw(w, h), before);
    app->entities.current_environment_parts.entity_view->selected_row = -1;
}

TEST_F(WindowLayoutGl, BarsFollowTheWindowAndTheDisplayFlags) {
    check_frame(draw(480, 360), 480, 360, "layout_480x360");
    check_frame(draw(720, 480), 720, 480, "layout_720x480");

    app->ui_flags.open_settings_menu = 1;
    app->bars.camera_directive_count = 2;
    app->camera_directive_bar.visible = true;
    select_side_pane(*app, 0);
    set_options_menu_shown(*app, true);
    set_v_flip_mode(*app, true);
    check_frame(draw(1280, 800), 1280, 800, "layout_1280x800_mirrored");
    EXPECT_EQ(app->TABBAR.y, 0);

    set_v_flip_mode(*app, false);
    select_side_pane(*app, 0);
    set_options_menu_shown(*app, false);
    set_ui_hidden(*app, true);
    check_frame(draw(1920, 1080), 1920, 1080, "layout_1920x1080_hidden");
    EXPECT_TRUE(app->HIDELOGO.visible);
}

}  // namespace

#include <algorithm>
#include "support/call_log.h"
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/interface_builder.h"
#include "panes/layout/layout_mode_flags.h"
#include "panes/popups/message_boxes.h"
#include "support/app_fixture.h"

namespace {

struct BuiltInterface : AppFixture {
    void build(AppContext& a) {
        capture_stdout();
        build_user_interface(a);
        captured_stdout();
    }
    void SetUp() override { build(*app); }
};

// Every element reachable from `root`, with the summed own layers of the
// path to it.
void walk(Element& e, int32_t layer, std::vector<std::pair<Element*, int32_t>>& out) {
    out.emplace_back(&e, layer + e.layer);
    if (!e.is_container) return;
    for (Element* child : static_cast<Container&>(e).children) walk(*child, layer + e.layer, out);
}

int32_t text_width(int face, const std::string& text) {
    int32_t w = 0;
    for (char c : text) w += static_cast<int32_t>(typefaces[face].glyph_widths[static_cast<unsigned char>(c)]);
    return w;
}

TEST_F(BuiltInterface, RootBarsOverlayAndContentHangInOrder) {
    AppContext& a = *app;
    const std::vector<Element*> root = {
        &a.BORDER, &a.viewport_surface, &a.TOOLBAR, &a.CONTROLPANE, &a.TIPBAR, &a.CONTENTPANE, &a.MENUBAR,
        &a.STATUSBAR, &a.TABBAR, &a.SLIDERBAR, &a.COLOURBAR, &a.minimal_layout_bar, &a.hidden_ui_variant_panel,
        &a.strip_backdrop_guard, &a.parallel_flags_bar, &a.ll_inspector_bar, &a.animator_bar,
        &a.camera_directive_bar, &a.parallel_flags_button, &a.ll_inspector_button, &a.strip_backdrop,
        &a.multi_view_viewport, &a.camera_directive_toggle, &a.variant_bar, &a.MENUNPANE, &a.HINTBAR, &a.HIDELOGO,
        &a.LOCKICON, &a.NORENDER, &a.centre_cross, &a.controls_toggle, &a.environment_preview, &a.MASKPANE,
        &a.OVERLAY, &a.configuration_mask, &a.busy_mask, &a.small_window_notice};
    EXPECT_EQ(a.children, root);
    EXPECT_EQ(a.TOOLBAR.children,
              (std::vector<Element*>{&a.OPEN, &a.PARSE, &a.ASSEMBLE, &a.CAPTURE, &a.EXPORT, &a.SETTINGS,
                                     &a.TOOLSCROLL}));
    EXPECT_EQ(a.TIPBAR.children, (std::vector<Element*>{&a.CONSOLE, &a.ENTITY, &a.PARAMETER, &a.TIPSCROLL}));
    EXPECT_EQ(a.TABBAR.children, (std::vector<Element*>{&a.ENVIRONMENT, &a.ABOUT, &a.HELP, &a.TABSCROLL}));
    EXPECT_EQ(a.MASKPANE.children, std::vector<Element*>{&a.mask_pane_layer});
    EXPECT_EQ(a.OVERLAY.children,
              (std::vector<Element*>{&a.RUNPANE, &a.PARSEPANE, &a.CAPTUREPANE, &a.SCREENSHOTPANE, &a.PROFILEPANE,
                                     &a.DIRECTIVEPANE, &a.EXPORTPANE, &a.ABOUTPANE, &a.HELPPANE, &a.OPENPANE,
                                     &a.LOADPANE, &a.FILEPANE, &a.message_mask, &a.INFOPANE, &a.ERRORPANE,
                                     &a.WARNINGPANE, &a.CONFIRMPANE}));
    // The shadow first, so it is drawn behind its label.
    EXPECT_EQ(a.CONTENTPANE.children, (std::vector<Element*>{&a.statistics_shadow_label, &a.statistics_label,
                                                             &a.canvas_pick_area, &a.frame_rate_label}));
    EXPECT_EQ(a.CONTROLPANE.children,
              (std::vector<Element*>{&a.CONSOLETRACE, &a.ENTITYINSPECTOR, &a.PARAMETERCONTROL}));
}

TEST_F(BuiltInterface, KeysNameTheirElementsAndEveryOtherElementIsUnnamed) {
    AppContext& a = *app;
    const auto named = named_elements(a);
    ASSERT_EQ(named.size(), 64u);
    std::set<Element*> keyed;
    for (const auto& n : named) {
        EXPECT_EQ(n.second->name, n.first);
        keyed.insert(n.second);
    }
    for (Element& b : a.view_menu_buttons) keyed.insert(&b);
    for (Element& b : a.settings_menu_buttons) keyed.insert(&b);
    for (Element& b : a.menubar_indicators) keyed.insert(&b);
    keyed.insert(&a.toolbar_indicator);
    EXPECT_EQ(a.view_menu_buttons[7].name, "VIEW");
    EXPECT_EQ(a.settings_menu_buttons[3].name, "FULLSCREEN");
    EXPECT_EQ(a.menubar_indicators[9].name, "MENUBARINDICATOR9");

    std::vector<std::pair<Element*, int32_t>> all;
    for (Element* child : a.children) walk(*child, 0, all);
    size_t reached = 0;
    for (const auto& e : all) {
        if (keyed.count(e.first)) {
            ++reached;
            continue;
        }
        EXPECT_EQ(e.first->name, "?");
    }
    EXPECT_EQ(reached, keyed.size());
}

TEST_F(BuiltInterface, StartHiddenPanesAndFinalLayers) {
    AppContext& a = *app;
    for (Element* e : {(Element*)&a.CONTROLPANE, (Element*)&a.MENUBAR, (Element*)&a.COLOURBAR,
                       (Element*)&a.SLIDERBAR, (Element*)&a.MENUNPANE, (Element*)&a.HINTBAR, (Element*)&a.NORENDER,
                       (Element*)&a.MASKPANE, (Element*)&a.OVERLAY, (Element*)&a.mask_pane_layer,
                       (Element*)&a.CONSOLETRACE, (Element*)&a.ENTITYINSPECTOR, (Element*)&a.PARAMETERCONTROL,
                       (Element*)&a.HIDELOGO, (Element*)&a.LOCKICON, (Element*)&a.centre_cross,
                       (Element*)&a.environment_preview, (Element*)&a.minimal_layout_bar,
                       (Element*)&a.confirm_algorithm_bar})
        EXPECT_FALSE(e->visible) << e->name;
    for (Element* e : a.OVERLAY.children) EXPECT_FALSE(e->visible) << e->name;
    for (Element* e : {(Element*)&a.TOOLBAR, (Element*)&a.TIPBAR, (Element*)&a.CONTENTPANE, (Element*)&a.STATUSBAR,
                       (Element*)&a.TABBAR, (Element*)&a.BORDER, (Element*)&a.multi_view_viewport})
        EXPECT_TRUE(e->visible) << e->name;

    std::vector<std::pair<Element*, int32_t>> all;
    walk(a, 0, all);
    auto layer_of = [&](Element* e) {
        for (const auto& p : all)
            if (p.first == e) return p.second;
        return -1;
    };
    for (Element* e : {(Element*)&a.INFOPANE, (Element*)&a.ERRORPANE, (Element*)&a.WARNINGPANE,
                       (Element*)&a.OPENPANE, (Element*)&a.message_mask, (Element*)&a.small_window_notice})
        EXPECT_EQ(layer_of(e), 3) << e->name;
    for (Element* e : {(Element*)&a.RUNPANE, (Element*)&a.CONFIRMPANE, (Element*)&a.FILEPANE,
                       (Element*)&a.MASKPANE, (Element*)&a.busy_mask})
        EXPECT_EQ(layer_of(e), 2) << e->name;
    EXPECT_EQ(layer_of(&a.configuration_mask), 1);
}

TEST_F(BuiltInterface, NoHookSlotIsLeftEmpty) {
    using Slot = void (*)();
    static_assert(sizeof(AppHooks) % sizeof(Slot) == 0, "the hook table holds function pointers only");
    Slot slots[sizeof(AppHooks) / sizeof(Slot)];
    std::memcpy(slots, &app->hooks, sizeof(AppHooks));
    for (size_t i = 0; i < sizeof(slots) / sizeof(Slot); ++i) EXPECT_NE(slots[i], nullptr) << "slot " << i;
}

TEST_F(BuiltInterface, MasksSwallowEveryPointerEventUpToTheirEdges) {
    AppContext& a = *app;
    // The OPEN button under every mask, with the bars placed by hand.
    a.TOOLBAR.width = a.width;
    a.TOOLBAR.height = 56;
    a.OPEN.width = 56;
    a.OPEN.height = 56;
    a.controls_toggle.x = a.width - 32, a.controls_toggle.width = 32;  // where the window layout puts it
    a.OPEN.click_handler = [] { record_call("OPEN"); };
    ASSERT_TRUE(a.dispatch_click(10, 10, 1));
    EXPECT_EQ(call_log(), std::vector<std::string>{"OPEN"});

    for (Element* mask : {(Element*)&a.MASKPANE, (Element*)&a.configuration_mask, (Element*)&a.busy_mask,
                          (Element*)&a.small_window_notice, (Element*)&a.message_mask}) {
        reset_call_log();
        Element* host = mask == &a.message_mask ? (Element*)&a.OVERLAY : mask;
        for (Element* e : {host, mask}) {
            e->visible = true;
            e->x = 0;
            e->y = 0;
            e->width = a.width;
            e->height = a.height;
        }
        for (int32_t x : {0, a.width}) {
            const int32_t y = x == 0 ? 0 : a.height;
            EXPECT_TRUE(a.dispatch_mouse_down(x, y, 1));
            EXPECT_TRUE(a.dispatch_mouse_up(x, y, 1));
            EXPECT_TRUE(a.dispatch_motion(x, y, 0));
            EXPECT_TRUE(a.dispatch_drag(x, y, 1));
            EXPECT_TRUE(a.dispatch_scroll(x, y, 1));
        }
        EXPECT_TRUE(a.dispatch_click(10, 10, 1));
        EXPECT_TRUE(call_log().empty()) << mask->name << ": " << call_log().front();
        for (Element* e : {host, mask}) e->visible = false;
    }
    for (Element* e : {(Element*)&a.environment_preview, (Element*)&a.HIDELOGO}) {
        EXPECT_TRUE(e->mouse_down_handler(0, 0, 1));
        EXPECT_TRUE(e->scroll_handler(0, 0, 1));
    }
}

TEST_F(BuiltInterface, EveryButtonTabAndCloseButtonActs) {
    AppContext& a = *app;
    std::vector<Element*> clickable = {&a.OPEN,   &a.PARSE, &a.ASSEMBLE,    &a.CAPTURE, &a.EXPORT,
                                       &a.SETTINGS, &a.CONSOLE, &a.ENTITY, &a.PARAMETER, &a.ENVIRONMENT,
                                       &a.ABOUT,  &a.HELP,  &a.ABOUTPANE,   &a.environment_preview_close};
    for (Label& t : a.trace_tabs) clickable.push_back(&t);
    for (Element& b : a.view_menu_buttons) clickable.push_back(&b);
    for (Element& b : a.settings_menu_buttons) clickable.push_back(&b);
    for (int k = 0; k < FRAME_CONFIRM; ++k) clickable.push_back(&a.popup_frames[k].close_button);
    for (Element* e : clickable) EXPECT_NE(e->click_handler, nullptr) << e->name;
    EXPECT_NE(a.layout_handler, nullptr);
    EXPECT_NE(a.resize_handler, nullptr);
    EXPECT_NE(a.small_window_notice.layout_handler, nullptr);
    for (Element* e : {(Element*)&a.TOOLSCROLL, (Element*)&a.TIPSCROLL, (Element*)&a.STATSCROLL,
                       (Element*)&a.TABSCROLL, (Element*)&a.CONTENTPANE})
        EXPECT_NE(e->scroll_handler, nullptr) << e->name;
}

TEST_F(BuiltInterface, MenuBarsItemsAndCommandRowsRunTheRealActions) {
    AppContext& a = *app;
    app_instance = app.get();
    a.view_menu_buttons[2].click_handler();
    EXPECT_TRUE(a.ui_flags.open_view_menu == 2 && a.view_menu_strips[2].visible && a.tip_menu_title.visible);
    a.settings_menu_buttons[0].click_handler();
    EXPECT_TRUE(a.ui_flags.open_settings_menu == 0 && a.settings_menu_hosts[0].visible);
    a.settings_menu_buttons[5].click_handler();
    EXPECT_TRUE(a.ui_flags.camera_locked && a.LOCKICON.visible && a.menubar_indicators[5].visible);

    // The drop-down item and the command row of Points flip the same bit.
    const std::vector<bool>& topology = a.menu_tables.view_menu_check_states[0];
    const bool before = topology[4];
    a.view_menu_items[0][4]->click_handler();
    EXPECT_NE(topology[4], before);
    EXPECT_EQ(a.view_menu_items[0][4]->selected, topology[4]);
    for (size_t i = 0; i < command_table.size(); ++i)
        if (std::strcmp(command_table[i].caption, "\t Points") == 0) a.command_rows[i].click_handler();
    EXPECT_EQ(topology[4], before);

    EXPECT_EQ(a.hooks.any_popup_open, &any_popup_open);
    EXPECT_TRUE(call_log().empty()) << call_log().front();
}

TEST_F(BuiltInterface, FrameConsoleAndRowsTakeTheirGeometry) {
    AppContext& a = *app;
    EXPECT_EQ(a.CAPTUREPANE.width, 256);
    EXPECT_EQ(a.popup_frames[FRAME_CAPTURE].title_label.width, 144);
    EXPECT_EQ(a.popup_frames[FRAME_RUN].title_label.width, 400);
    EXPECT_EQ(a.RUNPANE.width, 512);
    EXPECT_EQ(a.statistics_label.typeface, &typefaces[0]);

    // The two start-up lines, and only the kernel channel shown.
    const std::string& console = a.console_text.text;
    EXPECT_NE(console.find(" \nInitialisation-Time : "), std::string::npos) << console;
    EXPECT_TRUE(a.trace_panes[0].visible);
    for (int i = 1; i < 4; ++i) EXPECT_FALSE(a.trace_panes[i].visible);
    EXPECT_TRUE(a.trace_tabs[0].selected);

    // Status line and env0 tab, measured from the face tables.
    const int32_t status_width = text_width(0, a.status_label.text);
    EXPECT_EQ(a.io_settings.status_text_width, status_width);
    EXPECT_EQ(a.status_label.width, status_width + 16);
    EXPECT_EQ(a.environment_tab_strip.width, 66);
    ASSERT_EQ(a.environment_tab_strip.children.size(), 1u);
    EXPECT_EQ(a.environment_tab_strip.children[0], &a.environment_tabs[0]);
    EXPECT_EQ(a.environment_tabs[0].x, 1);
    EXPECT_EQ(a.environment_tabs[0].width, 64);
    EXPECT_EQ(a.io_settings.placeholder_text_width, text_width(0, "(open a vrekform script file...)"));

    // Open-menu markers on their quarters.
    EXPECT_EQ(a.toolbar_indicator.y, 28);
    EXPECT_EQ(a.toolbar_indicator.width, 28);
    EXPECT_EQ(a.menubar_indicators[2].x, 28);
    EXPECT_EQ(a.menubar_indicators[2].y, 2 * 56 + 28);

    // Minimal bar: tool buttons with a gap after the third, the side-pane
    // indicator from one pixel before the row's end, the title row tiled.
    const int32_t button_x[5] = {0, 32, 64, 104, 136};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(a.minimal_tool_buttons[i].x, button_x[i]);
    EXPECT_EQ(a.side_pane_indicator.x, 167);
    EXPECT_EQ(a.minimal_about.x, a.minimal_title.x + a.minimal_title.width);
    EXPECT_EQ(a.minimal_help.x, 120);
    EXPECT_EQ(a.minimal_help.x + a.minimal_help.width, 168);

    // The command list.
    ASSERT_EQ(a.command_rows.size(), 120u);
    EXPECT_EQ(a.command_list.height, 2880);
    EXPECT_EQ(a.command_list.children.size(), 120u);
    const auto bound = std::count_if(a.command_rows.begin(), a.command_rows.end(),
                                     [](const Label& row) { return row.click_handler != nullptr; });
    EXPECT_EQ(bound, 101);
    EXPECT_EQ(a.command_rows[13].click_handler, nullptr);
    EXPECT_EQ(a.command_rows[119].y, 119 * 24);
    // A section heading is filled, a stand-alone command highlights.
    EXPECT_NE(a.command_rows[3].background_colour, nullptr);
    EXPECT_NE(a.command_rows[48].hover_palette, nullptr);
    EXPECT_EQ(a.command_rows[48].background_colour, nullptr);
}

// The labels the actions write are the ones hung in the tree.
TEST_F(BuiltInterface, ActionsWriteTheLabelsTheTreeShows) {
    AppContext& a = *app;
    show_warning_box(a, "Warning: Nothing to Parse", "text");
    show_error_box(a, "Error: Bad Path", "text");
    const Element* warning_title = a.popup_frames[FRAME_WARNING].title_bar.centre;
    ASSERT_NE(warning_title, nullptr);
    EXPECT_EQ(warning_title->text, "Warning: Nothing to Parse");
    EXPECT_EQ(a.popup_frames[FRAME_ERROR].title_bar.centre->text, "Error: Bad Path");
    EXPECT_EQ(a.popup_frames[FRAME_INFO].title_bar.centre->text, "Info: ...");
    // The intro fades the notice in and out under its logo.
    ASSERT_EQ(a.busy_mask.children.size(), 2u);
    EXPECT_EQ(a.busy_mask.children[1], &a.startup_notice);
    EXPECT_EQ(a.startup_notice.text, "assembling...");
}

TEST_F(BuiltInterface, EveryWidgetMemberHangsInTheTree) {
    AppContext& a = *app;
    std::vector<std::pair<Element*, int32_t>> reached;
    walk(a, 0, reached);
    std::set<const Element*> in_tree;
    for (const auto& r : reached) in_tree.insert(r.first);
    // Attached on demand, each for its reason.
    std::set<const Element*> on_demand = {
        // Appended under the parameter blocks when an entity's parameters
        // are shown.
        &a.parameter_summary_label,
        // The layout places it in frame mode; it has nothing to show and no
        // parent yet.
        &a.frame_marker,
    };
    // Each popup takes the parts of the common frame record its kind needs;
    // every frame's title bar hangs.
    for (PopupFrame& f : a.popup_frames) {
        EXPECT_TRUE(in_tree.count(&f.title_bar));
        for (Element* part : std::initializer_list<Element*>{
                 &f.icon_holder, &f.title_icon, &f.title_label, &f.title_area, &f.title_right, &f.close_button,
                 &f.body, &f.footer, &f.footer_plain, &f.footer_split, &f.footer_centre, &f.footer_right})
            on_demand.insert(part);
    }
    struct Seen {
        const AppContext* app;
        const std::set<const Element*>* in_tree;
        std::vector<const Element*> missing;
    } seen{&a, &in_tree, {}};
    for_each_context_widget(
        a,
        [](Element& widget, void* data) {
            Seen& s = *static_cast<Seen*>(data);
            if (!s.in_tree->count(&widget)) s.missing.push_back(&widget);
        },
        &seen);
    for (const Element* e : seen.missing) {
        if (on_demand.count(e)) continue;
        ADD_FAILURE() << "not in the tree: member at offset "
                      << (reinterpret_cast<const char*>(e) - reinterpret_cast<const char*>(&a)) << " named \""
                      << e->name << "\" showing \"" << e->text << "\"";
    }
}

struct UnbuiltInterface : BuiltInterface {
    void SetUp() override {}
};

TEST_F(UnbuiltInterface, OptionsChangeTheStagesResults) {
    AppContext& a = *app;
    a.bars.multi_view = 0;
    a.bars.enlarged_trace = 0;
    a.ui_metrics.side_pane_width = 258;
    const std::vector<double> cameras = a.multi_view_viewport.cell_cameras;
    a.camera.live_camera.eye[0] += 5.0;
    build(a);
    EXPECT_FALSE(a.multi_view_viewport.visible);
    EXPECT_EQ(a.multi_view_viewport.cell_cameras, cameras);
    EXPECT_EQ(a.statistics_shadow_label.typeface, &typefaces[3]);
    EXPECT_EQ(a.statistics_label.typeface, &typefaces[3]);
    const int32_t widths[4] = {64, 64, 64, 66};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(a.trace_tabs[i].x, 64 * i);
        EXPECT_EQ(a.trace_tabs[i].width, widths[i]);
        EXPECT_EQ(a.trace_tabs[i].border_right.width, i < 3 ? 1 : 0);
    }
}

TEST_F(BuiltInterface, TwoContextsKeepTheirTreesApart) {
    std::unique_ptr<AppContext> second = make_app_context();
    build(*second);
    auto inside = [](const AppContext& owner, const Element* e) {
        const char* p = reinterpret_cast<const char*>(e);
        const char* begin = reinterpret_cast<const char*>(&owner);
        return p >= begin && p < begin + sizeof(AppContext);
    };
    for (AppContext* mine : {app.get(), second.get()}) {
        const AppContext& other = mine == app.get() ? *second : *app;
        std::vector<std::pair<Element*, int32_t>> all;
        walk(*mine, 0, all);
        EXPECT_GT(all.size(), 400u);
        for (const auto& e : all) ASSERT_FALSE(inside(other, e.first)) << e.first->name;
    }
    second.reset();
    // The survivor's tree is intact after the other is gone.
    std::vector<std::pair<Element*, int32_t>> all;
    walk(*app, 0, all);
    EXPECT_EQ(app->children.size(), 37u);
    EXPECT_EQ(app->OVERLAY.children.back()->name, "CONFIRMPANE");
}

}  // namespace

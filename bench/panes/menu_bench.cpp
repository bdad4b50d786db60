#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_menus.h"
#include "panes/menus/interface_themes.h"
#include "panes/menus/settings_fields.h"
#include "panes/menus/view_menu_actions.h"
#include "ui/theme.h"

namespace {

// A context with the menus and bars built under the root and filler rows
// bringing the tree to about 2,000 elements, so every action pays for the
// root refresh of a full interface.
struct MenuTree {
    std::unique_ptr<AppContext> app = make_app_context();
    FillLayout filler;
    std::vector<Label> rows = std::vector<Label>(1700);

    MenuTree() {
        build_view_menu_stage(*app);
        build_colour_and_slider_bars(*app);
        build_settings_menu_stage(*app);
        for (Label& row : rows) filler.children.push_back(&row);
        app->children = {&app->TIPSCROLL, &app->MENUNPANE, &app->COLOURSCROLL, &app->SLIDERSCROLL, &filler};
        app_instance = app.get();
    }
    ~MenuTree() {
        app_instance = nullptr;
        build_theme_table();
    }
    int count() { return count_elements(*app); }
    static int count_elements(Element& e) {
        int n = 1;
        if (e.is_container)
            for (Element* child : static_cast<Container&>(e).children) n += count_elements(*child);
        return n;
    }
};

void BM_ViewItemClick(benchmark::State& state) {
    MenuTree tree;
    for (auto _ : state) on_view_menu_item(*tree.app, 6, 3);
    state.counters["elements"] = tree.count();
}
BENCHMARK(BM_ViewItemClick)->Unit(benchmark::kMicrosecond);

void BM_ThemeChange(benchmark::State& state) {
    MenuTree tree;
    int32_t theme = 0;
    for (auto _ : state) {
        apply_ui_theme(*tree.app, theme);
        theme = theme == 0 ? 2 : 0;
    }
    state.counters["elements"] = tree.count();
}
BENCHMARK(BM_ThemeChange)->Unit(benchmark::kMicrosecond);

void BM_SettingsFieldCommit(benchmark::State& state) {
    MenuTree tree;
    for (auto _ : state) {
        tree.app->slider_fields[2].set_text("0.75");
        commit_settings_field(*tree.app, FIELD_LIGHT_INTENSITY);
    }
    state.counters["elements"] = tree.count();
}
BENCHMARK(BM_SettingsFieldCommit)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

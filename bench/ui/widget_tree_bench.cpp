#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "ui/layouts.h"
#include "ui/root_input.h"

namespace {

// A made-up tree the size of the full interface (not the built one): a root with 20 panes (alternately
// fill and split layouts), each holding 9 rows of 10 buttons: 2,001 elements.
struct InterfaceTree {
    RootContainer root;
    std::vector<std::unique_ptr<Container>> panes;
    std::vector<std::unique_ptr<Container>> rows;
    std::vector<std::unique_ptr<Label>> buttons;

    InterfaceTree() {
        root.width = 1600;
        root.height = 900;
        for (int p = 0; p < 20; ++p) {
            std::unique_ptr<Container> pane;
            if (p % 2 == 0) {
                pane = std::make_unique<FillLayout>();
            } else {
                auto split = std::make_unique<SplitLayout>();
                split->orientation = 1;
                pane = std::move(split);
            }
            pane->x = (p % 5) * 320;
            pane->y = (p / 5) * 225;
            pane->width = 320;
            pane->height = 225;
            root.children.push_back(pane.get());
            for (int r = 0; r < 9; ++r) {
                auto row = std::make_unique<Container>();
                row->x = 0;
                row->y = r * 25;
                row->width = 320;
                row->height = 24;
                row->fill = r == 0;
                pane->children.push_back(row.get());
                for (int b = 0; b < 10; ++b) {
                    auto button = std::make_unique<Label>();
                    button->x = b * 32;
                    button->width = 31;
                    button->height = 24;
                    button->hover_rgba = 0x40ffffffu;
                    button->tooltip_title = "Title";
                    button->tooltip_text = "Text";
                    button->set_text("Button");
                    row->children.push_back(button.get());
                    buttons.push_back(std::move(button));
                }
                rows.push_back(std::move(row));
            }
            if (p % 2 == 1) {
                auto* split = static_cast<SplitLayout*>(pane.get());
                split->first = pane->children[0];
                split->second = pane->children[1];
                split->divider = pane->children[2];
            }
            panes.push_back(std::move(pane));
        }
        root.relayout();
        root.abs_width = root.clip_width = root.width;
        root.abs_height = root.clip_height = root.height;
        stamp(root);
    }

    // Absolute and clip rectangles as the per-frame walk leaves them.
    static void stamp(Element& parent) {
        if (!parent.is_container) return;
        for (Element* k : static_cast<Container&>(parent).children) {
            k->abs_x = parent.abs_x + k->x;
            k->abs_y = parent.abs_y + k->y;
            k->abs_width = k->width;
            k->abs_height = k->height;
            k->clip_x = std::max(k->abs_x, parent.clip_x);
            k->clip_y = std::max(k->abs_y, parent.clip_y);
            k->clip_width = std::min(k->abs_x + k->width, parent.clip_x + parent.clip_width) - k->clip_x;
            k->clip_height = std::min(k->abs_y + k->height, parent.clip_y + parent.clip_height) - k->clip_y;
            stamp(*k);
        }
    }

    size_t count() const { return 1 + panes.size() + rows.size() + buttons.size(); }
};

void BM_PointerMotion(benchmark::State& state) {
    reset_ui_state();
    InterfaceTree tree;
    int32_t i = 0;
    for (auto _ : state) {
        // Sweep the window so hover moves from button to button.
        int32_t x = (i * 37) % 1600;
        int32_t y = (i * 53) % 900;
        benchmark::DoNotOptimize(root_pointer_motion(tree.root, x, y));
        ++i;
    }
    state.counters["elements"] = static_cast<double>(tree.count());
    reset_ui_state();
}
BENCHMARK(BM_PointerMotion)->Unit(benchmark::kMicrosecond);

void BM_RelayoutSyntheticTree(benchmark::State& state) {
    reset_ui_state();
    InterfaceTree tree;
    for (auto _ : state) {
        tree.root.relayout();
        benchmark::ClobberMemory();
    }
    state.counters["elements"] = static_cast<double>(tree.count());
    reset_ui_state();
}
BENCHMARK(BM_RelayoutSyntheticTree)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

// Laying out a viewport of 16 cells: the per-frame placement, and the
// rebuild of the cell elements that a split or a bar drag triggers.
#include <benchmark/benchmark.h>

#include "ui/viewport.h"

namespace {

struct SixteenCells {
    Viewport vp;
    SixteenCells() {
        vp.width = 1280, vp.height = 800;
        // Halve every cell along alternating axes: 1, 2, 4, 8, 16 cells.
        for (int round = 0; round < 4; ++round)
            for (int k = vp.cell_count - 1; k >= 0; --k) vp.split_cell(k, round % 2 ? 'X' : 'Y', false, true, 0.5);
        vp.layout_cells();
    }
};

void BM_ViewportRelayout16(benchmark::State& state) {
    SixteenCells s;
    for (auto _ : state) {
        s.vp.relayout();
        benchmark::DoNotOptimize(s.vp.cells[15].width);
    }
}
BENCHMARK(BM_ViewportRelayout16)->Unit(benchmark::kMicrosecond);

void BM_ViewportCellRebuild16(benchmark::State& state) {
    SixteenCells s;
    for (auto _ : state) {
        s.vp.layout_cells();
        s.vp.relayout();
        benchmark::DoNotOptimize(s.vp.cells[15].width);
    }
}
BENCHMARK(BM_ViewportCellRebuild16)->Unit(benchmark::kMicrosecond);

}  // namespace

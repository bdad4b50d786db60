#include <benchmark/benchmark.h>

#include <cmath>

#include "grid_mesh.h"
#include "render/colour_by.h"

namespace {

void BM_ColourByOneMillionVertices(benchmark::State& state) {
    static InteropMesh m = make_grid(1000);
    ColourSettings s;
    s.colour_mode = COLOUR_FUNCTION;
    s.colour_function = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        apply_colour_settings(s, m);
        benchmark::DoNotOptimize(m.display_colours.data());
    }
}
BENCHMARK(BM_ColourByOneMillionVertices)->DenseRange(3, 17)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

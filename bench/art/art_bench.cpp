#include <benchmark/benchmark.h>

#include "art/font_atlas.h"
#include "art/icon_raster.h"

// Start-up art generation; the argument is the worker count (0 = one per
// hardware thread).

static void BM_IconAtlas(benchmark::State& state) {
    for (auto _ : state) build_icon_atlas(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(icon_atlas.pixels.data());
}
BENCHMARK(BM_IconAtlas)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);

static void BM_LogoImage(benchmark::State& state) {
    for (auto _ : state) build_logo_image(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(logo_image.pixels.data());
}
BENCHMARK(BM_LogoImage)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);

static void BM_FontAtlas(benchmark::State& state) {
    for (auto _ : state) build_font_atlas(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(font_atlas.pixels.data());
}
BENCHMARK(BM_FontAtlas)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);

// The three steps as start-up runs them.
static void BM_AllArt(benchmark::State& state) {
    const int workers = static_cast<int>(state.range(0));
    for (auto _ : state) {
        build_icon_atlas(workers);
        build_logo_image(workers);
        build_font_atlas(workers);
    }
}
BENCHMARK(BM_AllArt)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

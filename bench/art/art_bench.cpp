#include <benchmark/benchmark.h>

#include "art/font_atlas.h"
#include "art/icon_raster.h"

// The art start-up generates, built again and again in one process: after
// the first iteration the pixel buffers are reused, warm, where start-up
// meets them fresh (start-up as a whole is timed by bench/shell/shell_bench).
// The argument is the worker count (0 = one per hardware thread).

static void BM_IconAtlasWarm(benchmark::State& state) {
    for (auto _ : state) build_icon_atlas(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(icon_atlas.pixels.data());
}
BENCHMARK(BM_IconAtlasWarm)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);

static void BM_LogoImageWarm(benchmark::State& state) {
    for (auto _ : state) build_logo_image(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(logo_image.pixels.data());
}
BENCHMARK(BM_LogoImageWarm)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);

static void BM_FontAtlasWarm(benchmark::State& state) {
    for (auto _ : state) build_font_atlas(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(font_atlas.pixels.data());
}
BENCHMARK(BM_FontAtlasWarm)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);

// The three steps in start-up's order.
static void BM_AllArtWarm(benchmark::State& state) {
    const int workers = static_cast<int>(state.range(0));
    for (auto _ : state) {
        build_icon_atlas(workers);
        build_logo_image(workers);
        build_font_atlas(workers);
    }
}
BENCHMARK(BM_AllArtWarm)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

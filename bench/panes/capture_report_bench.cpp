#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "panes/popups/capture_output.h"
#include "panes/popups/report_views.h"
#include "platform/paths.h"
#include "platform/services.h"

// Targets: showing a parse row whose sections hold 10,000 lines within
// 10 ms; saving a 1280 x 800 screenshot within 100 ms (the PNG encoder
// alone takes about a third of that).

namespace {

std::unique_ptr<AppContext> built_context() {
    std::unique_ptr<AppContext> app = make_app_context();
    build_user_interface(*app);
    return app;
}

// Two rows; each section of row 0 holds about 10,000 / 7 lines.
void long_report(ParseReport& r) {
    r.row_count = 2;
    r.kinds = {REPORT_ROW_SCRIPT, REPORT_ROW_SCRIPT};
    r.names = {"long.vrek", "short.vrek"};
    r.records.resize(2);
    r.section_lines.resize(2);
    for (size_t k = 0; k < SECTION_COUNT; ++k) {
        std::vector<std::string>& lines = r.section_lines[0][k];
        lines.push_back("\t Section: [1428]");
        for (int i = 0; i < 10'000 / 7; ++i) lines.push_back("INT parameter_" + std::to_string(i) + " = 42;");
        r.section_lines[1][k] = {"\t Section: [0]"};
    }
}

// The one-line row first, so that the long row is shown anew each time.
void BM_ShowShortThenLongParseRow(benchmark::State& state) {
    std::unique_ptr<AppContext> app = built_context();
    long_report(app->parse_report);
    build_parse_report_rows(*app);
    for (auto _ : state) {
        show_parse_report_sections(*app, 1);
        show_parse_report_sections(*app, 0);
        benchmark::DoNotOptimize(app->popup_contents.parse.section_texts[0].text_height);
    }
}
BENCHMARK(BM_ShowShortThenLongParseRow)->Unit(benchmark::kMillisecond);

void BM_SaveScreenshot1280x800(benchmark::State& state) {
    std::unique_ptr<AppContext> app = built_context();
    char dir[] = "/tmp/vk_capture_bench_XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temporary directory");
        return;
    }
    workspace_path = std::string(dir) + "/";
    app->services.save_image = platform_save_png;
    CaptureSettings& c = app->capture;
    c.screenshot_width = 1280, c.screenshot_height = 800;
    c.screenshot_pixels.resize(4u * 1280 * 800);
    // A rendered interface: flat areas with some detail.
    for (size_t i = 0; i < c.screenshot_pixels.size(); ++i)
        c.screenshot_pixels[i] = static_cast<uint8_t>((i / 4) % 1280 < 256 ? (i * 13) >> 7 : 200 + (i & 3));
    // A capture never replaces a file: each round writes the name afresh.
    const std::string written = workspace_path + c.screenshot_name + ".png";
    for (auto _ : state) {
        save_application_screenshot(*app);
        state.PauseTiming();
        std::filesystem::remove(written);
        state.ResumeTiming();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveScreenshot1280x800)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

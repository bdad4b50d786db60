// Home and End on a browser of 10,000 entries: each is the result of 10,001
// single steps, which would scan the rows about 10^8 times.
#include <benchmark/benchmark.h>

#include <memory>
#include <numeric>

#include "context/app_context.h"
#include "panes/browser/browser_selection.h"

namespace {

constexpr int kEntries = 10000;

std::unique_ptr<AppContext> browser_of(int n) {
    std::unique_ptr<AppContext> app = make_app_context();
    FileBrowserState& b = app->file_browser_state;
    b.browser_row_order.resize(n);
    std::iota(b.browser_row_order.rbegin(), b.browser_row_order.rend(), 0);
    b.browser_selection.bits.assign(n, 0);
    b.browser_list_content_height = n * app->ui_metrics.row_height;
    app->browser_list_frame.height = 320;
    app->browser_rows.resize(n);
    return app;
}

void BM_FirstAndLast(benchmark::State& state) {
    std::unique_ptr<AppContext> app = browser_of(kEntries);
    for (auto _ : state) {
        file_browser_select_last(*app);
        file_browser_select_first(*app);
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_FirstAndLast)->Unit(benchmark::kMicrosecond);

void BM_PageDown(benchmark::State& state) {
    std::unique_ptr<AppContext> app = browser_of(kEntries);
    for (auto _ : state) {
        file_browser_page_down(*app);
        if (app->file_browser_state.browser_list_scroll >= 1.0) file_browser_select_first(*app);
    }
}
BENCHMARK(BM_PageDown)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

// The inline file browser over a directory of 10,000 scripts: the whole
// listing (the "ls" child, parse, sort, path bar and rows) followed by one
// column-head sort, and each stage alone.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "context/current_environment.h"
#include "panes/browser/browser_sort.h"
#include "panes/browser/directory_listing.h"
#include "platform/process.h"

namespace {

constexpr int file_count = 10000;

// A directory of file_count scripts of varied sizes, removed at exit.
struct ScriptDirectory {
    std::string path;
    ScriptDirectory() {
        char pattern[] = "/tmp/vk_browser_bench_XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        path = std::string(pattern) + "/";
        std::string body;
        for (int i = 0; i < file_count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "Script %05d.vrek", (i * 7919) % file_count);
            if (FILE* f = std::fopen((path + name).c_str(), "w")) {
                body.assign(static_cast<size_t>(i % 97), 'x');
                std::fputs(body.c_str(), f);
                std::fclose(f);
            }
        }
    }
    ~ScriptDirectory() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
};

ScriptDirectory& scripts() {
    static ScriptDirectory directory;
    return directory;
}

const std::string& listing_text() {
    static const std::string text = run_process_capture("ls", listing_arguments(scripts().path));
    return text;
}

std::string canned_listing(const std::string&, const std::vector<std::string>&) { return listing_text(); }

// browser_sort prints one diagnostic line per call; keep it out of the
// report.
struct QuietStdout {
    int saved = dup(1);
    QuietStdout() {
        std::fflush(stdout);
        FILE* null = std::fopen("/dev/null", "w");
        if (null) {
            dup2(fileno(null), 1);
            std::fclose(null);
        }
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(saved, 1);
        close(saved);
    }
};

void BM_ListDirectoryThenSort(benchmark::State& state) {
    std::unique_ptr<AppContext> app = make_app_context();
    app->file_browser_state.browser_purpose = BROWSER_OPEN_SCRIPT;
    set_listing_runner(nullptr);
    listing_text();
    QuietStdout quiet;
    for (auto _ : state) {
        list_directory(*app, scripts().path);
        browser_sort(*app, SORT_SIZE);
    }
    if (app->file_browser_state.browser_entries.count() != file_count) state.SkipWithError("short listing");
}
BENCHMARK(BM_ListDirectoryThenSort)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LsChild(benchmark::State& state) {
    listing_text();
    for (auto _ : state) benchmark::DoNotOptimize(run_process_capture("ls", listing_arguments(scripts().path)));
}
BENCHMARK(BM_LsChild)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ParseListing(benchmark::State& state) {
    const std::string& text = listing_text();
    for (auto _ : state) benchmark::DoNotOptimize(parse_ls_listing(text, BROWSER_OPEN_SCRIPT));
}
BENCHMARK(BM_ParseListing)->Unit(benchmark::kMillisecond);

void BM_SortRows(benchmark::State& state) {
    FileBrowserState browser;
    browser.browser_entries = parse_ls_listing(listing_text(), BROWSER_OPEN_SCRIPT);
    std::vector<int32_t> listing_order(browser.browser_entries.count());
    for (size_t i = 0; i < listing_order.size(); ++i) listing_order[i] = static_cast<int32_t>(i);
    browser.browser_sort_key = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        browser.browser_row_order = listing_order;
        sort_browser_rows(browser);
    }
}
BENCHMARK(BM_SortRows)->Arg(SORT_TYPE)->Arg(SORT_NAME)->Arg(SORT_SIZE)->Arg(SORT_DATE)->Unit(benchmark::kMillisecond);

// Canned text: parse, sort, path bar and rows without the child; less the
// parse, this is the row build.
void BM_ListCanned(benchmark::State& state) {
    std::unique_ptr<AppContext> app = make_app_context();
    app->file_browser_state.browser_purpose = BROWSER_OPEN_SCRIPT;
    listing_text();
    set_listing_runner(canned_listing);
    for (auto _ : state) list_directory(*app, scripts().path);
    set_listing_runner(nullptr);
}
BENCHMARK(BM_ListCanned)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

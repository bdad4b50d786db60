#include "panes/browser/browser_sort.h"

#include <algorithm>
#include <cstdio>

#include "context/current_environment.h"
#include "panes/browser/browser_rows.h"

namespace {

const char* const sort_key_names[4] = {"TYPE", "NAME", "SIZE", "DATE"};

bool rows_in_range(const FileBrowserState& browser) {
    const size_t n = browser.browser_entries.count();
    for (int32_t e : browser.browser_row_order)
        if (e < 0 || static_cast<size_t>(e) >= n) return false;
    const BrowserListing& l = browser.browser_entries;
    return l.kinds.size() == n && l.sort_names.size() == n && l.sizes.size() == n && l.dates.size() == n &&
           l.times.size() == n;
}

void sort_thunk(int32_t key) {
    if (AppContext* app = app_instance) browser_sort(*app, key);
}

}  // namespace

bool browser_entry_before(const BrowserListing& l, int32_t key, int32_t a, int32_t b) {
    const size_t i = static_cast<size_t>(a), j = static_cast<size_t>(b);
    switch (key) {
        case SORT_TYPE:
            if (l.kinds[i] != l.kinds[j]) return l.kinds[i] < l.kinds[j];
            return l.sort_names[i] < l.sort_names[j];
        case SORT_NAME:
            return l.sort_names[i] < l.sort_names[j];
        case SORT_SIZE:
            return l.sizes[i] < l.sizes[j];
        case SORT_DATE:
            if (l.dates[i] != l.dates[j]) return l.dates[i] < l.dates[j];
            return l.times[i] < l.times[j];
        default:
            return false;
    }
}

void sort_browser_rows(FileBrowserState& browser) {
    if (!rows_in_range(browser)) return;
    const BrowserListing& l = browser.browser_entries;
    const int32_t key = browser.browser_sort_key;
    if (browser.browser_sort_ascending) {
        std::stable_sort(browser.browser_row_order.begin(), browser.browser_row_order.end(),
                         [&](int32_t a, int32_t b) { return browser_entry_before(l, key, a, b); });
    } else {
        std::stable_sort(browser.browser_row_order.begin(), browser.browser_row_order.end(),
                         [&](int32_t a, int32_t b) { return browser_entry_before(l, key, b, a); });
    }
}

void browser_sort(AppContext& app, int32_t key) {
    if (key < SORT_TYPE || key > SORT_DATE) return;
    FileBrowserState& b = app.file_browser_state;
    if (key != b.browser_sort_key) {
        b.browser_sort_key = key;
    } else {
        b.browser_sort_ascending = b.browser_sort_ascending ? 0 : 1;
    }
    std::printf("SORTING-FILES-BY:%s\n", sort_key_names[key]);
    std::fflush(stdout);
    sort_browser_rows(b);
    for (size_t r = 0; r < b.browser_row_order.size(); ++r) label_browser_row(app, r);
    refresh_root(app);
}

void on_browser_sort_by_type() { sort_thunk(SORT_TYPE); }
void on_browser_sort_by_name() { sort_thunk(SORT_NAME); }
void on_browser_sort_by_size() { sort_thunk(SORT_SIZE); }
void on_browser_sort_by_date() { sort_thunk(SORT_DATE); }

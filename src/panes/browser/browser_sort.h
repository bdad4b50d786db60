#pragma once
#include <cstdint>

#include "context/app_context.h"

// Ordering of the browser's rows. Sorting never moves the entry tables: it
// reorders browser_row_order (display position to entry) and re-labels the
// rows.

// Whether entry a comes before entry b in ascending order of `key`.
bool browser_entry_before(const BrowserListing& listing, int32_t key, int32_t a, int32_t b);

// Stable sort of the row order by the browser's key and direction; entries
// that compare equal keep their relative order. Nothing printed.
void sort_browser_rows(FileBrowserState& browser);

// A column head: a new key keeps the direction, the current key flips it.
// Prints "SORTING-FILES-BY:<key>", sorts, re-labels the rows (the selection
// follows its entry) and refreshes the tree.
void browser_sort(AppContext& app, int32_t key);

// Bound to the column heads "T", "Name", "Size" and "Date-Modified".
void on_browser_sort_by_type();
void on_browser_sort_by_name();
void on_browser_sort_by_size();
void on_browser_sort_by_date();

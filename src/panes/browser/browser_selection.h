#pragma once

struct AppContext;

// Moving the file browser's single selection with the keyboard. The
// selection lives in the browser's tables (bits per entry, rows in display
// order); the row widgets' check marks follow it. After every move the
// target row is scrolled into view (centred) when the list overflows.

// One row: from nothing, row 0 is selected; from one selected row, its
// neighbour (nothing moves at either end); from several, only the first
// stays. No refresh.
void file_browser_select_previous(AppContext& app);
void file_browser_select_next(AppContext& app);
// As many single steps as whole rows fit the view, then a refresh.
void file_browser_page_up(AppContext& app);
void file_browser_page_down(AppContext& app);
// The result of n + 1 single steps (n rows) in one pass, then a refresh.
void file_browser_select_first(AppContext& app);
void file_browser_select_last(AppContext& app);

// No entry selected, no row marked.
void clear_file_selection(AppContext& app);
// The browser's select-none button: clears and refreshes.
void on_click_clear_file_selection();

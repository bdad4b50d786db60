#pragma once
#include <cstdint>

struct AppContext;
struct Element;

// The hint bar that follows the pointer, and the parse-report pane's entity
// rows and section view.

// The element whose tips the hint bar showed last (null: none). Only
// compared, never read through.
extern const Element* last_tooltip_element;

// Copies the tips of tooltip_element into HINTBAR, or hides HINTBAR when the
// pointer is over no element with tips. Does nothing while the element is
// the one shown last.
void update_tooltip_panel(AppContext& app);

// Places the hint bar's leading cells: the inspector's mode cell while the
// bar reads out a pick in a mode other than none, then the icon, then the
// two texts (their margin leaves room for the icon when there is one).
void place_hint_cells(AppContext& app);

// Shows report row `row` in the section view: the title label gets its
// name, the seven heading and text blocks its section lines (the first line
// of a list is its heading). The previously selected row keeps the view's
// scroll fractions, and `row` gets its own back. Rows out of range do
// nothing.
void show_parse_report_sections(AppContext& app, int32_t row);

// Replaces the pane's entity rows with one per report row and shows row 0
// with its sections and the view at the top.
void build_parse_report_rows(AppContext& app);

// A row's click: the hovered row of the published context.
void on_click_parse_report_row();

// Puts the hint-bar state back as at load. For tests.
void reset_tooltip_panel_for_tests();

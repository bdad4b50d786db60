#pragma once

struct AppContext;

// The profiling viewer (PROFILEPANE): one row for the selected entity, and
// for a parallel entity one more per element, beside the chosen row's
// report. Opening while it is open rebuilds it and closes it; an entity
// without profiling data gets the information box instead.
void open_ppd_view(AppContext& app);
// The inspector's "PPD" button and the row list's click, on the published
// context.
void on_ppd_view_button();
void on_ppd_row_click();

#pragma once

#include "context/app_context.h"

// What the browser's confirm button and the Enter key do, and how the
// open-script and export-location actions choose between the inline browser
// and the native dialogs (with both on, Shift picks the native one).

// The confirm button: one selected readable directory is entered; otherwise
// the purpose's rule accepts the selection and hands it on, or a warning
// leaves everything as it was.
void browser_confirm(AppContext& app);
// Enter: the top-most pane that takes a confirmation gets it.
void confirm_active_pane(AppContext& app);
void open_script_action(AppContext& app);
void open_export_location_action(AppContext& app);

// Bound callbacks on the published context.
void on_browser_confirm_button();
void browser_confirm_thunk();
void on_open_script_button();
void on_toolbar_open_script();
void on_export_location_button();

#pragma once
#include "app/app_hooks.h"

// Recording stand-ins for the pane operations that the pipeline calls
// through the context's hooks. Each appends one entry to standin_call_log():
// the operation's name, then ": " and its arguments where it has any
// ("set_entity_row_label: 2|<text>", "app_apply_display_options: 1280x800").
// The real panes replace them one by one; popups and message boxes are real
// (install_popup_operations).

// Fills every pane slot of the table with its stand-in.
void install_pane_standins(AppHooks& hooks);


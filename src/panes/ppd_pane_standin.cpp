#include "panes/ppd_pane_standin.h"

#include "app/app_hooks.h"

void toggle_ppd_index_column() { record_standin_call("toggle_ppd_index_column"); }

#include "panes/capture_standins.h"

#include "app/app_hooks.h"

void on_click_clear_file_selection() { record_standin_call("on_click_clear_file_selection"); }

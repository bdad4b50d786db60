#include "panes/capture_standins.h"

#include "app/app_hooks.h"

void on_click_capture() { record_standin_call("on_click_capture"); }

void on_click_snapshot() { record_standin_call("on_click_snapshot"); }

void on_click_clear_file_selection() { record_standin_call("on_click_clear_file_selection"); }

void save_environment_snapshot(AppContext&) { record_standin_call("save_environment_snapshot"); }
void save_application_screenshot(AppContext&) { record_standin_call("save_application_screenshot"); }

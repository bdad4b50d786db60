#include "panes/capture_standins.h"

#include "app/app_hooks.h"

void on_click_capture() { record_standin_call("on_click_capture"); }

void on_click_snapshot() { record_standin_call("on_click_snapshot"); }

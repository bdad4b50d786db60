#include "panes/floating_bar_standins.h"

#include "app/app_hooks.h"

void on_click_apply_variant() { record_standin_call("on_click_apply_variant"); }

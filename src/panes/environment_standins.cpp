#include "panes/environment_standins.h"

#include "app/app_hooks.h"

void on_click_add_environment() { record_standin_call("on_click_add_environment"); }

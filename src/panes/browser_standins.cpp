#include "panes/browser_standins.h"

#include "app/app_hooks.h"

void on_toolbar_open_script() { record_standin_call("on_toolbar_open_script"); }

void on_open_script_button() { record_standin_call("on_open_script_button"); }

void on_browser_home_button() { record_standin_call("on_browser_home_button"); }

void on_browser_refresh_button() { record_standin_call("on_browser_refresh_button"); }

void on_browser_select_all_button() { record_standin_call("on_browser_select_all_button"); }

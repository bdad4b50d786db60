#include "panes/export_standins.h"

#include "app/app_hooks.h"

void on_click_export_tool() { record_standin_call("on_click_export_tool"); }

void on_click_open_export_dialog() { record_standin_call("on_click_open_export_dialog"); }

void on_click_assemble() { record_standin_call("on_click_assemble"); }

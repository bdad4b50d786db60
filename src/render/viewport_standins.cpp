#include "render/viewport_standins.h"

#include "app/app_hooks.h"

void on_viewport_split_x() { record_standin_call("on_viewport_split_x"); }

void on_viewport_split_y() { record_standin_call("on_viewport_split_y"); }

void on_viewport_close_cell() { record_standin_call("on_viewport_close_cell"); }

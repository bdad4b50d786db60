#include "panes/floating_bar_standins.h"

#include "app/app_hooks.h"

void set_pick_mode_none() { record_standin_call("set_pick_mode_none"); }
void set_pick_mode_triangle() { record_standin_call("set_pick_mode_triangle"); }
void set_pick_mode_polygon() { record_standin_call("set_pick_mode_polygon"); }
void set_pick_mode_gouraud_group() { record_standin_call("set_pick_mode_gouraud_group"); }
void set_pick_mode_operand() { record_standin_call("set_pick_mode_operand"); }
void set_pick_mode_entity() { record_standin_call("set_pick_mode_entity"); }
void set_pick_mode_user_defined() { record_standin_call("set_pick_mode_user_defined"); }
void sync_cores_field() { record_standin_call("sync_cores_field"); }
void commit_cores_field() { record_standin_call("commit_cores_field"); }
void on_click_apply_variant() { record_standin_call("on_click_apply_variant"); }
void toggle_camera_directives_and_relayout() { record_standin_call("toggle_camera_directives_and_relayout"); }

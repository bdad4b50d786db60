#pragma once

// Recording stand-ins for the floating bars' callbacks whose own code lives
// with the menus, the settings fields and the parameter editing. Each
// appends its own name to standin_call_log().

// Pick keys of the low-level mesh inspector strip.
void set_pick_mode_none();
void set_pick_mode_triangle();
void set_pick_mode_polygon();
void set_pick_mode_gouraud_group();
void set_pick_mode_operand();
void set_pick_mode_entity();
void set_pick_mode_user_defined();
// The cores field of the parallel-flags strip.
void sync_cores_field();
void commit_cores_field();
// The variant list and the camera-directive handle.
void on_click_apply_variant();
void toggle_camera_directives_and_relayout();

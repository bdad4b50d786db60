#pragma once

// Recording stand-ins until the transform-field and parameter-pane actions
// land. Each logs its own name; the slider ones add ": <fraction>".

// Enter and Escape of the ten transform fields, in field order:
// translation x y z, uniform scale, scale x y z, rotation x y z.
extern void (*const transform_commit_actions[10])();
extern void (*const transform_sync_actions[10])();

void on_parameter_row_click();
void on_parallel_parameter_row_click();
void commit_parameter_field();
void commit_parallel_parameter_field();
void sync_parameter_field();
void sync_parallel_parameter_field();
void on_parameter_slider_changed(double fraction);
void on_parallel_parameter_slider_changed(double fraction);
void on_parameter_slider_released();
void on_parallel_parameter_slider_released();

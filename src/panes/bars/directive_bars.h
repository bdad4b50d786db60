#pragma once

struct AppContext;

// The bars built from the entities' directive lines, rebuilt whenever the
// set of entities changes, always in this order: camera-directive buttons,
// variant rows, then the animation count.

// Collects the camera directives of the current environment into the
// directive table and rebuilds one preview button per directive.
void build_camera_directive_rows(AppContext& app);
// One preview button per entry of the directive table, placed by the
// rule below.
void make_camera_directive_buttons(AppContext& app);
// Places the directive buttons: layout 1 one column of 96-pixel squares,
// layout 2 two columns of 48-pixel squares; any other layout does nothing.
void layout_camera_directive_buttons(AppContext& app);
// Collects the parametric variants into the variant table and rebuilds one
// text row per variant.
void build_variant_rows(AppContext& app);
// Counts the "#ANIM" lines and shows the animator bar when there is one.
void count_animation_directives(AppContext& app);

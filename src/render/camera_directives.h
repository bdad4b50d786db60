#pragma once
#include <cstdint>

// Placing the camera in one step: the six preset views of the view menu and
// the scripts' "#CAM"/"#VIEW" camera directives, given in the declaring
// entity's own coordinates.

struct AppContext;

// In object-orbit only the orbit angles change, in free-roam and
// first-person only the viewing direction (the eye stays).
void view_top(AppContext& app);
void view_base(AppContext& app);
void view_left(AppContext& app);
void view_right(AppContext& app);
void view_front(AppContext& app);
void view_back(AppContext& app);

// Places the live camera at directive k: its eye and look-at, transformed by
// the declaring entity when that entity is still in the current set, else in
// world coordinates. Out-of-range k changes nothing.
void apply_camera_directive_pose(AppContext& app, int32_t k);
// The directive rows' click (the hovered row's index; nothing while the
// camera is locked) and the bar's previous and next buttons. The variants
// without a context act on the published one.
void apply_clicked_camera_directive(AppContext& app);
void apply_previous_camera_directive(AppContext& app);
void apply_next_camera_directive(AppContext& app);
void apply_clicked_camera_directive();
void apply_previous_camera_directive();
void apply_next_camera_directive();

#include "panes/side_pane_operations.h"

#include "app/app_hooks.h"
#include "panes/directive_bars.h"
#include "panes/window_status.h"

void install_side_pane_operations(AppHooks& hooks) {
    hooks.refresh_mesh_statistics = refresh_mesh_statistics;
    hooks.update_window_status = update_window_status;
    hooks.build_camera_directive_rows = build_camera_directive_rows;
    hooks.build_variant_rows = build_variant_rows;
    hooks.count_animation_directives = count_animation_directives;
}

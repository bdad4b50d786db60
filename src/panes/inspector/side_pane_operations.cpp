#include "panes/inspector/side_pane_operations.h"

#include "context/app_context.h"
#include "context/app_hooks.h"
#include "context/entity_carry_over.h"
#include "panes/bars/directive_bars.h"
#include "panes/inspector/entity_inspector.h"
#include "panes/inspector/entity_lists.h"
#include "panes/inspector/entity_operations.h"
#include "panes/inspector/parameter_actions.h"
#include "panes/inspector/parameter_pane.h"
#include "panes/inspector/ppd_viewer.h"
#include "panes/bars/window_status.h"

void install_side_pane_operations(AppHooks& hooks) {
    hooks.refresh_mesh_statistics = refresh_mesh_statistics;
    hooks.update_window_status = update_window_status;
    hooks.rebuild_entity_rows = rebuild_entity_rows;
    hooks.rebuild_parameter_rows = rebuild_parameter_rows;
    hooks.refresh_entity_inspector = refresh_entity_inspector;
    hooks.rebuild_parameter_pane = rebuild_parameter_pane;
    hooks.set_entity_row_label = set_entity_row_label;
    hooks.set_parameter_row_label = set_parameter_row_label;
    hooks.build_camera_directive_rows = build_camera_directive_rows;
    hooks.build_variant_rows = build_variant_rows;
    hooks.count_animation_directives = count_animation_directives;
    hooks.merge_entity_display_flags = merge_entity_display_flags;
    hooks.set_parameter_field = set_parameter_field;
    hooks.set_parameter_slider = set_parameter_slider;
    hooks.build_colour_ramp = build_colour_ramp;
}

void bind_side_pane_callbacks(AppContext& app) { app.entity_ppd_button.click_handler = on_ppd_view_button; }

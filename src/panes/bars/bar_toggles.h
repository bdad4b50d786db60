#pragma once
#include <cstdint>

struct AppContext;

// Toggle buttons of the bars: each flips one byte of application or entity
// state, mirrors it into the button's check mark and refreshes the panes.

void request_redraw_and_refresh(AppContext& app);
void request_camera_directive_sync(AppContext& app);
void toggle_root_camera_directive_mode(AppContext& app);
void toggle_camera_directive_auto_sync(AppContext& app);
void toggle_camera_directive_animation(AppContext& app);
void toggle_goto_camera_directive(AppContext& app);
void toggle_parallel_multi_core(AppContext& app);
void toggle_parallel_reassembly_culling(AppContext& app);
void toggle_parallel_invocation_groups(AppContext& app);
void toggle_parallel_ccpp(AppContext& app);
void toggle_parallel_preemptive_optimisation(AppContext& app);
void toggle_camera_lock(AppContext& app);
void toggle_variant_bar_highlight(AppContext& app);
void toggle_help_hover_tips(AppContext& app);
void toggle_ppd_index_column(AppContext& app);
// The profiling pane's index button: the same toggle on the running context.
void toggle_ppd_index_column();

// Showing one strip always hides the other.
void toggle_llmi_key_strip(AppContext& app);
void toggle_parallel_flags_strip(AppContext& app);

// The camera-directive buttons as a list (1) or a two-column grid (2).
void toggle_camera_directive_button_layout(AppContext& app);


// Parameter modes of the selected entity; immediate and multi-edit exclude
// each other. Nothing happens without a selected entity.
void toggle_parameter_auto_sync(AppContext& app);
void toggle_parameter_immediate_mode(AppContext& app);
void toggle_parameter_multi_edit_mode(AppContext& app);

// The export file-name field's key and Enter callbacks.
bool on_export_name_typed(AppContext& app);
void on_export_name_enter(AppContext& app);

// A menu item whose value is edited next to it.
void ignore_menu_item_click();

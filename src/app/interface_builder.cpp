#include "app/interface_builder.h"

#include <cstdio>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_menus.h"
#include "art/typeface.h"
#include "context/console_lines.h"
#include "panes/console/console_panes.h"
#include "panes/layout/display_options.h"
#include "panes/environments/environments.h"
#include "panes/popups/popups.h"
#include "panes/popups/report_views.h"
#include "panes/inspector/side_pane_operations.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "render/scene_actions.h"
#include "render/status_line.h"
#include "text/text_utils.h"

int64_t build_startup_state(AppContext& app) {
    app.camera.key_states.fill(0);

    PathCopies& paths = app.path_copies;
    paths.kernel_path_text = kernel_path;
    paths.workspace_path_text = workspace_path;
    paths.kernel_status_text = kernel_path_status;
    paths.workspace_status_text = workspace_path_status;

    app.export_settings.export_name = "environment";
    app.export_settings.export_directory = workspace_path;

    const Typeface& console_face = typefaces[3];
    app.ui_metrics.pane_glyph_widths.assign(std::begin(console_face.glyph_widths),
                                               std::end(console_face.glyph_widths));
    app.ui_metrics.console_line_height = static_cast<int32_t>(typeface_line_heights[3]);

    const int64_t start = app_start_ms;
    add_startup_environment(app);

    const int64_t elapsed = now_ms() - start;
    const std::string ms = long_to_text(elapsed);
    const std::string line = "ICN+SDF+VTX=[" + ms + " ms]\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    append_console_line(app, " ", false);
    append_console_line(app, "Initialisation-Time : " + ms + " ms", false);

    if (kernel_path_state == PATH_VALID && workspace_path_state == PATH_VALID && !interactive_config_flag)
        app.frame.startup_mode = 0;
    return elapsed;
}

// The tab strip, the bars and the menus, then the popup frames the popup
// stage fills.
void build_bars_and_menus(AppContext& a) {
    build_environment_tabs(a);
    build_tab_tip_and_tool_bars(a);
    build_menu_bar_buttons(a);
    build_view_menu_stage(a);
    build_colour_and_slider_bars(a);
    build_settings_menu_stage(a);
    build_popup_frames(a);
}

// The remaining popup contents arrive with their panes.
void build_popup_panes(AppContext& app) {
    build_run_and_confirm_panes(app);
    build_report_and_capture_panes(app);
    build_export_pane(app);
    build_about_help_and_message_bodies(app);
}

void build_user_interface(AppContext& app) {
    install_popup_operations(app.hooks);
    install_console_pane_operations(app.hooks);
    app.hooks.build_parse_report_rows = build_parse_report_rows;
    install_side_pane_operations(app.hooks);
    install_display_hooks(app.hooks);
    app.hooks.recolour_entity = recolour_entity;
    install_status_line_hooks(app.hooks);
    build_startup_state(app);
    build_window_frame(app);
    build_console_panes(app);
    build_entity_inspector(app);
    build_parameter_pane(app);
    build_bars_and_menus(app);
    build_floating_bars(app);
    build_popup_panes(app);
    build_file_panes(app);
    build_minimal_bar_and_bindings(app);
    bind_side_pane_callbacks(app);
}

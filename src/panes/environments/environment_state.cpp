#include "panes/environments/environment_state.h"

#include <algorithm>

#include "context/app_context.h"
#include "context/console_lines.h"
#include "panes/console/console_panes.h"
#include "panes/layout/display_options.h"
#include "panes/menus/interface_themes.h"
#include "panes/layout/layout_mode_flags.h"
#include "panes/menus/menu_bars.h"
#include "panes/menus/pick_modes.h"
#include "panes/popups/export_dialog.h"
#include "panes/popups/report_views.h"
#include "panes/menus/settings_menu_actions.h"
#include "context/trace_channels.h"
#include "panes/bars/window_status.h"
#include "platform/paths.h"
#include "model/camera.h"
#include "render/scene_actions.h"
#include "text/text_utils.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

constexpr size_t kState = CAMERA_STATE_SIZE;

// camera_directive_buttons, in the bar's order.
enum DirectiveButton : size_t { CD_AUTO_SYNC = 1, CD_ROOT_MODE = 4, CD_LAYOUT = 5, CD_ANIMATE = 6, CD_GOTO = 7 };

// Replays the stored splits on one cell. A split the viewport refuses (a
// cell beyond the count) is dropped from the record, so that split ids and
// record positions keep matching. Then exactly one camera state per cell:
// extra states dropped, missing ones copied from cell 0's.
void rebuild_cells(Viewport& vp, const EnvironmentViewState& v) {
    vp.recorded_split_count = 0;
    vp.recorded_cells.clear();
    vp.recorded_axes.clear();
    vp.recorded_ratios.clear();
    vp.rebuild_from_record();
    const size_t n = std::min({static_cast<size_t>(std::max(v.viewport_split_count, 0)), v.viewport_split_cells.size(),
                               v.viewport_split_axes.size(), v.viewport_split_ratios.size()});
    for (size_t j = 0; j < n; ++j) {
        const int32_t before = vp.cell_count;
        vp.split_cell(v.viewport_split_cells[j], v.viewport_split_axes[j], false, false, v.viewport_split_ratios[j]);
        if (vp.cell_count == before) continue;
        vp.recorded_cells.push_back(v.viewport_split_cells[j]);
        vp.recorded_axes.push_back(v.viewport_split_axes[j]);
        vp.recorded_ratios.push_back(v.viewport_split_ratios[j]);
        ++vp.recorded_split_count;
    }
    vp.layout_cells();

    std::vector<double> first(initial_camera_state.begin(), initial_camera_state.end());
    if (v.cell_camera_states.size() >= kState)
        first.assign(v.cell_camera_states.begin(), v.cell_camera_states.begin() + static_cast<std::ptrdiff_t>(kState));
    const size_t cells = static_cast<size_t>(vp.cell_count);
    const size_t whole = std::min(v.cell_camera_states.size() / kState, cells);
    vp.cell_cameras.assign(v.cell_camera_states.begin(),
                           v.cell_camera_states.begin() + static_cast<std::ptrdiff_t>(whole * kState));
    for (size_t k = whole; k < cells; ++k) vp.cell_cameras.insert(vp.cell_cameras.end(), first.begin(), first.end());
    vp.current_cell = v.viewport_cell_index >= 0 && v.viewport_cell_index < vp.cell_count ? v.viewport_cell_index : 0;
}

void click(Element& button) {
    if (button.click_handler) button.click_handler();
}

// The toggle inverts its flag and marks its button: inverting the flag
// first leaves the restored value and a marked button.
void replay_toggle(AppContext& app, uint8_t& flag, void (*toggle)(AppContext&)) {
    flag = flag ? 0 : 1;
    toggle(app);
}

void mark_menu_buttons(AppContext& app) {
    MenuTables& m = app.menu_tables;
    for (size_t k = 0; k < m.view_menu_check_states.size(); ++k) {
        auto& buttons = app.view_menu_item_buttons[k];
        for (size_t i = 0; i < buttons.size() && i < m.view_menu_check_states[k].size(); ++i)
            buttons[i].selected = m.view_menu_check_states[k][i];
    }
    for (size_t k = 0; k < m.settings_menu_check_states.size(); ++k) {
        auto& buttons = app.settings_menu_item_buttons[k];
        for (size_t i = 0; i < buttons.size() && i < m.settings_menu_check_states[k].size(); ++i)
            buttons[i].selected = m.settings_menu_check_states[k][i];
    }
}

void refresh_panes(AppContext& app) {
    AppHooks& h = app.hooks;
    call_hook(h.update_window_status, app);
    call_hook(h.refresh_mesh_statistics, app);
    call_hook(h.update_attribute_trace, app);
    build_mesh_statistics_text(app);
    refresh_root(app);
    call_hook(h.rebuild_entity_rows, app);
    call_hook(h.rebuild_parameter_rows, app);
    call_hook(h.refresh_entity_inspector, app);
    call_hook(h.rebuild_parameter_pane, app);
    call_hook(h.build_camera_directive_rows, app);
    call_hook(h.build_variant_rows, app);
    call_hook(h.count_animation_directives, app);
    update_layout_mode_flags(app);
}

}  // namespace

void save_environment_state(AppContext& app) {
    Environment* environment = app.entities.current_environment;
    if (environment == nullptr) return;
    save_env_fields(app, environment->view);
    if (app.startup.startup_entity_mesh != nullptr) environment->startup_mesh_visible = app.startup.startup_entity_mesh->visible;
}

void load_environment_ui_state(AppContext& app) {
    Environment* environment = app.entities.current_environment;
    if (environment == nullptr) return;
    EnvironmentViewState& v = environment->view;
    const int32_t live_sort_key = app.file_browser_state.browser_sort_key;
    load_env_fields(v, app);
    // A sort key names a column; an unknown one keeps the live key.
    if (v.browser.browser_sort_key < 0 || v.browser.browser_sort_key > 3) app.file_browser_state.browser_sort_key = live_sort_key;
    if (app.startup.startup_entity_mesh != nullptr) app.startup.startup_entity_mesh->visible = environment->startup_mesh_visible;

    rebuild_cells(app.multi_view_viewport, v);

    const int32_t algorithm = app.io_settings.meshing_algorithm;
    if (algorithm >= 0 && algorithm <= 2) click(app.algorithm_buttons[algorithm]);

    if (app.file_browser_state.browser_directory.empty()) app.file_browser_state.browser_directory = workspace_path;

    replay_toggle(app, app.io_settings.reassembly_culling, toggle_reassembly_culling);
    replay_toggle(app, app.io_settings.assembly_profiling, toggle_assembly_profiling);
    app.help_hover_toggle.background_palette = app.status.hint_bar_shown ? &active_theme.palettes[11] : nullptr;

    // Fields and labels.
    app.frame_rate_field.set_text(int_to_text(app.io_settings.max_frame_rate));
    app.frame_rate_label.visible = app.io_settings.show_frame_rate != 0;
    app.mono_edge_tone_button.set_text(int_to_text(app.tones.mono_edge_tone));
    app.mono_dot_tone_button.set_text(int_to_text(app.tones.mono_dot_tone));
    app.silhouette_tone_button.set_text(int_to_text(app.tones.silhouette_tone));
    app.eye_height_field.set_text(app.tones.eye_height_text);

    show_export_settings(app);

    // Control bars.
    const BarState& b = app.bars;
    app.camera_directive_buttons[CD_ROOT_MODE].selected = b.camera_directive_root_mode != 0;
    app.camera_directive_buttons[CD_AUTO_SYNC].selected = b.camera_directive_auto_sync != 0;
    app.camera_directive_buttons[CD_ANIMATE].selected = b.camera_directive_animate != 0;
    app.camera_directive_buttons[CD_GOTO].selected = b.camera_directive_goto != 0;
    app.camera_directive_buttons[CD_LAYOUT].selected = b.camera_directive_layout == 2;
    app.parallel_flags_button.selected = b.parallel_flags_expanded != 0;
    app.max_cores_field.set_text(int_to_text(b.max_cores));
    const uint8_t parallel[5] = {b.parallel_multi_core, b.parallel_culling, b.parallel_invocation_groups,
                                 b.parallel_ccpp, b.parallel_preemptive};
    for (size_t i = 0; i < 5; ++i) app.parallel_flag_buttons[i].selected = parallel[i] != 0;
    app.ll_inspector_button.selected = b.ll_inspector_expanded != 0;
    const int32_t pick = pick_key_button_index(b.llmi_pick_key);
    for (int32_t i = 0; i < 7; ++i) app.pick_key_buttons[i].selected = i == pick;
    app.llmi_caption.set_text(pick_mode_label(b.llmi_pick_key));
    place_hint_cells(app);

    apply_attribute_trace_face(app);

    // Camera: the controller's slot, home position included.
    CameraState& cam = app.camera;
    if (cam.camera_controller >= 0 && cam.camera_controller <= 2) {
        const CameraSlot& slot = cam.controller_cameras[static_cast<size_t>(cam.camera_controller)];
        cam.live_camera.home_eye = slot.home_eye;
        cam.live_camera.home_look_at = slot.home_look_at;
    }
    cam.live_camera.ground_anchored = cam.camera_controller == CAMERA_FIRST_PERSON;
    update_camera_basis(cam.live_camera);

    refresh_panes(app);

    // Visibility mirrors.
    app.LOCKICON.visible = app.ui_flags.camera_locked != 0;
    app.SLIDERBAR.visible = app.ui_flags.slider_bar_shown != 0;
    app.status_label.visible = app.ui_flags.attribute_trace != 0;
    refresh_root(app);
    const auto& modes = app.menu_tables.colour_function_codes;
    for (size_t i = 0; i < 15; ++i)
        app.colour_function_buttons[i].selected = i < modes.size() && modes[i] == app.render_flags.colour_function;
    call_hook(app.hooks.build_colour_ramp, app);
    InteropMesh* startup_entity_mesh = app.startup.startup_entity_mesh;
    if (startup_entity_mesh != nullptr && startup_entity_mesh->visible && app.entities.startup_entity.visible)
        apply_colour_mode(app, *startup_entity_mesh);

    // Sliders.
    for (size_t i = 0; i < 4 && i < app.slider_value_texts.size(); ++i)
        app.slider_fields[i].set_text(app.slider_value_texts[i]);
    // The LOCK and SLIDERS buttons of the settings bar mark their state.
    app.menubar_indicators[5].visible = app.ui_flags.camera_locked != 0;
    app.menubar_indicators[7].visible = app.ui_flags.slider_bar_shown != 0;

    // An environment never saved takes the menu states the context started with.
    restore_menu_check_states(app, v);
    mark_menu_buttons(app);

    // Re-application.
    if (tooltip_element != nullptr) {
        tooltip_element = nullptr;
        update_tooltip_panel(app);
    }
    app.frame.theme_index = -1;
    // An unknown theme would leave its number live with the old colours.
    if (theme_source_record(v.theme_index) >= 0) apply_ui_theme(app, v.theme_index);
    set_options_menu_shown(app, v.ui_flags.settings_menu_shown != 0);
    app.ui_flags.open_view_menu = -1;
    app.ui_flags.side_pane_index = -1;
    app.ui_flags.open_settings_menu = -1;
    select_settings_menu(app, v.ui_flags.open_settings_menu);
    select_view_menu(app, v.ui_flags.open_view_menu);
    select_side_pane(app, v.ui_flags.side_pane_index);
    select_console_channel(app, environment->trace_log.selected_channel);
    // The console and the traces show this environment's log, not the last.
    refresh_console_text(app);
    for (int32_t channel = TRACE_KERNEL; channel <= TRACE_ERROR; ++channel) refresh_trace_pane(app, channel);

    // Window modes: the flip always re-lays out; the quick-hide setter acts
    // only on a change, so the live flag is inverted first.
    set_v_flip_mode(app, v.ui_flags.v_flip_mode != 0);
    app.ui_flags.ui_hidden = v.ui_flags.ui_hidden ? 0 : 1;
    set_ui_hidden(app, v.ui_flags.ui_hidden != 0);
}

#include "context/app_context.h"

#include <algorithm>

#include "context/current_environment.h"
#include "art/typeface.h"
#include "ui/ui_state.h"

namespace {

std::vector<bool> checked(size_t count, std::initializer_list<size_t> set) {
    std::vector<bool> bits(count, false);
    for (size_t i : set) bits[i] = true;
    return bits;
}

void fill_check_states(MenuTables& menus) {
    menus.view_menu_check_states = {checked(5, {0}),    checked(5, {0}), checked(9, {1, 3}),
                                    checked(3, {0}),    checked(2, {1}), checked(3, {0}),
                                    checked(4, {0, 1, 2}), checked(6, {})};
    menus.settings_menu_check_states = {checked(6, {}),
                                        checked(5, {0, 4}),
                                        checked(7, {1, 2, 3}),
                                        {},
                                        checked(3, {1}),
                                        {},
                                        checked(5, {2}),
                                        {},
                                        checked(12, {0, 1, 2, 3, 4, 5, 11}),
                                        checked(6, {0, 2, 4})};
    menus.view_menu_check_pointers.clear();
    for (std::vector<bool>& bits : menus.view_menu_check_states) menus.view_menu_check_pointers.push_back(&bits);
    menus.settings_menu_check_pointers.clear();
    for (std::vector<bool>& bits : menus.settings_menu_check_states)
        menus.settings_menu_check_pointers.push_back(&bits);
}

template <typename T>
void visit_widgets(void (*visit)(Element&, void*), void* data, T& widget) {
    visit(widget, data);
}
template <typename T, size_t N>
void visit_widgets(void (*visit)(Element&, void*), void* data, T (&widgets)[N]) {
    for (T& widget : widgets) visit_widgets(visit, data, widget);
}
template <typename First, typename... Rest>
void visit_widgets(void (*visit)(Element&, void*), void* data, First& first, Rest&... rest) {
    visit_widgets(visit, data, first);
    visit_widgets(visit, data, rest...);
}

bool controller_in_range(int32_t controller) { return controller >= 0 && controller < 3; }

}  // namespace

std::unique_ptr<AppContext> make_app_context() { return std::make_unique<AppContext>(AppContext::HeapOnly()); }

AppContext::AppContext(HeapOnly) {
    const Typeface& console_face = typefaces[3];
    ui_metrics.pane_glyph_widths.assign(std::begin(console_face.glyph_widths), std::end(console_face.glyph_widths));
    ui_metrics.console_line_height = static_cast<int32_t>(typeface_line_heights[3]);
    update_camera_basis(camera.live_camera);
    fill_check_states(menu_tables);
    menu_tables.initial_view_menu_states = view_menu_states();
    menu_tables.initial_settings_menu_states = settings_menu_states();
}

AppContext::~AppContext() {
    // The environments first: their records refer to nothing of the widgets.
    EnvironmentList& list = entities.environment_list;
    entities.current_environment = nullptr;
    entities.current_entities = nullptr;
    entities.current_environment_parts = CurrentEnvironmentParts();
    for (Environment& environment : list.environments) environment_destruct(environment);
    list.environment_pointers.clear();
    list.environments.clear();
    list.count = 0;
    // The start-up meshes are the context's own; their GL names die with the
    // GL context, so only the memory is released here.
    free_interop_mesh(startup.startup_entity_mesh);
    startup.startup_entity_mesh = nullptr;
    free_interop_meshes(startup.startup_meshes);
    destroy_entity_record(entities.startup_entity);
    // No global may point at the object or any member once it is gone.
    if (app_instance == this) app_instance = nullptr;
    forget_elements(this, reinterpret_cast<const char*>(this) + sizeof(AppContext));
}

void release_entity_meshes(AppContext& app) {
    for (Environment& environment : app.entities.environment_list.environments) {
        EntitySet& set = environment.entities;
        const size_t live = std::min(set.records.size(), static_cast<size_t>(std::max(set.count, 0)));
        for (size_t i = 0; i < live; ++i) {
            EntityRecord& entity = set.records[i];
            for (EntityRecord*& sub : entity.subelement_records) {
                if (sub) free_interop_mesh(sub->mesh);
                delete sub;
                sub = nullptr;
            }
            entity.subelement_records.clear();
            free_interop_mesh(entity.mesh);
            entity.mesh = nullptr;
        }
    }
}

MenuCheckStates AppContext::view_menu_states() const {
    return MenuCheckStates(menu_tables.view_menu_check_states.begin(), menu_tables.view_menu_check_states.end());
}

MenuCheckStates AppContext::settings_menu_states() const {
    return MenuCheckStates(menu_tables.settings_menu_check_states.begin(),
                           menu_tables.settings_menu_check_states.end());
}

void refresh_root(AppContext& app) { app.refresh(); }

void for_each_context_widget(AppContext& app, void (*visit)(Element& widget, void* data), void* data) {
    AppContext& a = app;
    visit_widgets(visit, data, a.TOOLBAR, a.TIPBAR, a.CONTROLPANE, a.CONTENTPANE, a.MENUBAR, a.STATUSBAR, a.TABBAR,
                  a.SLIDERBAR, a.COLOURBAR, a.canvas_pick_area, a.multi_view_viewport, a.strip_backdrop,
                  a.strip_backdrop_guard, a.hidden_ui_variant_panel, a.controls_toggle, a.parallel_flags_bar,
                  a.camera_directive_bar, a.variant_bar, a.ll_inspector_bar, a.animator_bar, a.MENUNPANE, a.HINTBAR,
                  a.HIDELOGO, a.LOCKICON, a.NORENDER, a.MASKPANE, a.OVERLAY);
    visit_widgets(visit, data, a.BORDER, a.viewport_surface, a.busy_mask, a.busy_indicator, a.small_window_notice,
                  a.small_window_text, a.small_window_icon, a.minimal_mode_button, a.frame_marker,
                  a.frame_rate_label, a.norender_icons, a.message_mask, a.mask_pane_layer, a.centre_cross,
                  a.centre_cross_horizontal, a.centre_cross_vertical, a.configuration_mask, a.configuration_pane,
                  a.configuration_content);
    visit_widgets(visit, data, a.RUNPANE, a.PARSEPANE, a.CAPTUREPANE, a.SCREENSHOTPANE, a.PROFILEPANE,
                  a.DIRECTIVEPANE, a.EXPORTPANE, a.ABOUTPANE, a.HELPPANE, a.INFOPANE, a.ERRORPANE, a.WARNINGPANE,
                  a.CONFIRMPANE, a.OPENPANE, a.LOADPANE, a.FILEPANE, a.TOOLSCROLL, a.TIPSCROLL, a.MENUSCROLL,
                  a.COLOURSCROLL, a.SLIDERSCROLL, a.STATSCROLL, a.TABSCROLL, a.OPEN, a.PARSE, a.ASSEMBLE, a.CAPTURE,
                  a.EXPORT, a.SETTINGS, a.CONSOLE, a.ENTITY, a.PARAMETER, a.ENVIRONMENT, a.ABOUT, a.HELP);
    visit_widgets(visit, data, a.view_menu_buttons, a.settings_menu_buttons, a.toolbar_indicator,
                  a.menubar_indicators, a.CONSOLETRACE, a.ENTITYINSPECTOR, a.PARAMETERCONTROL, a.CONSOLEUPPER,
                  a.CONSOLELOWER, a.ENTITYUPPER, a.ENTITYLOWER, a.PARAMETERUPPER, a.PARAMETERLOWER,
                  a.CONSOLESPLITBAR, a.ENTITYSPLITBAR, a.PARAMETERSPLITBAR);
    visit_widgets(visit, data, a.statistics_shadow_label, a.statistics_label, a.status_label, a.console_scroll,
                  a.console_text, a.console_title, a.trace_tab_strip, a.trace_tabs, a.trace_panes, a.trace_labels);
    visit_widgets(visit, data, a.entity_list_hint, a.entity_list_scroll, a.entity_list, a.entity_header,
                  a.entity_name_label, a.entity_ppd_button, a.entity_inspector_scroll, a.entity_information_area,
                  a.entity_heading_label, a.entity_information_label, a.transform_editor, a.transform_headings,
                  a.transform_reset_buttons, a.uniform_scale_label, a.uniform_scale_field, a.axis_labels,
                  a.translation_fields, a.scale_fields, a.rotation_fields, a.rotation_order_buttons,
                  a.transform_order_buttons);
    visit_widgets(visit, data, a.parameter_list_hint, a.parameter_entity_scroll, a.parameter_entity_list,
                  a.parameter_entity_header, a.parameter_header_row2, a.parameter_entity_caption, a.parameter_entity_name_label,
                  a.parameter_algorithm_label, a.parameter_auto_sync_button, a.parameter_immediate_button,
                  a.parameter_reset_button, a.parameter_variants_button, a.parameter_multi_edit_button,
                  a.parameter_apply_button, a.parameter_list_scroll, a.parameter_list, a.parameter_summary_label);
    visit_widgets(visit, data, a.settings_menu_header, a.settings_menu_columns, a.settings_menu_title,
                  a.settings_menu_title_icon, a.colour_strip_host, a.colour_function_strip,
                  a.colour_function_buttons, a.multichannel_button, a.hue_ramp, a.hue_swatches, a.slider_strip,
                  a.slider_rows, a.slider_fields, a.sliders, a.view_menu_strips, a.view_menu_strip_panes,
                  a.settings_menu_column_panes, a.settings_menu_hosts);
    visit_widgets(visit, data, a.window_width_field, a.window_height_field, a.frame_rate_field,
                  a.mono_edge_tone_button, a.mono_dot_tone_button, a.silhouette_tone_button, a.eye_height_field,
                  a.parallel_strip_view, a.parallel_strip, a.parallel_flags_button, a.parallel_label,
                  a.max_cores_field, a.parallel_flag_buttons, a.camera_directive_centre, a.camera_directive_list,
                  a.camera_directive_marker, a.camera_directive_toggle, a.camera_directive_controls,
                  a.camera_directive_buttons, a.camera_directive_glyphs, a.goto_eye_field, a.goto_target_field,
                  a.goto_field_panel);
    visit_widgets(visit, data, a.variant_bar_header, a.variant_bar_body, a.variant_bar_footer, a.variant_scroll,
                  a.variant_list, a.llmi_strip_view, a.llmi_strip, a.ll_inspector_button, a.llmi_key_label,
                  a.pick_key_buttons, a.llmi_caption);
    visit_widgets(visit, data, a.open_body, a.load_body, a.culling_toggle, a.profiler_toggle,
                  a.algorithm_buttons, a.algorithm_key_hints, a.capability_box, a.description_box, a.mode_group,
                  a.assemble_button, a.parse_entity_scroll, a.parse_section_scroll, a.parse_entity_list,
                  a.parse_section_text, a.ppd_list_button);
    visit_widgets(visit, data, a.snapshot_name_label, a.snapshot_save_button, a.screenshot_name_label,
                  a.screenshot_save_button, a.export_name_field, a.export_option_buttons, a.export_format_buttons,
                  a.browser_home_button, a.browser_mark, a.browser_refresh_button, a.browser_clear_button,
                  a.browser_select_all_button, a.browser_close_button,
                  a.browser_path_frame, a.browser_title_label, a.browser_hint_label, a.browser_directory_label,
                  a.browser_location_label, a.browser_confirm_label, a.browser_path_pieces,
                  a.browser_list_content, a.minimal_layout_bar, a.command_list);
    visit_widgets(visit, data, a.environment_tab_strip, a.environment_preview, a.environment_preview_frame,
                  a.script_placeholder_label, a.tip_menu_title, a.screenshot_preview, a.browser_path_view,
                  a.browser_head_row, a.browser_size_head, a.browser_date_head, a.browser_sort_mark,
                  a.browser_list_frame, a.browser_size_column, a.browser_date_column, a.browser_scroll_track,
                  a.browser_scroll_thumb, a.minimal_tool_row, a.minimal_list_row,
                  a.minimal_title_row, a.minimal_list_scroll, a.side_pane_indicator);
    visit_widgets(visit, data, a.environment_preview_image, a.environment_preview_close, a.tip_menu_icon, a.hint_icon,
                  a.hint_caption, a.hint_text);
    visit_widgets(visit, data, a.message_titles, a.message_texts, a.message_scrolls, a.confirm_title_label,
                  a.confirm_note_label, a.confirm_icon_element, a.confirm_algorithm_bar, a.confirm_choice_buttons,
                  a.confirm_choice_captions, a.confirm_mode_label, a.capability_labels, a.description_labels,
                  a.algorithm_mode_label, a.startup_notice, a.help_hover_toggle);
    visit_widgets(visit, data, a.mode_caption_label, a.export_name_row, a.export_location_row, a.export_name_caption,
                  a.export_location_caption, a.export_name_hint, a.export_location_value, a.export_location_hint,
                  a.export_option_labels, a.export_format_names, a.export_format_checks, a.export_size_label,
                  a.export_button, a.confirm_cancel_button, a.confirm_ok_button, a.confirm_key_labels,
                  a.confirm_choice_hints);
    for (PopupFrame& f : a.popup_frames)
        visit_widgets(visit, data, f.title_bar, f.icon_holder, f.title_icon, f.title_label, f.title_area,
                      f.title_right, f.close_button, f.body, f.footer, f.footer_plain, f.footer_split,
                      f.footer_centre, f.footer_right);
    PopupContentWidgets& pc = a.popup_contents;
    visit_widgets(visit, data, pc.parse.entity_heading, pc.parse.entity_list_frame, pc.parse.script_heading,
                  pc.parse.section_frame, pc.parse.script_name_label, pc.parse.section_rows,
                  pc.parse.section_headings, pc.parse.section_texts, pc.profile.halves_holder, pc.profile.halves,
                  pc.profile.script_line, pc.profile.swatch_strip, pc.profile.clipboard_button,
                  pc.profile.text_file_button, pc.profile.swatches, pc.snapshot_holder, pc.screenshot_holder,
                  pc.snapshot_preview, pc.directive_text, pc.about_lines, pc.help_texts, pc.hover_hints_caption);
    visit_widgets(visit, data, a.about_content, a.open_content, a.load_content, a.popup_watermarks,
                  a.side_pane_indicator_labels, a.minimal_tool_buttons, a.minimal_title, a.minimal_about,
                  a.minimal_help);
    FilePaneWidgets& f = a.file_panes;
    visit_widgets(visit, data, f.open_icons, f.load_logo, f.tool_row, f.tool_spare, f.tool_spare_label, f.type_head,
                  f.name_head, f.name_column, f.list_area, f.heading, f.config_top, f.config_bottom, f.config_logo,
                  f.config_name, f.config_title, f.config_subtitle, f.kernel_box, f.workspace_box,
                  f.kernel_box_labels, f.workspace_box_labels, f.kernel_state_box, f.workspace_state_box,
                  f.kernel_state_label, f.workspace_state_label, f.continue_button);
    visit_widgets(visit, data, a.slider_row_icons);
}

namespace {

// Overwrites each live vector bit by bit, for its own length, when the stored
// copy has one vector per menu.
void overwrite_bits(const MenuCheckStates& stored, std::vector<bool>* live, size_t menus) {
    if (stored.size() != menus) return;
    for (size_t m = 0; m < menus; ++m) {
        const std::vector<bool>& from = stored[m];
        for (size_t i = 0; i < live[m].size() && i < from.size(); ++i) live[m][i] = from[i];
    }
}

}  // namespace

void copy_stored_menu_states(const EnvironmentViewState& stored, AppContext& app) {
    MenuTables& menus = app.menu_tables;
    overwrite_bits(stored.view_menu_check_states, menus.view_menu_check_states.data(), VIEW_MENU_COUNT);
    overwrite_bits(stored.settings_menu_check_states, menus.settings_menu_check_states.data(),
                   SETTINGS_MENU_COUNT);
}

void restore_menu_check_states(AppContext& app, EnvironmentViewState& stored) {
    if (stored.view_menu_check_states.empty())
        stored.view_menu_check_states = app.menu_tables.initial_view_menu_states;
    if (stored.settings_menu_check_states.empty())
        stored.settings_menu_check_states = app.menu_tables.initial_settings_menu_states;
    copy_stored_menu_states(stored, app);
}

void save_env_fields(AppContext& app, EnvironmentViewState& v) {
    CameraState& c = app.camera;
    // The live camera belongs to the active controller's block.
    if (controller_in_range(c.camera_controller))
        store_camera_part(c.live_camera, c.controller_cameras[static_cast<size_t>(c.camera_controller)]);
    v.camera = c;
    v.ui_flags = app.ui_flags;
    v.render_flags = app.render_flags;
    v.io_settings = app.io_settings;
    v.tones = app.tones;
    v.browser = app.file_browser_state;
    v.exports = app.export_settings;
    v.bars = app.bars;

    // What the frame and the widgets hold.
    v.theme_index = app.frame.theme_index;
    v.tooltips_enabled = app.status.hint_bar_shown;
    v.view_menu_check_states = app.view_menu_states();
    v.settings_menu_check_states = app.settings_menu_states();
    v.split_ratios = {app.CONSOLETRACE.ratio, app.ENTITYINSPECTOR.ratio, app.PARAMETERCONTROL.ratio};
    v.slider_texts = app.slider_value_texts;
    v.slider_positions.assign(4, 0.0);
    for (size_t i = 0; i < 4; ++i) v.slider_positions[i] = app.sliders[i].value;

    const Viewport& view = app.multi_view_viewport;
    v.viewport_cell_index = view.current_cell;
    v.cell_camera_states = view.cell_cameras;
    v.viewport_split_count = view.recorded_split_count;
    v.viewport_split_cells = view.recorded_cells;
    v.viewport_split_axes = view.recorded_axes;
    v.viewport_split_ratios = view.recorded_ratios;
}

void load_env_fields(const EnvironmentViewState& v, AppContext& app) {
    CameraState& c = app.camera;
    static_cast<CameraSettings&>(c) = v.camera;
    // The live camera takes the restored controller's block.
    if (controller_in_range(c.camera_controller)) {
        Camera& live = c.live_camera;
        load_camera_part(c.controller_cameras[static_cast<size_t>(c.camera_controller)], live);
        live.ground_anchored = c.camera_controller == CAMERA_FIRST_PERSON;
        update_camera_basis(live);
    }
    static_cast<UiSettings&>(app.ui_flags) = v.ui_flags;
    app.render_flags = v.render_flags;
    app.io_settings = v.io_settings;
    app.io_settings.view_menu_scroll_factors.resize(VIEW_MENU_COUNT, 0.0);
    app.io_settings.settings_menu_scroll_factors.resize(SETTINGS_MENU_COUNT, 0.0);
    app.tones = v.tones;
    static_cast<BrowserSettings&>(app.file_browser_state) = v.browser;
    static_cast<ExportChoices&>(app.export_settings) = v.exports;
    static_cast<BarSettings&>(app.bars) = v.bars;

    app.frame.theme_index = v.theme_index;
    app.status.hint_bar_shown = v.tooltips_enabled;
    copy_stored_menu_states(v, app);
    app.CONSOLETRACE.ratio = v.split_ratios[0];
    app.ENTITYINSPECTOR.ratio = v.split_ratios[1];
    app.PARAMETERCONTROL.ratio = v.split_ratios[2];
    app.slider_value_texts = v.slider_texts;
    for (size_t i = 0; i < 4 && i < v.slider_positions.size(); ++i) app.sliders[i].value = v.slider_positions[i];

    Viewport& view = app.multi_view_viewport;
    // Only the record moves: the caller replays it (rebuild_from_record,
    // layout_cells) to rebuild the cells.
    view.current_cell = v.viewport_cell_index;
    view.cell_cameras = v.cell_camera_states;
    view.recorded_split_count = v.viewport_split_count;
    view.recorded_cells = v.viewport_split_cells;
    view.recorded_axes = v.viewport_split_axes;
    view.recorded_ratios = v.viewport_split_ratios;
}

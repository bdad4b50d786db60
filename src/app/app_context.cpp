#include "app/app_context.h"

#include <algorithm>

#include "app/current_environment.h"
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

template <size_t N>
std::array<uint8_t, N> to_bytes(const std::vector<bool>& bits) {
    std::array<uint8_t, N> out{};
    for (size_t i = 0; i < N && i < bits.size(); ++i) out[i] = bits[i] ? 1 : 0;
    return out;
}
template <size_t N>
std::vector<bool> to_bits(const std::array<uint8_t, N>& bytes) {
    std::vector<bool> bits(N);
    for (size_t i = 0; i < N; ++i) bits[i] = bytes[i] != 0;
    return bits;
}

bool controller_in_range(int32_t controller) { return controller >= 0 && controller < 3; }

}  // namespace

std::unique_ptr<AppContext> make_app_context() { return std::make_unique<AppContext>(AppContext::HeapOnly()); }

AppContext::AppContext(HeapOnly) {
    const Typeface& console_face = typefaces[3];
    ui_metrics.console_glyph_widths.assign(std::begin(console_face.glyph_widths), std::end(console_face.glyph_widths));
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
    free_interop_mesh(startup.startup_mesh);
    startup.startup_mesh = nullptr;
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
                  a.strip_backdrop_guard, a.variant_tab, a.quick_hide_button, a.parallel_strip_host,
                  a.camera_directive_pane, a.variant_bar, a.llmi_strip_host, a.animator_bar, a.MENUNPANE, a.HINTBAR,
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
    visit_widgets(visit, data, a.statistics_shadow, a.statistics_label, a.status_label, a.console_scroll,
                  a.console_text, a.console_title, a.trace_tab_strip, a.trace_tabs, a.trace_panes, a.trace_labels);
    visit_widgets(visit, data, a.entity_empty_label, a.entity_list_scroll, a.entity_list, a.entity_name_row,
                  a.entity_name_value, a.entity_ppd_button, a.entity_inspector_scroll, a.entity_inspector_content,
                  a.entity_info_headings, a.entity_info_sections, a.transform_editor, a.transform_headings,
                  a.transform_reset_buttons, a.uniform_scale_label, a.uniform_scale_field, a.axis_labels,
                  a.translation_fields, a.scale_fields, a.rotation_fields, a.rotation_order_buttons,
                  a.transform_order_buttons);
    visit_widgets(visit, data, a.parameter_empty_label, a.parameter_entity_scroll, a.parameter_entity_list,
                  a.parameter_header, a.parameter_header_row2, a.parameter_entity_caption, a.parameter_entity_name,
                  a.parameter_status_label, a.parameter_auto_sync_button, a.parameter_immediate_button,
                  a.parameter_reset_button, a.parameter_variants_button, a.parameter_multi_edit_button,
                  a.parameter_apply_button, a.parameter_list_scroll, a.parameter_list, a.parameter_type_counts);
    visit_widgets(visit, data, a.settings_menu_header, a.settings_menu_columns, a.settings_menu_title,
                  a.settings_menu_title_icon, a.colour_strip_host, a.colour_function_strip,
                  a.colour_function_buttons, a.multichannel_button, a.hue_ramp, a.hue_swatches, a.slider_strip,
                  a.slider_rows, a.slider_fields, a.sliders, a.view_menu_strips, a.view_menu_strip_panes,
                  a.settings_menu_column_panes, a.settings_menu_hosts);
    visit_widgets(visit, data, a.window_width_field, a.window_height_field, a.frame_rate_field,
                  a.mono_edge_tone_button, a.mono_dot_tone_button, a.silhouette_tone_button, a.eye_height_field,
                  a.parallel_strip_view, a.parallel_strip, a.parallel_strip_button, a.parallel_label,
                  a.max_cores_field, a.parallel_flag_buttons, a.camera_directive_centre, a.camera_directive_list,
                  a.camera_directive_marker, a.camera_directive_handle, a.camera_directive_controls,
                  a.camera_directive_buttons, a.camera_directive_glyphs, a.goto_eye_field, a.goto_target_field,
                  a.goto_field_panel);
    visit_widgets(visit, data, a.variant_bar_header, a.variant_bar_body, a.variant_bar_footer, a.variant_scroll,
                  a.variant_list, a.llmi_strip_view, a.llmi_strip, a.llmi_strip_button, a.llmi_key_label,
                  a.pick_key_buttons, a.llmi_caption);
    visit_widgets(visit, data, a.open_body, a.load_body, a.culling_toggle, a.profiler_toggle,
                  a.algorithm_buttons, a.algorithm_key_hints, a.capability_box, a.description_box, a.mode_group,
                  a.assemble_button, a.parse_entity_scroll, a.parse_section_scroll, a.parse_entity_list,
                  a.parse_section_text);
    visit_widgets(visit, data, a.snapshot_name_label, a.snapshot_save_button, a.screenshot_name_label,
                  a.screenshot_save_button, a.export_name_field, a.export_option_buttons, a.export_format_buttons,
                  a.browser_home_button, a.browser_mark, a.browser_refresh_button, a.browser_clear_button,
                  a.browser_select_all_button, a.browser_close_button,
                  a.browser_path_frame, a.browser_title_label, a.browser_hint_label, a.browser_directory_label,
                  a.browser_location_label, a.browser_confirm_label, a.browser_path_pieces,
                  a.browser_list_content, a.minimal_layout_bar, a.minimal_command_list);
    visit_widgets(visit, data, a.environment_tab_strip, a.environment_preview, a.environment_preview_frame,
                  a.script_placeholder_label, a.tip_menu_title, a.screenshot_preview, a.browser_path_view,
                  a.browser_head_row, a.browser_size_head, a.browser_date_head, a.browser_sort_mark,
                  a.browser_list_frame, a.browser_size_column, a.browser_date_column, a.browser_scroll_track,
                  a.browser_scroll_thumb, a.minimal_tool_row, a.minimal_list_row,
                  a.minimal_title_row, a.minimal_list_scroll, a.side_pane_indicator);
    visit_widgets(visit, data, a.environment_preview_image, a.environment_preview_close, a.tip_menu_icon, a.hint_icon,
                  a.hint_caption, a.hint_text);
    visit_widgets(visit, data, a.message_titles, a.message_texts, a.confirm_title_label, a.confirm_note_label,
                  a.confirm_icon_element, a.confirm_algorithm_bar, a.confirm_choice_buttons, a.confirm_choice_captions,
                  a.confirm_mode_label, a.capability_labels, a.description_labels, a.algorithm_mode_label,
                  a.busy_notice, a.help_hover_toggle);
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
    v.camera_slots = c.controller_cameras;
    v.camera_controller = c.camera_controller;
    v.theme_index = app.frame.theme_index;

    const UiFlags& f = app.ui_flags;
    v.v_flip = f.v_flip_mode;
    v.frame_mode = f.frame_mode;
    v.ui_quick_hide = f.ui_hidden;
    v.ui_animations = f.ui_animations;
    v.meshing_algorithm = app.io_settings.meshing_algorithm;
    v.algorithm_choice = app.io_settings.reassembly_algorithm;
    v.camera_lock = f.camera_locked;
    v.slider_bar_shown = f.slider_bar_shown;
    v.interface_flag_a = f.side_pane_open;
    v.options_menu_shown = f.settings_menu_shown;
    v.attribute_trace = f.attribute_trace;
    v.side_pane = f.side_pane_index;
    v.open_settings_menu = f.open_settings_menu;
    v.open_view_menu = f.open_view_menu;
    v.pane_scrolls = f.bar_scroll_factors;

    const RenderFlags& r = app.render_flags;
    v.show_surface = r.show_surface;
    v.topology_flag = r.show_edges;
    v.show_points = r.show_points;
    v.show_polygons = r.show_polygon_edges;
    v.show_triangles = r.show_triangle_edges;
    v.show_gouraud = r.show_group_edges;
    v.show_axes = r.show_axes;
    v.show_grids = r.show_grids;
    v.show_rings = r.show_rings;
    v.show_bounds = r.show_bounds;
    v.colour_mode = r.colour_mode;
    v.multichannel_colour = static_cast<uint8_t>(r.multichannel_colour);
    v.colour_function = r.colour_function;
    v.colour_negate = r.colour_negate;
    v.transparent_mode = r.transparent_mode;
    v.smooth_shading = r.smooth_shading;
    v.orbit_type = r.orbit_rotation_mode;
    v.projection = r.projection_mode;
    v.orbit_about_centre = r.orbit_about_centre;
    v.mono_edges = r.mono_edges;
    v.mono_dots = r.mono_dots;
    v.brighten = r.brighten;
    v.silhouette = r.silhouette;
    v.x_ray = r.x_ray;
    v.negative = r.negative;
    v.unlit = r.lighting_unlit;
    v.ambient = r.lighting_terms[0];
    v.diffuse = r.lighting_terms[1];
    v.specular = r.lighting_terms[2];
    v.occlusive = r.lighting_terms[3];
    v.emissive = r.lighting_terms[4];
    v.reflective = r.lighting_terms[5];

    const IoSettings& io = app.io_settings;
    v.view_menu_scrolls = io.view_menu_scroll_factors;
    v.settings_menu_scrolls = io.settings_menu_scroll_factors;
    v.menu_values = {io.placeholder_text_width, io.status_text_width};
    v.orbit_zoom = c.orbit_distance;
    v.orbit_angles = {c.orbit_angle_x, c.orbit_angle_y, c.orbit_angle_z};
    v.inverted_zoom = c.inverted_zoom;
    v.zoom_rate = c.zoom_rate;
    v.zoom_min = c.min_orbit_distance;
    v.zoom_max = c.max_orbit_distance;
    v.inline_io = io.inline_io;
    v.native_io = io.native_io;
    v.native_dnd = io.native_dnd;
    v.world_scale = io.world_scale;
    v.field_of_view = io.field_of_view;
    v.light_intensity = io.light_intensity;
    v.background_intensity = io.background_intensity;
    v.msaa = io.anti_aliasing;
    v.backdrop_style = io.backdrop_gradient;
    v.programmable_pipeline = static_cast<uint8_t>(io.render_pipeline);
    v.compact_layout = f.layout_mode_flags[0];
    v.interface_flag_b = f.layout_mode_flags[1];
    v.interface_flag_c = f.layout_mode_flags[2];
    v.interface_flag_d = f.panes_collapsed;
    v.reassembly_culling = io.reassembly_culling;
    v.profiling = io.assembly_profiling;
    v.frame_rate = io.max_frame_rate;
    v.frame_rate_readout = static_cast<uint8_t>(io.show_frame_rate);

    // Working state of the panes.
    v.status_text = app.status.status_text;
    v.tooltips_enabled = app.status.hint_bar_shown;
    v.view_menu_check_states = app.view_menu_states();
    v.settings_menu_check_states = app.settings_menu_states();
    v.split_ratios = {app.CONSOLETRACE.ratio, app.ENTITYINSPECTOR.ratio, app.PARAMETERCONTROL.ratio};
    v.slider_texts = app.slider_value_texts;
    v.slider_positions.assign(4, 0.0);
    for (size_t i = 0; i < 4; ++i) v.slider_positions[i] = app.sliders[i].value;
    v.mono_edge_tone = app.tones.mono_edge_tone;
    v.mono_dot_tone = app.tones.mono_dot_tone;
    v.silhouette_tone = app.tones.silhouette_tone;
    v.eye_height = app.tones.eye_height_value;
    v.eye_height_text = app.tones.eye_height_text;
    v.browser_directory = app.file_browser_state.browser_directory;
    v.browser_sort_key = app.file_browser_state.browser_sort_key;
    v.browser_sort_ascending = app.file_browser_state.browser_sort_ascending;
    const ExportSettings& e = app.export_settings;
    v.export_name = e.export_name;
    v.export_directory = e.export_directory;
    v.export_formats = to_bytes<4>(e.export_format_bits);
    v.export_attributes = to_bytes<3>(e.export_attribute_bits);
    v.export_topologies = to_bytes<2>(e.export_kind_bits);
    v.export_time_stamp = e.export_timestamp;
    v.export_option_marks = to_bytes<6>(e.export_option_bits);

    const BarState& b = app.bars;
    v.minimal_mode = b.hidden_mode_widgets;
    v.strip_scrolls = {b.directive_scroll_factor, static_cast<double>(b.directive_state[0]),
                       static_cast<double>(b.directive_state[1]), static_cast<double>(b.directive_state[2])};
    v.camera_directives_shown = b.camera_directives_widget;
    v.directive_table = b.directive_table;
    v.directive_table.count = b.camera_directive_count;
    v.directive_layout = b.camera_directive_layout;
    v.current_directive = b.selected_directive;
    v.root_directive_mode = b.camera_directive_root_mode;
    v.directive_auto_sync = b.camera_directive_auto_sync;
    v.directive_animation = b.camera_directive_animate;
    v.goto_directive = b.camera_directive_goto;
    v.parallel_flags_widget = b.parallel_flags_widget;
    v.parallel_flags_strip_shown = b.parallel_strip_open;
    v.max_cores = b.max_cores;
    v.multi_core = b.parallel_multi_core;
    v.parallel_culling = b.parallel_culling;
    v.invocation_groups = b.parallel_invocation_groups;
    v.ccpp = b.parallel_ccpp;
    v.preemptive_optimisation = b.parallel_preemptive;
    v.llmi_widget = b.ll_inspector_widget;
    v.llmi_strip_shown = b.llmi_strip_open;
    v.pick_key = b.llmi_pick_key;
    v.variant_selector_shown = b.variant_selector_widget;
    v.variant_table = b.variant_tables;
    v.variant_table.count = b.variant_count;
    v.variant_bar_flag = b.variant_bar_expanded;
    v.animator_shown = b.animator_widget;
    v.animation_track_count = b.animation_count;
    v.alpha_grid = b.alpha_grid;
    v.upright_grid = b.upright_grid;
    v.enlarge_trace = b.enlarged_trace;
    v.directive_write_back = b.multi_view_enabled;

    // The viewport's split state.
    const Viewport& view = app.multi_view_viewport;
    v.viewport_cell_count = view.cell_count;
    v.viewport_cell_index = view.current_cell;
    v.cell_camera_states = view.cell_cameras;
    v.viewport_split_count = view.recorded_split_count;
    v.viewport_split_cells = view.recorded_cells;
    v.viewport_split_axes = view.recorded_axes;
    v.viewport_split_ratios = view.recorded_ratios;
}

void load_env_fields(const EnvironmentViewState& v, AppContext& app) {
    CameraState& c = app.camera;
    c.controller_cameras = v.camera_slots;
    c.camera_controller = v.camera_controller;
    // The live camera takes the restored controller's block.
    if (controller_in_range(c.camera_controller)) {
        Camera& live = c.live_camera;
        load_camera_part(c.controller_cameras[static_cast<size_t>(c.camera_controller)], live);
        live.vertical_lock = c.camera_controller == CAMERA_FIRST_PERSON;
        update_camera_basis(live);
    }
    app.frame.theme_index = v.theme_index;

    UiFlags& f = app.ui_flags;
    f.v_flip_mode = v.v_flip;
    f.frame_mode = v.frame_mode;
    f.ui_hidden = v.ui_quick_hide;
    f.ui_animations = v.ui_animations;
    app.io_settings.meshing_algorithm = v.meshing_algorithm;
    app.io_settings.reassembly_algorithm = v.algorithm_choice;
    f.camera_locked = v.camera_lock;
    f.slider_bar_shown = v.slider_bar_shown;
    f.side_pane_open = v.interface_flag_a;
    f.settings_menu_shown = v.options_menu_shown;
    f.attribute_trace = v.attribute_trace;
    f.side_pane_index = v.side_pane;
    f.open_settings_menu = v.open_settings_menu;
    f.open_view_menu = v.open_view_menu;
    f.bar_scroll_factors = v.pane_scrolls;

    RenderFlags& r = app.render_flags;
    r.show_surface = v.show_surface;
    r.show_edges = v.topology_flag;
    r.show_points = v.show_points;
    r.show_polygon_edges = v.show_polygons;
    r.show_triangle_edges = v.show_triangles;
    r.show_group_edges = v.show_gouraud;
    r.show_axes = v.show_axes;
    r.show_grids = v.show_grids;
    r.show_rings = v.show_rings;
    r.show_bounds = v.show_bounds;
    r.colour_mode = v.colour_mode;
    r.multichannel_colour = v.multichannel_colour;
    r.colour_function = v.colour_function;
    r.colour_negate = v.colour_negate;
    r.transparent_mode = v.transparent_mode;
    r.smooth_shading = v.smooth_shading;
    r.orbit_rotation_mode = v.orbit_type;
    r.projection_mode = v.projection;
    r.orbit_about_centre = v.orbit_about_centre;
    r.mono_edges = v.mono_edges;
    r.mono_dots = v.mono_dots;
    r.brighten = v.brighten;
    r.silhouette = v.silhouette;
    r.x_ray = v.x_ray;
    r.negative = v.negative;
    r.lighting_unlit = v.unlit;
    r.lighting_terms = {v.ambient, v.diffuse, v.specular, v.occlusive, v.emissive, v.reflective};

    IoSettings& io = app.io_settings;
    io.view_menu_scroll_factors = v.view_menu_scrolls;
    io.view_menu_scroll_factors.resize(VIEW_MENU_COUNT, 0.0);
    io.settings_menu_scroll_factors = v.settings_menu_scrolls;
    io.settings_menu_scroll_factors.resize(SETTINGS_MENU_COUNT, 0.0);
    io.placeholder_text_width = v.menu_values[0];
    io.status_text_width = v.menu_values[1];
    c.orbit_distance = v.orbit_zoom;
    c.orbit_angle_x = v.orbit_angles[0];
    c.orbit_angle_y = v.orbit_angles[1];
    c.orbit_angle_z = v.orbit_angles[2];
    c.inverted_zoom = v.inverted_zoom;
    c.zoom_rate = v.zoom_rate;
    c.min_orbit_distance = v.zoom_min;
    c.max_orbit_distance = v.zoom_max;
    io.inline_io = v.inline_io;
    io.native_io = v.native_io;
    io.native_dnd = v.native_dnd;
    io.world_scale = v.world_scale;
    io.field_of_view = v.field_of_view;
    io.light_intensity = v.light_intensity;
    io.background_intensity = v.background_intensity;
    io.anti_aliasing = v.msaa;
    io.backdrop_gradient = v.backdrop_style;
    io.render_pipeline = v.programmable_pipeline;
    f.layout_mode_flags = {v.compact_layout, v.interface_flag_b, v.interface_flag_c};
    f.panes_collapsed = v.interface_flag_d;
    io.reassembly_culling = v.reassembly_culling;
    io.assembly_profiling = v.profiling;
    io.max_frame_rate = v.frame_rate;
    io.show_frame_rate = v.frame_rate_readout;

    app.status.status_text = v.status_text;
    app.status.hint_bar_shown = v.tooltips_enabled;
    copy_stored_menu_states(v, app);
    app.CONSOLETRACE.ratio = v.split_ratios[0];
    app.ENTITYINSPECTOR.ratio = v.split_ratios[1];
    app.PARAMETERCONTROL.ratio = v.split_ratios[2];
    app.slider_value_texts = v.slider_texts;
    for (size_t i = 0; i < 4 && i < v.slider_positions.size(); ++i) app.sliders[i].value = v.slider_positions[i];
    app.tones.mono_edge_tone = v.mono_edge_tone;
    app.tones.mono_dot_tone = v.mono_dot_tone;
    app.tones.silhouette_tone = v.silhouette_tone;
    app.tones.eye_height_value = v.eye_height;
    app.tones.eye_height_text = v.eye_height_text;
    app.file_browser_state.browser_directory = v.browser_directory;
    app.file_browser_state.browser_sort_key = v.browser_sort_key;
    app.file_browser_state.browser_sort_ascending = v.browser_sort_ascending;
    ExportSettings& e = app.export_settings;
    e.export_name = v.export_name;
    e.export_directory = v.export_directory;
    e.export_format_bits = to_bits(v.export_formats);
    e.export_attribute_bits = to_bits(v.export_attributes);
    e.export_kind_bits = to_bits(v.export_topologies);
    e.export_timestamp = v.export_time_stamp;
    e.export_option_bits = to_bits(v.export_option_marks);

    BarState& b = app.bars;
    b.hidden_mode_widgets = v.minimal_mode;
    b.directive_scroll_factor = v.strip_scrolls[0];
    for (size_t i = 0; i < 3; ++i) b.directive_state[i] = static_cast<uint32_t>(truncate_to_int(v.strip_scrolls[i + 1]));
    b.directive_table = v.directive_table;
    b.camera_directive_count = v.directive_table.count;
    b.camera_directive_layout = v.directive_layout;
    b.selected_directive = v.current_directive;
    b.camera_directive_root_mode = v.root_directive_mode;
    b.camera_directive_auto_sync = v.directive_auto_sync;
    b.camera_directive_animate = v.directive_animation;
    b.camera_directive_goto = v.goto_directive;
    b.parallel_flags_widget = v.parallel_flags_widget;
    b.parallel_strip_open = v.parallel_flags_strip_shown;
    b.max_cores = v.max_cores;
    b.parallel_multi_core = v.multi_core;
    b.parallel_culling = v.parallel_culling;
    b.parallel_invocation_groups = v.invocation_groups;
    b.parallel_ccpp = v.ccpp;
    b.parallel_preemptive = v.preemptive_optimisation;
    b.ll_inspector_widget = v.llmi_widget;
    b.llmi_strip_open = v.llmi_strip_shown;
    b.llmi_pick_key = v.pick_key;
    b.variant_tables = v.variant_table;
    b.variant_count = v.variant_table.count;
    b.variant_bar_expanded = v.variant_bar_flag;
    b.animator_widget = v.animator_shown;
    b.animation_count = v.animation_track_count;
    b.alpha_grid = v.alpha_grid;
    b.upright_grid = v.upright_grid;
    b.enlarged_trace = v.enlarge_trace;
    b.multi_view_enabled = v.directive_write_back;

    Viewport& view = app.multi_view_viewport;
    // Only the record moves: the caller replays it (rebuild_from_record,
    // layout_cells) to rebuild the cells.
    view.cell_count = v.viewport_cell_count;
    view.current_cell = v.viewport_cell_index;
    view.cell_cameras = v.cell_camera_states;
    view.recorded_split_count = v.viewport_split_count;
    view.recorded_cells = v.viewport_split_cells;
    view.recorded_axes = v.viewport_split_axes;
    view.recorded_ratios = v.viewport_split_ratios;
}

#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/interop_mesh.h"

// The view settings that every environment keeps a copy of. The application
// holds the same record live for the current environment; switching tabs
// saves the live record into the environment left and restores the target's
// copy. Only data moves here: rebuilding widgets after a restore is the
// caller's business.

struct InteropMesh;

enum CameraControllerKind : int32_t { CAMERA_OBJECT_ORBIT = 0, CAMERA_FREE_ROAM = 1, CAMERA_FIRST_PERSON = 2 };

// The saved camera of one controller.
struct CameraSlot {
    std::array<double, 3> eye = {0.0, 0.0, 0.0};
    std::array<double, 3> look_at = {0.0, 0.0, 0.0};
    std::array<double, 3> up = {0.0, 1.0, 0.0};
    double field_of_view = 60.0;
    double near_plane = 0.01;
    double far_plane = 1000.0;
    std::array<double, 3> home_eye = {0.0, 0.0, 0.0};
    std::array<double, 3> home_look_at = {0.0, 0.0, 0.0};
};

// Copies of the collected "#CAM"/"#VIEW" and "#VARIANT"/"#PSET"/"#PARAM"
// directives (saved only; a restore rebuilds them from the entities).
struct CameraDirectiveTable {
    int32_t count = 0;
    // The directive lines as written, and each directive's name.
    std::vector<std::string> directive_labels;
    std::vector<std::string> texts;
    // Six per directive: eye x y z, look-at x y z.
    std::vector<double> directive_values;
    // Per directive the declaring entity's serial id, -1 none: an id stays
    // valid when the entity set's vector moves.
    std::vector<int32_t> directive_ids;
};

struct VariantTable {
    int32_t count = 0;
    std::vector<std::string> lines;
    std::vector<std::string> names;
    // Per variant: parameter name, value text, name, value text, ...
    std::vector<std::vector<std::string>> pieces;
    // Serial id of the entity that holds each line.
    std::vector<int32_t> entity_ids;
};

using MenuCheckStates = std::vector<std::vector<bool>>;

constexpr int32_t VIEW_MENU_COUNT = 8;
constexpr int32_t SETTINGS_MENU_COUNT = 10;
constexpr int32_t CAMERA_STATE_DOUBLES = 22;

// The records below are the per-environment part of the application's live
// state: the context holds them (its camera, flags, settings and bars derive
// from them) and every environment keeps a whole copy, so a field added to
// one of them is saved and restored with no list to keep in step.

// The three controllers' cameras and the object-orbit and zoom settings.
struct CameraSettings {
    double orbit_distance = 4.0;
    double orbit_angle_x = 30.0;
    double orbit_angle_y = 30.0;
    double orbit_angle_z = 0.0;
    // 0 object-orbit, 1 free-roam, 2 first-person.
    int32_t camera_controller = CAMERA_FREE_ROAM;
    // Object-orbit, free-roam, first-person; the live camera is stored into
    // its controller's slot before a save.
    std::array<CameraSlot, 3> controller_cameras = {
        CameraSlot{{0, 0, 10}, {0, 0, 0}, {0, 1, 0}, 60.0, 0.01, 1000.0, {0, 0, 10}, {0, 0, 0}},
        CameraSlot{{-1, 1, 3}, {0, 0, 0}, {0, 1, 0}, 60.0, 0.01, 1000.0, {-1, 1, 3}, {0, 0, 0}},
        CameraSlot{{-1, 1.75, 3}, {0, 0.75, 0}, {0, 1, 0}, 60.0, 0.01, 1000.0, {-1, 1.75, 3}, {0, 0.75, 0}}};
    uint8_t inverted_zoom = 0;
    double zoom_factor = 0.05;
    double min_orbit_distance = 0.05;
    double max_orbit_distance = 1000.0;
};

// Which panes, menus and window modes are open.
struct UiSettings {
    uint8_t side_pane_open = 0;
    uint8_t settings_menu_shown = 0;
    uint8_t attribute_trace = 1;
    uint8_t slider_bar_shown = 0;
    uint8_t camera_locked = 0;
    // [0] minimal mode, [1] enabled (by the first switch from a Minimal-Mode
    // control; Ctrl+M needs it), [2] unused.
    std::array<uint8_t, 3> layout_mode_flags = {0, 0, 0};
    uint8_t v_flip_mode = 0;
    uint8_t frame_mode = 0;
    uint8_t ui_hidden = 0;
    uint8_t ui_animations = 1;
    uint8_t panes_collapsed = 0;
    int32_t open_view_menu = -1;
    // 0 console, 1 entity inspector, 2 parameter control, -1 none.
    int32_t side_pane_index = -1;
    int32_t open_settings_menu = -1;
    // Wheel fractions in [0, 1] of the bars, indexed by BarScroll.
    std::array<double, 6> bar_scroll_factors = {0, 0, 0, 0, 0, 0};
};

// The state behind the view-menu items.
struct RenderFlags {
    uint8_t show_surface = 1;
    // 1 while any of the three edge modes is on.
    uint8_t show_any_edges = 0;
    uint8_t show_points = 0;
    uint8_t show_polygon_edges = 0;
    uint8_t show_triangle_edges = 0;
    uint8_t show_gouraud_edges = 0;
    uint8_t show_axes = 1;
    uint8_t show_grids = 1;
    uint8_t show_rings = 1;
    uint8_t show_bounds = 0;
    // 0 RGBA, 1 Dark, 2 Light, 3 Function.
    int32_t colour_mode = 0;
    int32_t multichannel_colour = 1;
    // Code of the colour-by function: an index into colour_function_codes.
    int32_t colour_function = 3;
    uint8_t negate_colours = 0;
    uint8_t transparent_mode = 0;
    uint8_t smooth_shading = 1;
    int32_t orbit_rotation_mode = 0;
    int32_t projection_mode = 1;
    uint8_t orbit_about_centre = 0;
    uint8_t mono_edges = 1;
    uint8_t mono_dots = 0;
    uint8_t glsl_brighten = 0;
    uint8_t glsl_silhouette = 0;
    uint8_t glsl_x_ray = 0;
    uint8_t glsl_negative = 0;
    uint8_t light_unlit = 0;
    // Ambient, diffuse, specular, occlusion, emission, reflection.
    std::array<uint8_t, 6> lighting_terms = {1, 1, 1, 0, 0, 0};
};

// The settings menu's values.
struct IoSettings {
    uint8_t inline_io = 1;
    uint8_t native_io = 0;
    uint8_t native_dnd = 1;
    double world_scale = 1.0;
    double field_of_view = 60.0;
    double light_intensity = 1.0;
    double background_intensity = 0.5;
    uint8_t anti_aliasing = 1;
    // -1 none, 0 linear, 1 radial.
    int32_t backdrop_gradient = -1;
    // 0 fixed function, 1 programmable.
    int32_t render_pipeline = 1;
    int32_t meshing_algorithm = MESH_OPTIMAL_CSG;
    int32_t reassembly_algorithm = MESH_OPTIMAL_CSG;
    uint8_t reassembly_culling = 1;
    uint8_t assembly_profiling = 0;
    // -1 uncapped.
    int32_t max_frame_rate = -1;
    int32_t show_frame_rate = 0;
    // Wheel fractions in [0, 1] of each view menu's item strip and each
    // settings column.
    std::vector<double> view_menu_scroll_factors = std::vector<double>(VIEW_MENU_COUNT, 0.0);
    std::vector<double> settings_menu_scroll_factors = std::vector<double>(SETTINGS_MENU_COUNT, 0.0);
    int32_t placeholder_text_width = 0;
    int32_t status_text_width = 0;
};

struct ToneSettings {
    // Cycled 0, 1, 2, 4, 6, 7, 8.
    int32_t mono_edge_tone = 4;
    int32_t mono_dot_tone = 4;
    int32_t silhouette_tone = 0;
    double eye_height_value = 1.75;
    std::string eye_height_text = "1.75";
};

// Where the file browser stands and how it sorts.
struct BrowserSettings {
    // The directory last listed, exactly as given.
    std::string browser_directory;
    // SortKey: 0 type, 1 name, 2 size, 3 date.
    int32_t browser_sort_key = 1;
    // 1 = ascending; choosing the same key again flips it.
    uint8_t browser_sort_ascending = 1;
};

// The export pane's choices.
struct ExportChoices {
    std::string export_name;
    std::string export_directory;
    // OBJ, OFF, PLY, STL.
    std::vector<bool> export_format_bits = {false, false, false, false};
    // Normals, colours, binary.
    std::vector<bool> export_attribute_bits = {true, true, false};
    // Polygon and triangle variants.
    std::vector<bool> export_kind_bits = {true, true};
    uint8_t export_timestamp = 0;
    std::vector<bool> export_option_bits = {true, true, false, true, true, false};
};

// The floating bars' switches. The directive, variant and animation tables
// they show are rebuilt from the entities on every load, so they are not
// part of an environment's copy.
struct BarSettings {
    uint8_t hidden_ui_controls = 1;
    double directive_scroll_factor = 0.0;
    std::array<uint32_t, 3> directive_state = {0, 0, 0};
    int32_t camera_directive_layout = 1;
    int32_t selected_directive = -1;
    uint8_t camera_directive_root_mode = 1;
    uint8_t camera_directive_auto_sync = 0;
    uint8_t camera_directive_animate = 1;
    uint8_t camera_directive_goto = 0;
    uint8_t show_parallel_flags = 1;
    uint8_t parallel_flags_expanded = 0;
    int32_t max_cores = 4;
    uint8_t parallel_multi_core = 1;
    uint8_t parallel_culling = 1;
    uint8_t parallel_invocation_groups = 1;
    uint8_t parallel_ccpp = 0;
    uint8_t parallel_preemptive = 0;
    uint8_t show_ll_inspector = 1;
    uint8_t ll_inspector_expanded = 0;
    // '!' none.
    char llmi_pick_key = '!';
    uint8_t variant_bar_expanded = 0;
    uint8_t show_animator = 1;
    uint8_t alpha_grid = 1;
    uint8_t upright_grid = 0;
    uint8_t enlarged_trace = 1;
    uint8_t multi_view = 1;
};

// An environment's copy of the live state: the records above whole, and the
// values that widgets and the frame hold, which the load puts back into
// them.
struct EnvironmentViewState {
    CameraSettings camera;
    UiSettings ui_flags;
    RenderFlags render_flags;
    IoSettings io_settings;
    ToneSettings tones;
    BrowserSettings browser;
    ExportChoices exports;
    BarSettings bars;

    int32_t theme_index = 2;
    uint8_t tooltips_enabled = 1;
    MenuCheckStates view_menu_check_states;
    MenuCheckStates settings_menu_check_states;
    // CONSOLETRACE, ENTITYINSPECTOR, PARAMETERCONTROL.
    std::array<double, 3> split_ratios = {0.5, 0.5, 0.5};
    std::vector<std::string> slider_texts = {"1.0", "60", "1.0", "0.5"};
    std::vector<double> slider_positions = {1.0, 2.0 / 7.0, 1.0, 0.5};

    // The viewport's cells: replayed from the recorded splits on a load.
    int32_t viewport_cell_index = 0;
    // CAMERA_STATE_DOUBLES per cell.
    std::vector<double> cell_camera_states = {0, 0, 10, 0, 0,    0, -1, 1, 3, 0,  0,
                                              0, -1, 1.75, 3, 0, 0.75, 0, 4, 30, 30, 0};
    int32_t viewport_split_count = 0;
    std::vector<int32_t> viewport_split_cells;
    std::vector<char> viewport_split_axes;
    std::vector<double> viewport_split_ratios;
};

// The pick keys in button order: '!', 'T', 'P', 'G', 'O', 'E', 'U'; the
// button index of a key, or -1 for any other character.
int32_t pick_key_button_index(char key);

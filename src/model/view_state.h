#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

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
    std::vector<std::string> labels;
    std::vector<std::string> texts;
    // Six per directive: eye x y z, look-at x y z.
    std::vector<double> values;
    // Per directive the declaring entity's serial id, -1 none: an id stays
    // valid when the entity set's vector moves.
    std::vector<int32_t> numbers;
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

struct EnvironmentViewState {
    // Camera.
    int32_t camera_controller = CAMERA_FREE_ROAM;
    // Object-orbit, free-roam, first-person.
    std::array<CameraSlot, 3> camera_slots = {
        CameraSlot{{0, 0, 10}, {0, 0, 0}, {0, 1, 0}, 60.0, 0.01, 1000.0, {0, 0, 10}, {0, 0, 0}},
        CameraSlot{{-1, 1, 3}, {0, 0, 0}, {0, 1, 0}, 60.0, 0.01, 1000.0, {-1, 1, 3}, {0, 0, 0}},
        CameraSlot{{-1, 1.75, 3}, {0, 0.75, 0}, {0, 1, 0}, 60.0, 0.01, 1000.0, {-1, 1.75, 3}, {0, 0.75, 0}}};

    // Theme and algorithm.
    int32_t theme_index = 2;
    int32_t meshing_algorithm = 2;
    int32_t algorithm_choice = 2;

    // Interface flags.
    uint8_t camera_lock = 0;
    uint8_t slider_bar_shown = 0;
    uint8_t interface_flag_a = 0;
    uint8_t options_menu_shown = 0;
    uint8_t attribute_trace = 1;
    uint8_t compact_layout = 0;
    uint8_t interface_flag_b = 0;
    uint8_t interface_flag_c = 0;
    uint8_t v_flip = 0;
    uint8_t frame_mode = 0;
    uint8_t ui_quick_hide = 0;
    uint8_t ui_animations = 1;
    uint8_t interface_flag_d = 0;
    int32_t side_pane = -1;
    int32_t open_settings_menu = -1;
    int32_t open_view_menu = -1;
    // TOOLSCROLL, MENUSCROLL, TIPSCROLL, COLOURSCROLL, SLIDERSCROLL, STATSCROLL.
    std::array<double, 6> pane_scrolls = {0, 0, 0, 0, 0, 0};

    // Topology, widgets, colour, shading and lighting.
    uint8_t show_surface = 1;
    uint8_t topology_flag = 0;
    uint8_t show_points = 0;
    uint8_t show_polygons = 0;
    uint8_t show_triangles = 0;
    uint8_t show_gouraud = 0;
    uint8_t show_axes = 1;
    uint8_t show_grids = 1;
    uint8_t show_rings = 1;
    uint8_t show_bounds = 0;
    int32_t colour_mode = 0;
    uint8_t multichannel_colour = 1;
    int32_t colour_function = 3;
    uint8_t colour_negate = 0;
    uint8_t transparent_mode = 0;
    uint8_t smooth_shading = 1;
    int32_t orbit_type = 0;
    int32_t projection = 1;
    uint8_t orbit_about_centre = 0;
    uint8_t mono_edges = 1;
    uint8_t mono_dots = 0;
    uint8_t brighten = 0;
    uint8_t silhouette = 0;
    uint8_t x_ray = 0;
    uint8_t negative = 0;
    uint8_t unlit = 0;
    uint8_t ambient = 1;
    uint8_t diffuse = 1;
    uint8_t specular = 1;
    uint8_t occlusive = 0;
    uint8_t emissive = 0;
    uint8_t reflective = 0;

    // Numeric view settings.
    std::vector<double> view_menu_scrolls = std::vector<double>(VIEW_MENU_COUNT, 0.0);
    std::vector<double> settings_menu_scrolls = std::vector<double>(SETTINGS_MENU_COUNT, 0.0);
    std::array<int32_t, 2> menu_values = {0, 0};
    double orbit_zoom = 4.0;
    std::array<double, 3> orbit_angles = {30.0, 30.0, 0.0};
    uint8_t inverted_zoom = 0;
    double zoom_rate = 0.05;
    double zoom_min = 0.05;
    double zoom_max = 1000.0;
    uint8_t inline_io = 1;
    uint8_t native_io = 0;
    uint8_t native_dnd = 1;
    double world_scale = 1.0;
    double field_of_view = 60.0;
    double light_intensity = 1.0;
    double background_intensity = 0.5;
    uint8_t msaa = 1;
    int32_t backdrop_style = -1;
    uint8_t programmable_pipeline = 1;
    uint8_t reassembly_culling = 1;
    uint8_t profiling = 0;
    int32_t frame_rate = -1;
    uint8_t frame_rate_readout = 0;

    // Texts, panes and layout.
    std::string status_text = "(open a vrekform script file...)";  // saved only
    uint8_t tooltips_enabled = 1;
    MenuCheckStates view_menu_check_states;
    MenuCheckStates settings_menu_check_states;
    // CONSOLETRACE, ENTITYINSPECTOR, PARAMETERCONTROL.
    std::array<double, 3> split_ratios = {0.5, 0.5, 0.5};
    std::vector<std::string> slider_texts = {"1.0", "60", "1.0", "0.5"};
    std::vector<double> slider_positions = {1.0, 2.0 / 7.0, 1.0, 0.5};
    int32_t mono_edge_tone = 4;
    int32_t mono_dot_tone = 4;
    int32_t silhouette_tone = 0;
    double eye_height = 1.75;
    std::string eye_height_text = "1.75";
    std::string browser_directory;
    int32_t browser_sort_key = 1;
    uint8_t browser_sort_ascending = 1;
    std::string export_name;
    std::string export_directory;
    // OBJ, OFF, PLY, STL.
    std::array<uint8_t, 4> export_formats = {0, 0, 0, 0};
    // Normals, colours, binary.
    std::array<uint8_t, 3> export_attributes = {1, 1, 0};
    // Polygons, triangles.
    std::array<uint8_t, 2> export_topologies = {1, 1};
    uint8_t export_time_stamp = 0;
    std::array<uint8_t, 6> export_option_marks = {1, 1, 0, 1, 1, 0};

    // Camera-directive table and bar.
    uint8_t minimal_mode = 0;
    std::array<double, 4> strip_scrolls = {0, 0, 0, 0};
    uint8_t camera_directives_shown = 1;  // saved only
    CameraDirectiveTable directive_table;  // saved only
    int32_t directive_layout = 1;
    int32_t current_directive = -1;
    uint8_t root_directive_mode = 1;
    uint8_t directive_auto_sync = 0;
    uint8_t directive_animation = 1;
    uint8_t goto_directive = 0;

    // Parallel-assembly options.
    uint8_t parallel_flags_widget = 1;
    uint8_t parallel_flags_strip_shown = 0;
    int32_t max_cores = 4;
    uint8_t multi_core = 1;
    uint8_t parallel_culling = 1;
    uint8_t invocation_groups = 1;
    uint8_t ccpp = 0;
    uint8_t preemptive_optimisation = 0;

    // Low-level mesh inspector and variants.
    uint8_t llmi_widget = 1;
    uint8_t llmi_strip_shown = 0;
    char pick_key = '!';
    uint8_t variant_selector_shown = 1;  // saved only
    VariantTable variant_table;          // saved only

    // Bars, grids and animation.
    uint8_t variant_bar_flag = 0;
    uint8_t animator_shown = 1;
    int32_t animation_track_count = 0;  // saved only
    uint8_t alpha_grid = 1;
    uint8_t upright_grid = 0;
    uint8_t enlarge_trace = 1;
    uint8_t directive_write_back = 1;

    // Viewport cells.
    int32_t viewport_cell_count = 1;  // saved only
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

#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "context/app_hooks.h"
#include "context/file_pane_widgets.h"
#include "context/parse_report.h"
#include "context/popup_content_widgets.h"
#include "context/side_pane_widgets.h"
#include "context/startup_scripts.h"
#include "model/entity.h"
#include "model/environment.h"
#include "model/interop_mesh.h"
#include "model/view_state.h"
#include "platform/services.h"
#include "model/camera.h"
#include "ui/element.h"
#include "ui/layouts.h"
#include "ui/slider.h"
#include "ui/text_field.h"
#include "ui/viewport.h"

// The application's single object: every setting, pane state, pending
// request and widget, and the root of the widget tree. It is large, so it
// only ever lives on the heap (make_app_context); tests make several.

using ActionCallback = void (*)();

// Frame, window and the platform's view of the object.
struct FrameState {
    // Clear colour of the 3D view; points into the active theme once built.
    const double* canvas_colour = nullptr;
    int32_t view_rect_x = 0;
    int32_t view_rect_y = 0;
    int32_t view_rect_width = 0;
    int32_t view_rect_height = 0;
    // 1 interactive configuration, 0 plain intro.
    int32_t startup_mode = 1;
    // 0 Dark, 1 Silver, 2 Light, 3 Charcoal, 4 Midnight.
    int32_t theme_index = 2;
    uint8_t full_screen = 0;
    uint8_t needs_redraw = 1;
    // Set by a camera tick that moved the camera, cleared by the first one
    // that did not: the scene is drawn single-sampled while it is set.
    uint8_t camera_moving = 0;
    // Set by an open that brought a new mesh, cleared by the next tick, which
    // asks for the still frame: the frame between shows the mesh at once,
    // drawn single-sampled as while the camera moves.
    uint8_t opened_mesh_draft = 0;
    // 0xFFFFFFFF = nothing picked.
    uint32_t picked_entity_id = 0xFFFFFFFFu;
    uint32_t picked_element_id = 0xFFFFFFFFu;
    int32_t window_width = 720;
    int32_t window_height = 480;
    // What the program last wrote into the width and height fields: a
    // focused field still showing it has not been typed in since, so the
    // size the platform reports may replace it.
    std::string size_field_texts[2] = {"720", "480"};
};

// Sizes every pane, bar and menu is laid out with, and the metrics of the
// console typeface every console and trace line is measured with.
struct UiMetrics {
    int32_t ui_margin = 12;
    int32_t ui_default_width = 720;
    int32_t side_pane_width = 256;
    int32_t icon_button_size = 56;
    int32_t menu_half_width = 56;
    int32_t row_height = 32;
    int32_t bar_height = 24;
    int32_t ui_padding = 8;
    int32_t thick_border = 2;
    int32_t thin_border = 1;
    int32_t popup_width = 512;
    int32_t popup_height = 368;
    // Advance widths by byte value and the line height of face 3.
    std::vector<uint32_t> pane_glyph_widths;
    int32_t console_line_height = 0;
};

// The small-window notice (which swallows the pointer) shows below 480 x 360,
// except in the minimal layout, which is made for small windows.
inline bool small_window_notice_wanted(int32_t width, int32_t height, bool minimal_layout) {
    return (width < 480 || height < 360) && !minimal_layout;
}

struct UiFlags : UiSettings {
    // While set the key dispatcher ignores every key.
    uint8_t keys_blocked = 0;
};

// Which bar each of bar_scroll_factors scrolls.
enum BarScroll : int32_t {
    BAR_SCROLL_TIP = 0,
    BAR_SCROLL_MENU,
    BAR_SCROLL_COLOUR,
    BAR_SCROLL_SLIDER,
    BAR_SCROLL_STATUS,
    BAR_SCROLL_TAB,
};

// Wheel fractions in [0, 1] of the strips that are not bars.
struct StripScroll {
    double tool = 0.0;
    double parallel = 0.0;
    double directive = 0.0;
    double llmi = 0.0;
};

// Indexes of pane_open_flags, one per popup pane.
enum PopupPane : int32_t {
    PANE_RUN = 0,
    PANE_PARSE,
    PANE_CAPTURE,
    PANE_SCREENSHOT,
    PANE_PROFILE,
    PANE_DIRECTIVE,
    PANE_EXPORT,
    PANE_WARNING,
    PANE_ERROR,
    PANE_INFO,
    PANE_ABOUT,
    PANE_HELP,
    PANE_CONFIRM,
    PANE_OPEN,
    PANE_LOAD,
    PANE_FILE,
    POPUP_PANE_COUNT
};


// What the current environment's views point at.
struct CurrentEnvironmentParts {
    TraceLog* trace_log = nullptr;
    EntityListView* entity_view = nullptr;
    EntityListView* parameter_view = nullptr;
};

struct EntityState {
    EntityRecord startup_entity = entity_construct();
    EnvironmentList environment_list;
    Environment* current_environment = nullptr;
    EntitySet* current_entities = nullptr;
    CurrentEnvironmentParts current_environment_parts;
    // Environment whose tab hover pop-up is shown, -1 none.
    int32_t hovered_environment_tab = -1;
    int32_t environment_index = 0;
    int32_t environment_count = 1;
    std::vector<std::string> environment_names = {"env0"};
};

struct CameraState : CameraSettings {
    // The view's camera; speed, eye height and home view live inside it.
    Camera live_camera;
    // One byte per key code below 256, 1 while held.
    std::array<uint8_t, 256> key_states{};
    // Left (500), up (501), right (502), down (503).
    std::array<uint8_t, 4> arrow_states = {0, 0, 0, 0};
    CameraDrag camera_drag;
    PendingCameraUpdate pending_camera_update;
    // Wheel notches not yet applied by the tick.
    int32_t zoom_steps = 0;
};


struct EnvironmentStatistics {
    int64_t vertex_total = 0;
    int64_t polygon_index_total = 0;
    int64_t triangle_index_total = 0;
    int64_t polygon_total = 0;
    int64_t triangle_total = 0;
    std::array<double, 3> extent = {0, 0, 0};
    std::array<double, 3> minimum = {0, 0, 0};
    std::array<double, 3> maximum = {0, 0, 0};
    double assembly_seconds = 0.0;
    int64_t assembly_ms = 0;
    double size_mb = 0.0;
    double size_kb = 0.0;
    int64_t size_bytes = 0;
};

struct StatusState {
    std::string status_text = "(open a vrekform script file...)";
    EnvironmentStatistics environment_statistics;
    uint8_t transition_active = 0;
    int32_t transition_direction = 1;
    int32_t transition_step_count = 0;
    double transition_value = 0.0;
    ActionCallback transition_callback = nullptr;
    double transition_rate = 0.05;
    std::string attribute_trace_text;
    std::ostringstream attribute_trace_stream;
    std::vector<std::string> statistics_lines = {"0 vertices",
                                                 "0 indices \t 0",
                                                 "0 ngons (0 triangles)",
                                                 "extent [ w:0.00,h:0.00,d:0.00 ]",
                                                 "min [ x:0.00,y:0.00,z:0.00 ]",
                                                 "max [ x:0.00,y:0.00,z:0.00 ]",
                                                 "0.00 seconds (0 ms)",
                                                 "0.00 MB (0.00 kb | 0 bytes)"};
    uint8_t hint_bar_shown = 1;
    std::string tooltip_caption;
    std::string tooltip_text;
    int32_t tooltip_element_id = -1;
};

struct StartupState {
    // One mesh per intro script after the start-up run (null where the run
    // yielded none); owned by the context.
    std::vector<InteropMesh*> startup_meshes;
    std::vector<std::string> startup_scripts = default_startup_scripts();
    // The mesh of startup_entity; owned by the context.
    InteropMesh* startup_entity_mesh = nullptr;
    std::string startup_entity_script = default_startup_entity_script();
    uint8_t startup_done = 0;
    // Seconds since the program started; -1 not yet taken.
    double workspace_prepared_at = -1.0;
    double startup_assembly_started_at = -1.0;
    double startup_assembly_ended_at = -1.0;
};

struct CaptureSettings {
    uint8_t snapshot_requested = 0;
    int32_t snapshot_width = 512;
    int32_t snapshot_height = 512;
    std::string snapshot_name = "vrek_snapshot_YYYYMMDDhhmmss";
    ActionCallback snapshot_callback = nullptr;
    std::vector<uint8_t> snapshot_pixels;
    std::array<double, 4> snapshot_background = {0, 0, 0, 0};
    std::array<uint8_t, 3> capture_options = {0, 0, 0};
    int32_t screenshot_width = 720;
    int32_t screenshot_height = 480;
    std::string screenshot_name = "vrek_screenshot_YYYYMMDDhhmmss";
    ActionCallback screenshot_callback = nullptr;
    std::vector<uint8_t> screenshot_pixels;
    std::array<double, 4> screenshot_background = {0, 0, 0, 0};
    // Previews of the last screenshot and snapshot over the interface:
    // shown flags and the size (width, height) each is shown at.
    uint8_t screenshot_preview = 0;
    std::array<int32_t, 2> screenshot_preview_size = {720, 480};
    uint8_t snapshot_preview = 0;
    std::array<int32_t, 2> snapshot_preview_size = {512, 512};
    uint8_t preview_suppressed = 0;
};


struct PathCopies {
    std::string kernel_path_text;
    std::string workspace_path_text;
    std::string kernel_status_text;
    std::string workspace_status_text;
};

// What the inline file browser is choosing.
enum BrowserPurpose : int32_t {
    BROWSER_KERNEL_EXECUTABLE = 0,
    BROWSER_ENTITY_WORKSPACE = 1,
    BROWSER_OPEN_SCRIPT = 2,
    BROWSER_EXPORT_LOCATION = 3,
};

// Column the browser's rows are ordered by.
enum SortKey : int32_t { SORT_TYPE = 0, SORT_NAME = 1, SORT_SIZE = 2, SORT_DATE = 3 };

// Kind of a listed entry, in the order the TYPE sort puts them.
enum EntryKind : uint8_t {
    ENTRY_UNKNOWN = 0,
    ENTRY_OTHER_FILE = 1,
    ENTRY_DIRECTORY = 2,
    ENTRY_SCRIPT = 3,
    ENTRY_EXECUTABLE = 4,
};

// The admitted entries of one directory listing, indexed by entry (the
// listing's order). A directory's name ends in "/".
struct BrowserListing {
    std::vector<uint8_t> kinds;
    std::vector<std::string> names;
    // Grouped size and " bytes".
    std::vector<std::string> size_texts;
    // "YYYY-MM-DD" and "hh:mm".
    std::vector<std::string> dates;
    std::vector<std::string> times;
    // Lower-case copy of the name.
    std::vector<std::string> sort_names;
    std::vector<std::string> owners;
    std::vector<std::string> groups;
    std::vector<std::string> permissions;
    std::vector<int64_t> sizes;
    // " -> target" for a symbolic link, shown after its name; "" otherwise.
    std::vector<std::string> link_targets;

    size_t count() const { return names.size(); }
};

// One bit per entry, and how many are set.
struct BrowserSelection {
    std::vector<uint8_t> bits;
    int32_t selected_count = 0;
};

struct FileBrowserState : BrowserSettings {
    int32_t browser_purpose = BROWSER_OPEN_SCRIPT;
    // The directory cut at "/", each component with "/" appended.
    std::vector<std::string> browser_path_parts;
    BrowserListing browser_entries;
    BrowserSelection browser_selection;
    // Per display row, the index of its entry.
    std::vector<int32_t> browser_row_order;
    // Scroll fractions of the entry list and of the path bar (1 = the
    // deepest components in view), and the extents of their contents.
    double browser_list_scroll = 0.0;
    double browser_path_scroll = 1.0;
    int32_t browser_path_content_width = 0;
    int32_t browser_list_content_height = 0;
    // The rows last highlighted; cleared whenever the listing changes.
    std::array<const void*, 2> browser_highlight_refs = {nullptr, nullptr};
};

struct ReparseState {
    int32_t count = 0;
    int32_t index = -1;
    std::string text;
    std::array<std::vector<std::string>, 5> lists;
};

struct DeferredRequests {
    int32_t pending_path_count = 0;
    std::vector<std::string> pending_paths;
    // Ticks until the pending requests run; a request sets 5.
    int32_t deferred_countdown = 0;
    uint8_t open_selected_requested = 0;
    uint8_t open_paths_requested = 0;
    uint8_t native_open_requested = 0;
    uint8_t export_folder_requested = 0;
    // Entity (index into the current set) whose parameters the tick pushes;
    // -1 none.
    int32_t pending_parameter_push = -1;
    ReparseState reparse_state;
};

struct DialogState {
    std::string confirm_title;
    std::string confirm_text;
    int32_t confirm_icon = -1;
    ActionCallback confirm_cancel_callback = nullptr;
    ActionCallback confirm_action = nullptr;
    std::vector<std::string> confirm_record = {"", ""};
    uint8_t confirm_accepted = 0;
    uint8_t confirm_extra_shown = 0;
    std::vector<std::pair<std::string, std::string>> confirm_algorithm_texts = {
        {"Re-Assembly Execution Mode:", "Pure-Union-Mesh"},
        {"Re-Assembly Execution Mode:", "Basic-CSG-Mesh"},
        {"Re-Assembly Execution Mode:", "Optimal-CSG-Mesh"}};
    std::vector<std::array<std::string, 3>> algorithm_rows = {
        {"Pure-Union", "Mesh", "A|1"}, {"Basic-CSG", "Mesh", "B|2"}, {"Optimal-CSG", "Mesh", "C|3"}};
    std::vector<int32_t> confirm_algorithm = {MESH_OPTIMAL_CSG};
    int32_t pending_reassembly_index = -1;
    int32_t pending_delete_index = -1;
    int64_t export_size_estimate = 0;
    // The open message boxes (PANE_INFO, PANE_ERROR, PANE_WARNING) in the
    // order they were raised: the last is on top, and the only one shown.
    std::vector<int32_t> message_box_stack;
};

struct PpdViewState {
    int32_t index = -1;
    std::array<uint32_t, 3> words = {0, 0, 0};
};

struct ExportSettings : ExportChoices {
    std::string export_size_text = "Estimated Size-on-Disk: 0.000 MB";
    uint8_t export_ready = 0;
    // Parameter waiting for a confirmed reset, -1 none.
    int32_t pending_parameter_index = -1;
    PpdViewState ppd_view_state;
    // The export name as last committed (Enter, an export) or brought back
    // with an environment: a refused name typed after it shows it again.
    // Empty until the first edit takes the name then stored.
    std::string committed_export_name;
};

struct BarState : BarSettings {
    uint8_t thumbnail_requested = 1;
    int32_t thumbnail_delay = 0;
    // Thumbnails of the camera directives into the first strip cells, drawn
    // once the countdown (frames) has reached 0.
    uint8_t directive_thumbnail_request = 0;
    int32_t directive_countdown = 0;
    uint8_t show_camera_directives = 1;
    int32_t camera_directive_count = 0;
    CameraDirectiveTable directive_table;
    // The camera-directive code copies the camera into the selected
    // directive when set.
    uint8_t directive_sync_enabled = 0;
    // Tool-tip title and text of the inspector element: the picked entity
    // and element.
    std::array<std::string, 2> llmi_labels;
    uint8_t show_variant_selector = 1;
    int32_t variant_count = 0;
    VariantTable variant_tables;
    int32_t applied_variant_index = -1;
    int32_t animation_count = 0;
    uint8_t environment_switching = 0;
    int32_t environment_switch_countdown = -1;
    int32_t pending_environment = -1;
    std::array<uint8_t, 96> frame_scratch{};
};

struct MenuTables {
    std::vector<int32_t> colour_function_codes = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    std::array<int32_t, 8> view_menu_icons = {51, 43, 44, 45, 52, 47, 48, 49};
    std::array<int32_t, 10> settings_menu_icons = {29, 20, 31, 37, 34, 33, 5, 35, 13, 2};
    std::array<int32_t, 4> slider_icons = {30, 32, 31, 36};
    // One bit per item, set = checked; the pointer tables reach menu k.
    std::array<std::vector<bool>, VIEW_MENU_COUNT> view_menu_check_states;
    std::vector<std::vector<bool>*> view_menu_check_pointers;
    std::array<std::vector<bool>, SETTINGS_MENU_COUNT> settings_menu_check_states;
    std::vector<std::vector<bool>*> settings_menu_check_pointers;
    MenuCheckStates initial_view_menu_states;
    MenuCheckStates initial_settings_menu_states;
};

// The common frame of a popup pane: a title bar (icon, title, close), a
// body and a footer. Panes use the parts their kind needs.
struct PopupFrame {
    BorderLayout title_bar;
    FillLayout icon_holder;
    Element title_icon;
    Label title_label;
    // The run pane's title area and the confirmation's title and button areas.
    FillLayout title_area, title_right;
    Element close_button;
    FillLayout body;
    FillLayout footer;
    Element footer_plain;
    BorderLayout footer_split;
    FillLayout footer_centre, footer_right;
};

// Index of each framed popup in AppContext::popup_frames.
enum PopupFrameIndex : int32_t {
    FRAME_RUN = 0,
    FRAME_PARSE,
    FRAME_CAPTURE,
    FRAME_SCREENSHOT,
    FRAME_PROFILE,
    FRAME_DIRECTIVE,
    FRAME_EXPORT,
    FRAME_HELP,
    FRAME_INFO,
    FRAME_ERROR,
    FRAME_WARNING,
    FRAME_CONFIRM,
    FRAME_FILE,
    POPUP_FRAME_COUNT
};

// GL names of released meshes; the renderer deletes them on its thread.
struct GlRetirement {
    std::vector<uint32_t> retired_vertex_arrays;
    std::vector<uint32_t> retired_vertex_buffers;
    std::vector<uint32_t> retired_index_buffers;
};

struct AppContext;
std::unique_ptr<AppContext> make_app_context();

// Frees the mesh of every entity still open in any environment, and every
// parallel entity's sub-element records with their meshes, leaving the
// records without them. The entities' meshes belong to whoever removes the
// entity; at quit that is the program. Memory only: the GL names die with
// the GL context.
void release_entity_meshes(AppContext& app);

struct AppContext : RootContainer {
    // --- State, in declaration order of its groups ---
    FrameState frame;
    AppServices services;
    UiMetrics ui_metrics;
    UiFlags ui_flags;
    std::array<uint8_t, POPUP_PANE_COUNT> pane_open_flags{};
    RenderFlags render_flags;
    EntityState entities;
    CameraState camera;
    IoSettings io_settings;
    StatusState status;
    StartupState startup;
    CaptureSettings capture;
    ToneSettings tones;
    PathCopies path_copies;
    FileBrowserState file_browser_state;
    DeferredRequests deferred_requests;
    DialogState dialogs;
    ExportSettings export_settings;
    BarState bars;
    StripScroll strip_scroll;
    MenuTables menu_tables;
    GlRetirement gl_retirement;
    ParseReport parse_report;
    // Pane and renderer operations the pipeline calls (empty = no-op).
    AppHooks hooks;

    // --- Widgets, by region ---
    // Top-level bars.
    FillLayout TOOLBAR, TIPBAR, CONTROLPANE, CONTENTPANE, MENUBAR, STATUSBAR, TABBAR, SLIDERBAR, COLOURBAR;
    // 3D view.
    Element canvas_pick_area;
    Viewport multi_view_viewport;
    // Strip controls.
    Element strip_backdrop, strip_backdrop_guard, hidden_ui_variant_panel, controls_toggle;
    // Floating bars.
    FillLayout parallel_flags_bar;
    BorderLayout camera_directive_bar;
    FillLayout variant_bar, ll_inspector_bar, animator_bar;
    // Overlays.
    FillLayout MENUNPANE, HINTBAR, HIDELOGO, LOCKICON, NORENDER, MASKPANE, OVERLAY;
    // Frame and notices.
    Element BORDER, viewport_surface;
    FillLayout busy_mask;
    Element busy_indicator;
    FillLayout small_window_notice;
    Element small_window_text, small_window_icon, minimal_mode_button;
    Element frame_marker, frame_rate_label;
    Element norender_icons[3];
    Element message_mask, mask_pane_layer;
    FillLayout centre_cross;
    Element centre_cross_horizontal, centre_cross_vertical;
    FillLayout configuration_mask;
    BorderLayout configuration_pane;
    FillLayout configuration_content;
    // Popup panes.
    BorderLayout RUNPANE, PARSEPANE, CAPTUREPANE, SCREENSHOTPANE, PROFILEPANE, DIRECTIVEPANE, EXPORTPANE,
        ABOUTPANE, HELPPANE, INFOPANE, ERRORPANE, WARNINGPANE, CONFIRMPANE, FILEPANE;
    FillLayout OPENPANE, LOADPANE;
    // Scroll hosts.
    FillLayout TOOLSCROLL, TIPSCROLL, MENUSCROLL, COLOURSCROLL, SLIDERSCROLL, STATSCROLL, TABSCROLL;
    // Tool bar.
    Element OPEN, PARSE, ASSEMBLE, CAPTURE, EXPORT, SETTINGS;
    // Side tabs.
    Label CONSOLE, ENTITY, PARAMETER, ENVIRONMENT, ABOUT, HELP;
    // Contents of the tab, tip and status rows.
    FillLayout environment_tab_strip, environment_preview, environment_preview_frame;
    Label script_placeholder_label, tip_menu_title;
    // Menu bars.
    Element view_menu_buttons[VIEW_MENU_COUNT];
    Element settings_menu_buttons[SETTINGS_MENU_COUNT];
    Element toolbar_indicator;
    Element menubar_indicators[SETTINGS_MENU_COUNT];
    // Side panes.
    SplitLayout CONSOLETRACE, ENTITYINSPECTOR, PARAMETERCONTROL;
    FillLayout CONSOLEUPPER, CONSOLELOWER, ENTITYUPPER, ENTITYLOWER, PARAMETERUPPER, PARAMETERLOWER;
    Element CONSOLESPLITBAR, ENTITYSPLITBAR, PARAMETERSPLITBAR;
    // Pane contents: statistics overlay.
    Label statistics_shadow_label, statistics_label;
    // The status line (environment, entities, canvas size, camera).
    Label status_label;
    // Console and trace channels.
    ScrollPane console_scroll;
    FillLayout console_text;
    Label console_title;
    FillLayout trace_tab_strip;
    Label trace_tabs[4];
    ScrollPane trace_panes[4];
    Label trace_labels[4];
    // Entity inspector.
    Label entity_list_hint;
    ScrollPane entity_list_scroll;
    FillLayout entity_list;
    FillLayout entity_header;
    Label entity_name_label, entity_ppd_button;
    ScrollPane entity_inspector_scroll;
    FillLayout entity_information_area;
    Label entity_heading_label, entity_information_label;
    FillLayout transform_editor;
    Label transform_headings[6];
    Element transform_reset_buttons[6];
    Label uniform_scale_label;
    TextField uniform_scale_field;
    Label axis_labels[3][3];
    TextField translation_fields[3];
    TextField scale_fields[3];
    TextField rotation_fields[3];
    Element rotation_order_buttons[6];
    Element transform_order_buttons[6];
    std::vector<Container> entity_rows;
    // Parameter pane.
    Label parameter_list_hint;
    ScrollPane parameter_entity_scroll;
    FillLayout parameter_entity_list;
    FillLayout parameter_entity_header;
    Element parameter_header_row2;
    Label parameter_entity_caption, parameter_entity_name_label, parameter_algorithm_label, parameter_auto_sync_button,
        parameter_immediate_button, parameter_reset_button, parameter_variants_button, parameter_multi_edit_button,
        parameter_apply_button;
    ScrollPane parameter_list_scroll;
    FillLayout parameter_list;
    Element parameter_summary_label;
    std::vector<Container> parameter_rows;
    std::vector<TextField> parameter_value_fields;
    std::vector<Slider> parameter_sliders;
    // Settings drop-down frame.
    FillLayout settings_menu_header;
    FillLayout settings_menu_columns;
    Label settings_menu_title;
    Element settings_menu_title_icon;
    // Colour and slider bars.
    FillLayout colour_strip_host, colour_function_strip;
    Element colour_function_buttons[15];
    FillLayout multichannel_button;
    FillLayout hue_ramp;
    Element hue_swatches[10];
    FillLayout slider_strip;
    FillLayout slider_rows[4];
    Element slider_row_icons[4];
    TextField slider_fields[4];
    Slider sliders[4];
    std::vector<std::string> slider_value_texts = {"1.0", "60", "1.0", "0.5"};
    // Menus. The item, strip-width and host tables that point at the caption
    // tables are filled by the menu builders.
    FillLayout view_menu_strips[VIEW_MENU_COUNT];
    std::array<std::vector<Element>, VIEW_MENU_COUNT> view_menu_item_buttons;
    FillLayout view_menu_strip_panes[VIEW_MENU_COUNT];
    FillLayout settings_menu_column_panes[SETTINGS_MENU_COUNT];
    std::array<std::vector<Element>, SETTINGS_MENU_COUNT> settings_menu_item_buttons;
    FillLayout settings_menu_hosts[SETTINGS_MENU_COUNT];
    std::vector<int32_t> view_menu_strip_widths;
    // Per menu, its item buttons in item order; the menu actions mark them.
    std::vector<std::vector<Element*>> view_menu_items;
    std::vector<std::vector<Element*>> settings_menu_items;
    // The colour-function strip's width.
    int32_t colour_strip_width = 0;
    // In-menu settings fields.
    TextField window_width_field, window_height_field, frame_rate_field;
    Element mono_edge_tone_button, mono_dot_tone_button, silhouette_tone_button;
    TextField eye_height_field;
    // Parallel flags and camera directives.
    FillLayout parallel_strip_view, parallel_strip;
    Element parallel_flags_button;
    Label parallel_label;
    TextField max_cores_field;
    Element parallel_flag_buttons[5];
    FillLayout camera_directive_centre, camera_directive_list;
    Element camera_directive_marker, camera_directive_toggle;
    FillLayout camera_directive_controls;
    Element camera_directive_buttons[8];
    // The small marks drawn over the directive buttons.
    Element camera_directive_glyphs[29];
    TextField goto_eye_field, goto_target_field;
    FillLayout goto_field_panel;
    std::vector<Element> camera_directive_rows;
    std::vector<std::string> camera_directive_row_tips;
    // Variant bar and low-level mesh inspector strip.
    FillLayout variant_bar_header, variant_bar_body, variant_bar_footer;
    ScrollPane variant_scroll;
    FillLayout variant_list;
    FillLayout llmi_strip_view, llmi_strip;
    Element ll_inspector_button;
    Label llmi_key_label;
    Element pick_key_buttons[7];
    // The pick mode's letter, shown as the first cell of the hint bar while
    // the bar reads out an inspector pick.
    Element llmi_caption;
    std::vector<Element> variant_rows;
    std::vector<Element> environment_tabs;
    // Parts of the rebuilt side-pane rows and blocks.
    SidePaneWidgets side_pane;
    // Contents of the report, capture, about and help panes.
    PopupContentWidgets popup_contents;
    // Open, load, browser-frame and configuration-pane parts.
    FilePaneWidgets file_panes;
    // Popup contents: bodies.
    FillLayout open_body, load_body;
    // Run pane.
    Element culling_toggle, profiler_toggle;
    Element algorithm_buttons[3], algorithm_key_hints[3];
    FillLayout capability_box, description_box, mode_group;
    Element assemble_button;
    Label mode_caption_label;
    // Parse-report and profiling panes.
    ScrollPane parse_entity_scroll, parse_section_scroll;
    FillLayout parse_entity_list, parse_section_text;
    std::vector<Element> parse_report_rows;
    // Profiling viewer: rows on the left, the chosen row's report on the
    // right. Rows name their entity by serial id and, for an element of a
    // parallel entity, its position (-1 for the entity itself).
    std::vector<Label> ppd_rows;
    std::vector<int32_t> ppd_row_ids;
    std::vector<int32_t> ppd_row_elements;
    int32_t ppd_row_count = 0;
    int32_t ppd_selected_row = 0;
    Container ppd_row_list;
    ScrollPane ppd_row_scroll, ppd_report_scroll;
    Label ppd_report_label;
    Element ppd_list_button;
    // Capture panes.
    Element snapshot_name_label, snapshot_save_button, screenshot_name_label, screenshot_save_button;
    Element screenshot_preview;
    // Export pane: name and location rows, six option toggles with their
    // words, four format rows each with its name and check box, the size
    // estimate and the export button.
    TextField export_name_field;
    Element export_option_buttons[6];
    FillLayout export_format_buttons[4];
    FillLayout export_name_row, export_location_row;
    Label export_name_caption, export_location_caption;
    Element export_name_hint, export_location_value, export_location_hint;
    Label export_option_labels[6];
    FillLayout export_format_names[4];
    Element export_format_checks[4];
    Element export_size_label, export_button;
    // File browser.
    Element browser_home_button, browser_mark, browser_refresh_button, browser_clear_button,
        browser_select_all_button, browser_close_button;
    FillLayout browser_path_frame;
    // Popup contents the actions write: message-box title and text labels
    // (info, error, warning); the confirmation's title, note, icon and its
    // re-assembly algorithm bar with three choices; the run pane's six
    // capability items, twelve description lines (line j describes
    // algorithm j mod 3) and mode label.
    Label message_titles[3], message_texts[3];
    // Each box's text scrolls inside its body once it is taller than the
    // window; the text as given is kept, so that it breaks anew to the
    // width the box has (`wrapped_at`, -1 until it has been broken).
    ScrollPane message_scrolls[3];
    struct MessageSource {
        std::string text;
        int32_t wrapped_at = -1;
    } message_sources[3];
    Label confirm_title_label, confirm_note_label;
    Element confirm_icon_element;
    BorderLayout confirm_algorithm_bar;
    FillLayout confirm_choice_buttons[3];
    Label confirm_choice_captions[3];
    Label confirm_mode_label;
    // Cancel and OK with their key names, and the choices' key hints.
    FillLayout confirm_cancel_button, confirm_ok_button;
    Label confirm_key_labels[2];
    Label confirm_choice_hints[3];
    Label capability_labels[6];
    Label description_labels[12];
    Label algorithm_mode_label;
    // The intro's "assembling..." notice; the thumbnail in the hover pop-up
    // over another environment's tab; the help pane's hover-hints toggle.
    Label startup_notice;
    Element environment_preview_image;
    FillLayout help_hover_toggle;
    // Captions: title, hint under it, the listed directory beside the
    // title, the location line and the confirm button's text.
    Label browser_title_label, browser_hint_label, browser_directory_label, browser_location_label,
        browser_confirm_label;
    // Path bar: one button per path component, inside browser_path_pieces.
    FillLayout browser_path_pieces;
    std::vector<Label> browser_path_buttons;
    // Entry list: one row per entry in display order, each holding five
    // labels (kind tag, name, size, time, date) kept row by row in
    // browser_row_labels.
    FillLayout browser_list_content;
    std::vector<FillLayout> browser_rows;
    std::vector<Label> browser_row_labels;
    // The path pieces scroll inside the path view. Column heads, sort mark,
    // list frame with its columns and scroll bar, and the confirm button.
    FillLayout browser_path_view, browser_head_row;
    Element browser_size_head, browser_date_head, browser_sort_mark;
    FillLayout browser_list_frame;
    Element browser_size_column, browser_date_column, browser_scroll_track, browser_scroll_thumb;
    // Minimal-layout bar and its command list.
    FillLayout minimal_layout_bar, command_list;
    FillLayout minimal_tool_row, minimal_list_row, minimal_title_row, minimal_list_scroll, side_pane_indicator;
    std::vector<Label> command_rows;
    // Frame pieces of the tab, tip, hint and tool rows, the popup frames and
    // the minimal-layout bar, filled by the interface builder.
    Element environment_preview_close;
    Element tip_menu_icon, hint_icon;
    Label hint_caption, hint_text;
    PopupFrame popup_frames[POPUP_FRAME_COUNT];
    FillLayout about_content, open_content, load_content;
    Element popup_watermarks[2];
    Label side_pane_indicator_labels[3];
    Element minimal_tool_buttons[5];
    Label minimal_title, minimal_about, minimal_help;

    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;
    ~AppContext() override;

    // Menu check states, copied in menu order.
    MenuCheckStates view_menu_states() const;
    MenuCheckStates settings_menu_states() const;
    // Create, decorate and place the drop-down items (no callbacks).
    void build_view_menus();
    void build_settings_menus();

    // Only make_app_context constructs one.
    struct HeapOnly {
      private:
        HeapOnly() = default;
        friend std::unique_ptr<AppContext> make_app_context();
    };
    explicit AppContext(HeapOnly);
};

// Refreshes the whole widget tree: the root's refresh hook, then every child.
void refresh_root(AppContext& app);

// Calls `visit` on every widget member (arrays element by element, not the
// vectors of rebuilt rows), in declaration order.
void for_each_context_widget(AppContext& app, void (*visit)(Element& widget, void* data), void* data);

// The environment fields the context keeps live for the current environment:
// saved into and restored from an environment's view record.
void save_env_fields(AppContext& app, EnvironmentViewState& stored);
void load_env_fields(const EnvironmentViewState& stored, AppContext& app);

// The menu check states of an environment made current: one without stored
// states first receives the initial ones; then, when the stored copies have
// one vector per menu (8 and 10), each live vector is overwritten bit by bit
// for its own length.
void copy_stored_menu_states(const EnvironmentViewState& stored, AppContext& app);
void restore_menu_check_states(AppContext& app, EnvironmentViewState& stored);

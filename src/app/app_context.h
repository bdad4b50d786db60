#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/entity.h"
#include "model/environment.h"
#include "model/interop_mesh.h"
#include "app/app_hooks.h"
#include "app/parse_report.h"
#include "app/startup_scripts.h"
#include "model/view_state.h"
#include "platform/services.h"
#include "render/camera.h"

struct Element;
struct Viewport;

// The live camera with its basis derived, as the context starts with it.
Camera constructed_live_camera();

// The application's single state object. Only the members that the landed
// subsystems use are here yet; the full context replaces this record.
struct AppContext {
    // Milliseconds since the epoch when the frame loop started.
    int64_t start_clock_ms = 0;

    // Workspace preparation.
    double workspace_prepared_at = -1.0;
    std::string browser_directory;
    const void* browser_highlight_refs[2] = {nullptr, nullptr};

    // How often the whole interface was refreshed (the root container's
    // refresh arrives with the widget tree).
    int32_t interface_refresh_count = 0;

    // --- Kernel runs and parallel assembly (stand-in until the full context
    // arrives; same names and defaults as there) ---
    // The three intro scripts, assembled together at start-up.
    std::vector<std::string> startup_scripts = default_startup_scripts();
    // One mesh per intro script after the start-up run, null where the run
    // yielded none; empty before it. Owned by the context.
    std::vector<InteropMesh*> startup_meshes;
    std::string startup_entity_script = default_startup_entity_script();
    InteropMesh* startup_entity_mesh = nullptr;
    EntityRecord inspector_entity = entity_construct();
    // "Max-Processing-Cores": kernel processes a threaded assembly may run
    // at once.
    int32_t max_cores = 4;

    // --- Orchestration: opening, parsing, assembling, pushing parameters
    // and re-assembling (stand-in until the full context arrives; same names
    // and defaults as there) ---
    // Pane and renderer operations the pipeline calls (empty = no-op).
    AppHooks hooks;
    // Desktop services; only the local time text is read here.
    AppServices services;

    // The environments and the current one with its entity set and list
    // views. The interface builder creates "env0" and makes it current.
    EnvironmentList environments;
    Environment* environment = nullptr;
    EntitySet* entity_set = nullptr;
    EntityListView* entity_list_view = nullptr;
    EntityListView* parameter_list_view = nullptr;
    // The entity list's view until environments carry their own.
    EntityListView entity_list_view_standin;

    // Assembly settings.
    int32_t mesh_algorithm = MESH_OPTIMAL_CSG;
    uint8_t profiling = 0;
    // Whole-entity re-assembly culling ("CULLING").
    uint8_t reassembly_culling = 1;
    // Parallel-assembly flags.
    uint8_t multi_core_processing = 1;
    uint8_t parallel_culling = 1;
    uint8_t invocation_groups = 1;
    uint8_t ccpp = 0;
    uint8_t pre_emptive_optimisation = 0;
    // Display colouring.
    int32_t colour_mode = 0;
    uint8_t colour_negate = 0;
    uint8_t transparent_mode = 0;
    // The algorithm chosen in the re-assembly confirmation, and the entity
    // the single-entity confirmation was opened for (-1 none).
    int32_t confirm_algorithm = MESH_OPTIMAL_CSG;
    int32_t pending_reassembly_index = -1;

    uint8_t needs_redraw = 1;
    uint8_t open_pane_open = 0;
    uint8_t parse_pane_open = 0;
    uint8_t reset_confirm_open = 0;
    // Parameter row that asked for a single reset (-1 none).
    int32_t reset_parameter_row = -1;

    // The inline file browser's listing: per entry its name and selection
    // bit, and per display row the index of its entry.
    std::vector<std::string> browser_entries;
    std::vector<int32_t> browser_order;
    std::vector<uint8_t> browser_selected;
    int32_t browser_row_count = 0;
    // Full script paths left by the native dialog or a drop.
    std::vector<std::string> pending_paths;
    int32_t pending_path_count = 0;

    ParseReport parse_report;

    // GL object names of released meshes; the renderer deletes them.
    std::vector<uint32_t> retired_vertex_arrays;
    std::vector<uint32_t> retired_vertex_buffers;
    std::vector<uint32_t> retired_index_buffers;

    // Advance widths by byte value of the list-caption typeface (empty until
    // the interface builder copies them).
    std::vector<uint32_t> caption_glyph_widths;

    // The console and trace text elements (bound by the interface builder;
    // null = not built) and their content extents.
    int32_t interface_margin = 8;
    Element* console_text = nullptr;
    Element* trace_panes[4] = {nullptr, nullptr, nullptr, nullptr};
    int32_t console_content_width = 0;
    int32_t console_content_height = 0;
    int32_t trace_content_width[4] = {0, 0, 0, 0};
    int32_t trace_content_height[4] = {0, 0, 0, 0};

    // --- Camera, directives, status line and viewport (stand-in until the
    // full context arrives; same names and defaults as there) ---
    Camera live_camera = constructed_live_camera();
    int32_t camera_controller = CAMERA_FREE_ROAM;
    std::array<CameraSlot, 3> controller_cameras = EnvironmentViewState().camera_slots;
    double orbit_distance = 4.0;
    double orbit_angle_x = 30.0;
    double orbit_angle_y = 30.0;
    double orbit_angle_z = 0.0;
    // Wheel notches not yet applied; the tick consumes one per tick.
    int32_t zoom_steps = 0;
    double zoom_rate = 0.05;
    double min_orbit_distance = 0.05;
    double max_orbit_distance = 1000.0;
    double world_scale = 1.0;
    uint8_t camera_locked = 0;
    CameraDrag camera_drag;
    PendingCameraUpdate pending_camera_update;
    uint8_t orbit_about_centre = 0;
    // Camera changes are copied into the current viewport cell.
    uint8_t multi_view_enabled = 1;
    // The camera-directive table: six values (eye, look-at) and the declaring
    // entity's serial id (-1 none) per directive.
    int32_t selected_directive = -1;
    int32_t camera_directive_count = 0;
    std::vector<double> directive_values;
    std::vector<int32_t> directive_ids;
    uint8_t camera_directives_widget = 1;
    uint8_t ui_hidden = 0;
    uint8_t hidden_mode_widgets = 1;
    uint8_t minimal_mode = 0;
    int32_t show_frame_rate = 0;
    uint8_t full_screen = 0;
    int32_t window_width = 720;
    int32_t window_height = 480;
    int32_t ui_padding = 8;
    int32_t bar_height = 24;
    int32_t theme_index = 2;
    // The status line and its measured width.
    std::string attribute_trace_text;
    int32_t status_text_width = 0;
    std::vector<std::string> environment_names = {"env0"};
    int32_t environment_index = 0;
    // Bounds of the current environment's meshes (centre = minimum + extent / 2).
    std::array<double, 3> environment_minimum = {0.0, 0.0, 0.0};
    std::array<double, 3> environment_extent = {0.0, 0.0, 0.0};
    // Held keys by code (letters in both cases) and the arrows left, up,
    // right, down.
    uint8_t key_states[256] = {};
    uint8_t arrow_states[4] = {};
    // Widgets these operations read or change (bound by the interface
    // builder; null = not built). The root is the context itself later.
    Element* root_element = nullptr;
    Element* status_label = nullptr;
    Element* frame_rate_readout = nullptr;
    Element* small_window_notice = nullptr;
    Element* BORDER = nullptr;
    Element* window_width_field = nullptr;
    Element* window_height_field = nullptr;
    Element* camera_directive_handle = nullptr;
    Element* camera_directive_pane = nullptr;
    Viewport* viewport = nullptr;
};

// Refreshes the whole interface (the root container and every child).
void refresh_interface(AppContext& app);

#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/entity.h"
#include "model/environment.h"
#include "model/interop_mesh.h"
#include "app/app_hooks.h"
#include "app/parse_report.h"
#include "app/startup_scripts.h"
#include "platform/services.h"

struct Element;

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

    // --- Display options the frame renderer reads (stand-in until the full
    // context arrives; same names and defaults as there) ---
    int32_t theme_index = 2;                // Light
    const double* canvas_colour = nullptr;  // RGBA of the active theme; null draws black
    int32_t view_rect_x = 0;                // 3D view rectangle, y from the window top
    int32_t view_rect_y = 0;
    int32_t view_rect_width = 0;
    int32_t view_rect_height = 0;
    int32_t backdrop_gradient = -1;      // -1 off, 0 linear, 1 radial
    double background_intensity = 0.5;  // backdrop alpha
    uint8_t anti_aliasing = 1;          // draw the scene multisampled
    // --- end of the renderer's display options ---
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
};

// Refreshes the whole interface (the root container and every child).
void refresh_interface(AppContext& app);

#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Operations of the panes and the renderer that the pipeline calls upwards.
// They are reached through this table of plain function pointers held by
// the application context, so the pipeline never links the panes or the
// renderer; an empty slot is a no-op. The interface builder fills the table;
// tests fill it with recording stand-ins.

struct AppContext;
struct EntityRecord;

struct AppHooks {
    // Message panes.
    void (*show_error_box)(AppContext& app, const std::string& title, const std::string& text) = nullptr;
    void (*show_warning_box)(AppContext& app, const std::string& title, const std::string& text) = nullptr;

    // Pane and table rebuilds from the current environment.
    void (*refresh_mesh_statistics)(AppContext& app) = nullptr;
    void (*update_window_status)(AppContext& app) = nullptr;
    void (*rebuild_entity_rows)(AppContext& app) = nullptr;
    void (*rebuild_parameter_rows)(AppContext& app) = nullptr;
    void (*refresh_entity_inspector)(AppContext& app) = nullptr;
    void (*rebuild_parameter_pane)(AppContext& app) = nullptr;
    void (*build_camera_directive_rows)(AppContext& app) = nullptr;
    void (*build_variant_rows)(AppContext& app) = nullptr;
    void (*count_animation_directives)(AppContext& app) = nullptr;
    // Creates the parse report's row elements from the report model.
    void (*build_parse_report_rows)(AppContext& app) = nullptr;

    // Popups: whether any is open (the camera step pauses meanwhile); the
    // parse report's toggle; closing the open-script pane after an opening.
    bool (*any_popup_open)(AppContext& app) = nullptr;
    void (*toggle_parse_pane)(AppContext& app) = nullptr;
    void (*close_open_pane)(AppContext& app) = nullptr;

    // Carries lock, visibility and transform of a replaced entity over.
    void (*merge_entity_display_flags)(AppContext& app, const EntityRecord& old_entity,
                                       EntityRecord& new_entity) = nullptr;

    // Row labels and parameter controls.
    void (*set_entity_row_label)(AppContext& app, int32_t row, const std::string& text) = nullptr;
    void (*set_parameter_row_label)(AppContext& app, int32_t row, const std::string& text) = nullptr;
    // colour 0 leaves the field's colour as it is.
    void (*set_parameter_field)(AppContext& app, int32_t row, const std::string& text, uint32_t colour) = nullptr;
    void (*set_parameter_slider)(AppContext& app, int32_t row, double value) = nullptr;

    // Information message box (title, text).
    void (*show_info_box)(AppContext& app, const std::string& title, const std::string& text) = nullptr;
    // Points the canvas rectangle at viewport cell `cell` for its view.
    void (*select_subview_rect)(AppContext& app, int32_t cell) = nullptr;
    // Refills the colour-ramp swatches for the current colour space.
    void (*build_colour_ramp)(AppContext& app) = nullptr;
    // Places the main regions of the window for a canvas of width x height
    // and frames the 3D view; the renderer calls it every frame.
    void (*app_apply_display_options)(AppContext& app, int32_t width, int32_t height) = nullptr;

    // The console and trace panes, after a line is appended to the current
    // environment's log.
    void (*refresh_console_text)(AppContext& app) = nullptr;
    void (*refresh_trace_pane)(AppContext& app, int32_t channel) = nullptr;

    // Renderer.
    void (*recolour_entity)(AppContext& app, EntityRecord& entity) = nullptr;
    void (*update_attribute_trace)(AppContext& app) = nullptr;
};

// Calls a hook when it is set.
template <typename Hook, typename... Args>
inline void call_hook(Hook hook, Args&&... args) {
    if (hook) hook(std::forward<Args>(args)...);
}


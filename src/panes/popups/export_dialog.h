#pragma once
#include <cstdint>
#include <string>

struct AppContext;
struct EntitySet;
struct ExportSettings;

// The export pane's settings: option and format toggles, the size estimate
// that arms the export button, the output name and location.

// Mesh totals of the entities an export writes (the visible records).
struct ExportTotals {
    int64_t vertices = 0;
    int64_t ngon_indices = 0;
    int64_t tess_indices = 0;
    int64_t triangles = 0;
};
ExportTotals visible_export_totals(const EntitySet* set);

// Bytes the selected formats would take, in 64 bits throughout.
int64_t estimate_export_bytes(const ExportTotals& totals, const ExportSettings& settings);
// Whether the choice can be exported: something to write, and a topology
// for every format that needs one unless STL alone carries the export.
bool export_choice_ready(int64_t estimate, const ExportSettings& settings);
// "Estimated Size-on-Disk: " + megabytes with three decimals + " MB".
std::string export_size_caption(int64_t bytes);

// Recomputes the estimate, its label, export_ready and the export button's
// caption ("Export" armed, "!" not). Returns export_ready.
uint8_t refresh_export_dialog(AppContext& app);

// Option bit 0..5 (normals, colours, binary, polygons, triangles, time
// stamp) and format 0..3 (OBJ, OFF, PLY, STL): flip, mirror into the
// buttons, recompute, refresh the panes. Other indices do nothing.
void toggle_export_option(AppContext& app, int32_t bit);
void toggle_export_format(AppContext& app, int32_t format);

// Shows the current settings on the export pane, as an environment brings
// them back: an empty name (or one export_name_problem refuses) becomes
// "environment" and an empty directory the
// workspace; name, location, every toggle, both marks of each format and
// the estimate follow. Does not refresh the panes.
void show_export_settings(AppContext& app);

// The output directory and its label (cut at its start to fit, so that its
// last folder stays in view); the hint shows while it is empty.
// Does not refresh the panes.
void set_export_location(AppContext& app, const std::string& path);
// Name and directory both given, the name one that export_name_problem
// accepts, and the directory opens.
bool export_target_exists(const AppContext& app);
void set_export_name(AppContext& app, const std::string& text);
// Why `name` cannot be the export name (the warning box's text), or "" when
// it can. The name is a file name in the export location, never a path: it
// may not hold '/' and may not be "." or "..".
std::string export_name_problem(const std::string& name);
// A key typed in the name field: the text is stored as the export name
// only when it is one (export_name_problem), so no export ever writes
// outside the location shown.
void note_export_name_edit(AppContext& app, const std::string& text);
// The name field's text as it is committed (Enter, or the export button): a
// text export_name_problem refuses raises a warning box that says why, and
// the name and the field go back to the name last committed. False when it
// was refused.
bool commit_export_name_field(AppContext& app);

// Bound thunks on app_instance.
void on_toggle_export_normals();
void on_toggle_export_colours();
void on_toggle_export_binary();
void on_toggle_export_ngon();
void on_toggle_export_tess();
void on_toggle_export_timestamp();
void on_toggle_export_obj();
void on_toggle_export_off();
void on_toggle_export_ply();
void on_toggle_export_stl();

#include "panes/popups/export_dialog.h"

#include <algorithm>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/popups/message_boxes.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "text/text_utils.h"

namespace {

enum Option { NORMALS = 0, COLOURS = 1, BINARY = 2, POLYGONS = 3, TRIANGLES = 4, TIME_STAMP = 5 };
enum Format { OBJ = 0, OFF = 1, PLY = 2, STL = 3 };

bool format_on(const ExportSettings& s, int32_t f) { return s.export_format_bits[static_cast<size_t>(f)]; }

// Bytes of one file set in the chosen topologies over a per-vertex block.
int64_t topology_bytes(int64_t block, const ExportTotals& t, bool polygons, bool triangles, bool normals) {
    if (polygons && triangles)
        return 2 * block + (normals ? 8 : 4) * t.ngon_indices + (normals ? 8 : 4) * t.tess_indices;
    if (polygons) return block + 4 * t.ngon_indices;
    if (triangles) return block + 4 * t.tess_indices;
    return 0;
}

void mirror_option(AppContext& app, int32_t bit, bool on) {
    ExportSettings& s = app.export_settings;
    if (bit <= BINARY)
        s.export_attribute_bits[static_cast<size_t>(bit)] = on;
    else if (bit <= TRIANGLES)
        s.export_kind_bits[static_cast<size_t>(bit - POLYGONS)] = on;
    else
        s.export_timestamp = on ? 1 : 0;
}

}  // namespace

ExportTotals visible_export_totals(const EntitySet* set) {
    ExportTotals t;
    if (set == nullptr) return t;
    const size_t n = std::min(static_cast<size_t>(std::max(set->count, 0)), set->records.size());
    for (size_t i = 0; i < n; ++i) {
        const EntityRecord& e = set->records[i];
        if (!e.visible) continue;
        t.vertices += e.vertex_count;
        t.ngon_indices += e.ngon_index_count;
        t.tess_indices += e.triangle_index_count;
        t.triangles += e.triangle_count;
    }
    return t;
}

int64_t estimate_export_bytes(const ExportTotals& t, const ExportSettings& s) {
    const bool normals = s.export_attribute_bits[NORMALS], colours = s.export_attribute_bits[COLOURS];
    const bool binary = s.export_attribute_bits[BINARY];
    const bool polygons = s.export_kind_bits[0], triangles = s.export_kind_bits[1];
    const int64_t V = t.vertices;
    const int64_t positions = 24 * V * (normals ? 2 : 1);
    const int64_t block = positions + (colours ? 32 * V : 0);
    const int64_t ply_block = positions + (colours ? 4 * V : 0);
    const int64_t text_set = topology_bytes(block, t, polygons, triangles, normals);
    const int64_t ply_set = topology_bytes(ply_block, t, polygons, triangles, normals);
    int64_t bytes = 0;
    if (format_on(s, OBJ)) bytes += 2 * text_set;
    if (format_on(s, OFF)) bytes += 2 * text_set;
    if (format_on(s, PLY)) bytes += binary ? ply_set : 2 * ply_set;
    if (format_on(s, STL) && V > 0) {
        if (binary)
            bytes += 50 * t.triangles + 128;
        else if (t.triangles > 0)
            bytes += 294 * t.triangles + 2048;
    }
    return bytes;
}

bool export_choice_ready(int64_t estimate, const ExportSettings& s) {
    if (estimate <= 0) return false;
    const bool stl = format_on(s, STL);
    if (format_on(s, OBJ) || format_on(s, OFF) || format_on(s, PLY))
        return s.export_kind_bits[0] || s.export_kind_bits[1] || stl;
    return stl;
}

std::string export_size_caption(int64_t bytes) {
    return "Estimated Size-on-Disk: " + double_to_text_fixed(static_cast<double>(bytes) / 1048576.0, 3) + " MB";
}

uint8_t refresh_export_dialog(AppContext& app) {
    ExportSettings& s = app.export_settings;
    const int64_t bytes = estimate_export_bytes(visible_export_totals(app.entities.current_entities), s);
    app.dialogs.export_size_estimate = bytes;
    s.export_size_text = export_size_caption(bytes);
    app.export_size_label.set_text(s.export_size_text);
    s.export_ready = export_choice_ready(bytes, s) ? 1 : 0;
    app.export_button.set_text(s.export_ready ? "Export" : "!");
    return s.export_ready;
}

void toggle_export_option(AppContext& app, int32_t bit) {
    if (bit < NORMALS || bit > TIME_STAMP) return;
    std::vector<bool>& bits = app.export_settings.export_option_bits;
    const bool on = !bits[static_cast<size_t>(bit)];
    bits[static_cast<size_t>(bit)] = on;
    mirror_option(app, bit, on);
    app.export_option_buttons[bit].selected = on;
    refresh_export_dialog(app);
    refresh_root(app);
}

void toggle_export_format(AppContext& app, int32_t format) {
    if (format < OBJ || format > STL) return;
    std::vector<bool>& bits = app.export_settings.export_format_bits;
    const bool on = !bits[static_cast<size_t>(format)];
    bits[static_cast<size_t>(format)] = on;
    app.export_format_buttons[format].selected = on;
    app.export_format_checks[format].selected = on;
    refresh_export_dialog(app);
    refresh_root(app);
}

void show_export_settings(AppContext& app) {
    ExportSettings& s = app.export_settings;
    // A saved name that is a path (an edited state file) is no name either.
    if (s.export_name.empty() || !export_name_problem(s.export_name).empty()) s.export_name = "environment";
    s.committed_export_name = s.export_name;
    if (s.export_directory.empty()) s.export_directory = workspace_path;
    app.export_name_field.set_text(s.export_name);
    app.export_name_hint.visible = false;
    set_export_location(app, s.export_directory);
    const auto bit = [](const std::vector<bool>& bits, size_t i) { return i < bits.size() && bits[i]; };
    for (size_t i = 0; i < 6; ++i) app.export_option_buttons[i].selected = bit(s.export_option_bits, i);
    // A format shows on its row and on the row's check box alike.
    for (size_t i = 0; i < 4; ++i) {
        const bool on = bit(s.export_format_bits, i);
        app.export_format_buttons[i].selected = on;
        app.export_format_checks[i].selected = on;
    }
    refresh_export_dialog(app);
}

void set_export_location(AppContext& app, const std::string& path) {
    app.export_settings.export_directory = path;
    Element& value = app.export_location_value;
    value.extra_text = path;
    // The whole path on hover, however much of it the label shows.
    value.tooltip_title = "export location";
    value.tooltip_text = value.extra_text.c_str();
    value.set_text(fit_path_text(value.typeface, "", path, value.width - value.padding_left - value.padding_right));
    app.export_location_hint.visible = path.empty();
}

bool export_target_exists(const AppContext& app) {
    const ExportSettings& s = app.export_settings;
    return !s.export_name.empty() && export_name_problem(s.export_name).empty() && !s.export_directory.empty() &&
           path_exists(s.export_directory);
}

void set_export_name(AppContext& app, const std::string& text) {
    app.export_settings.export_name = text;
    refresh_root(app);
}

std::string export_name_problem(const std::string& name) {
    static const char* const note =
        "\n\nNote: the export name is a file name, not a path: the files\nare written into the export location "
        "under this name.";
    if (name.find('/') != std::string::npos) return concat4("The export name '", name, "' holds a '/'.", note);
    if (name == "." || name == "..") return concat4("The export name '", name, "' names a folder, not a file.", note);
    return std::string();
}

void note_export_name_edit(AppContext& app, const std::string& text) {
    ExportSettings& s = app.export_settings;
    if (s.committed_export_name.empty()) s.committed_export_name = s.export_name;
    if (export_name_problem(text).empty()) set_export_name(app, text);
}

bool commit_export_name_field(AppContext& app) {
    TextField& field = app.export_name_field;
    ExportSettings& s = app.export_settings;
    const std::string problem = export_name_problem(field.text);
    if (problem.empty()) {
        s.committed_export_name = field.text;
        return true;
    }
    // Back to the name before the edit, which an export would then use:
    // the valid beginning of a refused path ("sub" of "sub/inner") was
    // never meant as a name.
    if (!s.committed_export_name.empty()) s.export_name = s.committed_export_name;
    field.set_text(s.export_name);
    if (field.hint) field.hint->visible = field.text.empty();
    show_warning_box(app, "Warning: Invalid Export Name", problem);
    return false;
}

void on_toggle_export_normals() { on_instance<toggle_export_option, NORMALS>(); }
void on_toggle_export_colours() { on_instance<toggle_export_option, COLOURS>(); }
void on_toggle_export_binary() { on_instance<toggle_export_option, BINARY>(); }
void on_toggle_export_ngon() { on_instance<toggle_export_option, POLYGONS>(); }
void on_toggle_export_tess() { on_instance<toggle_export_option, TRIANGLES>(); }
void on_toggle_export_timestamp() { on_instance<toggle_export_option, TIME_STAMP>(); }
void on_toggle_export_obj() { on_instance<toggle_export_format, OBJ>(); }
void on_toggle_export_off() { on_instance<toggle_export_format, OFF>(); }
void on_toggle_export_ply() { on_instance<toggle_export_format, PLY>(); }
void on_toggle_export_stl() { on_instance<toggle_export_format, STL>(); }

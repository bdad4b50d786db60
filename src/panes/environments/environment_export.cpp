#include "panes/environments/environment_export.h"

#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "export/mesh_obj.h"
#include "export/mesh_off.h"
#include "export/mesh_ply.h"
#include "export/mesh_stl.h"
#include "export/mesh_writer.h"
#include "panes/popups/message_boxes.h"
#include "context/trace_channels.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {

void report(AppContext& app, const std::string& format, bool written, const std::string& base) {
    if (written) {
        append_file_io_trace(app, format + "-Write-Success: " + base);
        return;
    }
    append_file_io_trace(app, format + "-Write-Failure: " + base);
    append_error_trace(app, "Error Exporting " + format + " File: " + base);
}

// A file that was not written, and why.
struct ExportFailure {
    std::string path;
    std::string reason;
};

// One line per file, name and reason, then their folder: the box does not
// wrap, and a long folder must not hide what went wrong.
std::string export_failure_text(const std::vector<ExportFailure>& failures, const std::string& base) {
    std::string text = failures.size() == 1 ? "This file could not be written:\n" : "These files could not be written:\n";
    for (const ExportFailure& failure : failures)
        text += concat4("\n\t ", extract_file_name(failure.path), " : ", failure.reason);
    text += concat3("\n\n\t Folder: ", base.substr(0, base.rfind('/') + 1), "\n\n");
    text += failures.size() == 1 ? "Note: an earlier file of that name is left as it was."
                                 : "Note: earlier files of these names are left as they were.";
    return text;
}

}  // namespace

std::string export_base_path(const AppContext& app) {
    const ExportSettings& s = app.export_settings;
    std::string base = workspace_file(s.export_directory, s.export_name);
    if (s.export_timestamp) {
        const auto stamp = app.services.local_date_time_stamp;
        base += "_" + (stamp ? stamp() : std::string());
    }
    return base;
}

void export_environment_mesh(AppContext& app) {
    const EntitySet* set = app.entities.current_entities;
    if (set == nullptr) return;
    const int64_t start = now_ms();
    const ExportSettings& s = app.export_settings;
    const std::string base = export_base_path(app);
    const bool normals = s.export_attribute_bits[0], colours = s.export_attribute_bits[1];
    const bool binary = s.export_attribute_bits[2];
    const bool kinds[2] = {s.export_kind_bits[0], s.export_kind_bits[1]};
    const int topologies[2] = {TOPOLOGY_POLYGONS, TOPOLOGY_TRIANGLES};
    const char* const suffixes[2] = {"_NGON", "_TESS"};

    struct Format {
        const char* name;
        const char* extension;
    };
    const Format formats[3] = {{"OBJ", ".obj"}, {"OFF", ".off"}, {"PLY", ".ply"}};
    std::vector<ExportFailure> failures;
    for (int f = 0; f < 3; ++f) {
        if (!s.export_format_bits[static_cast<size_t>(f)]) continue;
        // A format without a topology writes nothing and counts as failed.
        bool written = kinds[0] || kinds[1];
        for (int k = 0; k < 2; ++k) {
            if (!kinds[k]) continue;
            const std::string path = base + suffixes[k] + formats[f].extension;
            bool ok = false;
            std::string reason;
            if (f == 0)
                ok = write_obj_file(*set, path, topologies[k], normals, colours, &reason);
            else if (f == 1)
                ok = write_off_file(*set, path, topologies[k], normals, colours, &reason);
            else
                ok = write_ply_file(*set, path, topologies[k], normals, colours, binary, &reason);
            if (!ok) failures.push_back({path, reason});
            written = written && ok;
        }
        report(app, formats[f].name, written, base);
    }
    if (s.export_format_bits[3]) {
        std::string reason;
        const bool ok = write_stl_file(*set, base + ".stl", binary, &reason);
        if (!ok) failures.push_back({base + ".stl", reason});
        report(app, "STL", ok, base);
    }

    const int64_t elapsed = now_ms() - start;
    app.pane_open_flags[PANE_LOAD] = 0;
    refresh_root(app);
    if (!failures.empty()) {
        show_error_box(app, "Error: Environment Mesh File Export Failure", export_failure_text(failures, base));
        return;
    }
    show_info_box(app, "Environment Mesh File Export Complete",
                  "Environment mesh written in " + double_to_text_fixed(static_cast<double>(elapsed) / 1000.0, 2) +
                      " seconds.");
}

void export_confirmed(AppContext& app) {
    app.pane_open_flags[PANE_EXPORT] = 0;
    app.EXPORTPANE.visible = false;
    export_environment_mesh(app);
}

void on_export_confirmed() {
    if (AppContext* app = app_instance) export_confirmed(*app);
}

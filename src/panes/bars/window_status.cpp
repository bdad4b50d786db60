#include "panes/bars/window_status.h"

#include <algorithm>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "panes/layout/pane_layouts.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {

size_t entity_count(const EntitySet& set) {
    size_t n = set.count < 0 ? 0 : static_cast<size_t>(set.count);
    return std::min(n, set.records.size());
}

std::string fixed2(double value) { return double_to_text_fixed(value, 2); }

}  // namespace

void refresh_mesh_statistics(AppContext& app) {
    const EntitySet* set = app.entities.current_entities;
    if (set == nullptr) return;
    EnvironmentStatistics s;
    bool have_box = false;
    for (size_t i = 0; i < entity_count(*set); ++i) {
        const EntityRecord& e = set->records[i];
        s.vertex_total += e.vertex_count;
        s.polygon_index_total += e.ngon_index_count;
        s.triangle_index_total += e.triangle_index_count;
        s.polygon_total += e.polygon_count;
        s.triangle_total += e.triangle_count;
        s.assembly_ms += e.assembly_ms;
        s.size_bytes += static_cast<int64_t>(e.mesh_bytes);
        const auto& lo = e.bounds[BOUNDS_MIN];
        const auto& hi = e.bounds[BOUNDS_MAX];
        // A parallel entity without meshes carries an inverted infinite box.
        bool empty_box = false;
        for (int a = 0; a < 3; ++a) empty_box = empty_box || !(lo[a] <= hi[a]);
        if (empty_box) continue;
        for (int a = 0; a < 3; ++a) {
            s.minimum[a] = have_box ? std::min(s.minimum[a], lo[a]) : lo[a];
            s.maximum[a] = have_box ? std::max(s.maximum[a], hi[a]) : hi[a];
        }
        have_box = true;
    }
    for (int a = 0; a < 3; ++a) s.extent[a] = s.maximum[a] - s.minimum[a];
    s.assembly_seconds = static_cast<double>(s.assembly_ms) / 1000.0;
    s.size_kb = static_cast<double>(s.size_bytes) / 1024.0;
    s.size_mb = s.size_kb / 1024.0;
    app.status.environment_statistics = s;
    build_mesh_statistics_text(app);
}

void build_mesh_statistics_text(AppContext& app) {
    const EnvironmentStatistics& s = app.status.environment_statistics;
    std::vector<std::string>& lines = app.status.statistics_lines;
    lines = {
        long_to_grouped_text(s.vertex_total) + " vertices",
        long_to_grouped_text(s.polygon_index_total) + " indices \t " + long_to_grouped_text(s.triangle_index_total),
        long_to_grouped_text(s.polygon_total) + " ngons (" + long_to_grouped_text(s.triangle_total) + " triangles)",
        "extent [ w:" + fixed2(s.extent[0]) + ",h:" + fixed2(s.extent[1]) + ",d:" + fixed2(s.extent[2]) + " ]",
        "min [ x:" + fixed2(s.minimum[0]) + ",y:" + fixed2(s.minimum[1]) + ",z:" + fixed2(s.minimum[2]) + " ]",
        "max [ x:" + fixed2(s.maximum[0]) + ",y:" + fixed2(s.maximum[1]) + ",z:" + fixed2(s.maximum[2]) + " ]",
        fixed2(s.assembly_seconds) + " seconds (" + long_to_text(s.assembly_ms) + " ms)",
        fixed2(s.size_mb) + " MB (" + fixed2(s.size_kb) + " kb | " + long_to_text(s.size_bytes) + " bytes)",
    };
    fit_statistics_text(app);
}

void update_window_status(AppContext& app) {
    const EntitySet* set = app.entities.current_entities;
    if (set == nullptr) return;
    const size_t n = entity_count(*set);
    std::string text, folder;
    if (n == 0) {
        text = "(open a vrekform script file...)";
    } else if (n == 1) {
        const std::string& path = set->records[0].parse_record.path;
        folder = extract_directory(path);
        text = "Script: " + extract_file_name(path) + " in " + folder;
    } else {
        std::vector<std::string> directories;
        text = long_to_text(static_cast<int64_t>(n)) + " Scripts: [";
        for (size_t i = 0; i < n; ++i) {
            const std::string& path = set->records[i].parse_record.path;
            if (i > 0) text += ", ";
            text += extract_file_name(path);
            std::string directory = extract_directory(path);
            if (std::find(directories.begin(), directories.end(), directory) == directories.end())
                directories.push_back(directory);
        }
        text += "] in ";
        if (directories.size() == 1) {
            text += directories[0];
        } else {
            text += long_to_text(static_cast<int64_t>(directories.size())) + " Locations: ['";
            for (size_t i = 0; i < directories.size(); ++i) {
                text += directories[i] + "'";
                text += i + 1 < directories.size() ? ", '" : "]";
            }
        }
    }
    app.status.status_text = text;
    app.ui_flags.bar_scroll_factors[BAR_SCROLL_TIP] = 0.0;
    Label& label = app.script_placeholder_label;
    label.set_text(text);
    label.x = 0;
    label.y = 0;
    app.io_settings.placeholder_text_width = label.text_width;
    label.height = app.ui_metrics.row_height;
    label.width = label.text_width + 2 * app.ui_metrics.ui_padding;
    label.extra_text = folder;
    // The whole folder on hover, however much of it the line shows.
    label.tooltip_title = folder.empty() ? nullptr : "script location";
    label.tooltip_text = folder.empty() ? nullptr : label.extra_text.c_str();
    fit_script_line(app, app.TIPSCROLL.width);
}

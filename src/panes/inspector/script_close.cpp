#include "panes/inspector/script_close.h"

#include <algorithm>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "context/console_lines.h"
#include "panes/bars/directive_bars.h"
#include "panes/inspector/entity_inspector.h"
#include "panes/inspector/entity_lists.h"
#include "panes/inspector/parameter_pane.h"
#include "panes/bars/window_status.h"
#include "pipeline/orchestration_common.h"
#include "text/split.h"

void remove_parameter_entity_index(AppContext& app, int32_t entity_index) {
    EntityListView* view = app.entities.current_environment_parts.parameter_view;
    const EntitySet* set = app.entities.current_entities;
    if (!view || !set) return;
    const auto& listed = set->parameter_entities;
    const auto found = std::find(listed.begin(), listed.end(), entity_index);
    if (found == listed.end() || view->selected_row < 0) return;
    const int32_t row = static_cast<int32_t>(found - listed.begin());
    if (row == view->selected_row) {
        view->selected_row = -1;
        view->selected_serial = -1;
    } else if (row < view->selected_row) {
        --view->selected_row;
    }
}

void refresh_after_entity_removal(AppContext& app) {
    refresh_mesh_statistics(app);
    update_window_status(app);
    EntityListView* view = app.entities.current_environment_parts.parameter_view;
    if (view) measure_entity_set(*view);
}

void close_script(AppContext& app) {
    const int32_t k = app.dialogs.pending_delete_index;
    app.dialogs.pending_delete_index = -1;
    EntitySet* set = app.entities.current_entities;
    const int32_t count = set ? std::min(set->count, static_cast<int32_t>(set->records.size())) : 0;
    if (set && k >= 0 && k < count) {
        EntityRecord& entity = set->records[static_cast<size_t>(k)];
        if (entity.parallel == 1) release_subelement_records(app, entity.subelement_records);
        remove_parameter_entity_index(app, k);
        append_console_line(app, "Script-File Closed: " + extract_file_name(entity.parse_record.path), true);

        InteropMesh* mesh = entity.mesh;
        entity.mesh = nullptr;
        destroy_entity_record(entity);
        set->records.erase(set->records.begin() + k);
        set->count = count - 1;
        index_entities_with_parameters(*set);
        build_flat_entity_table(*set);
        set->dirty = 1;

        if (EntityListView* view = app.entities.current_environment_parts.entity_view) {
            if (view->selected_row == k) view->selected_row = -1;
            else if (view->selected_row > k) --view->selected_row;
            int32_t widest = 0;
            for (const EntityRecord& e : set->records) widest = std::max(widest, e.summary_width);
            view->width = widest;
        }
        refresh_after_entity_removal(app);
        // A parallel entity's own mesh, should it have one, goes as well.
        retire_mesh(app, mesh);
    } else {
        refresh_after_entity_removal(app);
    }
    rebuild_entity_rows(app);
    rebuild_parameter_rows(app);
    refresh_entity_inspector(app);
    rebuild_parameter_pane(app);
    build_camera_directive_rows(app);
    build_variant_rows(app);
    count_animation_directives(app);
    // The status line counts the entities.
    call_hook(app.hooks.update_attribute_trace, app);
    app.frame.needs_redraw = 1;
}

void close_script() {
    if (AppContext* app = app_instance) close_script(*app);
}

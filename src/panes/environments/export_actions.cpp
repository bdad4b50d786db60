#include "panes/environments/export_actions.h"

#include <algorithm>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/popups/algorithm_selection.h"
#include "panes/bars/bar_toggles.h"
#include "panes/inspector/confirmations.h"
#include "panes/environments/environment_export.h"
#include "panes/popups/export_dialog.h"
#include "panes/popups/message_boxes.h"
#include "panes/popups/popups.h"
#include "pipeline/reassembly.h"

namespace {

constexpr int32_t icon_export = 4;
constexpr int32_t icon_refresh = 24;
const char* const slow_note = "Note: this operation may take some time.";

size_t entity_count(const EntitySet* set) {
    if (set == nullptr) return 0;
    return std::min(static_cast<size_t>(std::max(set->count, 0)), set->records.size());
}

// The re-assembly confirmation with its algorithm row, starting on the
// current algorithm.
void confirm_reassembly(AppContext& app, const std::string& title, ConfirmCallback action) {
    select_confirm_mesh_algorithm(app, app.io_settings.meshing_algorithm);
    show_confirm_dialog(app, title, slow_note, icon_refresh, nullptr, action);
    show_confirm_extra(app);
}

void return_to_export_pane() {
    if (AppContext* app = app_instance) app->EXPORTPANE.visible = true;
}

void close_run_pane_and_assemble(AppContext& app) {
    escape_from_popups(app);
    assemble_environment_action(app);
}

}  // namespace

void assemble_environment_action(AppContext& app) {
    const EntitySet* set = app.entities.current_entities;
    const size_t count = entity_count(set);
    if (count == 0) {
        show_warning_box(app, "Warning: Nothing to Assemble",
                         "Open a Vrekform script file in order to use the assemble function.");
        return;
    }
    if (count == 1) {
        const EntityRecord& entity = set->records[0];
        const std::string name = script_file_name(entity.parse_record.path);
        if (entity.locked) {
            show_warning_box(
                app, "Warning: Entity is Assembly Locked",
                "The entity \"" + name +
                    "\" is assembly-locked.\n\nNote: in order to re-assemble the entity - release the "
                    "assembly-lock\nusing the toggle-lock button in the entity-inspector's environment list.\n\n"
                    "Alternatively explicitly invoke re-assembly via the force-refresh\nbutton in the "
                    "entity-inspector's environment list.");
            return;
        }
        confirm_reassembly(app, "Confirm Re-Assembly of " + name, reassemble_first_entity);
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        if (set->records[i].locked) continue;
        confirm_reassembly(app, "Confirm Re-Assembly of Environment Entities", reassemble_all_entities);
        return;
    }
    show_warning_box(app, "Warning: All Entities are Assembly-Locked",
                     "All entities in the current environment are assembly-locked.\n\nNote: in order to "
                     "re-assemble - release one or more assembly-locks\nusing the toggle-lock buttons in the "
                     "entity-inspector's environment list.\n\nAlternatively explicitly invoke re-assembly "
                     "per-entity using the\nforce-refresh buttons in the entity-inspector's environment list.");
}

void export_environment_action(AppContext& app) {
    if (!app.export_settings.export_ready) {
        show_warning_box(app, "Warning: Invalid Export Options",
                         "The specified export configuration is not valid.\n\nNote: that at least one 3D-model "
                         "file format must be\nselected and (unless exporting only STL format)\npolygons and/or "
                         "tesselations selected.\n\nNote: additionally check that there is at least\none visible "
                         "entity in the environment.");
        return;
    }
    // A refused name still in the field is committed (and refused) here,
    // never exported under the last name that was one.
    if (!commit_export_name_field(app)) return;
    if (!export_target_exists(app)) {
        show_warning_box(app, "Warning: Invalid Export File",
                         "The specified export configuration is not valid.\n\nNote: the concatenated output file "
                         "path is not valid.");
        return;
    }
    app.EXPORTPANE.visible = false;
    show_confirm_dialog(app, "Confirm Environment Mesh File Export Operation", slow_note, icon_export,
                        return_to_export_pane, on_export_confirmed);
}

void open_export_dialog(AppContext& app) {
    if (entity_count(app.entities.current_entities) == 0) {
        show_warning_box(app, "Warning: Nothing to Export", "Assemble one or more mesh to use the export function.");
        return;
    }
    refresh_export_dialog(app);
    app.pane_open_flags[PANE_EXPORT] = 1;
    app.EXPORTPANE.visible = true;
    app.OVERLAY.visible = true;
    app.MASKPANE.visible = true;
    refresh_root(app);
}

void on_click_assemble() { on_instance<close_run_pane_and_assemble>(); }
void on_click_export() { on_instance<export_environment_action>(); }
void on_click_open_export_dialog() { on_instance<open_export_dialog>(); }
void on_click_export_tool() { on_instance<open_export_dialog>(); }

void on_export_name_enter() { on_instance<on_export_name_enter>(); }
bool on_export_name_typed(int32_t, int32_t) {
    AppContext* app = app_instance;
    return app != nullptr && on_export_name_typed(*app);
}

#include "panes/inspector/confirmations.h"

#include <cstdio>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "model/entity.h"
#include "panes/popups/algorithm_selection.h"
#include "panes/popups/popups.h"
#include "panes/inspector/script_close.h"
#include "pipeline/parameter_push.h"
#include "pipeline/reassembly.h"

namespace {

constexpr int32_t icon_delete = 1;
constexpr int32_t icon_refresh = 24;

EntityRecord* entity_at(AppContext& app, int32_t index) {
    EntitySet* set = app.entities.current_entities;
    if (set == nullptr || index < 0 || index >= set->count || static_cast<size_t>(index) >= set->records.size())
        return nullptr;
    return &set->records[static_cast<size_t>(index)];
}

void report_missing_mesh() {
    std::fputs("CRITICAL-INTERNAL-ERROR:UNDERLYING-MESH-POINTER-IS-NULL!\n", stdout);
    std::fflush(stdout);
}

void set_icon_mirrored(AppContext& app, bool mirrored) { app.confirm_icon_element.icon_flip_x = mirrored; }

// Cancel callbacks and actions: parameterless, on app_instance.
void cancel_delete() {
    if (AppContext* app = app_instance) app->dialogs.pending_delete_index = -1;
}
void cancel_reassembly() {
    if (AppContext* app = app_instance) app->dialogs.pending_reassembly_index = -1;
}
void cancel_parameter_reset() {
    if (AppContext* app = app_instance) {
        app->export_settings.pending_parameter_index = -1;
        set_icon_mirrored(*app, false);
    }
}
void cancel_parameters_reset() {
    if (AppContext* app = app_instance) set_icon_mirrored(*app, false);
}
void delete_entity_action() {
    if (AppContext* app = app_instance) close_script(*app);
}
void reset_parameter_action() {
    if (AppContext* app = app_instance) {
        set_icon_mirrored(*app, false);
        reset_selected_parameter(*app);
    }
}
void reset_parameters_action() {
    if (AppContext* app = app_instance) {
        set_icon_mirrored(*app, false);
        reset_all_parameters(*app);
    }
}
void reassemble_action() {
    if (AppContext* app = app_instance) reassemble_pending_entity(*app);
}

}  // namespace

std::string script_file_name(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string reset_parameters_title(int32_t selected, int32_t total) {
    const bool some = selected > 0 && selected < total;
    const bool single = selected == 1 && selected < total;
    return std::string("Confirm Reset of ") + (some ? "Selected" : "All") + " Entity Parameter Value" +
           (single ? "" : "s");
}

void show_confirm_dialog(AppContext& app, const std::string& title, const std::string& text, int32_t icon,
                         ConfirmCallback cancel, ConfirmCallback action) {
    auto& d = app.dialogs;
    d.confirm_title = title;
    d.confirm_text = text;
    d.confirm_record = {title, text};
    d.confirm_action = action;
    d.confirm_icon = icon;
    app.pane_open_flags[PANE_CONFIRM] = 1;
    d.confirm_cancel_callback = cancel;
    app.confirm_title_label.set_text(title);
    app.confirm_note_label.set_text(text);
    app.confirm_icon_element.icon = icon;
    app.CONFIRMPANE.visible = true;
    app.OVERLAY.visible = true;
    app.MASKPANE.visible = true;
    refresh_root(app);
}

void confirm_delete_entity(AppContext& app, int32_t entity_index) {
    EntityRecord* entity = entity_at(app, entity_index);
    if (entity == nullptr) return;
    if (entity->parallel == 0 && entity->mesh == nullptr) {
        report_missing_mesh();
        return;
    }
    app.dialogs.pending_delete_index = entity_index;
    show_confirm_dialog(app, "Confirm Delete of " + script_file_name(entity->parse_record.path),
                        "Note: this removes the entity from the environment.", icon_delete, cancel_delete,
                        delete_entity_action);
}

void confirm_reset_parameter(AppContext& app, int32_t parameter_index) {
    if (parameter_index < 0 || parameter_entity_record(app) == nullptr) return;
    app.export_settings.pending_parameter_index = parameter_index;
    set_icon_mirrored(app, true);
    show_confirm_dialog(app, "Confirm Reset of Entity Parameter Value", "Note: this operation cannot be undone.",
                        icon_refresh, cancel_parameter_reset, reset_parameter_action);
}

void confirm_reset_parameters(AppContext& app) {
    EntityRecord* entity = parameter_entity_record(app);
    if (entity == nullptr) return;
    const std::vector<EntityParameter*> parameters = listed_parameters(*entity);
    const int32_t total = static_cast<int32_t>(parameters.size());
    int32_t selected = 0;
    for (size_t i = 0; i < parameters.size(); ++i) {
        if (parameter_mark(*entity, i)) ++selected;
    }
    set_icon_mirrored(app, true);
    show_confirm_dialog(app, reset_parameters_title(selected, total), "Note: this operation cannot be undone.",
                        icon_refresh, cancel_parameters_reset, reset_parameters_action);
}

void confirm_reassemble_entity(AppContext& app, int32_t entity_index) {
    EntityRecord* entity = entity_at(app, entity_index);
    if (entity == nullptr) return;
    if (entity->mesh != nullptr) {
        app.dialogs.pending_reassembly_index = entity_index;
        select_confirm_mesh_algorithm(app, entity->parallel ? entity->algorithm : entity->mesh->algorithm);
    } else if (entity->parallel == 0) {
        report_missing_mesh();
        return;
    } else {
        app.dialogs.pending_reassembly_index = entity_index;
        select_confirm_mesh_algorithm(app, entity->algorithm);
    }
    show_confirm_dialog(app, "Confirm Re-Assembly of " + script_file_name(entity->parse_record.path),
                        "Note: this operation may take some time.", icon_refresh, cancel_reassembly,
                        reassemble_action);
    show_confirm_extra(app);
}

void on_click_reset_parameters() {
    if (AppContext* app = app_instance) confirm_reset_parameters(*app);
}

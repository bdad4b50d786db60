#include "panes/environments/environments.h"

#include <algorithm>

#include "context/app_context.h"
#include "context/console_lines.h"
#include "context/current_environment.h"
#include "panes/environments/environment_state.h"
#include "panes/environments/environment_tabs.h"
#include "panes/inspector/confirmations.h"

namespace {

constexpr int32_t icon_delete = 1;

// The environment the close confirmation was opened for: the hovered tab
// may change before OK is pressed.
int32_t environment_to_close = -1;

void close_environment_action() {
    if (AppContext* app = app_instance) on_confirm_close_environment(*app, environment_to_close);
}

void append_ids(std::vector<uint32_t>& queue, const std::vector<uint32_t>& ids) {
    queue.insert(queue.end(), ids.begin(), ids.end());
}

// Frees every mesh of the set and every sub-element record (with its mesh).
void free_environment_meshes(EntitySet& set) {
    for (EntityRecord& entity : set.records) {
        if (entity.parallel != 0) {
            for (EntityRecord*& sub : entity.subelement_records) {
                if (sub == nullptr) continue;
                free_interop_mesh(sub->mesh);
                sub->mesh = nullptr;
                destroy_entity_record(*sub);
                delete sub;
                sub = nullptr;
            }
            entity.subelement_records.clear();
        } else {
            free_interop_mesh(entity.mesh);
        }
        entity.mesh = nullptr;
    }
    // The flat table pointed at the freed sub-element records.
    set.flat_table.clear();
}

void add_environment_on_instance() {
    if (app_instance != nullptr) add_environment(*app_instance);
}

}  // namespace

void start_busy_animation(AppContext& app, ActionCallback callback) {
    StatusState& fade = app.status;
    if (fade.transition_active) return;
    fade.transition_active = 1;
    fade.transition_direction = 1;
    fade.transition_step_count = 0;
    fade.transition_value = 0.0;
    fade.transition_callback = callback;
    app.busy_mask.visible = true;
    app.busy_mask.opacity = 0.0;
    app.busy_indicator.opacity = 1.0;
}

void request_new_environment(AppContext& app) {
    app.bars.environment_switching = 1;
    notify_environment_change(app);
    start_busy_animation(app, add_environment_on_instance);
}

void add_startup_environment(AppContext& app) {
    EntityState& state = app.entities;
    if (state.environment_list.environment_pointers.empty()) make_new_environment_current(app);
    else bind_environment(app, state.environment_list.environment_pointers.front());
    state.environment_index = 0;
    state.environment_count = state.environment_list.count;
    state.environment_names.clear();
    for (const Environment* environment : state.environment_list.environment_pointers)
        state.environment_names.push_back(environment->name);
}

void add_environment(AppContext& app) {
    EntityState& state = app.entities;
    save_environment_state(app);
    Environment* environment = make_new_environment_current(app);
    // The console's heading sits on its first line: a new console starts
    // with a blank one, as the first environment's does.
    append_console_line(app, " ", false);
    state.environment_index = state.environment_count;
    state.environment_names.push_back(environment->name);
    ++state.environment_count;
    rebuild_environment_tabs(app);
    load_environment_ui_state(app);
    notify_environment_change(app);
}

void switch_to_pending_environment(AppContext& app) {
    EntityState& state = app.entities;
    const int32_t k = app.bars.pending_environment;
    app.bars.pending_environment = -1;
    app.bars.environment_switch_countdown = -1;
    const auto& pointers = state.environment_list.environment_pointers;
    if (k < 0 || k >= state.environment_count || static_cast<size_t>(k) >= pointers.size()) return;
    save_environment_state(app);
    bind_environment(app, pointers[static_cast<size_t>(k)]);
    state.environment_index = k;
    rebuild_environment_tabs(app);
    load_environment_ui_state(app);
    notify_environment_change(app);
}

void close_environment(AppContext& app, int32_t index) {
    EntityState& state = app.entities;
    EnvironmentList& list = state.environment_list;
    if (index < 0 || index >= state.environment_count || index == state.environment_index) return;
    if (static_cast<size_t>(index) >= list.environment_pointers.size()) return;
    Environment* closing = list.environment_pointers[static_cast<size_t>(index)];
    if (closing == nullptr || closing == state.current_environment) return;

    GlRetirement& queues = app.gl_retirement;
    append_ids(queues.retired_vertex_arrays, collect_mesh_gl_object_ids(closing->entities, 'A'));
    append_ids(queues.retired_vertex_buffers, collect_mesh_gl_object_ids(closing->entities, 'B'));
    append_ids(queues.retired_index_buffers, collect_mesh_gl_object_ids(closing->entities, 'I'));
    free_environment_meshes(closing->entities);

    closing->closing = 1;
    const auto node = std::find_if(list.environments.begin(), list.environments.end(),
                                   [](const Environment& e) { return e.closing != 0; });
    if (node != list.environments.end()) {
        environment_destruct(*node);
        list.environments.erase(node);
    }
    list.environment_pointers.erase(list.environment_pointers.begin() + index);
    list.count = static_cast<int32_t>(list.environment_pointers.size());
    state.environment_count = std::max(state.environment_count - 1, 0);

    if (state.environment_index > index) --state.environment_index;
    // A queued switch still goes to the environment it named.
    int32_t& pending = app.bars.pending_environment;
    if (pending == index) {
        pending = -1;
        app.bars.environment_switch_countdown = -1;
    } else if (pending > index) {
        --pending;
    }
    if (static_cast<size_t>(index) < state.environment_names.size())
        state.environment_names.erase(state.environment_names.begin() + index);
    state.hovered_environment_tab = -1;
    rebuild_environment_tabs(app);
}

void close_marked_environment(AppContext& app) { close_environment(app, app.entities.hovered_environment_tab); }

void on_confirm_close_environment(AppContext& app, int32_t index) {
    close_environment(app, index);
    notify_environment_change(app);
}

void confirm_close_environment(AppContext& app) {
    environment_to_close = app.entities.hovered_environment_tab;
    show_confirm_dialog(app, "Confirm Environment Close",
                        "Note: this operation releases the resources used and cannot be undone.", icon_delete,
                        nullptr, close_environment_action);
}

void on_close_environment() {
    AppContext* app = app_instance;
    if (app == nullptr) return;
    const int32_t index = app->entities.hovered_environment_tab;
    if (index < 0 || index >= app->entities.environment_count || index == app->entities.environment_index) return;
    confirm_close_environment(*app);
    refresh_root(*app);
}

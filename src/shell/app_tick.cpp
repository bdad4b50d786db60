#include "shell/app_tick.h"

#include "context/app_context.h"
#include "context/current_environment.h"
#include "model/entity.h"
#include "panes/layout/layout_mode_flags.h"
#include "panes/inspector/parameter_actions.h"
#include "panes/browser/path_configuration.h"
#include "panes/popups/popups.h"
#include "panes/browser/browser_selection.h"
#include "panes/environments/environments.h"
#include "panes/popups/report_views.h"
#include "pipeline/open_scripts.h"
#include "pipeline/parameter_push.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "render/camera_control.h"
#include "render/redraw.h"
#include "shell/app_callbacks.h"
#include "shell/startup_sequence.h"
#include "ui/root_input.h"
#include "ui/ui_state.h"

int64_t browser_key_press_ms = 0;
int64_t browser_repeat_ms = 0;

namespace {

bool arrow_held(const AppContext& app, int32_t key) { return app.camera.arrow_states[key - KEY_LEFT] != 0; }

void step_browser_repeat(AppContext& app, int64_t now) {
    if (!app.pane_open_flags[PANE_FILE]) return;
    const bool up = arrow_held(app, KEY_UP);
    const bool down = arrow_held(app, KEY_DOWN);
    if (!up && !down) return;
    if (now - browser_repeat_ms > 50 && now - browser_key_press_ms > 500) {
        browser_repeat_ms = now;
        if (up) {
            file_browser_select_previous(app);
            refresh_root(app);
        }
        if (down) {
            file_browser_select_next(app);
            refresh_root(app);
        }
    }
}

void run_deferred_requests(AppContext& app) {
    auto& requests = app.deferred_requests;
    if (requests.deferred_countdown > 0) --requests.deferred_countdown;
    if (requests.deferred_countdown != 0) return;
    if (requests.open_selected_requested) {
        requests.open_selected_requested = 0;
        open_selected_scripts(app);
    }
    if (requests.open_paths_requested) {
        requests.open_paths_requested = 0;
        open_script_paths(app);
    }
    if (requests.native_open_requested) {
        requests.native_open_requested = 0;
        run_native_open_script_dialog(app);
    }
    if (requests.export_folder_requested) {
        requests.export_folder_requested = 0;
        choose_export_folder(app);
    }
    if (app.dialogs.confirm_accepted) {
        app.dialogs.confirm_accepted = 0;
        finish_confirmed_action(app);
    }
    if (requests.deferred_countdown == 0) requests.deferred_countdown = -1;
}

void step_environment_switch(AppContext& app) {
    if (app.bars.pending_environment < 0) return;
    if (app.bars.environment_switch_countdown >= 1) {
        --app.bars.environment_switch_countdown;
    } else {
        switch_to_pending_environment(app);
    }
}

void step_parameter_pushes(AppContext& app) {
    if (EntityRecord* entity = parameter_entity_record(app)) {
        if (entity->parameter_push_pending) {
            entity->parameter_push_pending = 0;
            push_selected_entity_parameters(app);
        }
    }
    // A variant applied since the last tick: its entity is pushed once.
    const int32_t variant = app.bars.applied_variant_index;
    if (variant >= 0) {
        app.bars.applied_variant_index = -1;
        if (EntityRecord* entity = variant_entity(app, variant))
            push_entity_parameters(app, entity, entity == parameter_entity_record(app));
    }
    const int32_t index = app.deferred_requests.pending_parameter_push;
    if (index >= 0) {
        app.deferred_requests.pending_parameter_push = -1;
        // An index, not a pointer: the entity vector may have grown since.
        EntitySet* set = app.entities.current_entities;
        if (set != nullptr && index < set->count && static_cast<size_t>(index) < set->records.size()) {
            push_entity_parameters(app, &set->records[static_cast<size_t>(index)], false);
        }
    }
}

}  // namespace

int32_t app_on_tick(PlatformListener*) {
    if (AppContext* app = app_instance) app_tick(*app);
    return 0;
}

void app_tick(AppContext& app) {
    const int64_t now = now_ms();
    step_browser_repeat(app, now);
    if (!app.startup.startup_done) {
        step_startup_sequence(app);
        return;
    }
    if (app.status.transition_active) {
        step_busy_animation(app);
        return;
    }
    // The frame since the open showed the new mesh single-sampled: now the
    // still one. Before the requests, so an open in this tick keeps its mark.
    if (app.frame.opened_mesh_draft) {
        app.frame.opened_mesh_draft = 0;
        request_redraw(app);
    }
    run_deferred_requests(app);
    step_environment_switch(app);
    step_parameter_pushes(app);
    if (app.status.hint_bar_shown) update_tooltip_panel(app);
    if (app.ui_flags.camera_locked || any_popup_open(app)) return;
    camera_tick_step(app, now);
}

void reset_app_tick_for_tests() {
    browser_key_press_ms = 0;
    browser_repeat_ms = 0;
    reset_camera_tick_clock();
}

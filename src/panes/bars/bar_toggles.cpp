#include "panes/bars/bar_toggles.h"
#include "panes/bars/directive_bars.h"

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/popups/export_dialog.h"
#include "model/entity.h"
#include "pipeline/parameter_push.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

// camera_directive_buttons, in the bar's order.
enum DirectiveButton : int32_t {
    CD_SYNC = 0,
    CD_AUTO_SYNC,
    CD_PREVIOUS,
    CD_NEXT,
    CD_ROOT_MODE,
    CD_LAYOUT,
    CD_ANIMATE,
    CD_GOTO,
};

void flip(uint8_t& flag, Element& button) {
    flag ^= 1;
    button.selected = flag != 0;
}

void flip_and_refresh(AppContext& app, uint8_t& flag, Element& button) {
    flip(flag, button);
    refresh_root(app);
}

}  // namespace

void request_redraw_and_refresh(AppContext& app) {
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

void request_camera_directive_sync(AppContext& app) {
    app.bars.directive_sync_enabled = 1;
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

void toggle_root_camera_directive_mode(AppContext& app) {
    flip_and_refresh(app, app.bars.camera_directive_root_mode, app.camera_directive_buttons[CD_ROOT_MODE]);
}
void toggle_camera_directive_auto_sync(AppContext& app) {
    flip_and_refresh(app, app.bars.camera_directive_auto_sync, app.camera_directive_buttons[CD_AUTO_SYNC]);
}
void toggle_camera_directive_animation(AppContext& app) {
    flip_and_refresh(app, app.bars.camera_directive_animate, app.camera_directive_buttons[CD_ANIMATE]);
}
void toggle_goto_camera_directive(AppContext& app) {
    flip(app.bars.camera_directive_goto, app.camera_directive_buttons[CD_GOTO]);
    app.goto_eye_field.visible = app.bars.camera_directive_goto != 0;
    app.goto_target_field.visible = app.bars.camera_directive_goto != 0;
    refresh_root(app);
}

void toggle_parallel_multi_core(AppContext& app) {
    flip_and_refresh(app, app.bars.parallel_multi_core, app.parallel_flag_buttons[0]);
}
void toggle_parallel_reassembly_culling(AppContext& app) {
    flip_and_refresh(app, app.bars.parallel_culling, app.parallel_flag_buttons[1]);
}
void toggle_parallel_invocation_groups(AppContext& app) {
    flip_and_refresh(app, app.bars.parallel_invocation_groups, app.parallel_flag_buttons[2]);
}
void toggle_parallel_ccpp(AppContext& app) {
    flip_and_refresh(app, app.bars.parallel_ccpp, app.parallel_flag_buttons[3]);
}
void toggle_parallel_preemptive_optimisation(AppContext& app) {
    flip_and_refresh(app, app.bars.parallel_preemptive, app.parallel_flag_buttons[4]);
}

void toggle_camera_lock(AppContext& app) {
    app.ui_flags.camera_locked ^= 1;
    app.LOCKICON.visible = app.ui_flags.camera_locked != 0;
    refresh_root(app);
}

void toggle_variant_bar_highlight(AppContext& app) {
    app.bars.variant_bar_expanded ^= 1;
    app.variant_bar_header.background_palette =
        app.bars.variant_bar_expanded ? &active_theme.palettes[11] : nullptr;
    refresh_root(app);
}

void toggle_help_hover_tips(AppContext& app) {
    app.status.hint_bar_shown ^= 1;
    app.help_hover_toggle.background_palette = app.status.hint_bar_shown ? &active_theme.palettes[11] : nullptr;
    refresh_root(app);
}

void toggle_ppd_index_column() {
    if (AppContext* app = app_instance) toggle_ppd_index_column(*app);
}

void toggle_ppd_index_column(AppContext& app) {
    Element& column = app.popup_contents.profile.halves[0];
    Element& text = app.popup_contents.profile.halves[1];
    column.visible = !column.visible;
    const int32_t popup_width = app.ui_metrics.popup_width;
    if (column.visible) {
        text.x = 3 * app.ui_metrics.menu_half_width;
        text.width = popup_width - 169;
    } else {
        text.x = 0;
        text.width = popup_width - 1;
    }
    refresh_root(app);
}

namespace {

// The key strip and the parallel-flags strip share the status row: opening
// one closes the other.
void toggle_exclusive_strip(AppContext& app, uint8_t& open, Element& button, Element& host, uint8_t& other_open,
                            Element& other_button, Element& other_host) {
    open ^= 1;
    button.selected = open != 0;
    host.visible = open != 0;
    other_button.selected = false;
    other_host.visible = false;
    other_open = 0;
    refresh_root(app);
}

}  // namespace

void toggle_llmi_key_strip(AppContext& app) {
    auto& bars = app.bars;
    toggle_exclusive_strip(app, bars.ll_inspector_expanded, app.ll_inspector_button, app.ll_inspector_bar,
                           bars.parallel_flags_expanded, app.parallel_flags_button, app.parallel_flags_bar);
}

void toggle_parallel_flags_strip(AppContext& app) {
    auto& bars = app.bars;
    toggle_exclusive_strip(app, bars.parallel_flags_expanded, app.parallel_flags_button, app.parallel_flags_bar,
                           bars.ll_inspector_expanded, app.ll_inspector_button, app.ll_inspector_bar);
}

void toggle_camera_directive_button_layout(AppContext& app) {
    auto& bars = app.bars;
    bars.camera_directive_layout = bars.camera_directive_layout == 1 ? 2 : 1;
    app.camera_directive_buttons[CD_LAYOUT].selected = bars.camera_directive_layout == 2;
    layout_camera_directive_buttons(app);
    refresh_root(app);
}

void toggle_parameter_auto_sync(AppContext& app) {
    EntityRecord* entity = parameter_entity_record(app);
    if (entity == nullptr) return;
    flip_and_refresh(app, entity->parameter_auto_sync, app.parameter_auto_sync_button);
}

// Immediate and multi-edit exclude each other: flipping one clears the other.
static void flip_excluding(AppContext& app, uint8_t& flag, Element& button, uint8_t& other, Element& other_button) {
    flip(flag, button);
    other = 0;
    other_button.selected = false;
    refresh_root(app);
}

void toggle_parameter_immediate_mode(AppContext& app) {
    if (EntityRecord* entity = parameter_entity_record(app))
        flip_excluding(app, entity->parameter_immediate_mode, app.parameter_immediate_button,
                       entity->parameter_multi_edit_mode, app.parameter_multi_edit_button);
}

void toggle_parameter_multi_edit_mode(AppContext& app) {
    if (EntityRecord* entity = parameter_entity_record(app))
        flip_excluding(app, entity->parameter_multi_edit_mode, app.parameter_multi_edit_button,
                       entity->parameter_immediate_mode, app.parameter_immediate_button);
}

bool on_export_name_typed(AppContext& app) {
    // A text that is no file name ("../x", "a/b", "..") is not stored; the
    // commit says why.
    note_export_name_edit(app, app.export_name_field.text);
    return true;
}

void on_export_name_enter(AppContext& app) {
    TextField& field = app.export_name_field;
    if (!field.focused) return;
    field.focused = false;
    if (focus_element == &field) focus_element = nullptr;
    field.caret_mark.visible = false;
    field.selection_mark.visible = false;
    commit_export_name_field(app);
    if (Element* hint = field.hint) {
        hint->visible = field.text.empty();
        hint->opacity = 1.0;
    }
}

void ignore_menu_item_click() {}

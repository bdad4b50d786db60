#include "panes/layout/layout_mode_flags.h"

#include "context/app_context.h"

namespace {

void show_control_bars(AppContext& app) {
    const BarState& b = app.bars;
    const UiFlags& f = app.ui_flags;
    const bool free_roam = app.camera.camera_controller == CAMERA_FREE_ROAM;
    const bool directives_present = b.camera_directive_count >= 1 && free_roam;
    const bool directives = b.show_camera_directives && directives_present;
    const bool variants = b.show_variant_selector && b.variant_count > 0;
    const bool animator = b.show_animator && b.animation_count > 0;
    const bool parallel = b.show_parallel_flags != 0;
    const bool inspector = b.show_ll_inspector != 0;
    Element* panels[2] = {&app.strip_backdrop, &app.strip_backdrop_guard};

    if (f.ui_hidden && !b.hidden_ui_controls) {
        for (Element* e : {static_cast<Element*>(&app.camera_directive_bar), static_cast<Element*>(&app.variant_bar),
                           static_cast<Element*>(&app.parallel_flags_bar),
                           static_cast<Element*>(&app.ll_inspector_bar), static_cast<Element*>(&app.animator_bar),
                           &app.parallel_flags_button, &app.ll_inspector_button, panels[0], panels[1],
                           &app.hidden_ui_variant_panel, &app.camera_directive_toggle})
            e->visible = false;
        app.controls_toggle.visible = directives_present || variants || parallel || inspector || animator;
        return;
    }
    app.camera_directive_bar.visible = directives;
    app.parallel_flags_bar.visible = parallel && b.parallel_flags_expanded;
    app.variant_bar.visible = variants;
    app.ll_inspector_bar.visible = inspector && b.ll_inspector_expanded;
    app.animator_bar.visible = animator;
    app.parallel_flags_button.visible = parallel;
    app.ll_inspector_button.visible = inspector;
    if (!f.ui_hidden) {
        for (Element* e : panels) e->visible = false;
        app.hidden_ui_variant_panel.visible = false;
        app.controls_toggle.visible = true;
        app.camera_directive_toggle.visible = directives_present;
        return;
    }
    const bool strips = parallel || inspector || animator;
    for (Element* e : panels) e->visible = strips;
    app.hidden_ui_variant_panel.visible = strips && variants && !f.v_flip_mode;
    if (directives_present) {
        app.controls_toggle.visible = true;
        app.camera_directive_toggle.visible = true;
    } else {
        app.camera_directive_toggle.visible = false;
        app.controls_toggle.visible = parallel || inspector || variants || animator;
    }
}

}  // namespace

void update_layout_mode_flags(AppContext& app) {
    show_control_bars(app);
    if (!app.ui_flags.layout_mode_flags[0]) return;
    // The minimal layout has no status row and no tab row: the strips, their
    // buttons and the animator that live there stay hidden, rather than
    // float over its bar's command list.
    for (Element* e : {static_cast<Element*>(&app.parallel_flags_bar), static_cast<Element*>(&app.ll_inspector_bar),
                       static_cast<Element*>(&app.animator_bar), &app.parallel_flags_button,
                       &app.ll_inspector_button, &app.strip_backdrop, &app.strip_backdrop_guard,
                       &app.hidden_ui_variant_panel})
        e->visible = false;
}

bool any_popup_open(AppContext& app) {
    for (uint8_t open : app.pane_open_flags)
        if (open) return true;
    return false;
}

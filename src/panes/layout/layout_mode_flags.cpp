#include "panes/layout/layout_mode_flags.h"

#include "context/app_context.h"

void update_layout_mode_flags(AppContext& app) {
    const BarState& b = app.bars;
    const UiFlags& f = app.ui_flags;
    const bool free_roam = app.camera.camera_controller == CAMERA_FREE_ROAM;
    const bool directives_present = b.camera_directive_count >= 1 && free_roam;
    const bool directives = b.show_camera_directives && directives_present;
    const bool variants = b.show_variant_selector && b.variant_count > 0;
    const bool animator = b.show_animator && b.animation_count > 0;
    const bool parallel = b.parallel_flags_widget != 0;
    const bool inspector = b.ll_inspector_widget != 0;
    Element* panels[2] = {&app.strip_backdrop, &app.strip_backdrop_guard};

    if (f.ui_hidden && !b.hidden_ui_controls) {
        for (Element* e : {static_cast<Element*>(&app.camera_directive_pane), static_cast<Element*>(&app.variant_bar),
                           static_cast<Element*>(&app.parallel_strip_host),
                           static_cast<Element*>(&app.llmi_strip_host), static_cast<Element*>(&app.animator_bar),
                           &app.parallel_strip_button, &app.llmi_strip_button, panels[0], panels[1],
                           &app.variant_tab, &app.camera_directive_handle})
            e->visible = false;
        app.quick_hide_button.visible = directives_present || variants || parallel || inspector || animator;
        return;
    }
    app.camera_directive_pane.visible = directives;
    app.parallel_strip_host.visible = parallel && b.parallel_flags_expanded;
    app.variant_bar.visible = variants;
    app.llmi_strip_host.visible = inspector && b.ll_inspector_expanded;
    app.animator_bar.visible = animator;
    app.parallel_strip_button.visible = parallel;
    app.llmi_strip_button.visible = inspector;
    if (!f.ui_hidden) {
        for (Element* e : panels) e->visible = false;
        app.variant_tab.visible = false;
        app.quick_hide_button.visible = true;
        app.camera_directive_handle.visible = directives_present;
        return;
    }
    const bool strips = parallel || inspector || animator;
    for (Element* e : panels) e->visible = strips;
    app.variant_tab.visible = strips && variants && !f.v_flip_mode;
    if (directives_present) {
        app.quick_hide_button.visible = true;
        app.camera_directive_handle.visible = true;
    } else {
        app.camera_directive_handle.visible = false;
        app.quick_hide_button.visible = parallel || inspector || variants || animator;
    }
}

bool any_popup_open(AppContext& app) {
    for (uint8_t open : app.pane_open_flags)
        if (open) return true;
    return false;
}

#include "model/entity_texts.h"
#include "panes/popups/algorithm_selection.h"

#include "context/app_context.h"
#include "context/current_environment.h"
#include "context/help_texts.h"
#include "context/keyword_tables.h"
#include "art/typeface.h"
#include "ui/root_input.h"
#include "ui/theme.h"

namespace {

bool valid_algorithm(int32_t k) { return k >= 0 && k <= 2; }

void highlight(Element& element, bool chosen) {
    element.selected = chosen;
    element.typeface = &typefaces[chosen ? 1 : 0];
}

}  // namespace

void select_mesh_algorithm(AppContext& app, int32_t k) {
    if (!valid_algorithm(k)) return;
    for (int32_t i = 0; i < 3; ++i) highlight(app.algorithm_buttons[i], i == k);
    app.io_settings.meshing_algorithm = k;
    app.io_settings.reassembly_algorithm = k;
    for (int32_t i = 0; i < 6; ++i) {
        Element& item = app.capability_labels[i];
        const bool supported = algorithm_capabilities[k][i] != 0;
        item.typeface = &typefaces[supported ? 4 : 3];
        item.background_rgba = supported ? 0u : 0xFF808080u;
        item.selected_colour = supported ? active_theme.colours[7] : nullptr;
    }
    // Label j describes algorithm j mod 3.
    for (int32_t j = 0; j < 12; ++j) app.description_labels[j].visible = j % 3 == k;
    app.algorithm_mode_label.set_text(mesh_kind_names[k]);
    relayout_root(app);
    refresh_root(app);
}

void select_confirm_mesh_algorithm(AppContext& app, int32_t k) {
    if (!valid_algorithm(k)) return;
    app.dialogs.confirm_algorithm[0] = k;
    app.confirm_mode_label.set_text(app.dialogs.confirm_algorithm_texts[static_cast<size_t>(k)].second);
    for (int32_t i = 0; i < 3; ++i) {
        highlight(app.confirm_choice_buttons[i], i == k);
        app.confirm_choice_captions[i].typeface = &typefaces[i == k ? 1 : 0];
    }
    refresh_root(app);
}

void on_click_mesh_algorithm_pure_union() { on_instance<select_mesh_algorithm, 0>(); }
void on_click_mesh_algorithm_basic_csg() { on_instance<select_mesh_algorithm, 1>(); }
void on_click_mesh_algorithm_optimal_csg() { on_instance<select_mesh_algorithm, 2>(); }
void on_click_confirm_pure_union() { on_instance<select_confirm_mesh_algorithm, 0>(); }
void on_click_confirm_basic_csg() { on_instance<select_confirm_mesh_algorithm, 1>(); }
void on_click_confirm_optimal_csg() { on_instance<select_confirm_mesh_algorithm, 2>(); }

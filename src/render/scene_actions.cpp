#include "render/scene_actions.h"

#include <cctype>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "render/llmi_text.h"
#include "render/redraw.h"
#include "ui/ui_state.h"

ColourSettings colour_settings_of(const AppContext& app) {
    const RenderFlags& f = app.render_flags;
    ColourSettings s;
    s.colour_mode = f.colour_mode;
    s.colour_function = f.colour_function;
    s.multichannel_colour = f.multichannel_colour != 0;
    s.negate_colours = f.negate_colours != 0;
    s.transparent_mode = f.transparent_mode != 0;
    return s;
}

void apply_colour_mode(AppContext& app, InteropMesh& mesh) { apply_colour_settings(colour_settings_of(app), mesh); }

void recolour_entity(AppContext& app, EntityRecord& entity) {
    if (!entity.assembled) return;
    const ColourSettings s = colour_settings_of(app);
    if (entity.parallel == 1) {
        for (EntityRecord* sub : entity.subelement_records) {
            if (sub && sub->assembled && sub->mesh && sub->mesh->present) apply_colour_settings(s, *sub->mesh);
        }
        return;
    }
    if (entity.mesh && entity.mesh->present) apply_colour_settings(s, *entity.mesh);
}

void recolour_environment(AppContext& app, EntitySet& set) {
    const size_t n = std::min(set.records.size(), static_cast<size_t>(std::max(set.count, 0)));
    for (size_t i = 0; i < n; ++i) {
        if (set.records[i].assembled) recolour_entity(app, set.records[i]);
    }
}

void recolour_all(AppContext& app) {
    InteropMesh* startup = app.startup.startup_entity_mesh;
    if (startup && startup->present) apply_colour_mode(app, *startup);
    if (app.entities.current_entities) recolour_environment(app, *app.entities.current_entities);
}

void select_colour_function(AppContext& app, int32_t index) {
    const std::vector<int32_t>& modes = app.menu_tables.colour_function_codes;
    if (index < 0 || static_cast<size_t>(index) >= modes.size()) return;
    app.render_flags.colour_function = modes[static_cast<size_t>(index)];
    recolour_all(app);
    for (int32_t i = 0; i < 15; ++i) app.colour_function_buttons[i].selected = (i == index);
    request_redraw(app);
    refresh_root(app);
}

void toggle_multichannel_colour_space(AppContext& app) {
    app.render_flags.multichannel_colour = app.render_flags.multichannel_colour ? 0 : 1;
    recolour_all(app);
    call_hook(app.hooks.build_colour_ramp, app);
    request_redraw(app);
    refresh_root(app);
}

namespace {
void select_on_instance(int32_t index) {
    if (AppContext* app = app_instance) select_colour_function(*app, index);
}
}  // namespace

void on_colour_by_elevation() { select_on_instance(0); }
void on_colour_by_depth() { select_on_instance(1); }
void on_colour_by_normal() { select_on_instance(2); }
void on_colour_by_verticality() { select_on_instance(3); }
void on_colour_by_planarity() { select_on_instance(4); }
void on_colour_by_curvature() { select_on_instance(5); }
void on_colour_by_quality() { select_on_instance(6); }
void on_colour_by_valence_ngon() { select_on_instance(7); }
void on_colour_by_valence_tess() { select_on_instance(8); }
void on_colour_by_declaration_order() { select_on_instance(9); }
void on_colour_by_operand() { select_on_instance(10); }
void on_colour_by_face_id() { select_on_instance(11); }
void on_colour_by_group_id() { select_on_instance(12); }
void on_colour_by_element_id() { select_on_instance(13); }
void on_colour_by_batch_id() { select_on_instance(14); }

void on_multichannel_colour_space_button() {
    if (AppContext* app = app_instance) toggle_multichannel_colour_space(*app);
}

bool picking_enabled(const AppContext& app) {
    return app.bars.show_ll_inspector != 0 && app.bars.llmi_pick_key != '!';
}

namespace {
void show_llmi_tip(AppContext& app, const std::string& caption, const std::string& text, int32_t icon) {
    app.status.tooltip_caption = caption;
    app.status.tooltip_text = text;
    app.status.tooltip_element_id = icon;
    app.hint_caption.set_text(caption);
    app.hint_text.set_text(text);
    app.hint_icon.icon = icon;
    refresh_root(app);
}
}  // namespace

void update_llmi_labels(AppContext& app) {
    Element& info = app.canvas_pick_area;
    const LlmiLabels labels = compose_llmi_labels(app.bars.llmi_pick_key, app.frame.picked_entity_id,
                                                  app.frame.picked_element_id, app.entities.current_entities);
    const bool on_screen = tooltip_element == &info;
    if (!labels.shown) {
        info.tooltip_title = nullptr;
        info.tooltip_text = nullptr;
        info.tooltip_icon = -1;
        if (on_screen) {
            tooltip_element = nullptr;
            show_llmi_tip(app, std::string(), std::string(), -1);
        }
        return;
    }
    app.bars.llmi_labels[0] = labels.entity_label;
    app.bars.llmi_labels[1] = labels.element_label;
    info.tooltip_title = app.bars.llmi_labels[0].c_str();
    info.tooltip_text = app.bars.llmi_labels[1].c_str();
    info.tooltip_icon = 6;
    // The pointer stays on the view while the pick changes: the hint bar
    // shows the new labels without waiting for the element to change.
    if (on_screen) show_llmi_tip(app, app.bars.llmi_labels[0], app.bars.llmi_labels[1], 6);
}

void build_llmi_trace(AppContext& app) {
    const LlmiTrace trace = compose_llmi_trace(app.bars.llmi_pick_key, app.frame.picked_entity_id,
                                               app.frame.picked_element_id, app.entities.current_entities);
    if (trace.shown) call_hook(app.hooks.show_info_box, app, trace.title, trace.text);
}

void refresh_llmi_trace() {
    if (AppContext* app = app_instance) build_llmi_trace(*app);
}

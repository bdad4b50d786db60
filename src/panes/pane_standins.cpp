#include "panes/pane_standins.h"


#include "model/entity.h"
#include "text/text_utils.h"

namespace {

void show_info_box(AppContext&, const std::string& title, const std::string& text) {
    record_standin_call("show_info_box: " + title + "\n" + text);
}
void build_colour_ramp(AppContext&) { record_standin_call("build_colour_ramp"); }

void set_parameter_field(AppContext&, int32_t row, const std::string& text, uint32_t colour) {
    record_standin_call("set_parameter_field: " + int_to_text(row) + "|" + text + "|" +
                        long_to_text(static_cast<int64_t>(colour)));
}
void set_parameter_slider(AppContext&, int32_t row, double value) {
    record_standin_call("set_parameter_slider: " + int_to_text(row) + "|" + double_to_text(value));
}

}  // namespace

void merge_entity_display_flags_standin(AppContext&, const EntityRecord& old_entity, EntityRecord& new_entity) {
    record_standin_call("merge_entity_display_flags");
    if (old_entity.locked) new_entity.locked = 1;
    if (!old_entity.visible) {
        new_entity.visible = 0;
        if (new_entity.mesh) new_entity.mesh->visible = 0;
        if (new_entity.parallel == 1) {
            for (EntityRecord* sub : new_entity.subelement_records) {
                if (!sub) continue;
                sub->visible = 0;
                if (sub->mesh) sub->mesh->visible = 0;
            }
        }
    }
    new_entity.auto_sync = old_entity.auto_sync;
    new_entity.immediate = old_entity.immediate;
    new_entity.multi_edit = old_entity.multi_edit;
    new_entity.translation = old_entity.translation;
    new_entity.uniform_scale = old_entity.uniform_scale;
    new_entity.axis_scale = old_entity.axis_scale;
    new_entity.euler_angles = old_entity.euler_angles;
    new_entity.rotation_order = old_entity.rotation_order;
    new_entity.transform_order = old_entity.transform_order;
    // The renderer rebuilds the matrices from these fields.
    new_entity.transform_matrix = old_entity.transform_matrix;
    new_entity.transform_matrix_f = old_entity.transform_matrix_f;
}

void install_pane_standins(AppHooks& hooks) {
    hooks.merge_entity_display_flags = merge_entity_display_flags_standin;
    hooks.set_parameter_field = set_parameter_field;
    hooks.show_info_box = show_info_box;
    hooks.build_colour_ramp = build_colour_ramp;
    hooks.set_parameter_slider = set_parameter_slider;
}


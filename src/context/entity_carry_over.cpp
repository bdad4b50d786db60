#include "context/entity_carry_over.h"

#include "model/entity.h"
#include "model/camera.h"

void merge_entity_display_flags(AppContext&, const EntityRecord& old_entity, EntityRecord& new_entity) {
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
    new_entity.parameter_auto_sync = old_entity.parameter_auto_sync;
    new_entity.parameter_immediate_mode = old_entity.parameter_immediate_mode;
    new_entity.parameter_multi_edit_mode = old_entity.parameter_multi_edit_mode;
    new_entity.translation = old_entity.translation;
    new_entity.uniform_scale = old_entity.uniform_scale;
    new_entity.axis_scale = old_entity.axis_scale;
    new_entity.euler_angles = old_entity.euler_angles;
    new_entity.rotation_order = old_entity.rotation_order;
    new_entity.transform_order = old_entity.transform_order;
    build_entity_transform_matrix(new_entity);
}

#include "render/render_standins.h"

#include <string>

#include "model/entity.h"

void recolour_entity_standin(AppContext&, EntityRecord& entity) {
    record_standin_call("recolour_entity: " + std::to_string(entity.serial_id));
}

void update_attribute_trace_standin(AppContext&) { record_standin_call("update_attribute_trace"); }

void install_render_standins(AppHooks& hooks) {
    hooks.recolour_entity = recolour_entity_standin;
    hooks.update_attribute_trace = update_attribute_trace_standin;
}

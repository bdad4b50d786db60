#include "render/render_standins.h"

#include <string>

#include "model/entity.h"

void recolour_entity_standin(AppContext&, EntityRecord& entity) {
    record_standin_call("recolour_entity: " + std::to_string(entity.serial_id));
}

void install_render_standins(AppHooks& hooks) {
    hooks.recolour_entity = recolour_entity_standin;
}

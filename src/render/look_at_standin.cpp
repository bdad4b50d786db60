#include "render/look_at_standin.h"

#include <string>

#include "app/app_hooks.h"
#include "model/entity.h"

void look_at_entity(AppContext&, const EntityRecord& entity) {
    record_standin_call("look_at_entity: " + std::to_string(entity.serial_id));
}

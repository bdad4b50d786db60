#include "panes/confirmation_standins.h"

#include <string>

#include "app/app_hooks.h"

void confirm_delete_entity(AppContext&, int32_t entity_index) {
    record_standin_call("confirm_delete_entity: " + std::to_string(entity_index));
}
void confirm_reassemble_entity(AppContext&, int32_t entity_index) {
    record_standin_call("confirm_reassemble_entity: " + std::to_string(entity_index));
}

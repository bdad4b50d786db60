#include "panes/popup_standins.h"

#include <string>

#include "app/app_hooks.h"

void confirm_delete_entity(AppContext&, int32_t entity_index) {
    record_standin_call("confirm_delete_entity: " + std::to_string(entity_index));
}
void confirm_reassemble_entity(AppContext&, int32_t entity_index) {
    record_standin_call("confirm_reassemble_entity: " + std::to_string(entity_index));
}
void show_info_box(AppContext&, const std::string& title, const std::string& text) {
    record_standin_call("show_info_box: " + title + "\n" + text);
}

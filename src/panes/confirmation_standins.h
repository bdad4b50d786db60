#pragma once
#include <cstdint>

struct AppContext;

// Recording stand-ins until the confirmations land: log
// "confirm_delete_entity: <index>" and "confirm_reassemble_entity: <index>".
void confirm_delete_entity(AppContext& app, int32_t entity_index);
void confirm_reassemble_entity(AppContext& app, int32_t entity_index);

#pragma once
#include <cstdint>
#include <string>

struct AppContext;

// Recording stand-ins until the confirmations and message boxes land: log
// "confirm_delete_entity: <index>", "confirm_reassemble_entity: <index>" and
// "show_info_box: <title>\n<text>".
void confirm_delete_entity(AppContext& app, int32_t entity_index);
void confirm_reassemble_entity(AppContext& app, int32_t entity_index);
void show_info_box(AppContext& app, const std::string& title, const std::string& text);

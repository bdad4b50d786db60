#pragma once

struct AppContext;
struct EntityRecord;

// Recording stand-in until the camera's aiming lands: logs
// "look_at_entity: <serial id>".
void look_at_entity(AppContext& app, const EntityRecord& entity);

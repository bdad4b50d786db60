#pragma once

struct AppContext;
struct EntityRecord;

// Carries what the user set on an entity over to its re-assembled
// successor: a lock (never cleared), hiding (mesh and sub-elements too),
// the auto-sync, immediate and multi-edit flags, the transform and both
// orders; the successor's matrix is rebuilt from them.
void merge_entity_display_flags(AppContext& app, const EntityRecord& old_entity, EntityRecord& new_entity);

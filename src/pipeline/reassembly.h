#pragma once
#include <cstdint>

struct AppContext;
struct EntityRecord;
struct EntitySet;

// Brings a loaded entity up to date with its script file: parse again, skip
// when nothing changed (culling; with profiling on, a mesh without a
// profiling report counts as changed), assemble again with the given algorithm
// (read when used) and put the new entity in the old one's slot, keeping
// the user's display state and, where the parameters still fit, the edited
// values. An entity may turn from serial to parallel and back. Every failure
// leaves the old entity, its meshes and its values as they were.
void reparse_and_reassemble_entity(AppContext& app, EntityRecord& entity, const int32_t& algorithm);

// Copies the new entity over the old one's slot (found by serial id) and
// rebuilds the set's parameter index; widest becomes the widest summary.
// Returns 1 when the copy was made, 0 when refused (no set, same serial
// id, a pending entity, the old one not in the set).
int32_t merge_reassembled_entity(uint32_t& widest, EntitySet* set, const EntityRecord& old_entity,
                                 const EntityRecord& new_entity);

// Confirm actions of the re-assembly dialogs, with the algorithm chosen in
// the dialog; each ends by rebuilding the entity panes.
void reassemble_first_entity(AppContext& app);
void reassemble_all_entities(AppContext& app);
void reassemble_pending_entity(AppContext& app);
// The same on the published context.
void reassemble_first_entity();
void reassemble_all_entities();
void reassemble_pending_entity();

#pragma once
#include <cstdint>

struct AppContext;
struct EntityRecord;
struct TextField;

// The entity inspector's transform editor: ten value fields addressed by a
// group (0 translation, 1 uniform scale, 2 scale, 3 rotation) and an axis
// (0..2; 0 for the uniform scale), six RESET buttons and the two rows of
// order buttons. Every operation acts on the inspector's entity and does
// nothing without one.

// Enter: reads one finite number from the field's text (trailing text is
// ignored, "2.5mm" is 2.5) and moves, scales or turns the entity; anything
// else warns "Warning: Invalid Numeric Literal" and changes nothing.
void commit_transform_field(AppContext& app, int32_t group, int32_t axis);
// Escape: the field shows the stored value again (six significant digits).
void sync_transform_field(AppContext& app, int32_t group, int32_t axis);
// RESET 0..5: translation, uniform scale, scale, rotation, rotation order,
// transformation order back to their defaults, with the fields and buttons.
void reset_transform_component(AppContext& app, int32_t component);
// The order buttons: stores order 0..5 and marks its button bold and
// selected (other values are ignored).
void set_entity_rotation_order(AppContext& app, int32_t order);
void set_entity_transform_order(AppContext& app, int32_t order);

// The ten fields in order: translation x y z, uniform scale, scale x y z,
// rotation x y z; null out of range.
TextField* transform_field(AppContext& app, int32_t k);

// The stored member of a field, or null for a group or axis out of range.
double* transform_member(EntityRecord& entity, int32_t group, int32_t axis);

// Enter and Escape of the ten fields in field order (translation x y z,
// uniform scale, scale x y z, rotation x y z), as the inspector binds them.
extern void (*const transform_commit_actions[10])();
extern void (*const transform_sync_actions[10])();

// Argument-free clicks of the RESET and order buttons.
void on_reset_translation();
void on_reset_uniform_scale();
void on_reset_scale();
void on_reset_rotation();
void on_reset_transform_mode_a();
void on_reset_transform_mode_b();
extern void (*const rotation_order_clicks[6])();
extern void (*const transform_order_clicks[6])();

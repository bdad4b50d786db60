#pragma once
#include <cstdint>

struct AppContext;
struct EntityParameter;

// The lower half of the parameter pane: one block per parameter of the
// entity selected in the parameter list (two rows, three with a slider when
// both bounds are set), sub-element headings for a parallel entity and the
// type-count footer; the header shows the entity and its toggles.
void rebuild_parameter_pane(AppContext& app);

// Layout callback of the pane: a bottom border while the blocks are shorter
// than their scroll pane's view.
void layout_parameter_pane(int32_t width, int32_t height);

// Slider steps between the bounds of an INT or LNG parameter (0, continuous,
// for other types and for ranges that are empty or wider than int32).
int32_t parameter_slider_steps(const EntityParameter& parameter);
// Where the current value lies between the bounds, clamped to [0, 1].
double parameter_slider_fraction(const EntityParameter& parameter);

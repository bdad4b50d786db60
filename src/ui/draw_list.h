#pragma once
#include <cstdint>
#include <vector>

#include "ui/element.h"

// Flattening the widget tree once per frame, and the index lists the
// overlay draws its quads with.

// Flattens the subtree under `container`, stamping every visible descendant
// with its absolute rectangle, clip rectangle, depth, opacity and layer.
// With `top` the container itself is listed first, its own values come from
// its own fields, and the list replaces its draw_list (a copy is returned);
// otherwise the container's values are taken as already stamped and the list
// of its listed descendants is returned.
DrawList collect_draw_list(Container& container, bool top);

// Collects the root's draw list, then hands `redraw_request` to every listed
// element as its refresh callback. Draws nothing.
void draw_child_widgets(Container& root, RefreshCallback redraw_request);

// The elements of `list` whose abs_layer equals `key`, in list order.
DrawList collect_elements_with_key(const DrawList& list, int32_t key);

// 6n indices: quad q gives 4q, 4q+1, 4q+2, 4q, 4q+2, 4q+3. Empty for n < 1.
std::vector<uint32_t> build_quad_index_list(int32_t n);

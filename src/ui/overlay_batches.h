#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/element.h"

// One decoration kind's vertices for one overlay layer, as parallel arrays:
// positions x, y, z (window pixels, y up from the bottom edge, z the depth),
// texture coordinates u, v (textured kinds only) and colours r, g, b, a
// (alpha already times the element's opacity). Every kind but the shape
// batch is a list of quads of four vertices: top-left, bottom-left,
// bottom-right, top-right (counter-clockwise with y up, so they survive
// back-face culling).
struct OverlayBatch {
    std::vector<double> positions;
    std::vector<double> uvs;
    std::vector<double> colours;

    size_t vertex_count() const { return positions.size() / 3; }
    int32_t quad_count() const { return static_cast<int32_t>(positions.size() / 12); }
};

// The seven builders, each from the root's height H and one layer's elements
// in draw-list order. Each counts, allocates zero-filled, then fills in list
// order; room for culled text bytes and hidden border strips stays zero at
// the end of the arrays.
OverlayBatch build_background_batch(int32_t H, const DrawList& elements);
OverlayBatch build_border_batch(int32_t H, const DrawList& elements);
// shape_triangles hold pixels from the clipped top-left corner with y
// growing downwards. Back faces are culled, so each triangle must be
// clockwise in those y-down pixels (negative signed area there, which is
// counter-clockwise once y is flipped). A null shape_triangles draws nothing,
// and neither does an element whose clip shows nothing of it.
OverlayBatch build_shape_batch(int32_t H, const DrawList& elements);
OverlayBatch build_icon_batch(int32_t H, const DrawList& elements);
OverlayBatch build_sprite_batch(int32_t H, const DrawList& elements);
OverlayBatch build_image_batch(int32_t H, const DrawList& elements);
OverlayBatch build_text_batch(int32_t H, const DrawList& elements);

// The seven batches of one layer, in building order.
struct LayerBatches {
    OverlayBatch background, border, shape, icon, sprite, image, text;
};
// Builds all seven into `out`, reusing its storage: the renderer keeps one
// set for every layer of every frame.
void build_layer_batches(int32_t H, const DrawList& elements, LayerBatches& out);

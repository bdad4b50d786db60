#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/overlay_batches.h"

// Turning one overlay layer's batches into interleaved vertices (16 floats
// each: position, colour, normal, texture coordinate) and one index list,
// ready for a single upload. No GL here.

constexpr size_t VERTEX_STAGING_FLOATS = 8000000;  // 500,000 vertices
constexpr size_t overlay_vertex_floats = 16;

// Every render target is this many pixels square.
constexpr int32_t render_target_size = 2048;

// A window size as far as the targets reach: 0 .. 2048.
int32_t clamp_to_render_target(int32_t size);

// Quads of a batch up to and including its last quad that holds anything:
// culled text bytes and hidden border strips leave all-zero quads at the end,
// which draw nothing and are not staged.
int32_t staged_quad_count(const OverlayBatch& batch);

// Where each part of a staged layer lies. Index ranges count indices from
// the start of the index list; the shapes are a vertex range.
struct LayerStaging {
    size_t vertex_count = 0;
    size_t float_count = 0;
    size_t atlas_first = 0, atlas_count = 0;    // backgrounds, then icons
    size_t sprite_first = 0, sprite_count = 0;  // thumbnail sheet
    size_t image_first = 0, image_count = 0;    // logo
    size_t font_first = 0, font_count = 0;      // text, then borders
    size_t shape_first_vertex = 0, shape_vertex_count = 0;
    // Window pixels (x, y up from the bottom edge) that hold every staged
    // vertex with a pixel to spare, clamped to the window: no fragment of
    // the layer falls outside.
    int32_t reach_x = 0, reach_y = 0, reach_width = 0, reach_height = 0;
};

// Vertices the layer would stage.
size_t staged_vertex_count(const LayerBatches& batches);

// Stages the layer into `staging` (room for VERTEX_STAGING_FLOATS floats)
// for a window of window_width x window_height, in the order background,
// icon, sprite, image, text, border, shape, rebuilds `indices` and finds the
// pixels the layer can reach. False,
// with nothing written, when the layer stages no vertex or more than
// VERTEX_STAGING_FLOATS floats.
bool stage_overlay_layer(const LayerBatches& batches, int32_t window_width, int32_t window_height, float* staging,
                         std::vector<uint32_t>& indices, LayerStaging& out);

// True when whatever lies under the layer cannot show through it: its first
// drawn quad (no shape before it) is an opaque, flat-depth background that
// covers a window of window_width x window_height well inside the depth
// range, and the layer fits the staging.
bool layer_covers_window(const LayerBatches& batches, int32_t window_width, int32_t window_height);

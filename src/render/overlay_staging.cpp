#include "render/overlay_staging.h"

#include <algorithm>
#include <cmath>

#include "ui/draw_list.h"

int32_t clamp_to_render_target(int32_t size) { return std::clamp(size, 0, render_target_size); }

int32_t staged_quad_count(const OverlayBatch& batch) {
    int32_t n = batch.quad_count();
    auto blank = [](const std::vector<double>& v, size_t from, size_t count) {
        return std::all_of(v.begin() + from, v.begin() + from + count, [](double x) { return x == 0.0; });
    };
    while (n > 0 && blank(batch.positions, (n - 1) * 12u, 12) && blank(batch.colours, (n - 1) * 16u, 16)) --n;
    return n;
}

size_t staged_vertex_count(const LayerBatches& b) {
    size_t quads = 0;
    for (const OverlayBatch* q : {&b.background, &b.icon, &b.sprite, &b.image, &b.text, &b.border}) {
        quads += static_cast<size_t>(staged_quad_count(*q));
    }
    return quads * 4 + b.shape.vertex_count();
}

namespace {

// The extent of staged vertices in window pixels.
struct Extent {
    double left = HUGE_VAL, bottom = HUGE_VAL, right = -HUGE_VAL, top = -HUGE_VAL;
};

void stage_vertices(const OverlayBatch& batch, size_t count, double w, double h, float*& out, Extent& e) {
    const bool textured = !batch.uvs.empty();
    for (size_t i = 0; i < count; ++i, out += overlay_vertex_floats) {
        const double* p = batch.positions.data() + 3 * i;
        const double* c = batch.colours.data() + 4 * i;
        e.left = std::min(e.left, p[0]), e.right = std::max(e.right, p[0]);
        e.bottom = std::min(e.bottom, p[1]), e.top = std::max(e.top, p[1]);
        out[0] = static_cast<float>(2 * p[0] - w), out[1] = static_cast<float>(2 * p[1] - h);
        out[2] = static_cast<float>(-0.01 * p[2]), out[3] = 1.0f;
        for (int k = 0; k < 4; ++k) out[4 + k] = static_cast<float>(c[k]);
        out[8] = 0.0f, out[9] = 0.0f, out[10] = 1.0f, out[11] = 1.0f;
        if (textured) {
            out[12] = static_cast<float>(batch.uvs[2 * i]), out[13] = static_cast<float>(batch.uvs[2 * i + 1]);
            out[14] = 0.0f, out[15] = 1.0f;
        } else {
            out[12] = out[13] = out[14] = out[15] = 0.0f;
        }
    }
}

// Whole pixels around the extent with one to spare, within 0..limit.
void reach(double low, double high, int32_t limit, int32_t& first, int32_t& size) {
    const double a = std::clamp(std::floor(low) - 1.0, 0.0, static_cast<double>(limit));
    const double b = std::clamp(std::ceil(high) + 1.0, 0.0, static_cast<double>(limit));
    first = static_cast<int32_t>(a);
    size = b > a ? static_cast<int32_t>(b - a) : 0;
}

}  // namespace

bool stage_overlay_layer(const LayerBatches& b, int32_t window_width, int32_t window_height, float* staging,
                         std::vector<uint32_t>& indices, LayerStaging& out) {
    out = LayerStaging{};
    const size_t vertices = staged_vertex_count(b);
    if (vertices == 0 || vertices * overlay_vertex_floats > VERTEX_STAGING_FLOATS) return false;
    out.vertex_count = vertices;
    out.float_count = vertices * overlay_vertex_floats;

    const OverlayBatch* quads[6] = {&b.background, &b.icon, &b.sprite, &b.image, &b.text, &b.border};
    size_t counts[6];
    size_t quad_total = 0;
    for (int i = 0; i < 6; ++i) quad_total += counts[i] = static_cast<size_t>(staged_quad_count(*quads[i]));
    indices.resize(quad_total * 6);

    const double w = window_width, h = window_height;
    float* v = staging;
    Extent extent;
    size_t first_vertex = 0, first_index = 0;
    size_t firsts[6];
    for (int i = 0; i < 6; ++i) {
        stage_vertices(*quads[i], counts[i] * 4, w, h, v, extent);
        const std::vector<uint32_t> list = build_quad_index_list(static_cast<int32_t>(counts[i]));
        for (size_t k = 0; k < list.size(); ++k) indices[first_index + k] = static_cast<uint32_t>(list[k] + first_vertex);
        firsts[i] = first_index;
        first_vertex += counts[i] * 4;
        first_index += list.size();
    }
    stage_vertices(b.shape, b.shape.vertex_count(), w, h, v, extent);
    out.shape_first_vertex = first_vertex;
    out.shape_vertex_count = b.shape.vertex_count();
    out.atlas_first = firsts[0], out.atlas_count = (counts[0] + counts[1]) * 6;
    out.sprite_first = firsts[2], out.sprite_count = counts[2] * 6;
    out.image_first = firsts[3], out.image_count = counts[3] * 6;
    out.font_first = firsts[4], out.font_count = (counts[4] + counts[5]) * 6;
    reach(extent.left, extent.right, std::max(window_width, 0), out.reach_x, out.reach_width);
    reach(extent.bottom, extent.top, std::max(window_height, 0), out.reach_y, out.reach_height);
    return true;
}

bool layer_covers_window(const LayerBatches& b, int32_t window_width, int32_t window_height) {
    const size_t vertices = staged_vertex_count(b);
    if (window_width <= 0 || window_height <= 0 || b.shape.vertex_count() > 0 || vertices == 0 ||
        vertices * overlay_vertex_floats > VERTEX_STAGING_FLOATS || staged_quad_count(b.background) == 0) {
        return false;
    }
    // Top-left, bottom-left, bottom-right, top-right, y up: drawn (not
    // culled) and covering the window; every vertex opaque and the depth
    // far from both ends of the range, so the quad wins every pixel of a
    // cleared depth buffer.
    const double* p = b.background.positions.data();
    const double* c = b.background.colours.data();
    const double left = p[0], bottom = p[4], right = p[6], top = p[1];
    if (p[3] != left || p[9] != right || p[7] != bottom || p[10] != top || left > 0 || bottom > 0 ||
        right < window_width || top < window_height) {
        return false;
    }
    for (int k = 0; k < 4; ++k) {
        if (!(c[4 * k + 3] >= 1.0) || !(std::fabs(p[3 * k + 2]) <= 90.0) || p[3 * k + 2] != p[2]) return false;
    }
    return true;
}

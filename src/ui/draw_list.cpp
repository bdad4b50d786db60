#include "ui/draw_list.h"

#include <algorithm>

namespace {

// Whether [lo, hi) reaches into the clip span [cl, cr), by the listing rule:
// starts inside, ends inside, or spans it entirely.
bool reaches_span(int64_t lo, int64_t hi, int64_t cl, int64_t cr) {
    return (cl <= lo && lo < cr) || (cl < hi && hi <= cr) || (lo < cl && hi > cr);
}

// 64-bit sums throughout: rectangles near the int32 limit must not wrap.
int32_t clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

void collect_into(Container& parent, DrawList& out) {
    const int64_t px = parent.abs_x, py = parent.abs_y;
    const int64_t pr = px + parent.abs_width, pb = py + parent.abs_height;
    const int64_t cl = parent.clip_x, ct = parent.clip_y;
    const int64_t cr = cl + parent.clip_width, cb = ct + parent.clip_height;
    std::vector<bool> listed(parent.children.size(), false);
    for (size_t i = 0; i < parent.children.size(); ++i) {
        Element* k = parent.children[i];
        if (!k || !k->visible) continue;
        k->depth = (parent.depth + 0.01) + k->depth_offset;
        k->abs_x = clamp32(px + k->x);
        k->abs_y = clamp32(py + k->y);
        k->abs_width = k->width;
        k->abs_height = k->height;
        k->abs_layer = clamp32(static_cast<int64_t>(parent.abs_layer) + k->layer);
        k->abs_opacity = parent.abs_opacity * k->opacity;
        const int64_t l = k->abs_x, t = k->abs_y;
        const int64_t r = l + k->width, b = t + k->height;
        const int64_t left = std::max({l, px, cl}), top = std::max({t, py, ct});
        const int64_t right = std::min({r, pr, cr}), bottom = std::min({b, pb, cb});
        k->clip_x = clamp32(left);
        k->clip_y = clamp32(top);
        k->clip_width = clamp32(right - left);
        k->clip_height = clamp32(bottom - top);
        if (k->width >= 0 && k->height >= 0 && reaches_span(l, r, cl, cr) && reaches_span(t, b, ct, cb)) {
            listed[i] = true;
            out.push_back(k);
        }
    }
    for (size_t i = 0; i < parent.children.size(); ++i) {
        Element* k = parent.children[i];
        if (listed[i] && k->is_container) collect_into(static_cast<Container&>(*k), out);
    }
}

}  // namespace

DrawList collect_draw_list(Container& container, bool top) {
    DrawList out;
    if (!top) {
        collect_into(container, out);
        return out;
    }
    container.abs_x = container.clip_x = container.x;
    container.abs_y = container.clip_y = container.y;
    container.abs_width = container.clip_width = container.width;
    container.abs_height = container.clip_height = container.height;
    container.depth = container.depth_offset;
    container.abs_opacity = container.opacity;
    container.abs_layer = container.layer;
    out.reserve(container.draw_list.size() + 1);
    out.push_back(&container);
    collect_into(container, out);
    container.draw_list = out;
    return out;
}

void draw_child_widgets(Container& root, RefreshCallback redraw_request) {
    collect_draw_list(root, true);
    // The list is copied: a refresh-callback setter must not be able to
    // invalidate the walk.
    const DrawList list = root.draw_list;
    for (Element* e : list) e->set_refresh_callback(redraw_request);
}

DrawList collect_elements_with_key(const DrawList& list, int32_t key) {
    size_t count = 0;
    for (const Element* e : list) count += e->abs_layer == key;
    DrawList out;
    out.reserve(count);
    for (Element* e : list) {
        if (e->abs_layer == key) out.push_back(e);
    }
    return out;
}

std::vector<uint32_t> build_quad_index_list(int32_t n) {
    std::vector<uint32_t> out;
    if (n < 1) return out;
    out.resize(static_cast<size_t>(n) * 6);
    for (uint32_t q = 0, *p = out.data(); q < static_cast<uint32_t>(n); ++q, p += 6) {
        const uint32_t v = 4 * q;
        p[0] = v, p[1] = v + 1, p[2] = v + 2, p[3] = v, p[4] = v + 2, p[5] = v + 3;
    }
    return out;
}

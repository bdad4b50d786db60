#include "ui/overlay_batches.h"

#include <algorithm>
#include <cmath>

#include "art/icon_raster.h"
#include "ui/theme.h"

namespace {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

Rgba packed_colour(uint32_t c, double opacity) {
    return {((c >> 16) & 0xFFu) / 255.0, ((c >> 8) & 0xFFu) / 255.0, (c & 0xFFu) / 255.0,
            ((c >> 24) & 0xFFu) / 255.0 * opacity};
}

Rgba theme_colour(const double* c, double opacity) { return {c[0], c[1], c[2], c[3] * opacity}; }

// Stop k of a palette; stops it does not hold read as transparent black.
Rgba palette_stop(const Palette& p, size_t k, double opacity) {
    if (p.stops.size() < 4 * (k + 1)) return {};
    return theme_colour(p.stops.data() + 4 * k, opacity);
}

// Colours of V0..V3 (top-left, bottom-left, bottom-right, top-right).
struct QuadColours {
    Rgba v[4];
};

QuadColours flat(const Rgba& c) { return {{c, c, c, c}}; }

QuadColours palette_colours(const Palette& p, double opacity) {
    const Rgba c0 = palette_stop(p, 0, opacity), c1 = palette_stop(p, 1, opacity);
    switch (p.kind) {
        case 0: return {{c0, c1, c1, c0}};
        case 1: return {{c1, c0, c0, c1}};
        case 2: return {{c0, c0, c1, c1}};
        case 3: return {{c1, c1, c0, c0}};
        default: return flat(c0);  // no such palette in the themes
    }
}

// Clipped rectangle of an element, downward y; not tested for emptiness.
struct Box {
    double left, top, right, bottom;
};

Box clipped_box(const Element& e) {
    const int64_t ax = e.abs_x, ay = e.abs_y, cx = e.clip_x, cy = e.clip_y;
    return {static_cast<double>(std::max(ax, cx)), static_cast<double>(std::max(ay, cy)),
            static_cast<double>(std::min(ax + e.abs_width, cx + e.clip_width)),
            static_cast<double>(std::min(ay + e.abs_height, cy + e.clip_height))};
}

// Writes quads one after another into a batch sized beforehand.
struct QuadWriter {
    OverlayBatch& batch;
    double H;
    size_t quad = 0;

    void put(const Box& b, const double z[4], const QuadColours& c, const double* uv = nullptr) {
        double* p = batch.positions.data() + quad * 12;
        const double xs[4] = {b.left, b.left, b.right, b.right};
        const double ys[4] = {H - b.top, H - b.bottom, H - b.bottom, H - b.top};
        double* col = batch.colours.data() + quad * 16;
        for (int i = 0; i < 4; ++i) {
            p[3 * i] = xs[i], p[3 * i + 1] = ys[i], p[3 * i + 2] = z[i];
            col[4 * i] = c.v[i].r, col[4 * i + 1] = c.v[i].g, col[4 * i + 2] = c.v[i].b, col[4 * i + 3] = c.v[i].a;
        }
        if (uv) std::copy(uv, uv + 8, batch.uvs.data() + quad * 8);
        ++quad;
    }
    void put(const Box& b, double z, const QuadColours& c, const double* uv = nullptr) {
        const double zs[4] = {z, z, z, z};
        put(b, zs, c, uv);
    }
};

// Zero-filled at the exact size; storage of an earlier batch is reused.
void size_batch(OverlayBatch& batch, size_t vertices, bool textured) {
    batch.positions.assign(vertices * 3, 0.0);
    batch.colours.assign(vertices * 4, 0.0);
    batch.uvs.assign(textured ? vertices * 2 : 0, 0.0);
}

// --- textured rectangles -------------------------------------------------

struct Frame {
    double su, sv, du, dv;
    bool flip_x, flip_y;
};

void put_textured_rect(QuadWriter& w, const Element& e, Frame f) {
    const double ax = e.abs_x, ay = e.abs_y, aw = e.abs_width, ah = e.abs_height;
    const double cx = e.clip_x, cy = e.clip_y, cw = e.clip_width, ch = e.clip_height;
    // A zero-sized element shows its whole frame (and covers no pixels).
    const double fl = ax < cx && aw != 0 ? (cx - ax) / aw : 0.0;
    const double ft = ay < cy && ah != 0 ? (cy - ay) / ah : 0.0;
    const double fr = ax + aw > cx + cw && aw != 0 ? 1.0 - ((ax + aw) - (cx + cw)) / aw : 1.0;
    const double fb = ay + ah > cy + ch && ah != 0 ? 1.0 - ((ay + ah) - (cy + ch)) / ah : 1.0;
    if (f.flip_x) f.su += f.du, f.du = -f.du;
    const double ul = f.su + fl * f.du, ur = f.su + fr * f.du;
    double vt = (f.sv + f.dv) - ft * f.dv, vb = (f.sv + f.dv) - fb * f.dv;
    if (f.flip_y) vt = f.sv + ft * f.dv, vb = f.sv + fb * f.dv;
    const double uv[8] = {ul, vt, ul, vb, ur, vb, ur, vt};
    w.put(clipped_box(e), e.depth, flat({1.0, 1.0, 1.0, e.abs_opacity}), uv);
}

template <typename Pick, typename MakeFrame>
void fill_textured(OverlayBatch& batch, int32_t H, const DrawList& elements, Pick picked, MakeFrame frame_of) {
    size_t n = 0;
    for (const Element* e : elements) n += picked(*e);
    size_batch(batch, n * 4, true);
    QuadWriter w{batch, static_cast<double>(H)};
    for (const Element* e : elements) {
        if (picked(*e)) put_textured_rect(w, *e, frame_of(*e));
    }
}

// --- borders -------------------------------------------------------------

// Visible widths of the four sides (left, top, right, bottom).
void visible_border_widths(const Element& e, int64_t out[4]) {
    const int64_t ax = e.abs_x, ay = e.abs_y, ar = ax + e.abs_width, ab = ay + e.abs_height;
    const int64_t cx = e.clip_x, cy = e.clip_y, cr = cx + e.clip_width, cb = cy + e.clip_height;
    const int64_t wl = e.border_left.width, wt = e.border_top.width;
    const int64_t wr = e.border_right.width, wb = e.border_bottom.width;
    out[0] = cx < ax + wl ? wl - std::max<int64_t>(0, cx - ax) : 0;
    out[1] = cy < ay + wt ? wt - std::max<int64_t>(0, cy - ay) : 0;
    out[2] = ar - wr < cr ? wr - std::max<int64_t>(0, ar - cr) : 0;
    out[3] = ab - wb < cb ? wb - std::max<int64_t>(0, ab - cb) : 0;
}

Box border_strip(const Box& c, int side, double w) {
    switch (side) {
        case 0: return {c.left, c.top, c.left + w, c.bottom};
        case 1: return {c.left, c.top, c.right, c.top + w};
        case 2: return {c.right - w, c.top, c.right, c.bottom};
        default: return {c.left, c.bottom - w, c.right, c.bottom};
    }
}

const Border& border_side(const Element& e, int side) {
    const Border* sides[4] = {&e.border_left, &e.border_top, &e.border_right, &e.border_bottom};
    return *sides[side];
}

// --- text ----------------------------------------------------------------

struct TextLayout {
    const Element& e;
    bool multiline;

    int32_t line_start_x(size_t k) const {
        const int32_t aw = e.abs_width, pl = e.padding_left, pr = e.padding_right, ox = e.text_offset_x;
        const int32_t mw = e.text_width;
        const bool per_line = multiline && k < e.line_widths.size();
        if (e.align_x < 0) return pl + ox;
        if (e.align_x == 0) {
            double x = ((aw - pl - pr) * 0.5 + ox + pl) - mw * 0.5 + 0.5;
            if (per_line) x += (mw - e.line_widths[k]) * 0.5;
            return truncate_to_int(x);
        }
        return aw + ox - pr - (per_line ? e.line_widths[k] : mw);
    }
    int32_t first_line_y() const {
        const int32_t ah = e.abs_height, pt = e.padding_top, pb = e.padding_bottom, oy = e.text_offset_y;
        if (e.align_y < 0) return pt + oy;
        if (e.align_y == 0) return truncate_to_int(((ah - pt - pb) * 0.5 + oy + pt) - e.text_height * 0.5 + 0.5);
        return oy + ah - pb - e.text_height;
    }
};

bool draws_text(const Element& e) {
    return !e.text.empty() && e.typeface && e.typeface->band_half_height != 0 && e.typeface->atlas_half_width != 0;
}

// Calls emit(box, uv) for every glyph of the element's text that shows
// inside its clip, in text order. Lines wholly above or below the clip, and
// the rest of a left-aligned line once past the clip's right edge, are
// skipped unread beyond their line end: a long text costs what shows of it.
template <typename Emit>
void each_shown_glyph(const Element& e, Emit emit) {
    const Typeface& T = *e.typeface;
    const double lh = T.line_height, bhh = T.band_half_height, ahw = T.atlas_half_width;
    const double gt = (lh / bhh) / 12.0;
    const double vbase = 1.0 - (T.index + lh / bhh) / 12.0;
    const TextLayout layout{e, e.multiline && !e.line_widths.empty()};
    const double ax = e.abs_x, ay = e.abs_y;
    const double cx = e.clip_x, cy = e.clip_y, cw = e.clip_width, ch = e.clip_height;
    const bool left_aligned = e.align_x < 0;
    const std::string& text = e.text;
    size_t line = 0;
    int64_t pen_x = layout.line_start_x(0);
    int32_t pen_y = layout.first_line_y();
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const double gw = T.glyph_widths[c];
        const double gx = ax + static_cast<double>(pen_x), gy = ay + pen_y;
        pen_x += T.glyph_widths[c];
        if (c == 10) {
            pen_x = layout.line_start_x(layout.multiline ? ++line : 0);
            pen_y = truncate_to_int(pen_y + (lh + e.line_gap));
        }
        const bool off_rows = gy <= cy - lh || gy >= cy + ch;
        if (off_rows || gx <= cx - gw || gx >= cx + cw) {
            // Nothing more of this line shows: on to its line end, which
            // moves the pen (the pen is already past the edge, so the line
            // end is not drawn either).
            if (c != 10 && (off_rows || (left_aligned && gx >= cx + cw))) {
                const size_t end = text.find('\n', i + 1);
                if (end == std::string::npos) break;
                i = end - 1;
            }
            continue;
        }
        const double fl = gx < cx && gw != 0 ? (cx - gx) / gw : 0.0;
        const double ft = gy < cy ? 1.0 - (cy - gy) / lh : 1.0;
        double fr = 1.0, width = gw, fb = 0.0, height = lh, left = gx, top = gy;
        if (gx + gw >= cx + cw) fr = gw != 0 ? ((cx + cw) - gx) / gw : 1.0, width = (cx + cw) - gx;
        if (gy + lh >= cy + ch) fb = 1.0 - ((cy + ch) - gy) / lh, height = (cy + ch) - gy;
        if (gx < cx) width -= cx - gx, left = cx;
        if (gy < cy) height -= cy - gy, top = cy;
        const double uo = T.glyph_offsets[c] / ahw, uw = gw / ahw;
        const double ul = uo + fl * uw, ur = uo + fr * uw, vt = vbase + ft * gt, vb = vbase + fb * gt;
        const double uv[8] = {ul, vt, ul, vb, ur, vb, ur, vt};
        emit(Box{left, top, left + width, top + height}, uv);
    }
}

Rgba text_colour_of(const Element& e) {
    if (e.text_colour)
        return {e.text_colour[0], e.text_colour[1], e.text_colour[2], e.text_colour[3] * e.abs_opacity * e.text_opacity};
    Rgba c = packed_colour(e.text_rgba, e.abs_opacity);
    c.a *= e.text_opacity;
    return c;
}

}  // namespace

namespace {

void fill_background(OverlayBatch& batch, int32_t H, const DrawList& elements) {
    auto sources = [](uint32_t rgba, const double* colour, const Palette* palette) {
        return static_cast<size_t>(rgba != 0) + (colour != nullptr) + (palette != nullptr);
    };
    size_t n = 0;
    for (const Element* e : elements) {
        n += sources(e->background_rgba, e->background_colour, e->background_palette);
        if (e->selected) n += sources(e->selected_rgba, e->selected_colour, e->selected_palette);
        if (e->hovered) n += sources(e->hover_rgba, e->hover_colour, e->hover_palette);
    }
    size_batch(batch, n * 4, false);
    QuadWriter w{batch, static_cast<double>(H)};
    for (const Element* e : elements) {
        const Box box = clipped_box(*e);
        const double op = e->abs_opacity;
        auto put_set = [&](uint32_t rgba, const double* colour, const Palette* palette, double z) {
            if (rgba != 0) w.put(box, z, flat(packed_colour(rgba, op)));
            if (colour) w.put(box, z, flat(theme_colour(colour, op)));
            if (palette) w.put(box, z, palette_colours(*palette, op));
        };
        put_set(e->background_rgba, e->background_colour, e->background_palette, e->depth - 0.01);
        if (e->selected) put_set(e->selected_rgba, e->selected_colour, e->selected_palette, e->depth - 0.0075);
        if (e->hovered) put_set(e->hover_rgba, e->hover_colour, e->hover_palette, e->depth - 0.005);
    }
}

void fill_border(OverlayBatch& batch, int32_t H, const DrawList& elements) {
    size_t n = 0;
    for (const Element* e : elements) {
        for (int side = 0; side < 4; ++side) {
            const Border& b = border_side(*e, side);
            if (b.width != 0) n += static_cast<size_t>(b.rgba != 0) + (b.colour != nullptr) + (b.palette != nullptr);
        }
    }
    size_batch(batch, n * 4, false);
    QuadWriter w{batch, static_cast<double>(H)};
    for (int pass = 0; pass < 3; ++pass) {
        for (const Element* e : elements) {
            int64_t visible[4];
            visible_border_widths(*e, visible);
            const Box box = clipped_box(*e);
            const double d = e->depth, op = e->abs_opacity;
            for (int side = 0; side < 4; ++side) {
                const Border& b = border_side(*e, side);
                if (visible[side] == 0) continue;
                const Box strip = border_strip(box, side, static_cast<double>(visible[side]));
                if (pass == 0 && b.rgba != 0) w.put(strip, d + 0.05, flat(packed_colour(b.rgba, op)));
                if (pass == 1 && b.colour) w.put(strip, d + 0.05, flat(theme_colour(b.colour, op)));
                if (pass == 2 && b.palette) {
                    // The side strips lean so their palette shading meets the
                    // top and bottom strips in the corners.
                    double z[4] = {d + 0.05, d + 0.05, d + 0.05, d + 0.05};
                    if (side == 0) z[0] = z[1] = d + 0.0375;
                    if (side == 2) z[0] = d + 0.0625, z[1] = d + 0.0375;
                    w.put(strip, z, palette_colours(*b.palette, op));
                }
            }
        }
    }
}

void fill_shape(OverlayBatch& batch, int32_t H, const DrawList& elements) {
    // A shape is in its element's own pixels and is not cut by the clip: an
    // element given no room (laid out at zero size) shows none of it.
    auto drawn = [](const Element& e) {
        return e.shape_kind >= 0 && e.shape_count > 0 && e.shape_triangles && e.clip_width > 0 && e.clip_height > 0;
    };
    size_t n = 0;
    for (const Element* e : elements) n += drawn(*e) ? static_cast<size_t>(e->shape_count) : 0;
    size_batch(batch, n * 3, false);
    double* p = batch.positions.data();
    double* col = batch.colours.data();
    for (const Element* e : elements) {
        if (!drawn(*e)) continue;
        const double ox = std::max(e->abs_x, e->clip_x);
        const double oy = static_cast<double>(H) - std::max(e->abs_y, e->clip_y);
        const double z = e->depth - 0.005 + e->shape_depth;
        const Rgba c = packed_colour(e->shape_rgba, e->abs_opacity);
        const double* t = e->shape_triangles;
        for (int32_t j = 0; j < e->shape_count; ++j, t += 6) {
            for (int v = 0; v < 3; ++v, p += 3, col += 4) {
                p[0] = ox + t[2 * v], p[1] = oy - t[2 * v + 1], p[2] = z;
                col[0] = c.r, col[1] = c.g, col[2] = c.b, col[3] = c.a;
            }
        }
    }
}

void fill_icon(OverlayBatch& batch, int32_t H, const DrawList& elements) {
    const int32_t cells = static_cast<int32_t>(icon_atlas.cell_x.size());
    fill_textured(
        batch, H, elements, [cells](const Element& e) { return e.icon >= 0 && e.icon < cells; },
        [](const Element& e) {
            return Frame{icon_atlas.cell_x[e.icon] / 512.0, icon_atlas.cell_y[e.icon] / 512.0,
                         e.icon_scale_x * 0.125, e.icon_scale_y * 0.125, e.icon_flip_x, e.icon_flip_y};
        });
}

void fill_sprite(OverlayBatch& batch, int32_t H, const DrawList& elements) {
    fill_textured(
        batch, H, elements, [](const Element& e) { return e.sprite >= 0; },
        [](const Element& e) {
            return Frame{(e.sprite % 16) * 0.0625, (e.sprite / 16) * 0.0625, 0.0625, 0.0625, e.sprite_flip_x,
                         e.sprite_flip_y};
        });
}

void fill_image(OverlayBatch& batch, int32_t H, const DrawList& elements) {
    fill_textured(
        batch, H, elements, [](const Element& e) { return e.image >= 0; },
        [](const Element&) { return Frame{0.0, 0.0, 1.0, 1.0, false, false}; });
}

// Sized to the glyphs that show: a text far larger than its clip (a long
// trace) costs no more than a screenful.
void fill_text(OverlayBatch& batch, int32_t H, const DrawList& elements) {
    size_t n = 0;
    for (const Element* e : elements)
        if (draws_text(*e)) each_shown_glyph(*e, [&n](const Box&, const double*) { ++n; });
    size_batch(batch, n * 4, true);
    QuadWriter w{batch, static_cast<double>(H)};
    for (const Element* e : elements) {
        if (!draws_text(*e)) continue;
        const QuadColours colour = flat(text_colour_of(*e));
        each_shown_glyph(*e, [&](const Box& box, const double* uv) { w.put(box, e->depth, colour, uv); });
    }
}

}  // namespace

#define VK_BATCH_BUILDER(kind)                                                \
    OverlayBatch build_##kind##_batch(int32_t H, const DrawList& elements) { \
        OverlayBatch batch;                                                   \
        fill_##kind(batch, H, elements);                                      \
        return batch;                                                         \
    }
VK_BATCH_BUILDER(background)
VK_BATCH_BUILDER(border)
VK_BATCH_BUILDER(shape)
VK_BATCH_BUILDER(icon)
VK_BATCH_BUILDER(sprite)
VK_BATCH_BUILDER(image)
VK_BATCH_BUILDER(text)
#undef VK_BATCH_BUILDER

void build_layer_batches(int32_t H, const DrawList& elements, LayerBatches& out) {
    fill_background(out.background, H, elements);
    fill_border(out.border, H, elements);
    fill_shape(out.shape, H, elements);
    fill_icon(out.icon, H, elements);
    fill_sprite(out.sprite, H, elements);
    fill_image(out.image, H, elements);
    fill_text(out.text, H, elements);
}

#include "art/font_atlas.h"

#include "art/art_workers.h"
#include "art/glyphs.h"
#include "art/typeface.h"

// Filled by the art generators at start-up.
FontAtlas font_atlas;

void reset_font_art() { font_atlas = FontAtlas{}; }

FaceStyle font_face_style(int face) {
    switch (face) {
        case 1: case 7: case 9: return {1.35, 6, 1.0, false};
        case 4: return {1.35, 4, 1.0, false};
        case 2: case 5: return {1.0, 2, 1.5, true};
        default: return {1.0, 4, 1.0, false};
    }
}

// Draws one glyph cell of one face.
static void rasterise_glyph(int face, int code) {
    const GlyphOutline& outline = glyph_outlines[code];
    if (outline.arrays.empty()) return;
    const FaceStyle st = font_face_style(face);
    const int h = static_cast<int>(typeface_line_heights[face]);
    const int w = static_cast<int>(glyph_width_tables[face][code]);
    const int o = static_cast<int>(glyph_offset_tables[face][code]);
    const int H = 2 * h, cols = 2 * w;
    if (H <= 0 || cols <= 0) return;
    const double box_w = 2.0 * w - st.pad;
    const int row0 = font_atlas_height - font_band_rows * face - H;
    const double wt = st.weight;
    auto slant = [&st](double y) { return st.slant ? 1.0 - 0.2 * y : 0.0; };
    for (int r = 0; r < H; ++r) {
        const int row = row0 + r;
        if (row < 0 || row >= font_atlas_height) continue;
        for (int k = 0; k < cols; ++k) {
            const int col = 2 * o + k;
            // A face wider than the atlas is cut at its edge, never written past it.
            if (col < 0 || col >= font_atlas_width) continue;
            const double cy = r + 0.5;
            const double cx = (k + 0.5) * st.x_scale - 1.0 + slant(cy);
            const double d = glyph_stroke_distance(outline, cx, cy, box_w, H);
            int alpha;
            if (d <= 0.75 * wt) {
                alpha = 255;
            } else if (d >= 1.5 * wt) {
                alpha = 0;
            } else {
                double acc = 0.0;
                for (int i = 0; i < 8; ++i) {
                    const double sy = r + i * 0.125;
                    for (int j = 0; j < 8; ++j) {
                        const double sx = (k + j * 0.125) * st.x_scale - 1.0 + slant(sy);
                        const double ds = glyph_stroke_distance(outline, sx, sy, box_w, H);
                        if (ds <= wt)
                            acc += 1.0;
                        else if (ds <= 1.25 * wt)
                            acc += 1.0 - (ds - wt) / (0.25 * wt);
                    }
                }
                alpha = static_cast<int>(acc * 0.015625 * 255.0);
            }
            uint8_t* px = &font_atlas.pixels[(static_cast<size_t>(row) * font_atlas_width + col) * 4];
            px[0] = px[1] = px[2] = 255;
            px[3] = static_cast<uint8_t>(alpha);
        }
    }
}

void rasterise_font_atlas(int workers) {
    font_atlas.pixels.assign(font_atlas_bytes, 0);
    // Every (face, code) cell is disjoint from every other, so cells can be
    // drawn in any order on any thread.
    std::vector<int> jobs;
    for (int f = 0; f < typeface_count; ++f)
        for (int c = 0; c < glyph_code_count; ++c)
            if (!glyph_outlines[c].arrays.empty() && glyph_width_tables[f][c] > 0) jobs.push_back(f * 256 + c);
    art_parallel_for(static_cast<int>(jobs.size()), workers, [&](int j) { rasterise_glyph(jobs[j] / 256, jobs[j] % 256); });
}

void build_font_atlas(int workers) {
    build_glyph_outlines();
    rasterise_font_atlas(workers);
}

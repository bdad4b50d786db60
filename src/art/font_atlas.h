#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The font atlas: 2150 x 552 RGBA bytes, twelve bands of 46 rows (face f in
// rows 506 - 46 f .. 551 - 46 f), each glyph at twice its layout size.
constexpr int font_atlas_width = 2150;
constexpr int font_atlas_height = 552;
constexpr int font_band_rows = 46;
constexpr size_t font_atlas_bytes = static_cast<size_t>(font_atlas_width) * font_atlas_height * 4;

struct FontAtlas {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(font_atlas_bytes, 0);
    uint32_t texture_id = 0;  // GL name once uploaded
};

extern FontAtlas font_atlas;

// How one face is drawn: stroke weight, box padding in atlas pixels,
// horizontal sample scale and slant.
struct FaceStyle {
    double weight;
    int pad;
    double x_scale;
    bool slant;
};
FaceStyle font_face_style(int face);

// Rasterises every face from glyph_outlines (run build_glyph_outlines first).
// `workers` threads (0 = one per hardware thread); the pixels do not depend
// on the count.
void rasterise_font_atlas(int workers = 0);

// The start-up font step: build_glyph_outlines, then rasterise_font_atlas.
void build_font_atlas(int workers = 0);

// Back to the state before start-up generation (for tests).
void reset_font_art();

#pragma once
#include <array>
#include <cstdint>

// Global tables of the application that are not fixed texts (those are in
// caption_tables.h, help_texts.h and keyword_tables.h).

// Pixel advances of the console and report typeface (face 3), by byte value.
extern const std::array<int32_t, 256> pane_glyph_widths;

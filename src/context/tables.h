#pragma once
#include <cstdint>
#include <limits>
#include <vector>

// Global tables of the application that are not fixed texts (those are in
// caption_tables.h, help_texts.h and keyword_tables.h). A global that needs
// building before main is defined beside the code that owns it, and built
// only from constant tables, so the order between units does not matter.

// Pixel advances of the console and report typeface (face 3), by byte
// value: console, trace and report lines are measured with it.
extern std::vector<uint32_t> console_glyph_widths;

// Start of running maxima.
constexpr double negative_infinity = -std::numeric_limits<double>::infinity();
// Byte order of the host the binary mesh files are written on.
constexpr uint8_t host_is_big_endian = 0;

#pragma once
#include <cstdint>
#include <limits>

// Constants of the application that are not fixed texts (those are in
// caption_tables.h, help_texts.h and keyword_tables.h). A global that needs
// building before main is defined beside the code that owns it, and built
// only from constant tables, so the order between units does not matter.

// Start of running maxima.
constexpr double negative_infinity = -std::numeric_limits<double>::infinity();
// Byte order of the host the binary mesh files are written on.
constexpr uint8_t host_is_big_endian = 0;

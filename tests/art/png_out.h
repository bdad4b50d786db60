#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes w x h RGBA bytes (first row at the top of the picture) as a PNG, so
// tests can leave images to look at; needs no display.
bool write_png_rgba(const std::string& path, const std::vector<uint8_t>& rgba, int w, int h);

// Directory for test output files: ${VK_BINARY_DIR}/test-output/<sub>, created
// on demand; a fresh temporary directory when VK_BINARY_DIR is not set.
std::string art_test_output_dir(const std::string& sub);

#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "art/sdf.h"

// The icon atlas: 512 x 512 RGBA bytes in 8 x 8 cells of 64 pixels; each
// icon's rows are stored bottom-up (row 0 becomes texture row t = 0).
constexpr int icon_atlas_size = 512;
constexpr int icon_cell_size = 64;
constexpr int icon_atlas_bytes = icon_atlas_size * icon_atlas_size * 4;
constexpr int logo_image_size = 256;
// The window icon: the 128 x 128 region of icon 54 at pixel (384, 384).
constexpr int window_icon_byte_offset = (384 * icon_atlas_size + 384) * 4;

struct IconAtlas {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(icon_atlas_bytes, 0);
    std::array<int32_t, 64> cell_x{};
    std::array<int32_t, 64> cell_y{};
    uint32_t texture_id = 0;  // GL name once uploaded
};

// The 256 x 256 logo (icon 53), stored top row first, and the raw render it
// is copied from.
struct LogoImage {
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> render_buffer;
    uint32_t texture_id = 0;
};

extern IconAtlas icon_atlas;
extern LogoImage logo_image;

// Back to the state before start-up generation (for tests).
void reset_icon_art();

// a x b divided by its length; a zero cross product stays zero.
std::array<double, 3> cross_normalised_icon_basis(const std::array<double, 3>& a, const std::array<double, 3>& b);

// Sphere-traces one ray and shades the hit. Returns the ray parameter where
// marching stopped; writes the colour and the nearest distance met.
double trace_icon_ray(double colour[4], IconSdf scene, bool sky, double& nearest, double ox, double oy, double oz,
                      double dx, double dy, double dz, double lx, double ly, double lz, double k);

// Renders icon `index` into w x h RGBA bytes, top row first. An index outside
// the icon table renders the fallback sphere with no framing and returns
// false; false too (and nothing written) when w or h is below 1 or the buffer
// is smaller than w x h x 4 bytes.
bool render_icon_sdf(int index, int w, int h, std::vector<uint8_t>& pixels);

// Start-up steps, in this order. `workers` threads (0 = one per hardware
// thread); the pixels do not depend on the count.
void build_icon_atlas(int workers = 0);
void build_logo_image(int workers = 0);

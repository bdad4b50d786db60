#include "ui/theme.h"

#include <cstring>

Palette::Palette(const std::vector<double>& source_stops, int32_t direction)
    : stops(source_stops), kind(direction) {}

Palette Palette::reversed(const Palette& source) {
    Palette result;
    result.kind = source.kind;
    const size_t count = source.stops.size() / 4;
    result.stops.reserve(count * 4);
    for (size_t i = count; i-- > 0;) {
        result.stops.insert(result.stops.end(), source.stops.begin() + static_cast<std::ptrdiff_t>(i * 4),
                            source.stops.begin() + static_cast<std::ptrdiff_t>(i * 4 + 4));
    }
    return result;
}

Palette palette_construct_two_colours(int32_t kind, const double* first, const double* second) {
    Palette p;
    p.kind = kind;
    p.stops.assign(first, first + 4);
    p.stops.insert(p.stops.end(), second, second + 4);
    return p;
}

namespace {

struct Rgba {
    double r, g, b, a;
};

struct Stops {
    Rgba first, second;
};

// Colours 0..9 of records 1 (Light) .. 5 (Dark).
const Rgba scheme_colours[5][theme_colour_count] = {
    // Light
    {{0.75, 0.75, 0.75, 0.5}, {1, 1, 1, 1}, {0.5, 0.5, 0.5, 0.5}, {1, 1, 1, 1}, {1, 1, 1, 0.5},
     {1, 1, 1, 0.75}, {0.95, 0.95, 0.95, 0.5}, {0.875, 0.875, 0.875, 0.5}, {0.275, 0.275, 0.275, 1},
     {0.75, 0.75, 0.75, 0.5}},
    // Silver
    {{0.5, 0.5, 0.5, 0.25}, {0.75, 0.75, 0.75, 1}, {0.25, 0.25, 0.25, 0.5}, {0.75, 0.75, 0.75, 1},
     {1, 1, 1, 0.5}, {0.875, 0.875, 0.875, 0.75}, {0.75, 0.75, 0.75, 0.5}, {0.875, 0.875, 0.875, 0.5},
     {0.2, 0.2, 0.2, 1}, {0.75, 0.75, 0.75, 0.5}},
    // Charcoal
    {{0, 0, 0, 0.25}, {0, 0, 0, 1}, {0, 0, 0, 0.5}, {0.25, 0.25, 0.25, 1}, {0.125, 0.125, 0.125, 0.5},
     {0.05, 0.05, 0.05, 0.75}, {0.125, 0.125, 0.125, 0.5}, {0.125, 0.125, 0.125, 0.5}, {0.75, 0.75, 0.75, 1},
     {0.125, 0.125, 0.125, 0.5}},
    // Midnight
    {{0, 0, 0, 0.5}, {0, 0.025, 0.05, 1}, {0, 0, 0, 0.5}, {0.05, 0.075, 0.125, 1}, {0.05, 0.05, 0.05, 0.5},
     {0.05, 0.05, 0.05, 0.75}, {0.125, 0.125, 0.125, 0.5}, {0.125, 0.125, 0.125, 0.5}, {0.75, 0.75, 0.75, 1},
     {0.125, 0.125, 0.125, 0.5}},
    // Dark
    {{0, 0, 0, 0.5}, {0, 0, 0, 1}, {0, 0, 0, 0.5}, {0.05, 0.05, 0.05, 1}, {0, 0, 0, 0.5},
     {0.05, 0.05, 0.05, 0.75}, {0.125, 0.125, 0.125, 0.5}, {0.125, 0.125, 0.125, 0.5}, {0.75, 0.75, 0.75, 1},
     {0.05, 0.05, 0.05, 0.5}},
};

// Palettes 6..11 of records 1..5; their kinds are fixed per palette.
const int32_t scheme_palette_kinds[6] = {2, 0, 0, 0, 2, 0};

const Stops dark_palettes[6] = {
    {{0.05, 0.05, 0.05, 0.5}, {0.125, 0.125, 0.125, 0}},
    {{0.5, 0.75, 1, 0.5}, {0.5, 0.75, 1, 0.25}},
    {{0, 0.5, 1, 0}, {0, 0.5, 1, 0.25}},
    {{0, 0, 0, 0}, {0, 0, 0, 1}},
    {{0.25, 0.25, 0.25, 0.75}, {0.125, 0.125, 0.125, 0.75}},
    {{0.25, 0.25, 0.25, 0.75}, {0.125, 0.125, 0.125, 0.75}},
};

const Stops scheme_palettes[5][6] = {
    // Light
    {
        {{0.95, 0.95, 0.95, 0.9}, {0.75, 0.75, 0.75, 0}},
        {{0.5, 0.75, 1, 0.5}, {0.5, 0.75, 1, 0.25}},
        {{1, 1, 1, 0.5}, {1, 1, 1, 0.5}},
        {{0.5, 0.5, 0.5, 0}, {0.5, 0.5, 0.5, 1}},
        {{0.95, 0.95, 0.95, 0.75}, {0.75, 0.75, 0.75, 0.75}},
        {{0.95, 0.95, 0.95, 0.75}, {0.75, 0.75, 0.75, 0.75}},
    },
    // Silver
    {
        {{0.95, 0.95, 0.95, 0.9}, {0.75, 0.75, 0.75, 0}},
        {{0.5, 0.75, 1, 0.5}, {0.5, 0.75, 1, 0.25}},
        {{1, 1, 1, 0.5}, {1, 1, 1, 0.5}},
        {{0.25, 0.25, 0.25, 0}, {0.25, 0.25, 0.25, 1}},
        {{0.875, 0.875, 0.875, 0.75}, {0.575, 0.5825, 0.5875, 0.75}},
        {{0.875, 0.875, 0.875, 0.75}, {0.575, 0.5825, 0.5875, 0.75}},
    },
    // Charcoal, Midnight and Dark share their palettes.
    {dark_palettes[0], dark_palettes[1], dark_palettes[2], dark_palettes[3], dark_palettes[4], dark_palettes[5]},
    {dark_palettes[0], dark_palettes[1], dark_palettes[2], dark_palettes[3], dark_palettes[4], dark_palettes[5]},
    {dark_palettes[0], dark_palettes[1], dark_palettes[2], dark_palettes[3], dark_palettes[4], dark_palettes[5]},
};

void build_record(Theme& record, int scheme) {
    Palette* p = record.palettes;
    for (int k = 11; k >= 6; --k) {
        const Stops& s = scheme_palettes[scheme][k - 6];
        const double first[4] = {s.first.r, s.first.g, s.first.b, s.first.a};
        const double second[4] = {s.second.r, s.second.g, s.second.b, s.second.a};
        p[k] = palette_construct_two_colours(scheme_palette_kinds[k - 6], first, second);
    }
    // The derived palettes reuse the stops with new directions: 9 shades the
    // bottom border, 3, 1 and 2 the top, left and right ones.
    p[5] = Palette::reversed(p[11]);
    p[4] = Palette::reversed(p[10]);
    p[3] = Palette(p[9].stops, PALETTE_BOTTOM_TO_TOP);
    p[2] = Palette(p[9].stops, PALETTE_LEFT_TO_RIGHT);
    p[1] = Palette(p[9].stops, PALETTE_RIGHT_TO_LEFT);
    p[0] = Palette(p[8].stops, PALETTE_LEFT_TO_RIGHT);
    for (int c = 0; c < theme_colour_count; ++c) {
        const Rgba& v = scheme_colours[scheme][c];
        record.colours[c][0] = v.r;
        record.colours[c][1] = v.g;
        record.colours[c][2] = v.b;
        record.colours[c][3] = v.a;
    }
}

}  // namespace

void build_theme_table() {
    // Record r (1..5) is scheme r - 1 of the tables above; record 0 is Light.
    for (int r = theme_record_count - 1; r >= 0; --r) {
        build_record(themes[r], r == 0 ? 0 : r - 1);
    }
}

int32_t theme_source_record(int32_t index) {
    static const int32_t sources[theme_index_count] = {5, 2, 1, 3, 4};
    if (index < 0 || index >= theme_index_count) return -1;
    return sources[index];
}

bool copy_theme_into_active(int32_t index) {
    const int32_t source = theme_source_record(index);
    if (source < 0) return false;
    const Theme& from = themes[source];
    for (int k = 0; k < theme_palette_count; ++k) active_theme.palettes[k] = from.palettes[k];
    std::memcpy(active_theme.colours, from.colours, sizeof active_theme.colours);
    return true;
}

uint32_t contrasting_text_rgba(uint32_t background_rgba) {
    const double r = (background_rgba >> 16 & 0xffu) / 255.0;
    const double g = (background_rgba >> 8 & 0xffu) / 255.0;
    const double b = (background_rgba & 0xffu) / 255.0;
    const double luminance = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    return luminance > 0.5 ? 0xff000000u : 0xffffffffu;
}

// Filled before main, after every table above, so that widgets bound at
// start-up see colours.
Theme themes[theme_record_count];
Theme& active_theme = themes[0];
static const bool themes_built = (build_theme_table(), true);

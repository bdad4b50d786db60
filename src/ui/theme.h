#pragma once
#include <cstdint>
#include <vector>

// A gradient of colour stops (four doubles each, RGBA in 0..1) laid over a
// rectangle in one direction.
struct Palette {
    std::vector<double> stops;
    int32_t kind = 0;  // 0 top->bottom, 1 bottom->top, 2 left->right, 3 right->left

    Palette() = default;
    Palette(const std::vector<double>& source_stops, int32_t direction);
    Palette(const Palette&) = default;
    Palette& operator=(const Palette&) = default;

    // The source's stops in reverse order (each RGBA group intact), same kind.
    static Palette reversed(const Palette& source);
};

enum PaletteKind : int32_t {
    PALETTE_TOP_TO_BOTTOM = 0,
    PALETTE_BOTTOM_TO_TOP = 1,
    PALETTE_LEFT_TO_RIGHT = 2,
    PALETTE_RIGHT_TO_LEFT = 3,
};

Palette palette_construct_two_colours(int32_t kind, const double* first, const double* second);

constexpr int theme_colour_count = 10;
constexpr int theme_palette_count = 12;
constexpr int theme_record_count = 6;

// One colour scheme. Widgets point at entries of record 0 (`active_theme`)
// and so follow every scheme applied to it in place.
struct Theme {
    double colours[theme_colour_count][4] = {};
    Palette palettes[theme_palette_count];
};

// The schemes a user can choose, in menu order.
enum ThemeIndex : int32_t {
    THEME_DARK = 0,
    THEME_SILVER = 1,
    THEME_LIGHT = 2,
    THEME_CHARCOAL = 3,
    THEME_MIDNIGHT = 4,
};
constexpr int32_t theme_index_count = 5;
constexpr int32_t default_theme_index = THEME_LIGHT;

// Record 0 is the active theme; records 1..5 are Light, Silver, Charcoal,
// Midnight and Dark. Filled at load.
extern Theme themes[theme_record_count];
extern Theme& active_theme;

// (Re)builds all six records, record 0 as a copy of Light. Also restores the
// active theme, which makes it the reset for tests.
void build_theme_table();

// The record that scheme `index` copies from, or -1 outside 0..4.
int32_t theme_source_record(int32_t index);

// Copies scheme `index` into `active_theme` in place: the twelve palettes,
// then the ten colours. Any other index copies nothing and returns false.
bool copy_theme_into_active(int32_t index);

// Opaque white or black, whichever stands further from the luminance of the
// packed 0xAARRGGBB background: text that stays readable on a fixed colour.
uint32_t contrasting_text_rgba(uint32_t background_rgba);

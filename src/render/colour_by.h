#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "model/interop_mesh.h"

// Display colours of a mesh: its own colours, a monotone tone or one of the
// fifteen colour-by functions of its geometry and topology, then negation,
// the transparent mode and the copy into the smoothing-group colours. Pure
// CPU work on the mesh; the renderer uploads the result when
// `colours_dirty` is set.

enum ColourMode : int32_t {
    COLOUR_RGBA = 0,
    COLOUR_DARK = 1,
    COLOUR_LIGHT = 2,
    COLOUR_FUNCTION = 3,
};

enum ColourFunction : int32_t {
    COLOUR_BY_ELEVATION = 3,
    COLOUR_BY_DEPTH = 4,
    COLOUR_BY_NORMAL = 5,
    COLOUR_BY_VERTICALITY = 6,
    COLOUR_BY_PLANARITY = 7,
    COLOUR_BY_CURVATURE = 8,
    COLOUR_BY_QUALITY = 9,
    COLOUR_BY_VALENCE_NGON = 10,
    COLOUR_BY_VALENCE_TESS = 11,
    COLOUR_BY_DECLARATION_ORDER = 12,
    COLOUR_BY_OPERAND = 13,
    COLOUR_BY_FACEID = 14,
    COLOUR_BY_GROUPID = 15,
    COLOUR_BY_ELEMENTID = 16,
    COLOUR_BY_BATCHID = 17,
};

// Variants of a colour-by function.
enum ColourVariant : int32_t { COLOUR_GREY = 0, COLOUR_HUE = 1 };

// The colour settings of the application that recolouring reads.
struct ColourSettings {
    int32_t colour_mode = COLOUR_RGBA;
    int32_t colour_function = COLOUR_BY_ELEVATION;
    bool multichannel_colour = true;
    bool negate_colours = false;
    bool transparent_mode = false;
};

// Sixteen RGBA colours of the identifier functions, indexed modulo 16.
extern const double colour_palette[16][4];

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

// h in 0..1 around the hue circle; components clamped to 0..1, beyond a
// full turn black.
Rgb hue_to_rgb(double h);

// A value in 0..1 as a colour byte, truncated; out-of-range values and NaN
// clamp to 0..255.
uint8_t unit_to_byte(double c);

// Red, green and blue of every display colour to the byte of v.
void fill_monotone_colour(InteropMesh& mesh, double v);

// One value per vertex, normalised to its range; equal values paint grey 63.
void colour_by_scalar(InteropMesh& mesh, int32_t variant, const std::vector<double>& values, bool invert);

// The function implementations. Each leaves the colours as they are when
// the mesh lacks what it needs.
void colour_by_elevation(InteropMesh& mesh, int32_t variant);
void colour_by_depth(InteropMesh& mesh, int32_t variant);
// `function` picks NORMAL or VERTICALITY.
void colour_by_normal(InteropMesh& mesh, int32_t variant, int32_t function);
// `function` picks PLANARITY or CURVATURE.
void colour_by_planarity_curvature(InteropMesh& mesh, int32_t variant, int32_t function);
void colour_by_quality(InteropMesh& mesh, int32_t variant);
// `function` picks VALENCE_NGON or VALENCE_TESS.
void colour_by_valence(InteropMesh& mesh, int32_t variant, int32_t function);
void colour_by_declaration_order(InteropMesh& mesh, int32_t variant);
// `function` picks OPERAND, FACEID or GROUPID.
void colour_by_mesh_identifier(InteropMesh& mesh, int32_t variant, int32_t function);
// `function` picks ELEMENTID or BATCHID.
void colour_by_element_identifiers(InteropMesh& mesh, int32_t variant, int32_t function);

// Recolours one mesh from the settings and marks it for upload.
void apply_colour_settings(const ColourSettings& settings, InteropMesh& mesh);

// Per-vertex sums of the identifier functions, kept between calls so that
// repeated recolours do not allocate.
extern std::vector<double> element_colour_scratch;

#pragma once
#include <array>
#include <vector>

// One character as a vector drawing in a unit glyph box: x 0..1 left to
// right, y upwards from the base line (0) to the capital height (1); lower
// case reaches 0.75, descenders -0.5.
//   arrays[0]: strokes, 6 doubles each: x0, y0, x1, y1, p, q. A stroke whose
//              ends are equal is a dot, widened by the mean of radii p, q (in
//              atlas pixels); otherwise p, q is the unit direction away from
//              the stroke's inside.
//   arrays[1]: arcs (only when the glyph has some), 8 doubles each: the
//              ellipse's box ex, ey, ew, eh (left, bottom, width, height) and
//              a clip box cx0, cy0, cx1, cy1; the arc is the part of the
//              outline inside the clip box.
// An outline with no arrays draws nothing.
struct GlyphOutline {
    std::vector<std::vector<double>> arrays;
};

extern std::array<GlyphOutline, 256> glyph_outlines;

// Fills glyph_outlines from the constant glyph data (idempotent).
void build_glyph_outlines();

// Back to 256 empty outlines (for tests).
void reset_glyph_outlines();

// Distance in atlas pixels from (x, y) to the nearest stroke, dot or arc of
// the outline drawn in a box_w x box_h pixel box (y up from the bottom of the
// cell); +infinity when the outline has nothing to draw.
double glyph_stroke_distance(const GlyphOutline& outline, double x, double y, double box_w, double box_h);

// Number of strokes and arcs of a code's outline (for checks and tests).
int glyph_stroke_count(const GlyphOutline& outline);
int glyph_arc_count(const GlyphOutline& outline);

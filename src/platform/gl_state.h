#pragma once
#include <cstdint>

// The fixed-function GL state the whole program draws with, set once when
// the window is made (with its GL context current).

// Identity modelview; colour material, depth test, blending (source alpha,
// one minus source alpha), alpha test, back-face culling and normalised
// normals on; point size 2.
void init_gl_state();

// Light model ambient 0.25; light 0 ambient 0.05, diffuse 1, specular 0.05,
// at (5, 7.5, 10); white front specular with shininess 5; light 0 on.
void init_default_lighting();

// Multisample requests above what the context supports are refused by GL:
// every request goes through these. `limit` is GL_MAX_SAMPLES.
int32_t clamp_sample_count_to(int32_t requested, int32_t limit);
// Clamps to the current context's GL_MAX_SAMPLES.
int32_t clamp_sample_count(int32_t requested);

#pragma once
#include <cstdint>

// The GLSL program everything is drawn with (the interface's quads with a
// copy reduced to modes 0 and 1), and its two vertex formats.
// The fragment stage switches on the integer uniform imode:
//   0 vertex colour            1 overlay: colour x texel when U.w = 1
//   2 diffuse lighting         3 headlight and specular lighting
//   4 opaque vertex colour     5 triangle id from U x ic2id
//   6 constant ic2id           7 id-edge outline from the bound id texture
//                                (neighbours one `itexel` apart)
//   anything else: opaque black.

// 32 bytes per mesh vertex: position and normal as floats, colour and id
// bytes as unnormalised bytes.
struct MeshVertex {
    float position[3];
    float normal[3];
    uint8_t colour[4];
    uint8_t id[4];
};
static_assert(sizeof(MeshVertex) == 32, "mesh vertex layout");

// 64 bytes per overlay vertex: iV, iC, iN, iU as four floats each.
struct OverlayVertex {
    float v[4], c[4], n[4], u[4];
};
static_assert(sizeof(OverlayVertex) == 64, "overlay vertex layout");

extern const char* const frame_vertex_source;
extern const char* const frame_fragment_source;
// Modes 0 and 1 of the fragment stage alone, for the interface's quads.
extern const char* const overlay_fragment_source;
// Mode 3 alone, without x-ray and inversion (its uniforms absent): the
// frame program's results for a lit surface from fewer interpolated values.
// Without their "#version" line, which build_surface_program puts first.
extern const char* const surface_vertex_source;
extern const char* const surface_fragment_source;

// Compiles one stage (GL_VERTEX_SHADER or GL_FRAGMENT_SHADER). On failure
// prints "SHADER-COMPILATION-ERROR: T<VERTEX> " (or FRAGMENT) and the log,
// and returns 0.
uint32_t compile_shader(uint32_t kind, const char* source);

// Compiles both stages and links them with iV, iC, iN, iU at attributes 0-3. On a link
// failure prints "PROGRAM-LINKING-ERROR: " and the log. 0 on any failure.
uint32_t link_shader_program(const char* vertex_source, const char* fragment_source);

// The linked frame program and its locations (-1 where absent).
struct FrameProgram {
    uint32_t id = 0;
    int32_t iMVP = -1, iMV = -1, iETM = -1;
    int32_t iV = -1, iC = -1, iN = -1, iU = -1;
    int32_t iw = -1, ih = -1, isstz = -1, itint = -1, imode = -1, ic2id = -1, iwusf = -1, idpmn = -1, issci = -1,
            ixray = -1;
    // One texel of the bound id texture, for the outline's neighbours.
    int32_t itexel = -1;
    // The one colour of a mesh, tinted (the one-colour surface program).
    int32_t icolour = -1;
};

// Links the embedded sources and looks up every location, in the order
// above. A failed link leaves id 0 (the message is printed once, here).
FrameProgram build_frame_program();
// The frame vertex stage with overlay_fragment_source, located the same way.
FrameProgram build_overlay_program();
// The surface stages, located the same way; `one_colour`: the variant that
// takes the colour from the uniform icolour instead of each vertex.
FrameProgram build_surface_program(bool one_colour);

#include "render/shader_program.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <string>

const char* const frame_vertex_source = R"(#version 120
uniform mat4 iMVP;
uniform mat4 iMV;
uniform mat4 iETM;
attribute vec4 iV;
attribute vec4 iC;
attribute vec4 iN;
attribute vec4 iU;
uniform float iw;
uniform float ih;
uniform float isstz;
uniform float iwusf;
uniform vec4 itint;
varying vec4 V;
varying vec4 C;
varying vec4 N;
varying vec4 U;
void main() {
    vec4 P = vec4(iwusf, iwusf, iwusf, 1.0) * (iETM * iV);
    gl_Position = (iMVP * P) * vec4(1.0 / iw, 1.0 / ih, 1.0, 1.0) + vec4(0.0, 0.0, isstz, 0.0);
    V = iMV * P;
    C = iC * itint;
    N = iMV * (iETM * (iN * vec4(1.0, 1.0, 1.0, 0.0)));
    U = iU;
}
)";

const char* const frame_fragment_source = R"(#version 120
uniform sampler2D TEX;
uniform int imode;
uniform vec4 ic2id;
uniform float idpmn;
uniform int issci;
uniform int ixray;
uniform vec2 itexel;
varying vec4 V;
varying vec4 C;
varying vec4 N;
varying vec4 U;

vec3 inverted(vec3 c) { return issci == 1 ? vec3(1.0) - c : c; }

// Rounded: a normalised texel truncated can read as id - 1.
int id_of(vec4 t) {
    vec3 c = t.rgb;
    return int(c.r * 255.0 + 0.5) * 65536 + int(c.g * 255.0 + 0.5) * 256 + int(c.b * 255.0 + 0.5);
}

void main() {
    vec4 texel = texture2D(TEX, U.xy);

    // A software rasteriser runs every branch of the mode switch below, so
    // the id-edge neighbourhood (mode 7) is a loop whose length the compiler
    // cannot see: unrolled, every other mode would pay its eight samples.
    int centre = id_of(texel);
    bool smaller = false;
    int samples = 9 * int(imode == 7);
    for (int i = 0; i < samples; ++i) {
        vec2 offset = vec2(mod(float(i), 3.0) - 1.0, floor(float(i) / 3.0) - 1.0) * itexel;
        if (i != 4 && centre < id_of(texture2D(TEX, U.xy + offset))) smaller = true;
    }

    float kA = ic2id.x;
    float kD = ic2id.y * ic2id.w;
    float kS = ic2id.z * ic2id.w;
    vec3 lv = normalize(vec3(0.0, 0.0, 100.0) - V.xyz);
    vec3 nv = normalize(N.xyz);
    // X-ray factor: strongest where the surface is seen edge-on.
    float o = 0.025 + (1.0 - abs(dot(normalize(-N.xyz), normalize(-V.xyz))));
    float xray_alpha = clamp(0.025 + o * C.a, 0.0, 1.0);

    if (imode == 0) {
        gl_FragColor = C;
    } else if (imode == 1) {
        gl_FragColor = C * (texel * U.w) + C * (1.0 - U.w);
    } else if (imode == 2) {
        float vl = max(dot(nv, lv), idpmn) * kD + kA;
        gl_FragColor = ixray == 0 ? vec4(C.rgb * vl, C.a) : vec4(inverted(o * C.rgb * vl), xray_alpha);
    } else if (imode == 3) {
        float d = max(dot(nv, vec3(0.0, 0.0, 1.0)), idpmn);
        float lambertian = max(dot(nv, lv), 0.0);
        float specular = 0.0;
        if (lambertian > 0.0) {
            float r = max(dot(reflect(-lv, nv), normalize(-V.xyz)), 0.0);
            specular = r * r * r * r * r;  // r^5, without a software pow
        }
        float vl = kA + d * kD + specular * kS * 0.5;
        gl_FragColor = ixray == 0 ? vec4(inverted(C.rgb * vl), C.a) : vec4(inverted(o * C.rgb + o * C.rgb * vl), xray_alpha);
    } else if (imode == 4) {
        gl_FragColor = vec4(C.rgb, 1.0);
    } else if (imode == 5) {
        gl_FragColor = vec4(U.rgb * ic2id.rgb, 1.0);
    } else if (imode == 6) {
        gl_FragColor = ic2id;
    } else if (imode == 7) {
        gl_FragColor = vec4(ic2id.rgb, centre != 16777215 && smaller ? 1.0 : 0.0);
    } else {
        gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
    }
}
)";

// The interface's quads use only modes 0 and 1. A software rasteriser runs
// every branch of the full stage for each fragment, so the interface is
// drawn with this stage of just those two (same names, same results).
const char* const overlay_fragment_source = R"(#version 120
uniform sampler2D TEX;
uniform int imode;
varying vec4 C;
varying vec4 U;

void main() {
    if (imode == 0) {
        gl_FragColor = C;
    } else if (imode == 1) {
        vec4 texel = texture2D(TEX, U.xy);
        gl_FragColor = C * (texel * U.w) + C * (1.0 - U.w);
    } else {
        gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
    }
}
)";

// The common lit surface alone: mode 3, neither x-ray nor inversion, with
// the frame program's arithmetic for it. A software rasteriser runs every
// branch of a shader for each block of fragments a triangle touches, and
// pays per triangle for every interpolated component (16 there, 10 here):
// on a mesh of small triangles the frame program's other modes cost more
// than the lighting itself. Compiled a second time with ONE_COLOUR defined,
// the colour of a mesh that has only one comes from a uniform, already
// tinted, and six components are left to interpolate.
const char* const surface_vertex_source = R"(
uniform mat4 iMVP;
uniform mat4 iMV;
uniform mat4 iETM;
attribute vec4 iV;
attribute vec4 iN;
uniform float iw;
uniform float ih;
uniform float isstz;
uniform float iwusf;
#ifndef ONE_COLOUR
attribute vec4 iC;
uniform vec4 itint;
varying vec4 C;
#endif
varying vec3 V;
varying vec3 N;
void main() {
    vec4 P = vec4(iwusf, iwusf, iwusf, 1.0) * (iETM * iV);
    gl_Position = (iMVP * P) * vec4(1.0 / iw, 1.0 / ih, 1.0, 1.0) + vec4(0.0, 0.0, isstz, 0.0);
    V = (iMV * P).xyz;
#ifndef ONE_COLOUR
    C = iC * itint;
#endif
    N = (iMV * (iETM * (iN * vec4(1.0, 1.0, 1.0, 0.0)))).xyz;
}
)";

const char* const surface_fragment_source = R"(
uniform vec4 ic2id;
uniform float idpmn;
#ifdef ONE_COLOUR
uniform vec4 icolour;
#define C icolour
#else
varying vec4 C;
#endif
varying vec3 V;
varying vec3 N;

void main() {
    float kA = ic2id.x;
    float kD = ic2id.y * ic2id.w;
    float kS = ic2id.z * ic2id.w;
    vec3 lv = normalize(vec3(0.0, 0.0, 100.0) - V);
    vec3 nv = normalize(N);
    float d = max(dot(nv, vec3(0.0, 0.0, 1.0)), idpmn);
    float lambertian = max(dot(nv, lv), 0.0);
    float specular = 0.0;
    if (lambertian > 0.0) {
        float r = max(dot(reflect(-lv, nv), normalize(-V)), 0.0);
        specular = r * r * r * r * r;
    }
    float vl = kA + d * kD + specular * kS * 0.5;
    gl_FragColor = vec4(C.rgb * vl, C.a);
}
)";

namespace {

std::string info_log(uint32_t object, bool program) {
    GLint length = 0;
    if (program) {
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    } else {
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    }
    std::string log(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    GLsizei written = 0;
    if (program) {
        glGetProgramInfoLog(object, static_cast<GLsizei>(log.size()), &written, log.data());
    } else {
        glGetShaderInfoLog(object, static_cast<GLsizei>(log.size()), &written, log.data());
    }
    log.resize(static_cast<size_t>(written > 0 ? written : 0));
    return log;
}

void print_line(const std::string& text) {
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

uint32_t compile_shader(uint32_t kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    print_line(std::string("SHADER-COMPILATION-ERROR: T<") + (kind == GL_VERTEX_SHADER ? "VERTEX" : "FRAGMENT") + "> " +
               info_log(shader, false));
    glDeleteShader(shader);
    return 0;
}

uint32_t link_shader_program(const char* vertex_source, const char* fragment_source) {
    const GLuint vs = compile_shader(GL_VERTEX_SHADER, vertex_source);
    if (vs == 0) return 0;
    const GLuint fs = compile_shader(GL_FRAGMENT_SHADER, fragment_source);
    if (fs == 0) {
        glDeleteShader(vs);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    // Compatibility profiles want generic attribute 0 in use; fixed places
    // for the rest let the frame and overlay programs share one layout.
    const char* const attributes[4] = {"iV", "iC", "iN", "iU"};
    for (GLuint at = 0; at < 4; ++at) glBindAttribLocation(program, at, attributes[at]);
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) print_line("PROGRAM-LINKING-ERROR: " + info_log(program, true));
    glDetachShader(program, vs);
    glDetachShader(program, fs);
    glDeleteShader(vs);
    glDeleteShader(fs);
    if (ok == GL_TRUE) return program;
    glDeleteProgram(program);
    return 0;
}

namespace {

FrameProgram build_program(const char* vertex_source, const char* fragment_source) {
    FrameProgram p;
    p.id = link_shader_program(vertex_source, fragment_source);
    if (p.id == 0) return p;
    auto u = [&](const char* name) { return static_cast<int32_t>(glGetUniformLocation(p.id, name)); };
    auto a = [&](const char* name) { return static_cast<int32_t>(glGetAttribLocation(p.id, name)); };
    p.iMVP = u("iMVP"), p.iMV = u("iMV"), p.iETM = u("iETM");
    p.iV = a("iV"), p.iC = a("iC"), p.iN = a("iN"), p.iU = a("iU");
    p.iw = u("iw"), p.ih = u("ih"), p.isstz = u("isstz"), p.itint = u("itint"), p.imode = u("imode");
    p.ic2id = u("ic2id"), p.iwusf = u("iwusf"), p.idpmn = u("idpmn"), p.issci = u("issci"), p.ixray = u("ixray");
    p.itexel = u("itexel");
    p.icolour = u("icolour");
    return p;
}

}  // namespace

FrameProgram build_frame_program() { return build_program(frame_vertex_source, frame_fragment_source); }

FrameProgram build_overlay_program() { return build_program(frame_vertex_source, overlay_fragment_source); }

FrameProgram build_surface_program(bool one_colour) {
    const std::string head = one_colour ? "#version 120\n#define ONE_COLOUR\n" : "#version 120\n";
    return build_program((head + surface_vertex_source).c_str(), (head + surface_fragment_source).c_str());
}

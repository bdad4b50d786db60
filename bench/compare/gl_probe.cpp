// The floor for the orbit figure: the triangles of a binary PLY (as the
// comparison writes it) drawn in the simplest way the driver allows, in a
// 720 x 480 top-level window: one vertex buffer, one index buffer, one draw
// of a lit, per-vertex coloured surface a frame, with the camera turning
// along the comparison's drag (yaw from the inspector's start camera).
//   gl_probe GRID.ply [FRAMES] [SAMPLES]
// SAMPLES 4 draws into a 4-sample target resolved into the window, as the
// inspector draws its scene. Prints "frame_ms MEDIAN best BEST fps F".
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "glx_window.h"
#include "render/mesh_upload.h"

namespace {

struct Vertex {
    float p[3];
    float n[3];
    uint8_t c[4];
};

struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<uint32_t> indices;
};

// Only what the comparison's export writes: doubles x y z nx ny nz, four
// colour bytes, then faces of 3 int indices.
bool read_ply(const char* path, Mesh& mesh) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    long vertices = -1, faces = -1;
    while (std::getline(in, line) && line != "end_header") {
        std::sscanf(line.c_str(), "element vertex %ld", &vertices);
        std::sscanf(line.c_str(), "element face %ld", &faces);
    }
    if (!in || vertices < 0 || faces < 0) return false;
    mesh.vertices.resize(static_cast<size_t>(vertices));
    for (Vertex& v : mesh.vertices) {
        char record[52];
        if (!in.read(record, sizeof record)) return false;
        double d[6];
        std::memcpy(d, record, sizeof d);
        for (int k = 0; k < 3; ++k) v.p[k] = static_cast<float>(d[k]), v.n[k] = static_cast<float>(d[3 + k]);
        std::memcpy(v.c, record + 48, 4);
    }
    mesh.indices.resize(3 * static_cast<size_t>(faces));
    for (long f = 0; f < faces; ++f) {
        int32_t face[4];
        if (!in.read(reinterpret_cast<char*>(face), sizeof face) || face[0] != 3) return false;
        for (int k = 0; k < 3; ++k) mesh.indices[3 * static_cast<size_t>(f) + k] = static_cast<uint32_t>(face[1 + k]);
    }
    return true;
}

const char* const vertex_source = R"(#version 120
uniform mat4 mvp;
uniform mat4 mv;
attribute vec3 position;
attribute vec3 normal;
attribute vec4 colour;
varying vec4 lit;
void main() {
    gl_Position = mvp * vec4(position, 1.0);
    vec3 n = normalize((mv * vec4(normal, 0.0)).xyz);
    lit = vec4(colour.rgb * (0.125 + max(n.z, 0.1)), colour.a);
}
)";

const char* const fragment_source = R"(#version 120
varying vec4 lit;
void main() { gl_FragColor = lit; }
)";

GLuint compile(GLenum stage, const char* source) {
    const GLuint s = glCreateShader(stage);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: gl_probe GRID.ply [FRAMES] [SAMPLES]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    const int samples = argc > 3 ? std::atoi(argv[3]) : 0;
    Mesh mesh;
    if (!read_ply(argv[1], mesh)) {
        std::fprintf(stderr, "gl_probe: cannot read %s\n", argv[1]);
        return 1;
    }
    const int width = 720, height = 480;
    GlxWindow g;
    if (!open_glx_window(g, "gl_probe", width, height, false)) {
        std::fprintf(stderr, "gl_probe: no display, GL visual or context\n");
        return 1;
    }

    const GLuint program = glCreateProgram();
    glAttachShader(program, compile(GL_VERTEX_SHADER, vertex_source));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragment_source));
    glBindAttribLocation(program, 0, "position");
    glBindAttribLocation(program, 1, "normal");
    glBindAttribLocation(program, 2, "colour");
    glLinkProgram(program);
    glUseProgram(program);

    GLuint buffers[2];
    glGenBuffers(2, buffers);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(Vertex)),
                 mesh.vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(uint32_t)),
                 mesh.indices.data(), GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<const void*>(12));
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<const void*>(24));
    for (GLuint at = 0; at < 3; ++at) glEnableVertexAttribArray(at);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glViewport(0, 0, width, height);

    GLuint target = 0;
    if (samples > 0) {
        GLuint colour = 0, depth = 0;
        glGenFramebuffers(1, &target);
        glBindFramebuffer(GL_FRAMEBUFFER, target);
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        glEnable(GL_MULTISAMPLE);
    }

    // The inspector's start camera; each frame turns it by the next stretch
    // of the drag (2-pixel steps bouncing within 40 pixels of the start, five
    // steps a frame, 360 degrees per 720 pixels).
    float projection[16];
    build_perspective_matrix(projection, 60.0, 0.01, 1000.0, static_cast<double>(width) / height);
    const double eye[3] = {-1, 1, 3}, up[3] = {0, 1, 0};
    const double start_yaw = std::atan2(-3.0, 1.0), pitch = std::atan2(-1.0, std::sqrt(10.0));
    int dx = 0, step = 2;
    std::vector<double> times;
    using Clock = std::chrono::steady_clock;
    const int warm_up = 3;
    for (int f = 0; f < warm_up + frames; ++f) {
        for (int s = 0; s < 5; ++s) {
            dx += step;
            if (dx >= 40) step = -2;
            if (dx <= -40) step = 2;
        }
        const double yaw = start_yaw + dx * 0.5 * 3.14159265358979323846 / 180.0;
        const double look_at[3] = {eye[0] + std::cos(pitch) * std::cos(yaw), eye[1] + std::sin(pitch),
                                   eye[2] + std::cos(pitch) * std::sin(yaw)};
        float mv[16], mvp[16];
        build_look_at_matrix(mv, eye, look_at, up);
        multiply_matrices(mvp, projection, mv);
        const auto t0 = Clock::now();
        glUniformMatrix4fv(glGetUniformLocation(program, "mvp"), 1, GL_FALSE, mvp);
        glUniformMatrix4fv(glGetUniformLocation(program, "mv"), 1, GL_FALSE, mv);
        glBindFramebuffer(GL_FRAMEBUFFER, target);
        glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT, nullptr);
        if (target) {
            glBindFramebuffer(GL_READ_FRAMEBUFFER, target);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        }
        glXSwapBuffers(g.display, g.target);
        glFinish();
        if (f >= warm_up) times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("frame_ms %.1f best %.1f fps %.2f\n", median, times.front(), 1000.0 / median);
    close_glx_window(g);
    return 0;
}

#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/interop_mesh.h"

// The data of a mesh's GL buffers, written straight into the buffers.
//
// Vertex runs (32-byte mesh vertices): the V shared vertices; then, only
// when the triangle run is asked for (flat shading and triangle picking draw
// it), the I vertices of the triangle list unrolled (their id bytes hold the
// triangle number as 24-bit RGB, so the flat pass can draw and pick per
// triangle); then the 24 vertices of the twelve bounding-box edges.
// Index slots of 4 bytes: the triangle list, then the triangle, polygon and
// smoothing-group edge lists. Small meshes store the edge lists as 16-bit
// indices packed from the start of their slot range.

constexpr size_t mesh_vertex_bytes = 32;
constexpr size_t bounding_box_vertices = 24;
// Meshes of at most this many vertices draw their edges with 16-bit indices.
constexpr size_t short_index_vertex_limit = 65536;

struct MeshUploadLayout {
    size_t vertex_count = 0;    // V
    size_t index_count = 0;     // I, entries of the triangle list
    size_t triangle_count = 0;  // I / 3
    // Whether the unrolled triangle run follows the shared vertices.
    bool triangle_run = false;
    // First bounding-box vertex: V, or V + I with the triangle run.
    size_t box_first = 0;
    // Entries of each edge list (two per line).
    size_t triangle_edge_count = 0;
    size_t polygon_edge_count = 0;
    size_t group_edge_count = 0;
    bool short_edges = false;
    // (V + I) x 32 + 768 with the triangle run, else (V + 1) x 32 + 768.
    size_t vertex_bytes = 0;
    // Byte offsets of the edge lists inside the index data.
    size_t triangle_edge_offset = 0;
    size_t polygon_edge_offset = 0;
    size_t group_edge_offset = 0;
    size_t index_bytes = 0;
};

MeshUploadLayout mesh_upload_layout(const InteropMesh& mesh, bool triangle_run);

// Write every byte of the vertex data (layout.vertex_bytes) and of the index
// data (layout.index_bytes) of the layout made for the mesh; they only write
// to `out`, which may be memory that is slow to read. Missing data never
// reads out of bounds: display colours the mesh lacks are opaque grey
// (191, 191, 191, 255), coordinates beyond `dimension` are 0, missing bounds
// give a zero box, and a triangle corner that names no vertex draws a zeroed
// vertex (its unrolled vertex, or without the triangle run the one zeroed
// vertex after the box). The index data of a mesh whose edge lists were
// released (gl_edges_only) can no longer be written.
void write_mesh_vertices(const InteropMesh& mesh, const MeshUploadLayout& layout, uint8_t* out);
// True when every triangle corner names a vertex: the index data is then
// the same with and without the triangle run.
bool write_mesh_indices(const InteropMesh& mesh, const MeshUploadLayout& layout, uint8_t* out);

// Column-major 4 x 4 matrices as GL takes them.
using Mat4 = float[16];

void set_identity_matrix(float* m);
// gluPerspective: field of view in degrees.
void build_perspective_matrix(float* m, double field_of_view, double near_plane, double far_plane, double aspect);
// Orthographic view of depth 0..1000 in front of the eye, x scaled by the
// aspect.
void build_orthographic_matrix(float* m, double aspect);
// gluLookAt.
void build_look_at_matrix(float* m, const double eye[3], const double target[3], const double up[3]);
void build_translation_matrix(float* m, double x, double y, double z);
// out = a x b, formed in double precision; out may alias a or b.
void multiply_matrices(float* out, const float* a, const float* b);

// The thumbnail strip: 16 x 16 cells of 128 x 128 pixels in a 2048 target.
// False for a cell outside the strip, which is then not drawn.
bool strip_cell_origin(int64_t cell, int32_t& x, int32_t& y);
// Environments fill the strip from its last cell backwards.
int64_t environment_thumbnail_cell(int64_t environment_number);

// A run of consecutive triangles to highlight.
struct TriangleRun {
    size_t first = 0;
    size_t count = 0;
};

// A pick key as a mode: upper case, and the key strip's '?' for the
// user-defined mode 'U'.
char pick_mode_of(char key);

// The triangles a pick of triangle t highlights in the given mode ('T', 'P',
// 'G', 'O', 'U', 'E'; either case). A mesh whose triangle-to-polygon map is
// missing or of the wrong length prints why and highlights t alone. Count 0:
// nothing (t outside the mesh, or a user type below 1).
TriangleRun pick_highlight_run(const InteropMesh& mesh, char mode, size_t t);

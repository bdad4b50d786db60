// Polygon meshes of the stand-in kernel: primitives, transforms, union, and
// the conversion to an interop file entry (triangles, edges, palette, bounds).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "interop/interop_writer.h"

struct KernelMesh {
    std::vector<double> positions;       // x, y, z per vertex
    std::vector<double> normals;         // x, y, z per vertex
    std::vector<uint8_t> sign_flags;     // per vertex; 0: triangle normals follow the winding
    std::vector<uint32_t> vertex_colours;  // per vertex, index into `colours`
    std::vector<std::array<double, 4>> colours;
    std::vector<uint32_t> polygon_sizes;
    std::vector<uint32_t> corners;
    std::vector<int32_t> face_ids;       // per polygon: index inside its primitive
    std::vector<int32_t> group_ids;      // per polygon: smoothing group
    std::vector<int32_t> user_type_ids;     // per polygon: primitive kind
    std::vector<int32_t> operand_ids;    // per polygon: union operand

    size_t vertex_count() const { return positions.size() / 3; }
    size_t polygon_count() const { return polygon_sizes.size(); }
};

// Names of the primitive kinds, indexed by user type (0 is "none").
const std::vector<std::string>& primitive_type_names();

// Builds a primitive from its name and numeric arguments (counts already
// checked). Resolutions are clamped to sane ranges; the result is refused
// (false, *error set) when it would exceed `vertex_budget` vertices.
bool make_primitive(const std::string& name, const std::vector<double>& args, size_t vertex_budget,
                    KernelMesh& out, std::string* error);

// Applies a known method; returns false for an unknown name (mesh unchanged).
bool apply_mesh_method(KernelMesh& mesh, const std::string& name, const std::vector<double>& args);

// Row-major 3 x 4 affine transform.
using Affine = std::array<double, 12>;
void transform_mesh(KernelMesh& mesh, const Affine& m);

// Appends b to a; b's groups and operands are numbered after a's.
void mesh_union(KernelMesh& a, const KernelMesh& b);

// Everything an interop entry needs, derived from the polygons. The rvalue
// form hands the mesh's arrays over (the mesh is left empty).
void build_interop_mesh(const KernelMesh& mesh, InteropWriterMesh& out);
void build_interop_mesh(KernelMesh&& mesh, InteropWriterMesh& out);

// Polygon and smoothing-group edges by one counting pass over vertex buckets:
// an edge is a group edge when its polygons lie in different groups or it
// borders only one polygon; triangle edges are the fan diagonals.
void classify_edges(const KernelMesh& mesh, std::vector<uint32_t>& polygon_edges,
                    std::vector<uint32_t>& group_edges);

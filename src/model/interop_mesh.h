#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Meshes read from the kernel's binary interop file. A mesh is allocated by
// the reader and from then on belongs to the entity it is attached to;
// whoever drops it calls free_interop_mesh (or the two destroy calls and
// delete) exactly once.
//
// Arrays are held by value; an array the file did not carry is empty.

enum MeshAlgorithm : int32_t {
    MESH_PURE_UNION = 0,
    MESH_BASIC_CSG = 1,
    MESH_OPTIMAL_CSG = 2,
};

// One dictionary-coded index table of a 32-bit file, kept as read while the
// file uses 16-bit indices.
struct CodedTable {
    int32_t rows = 0;
    std::vector<uint32_t> values;
    std::vector<uint32_t> row_sizes;
    std::vector<uint16_t> entries;
};

// Coded tables in file order: 0 is read and dropped, 1 polygon edges,
// 2 triangle edges, 3 smoothing-group edges.
enum CodedTableIndex : int32_t {
    CODED_TABLE_WIDE = 0,
    CODED_TABLE_POLYGON_EDGES = 1,
    CODED_TABLE_TRIANGLE_EDGES = 2,
    CODED_TABLE_GROUP_EDGES = 3,
};

struct InteropMesh {
    uint8_t present = 0;
    uint8_t building = 1;
    int32_t serial_id = 0;
    uint8_t visible = 1;
    uint8_t reuse_mark = 0;

    std::vector<double> positions;
    // With polygon_size 0: the count P, the P corner counts, then the corners.
    std::vector<uint32_t> polygons;
    int32_t polygon_size = 0;
    // Components per position, normal and bound (2 or 3).
    int32_t dimension = 0;
    std::vector<double> polygon_normals;
    // Four doubles per vertex (red, green, blue, alpha in 0..1). A mesh read
    // from a file leaves this empty and keeps the palette and one index per
    // vertex below (4 bytes a vertex instead of 32); read the colours through
    // colours_of.
    std::vector<double> colours;
    std::vector<double> colour_palette;
    std::vector<uint32_t> colour_indices;
    // Five vectors of `dimension` components: min, max, centre, mean, extent.
    std::vector<double> bounds;
    std::vector<uint32_t> face_ids;
    std::vector<uint32_t> user_type_ids;
    std::vector<uint32_t> group_ids;
    std::vector<uint32_t> operand_ids;
    std::vector<uint32_t> triangles;
    // Three doubles per vertex: the polygon normals with the sign flags
    // applied. A mesh read from a file leaves this empty and keeps only the
    // flips below (a second copy of the normals costs 24 bytes a vertex);
    // read both through triangle_normals_of.
    std::vector<double> triangle_normals;
    // One byte per triangle normal, 1 where it is the polygon normal negated.
    std::vector<uint8_t> triangle_normal_flips;
    std::vector<uint32_t> triangle_polygons;
    // Edge lists as vertex-index pairs: the 32-bit lists of a 32-bit file
    // (decoded and de-duplicated) ...
    std::vector<uint32_t> polygon_edges;
    std::vector<uint32_t> triangle_edges;
    std::vector<uint32_t> group_edges;
    // ... or the plain lists of a 16-bit file.
    std::vector<uint16_t> polygon_edges_16;
    std::vector<uint16_t> triangle_edges_16;
    std::vector<uint16_t> group_edges_16;
    // Kept as read only in 16-bit files; cleared after decoding otherwise.
    std::array<CodedTable, 4> coded_tables;
    int32_t smoothing_count = 0;
    // Three floats per triangle, drawn only with smoothing groups: a mesh
    // read without them (smoothing_count 0 or less) leaves this empty.
    std::vector<float> shading_vectors;
    // One byte per element of `colours`: the colours as displayed.
    std::vector<uint8_t> display_colours;

    // Filled by colouring and rendering, empty after reading.
    std::vector<uint8_t> tessellation_colours;
    std::vector<uint32_t> tessellation_map;

    uint32_t vertex_array_id = 0;
    uint32_t vertex_buffer_id = 0;
    uint32_t index_buffer_id = 0;
    uint8_t colours_dirty = 1;
    // 1 while the vertex buffer holds the unrolled triangle run.
    uint8_t gl_triangle_run = 0;
    // Whether every vertex a surface draws has one colour, found when first
    // asked after an upload: 0 not yet known, 1 no, 2 yes (`gl_one_colour`).
    uint8_t gl_one_colour_state = 0;
    std::array<uint8_t, 4> gl_one_colour = {0, 0, 0, 0};
    // 1 once the index buffer holds the edge lists for good (no triangle
    // corner names a missing vertex, so the index data never changes): the
    // lists above are released then, and only their lengths stay, triangle,
    // polygon and smoothing-group edges in that order.
    uint8_t gl_edges_only = 0;
    std::array<size_t, 3> gl_edge_counts{};

    std::string ppd_text;
    std::vector<int32_t> type_name_lengths;
    std::vector<int32_t> type_name_offsets;
    std::vector<uint8_t> type_names;

    int64_t kernel_ms = -1;
    int64_t read_ms = -1;
    int64_t assembly_ms = 0;
    int32_t algorithm = MESH_PURE_UNION;
    int32_t mesh_kind = MESH_PURE_UNION;
    uint8_t smoothing_groups_defined = 0;

    std::string element_invocation;
    std::string element_source;
    int32_t element_index = -1;
    int32_t batch_index = -1;
    int32_t element_count = -1;
    int32_t batch_count = -1;
};

// A list of normal components as doubles: values as stored, or, with
// `flips`, the polygon normals with each flipped triple negated.
struct NormalList {
    const double* values = nullptr;
    const uint8_t* flips = nullptr;
    size_t count = 0;  // doubles

    size_t size() const { return count; }
    bool empty() const { return count == 0; }
    // Multiplied as the reader once did, so every bit comes out the same.
    double operator[](size_t i) const { return flips ? values[i] * (flips[i / 3] ? -1.0 : 1.0) : values[i]; }
};

NormalList normal_list(const std::vector<double>& values);
// The stored triangle normals when there are any, else those made from the
// polygon normals and the flips.
NormalList triangle_normals_of(const InteropMesh& mesh);
// The triangle normals as one array: the stored ones, or `scratch` filled.
const double* triangle_normal_values(const InteropMesh& mesh, std::vector<double>& scratch, size_t& count);

// The colours of a mesh as four doubles per vertex: the stored ones, or
// those its palette indices name.
struct ColourList {
    const double* values = nullptr;   // the colours, or the palette
    const uint32_t* indices = nullptr;  // null: values as they are
    size_t count = 0;                 // doubles

    size_t size() const { return count; }
    bool empty() const { return count == 0; }
    double operator[](size_t i) const { return indices ? values[4 * size_t{indices[i / 4]} + i % 4] : values[i]; }
};

ColourList colours_of(const InteropMesh& mesh);

// Every mesh entry of the file, in file order, each new and owned by the
// caller. Empty on failure; a failure other than "does not open" prints
// "ERROR-READING-BINARY-INTEROP-FILE: <path>". A large entry is read by up
// to three threads, all joined before the call returns; reads may run
// concurrently.
std::vector<InteropMesh*> read_interop_meshes(const std::string& path);

// The same over bytes already in memory; `name` stands for the path in the
// message.
std::vector<InteropMesh*> read_interop_meshes_from_memory(const uint8_t* data, size_t size,
                                                          const std::string& name);

// The first mesh of the file (the others are released), or null.
InteropMesh* read_first_interop_mesh(const std::string& path);

// Releases the six edge lists of a mesh whose index buffer holds them,
// keeping their lengths (as above); their pages go back to the system at
// once, whatever the heap keeps.
void release_uploaded_edges(InteropMesh& mesh, const std::array<size_t, 3>& counts);

// Releases the arrays, or the strings, of a mesh; the record stays.
void destroy_interop_mesh(InteropMesh* mesh);
void destroy_interop_mesh_strings(InteropMesh* mesh);
// Both of the above and the record itself; null is allowed.
void free_interop_mesh(InteropMesh* mesh);
// Frees every mesh of the list and empties it.
void free_interop_meshes(std::vector<InteropMesh*>& meshes);

// Vertex count: positions / dimension (0 when dimension is not positive).
int32_t interop_mesh_vertex_count(const InteropMesh& mesh);
// Polygon count: 0 for an empty list, list length / polygon_size for
// fixed-size polygons, else the count P at the head of the list.
int32_t interop_mesh_polygon_count(const InteropMesh& mesh);
// Bytes of positions, polygon list, polygon normals and colours.
uint64_t interop_mesh_bytes(const InteropMesh& mesh);

// Process-wide mesh serial numbers; the reset exists for tests only.
int32_t next_mesh_serial();
void reset_mesh_serial_counter();

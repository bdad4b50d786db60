#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/interop_mesh.h"
#include "model/parameters.h"
#include "model/parse_record.h"

// One assembled script in an environment: its mesh, parse record and
// parameters, its transform, flags and the figures the panes show.

// Order of the three Euler rotations, first letter first.
enum RotationOrder : int32_t {
    ROTATION_XYZ = 0,
    ROTATION_XZY = 1,
    ROTATION_YXZ = 2,
    ROTATION_YZX = 3,
    ROTATION_ZXY = 4,
    ROTATION_ZYX = 5,
};
extern const char* const rotation_order_labels[6];

// Order of scale (S), rotation (R) and translation (T), first letter first.
enum TransformOrder : int32_t {
    TRANSFORM_RST = 0,
    TRANSFORM_RTS = 1,
    TRANSFORM_SRT = 2,
    TRANSFORM_STR = 3,
    TRANSFORM_TRS = 4,
    TRANSFORM_TSR = 5,
};
extern const char* const transform_order_labels[6];

// Rows of EntityRecord::bounds.
enum BoundsRow : int32_t { BOUNDS_MIN = 0, BOUNDS_MAX = 1, BOUNDS_CENTRE = 2, BOUNDS_MEAN = 3, BOUNDS_EXTENT = 4 };

struct EntityRecord {
    uint8_t assembled = 0;
    uint8_t pending = 1;
    int32_t parallel = 0;
    // Not owned: copies share the records and destruction leaves them.
    std::vector<EntityRecord*> subelement_records;
    int32_t subelement_count = 0;
    int32_t algorithm = MESH_PURE_UNION;
    uint8_t is_element = 0;
    int32_t parameter_element_count = 0;
    std::vector<int32_t> parameter_elements;
    int32_t serial_id = 0;

    std::array<double, 3> translation = {0.0, 0.0, 0.0};
    double uniform_scale = 1.0;
    std::array<double, 3> axis_scale = {1.0, 1.0, 1.0};
    // Rotation about x, y, z in degrees.
    std::array<double, 3> euler_angles = {0.0, 0.0, 0.0};
    // Column-major; rebuilt by the renderer from the fields above.
    std::array<double, 16> transform_matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::array<float, 16> transform_matrix_f = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    uint8_t locked = 0;
    uint8_t visible = 1;
    // min, max, centre, mean, extent (BoundsRow), x y z each.
    std::array<std::array<double, 3>, 5> bounds = {};
    int32_t vertex_count = 0;
    uint8_t smoothing_groups_defined = 0;
    int32_t polygon_count = 0;
    int32_t ngon_index_count = 0;
    int32_t triangle_count = 0;
    int32_t triangle_index_count = 0;
    uint64_t mesh_bytes = 0;
    double mesh_kb = 0.0;
    double mesh_mb = 0.0;
    int64_t assembly_ms = 0;
    double assembly_seconds = 0.0;

    // Shared, not owned: see interop_mesh.h for who frees it.
    InteropMesh* mesh = nullptr;
    EntityParseRecord parse_record;
    ParseResult parse_result;

    uint8_t parameter_auto_sync = 1;
    uint8_t parameter_immediate_mode = 0;
    uint8_t parameter_multi_edit_mode = 0;
    // Kept for the panes; copied and released with the record.
    std::vector<uint8_t> parameter_marks;
    int32_t marked_parameter = -1;
    int32_t parameter_push_pending = 0;

    std::string file_name;
    std::vector<std::string> summary_lines;
    std::vector<std::string> information_lines;
    std::string heading_text;
    int32_t file_name_width = 0;
    int32_t summary_width = 0;
    int32_t information_width = 0;
    int32_t information_height = 0;

    int32_t rotation_order = ROTATION_XYZ;
    int32_t transform_order = TRANSFORM_SRT;
};

// A record with the defaults above and a new serial id.
EntityRecord entity_construct(bool parallel = false);

// Attaches the mesh and derives counts, bounds, sizes and times from it.
void entity_attach_mesh(EntityRecord& entity, InteropMesh* mesh);

bool entity_transform_is_identity(const EntityRecord& entity);
// True when entity_transform_point turns the entity inside out: its three
// scale factors multiply to a negative number (two negative axes are a half
// turn, and a flattened axis has no inside).
bool entity_transform_mirrors(const EntityRecord& entity);
void entity_transform_point(const EntityRecord& entity, double& x, double& y, double& z);
void entity_transform_normal(const EntityRecord& entity, double& x, double& y, double& z);
// The rotations of the entity's rotation order alone.
void entity_rotate(const EntityRecord& entity, double& x, double& y, double& z);

// Member-wise copies: mesh and sub-element records are shared, serial kept.
EntityRecord entity_copy_construct(const EntityRecord& source);
void entity_assign(EntityRecord& target, const EntityRecord& source);

// file_name = ": " + file name of the parse record's path; its width from
// the caption typeface's 256 advance widths (a shorter table counts 0 for
// the bytes it lacks).
void extract_entity_file_name(EntityRecord& entity, const std::vector<uint32_t>& caption_glyph_widths);

// The selection mark of listed parameter row `row`: 0 past the end of the
// marks; setting one grows the marks as needed.
uint8_t parameter_mark(const EntityRecord& entity, size_t row);
void set_parameter_mark(EntityRecord& entity, size_t row, uint8_t mark);

// Releases texts and vectors; never the mesh or the sub-element records.
void destroy_entity_record(EntityRecord& entity);

// Process-wide entity serial numbers; the reset exists for tests only.
int32_t next_entity_serial();
void reset_entity_serial_counter();

#include "model/entity.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cmath>

#include "model/rotation.h"
#include "text/split.h"

const char* const rotation_order_labels[6] = {"XYZ", "XZY", "YXZ", "YZX", "ZXY", "ZYX"};
const char* const transform_order_labels[6] = {"RST", "RTS", "SRT", "STR", "TRS", "TSR"};

static std::atomic<int32_t> entity_serial_counter{0};

int32_t next_entity_serial() { return entity_serial_counter.fetch_add(1); }
void reset_entity_serial_counter() { entity_serial_counter.store(0); }

EntityRecord entity_construct(bool parallel) {
    EntityRecord entity;
    entity.serial_id = next_entity_serial();
    entity.parallel = parallel ? 1 : 0;
    return entity;
}

void entity_attach_mesh(EntityRecord& entity, InteropMesh* mesh) {
    entity.mesh = mesh;
    if (!mesh) return;
    mesh->visible = entity.visible;

    entity.vertex_count = interop_mesh_vertex_count(*mesh);
    entity.smoothing_groups_defined = mesh->smoothing_groups_defined;

    // Five bound vectors of `dimension` components each; a 2-D mesh leaves z.
    const int32_t dim = mesh->dimension;
    if ((dim == 2 || dim == 3) && mesh->bounds.size() >= static_cast<size_t>(5 * dim)) {
        for (size_t row = 0; row < 5; ++row) {
            for (size_t c = 0; c < static_cast<size_t>(dim); ++c)
                entity.bounds[row][c] = mesh->bounds[row * static_cast<size_t>(dim) + c];
        }
    }

    entity.ngon_index_count = static_cast<int32_t>(mesh->polygons.size());
    entity.polygon_count = interop_mesh_polygon_count(*mesh);
    entity.triangle_index_count = static_cast<int32_t>(mesh->triangles.size());
    entity.triangle_count = entity.triangle_index_count / 3;

    entity.mesh_bytes = interop_mesh_bytes(*mesh);
    entity.mesh_kb = static_cast<double>(entity.mesh_bytes) * 0.0009765625;
    entity.mesh_mb = static_cast<double>(entity.mesh_bytes) * 9.5367431640625e-7;
    entity.assembly_ms = mesh->assembly_ms;
    entity.assembly_seconds = static_cast<double>(mesh->assembly_ms) / 1000.0;
    entity.assembled = 1;
    entity.pending = 0;
}

bool entity_transform_is_identity(const EntityRecord& e) {
    return e.translation[0] == 0.0 && e.translation[1] == 0.0 && e.translation[2] == 0.0 && e.uniform_scale == 1.0 &&
           e.axis_scale[0] == 1.0 && e.axis_scale[1] == 1.0 && e.axis_scale[2] == 1.0 && e.euler_angles[0] == 0.0 &&
           e.euler_angles[1] == 0.0 && e.euler_angles[2] == 0.0;
}

bool entity_transform_mirrors(const EntityRecord& e) {
    // Without a valid order only the rotation applies.
    if (e.transform_order < 0 || e.transform_order > 5) return false;
    bool negative = false;
    for (double axis : e.axis_scale) {
        const double factor = e.uniform_scale * axis;
        if (!(factor < 0.0 || factor > 0.0)) return false;
        negative ^= factor < 0.0;
    }
    return negative;
}

static void rotate_about_axis(const EntityRecord& e, char axis, double& x, double& y, double& z) {
    switch (axis) {
    case 'X':
        if (e.euler_angles[0] != 0.0) rotate_about_x_degrees(y, z, e.euler_angles[0]);
        break;
    case 'Y':
        if (e.euler_angles[1] != 0.0) rotate_about_y_degrees(x, z, e.euler_angles[1]);
        break;
    case 'Z':
        if (e.euler_angles[2] != 0.0) rotate_about_z_degrees(x, y, e.euler_angles[2]);
        break;
    default:
        break;
    }
}

void entity_rotate(const EntityRecord& e, double& x, double& y, double& z) {
    if (e.rotation_order < 0 || e.rotation_order > 5) return;
    const char* order = rotation_order_labels[e.rotation_order];
    for (int i = 0; i < 3; ++i) rotate_about_axis(e, order[i], x, y, z);
}

void entity_transform_point(const EntityRecord& e, double& x, double& y, double& z) {
    if (e.transform_order < 0 || e.transform_order > 5) {
        entity_rotate(e, x, y, z);
        return;
    }
    const char* order = transform_order_labels[e.transform_order];
    for (int i = 0; i < 3; ++i) {
        switch (order[i]) {
        case 'S':
            x *= e.uniform_scale * e.axis_scale[0];
            y *= e.uniform_scale * e.axis_scale[1];
            z *= e.uniform_scale * e.axis_scale[2];
            break;
        case 'R':
            entity_rotate(e, x, y, z);
            break;
        case 'T':
            x += e.translation[0];
            y += e.translation[1];
            z += e.translation[2];
            break;
        default:
            break;
        }
    }
}

// Normals scale by the inverse; a zero factor (a flattened axis) is left
// out rather than turning the normal into infinities.
static void inverse_scale(const EntityRecord& e, double& x, double& y, double& z) {
    const double fx = e.uniform_scale * e.axis_scale[0];
    const double fy = e.uniform_scale * e.axis_scale[1];
    const double fz = e.uniform_scale * e.axis_scale[2];
    if (fx != 0.0) x /= fx;
    if (fy != 0.0) y /= fy;
    if (fz != 0.0) z /= fz;
}

void entity_transform_normal(const EntityRecord& e, double& x, double& y, double& z) {
    const int32_t order = e.transform_order;
    const bool scale_first = order == TRANSFORM_SRT || order == TRANSFORM_STR || order == TRANSFORM_TSR;
    const bool scale_after = order == TRANSFORM_RST || order == TRANSFORM_RTS || order == TRANSFORM_TRS;
    if (scale_first) inverse_scale(e, x, y, z);
    entity_rotate(e, x, y, z);
    if (scale_after) inverse_scale(e, x, y, z);
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length > 0.0) {
        x /= length;
        y /= length;
        z /= length;
    }
}

EntityRecord entity_copy_construct(const EntityRecord& source) { return source; }

void entity_assign(EntityRecord& target, const EntityRecord& source) {
    if (&target != &source) target = source;
}

void extract_entity_file_name(EntityRecord& entity, const std::vector<uint32_t>& caption_glyph_widths) {
    entity.file_name = ": " + extract_file_name(entity.parse_record.path);
    uint64_t width = 0;
    for (char c : entity.file_name) {
        const size_t index = static_cast<unsigned char>(c);
        if (index < caption_glyph_widths.size()) width += caption_glyph_widths[index];
    }
    entity.file_name_width = static_cast<int32_t>(std::min<uint64_t>(width, INT32_MAX));
}

template <typename T>
static void release(T& value) {
    T().swap(value);
}

void destroy_entity_record(EntityRecord& entity) {
    // Texts and vectors only: the mesh and the sub-element records belong to
    // whoever removes the entity.
    release(entity.subelement_records);
    release(entity.parameter_elements);
    destroy_entity_parse_record(entity.parse_record);
    destroy_parse_result(entity.parse_result);
    release(entity.parameter_marks);
    release(entity.file_name);
    release(entity.summary_lines);
    release(entity.information_lines);
    release(entity.heading_text);
}

uint8_t parameter_mark(const EntityRecord& entity, size_t row) {
    return row < entity.parameter_marks.size() ? entity.parameter_marks[row] : uint8_t{0};
}

void set_parameter_mark(EntityRecord& entity, size_t row, uint8_t mark) {
    if (row >= entity.parameter_marks.size()) entity.parameter_marks.resize(row + 1, 0);
    entity.parameter_marks[row] = mark;
}

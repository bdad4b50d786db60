#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "model/entity.h"
#include "model_test_support.h"

using Point = std::array<double, 3>;

static Point transformed(const EntityRecord& e, Point p, bool normal = false) {
    (normal ? entity_transform_normal : entity_transform_point)(e, p[0], p[1], p[2]);
    return p;
}

static void expect_point(const Point& p, const Point& expected) {
    for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(p[i], expected[i], 1e-12) << "component " << i;
}

TEST(EntityTransform, TransformAndRotationOrders) {
    struct Case {
        int32_t transform_order, rotation_order;
        Point angles, point, expected;
    };
    // Scale 2 and translation (1, 0, 0) throughout.
    const Case cases[] = {
        {TRANSFORM_SRT, ROTATION_XYZ, {0, 0, 90}, {1, 0, 0}, {1, 2, 0}},
        {TRANSFORM_TRS, ROTATION_XYZ, {0, 0, 90}, {1, 0, 0}, {0, 4, 0}},
        {TRANSFORM_RTS, ROTATION_XYZ, {0, 0, 90}, {1, 0, 0}, {2, 2, 0}},
        {9, ROTATION_XYZ, {0, 0, 90}, {1, 0, 0}, {0, 1, 0}},  // unknown order: rotation only
        {9, ROTATION_XYZ, {90, 0, 90}, {0, 1, 0}, {0, 0, 1}},
        {9, ROTATION_ZYX, {90, 0, 90}, {0, 1, 0}, {-1, 0, 0}},
        {9, -1, {90, 0, 90}, {0, 1, 0}, {0, 1, 0}},  // unknown rotation order: none
        {TRANSFORM_STR, ROTATION_YXZ, {0, 90, 0}, {1, 0, 0}, {0, 0, -3}},
    };
    for (const Case& c : cases) {
        EntityRecord e = entity_construct();
        e.uniform_scale = 2;
        e.translation = {1, 0, 0};
        e.euler_angles = c.angles;
        e.transform_order = c.transform_order;
        e.rotation_order = c.rotation_order;
        SCOPED_TRACE(testing::Message() << "orders " << c.transform_order << "/" << c.rotation_order);
        expect_point(transformed(e, c.point), c.expected);
    }
}

TEST(EntityTransform, Normals) {
    EntityRecord e = entity_construct();
    expect_point(transformed(e, {0, 0, 0}, true), {0, 0, 0});
    e.translation = {5, 5, 5};
    e.axis_scale = {2, 1, 1};
    e.euler_angles[2] = 90;
    // Scale before rotation (SRT): (1,1,0) -> (0.5,1,0) -> (-1,0.5,0), unit.
    const double n = std::sqrt(1.25);
    expect_point(transformed(e, {1, 1, 0}, true), {-1 / n, 0.5 / n, 0});
    // Scale after rotation (TRS): (1,1,0) -> (-1,1,0) -> (-0.5,1,0).
    e.transform_order = TRANSFORM_TRS;
    expect_point(transformed(e, {1, 1, 0}, true), {-0.5 / n, 1 / n, 0});
    // A flattened axis is left out rather than dividing by zero.
    e.axis_scale = {0, 1, 1};
    const double r = 1 / std::sqrt(3.0);
    expect_point(transformed(e, {1, 1, 1}, true), {-r, r, r});
}

TEST(EntityRecord, SerialsAndCopiesSharingMeshes) {
    reset_model_counters();
    EntityRecord a = entity_construct(), b = entity_construct(true), sub = entity_construct();
    EXPECT_EQ(std::vector<int32_t>({a.serial_id, b.serial_id}), std::vector<int32_t>({0, 1}));
    InteropMesh* mesh = make_line_mesh(3, 0);
    entity_attach_mesh(a, mesh);
    a.subelement_records = {&sub};
    a.summary_lines = {"one"};
    EntityRecord copy = entity_copy_construct(a), target = entity_construct();
    entity_assign(target, a);
    for (const EntityRecord* c : {&copy, &target})
        EXPECT_TRUE(c->serial_id == a.serial_id && c->mesh == mesh && c->subelement_records == a.subelement_records);
    destroy_entity_record(copy);
    // The source's mesh and sub-element record are untouched (ASan would
    // report a use after free below otherwise).
    EXPECT_EQ(a.mesh->positions.size(), 9u);
    EXPECT_EQ(a.subelement_records[0]->serial_id, sub.serial_id);
    EXPECT_EQ(a.summary_lines[0], "one");
    free_interop_mesh(mesh);
}

TEST(EntityRecord, AttachingMeshes) {
    InteropMesh* mesh = make_line_mesh(4, 1);
    mesh->polygons = {2, 3, 3, 0, 1, 2, 1, 2, 3};
    mesh->triangles = {0, 1, 2, 1, 2, 3};
    mesh->polygon_normals.assign(12, 0.0);
    mesh->colours.assign(16, 1.0);
    mesh->assembly_ms = 1500;
    mesh->smoothing_groups_defined = 1;
    EntityRecord e = entity_construct();
    e.visible = 0;
    // Vertices, polygons, list length, triangle indices, triangles, smoothing,
    // assembled, pending, mesh shown.
    auto counts = [&] {
        return std::vector<int64_t>({e.vertex_count, e.polygon_count, e.ngon_index_count, e.triangle_index_count,
                                     e.triangle_count, e.smoothing_groups_defined, e.assembled, e.pending,
                                     mesh->visible});
    };
    entity_attach_mesh(e, mesh);
    EXPECT_EQ(counts(), std::vector<int64_t>({4, 2, 9, 6, 2, 1, 1, 0, 0}));
    EXPECT_EQ(e.mesh_bytes, 12u * 8 + 9u * 4 + 12u * 8 + 16u * 8);
    EXPECT_DOUBLE_EQ(e.mesh_kb, e.mesh_bytes / 1024.0);
    EXPECT_DOUBLE_EQ(e.assembly_seconds, 1.5);
    EXPECT_EQ(e.bounds[BOUNDS_MAX][0], 4.0);
    EXPECT_EQ(e.bounds[BOUNDS_EXTENT][0], 3.0);

    // Fixed-size polygons have no count at the head of the list.
    mesh->polygon_size = 3;
    mesh->polygons = {0, 1, 2, 1, 2, 3};
    entity_attach_mesh(e, mesh);
    EXPECT_EQ(counts(), std::vector<int64_t>({4, 2, 6, 6, 2, 1, 1, 0, 0}));
    mesh->polygons.clear();
    entity_attach_mesh(e, mesh);
    EXPECT_EQ(e.polygon_count, 0);
    free_interop_mesh(mesh);

    // A 2-D mesh leaves z alone; a dimension of 0 never divides.
    InteropMesh flat;
    flat.dimension = 2;
    flat.positions = {0, 0, 2, 2};
    flat.bounds = {0, 0, 2, 2, 1, 1, 1, 1, 2, 2};
    EntityRecord f = entity_construct();
    f.bounds[BOUNDS_MIN][2] = 42;
    entity_attach_mesh(f, &flat);
    EXPECT_EQ(f.vertex_count, 2);
    EXPECT_EQ(f.bounds[BOUNDS_MAX], (Point{2, 2, 0}));
    EXPECT_EQ(f.bounds[BOUNDS_MIN][2], 42.0);
    flat.dimension = 0;
    entity_attach_mesh(f, &flat);
    EXPECT_EQ(f.vertex_count, 0);
}

TEST(EntityRecord, FileNameCaption) {
    std::vector<uint32_t> widths(256, 1);
    widths['.'] = 3;
    widths[':'] = 2;
    widths[0xC3] = 11;  // bytes above 127 index the table as unsigned
    EntityRecord e = entity_construct();
    e.parse_record.path = "dir/box.vrek";
    extract_entity_file_name(e, widths);
    EXPECT_EQ(e.file_name, ": box.vrek");
    EXPECT_EQ(e.file_name_width, 13);  // ':' 2, ' ' 1, "box" 3, '.' 3, "vrek" 4
    e.parse_record.path = "d/caf\xC3\xA9.vrek";
    extract_entity_file_name(e, widths);
    EXPECT_EQ(e.file_name, ": caf\xC3\xA9.vrek");
    EXPECT_EQ(e.file_name_width, 2 + 1 + 3 + 11 + 1 + 3 + 4);
    extract_entity_file_name(e, {});  // before the typeface exists
    EXPECT_EQ(e.file_name_width, 0);
}

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "model/entity.h"
#include "model_test_support.h"

static void expect_point(double x, double y, double z, double ex, double ey, double ez) {
    EXPECT_NEAR(x, ex, 1e-12);
    EXPECT_NEAR(y, ey, 1e-12);
    EXPECT_NEAR(z, ez, 1e-12);
}

TEST(EntityTransform, IdentityTest) {
    EntityRecord e = entity_construct();
    EXPECT_TRUE(entity_transform_is_identity(e));
    e.euler_angles[1] = -0.0;
    e.translation[2] = -0.0;
    EXPECT_TRUE(entity_transform_is_identity(e));
    e.euler_angles[1] = 1e-300;
    EXPECT_FALSE(entity_transform_is_identity(e));
    EntityRecord s = entity_construct();
    s.uniform_scale = 2;
    EXPECT_FALSE(entity_transform_is_identity(s));
    EntityRecord a = entity_construct();
    a.axis_scale[2] = 0.5;
    EXPECT_FALSE(entity_transform_is_identity(a));
}

TEST(EntityTransform, TransformAndRotationOrders) {
    struct Case {
        int32_t transform_order, rotation_order;
        std::array<double, 3> angles, point, expected;
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
        double x = c.point[0], y = c.point[1], z = c.point[2];
        entity_transform_point(e, x, y, z);
        SCOPED_TRACE(testing::Message() << "orders " << c.transform_order << "/" << c.rotation_order);
        expect_point(x, y, z, c.expected[0], c.expected[1], c.expected[2]);
    }
}

TEST(EntityTransform, Normals) {
    EntityRecord e = entity_construct();
    double x = 0, y = 0, z = 0;
    entity_transform_normal(e, x, y, z);
    expect_point(x, y, z, 0, 0, 0);

    e.translation = {5, 5, 5};
    e.axis_scale = {2, 1, 1};
    e.euler_angles[2] = 90;
    // Scale before rotation (SRT): (1,1,0) -> (0.5,1,0) -> (-1,0.5,0), unit.
    x = 1, y = 1, z = 0;
    entity_transform_normal(e, x, y, z);
    const double n = std::sqrt(1.25);
    expect_point(x, y, z, -1 / n, 0.5 / n, 0);
    EXPECT_NEAR(x * x + y * y + z * z, 1.0, 1e-12);

    // Scale after rotation (TRS): (1,1,0) -> (-1,1,0) -> (-0.5,1,0).
    e.transform_order = TRANSFORM_TRS;
    x = 1, y = 1, z = 0;
    entity_transform_normal(e, x, y, z);
    expect_point(x, y, z, -0.5 / n, 1 / n, 0);

    // A flattened axis leaves a finite normal.
    e.axis_scale = {0, 1, 1};
    x = 1, y = 1, z = 1;
    entity_transform_normal(e, x, y, z);
    EXPECT_TRUE(std::isfinite(x) && std::isfinite(y) && std::isfinite(z));
}

TEST(EntityRecord, SerialsAndCopies) {
    reset_model_counters();
    EntityRecord a = entity_construct();
    EntityRecord b = entity_construct(true);
    EXPECT_EQ(a.serial_id, 0);
    EXPECT_EQ(b.serial_id, 1);
    EXPECT_EQ(b.parallel, 1);
    EXPECT_EQ(b.transform_order, TRANSFORM_SRT);
    EXPECT_EQ(b.parse_record.section_line_counts[SECTION_NOTES], -1);

    InteropMesh* mesh = make_line_mesh(3, 0);
    EntityRecord sub = entity_construct();
    entity_attach_mesh(a, mesh);
    a.subelement_records = {&sub};
    a.summary_values = {"one"};
    EntityRecord copy = entity_copy_construct(a);
    EXPECT_EQ(copy.serial_id, a.serial_id);
    EXPECT_EQ(copy.mesh, mesh);
    EXPECT_EQ(copy.subelement_records[0], &sub);
    destroy_entity_record(copy);
    // The source's mesh and sub-element record are untouched (ASan would
    // report a use after free below otherwise).
    EXPECT_EQ(a.mesh->positions.size(), 9u);
    EXPECT_EQ(a.subelement_records[0]->serial_id, sub.serial_id);
    EXPECT_EQ(a.summary_values[0], "one");

    EntityRecord target = entity_construct();
    entity_assign(target, a);
    EXPECT_EQ(target.mesh, mesh);
    EXPECT_EQ(target.serial_id, a.serial_id);
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
    entity_attach_mesh(e, mesh);
    EXPECT_EQ(mesh->visible, 0);
    EXPECT_EQ(e.vertex_count, 4);
    EXPECT_EQ(e.polygon_count, 2);
    EXPECT_EQ(e.polygon_list_length, 9);
    EXPECT_EQ(e.triangle_index_count, 6);
    EXPECT_EQ(e.triangle_count, 2);
    EXPECT_EQ(e.mesh_bytes, 12u * 8 + 9u * 4 + 12u * 8 + 16u * 8);
    EXPECT_DOUBLE_EQ(e.mesh_kb, e.mesh_bytes / 1024.0);
    EXPECT_DOUBLE_EQ(e.assembly_seconds, 1.5);
    EXPECT_EQ(e.bounds[BOUNDS_MAX][0], 4.0);
    EXPECT_EQ(e.bounds[BOUNDS_EXTENT][0], 3.0);
    EXPECT_EQ(e.smoothing_groups_defined, 1);
    EXPECT_EQ(e.assembled, 1);
    EXPECT_EQ(e.pending, 0);

    // Fixed-size polygons have no count at the head of the list.
    mesh->polygon_size = 3;
    mesh->polygons = {0, 1, 2, 1, 2, 3};
    entity_attach_mesh(e, mesh);
    EXPECT_EQ(e.polygon_count, 2);
    mesh->polygons.clear();
    entity_attach_mesh(e, mesh);
    EXPECT_EQ(e.polygon_count, 0);

    // A 2-D mesh leaves z alone; a dimension of 0 never divides.
    InteropMesh flat;
    flat.dimension = 2;
    flat.positions = {0, 0, 2, 2};
    flat.bounds = {0, 0, 2, 2, 1, 1, 1, 1, 2, 2};
    EntityRecord f = entity_construct();
    f.bounds[BOUNDS_MIN][2] = 42;
    entity_attach_mesh(f, &flat);
    EXPECT_EQ(f.vertex_count, 2);
    EXPECT_EQ(f.bounds[BOUNDS_MAX][1], 2.0);
    EXPECT_EQ(f.bounds[BOUNDS_MIN][2], 42.0);
    flat.dimension = 0;
    entity_attach_mesh(f, &flat);
    EXPECT_EQ(f.vertex_count, 0);
    free_interop_mesh(mesh);
}

TEST(EntityRecord, FileNameCaption) {
    std::vector<uint32_t> widths(256, 1);
    widths['.'] = 3;
    widths[':'] = 2;
    widths[0xE9] = 11;  // bytes above 127 index the table as unsigned
    EntityRecord e = entity_construct();
    e.parse_record.path = "dir/box.vrek";
    extract_entity_file_name(e, widths);
    EXPECT_EQ(e.file_name, ": box.vrek");
    EXPECT_EQ(e.file_name_width, 13);  // ':' 2, ' ' 1, "box" 3, '.' 3, "vrek" 4
    e.parse_record.path = "d\\caf\xE9.vrek";
    extract_entity_file_name(e, widths);
    EXPECT_EQ(e.file_name, ": caf\xE9.vrek");
    EXPECT_EQ(e.file_name_width, 2 + 1 + 3 + 11 + 3 + 4);
    extract_entity_file_name(e, {});  // before the typeface exists
    EXPECT_EQ(e.file_name_width, 0);
}

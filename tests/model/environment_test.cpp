#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <tuple>

#include "model/environment.h"
#include "model_test_support.h"

TEST(Environments, NumbersNamesAndStableAddresses) {
    reset_model_counters();
    EnvironmentList list;
    Environment* first = append_environment(list);
    Environment* second = append_environment(list);
    Environment temporary = environment_construct();  // consumes a number too
    environment_destruct(temporary);
    Environment* fourth = append_environment(list);
    EXPECT_EQ(std::vector<int32_t>({first->number, second->number, fourth->number, list.count}),
              std::vector<int32_t>({0, 1, 3, 3}));
    EXPECT_EQ(list.environment_pointers, (std::vector<Environment*>{first, second, fourth}));
    EXPECT_EQ(first->name + " " + fourth->name, "env0 env3");  // the first still valid after later appends

    // A copy keeps the number and never points into its source's set.
    first->parameter_list_view.entity_set = &first->entities;
    first->entities.records.push_back(entity_construct());
    first->entities.count = 1;
    build_flat_entity_table(first->entities);
    Environment copy = environment_copy_construct(*first);
    EXPECT_EQ(copy.number, 0);
    EXPECT_EQ(copy.parameter_list_view.entity_set, nullptr);
    EXPECT_EQ(copy.entities.flat_table, std::vector<EntityRecord*>{&copy.entities.records[0]});
    environment_destruct(copy);
    for (Environment& e : list.environments) environment_destruct(e);
}

// A parallel entity over three sub-element records: two with meshes, one
// assembled without a mesh.
struct ParallelFixture {
    using Mesh = std::unique_ptr<InteropMesh, void (*)(InteropMesh*)>;
    Mesh a{make_line_mesh(2, 0), free_interop_mesh};   // x 0..1, mean 0.5
    Mesh b{make_line_mesh(6, 10), free_interop_mesh};  // x 10..15, mean 12.5
    EntityRecord sub_a = entity_construct();
    EntityRecord sub_b = entity_construct();
    EntityRecord sub_empty = entity_construct();
    EntityRecord parent = entity_construct(true);

    ParallelFixture() {
        a->index_buffer_id = 11;
        b->index_buffer_id = 12;
        a->triangles = {0, 1, 0};
        b->polygons = {1, 3, 0, 1, 2};
        entity_attach_mesh(sub_a, a.get());
        entity_attach_mesh(sub_b, b.get());
        sub_empty.assembled = 1;
    }
};

TEST(EntitySets, ParallelEntityStatisticsFlagsAndEmptyCases) {
    ParallelFixture f;
    f.parent.visible = 0;
    f.sub_b.parse_result.valid = 1;
    f.sub_b.parse_result.parameter_count = 2;
    entity_set_subelements(f.parent, {&f.sub_a, &f.sub_empty, &f.sub_b}, MESH_BASIC_CSG, 2500);

    EXPECT_EQ(f.parent.subelement_count, 3);
    EXPECT_EQ(f.parent.parameter_elements, std::vector<int32_t>({2}));
    EXPECT_TRUE(f.sub_a.is_element == 1 && f.sub_empty.is_element == 0);
    EXPECT_TRUE(f.a->visible == 0 && f.sub_b.visible == 0);
    EXPECT_EQ(f.b->element_count, 3);
    EXPECT_EQ(f.a->batch_count, 1);  // every batch index -1

    const auto& bounds = f.parent.bounds;
    EXPECT_EQ(std::vector<double>({bounds[BOUNDS_MIN][0], bounds[BOUNDS_MAX][0], bounds[BOUNDS_EXTENT][0],
                                   bounds[BOUNDS_CENTRE][0]}),
              std::vector<double>({0, 15, 15, 7.5}));
    EXPECT_DOUBLE_EQ(bounds[BOUNDS_MEAN][0], 0.25 * 0.5 + 0.75 * 12.5);  // weighed by vertices
    // vertices, polygons, list length, triangles
    EXPECT_EQ(std::vector<int32_t>({f.parent.vertex_count, f.parent.polygon_count, f.parent.ngon_index_count,
                                    f.parent.triangle_count}),
              std::vector<int32_t>({8, 1, 5, 1}));
    EXPECT_EQ(f.parent.mesh_bytes, 8u * 3 * 8 + 5u * 4);

    f.b->batch_index = 4;
    entity_set_subelements(f.parent, {&f.sub_a, &f.sub_b}, MESH_BASIC_CSG, 1);
    EXPECT_EQ(f.a->batch_count, 5);

    // Nothing contributing: empty bounds, no counts.
    entity_set_subelements(f.parent, {nullptr, &f.sub_empty}, MESH_PURE_UNION, 7);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(bounds[BOUNDS_MIN], (std::array<double, 3>{inf, inf, inf}));
    EXPECT_EQ(bounds[BOUNDS_MAX], (std::array<double, 3>{-inf, -inf, -inf}));
    EXPECT_EQ(bounds[BOUNDS_MEAN][0], 0.0);
    EXPECT_TRUE(f.parent.vertex_count == 0 && f.parent.mesh_bytes == 0u);

    // Meshes without vertices: bounds still taken, means never NaN.
    f.a->positions.clear();
    f.b->positions.clear();
    entity_set_subelements(f.parent, {&f.sub_a, &f.sub_b}, MESH_PURE_UNION, 7);
    EXPECT_EQ(bounds[BOUNDS_MAX][0], 15.0);
    EXPECT_FALSE(std::isnan(bounds[BOUNDS_MEAN][0]));
}

TEST(EntitySets, FlatTableGlNamesAndParameterIndex) {
    EntitySet empty;
    EXPECT_TRUE(build_flat_entity_table(empty).empty() && collect_mesh_gl_object_ids(empty, 'A').empty());
    EntityListView view;
    view.entity_set = &empty;
    view.width = view.height = 9;
    view.further_values[1] = 5;
    measure_entity_set(view);
    EXPECT_TRUE(view.width == 0 && view.height == 0 && view.further_values[1] == 0);

    ParallelFixture f;
    entity_set_subelements(f.parent, {&f.sub_a, &f.sub_empty, &f.sub_b}, MESH_OPTIMAL_CSG, 0);
    InteropMesh* single_mesh = make_line_mesh(3, 0);
    single_mesh->index_buffer_id = 21;
    single_mesh->vertex_array_id = 31;
    EntitySet set;
    set.records = {entity_construct(), f.parent, entity_construct()};  // the last without a mesh
    entity_attach_mesh(set.records[0], single_mesh);
    set.count = 3;
    const std::vector<EntityRecord*> expected = {&set.records[0], &set.records[1], &f.sub_a,
                                                 &f.sub_empty,    &f.sub_b,        &set.records[2]};
    EXPECT_EQ(build_flat_entity_table(set), expected);
    EXPECT_EQ(collect_mesh_gl_object_ids(set, 'I'), std::vector<uint32_t>({21, 11, 12}));
    EXPECT_EQ(collect_mesh_gl_object_ids(set, 'A'), std::vector<uint32_t>({31, 0, 0}));
    EXPECT_EQ(collect_mesh_gl_object_ids(set, 'x'), std::vector<uint32_t>({0, 0, 0}));
    set.count = 10;  // a count beyond the records is never followed
    EXPECT_EQ(build_flat_entity_table(set), expected);

    set.count = 3;
    set.records[1].parse_result.valid = 1;
    set.records[1].parse_result.parameter_count = 1;
    set.records[1].summary_width = 120;
    set.records[2].parse_result.valid = 1;            // valid, but without parameters
    set.records[0].parse_result.parameter_count = 3;  // parameters, but not valid
    index_entities_with_parameters(set);
    EXPECT_EQ(set.parameter_entities, std::vector<int32_t>({1}));
    view.entity_set = &set;
    measure_entity_set(view);
    EXPECT_TRUE(view.width == 120 && view.height == 50);

    destroy_entity_set(set);
    EXPECT_TRUE(set.records.empty());
    EXPECT_EQ(f.a->positions.size(), 6u);  // meshes survive the set
    free_interop_mesh(single_mesh);
}

TEST(ViewState, PickKeysInButtonOrder) {
    const char keys[] = {'!', 'T', 'P', 'G', 'O', 'E', 'U'};
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(pick_key_button_index(keys[i]), i);
    EXPECT_EQ(pick_key_button_index('Q'), -1);
}

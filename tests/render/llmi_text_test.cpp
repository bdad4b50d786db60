#include <gtest/gtest.h>

#include "render/llmi_text.h"

namespace {

// One entity "/w/part.vrek" whose mesh has 8 variable-size polygons and 16
// triangles, two per polygon: triangle t came from polygon t / 2.
struct InspectorFixture : testing::Test {
    InteropMesh mesh;
    EntitySet set;

    InspectorFixture() {
        mesh.dimension = 3;
        for (int v = 0; v < 4; ++v) mesh.positions.insert(mesh.positions.end(), {double(v), 0.5 * v, -1.0});
        mesh.colours = {1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 0.25, 0.25, 0.25, 0.5};
        mesh.triangle_normals = {0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, -1};
        mesh.polygons = {8};
        for (int p = 0; p < 8; ++p) mesh.polygons.push_back(4);
        for (int p = 0; p < 8; ++p) mesh.polygons.insert(mesh.polygons.end(), {0, 1, 2, 3});
        for (int t = 0; t < 16; ++t) {
            mesh.triangles.insert(mesh.triangles.end(), {0, 1, t % 2 ? 3u : 2u});
            mesh.triangle_polygons.push_back(static_cast<uint32_t>(t / 2));
        }
        mesh.group_ids = {10, 11, 12, 13, 14, 15, 16, 17};
        mesh.operand_ids = {0, 0, 0, 1, 1, 1, 2, 2};
        mesh.user_type_ids = {0, 1, 1, 2, 2, 3, 3, 3};
        // Type 2 is "wall"; type 3 has no entry.
        const std::string names = "floorwall";
        mesh.type_names.assign(names.begin(), names.end());
        mesh.type_name_offsets = {0, 0, 5};
        mesh.type_name_lengths = {0, 5, 4};
        EntityRecord e = entity_construct();
        e.parse_record.path = "/w/part.vrek";
        e.mesh = &mesh;
        set.records.push_back(e);
        set.count = 1;
        set.dirty = 1;
    }
    ~InspectorFixture() override { destroy_entity_set(set); }
};

}  // namespace

TEST_F(InspectorFixture, LabelsByPickMode) {
    LlmiLabels l = compose_llmi_labels('P', 0, 11, &set);
    ASSERT_TRUE(l.shown);
    EXPECT_EQ(l.entity_label, "\t part.vrek");
    EXPECT_EQ(l.element_label, "polygon : 5");
    EXPECT_EQ(compose_llmi_labels('g', 0, 11, &set).element_label, "group : 15");
    EXPECT_EQ(compose_llmi_labels('?', 0, 7, &set).element_label, "\"wall\" | 2");
    // A missing list entry prints -1.
    mesh.group_ids.resize(3);
    EXPECT_EQ(compose_llmi_labels('G', 0, 11, &set).element_label, "group : -1");

    // Without an entity set the raw ids.
    l = compose_llmi_labels('P', 7, 9, nullptr);
    EXPECT_EQ(l.entity_label, "entity \t 7");
    EXPECT_EQ(l.element_label, "triangle : 9");

    // Background and stale ids show nothing.
    EXPECT_FALSE(compose_llmi_labels('P', 0xFFFFFF, 3, &set).shown);
    EXPECT_FALSE(compose_llmi_labels('P', 0, 0xFFFFFFFF, &set).shown);
    EXPECT_FALSE(compose_llmi_labels('P', 1, 3, &set).shown);
}

TEST_F(InspectorFixture, TraceText) {
    LlmiTrace t = compose_llmi_trace('T', 0, 3, &set);
    ASSERT_TRUE(t.shown);
    EXPECT_EQ(t.title, "LLMI:[T] \t Triangle Picking-Mode");
    EXPECT_EQ(t.text,
              "----------------------------------------------\n"
              "LLMI \t Low-Level-Mesh-Inspector\n"
              "----------------------------------------------\n"
              "\t Entity: part.vrek | 0\n"
              "\t Triangle: 3 of 16 [0,1,3]\n"
              "     V[0,0,-1] C[1,0,0,1] N[0,0,1]\n"
              "     V[1,0.5,-1] C[0,1,0,1] N[0,1,0]\n"
              "     V[3,1.5,-1] C[0.25,0.25,0.25,0.5] N[0,0,-1]\n");

    EXPECT_NE(compose_llmi_trace('P', 0, 11, &set).text.find("\n\t Polygon: 5 of 8\n"), std::string::npos);
    EXPECT_NE(compose_llmi_trace('U', 0, 11, &set).text.find("\n\t Type: 3\n"), std::string::npos);
    EXPECT_NE(compose_llmi_trace('U', 0, 7, &set).text.find("\n\t Type: \"wall\" | 2\n"), std::string::npos);

    // Short arrays print 0 instead of reading past them.
    mesh.colours.resize(4);
    mesh.positions.resize(5);
    const std::string short_text = compose_llmi_trace('T', 0, 3, &set).text;
    EXPECT_NE(short_text.find("     V[1,0.5,0] C[0,0,0,0]"), std::string::npos);

    EXPECT_FALSE(compose_llmi_trace('!', 0, 3, &set).shown);
    EXPECT_FALSE(compose_llmi_trace('T', 4, 3, &set).shown);
    EXPECT_FALSE(compose_llmi_trace('T', 0, 0xFFFFFF, &set).shown);
}

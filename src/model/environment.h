#pragma once
#include <array>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "model/entity.h"
#include "model/trace_log.h"
#include "model/inspector_captions.h"
#include "model/view_state.h"

// Environments (the inspector's tabs) and the entities each one holds.

// The entities of one environment. The set owns its records, not their
// meshes nor their sub-element records. `count` is the number of records in
// use; operations never read past `records`, whatever `count` says.
struct EntitySet {
    int32_t count = 0;
    std::vector<EntityRecord> records;
    // Every entity followed, when parallel, by its sub-element records (an
    // entry is null where a parallel entity lists no record).
    std::vector<EntityRecord*> flat_table;
    // Set while the renderer must rebuild its per-set tables.
    uint8_t dirty = 1;
    int32_t append_count = 0;
    int32_t parameter_entity_count = 0;
    std::vector<int32_t> parameter_entities;
};

// A list view over an entity set (the parameter pane's list of entities
// with parameters).
struct EntityListView {
    double first_value = 0.5;
    int32_t width = 0;
    int32_t height = 0;
    // [0] and [1] are cleared with width and height by measure_entity_set.
    std::array<int64_t, 5> further_values = {0, 0, 0, 0, 0};
    // Bound to the environment's own set when it becomes current.
    EntitySet* entity_set = nullptr;
    int32_t selected_row = -1;
    // Serial id of the selected row's entity, so that a rebuild of the rows
    // keeps the selection on its entity when the rows move; -1 none.
    int32_t selected_serial = -1;
};

struct Environment {
    uint8_t closing = 0;
    uint8_t in_use = 1;
    int32_t number = 0;
    uint8_t number_flag = 0;
    std::string name;
    // "environment_<n>" and "(select to switch to environment <n>)".
    std::array<std::string, 2> tab_texts;
    TraceLog trace_log;
    InspectorCaptions transform_panel;
    // The entity list's view and the parameter pane's list of entities with
    // parameters; both are bound to `entities` when the environment is current.
    EntityListView entity_list_view;
    EntityListView parameter_list_view;
    EnvironmentViewState view;
    uint8_t startup_mesh_visible = 1;
    int32_t startup_reserved = -1;
    EntitySet entities;
};

// Owns its environments; their addresses never change while listed.
struct EnvironmentList {
    int32_t count = 0;
    std::list<Environment> environments;
    // Creation (tab) order.
    std::vector<Environment*> environment_pointers;
};

// Appends a newly constructed environment (consuming one number).
Environment* append_environment(EnvironmentList& list);

// Draws the next environment number.
Environment environment_construct();
// Deep copy; entity records share meshes and sub-element records. A list
// view bound to the source's own set comes out unbound (it is bound when
// the copy becomes current) and the flat table is rebuilt over the copy's
// own records, so nothing points into the source.
Environment environment_copy_construct(const Environment& source);
// Releases everything the environment owns (not the meshes).
void environment_destruct(Environment& environment);

void index_entities_with_parameters(EntitySet& set);
std::vector<EntityRecord*>& build_flat_entity_table(EntitySet& set);
// Gives a parallel entity its sub-element records (null entries allowed) and
// derives its statistics.
void entity_set_subelements(EntityRecord& entity, const std::vector<EntityRecord*>& records, int32_t algorithm,
                            int64_t assembly_ms);
void update_parallel_entity_statistics(EntityRecord& entity, int64_t assembly_ms);
// One GL name per mesh: 'A' vertex array, 'B' vertex buffer, 'I' index
// buffer, any other selector 0.
std::vector<uint32_t> collect_mesh_gl_object_ids(const EntitySet& set, char selector);
void measure_entity_set(EntityListView& view);
void destroy_entity_set(EntitySet& set);

// Process-wide environment numbers; the reset exists for tests only.
int32_t next_environment_number();
void reset_environment_counter();

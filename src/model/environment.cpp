#include "model/environment.h"

#include <algorithm>
#include <atomic>
#include <limits>

#include "text/text_utils.h"

static std::atomic<int32_t> environment_counter{0};

int32_t next_environment_number() { return environment_counter.fetch_add(1); }
void reset_environment_counter() { environment_counter.store(0); }

Environment environment_construct() {
    Environment environment;
    environment.number = next_environment_number();
    const std::string n = int_to_text(environment.number);
    environment.name = "env" + n;
    environment.tab_texts[0] = "environment_" + n;
    environment.tab_texts[1] = "(select to switch to environment " + n + ")";
    entity_inspector_state_construct(environment.transform_panel);
    // A new environment starts with the minimal-mode widgets off; the
    // application itself starts with them on.
    environment.view.bars.hidden_ui_controls = 0;
    return environment;
}

Environment environment_copy_construct(const Environment& source) {
    Environment copy = source;
    if (copy.entity_list_view.entity_set == &source.entities) copy.entity_list_view.entity_set = nullptr;
    if (copy.parameter_list_view.entity_set == &source.entities) copy.parameter_list_view.entity_set = nullptr;
    // The copied flat table would point at the source's records.
    build_flat_entity_table(copy.entities);
    copy.entities.dirty = 1;
    return copy;
}

template <typename T>
static void release(T& value) {
    T().swap(value);
}

void environment_destruct(Environment& environment) {
    release(environment.name);
    release(environment.tab_texts[0]);
    release(environment.tab_texts[1]);
    destroy_trace_log(environment.trace_log);
    entity_inspector_state_destroy(environment.transform_panel);
    environment.entity_list_view.entity_set = nullptr;
    environment.parameter_list_view.entity_set = nullptr;
    environment.view = EnvironmentViewState();
    destroy_entity_set(environment.entities);
}

Environment* append_environment(EnvironmentList& list) {
    Environment temporary = environment_construct();
    list.environments.push_back(environment_copy_construct(temporary));
    environment_destruct(temporary);
    Environment* environment = &list.environments.back();
    list.environment_pointers.push_back(environment);
    ++list.count;
    return environment;
}

// Entities actually present: never more than the records held.
static size_t entity_count(const EntitySet& set) {
    return set.count > 0 ? std::min(set.records.size(), static_cast<size_t>(set.count)) : 0;
}

static bool declares_parameters(const EntityRecord& entity) {
    return entity.parse_result.valid && entity.parse_result.parameter_count >= 1;
}

void index_entities_with_parameters(EntitySet& set) {
    set.parameter_entities.clear();
    const size_t n = entity_count(set);
    for (size_t i = 0; i < n; ++i) {
        if (declares_parameters(set.records[i])) set.parameter_entities.push_back(static_cast<int32_t>(i));
    }
    set.parameter_entity_count = static_cast<int32_t>(set.parameter_entities.size());
}

// The listed sub-element records of a parallel entity (bounded by the
// vector, whatever subelement_count says).
static size_t subelement_slots(const EntityRecord& entity) {
    if (entity.subelement_count <= 0) return 0;
    return std::min(entity.subelement_records.size(), static_cast<size_t>(entity.subelement_count));
}

std::vector<EntityRecord*>& build_flat_entity_table(EntitySet& set) {
    set.flat_table.clear();
    const size_t n = entity_count(set);
    for (size_t i = 0; i < n; ++i) {
        EntityRecord& entity = set.records[i];
        set.flat_table.push_back(&entity);
        if (entity.parallel == 1) {
            const size_t subs = subelement_slots(entity);
            for (size_t j = 0; j < subs; ++j) set.flat_table.push_back(entity.subelement_records[j]);
        }
    }
    return set.flat_table;
}

static bool contributes(const EntityRecord* record) { return record && record->assembled && record->mesh; }

void entity_set_subelements(EntityRecord& entity, const std::vector<EntityRecord*>& records, int32_t algorithm,
                            int64_t assembly_ms) {
    entity.subelement_records = records;
    entity.algorithm = algorithm;
    entity.subelement_count = static_cast<int32_t>(records.size());

    entity.parameter_elements.clear();
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i] && declares_parameters(*records[i])) entity.parameter_elements.push_back(static_cast<int32_t>(i));
    }
    entity.parameter_element_count = static_cast<int32_t>(entity.parameter_elements.size());

    int32_t largest_batch = 0;
    for (EntityRecord* record : records) {
        if (!contributes(record)) continue;
        record->visible = entity.visible;
        record->mesh->visible = entity.visible;
        record->is_element = 1;
        record->mesh->element_count = entity.subelement_count;
        largest_batch = std::max(largest_batch, record->mesh->batch_index);
    }
    for (EntityRecord* record : records) {
        if (contributes(record)) record->mesh->batch_count = largest_batch + 1;
    }
    update_parallel_entity_statistics(entity, assembly_ms);
    entity.assembled = 1;
    entity.pending = 0;
}

void update_parallel_entity_statistics(EntityRecord& entity, int64_t assembly_ms) {
    std::vector<const InteropMesh*> meshes;
    const size_t subs = subelement_slots(entity);
    for (size_t i = 0; i < subs; ++i) {
        if (contributes(entity.subelement_records[i])) meshes.push_back(entity.subelement_records[i]->mesh);
    }

    int64_t vertices = 0;
    entity.smoothing_groups_defined = 0;
    for (const InteropMesh* mesh : meshes) {
        vertices += interop_mesh_vertex_count(*mesh);
        if (mesh->smoothing_groups_defined) entity.smoothing_groups_defined = 1;
    }
    entity.vertex_count = static_cast<int32_t>(std::min<int64_t>(vertices, std::numeric_limits<int32_t>::max()));

    const double inf = std::numeric_limits<double>::infinity();
    entity.bounds[BOUNDS_MIN] = {inf, inf, inf};
    entity.bounds[BOUNDS_MAX] = {-inf, -inf, -inf};
    entity.bounds[BOUNDS_CENTRE] = {0.0, 0.0, 0.0};
    entity.bounds[BOUNDS_MEAN] = {0.0, 0.0, 0.0};
    entity.bounds[BOUNDS_EXTENT] = {0.0, 0.0, 0.0};

    entity.polygon_count = 0;
    entity.ngon_index_count = 0;
    entity.triangle_index_count = 0;
    entity.triangle_count = 0;
    entity.mesh_bytes = 0;
    for (const InteropMesh* mesh : meshes) {
        const int32_t dim = mesh->dimension;
        if ((dim == 2 || dim == 3) && mesh->bounds.size() >= static_cast<size_t>(5 * dim)) {
            const double* b = mesh->bounds.data();
            // Without vertices there is nothing to weigh the means by.
            const double weight = vertices > 0 ? static_cast<double>(interop_mesh_vertex_count(*mesh)) /
                                                     static_cast<double>(vertices)
                                               : 0.0;
            for (size_t c = 0; c < static_cast<size_t>(dim); ++c) {
                double& lo = entity.bounds[BOUNDS_MIN][c];
                double& hi = entity.bounds[BOUNDS_MAX][c];
                lo = std::min(lo, b[BOUNDS_MIN * dim + static_cast<int32_t>(c)]);
                hi = std::max(hi, b[BOUNDS_MAX * dim + static_cast<int32_t>(c)]);
                if (vertices > 0) entity.bounds[BOUNDS_MEAN][c] += weight * b[BOUNDS_MEAN * dim + static_cast<int32_t>(c)];
                entity.bounds[BOUNDS_EXTENT][c] = hi - lo;
                entity.bounds[BOUNDS_CENTRE][c] = lo + (hi - lo) / 2.0;
            }
        }
        entity.polygon_count += interop_mesh_polygon_count(*mesh);
        entity.ngon_index_count += static_cast<int32_t>(mesh->polygons.size());
        entity.triangle_index_count += static_cast<int32_t>(mesh->triangles.size());
        entity.triangle_count += static_cast<int32_t>(mesh->triangles.size() / 3);
        entity.mesh_bytes += interop_mesh_bytes(*mesh);
    }
    entity.mesh_kb = static_cast<double>(entity.mesh_bytes) * 0.0009765625;
    entity.mesh_mb = static_cast<double>(entity.mesh_bytes) * 9.5367431640625e-7;
    entity.assembly_ms = assembly_ms;
    entity.assembly_seconds = static_cast<double>(assembly_ms) / 1000.0;
}

static uint32_t gl_object_id(const InteropMesh& mesh, char selector) {
    switch (selector) {
    case 'A': return mesh.vertex_array_id;
    case 'B': return mesh.vertex_buffer_id;
    case 'I': return mesh.index_buffer_id;
    default: return 0;
    }
}

std::vector<uint32_t> collect_mesh_gl_object_ids(const EntitySet& set, char selector) {
    std::vector<uint32_t> ids;
    const size_t n = entity_count(set);
    for (size_t i = 0; i < n; ++i) {
        const EntityRecord& entity = set.records[i];
        if (entity.parallel != 0) {
            const size_t subs = subelement_slots(entity);
            for (size_t j = 0; j < subs; ++j) {
                const EntityRecord* sub = entity.subelement_records[j];
                if (sub && sub->mesh) ids.push_back(gl_object_id(*sub->mesh, selector));
            }
        } else if (entity.mesh) {
            ids.push_back(gl_object_id(*entity.mesh, selector));
        }
    }
    return ids;
}

void measure_entity_set(EntityListView& view) {
    const EntitySet* set = view.entity_set;
    if (!set || set->count < 1) {
        view.width = 0;
        view.height = 0;
        view.further_values[0] = 0;
        view.further_values[1] = 0;
        return;
    }
    const size_t n = entity_count(*set);
    int32_t width = 0;
    for (int32_t index : set->parameter_entities) {
        if (index >= 0 && static_cast<size_t>(index) < n) width = std::max(width, set->records[static_cast<size_t>(index)].summary_width);
    }
    view.width = width;
    view.height = 50 * set->parameter_entity_count;
}

void destroy_entity_set(EntitySet& set) {
    for (EntityRecord& record : set.records) destroy_entity_record(record);
    release(set.records);
    release(set.flat_table);
    release(set.parameter_entities);
    set.count = 0;
    set.parameter_entity_count = 0;
}

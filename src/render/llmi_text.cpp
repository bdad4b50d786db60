#include "render/llmi_text.h"

#include <algorithm>

#include "render/mesh_upload.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {


// The flat-table entry of an entity id, or null when the id is stale.
EntityRecord* picked_entity(EntitySet& set, uint32_t entity_id) {
    if (set.dirty) build_flat_entity_table(set);
    return entity_id < set.flat_table.size() ? set.flat_table[entity_id] : nullptr;
}

// Ids print as signed 32-bit numbers; a missing entry is -1.
std::string id_text(int64_t value) { return int_to_text(static_cast<int32_t>(value)); }

int64_t entry(const std::vector<uint32_t>& list, uint64_t at) { return at < list.size() ? int64_t{list[at]} : -1; }

std::string script_name(const EntityRecord& entity) { return extract_file_name(entity.parse_record.path); }

// The polygon triangle t came from, or -1.
int64_t source_polygon(const InteropMesh* mesh, uint32_t t) {
    return mesh ? entry(mesh->triangle_polygons, t) : -1;
}

template <class List>
double value_at(const List& list, size_t at) {
    return at < list.size() ? list[at] : 0.0;
}

template <class List>
std::string vector_text(const List& list, size_t first, size_t count) {
    std::string s;
    for (size_t c = 0; c < count; ++c) {
        if (c > 0) s += ",";
        s += double_to_text(value_at(list, first + c));
    }
    return s;
}

}  // namespace

bool user_type_name(const InteropMesh& mesh, int64_t type, std::string& name) {
    if (type < 0) return false;
    const size_t k = static_cast<size_t>(type);
    if (k >= mesh.type_name_offsets.size() || k >= mesh.type_name_lengths.size()) return false;
    const int64_t offset = mesh.type_name_offsets[k];
    const int64_t length = mesh.type_name_lengths[k];
    if (offset < 0 || length < 0 || static_cast<uint64_t>(offset + length) > mesh.type_names.size()) return false;
    name.assign(reinterpret_cast<const char*>(mesh.type_names.data()) + offset, static_cast<size_t>(length));
    return true;
}

LlmiLabels compose_llmi_labels(char mode, uint32_t entity_id, uint32_t element_id, EntitySet* set) {
    LlmiLabels labels;
    if (entity_id >= llmi_no_pick || element_id >= llmi_no_pick) return labels;
    if (!set) {
        labels.shown = true;
        labels.entity_label = "entity \t " + id_text(entity_id);
        labels.element_label = "triangle : " + id_text(element_id);
        return labels;
    }
    EntityRecord* entity = picked_entity(*set, entity_id);
    if (!entity) return labels;
    mode = pick_mode_of(mode);
    std::string prefix;
    switch (mode) {
        case 'E': prefix = "index : "; break;
        case 'G': prefix = "group : "; break;
        case 'O': prefix = "operand : "; break;
        case 'P': prefix = "polygon : "; break;
        case 'T': prefix = "triangle : "; break;
        default: break;
    }
    int64_t value = element_id;
    std::string type_name;
    const InteropMesh* mesh = entity->mesh;
    const int64_t p = source_polygon(mesh, element_id);
    if (p >= 0) {
        switch (mode) {
            case 'E': value = entity_id; break;
            case 'G': value = entry(mesh->group_ids, static_cast<uint64_t>(p)); break;
            case 'O': value = entry(mesh->operand_ids, static_cast<uint64_t>(p)); break;
            case 'P': value = p; break;
            case 'U':
                value = entry(mesh->user_type_ids, static_cast<uint64_t>(p));
                user_type_name(*mesh, value, type_name);
                break;
            default: break;
        }
    }
    labels.shown = true;
    labels.entity_label = "\t " + script_name(*entity);
    labels.element_label =
        mode == 'U' ? "\"" + type_name + "\" | " + id_text(value) : prefix + id_text(value);
    return labels;
}

LlmiTrace compose_llmi_trace(char mode, uint32_t entity_id, uint32_t element_id, EntitySet* set) {
    LlmiTrace trace;
    mode = pick_mode_of(mode);
    if (mode == '!' || !set || entity_id >= llmi_no_pick || element_id >= llmi_no_pick) return trace;
    EntityRecord* entity = picked_entity(*set, entity_id);
    if (!entity) return trace;
    switch (mode) {
        case 'T': trace.title = "LLMI:[T] \t Triangle Picking-Mode"; break;
        case 'P': trace.title = "LLMI:[P] \t Polygon Picking-Mode"; break;
        case 'G': trace.title = "LLMI:[G] \t Gouraud-Group Picking-Mode"; break;
        case 'O': trace.title = "LLMI:[O] \t Operand Picking-Mode"; break;
        case 'E': trace.title = "LLMI:[E] \t Entity Picking-Mode"; break;
        case 'U': trace.title = "LLMI:[U] \t User-Defined Picking-Mode"; break;
        default: break;
    }
    const std::string rule = "----------------------------------------------\n";
    std::string& s = trace.text;
    s = rule + "LLMI \t Low-Level-Mesh-Inspector\n" + rule;
    s += "\t Entity: " + script_name(*entity) + " | " + id_text(entity_id) + "\n";

    const InteropMesh* mesh = entity->mesh;
    const int64_t p = source_polygon(mesh, element_id);
    if (p >= 0) {
        const uint64_t polygon = static_cast<uint64_t>(p);
        const int64_t type = entry(mesh->user_type_ids, polygon);
        std::string name;
        switch (mode) {
            case 'G': s += "\t Gouraud-Group: " + id_text(entry(mesh->group_ids, polygon)) + "\n"; break;
            case 'O': s += "\t Operand: " + id_text(entry(mesh->operand_ids, polygon)) + "\n"; break;
            case 'P':
                s += "\t Polygon: " + id_text(p) + " of " + int_to_text(interop_mesh_polygon_count(*mesh)) + "\n";
                break;
            case 'U':
                if (user_type_name(*mesh, type, name)) {
                    s += "\t Type: \"" + name + "\" | " + id_text(type) + "\n";
                } else {
                    s += "\t Type: " + id_text(type) + "\n";
                }
                break;
            default: break;
        }
        const size_t t = element_id;
        uint32_t corners[3] = {0, 0, 0};
        for (size_t c = 0; c < 3; ++c) {
            const size_t at = 3 * t + c;
            if (at < mesh->triangles.size()) corners[c] = mesh->triangles[at];
        }
        s += "\t Triangle: " + long_to_text(static_cast<int64_t>(t)) + " of " +
             long_to_text(static_cast<int64_t>(mesh->triangles.size() / 3)) + " [" + long_to_text(corners[0]) + "," +
             long_to_text(corners[1]) + "," + long_to_text(corners[2]) + "]\n";
        const size_t d = mesh->dimension > 0 ? static_cast<size_t>(mesh->dimension) : 0;
        for (uint32_t v : corners) {
            const size_t k = v;
            // Read with the mesh's dimension; components it lacks print 0.
            std::string position = vector_text(mesh->positions, d * k, std::min<size_t>(d, 3));
            std::string normal = vector_text(triangle_normals_of(*mesh), d * k, std::min<size_t>(d, 3));
            for (size_t c = std::min<size_t>(d, 3); c < 3; ++c) {
                position += (c > 0 ? ",0" : "0");
                normal += (c > 0 ? ",0" : "0");
            }
            s += "     V[" + position + "] C[" + vector_text(colours_of(*mesh), 4 * k, 4) + "] N[" + normal + "]\n";
        }
    }
    trace.shown = true;
    return trace;
}

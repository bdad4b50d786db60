#pragma once
#include <cstdint>
#include <string>

#include "model/environment.h"

// Texts of the low-level mesh inspector: the two labels of its information
// element and the full trace shown in the information box. Pure functions
// of the pick mode, the picked ids and the entity set; every index is
// checked, and a missing value prints as -1 (ids) or 0 (geometry).

// Ids at or above this value mean nothing was picked.
constexpr uint32_t llmi_no_pick = 0xFFFFFF;

struct LlmiLabels {
    // False: the pick is empty or stale; the element shows no tool-tip.
    bool shown = false;
    std::string entity_label;
    std::string element_label;
};

// `set` may be null (no environment yet); its flat table is rebuilt when
// dirty.
LlmiLabels compose_llmi_labels(char mode, uint32_t entity_id, uint32_t element_id, EntitySet* set);

struct LlmiTrace {
    // False: nothing to show (mode '!', no pick, or a stale entity id).
    bool shown = false;
    std::string title;
    std::string text;
};

LlmiTrace compose_llmi_trace(char mode, uint32_t entity_id, uint32_t element_id, EntitySet* set);

// The name of user type `type`, when the mesh's type-name table holds it.
bool user_type_name(const InteropMesh& mesh, int64_t type, std::string& name);

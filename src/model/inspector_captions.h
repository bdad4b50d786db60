#pragma once
#include <array>
#include <string>
#include <vector>

// Captions of the entity inspector's transform groups and the value texts of
// an identity transform, kept per environment beside its entity view.
struct InspectorCaptions {
    // Translation, uniform scale, non-uniform scale, Euler rotation.
    std::array<std::string, 4> group_captions;
    std::array<std::vector<std::string>, 4> axis_captions;
    std::array<std::vector<std::string>, 4> default_values;
};

void entity_inspector_state_construct(InspectorCaptions& captions);
// Releases the lists: value texts, then axis captions, then group captions.
void entity_inspector_state_destroy(InspectorCaptions& captions);

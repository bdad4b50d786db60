#include "model/inspector_captions.h"

void entity_inspector_state_construct(InspectorCaptions& captions) {
    captions.group_captions = {"\t Translation", "\t Uniform Scale-Factor", "\t Non-Uniform Scale-Factor",
                               "\t Euler-Rotation Angles"};
    captions.axis_captions = {{{"X", "Y", "Z"}, {"XYZ"}, {"X", "Y", "Z"}, {"X", "Y", "Z"}}};
    captions.default_values = {{{"0", "0", "0"}, {"1"}, {"1", "1", "1"}, {"0", "0", "0"}}};
}

void entity_inspector_state_destroy(InspectorCaptions& captions) {
    for (auto& values : captions.default_values) std::vector<std::string>().swap(values);
    for (auto& axes : captions.axis_captions) std::vector<std::string>().swap(axes);
    for (auto& caption : captions.group_captions) std::string().swap(caption);
}

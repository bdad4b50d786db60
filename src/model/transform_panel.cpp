#include "model/transform_panel.h"

void build_transform_panel(TransformPanel& panel) {
    panel.captions = {"\t Translation", "\t Uniform Scale-Factor", "\t Non-Uniform Scale-Factor",
                      "\t Euler-Rotation Angles"};
    panel.axis_captions = {"X", "Y", "Z", "S", "X", "Y", "Z", "X", "Y", "Z"};
    panel.value_texts.assign(10, "0");
}

void destroy_transform_panel(TransformPanel& panel) {
    std::vector<std::string>().swap(panel.captions);
    std::vector<std::string>().swap(panel.axis_captions);
    std::vector<std::string>().swap(panel.value_texts);
}

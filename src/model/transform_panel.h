#pragma once
#include <string>
#include <vector>

// Captions and value texts of an environment's entity transform panel.
// Plain data here; the widgets that show it belong to the panes.
struct TransformPanel {
    std::vector<std::string> captions;
    std::vector<std::string> axis_captions;
    // Translation x y z, uniform scale, scale x y z, angles x y z.
    std::vector<std::string> value_texts;
};

void build_transform_panel(TransformPanel& panel);
void destroy_transform_panel(TransformPanel& panel);

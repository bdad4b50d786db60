#include "render/colour_standins.h"

#include <algorithm>
#include <cmath>

#include "app/app_hooks.h"

Rgb hue_to_rgb(double h) {
    const double s = std::fmod(std::max(h, 0.0), 1.0) * 6.0;
    const double f = s - std::floor(s);
    switch (static_cast<int>(s)) {
    case 0: return {1.0, f, 0.0};
    case 1: return {1.0 - f, 1.0, 0.0};
    case 2: return {0.0, 1.0, f};
    case 3: return {0.0, 1.0 - f, 1.0};
    case 4: return {f, 0.0, 1.0};
    default: return {1.0, 0.0, 1.0 - f};
    }
}

void recolour_all(AppContext&) { record_standin_call("recolour_all"); }

void on_colour_by_elevation() { record_standin_call("on_colour_by_elevation"); }
void on_colour_by_depth() { record_standin_call("on_colour_by_depth"); }
void on_colour_by_normal() { record_standin_call("on_colour_by_normal"); }
void on_colour_by_verticality() { record_standin_call("on_colour_by_verticality"); }
void on_colour_by_planarity() { record_standin_call("on_colour_by_planarity"); }
void on_colour_by_curvature() { record_standin_call("on_colour_by_curvature"); }
void on_colour_by_quality() { record_standin_call("on_colour_by_quality"); }
void on_colour_by_valence_ngon() { record_standin_call("on_colour_by_valence_ngon"); }
void on_colour_by_valence_tess() { record_standin_call("on_colour_by_valence_tess"); }
void on_colour_by_declaration_order() { record_standin_call("on_colour_by_declaration_order"); }
void on_colour_by_operand() { record_standin_call("on_colour_by_operand"); }
void on_colour_by_face_id() { record_standin_call("on_colour_by_face_id"); }
void on_colour_by_group_id() { record_standin_call("on_colour_by_group_id"); }
void on_colour_by_element_id() { record_standin_call("on_colour_by_element_id"); }
void on_colour_by_batch_id() { record_standin_call("on_colour_by_batch_id"); }
void on_multichannel_colour_space_button() { record_standin_call("on_multichannel_colour_space_button"); }

#pragma once

// Recording stand-ins for the colouring services the menus and the colour
// bar use: recolour_all and the colour-by buttons record their names;
// hue_to_rgb is the plain six-sector hue circle.

struct AppContext;

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

// h in 0..1 around the hue circle.
Rgb hue_to_rgb(double h);
void recolour_all(AppContext& app);

void on_colour_by_elevation();
void on_colour_by_depth();
void on_colour_by_normal();
void on_colour_by_verticality();
void on_colour_by_planarity();
void on_colour_by_curvature();
void on_colour_by_quality();
void on_colour_by_valence_ngon();
void on_colour_by_valence_tess();
void on_colour_by_declaration_order();
void on_colour_by_operand();
void on_colour_by_face_id();
void on_colour_by_group_id();
void on_colour_by_element_id();
void on_colour_by_batch_id();
void on_multichannel_colour_space_button();

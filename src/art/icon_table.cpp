#include "art/icon_table.h"

#include "art/icon_scenes.h"

IconRecord make_icon_record_simple(const char* name, IconSdf scene, double eye_x, double eye_y, double eye_z,
                                   double target_y, double target_z) {
    IconRecord r;
    r.name = name;
    r.scene = scene;
    r.eye_x = eye_x;
    r.eye_y = eye_y;
    r.eye_z = eye_z;
    r.target_x = 0.0;
    r.target_y = target_y;
    r.target_z = target_z;
    return r;
}

IconRecord make_icon_record_two_part(const char* name, IconSdf scene0, IconSdf scene1, double a0, double a1,
                                     double a2, double a3, double a4, double a5, double a6) {
    IconRecord r = make_icon_record_simple(name, scene0, a0, a1, a2, 0.0, a3);
    r.layer_count = 2;
    r.layer_scenes = {scene0, scene1};
    r.layer_cameras = {a0, a1, a2, 0.0, 0.0, a3, 0.0, a4, a5, 0.0, 0.0, a6};
    return r;
}

IconRecord make_icon_record_posed(const char* name, IconSdf scene, double b0, double b1, double b2, double b3,
                                  double b4, double b5, double b6, double b7, double b8) {
    IconRecord r = make_icon_record_simple(name, scene, b0, b1, b2, b3, b4);
    r.light_x = b5;
    r.light_y = b6;
    r.light_z = b7;
    r.light_mix = b8;
    return r;
}

void icon_record_copy_construct(IconRecord& destination, const IconRecord& source) { destination = source; }

IconRecord build_sphere_icon() { return make_icon_record_simple("sphere", icon_sdf_sphere, 0.0, 0.0, 1.5, 0.0, 0.0); }

std::vector<IconRecord> build_icon_table() {
    std::vector<IconRecord> table = {
        make_icon_record_posed("OPEN", icon_sdf_open, 0, 0.75, -1.25, 0, 0, 0, 0, 1, 1),
        make_icon_record_simple("DELETE", icon_sdf_delete, 0.5, 1.1, 0.5, 0, 0),
        make_icon_record_two_part("ASTERISK", icon_sdf_sphere_dark, icon_sdf_asterisk, 0.85, 0.85, 0.85, 0, 0.1, -0.9, 0),
        make_icon_record_posed("SETTINGS", icon_sdf_settings, 0.9, 0.9, 0.9, 0, 0, 1, 0.5, 0, 1),
        make_icon_record_posed("EXPORT", icon_sdf_export, 1, 0.6, 1, 0, 0.125, 1, 0.5, 0, 1),
        make_icon_record_posed("THEME", icon_sdf_theme, 1, 0.6, -1, 0, 0.125, 0, 0, 1, 1),
        make_icon_record_posed("SELECT", icon_sdf_select, -0.5, 0.5, -1.5, 0, 0, 0, 0, 1, 1),
        make_icon_record_posed("SELECTALL", icon_sdf_selectall, -0.5, 0.5, -1.5, 0, 0, 0, 0, 1, 1),
        make_icon_record_posed("SELECTNONE", icon_sdf_selectnone, -0.5, 0.5, -1.5, 0, 0, 0, 0, 1, 1),
        make_icon_record_simple("MESH", icon_sdf_mesh, 1.2, 1.2, 1.2, 0, 0),
        make_icon_record_simple("VERTEX", icon_sdf_vertex, 1.5, 1.5, 1.5, 0, 0),
        make_icon_record_simple("EDGES", icon_sdf_edges, 1.2, 1.2, 1.2, 0, 0),
        make_icon_record_posed("FACES", icon_sdf_faces, 1.2, 1.2, 1.2, 0, 0, 0, 0, -1, 1),
        make_icon_record_posed("FOCUS", icon_sdf_focus, -0.5, 0.5, -1.25, 0, 0, 0, 0, 1, 1),
        make_icon_record_simple("VISIBLE", icon_sdf_visible, 0.9, 0.9, 0.9, 0, 0),
        make_icon_record_simple("HIDDEN", icon_sdf_hidden, 0.9, 0.9, 0.9, 0, 0),
        make_icon_record_simple("FLAT", icon_sdf_flat, 0.95, 0.95, 0.95, 0, 0),
        make_icon_record_simple("SMOOTH", icon_sdf_smooth, 0.95, 0.95, 0.95, 0, 0),
        make_icon_record_simple("BUTTON", icon_sdf_button, 0.85, 0.85, 0.85, 0, 0),
        make_icon_record_simple("MATERIAL", icon_sdf_material, 0.9, 0.9, 0.9, 0, 0),
        make_icon_record_two_part("SHADER", icon_sdf_sphere_tinted, icon_sdf_shader, 0.85, 0.85, 0.85, 0, 0.1, -0.9, 0),
        make_icon_record_simple("CAPTURE", icon_sdf_capture, 1, 0.6, 1, 0, 0.125),
        make_icon_record_simple("ZOBUICON", icon_sdf_zobuicon, 0.85, 0.51, 0.85, 0, 0.125),
        make_icon_record_two_part("ZOBUIOICON", icon_sdf_zobuioicon_part, icon_sdf_zobuioicon, 1, 0.6, 1, 0.125, 0.25, -1.5, 0.125),
        make_icon_record_posed("REFRESH", icon_sdf_refresh, 0.5, 0.9, 0.5, 0, 0, 1, 1, 1, 1),
        make_icon_record_posed("SAVE", icon_sdf_save, 0.5, 0.25, -1, 0, 0, 0, 0, 1, 1),
        make_icon_record_simple("INFO", icon_sdf_info, 0.8, 0.8, 0.8, 0, 0),
        make_icon_record_simple("TYPE", icon_sdf_type, -0.9, 0.8, 0.6, 0.1, 0.1),
        make_icon_record_posed("TRIANGLES", icon_sdf_triangles, -0.5, 0.5, -1.5, 0, 0, 0, 0, 1, 1),
        make_icon_record_posed("WINDOW", icon_sdf_window, 1.2, 1, 0.75, 0, 0, 1, 0.5, 0, 1),
        make_icon_record_simple("WORLDSCALE", icon_sdf_worldscale, 0.55, 1, 0.55, 0, 0),
        make_icon_record_simple("LIGHT", icon_sdf_light, 1.40625, 0.5625, 1.125, -0.125, 0),
        make_icon_record_simple("FOV", icon_sdf_fov, 0, 1.25, 0.75, 0.25, 0),
        make_icon_record_posed("LOCKED", icon_sdf_locked, 1.40625, 1.125, 0.5625, 0.25, 0, 1, 0.5, 0, 1),
        make_icon_record_posed("CAMERA", icon_sdf_camera, 1.25, 0.75, 0, 0, 0, 2, 0.75, 1, 1),
        make_icon_record_posed("SLIDERS", icon_sdf_sliders, 1.25, 0.5, 0.5, 0, 0, 1, 0.5, 0, 1),
        make_icon_record_simple("BACKGROUND", icon_sdf_background, 1, 0.6, -1, 0, 0.125),
        make_icon_record_simple("FULLSCREEN", icon_sdf_fullscreen, 1.2, 1, 0.5, 0.1, 0),
        make_icon_record_posed("WARNING", icon_sdf_warning, 1.25, 0.6, -0.5, 0.1, 0, 1, 0.5, 0, 1),
        make_icon_record_posed("ERROR", icon_sdf_error, 1.25, 0.6, -0.5, 0.1, 0, 1, 0.5, 0, 1),
        make_icon_record_posed("PARSE", icon_sdf_parse, 1, 0.6, -1, 0, -0.125, 1, 0.5, 0, 1),
        make_icon_record_posed("ASSEMBLE", icon_sdf_assemble, 1, 0.6, -1, 0, -0.125, 1, 0.5, 0, 1),
        make_icon_record_simple("TOPOLOGY", icon_sdf_topology, 1.2, 1.2, 1.2, -0.075, 0),
        make_icon_record_two_part("COLOUR", icon_sdf_sphere_grey, icon_sdf_colour, 0.85, 0.85, 0.85, 0, 0, 3.5, 0),
        make_icon_record_posed("SHADING", icon_sdf_shading, 0.5, 1, 1.5, 0, 0, 0, 0, -1, 1),
        make_icon_record_posed("ORBIT", icon_sdf_orbit, 0.675, 1.125, 1.875, 0, 0, 0, 0, -1, 1),
        make_icon_record_simple("PROJECTION", icon_sdf_projection, 2.25, 1.75, 1.575, 0.2, 0.175),
        make_icon_record_simple("STATE", icon_sdf_state, 2.25, 1.75, 1.575, -0.125, 0),
        make_icon_record_posed("WIDGETS", icon_sdf_widgets, 0.5, 0.5, 1.25, 0, 0, 0, 0, -1, 1),
        make_icon_record_posed("VIEW", icon_sdf_view, 2, 1.75, 1.5, 0, 0, 1, 1, 1, 1),
        make_icon_record_simple("QUESTION", icon_sdf_question, 1.25, 0.6, -0.5, 0.1, 0),
        make_icon_record_simple("MESHLIGHT", icon_sdf_meshlight, 1.2, 1.2, 1.2, 0, 0),
        make_icon_record_simple("PROJECTIONLIGHT", icon_sdf_projectionlight, 2.25, 1.75, 1.575, 0.2, 0.175),
        make_icon_record_posed("VREK64", icon_sdf_vrek64, 0, 0, 1.5, 0, 0, 0, 0, 0, 0),
        make_icon_record_posed("VREK128", icon_sdf_vrek128, 0, 0, 1.5, 0, 0, 0, 0, 0, 0),
        make_icon_record_simple("SKIP", icon_sdf_empty, 1, 1, 1, 0, 0),
        make_icon_record_simple("PARALLEL", icon_sdf_parallel, 0, 0, 2.75, 0, 0)
    };
    // The logo is shaded without the sky term.
    table[ICON_VREK64].sky = false;
    table[ICON_VREK128].sky = false;
    return table;
}


static const double framing_data[icon_count][5] = {
    {0.266, 0.141, 0.266, 0.125, 0.841},
    {0.156, 0.266, 0.156, 0.188, 0.755},
    {0.188, 0.188, 0.188, 0.188, 0.663},
    {0.172, 0.156, 0.172, 0.219, 0.702},
    {0.188, 0.156, 0.203, 0.109, 0.908},
    {0.203, 0.203, 0.203, 0.062, 0.88},
    {0.266, 0.219, 0.266, 0.188, 0.597},
    {0.266, 0.219, 0.188, 0.188, 0.73},
    {0.266, 0.219, 0.234, 0.188, 0.664},
    {0.125, 0.188, 0.125, 0.078, 0.868},
    {0.172, 0.203, 0.172, 0.141, 0.745},
    {0.125, 0.188, 0.125, 0.078, 0.868},
    {0.156, 0.203, 0.156, 0.094, 0.799},
    {0.109, 0.094, 0.203, 0.203, 0.813},
    {0.203, 0.203, 0.203, 0.203, 0.62},
    {0.203, 0.203, 0.203, 0.203, 0.62},
    {0.156, 0.156, 0.156, 0.125, 0.825},
    {0.156, 0.156, 0.156, 0.094, 0.85},
    {0.188, 0.188, 0.188, 0.188, 0.663},
    {0.203, 0.203, 0.203, 0.203, 0.62},
    {0.188, 0.188, 0.188, 0.188, 0.663},
    {0.188, 0.156, 0.203, 0.109, 0.908},
    {0.125, 0.109, 0.141, 0.031, 1.083},
    {0.188, 0.156, 0.141, 0.109, 0.908},
    {0.172, 0.266, 0.094, 0.188, 0.797},
    {0.25, 0.172, 0.172, 0.203, 0.668},
    {0.375, 0.172, 0.375, 0.172, 0.668},
    {0.141, 0.141, 0.109, 0.172, 1.017},
    {0.172, 0.141, 0.234, 0.156, 0.885},
    {0.203, 0.156, 0.141, 0.156, 0.864},
    {0.109, 0.25, 0.172, 0.125, 0.82},
    {0.25, 0.203, 0.25, 0.125, 0.73},
    {0.141, 0.266, 0.141, 0.25, 0.826},
    {0.234, 0.188, 0.234, 0.156, 0.756},
    {0.172, 0.188, 0.172, 0.172, 0.82},
    {0.219, 0.188, 0.141, 0.219, 0.85},
    {0.203, 0.203, 0.203, 0.062, 0.88},
    {0.203, 0.188, 0.125, 0.203, 0.756},
    {0.141, 0.203, 0.25, 0.156, 0.761},
    {0.141, 0.203, 0.25, 0.172, 0.761},
    {0.203, 0.156, 0.188, 0.109, 0.888},
    {0.203, 0.156, 0.188, 0.109, 0.888},
    {0.125, 0.156, 0.125, 0.109, 0.901},
    {0.188, 0.188, 0.188, 0.188, 0.663},
    {0.219, 0.203, 0.219, 0.141, 0.732},
    {0.078, 0.188, 0.078, 0.188, 0.864},
    {0.188, 0.172, 0.141, 0.203, 0.869},
    {0.094, 0.156, 0.141, 0.094, 0.938},
    {0.141, 0.141, 0.141, 0.156, 0.732},
    {0.109, 0.141, 0.109, 0.109, 0.806},
    {0.141, 0.203, 0.25, 0.156, 0.761},
    {0.125, 0.188, 0.125, 0.078, 0.868},
    {0.188, 0.172, 0.141, 0.203, 0.869},
    {0.062, 0.062, 0.062, 0.062, 0.877},
    {0.062, 0.062, 0.062, 0.062, 0.875},
    {0, 0, 0, 0, 1.414},
    {0, 0, 0, 0, 1.414}
};

std::vector<IconFraming> build_framing_table() {
    std::vector<IconFraming> rows(icon_count);
    for (int i = 0; i < icon_count; ++i)
        for (int k = 0; k < 5; ++k) rows[i][k] = framing_data[i][k];
    return rows;
}

// Built before main, in this order, from the constant tables above.
const IconRecord sphere_icon = build_sphere_icon();
const std::vector<IconRecord> icon_table = build_icon_table();
const std::vector<IconFraming> icon_framing_table = build_framing_table();

#pragma once
#include "art/sdf.h"

// The icon scenes: each an IconSdf modelled about the origin in roughly
// [-1, 1]^3. Several icons share a scene by forwarding.

// Sphere family (radius 0.5 at the origin, one colour).
double icon_sdf_sphere(double* rgba, double x, double y, double z);
double icon_sdf_sphere_grey(double* rgba, double x, double y, double z);
double icon_sdf_sphere_tinted(double* rgba, double x, double y, double z);
double icon_sdf_sphere_dark(double* rgba, double x, double y, double z);
double icon_sdf_visible(double* rgba, double x, double y, double z);
double icon_sdf_hidden(double* rgba, double x, double y, double z);
double icon_sdf_material(double* rgba, double x, double y, double z);
double icon_sdf_button(double* rgba, double x, double y, double z);
double icon_sdf_empty(double* rgba, double x, double y, double z);

double icon_sdf_open(double* rgba, double x, double y, double z);
double icon_sdf_delete(double* rgba, double x, double y, double z);
double icon_sdf_asterisk(double* rgba, double x, double y, double z);
double icon_sdf_settings(double* rgba, double x, double y, double z);
double icon_sdf_export(double* rgba, double x, double y, double z);
double icon_sdf_theme(double* rgba, double x, double y, double z);
double icon_sdf_select(double* rgba, double x, double y, double z);
double icon_sdf_selectall(double* rgba, double x, double y, double z);
double icon_sdf_selectnone(double* rgba, double x, double y, double z);
double icon_sdf_mesh(double* rgba, double x, double y, double z);
double icon_sdf_vertex(double* rgba, double x, double y, double z);
double icon_sdf_edges(double* rgba, double x, double y, double z);
double icon_sdf_faces(double* rgba, double x, double y, double z);
double icon_sdf_focus(double* rgba, double x, double y, double z);
double icon_sdf_flat(double* rgba, double x, double y, double z);
double icon_sdf_smooth(double* rgba, double x, double y, double z);
double icon_sdf_shader(double* rgba, double x, double y, double z);
double icon_sdf_capture(double* rgba, double x, double y, double z);
double icon_sdf_zobuicon(double* rgba, double x, double y, double z);
double icon_sdf_zobuioicon_part(double* rgba, double x, double y, double z);
double icon_sdf_zobuioicon(double* rgba, double x, double y, double z);
double icon_sdf_refresh(double* rgba, double x, double y, double z);
double icon_sdf_save(double* rgba, double x, double y, double z);
double icon_sdf_info(double* rgba, double x, double y, double z);
double icon_sdf_type(double* rgba, double x, double y, double z);
double icon_sdf_triangles(double* rgba, double x, double y, double z);
double icon_sdf_window(double* rgba, double x, double y, double z);
double icon_sdf_worldscale(double* rgba, double x, double y, double z);
double icon_sdf_light(double* rgba, double x, double y, double z);
double icon_sdf_fov(double* rgba, double x, double y, double z);
double icon_sdf_locked(double* rgba, double x, double y, double z);
double icon_sdf_camera(double* rgba, double x, double y, double z);
double icon_sdf_sliders(double* rgba, double x, double y, double z);
double icon_sdf_background(double* rgba, double x, double y, double z);
double icon_sdf_fullscreen(double* rgba, double x, double y, double z);
double icon_sdf_warning(double* rgba, double x, double y, double z);
double icon_sdf_error(double* rgba, double x, double y, double z);
double icon_sdf_parse(double* rgba, double x, double y, double z);
double icon_sdf_assemble(double* rgba, double x, double y, double z);
double icon_sdf_topology(double* rgba, double x, double y, double z);
double icon_sdf_colour(double* rgba, double x, double y, double z);
double icon_sdf_shading(double* rgba, double x, double y, double z);
double icon_sdf_orbit(double* rgba, double x, double y, double z);
double icon_sdf_projection(double* rgba, double x, double y, double z);
double icon_sdf_state(double* rgba, double x, double y, double z);
double icon_sdf_widgets(double* rgba, double x, double y, double z);
double icon_sdf_view(double* rgba, double x, double y, double z);
double icon_sdf_question(double* rgba, double x, double y, double z);
double icon_sdf_meshlight(double* rgba, double x, double y, double z);
double icon_sdf_projectionlight(double* rgba, double x, double y, double z);
double icon_sdf_logo(double* rgba, double x, double y, double z);
double icon_sdf_vrek64(double* rgba, double x, double y, double z);
double icon_sdf_vrek128(double* rgba, double x, double y, double z);
double icon_sdf_parallel(double* rgba, double x, double y, double z);

// Vertex lists of the two polygon letters, (u, v) pairs.
extern const double icon_type_polygon[24];
extern const double icon_shader_polygon[48];

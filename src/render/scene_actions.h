#pragma once
#include <cstdint>

#include "model/entity.h"
#include "model/environment.h"
#include "model/interop_mesh.h"
#include "render/colour_by.h"

struct AppContext;

// The application's side of display colouring and of the low-level mesh
// inspector: settings read from the context, the colour-by buttons and the
// inspector's labels and trace.

ColourSettings colour_settings_of(const AppContext& app);

// Recolours one mesh from the context's settings.
void apply_colour_mode(AppContext& app, InteropMesh& mesh);
// Nothing for an entity not in use; a parallel entity recolours each present
// sub-element mesh, any other its own mesh when present.
void recolour_entity(AppContext& app, EntityRecord& entity);
void recolour_environment(AppContext& app, EntitySet& set);
// The start-up mesh, then the current environment's entities.
void recolour_all(AppContext& app);

// Colour-by button `index` (0..14): its function becomes current, everything
// is recoloured and exactly that button shows selected.
void select_colour_function(AppContext& app, int32_t index);
void toggle_multichannel_colour_space(AppContext& app);

// Button callbacks, on the published context.
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

// Picking is on while the inspector widget is shown and a pick key other
// than '!' is chosen.
bool picking_enabled(const AppContext& app);

// Rebuilds the inspector element's tool-tip from the picked ids.
void update_llmi_labels(AppContext& app);
// Shows the inspector trace of the current pick in the information box.
void build_llmi_trace(AppContext& app);
// Click callback of the inspector element, on the published context.
void refresh_llmi_trace();

#pragma once
#include <cstdint>

struct AppContext;

// The meshing algorithm, chosen in the run pane (for assemblies) or inside
// the re-assembly confirmation (for that one re-assembly). k outside 0..2
// is ignored.
void select_mesh_algorithm(AppContext& app, int32_t k);
void select_confirm_mesh_algorithm(AppContext& app, int32_t k);

// Bound thunks on app_instance.
void on_click_mesh_algorithm_pure_union();
void on_click_mesh_algorithm_basic_csg();
void on_click_mesh_algorithm_optimal_csg();
void on_click_confirm_pure_union();
void on_click_confirm_basic_csg();
void on_click_confirm_optimal_csg();

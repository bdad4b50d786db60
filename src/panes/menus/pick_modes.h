#pragma once
#include <cstdint>
#include <string>

struct AppContext;

// The inspector's pick keys, in button order: '!' none, then triangle,
// polygon, gouraud group, operand, entity, user-defined.
constexpr const char* pick_mode_keys = "!TPGOEU";

// Chooses pick key `index` of pick_mode_keys: reports it on standard output
// ("PICK-MODE:<key>"), marks its button, labels the mode and points the
// trace element's tool-tip at its texts (none: no tool-tip).
void set_pick_mode(AppContext& app, int32_t index);
// The mode cell's text for pick key `key`: the key itself, empty for none
// and for a key that names no mode.
std::string pick_mode_label(char key);
void toggle_reassembly_culling(AppContext& app);
void toggle_assembly_profiling(AppContext& app);

// The next tone level: 0, 1, 2, 4, 6, 7, 8 and back to 0 (any other value
// goes to 0).
int32_t next_tone(int32_t tone);
void cycle_mono_edge_tone(AppContext& app);
void cycle_mono_dot_tone(AppContext& app);
void cycle_silhouette_tone(AppContext& app);

// Bound actions on the published context.
void set_pick_mode_none();
void set_pick_mode_triangle();
void set_pick_mode_polygon();
void set_pick_mode_gouraud_group();
void set_pick_mode_operand();
void set_pick_mode_entity();
void set_pick_mode_user_defined();
void toggle_reassembly_culling();
void toggle_assembly_profiling();
void on_mono_edge_tone();
void on_mono_edge_tone_b();
void on_mono_dot_tone();
void on_mono_dot_tone_b();
void on_silhouette_tone();
void on_silhouette_tone_b();

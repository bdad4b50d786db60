#pragma once
#include <cstdint>
#include <string>

struct AppContext;
struct EntityRecord;

// What the rows of the parameter pane do. A row is a listed parameter of the
// pane's entity (a parallel entity lists its sub-elements' parameters in
// order); every operation checks the entity and the row and otherwise does
// nothing. Edits only mark the entity for pushing: the tick pushes.

// Enter in a value field: reads the text by the parameter's type (numbers
// must be finite; a CHR takes the first character, a STR the whole text),
// checks the bounds, stores the value, moves the slider and marks the entity
// for pushing unless multi-edit is on. A rejected text (a STR or CHR value
// the script could not hold as one value included) raises
// "Error: Invalid Value for Parameter" or "Error: Value Outside of Parameter
// Bounds", shows the stored value again and releases the focus; nothing
// else changes.
void commit_parameter_field(AppContext& app);
// Enter in a parallel entity's value field: the listing reaches the sub-element's
// parameter through the merged result, so the commit is the ordinary one.
void commit_parallel_parameter_field(AppContext& app);
// Escape in a value field: the field shows the stored value again.
void sync_parameter_field(AppContext& app);
// The dragged slider: the value follows fraction f (INT and LNG truncated
// inside the bounds, DBL shown with two decimals).
void on_parameter_slider_changed(AppContext& app, double fraction);
void on_parameter_slider_released(AppContext& app);
// A click on the list at the last press position: type and definition
// information, the selection mark, a bound, the reset confirmation or a BLN
// flip, by the row's band and the press's x.
void on_parameter_row_click(AppContext& app);
void show_parameter_type_info(AppContext& app, int32_t type);
void show_parameter_definition_info(AppContext& app, int32_t row);
// Sets the parameters named in variant i on its entity (unparsable,
// mistyped and out-of-bound values are skipped; a STR or CHR value the
// script could not hold as one value raises "Error: Invalid Value for
// Parameter") and asks the tick to push them. A STR value loses one pair of
// surrounding double quotes.
void apply_parametric_variant(AppContext& app, int32_t index);
// The entity variant i belongs to in the current set, or null.
EntityRecord* variant_entity(AppContext& app, int32_t index);
// The "Variants" button: opens or closes the directive pane with a notice.
void show_variant_directives_placeholder(AppContext& app);

// Index-checked writers of row controls. colour 0 leaves the field's
// background as it is; a row without a slider keeps none.
void set_parameter_field(AppContext& app, int32_t row, const std::string& text, uint32_t colour);
void set_parameter_slider(AppContext& app, int32_t row, double value);

// Argument-free forms the pane binds (the parallel ones act alike: the
// listing already reaches a parallel entity's sub-element parameters).
void on_commit_parameter_field();
void on_commit_parallel_parameter_field();
void sync_parameter_field();
void sync_parallel_parameter_field();
void on_parameter_slider_changed(double fraction);
void on_parallel_parameter_slider_changed(double fraction);
void on_parameter_slider_released();
void on_parallel_parameter_slider_released();
void on_parameter_row_click();
void on_parallel_parameter_row_click();
void on_click_apply_variant();
void on_click_variant_directives();
void toggle_parameter_auto_sync();
void toggle_parameter_immediate_mode();
void toggle_parameter_multi_edit_mode();

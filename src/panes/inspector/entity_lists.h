#pragma once
#include <cstdint>
#include <string>

struct AppContext;

// The two lists of entities in the side panes: every entity of the current
// environment in the entity pane (lock, look-at, visibility, re-assemble and
// delete), the entities with parameters in the parameter pane (lock,
// visibility, look-at). Rows are 50 pixels high with a 1-pixel separator;
// each list decides a click's action from the last press inside it.

void rebuild_entity_rows(AppContext& app);
void rebuild_parameter_rows(AppContext& app);

// Bound to the lists by the rebuilds; they act on the published context.
void on_entity_list_click();
void on_parameter_entity_row_click();
bool record_entity_list_press(int32_t x, int32_t y, int32_t button);
bool record_parameter_list_press(int32_t x, int32_t y, int32_t button);
bool set_relayout_pending(int32_t x, int32_t y, int32_t direction);
void layout_entity_list(int32_t width, int32_t height);
void layout_parameter_list(int32_t width, int32_t height);

// The details lines of a row after a parameter push, whole, with the row
// and the list's sideways slide sized to the new summary; rows out of range
// are left alone.
void set_entity_row_label(AppContext& app, int32_t row, const std::string& text);
void set_parameter_row_label(AppContext& app, int32_t row, const std::string& text);
